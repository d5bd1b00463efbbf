#include "numbers/NumberSchema.h"

#include "db/Database.h"
#include "db/RawSql.h"
#include "db/TextKeys.h"

#include <QStringList>

#include <sqlite3.h>

namespace {

const char* const kTables[] = {
    R"(CREATE TABLE IF NOT EXISTS Catalog (
  CatalogID INTEGER PRIMARY KEY AUTOINCREMENT,
  CatalogDesc TEXT COLLATE NOCASE,
  Prefix TEXT NOT NULL DEFAULT '',
  OwnNumber INTEGER NOT NULL DEFAULT 0
))",
    // No reference to Stamp that the engine enforces: a stamp's numbers outlive
    // its row while something keeps the stamp (see ImageOwner).
    R"(CREATE TABLE IF NOT EXISTS StampNumber (
  NumberID INTEGER PRIMARY KEY,
  StampID INTEGER NOT NULL,
  CatalogID INTEGER NOT NULL,
  Position INTEGER NOT NULL,
  CatNo TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  CatNoSort TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  NumValue REAL,
  NumNote TEXT NOT NULL DEFAULT ''
))",
};

const char* const kIndexes[] = {
    // A stamp's numbers in order, for the main window; a catalogue's numbers, for
    // custom reports and the in-use check. The indexes of the stored keys (a
    // number by its folded text, the list in its order) come with the keys.
    "CREATE INDEX IF NOT EXISTS StampNumberStamp ON StampNumber (StampID, Position)",
    "CREATE INDEX IF NOT EXISTS StampNumberCatalog ON StampNumber (CatalogID, StampID)",
};

const char* const kOwnerTrigger =
    "CREATE TRIGGER IF NOT EXISTS StampNumber_owner_deleted AFTER DELETE ON Stamp BEGIN "
    "DELETE FROM StampNumber WHERE StampID = OLD.StampID "
    "AND NOT EXISTS (SELECT 1 FROM ImageOwner WHERE StampID = OLD.StampID); END";

// Emptying the trash lets go of the numbers of the stamps in it, as deleting a
// stamp does; a stamp still kept elsewhere keeps them.
const char* const kTrashTrigger =
    "CREATE TRIGGER IF NOT EXISTS StampNumber_trash_emptied AFTER DELETE ON DeletedStamp BEGIN "
    "DELETE FROM StampNumber WHERE StampID = OLD.StampID "
    "AND NOT EXISTS (SELECT 1 FROM ImageOwner WHERE StampID = OLD.StampID); END";

// A stamp's numbers are among the texts the stamp list's filter looks in
// (Stamp.find_text): a number written, changed or removed queues its stamp for
// its joined texts to be made again.
const char* const kFindTextTriggers[] = {
    "CREATE TRIGGER IF NOT EXISTS StampNumber_find_text_insert AFTER INSERT ON StampNumber BEGIN "
    "INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('Stamp', NEW.StampID); END",
    "CREATE TRIGGER IF NOT EXISTS StampNumber_find_text_update AFTER UPDATE OF StampID, CatNo ON StampNumber BEGIN "
    "INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('Stamp', OLD.StampID); "
    "INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('Stamp', NEW.StampID); END",
    "CREATE TRIGGER IF NOT EXISTS StampNumber_find_text_delete AFTER DELETE ON StampNumber BEGIN "
    "INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('Stamp', OLD.StampID); END",
};

}  // namespace

const std::vector<StartingCatalogue>& StartingCatalogues()
{
    static const std::vector<StartingCatalogue> list = {
        {"Scott", "Sc"},  {"Stanley Gibbons", "SG"}, {"Michel", "Mi"},  {"Yvert et Tellier", "Yt"},
        {"Facit", "Fa"},  {"Zumstein", "Zu"},        {"Sassone", "Sa"}, {"Unificato", "Un"},
        {"Edifil", "Ed"}, {"Sakura", "Sk"},          {"Colnect", "Cn"},
    };
    return list;
}

void AddCatalogueNumbers(sqlite3* db)
{
    for (const char* sql : kTables) ExecSql(db, sql);
    if (ScalarSql(db, "SELECT count(*) FROM Catalog") == 0) {
        sqlite3_stmt* insert = nullptr;
        if (sqlite3_prepare_v2(db, "INSERT INTO Catalog (CatalogDesc, Prefix) VALUES (?1, ?2)", -1, &insert, nullptr) !=
            SQLITE_OK)
            ThrowEngineError(db, sqlite3_errcode(db));
        for (const StartingCatalogue& c : StartingCatalogues()) {
            sqlite3_bind_text(insert, 1, c.name, -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 2, c.prefix, -1, SQLITE_STATIC);
            const int rc = sqlite3_step(insert);
            sqlite3_reset(insert);
            if (rc != SQLITE_DONE) {
                sqlite3_finalize(insert);
                ThrowEngineError(db, rc);
            }
        }
        sqlite3_finalize(insert);
    }
    AddTextKeys(db, {QStringLiteral("Catalog"), QStringLiteral("StampNumber")});
    for (const char* sql : kIndexes) ExecSql(db, sql);
    ExecSql(db, kOwnerTrigger);
    if (HasTableOrView(db, QStringLiteral("DeletedStamp"))) ExecSql(db, kTrashTrigger);
    for (const char* sql : kFindTextTriggers) ExecSql(db, sql);
}

void CheckNumberTriggers(sqlite3* db)
{
    if (!HasTableOrView(db, QStringLiteral("StampNumber")) || !HasTableOrView(db, QStringLiteral("ImageOwner"))) return;
    const bool trash = HasTableOrView(db, QStringLiteral("DeletedStamp"));
    if (ScalarSql(db,
                  "SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND name IN "
                  "('StampNumber_owner_deleted', 'StampNumber_trash_emptied', 'StampNumber_find_text_insert', "
                  "'StampNumber_find_text_update', 'StampNumber_find_text_delete')") == (trash ? 5 : 4))
        return;
    // What was deleted while a trigger was missing is tidied as it would have
    // tidied it, and every numbered stamp's joined texts are made again.
    ExecSql(db, "SAVEPOINT number_triggers");
    try {
        ExecSql(db, kOwnerTrigger);
        if (trash) ExecSql(db, kTrashTrigger);
        for (const char* sql : kFindTextTriggers) ExecSql(db, sql);
        ExecSql(db, "INSERT OR IGNORE INTO TextKeyQueue (tbl, id) SELECT DISTINCT 'Stamp', StampID FROM StampNumber");
        ExecSql(db, "DELETE FROM StampNumber WHERE StampID NOT IN (SELECT StampID FROM ImageOwner)");
        ExecSql(db, "RELEASE number_triggers");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO number_triggers", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "RELEASE number_triggers", nullptr, nullptr, nullptr);
        throw;
    }
}

QStringList DropNumberFindTextTriggers(sqlite3* db)
{
    QStringList restore;
    for (const char* name :
         {"StampNumber_find_text_insert", "StampNumber_find_text_update", "StampNumber_find_text_delete"})
        ExecSql(db, QStringLiteral("DROP TRIGGER IF EXISTS ") + QString::fromLatin1(name));
    for (const char* sql : kFindTextTriggers) restore << QString::fromLatin1(sql);
    return restore;
}
