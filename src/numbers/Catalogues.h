#pragma once

// The list of catalogues whose numbers a stamp may carry, as the program reads
// it, and the names under which their numbers are shown: a custom report's field
// and an exported file's column ("Michel #", "SG #"), a number with its
// catalogue ("Mi 840").

#include <QString>

#include <vector>

class Database;

struct NumberCatalogue {
    qint64 id = 0;
    QString name;
    QString prefix;    // may be empty
    bool own = false;  // its numbers also fill a stamp's "Catalog Num"
};
using CatalogueList = std::vector<NumberCatalogue>;

// The longest catalogue name and prefix the list keeps.
inline constexpr int kCatalogueNameLength = 50;
inline constexpr int kCataloguePrefixLength = 10;

// Every catalogue of the list, in the order of their keys. A catalogue that has
// no name is left out. Throws DbError.
CatalogueList LoadCatalogues(Database& db);

const NumberCatalogue* FindCatalogue(const CatalogueList& list, qint64 id);
// The collector's own catalogue (the first marked), or null.
const NumberCatalogue* OwnCatalogue(const CatalogueList& list);

// How collectors name the catalogue in a heading: a name of one word as it is
// ("Michel", "Scott"), a longer one by its prefix when it has one ("SG" for
// Stanley Gibbons).
QString CatalogueShortName(const NumberCatalogue& catalogue);

// The catalogue's heading in custom reports and exported files: its short name
// and " #" ("Michel #", "SG #"). Two catalogues of the list never share one: the
// later of two that would is headed by its whole name, and then by its key too.
// The characters that separate a report's columns are left out.
QString CatalogueHeading(const NumberCatalogue& catalogue, const CatalogueList& list);
// The headings of the whole list, in its order.
std::vector<QString> CatalogueHeadings(const CatalogueList& list);

// A number with its catalogue, as the main window lists a stamp's numbers:
// "Mi 840", or "Michel 840" for a catalogue without a prefix.
QString NumberWithCatalogue(const NumberCatalogue& catalogue, const QString& number);
