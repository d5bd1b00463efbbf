#include "custom/frmRptSpec.h"

#include "custom/CustomQuery.h"
#include "custom/CustomReportOutput.h"
#include "dates/DateBox.h"
#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/ErrorHandler.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "help/HelpContext.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

frmRptSpec* sInstance = nullptr;

// Widths beyond this many inches or centimetres fit no page.
constexpr double kMaxWidth = 100;

// An entry of the field lists; the available fields sort without regard to case.
class FieldItem final : public QListWidgetItem {
public:
    FieldItem(const QString& text, int specId) : QListWidgetItem(text) { setData(Qt::UserRole, specId); }
    bool operator<(const QListWidgetItem& other) const override
    {
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
};

int SelectedRow(const QListWidget* list)
{
    const auto items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

void ClearChoice(QListWidget* list)
{
    list->clearSelection();
    list->setCurrentItem(nullptr);
}

template <typename T>
T* Named(T* widget, const char* name, int helpContext = 0)
{
    widget->setObjectName(QString::fromLatin1(name));
    if (helpContext) SetHelpContext(widget, helpContext);
    return widget;
}

}  // namespace

void OpenCustomReports()
{
    if (frmRptSpec* open = frmRptSpec::Instance()) {
        open->setWindowState(open->windowState() & ~Qt::WindowMinimized);
        open->show();
        open->raise();
        open->activateWindow();
        return;
    }
    std::optional<FieldCatalogue> catalogue;
    const bool read = Guard([&] {
        if (!gDb) throw DbError(ErrNo::NoObject, QStringLiteral("Object variable not set."));
        catalogue = FieldCatalogue::Load(*gDb);
    });
    if (!read) return;
    if (!catalogue) {
        MsgBox(
            QStringLiteral("The field catalogue (the RptSpec table) of this database is empty or damaged.  "
                           "Custom reports cannot be made."));
        return;
    }
    auto* window = new frmRptSpec(std::move(*catalogue));
    window->show();
    window->raise();
    window->activateWindow();
}

frmRptSpec::frmRptSpec(FieldCatalogue catalogue, QWidget* parent) : QWidget(parent), mCatalogue(std::move(catalogue))
{
    setObjectName(QStringLiteral("frmRptSpec"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Custom Report"));
    SetHelpContext(this, 68);
    BuildControls();

    mCurType = 1;
    cmbPageNum->addItems({QStringLiteral("At Bottom"), QStringLiteral("In Header"), QStringLiteral("No Page Numbers")});
    cmbPageNum->setCurrentIndex(0);
    const int target = gRptTarget >= 1 && gRptTarget <= 3 ? gRptTarget : 1;
    optReportTo[static_cast<size_t>(target)]->setChecked(true);
    optReportTo_Click(target);
    LoadCatalogue();

    sInstance = this;
}

frmRptSpec::~frmRptSpec()
{
    // The controls lose the focus as they go; nothing is stored any more.
    mLostFocus.clear();
    if (sInstance == this) sInstance = nullptr;
}

frmRptSpec* frmRptSpec::Instance()
{
    return sInstance;
}

void frmRptSpec::BuildControls()
{
    SSTab1 = Named(new QTabWidget(this), "SSTab1");

    // Report fields.
    auto* fieldsTab = new QWidget;
    Label4 = Named(new QLabel(QStringLiteral("Available Fields")), "Label4");
    List1 = Named(new QListWidget, "List1", 68);
    List1->setSortingEnabled(true);
    Label5 = Named(new QLabel(QStringLiteral("Fields to Report")), "Label5");
    List2 = Named(new QListWidget, "List2", 68);
    const auto arrow = [](const char* name, Qt::ArrowType type) {
        auto* button = Named(new QToolButton, name, 68);
        button->setArrowType(type);
        // The details typed last are stored when the focus leaves them.
        button->setFocusPolicy(Qt::StrongFocus);
        return button;
    };
    cmdAdd = arrow("cmdAdd", Qt::RightArrow);
    cmdRemove = arrow("cmdRemove", Qt::LeftArrow);
    cmdUp = arrow("cmdUp", Qt::UpArrow);
    cmdDown = arrow("cmdDown", Qt::DownArrow);

    frame1 = Named(new QGroupBox(QStringLiteral("Details For ")), "frame1", 68);
    chkHide = Named(new QCheckBox(QStringLiteral("Hide Field")), "chkHide", 68);
    Label7 = Named(new QLabel(QStringLiteral("Width")), "Label7");
    txtWidth = Named(new QLineEdit, "txtWidth", 68);
    for (int i = 1; i <= 4; ++i) {
        fraSel[static_cast<size_t>(i)] = Named(new QGroupBox(QStringLiteral("Selection Criteria")),
                                               QStringLiteral("fraSel_%1").arg(i).toLatin1().constData(), 69);
    }
    Label12 = Named(new QLabel(QStringLiteral("Starts with:")), "Label12", 69);
    txtStarting = Named(new QLineEdit, "txtStarting", 69);
    Label9 = Named(new QLabel(QStringLiteral("Greater Than")), "Label9", 69);
    txtGreater = Named(new QLineEdit, "txtGreater", 69);
    label8 = Named(new QLabel(QStringLiteral("Less Than")), "label8", 69);
    txtLess = Named(new QLineEdit, "txtLess", 69);
    chkTotal = Named(new QCheckBox(QStringLiteral("Show Total")), "chkTotal", 69);
    Label6 = Named(new QLabel(QStringLiteral("Start Date")), "Label6", 69);
    dcStartDate = Named(new DateBox, "dcStartDate", 69);
    Label10 = Named(new QLabel(QStringLiteral("End Date")), "Label10", 69);
    dcEndDate = Named(new DateBox, "dcEndDate", 69);
    optTrue = Named(new QRadioButton(QStringLiteral("True")), "optTrue", 69);
    optFalse = Named(new QRadioButton(QStringLiteral("False")), "optFalse", 69);

    {
        auto* text = new QGridLayout(fraSel[1]);
        text->addWidget(Label12, 0, 0);
        text->addWidget(txtStarting, 0, 1);
        text->setRowStretch(1, 1);
        text->setColumnStretch(1, 1);
        auto* number = new QGridLayout(fraSel[2]);
        number->addWidget(Label9, 0, 0);
        number->addWidget(txtGreater, 0, 1);
        number->addWidget(label8, 1, 0);
        number->addWidget(txtLess, 1, 1);
        number->addWidget(chkTotal, 2, 1);
        number->setRowStretch(3, 1);
        number->setColumnStretch(1, 1);
        auto* date = new QGridLayout(fraSel[3]);
        date->addWidget(Label6, 0, 0);
        date->addWidget(dcStartDate, 0, 1);
        date->addWidget(Label10, 1, 0);
        date->addWidget(dcEndDate, 1, 1);
        date->setRowStretch(2, 1);
        date->setColumnStretch(1, 1);
        auto* yesNo = new QVBoxLayout(fraSel[4]);
        yesNo->addWidget(optTrue);
        yesNo->addWidget(optFalse);
        yesNo->addStretch(1);
    }
    auto* details = new QGridLayout(frame1);
    details->addWidget(chkHide, 0, 0, 1, 2);
    details->addWidget(Label7, 1, 0);
    details->addWidget(txtWidth, 1, 1);
    details->setRowStretch(2, 1);
    auto* criteria = new QVBoxLayout;
    for (int i = 1; i <= 4; ++i) {
        criteria->addWidget(fraSel[static_cast<size_t>(i)]);
        fraSel[static_cast<size_t>(i)]->hide();
    }
    details->addLayout(criteria, 0, 2, 3, 1);
    details->setColumnStretch(2, 2);
    details->setColumnStretch(1, 1);
    frame1->hide();

    auto* arrows = new QVBoxLayout;
    arrows->addStretch(1);
    for (QToolButton* button : {cmdAdd, cmdRemove, cmdUp, cmdDown}) arrows->addWidget(button);
    arrows->addStretch(1);
    auto* fields = new QGridLayout(fieldsTab);
    fields->addWidget(Label4, 0, 0);
    fields->addWidget(Label5, 0, 2);
    fields->addWidget(List1, 1, 0);
    fields->addLayout(arrows, 1, 1);
    fields->addWidget(List2, 1, 2);
    fields->addWidget(frame1, 2, 0, 1, 3);
    fields->setRowStretch(1, 3);
    fields->setRowStretch(2, 2);
    fields->setColumnStretch(0, 1);
    fields->setColumnStretch(2, 1);

    // Report options.
    auto* optionsTab = new QWidget;
    Label1 = Named(new QLabel(QStringLiteral("Report Title")), "Label1", 70);
    txtTitle = Named(new QLineEdit(QStringLiteral("Tessarine Report")), "txtTitle", 70);
    Frame2 = Named(new QGroupBox(QStringLiteral("Report To")), "Frame2", 70);
    optReportTo[1] = Named(new QRadioButton(QStringLiteral("Screen/Printer")), "optReportTo_1", 70);
    optReportTo[2] = Named(new QRadioButton(QStringLiteral("Text File")), "optReportTo_2", 70);
    optReportTo[3] = Named(new QRadioButton(QStringLiteral("Web Table (html)")), "optReportTo_3", 70);
    fraOrient = Named(new QGroupBox(QStringLiteral("Report Orientation")), "fraOrient", 70);
    optOrient[1] = Named(new QRadioButton(QStringLiteral("Landscape")), "optOrient_1", 70);
    optOrient[0] = Named(new QRadioButton(QStringLiteral("Portrait")), "optOrient_0", 70);
    optOrient[0]->setChecked(true);
    fraFormat = Named(new QGroupBox(QStringLiteral("Report Formatting")), "fraFormat", 70);
    chkDate = Named(new QCheckBox(QStringLiteral("Show Date in Header")), "chkDate", 70);
    chkDate->setChecked(true);
    lblPageNum = Named(new QLabel(QStringLiteral("Page Number")), "lblPageNum", 70);
    cmbPageNum = Named(new QComboBox, "cmbPageNum", 70);
    optWidth[0] = Named(new QRadioButton(QStringLiteral("Width in Inches")), "optWidth_0", 70);
    optWidth[1] = Named(new QRadioButton(QStringLiteral("Centimeters")), "optWidth_1", 70);
    optWidth[0]->setChecked(true);

    auto* reportTo = new QVBoxLayout(Frame2);
    for (int i = 1; i <= 3; ++i) reportTo->addWidget(optReportTo[static_cast<size_t>(i)]);
    reportTo->addStretch(1);
    auto* orient = new QVBoxLayout(fraOrient);
    orient->addWidget(optOrient[1]);
    orient->addWidget(optOrient[0]);
    orient->addStretch(1);
    auto* format = new QGridLayout(fraFormat);
    format->addWidget(chkDate, 0, 0, 1, 2);
    format->addWidget(lblPageNum, 1, 0);
    format->addWidget(cmbPageNum, 1, 1);
    format->addWidget(optWidth[0], 2, 0);
    format->addWidget(optWidth[1], 2, 1);
    format->setColumnStretch(1, 1);
    auto* options = new QGridLayout(optionsTab);
    options->addWidget(Label1, 0, 0);
    options->addWidget(txtTitle, 0, 1, 1, 2);
    options->addWidget(Frame2, 1, 0, 1, 2);
    options->addWidget(fraOrient, 1, 2);
    options->addWidget(fraFormat, 2, 0, 1, 3);
    options->setRowStretch(3, 1);
    options->setColumnStretch(1, 1);
    options->setColumnStretch(2, 1);

    // Sorting.
    auto* sortTab = new QWidget;
    Label2 = Named(new QLabel(QStringLiteral("Primary Sort")), "Label2");
    cmbSort1 = Named(new QComboBox, "cmbSort1", 71);
    Label3 = Named(new QLabel(QStringLiteral("Secondary Sort")), "Label3");
    cmbSort2 = Named(new QComboBox, "cmbSort2", 71);
    auto* sorting = new QGridLayout(sortTab);
    sorting->addWidget(Label2, 0, 0);
    sorting->addWidget(cmbSort1, 0, 1);
    sorting->addWidget(Label3, 1, 0);
    sorting->addWidget(cmbSort2, 1, 1);
    sorting->setRowStretch(2, 1);
    sorting->setColumnStretch(1, 1);

    SSTab1->addTab(fieldsTab, QStringLiteral("Report Fields"));
    SSTab1->addTab(optionsTab, QStringLiteral("Report Options"));
    SSTab1->addTab(sortTab, QStringLiteral("Sorting"));

    cmdGenerate = Named(new QPushButton(QStringLiteral("&Generate Report")), "cmdGenerate", 72);
    cmdCancel = Named(new QPushButton(QStringLiteral("&Cancel")), "cmdCancel", 72);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdGenerate);
    buttons->addWidget(cmdCancel);
    auto* window = new QVBoxLayout(this);
    window->addWidget(SSTab1, 1);
    window->addLayout(buttons);
    resize(620, 460);

    connect(cmdAdd, &QToolButton::clicked, this, &frmRptSpec::cmdAdd_Click);
    connect(cmdRemove, &QToolButton::clicked, this, &frmRptSpec::cmdRemove_Click);
    connect(cmdUp, &QToolButton::clicked, this, &frmRptSpec::cmdUp_Click);
    connect(cmdDown, &QToolButton::clicked, this, &frmRptSpec::cmdDown_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { cmdAdd_Click(); });
    connect(List2, &QListWidget::itemSelectionChanged, this, &frmRptSpec::List2_Click);
    connect(cmdGenerate, &QPushButton::clicked, this, &frmRptSpec::cmdGenerate_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRptSpec::cmdCancel_Click);
    for (int i = 1; i <= 3; ++i) {
        connect(optReportTo[static_cast<size_t>(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optReportTo_Click(i);
        });
    }
    connect(dcStartDate, &DateBox::DropDown, this, &frmRptSpec::dcStartDate_DropDown);
    connect(dcEndDate, &DateBox::DropDown, this, &frmRptSpec::dcEndDate_DropDown);

    mLostFocus = {
        {chkHide, [this] { chkHide_LostFocus(); }},         {chkTotal, [this] { chkTotal_LostFocus(); }},
        {txtWidth, [this] { txtWidth_LostFocus(); }},       {txtStarting, [this] { txtStarting_LostFocus(); }},
        {txtGreater, [this] { txtGreater_LostFocus(); }},   {txtLess, [this] { txtLess_LostFocus(); }},
        {dcStartDate, [this] { dcStartDate_LostFocus(); }}, {dcEndDate, [this] { dcEndDate_LostFocus(); }},
        {optTrue, [this] { optTrue_LostFocus(); }},         {optFalse, [this] { optFalse_LostFocus(); }},
    };
    for (const auto& entry : mLostFocus) entry.first->installEventFilter(this);
}

void frmRptSpec::LoadCatalogue()
{
    mFieldCount = mCatalogue.Count();
    mSettings.Reset(mCatalogue);
    for (const CatalogueField& field : mCatalogue.Rows()) {
        List1->addItem(new FieldItem(field.desc, field.specId));
        // A picture gives no order.
        if (field.datatype == FieldType::Image) continue;
        cmbSort1->addItem(field.desc, field.specId);
        cmbSort2->addItem(field.desc, field.specId);
    }
    cmbSort1->setCurrentIndex(-1);
    cmbSort2->setCurrentIndex(-1);
}

bool frmRptSpec::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // Only a move within the window counts; another window taking the focus
        // (a message box, the calendar) is not the control losing it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !mChecking) {
            const auto it = mLostFocus.find(watched);
            if (it != mLostFocus.end()) it->second();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmRptSpec::closeEvent(QCloseEvent* event)
{
    if (sInstance == this) sInstance = nullptr;
    event->accept();
}

void frmRptSpec::cmdCancel_Click()
{
    if (sInstance == this) sInstance = nullptr;
    close();
}

void frmRptSpec::optReportTo_Click(int index)
{
    const bool preview = index == 1;
    fraOrient->setVisible(preview);
    fraFormat->setVisible(preview);
}

void frmRptSpec::List2_Click()
{
    ShowFieldDetails();
}

void frmRptSpec::ShowFieldDetails()
{
    const int row = SelectedRow(List2);
    if (row < 0) {
        frame1->hide();
        return;
    }
    frame1->show();
    // The image field has no criteria, so no frame of its own.
    auto criteria = [this](int type) {
        return type >= 1 && static_cast<size_t>(type) < fraSel.size() ? fraSel[static_cast<size_t>(type)] : nullptr;
    };
    if (QGroupBox* shown = criteria(mCurType)) shown->hide();
    mCurSpec = List2->item(row)->data(Qt::UserRole).toInt();
    const CatalogueField* field = mCatalogue.Find(mCurSpec);
    mCurType = field ? field->datatype : FieldType::Text;
    if (QGroupBox* shown = criteria(mCurType)) shown->show();

    const FieldSettings& s = mSettings[mCurSpec];
    txtWidth->setText(FormatSingle(s.mWidth));
    chkHide->setChecked(s.mHide);
    switch (mCurType) {
        case FieldType::Text:
            txtStarting->setText(s.mStarting);
            break;
        case FieldType::Number:
            txtLess->setText(s.mLess);
            txtGreater->setText(s.mGreater);
            chkTotal->setChecked(s.mTotal);
            break;
        case FieldType::Date:
            dcStartDate->setEditText(s.mStartDate.isValid() ? FormatShortDate(s.mStartDate) : QString());
            dcEndDate->setEditText(s.mEndDate.isValid() ? FormatShortDate(s.mEndDate) : QString());
            break;
        case FieldType::YesNo:
            SetYesNo(s.mOptTrue, s.mOptFalse);
            break;
        default:
            break;
    }
}

void frmRptSpec::SetYesNo(bool optTrueOn, bool optFalseOn)
{
    // Neither chosen needs the pair released from each other for a moment.
    optTrue->setAutoExclusive(false);
    optFalse->setAutoExclusive(false);
    optTrue->setChecked(optTrueOn);
    optFalse->setChecked(optFalseOn && !optTrueOn);
    optTrue->setAutoExclusive(true);
    optFalse->setAutoExclusive(true);
}

void frmRptSpec::cmdAdd_Click()
{
    const int row = SelectedRow(List1);
    if (row < 0) {
        MsgBox(QStringLiteral("You must select a field from the list of available fields to add to the report."));
        return;
    }
    QListWidgetItem* item = List1->takeItem(row);
    ClearChoice(List1);
    List2->addItem(item);
    List2->clearSelection();
    List2->setCurrentItem(item);
    item->setSelected(true);
    frame1->show();
    ShowFieldDetails();
}

void frmRptSpec::cmdRemove_Click()
{
    const int row = SelectedRow(List2);
    if (row < 0) {
        MsgBox(QStringLiteral("You must select a field to remove from the report."));
        return;
    }
    QListWidgetItem* item = List2->takeItem(row);
    ClearChoice(List2);
    List1->addItem(item);
    if (List2->count() == 0)
        frame1->hide();
    else
        ShowFieldDetails();
}

void frmRptSpec::cmdUp_Click()
{
    const int row = SelectedRow(List2);
    if (row < 0) {
        MsgBox(QStringLiteral("You must select the field to move up in the list"));
        return;
    }
    if (row == 0 || List2->count() < 2) return;
    QListWidgetItem* item = List2->takeItem(row);
    List2->insertItem(row - 1, item);
    List2->clearSelection();
    List2->setCurrentItem(item);
    item->setSelected(true);
    ShowFieldDetails();
}

void frmRptSpec::cmdDown_Click()
{
    const int row = SelectedRow(List2);
    if (row < 0) {
        MsgBox(QStringLiteral("You must select the field to move down in the list"));
        return;
    }
    if (row == List2->count() - 1 || List2->count() < 2) return;
    QListWidgetItem* item = List2->takeItem(row);
    List2->insertItem(row + 1, item);
    List2->clearSelection();
    List2->setCurrentItem(item);
    item->setSelected(true);
    ShowFieldDetails();
}

void frmRptSpec::FocusBack(QWidget* control)
{
    // At once, so that the control the focus was going to (a button pressed with
    // the mouse or its access key) does not act; the controls that lose the focus
    // meanwhile store nothing.
    mChecking = true;
    control->setFocus(Qt::OtherFocusReason);
    mChecking = false;
}

void frmRptSpec::chkHide_LostFocus()
{
    mSettings[mCurSpec].mHide = chkHide->isChecked();
}

void frmRptSpec::chkTotal_LostFocus()
{
    mSettings[mCurSpec].mTotal = chkTotal->isChecked();
}

void frmRptSpec::txtWidth_LostFocus()
{
    const auto width = ParseNumber(txtWidth->text());
    if (!width || *width < 0 || *width > kMaxWidth) {
        MsgBox(QStringLiteral("You must enter a valid number for the column width"));
        return;
    }
    FieldSettings& s = mSettings[mCurSpec];
    if (*width == 0) {
        s.mHide = true;
        chkHide->setChecked(true);
    }
    s.mWidth = static_cast<float>(*width);
}

void frmRptSpec::txtStarting_LostFocus()
{
    mSettings[mCurSpec].mStarting = txtStarting->text();
}

void frmRptSpec::StoreNumberCriterion(QLineEdit* box, QString& setting)
{
    const QString text = box->text();
    if (IsNumeric(text)) {
        setting = text;
    } else if (text.isEmpty()) {
        setting.clear();
    } else {
        MsgBox(QStringLiteral("You must enter a number or leave this selection field blank"));
        FocusBack(box);
    }
}

void frmRptSpec::txtGreater_LostFocus()
{
    StoreNumberCriterion(txtGreater, mSettings[mCurSpec].mGreater);
}

void frmRptSpec::txtLess_LostFocus()
{
    StoreNumberCriterion(txtLess, mSettings[mCurSpec].mLess);
}

void frmRptSpec::StoreDateCriterion(DateBox* box, QDate& setting)
{
    const QString text = box->currentText();
    if (const auto date = ParseDate(text)) {
        setting = *date;
    } else if (text.isEmpty()) {
        setting = QDate();
    } else {
        MsgBox(QStringLiteral("You must enter a valid date or leave this selection field blank."));
        FocusBack(box);
    }
}

void frmRptSpec::dcStartDate_LostFocus()
{
    StoreDateCriterion(dcStartDate, mSettings[mCurSpec].mStartDate);
}

void frmRptSpec::dcEndDate_LostFocus()
{
    StoreDateCriterion(dcEndDate, mSettings[mCurSpec].mEndDate);
}

void frmRptSpec::optTrue_LostFocus()
{
    if (!optTrue->isChecked()) return;
    mSettings[mCurSpec].mOptTrue = true;
    mSettings[mCurSpec].mOptFalse = false;
}

void frmRptSpec::optFalse_LostFocus()
{
    if (!optFalse->isChecked()) return;
    mSettings[mCurSpec].mOptTrue = false;
    mSettings[mCurSpec].mOptFalse = true;
}

void frmRptSpec::PickDate(DateBox* box, bool startDate)
{
    const auto shown = ParseDate(box->currentText());
    gPickDate = shown ? *shown : QDate::currentDate();
    PickRequest request;
    request.caption = startDate ? QStringLiteral("Select Start Date") : QStringLiteral("Select End Date");
    request.anchor = QRect(box->mapToGlobal(QPoint(0, 0)), box->size());
    request.align = startDate ? PickRequest::Align::StartDate : PickRequest::Align::EndDate;
    prompts().PickDate(request);
    box->setEditText(FormatShortDate(gPickDate));
    // Stored now, whether or not this window has the focus back yet, and then on
    // to the next control as a Tab would go, from the box.
    if (startDate)
        dcStartDate_LostFocus();
    else
        dcEndDate_LostFocus();
    box->setFocus(Qt::OtherFocusReason);
    focusNextChild();
}

void frmRptSpec::dcStartDate_DropDown()
{
    PickDate(dcStartDate, true);
}

void frmRptSpec::dcEndDate_DropDown()
{
    PickDate(dcEndDate, false);
}

void frmRptSpec::cmdGenerate_Click()
{
    if (List2->count() == 0) {
        MsgBox(QStringLiteral("You have not selected any fields to include in the report"));
        return;
    }
    CustomQueryInput input;
    bool anyShown = false;
    for (int i = 0; i < List2->count(); ++i) {
        const int specId = List2->item(i)->data(Qt::UserRole).toInt();
        input.fields << specId;
        anyShown = anyShown || !mSettings[specId].mHide;
    }
    if (!anyShown) {
        MsgBox(QStringLiteral("You have not selected any fields to show in the report"));
        return;
    }
    if (cmbSort1->currentIndex() >= 0) input.sort1 = cmbSort1->currentData().toInt();
    if (cmbSort2->currentIndex() >= 0) input.sort2 = cmbSort2->currentData().toInt();
    input.unit = optWidth[1]->isChecked() ? WidthUnit::Centimeters : WidthUnit::Inches;
    input.title = txtTitle->text();

    CustomReportOptions options;
    options.target = optReportTo[2]->isChecked()   ? CustomTarget::TextFile
                     : optReportTo[3]->isChecked() ? CustomTarget::HtmlFile
                                                   : CustomTarget::Preview;
    options.landscape = optOrient[1]->isChecked();
    options.showDate = chkDate->isChecked();
    options.pageNumbers = static_cast<PageNumbers>(std::clamp(cmbPageNum->currentIndex(), 0, 2));
    options.title = txtTitle->text();
    GenerateCustomReport(
        MakeCustomReport(BuildCustomQuery(mCatalogue, mSettings, input), options, QDate::currentDate()));
}
