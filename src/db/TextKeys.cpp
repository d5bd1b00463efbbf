#include "db/TextKeys.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/Prompts.h"
#include "search/Collation.h"
#include "search/Folding.h"

#include <QHash>
#include <QStringList>

#include <sqlite3.h>

#include <map>
#include <memory>
#include <utility>

namespace {

const QString kIdentityName = QStringLiteral("text keys");

void Exec(sqlite3* db, const QString& sql)
{
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_exec(db, utf8.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
}

// A prepared statement on a raw handle, finalized with its scope.
class Prepared {
public:
    Prepared(sqlite3* db, const QString& sql) : mDb(db)
    {
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &mStmt, nullptr);
        if (rc != SQLITE_OK) ThrowEngineError(db, rc);
    }
    ~Prepared() { sqlite3_finalize(mStmt); }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    sqlite3_stmt* operator*() const { return mStmt; }
    bool Step()
    {
        const int rc = sqlite3_step(mStmt);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        ThrowEngineError(mDb, rc);
    }
    void Reset()
    {
        sqlite3_reset(mStmt);
        sqlite3_clear_bindings(mStmt);
    }
    QString Text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(mStmt, column)),
                                 sqlite3_column_bytes(mStmt, column));
    }

private:
    sqlite3* mDb;
    sqlite3_stmt* mStmt = nullptr;
};

