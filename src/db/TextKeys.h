#pragma once

// Stored keys of collector text. Every text column that the program matches or
// orders (a stamp's description, catalogue number, colour ..., a code's
// description) has two derived columns beside it:
//
//   <column>_fold  the text folded for matching (search/Folding.h), indexed
//                  where a find uses it;
//   <column>_sort  the text's collation key (search/Collation.h), a byte string
//                  whose plain order is the alphabetical order.
//
// The query dialect sends a like or = comparison on such a column to its folded
// form, and an ORDER BY on it to its key (db/SqlDialect.h), so the program's
// query texts name the columns themselves.
//
// The keys stay true to their texts whoever writes the file: triggers in the
// catalogue queue every row whose text is written (by this program or by any
// SQLite tool) in TextKeyQueue, and the queue is worked off before the program
// next reads (Statement) and at every open.

#include "db/TextColumns.h"

#include <QStringList>

struct sqlite3;

// Adds the key columns, the queue, its triggers and the indexes to a catalogue
// that has none; the keys of every row are made by the pass that follows an
// upgrade (CheckTextKeys).
void AddTextKeys(sqlite3* db);
// The same for the named tables alone (a later layout's new tables): their rows
// are queued, so that their keys are made after the upgrade without making
// every other key again.
void AddTextKeys(sqlite3* db, const QStringList& tables);

// Adds Stamp.find_text (db/TextColumns.h: FindTextColumns) and its index to a
// catalogue that has the other keys, and fills it.
void AddFindText(sqlite3* db);

// Makes the keys of the queued rows and empties the queue.
void RefreshTextKeys(sqlite3* db);

// For a writer that stores the keys of every row it writes itself (a large
// import): drops the key triggers of one table inside the writer's transaction,
// and gives the statements that put them back, which the writer runs before it
// commits. A rollback brings them back by itself.
QStringList DropTextKeyTriggers(sqlite3* db, const QString& table);

// At open: puts back missing triggers, makes every key anew when the stored ones
// were made under another collation (another locale, another library version),
// and works off the queue.
void CheckTextKeys(sqlite3* db);
