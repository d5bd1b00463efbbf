#include "app/frmMain.h"

#include "codes/CodeTables.h"
#include "codes/frmCodesMaint.h"
#include "csv/CsvExport.h"
#include "csv/frmImport.h"
#include "custom/frmRptSpec.h"
#include "dates/DateBox.h"
#include "dates/DateText.h"
#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/ErrorHandler.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/SqlDialect.h"
#include "db/StampSort.h"
#include "db/StringHelpers.h"
#include "db/Transaction.h"
#include "help/HelpContext.h"
#include "help/frmAbout.h"
#include "history/AutoBackups.h"
#include "history/BackupKeeper.h"
#include "history/ChangeCapture.h"
#include "history/ChangeNames.h"
#include "history/History.h"
#include "history/Trash.h"
#include "history/frmAutoBackups.h"
#include "history/frmDeletedStamps.h"
#include "images/ImagesTab.h"
#include "list/StampListDock.h"
#include "list/StampQuery.h"
#include "numbers/NumbersBox.h"
#include "numbers/StampNumbers.h"
#include "reports/Reports.h"
#include "stats/frmStats.h"
#include "upkeep/Compact.h"
#include "upkeep/frmBackup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

frmMain* gMainWindow = nullptr;

// One of the nine code lists: its control, reload flag, query and fields.
struct CodeList {
    QComboBox* frmMain::*list;
    bool* flag;
    const char* sql;
    const char* descField;
    const char* keyField;
};

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* Caption(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

// A catalogue up to this size is backed up at start-up before the window shows
// (a catalogue of a hundred thousand stamps without images is some 60 MB, and
// its copy takes well under half a second); a larger one once the window shows.

// The undo and redo keys, which a text box would otherwise take for its own
// undo while no edit is under way.
bool IsHistoryKey(const QKeyEvent& key)
{
    const QKeyCombination combination = key.keyCombination();
    return combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
           combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
           combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

}  // namespace

frmMain* frmMain::Instance() { return gMainWindow; }

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    gMainWindow = this;
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kAppTitle);
    SetHelpContext(this, 7);
    BuildControls();
    // The stamp list, docked on the left; shown from the View menu.
    mStampList = new StampListDock(this);
    addDockWidget(Qt::LeftDockWidgetArea, mStampList);
    mStampList->hide();
    connect(mStampList, &StampListDock::StampChosen, this, &frmMain::lstStamps_Choose);
    connect(mStampList, &StampListDock::QueryChanged, this, &frmMain::OpenListQuery);
    connect(mStampList, &StampListDock::DeleteCurrent, this, &frmMain::cmdDelete_Click);
    BuildMenus();
    SetTabOrder();
    ConnectEditEvents();
    // Notes about the automatic backup.
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    SetHelpContext(statusBar(), 247);
    mBackups = new BackupKeeper(this);
    connect(mBackups, &BackupKeeper::Note, this,
            [this](const QString& text, int timeoutMs) { statusBar()->showMessage(text, timeoutMs); });
    TheHistory().SetObserver([this] { UpdateEditMenu(); });
    BrowseMode();
    resize(820, 560);
}

frmMain::~frmMain()
{
    mBackups->Abort();
    TheHistory().SetObserver({});
    if (gMainWindow == this) gMainWindow = nullptr;
}

// ---------------------------------------------------------------------------
// Controls and menus

