#include "db/RawSql.h"

#include "db/Database.h"

#include <sqlite3.h>

void ExecSql(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
}

void ExecSql(sqlite3* db, const QString& sql)
{
    ExecSql(db, sql.toUtf8().constData());
}

qint64 ScalarSql(sqlite3* db, const char* sql)
{
    Prepared query(db, QString::fromUtf8(sql));
    return query.Step() ? sqlite3_column_int64(*query, 0) : 0;
}

bool HasTableOrView(sqlite3* db, const QString& name)
{
    Prepared find(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name = ?1 "
                                     "COLLATE NOCASE"));
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_text(*find, 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return find.Step();
}

QString QuotedName(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

Prepared::Prepared(sqlite3* db, const QString& sql) : mDb(db)
{
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &mStmt, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
}

Prepared::~Prepared()
{
    sqlite3_finalize(mStmt);
}

bool Prepared::Step()
{
    const int rc = sqlite3_step(mStmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(mStmt);
    ThrowEngineError(mDb, rc);
}

void Prepared::Reset()
{
    sqlite3_reset(mStmt);
    sqlite3_clear_bindings(mStmt);
}

QString Prepared::Text(int column) const
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(mStmt, column)),
                             sqlite3_column_bytes(mStmt, column));
}
