#include "numbers/NumbersBox.h"

#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/ErrorHandler.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "help/HelpContext.h"
#include "search/Collation.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

namespace {

constexpr int kHelp = 251;

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    SetHelpContext(widget, kHelp);
    return widget;
}

QLabel* Caption(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

enum Column { CatalogueColumn, NumberColumn, ValueColumn, NoteColumn, ColumnCount };

}  // namespace

NumbersBox::NumbersBox(QWidget* parent) : QGroupBox(QStringLiteral("Numbers in Other Catalogues"), parent)
{
    setObjectName(QStringLiteral("fraNumbers"));
    SetHelpContext(this, kHelp);

    grdNumbers = Named(new QTableWidget(0, ColumnCount), "grdNumbers");
    grdNumbers->setHorizontalHeaderLabels(
        {QStringLiteral("Catalogue"), QStringLiteral("Number"), QStringLiteral("Value"), QStringLiteral("Note")});
    grdNumbers->verticalHeader()->hide();
    grdNumbers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdNumbers->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdNumbers->setSelectionMode(QAbstractItemView::SingleSelection);
    grdNumbers->setTabKeyNavigation(false);
    grdNumbers->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grdNumbers->horizontalHeader()->setStretchLastSection(true);
    grdNumbers->setColumnWidth(CatalogueColumn, 150);
    grdNumbers->setColumnWidth(NumberColumn, 110);
    grdNumbers->setColumnWidth(ValueColumn, 90);
    grdNumbers->verticalHeader()->setDefaultSectionSize(grdNumbers->fontMetrics().height() + 6);
    grdNumbers->setMinimumHeight(grdNumbers->horizontalHeader()->sizeHint().height() +
                                 3 * grdNumbers->verticalHeader()->defaultSectionSize() + 4);

    cmdAddNumber = Named(new QPushButton(QStringLiteral("Ne&w Number")), "cmdAddNumber");
    cmdRemoveNumber = Named(new QPushButton(QStringLiteral("Remo&ve Number")), "cmdRemoveNumber");
    cmbNumCatalog = Named(new QComboBox, "cmbNumCatalog");
    txtNumber = Named(new QLineEdit, "txtNumber");
    txtNumber->setMaxLength(kNumberLength);
    txtNumValue = Named(new QLineEdit, "txtNumValue");
    txtNumNote = Named(new QLineEdit, "txtNumNote");
    txtNumNote->setMaxLength(kNumberNoteLength);
    txtNumValue->installEventFilter(this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(grdNumbers, 0, 0, 2, 8);
    grid->addWidget(cmdAddNumber, 0, 8);
    grid->addWidget(cmdRemoveNumber, 1, 8, Qt::AlignTop);
    grid->addWidget(Caption(QStringLiteral("Catalo&gue"), cmbNumCatalog), 2, 0);
    grid->addWidget(cmbNumCatalog, 2, 1);
    grid->addWidget(Caption(QStringLiteral("Num&ber"), txtNumber), 2, 2);
    grid->addWidget(txtNumber, 2, 3);
    grid->addWidget(Caption(QStringLiteral("Valu&e"), txtNumValue), 2, 4);
    grid->addWidget(txtNumValue, 2, 5);
    grid->addWidget(Caption(QStringLiteral("N&ote"), txtNumNote), 2, 6);
    grid->addWidget(txtNumNote, 2, 7, 1, 2);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 2);
    grid->setColumnStretch(5, 1);
    grid->setColumnStretch(7, 2);

    connect(cmdAddNumber, &QPushButton::clicked, this, &NumbersBox::AddNumber);
    connect(cmdRemoveNumber, &QPushButton::clicked, this, &NumbersBox::RemoveSelected);
    connect(grdNumbers, &QTableWidget::currentCellChanged, this, [this] {
        if (!mFilling) ShowDetails();
    });
    connect(cmbNumCatalog, &QComboBox::currentIndexChanged, this, [this] {
        const int row = Selected();
        if (mFilling || row < 0 || cmbNumCatalog->currentIndex() < 0) return;
        mNumbers[size_t(row)].catalogueId = cmbNumCatalog->currentData().toLongLong();
        RefreshRow(row);
        Touch();
        TellOwnNumber(row);
    });
    connect(txtNumber, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int row = Selected();
        if (row < 0) return;
        mNumbers[size_t(row)].number = text;
        RefreshRow(row);
        Touch();
        TellOwnNumber(row);
    });
    connect(txtNumValue, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int row = Selected();
        if (row < 0) return;
        mValueTexts[size_t(row)] = text;
        mNumbers[size_t(row)].value = ParseCurrency(text);
        RefreshRow(row);
        Touch();
    });
    connect(txtNumNote, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int row = Selected();
        if (row < 0) return;
        mNumbers[size_t(row)].note = text;
        RefreshRow(row);
        Touch();
    });
    Refill(-1);
}

NumbersBox::~NumbersBox() = default;

// ---------------------------------------------------------------------------
// The catalogues and the stamp shown

