#pragma once

// Carrying out an import that has been planned: one transaction, so that either
// every accepted row is in the catalogue or nothing changed.

#include "csv/ImportPlan.h"

#include <array>
#include <vector>

class Database;

struct ImportResult {
    bool cancelled = false;
    ImportCounts counts;
    // What the import wrote, for taking it back: the stamps added and updated,
    // and the entries added to each code list (by code table 1-9).
    std::vector<qint64> addedIds;
    std::vector<qint64> updatedIds;
    std::array<std::vector<qint64>, 10> newCodeIds;
    // The catalogues added to the list, in the plan's order.
    std::vector<qint64> newCatalogueIds;
};

// Writes the plan into the catalogue: the new code entries and catalogues, then
// every row with its numbers, then the text keys of all of it, and commits once. A progress window with a
// Cancel button shows a long import; cancelling rolls everything back and
// leaves the catalogue as it was. A failure rolls back and throws DbError.
ImportResult RunImport(Database& db, const ImportPlan& plan);
