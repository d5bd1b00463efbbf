#include "csv/CsvImport.h"

#include "codes/CodeTables.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Prompts.h"
#include "db/StringHelpers.h"
#include "db/TextColumns.h"
#include "db/TextKeys.h"
#include "search/Collation.h"
#include "search/Folding.h"

#include <sqlite3.h>

namespace {

void Exec(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
}

constexpr int kImportCacheKb = 32 * 1024;

// The engine's page cache made at least so large for a while.
class CacheSize {
public:
    CacheSize(sqlite3* db, int kilobytes) : mDb(db)
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA cache_size", -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            mBefore = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        // A negative size is in kilobytes, a positive one in pages.
        const qint64 beforeKb = mBefore < 0 ? -mBefore : mBefore * 4;
        if (beforeKb < kilobytes) Set(-qint64(kilobytes));
        else mDb = nullptr;
    }
    ~CacheSize()
    {
        if (mDb) Set(mBefore);
    }
    CacheSize(const CacheSize&) = delete;
    CacheSize& operator=(const CacheSize&) = delete;

private:
    void Set(qint64 size)
    {
        const QByteArray sql = "PRAGMA cache_size = " + QByteArray::number(size);
        sqlite3_exec(mDb, sql.constData(), nullptr, nullptr, nullptr);
    }
    sqlite3* mDb;
    qint64 mBefore = -2000;
};

// A text column of the stamp table with stored keys, and the field it holds
// (Fld::Ignore for the catalogue-number sort key).
struct KeyedColumn {
    QString name;
    int field;
};

std::vector<KeyedColumn> StampKeyedColumns()
{
    std::vector<KeyedColumn> columns;
    for (const TextColumn& c : TextColumns()) {
        if (QString::fromLatin1(c.table).compare(u"Stamp", Qt::CaseInsensitive) != 0) continue;
        const QString name = QString::fromLatin1(c.column);
        int field = Fld::Ignore;
        for (int f = 0; f < Fld::Count; ++f)
            if (name.compare(QString::fromLatin1(StampFields()[size_t(f)].column), Qt::CaseInsensitive) == 0) field = f;
        columns.push_back({name, field});
    }
    return columns;
}

// The column names a write gives values to, in the order they are bound: every
// field, the catalogue-number sort key, then the stored keys of the texts.
QStringList WrittenColumns(const std::vector<KeyedColumn>& keyed)
{
    QStringList names = StampColumnList().split(QStringLiteral(", "));
    names << QStringLiteral("catsort");
    for (const KeyedColumn& k : keyed) names << k.name + QStringLiteral("_fold") << k.name + QStringLiteral("_sort");
    return names;
}

// Binds the stored keys of the row's texts, as the catalogue's key queue would
// make them, from parameter first on.
void BindKeys(sqlite3_stmt* stmt, int first, const StampRow& row, const std::vector<KeyedColumn>& keyed)
{
    int i = first;
    for (const KeyedColumn& k : keyed) {
        const QString text = k.field >= 0 ? row.Text(k.field) : CatalogueSortKey(row.catnum);
        const QByteArray fold = FoldText(text).toUtf8();
        const QByteArray key = CollationKey(text);
        sqlite3_bind_text(stmt, i++, fold.constData(), int(fold.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(stmt, i++, key.constData(), int(key.size()), SQLITE_TRANSIENT);
    }
}

}  // namespace

ImportResult RunImport(Database& db, const ImportPlan& plan)
{
    ImportResult result;
    result.counts.skipped = plan.counts.skipped;
    result.counts.refused = plan.counts.refused;
    const auto conn = db.SharedConnection();
    sqlite3* handle = conn->Checked();
    // The indexes of a large catalogue take more room than the engine's cache
    // gives them by default; every row would read and write them again.
    const CacheSize cache(handle, kImportCacheKb);

    Exec(handle, "BEGIN IMMEDIATE");
    try {
        // The rows get their text keys as they are written; whatever the queue
        // holds from before is done first, so that what it holds afterwards of
        // the stamp table is this import's.
        const bool keys = conn->textKeys;
        if (keys) RefreshTextKeys(handle);
        const std::vector<KeyedColumn> keyed = keys ? StampKeyedColumns() : std::vector<KeyedColumn>();

        // Without the queue's triggers a row's statement needs no journal of its
        // own, which halves the time of a large import.
        const QStringList triggers = keys ? DropTextKeyTriggers(handle, QStringLiteral("Stamp")) : QStringList();
        Progress progress(QStringLiteral("Import from CSV"), QStringLiteral("Importing the stamps..."),
                          qint64(plan.rows.size()), true);
        for (int table = 1; table <= 9; ++table) {
            const QStringList& names = plan.newEntries[size_t(table)];
            if (names.isEmpty()) continue;
            const CodeTableInfo& info = CodeTableInfoFor(table);
            Statement insert(conn, QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(info.table, info.descField));
            for (const QString& name : names) {
                insert.Reset();
                const QByteArray utf8 = name.toUtf8();
                sqlite3_bind_text(insert.Handle(), 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
                insert.Step();
                result.newCodeIds[size_t(table)].push_back(sqlite3_last_insert_rowid(handle));
            }
            result.counts.newEntries[size_t(table)] = names.size();
        }

        const QStringList columns = WrittenColumns(keyed);
        QStringList marks, sets;
        for (const QString& column : columns) {
            marks << QStringLiteral("?");
            sets << column + QStringLiteral(" = ?");
        }
        Statement insert(conn, QStringLiteral("INSERT INTO Stamp (") + columns.join(QStringLiteral(", ")) +
                                   QStringLiteral(") VALUES (") + marks.join(u',') + u')');
        Statement update(conn, QStringLiteral("UPDATE Stamp SET ") + sets.join(QStringLiteral(", ")) +
                                   QStringLiteral(" WHERE StampID = ?"));
        const int keysAt = Fld::Count + 2;
        qint64 done = 0;
        for (const PlannedRow& row : plan.rows) {
            Statement& write = row.stampId != 0 ? update : insert;
            write.Reset();
            BindStampRow(write.Handle(), 1, row.values, result.newCodeIds);
            BindKeys(write.Handle(), keysAt, row.values, keyed);
            if (row.stampId != 0) sqlite3_bind_int64(write.Handle(), int(columns.size()) + 1, row.stampId);
            write.Step();
            if (row.stampId != 0) {
                result.updatedIds.push_back(row.stampId);
                ++result.counts.updated;
            } else {
                result.addedIds.push_back(sqlite3_last_insert_rowid(handle));
                ++result.counts.added;
            }
            if (!progress.Step(++done)) {
                result = ImportResult();
                result.cancelled = true;
                break;
            }
        }
        insert.Reset();
        update.Reset();
        if (result.cancelled) {
            Exec(handle, "ROLLBACK");
            return result;
        }
        // The stamps carry their keys already; the new code entries get theirs,
        // so that the catalogue is whole at the commit.
        for (const QString& sql : triggers) Exec(handle, sql.toUtf8().constData());
        conn->RefreshTextKeysIfWritten();
        Exec(handle, "COMMIT");
    } catch (...) {
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    return result;
}
