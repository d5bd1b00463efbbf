#pragma once

// The Change Selected Stamps window: the fields ticked are set in every stamp
// selected in the stamp list, after one question, in one transaction.

#include "db/Prompts.h"
#include "list/BulkChange.h"

#include <QDialog>

#include <vector>

class DateBox;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

class frmBulkChange : public QDialog {
    Q_OBJECT
public:
    frmBulkChange(std::vector<qint64> keys, QWidget* parent = nullptr);

    // What the change did (nothing until Change succeeded).
    const BulkOutcome& Outcome() const { return mOutcome; }

    void cmdChange_Click();

private:
    struct Field {
        QCheckBox* tick = nullptr;
        QWidget* editor = nullptr;
    };
    void BuildControls();
    Field& AddField(int row, int column, const QString& caption, const char* name, QWidget* editor);
    QComboBox* CodeList(int table, const char* name);
    QComboBox* YesNo(const char* name);
    // The change the ticked fields describe, or nothing when a field's value is
    // refused (its message shown, the focus put back in it).
    std::optional<StampChange> ReadChange();
    void Refuse(QWidget* editor, const QString& text, const QString& title = QString(), MsgIcon icon = MsgIcon::None);
    void ShowRefusal(BulkOutcome::Refusal refusal);
    void UpdateButtons();

    std::vector<qint64> mKeys;
    BulkOutcome mOutcome;
    std::vector<Field> mFields;
    std::vector<std::pair<QString, QComboBox*>> mCodes;  // Stamp field, list
    QGridLayout* mGrid = nullptr;
    QLabel* lblCount = nullptr;
    QComboBox* cmbUsed = nullptr;
    QComboBox* cmbWantList = nullptr;
    QComboBox* cmbForSale = nullptr;
    QComboBox* cmbSold = nullptr;
    QLineEdit* txtQuantity = nullptr;
    QLineEdit* txtCatValue = nullptr;
    QLineEdit* txtPricePaid = nullptr;
    QLineEdit* txtPriceAsk = nullptr;
    DateBox* dcPurchased = nullptr;
    DateBox* dcDateSold = nullptr;
    QLineEdit* txtMisc1 = nullptr;
    QLineEdit* txtMisc2 = nullptr;
    QPushButton* cmdChange = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;
};
