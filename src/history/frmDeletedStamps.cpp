#include "history/frmDeletedStamps.h"

#include "db/Database.h"
#include "db/ErrorHandler.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "db/Transaction.h"
#include "help/HelpContext.h"
#include "history/History.h"
#include "history/Trash.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int help)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    SetHelpContext(button, help);
    return button;
}

}  // namespace

frmDeletedStamps::frmDeletedStamps(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDeletedStamps"));
    setWindowTitle(QStringLiteral("Deleted Stamps"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    SetHelpContext(this, 242);

    lblDeleted = new QLabel(this);
    lblDeleted->setObjectName(QStringLiteral("lblDeleted"));
    lblDeleted->setWordWrap(true);
    lstDeleted = new QTreeWidget(this);
    lstDeleted->setObjectName(QStringLiteral("lstDeleted"));
    lstDeleted->setHeaderLabels({QStringLiteral("Description"), QStringLiteral("Catalog Num"),
                                 QStringLiteral("Country"), QStringLiteral("Date Deleted")});
    lstDeleted->setRootIsDecorated(false);
    lstDeleted->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstDeleted->setAllColumnsShowFocus(true);
    lstDeleted->header()->setStretchLastSection(false);
    lstDeleted->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    SetHelpContext(lstDeleted, 242);
    lblDeleted->setBuddy(lstDeleted);

    cmdRestore = MakeButton(this, "cmdRestore", QStringLiteral("&Restore"), 243);
    cmdEmptyTrash = MakeButton(this, "cmdEmptyTrash", QStringLiteral("Empty &Trash"), 244);
    cmdClose = MakeButton(this, "cmdClose", QStringLiteral("&Close"), 242);
    cmdClose->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdEmptyTrash);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblDeleted);
    layout->addWidget(lstDeleted, 1);
    layout->addLayout(buttons);

    setTabOrder(lstDeleted, cmdRestore);
    setTabOrder(cmdRestore, cmdEmptyTrash);
    setTabOrder(cmdEmptyTrash, cmdClose);

    connect(cmdRestore, &QPushButton::clicked, this, &frmDeletedStamps::cmdRestore_Click);
    connect(cmdEmptyTrash, &QPushButton::clicked, this, &frmDeletedStamps::cmdEmptyTrash_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(lstDeleted, &QTreeWidget::itemSelectionChanged, this, &frmDeletedStamps::UpdateButtons);

    LoadList();
    resize(680, 380);
}

void frmDeletedStamps::LoadList()
{
    lstDeleted->clear();
    QList<TrashedStamp> stamps;
    if (gDb) Guard([&] { stamps = TrashedStamps(*gDb); });
    for (const TrashedStamp& stamp : stamps) {
        auto* item = new QTreeWidgetItem(lstDeleted);
        item->setText(0, stamp.description);
        item->setText(1, stamp.catalogueNumber);
        item->setText(2, stamp.country);
        item->setText(3, QLocale().toString(stamp.deletedAt, QLocale::ShortFormat));
        item->setData(0, Qt::UserRole, stamp.stampId);
    }
    for (int column = 1; column < 4; ++column) lstDeleted->resizeColumnToContents(column);
    if (lstDeleted->topLevelItemCount() > 0) lstDeleted->setCurrentItem(lstDeleted->topLevelItem(0));
    lblDeleted->setText(stamps.isEmpty()
                            ? QStringLiteral("The trash is empty.")
                            : QStringLiteral("Deleted stamps stay here until you empty the trash.  Choose the ones "
                                             "to bring back and click Restore."));
    UpdateButtons();
}

void frmDeletedStamps::UpdateButtons()
{
    cmdRestore->setEnabled(!lstDeleted->selectedItems().isEmpty());
    cmdEmptyTrash->setEnabled(lstDeleted->topLevelItemCount() > 0);
}

void frmDeletedStamps::cmdRestore_Click()
{
    if (!gDb) return;
    QList<qint64> chosen;
    for (int i = 0; i < lstDeleted->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lstDeleted->topLevelItem(i);
        if (item->isSelected()) chosen << item->data(0, Qt::UserRole).toLongLong();
    }
    if (chosen.isEmpty()) return;
    QList<qint64> restored;
    if (!RestoreStamps(*gDb, chosen, &restored)) return;
    if (restored.size() < chosen.size())
        MsgBox(QStringLiteral("Some of the stamps could not be restored: another stamp has taken their record key."));
    mRestored = restored + mRestored;
    LoadList();
}

void frmDeletedStamps::cmdEmptyTrash_Click()
{
    if (!gDb) return;
    const int count = lstDeleted->topLevelItemCount();
    if (count == 0) return;
    const QString question =
        count == 1 ? QStringLiteral("Delete the stamp in the trash for good?  It cannot be brought back.")
                   : QStringLiteral("Delete the %1 stamps in the trash for good?  They cannot be brought back.")
                         .arg(QLocale().toString(count));
    if (MsgBox(question, MsgButtons::YesNo, QStringLiteral("Empty Trash")) != MsgAnswer::Yes) return;
    const bool emptied = Guard([] {
        RetryWrite([] {
            Transaction together(*gDb);
            EmptyTrash(*gDb);
            together.Commit();
        });
    });
    if (!emptied) return;
    // Moves into or out of the trash can no longer be taken back.
    TheHistory().ForgetTrashMoves();
    mEmptied = true;
    LoadList();
}

DeletedStampsResult ShowDeletedStamps(QWidget* parent)
{
    frmDeletedStamps window(parent);
    window.exec();
    return {window.Restored(), window.Emptied()};
}
