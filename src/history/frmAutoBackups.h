#pragma once

// The window of File > "&Restore from Automatic Backup...": the automatic
// backups with the moment each was made, its size and the stamps it holds; a
// file that cannot be restored is listed as unusable, with the reason. Restore
// asks first, and the window then closes with the chosen backup for the main
// window to put in place.

#include "history/AutoBackups.h"

#include <QDialog>
#include <QList>

#include <optional>

class QLabel;
class QPushButton;
class QTreeWidget;

class frmAutoBackups : public QDialog {
    Q_OBJECT
public:
    explicit frmAutoBackups(const AutomaticBackups& backups, QWidget* parent = nullptr);

    // The backup to restore, once the collector has chosen one and said yes.
    const std::optional<AutomaticBackup>& Chosen() const { return mChosen; }

    void cmdRestore_Click();

    QLabel* lblBackups;
    QTreeWidget* lstBackups;
    QPushButton* cmdRestore;
    QPushButton* cmdClose;

private:
    void UpdateButtons();

    QList<AutomaticBackup> mBackups;
    std::optional<AutomaticBackup> mChosen;
};

// Shows the window modally; the backup chosen, if any.
std::optional<AutomaticBackup> ChooseAutomaticBackup(const AutomaticBackups& backups, QWidget* parent);

// How the window shows a backup's moment: the locale's long date and its time.
QString BackupMomentText(const QDateTime& made);