void frmMain::BuildControls()
{
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);

    auto* top = new QGridLayout;
    txtDescr = Named(new QLineEdit, "txtDescr");
    txtDescr->setMaxLength(80);
    txtCatNum = Named(new QLineEdit, "txtCatNum");
    txtCatNum->setMaxLength(30);
    txtFace = Named(new QLineEdit, "txtFace");
    txtFace->setMaxLength(50);
    txtYear = Named(new QLineEdit, "txtYear");
    chkUsed = Named(new QCheckBox(QStringLiteral("Used")), "chkUsed");
    chkWantList = Named(new QCheckBox(QStringLiteral("Want List")), "chkWantList");
    txtQuantity = Named(new QLineEdit, "txtQuantity");
    top->addWidget(Caption(QStringLiteral("Description"), txtDescr), 0, 0);
    top->addWidget(txtDescr, 0, 1, 1, 5);
    top->addWidget(Caption(QStringLiteral("Catalog Num"), txtCatNum), 1, 0);
    top->addWidget(txtCatNum, 1, 1);
    top->addWidget(Caption(QStringLiteral("Face Value"), txtFace), 1, 2);
    top->addWidget(txtFace, 1, 3);
    top->addWidget(Caption(QStringLiteral("Year"), txtYear), 1, 4);
    top->addWidget(txtYear, 1, 5);
    top->addWidget(chkUsed, 2, 1);
    top->addWidget(chkWantList, 2, 3);
    top->addWidget(Caption(QStringLiteral("Quantity"), txtQuantity), 2, 4);
    top->addWidget(txtQuantity, 2, 5);
    top->setColumnStretch(1, 3);
    top->setColumnStretch(3, 2);
    top->setColumnStretch(5, 1);
    // The stamp's front beside the top fields; a stamp without one leaves no gap.
    mImagesTab = new ImagesTab;
    auto* topRow = new QHBoxLayout;
    topRow->addLayout(top, 1);
    topRow->addWidget(mImagesTab->FrontLabel(), 0, Qt::AlignTop);
    outer->addLayout(topRow);

    SSTab1 = Named(new QTabWidget, "SSTab1");

    auto* general = new QWidget;
    auto* g = new QGridLayout(general);
    cmbCou = Named(new QComboBox, "cmbCou");
    cmbType = Named(new QComboBox, "cmbType");
    cmbForm = Named(new QComboBox, "cmbForm");
    cmbPap = Named(new QComboBox, "cmbPap");
    cmbCan = Named(new QComboBox, "cmbCan");
    cmbPerf = Named(new QComboBox, "cmbPerf");
    cmbTop = Named(new QComboBox, "cmbTop");
    cmbGum = Named(new QComboBox, "cmbGum");
    txtColor = Named(new QLineEdit, "txtColor");
    txtWatermark = Named(new QLineEdit, "txtWatermark");
    txtErrors = Named(new QLineEdit, "txtErrors");
    for (QLineEdit* box : {txtColor, txtWatermark, txtErrors}) box->setMaxLength(50);
    dcIssued = Named(new DateBox, "dcIssued");
    const std::pair<const char*, QWidget*> left[] = {{"Country", cmbCou}, {"Type", cmbType}, {"Format", cmbForm},
                                                     {"Paper", cmbPap},   {"Cancellation", cmbCan}, {"Perforation", cmbPerf}};
    const std::pair<const char*, QWidget*> right[] = {{"Topic", cmbTop},         {"Gum", cmbGum},
                                                      {"Color", txtColor},       {"Watermark", txtWatermark},
                                                      {"Errors", txtErrors},     {"Issue Date", dcIssued}};
    for (int row = 0; row < 6; ++row) {
        g->addWidget(Caption(QString::fromLatin1(left[row].first), left[row].second), row, 0);
        g->addWidget(left[row].second, row, 1);
        g->addWidget(Caption(QString::fromLatin1(right[row].first), right[row].second), row, 2);
        g->addWidget(right[row].second, row, 3);
    }
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    mNumbersBox = new NumbersBox;
    g->addWidget(mNumbersBox, 6, 0, 1, 4);
    g->setRowStretch(6, 1);
    SSTab1->addTab(general, QStringLiteral("General"));

    auto* prices = new QWidget;
    auto* p = new QGridLayout(prices);
    dcPurchased = Named(new DateBox, "dcPurchased");
    txtPricePaid = Named(new QLineEdit, "txtPricePaid");
    lblPrice = Named(new QLabel(QStringLiteral("Price Paid")), "lblPrice");
    lblPrice->setBuddy(txtPricePaid);
    cmbCon = Named(new QComboBox, "cmbCon");
    txtCatValue = Named(new QLineEdit, "txtCatValue");
    chkForSale = Named(new QCheckBox(QStringLiteral("For Sale")), "chkForSale");
    chkSold = Named(new QCheckBox(QStringLiteral("Sold")), "chkSold");
    txtPriceAsk = Named(new QLineEdit, "txtPriceAsk");
    dcDateSold = Named(new DateBox, "dcDateSold");
    txtTotalPaid = Named(new QLineEdit, "txtTotalPaid");
    txtTotalVal = Named(new QLineEdit, "txtTotalVal");
    txtTotalSales = Named(new QLineEdit, "txtTotalSales");
    for (QLineEdit* total : {txtTotalPaid, txtTotalVal, txtTotalSales}) {
        // Computed, never typed: a click hands the focus on (see RefuseFocus).
        total->setFocusPolicy(Qt::ClickFocus);
        total->setReadOnly(true);
    }
    p->addWidget(Caption(QStringLiteral("Purchase Date"), dcPurchased), 0, 0);
    p->addWidget(dcPurchased, 0, 1);
    p->addWidget(Caption(QStringLiteral("Condition"), cmbCon), 0, 2);
    p->addWidget(cmbCon, 0, 3);
    p->addWidget(lblPrice, 1, 0);
    p->addWidget(txtPricePaid, 1, 1);
    p->addWidget(Caption(QStringLiteral("Total Paid"), txtTotalPaid), 1, 2);
    p->addWidget(txtTotalPaid, 1, 3);
    p->addWidget(Caption(QStringLiteral("Catalog Value"), txtCatValue), 2, 0);
    p->addWidget(txtCatValue, 2, 1);
    p->addWidget(Caption(QStringLiteral("Total Value"), txtTotalVal), 2, 2);
    p->addWidget(txtTotalVal, 2, 3);
    p->addWidget(chkForSale, 3, 1);
    p->addWidget(chkSold, 3, 3);
    p->addWidget(Caption(QStringLiteral("Selling Price"), txtPriceAsk), 4, 0);
    p->addWidget(txtPriceAsk, 4, 1);
    p->addWidget(Caption(QStringLiteral("Total Sales"), txtTotalSales), 4, 2);
    p->addWidget(txtTotalSales, 4, 3);
    p->addWidget(Caption(QStringLiteral("Date Sold"), dcDateSold), 5, 0);
    p->addWidget(dcDateSold, 5, 1);
    p->setColumnStretch(1, 1);
    p->setColumnStretch(3, 1);
    p->setRowStretch(6, 1);
    SSTab1->addTab(prices, QStringLiteral("Stamp Prices"));

    auto* notes = new QWidget;
    auto* n = new QGridLayout(notes);
    txtNotes = Named(new QPlainTextEdit, "txtNotes");
    txtNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtNotes->setTabChangesFocus(true);
    txtMisc1 = Named(new QLineEdit, "txtMisc1");
    txtMisc2 = Named(new QLineEdit, "txtMisc2");
    txtMisc1->setMaxLength(50);
    txtMisc2->setMaxLength(50);
    n->addWidget(Caption(QStringLiteral("Notes"), txtNotes), 0, 0, Qt::AlignTop);
    n->addWidget(txtNotes, 0, 1, 1, 3);
    n->addWidget(Caption(QStringLiteral("Misc. 1"), txtMisc1), 1, 0);
    n->addWidget(txtMisc1, 1, 1);
    n->addWidget(Caption(QStringLiteral("Misc. 2"), txtMisc2), 1, 2);
    n->addWidget(txtMisc2, 1, 3);
    n->setRowStretch(0, 1);
    SSTab1->addTab(notes, QStringLiteral("Notes"));
    SSTab1->addTab(mImagesTab, QStringLiteral("Images"));
    outer->addWidget(SSTab1, 1);

    // Two rows of buttons; Cancel lies on the place of Delete, Update on Find.
    auto* buttons = new QGridLayout;
    cmdFirst = Named(new QPushButton(QStringLiteral("Firs&t")), "cmdFirst");
    cmdPrevious = Named(new QPushButton(QStringLiteral("&Previous")), "cmdPrevious");
    cmdNext = Named(new QPushButton(QStringLiteral("&Next")), "cmdNext");
    cmdLast = Named(new QPushButton(QStringLiteral("&Last")), "cmdLast");
    cmdAddNew = Named(new QPushButton(QStringLiteral("&Add New")), "cmdAddNew");
    cmdDelete = Named(new QPushButton(QStringLiteral("&Delete")), "cmdDelete");
    cmdFind = Named(new QPushButton(QStringLiteral("F&ind")), "cmdFind");
    cmdHelp = Named(new QPushButton(QStringLiteral("Help")), "cmdHelp");
    cmdCancel = Named(new QPushButton(QStringLiteral("&Cancel")), "cmdCancel");
    cmdUpdate = Named(new QPushButton(QStringLiteral("&Update")), "cmdUpdate");
    buttons->addWidget(cmdFirst, 0, 0);
    buttons->addWidget(cmdPrevious, 0, 1);
    buttons->addWidget(cmdNext, 0, 2);
    buttons->addWidget(cmdLast, 0, 3);
    buttons->addWidget(cmdAddNew, 1, 0);
    buttons->addWidget(cmdDelete, 1, 1);
    buttons->addWidget(cmdCancel, 1, 1);
    buttons->addWidget(cmdFind, 1, 2);
    buttons->addWidget(cmdUpdate, 1, 2);
    buttons->addWidget(cmdHelp, 1, 3);
    outer->addLayout(buttons);
    setCentralWidget(central);

    const std::pair<QWidget*, int> contexts[] = {
        {txtDescr, 21},     {txtCatNum, 22},    {txtFace, 23},       {txtYear, 24},      {chkUsed, 25},
        {chkWantList, 26},  {txtQuantity, 27},  {cmbCou, 28},        {cmbType, 29},      {cmbForm, 30},
        {cmbPap, 31},       {cmbCan, 32},       {cmbPerf, 33},       {cmbTop, 35},       {cmbGum, 34},
        {txtColor, 37},     {txtWatermark, 38}, {txtErrors, 39},     {dcIssued, 40},     {dcPurchased, 41},
        {txtPricePaid, 43}, {cmbCon, 36},       {txtCatValue, 44},   {chkForSale, 45},   {chkSold, 45},
        {txtPriceAsk, 46},  {dcDateSold, 42},   {txtTotalPaid, 43},  {txtTotalVal, 44},  {txtTotalSales, 46},
        {txtNotes, 47},     {txtMisc1, 48},     {txtMisc2, 48},      {cmdFirst, 14},     {cmdPrevious, 14},
        {cmdNext, 14},      {cmdLast, 14},      {cmdAddNew, 9},      {cmdDelete, 13},    {cmdFind, 15},
        {cmdHelp, 8},       {cmdCancel, 11},    {cmdUpdate, 10},
    };
    for (const auto& [widget, context] : contexts) SetHelpContext(widget, context);
}

