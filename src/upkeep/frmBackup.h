#pragma once

#include "upkeep/Backup.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

// The backup window: the collector picks a drive and the closed catalogue is
// copied there as stamp.mdb.
class frmBackup : public QDialog {
    Q_OBJECT
public:
    explicit frmBackup(QWidget* parent = nullptr);

    // Where the drive list comes from; tests put folders in place of drives. An
    // empty function restores the mounted volumes, or the folders named by
    // TESSARINE_BACKUP_DRIVES when that is set.
    using VolumeSource = std::function<QList<BackupVolume>()>;
    static void SetVolumeSource(VolumeSource source);

    QLabel* Label1;
    QComboBox* Drive1;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

private:
    void Form_Load();
    void cmdOk_Click();
    void cmdCancel_Click();
};

// Shows the backup window modally and returns when it has closed.
void ShowBackupWindow();