void NumbersBox::LoadCatalogues()
{
    if (!gDb || !gDb->IsOpen()) return;
    CatalogueList list;
    if (!Guard([&] { list = ::LoadCatalogues(*gDb); })) return;
    mCatalogues = std::move(list);
    // Offered by name, in the collector's alphabetical order.
    std::vector<std::pair<QByteArray, const NumberCatalogue*>> byName;
    for (const NumberCatalogue& c : mCatalogues) byName.emplace_back(CollationKey(c.name), &c);
    std::stable_sort(byName.begin(), byName.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    mFilling = true;
    cmbNumCatalog->clear();
    for (const auto& [key, c] : byName) cmbNumCatalog->addItem(c->name, QVariant(c->id));
    mFilling = false;
    Refill(Selected());
}

void NumbersBox::ShowStamp(qint64 stampId)
{
    mStampId = stampId;
    mNumbers.clear();
    mChanged = false;
    if (stampId > 0 && gDb && gDb->IsOpen()) Guard([&] { mNumbers = mQuery.Of(*gDb, stampId); });
    ShowValues();
    Refill(mNumbers.empty() ? -1 : 0);
}

void NumbersBox::Clear()
{
    mStampId = 0;
    mNumbers.clear();
    mChanged = false;
    ShowValues();
    Refill(-1);
}

void NumbersBox::ShowValues()
{
    mValueTexts.clear();
    for (const StampNumber& n : mNumbers) mValueTexts.push_back(n.value ? FormatCurrency(*n.value) : QString());
}

void NumbersBox::Release()
{
    mQuery.Reset();
    Clear();
}

void NumbersBox::Save(qint64 stampId)
{
    // A stamp that was not written has nothing to hang numbers on; a new stamp
    // takes every number the box holds.
    if (stampId <= 0 || (!mChanged && stampId == mStampId)) return;
    if (!gDb) throw DbError(ErrNo::NoObject, QStringLiteral("Object invalid or no longer set."));
    if (!mChanged && mNumbers.empty()) return;
    SaveStampNumbers(*gDb, stampId, mNumbers);
    mChanged = false;
}

// ---------------------------------------------------------------------------
// The table and the boxes

QString NumbersBox::CatalogueName(qint64 id) const
{
    if (const NumberCatalogue* c = FindCatalogue(mCatalogues, id)) return c->name;
    return QStringLiteral("(catalogue %1, not in the list)").arg(id);
}

QStringList NumbersBox::Listing() const
{
    QStringList list;
    for (const StampNumber& n : mNumbers) list << CatalogueName(n.catalogueId) + u' ' + n.number;
    return list;
}

void NumbersBox::RefreshRow(int index)
{
    const StampNumber& n = mNumbers[size_t(index)];
    const QString cells[ColumnCount] = {CatalogueName(n.catalogueId), n.number, mValueTexts[size_t(index)], n.note};
    for (int column = 0; column < ColumnCount; ++column) {
        QTableWidgetItem* item = grdNumbers->item(index, column);
        if (!item) {
            item = new QTableWidgetItem;
            if (column == ValueColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdNumbers->setItem(index, column, item);
        }
        item->setText(cells[column]);
    }
    if (const NumberCatalogue* c = FindCatalogue(mCatalogues, n.catalogueId))
        grdNumbers->item(index, CatalogueColumn)->setToolTip(NumberWithCatalogue(*c, n.number));
}

void NumbersBox::Refill(int select)
{
    mFilling = true;
    grdNumbers->setRowCount(Count());
    for (int i = 0; i < Count(); ++i) RefreshRow(i);
    if (select >= 0 && select < Count())
        grdNumbers->setCurrentCell(select, NumberColumn);
    else
        grdNumbers->setCurrentCell(-1, -1);
    mFilling = false;
    ShowDetails();
}

int NumbersBox::Selected() const
{
    const int row = grdNumbers->currentRow();
    return row >= 0 && row < Count() ? row : -1;
}

void NumbersBox::Select(int index)
{
    grdNumbers->setCurrentCell(index, NumberColumn);
}

void NumbersBox::ShowDetails()
{
    const int row = Selected();
    const bool chosen = row >= 0;
    mFilling = true;
    if (chosen) {
        const StampNumber& n = mNumbers[size_t(row)];
        cmbNumCatalog->setCurrentIndex(cmbNumCatalog->findData(QVariant(n.catalogueId)));
        txtNumber->setText(n.number);
        txtNumValue->setText(mValueTexts[size_t(row)]);
        txtNumNote->setText(n.note);
    } else {
        cmbNumCatalog->setCurrentIndex(-1);
        txtNumber->clear();
        txtNumValue->clear();
        txtNumNote->clear();
    }
    mFilling = false;
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmdRemoveNumber, cmbNumCatalog, txtNumber, txtNumValue, txtNumNote})
        w->setEnabled(chosen);
    cmdAddNumber->setEnabled(!mCatalogues.empty());
}

// ---------------------------------------------------------------------------
// Changes

