#pragma once

// Helpers for code that works on the engine's own handle (the catalogue's
// version steps, the stored text keys, the history, the import): a statement
// run for its effect, a statement finalized with its scope, and a table or
// column name quoted as the engine quotes it. Every failure is a DbError.

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

void ExecSql(sqlite3* db, const char* sql);
void ExecSql(sqlite3* db, const QString& sql);

// The first column of the first row of a query (0 when it gives none).
qint64 ScalarSql(sqlite3* db, const char* sql);

// Whether the catalogue has a table or view of that name (any case).
bool HasTableOrView(sqlite3* db, const QString& name);

// "name", with a quote inside doubled.
QString QuotedName(const QString& name);

// A prepared statement on a raw handle, finalized with its scope.
class Prepared {
public:
    Prepared(sqlite3* db, const QString& sql);
    ~Prepared();
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    sqlite3_stmt* operator*() const { return mStmt; }
    // True for a row, false when done.
    bool Step();
    // Ready to run again, its values unbound.
    void Reset();
    // A column of the current row as text.
    QString Text(int column) const;

private:
    sqlite3* mDb;
    sqlite3_stmt* mStmt = nullptr;
};
