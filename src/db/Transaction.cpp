#include "db/Transaction.h"

#include "db/Database.h"
#include "db/RawSql.h"

#include <sqlite3.h>

Transaction::Transaction(Database& db) : mConn(db.SharedConnection())
{
    ExecSql(mConn->Checked(), "SAVEPOINT write_together");
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
    ExecSql(mConn->Checked(), "RELEASE write_together");
    mOpen = false;
}
