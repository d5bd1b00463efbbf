#include "history/ChangeCapture.h"

#include "codes/CodeTables.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/RawSql.h"
#include "history/ChangeNames.h"
#include "history/StoredRow.h"
#include "history/TrashSchema.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>

namespace {

bool TableExists(sqlite3* db, const QString& name)
{
    Prepared find(db,
                  QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_text(*find, 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return find.Step();
}

int IndexOf(const QStringList& columns, const QString& name)
{
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

QString BeforeTable(size_t table)
{
    return QStringLiteral("history_before_") + QString::number(table);
}

// The watched tables and their keys, in the order rows are written back.
struct Watched {
    QString table;
    QString key;
    QString desc;
    int codeTable;
    bool stamps;
};

std::vector<Watched> WatchedTables()
{
    std::vector<Watched> watched = {
        {QStringLiteral("Picture"), QStringLiteral("PictureID"), QString(), 0, false},
        {QStringLiteral("PictureData"), QStringLiteral("PictureID"), QString(), 0, false},
    };
    // The nine code tables and the list of catalogues.
    for (int number = 1; number <= kCatalogueList; ++number) {
        const CodeTableInfo& info = CodeTableInfoFor(number);
        watched.push_back({info.table, info.keyField, info.descField, number, false});
    }
    watched.push_back({QStringLiteral("Stamp"), QStringLiteral("StampID"), QStringLiteral("descr"), 0, true});
    watched.push_back({kTrashTable, QStringLiteral("StampID"), QStringLiteral("descr"), 0, true});
    watched.push_back({QStringLiteral("StampImage"), QStringLiteral("ImageID"), QString(), 0, false});
    watched.push_back({QStringLiteral("StampNumber"), QStringLiteral("NumberID"), QString(), 0, false});
    return watched;
}

}  // namespace

void InstallChangeCapture(Connection& conn)
{
    sqlite3* db = conn.Checked();
    auto layout = std::make_shared<CaptureLayout>();
    for (const Watched& w : WatchedTables()) {
        if (!TableExists(db, w.table)) continue;
        CapturedTable table;
        table.name = w.table;
        table.columns = DataColumns(db, w.table);
        table.keyIndex = IndexOf(table.columns, w.key);
        if (table.keyIndex < 0) continue;
        table.key = table.columns[table.keyIndex];
        table.descIndex = w.desc.isEmpty() ? -1 : IndexOf(table.columns, w.desc);
        table.codeTable = w.codeTable;
        table.stamps = w.stamps;
        layout->tables.push_back(table);
    }

    ExecSql(db, QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS history_capture (recording INTEGER)"));
    ExecSql(db, QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS history_touched (tbl INTEGER PRIMARY KEY)"));
    for (size_t i = 0; i < layout->tables.size(); ++i) {
        const CapturedTable& table = layout->tables[i];
        const QString before = BeforeTable(i);
        // Columns without a declared type keep every value exactly as it was
        // stored: an integer stays an integer, a real a real.
        QStringList columns{QStringLiteral("present")};
        QStringList olds;
        QStringList updated;
        for (qsizetype c = 0; c < table.columns.size(); ++c) {
            columns << QStringLiteral("c") + QString::number(c);
            olds << QStringLiteral("OLD.") + QuotedName(table.columns[c]);
            updated << QuotedName(table.columns[c]);
        }
        const QString keyColumn = QStringLiteral("c") + QString::number(table.keyIndex);
        ExecSql(db, QStringLiteral("DROP TABLE IF EXISTS temp.") + before);
        ExecSql(db, QStringLiteral("CREATE TEMP TABLE ") + before + u'(' + columns.join(u',') + u')');
        ExecSql(db, QStringLiteral("CREATE UNIQUE INDEX temp.") + before + QStringLiteral("_key ON ") + before + u'(' +
                        keyColumn + u')');
        const QString when = QStringLiteral(" WHEN EXISTS (SELECT 1 FROM history_capture) BEGIN ");
        const QString touched = QStringLiteral("INSERT OR IGNORE INTO history_touched VALUES (") + QString::number(i) +
                                QStringLiteral("); END");
        const QString noteOld = QStringLiteral("INSERT OR IGNORE INTO ") + before + QStringLiteral(" VALUES (1,") +
                                olds.join(u',') + QStringLiteral("); ");
        const QString prefix = QStringLiteral("history_") + QString::number(i);
        const QString on = QStringLiteral(" ON main.") + QuotedName(table.name);
        ExecSql(db, QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS ") + prefix +
                        QStringLiteral("_insert AFTER INSERT") + on + when + QStringLiteral("INSERT OR IGNORE INTO ") +
                        before + QStringLiteral(" (present, ") + keyColumn + QStringLiteral(") VALUES (0, NEW.") +
                        QuotedName(table.key) + QStringLiteral("); ") + touched);
        ExecSql(db, QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS ") + prefix +
                        QStringLiteral("_update BEFORE UPDATE OF ") + updated.join(u',') + on + when + noteOld +
                        touched);
        ExecSql(db, QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS ") + prefix +
                        QStringLiteral("_delete BEFORE DELETE") + on + when + noteOld + touched);
    }
    conn.capture = std::move(layout);
}

// ---------------------------------------------------------------------------

ChangeRecording::ChangeRecording(Database& db, ChangeKind kind)
    : mConn(db.SharedConnection()), mLayout(mConn->capture), mKind(kind)
{
    sqlite3* handle = mConn->Checked();
    if (!mLayout) throw DbError(ErrNo::NoObject, QStringLiteral("The catalogue keeps no history of changes."));
    if (mLayout->depth++ > 0) return;
    mOuter = true;
    try {
        ExecSql(handle, QStringLiteral("DELETE FROM history_capture; INSERT INTO history_capture VALUES (1)"));
    } catch (...) {
        --mLayout->depth;
        mOuter = false;
        throw;
    }
}

ChangeRecording::~ChangeRecording()
{
    if (!mLayout) return;
    --mLayout->depth;
    if (!mOuter || !mConn->db) return;
    // Whatever was noted and not taken goes, and the noting stops.
    sqlite3* db = mConn->db;
    std::vector<int> touched;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT tbl FROM history_touched", -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) touched.push_back(sqlite3_column_int(stmt, 0));
    }
    sqlite3_finalize(stmt);
    for (int table : touched) {
        const QByteArray sql = (QStringLiteral("DELETE FROM ") + BeforeTable(static_cast<size_t>(table))).toUtf8();
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db, "DELETE FROM history_touched; DELETE FROM history_capture", nullptr, nullptr, nullptr);
}

Change ChangeRecording::Finish()
{
    Change change;
    change.kind = mKind;
    change.layout = mLayout;
    if (!mOuter) return change;
    sqlite3* db = mConn->Checked();

    std::vector<int> touched;
    {
        Prepared list(db, QStringLiteral("SELECT tbl FROM history_touched ORDER BY tbl"));
        while (list.Step()) touched.push_back(sqlite3_column_int(*list, 0));
    }
    StampNaming naming;
    for (int t : touched) {
        if (t < 0 || static_cast<size_t>(t) >= mLayout->tables.size()) continue;
        const CapturedTable& table = mLayout->tables[static_cast<size_t>(t)];
        const int columns = static_cast<int>(table.columns.size());
        // Each row noted, as it was (present, then its columns) beside the row as
        // it is (whether it is there, then its columns), in one read.
        QStringList names;
        for (const QString& column : table.columns) names << QStringLiteral("a.") + QuotedName(column);
        const QString keyColumn = QStringLiteral("b.c") + QString::number(table.keyIndex);
        Prepared rows(db, QStringLiteral("SELECT b.*, a.") + QuotedName(table.key) + QStringLiteral(" IS NOT NULL, ") +
                              names.join(u',') + QStringLiteral(" FROM ") + BeforeTable(static_cast<size_t>(t)) +
                              QStringLiteral(" b LEFT JOIN main.") + QuotedName(table.name) +
                              QStringLiteral(" a ON a.") + QuotedName(table.key) + QStringLiteral(" = ") + keyColumn +
                              QStringLiteral(" ORDER BY ") + keyColumn);
        const int nowAt = 1 + columns;
        while (rows.Step()) {
            RowChange row;
            row.table = t;
            row.key = sqlite3_column_int64(*rows, 1 + table.keyIndex);
            if (sqlite3_column_int(*rows, 0) == 1) row.kept = PackColumns(*rows, 1, columns);
            std::optional<QByteArray> now;
            if (sqlite3_column_int(*rows, nowAt) == 1) now = PackColumns(*rows, nowAt + 1, columns);
            // A row written back as it was is no change.
            if (now == row.kept) continue;
            row.live = RowFingerprint(now);
            if (table.descIndex >= 0) {
                const QByteArray& shown = now ? *now : *row.kept;
                naming.Note(table, row.key, PackedValue(shown, table.descIndex).toString());
            }
            if (table.codeTable > 0 && !change.codeTables.contains(table.codeTable))
                change.codeTables << table.codeTable;
            change.rows.push_back(std::move(row));
        }
        ExecSql(db, QStringLiteral("DELETE FROM ") + BeforeTable(static_cast<size_t>(t)));
    }
    ExecSql(db, QStringLiteral("DELETE FROM history_touched"));
    change.name = naming.Name(mKind);
    change.focusStamp = naming.FirstStamp();
    return change;
}
