// Tessarine: a desktop catalogue for postage-stamp collectors.

#include "app/QtPrompts.h"
#include "app/frmMain.h"
#include "help/HelpViewer.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarine"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tessarine/tessarine.svg")));
    // The main window ends the program itself; backup and packing close it only
    // to show it again.
    QApplication::setQuitOnLastWindowClosed(false);

    static QtPrompts qtPrompts;
    InstallPrompts(&qtPrompts);
    InstallHelpKey();

    auto* window = new frmMain;
    window->Form_Load();
    window->show();
    return QApplication::exec();
}