void frmMain::BuildMenus()
{
    auto action = [this](QMenu* menu, const QString& text, const QString& name, int context) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        SetHelpContext(a, context);
        return a;
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuBackup = action(file, QStringLiteral("&Backup"), QStringLiteral("mnuBackup"), 56);
    mnuPack = action(file, QStringLiteral("&Pack Database"), QStringLiteral("mnuPack"), 57);
    mnuExport = action(file, QStringLiteral("Expor&t to CSV..."), QStringLiteral("mnuExport"), 75);
    mnuImport = action(file, QStringLiteral("&Import from CSV..."), QStringLiteral("mnuImport"), 74);
    mnuRestoreBackup =
        action(file, QStringLiteral("&Restore from Automatic Backup..."), QStringLiteral("mnuRestoreBackup"), 245);
    file->addSeparator();
    mnuExit = action(file, QStringLiteral("E&xit"), QStringLiteral("mnuExit"), 58);
    connect(mnuBackup, &QAction::triggered, this, &frmMain::mnuBackup_Click);
    connect(mnuPack, &QAction::triggered, this, &frmMain::mnuPack_Click);
    connect(mnuRestoreBackup, &QAction::triggered, this, &frmMain::mnuRestoreBackup_Click);
    connect(mnuExport, &QAction::triggered, this, &frmMain::mnuExport_Click);
    connect(mnuImport, &QAction::triggered, this, &frmMain::mnuImport_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEditMenu"));
    mnuUndo = action(edit, UndoMenuText(QString()), QStringLiteral("mnuUndo"), 240);
    mnuUndo->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Z));
    mnuRedo = action(edit, RedoMenuText(QString()), QStringLiteral("mnuRedo"), 241);
    mnuRedo->setShortcuts({QKeySequence(Qt::ControlModifier | Qt::Key_Y),
                           QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z)});
    edit->addSeparator();
    mnuDeletedStamps = action(edit, QStringLiteral("&Deleted Stamps..."), QStringLiteral("mnuDeletedStamps"), 242);
    connect(mnuUndo, &QAction::triggered, this, &frmMain::mnuUndo_Click);
    connect(mnuRedo, &QAction::triggered, this, &frmMain::mnuRedo_Click);
    connect(mnuDeletedStamps, &QAction::triggered, this, &frmMain::mnuDeletedStamps_Click);
    connect(edit, &QMenu::aboutToShow, this, &frmMain::UpdateEditMenu);

    QMenu* sort = menuBar()->addMenu(QStringLiteral("&Sort"));
    sort->setObjectName(QStringLiteral("mnuSortMenu"));
    const QString sortItems[] = {QStringLiteral("Sort by &Description"), QStringLiteral("Sort by &Catalog Number"),
                                 QStringLiteral("Sort by &Issue Date")};
    for (int i = 1; i <= 3; ++i) {
        mnuSort[i] = action(sort, sortItems[i - 1], QStringLiteral("mnuSort_%1").arg(i), 17);
        mnuSort[i]->setCheckable(true);
        connect(mnuSort[i], &QAction::triggered, this, [this, i] { mnuSort_Click(i); });
    }

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuViewMenu"));
    mnuViewList = mStampList->toggleViewAction();
    mnuViewList->setText(QStringLiteral("Stamp &List"));
    mnuViewList->setObjectName(QStringLiteral("mnuViewList"));
    mnuViewList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    SetHelpContext(mnuViewList, 230);
    view->addAction(mnuViewList);
    connect(mnuViewList, &QAction::triggered, this, [this](bool shown) {
        if (!shown) return;
        // Shown the first time beside the editor, not over it, wide enough for a
        // few columns.
        if (!mStampListPlaced) {
            constexpr int kListWidth = 480;
            if (!isMaximized() && !isFullScreen()) {
                // Never wider than the screen, nor past its edge.
                const QRect room = screen() ? screen()->availableGeometry() : QRect();
                const int frame = frameGeometry().width() - width();
                const int wanted =
                    room.isValid() ? std::min(width() + kListWidth, room.width() - frame) : width() + kListWidth;
                resize(std::max(wanted, width()), height());
                if (room.isValid() && frameGeometry().right() > room.right())
                    move(std::max(room.left(), room.right() + 1 - frameGeometry().width()), frameGeometry().top());
            }
            resizeDocks({mStampList}, {kListWidth}, Qt::Horizontal);
            mStampListPlaced = true;
        }
        mStampList->FollowEditor(mShownKey >= 0 && gStampRs && gStampRs->AbsolutePosition() >= 0);
        // Ready for the words to look for.
        if (!IsEditing()) mStampList->FocusFilter();
    });
    mnuViewChange = action(view, QStringLiteral("&Change Selected Stamps..."), QStringLiteral("mnuViewChange"), 232);
    connect(mnuViewChange, &QAction::triggered, this, &frmMain::mnuViewChange_Click);

    QMenu* maint = menuBar()->addMenu(QStringLiteral("&Maintain"));
    maint->setObjectName(QStringLiteral("mnuMaintMenu"));
    const std::pair<const char*, int> maintItems[] = {
        {"&Cancellations", 19}, {"&Conditions", 20},    {"&Countries", 49}, {"&Formats", 50}, {"&Gum", 51},
        {"&Papers", 52},        {"&Performations", 53}, {"&Topics", 55},    {"&Types", 54},   {"Cata&logues", 250}};
    for (int i = 1; i <= 10; ++i) {
        mnuMaint[i] = action(maint, QString::fromLatin1(maintItems[i - 1].first), QStringLiteral("mnuMaint_%1").arg(i),
                             maintItems[i - 1].second);
        connect(mnuMaint[i], &QAction::triggered, this, [this, i] { mnuMaint_Click(i); });
    }

    QMenu* reports = menuBar()->addMenu(QStringLiteral("&Reports"));
    reports->setObjectName(QStringLiteral("mnuReports"));
    const QString targets[] = {QStringLiteral("&View/Print Report"), QStringLiteral("Send Report to &File"),
                               QStringLiteral("Web Table (html)")};
    for (int i = 1; i <= 3; ++i) {
        mnuRptOut[i] = action(reports, targets[i - 1], QStringLiteral("mnuRptOut_%1").arg(i), 59);
        mnuRptOut[i]->setCheckable(true);
        connect(mnuRptOut[i], &QAction::triggered, this, [this, i] { mnuRptOut_Click(i); });
    }
    mnuRptOut[1]->setChecked(true);
    reports->addSeparator();
    const std::pair<const char*, int> categories[] = {
        {"Stamps by &Country", 60}, {"Stamps by &Type", 62}, {"Stamps by &Format", 63}, {"Stamps by T&opic", 64}};
    for (int i = 1; i <= 4; ++i) {
        mnuRpt[i] = action(reports, QString::fromLatin1(categories[i - 1].first), QStringLiteral("mnuRpt_%1").arg(i),
                           categories[i - 1].second);
        connect(mnuRpt[i], &QAction::triggered, this, [this, i] { mnuRpt_Click(i); });
    }
    reports->addSeparator();
    mnuRptValue = action(reports, QStringLiteral("Collection &Value"), QStringLiteral("mnuRptValue"), 61);
    mnuRptWant = action(reports, QStringLiteral("&Want List"), QStringLiteral("mnuRptWant"), 66);
    mnuRptSold = action(reports, QStringLiteral("Stamps &Sold"), QStringLiteral("mnuRptSold"), 67);
    mnuRptStats = action(reports, QStringLiteral("Collection Stat&istics"), QStringLiteral("mnuRptStats"), 210);
    reports->addSeparator();
    mnuRptCustom = action(reports, QStringLiteral("Custom &Reports"), QStringLiteral("mnuRptCustom"), 68);
    connect(mnuRptValue, &QAction::triggered, this, &frmMain::mnuRptValue_Click);
    connect(mnuRptWant, &QAction::triggered, this, &frmMain::mnuRptWant_Click);
    connect(mnuRptSold, &QAction::triggered, this, &frmMain::mnuRptSold_Click);
    connect(mnuRptStats, &QAction::triggered, this, &frmMain::mnuRptStats_Click);
    connect(mnuRptCustom, &QAction::triggered, this, &frmMain::mnuRptCustom_Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelpMenu"));
    const QString helpItems[] = {QStringLiteral("&Contents"), QStringLiteral("&Search for Help on..."),
                                 QStringLiteral("&Using Help")};
    for (int i = 1; i <= 3; ++i) {
        mnuHelp[i] = action(help, helpItems[i - 1], QStringLiteral("mnuHelp_%1").arg(i), 8);
        connect(mnuHelp[i], &QAction::triggered, this, [this, i] { mnuHelp_Click(i); });
    }
    help->addSeparator();
    mnuAbout = action(help, QStringLiteral("&About the Tessarine Program"), QStringLiteral("mnuAbout"), 18);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
}

void frmMain::SetTabOrder()
{
    const QWidget* chain[] = {txtDescr,  txtCatNum,    txtFace,     txtYear,    chkUsed,    chkWantList, txtQuantity,
                              cmbCou,    cmbType,      cmbForm,     cmbPap,     cmbCan,     cmbPerf,     cmbTop,
                              cmbGum,    txtColor,     txtWatermark, txtErrors, dcIssued,   dcPurchased, txtPricePaid,
                              cmbCon,    txtCatValue,  chkForSale,  chkSold,    txtPriceAsk, dcDateSold, txtNotes,
                              txtMisc1,  txtMisc2,     cmdFirst,    cmdPrevious, cmdNext,   cmdLast,     cmdAddNew,
                              cmdDelete, cmdFind,      cmdHelp,     cmdCancel,  cmdUpdate};
    for (size_t i = 0; i + 1 < std::size(chain); ++i)
        setTabOrder(const_cast<QWidget*>(chain[i]), const_cast<QWidget*>(chain[i + 1]));
    // The numbers in other catalogues come after every control of the record.
    QWidget* previous = cmdUpdate;
    for (const char* name :
         {"grdNumbers", "cmdAddNumber", "cmdRemoveNumber", "cmbNumCatalog", "txtNumber", "txtNumValue", "txtNumNote"}) {
        QWidget* next = mNumbersBox->findChild<QWidget*>(QString::fromLatin1(name));
        if (!next) continue;
        setTabOrder(previous, next);
        previous = next;
    }
}

