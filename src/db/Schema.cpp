#include "db/Schema.h"

#include "db/DbError.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

// Text compares and sorts without regard to case, as collectors expect; dates are
// ISO text, money is REAL, yes/no is 0 or 1.
const char* const kTables[] = {
    R"(CREATE TABLE Stamp (
  StampID INTEGER PRIMARY KEY AUTOINCREMENT,
  descr TEXT NOT NULL COLLATE NOCASE,
  catnum TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  catsort TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  face REAL,
  Year INTEGER,
  used INTEGER NOT NULL DEFAULT 0,
  wantlist INTEGER NOT NULL DEFAULT 0,
  quantity INTEGER NOT NULL DEFAULT 1,
  CouID INTEGER,
  typeID INTEGER,
  formID INTEGER,
  papID INTEGER,
  CanID INTEGER,
  perfID INTEGER,
  topID INTEGER,
  gumID INTEGER,
  ConID INTEGER,
  Color TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  watermark TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  Errors TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  issued TEXT,
  pricepaid REAL,
  totalpaid REAL,
  catvalue REAL,
  totalval REAL,
  priceask REAL,
  totalsales REAL,
  forsale INTEGER NOT NULL DEFAULT 0,
  purchased TEXT,
  sold INTEGER NOT NULL DEFAULT 0,
  datesold TEXT,
  notes TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  misc1 TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  misc2 TEXT NOT NULL DEFAULT '' COLLATE NOCASE
))",
    "CREATE TABLE cancel (CanID INTEGER PRIMARY KEY AUTOINCREMENT, CanDesc TEXT COLLATE NOCASE)",
    "CREATE TABLE Condition (ConID INTEGER PRIMARY KEY AUTOINCREMENT, conDesc TEXT COLLATE NOCASE)",
    "CREATE TABLE country (CouID INTEGER PRIMARY KEY AUTOINCREMENT, Coudesc TEXT COLLATE NOCASE)",
    "CREATE TABLE format (formID INTEGER PRIMARY KEY AUTOINCREMENT, FormDesc TEXT COLLATE NOCASE)",
    "CREATE TABLE gum (gumID INTEGER PRIMARY KEY AUTOINCREMENT, GumDesc TEXT COLLATE NOCASE)",
    "CREATE TABLE paper (papID INTEGER PRIMARY KEY AUTOINCREMENT, Papdesc TEXT COLLATE NOCASE)",
    "CREATE TABLE Perf (perfID INTEGER PRIMARY KEY AUTOINCREMENT, PerfDesc TEXT COLLATE NOCASE)",
    "CREATE TABLE topic (topID INTEGER PRIMARY KEY AUTOINCREMENT, TopDesc TEXT COLLATE NOCASE)",
    "CREATE TABLE type (typeID INTEGER PRIMARY KEY AUTOINCREMENT, Typedesc TEXT COLLATE NOCASE)",
    R"(CREATE TABLE RptSpec (
  SpecID INTEGER PRIMARY KEY,
  "Desc" TEXT NOT NULL COLLATE NOCASE,
  fieldname TEXT NOT NULL,
  datatype INTEGER NOT NULL,
  filename TEXT NOT NULL,
  Linkfield TEXT NOT NULL DEFAULT '',
  defwidth REAL,
  IsCurrency INTEGER NOT NULL DEFAULT 0
))",
};

// Every column that a sort order, a find or a join uses.
const char* const kIndexes[] = {
    "CREATE INDEX StampDescr ON Stamp (descr)",
    "CREATE INDEX StampCatsort ON Stamp (catsort)",
    "CREATE INDEX StampCatnum ON Stamp (catnum)",
    "CREATE INDEX StampIssued ON Stamp (issued)",
    "CREATE INDEX StampCouID ON Stamp (CouID)",
    "CREATE INDEX StampTypeID ON Stamp (typeID)",
    "CREATE INDEX StampFormID ON Stamp (formID)",
    "CREATE INDEX StampPapID ON Stamp (papID)",
    "CREATE INDEX StampCanID ON Stamp (CanID)",
    "CREATE INDEX StampPerfID ON Stamp (perfID)",
    "CREATE INDEX StampTopID ON Stamp (topID)",
    "CREATE INDEX StampGumID ON Stamp (gumID)",
    "CREATE INDEX StampConID ON Stamp (ConID)",
    "CREATE INDEX CancelDesc ON cancel (CanDesc)",
    "CREATE INDEX ConditionDesc ON Condition (conDesc)",
    "CREATE INDEX CountryDesc ON country (Coudesc)",
    "CREATE INDEX FormatDesc ON format (FormDesc)",
    "CREATE INDEX GumDesc ON gum (GumDesc)",
    "CREATE INDEX PaperDesc ON paper (Papdesc)",
    "CREATE INDEX PerfDesc ON Perf (PerfDesc)",
    "CREATE INDEX TopicDesc ON topic (TopDesc)",
    "CREATE INDEX TypeDesc ON type (Typedesc)",
};

}  // namespace

