#pragma once

// Deleted stamps kept in the catalogue's trash (history/TrashSchema.h) until the
// collector empties it: moved there with their record key, values and images,
// listed, brought back, or let go of for good. A stamp in the trash is in no
// list, report, find or count, all of which read the Stamp table alone.
//
// The moves write only; the caller's transaction (and its change recording)
// holds them. TrashStamps and RestoreStamps are the recorded, complete commands.

#include <QDateTime>
#include <QList>
#include <QString>

class Database;

struct TrashedStamp {
    qint64 stampId = 0;
    QString description;
    QString catalogueNumber;
    QString country;  // its description, or empty
    QDateTime deletedAt;
};

// Copies the stamps into the trash, deleted at the given moment; they stay in
// Stamp (the editor's recordset then deletes its own row).
void CopyStampsToTrash(Database& db, const QList<qint64>& stamps, const QDateTime& deletedAt);
// Copies them into the trash and deletes them from Stamp.
void MoveStampsToTrash(Database& db, const QList<qint64>& stamps, const QDateTime& deletedAt);
// Brings stamps back from the trash with their keys, values and images. A code
// entry deleted meanwhile is no longer referred to (the stamp's field is left
// empty rather than pointing at nothing). A stamp whose key is taken stays in
// the trash. The stamps brought back, in the order asked.
QList<qint64> MoveStampsFromTrash(Database& db, const QList<qint64>& stamps);
// Lets every stamp in the trash go, with its images.
void EmptyTrash(Database& db);

// The stamps in the trash, the latest deleted first.
QList<TrashedStamp> TrashedStamps(Database& db);
qint64 TrashCount(Database& db);

// The recorded commands: each one change on the history, in one transaction
// under the lock-retry rule. False when the writes failed.
bool TrashStamps(Database& db, const QList<qint64>& stamps);
bool RestoreStamps(Database& db, const QList<qint64>& stamps, QList<qint64>* restored = nullptr);
