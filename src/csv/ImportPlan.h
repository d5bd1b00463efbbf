#pragma once

// What an import will do, worked out from the whole file before anything is
// written: the stamps it adds and updates, the rows it skips or cannot read,
// and the entries it adds to the code lists.

#include "csv/ImportSettings.h"
#include "csv/StampRow.h"
#include "numbers/Catalogues.h"

#include <QStringList>

#include <array>
#include <vector>

class Database;

// A number of the stamp in a catalogue: the catalogue's key, or for the n-th
// catalogue the import adds, kNewCode + n.
struct PlannedNumber {
    qint64 catalogue = 0;
    QString number;
};

struct PlannedRow {
    qint64 line = 0;
    qint64 stampId = 0;  // the stamp to update; 0 for a new one
    StampRow values;
    std::vector<PlannedNumber> numbers;  // in their order
    // For a stamp updated: the catalogues whose numbers the file gives, which
    // replace the stamp's numbers in them; its others stay.
    std::vector<qint64> replaced;
};

struct RefusedRow {
    qint64 line = 0;
    int column = 0;   // from 1; 0 for the row as a whole
    QString heading;  // the column's heading, when the file has them
    QString reason;
    // "Line 5, column 3 (Qty): "abc" is not a whole number."
    QString Text() const;
};

struct ImportCounts {
    qint64 added = 0;
    qint64 updated = 0;
    qint64 skipped = 0;
    qint64 refused = 0;
    std::array<qint64, 10> newEntries{};  // by code table 1-9
    qint64 newCatalogues = 0;             // added to the list of catalogues
};

// "1,234 stamps added, 12 updated, 3 skipped, 2 rows refused; 5 new countries"
QString ImportSummary(const ImportCounts& counts);
// A count in words: "1 new country", "5 new countries"; for the list of
// catalogues (10), "2 new catalogues".
QString NewEntriesText(int codeTable, qint64 count);

struct ImportPlan {
    static constexpr size_t kMaxRefusedKept = 10000;

    ImportSettings settings;
    QString problem;      // why nothing can be imported at all; empty when rows can be
    qint64 rowsRead = 0;  // rows of the file that hold something, the header not counted
    ImportCounts counts;
    std::vector<PlannedRow> rows;            // to add or update, in the file's order
    std::vector<RefusedRow> refused;         // the first kMaxRefusedKept of them
    std::array<QStringList, 10> newEntries;  // the new descriptions of each code list
    CatalogueList newCatalogues;             // the catalogues to add (name and prefix)

    bool CanImport() const { return problem.isEmpty() && !rows.empty(); }
    // What the import will do, in a few lines, with at most maxRefused refused
    // rows listed.
    QString Description(int maxRefused) const;
};

// Reads the whole file with the settings and works out the import against the
// catalogue, with a progress window for a long file. Nothing is written.
// Throws DbError when the catalogue fails.
//
// The stamps' numbers in other catalogues come from the columns of catalogues
// (several numbers of one catalogue in one field, a line each) and from
// Colnect's "Catalog Codes"; a code that stands for no catalogue of the list
// adds one, named by the code. When the file gives no "Catalog Num", a stamp's
// first number in the collector's own catalogue is its Catalog Num.
ImportPlan MakeImportPlan(Database& db, const QString& path, const ImportSettings& settings);
