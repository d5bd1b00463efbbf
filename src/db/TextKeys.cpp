#include "db/TextKeys.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/Prompts.h"
#include "db/RawSql.h"
#include "search/Collation.h"
#include "search/Folding.h"

#include <QStringList>

#include <sqlite3.h>

#include <string>

namespace {

const QString kIdentityName = QStringLiteral("text keys");

// A savepoint that rolls back unless released.
class Savepoint {
public:
    explicit Savepoint(sqlite3* db) : mDb(db) { ExecSql(db, QStringLiteral("SAVEPOINT text_keys")); }
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
        ExecSql(mDb, QStringLiteral("RELEASE text_keys"));
        mDb = nullptr;
    }

private:
    sqlite3* mDb;
};

QString Name(const char* name)
{
    return QString::fromLatin1(name);
}

// The text columns of one table, with the keys each keeps.
struct KeyedColumn {
    QString name;
    bool folded;
    bool sorted;
};
struct KeyedTable {
    QString table;
    std::vector<KeyedColumn> columns;
};

const std::vector<KeyedTable>& KeyedTables()
{
    static const std::vector<KeyedTable> tables = [] {
        std::vector<KeyedTable> result;
        for (const TextColumn& c : TextColumns()) {
            const QString table = Name(c.table);
            if (result.empty() || result.back().table != table) result.push_back({table, {}});
            result.back().columns.push_back({Name(c.column), c.folded, c.sorted});
        }
        return result;
    }();
    return tables;
}