const std::vector<FieldCatalogueRow>& FieldCatalogueRows()
{
    // The captions are those of the main window; widths are in inches.
    static const std::vector<FieldCatalogueRow> rows = {
        {1, "Description", "descr", 1, "Stamp", "", 2.5, false},
        {2, "Catalog Num", "catnum", 1, "Stamp", "", 1, false},
        {3, "Face Value", "face", 2, "Stamp", "", 0.9, true},
        {4, "Year", "Year", 2, "Stamp", "", 0.5, false},
        {5, "Used", "used", 4, "Stamp", "", 0.5, false},
        {6, "Want List", "wantlist", 4, "Stamp", "", 0.7, false},
        {7, "Quantity", "quantity", 2, "Stamp", "", 0.7, false},
        {8, "Country", "Coudesc", 1, "country", "CouID", 1.5, false},
        {9, "Type", "Typedesc", 1, "type", "typeID", 1.2, false},
        {10, "Format", "FormDesc", 1, "format", "formID", 1.2, false},
        {11, "Paper", "Papdesc", 1, "paper", "papID", 1.2, false},
        {12, "Cancellation", "CanDesc", 1, "cancel", "CanID", 1.5, false},
        {13, "Perforation", "PerfDesc", 1, "Perf", "perfID", 1.2, false},
        {14, "Topic", "TopDesc", 1, "topic", "topID", 1.2, false},
        {15, "Gum", "GumDesc", 1, "gum", "gumID", 1.2, false},
        {16, "Condition", "conDesc", 1, "Condition", "ConID", 1.4, false},
        {17, "Color", "Color", 1, "Stamp", "", 1, false},
        {18, "Watermark", "watermark", 1, "Stamp", "", 1, false},
        {19, "Errors", "Errors", 1, "Stamp", "", 1.2, false},
        {20, "Issue Date", "issued", 3, "Stamp", "", 1, false},
        {21, "Price Paid", "pricepaid", 2, "Stamp", "", 1, true},
        {22, "Total Paid", "totalpaid", 2, "Stamp", "", 1, true},
        {23, "Catalog Value", "catvalue", 2, "Stamp", "", 1, true},
        {24, "Total Value", "totalval", 2, "Stamp", "", 1, true},
        {25, "Selling Price", "priceask", 2, "Stamp", "", 1, true},
        {26, "Total Sales", "totalsales", 2, "Stamp", "", 1, true},
        {27, "For Sale", "forsale", 4, "Stamp", "", 0.7, false},
        {28, "Purchase Date", "purchased", 3, "Stamp", "", 1, false},
        {29, "Sold", "sold", 4, "Stamp", "", 0.5, false},
        {30, "Date Sold", "datesold", 3, "Stamp", "", 1, false},
        {31, "Notes", "notes", 1, "Stamp", "", 3, false},
        {32, "Misc. 1", "misc1", 1, "Stamp", "", 1.2, false},
        {33, "Misc. 2", "misc2", 1, "Stamp", "", 1.2, false},
    };
    return rows;
}

QStringList CatalogueTables()
{
    return {QStringLiteral("Stamp"),  QStringLiteral("cancel"), QStringLiteral("Condition"), QStringLiteral("country"),
            QStringLiteral("format"), QStringLiteral("gum"),    QStringLiteral("paper"),     QStringLiteral("Perf"),
            QStringLiteral("topic"),  QStringLiteral("type")};
}

QStringList CatalogueSchemaSql()
{
    QStringList sql;
    for (const char* table : kTables) sql << QString::fromUtf8(table);
    for (const char* index : kIndexes) sql << QString::fromUtf8(index);
    return sql;
}
