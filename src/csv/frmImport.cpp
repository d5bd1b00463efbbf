#include "csv/frmImport.h"

#include "db/Database.h"
#include "db/ErrorHandler.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "help/HelpContext.h"
#include "history/ChangeCapture.h"
#include "history/History.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

frmImport* sInstance = nullptr;

const QString kTitle = QStringLiteral("Import from CSV");
const QString kFileFilter = QStringLiteral("CSV Files (*.csv)|*.csv|Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
constexpr int kHelp = 74;
// Refused rows listed in the window; the rest are counted.
constexpr int kRefusedShown = 200;

template <typename T>
T* Named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QLabel* Caption(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

void SelectData(QComboBox* list, int value)
{
    const int index = list->findData(value);
    list->setCurrentIndex(index >= 0 ? index : 0);
}

QString Number(qint64 n)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(n);
}

}  // namespace

frmImport* frmImport::Instance()
{
    return sInstance;
}

frmImport::frmImport(QWidget* parent) : QDialog(parent)
{
    sInstance = this;
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(kTitle);
    SetHelpContext(this, kHelp);
    BuildControls();
    resize(900, 640);
}

frmImport::~frmImport()
{
    if (sInstance == this) sInstance = nullptr;
}

void frmImport::BuildControls()
{
    auto* outer = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    txtFile = Named(new QLineEdit, QStringLiteral("txtFile"));
    txtFile->setReadOnly(true);
    cmdChooseFile = Named(new QPushButton(QStringLiteral("Choose &File...")), QStringLiteral("cmdChooseFile"));
    fileRow->addWidget(Caption(QStringLiteral("File:"), txtFile));
    fileRow->addWidget(txtFile, 1);
    fileRow->addWidget(cmdChooseFile);
    outer->addLayout(fileRow);

    auto* reading = new QGroupBox(QStringLiteral("How the file is written"));
    reading->setObjectName(QStringLiteral("fraReading"));
    auto* grid = new QGridLayout(reading);
    cmbEncoding = Named(new QComboBox, QStringLiteral("cmbEncoding"));
    for (const CsvEncoding e :
         {CsvEncoding::Utf8, CsvEncoding::Utf16LE, CsvEncoding::Utf16BE, CsvEncoding::Windows1252})
        cmbEncoding->addItem(EncodingName(e), int(e));
    cmbSeparator = Named(new QComboBox, QStringLiteral("cmbSeparator"));
    for (const char16_t s : kCsvSeparators) {
        QString name = SeparatorName(QChar(s));
        name[0] = name[0].toUpper();
        cmbSeparator->addItem(name, int(s));
    }
    chkHeader = Named(new QCheckBox(QStringLiteral("First row holds column &names")), QStringLiteral("chkHeader"));
    cmbDecimal = Named(new QComboBox, QStringLiteral("cmbDecimal"));
    for (const DecimalMark m : {DecimalMark::Point, DecimalMark::Comma})
        cmbDecimal->addItem(DecimalMarkName(m), int(m));
    cmbDates = Named(new QComboBox, QStringLiteral("cmbDates"));
    for (const DateOrder o : {DateOrder::Ymd, DateOrder::Dmy, DateOrder::Mdy})
        cmbDates->addItem(DateOrderName(o), int(o));
    cmbYesNo = Named(new QComboBox, QStringLiteral("cmbYesNo"));
    for (const YesNoStyle y : {YesNoStyle::YesNo, YesNoStyle::TrueFalse, YesNoStyle::OneZero, YesNoStyle::Mark})
        cmbYesNo->addItem(YesNoStyleName(y), int(y));
    grid->addWidget(Caption(QStringLiteral("&Encoding:"), cmbEncoding), 0, 0);
    grid->addWidget(cmbEncoding, 0, 1);
    grid->addWidget(Caption(QStringLiteral("Se&parator:"), cmbSeparator), 0, 2);
    grid->addWidget(cmbSeparator, 0, 3);
    grid->addWidget(chkHeader, 0, 4, 1, 2);
    grid->addWidget(Caption(QStringLiteral("Decimal &mark:"), cmbDecimal), 1, 0);
    grid->addWidget(cmbDecimal, 1, 1);
    grid->addWidget(Caption(QStringLiteral("Da&tes:"), cmbDates), 1, 2);
    grid->addWidget(cmbDates, 1, 3);
    grid->addWidget(Caption(QStringLiteral("Yes/N&o values:"), cmbYesNo), 1, 4);
    grid->addWidget(cmbYesNo, 1, 5);
    outer->addWidget(reading);

    tblPreview = Named(new QTableWidget, QStringLiteral("tblPreview"));
    tblPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPreview->setSelectionMode(QAbstractItemView::NoSelection);
    outer->addWidget(Caption(
        QStringLiteral("The first &rows of the file. Choose the field each column fills, or (ignore):"), tblPreview));
    outer->addWidget(tblPreview, 1);

    auto* duplicates = new QGroupBox(QStringLiteral(
        "A row whose description and catalogue number (and country, when a column gives it) match a stamp "
        "in the catalogue"));
    duplicates->setObjectName(QStringLiteral("fraDuplicates"));
    auto* choices = new QHBoxLayout(duplicates);
    optSkip = Named(new QRadioButton(QStringLiteral("&Skip it")), QStringLiteral("optSkip"));
    optUpdate = Named(new QRadioButton(QStringLiteral("&Update the stamp from it")), QStringLiteral("optUpdate"));
    optAdd = Named(new QRadioButton(QStringLiteral("&Add it as a new stamp")), QStringLiteral("optAdd"));
    optSkip->setChecked(true);
    choices->addWidget(optSkip);
    choices->addWidget(optUpdate);
    choices->addWidget(optAdd);
    choices->addStretch(1);
    outer->addWidget(duplicates);

    txtPlan = Named(new QPlainTextEdit, QStringLiteral("txtPlan"));
    txtPlan->setReadOnly(true);
    txtPlan->setMaximumHeight(150);
    outer->addWidget(Caption(QStringLiteral("What the import will do:"), txtPlan));
    outer->addWidget(txtPlan);

    auto* buttons = new QHBoxLayout;
    cmdHelp = Named(new QPushButton(QStringLiteral("&Help")), QStringLiteral("cmdHelp"));
    cmdImport = Named(new QPushButton(QStringLiteral("&Import")), QStringLiteral("cmdImport"));
    cmdCancel = Named(new QPushButton(QStringLiteral("Cancel")), QStringLiteral("cmdCancel"));
    cmdImport->setEnabled(false);
    cmdImport->setDefault(true);
    buttons->addWidget(cmdHelp);
    buttons->addStretch(1);
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdCancel);
    outer->addLayout(buttons);

    connect(cmdChooseFile, &QPushButton::clicked, this, &frmImport::cmdChooseFile_Click);
    connect(cmdImport, &QPushButton::clicked, this, &frmImport::cmdImport_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp, &QPushButton::clicked, this, &frmImport::cmdHelp_Click);
    for (QComboBox* list : {cmbEncoding, cmbSeparator})
        connect(list, &QComboBox::currentIndexChanged, this, &frmImport::Reading_Change);
    connect(chkHeader, &QCheckBox::toggled, this, &frmImport::Reading_Change);
    for (QComboBox* list : {cmbDecimal, cmbDates, cmbYesNo})
        connect(list, &QComboBox::currentIndexChanged, this, &frmImport::Values_Change);
    for (QRadioButton* option : {optSkip, optUpdate, optAdd})
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on) Values_Change();
        });
}

