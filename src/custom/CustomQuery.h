#pragma once

// Turns the fields and settings of a custom report into its query, its column
// layout and its headings. Pure: reads nothing but its arguments.

#include "custom/FieldCatalogue.h"
#include "custom/FieldSettingsTable.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

enum class WidthUnit { Inches, Centimeters };

// One shown column of the report and the rules for its cells and total.
struct ReportColumn {
    int specId = 0;
    QString desc;
    QString fieldname;
    int datatype = FieldType::Text;
    bool isCurrency = false;
    bool total = false;
};

struct CustomQueryInput {
    QList<int> fields;         // SpecIDs of the report's fields, in report order
    std::optional<int> sort1;  // SpecID of the primary sort key
    std::optional<int> sort2;  // SpecID of the secondary sort key
    WidthUnit unit = WidthUnit::Inches;
    QString title;  // the report title, for the HTML head
};

struct CustomQuery {
    QString selectList;           // "descr, Coudesc"
    QString fromText;             // "Stamp", or nested parenthesised left joins
    QString whereText;            // empty, or the criteria with one leading space
    QString orderText;            // empty, or " order by a, b"
    QString sql;                  // the whole query, in the program's dialect
    QString columnFormat;         // "2880|>1440;": widths in twips, ">" right-aligns
    QString heading;              // the heading table string: column format + headings + ";"
    QStringList htmlHead;         // the HTML page's lines up to and with the column headings
    QList<ReportColumn> columns;  // the shown columns, in report order

    bool HasTotals() const;
};

// Twips per unit: 1440 an inch, 561.6 a centimetre.
float WidthFactor(WidthUnit unit);
// A width in twips as the column format writes it: single precision, ASCII digits
// and a decimal point in every locale (1.5 inches: "2160"; 2 centimetres: "1123.2").
QString ColumnWidthText(float width, WidthUnit unit);
// A date as the query dialect writes it, month/day/year in any locale: "#3/5/1996#".
QString DateLiteral(const QDate& date);

CustomQuery BuildCustomQuery(const FieldCatalogue& catalogue, const FieldSettingsTable& settings,
                             const CustomQueryInput& input);