void frmMain::ConnectEditEvents()
{
    // Every change, click and key of the editor starts an edit.
    for (QLineEdit* box : {txtDescr, txtCatNum, txtFace, txtYear, txtQuantity, txtColor, txtWatermark, txtErrors,
                           txtPricePaid, txtCatValue, txtPriceAsk, txtMisc1, txtMisc2})
        connect(box, &QLineEdit::textChanged, this, &frmMain::BeginEdit);
    connect(txtNotes, &QPlainTextEdit::textChanged, this, &frmMain::BeginEdit);
    for (QComboBox* list : {cmbCou, cmbType, cmbForm, cmbPap, cmbCan, cmbPerf, cmbTop, cmbGum, cmbCon}) {
        connect(list, &QComboBox::currentIndexChanged, this, &frmMain::BeginEdit);
        list->installEventFilter(this);
    }
    for (DateBox* box : {dcIssued, dcPurchased, dcDateSold}) {
        connect(box, &QComboBox::editTextChanged, this, &frmMain::BeginEdit);
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
    connect(mImagesTab, &ImagesTab::Changed, this, &frmMain::BeginEdit);
    connect(mNumbersBox, &NumbersBox::Changed, this, &frmMain::BeginEdit);
    // The number of the collector's own catalogue is the stamp's Catalog Num.
    connect(mNumbersBox, &NumbersBox::OwnNumberTyped, this, [this](const QString& number) {
        if (txtCatNum->text() != number) txtCatNum->setText(number);
    });
    connect(chkUsed, &QCheckBox::toggled, this, &frmMain::BeginEdit);
    connect(chkForSale, &QCheckBox::toggled, this, &frmMain::BeginEdit);
    connect(chkSold, &QCheckBox::toggled, this, &frmMain::chkSold_Click);
    connect(chkWantList, &QCheckBox::toggled, this, &frmMain::chkWantList_Click);
    connect(dcIssued, &DateBox::DropDown, this, &frmMain::dcIssued_DropDown);
    connect(dcPurchased, &DateBox::DropDown, this, &frmMain::dcPurchased_DropDown);
    connect(dcDateSold, &DateBox::DropDown, this, &frmMain::dcDateSold_DropDown);
    for (QLineEdit* box :
         {txtDescr, txtCatNum, txtFace, txtYear, txtQuantity, txtColor, txtWatermark, txtErrors, txtPricePaid,
          txtCatValue, txtPriceAsk, txtTotalPaid, txtTotalVal, txtTotalSales, txtMisc1, txtMisc2})
        box->installEventFilter(this);
    txtNotes->installEventFilter(this);

    connect(cmdFirst, &QPushButton::clicked, this, &frmMain::cmdFirst_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &frmMain::cmdPrevious_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmMain::cmdNext_Click);
    connect(cmdLast, &QPushButton::clicked, this, &frmMain::cmdLast_Click);
    connect(cmdFind, &QPushButton::clicked, this, &frmMain::cmdFind_Click);
    connect(cmdAddNew, &QPushButton::clicked, this, &frmMain::cmdAddNew_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmMain::cmdUpdate_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmMain::cmdDelete_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmMain::cmdHelp_Click);
}

// ---------------------------------------------------------------------------
// Load, activation, unload

void frmMain::Form_Load()
{
    // Every opening of the catalogue starts without a history of changes.
    TheHistory().Clear();
    // A window shown again after backup or packing starts as it was designed.
    SSTab1->setCurrentIndex(0);
    for (int i = 1; i <= 3; ++i) mnuRptOut[i]->setChecked(i == 1);
    SetAddCaption(false);
    for (int table = 1; table <= kCatalogueList; ++table) CodeChangedFlag(table) = false;

    Guard([] { ChkDateFmt(); });
    Guard([] {
        gCouChanged = true;
        gTypeChanged = true;
        gFormChanged = true;
        gPapChanged = true;
        gCanChanged = true;
        gPerfChanged = true;
        gTopChanged = true;
        gConChanged = true;
        gGumChanged = true;
        gCatalogChanged = true;
    });
    Guard([] {
        gRptTarget = 1;
        gSortOrder = 1;
        gReopening = false;
    });
    Guard([] {
        gHelpPath = gAppDir + QStringLiteral("stamp.hlp");
        gDbPath = gAppDir + QStringLiteral("stamp.mdb");
    });
    Guard([] { gDb = Database::Open(gDbPath, true, CatalogueTables()); });
    // Every stamp in description order: the list's filter and order start anew.
    mStampList->Reset();
    Guard([] {
        if (!gDb) throw DbError(ErrNo::NoObject, QString());
        gStampRs = ListQuery().Open(*gDb);
    });
    ShowSortOrder();
    Guard([this] {
        if (!gStampRs) throw DbError(ErrNo::NoObject, QString());
        if (!gStampRs->IsEmpty()) {
            gStampRs->MoveLast();
            gStampRs->MoveFirst();
            ShowRecord();
        } else {
            ClearFields();
            DisableFields();
        }
    });
    mEditing = false;
    mAdding = false;
    BrowseMode();
    UpdateEditMenu();
}

void frmMain::Form_Activate()
{
    const CodeList lists[] = {
        {&frmMain::cmbCou, &gCouChanged, "Select * from country order by Coudesc", "Coudesc", "CouID"},
        {&frmMain::cmbType, &gTypeChanged, "Select * from type order by Typedesc", "Typedesc", "typeID"},
        {&frmMain::cmbForm, &gFormChanged, "Select * from format order by FormDesc", "FormDesc", "formID"},
        {&frmMain::cmbPap, &gPapChanged, "Select * from paper order by Papdesc", "Papdesc", "papID"},
        {&frmMain::cmbCan, &gCanChanged, "Select * from cancel order by CanDesc", "CanDesc", "CanID"},
        {&frmMain::cmbPerf, &gPerfChanged, "Select * from Perf order by PerfDesc", "perfdesc", "perfID"},
        {&frmMain::cmbTop, &gTopChanged, "Select * from topic order by TopDesc", "TopDesc", "topID"},
        {&frmMain::cmbCon, &gConChanged, "Select * from Condition order by conDesc", "conDesc", "ConID"},
        {&frmMain::cmbGum, &gGumChanged, "Select * from gum order by gumDesc", "GumDesc", "gumID"},
    };
    if (!gDb || !gDb->IsOpen()) return;
    // The catalogues of the numbers box; the numbers shown keep their catalogues.
    if (gCatalogChanged) {
        mNumbersBox->LoadCatalogues();
        gCatalogChanged = false;
    }
    bool reloaded = false;
    const bool editing = mEditing || mAdding;
    const bool wasEditing = mEditing;
    for (const CodeList& entry : lists) {
        if (!*entry.flag) continue;
        QComboBox* list = this->*entry.list;
        // While an edit is under way the typed values stay: each list keeps its
        // choice by the code it stands for.
        const QVariant chosen = list->currentIndex() >= 0 ? list->currentData() : QVariant();
        mEditing = true;
        list->clear();
        Guard([&] {
            auto rs = gDb->OpenSnapshot(QString::fromLatin1(entry.sql));
            while (!rs->Eof()) {
                list->addItem(TextOf(rs->Field(QString::fromLatin1(entry.descField))),
                              QVariant(static_cast<qint32>(WholeOf(rs->Field(QString::fromLatin1(entry.keyField))).value_or(0))));
                rs->MoveNext();
            }
            rs->Close();
        });
        list->setCurrentIndex(-1);
        if (editing) SelectById(list, chosen);
        mEditing = wasEditing;
        *entry.flag = false;
        reloaded = true;
    }
    if (reloaded && !editing && gStampRs && !gStampRs->IsEmpty()) Guard([this] { ShowRecord(); });
    // The list shows the codes' descriptions too.
    if (reloaded) mStampList->RefreshRows();
}

void frmMain::Form_Unload()
{
    // A backup under way lets go of the catalogue before it closes.
    mBackups->Abort();
    Guard([] {
        if (gStampRs) gStampRs->Close();
        gStampRs.reset();
    });
    mImagesTab->Release();
    mNumbersBox->Release();
    Guard([] {
        if (gDb) gDb->Close();
        gDb.reset();
    });
    mEditing = false;
    mAdding = false;
}

bool frmMain::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) Form_Activate();
    return QMainWindow::event(event);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
    if (!gReopening) QCoreApplication::quit();
}

void frmMain::UnloadForReopen()
{
    gReopening = true;
    close();
}

void frmMain::ReloadAfterReopen()
{
    Form_Load();
    show();
    raise();
    activateWindow();
    Form_Activate();
    gReopening = false;
}

void frmMain::mnuExit_Click() { close(); }

// ---------------------------------------------------------------------------
// Record display and save mapping

void frmMain::SelectById(QComboBox* list, const QVariant& id)
{
    // A code that matches no entry selects nothing: keeping the previous choice
    // would store a wrong code on the next save.
    int found = -1;
    if (id.isValid() && !id.isNull()) {
        const qint64 key = id.toLongLong();
        for (int i = 0; i < list->count(); ++i) {
            if (list->itemData(i).toLongLong() == key) {
                found = i;
                break;
            }
        }
    }
    list->setCurrentIndex(found);
}

void frmMain::ShowRecord()
{
    Recordset& rs = *gStampRs;
    auto field = [&rs](const char* name) { return rs.Field(QString::fromLatin1(name)); };
    auto money = [&](const char* name) {
        const auto value = MoneyOf(field(name));
        return value ? FormatCurrency(*value) : QString();
    };
    auto date = [&](const char* name) {
        const auto value = DateOf(field(name));
        return value ? FormatShortDate(*value) : QString();
    };

    mEditing = true;
    txtDescr->setText(TextOf(field("descr")));
    txtCatNum->setText(TextOf(field("catnum")));
    txtFace->setText(money("face"));
    txtYear->setText(TextOf(field("Year")));
    chkUsed->setChecked(BoolOf(field("used")));
    chkWantList->setChecked(BoolOf(field("wantlist")));
    chkWantList_Click();
    txtQuantity->setText(TextOf(field("quantity")));
    SelectById(cmbCou, field("CouID"));
    SelectById(cmbType, field("typeID"));
    SelectById(cmbForm, field("formID"));
    SelectById(cmbPap, field("papID"));
    SelectById(cmbCan, field("CanID"));
    SelectById(cmbPerf, field("perfID"));
    SelectById(cmbTop, field("topID"));
    SelectById(cmbGum, field("gumID"));
    SelectById(cmbCon, field("ConID"));
    txtColor->setText(TextOf(field("Color")));
    txtWatermark->setText(TextOf(field("watermark")));
    txtErrors->setText(TextOf(field("Errors")));
    dcIssued->SetText(date("issued"));
    txtPricePaid->setText(money("pricepaid"));
    txtTotalPaid->setText(money("totalpaid"));
    txtCatValue->setText(money("catvalue"));
    txtTotalVal->setText(money("totalval"));
    txtPriceAsk->setText(money("priceask"));
    txtTotalSales->setText(money("totalsales"));
    chkForSale->setChecked(BoolOf(field("forsale")));
    dcPurchased->SetText(date("purchased"));
    chkSold->setChecked(BoolOf(field("sold")));
    chkSold_Click();
    dcDateSold->SetText(date("datesold"));
    txtNotes->setPlainText(TextOf(field("notes")));
    txtMisc1->setText(TextOf(field("misc1")));
    txtMisc2->setText(TextOf(field("misc2")));
    mImagesTab->ShowStamp(WholeOf(field("StampID")).value_or(0));
    mNumbersBox->ShowStamp(WholeOf(field("StampID")).value_or(0));
    mEditing = false;
    mShownKey = WholeOf(field("StampID")).value_or(-1);
    mStampList->FollowEditor(true);
}

