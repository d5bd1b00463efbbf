#include "list/frmBulkChange.h"

#include "codes/CodeTables.h"
#include "dates/DateBox.h"
#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/ErrorHandler.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Recordset.h"
#include "help/HelpContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace {

QString Stamps(qsizetype n)
{
    return QLocale().toString(n) + (n == 1 ? QStringLiteral(" stamp") : QStringLiteral(" stamps"));
}

const QString kQuantityMessage = QStringLiteral("You must enter a number in the Quantity field");
const QString kMoneyMessage = QStringLiteral("You must enter a valid number or leave the field blank");
const QString kSaleStatusMessage = QStringLiteral("A stamp cannot be for sale and sold at the same time.");
const QString kSaleStatusTitle = QStringLiteral("Sale Status Error");

}  // namespace

frmBulkChange::frmBulkChange(std::vector<qint64> keys, QWidget* parent) : QDialog(parent), mKeys(std::move(keys))
{
    setObjectName(QStringLiteral("frmBulkChange"));
    setWindowTitle(QStringLiteral("Change Selected Stamps"));
    SetHelpContext(this, 232);
    setModal(true);
    BuildControls();
    UpdateButtons();
}

frmBulkChange::Field& frmBulkChange::AddField(int row, int column, const QString& caption, const char* name,
                                              QWidget* editor)
{
    QGridLayout* grid = mGrid;
    Field field;
    field.tick = new QCheckBox(caption);
    field.tick->setObjectName(QStringLiteral("chk") + QString::fromLatin1(name).mid(3));
    field.editor = editor;
    editor->setObjectName(QString::fromLatin1(name));
    grid->addWidget(field.tick, row, column * 2);
    grid->addWidget(editor, row, column * 2 + 1);
    connect(field.tick, &QCheckBox::toggled, this, &frmBulkChange::UpdateButtons);
    mFields.push_back(field);
    // Setting a value ticks its field.
    QCheckBox* tick = field.tick;
    if (auto* box = qobject_cast<QLineEdit*>(editor)) {
        connect(box, &QLineEdit::textEdited, tick, [tick] { tick->setChecked(true); });
    } else if (auto* date = qobject_cast<DateBox*>(editor)) {
        connect(date, &QComboBox::editTextChanged, tick, [tick] { tick->setChecked(true); });
    } else if (auto* list = qobject_cast<QComboBox*>(editor)) {
        connect(list, &QComboBox::activated, tick, [tick] { tick->setChecked(true); });
    }
    return mFields.back();
}

QComboBox* frmBulkChange::CodeList(int table, const char* name)
{
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(name));
    list->addItem(QStringLiteral("(none)"), QVariant());
    const CodeTableInfo& info = CodeTableInfoFor(table);
    Guard([&] {
        auto rs = gDb->OpenSnapshot(info.loadQuery);
        for (; !rs->Eof(); rs->MoveNext())
            list->addItem(TextOf(rs->Field(info.descField)), QVariant(WholeOf(rs->Field(info.keyField)).value_or(0)));
        rs->Close();
    });
    mCodes.emplace_back(info.keyField, list);
    return list;
}

QComboBox* frmBulkChange::YesNo(const char* name)
{
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(name));
    list->addItem(QStringLiteral("Yes"), true);
    list->addItem(QStringLiteral("No"), false);
    return list;
}

