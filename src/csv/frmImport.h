#pragma once

// The import window: a CSV file's settings as detected (all of them can be
// changed), its first rows with a drop-down above each column for the stamp
// field it fills, the choice for rows already in the catalogue, and what the
// import will do before it does anything.

#include "csv/CsvImport.h"
#include "csv/CsvPreview.h"
#include "csv/ImportPlan.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

class frmImport : public QDialog {
    Q_OBJECT
public:
    explicit frmImport(QWidget* parent = nullptr);
    ~frmImport() override;

    // The open window, or null.
    static frmImport* Instance();

    // Reads a file and shows it; false (and the reason shown) when it cannot be
    // read, leaving the window as it was.
    bool LoadFile(const QString& path);

    const ImportSettings& Settings() const { return mSettings; }
    const ImportPlan& Plan() const { return mPlan; }
    const ImportResult& Result() const { return mResult; }
    // The drop-down of a column (from 0).
    QComboBox* FieldList(int column) const;

    void cmdChooseFile_Click();
    void cmdImport_Click();
    void cmdHelp_Click();

Q_SIGNALS:
    // Import was clicked and about to write: the main window makes its
    // automatic backup when one is due.
    void AboutToImport();
    // The catalogue has changed: stamps and code lists must be read again.
    void Imported();

private:
    void BuildControls();
    void ShowSettings();
    void ShowPreview();
    void Reading_Change();
    void Values_Change();
    void Field_Change(int column);
    void UpdatePlan();

    QLineEdit* txtFile = nullptr;
    QPushButton* cmdChooseFile = nullptr;
    QComboBox* cmbEncoding = nullptr;
    QComboBox* cmbSeparator = nullptr;
    QCheckBox* chkHeader = nullptr;
    QComboBox* cmbDecimal = nullptr;
    QComboBox* cmbDates = nullptr;
    QComboBox* cmbYesNo = nullptr;
    QTableWidget* tblPreview = nullptr;
    QRadioButton* optSkip = nullptr;
    QRadioButton* optUpdate = nullptr;
    QRadioButton* optAdd = nullptr;
    QPlainTextEdit* txtPlan = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;
    std::vector<QComboBox*> mFieldLists;

    QString mPath;
    ImportSettings mSettings;
    CsvPreview mPreview;
    CatalogueList mCatalogues;  // whose numbers a column may give
    ImportPlan mPlan;
    ImportResult mResult;
    bool mFilling = false;  // the controls are being filled: their changes are not the collector's
};

// The File menu's import: the Open dialog, then the import window on the chosen
// file, modal over the program. Null when no file was chosen or it cannot be
// read (the reason has been shown).
frmImport* OpenImportWindow(QWidget* parent);