void frmMain::SaveRecord()
{
    Recordset& rs = *gStampRs;
    auto set = [&rs](const char* name, const QVariant& value) { rs.SetField(QString::fromLatin1(name), value); };
    auto listValue = [](QComboBox* list) {
        return list->currentIndex() >= 0 ? QVariant(list->currentData().toLongLong()) : QVariant();
    };
    auto wholeValue = [](QLineEdit* box, qint64 lo, qint64 hi) {
        const auto value = ParseWholeNumber(box->text(), lo, hi);
        return value ? QVariant(static_cast<qint64>(*value)) : QVariant();
    };

    Guard([&] {
        set("descr", txtDescr->text());
        set("catnum", txtCatNum->text());
        set("catsort", CatalogueSortKey(txtCatNum->text()));
        set("face", MoneyValue(ParseCurrency(txtFace->text())));
        set("Year", wholeValue(txtYear, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
        set("used", chkUsed->isChecked() ? 1 : 0);
        set("wantlist", chkWantList->isChecked() ? 1 : 0);
        set("quantity", wholeValue(txtQuantity, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
        set("CouID", listValue(cmbCou));
        set("typeID", listValue(cmbType));
        set("formID", listValue(cmbForm));
        set("papID", listValue(cmbPap));
        set("CanID", listValue(cmbCan));
        set("perfID", listValue(cmbPerf));
        set("topID", listValue(cmbTop));
        set("gumID", listValue(cmbGum));
        set("ConID", listValue(cmbCon));
        set("Color", txtColor->text());
        set("watermark", txtWatermark->text());
        set("Errors", txtErrors->text());
        set("issued", DateValue(ParseDate(dcIssued->Text())));
        set("pricepaid", MoneyValue(ParseCurrency(txtPricePaid->text())));
        set("totalpaid", MoneyValue(ParseCurrency(txtTotalPaid->text())));
        set("catvalue", MoneyValue(ParseCurrency(txtCatValue->text())));
        set("totalval", MoneyValue(ParseCurrency(txtTotalVal->text())));
        set("priceask", MoneyValue(ParseCurrency(txtPriceAsk->text())));
        set("totalsales", MoneyValue(ParseCurrency(txtTotalSales->text())));
        set("forsale", chkForSale->isChecked() ? 1 : 0);
        set("purchased", DateValue(ParseDate(dcPurchased->Text())));
        set("sold", chkSold->isChecked() ? 1 : 0);
        set("datesold", DateValue(ParseDate(dcDateSold->Text())));
        set("notes", txtNotes->toPlainText());
        set("misc1", txtMisc1->text());
        set("misc2", txtMisc2->text());
    });
    RetryWrite([&rs] { rs.Update(); });
    Guard([] { gDb->Idle(); });
}

void frmMain::ClearFields()
{
    mEditing = true;
    for (QLineEdit* box : {txtDescr, txtCatNum, txtFace, txtYear}) box->clear();
    chkUsed->setChecked(false);
    chkWantList->setChecked(false);
    chkWantList_Click();
    txtQuantity->setText(QStringLiteral("1"));
    for (QComboBox* list : {cmbCou, cmbType, cmbForm, cmbPap, cmbCan, cmbPerf, cmbTop, cmbGum, cmbCon})
        list->setCurrentIndex(-1);
    for (QLineEdit* box : {txtColor, txtWatermark, txtErrors}) box->clear();
    dcIssued->SetText(QString());
    for (QLineEdit* box : {txtPricePaid, txtTotalPaid, txtCatValue, txtTotalVal, txtPriceAsk, txtTotalSales}) box->clear();
    chkForSale->setChecked(false);
    chkSold->setChecked(false);
    dcPurchased->SetText(QString());
    dcDateSold->SetText(QString());
    txtNotes->clear();
    txtMisc1->clear();
    txtMisc2->clear();
    mImagesTab->Clear();
    mNumbersBox->Clear();
    mEditing = false;
    mShownKey = -1;
    mStampList->FollowEditor(false);
}

void frmMain::SetEditorEnabled(bool enabled)
{
    const QWidget* controls[] = {txtDescr, txtCatNum, txtFace,   txtYear,      chkUsed,     chkWantList, txtQuantity,
                                 cmbCou,   cmbType,   cmbForm,   cmbPap,       cmbCan,      cmbPerf,     cmbTop,
                                 cmbGum,   cmbCon,    txtColor,  txtWatermark, txtErrors,   dcIssued,    txtPricePaid,
                                 txtCatValue, txtPriceAsk, chkForSale, dcPurchased, chkSold, dcDateSold, txtNotes,
                                 txtMisc1, txtMisc2};
    for (const QWidget* control : controls) const_cast<QWidget*>(control)->setEnabled(enabled);
    mImagesTab->setEnabled(enabled);
    mNumbersBox->setEnabled(enabled);
}

void frmMain::DisableFields() { SetEditorEnabled(false); }

void frmMain::EnableFields() { SetEditorEnabled(true); }

void frmMain::EditMode()
{
    for (QPushButton* b : {cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdHelp, cmdFind, cmdDelete}) b->hide();
    cmdCancel->show();
    cmdUpdate->show();
    // Backup and packing close the window and would silently drop the edit.
    for (int i = 1; i <= 10; ++i) mnuMaint[i]->setEnabled(false);
    for (int i = 1; i <= 3; ++i) mnuSort[i]->setEnabled(false);
    mnuExit->setEnabled(false);
    mnuBackup->setEnabled(false);
    mnuPack->setEnabled(false);
    mnuExport->setEnabled(false);
    mnuImport->setEnabled(false);
    mnuRestoreBackup->setEnabled(false);
    // A change to other stamps, or a new filter or order, would lose the edit.
    mnuViewChange->setEnabled(false);
    mStampList->SetEditing(true);
    UpdateEditMenu();
}

void frmMain::BrowseMode()
{
    for (QPushButton* b : {cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdHelp, cmdFind, cmdDelete, cmdAddNew}) b->show();
    cmdCancel->hide();
    cmdUpdate->hide();
    for (int i = 1; i <= 10; ++i) mnuMaint[i]->setEnabled(true);
    for (int i = 1; i <= 3; ++i) mnuSort[i]->setEnabled(true);
    mnuExit->setEnabled(true);
    mnuBackup->setEnabled(true);
    mnuPack->setEnabled(true);
    mnuExport->setEnabled(true);
    mnuImport->setEnabled(true);
    mnuRestoreBackup->setEnabled(true);
    mnuViewChange->setEnabled(true);
    mStampList->SetEditing(false);
    UpdateEditMenu();
}

void frmMain::BeginEdit()
{
    if (mEditing || mAdding) return;
    mEditing = true;
    EditMode();
    cmdAddNew->hide();
}

void frmMain::SetAddCaption(bool adding)
{
    cmdAddNew->setText(adding ? QStringLiteral("&Add Another") : QStringLiteral("&Add New"));
}

// ---------------------------------------------------------------------------
// Navigation, sort orders and find

void frmMain::cmdFirst_Click()
{
    if (!gStampRs || gStampRs->IsEmpty()) return;
    gStampRs->MoveFirst();
    ShowRecord();
}

void frmMain::cmdLast_Click()
{
    if (!gStampRs || gStampRs->IsEmpty()) return;
    gStampRs->MoveLast();
    ShowRecord();
}

void frmMain::cmdNext_Click()
{
    if (!gStampRs || gStampRs->IsEmpty()) return;
    StepWithBeep(*gStampRs, true);
    ShowRecord();
}

void frmMain::cmdPrevious_Click()
{
    if (!gStampRs || gStampRs->IsEmpty()) return;
    StepWithBeep(*gStampRs, false);
    ShowRecord();
}

void frmMain::OpenStampRecordset()
{
    gStampRs.reset();
    gStampRs = ListQuery().Open(*gDb);
}

void frmMain::ShowSortOrder()
{
    gSortOrder = ListQuery().MenuOrder();
    for (int i = 1; i <= 3; ++i) mnuSort[i]->setChecked(gSortOrder == i);
    mStampList->ShowOrder();
}

void frmMain::ShowNoStamps()
{
    // The stamp shown may have been deleted with the others the list showed.
    bool stillThere = false;
    if (mShownKey >= 0)
        Guard([this, &stillThere] {
            stillThere = !gDb->OpenSnapshot(QStringLiteral("Select StampID from stamp where StampID = ") +
                                            QString::number(mShownKey))
                              ->IsEmpty();
        });
    if (ListQuery().IsFiltered() && stillThere) {
        DisableFields();
        mStampList->FollowEditor(false);
        return;
    }
    ClearFields();
    DisableFields();
}

void frmMain::mnuSort_Click(int index)
{
    if (index < 1 || index > 3 || !gDb) return;
    ListQuery().SetMenuOrder(index);
    ShowSortOrder();
    OpenStampRecordset();
    if (!gStampRs->IsEmpty()) {
        gStampRs->MoveFirst();
        EnableFields();
        ShowRecord();
    } else {
        ShowNoStamps();
    }
}

void frmMain::OpenListQuery(int fallback)
{
    if (!gDb || IsEditing()) return;
    const qint64 stayOn = mShownKey;
    ShowSortOrder();
    if (!Guard([this] { OpenStampRecordset(); }) || !gStampRs) return;
    if (gStampRs->IsEmpty()) {
        ShowNoStamps();
        return;
    }
    // The editor stays on its stamp where the stamps still hold it.
    int position = stayOn >= 0 ? gStampRs->PositionOf(stayOn) : -1;
    if (position < 0) position = std::clamp(fallback, 0, gStampRs->RecordCount() - 1);
    gStampRs->SetAbsolutePosition(position);
    EnableFields();
    ShowRecord();
}

void frmMain::lstStamps_Choose(int position)
{
    if (!gStampRs || position < 0 || position >= gStampRs->RecordCount()) return;
    if (IsEditing()) {
        prompts().Beep();
        mStampList->FollowEditor(mEditing && mShownKey >= 0);
        return;
    }
    gStampRs->SetAbsolutePosition(position);
    EnableFields();
    ShowRecord();
}

void frmMain::mnuViewChange_Click()
{
    if (IsEditing()) return;
    mStampList->show();
    mStampList->ChangeSelected();
}

void frmMain::cmdFind_Click()
{
    if (!gStampRs) return;
    QString condition;
    // The typed text is quoted, so an apostrophe finds what was typed and no text
    // can change the query.
    switch (gSortOrder) {
    case 2: {
        const QString text = prompts().Input(QStringLiteral("Enter the catalog number to find"),
                                             QStringLiteral("Find Catalog Number"), QString());
        // The stamp's numbers in other catalogues are catalogue numbers too.
        condition =
            QStringLiteral("catnum = '") + SqlQuote(text) + QStringLiteral("' or ") + StampNumberCondition(text);
        break;
    }
    case 3: {
        const QString text =
            prompts().Input(QStringLiteral("Enter the issue date to find"), QStringLiteral("Find Issue Date"), QString());
        const auto date = ParseDate(text);
        if (!date) {
            MsgBox(QStringLiteral("You must enter a valid date."));
            return;
        }
        condition = QStringLiteral("Issued = #%1/%2/%3#").arg(date->month()).arg(date->day()).arg(date->year());
        break;
    }
    default: {
        const QString text = prompts().Input(QStringLiteral("Enter the description to find"),
                                             QStringLiteral("Find description"), QString());
        condition = QStringLiteral("descr like '") + SqlQuote(LikeText(text)) + QStringLiteral("*'");
        break;
    }
    }
    gStampRs->FindFirst(condition);
    if (gStampRs->NoMatch()) {
        MsgBox(QStringLiteral("That record was not found."), MsgButtons::Ok, QStringLiteral("No Records Match"));
        return;
    }
    ShowRecord();
}

// ---------------------------------------------------------------------------
// Add, update, cancel and delete

bool frmMain::ValidateRecord()
{
    if (txtDescr->text().isEmpty()) {
        MsgBox(QStringLiteral("You must enter a description for this stamp or click the Cancel button."));
        txtDescr->setFocus();
        return false;
    }
    // A quantity beyond the 32-bit range cannot be stored: it counts as not a number.
    if (!ParseWholeNumber(txtQuantity->text(), std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max())) {
        MsgBox(QStringLiteral("You must enter number in the quantity field."), MsgButtons::Ok,
               QStringLiteral("Non-numeric Quantity Entered"));
        txtQuantity->setFocus();
        return false;
    }
    if (chkForSale->isChecked() && chkSold->isChecked()) {
        MsgBox(QStringLiteral("A stamp cannot be for sale and sold at the same time."), MsgButtons::Ok,
               QStringLiteral("Sale Status Error"));
        ShowAndFocus(chkForSale);
        return false;
    }
    if (!mNumbersBox->IsValid()) {
        // The box's tab comes to the front, so that its message can show the row.
        for (int i = 0; i < SSTab1->count(); ++i)
            if (SSTab1->widget(i)->isAncestorOf(mNumbersBox)) SSTab1->setCurrentIndex(i);
        return mNumbersBox->Validate();
    }
    return true;
}

void frmMain::ShowAndFocus(QWidget* control)
{
    // A control on a tab that is not showing would take the focus out of sight:
    // its tab comes to the front first.
    for (int i = 0; i < SSTab1->count(); ++i)
        if (SSTab1->widget(i)->isAncestorOf(control)) SSTab1->setCurrentIndex(i);
    control->setFocus();
}

void frmMain::cmdAddNew_Click()
{
    if (!gStampRs) return;
    if (mAdding) {
        // "Add Another": save the record being entered and start the next one.
        if (!ValidateRecord()) return;
        std::unique_ptr<Transaction> together;
        std::unique_ptr<ChangeRecording> recording;
        qint64 id = 0;
        Guard([&] {
            together = std::make_unique<Transaction>(*gDb);
            recording = std::make_unique<ChangeRecording>(*gDb, ChangeKind::Add);
            gStampRs->AddNew();
            id = gStampRs->Field(QStringLiteral("StampID")).toLongLong();
        });
        SaveRecord();
        Guard([&] {
            mImagesTab->Save(id);
            mNumbersBox->Save(id);
            Change added = recording ? recording->Finish() : Change();
            recording.reset();
            if (together) together->Commit();
            TheHistory().Push(std::move(added));
        });
        recording.reset();
        together.reset();
        ClearFields();
        txtDescr->setFocus();
        return;
    }
    mAdding = true;
    Guard([this] {
        if (gStampRs->IsEmpty()) EnableFields();
        else gStampRs->MoveLast();
    });
    EditMode();
    SetAddCaption(true);
    ClearFields();
    txtDescr->setFocus();
}

void frmMain::cmdUpdate_Click()
{
    if (!gStampRs) return;
    if (!ValidateRecord()) return;
    qint64 id = 0;
    // The record and its images are written together, and are one change to undo.
    std::unique_ptr<Transaction> together;
    std::unique_ptr<ChangeRecording> recording;
    Guard([&] {
        together = std::make_unique<Transaction>(*gDb);
        recording = std::make_unique<ChangeRecording>(*gDb, mAdding ? ChangeKind::Add : ChangeKind::Update);
    });
    if (mAdding) {
        Guard([&id] {
            gStampRs->AddNew();
            id = gStampRs->Field(QStringLiteral("StampID")).toLongLong();
        });
        SaveRecord();
        SetAddCaption(false);
    } else {
        Guard([&id] {
            id = gStampRs->Field(QStringLiteral("StampID")).toLongLong();
            gStampRs->Edit();
        });
        SaveRecord();
    }
    Guard([&] {
        mImagesTab->Save(id);
        mNumbersBox->Save(id);
        Change saved = recording ? recording->Finish() : Change();
        recording.reset();
        if (together) together->Commit();
        TheHistory().Push(std::move(saved));
    });
    recording.reset();
    together.reset();
    Guard([this, id] {
        gStampRs->FindFirst(QStringLiteral("StampID = ") + QString::number(id));
        if (gStampRs->NoMatch()) gStampRs->MoveFirst();
        if (!gStampRs->IsEmpty()) ShowRecord();
    });
    BrowseMode();
    mAdding = false;
    mEditing = false;
    UpdateEditMenu();
}

void frmMain::cmdCancel_Click()
{
    if (!gStampRs) return;
    if (!gStampRs->IsEmpty()) {
        gStampRs->CancelUpdate();
        gStampRs->MoveLast();
        ShowRecord();
    } else {
        ClearFields();
        DisableFields();
    }
    BrowseMode();
    SetAddCaption(false);
    mEditing = false;
    mAdding = false;
    UpdateEditMenu();
}

void frmMain::cmdDelete_Click()
{
    if (!gStampRs || gStampRs->IsEmpty()) return;
    if (MsgBox(QStringLiteral("Are you sure that you want to delete this stamp record?"), MsgButtons::YesNo,
               QStringLiteral("Delete Stamp")) != MsgAnswer::Yes)
        return;
    // The stamp goes into the trash, from where it can come back: its row is kept
    // there first, then the recordset deletes it, all as one change to undo.
    std::optional<Change> deleted;
    RetryWrite([&deleted] {
        Transaction together(*gDb);
        ChangeRecording recording(*gDb, ChangeKind::Delete);
        CopyStampsToTrash(*gDb, {gStampRs->Field(QStringLiteral("StampID")).toLongLong()},
                          QDateTime::currentDateTime());
        gStampRs->Delete();
        Change change = recording.Finish();
        together.Commit();
        deleted = std::move(change);
    });
    if (deleted) TheHistory().Push(std::move(*deleted));
    Guard([] { gDb->Idle(); });
    Guard([this] {
        gStampRs->MoveNext();
        if (gStampRs->IsEmpty()) {
            ClearFields();
            DisableFields();
            return;
        }
        if (gStampRs->Eof()) gStampRs->MovePrevious();
        ShowRecord();
    });
}

// ---------------------------------------------------------------------------
// Field entry rules

namespace {

bool PassesThroughTheList(const QKeyEvent& press)
{
    // A key that moves the focus on, opens a menu or help, or is only held for
    // another key chooses nothing: tabbing through the lists, or Alt+M for the
    // Maintain menu, must not put a stamp into edit mode (which disables that
    // very menu).
    if (press.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return true;
    switch (press.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return press.key() >= Qt::Key_F1 && press.key() <= Qt::Key_F35;
    }
}

}  // namespace

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* widget = qobject_cast<QWidget*>(watched);
    // While the collector browses, the undo and redo keys are the Edit menu's;
    // while an edit is under way they are the box's own.
    if (event->type() == QEvent::ShortcutOverride && !IsEditing() && IsHistoryKey(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::FocusIn) {
        if (widget == txtTotalPaid || widget == txtTotalVal || widget == txtTotalSales) {
            RefuseFocus(widget);
        } else if (widget == txtFace || widget == txtYear || widget == txtQuantity || widget == txtPricePaid ||
                   widget == txtCatValue || widget == txtPriceAsk) {
            // Selected on entry, so that typing replaces the value. Deferred past
            // the click that may have brought the focus.
            auto* box = static_cast<QLineEdit*>(widget);
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving for another window or a popup is not leaving the box; nor is the
        // focus taken back by a failed check.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !mChecking) {
            if (widget == txtFace) txtFace_LostFocus();
            else if (widget == txtYear) txtYear_LostFocus();
            else if (widget == txtQuantity) txtQuantity_LostFocus();
            else if (widget == txtPricePaid) txtPricePaid_LostFocus();
            else if (widget == txtCatValue) txtCatValue_LostFocus();
            else if (widget == txtPriceAsk) txtPriceAsk_LostFocus();
            else if (widget == dcIssued->lineEdit() || widget == dcIssued) dcIssued_LostFocus();
            else if (widget == dcPurchased->lineEdit() || widget == dcPurchased) dcPurchased_LostFocus();
            else if (widget == dcDateSold->lineEdit() || widget == dcDateSold) dcDateSold_LostFocus();
        }
    } else if (event->type() == QEvent::KeyPress) {
        auto* list = qobject_cast<QComboBox*>(watched);
        if (list && !qobject_cast<DateBox*>(watched)) {
            const auto* press = static_cast<QKeyEvent*>(event);
            const int key = press->key();
            if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
                list->setCurrentIndex(-1);
                BeginEdit();
                return true;
            }
            if (!PassesThroughTheList(*press)) BeginEdit();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::RefuseFocus(QWidget* box)
{
    QWidget* next = box == txtTotalPaid ? static_cast<QWidget*>(cmbCon)
                    : box == txtTotalVal ? static_cast<QWidget*>(chkForSale)
                                         : static_cast<QWidget*>(dcDateSold);
    next->setFocus(Qt::OtherFocusReason);
}

namespace {

// Shows a failed check's message and takes the focus back into the box, without
// the boxes that lose the focus meanwhile running their own checks.
void Refuse(bool& checking, QWidget* box, const QString& text, MsgIcon icon)
{
    checking = true;
    MsgBox(text, MsgButtons::Ok, QString(), icon);
    box->setFocus(Qt::OtherFocusReason);
    checking = false;
}

}  // namespace

namespace {

std::optional<qint32> QuantityOf(const QLineEdit* box)
{
    return ParseWholeNumber(box->text(), std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
}

// A price box whose total at this quantity would be too large to keep.
bool TotalTooLarge(const QLineEdit* price, qint32 quantity)
{
    const auto each = ParseCurrency(price->text());
    return each && !LineTotal(*each, quantity);
}

}  // namespace

void frmMain::RecomputeTotal(QLineEdit* price, QLineEdit* total)
{
    const auto each = ParseCurrency(price->text());
    if (!each) return;
    // A quantity that is not a number leaves no total to show; the entry rules
    // refuse a price or quantity whose total does not fit before it gets here.
    const auto quantity = QuantityOf(txtQuantity);
    const auto product = quantity ? LineTotal(*each, *quantity) : std::nullopt;
    total->setText(product ? FormatCurrency(*product) : QString());
}

void frmMain::MoneyBoxLeft(QLineEdit* price, QLineEdit* total)
{
    if (price->text().isEmpty()) {
        total->clear();
        return;
    }
    const auto value = ParseCurrency(price->text());
    const auto quantity = QuantityOf(txtQuantity);
    // A price whose total would be too large to keep is no number either.
    if (!value || (quantity && TotalTooLarge(price, *quantity))) {
        Refuse(mChecking, price, QStringLiteral("You must enter a valid number or leave the field blank"), MsgIcon::None);
        return;
    }
    RecomputeTotal(price, total);
    price->setText(FormatCurrency(*value));
}

void frmMain::txtPricePaid_LostFocus() { MoneyBoxLeft(txtPricePaid, txtTotalPaid); }

void frmMain::txtCatValue_LostFocus() { MoneyBoxLeft(txtCatValue, txtTotalVal); }

void frmMain::txtPriceAsk_LostFocus() { MoneyBoxLeft(txtPriceAsk, txtTotalSales); }

void frmMain::txtFace_LostFocus()
{
    if (txtFace->text().trimmed().isEmpty()) return;
    const auto value = ParseCurrency(txtFace->text());
    if (!value) {
        Refuse(mChecking, txtFace, QStringLiteral("You must enter a number in the 'Face Value' field, or leave it blank"),
               MsgIcon::Stop);
        return;
    }
    txtFace->setText(FormatCurrency(*value));
}

void frmMain::txtYear_LostFocus()
{
    if (txtYear->text().trimmed().isEmpty()) return;
    // A year beyond the field's range cannot be stored: it counts as not a number.
    if (!ParseWholeNumber(txtYear->text(), std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()))
        Refuse(mChecking, txtYear, QStringLiteral("You must enter a number in the Year field, or leave it blank"),
               MsgIcon::Stop);
}

void frmMain::txtQuantity_LostFocus()
{
    // A quantity that would make a total too large to keep is no number either.
    const auto quantity = QuantityOf(txtQuantity);
    if (!quantity || TotalTooLarge(txtPricePaid, *quantity) || TotalTooLarge(txtCatValue, *quantity) ||
        TotalTooLarge(txtPriceAsk, *quantity)) {
        Refuse(mChecking, txtQuantity, QStringLiteral("You must enter a number in the Quantity field"), MsgIcon::Stop);
        return;
    }
    RecomputeTotal(txtPricePaid, txtTotalPaid);
    RecomputeTotal(txtCatValue, txtTotalVal);
    RecomputeTotal(txtPriceAsk, txtTotalSales);
}

void frmMain::DateBoxLeft(DateBox* box, const QString& message)
{
    if (!box->Text().isEmpty() && !IsDate(box->Text())) Refuse(mChecking, box, message, MsgIcon::None);
}

void frmMain::dcIssued_LostFocus()
{
    DateBoxLeft(dcIssued, QStringLiteral("You must enter a valid issue date, or leave the field blank."));
}

void frmMain::dcPurchased_LostFocus()
{
    DateBoxLeft(dcPurchased, QStringLiteral("You must enter a valid purchase date, or leave the field blank."));
}

void frmMain::dcDateSold_LostFocus()
{
    DateBoxLeft(dcDateSold, QStringLiteral("You must enter a valid sold date, or leave the field blank."));
}

void frmMain::OpenPicker(DateBox* box, const QString& caption, int align)
{
    BeginEdit();
    gPickDate = ParseDate(box->Text()).value_or(QDate::currentDate());
    PickRequest request;
    request.caption = caption;
    request.anchor = QRect(box->mapToGlobal(QPoint(0, 0)), box->size());
    request.align = static_cast<PickRequest::Align>(align);
    prompts().PickDate(request);
    box->SetText(FormatShortDate(gPickDate));
    // On to the next control, as the Tab key would go.
    box->setFocus(Qt::OtherFocusReason);
    focusNextChild();
}

void frmMain::dcIssued_DropDown()
{
    OpenPicker(dcIssued, QStringLiteral("Select Issue Date"), static_cast<int>(PickRequest::Align::RightEdges));
}

void frmMain::dcPurchased_DropDown()
{
    OpenPicker(dcPurchased, QStringLiteral("Select Purchase Date"), static_cast<int>(PickRequest::Align::LeftBelow));
}

void frmMain::dcDateSold_DropDown()
{
    OpenPicker(dcDateSold, QStringLiteral("Select Sold Date"), static_cast<int>(PickRequest::Align::LeftBelow));
}

void frmMain::chkSold_Click()
{
    BeginEdit();
    if (chkSold->isChecked() && chkForSale->isChecked()) chkForSale->setChecked(false);
}

void frmMain::chkWantList_Click()
{
    BeginEdit();
    lblPrice->setText(chkWantList->isChecked() ? QStringLiteral("Will Pay") : QStringLiteral("Price Paid"));
}

// ---------------------------------------------------------------------------
// Menus whose windows live in other parts of the program

void frmMain::mnuMaint_Click(int index) { OpenCodesMaint(index); }

void frmMain::mnuRptOut_Click(int index)
{
    gRptTarget = index;
    for (int i = 1; i <= 3; ++i) mnuRptOut[i]->setChecked(i == index);
}

void frmMain::mnuRpt_Click(int index)
{
    static const int kCategory[] = {0, 3, 9, 4, 8};
    if (index < 1 || index > 4) return;
    gRptCategory = kCategory[index];
    CategoryReport();
}

void frmMain::mnuRptValue_Click() { ValueReport(); }

void frmMain::mnuRptWant_Click() { WantListReport(); }

void frmMain::mnuRptSold_Click() { SalesReport(); }

void frmMain::mnuRptStats_Click()
{
    OpenCollectionStats();
    // A click on a country's bar shows that country's stamps in the list.
    if (frmStats* stats = frmStats::Instance())
        connect(stats, &frmStats::CountryChosen, mStampList, &StampListDock::ShowCountry, Qt::UniqueConnection);
}

void frmMain::mnuRptCustom_Click() { OpenCustomReports(); }

bool frmMain::CloseWindowsOnTheCatalogue()
{
    // The code table window keeps a recordset on the catalogue; it must close
    // before the file does, but never by dropping a change the collector made.
    frmCodesMaint* codes = frmCodesMaint::Instance();
    if (!codes) return true;
    if (codes->AskToFinishTheChange()) return false;
    codes->cmdOk_Click();
    return true;
}

void frmMain::mnuBackup_Click()
{
    if (IsEditing() || !CloseWindowsOnTheCatalogue()) return;
    UnloadForReopen();
    ShowBackupWindow();
    ReloadAfterReopen();
}

void frmMain::mnuPack_Click()
{
    if (IsEditing() || !AskToCompact()) return;
    if (!CloseWindowsOnTheCatalogue()) return;
    BackUpBeforeChange();
    prompts().Busy(true);
    UnloadForReopen();
    PackCatalogue();
    ReloadAfterReopen();
    prompts().Busy(false);
}

void frmMain::mnuRestoreBackup_Click()
{
    if (IsEditing() || !gDb || !gDb->IsOpen()) return;
    const QString catalogue = gDb->Path();
    const std::optional<AutomaticBackup> chosen = ChooseAutomaticBackup(AutomaticBackups(catalogue), this);
    if (!chosen || !CloseWindowsOnTheCatalogue()) return;
    // Nothing is replaced without a copy of the catalogue as it is now.
    QString problem;
    if (!mBackups->MakeNow(*gDb, &problem)) {
        MsgBox(QStringLiteral("The catalogue as it is now could not be backed up, so the automatic backup has not "
                              "been restored.\n\n") +
               problem);
        return;
    }
    prompts().Busy(true);
    UnloadForReopen();
    QString why;
    const bool restored = RestoreAutomaticBackup(*chosen, catalogue, &why);
    ReloadAfterReopen();
    prompts().Busy(false);
    if (!restored)
        MsgBox(QStringLiteral("The automatic backup could not be restored.  The catalogue has not been changed.\n\n") +
               why);
}

// ---------------------------------------------------------------------------
// The Edit menu: undo, redo and the trash

void frmMain::UpdateEditMenu()
{
    if (!mnuUndo) return;
    const History& history = TheHistory();
    const bool browsing = !IsEditing() && gDb && gDb->IsOpen();
    mnuUndo->setText(UndoMenuText(history.UndoName()));
    mnuRedo->setText(RedoMenuText(history.RedoName()));
    mnuUndo->setEnabled(browsing && history.CanUndo());
    mnuRedo->setEnabled(browsing && history.CanRedo());
    mnuDeletedStamps->setEnabled(browsing);
}

void frmMain::mnuUndo_Click()
{
    if (IsEditing() || !gDb || !TheHistory().CanUndo()) return;
    // An entry being typed in the code table window is finished first.
    if (frmCodesMaint* codes = frmCodesMaint::Instance(); codes && codes->AskToFinishTheChange()) return;
    prompts().Busy(true);
    const HistoryStep step = TheHistory().Undo(*gDb);
    prompts().Busy(false);
    AfterHistoryStep(step);
}

void frmMain::mnuRedo_Click()
{
    if (IsEditing() || !gDb || !TheHistory().CanRedo()) return;
    if (frmCodesMaint* codes = frmCodesMaint::Instance(); codes && codes->AskToFinishTheChange()) return;
    prompts().Busy(true);
    const HistoryStep step = TheHistory().Redo(*gDb);
    prompts().Busy(false);
    AfterHistoryStep(step);
}

void frmMain::AfterHistoryStep(const HistoryStep& step)
{
    if (!step.problem.isEmpty()) MsgBox(step.problem);
    if (step.done) {
        for (int table : step.codeTables) CodeChangedFlag(table) = true;
        if (frmCodesMaint* codes = frmCodesMaint::Instance(); codes && step.codeTables.contains(codes->Table()))
            codes->Reload(codes->Table());
        if (!step.stamps.isEmpty())
            ShowStampsAgain(step.focusStamp);
        else
            Form_Activate();
    }
    UpdateEditMenu();
}

void frmMain::ShowStampsAgain(qint64 stamp)
{
    if (!gDb || !gDb->IsOpen() || IsEditing()) return;
    // The stamps of the list's query opened anew, on the stamp concerned where
    // the query holds it, else on the stamp shown so far, else near its place.
    OpenListQuery(gStampRs ? std::max(0, gStampRs->AbsolutePosition()) : 0);
    if (stamp > 0 && gStampRs && !gStampRs->IsEmpty())
        Guard([stamp, this] {
            const int position = gStampRs->PositionOf(stamp);
            if (position < 0 || position == gStampRs->AbsolutePosition()) return;
            gStampRs->SetAbsolutePosition(position);
            ShowRecord();
        });
    Form_Activate();
}

void frmMain::mnuDeletedStamps_Click()
{
    if (IsEditing() || !gDb || !gDb->IsOpen()) return;
    const DeletedStampsResult result = ShowDeletedStamps(this);
    if (!result.restored.isEmpty()) ShowStampsAgain(result.restored.first());
    UpdateEditMenu();
}

// ---------------------------------------------------------------------------
// Automatic backups

void frmMain::BackUpAtStart()
{
    if (gDb) mBackups->AtStart(*gDb);
}

void frmMain::BackUpBeforeChange()
{
    if (gDb) mBackups->MakeIfDue(*gDb);
}

void frmMain::mnuExport_Click()
{
    if (IsEditing() || !gDb || !gStampRs) return;
    // The stamps in the order the main window shows them; only those the stamp
    // list shows when the collector says so.
    const StampQuery& shown = ListQuery();
    ExportSelection selection{QString(), shown.OrderBy()};
    if (shown.IsFiltered() &&
        MsgBox(QStringLiteral("The stamp list shows %1 of the stamps.  Export only the stamps the list shows?\n\n"
                              "Choose No to export every stamp.")
                   .arg(QLocale().toString(gStampRs->RecordCount())),
               MsgButtons::YesNo, QStringLiteral("Export to CSV")) == MsgAnswer::Yes)
        selection.where = shown.Where();
    ExportToCsv(*gDb, selection);
}

void frmMain::mnuImport_Click()
{
    if (IsEditing() || !gDb || !CloseWindowsOnTheCatalogue()) return;
    if (frmImport* window = OpenImportWindow(this)) {
        connect(window, &frmImport::AboutToImport, this, &frmMain::BackUpBeforeChange);
        connect(window, &frmImport::Imported, this, &frmMain::ReloadCatalogue);
    }
}

void frmMain::ReloadCatalogue()
{
    if (!gDb) return;
    for (int table = 1; table <= kCatalogueList; ++table) CodeChangedFlag(table) = true;
    mnuSort_Click(gSortOrder);
    if (gStampRs && !gStampRs->IsEmpty()) EnableFields();
    Form_Activate();
}

void frmMain::cmdHelp_Click() { prompts().Help(1, 0); }

void frmMain::mnuHelp_Click(int index)
{
    static const int kCommand[] = {0, 1, 0x105, 4};
    if (index >= 1 && index <= 3) prompts().Help(kCommand[index], 0);
}

void frmMain::mnuAbout_Click() { ShowAbout(); }
