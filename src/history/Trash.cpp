#include "history/Trash.h"

#include "codes/CodeTables.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/RawSql.h"
#include "history/History.h"
#include "history/TrashSchema.h"

#include <QStringList>

#include <sqlite3.h>

namespace {

const QString kStoredMoment = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

// The columns a stamp keeps in both tables.
QString SharedColumns(Database& db)
{
    sqlite3* handle = db.SharedConnection()->Checked();
    const QStringList trash = DataColumns(handle, kTrashTable);
    QStringList shared;
    for (const QString& column : DataColumns(handle, QStringLiteral("Stamp")))
        if (trash.contains(column, Qt::CaseInsensitive)) shared << QuotedName(column);
    return shared.join(u',');
}

void BindText(Statement& statement, int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement.Handle(), index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

QString Text(Statement& statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.Handle(), column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement.Handle(), column)) : QString();
}

void RequireTrash(Database& db)
{
    if (!HasTrashTable(db.SharedConnection()->Checked()))
        throw DbError(1, QStringLiteral("no such table: %1").arg(kTrashTable));
}

}  // namespace

void CopyStampsToTrash(Database& db, const QList<qint64>& stamps, const QDateTime& deletedAt)
{
    RequireTrash(db);
    const QString columns = SharedColumns(db);
    Statement copy(db.SharedConnection(), QStringLiteral("INSERT INTO DeletedStamp (") + columns +
                                              QStringLiteral(", DeletedAt) SELECT ") + columns +
                                              QStringLiteral(", ? FROM Stamp WHERE StampID = ?"));
    const QString moment = deletedAt.toString(kStoredMoment);
    for (qint64 stamp : stamps) {
        copy.Reset();
        BindText(copy, 1, moment);
        sqlite3_bind_int64(copy.Handle(), 2, stamp);
        copy.Step();
    }
}

void MoveStampsToTrash(Database& db, const QList<qint64>& stamps, const QDateTime& deletedAt)
{
    // Into the trash first: the stamp's images always have an owner.
    CopyStampsToTrash(db, stamps, deletedAt);
    Statement remove(db.SharedConnection(), QStringLiteral("DELETE FROM Stamp WHERE StampID = ?"));
    for (qint64 stamp : stamps) {
        remove.Reset();
        sqlite3_bind_int64(remove.Handle(), 1, stamp);
        remove.Step();
    }
}

QList<qint64> MoveStampsFromTrash(Database& db, const QList<qint64>& stamps)
{
    RequireTrash(db);
    const std::shared_ptr<Connection> conn = db.SharedConnection();
    const QString columns = SharedColumns(db);
    Statement taken(conn, QStringLiteral("SELECT 1 FROM Stamp WHERE StampID = ?"));
    Statement back(conn, QStringLiteral("INSERT INTO Stamp (") + columns + QStringLiteral(") SELECT ") + columns +
                             QStringLiteral(" FROM DeletedStamp WHERE StampID = ?"));
    Statement remove(conn, QStringLiteral("DELETE FROM DeletedStamp WHERE StampID = ?"));
    std::vector<std::unique_ptr<Statement>> dangling;
    for (int number = 1; number <= kCodeTableCount; ++number) {
        const CodeTableInfo& info = CodeTableInfoFor(number);
        const QString key = QuotedName(info.keyField);
        dangling.push_back(std::make_unique<Statement>(
            conn, QStringLiteral("UPDATE Stamp SET ") + key + QStringLiteral(" = NULL WHERE StampID = ? AND ") + key +
                      QStringLiteral(" IS NOT NULL AND NOT EXISTS (SELECT 1 FROM ") + QuotedName(info.table) +
                      QStringLiteral(" c WHERE c.") + key + QStringLiteral(" = Stamp.") + key + u')'));
    }
    QList<qint64> restored;
    for (qint64 stamp : stamps) {
        taken.Reset();
        sqlite3_bind_int64(taken.Handle(), 1, stamp);
        if (taken.Step()) continue;
        taken.Reset();
        // Back into Stamp first, out of the trash after: the images keep an owner.
        back.Reset();
        sqlite3_bind_int64(back.Handle(), 1, stamp);
        back.Step();
        if (sqlite3_changes(conn->Checked()) == 0) continue;
        for (const auto& clear : dangling) {
            clear->Reset();
            sqlite3_bind_int64(clear->Handle(), 1, stamp);
            clear->Step();
        }
        remove.Reset();
        sqlite3_bind_int64(remove.Handle(), 1, stamp);
        remove.Step();
        restored << stamp;
    }
    return restored;
}

void EmptyTrash(Database& db)
{
    RequireTrash(db);
    Statement empty(db.SharedConnection(), QStringLiteral("DELETE FROM DeletedStamp"));
    empty.Step();
}

QList<TrashedStamp> TrashedStamps(Database& db)
{
    RequireTrash(db);
    Statement list(
        db.SharedConnection(),
        QStringLiteral("SELECT d.StampID, d.descr, d.catnum, c.Coudesc, d.DeletedAt FROM DeletedStamp d "
                       "LEFT JOIN country c ON c.CouID = d.CouID ORDER BY d.DeletedAt DESC, d.StampID DESC"));
    QList<TrashedStamp> stamps;
    while (list.Step()) {
        TrashedStamp stamp;
        stamp.stampId = sqlite3_column_int64(list.Handle(), 0);
        stamp.description = Text(list, 1);
        stamp.catalogueNumber = Text(list, 2);
        stamp.country = Text(list, 3);
        stamp.deletedAt = QDateTime::fromString(Text(list, 4), kStoredMoment);
        stamps << stamp;
    }
    return stamps;
}

qint64 TrashCount(Database& db)
{
    RequireTrash(db);
    Statement count(db.SharedConnection(), QStringLiteral("SELECT count(*) FROM DeletedStamp"));
    return count.Step() ? sqlite3_column_int64(count.Handle(), 0) : 0;
}

bool TrashStamps(Database& db, const QList<qint64>& stamps)
{
    const QDateTime now = QDateTime::currentDateTime();
    return RecordChange(db, ChangeKind::Delete, [&] { MoveStampsToTrash(db, stamps, now); });
}

bool RestoreStamps(Database& db, const QList<qint64>& stamps, QList<qint64>* restored)
{
    QList<qint64> back;
    const bool done = RecordChange(db, ChangeKind::Restore, [&] { back = MoveStampsFromTrash(db, stamps); });
    if (restored) *restored = back;
    return done;
}
