#pragma once

// The program-wide variables: one instance each, alive for the whole run.

#include <QDate>
#include <QString>

#include <memory>

class Database;
class Recordset;

inline const QString kAppTitle = QStringLiteral("Tessarine");

extern QString gAppDir;    // folder prefix of every file the program names; stays empty
extern QString gDbPath;    // gAppDir + "stamp.mdb"
extern QString gHelpPath;  // gAppDir + "stamp.hlp"

extern std::unique_ptr<Database> gDb;        // the one open catalogue
extern std::unique_ptr<Recordset> gStampRs;  // the main window's stamps, in gSortOrder
extern int gSortOrder;                       // 1 description, 2 catalogue number, 3 issue date
extern bool gReopening;                      // the main window closes only to be shown again

// Reload flags of the main window's nine code lists.
extern bool gCanChanged;
extern bool gConChanged;
extern bool gCouChanged;
extern bool gFormChanged;
extern bool gGumChanged;
extern bool gPapChanged;
extern bool gPerfChanged;
extern bool gTopChanged;
extern bool gTypeChanged;
// The main window reloads its list of catalogues (for a stamp's numbers).
extern bool gCatalogChanged;
// The reload flag of code table 1-9 (cancellations ... types), and of the list
// of catalogues (10).
bool& CodeChangedFlag(int table);

extern int gCodeTable;   // the code table (1-9), or the catalogues (10), the code table window edits
extern bool gRetry;      // repeat the write under way
extern int gLockTries;   // consecutive lock failures of the write under way

extern int gRptTarget;            // 1 preview, 2 text file, 3 HTML file
extern int gRptCategory;          // 3 country, 4 format, 8 topic, 9 type
extern qint32 gRptSelID;          // code chosen for a category report, -1 for all
extern bool gRptCancel;           // the report under way stops
extern QString gRptHeader;        // heading table string repeated on each preview page
extern bool gRptNewPageHeader;    // repeat gRptHeader on new pages

extern QDate gPickDate;    // date handed to and from the calendar picker
extern QString gDateOrder; // order of month, day, year in the short date: "mdy", "dmy", ...
extern QString gDateSep;   // separator of the short date
