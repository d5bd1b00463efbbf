#pragma once

// The fields of a stamp as a file of stamps holds them: in the main window's
// order, under its captions, each with the kind of value it takes; and the
// column headings by which other files name them.

#include "numbers/Catalogues.h"

#include <QString>
#include <QStringList>

#include <limits>
#include <optional>
#include <vector>

enum class FieldKind { Text, Money, Total, Year, Quantity, YesNo, Date, Code };

struct StampField {
    const char* column;  // the stamp table's column
    QString caption;     // the main window's caption
    FieldKind kind = FieldKind::Text;
    int maxLength = 0;  // text: the editor's limit, 0 for none
    int codeTable = 0;  // code: the code table, 1-9
    int total = -1;     // a price: the index of its total
};

// Indexes into StampFields().
namespace Fld {
inline constexpr int Descr = 0, CatNum = 1, Face = 2, Year = 3, Used = 4, WantList = 5, Quantity = 6, Country = 7,
                     Type = 8, Format = 9, Paper = 10, Cancel = 11, Perf = 12, Topic = 13, Gum = 14, Condition = 15,
                     Color = 16, Watermark = 17, Errors = 18, Issued = 19, PricePaid = 20, TotalPaid = 21,
                     CatValue = 22, TotalVal = 23, PriceAsk = 24, TotalSales = 25, ForSale = 26, Purchased = 27,
                     Sold = 28, DateSold = 29, Notes = 30, Misc1 = 31, Misc2 = 32;
inline constexpr int Count = 33;
// A column that goes into no field.
inline constexpr int Ignore = -1;
// Besides the fields, a column may give a stamp's numbers in other catalogues:
// Colnect's "Catalog Codes" ("Mi:NZ 840, Sn:NZ 1234"), the numbers of one
// catalogue of the list (FirstCatalogue + the catalogue's key), or the numbers of
// a catalogue that the import adds to the list, named by the column's heading
// ("Hellman #" for Hellman).
inline constexpr int CatalogCodes = 100;
inline constexpr int NewCatalogue = 101;
inline constexpr int FirstCatalogue = 1000;
}  // namespace Fld

inline bool IsCatalogueField(int field)
{
    return field >= Fld::FirstCatalogue;
}
inline qint64 CatalogueOfField(int field)
{
    return field - Fld::FirstCatalogue;
}
// The value of a catalogue's column; Fld::Ignore for a key too large for one.
inline int FieldOfCatalogue(qint64 catalogueId)
{
    return catalogueId > 0 && catalogueId <= std::numeric_limits<int>::max() - Fld::FirstCatalogue
               ? int(Fld::FirstCatalogue + catalogueId)
               : Fld::Ignore;
}
// A field of the stamp itself, 0 to Fld::Count - 1.
inline bool IsStampField(int field)
{
    return field >= 0 && field < Fld::Count;
}

// The catalogue a heading of the form "Name #" names ("Hellman" for "Hellman #"),
// when it names no field and no catalogue of the list; empty otherwise.
QString NewCatalogueOfHeading(const QString& heading, const CatalogueList& catalogues);

const std::vector<StampField>& StampFields();

// The longest description a code list takes, as its window allows.
inline constexpr int kCodeDescriptionLength = 50;

// The field a column heading names: a caption, a column name of the catalogue,
// or a heading other programs use. Fld::Ignore when it names none; known is set
// when the heading is one that files carry (a total, which the import computes,
// or another program's column with no place here).
int FieldForHeading(const QString& heading, bool* known = nullptr);

// The field for each heading, each field taken by one column at most: a heading
// that names the stamp outright ("Name", "Title") takes the description before
// a column headed "Description", which then goes to the notes. With the list of
// catalogues, a column headed by a catalogue ("Michel #", "Michel", "SG #") gives
// its numbers, and a column headed "Name #" that names nothing else the numbers
// of a new catalogue of that name.
std::vector<int> GuessMapping(const QStringList& headings, const CatalogueList& catalogues = {});

// True when the first record names its columns rather than holding a stamp:
// it carries known headings, or words above columns whose values are numbers
// or dates.
bool LooksLikeHeader(const QStringList& first, const std::vector<QStringList>& following);

// The field named by a collector on the command line: its caption, its column
// name or a heading, any case, or a catalogue of the list by its heading or name;
// Fld::Ignore for "ignore" or "(ignore)". nullopt for a name that means nothing.
std::optional<int> FieldByName(const QString& name, const CatalogueList& catalogues = {});

// The name of a mapping value in the import window's lists: the field's caption,
// "Catalog Codes (Colnect)", a catalogue's heading, or for a new catalogue
// "New catalogue: Hellman" after the column's heading.
QString MappingName(int field, const CatalogueList& catalogues, const QString& heading = QString());
