#include "db/Transaction.h"

#include "db/Database.h"

#include <sqlite3.h>

namespace {

void Exec(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
}

}  // namespace

Transaction::Transaction(Database& db) : mConn(db.SharedConnection())
{
    Exec(mConn->Checked(), "SAVEPOINT write_together");
    mOpen = true;
}

Transaction::~Transaction()
{
    if (!mOpen || !mConn->db) return;
    sqlite3_exec(mConn->db, "ROLLBACK TO write_together", nullptr, nullptr, nullptr);
    sqlite3_exec(mConn->db, "RELEASE write_together", nullptr, nullptr, nullptr);
}

void Transaction::Commit()
{
    if (!mOpen) return;
    Exec(mConn->Checked(), "RELEASE write_together");
    mOpen = false;
}
