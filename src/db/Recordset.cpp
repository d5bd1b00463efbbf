#include "db/Recordset.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/Prompts.h"
#include "db/SqlDialect.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace {

[[noreturn]] void ThrowNoCurrent() { throw DbError(ErrNo::NoCurrentRecord, QStringLiteral("No current record.")); }

QString QuoteName(const QString& name) { return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"'; }

// Column names looked up without regard to case.
class ColumnIndex {
public:
    void Add(const QString& name)
    {
        const QString key = name.toLower();
        if (!mIndex.contains(key)) mIndex.insert(key, static_cast<int>(mNames.size()));
        mNames.push_back(name);
    }
    int Find(const QString& name) const { return mIndex.value(name.toLower(), -1); }
    int Size() const { return static_cast<int>(mNames.size()); }
    const QString& Name(int i) const { return mNames[static_cast<size_t>(i)]; }

private:
    QHash<QString, int> mIndex;
    std::vector<QString> mNames;
};

[[noreturn]] void ThrowNoField(const QString& name)
{
    throw DbError(3265, QStringLiteral("Item not found in this collection. (%1)").arg(name));
}

void ExecOn(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
}

// Runs a write and brings the text keys of what it wrote up to date, in one
// transaction: one commit, and never a row without its keys.
template <typename Write>
void WriteWithKeys(const std::shared_ptr<Connection>& conn, Write write)
{
    sqlite3* db = conn->Checked();
    ExecOn(db, "SAVEPOINT write_with_keys");
    try {
        write();
        conn->RefreshTextKeysIfWritten();
        ExecOn(db, "RELEASE write_with_keys");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO write_with_keys", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "RELEASE write_with_keys", nullptr, nullptr, nullptr);
        throw;
    }
}

[[noreturn]] void ThrowNotSupported()
{
    throw DbError(3251, QStringLiteral("Operation is not supported for this type of object."));
}

// Every keyset gets a number of its own, so that a list can tell when the keys
// it shows have changed.
quint64 NextKeysetVersion()
{
    static quint64 last = 0;
    return ++last;
}

// The keys of all rows of a table in one order, as last read, while nothing has
// been written since on the connection (which holds the catalogue exclusively):
// typing a filter reads the order once, not at every keystroke.
struct OrderedKeysCache {
    std::weak_ptr<Connection> conn;
    QString sql;
    qint64 changes = -1;
    std::vector<qint64> keys;
};

OrderedKeysCache& TheOrderedKeys()
{
    static OrderedKeysCache cache;
    return cache;
}

std::vector<qint64> ReadKeyColumn(const std::shared_ptr<Connection>& conn, const QString& sql)
{
    Statement keys(conn, sql);
    std::vector<qint64> result;
    while (keys.Step()) result.push_back(sqlite3_column_int64(keys.Handle(), 0));
    return result;
}

const std::vector<qint64>& OrderedKeys(const std::shared_ptr<Connection>& conn, const QString& sql)
{
    OrderedKeysCache& cache = TheOrderedKeys();
    const QString key = sql.simplified();
    sqlite3* db = conn->Checked();
    if (cache.conn.lock() == conn && cache.sql == key && cache.changes == sqlite3_total_changes64(db))
        return cache.keys;
    cache.keys.clear();
    cache.conn.reset();
    cache.keys = ReadKeyColumn(conn, sql);
    // Read after the keys: the read itself may first have made the keys of
    // texts written before it.
    cache.changes = sqlite3_total_changes64(db);
    cache.conn = conn;
    cache.sql = key;
    return cache.keys;
}

// A set of record keys to test against: a bitmap when the keys lie close
// together, as a table's keys do, else a sorted list.
class KeySet {
public:
    explicit KeySet(std::vector<qint64> keys)
    {
        if (keys.empty()) return;
        const auto [lo, hi] = std::minmax_element(keys.begin(), keys.end());
        mLow = *lo;
        const auto count = static_cast<quint64>(keys.size());
        const quint64 span = static_cast<quint64>(*hi) - static_cast<quint64>(*lo) + 1;
        if (span <= 64 * count + 4096) {
            mBits.assign(static_cast<size_t>((span + 63) / 64), 0);
            for (qint64 k : keys) {
                const auto bit = static_cast<quint64>(k) - static_cast<quint64>(mLow);
                mBits[static_cast<size_t>(bit / 64)] |= quint64(1) << (bit % 64);
            }
        } else {
            std::sort(keys.begin(), keys.end());
            mSorted = std::move(keys);
        }
    }
    bool Contains(qint64 key) const
    {
        if (!mBits.empty()) {
            if (key < mLow) return false;
            const auto bit = static_cast<quint64>(key) - static_cast<quint64>(mLow);
            return bit / 64 < mBits.size() && (mBits[static_cast<size_t>(bit / 64)] >> (bit % 64) & 1) != 0;
        }
        return std::binary_search(mSorted.begin(), mSorted.end(), key);
    }

private:
    qint64 mLow = 0;
    std::vector<quint64> mBits;
    std::vector<qint64> mSorted;
};

// ---------------------------------------------------------------------------
// Dynaset: the ordered keys of one table; the current row is fetched by key.
class Dynaset final : public Recordset {
public:
    struct Filtered {};

    Dynaset(std::shared_ptr<Connection> conn, Filtered, const QString& table, const QString& condition,
            const QString& order)
        : mConn(std::move(conn)), mTable(table), mFiltered(true)
    {
        const QString orderClause =
            order.trimmed().isEmpty() ? QString() : TranslateSql(QStringLiteral(" order by ") + order);
        mKeysSql = KeysSql(orderClause, !orderClause.isEmpty());
        if (!condition.trimmed().isEmpty())
            mMatchSql = QStringLiteral("SELECT rowid FROM ") + QuoteName(mTable) + QStringLiteral(" WHERE ") +
                        TranslateSql(condition);
        ReadColumns();
        ReadKeys();
    }

    Dynaset(std::shared_ptr<Connection> conn, const QString& sql) : mConn(std::move(conn))
    {
        static const QRegularExpression form(
            QStringLiteral(R"(^\s*select\s+.+?\s+from\s+(\[[^\]]+\]|[A-Za-z_][A-Za-z0-9_]*)(.*)$)"),
            QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
        const auto match = form.match(sql);
        if (!match.hasMatch())
            throw DbError(ErrNo::QuerySyntax, QStringLiteral("A dynaset needs one table: '%1'.").arg(sql));
        mTable = match.captured(1);
        if (mTable.startsWith(u'[')) mTable = mTable.mid(1, mTable.size() - 2);
        QString rest = match.captured(2);
        const QString translated = TranslateSql(rest);
        // Equal sort values keep the order of their keys, so every read of the
        // keyset gives the same order.
        const bool ordered = translated.contains(QRegularExpression(QStringLiteral(R"(\border\s+by\b)"),
                                                                    QRegularExpression::CaseInsensitiveOption));
        mKeysSql = KeysSql(translated, ordered);
        ReadColumns();
        ReadKeys();
    }

    int RecordCount() const override { return static_cast<int>(mKeys.size()); }
    bool Bof() const override { return mKeys.empty() || mPos < 0; }
    bool Eof() const override { return mKeys.empty() || mPos >= static_cast<qsizetype>(mKeys.size()); }

    void MoveFirst() override { Move(0); }
    void MoveLast() override { Move(static_cast<qsizetype>(mKeys.size()) - 1); }
    void MoveNext() override
    {
        mConn->Checked();
        if (mDeletedCurrent) { Move(mPos); return; }
        if (Eof()) ThrowNoCurrent();
        Move(mPos + 1);
    }
    void MovePrevious() override
    {
        mConn->Checked();
        if (Bof()) ThrowNoCurrent();
        Move(mPos - 1);
    }

    void FindFirst(const QString& condition) override
    {
        Statement find(mConn, QStringLiteral("SELECT rowid FROM ") + QuoteName(mTable) + QStringLiteral(" WHERE ") +
                                  TranslateSql(condition));
        std::vector<qint64> matches;
        while (find.Step()) matches.push_back(sqlite3_column_int64(find.Handle(), 0));
        // The first key in the recordset's order that matched: one pass over the
        // keys, stopping at the first hit. No index of positions is kept, since
        // every write would have to build it anew.
        std::sort(matches.begin(), matches.end());
        qsizetype best = -1;
        if (!matches.empty()) {
            for (size_t i = 0; i < mKeys.size() && best < 0; ++i)
                if (std::binary_search(matches.begin(), matches.end(), mKeys[i])) best = static_cast<qsizetype>(i);
        }
        mNoMatch = best < 0;
        if (!mNoMatch) Move(best);
    }

    int FieldIndex(const QString& name) const override { return mColumns.Find(name); }
    int FieldCount() const override { return mColumns.Size(); }
    QString FieldName(int index) const override { return mColumns.Name(index); }
    QVariant FieldAt(int index) const override
    {
        mConn->Checked();
        if (mMode != Mode::None) return mBuffer[static_cast<size_t>(index)];
        if (mDeletedCurrent) throw DbError(ErrNo::RecordDeleted, QStringLiteral("Record is deleted."));
        if (Bof() || Eof()) ThrowNoCurrent();
        LoadCurrent();
        return mRow[static_cast<size_t>(index)];
    }

    void AddNew() override
    {
        sqlite3* db = mConn->Checked();
        if (mMode != Mode::None) CancelUpdate();
        mBuffer.assign(static_cast<size_t>(mColumns.Size()), QVariant());
        mDirty.assign(mBuffer.size(), false);
        // The counter never reuses a number: the next key is past both the highest
        // key in the table and the highest key ever handed out.
        qint64 next = 0;
        {
            Statement maxKey(mConn, QStringLiteral("SELECT max(rowid) FROM ") + QuoteName(mTable));
            if (maxKey.Step()) next = sqlite3_column_int64(maxKey.Handle(), 0);
        }
        sqlite3_stmt* probe = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT seq FROM sqlite_sequence WHERE name = ?1 COLLATE NOCASE", -1, &probe,
                               nullptr) == SQLITE_OK) {
            const QByteArray table = mTable.toUtf8();
            sqlite3_bind_text(probe, 1, table.constData(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
            if (sqlite3_step(probe) == SQLITE_ROW) next = std::max<qint64>(next, sqlite3_column_int64(probe, 0));
        }
        sqlite3_finalize(probe);
        mNewKey = next + 1;
        if (mKeyColumn >= 0) {
            mBuffer[static_cast<size_t>(mKeyColumn)] = QVariant(mNewKey);
            mDirty[static_cast<size_t>(mKeyColumn)] = true;
        }
        mMode = Mode::Add;
    }

    void Edit() override
    {
        mConn->Checked();
        if (mDeletedCurrent) throw DbError(ErrNo::RecordDeleted, QStringLiteral("Record is deleted."));
        if (Bof() || Eof()) ThrowNoCurrent();
        if (mMode != Mode::None) CancelUpdate();
        LoadCurrent();
        mBuffer = mRow;
        mDirty.assign(mBuffer.size(), false);
        mMode = Mode::Edit;
    }

    void SetField(const QString& name, const QVariant& value) override
    {
        mConn->Checked();
        if (mMode == Mode::None)
            throw DbError(ErrNo::NotInEdit, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
        const int i = mColumns.Find(name);
        if (i < 0) ThrowNoField(name);
        mBuffer[static_cast<size_t>(i)] = value;
        mDirty[static_cast<size_t>(i)] = true;
    }

    void Update() override
    {
        mConn->Checked();
        if (mMode == Mode::None)
            throw DbError(ErrNo::NotInEdit, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
        std::vector<int> columns;
        for (int i = 0; i < mColumns.Size(); ++i)
            if (mDirty[static_cast<size_t>(i)]) columns.push_back(i);
        // After the write the recordset stays on the row it was on: the edited row,
        // or for an addition the row that was current before it.
        const qint64 stayOn = (Bof() || Eof() || mDeletedCurrent) ? -1 : CurrentKey();
        QString sql;
        if (mMode == Mode::Add) {
            QStringList names, marks;
            for (int i : columns) { names << QuoteName(mColumns.Name(i)); marks << QStringLiteral("?"); }
            if (mKeyColumn < 0) { names << QStringLiteral("rowid"); marks << QStringLiteral("?"); }
            sql = QStringLiteral("INSERT INTO ") + QuoteName(mTable) + QStringLiteral(" (") + names.join(u',') +
                  QStringLiteral(") VALUES (") + marks.join(u',') + u')';
        } else {
            if (columns.empty()) { mMode = Mode::None; return; }
            QStringList sets;
            for (int i : columns) sets << QuoteName(mColumns.Name(i)) + QStringLiteral(" = ?");
            sql = QStringLiteral("UPDATE ") + QuoteName(mTable) + QStringLiteral(" SET ") + sets.join(u',') +
                  QStringLiteral(" WHERE rowid = ?");
        }
        Statement write(mConn, sql);
        int bind = 1;
        for (int i : columns) BindVariant(write.Handle(), bind++, mBuffer[static_cast<size_t>(i)]);
        if (mMode == Mode::Add && mKeyColumn < 0) sqlite3_bind_int64(write.Handle(), bind++, mNewKey);
        if (mMode == Mode::Edit) sqlite3_bind_int64(write.Handle(), bind++, CurrentKey());
        // The row and the stored keys of its texts are written in one transaction.
        // A failure leaves the edit buffer in place, so the write can be tried again.
        WriteWithKeys(mConn, [&write] { write.Step(); });
        if (!mMatchSql.isEmpty()) mWritten.push_back(mMode == Mode::Add ? mNewKey : CurrentKey());

        mMode = Mode::None;
        mBuffer.clear();
        mRowKey = -1;
        // The keyset is read again so that a new or changed row takes its sorted place.
        ReadKeys();
        const auto it = std::find(mKeys.begin(), mKeys.end(), stayOn);
        mPos = it == mKeys.end() ? 0 : it - mKeys.begin();
        mDeletedCurrent = false;
    }

    void CancelUpdate() override
    {
        mMode = Mode::None;
        mBuffer.clear();
    }

    void Delete() override
    {
        mConn->Checked();
        if (mDeletedCurrent) throw DbError(ErrNo::RecordDeleted, QStringLiteral("Record is deleted."));
        if (Bof() || Eof()) ThrowNoCurrent();
        if (mMode != Mode::None) CancelUpdate();
        Statement del(mConn, QStringLiteral("DELETE FROM ") + QuoteName(mTable) + QStringLiteral(" WHERE rowid = ?"));
        sqlite3_bind_int64(del.Handle(), 1, CurrentKey());
        del.Step();
        mKeys.erase(mKeys.begin() + mPos);
        mRowKey = -1;
        mDeletedCurrent = true;
        mVersion = NextKeysetVersion();
    }

    int AbsolutePosition() const override
    {
        if (mDeletedCurrent || Bof() || Eof()) return -1;
        return static_cast<int>(mPos);
    }
    void SetAbsolutePosition(int position) override
    {
        if (position < 0 || position >= RecordCount()) ThrowNoCurrent();
        Move(position);
    }
    qint64 KeyAt(int position) const override
    {
        if (position < 0 || position >= RecordCount()) ThrowNoCurrent();
        return mKeys[static_cast<size_t>(position)];
    }
    int PositionOf(qint64 key) const override
    {
        const auto it = std::find(mKeys.begin(), mKeys.end(), key);
        return it == mKeys.end() ? -1 : static_cast<int>(it - mKeys.begin());
    }
    quint64 KeysetVersion() const override { return mVersion; }

    void Close() override
    {
        mKeys.clear();
        mFetch.reset();
        mClosed = true;
    }

private:
    enum class Mode { None, Edit, Add };

    void ReadColumns()
    {
        Statement info(mConn, QStringLiteral("PRAGMA table_info(") + QuoteName(mTable) + u')');
        while (info.Step()) {
            const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.Handle(), 1)));
            if (sqlite3_column_int(info.Handle(), 5) == 1) mKeyColumn = mColumns.Size();
            mColumns.Add(name);
        }
        if (mColumns.Size() == 0) throw DbError(1, QStringLiteral("no such table: %1").arg(mTable));
        QStringList names;
        for (int i = 0; i < mColumns.Size(); ++i) names << QuoteName(mColumns.Name(i));
        mFetch = std::make_unique<Statement>(
            mConn, QStringLiteral("SELECT ") + names.join(u',') + QStringLiteral(" FROM ") + QuoteName(mTable) +
                       QStringLiteral(" WHERE rowid = ?"));
    }

    QString KeysSql(const QString& translatedRest, bool ordered) const
    {
        // Equal sort values keep the order of their keys, so every read of the
        // keyset gives the same order.
        return QStringLiteral("SELECT ") + QuoteName(mTable) + QStringLiteral(".rowid FROM ") + QuoteName(mTable) +
               u' ' + translatedRest + (ordered ? QStringLiteral(", ") : QStringLiteral(" ORDER BY ")) +
               QuoteName(mTable) + QStringLiteral(".rowid");
    }

    void ReadKeys()
    {
        mVersion = NextKeysetVersion();
        if (!mFiltered) {
            mKeys = ReadKeyColumn(mConn, mKeysSql);
            return;
        }
        if (mMatchSql.isEmpty()) {
            mKeys = OrderedKeys(mConn, mKeysSql);
            return;
        }
        // The rows that meet the condition, in whatever order the engine finds
        // them fastest, and the rows this recordset wrote; then the order of all
        // rows, kept while nothing is written, keeps those in its order.
        std::vector<qint64> matches = ReadKeyColumn(mConn, mMatchSql);
        matches.insert(matches.end(), mWritten.begin(), mWritten.end());
        const KeySet wanted(std::move(matches));
        const std::vector<qint64>& all = OrderedKeys(mConn, mKeysSql);
        mKeys.clear();
        for (qint64 key : all)
            if (wanted.Contains(key)) mKeys.push_back(key);
    }

    void Move(qsizetype pos)
    {
        mConn->Checked();
        if (mClosed) throw DbError(ErrNo::ObjectInvalid, QStringLiteral("Object invalid or no longer set."));
        if (mMode != Mode::None) CancelUpdate();
        mDeletedCurrent = false;
        mPos = std::clamp<qsizetype>(pos, -1, static_cast<qsizetype>(mKeys.size()));
    }

    qint64 CurrentKey() const { return mKeys[static_cast<size_t>(mPos)]; }

    void LoadCurrent() const
    {
        const qint64 key = CurrentKey();
        if (key == mRowKey) return;
        mFetch->Reset();
        sqlite3_bind_int64(mFetch->Handle(), 1, key);
        if (!mFetch->Step()) {
            mFetch->Reset();
            throw DbError(ErrNo::RecordDeleted, QStringLiteral("Record is deleted."));
        }
        mRow.resize(static_cast<size_t>(mColumns.Size()));
        for (int i = 0; i < mColumns.Size(); ++i) mRow[static_cast<size_t>(i)] = ColumnVariant(mFetch->Handle(), i);
        mFetch->Reset();
        mRowKey = key;
    }

    std::shared_ptr<Connection> mConn;
    QString mTable;
    QString mKeysSql;
    ColumnIndex mColumns;
    int mKeyColumn = -1;
    std::unique_ptr<Statement> mFetch;
    std::vector<qint64> mKeys;
    qsizetype mPos = 0;
    bool mDeletedCurrent = false;
    bool mClosed = false;
    mutable std::vector<QVariant> mRow;
    mutable qint64 mRowKey = -1;
    Mode mMode = Mode::None;
    std::vector<QVariant> mBuffer;
    std::vector<bool> mDirty;
    qint64 mNewKey = 0;
    bool mFiltered = false;        // made by MakeFilteredDynaset
    QString mMatchSql;             // the rows meeting its condition, in no order; empty for all rows
    std::vector<qint64> mWritten;  // rows it added or changed: they stay in it
    quint64 mVersion = 0;
};

// ---------------------------------------------------------------------------
// Snapshot: read-only rows, fetched as the recordset moves and kept. A
// forward-only snapshot keeps the current row alone: a report reads hundreds of
// thousands of rows once, from first to last, and has no use for the rows behind.
class Snapshot final : public Recordset {
public:
    Snapshot(std::shared_ptr<Connection> conn, const QString& sql, bool forwardOnly)
        : mConn(std::move(conn)),
          mSql(TranslateSql(sql)),
          mStmt(std::make_unique<Statement>(mConn, mSql)),
          mForwardOnly(forwardOnly)
    {
        sqlite3_stmt* stmt = mStmt->Handle();
        const int count = sqlite3_column_count(stmt);
        for (int i = 0; i < count; ++i) mColumns.Add(QString::fromUtf8(sqlite3_column_name(stmt, i)));
        FetchUpTo(0);
        mPos = 0;
    }

    int RecordCount() const override { return static_cast<int>(mFetched); }
    bool Bof() const override { return mFetched == 0 || mPos < 0; }
    bool Eof() const override { return mFetched == 0 || mPos >= mFetched; }

    void MoveFirst() override
    {
        Checked();
        if (mForwardOnly && mPos > 0) ThrowForwardOnly();
        mPos = 0;
    }
    void MoveLast() override
    {
        Checked();
        if (mForwardOnly) ThrowForwardOnly();
        FetchAll();
        mPos = mFetched - 1;
        if (mFetched == 0) mPos = 0;
    }
    void MoveNext() override
    {
        Checked();
        if (Eof()) ThrowNoCurrent();
        ++mPos;
        FetchUpTo(mPos);
    }
    void MovePrevious() override
    {
        Checked();
        if (mForwardOnly) ThrowForwardOnly();
        if (Bof()) ThrowNoCurrent();
        --mPos;
    }

    void FindFirst(const QString& condition) override
    {
        Checked();
        if (mForwardOnly) ThrowForwardOnly();
        FetchAll();
        QStringList columns;
        for (int i = 0; i < mColumns.Size(); ++i) columns << QStringLiteral("? AS ") + QuoteName(mColumns.Name(i));
        Statement test(mConn, QStringLiteral("SELECT 1 FROM (SELECT ") + columns.join(u',') +
                                  QStringLiteral(") WHERE ") + TranslateSql(condition));
        for (size_t row = 0; row < mRows.size(); ++row) {
            test.Reset();
            for (int i = 0; i < mColumns.Size(); ++i)
                BindVariant(test.Handle(), i + 1, mRows[row][static_cast<size_t>(i)]);
            if (test.Step()) {
                mNoMatch = false;
                mPos = static_cast<qsizetype>(row);
                return;
            }
        }
        mNoMatch = true;
    }

    int FieldIndex(const QString& name) const override { return mColumns.Find(name); }
    int FieldCount() const override { return mColumns.Size(); }
    QString FieldName(int index) const override { return mColumns.Name(index); }
    QVariant FieldAt(int index) const override
    {
        Checked();
        if (Bof() || Eof()) ThrowNoCurrent();
        const auto& row = mForwardOnly ? mCurrent : mRows[static_cast<size_t>(mPos)];
        return row[static_cast<size_t>(index)];
    }

    void Close() override
    {
        mStmt.reset();
        mRows.clear();
        mCurrent.clear();
        mClosed = true;
    }

private:
    void Checked() const
    {
        mConn->Checked();
        if (mClosed) throw DbError(ErrNo::ObjectInvalid, QStringLiteral("Object invalid or no longer set."));
    }
    [[noreturn]] static void ThrowForwardOnly()
    {
        throw DbError(3251, QStringLiteral("Operation is not supported for this type of object."));
    }

    void FetchUpTo(qsizetype pos)
    {
        while (!mDone && mFetched <= pos) FetchOne();
    }
    void FetchAll()
    {
        while (!mDone) FetchOne();
    }
    void FetchOne()
    {
        if (!mStmt->Step()) {
            mDone = true;
            mStmt.reset();
            return;
        }
        sqlite3_stmt* stmt = mStmt->Handle();
        const auto columns = static_cast<size_t>(mColumns.Size());
        if (mForwardOnly) {
            // The row before is overwritten in place: no allocation per row.
            mCurrent.resize(columns);
            for (size_t i = 0; i < columns; ++i) mCurrent[i] = ColumnVariant(stmt, static_cast<int>(i));
        } else {
            std::vector<QVariant> row(columns);
            for (size_t i = 0; i < columns; ++i) row[i] = ColumnVariant(stmt, static_cast<int>(i));
            mRows.push_back(std::move(row));
        }
        ++mFetched;
    }

    std::shared_ptr<Connection> mConn;
    QString mSql;
    std::unique_ptr<Statement> mStmt;
    const bool mForwardOnly;
    ColumnIndex mColumns;
    std::vector<std::vector<QVariant>> mRows;  // every row read (not forward-only)
    std::vector<QVariant> mCurrent;            // the current row (forward-only)
    qsizetype mFetched = 0;
    qsizetype mPos = 0;
    bool mDone = false;
    bool mClosed = false;
};

}  // namespace

