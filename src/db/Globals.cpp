#include "db/Globals.h"

#include "db/Database.h"
#include "db/Recordset.h"

QString gAppDir;
QString gDbPath;
QString gHelpPath;

std::unique_ptr<Database> gDb;
std::unique_ptr<Recordset> gStampRs;
int gSortOrder = 1;
bool gReopening = false;

bool gCanChanged = false;
bool gConChanged = false;
bool gCouChanged = false;
bool gFormChanged = false;
bool gGumChanged = false;
bool gPapChanged = false;
bool gPerfChanged = false;
bool gTopChanged = false;
bool gTypeChanged = false;
bool gCatalogChanged = false;

bool& CodeChangedFlag(int table)
{
    static bool none = false;
    switch (table) {
    case 1: return gCanChanged;
    case 2: return gConChanged;
    case 3: return gCouChanged;
    case 4: return gFormChanged;
    case 5: return gGumChanged;
    case 6: return gPapChanged;
    case 7: return gPerfChanged;
    case 8: return gTopChanged;
    case 9: return gTypeChanged;
    case 10:
        return gCatalogChanged;
    default: none = false; return none;
    }
}

int gCodeTable = 0;
bool gRetry = false;
int gLockTries = 0;

int gRptTarget = 1;
int gRptCategory = 0;
qint32 gRptSelID = -1;
bool gRptCancel = false;
QString gRptHeader;
bool gRptNewPageHeader = false;

QDate gPickDate;
QString gDateOrder;
QString gDateSep;
