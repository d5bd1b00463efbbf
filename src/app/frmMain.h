#pragma once

// The program's start-up window: one stamp record at a time in the editor, its
// browse and edit modes, navigation, sort orders, find, and every menu.

#include <QMainWindow>

#include <array>

class BackupKeeper;
class DateBox;
class ImagesTab;
struct HistoryStep;
class NumbersBox;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class StampListDock;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The open main window, or nullptr.
    static frmMain* Instance();

    // Load: date order, reload flags, the catalogue opened exclusively, the
    // stamps in description order, the first stamp shown.
    void Form_Load();
    // Activation: reloads the flagged code lists.
    void Form_Activate();
    // Unload: closes the stamps and the catalogue; ends the program unless the
    // window is only closing to be shown again.
    void Form_Unload();
    // Closes the window for backup or packing and shows it again afterwards,
    // which repeats the whole start-up.
    void UnloadForReopen();
    void ReloadAfterReopen();

    bool IsEditing() const { return mEditing || mAdding; }
    StampListDock* StampList() const { return mStampList; }

    // At start-up: the automatic backup, when the last is older than a day. A
    // small catalogue is copied at once; a large one once the window shows, with
    // a note in the status bar.
    void BackUpAtStart();
    // Before a change of many stamps (an import): the automatic backup when one
    // is due, made now. A failure is noted in the status bar and never stops the
    // change.
    void BackUpBeforeChange();
    // After stamps or code entries changed outside the editor (an undo, the trash,
    // an import): the stamps are read again in the current order and the given
    // stamp shown (else the one shown before, else the first), and the flagged
    // code lists reloaded.
    void ShowStampsAgain(qint64 stamp);

    // Record display and save mapping.
    void ShowRecord();
    void SaveRecord();
    void ClearFields();
    void DisableFields();
    void EnableFields();
    void EditMode();
    void BrowseMode();
    void BeginEdit();
    bool ValidateRecord();