QVariant Recordset::Field(const QString& name) const
{
    const int i = FieldIndex(name);
    if (i < 0) ThrowNoField(name);
    return FieldAt(i);
}

int Recordset::AbsolutePosition() const
{
    ThrowNotSupported();
}
void Recordset::SetAbsolutePosition(int)
{
    ThrowNotSupported();
}
qint64 Recordset::KeyAt(int) const
{
    ThrowNotSupported();
}
int Recordset::PositionOf(qint64) const
{
    ThrowNotSupported();
}
quint64 Recordset::KeysetVersion() const
{
    return 0;
}

void Recordset::AddNew() { throw DbError(3027, QStringLiteral("Cannot update. Database or object is read-only.")); }
void Recordset::Edit() { AddNew(); }
void Recordset::SetField(const QString&, const QVariant&) { AddNew(); }
void Recordset::Update() { AddNew(); }
void Recordset::CancelUpdate() {}
void Recordset::Delete() { AddNew(); }

void StepWithBeep(Recordset& rs, bool forward)
{
    if (forward) {
        rs.MoveNext();
        if (rs.Eof()) {
            prompts().Beep();
            rs.MoveLast();
        }
    } else {
        rs.MovePrevious();
        if (rs.Bof()) {
            prompts().Beep();
            rs.MoveFirst();
        }
    }
}

std::unique_ptr<Recordset> MakeDynaset(std::shared_ptr<Connection> conn, const QString& sql)
{
    conn->Checked();
    return std::make_unique<Dynaset>(std::move(conn), sql);
}

std::unique_ptr<Recordset> MakeFilteredDynaset(std::shared_ptr<Connection> conn, const QString& table,
                                               const QString& condition, const QString& order)
{
    conn->Checked();
    return std::make_unique<Dynaset>(std::move(conn), Dynaset::Filtered{}, table, condition, order);
}

std::unique_ptr<Recordset> MakeSnapshot(std::shared_ptr<Connection> conn, const QString& sql, bool forwardOnly)
{
    conn->Checked();
    return std::make_unique<Snapshot>(std::move(conn), sql, forwardOnly);
}
