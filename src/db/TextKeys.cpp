#include "db/TextKeys.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/Prompts.h"
#include "search/Collation.h"
#include "search/Folding.h"

#include <QStringList>

#include <sqlite3.h>


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

QString ColumnList(const KeyedTable& table)
{
    QStringList names;
    for (const QString& c : table.columns) names << Quoted(c);
    return names.join(u',');
}

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
                     QStringLiteral(" AFTER UPDATE OF ") + ColumnList(t) + QStringLiteral(" ON ") +
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

// The folding and the collation as SQL functions, for one statement that makes
// the keys of many rows at once. They live only while that work runs: nothing
// in the file ever depends on them.
void FoldFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(args[0])),
                                           sqlite3_value_bytes(args[0]));
    const QByteArray folded = FoldText(text).toUtf8();
    sqlite3_result_text(context, folded.constData(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

void KeyFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(args[0])),
                                           sqlite3_value_bytes(args[0]));
    const QByteArray key = CollationKey(text);
    sqlite3_result_blob(context, key.constData(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

class KeyFunctions {
public:
    explicit KeyFunctions(sqlite3* db) : mDb(db)
    {
        constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
        if (sqlite3_create_function_v2(db, "tessarine_fold", 1, flags, nullptr, FoldFunction, nullptr, nullptr,
                                       nullptr) != SQLITE_OK ||
            sqlite3_create_function_v2(db, "tessarine_key", 1, flags, nullptr, KeyFunction, nullptr, nullptr,
                                       nullptr) != SQLITE_OK)
            ThrowEngineError(db, sqlite3_errcode(db));
    }
    ~KeyFunctions()
    {
        sqlite3_create_function_v2(mDb, "tessarine_fold", 1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
        sqlite3_create_function_v2(mDb, "tessarine_key", 1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    KeyFunctions(const KeyFunctions&) = delete;
    KeyFunctions& operator=(const KeyFunctions&) = delete;

private:
    sqlite3* mDb;
};

const QString kFindTextTable = QStringLiteral("Stamp");
const QString kFindText = QStringLiteral("find_text");

// True once the catalogue keeps the stamps' joined folded texts.
bool HasFindText(sqlite3* db)
{
    return ColumnsOf(db, kFindTextTable).contains(kFindText, Qt::CaseInsensitive);
}

// The joined folded texts of a stamp, from its texts (with KeyFunctions in
// place) or from their stored folded forms.
QString FindTextValue(bool fromStoredFolds)
{
    QStringList parts;
    for (const char* column : FindTextColumns()) {
        const QString name = Name(column);
        parts << (fromStoredFolds ? Quoted(name + QStringLiteral("_fold"))
                                  : QStringLiteral("tessarine_fold(") + Quoted(name) + u')');
    }
    return parts.join(QStringLiteral(" || char(10) || "));
}

// "UPDATE table SET every key = its text's key", with KeyFunctions in place.
QString KeysUpdate(const KeyedTable& t, bool findText)
{
    QStringList sets;
    for (const QString& c : t.columns)
        sets << Quoted(c + QStringLiteral("_fold")) + QStringLiteral(" = tessarine_fold(") + Quoted(c) + u')'
             << Quoted(c + QStringLiteral("_sort")) + QStringLiteral(" = tessarine_key(") + Quoted(c) + u')';
    if (findText && t.table == kFindTextTable) sets << Quoted(kFindText) + QStringLiteral(" = ") + FindTextValue(false);
    return QStringLiteral("UPDATE ") + Quoted(t.table) + QStringLiteral(" SET ") + sets.join(u',');
}

// Makes every key of every row anew: one statement a table, run over a range of
// record keys at a time so that the progress can move.
void RebuildAll(sqlite3* db)
{
    qint64 total = 0;
    for (const KeyedTable& t : KeyedTables()) total += RowCount(db, t.table);
    Progress progress(QStringLiteral("Tessarine"), QStringLiteral("Preparing the catalogue for finding and sorting..."),
                      total);
    const KeyFunctions functions(db);
    const bool findText = HasFindText(db);
    qint64 done = 0;
    constexpr qint64 kBatch = 5000;
    for (const KeyedTable& t : KeyedTables()) {
        Prepared range(db, QStringLiteral("SELECT min(rowid), max(rowid) FROM ") + Quoted(t.table));
        range.Step();
        if (sqlite3_column_type(*range, 0) == SQLITE_NULL) continue;
        const qint64 first = sqlite3_column_int64(*range, 0);
        const qint64 last = sqlite3_column_int64(*range, 1);
        Prepared update(db, KeysUpdate(t, findText) + QStringLiteral(" WHERE rowid BETWEEN ? AND ?"));
        for (qint64 from = first;; from += kBatch) {
            const qint64 to = last - from < kBatch ? last : from + kBatch - 1;
            update.Reset();
            sqlite3_bind_int64(*update, 1, from);
            sqlite3_bind_int64(*update, 2, to);
            update.Step();
            done += sqlite3_changes(db);
            progress.Step(done);
            if (to == last) break;
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
    {
        Prepared any(db, QStringLiteral("SELECT 1 FROM TextKeyQueue LIMIT 1"));
        if (!any.Step()) return;
    }
    Savepoint savepoint(db);
    const KeyFunctions functions(db);
    const bool findText = HasFindText(db);
    for (const KeyedTable& t : KeyedTables())
        Exec(db, KeysUpdate(t, findText) +
                     QStringLiteral(" WHERE rowid IN (SELECT id FROM TextKeyQueue WHERE tbl = '") + t.table +
                     QStringLiteral("')"));
    Exec(db, QStringLiteral("DELETE FROM TextKeyQueue"));
    savepoint.Release();
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

void AddFindText(sqlite3* db)
{
    if (!HasFindText(db)) {
        Exec(db, QStringLiteral("ALTER TABLE ") + Quoted(kFindTextTable) + QStringLiteral(" ADD COLUMN ") +
                     Quoted(kFindText) + QStringLiteral(" TEXT NOT NULL DEFAULT ''"));
    }
    // Filled from the folded texts already kept, a range of record keys at a time
    // so that the progress can move; rows still queued get theirs when the queue
    // is worked off.
    Progress progress(QStringLiteral("Tessarine"), QStringLiteral("Preparing the catalogue for the stamp list..."),
                      RowCount(db, kFindTextTable));
    Prepared range(db, QStringLiteral("SELECT min(rowid), max(rowid) FROM ") + Quoted(kFindTextTable));
    range.Step();
    if (sqlite3_column_type(*range, 0) != SQLITE_NULL) {
        const qint64 first = sqlite3_column_int64(*range, 0);
        const qint64 last = sqlite3_column_int64(*range, 1);
        Prepared update(db, QStringLiteral("UPDATE ") + Quoted(kFindTextTable) + QStringLiteral(" SET ") +
                                Quoted(kFindText) + QStringLiteral(" = ") + FindTextValue(true) +
                                QStringLiteral(" WHERE rowid BETWEEN ? AND ?"));
        constexpr qint64 kBatch = 5000;
        qint64 done = 0;
        for (qint64 from = first;; from += kBatch) {
            const qint64 to = last - from < kBatch ? last : from + kBatch - 1;
            update.Reset();
            sqlite3_bind_int64(*update, 1, from);
            sqlite3_bind_int64(*update, 2, to);
            update.Step();
            done += sqlite3_changes(db);
            progress.Step(done);
            if (to == last) break;
        }
    }
    // The filter reads the joined texts and the two codes it also looks at from
    // this index alone, never from the rows themselves.
    Exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS StampFindText ON Stamp (find_text, CouID, topID)"));
}
