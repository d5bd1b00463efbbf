#include "csv/CsvImport.h"

#include "codes/CodeTables.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Prompts.h"
#include "db/RawSql.h"
#include "db/StringHelpers.h"
#include "db/TextColumns.h"
#include "db/TextKeys.h"
#include "numbers/NumberSchema.h"
#include "search/Collation.h"
#include "search/Folding.h"

#include <sqlite3.h>

namespace {

constexpr int kImportCacheKb = 16 * 1024;

// The engine's page cache made at least so large for a while.
class CacheSize {
public:
    CacheSize(sqlite3* db, int kilobytes) : mDb(db)
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA cache_size", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            mBefore = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        // A negative size is in kilobytes, a positive one in pages.
        const qint64 beforeKb = mBefore < 0 ? -mBefore : mBefore * 4;
        if (beforeKb < kilobytes)
            Set(-qint64(kilobytes));
        else
            mDb = nullptr;
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

constexpr size_t kRebuildIndexesFrom = 1000;

// True while a statement of the connection is part-way through its rows (a
// window still reading them).
bool SomeoneReading(sqlite3* db)
{
    for (sqlite3_stmt* stmt = sqlite3_next_stmt(db, nullptr); stmt; stmt = sqlite3_next_stmt(db, stmt))
        if (sqlite3_stmt_busy(stmt)) return true;
    return false;
}

// Changes of the catalogue's layout that only speed the import up. The engine
// refuses them while another statement is part-way through its rows, and
// undoing them would cut that statement off: the import then goes on without
// them.
template <typename Change>
QStringList IfTheEngineLets(sqlite3* db, Change change)
{
    if (SomeoneReading(db)) return {};
    ExecSql(db, "SAVEPOINT import_layout");
    try {
        QStringList restore = change();
        ExecSql(db, "RELEASE import_layout");
        return restore;
    } catch (const DbError&) {
        sqlite3_exec(db, "ROLLBACK TO import_layout", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "RELEASE import_layout", nullptr, nullptr, nullptr);
        return {};
    }
}

// When the rows an import adds to a table are at least as many as the table
// holds: drops the table's indexes (not those that keep values unique) and gives
// the statements that make them again.
QStringList DropIndexesForRows(const std::shared_ptr<Connection>& conn, const QString& table, qint64 adding)
{
    sqlite3* db = conn->Checked();
    qint64 rows = 0;
    {
        Statement count(conn, QStringLiteral("SELECT count(*) FROM ") + table);
        if (count.Step()) rows = sqlite3_column_int64(count.Handle(), 0);
    }
    if (adding < rows) return {};
    QStringList names, make;
    {
        Statement list(conn, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND "
                                            "tbl_name = '") +
                                 table + QStringLiteral("' AND sql IS NOT NULL ORDER BY name"));
        while (list.Step()) {
            const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list.Handle(), 1)));
            if (sql.simplified().startsWith(QStringLiteral("CREATE UNIQUE"), Qt::CaseInsensitive)) continue;
            names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list.Handle(), 0)));
            make << sql;
        }
    }
    for (QString name : names)
        ExecSql(
            db,
            (QStringLiteral("DROP INDEX \"") + name.replace(u'"', QStringLiteral("\"\"")) + u'"').toUtf8().constData());
    return make;
}

// A text column of the stamp table with stored keys, and the field it holds
// (Fld::Ignore for the catalogue-number sort key).
struct KeyedColumn {
    QString name;
    int field;
    bool folded;
    bool sorted;
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
        columns.push_back({name, field, c.folded, c.sorted});
    }
    return columns;
}

// The fields whose texts the stamp list's filter looks in (Stamp.find_text), in
// their order there.
std::vector<int> FindTextFields()
{
    std::vector<int> fields;
    for (const char* column : FindTextColumns())
        for (int f = 0; f < Fld::Count; ++f)
            if (QString::fromLatin1(column).compare(QString::fromLatin1(StampFields()[size_t(f)].column),
                                                    Qt::CaseInsensitive) == 0)
                fields.push_back(f);
    return fields;
}

// The column names a write gives values to, in the order they are bound: every
// field, the catalogue-number sort key, then the stored keys of the texts and
// the joined folded texts of the filter.
QStringList WrittenColumns(const std::vector<KeyedColumn>& keyed)
{
    QStringList names = StampColumnList().split(QStringLiteral(", "));
    names << QStringLiteral("catsort");
    for (const KeyedColumn& k : keyed) {
        if (k.folded) names << k.name + QStringLiteral("_fold");
        if (k.sorted) names << k.name + QStringLiteral("_sort");
    }
    if (!keyed.empty()) names << QStringLiteral("find_text");
    return names;
}