void frmBulkChange::BuildControls()
{
    auto* outer = new QVBoxLayout(this);
    lblCount = new QLabel(mKeys.size() == 1 ? QStringLiteral("The fields you tick are set in the selected stamp.")
                                            : QStringLiteral("The fields you tick are set in all %1 selected stamps.")
                                                  .arg(QLocale().toString(qsizetype(mKeys.size()))));
    lblCount->setObjectName(QStringLiteral("lblCount"));
    outer->addWidget(lblCount);

    auto* grid = new QGridLayout;
    mGrid = grid;
    // The codes in the editor's order, then the rest of its fields.
    const std::tuple<int, const char*, const char*> codes[] = {
        {3, "Country", "cmbCou"}, {9, "Type", "cmbType"},        {4, "Format", "cmbForm"},
        {6, "Paper", "cmbPap"},   {1, "Cancellation", "cmbCan"}, {7, "Perforation", "cmbPerf"},
        {8, "Topic", "cmbTop"},   {5, "Gum", "cmbGum"},          {2, "Condition", "cmbCon"},
    };
    int row = 0;
    for (const auto& [table, caption, name] : codes)
        AddField(row++, 0, QString::fromLatin1(caption), name, CodeList(table, name));

    cmbUsed = YesNo("cmbUsed");
    cmbWantList = YesNo("cmbWantList");
    cmbForSale = YesNo("cmbForSale");
    cmbSold = YesNo("cmbSold");
    txtQuantity = new QLineEdit;
    txtCatValue = new QLineEdit;
    txtPricePaid = new QLineEdit;
    txtPriceAsk = new QLineEdit;
    dcPurchased = new DateBox;
    dcDateSold = new DateBox;
    txtMisc1 = new QLineEdit;
    txtMisc2 = new QLineEdit;
    txtMisc1->setMaxLength(50);
    txtMisc2->setMaxLength(50);
    const std::tuple<const char*, const char*, QWidget*> rest[] = {
        {"Used", "cmbUsed", cmbUsed},
        {"Want List", "cmbWantList", cmbWantList},
        {"For Sale", "cmbForSale", cmbForSale},
        {"Sold", "cmbSold", cmbSold},
        {"Quantity", "txtQuantity", txtQuantity},
        {"Catalog Value", "txtCatValue", txtCatValue},
        {"Price Paid", "txtPricePaid", txtPricePaid},
        {"Selling Price", "txtPriceAsk", txtPriceAsk},
        {"Purchase Date", "dcPurchased", dcPurchased},
        {"Date Sold", "dcDateSold", dcDateSold},
        {"Misc. 1", "txtMisc1", txtMisc1},
        {"Misc. 2", "txtMisc2", txtMisc2},
    };
    row = 0;
    for (const auto& [caption, name, editor] : rest) AddField(row++, 1, QString::fromLatin1(caption), name, editor);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    outer->addLayout(grid);

    const auto picker = [this](DateBox* box, const QString& caption) {
        gPickDate = ParseDate(box->Text()).value_or(QDate::currentDate());
        PickRequest request;
        request.caption = caption;
        request.anchor = QRect(box->mapToGlobal(QPoint(0, 0)), box->size());
        request.align = PickRequest::Align::LeftBelow;
        prompts().PickDate(request);
        box->SetText(FormatShortDate(gPickDate));
        for (Field& field : mFields)
            if (field.editor == box) field.tick->setChecked(true);
    };
    connect(dcPurchased, &DateBox::DropDown, this,
            [this, picker] { picker(dcPurchased, QStringLiteral("Select Purchase Date")); });
    connect(dcDateSold, &DateBox::DropDown, this,
            [this, picker] { picker(dcDateSold, QStringLiteral("Select Sold Date")); });

    auto* buttons = new QHBoxLayout;
    cmdChange = new QPushButton(QStringLiteral("&Change"));
    cmdChange->setObjectName(QStringLiteral("cmdChange"));
    cmdChange->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdHelp = new QPushButton(QStringLiteral("Help"));
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    buttons->addStretch(1);
    buttons->addWidget(cmdChange);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    outer->addLayout(buttons);
    connect(cmdChange, &QPushButton::clicked, this, &frmBulkChange::cmdChange_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp, &QPushButton::clicked, this, [] { prompts().Help(1, 232); });
}

void frmBulkChange::UpdateButtons()
{
    bool any = false;
    for (const Field& field : mFields) any = any || field.tick->isChecked();
    cmdChange->setEnabled(any);
}

void frmBulkChange::Refuse(QWidget* editor, const QString& text, const QString& title, MsgIcon icon)
{
    MsgBox(text, MsgButtons::Ok, title, icon);
    editor->setFocus(Qt::OtherFocusReason);
}