void NumbersBox::Touch()
{
    mChanged = true;
    Q_EMIT Changed();
}

void NumbersBox::TellOwnNumber(int index)
{
    const StampNumber& n = mNumbers[size_t(index)];
    const NumberCatalogue* own = OwnCatalogue(mCatalogues);
    if (!own || n.catalogueId != own->id) return;
    // The stamp's first number in the collector's catalogue is its Catalog Num.
    for (int i = 0; i < index; ++i)
        if (mNumbers[size_t(i)].catalogueId == own->id) return;
    Q_EMIT OwnNumberTyped(n.number);
}

qint64 NumbersBox::CatalogueForNew() const
{
    // The collector's own catalogue first, then the list's order by name: the
    // first that the stamp has no number in yet.
    const auto used = [this](qint64 id) {
        return std::any_of(mNumbers.begin(), mNumbers.end(),
                           [id](const StampNumber& n) { return n.catalogueId == id; });
    };
    if (const NumberCatalogue* own = OwnCatalogue(mCatalogues); own && !used(own->id)) return own->id;
    for (int i = 0; i < cmbNumCatalog->count(); ++i)
        if (!used(cmbNumCatalog->itemData(i).toLongLong())) return cmbNumCatalog->itemData(i).toLongLong();
    return cmbNumCatalog->count() > 0 ? cmbNumCatalog->itemData(0).toLongLong() : 0;
}

void NumbersBox::AddNumber()
{
    if (!isEnabled() || mCatalogues.empty()) return;
    StampNumber n;
    n.catalogueId = CatalogueForNew();
    mNumbers.push_back(n);
    mValueTexts.emplace_back();
    Refill(Count() - 1);
    Touch();
    txtNumber->setFocus();
}

void NumbersBox::RemoveSelected()
{
    const int row = Selected();
    if (!isEnabled() || row < 0) return;
    mNumbers.erase(mNumbers.begin() + row);
    mValueTexts.erase(mValueTexts.begin() + row);
    Refill(std::min(row, Count() - 1));
    Touch();
}

// ---------------------------------------------------------------------------
// Checks

namespace {

// Shows a refused entry's message and puts the focus back, without the box
// being left running its own check meanwhile.
void Refuse(bool& checking, QWidget* box, const QString& text, const QString& title = QString())
{
    checking = true;
    MsgBox(text, MsgButtons::Ok, title);
    box->setFocus(Qt::OtherFocusReason);
    checking = false;
}

}  // namespace

bool NumbersBox::ValueLeft()
{
    const int row = Selected();
    if (row < 0) return true;
    const QString typed = txtNumValue->text();
    if (typed.isEmpty()) {
        mNumbers[size_t(row)].value.reset();
        mValueTexts[size_t(row)].clear();
        RefreshRow(row);
        return true;
    }
    const auto value = ParseCurrency(typed);
    if (!value) {
        Refuse(mChecking, txtNumValue, QStringLiteral("You must enter a valid number or leave the field blank"));
        return false;
    }
    mNumbers[size_t(row)].value = value;
    mValueTexts[size_t(row)] = FormatCurrency(*value);
    mFilling = true;
    txtNumValue->setText(mValueTexts[size_t(row)]);
    mFilling = false;
    RefreshRow(row);
    return true;
}

bool NumbersBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtNumValue && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !mChecking) ValueLeft();
    }
    return QGroupBox::eventFilter(watched, event);
}

bool NumbersBox::IsValid() const
{
    for (size_t row = 0; row < mNumbers.size(); ++row) {
        if (mNumbers[row].number.trimmed().isEmpty()) return false;
        if (!mValueTexts[row].trimmed().isEmpty() && !ParseCurrency(mValueTexts[row])) return false;
    }
    return RepeatedNumber(mNumbers) < 0;
}

bool NumbersBox::Validate()
{
    for (int row = 0; row < Count(); ++row) {
        if (mNumbers[size_t(row)].number.trimmed().isEmpty()) {
            Select(row);
            Refuse(mChecking, txtNumber,
                   QStringLiteral("You must enter the %1 number, or remove it with Remove Number.")
                       .arg(CatalogueName(mNumbers[size_t(row)].catalogueId)));
            return false;
        }
        const QString& typed = mValueTexts[size_t(row)];
        if (!typed.trimmed().isEmpty() && !ParseCurrency(typed)) {
            Select(row);
            Refuse(mChecking, txtNumValue, QStringLiteral("You must enter a valid number or leave the field blank"));
            return false;
        }
    }
    const int repeated = RepeatedNumber(mNumbers);
    if (repeated >= 0) {
        const StampNumber& n = mNumbers[size_t(repeated)];
        Select(repeated);
        Refuse(mChecking, txtNumber,
               QStringLiteral("The %1 number %2 is given twice for this stamp.  Remove one of them.")
                   .arg(CatalogueName(n.catalogueId), n.number.trimmed()),
               QStringLiteral("Duplicate Catalogue Number"));
        return false;
    }
    return true;
}
