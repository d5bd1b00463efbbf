#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;
class Recordset;

// The connection a database object and its recordsets share. When the database
// is closed the handle goes to null, and every recordset still holding the
// connection fails with "object no longer valid".
struct Connection {
    sqlite3* db = nullptr;
    QString path;
    // The catalogue keeps stored text keys (db/TextKeys.h), and the count of
    // rows changed on this connection when they were last brought up to date.
    bool textKeys = false;
    qint64 keysCheckedAt = 0;
    bool refreshingKeys = false;
    // Before a read, makes the keys of rows written since the last read.
    void RefreshTextKeysIfWritten();
    ~Connection();
    void Close();
    // Throws DbError(3420) when the database has been closed.
    sqlite3* Checked() const;
};

// A prepared statement bound to one connection; finalized with it.
class Statement {
public:
    Statement(std::shared_ptr<Connection> conn, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* Handle();
    // One step; true while a row is available. Throws DbError on failure.
    bool Step();
    void Reset();

private:
    std::shared_ptr<Connection> mConn;
    sqlite3_stmt* mStmt = nullptr;
};

// A column of the statement's current row: integer, double, text, blob or null.
QVariant ColumnVariant(sqlite3_stmt* stmt, int column);
// Binds a value to a parameter (1-based): null for a null or invalid value, dates
// as ISO text, booleans as 0 or 1.
void BindVariant(sqlite3_stmt* stmt, int index, const QVariant& value);

// Throws the DbError for the connection's last failure with the given result code.
[[noreturn]] void ThrowEngineError(sqlite3* db, int rc);

// The catalogue file, opened once per run.
class Database {
public:
    // Opens an existing catalogue. With exclusive set the file stays locked for
    // the whole run; a second process then fails with error 3045. A file that
    // lacks one of the required tables is refused before anything is written.
    static std::unique_ptr<Database> Open(const QString& path, bool exclusive,
                                          const QStringList& requiredTables = {});
    ~Database();

    void Close();
    bool IsOpen() const;
    const QString& Path() const { return mConn->path; }

    // Runs statements in the program's dialect; no result rows.
    void Execute(const QString& sql);
    // Updatable keyset over one table ("Select * from <table> ...").
    std::unique_ptr<Recordset> OpenDynaset(const QString& sql);
    // Updatable keyset over the rows of one table that meet a condition, in an
    // order (see MakeFilteredDynaset).
    std::unique_ptr<Recordset> OpenFilteredDynaset(const QString& table, const QString& condition,
                                                   const QString& order);
    // Read-only rows of any query.
    std::unique_ptr<Recordset> OpenSnapshot(const QString& sql);
    // Read-only rows of any query, read once from the first to the last, as a
    // report reads them: only the current row is kept. MoveNext only; MoveFirst
    // while still on the first row. Going back, MoveLast and FindFirst fail with
    // error 3251, and RecordCount counts the rows read so far.
    std::unique_ptr<Recordset> OpenForwardOnly(const QString& sql);
    // Frees what the engine holds between operations.
    void Idle();

    std::shared_ptr<Connection> SharedConnection() const { return mConn; }

    // Writes a compacted copy of a closed catalogue file; the copy is synced to disk.
    // progress (when given) is told now and then how many bytes the copy holds so
    // far; false stops the compaction (DbError, and the partial copy is removed).
    static void CompactInto(const QString& source, const QString& destination,
                            const std::function<bool(qint64 written)>& progress = {});

private:
    explicit Database(std::shared_ptr<Connection> conn);
    std::shared_ptr<Connection> mConn;
};
