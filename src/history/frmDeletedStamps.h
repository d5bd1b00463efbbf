#pragma once

// The Deleted Stamps window: the stamps in the catalogue's trash, with their
// description, catalogue number, country and the date they were deleted;
// "&Restore" brings the chosen ones back, "Empty &Trash" lets every one go for
// good once the collector has said so.

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTreeWidget;

class frmDeletedStamps : public QDialog {
    Q_OBJECT
public:
    explicit frmDeletedStamps(QWidget* parent = nullptr);

    // The stamps brought back while the window was open, the last ones first.
    const QList<qint64>& Restored() const { return mRestored; }
    // The trash was emptied while the window was open.
    bool Emptied() const { return mEmptied; }

    void cmdRestore_Click();
    void cmdEmptyTrash_Click();

    QLabel* lblDeleted;
    QTreeWidget* lstDeleted;
    QPushButton* cmdRestore;
    QPushButton* cmdEmptyTrash;
    QPushButton* cmdClose;

private:
    void LoadList();
    void UpdateButtons();

    QList<qint64> mRestored;
    bool mEmptied = false;
};

// Shows the window modally over the main window; the stamps restored.
struct DeletedStampsResult {
    QList<qint64> restored;
    bool emptied = false;
};
DeletedStampsResult ShowDeletedStamps(QWidget* parent);
