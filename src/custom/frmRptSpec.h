#pragma once

// The custom report window: the collector picks fields from the field catalogue,
// orders them, sets each one's width, hidden flag, total and criteria, chooses
// title, target, orientation, page numbers, date line, width unit and two sort
// keys, and generates the report as often as wanted. Everything chosen lives as
// long as the window; closing it discards it all.

#include "custom/FieldCatalogue.h"
#include "custom/FieldSettingsTable.h"

#include <QWidget>

#include <array>
#include <functional>
#include <map>

class DateBox;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

// Opens the custom report window, loading it first when it is not loaded; a field
// catalogue that is empty or damaged is refused with a message. Modeless.
void OpenCustomReports();

class frmRptSpec : public QWidget {
    Q_OBJECT
public:
    // Runs the window's load with a catalogue already read.
    explicit frmRptSpec(FieldCatalogue catalogue, QWidget* parent = nullptr);
    ~frmRptSpec() override;

    // The loaded window, or null.
    static frmRptSpec* Instance();

    // Unloads the window and discards every choice.
    void cmdCancel_Click();
    void cmdGenerate_Click();

    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void ShowFieldDetails();

    // The settings of one catalogue field, as the window holds them.
    const FieldSettings& Settings(int specId) const { return mSettings[specId]; }
    int CurrentSpec() const { return mCurSpec; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void LoadCatalogue();
    void optReportTo_Click(int index);
    void List2_Click();

    void chkHide_LostFocus();
    void chkTotal_LostFocus();
    void txtWidth_LostFocus();
    void txtStarting_LostFocus();
    void txtGreater_LostFocus();
    void txtLess_LostFocus();
    void dcStartDate_LostFocus();
    void dcEndDate_LostFocus();
    void optTrue_LostFocus();
    void optFalse_LostFocus();
    void dcStartDate_DropDown();
    void dcEndDate_DropDown();

    void StoreNumberCriterion(QLineEdit* box, QString& setting);
    void StoreDateCriterion(DateBox* box, QDate& setting);
    void PickDate(DateBox* box, bool startDate);
    void FocusBack(QWidget* control);
    void SetYesNo(bool optTrueOn, bool optFalseOn);

    FieldCatalogue mCatalogue;
    FieldSettingsTable mSettings;
    int mFieldCount = 0;
    int mCurSpec = 0;
    int mCurType = 1;
    bool mChecking = false;  // a refused entry is taking the focus back
    std::map<QObject*, std::function<void()>> mLostFocus;

    QTabWidget* SSTab1 = nullptr;
    QLabel* Label4 = nullptr;
    QListWidget* List1 = nullptr;
    QLabel* Label5 = nullptr;
    QListWidget* List2 = nullptr;
    QToolButton* cmdAdd = nullptr;
    QToolButton* cmdRemove = nullptr;
    QToolButton* cmdUp = nullptr;
    QToolButton* cmdDown = nullptr;
    QGroupBox* frame1 = nullptr;
    QCheckBox* chkHide = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtWidth = nullptr;
    std::array<QGroupBox*, 5> fraSel{};  // 1 text, 2 number, 3 date, 4 yes/no
    QLabel* Label12 = nullptr;
    QLineEdit* txtStarting = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* txtGreater = nullptr;
    QLabel* label8 = nullptr;
    QLineEdit* txtLess = nullptr;
    QCheckBox* chkTotal = nullptr;
    QLabel* Label6 = nullptr;
    DateBox* dcStartDate = nullptr;
    QLabel* Label10 = nullptr;
    DateBox* dcEndDate = nullptr;
    QRadioButton* optTrue = nullptr;
    QRadioButton* optFalse = nullptr;

    QLabel* Label1 = nullptr;
    QLineEdit* txtTitle = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 4> optReportTo{};  // 1 preview, 2 text file, 3 HTML
    QGroupBox* fraOrient = nullptr;
    std::array<QRadioButton*, 2> optOrient{};  // 0 portrait, 1 landscape
    QGroupBox* fraFormat = nullptr;
    QCheckBox* chkDate = nullptr;
    QLabel* lblPageNum = nullptr;
    QComboBox* cmbPageNum = nullptr;
    std::array<QRadioButton*, 2> optWidth{};  // 0 inches, 1 centimetres

    QLabel* Label2 = nullptr;
    QComboBox* cmbSort1 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cmbSort2 = nullptr;

    QPushButton* cmdGenerate = nullptr;
    QPushButton* cmdCancel = nullptr;
};
