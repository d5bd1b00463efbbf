#pragma once

// The window that keeps one code table: browse, add, rename, find and delete its
// entries. It is modeless beside the main window; one instance at a time.

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Recordset;

class frmCodesMaint : public QDialog {
    Q_OBJECT
public:
    // Loads the table gCodeTable.
    explicit frmCodesMaint(QWidget* parent = nullptr);
    ~frmCodesMaint() override;

    // The open window, or nullptr.
    static frmCodesMaint* Instance();

    // The table (1-9), or the catalogues (10), the window shows.
    int Table() const { return mTable; }
    // An edit or an addition is under way.
    bool IsEditing() const { return mEditing || mAdding; }

    // Loads the window for another table; anything typed and not saved is dropped.
    void Reload(int table);
    // While an edit or an addition is under way: asks the collector to finish or
    // cancel it first, brings the window to the front and answers true.
    bool AskToFinishTheChange();

    // Every time the window becomes active: the main window reloads this table's list.
    void Form_Activate();

    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void cmdAddNew_Click();
    void cmdDelete_Click();
    void cmdFind_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdUpdate_Click();
    void txtDesc_Change();
    void txtPrefix_Change();
    void chkOwn_Click();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void Form_Load(int table);
    void ShowRecord();
    void SaveRecord();
    bool ValidateRecord();
    void BeginEdit();
    void EditMode();
    void BrowseMode();
    void ClearFields();
    void DisableFields();
    void EnableFields();

    bool HasRows() const;
    void CloseRecordset();
    void MakeDefault(QPushButton* button);
    // Browse buttons, "&Add New", Ok as the default button, no edit under way.
    void ReturnToBrowse();
    bool IsCatalogueList() const;
    // Another catalogue of the list already has the name in the description box.
    bool CatalogueNameTaken(qint64 key);

    std::unique_ptr<Recordset> rsCodes;
    QString strDescField;
    QString strIDField;
    bool mEditing = false;
    bool mAdding = false;
    int mTable = 0;

    QLabel* lblDesc;
    QLineEdit* txtDesc;
    // Only for the catalogues: the prefix shown before a catalogue's numbers and
    // whether its numbers fill a stamp's "Catalog Num".
    QLabel* lblPrefix;
    QLineEdit* txtPrefix;
    QCheckBox* chkOwn;
    QPushButton* cmdFirst;
    QPushButton* cmdPrevious;
    QPushButton* cmdNext;
    QPushButton* cmdLast;
    QPushButton* cmdAddNew;
    QPushButton* cmdDelete;
    QPushButton* cmdFind;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
    QPushButton* cmdUpdate;
};

// The Maintain menu's item 1-10: the window for that table, opened beside the
// main window, or the open one brought to the front (and loaded for that table
// when it shows another, once an unfinished change there is finished or cancelled).
void OpenCodesMaint(int table);