// The stored keys of a text, as the catalogue's key queue would make them. The
// short texts that many stamps share (colours, watermarks, the empty text) are
// worked out once.
class KeyMaker {
public:
    const std::pair<QByteArray, QByteArray>& Keys(const QString& text)
    {
        if (text.size() > kShortText) {
            mLong = {FoldText(text).toUtf8(), CollationKey(text)};
            return mLong;
        }
        auto it = mShort.find(text);
        if (it == mShort.end()) {
            if (mShort.size() >= kMaxKept) mShort.clear();
            it = mShort.insert(text, {FoldText(text).toUtf8(), CollationKey(text)});
        }
        return *it;
    }

private:
    static constexpr qsizetype kShortText = 40;
    static constexpr qsizetype kMaxKept = 20000;
    QHash<QString, std::pair<QByteArray, QByteArray>> mShort;
    std::pair<QByteArray, QByteArray> mLong;
};

// Binds the stored keys of the row's texts from parameter first on, then their
// joined folded texts, as the catalogue's key queue would make them.
// numbers: a new stamp's numbers in other catalogues, which end its joined
// texts; none for a stamp updated, whose joined texts are made again after.
void BindKeys(sqlite3_stmt* stmt, int first, const StampRow& row, const std::vector<KeyedColumn>& keyed,
              KeyMaker& maker, const std::vector<PlannedNumber>& numbers)
{
    if (keyed.empty()) return;
    int i = first;
    for (const KeyedColumn& k : keyed) {
        const auto& [fold, key] = maker.Keys(k.field >= 0 ? row.Text(k.field) : CatalogueSortKey(row.catnum));
        if (k.folded) sqlite3_bind_text(stmt, i++, fold.constData(), int(fold.size()), SQLITE_TRANSIENT);
        if (k.sorted) sqlite3_bind_blob(stmt, i++, key.constData(), int(key.size()), SQLITE_TRANSIENT);
    }
    static const std::vector<int> findFields = FindTextFields();
    QString joined;
    for (size_t f = 0; f < findFields.size(); ++f) {
        if (f > 0) joined += u'\n';
        joined += row.Text(findFields[f]);
    }
    // Then the stamp's numbers in other catalogues, in their order.
    joined += u'\n';
    for (size_t n = 0; n < numbers.size(); ++n) {
        if (n > 0) joined += u'\n';
        joined += numbers[n].number;
    }
    const QByteArray findText = FoldText(joined).toUtf8();
    sqlite3_bind_text(stmt, i, findText.constData(), int(findText.size()), SQLITE_TRANSIENT);
}