// A savepoint that rolls back unless released.
class Savepoint {
public:
    explicit Savepoint(sqlite3* db) : mDb(db) { Exec(db, QStringLiteral("SAVEPOINT text_keys")); }
    ~Savepoint()
    {
        if (mDb) {
            sqlite3_exec(mDb, "ROLLBACK TO text_keys", nullptr, nullptr, nullptr);
            sqlite3_exec(mDb, "RELEASE text_keys", nullptr, nullptr, nullptr);
        }
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void Release()
    {
        Exec(mDb, QStringLiteral("RELEASE text_keys"));
        mDb = nullptr;
    }

private:
    sqlite3* mDb;
};

QString Quoted(const QString& name) { return u'"' + name + u'"'; }
QString Name(const char* name) { return QString::fromLatin1(name); }

// The text columns of one table.
struct KeyedTable {
    QString table;
    QStringList columns;
};

const std::vector<KeyedTable>& KeyedTables()
{
    static const std::vector<KeyedTable> tables = [] {
        std::vector<KeyedTable> result;
        for (const TextColumn& c : TextColumns()) {
            const QString table = Name(c.table);
            if (result.empty() || result.back().table != table) result.push_back({table, {}});
            result.back().columns << Name(c.column);
        }
        return result;
    }();
    return tables;
}

const KeyedTable* FindTable(const QString& name)
{
    for (const KeyedTable& t : KeyedTables())
        if (t.table.compare(name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

// Reads the texts of rows and writes their keys.
class KeyWriter {
public:
    KeyWriter(sqlite3* db, const KeyedTable& table)
        : mTable(table),
          mRead(db, QStringLiteral("SELECT ") + Columns(table, QString()) + QStringLiteral(" FROM ") +
                        Quoted(table.table) + QStringLiteral(" WHERE rowid = ?")),
          mWrite(db, WriteSql(table))
    {
    }

    // Makes the keys of one row; a row that no longer exists is passed over.
    void Row(qint64 id)
    {
        mRead.Reset();
        sqlite3_bind_int64(*mRead, 1, id);
        if (!mRead.Step()) return;
        QStringList texts;
        for (int i = 0; i < mTable.columns.size(); ++i) texts << mRead.Text(i);
        mRead.Reset();
        Write(id, texts);
    }

    void Write(qint64 id, const QStringList& texts)
    {
        mWrite.Reset();
        int bind = 1;
        for (const QString& text : texts) {
            const QByteArray fold = FoldText(text).toUtf8();
            const QByteArray key = CollationKey(text);
            sqlite3_bind_text(*mWrite, bind++, fold.constData(), static_cast<int>(fold.size()), SQLITE_TRANSIENT);
            sqlite3_bind_blob(*mWrite, bind++, key.constData(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
        }
        sqlite3_bind_int64(*mWrite, bind, id);
        mWrite.Step();
    }

    static QString Columns(const KeyedTable& table, const QString& suffix)
    {
        QStringList names;
        for (const QString& c : table.columns) names << Quoted(c + suffix);
        return names.join(u',');
    }

private:
    static QString WriteSql(const KeyedTable& table)
    {
        QStringList sets;
        for (const QString& c : table.columns)
            sets << Quoted(c + QStringLiteral("_fold")) + QStringLiteral(" = ?") << Quoted(c + QStringLiteral("_sort")) + QStringLiteral(" = ?");
        return QStringLiteral("UPDATE ") + Quoted(table.table) + QStringLiteral(" SET ") + sets.join(u',') +
               QStringLiteral(" WHERE rowid = ?");
    }

    const KeyedTable& mTable;
    Prepared mRead;
    Prepared mWrite;
};

QString TriggerName(const KeyedTable& t, const char* event)
{
    return t.table + QStringLiteral("_text_keys_") + QString::fromLatin1(event);
}

void CreateTriggers(sqlite3* db)
{
    for (const KeyedTable& t : KeyedTables()) {
        const QString queue = QStringLiteral(" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('") + t.table +
                              QStringLiteral("', NEW.rowid); END");
        Exec(db, QStringLiteral("CREATE TRIGGER IF NOT EXISTS ") + Quoted(TriggerName(t, "insert")) +
                     QStringLiteral(" AFTER INSERT ON ") + Quoted(t.table) + queue);
        Exec(db, QStringLiteral("CREATE TRIGGER IF NOT EXISTS ") + Quoted(TriggerName(t, "update")) +
                     QStringLiteral(" AFTER UPDATE OF ") + KeyWriter::Columns(t, QString()) + QStringLiteral(" ON ") +
                     Quoted(t.table) + queue);
    }
}

bool TriggersPresent(sqlite3* db)
{
    Prepared count(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND name LIKE "
                                      "'%\\_text\\_keys\\_%' ESCAPE '\\'"));
    count.Step();
    return sqlite3_column_int64(*count, 0) == static_cast<qint64>(KeyedTables().size() * 2);
}

void StoreIdentity(sqlite3* db)
{
    Prepared store(db, QStringLiteral("INSERT OR REPLACE INTO CatalogueInfo (name, value) VALUES (?, ?)"));
    const QByteArray name = kIdentityName.toUtf8();
    const QByteArray identity = CollationIdentity().toUtf8();
    sqlite3_bind_text(*store, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(*store, 2, identity.constData(), static_cast<int>(identity.size()), SQLITE_TRANSIENT);
    store.Step();
}

QString StoredIdentity(sqlite3* db)
{
    Prepared read(db, QStringLiteral("SELECT value FROM CatalogueInfo WHERE name = 'text keys'"));
    return read.Step() ? read.Text(0) : QString();
}

QStringList ColumnsOf(sqlite3* db, const QString& table)
{
    QStringList names;
    Prepared info(db, QStringLiteral("PRAGMA table_info(") + Quoted(table) + u')');
    while (info.Step()) names << info.Text(1);
    return names;
}

qint64 RowCount(sqlite3* db, const QString& table)
{
    Prepared count(db, QStringLiteral("SELECT count(*) FROM ") + Quoted(table));
    count.Step();
    return sqlite3_column_int64(*count, 0);
}

// Makes every key of every row anew, a batch of rows at a time.
void RebuildAll(sqlite3* db)
{
    qint64 total = 0;
    for (const KeyedTable& t : KeyedTables()) total += RowCount(db, t.table);
    Progress progress(QStringLiteral("Tessarine"), QStringLiteral("Preparing the catalogue for finding and sorting..."),
                      total);
    qint64 done = 0;
    constexpr int kBatch = 2000;
    for (const KeyedTable& t : KeyedTables()) {
        KeyWriter writer(db, t);
        Prepared batch(db, QStringLiteral("SELECT rowid, ") + KeyWriter::Columns(t, QString()) +
                               QStringLiteral(" FROM ") + Quoted(t.table) +
                               QStringLiteral(" WHERE rowid > ? ORDER BY rowid LIMIT %1").arg(kBatch));
        qint64 after = std::numeric_limits<qint64>::min();
        for (;;) {
            std::vector<std::pair<qint64, QStringList>> rows;
            batch.Reset();
            sqlite3_bind_int64(*batch, 1, after);
            while (batch.Step()) {
                QStringList texts;
                for (int i = 0; i < t.columns.size(); ++i) texts << batch.Text(i + 1);
                rows.emplace_back(sqlite3_column_int64(*batch, 0), std::move(texts));
            }
            batch.Reset();
            if (rows.empty()) break;
            for (const auto& [id, texts] : rows) writer.Write(id, texts);
            after = rows.back().first;
            done += static_cast<qint64>(rows.size());
            progress.Step(done);
        }
    }
    StoreIdentity(db);
}

}  // namespace

void AddTextKeys(sqlite3* db)
{
    Exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS CatalogueInfo (name TEXT PRIMARY KEY, value TEXT)"));
    Exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS TextKeyQueue (tbl TEXT NOT NULL, id INTEGER NOT NULL, PRIMARY KEY (tbl, id)) "
                            "WITHOUT ROWID"));
    for (const KeyedTable& t : KeyedTables()) {
        const QStringList present = ColumnsOf(db, t.table);
        for (const QString& c : t.columns) {
            if (present.contains(c + QStringLiteral("_fold"), Qt::CaseInsensitive)) continue;
            // Folded text compares without regard to ASCII case as well, so that a
            // like pattern can use the column's index.
            Exec(db, QStringLiteral("ALTER TABLE ") + Quoted(t.table) + QStringLiteral(" ADD COLUMN ") +
                         Quoted(c + QStringLiteral("_fold")) + QStringLiteral(" TEXT NOT NULL DEFAULT '' COLLATE NOCASE"));
            Exec(db, QStringLiteral("ALTER TABLE ") + Quoted(t.table) + QStringLiteral(" ADD COLUMN ") +
                         Quoted(c + QStringLiteral("_sort")) + QStringLiteral(" BLOB NOT NULL DEFAULT x''"));
        }
    }
    RebuildAll(db);
    // The sort orders and code lists read their keys in order; finds by
    // description and catalogue number look the folded text up.
    const char* const indexes[] = {
        "CREATE INDEX IF NOT EXISTS StampDescrSort ON Stamp (descr_sort)",
        "CREATE INDEX IF NOT EXISTS StampCatsortSort ON Stamp (catsort_sort)",
        "CREATE INDEX IF NOT EXISTS StampDescrFold ON Stamp (descr_fold)",
        "CREATE INDEX IF NOT EXISTS StampCatnumFold ON Stamp (catnum_fold)",
        "CREATE INDEX IF NOT EXISTS CancelDescSort ON cancel (CanDesc_sort)",
        "CREATE INDEX IF NOT EXISTS ConditionDescSort ON Condition (conDesc_sort)",
        "CREATE INDEX IF NOT EXISTS CountryDescSort ON country (Coudesc_sort)",
        "CREATE INDEX IF NOT EXISTS FormatDescSort ON format (FormDesc_sort)",
        "CREATE INDEX IF NOT EXISTS GumDescSort ON gum (GumDesc_sort)",
        "CREATE INDEX IF NOT EXISTS PaperDescSort ON paper (Papdesc_sort)",
        "CREATE INDEX IF NOT EXISTS PerfDescSort ON Perf (PerfDesc_sort)",
        "CREATE INDEX IF NOT EXISTS TopicDescSort ON topic (TopDesc_sort)",
        "CREATE INDEX IF NOT EXISTS TypeDescSort ON type (Typedesc_sort)",
    };
    for (const char* sql : indexes) Exec(db, QString::fromLatin1(sql));
    CreateTriggers(db);
}

void RefreshTextKeys(sqlite3* db)
{
    std::vector<std::pair<QString, qint64>> queued;
    {
        Prepared read(db, QStringLiteral("SELECT tbl, id FROM TextKeyQueue ORDER BY tbl, id"));
        while (read.Step()) queued.emplace_back(read.Text(0), sqlite3_column_int64(*read, 1));
    }
    if (queued.empty()) return;
    Savepoint savepoint(db);
    std::unique_ptr<KeyWriter> writer;
    QString current;
    for (const auto& [table, id] : queued) {
        if (!writer || table != current) {
            writer.reset();
            const KeyedTable* t = FindTable(table);
            if (!t) continue;
            writer = std::make_unique<KeyWriter>(db, *t);
            current = table;
        }
        writer->Row(id);
    }
    writer.reset();
    Exec(db, QStringLiteral("DELETE FROM TextKeyQueue"));
    savepoint.Release();
}

QStringList DropTextKeyTriggers(sqlite3* db, const QString& table)
{
    const KeyedTable* t = FindTable(table);
    if (!t) return {};
    QStringList restore;
    for (const char* event : {"insert", "update"}) {
        Prepared read(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'trigger' AND name = ?"));
        const QByteArray name = TriggerName(*t, event).toUtf8();
        sqlite3_bind_text(*read, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        if (!read.Step()) continue;
        restore << read.Text(0);
        read.Reset();
        Exec(db, QStringLiteral("DROP TRIGGER ") + Quoted(TriggerName(*t, event)));
    }
    return restore;
}

void CheckTextKeys(sqlite3* db)
{
    Savepoint savepoint(db);
    const bool triggers = TriggersPresent(db);
    if (!triggers) CreateTriggers(db);
    if (!triggers || StoredIdentity(db) != CollationIdentity()) {
        RebuildAll(db);
        Exec(db, QStringLiteral("DELETE FROM TextKeyQueue"));
    } else {
        RefreshTextKeys(db);
    }
    savepoint.Release();
}
