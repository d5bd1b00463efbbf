// Tessarine: a desktop catalogue for postage-stamp collectors.

#include "app/AccessKeys.h"
#include "app/QtPrompts.h"
#include "app/frmMain.h"
#include "custom/CustomReportTargets.h"
#include "help/HelpViewer.h"
#include "help/ProgramIcon.h"
#include "reports/ReportWindows.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarine"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("tessarine"));
    // The main window ends the program itself; backup and packing close it only
    // to show it again.
    QApplication::setQuitOnLastWindowClosed(false);

    static QtPrompts qtPrompts;
    InstallPrompts(&qtPrompts);
    InstallHelpKey();
    InstallAccessKeys();
    InstallReportWindows();
    InstallCustomReportTargets();

    auto* window = new frmMain;
    window->Form_Load();
    window->BackUpAtStart();
    window->show();
    // The first activation fills the code lists; without a window manager no
    // activation event may come, so it is run once here (a second run finds
    // nothing flagged).
    window->Form_Activate();
    return QApplication::exec();
}
