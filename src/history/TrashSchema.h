#pragma once

// The trash inside the catalogue: the table DeletedStamp holds every stamp the
// collector deleted and has not yet let go of, with the same record key it had.
//
//   DeletedStamp  StampID (the stamp's own key), every column of Stamp that
//                 holds the collector's data (not the derived text keys, which
//                 are made again when a stamp comes back: the trash is never
//                 searched or sorted), and DeletedAt, the local date and time of
//                 the delete ("yyyy-MM-ddTHH:mm:ss").
//
// A stamp's images stay while it is in the trash: the view ImageOwner names the
// stamps of Stamp and of DeletedStamp, and the trigger DeletedStamp_images_freed
// deletes a stamp's images once it leaves the trash for good (the same form as
// StampImage_owner_deleted on Stamp). A stamp moves by being inserted into the
// table it goes to first and deleted from the one it leaves after, so that some
// table always names it.
//
// A later layout step that adds a column to Stamp adds it to DeletedStamp too.

#include <QString>
#include <QStringList>

struct sqlite3;

inline const QString kTrashTable = QStringLiteral("DeletedStamp");

// The catalogue version step that adds the trash (after the image tables).
void AddTrashTable(sqlite3* db);

bool HasTrashTable(sqlite3* db);

// The definition of ImageOwner with the trash or without it, as stored in the
// file; and the trash's own image trigger.
QString ImageOwnerViewSql(bool withTrash);
QString TrashImagesTriggerSql();
inline const QString kTrashImagesTrigger = QStringLiteral("DeletedStamp_images_freed");

// The columns of a table that hold the collector's data: every column but the
// derived text keys (<column>_fold, <column>_sort), in the table's order.
QStringList DataColumns(sqlite3* db, const QString& table);