QComboBox* frmImport::FieldList(int column) const
{
    return column >= 0 && column < int(mFieldLists.size()) ? mFieldLists[size_t(column)] : nullptr;
}

bool frmImport::LoadFile(const QString& path)
{
    mCatalogues.clear();
    if (gDb) Guard([this] { mCatalogues = LoadCatalogues(*gDb); });
    const CsvPreview preview = InspectCsvFile(path, mCatalogues);
    if (!preview.Ok()) {
        MsgBox(preview.sniff.Ok() ? preview.error : preview.sniff.message, MsgButtons::Ok, kTitle);
        return false;
    }
    mPath = path;
    mPreview = preview;
    const DuplicateChoice duplicates = mSettings.duplicates;
    mSettings = preview.settings;
    mSettings.duplicates = duplicates;
    txtFile->setText(path);
    ShowSettings();
    ShowPreview();
    UpdatePlan();
    return true;
}

void frmImport::ShowSettings()
{
    mFilling = true;
    SelectData(cmbEncoding, int(mSettings.encoding));
    SelectData(cmbSeparator, int(mSettings.separator.unicode()));
    chkHeader->setChecked(mSettings.header);
    SelectData(cmbDecimal, int(mSettings.values.decimal));
    SelectData(cmbDates, int(mSettings.values.dates));
    SelectData(cmbYesNo, int(mSettings.values.yesNo));
    optSkip->setChecked(mSettings.duplicates == DuplicateChoice::Skip);
    optUpdate->setChecked(mSettings.duplicates == DuplicateChoice::Update);
    optAdd->setChecked(mSettings.duplicates == DuplicateChoice::Add);
    mFilling = false;
}

