#pragma once

// The catalogue of fields that custom reports offer: the rows of RptSpec, read
// once when the custom report window loads and never written.

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

class Database;

// Data type codes of a catalogue field.
namespace FieldType {
inline constexpr int Text = 1;
inline constexpr int Number = 2;
inline constexpr int Date = 3;
inline constexpr int YesNo = 4;
// A stamp's front thumbnail: no criteria, no sorting; a picture in the preview
// and in HTML, nothing in a text file.
inline constexpr int Image = 5;
}  // namespace FieldType

// The stamp table's own name in the catalogue's filename column; compared with case.
inline constexpr QStringView kStampTable = u"Stamp";

struct CatalogueField {
    int specId = 0;
    QString desc;       // offered under this name and printed as the column heading
    QString fieldname;  // column name in the query and its result
    int datatype = FieldType::Text;
    QString filename;    // "Stamp", or the code table that holds the column
    QString linkfield;   // key column that Stamp and the code table share
    float defwidth = 1;  // in the unit chosen when the report is made
    bool isCurrency = false;
    // For a field the query makes rather than a table holds it (a catalogue's
    // numbers): the table expression joined under the name in filename.
    QString joinSql = QString();
};

class FieldCatalogue {
public:
    // Reads "Select * from RptSpec order by [desc]" as a snapshot. Returns nullopt
    // when the catalogue is empty or damaged (no rows, a SpecID outside 1 to the
    // row count or given twice, an unknown data type, a missing name or link, a
    // width that is not a number, or no RptSpec table at all). A database that is
    // not open is the caller's error and is thrown as DbError.
    //
    // Then one field for each catalogue of the list of catalogues, giving a
    // stamp's number in it ("Michel #", numbers/Catalogues.h), in its place by
    // Desc; their SpecIDs follow those of RptSpec, in the order of the
    // catalogues' keys.
    static std::optional<FieldCatalogue> Load(Database& db);
    // The same checks over rows already read, in Desc order.
    static std::optional<FieldCatalogue> FromRows(std::vector<CatalogueField> rows);

    int Count() const { return static_cast<int>(mRows.size()); }
    // The rows in Desc order, as the lists offer them.
    const std::vector<CatalogueField>& Rows() const { return mRows; }
    // The row of a SpecID, or null when there is none.
    const CatalogueField* Find(int specId) const;

private:
    std::vector<CatalogueField> mRows;
    std::vector<int> mIndexOf;  // SpecID -> position in mRows
};

struct NumberCatalogue;
using CatalogueList = std::vector<NumberCatalogue>;

// The field of one catalogue's numbers, under its heading and SpecID.
CatalogueField CatalogueNumberField(const NumberCatalogue& catalogue, const QString& heading, int specId);
// Adds the field of each catalogue to rows in Desc order, with the SpecIDs after
// the highest of rows.
void AddCatalogueFields(std::vector<CatalogueField>& rows, const CatalogueList& catalogues);
