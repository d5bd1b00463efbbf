#include "history/TrashSchema.h"

#include "db/Database.h"
#include "db/RawSql.h"

#include <sqlite3.h>

namespace {

struct ColumnInfo {
    QString name;
    QString type;
};

QList<ColumnInfo> Columns(sqlite3* db, const QString& table)
{
    QList<ColumnInfo> columns;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = (QStringLiteral("PRAGMA table_info(") + QuotedName(table) + u')').toUtf8();
    int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
        const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2));
        columns.append({QString::fromUtf8(name ? name : ""), QString::fromUtf8(type ? type : "")});
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) ThrowEngineError(db, rc);
    return columns;
}

bool IsDerivedKey(const QString& column)
{
    // The stored keys and the stamp list's joined texts are made from the
    // collector's values; they are never kept, compared or written back.
    return column.endsWith(QLatin1String("_fold"), Qt::CaseInsensitive) ||
           column.endsWith(QLatin1String("_sort"), Qt::CaseInsensitive) ||
           column.compare(QLatin1String("find_text"), Qt::CaseInsensitive) == 0;
}

}  // namespace

QStringList DataColumns(sqlite3* db, const QString& table)
{
    QStringList names;
    for (const ColumnInfo& column : Columns(db, table))
        if (!IsDerivedKey(column.name)) names << column.name;
    return names;
}

bool HasTrashTable(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'DeletedStamp' COLLATE NOCASE",
                           -1, &stmt, nullptr) != SQLITE_OK)
        ThrowEngineError(db, sqlite3_errcode(db));
    const bool found = sqlite3_step(stmt) == SQLITE_ROW;
    sqlite3_finalize(stmt);
    return found;
}

QString ImageOwnerViewSql(bool withTrash)
{
    return withTrash ? QStringLiteral(
                           "CREATE VIEW ImageOwner AS SELECT StampID FROM Stamp UNION ALL SELECT StampID FROM "
                           "DeletedStamp")
                     : QStringLiteral("CREATE VIEW ImageOwner AS SELECT StampID FROM Stamp");
}

QString TrashImagesTriggerSql()
{
    return QStringLiteral(
        "CREATE TRIGGER IF NOT EXISTS DeletedStamp_images_freed AFTER DELETE ON DeletedStamp BEGIN "
        "DELETE FROM StampImage WHERE StampID = OLD.StampID "
        "AND NOT EXISTS (SELECT 1 FROM ImageOwner WHERE StampID = OLD.StampID); END");
}

void AddTrashTable(sqlite3* db)
{
    // The trash takes Stamp's columns as this file has them, so that a stamp
    // comes back with every value it had; the types keep each value's kind.
    QStringList declarations{QStringLiteral("StampID INTEGER PRIMARY KEY")};
    for (const ColumnInfo& column : Columns(db, QStringLiteral("Stamp"))) {
        if (IsDerivedKey(column.name) || column.name.compare(QLatin1String("StampID"), Qt::CaseInsensitive) == 0)
            continue;
        declarations << QuotedName(column.name) + u' ' + column.type;
    }
    declarations << QStringLiteral("DeletedAt TEXT NOT NULL");
    ExecSql(db, QStringLiteral("CREATE TABLE IF NOT EXISTS DeletedStamp (") + declarations.join(QStringLiteral(", ")) +
                    u')');
    ExecSql(db, QStringLiteral("DROP VIEW IF EXISTS ImageOwner"));
    ExecSql(db, ImageOwnerViewSql(true));
    ExecSql(db, TrashImagesTriggerSql());
}