std::optional<StampChange> frmBulkChange::ReadChange()
{
    const auto ticked = [this](const QWidget* editor) {
        for (const Field& field : mFields)
            if (field.editor == editor) return field.tick->isChecked();
        return false;
    };
    StampChange change;
    for (const auto& [fieldName, list] : mCodes)
        if (ticked(list)) change.codes.emplace_back(fieldName, list->currentData());
    const auto flag = [&](QComboBox* list, std::optional<bool>& to) {
        if (ticked(list)) to = list->currentData().toBool();
    };
    flag(cmbUsed, change.used);
    flag(cmbWantList, change.wantList);
    flag(cmbForSale, change.forSale);
    flag(cmbSold, change.sold);
    if (change.forSale == true && change.sold == true) {
        Refuse(cmbForSale, kSaleStatusMessage, kSaleStatusTitle);
        return std::nullopt;
    }
    if (ticked(txtQuantity)) {
        // The editor's rule for the quantity box: a whole number the field can hold.
        const auto quantity = ParseWholeNumber(txtQuantity->text(), std::numeric_limits<qint32>::min(),
                                               std::numeric_limits<qint32>::max());
        if (!quantity) {
            Refuse(txtQuantity, kQuantityMessage, QString(), MsgIcon::Stop);
            return std::nullopt;
        }
        change.quantity = *quantity;
    }
    // The editor's rule for a money box: empty, or a number.
    const auto money = [&](QLineEdit* box, std::optional<std::optional<Money>>& to) {
        if (!ticked(box)) return true;
        if (box->text().isEmpty()) {
            to = std::optional<Money>();
            return true;
        }
        const auto value = ParseCurrency(box->text());
        if (!value) {
            Refuse(box, kMoneyMessage);
            return false;
        }
        to = value;
        return true;
    };
    if (!money(txtCatValue, change.catValue) || !money(txtPricePaid, change.pricePaid) ||
        !money(txtPriceAsk, change.priceAsk))
        return std::nullopt;
    const auto date = [&](DateBox* box, std::optional<std::optional<QDate>>& to, const QString& message) {
        if (!ticked(box)) return true;
        if (box->Text().isEmpty()) {
            to = std::optional<QDate>();
            return true;
        }
        const auto value = ParseDate(box->Text());
        if (!value) {
            Refuse(box, message);
            return false;
        }
        to = value;
        return true;
    };
    if (!date(dcPurchased, change.purchased,
              QStringLiteral("You must enter a valid purchase date, or leave the field blank.")) ||
        !date(dcDateSold, change.dateSold,
              QStringLiteral("You must enter a valid sold date, or leave the field blank.")))
        return std::nullopt;
    if (ticked(txtMisc1)) change.misc1 = txtMisc1->text();
    if (ticked(txtMisc2)) change.misc2 = txtMisc2->text();
    return change;
}

void frmBulkChange::ShowRefusal(BulkOutcome::Refusal refusal)
{
    using R = BulkOutcome::Refusal;
    switch (refusal) {
        case R::Quantity:
            Refuse(txtQuantity, kQuantityMessage, QString(), MsgIcon::Stop);
            break;
        case R::PricePaid:
            Refuse(txtPricePaid, kMoneyMessage);
            break;
        case R::CatValue:
            Refuse(txtCatValue, kMoneyMessage);
            break;
        case R::PriceAsk:
            Refuse(txtPriceAsk, kMoneyMessage);
            break;
        case R::SaleStatus:
            Refuse(cmbForSale, kSaleStatusMessage, kSaleStatusTitle);
            break;
        case R::None:
            break;
    }
}

void frmBulkChange::cmdChange_Click()
{
    const auto change = ReadChange();
    if (!change || change->IsEmpty() || !gDb) return;
    if (MsgBox(QStringLiteral("Change %1?").arg(Stamps(qsizetype(mKeys.size()))), MsgButtons::YesNo,
               QStringLiteral("Change Selected Stamps")) != MsgAnswer::Yes)
        return;
    BulkOutcome outcome = ChangeStamps(*gDb, mKeys, *change);
    if (outcome.refusal != BulkOutcome::Refusal::None) {
        ShowRefusal(outcome.refusal);
        return;
    }
    if (outcome.cancelled || ProgramEnded()) return;
    Guard([] { gDb->Idle(); });
    mOutcome = std::move(outcome);
    const QString missing = MissingStampsText(mOutcome, QStringLiteral("changed"));
    if (!missing.isEmpty()) MsgBox(missing);
    accept();
}
