#pragma once

// The catalogue's tables of catalogue numbers: the numbers a stamp carries in
// the catalogues collectors quote (Scott, Stanley Gibbons, Michel, Yvert ...),
// beside the main window's one "Catalog Num".
//
//   Catalog      the list of catalogues, kept like a code list: CatalogID,
//                CatalogDesc (its name), Prefix (a short form for display,
//                "Mi", "SG"; may be empty) and OwnNumber (1 for the one
//                catalogue whose numbers also fill a stamp's "Catalog Num").
//   StampNumber  one row per number of a stamp: NumberID, StampID, CatalogID,
//                Position (the stamp's order of its numbers, from 1), CatNo (the
//                number as typed), CatNoSort (its sort key, padded as the
//                catalogue-number sort key of the stamp table is), NumValue (the
//                catalogue value of that number, money, or null) and NumNote.
//
// CatalogDesc and CatNo have stored keys (db/TextKeys.h): CatNo is matched by
// its folded text and ordered by the key of CatNoSort, as the stamp table's
// catnum is by catsort.
//
// The Stamp table is not touched, but for its joined folded texts (find_text),
// which hold the stamp's numbers: the StampNumber_find_text_* triggers queue
// the stamp for them. A stamp's numbers go with it by a trigger,
// StampNumber_owner_deleted, unless the view ImageOwner still names the stamp
// (a stamp in the trash); StampNumber_trash_emptied lets them go with the trash.

#include <QString>
#include <QStringList>

#include <vector>

struct sqlite3;

// The catalogue version step that adds the tables, their keys, indexes and
// trigger, and fills the list with the starting catalogues.
void AddCatalogueNumbers(sqlite3* db);

// Puts the triggers back if another tool dropped them, lets go of the numbers
// of stamps deleted meanwhile and queues the numbered stamps' joined texts
// (run at every open).
void CheckNumberTriggers(sqlite3* db);

// Drops the triggers that queue a numbered stamp for its joined texts (an
// import that writes the texts itself); gives the statements that put them back.
QStringList DropNumberFindTextTriggers(sqlite3* db);

struct StartingCatalogue {
    const char* name;
    const char* prefix;
};
// The list a new or upgraded catalogue starts with.
const std::vector<StartingCatalogue>& StartingCatalogues();
