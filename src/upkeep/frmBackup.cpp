#include "upkeep/frmBackup.h"

#include "db/Globals.h"
#include "db/Prompts.h"
#include "help/HelpContext.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>

namespace {

frmBackup::VolumeSource gVolumeSource;

QList<BackupVolume> DriveList()
{
    if (gVolumeSource) return gVolumeSource();
    if (qEnvironmentVariableIsSet(kBackupDrivesVariable))
        return FolderVolumes(qEnvironmentVariable(kBackupDrivesVariable));
    return WritableVolumes();
}

}  // namespace

void frmBackup::SetVolumeSource(VolumeSource source)
{
    gVolumeSource = std::move(source);
}

frmBackup::frmBackup(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBackup"));
    setWindowTitle(QStringLiteral("Backup the Tessarine Database"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("Select the drive to which the database should be copied."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setMinimumWidth(360);
    Label1->setBuddy(Drive1);
    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    for (QWidget* widget : std::initializer_list<QWidget*>{this, Label1, Drive1, cmdOk, cmdCancel})
        SetHelpContext(widget, 56);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Drive1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Drive1, cmdOk);
    setTabOrder(cmdOk, cmdCancel);

    connect(cmdOk, &QPushButton::clicked, this, &frmBackup::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmBackup::cmdCancel_Click);

    Form_Load();
}

void frmBackup::Form_Load()
{
    const QList<BackupVolume> volumes = DriveList();
    for (const BackupVolume& volume : volumes) Drive1->addItem(volume.label, volume.mountPoint);
    // The drive that holds the collector's home folder, as the usual first choice.
    const int home = Drive1->findData(QStorageInfo(QDir::homePath()).rootPath());
    Drive1->setCurrentIndex(home >= 0 ? home : (Drive1->count() > 0 ? 0 : -1));
    Drive1->setFocus();
}

void frmBackup::cmdOk_Click()
{
    const QString destination = Drive1->currentData().toString();
    const QString source = gAppDir + QStringLiteral("stamp.mdb");
    prompts().Busy(true);
    QString problem = QStringLiteral("No drive was chosen.");
    bool done = false;
    if (!destination.isEmpty()) {
        // A large catalogue (images) takes a while: its progress shows, and
        // Cancel leaves the drive as it was.
        Progress progress(kAppTitle, QStringLiteral("Copying the catalogue to the backup drive..."),
                          2 * QFileInfo(source).size(), true);
        done = BackupCatalogue(source, destination, &problem,
                               [&progress](qint64 copied, qint64) { return progress.Step(copied); });
    }
    prompts().Busy(false);
    // The reason follows the message, so that the collector knows what to do.
    if (!done && !problem.isEmpty()) MsgBox(kBackupFailedText + u'\n' + problem);
    close();
}

void frmBackup::cmdCancel_Click()
{
    close();
}

void ShowBackupWindow()
{
    frmBackup window;
    window.exec();
}
