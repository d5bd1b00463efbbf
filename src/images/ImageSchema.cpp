#include "images/ImageSchema.h"

#include "db/Database.h"
#include "db/RawSql.h"
#include "history/TrashSchema.h"

#include <sqlite3.h>

#include <iterator>

namespace {

const char* const kTables[] = {
    R"(CREATE TABLE IF NOT EXISTS Picture (
  PictureID INTEGER PRIMARY KEY,
  Hash BLOB NOT NULL UNIQUE,
  Format TEXT NOT NULL,
  Width INTEGER NOT NULL,
  Height INTEGER NOT NULL,
  ByteSize INTEGER NOT NULL,
  Thumbnail BLOB NOT NULL
))",
    R"(CREATE TABLE IF NOT EXISTS PictureData (
  PictureID INTEGER PRIMARY KEY,
  Original BLOB NOT NULL
))",
    R"(CREATE TABLE IF NOT EXISTS StampImage (
  ImageID INTEGER PRIMARY KEY,
  StampID INTEGER NOT NULL,
  Position INTEGER NOT NULL,
  Kind TEXT NOT NULL DEFAULT 'Front',
  Caption TEXT NOT NULL DEFAULT '',
  PictureID INTEGER NOT NULL
))",
    "CREATE INDEX IF NOT EXISTS StampImageStamp ON StampImage (StampID, Position)",
    "CREATE INDEX IF NOT EXISTS StampImagePicture ON StampImage (PictureID)",
    "CREATE VIEW IF NOT EXISTS ImageOwner AS SELECT StampID FROM Stamp",
    // Each stamp once, with the thumbnail of its first front image: a view over
    // Stamp alone, so that a left join to it stays a lookup by key.
    R"(CREATE VIEW IF NOT EXISTS FrontImage AS SELECT s.StampID AS StampID,
  (SELECT p.Thumbnail FROM StampImage i JOIN Picture p ON p.PictureID = i.PictureID
   WHERE i.StampID = s.StampID AND i.Kind = 'Front' ORDER BY i.Position LIMIT 1) AS FrontThumbnail
FROM Stamp s)",
};

struct Trigger {
    const char* name;
    const char* sql;
};

const Trigger kTriggers[] = {
    {"StampImage_owner_deleted",
     "CREATE TRIGGER IF NOT EXISTS StampImage_owner_deleted AFTER DELETE ON Stamp BEGIN "
     "DELETE FROM StampImage WHERE StampID = OLD.StampID "
     "AND NOT EXISTS (SELECT 1 FROM ImageOwner WHERE StampID = OLD.StampID); END"},
    {"StampImage_picture_freed",
     "CREATE TRIGGER IF NOT EXISTS StampImage_picture_freed AFTER DELETE ON StampImage BEGIN "
     "DELETE FROM Picture WHERE PictureID = OLD.PictureID "
     "AND NOT EXISTS (SELECT 1 FROM StampImage WHERE PictureID = OLD.PictureID); END"},
    {"StampImage_picture_changed",
     "CREATE TRIGGER IF NOT EXISTS StampImage_picture_changed AFTER UPDATE OF PictureID ON StampImage BEGIN "
     "DELETE FROM Picture WHERE PictureID = OLD.PictureID "
     "AND NOT EXISTS (SELECT 1 FROM StampImage WHERE PictureID = OLD.PictureID); END"},
    {"Picture_data_freed",
     "CREATE TRIGGER IF NOT EXISTS Picture_data_freed AFTER DELETE ON Picture BEGIN "
     "DELETE FROM PictureData WHERE PictureID = OLD.PictureID; END"},
};

}  // namespace

void AddImageTables(sqlite3* db)
{
    for (const char* sql : kTables) ExecSql(db, sql);
    for (const Trigger& trigger : kTriggers) ExecSql(db, trigger.sql);
    // The field catalogue offers the front thumbnail as one more field, after
    // every field it has.
    if (HasTableOrView(db, QStringLiteral("RptSpec")) &&
        ScalarSql(db, "SELECT count(*) FROM RptSpec WHERE fieldname = 'FrontThumbnail'") == 0)
        ExecSql(
            db,
            "INSERT INTO RptSpec (SpecID, \"Desc\", fieldname, datatype, filename, Linkfield, defwidth, IsCurrency) "
            "SELECT coalesce(max(SpecID), 0) + 1, 'Image', 'FrontThumbnail', 5, 'FrontImage', 'StampID', 1, 0 "
            "FROM RptSpec");
}

namespace {

// The stored definition of the view ImageOwner, or the empty text.
QString StoredOwnerView(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_master WHERE type = 'view' AND name = 'ImageOwner'", -1, &stmt,
                           nullptr) != SQLITE_OK)
        ThrowEngineError(db, sqlite3_errcode(db));
    QString sql;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return sql;
}

}  // namespace

void CheckImageTriggers(sqlite3* db)
{
    if (!HasTableOrView(db, QStringLiteral("StampImage"))) return;
    // Once the catalogue has a trash, the stamps in it own their images too: the
    // view names them, and the trash frees its stamps' images itself.
    const bool trash = HasTrashTable(db);
    const QString ownerView = ImageOwnerViewSql(trash);
    const qint64 present =
        ScalarSql(db,
                  "SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND name IN "
                  "('StampImage_owner_deleted', 'StampImage_picture_freed', "
                  "'StampImage_picture_changed', 'Picture_data_freed', 'DeletedStamp_images_freed')");
    const qint64 expected = static_cast<qint64>(std::size(kTriggers)) + (trash ? 1 : 0);
    if (present == expected && StoredOwnerView(db) == ownerView) return;
    // What was deleted while the triggers were missing is tidied as they would
    // have tidied it.
    ExecSql(db, "SAVEPOINT image_triggers");
    try {
        ExecSql(db, "DROP VIEW IF EXISTS ImageOwner");
        const QByteArray view = ownerView.toUtf8();
        ExecSql(db, view.constData());
        for (const Trigger& trigger : kTriggers) ExecSql(db, trigger.sql);
        if (trash) {
            const QByteArray trashTrigger = TrashImagesTriggerSql().toUtf8();
            ExecSql(db, trashTrigger.constData());
        }
        ExecSql(db, "DELETE FROM StampImage WHERE StampID NOT IN (SELECT StampID FROM ImageOwner)");
        ExecSql(db, "DELETE FROM Picture WHERE PictureID NOT IN (SELECT PictureID FROM StampImage)");
        ExecSql(db, "DELETE FROM PictureData WHERE PictureID NOT IN (SELECT PictureID FROM Picture)");
        ExecSql(db, "RELEASE image_triggers");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO image_triggers", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "RELEASE image_triggers", nullptr, nullptr, nullptr);
        throw;
    }
}