// The keyed tables the file has: a file is made at its first layout and brought
// up step by step, and a step may come before the tables of a later one.
std::vector<const KeyedTable*> PresentTables(sqlite3* db)
{
    QStringList names;
    {
        Prepared list(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
        while (list.Step()) names << list.Text(0);
    }
    std::vector<const KeyedTable*> present;
    for (const KeyedTable& t : KeyedTables())
        if (names.contains(t.table, Qt::CaseInsensitive)) present.push_back(&t);
    return present;
}

// The present tables among the named ones (all present ones when none are named).
std::vector<const KeyedTable*> PresentTables(sqlite3* db, const QStringList& only)
{
    std::vector<const KeyedTable*> tables;
    for (const KeyedTable* t : PresentTables(db))
        if (only.isEmpty() || only.contains(t->table, Qt::CaseInsensitive)) tables.push_back(t);
    return tables;
}

const KeyedTable* FindTable(const QString& name)
{
    for (const KeyedTable& t : KeyedTables())
        if (t.table.compare(name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

QString ColumnList(const KeyedTable& table)
{
    QStringList names;
    for (const KeyedColumn& c : table.columns) names << QuotedName(c.name);
    return names.join(u',');
}

QString TriggerName(const KeyedTable& t, const char* event)
{
    return t.table + QStringLiteral("_text_keys_") + QString::fromLatin1(event);
}

void CreateTriggers(sqlite3* db, const std::vector<const KeyedTable*>& tables)
{
    for (const KeyedTable* table : tables) {
        const KeyedTable& t = *table;
        const QString queue = QStringLiteral(" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('") +
                              t.table + QStringLiteral("', NEW.rowid); END");
        ExecSql(db, QStringLiteral("CREATE TRIGGER IF NOT EXISTS ") + QuotedName(TriggerName(t, "insert")) +
                        QStringLiteral(" AFTER INSERT ON ") + QuotedName(t.table) + queue);
        ExecSql(db, QStringLiteral("CREATE TRIGGER IF NOT EXISTS ") + QuotedName(TriggerName(t, "update")) +
                        QStringLiteral(" AFTER UPDATE OF ") + ColumnList(t) + QStringLiteral(" ON ") +
                        QuotedName(t.table) + queue);
    }
}

bool TriggersPresent(sqlite3* db)
{
    Prepared count(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND name LIKE "
                                      "'%\\_text\\_keys\\_%' ESCAPE '\\'"));
    count.Step();
    return sqlite3_column_int64(*count, 0) == static_cast<qint64>(PresentTables(db).size() * 2);
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
    Prepared info(db, QStringLiteral("PRAGMA table_info(") + QuotedName(table) + u')');
    while (info.Step()) names << info.Text(1);
    return names;
}

qint64 RowCount(sqlite3* db, const QString& table)
{
    Prepared count(db, QStringLiteral("SELECT count(*) FROM ") + QuotedName(table));
    count.Step();
    return sqlite3_column_int64(*count, 0);
}

// The folding and the collation as SQL functions, for one statement that makes
// the keys of many rows at once. They live only while that work runs: nothing
// in the file ever depends on them.
void FoldFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
    const int size = sqlite3_value_bytes(args[0]);
    // Plain ASCII, most collector text, folds byte by byte.
    std::string ascii(bytes ? bytes : "", static_cast<size_t>(size));
    bool plain = true;
    for (char& c : ascii) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            plain = false;
            break;
        }
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (plain) {
        sqlite3_result_text(context, ascii.data(), size, SQLITE_TRANSIENT);
        return;
    }
    const QByteArray folded = FoldText(QString::fromUtf8(bytes, size)).toUtf8();
    sqlite3_result_text(context, folded.constData(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

void KeyFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(args[0])), sqlite3_value_bytes(args[0]));
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

// A page cache large enough that rewriting every row of a large catalogue in one
// transaction does not spill to the disk along the way (each spill syncs the
// journal); the usual size again afterwards.
class LargeCache {
public:
    explicit LargeCache(sqlite3* db) : mDb(db)
    {
        Prepared size(db, QStringLiteral("PRAGMA cache_size"));
        if (size.Step()) mPrevious = sqlite3_column_int64(*size, 0);
        ExecSql(db, QStringLiteral("PRAGMA cache_size = -262144"));
    }
    ~LargeCache()
    {
        const QByteArray sql = "PRAGMA cache_size = " + QByteArray::number(mPrevious);
        sqlite3_exec(mDb, sql.constData(), nullptr, nullptr, nullptr);
    }
    LargeCache(const LargeCache&) = delete;
    LargeCache& operator=(const LargeCache&) = delete;

private:
    sqlite3* mDb;
    qint64 mPrevious = -2000;
};

const QString kFindTextTable = QStringLiteral("Stamp");
const QString kFindText = QStringLiteral("find_text");

// True once the catalogue keeps the stamps' joined folded texts.
bool HasFindText(sqlite3* db)
{
    return ColumnsOf(db, kFindTextTable).contains(kFindText, Qt::CaseInsensitive);
}

// True once the catalogue keeps the stamps' numbers in other catalogues.
bool HasStampNumbers(sqlite3* db)
{
    return !ColumnsOf(db, QStringLiteral("StampNumber")).isEmpty();
}

// The joined folded texts of a stamp: the texts, and its numbers in other
// catalogues where the catalogue keeps them, joined by line feeds and folded at
// once (with KeyFunctions in place).
QString FindTextValue(bool numbers)
{
    QStringList parts;
    for (const char* column : FindTextColumns())
        parts << QStringLiteral("coalesce(") + QuotedName(Name(column)) + QStringLiteral(", '')");
    if (numbers)
        parts << QStringLiteral(
            "coalesce((SELECT group_concat(CatNo, char(10)) FROM StampNumber WHERE "
            "StampNumber.StampID = Stamp.StampID), '')");
    return QStringLiteral("tessarine_fold(") + parts.join(QStringLiteral(" || char(10) || ")) + u')';
}

// The indexes of the stored keys: the sort orders and code lists read their
// keys in order, finds by description and catalogue number look the folded text
// up, and the stamp list's filter reads the joined texts and the two codes it
// also looks at from its index alone.
struct KeyIndex {
    const char* table;
    const char* name;
    const char* sql;
};
const KeyIndex kKeyIndexes[] = {
    {"Stamp", "StampDescrSort", "CREATE INDEX IF NOT EXISTS StampDescrSort ON Stamp (descr_sort)"},
    {"Stamp", "StampCatsortSort", "CREATE INDEX IF NOT EXISTS StampCatsortSort ON Stamp (catsort_sort)"},
    {"Stamp", "StampDescrFold", "CREATE INDEX IF NOT EXISTS StampDescrFold ON Stamp (descr_fold)"},
    {"Stamp", "StampCatnumFold", "CREATE INDEX IF NOT EXISTS StampCatnumFold ON Stamp (catnum_fold)"},
    {"Stamp", "StampFindText", "CREATE INDEX IF NOT EXISTS StampFindText ON Stamp (find_text, CouID, topID)"},
    {"cancel", "CancelDescSort", "CREATE INDEX IF NOT EXISTS CancelDescSort ON cancel (CanDesc_sort)"},
    {"Condition", "ConditionDescSort", "CREATE INDEX IF NOT EXISTS ConditionDescSort ON Condition (conDesc_sort)"},
    {"country", "CountryDescSort", "CREATE INDEX IF NOT EXISTS CountryDescSort ON country (Coudesc_sort)"},
    {"format", "FormatDescSort", "CREATE INDEX IF NOT EXISTS FormatDescSort ON format (FormDesc_sort)"},
    {"gum", "GumDescSort", "CREATE INDEX IF NOT EXISTS GumDescSort ON gum (GumDesc_sort)"},
    {"paper", "PaperDescSort", "CREATE INDEX IF NOT EXISTS PaperDescSort ON paper (Papdesc_sort)"},
    {"Perf", "PerfDescSort", "CREATE INDEX IF NOT EXISTS PerfDescSort ON Perf (PerfDesc_sort)"},
    {"topic", "TopicDescSort", "CREATE INDEX IF NOT EXISTS TopicDescSort ON topic (TopDesc_sort)"},
    {"type", "TypeDescSort", "CREATE INDEX IF NOT EXISTS TypeDescSort ON type (Typedesc_sort)"},
    // The list of catalogues in its order; the stamps' numbers in other
    // catalogues by their folded text, for the catalogue-number find, and read
    // from the index alone by the list's filter.
    {"Catalog", "CatalogDescSort", "CREATE INDEX IF NOT EXISTS CatalogDescSort ON Catalog (CatalogDesc_sort)"},
    {"StampNumber", "StampNumberFold",
     "CREATE INDEX IF NOT EXISTS StampNumberFold ON StampNumber (CatNo_fold, StampID)"},
};

// Creates the key indexes whose tables and columns the catalogue has.
void CreateKeyIndexes(sqlite3* db)
{
    const bool findText = HasFindText(db);
    QStringList present;
    for (const KeyedTable* t : PresentTables(db)) present << t->table;
    for (const KeyIndex& index : kKeyIndexes)
        if (present.contains(Name(index.table)) &&
            (findText || QLatin1String(index.name) != QLatin1String("StampFindText")))
            ExecSql(db, QString::fromLatin1(index.sql));
}

void DropKeyIndexes(sqlite3* db)
{
    for (const KeyIndex& index : kKeyIndexes)
        ExecSql(db, QStringLiteral("DROP INDEX IF EXISTS ") + QuotedName(QString::fromLatin1(index.name)));
}

// "UPDATE table SET every key = its text's key", with KeyFunctions in place.
QString KeysUpdate(const KeyedTable& t, bool findText, bool numbers)
{
    QStringList sets;
    // Most texts of a stamp are empty: their keys are empty without a call.
    for (const KeyedColumn& column : t.columns) {
        const QString c = QuotedName(column.name);
        const QString empty =
            QStringLiteral(" = CASE WHEN ") + c + QStringLiteral(" = '' OR ") + c + QStringLiteral(" IS NULL THEN ");
        if (column.folded)
            sets << QuotedName(column.name + QStringLiteral("_fold")) + empty +
                        QStringLiteral("'' ELSE tessarine_fold(") + c + QStringLiteral(") END");
        if (column.sorted)
            sets << QuotedName(column.name + QStringLiteral("_sort")) + empty +
                        QStringLiteral("x'' ELSE tessarine_key(") + c + QStringLiteral(") END");
    }
    if (findText && t.table == kFindTextTable)
        sets << QuotedName(kFindText) + QStringLiteral(" = ") + FindTextValue(numbers);
    return QStringLiteral("UPDATE ") + QuotedName(t.table) + QStringLiteral(" SET ") + sets.join(u',');
}

// Makes every key of every row anew: one statement a table, run over a range of
// record keys at a time so that the progress can move. The key indexes are made
// afterwards, in one sort each, rather than kept up row by row.
void RebuildAll(sqlite3* db)
{
    const LargeCache cache(db);
    const std::vector<const KeyedTable*> tables = PresentTables(db);
    qint64 total = 0;
    for (const KeyedTable* t : tables) total += RowCount(db, t->table);
    Progress progress(QStringLiteral("Tessarine"), QStringLiteral("Preparing the catalogue for finding and sorting..."),
                      total);
    const KeyFunctions functions(db);
    const bool findText = HasFindText(db);
    const bool numbers = HasStampNumbers(db);
    DropKeyIndexes(db);
    qint64 done = 0;
    constexpr qint64 kBatch = 5000;
    for (const KeyedTable* table : tables) {
        const KeyedTable& t = *table;
        Prepared range(db, QStringLiteral("SELECT min(rowid), max(rowid) FROM ") + QuotedName(t.table));
        range.Step();
        if (sqlite3_column_type(*range, 0) == SQLITE_NULL) continue;
        const qint64 first = sqlite3_column_int64(*range, 0);
        const qint64 last = sqlite3_column_int64(*range, 1);
        Prepared update(db, KeysUpdate(t, findText, numbers) + QStringLiteral(" WHERE rowid BETWEEN ? AND ?"));
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
    CreateKeyIndexes(db);
    StoreIdentity(db);
}

}  // namespace

void AddTextKeys(sqlite3* db)
{
    AddTextKeys(db, QStringList());
}

void AddTextKeys(sqlite3* db, const QStringList& only)
{
    ExecSql(db, QStringLiteral("CREATE TABLE IF NOT EXISTS CatalogueInfo (name TEXT PRIMARY KEY, value TEXT)"));
    ExecSql(
        db,
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS TextKeyQueue (tbl TEXT NOT NULL, id INTEGER NOT NULL, PRIMARY KEY (tbl, id)) "
            "WITHOUT ROWID"));
    const std::vector<const KeyedTable*> tables = PresentTables(db, only);
    for (const KeyedTable* table : tables) {
        const KeyedTable& t = *table;
        const QStringList present = ColumnsOf(db, t.table);
        const auto add = [&](const QString& column, const char* declaration) {
            if (present.contains(column, Qt::CaseInsensitive)) return;
            ExecSql(db, QStringLiteral("ALTER TABLE ") + QuotedName(t.table) + QStringLiteral(" ADD COLUMN ") +
                            QuotedName(column) + u' ' + QString::fromLatin1(declaration));
        };
        for (const KeyedColumn& c : t.columns) {
            // Folded text compares without regard to ASCII case as well, so that a
            // like pattern can use the column's index.
            if (c.folded) add(c.name + QStringLiteral("_fold"), "TEXT NOT NULL DEFAULT '' COLLATE NOCASE");
            if (c.sorted) add(c.name + QStringLiteral("_sort"), "BLOB NOT NULL DEFAULT x''");
        }
    }
    // The keys themselves are made by the one pass over every row that follows
    // an upgrade (CheckTextKeys: no keys are recorded as made yet). The rows of
    // a later layout's tables are queued for it instead, so that the keys of an
    // upgraded catalogue are not all made again for the sake of a few rows.
    if (!only.isEmpty())
        for (const KeyedTable* t : tables)
            ExecSql(db, QStringLiteral("INSERT OR IGNORE INTO TextKeyQueue (tbl, id) SELECT '") + t->table +
                            QStringLiteral("', rowid FROM ") + QuotedName(t->table));
    CreateKeyIndexes(db);
    CreateTriggers(db, tables);
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
    const bool numbers = HasStampNumbers(db);
    // Only the tables that rows were queued for: every one of them has its triggers,
    // and so is there.
    QStringList queued;
    {
        Prepared tables(db, QStringLiteral("SELECT DISTINCT tbl FROM TextKeyQueue"));
        while (tables.Step()) queued << tables.Text(0);
    }
    for (const KeyedTable& t : KeyedTables()) {
        if (!queued.contains(t.table)) continue;
        ExecSql(db, KeysUpdate(t, findText, numbers) +
                        QStringLiteral(" WHERE rowid IN (SELECT id FROM TextKeyQueue WHERE tbl = '") + t.table +
                        QStringLiteral("')"));
    }
    ExecSql(db, QStringLiteral("DELETE FROM TextKeyQueue"));
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
        ExecSql(db, QStringLiteral("DROP TRIGGER ") + QuotedName(TriggerName(*t, event)));
    }
    return restore;
}

void CheckTextKeys(sqlite3* db)
{
    Savepoint savepoint(db);
    const bool triggers = TriggersPresent(db);
    const std::vector<const KeyedTable*> tables = PresentTables(db);
    if (!triggers) CreateTriggers(db, tables);
    if (!triggers || StoredIdentity(db) != CollationIdentity()) {
        RebuildAll(db);
        ExecSql(db, QStringLiteral("DELETE FROM TextKeyQueue"));
    } else {
        RefreshTextKeys(db);
    }
    savepoint.Release();
}

void AddFindText(sqlite3* db)
{
    if (!HasFindText(db))
        ExecSql(db, QStringLiteral("ALTER TABLE ") + QuotedName(kFindTextTable) + QStringLiteral(" ADD COLUMN ") +
                        QuotedName(kFindText) + QStringLiteral(" TEXT NOT NULL DEFAULT ''"));
    CreateKeyIndexes(db);
    // Made by the one pass over every row that follows an upgrade.
    ExecSql(db, QStringLiteral("DELETE FROM CatalogueInfo WHERE name = '") + kIdentityName + u'\'');
}