void BindText(sqlite3_stmt* stmt, int i, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// Writes the stamps' numbers in other catalogues, with their text keys when the
// table's key triggers are down for the import.
class NumberWriter {
public:
    NumberWriter(const std::shared_ptr<Connection>& conn, bool keys, const std::vector<qint64>& newCatalogues)
        : mNewCatalogues(newCatalogues),
          mKeys(keys),
          mInsert(conn, keys
                            ? QStringLiteral("INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo, CatNoSort, "
                                             "CatNo_fold, CatNoSort_sort) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)")
                            : QStringLiteral("INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo, CatNoSort) "
                                             "VALUES (?1, ?2, ?3, ?4, ?5)")),
          mRemove(conn, QStringLiteral("DELETE FROM StampNumber WHERE StampID = ?1 AND CatalogID = ?2")),
          mLast(conn, QStringLiteral("SELECT coalesce(max(Position), 0) FROM StampNumber WHERE StampID = ?1"))
    {
    }

    // A stamp added takes the row's numbers; a stamp updated has its numbers in
    // the catalogues the row gives replaced, after its others.
    void Write(qint64 stampId, const PlannedRow& row)
    {
        int position = 0;
        if (row.stampId != 0) {
            for (const qint64 catalogue : row.replaced) {
                mRemove.Reset();
                sqlite3_bind_int64(mRemove.Handle(), 1, stampId);
                sqlite3_bind_int64(mRemove.Handle(), 2, catalogue);
                mRemove.Step();
            }
            if (row.numbers.empty()) return;
            mLast.Reset();
            sqlite3_bind_int64(mLast.Handle(), 1, stampId);
            if (mLast.Step()) position = sqlite3_column_int(mLast.Handle(), 0);
            mLast.Reset();
        }
        for (const PlannedNumber& n : row.numbers) {
            const qint64 catalogue =
                n.catalogue >= kNewCode ? mNewCatalogues[size_t(n.catalogue - kNewCode)] : n.catalogue;
            const QString sortKey = CatalogueSortKey(n.number);
            mInsert.Reset();
            sqlite3_stmt* s = mInsert.Handle();
            sqlite3_bind_int64(s, 1, stampId);
            sqlite3_bind_int64(s, 2, catalogue);
            sqlite3_bind_int(s, 3, ++position);
            BindText(s, 4, n.number);
            BindText(s, 5, sortKey);
            if (mKeys) {
                // Worked out here rather than kept with the stamps' short texts:
                // numbers are nearly all different, and would crowd those out.
                const QByteArray fold = FoldText(n.number).toUtf8();
                const QByteArray key = CollationKey(sortKey);
                sqlite3_bind_text(s, 6, fold.constData(), int(fold.size()), SQLITE_TRANSIENT);
                sqlite3_bind_blob(s, 7, key.constData(), int(key.size()), SQLITE_TRANSIENT);
            }
            mInsert.Step();
        }
    }
    void Reset()
    {
        mInsert.Reset();
        mRemove.Reset();
        mLast.Reset();
    }

private:
    const std::vector<qint64>& mNewCatalogues;
    bool mKeys;
    Statement mInsert;
    Statement mRemove;
    Statement mLast;
};

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

    ExecSql(handle, "BEGIN IMMEDIATE");
    try {
        // The rows get their text keys as they are written; whatever the queue
        // holds from before is done first, so that what it holds afterwards of
        // the stamp table is this import's.
        const bool keys = conn->textKeys;
        if (keys) RefreshTextKeys(handle);
        const std::vector<KeyedColumn> keyed = keys ? StampKeyedColumns() : std::vector<KeyedColumn>();

        // Without the queue's triggers a row's statement needs no journal of its
        // own, which halves the time of a large import.
        QStringList triggers =
            keys ? IfTheEngineLets(handle, [&] { return DropTextKeyTriggers(handle, QStringLiteral("Stamp")); })
                 : QStringList();
        const bool numberKeys = keys && !triggers.isEmpty();
        if (numberKeys)
            triggers << IfTheEngineLets(handle, [&] {
                return DropTextKeyTriggers(handle, QStringLiteral("StampNumber")) + DropNumberFindTextTriggers(handle);
            });
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
        if (!plan.newCatalogues.empty()) {
            Statement insert(conn, QStringLiteral("INSERT INTO Catalog (CatalogDesc, Prefix) VALUES (?, ?)"));
            for (const NumberCatalogue& catalogue : plan.newCatalogues) {
                insert.Reset();
                BindText(insert.Handle(), 1, catalogue.name);
                BindText(insert.Handle(), 2, catalogue.prefix);
                insert.Step();
                result.newCatalogueIds.push_back(sqlite3_last_insert_rowid(handle));
            }
            result.counts.newCatalogues = qint64(plan.newCatalogues.size());
        }

        // Many rows into few: the stamp table's indexes are made anew after the
        // rows, which takes a fraction of the time of keeping them row by row.
        qint64 numberCount = 0;
        for (const PlannedRow& row : plan.rows) numberCount += qint64(row.numbers.size());
        QStringList indexes =
            plan.rows.size() >= kRebuildIndexesFrom
                ? IfTheEngineLets(handle,
                                  [&] { return DropIndexesForRows(conn, QStringLiteral("Stamp"), plan.counts.added); })
                : QStringList();
        if (numberCount >= qint64(kRebuildIndexesFrom))
            indexes << IfTheEngineLets(
                handle, [&] { return DropIndexesForRows(conn, QStringLiteral("StampNumber"), numberCount); });
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
        KeyMaker keyMaker;
        static const std::vector<PlannedNumber> kNoNumbers;
        NumberWriter numbers(conn, numberKeys, result.newCatalogueIds);
        // A stamp updated keeps its numbers, which its joined texts hold too.
        Statement requeue(conn, QStringLiteral("INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('Stamp', ?)"));
        qint64 done = 0;
        for (const PlannedRow& row : plan.rows) {
            Statement& write = row.stampId != 0 ? update : insert;
            write.Reset();
            BindStampRow(write.Handle(), 1, row.values, result.newCodeIds);
            BindKeys(write.Handle(), keysAt, row.values, keyed, keyMaker, row.stampId != 0 ? kNoNumbers : row.numbers);
            if (row.stampId != 0) sqlite3_bind_int64(write.Handle(), int(columns.size()) + 1, row.stampId);
            write.Step();
            if (row.stampId != 0) {
                result.updatedIds.push_back(row.stampId);
                ++result.counts.updated;
                numbers.Write(row.stampId, row);
                if (!keyed.empty()) {
                    requeue.Reset();
                    sqlite3_bind_int64(requeue.Handle(), 1, row.stampId);
                    requeue.Step();
                }
            } else {
                result.addedIds.push_back(sqlite3_last_insert_rowid(handle));
                ++result.counts.added;
                numbers.Write(result.addedIds.back(), row);
            }
            if (!progress.Step(++done)) {
                result = ImportResult();
                result.cancelled = true;
                break;
            }
        }
        insert.Reset();
        update.Reset();
        requeue.Reset();
        numbers.Reset();
        if (result.cancelled) {
            ExecSql(handle, "ROLLBACK");
            return result;
        }
        // The stamps carry their keys already; the new code entries get theirs,
        // so that the catalogue is whole at the commit.
        for (const QString& sql : triggers) ExecSql(handle, sql.toUtf8().constData());
        for (const QString& sql : indexes) ExecSql(handle, sql.toUtf8().constData());
        conn->RefreshTextKeysIfWritten();
        ExecSql(handle, "COMMIT");
    } catch (...) {
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    return result;
}