void frmImport::ShowPreview()
{
    mFilling = true;
    const int columns = int(mPreview.columns);
    tblPreview->clear();
    tblPreview->setColumnCount(columns);
    tblPreview->setRowCount(int(mPreview.records.size()) + 1);
    mFieldLists.clear();
    QStringList headings;
    for (int column = 0; column < columns; ++column) headings << mPreview.ColumnName(column);
    tblPreview->setHorizontalHeaderLabels(headings);
    QStringList lines{QStringLiteral("Field")};
    for (const CsvRecord& record : mPreview.records) lines << Number(record.line);
    tblPreview->setVerticalHeaderLabels(lines);

    const auto& fields = StampFields();
    const std::vector<QString> catalogueHeadings = CatalogueHeadings(mCatalogues);
    for (int column = 0; column < columns; ++column) {
        auto* list = Named(new QComboBox, QStringLiteral("cmbField_%1").arg(column + 1));
        list->addItem(QStringLiteral("(ignore)"), Fld::Ignore);
        // The totals are computed from the prices and the quantity, never read.
        for (int field = 0; field < Fld::Count; ++field)
            if (fields[size_t(field)].kind != FieldKind::Total) list->addItem(fields[size_t(field)].caption, field);
        // Then the stamp's numbers in other catalogues.
        list->addItem(MappingName(Fld::CatalogCodes, mCatalogues), Fld::CatalogCodes);
        for (size_t i = 0; i < mCatalogues.size(); ++i)
            if (FieldOfCatalogue(mCatalogues[i].id) != Fld::Ignore)
                list->addItem(catalogueHeadings[i], FieldOfCatalogue(mCatalogues[i].id));
        const QString heading = mPreview.ColumnName(column);
        if (!NewCatalogueOfHeading(heading, mCatalogues).isEmpty())
            list->addItem(MappingName(Fld::NewCatalogue, mCatalogues, heading), Fld::NewCatalogue);
        SelectData(list, mSettings.FieldOf(column));
        SetHelpContext(list, kHelp);
        connect(list, &QComboBox::currentIndexChanged, this, [this, column] { Field_Change(column); });
        tblPreview->setCellWidget(0, column, list);
        mFieldLists.push_back(list);
    }
    for (size_t row = 0; row < mPreview.records.size(); ++row) {
        const CsvRecord& record = mPreview.records[row];
        for (int column = 0; column < columns && column < record.fields.size(); ++column) {
            QString text = record.fields.at(column);
            text.replace(u'\r', u' ').replace(u'\n', u' ');
            tblPreview->setItem(int(row) + 1, column, new QTableWidgetItem(text.left(200)));
        }
    }
    tblPreview->resizeColumnsToContents();
    mFilling = false;
}

void frmImport::Reading_Change()
{
    if (mFilling || mPath.isEmpty()) return;
    mSettings.encoding = CsvEncoding(cmbEncoding->currentData().toInt());
    mSettings.separator = QChar(char16_t(cmbSeparator->currentData().toInt()));
    mSettings.header = chkHeader->isChecked();
    CsvPreview preview = ReadCsvPreview(mPath, mSettings, false, mCatalogues);
    if (!preview.Ok()) {
        MsgBox(preview.error, MsgButtons::Ok, kTitle);
        return;
    }
    // Other columns: each is matched afresh by its heading.
    mSettings.mapping = mSettings.header ? GuessMapping(preview.headings, mCatalogues) : std::vector<int>();
    mSettings.mapping.resize(size_t(preview.columns), Fld::Ignore);
    preview.settings = mSettings;
    mPreview = std::move(preview);
    ShowPreview();
    UpdatePlan();
}

