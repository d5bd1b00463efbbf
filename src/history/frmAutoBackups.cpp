#include "history/frmAutoBackups.h"

#include "db/Prompts.h"
#include "help/HelpContext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

QString BackupMomentText(const QDateTime& made)
{
    return QLocale().toString(made.date(), QLocale::LongFormat) + QStringLiteral(", ") +
           QLocale().toString(made.time(), QLocale::ShortFormat);
}

frmAutoBackups::frmAutoBackups(const AutomaticBackups& backups, QWidget* parent)
    : QDialog(parent), mBackups(backups.List())
{
    setObjectName(QStringLiteral("frmAutoBackups"));
    setWindowTitle(QStringLiteral("Restore from Automatic Backup"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    SetHelpContext(this, 245);

    lblBackups = new QLabel(this);
    lblBackups->setObjectName(QStringLiteral("lblBackups"));
    lblBackups->setWordWrap(true);
    lstBackups = new QTreeWidget(this);
    lstBackups->setObjectName(QStringLiteral("lstBackups"));
    lstBackups->setHeaderLabels({QStringLiteral("Made"), QStringLiteral("Size"), QStringLiteral("Stamps")});
    lstBackups->setRootIsDecorated(false);
    lstBackups->setAllColumnsShowFocus(true);
    lstBackups->header()->setStretchLastSection(true);
    SetHelpContext(lstBackups, 245);
    lblBackups->setBuddy(lstBackups);

    cmdRestore = new QPushButton(QStringLiteral("&Restore"), this);
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    SetHelpContext(cmdRestore, 246);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    SetHelpContext(cmdClose, 245);
    cmdClose->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRestore);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblBackups);
    layout->addWidget(lstBackups, 1);
    layout->addLayout(buttons);
    setTabOrder(lstBackups, cmdRestore);
    setTabOrder(cmdRestore, cmdClose);

    const QLocale locale;
    for (qsizetype i = 0; i < mBackups.size(); ++i) {
        const AutomaticBackup& backup = mBackups[i];
        auto* item = new QTreeWidgetItem(lstBackups);
        item->setText(0, backup.made.isValid() ? BackupMomentText(backup.made) : backup.fileName);
        item->setText(1, locale.formattedDataSize(backup.bytes, 1, QLocale::DataSizeTraditionalFormat));
        item->setText(2,
                      backup.usable ? locale.toString(backup.stamps) : QStringLiteral("Unusable: ") + backup.problem);
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        if (!backup.usable) {
            item->setToolTip(2, backup.problem);
            for (int column = 0; column < 3; ++column) item->setForeground(column, palette().placeholderText());
        }
    }
    lstBackups->resizeColumnToContents(0);
    lstBackups->resizeColumnToContents(1);
    if (lstBackups->topLevelItemCount() > 0) lstBackups->setCurrentItem(lstBackups->topLevelItem(0));
    lblBackups->setText(mBackups.isEmpty()
                            ? QStringLiteral("There are no automatic backups yet.  Tessarine makes one each day it "
                                             "starts, in the folder %1.")
                                  .arg(backups.Folder())
                            : QStringLiteral("Tessarine makes a backup of the catalogue each day it starts, in the "
                                             "folder %1.  Restoring one replaces the catalogue as it is now; a backup "
                                             "of it is made first.")
                                  .arg(backups.Folder()));

    connect(cmdRestore, &QPushButton::clicked, this, &frmAutoBackups::cmdRestore_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstBackups, &QTreeWidget::currentItemChanged, this, &frmAutoBackups::UpdateButtons);
    connect(lstBackups, &QTreeWidget::itemDoubleClicked, this, &frmAutoBackups::cmdRestore_Click);
    UpdateButtons();
    resize(620, 340);
}

void frmAutoBackups::UpdateButtons()
{
    const QTreeWidgetItem* item = lstBackups->currentItem();
    const bool usable = item && mBackups[item->data(0, Qt::UserRole).toInt()].usable;
    cmdRestore->setEnabled(usable);
}

void frmAutoBackups::cmdRestore_Click()
{
    const QTreeWidgetItem* item = lstBackups->currentItem();
    if (!item) return;
    const AutomaticBackup& backup = mBackups[item->data(0, Qt::UserRole).toInt()];
    if (!backup.usable) return;
    const QString question =
        QStringLiteral(
            "Replace the catalogue with the automatic backup of %1?  The catalogue as it is now is "
            "backed up first.")
            .arg(BackupMomentText(backup.made));
    if (MsgBox(question, MsgButtons::YesNo, QStringLiteral("Restore from Automatic Backup")) != MsgAnswer::Yes) return;
    mChosen = backup;
    accept();
}

std::optional<AutomaticBackup> ChooseAutomaticBackup(const AutomaticBackups& backups, QWidget* parent)
{
    frmAutoBackups window(backups, parent);
    window.exec();
    return window.Chosen();
}