public Q_SLOTS:
    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void cmdFind_Click();
    void cmdAddNew_Click();
    void cmdUpdate_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdHelp_Click();
    void mnuSort_Click(int index);
    void mnuMaint_Click(int index);
    void mnuRptOut_Click(int index);
    void mnuRpt_Click(int index);
    void mnuRptValue_Click();
    void mnuRptWant_Click();
    void mnuRptSold_Click();
    void mnuRptStats_Click();
    void mnuRptCustom_Click();
    void mnuBackup_Click();
    void mnuPack_Click();
    void mnuExport_Click();
    void mnuImport_Click();
    void mnuRestoreBackup_Click();
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuDeletedStamps_Click();
    void mnuExit_Click();
    void mnuHelp_Click(int index);
    void mnuAbout_Click();
    void mnuViewChange_Click();

    // The stamp list: a row chosen moves the editor there; a new filter, country
    // or order opens the stamps anew.
    void lstStamps_Choose(int position);
    void OpenListQuery(int fallback);

    // Field entry rules.
    void txtFace_LostFocus();
    void txtYear_LostFocus();
    void txtQuantity_LostFocus();
    void txtPricePaid_LostFocus();
    void txtCatValue_LostFocus();
    void txtPriceAsk_LostFocus();
    void dcIssued_LostFocus();
    void dcPurchased_LostFocus();
    void dcDateSold_LostFocus();
    void dcIssued_DropDown();
    void dcPurchased_DropDown();
    void dcDateSold_DropDown();
    void chkSold_Click();
    void chkWantList_Click();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void SetTabOrder();
    void ConnectEditEvents();
    void LoadCodeLists();
    void OpenStampRecordset();
    // No stamps to show: an empty catalogue clears the editor; a filter that
    // finds nothing leaves it on its stamp, which cannot be changed until the
    // list shows stamps again.
    void ShowNoStamps();
    void ShowSortOrder();
    void SelectById(QComboBox* list, const QVariant& id);
    void MoneyBoxLeft(QLineEdit* price, QLineEdit* total);
    void RecomputeTotal(QLineEdit* price, QLineEdit* total);
    void DateBoxLeft(DateBox* box, const QString& message);
    void OpenPicker(DateBox* box, const QString& caption, int align);
    void RefuseFocus(QWidget* box);
    void ShowAndFocus(QWidget* control);
    void SetAddCaption(bool adding);
    void SetEditorEnabled(bool enabled);
    // Closes the other windows that hold the catalogue open, before backup or
    // packing closes the file; false when one of them has an unfinished change.
    bool CloseWindowsOnTheCatalogue();
    // After an import: the stamps opened again in the current order, every code
    // list reloaded.
    void ReloadCatalogue();
    // The Edit menu's texts and which of its items can be chosen.
    void UpdateEditMenu();
    void AfterHistoryStep(const HistoryStep& step);

    bool mEditing = false;
    bool mAdding = false;
    bool mChecking = false;  // an entry check is showing its message and taking the focus back
    qint64 mShownKey = -1;   // the stamp the editor shows, or -1
    StampListDock* mStampList = nullptr;
    bool mStampListPlaced = false;  // the list was given its room beside the editor

    // Top area.
    QLineEdit* txtDescr = nullptr;
    QLineEdit* txtCatNum = nullptr;
    QLineEdit* txtFace = nullptr;
    QLineEdit* txtYear = nullptr;
    QCheckBox* chkUsed = nullptr;
    QCheckBox* chkWantList = nullptr;
    QLineEdit* txtQuantity = nullptr;
    QTabWidget* SSTab1 = nullptr;
    // General.
    QComboBox* cmbCou = nullptr;
    QComboBox* cmbType = nullptr;
    QComboBox* cmbForm = nullptr;
    QComboBox* cmbPap = nullptr;
    QComboBox* cmbCan = nullptr;
    QComboBox* cmbPerf = nullptr;
    QComboBox* cmbTop = nullptr;
    QComboBox* cmbGum = nullptr;
    QLineEdit* txtColor = nullptr;
    QLineEdit* txtWatermark = nullptr;
    QLineEdit* txtErrors = nullptr;
    DateBox* dcIssued = nullptr;
    // Stamp Prices.
    DateBox* dcPurchased = nullptr;
    QLabel* lblPrice = nullptr;
    QLineEdit* txtPricePaid = nullptr;
    QComboBox* cmbCon = nullptr;
    QLineEdit* txtCatValue = nullptr;
    QCheckBox* chkForSale = nullptr;
    QCheckBox* chkSold = nullptr;
    QLineEdit* txtPriceAsk = nullptr;
    DateBox* dcDateSold = nullptr;
    QLineEdit* txtTotalPaid = nullptr;
    QLineEdit* txtTotalVal = nullptr;
    QLineEdit* txtTotalSales = nullptr;
    // Notes.
    QPlainTextEdit* txtNotes = nullptr;
    QLineEdit* txtMisc1 = nullptr;
    QLineEdit* txtMisc2 = nullptr;
    // The stamp's numbers in other catalogues (on the General tab).
    NumbersBox* mNumbersBox = nullptr;
    // Images (with the front thumbnail of the top area).
    ImagesTab* mImagesTab = nullptr;
    // Buttons.
    QPushButton* cmdFirst = nullptr;
    QPushButton* cmdPrevious = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdLast = nullptr;
    QPushButton* cmdAddNew = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdUpdate = nullptr;
    // Menus.
    QAction* mnuBackup = nullptr;
    QAction* mnuPack = nullptr;
    QAction* mnuExport = nullptr;
    QAction* mnuImport = nullptr;
    QAction* mnuRestoreBackup = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QAction* mnuDeletedStamps = nullptr;
    QAction* mnuExit = nullptr;
    std::array<QAction*, 4> mnuSort{};      // 1-3
    QAction* mnuViewList = nullptr;
    QAction* mnuViewChange = nullptr;
    std::array<QAction*, 11> mnuMaint{};    // 1-9, and 10 the catalogues
    std::array<QAction*, 4> mnuRptOut{};    // 1-3
    std::array<QAction*, 5> mnuRpt{};       // 1-4
    QAction* mnuRptValue = nullptr;
    QAction* mnuRptWant = nullptr;
    QAction* mnuRptSold = nullptr;
    QAction* mnuRptStats = nullptr;
    QAction* mnuRptCustom = nullptr;
    std::array<QAction*, 4> mnuHelp{};      // 1-3
    QAction* mnuAbout = nullptr;
    BackupKeeper* mBackups = nullptr;  // the automatic backups
};