void frmImport::Values_Change()
{
    if (mFilling) return;
    mSettings.values.decimal = DecimalMark(cmbDecimal->currentData().toInt());
    mSettings.values.dates = DateOrder(cmbDates->currentData().toInt());
    mSettings.values.yesNo = YesNoStyle(cmbYesNo->currentData().toInt());
    mSettings.duplicates = optUpdate->isChecked() ? DuplicateChoice::Update
                           : optAdd->isChecked()  ? DuplicateChoice::Add
                                                  : DuplicateChoice::Skip;
    if (!mPath.isEmpty()) UpdatePlan();
}

void frmImport::Field_Change(int column)
{
    if (mFilling || column >= int(mFieldLists.size())) return;
    const int field = mFieldLists[size_t(column)]->currentData().toInt();
    mSettings.mapping.resize(std::max(mSettings.mapping.size(), mFieldLists.size()), Fld::Ignore);
    // A field fills from one column: the column that had it lets it go.
    mFilling = true;
    for (size_t other = 0; other < mSettings.mapping.size(); ++other) {
        // Each column of a new catalogue names its own.
        if (int(other) == column || field == Fld::Ignore || field == Fld::NewCatalogue ||
            mSettings.mapping[other] != field)
            continue;
        mSettings.mapping[other] = Fld::Ignore;
        if (other < mFieldLists.size()) SelectData(mFieldLists[other], Fld::Ignore);
    }
    mFilling = false;
    mSettings.mapping[size_t(column)] = field;
    UpdatePlan();
}

void frmImport::UpdatePlan()
{
    mPlan = ImportPlan();
    if (!Guard([this] { mPlan = MakeImportPlan(*gDb, mPath, mSettings); })) {
        txtPlan->clear();
        cmdImport->setEnabled(false);
        return;
    }
    txtPlan->setPlainText(mPlan.Description(kRefusedShown));
    cmdImport->setEnabled(mPlan.CanImport());
}

void frmImport::cmdChooseFile_Click()
{
    const std::optional<QString> chosen = OpenFile(kTitle, kFileFilter);
    if (chosen && !chosen->isEmpty()) LoadFile(*chosen);
}

void frmImport::cmdImport_Click()
{
    if (!mPlan.CanImport() || !gDb) return;
    if (mPlan.counts.refused > 0) {
        const qint64 rest = mPlan.counts.added + mPlan.counts.updated;
        const QString question =
            (mPlan.counts.refused == 1
                 ? QStringLiteral("1 row cannot be read and will be left out.")
                 : QStringLiteral("%1 rows cannot be read and will be left out.").arg(Number(mPlan.counts.refused))) +
            (rest == 1 ? QStringLiteral("  Import the other row?")
                       : QStringLiteral("  Import the other %1 rows?").arg(Number(rest)));
        if (MsgBox(question, MsgButtons::YesNo, kTitle) != MsgAnswer::Yes) return;
    }
    // The automatic backup, when one is due, comes before the first write.
    Q_EMIT AboutToImport();
    bool done = false;
    std::optional<Change> recorded;
    RetryWrite([this, &done, &recorded] {
        // The stamps added and updated and the list entries added are one change
        // that Edit > Undo takes back.
        ChangeRecording recording(*gDb, ChangeKind::Import);
        mResult = RunImport(*gDb, mPlan);
        recorded = recording.Finish();
        done = true;
    });
    if (!done) return;
    if (recorded && !mResult.cancelled) TheHistory().Push(std::move(*recorded));
    if (mResult.cancelled) {
        MsgBox(QStringLiteral("The import was cancelled.  The catalogue is as it was."), MsgButtons::Ok, kTitle);
        return;
    }
    // The rows are in the catalogue now; the main window reads them again.
    mPlan = ImportPlan();
    Q_EMIT Imported();
    MsgBox(ImportSummary(mResult.counts) + u'.', MsgButtons::Ok, kTitle);
    accept();
}

void frmImport::cmdHelp_Click()
{
    prompts().Help(1, kHelp);
}

frmImport* OpenImportWindow(QWidget* parent)
{
    const std::optional<QString> chosen = OpenFile(kTitle, kFileFilter);
    if (!chosen || chosen->isEmpty()) return nullptr;
    auto* window = new frmImport(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    if (!window->LoadFile(*chosen)) {
        delete window;
        return nullptr;
    }
    window->show();
    return window;
}
