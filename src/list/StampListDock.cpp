#include "list/StampListDock.h"

#include "db/Database.h"
#include "db/ErrorHandler.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "db/Recordset.h"
#include "help/HelpContext.h"
#include "list/BulkChange.h"
#include "list/QuickFilter.h"
#include "list/StampColumns.h"
#include "list/StampListModel.h"
#include "list/StampQuery.h"
#include "list/frmBulkChange.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// "1 stamp", "1,497 stamps".
QString Stamps(qsizetype n)
{
    return QLocale().toString(n) + (n == 1 ? QStringLiteral(" stamp") : QStringLiteral(" stamps"));
}

QString CountryName(const QVariant& couId)
{
    if (couId.isNull()) return QStringLiteral("(none)");
    QString name;
    Guard([&] {
        auto rs = gDb->OpenSnapshot(QStringLiteral("Select Coudesc from country where CouID = ") +
                                    QString::number(couId.toLongLong()));
        if (!rs->IsEmpty()) name = TextOf(rs->FieldAt(0));
    });
    return name;
}

}  // namespace

StampListDock::StampListDock(QWidget* parent) : QDockWidget(QStringLiteral("Stamp List"), parent)
{
    setObjectName(QStringLiteral("dockStampList"));
    SetHelpContext(this, 230);
    setAllowedAreas(Qt::AllDockWidgetAreas);
    BuildControls();
    mPause.setSingleShot(true);
    // A short pause after the last key: typing a word reads the stamps once.
    mPause.setInterval(250);
    connect(&mPause, &QTimer::timeout, this, &StampListDock::ApplyFilter);
}

void StampListDock::BuildControls()
{
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* filterRow = new QHBoxLayout;
    txtFilter = new QLineEdit;
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(QStringLiteral("Type words to narrow the list"));
    txtFilter->setMaxLength(static_cast<int>(kMaxFilterText));
    txtFilter->setClearButtonEnabled(false);
    SetHelpContext(txtFilter, 231);
    txtFilter->installEventFilter(this);
    cmdClear = new QPushButton(QStringLiteral("Clear"));
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    SetHelpContext(cmdClear, 231);
    filterRow->addWidget(txtFilter, 1);
    filterRow->addWidget(cmdClear);
    layout->addLayout(filterRow);

    lblCountry = new QLabel;
    lblCountry->setObjectName(QStringLiteral("lblCountry"));
    lblCountry->hide();
    layout->addWidget(lblCountry);

    lblNoMatch = new QLabel(QStringLiteral("No stamps match"));
    lblNoMatch->setObjectName(QStringLiteral("lblNoMatch"));
    lblNoMatch->setAlignment(Qt::AlignCenter);
    lblNoMatch->hide();
    layout->addWidget(lblNoMatch);

    mModel = new StampListModel(this);
    lstStamps = new QTableView;
    lstStamps->setObjectName(QStringLiteral("lstStamps"));
    SetHelpContext(lstStamps, 230);
    lstStamps->setModel(mModel);
    lstStamps->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstStamps->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstStamps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstStamps->setAlternatingRowColors(true);
    lstStamps->setWordWrap(false);
    lstStamps->setContextMenuPolicy(Qt::CustomContextMenu);
    // Every row as high as the next, so that a million rows cost nothing to lay out.
    QHeaderView* rows = lstStamps->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(lstStamps->fontMetrics().height() + 6);
    QHeaderView* heading = lstStamps->horizontalHeader();
    heading->setObjectName(QStringLiteral("hdrStamps"));
    heading->setSectionsMovable(true);
    heading->setSectionsClickable(true);
    heading->setSortIndicatorShown(true);
    heading->setHighlightSections(false);
    heading->setContextMenuPolicy(Qt::CustomContextMenu);
    heading->setDefaultSectionSize(76);
    heading->resizeSection(StampColumnIndex(StampColumn::Description), 190);
    heading->resizeSection(StampColumnIndex(StampColumn::Country), 100);
    for (StampColumn flag : {StampColumn::Used, StampColumn::WantList, StampColumn::ForSale, StampColumn::Sold})
        heading->resizeSection(StampColumnIndex(flag), 64);
    // The front picture as high as a row.
    lstStamps->setIconSize(QSize(4 * rows->defaultSectionSize(), rows->defaultSectionSize() - 2));
    heading->resizeSection(StampColumnIndex(StampColumn::Picture), 56);
    layout->addWidget(lstStamps, 1);

    lblCount = new QLabel;
    lblCount->setObjectName(QStringLiteral("lblCount"));
    layout->addWidget(lblCount);
    setWidget(body);

    connect(txtFilter, &QLineEdit::textChanged, this, &StampListDock::txtFilter_Change);
    connect(cmdClear, &QPushButton::clicked, this, &StampListDock::cmdClear_Click);
    connect(heading, &QHeaderView::sectionClicked, this, &StampListDock::Heading_Click);
    connect(heading, &QWidget::customContextMenuRequested, this, &StampListDock::Heading_Menu);
    connect(lstStamps, &QWidget::customContextMenuRequested, this, &StampListDock::Rows_Menu);
    connect(lstStamps->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { CurrentRow_Change(current.isValid() ? current.row() : -1); });
    lstStamps->installEventFilter(this);
    lstStamps->viewport()->installEventFilter(this);
    ShowOrder();
}

void StampListDock::Reset()
{
    mPause.stop();
    ListQuery().Reset();
    const QSignalBlocker quiet(txtFilter);
    txtFilter->clear();
    ShowState();
    ShowOrder();
}

// ---------------------------------------------------------------------------
// Following the editor

void StampListDock::FollowEditor(bool shown)
{
    mFollowing = true;
    mModel->Sync();
    ShowState();
    const int position = shown && gStampRs ? gStampRs->AbsolutePosition() : -1;
    QItemSelectionModel* selection = lstStamps->selectionModel();
    if (position < 0) {
        selection->clear();
    } else if (selection->currentIndex().row() != position) {
        // The editor moved: its row alone is selected. A row the collector chose
        // (with others, by Ctrl or Shift) is already current and keeps its company.
        const QModelIndex row = mModel->index(position, 0);
        selection->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        lstStamps->scrollTo(row);
    }
    mFollowing = false;
}

void StampListDock::CurrentRow_Change(int row)
{
    if (mFollowing || row < 0) return;
    if (mEditing) {
        // Kept where the editor is: the row is put back once this change is over.
        prompts().Beep();
        QTimer::singleShot(0, this, [this] { FollowEditor(gStampRs && gStampRs->AbsolutePosition() >= 0); });
        return;
    }
    Q_EMIT StampChosen(row);
}

void StampListDock::SetEditing(bool editing)
{
    mEditing = editing;
    if (editing) mPause.stop();
    txtFilter->setEnabled(!editing);
    cmdClear->setEnabled(!editing);
}

bool StampListDock::Refuse()
{
    if (!mEditing) return false;
    prompts().Beep();
    return true;
}

void StampListDock::ShowState()
{
    const int count = mModel->rowCount();
    const StampQuery& query = ListQuery();
    lblNoMatch->setVisible(count == 0 && query.IsFiltered());
    lblCount->setText(Stamps(count));
    // The country's name is read when the country changes, not at every move.
    const auto country = query.Country();
    if (country != mCountryShown) {
        mCountryShown = country;
        if (country) lblCountry->setText(QStringLiteral("Country: ") + CountryName(*country));
        lblCountry->setVisible(country.has_value());
    }
}

void StampListDock::ShowOrder()
{
    const auto column = ListQuery().SortColumn();
    QHeaderView* heading = lstStamps->horizontalHeader();
    if (column)
        heading->setSortIndicator(StampColumnIndex(*column),
                                  ListQuery().Descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    else
        heading->setSortIndicator(-1, Qt::AscendingOrder);
}

void StampListDock::FocusFilter()
{
    txtFilter->setFocus(Qt::ShortcutFocusReason);
    txtFilter->selectAll();
}

void StampListDock::RefreshRows()
{
    mCountryShown.reset();
    mModel->Refresh();
    ShowState();
}

// ---------------------------------------------------------------------------
// The filter, the country and the order

void StampListDock::txtFilter_Change()
{
    if (!mEditing) mPause.start();
}

void StampListDock::ApplyFilter()
{
    mPause.stop();
    if (mEditing || txtFilter->text() == ListQuery().FilterText()) return;
    ListQuery().SetFilterText(txtFilter->text());
    Q_EMIT QueryChanged(0);
}

void StampListDock::cmdClear_Click()
{
    mPause.stop();
    if (Refuse()) return;
    {
        const QSignalBlocker quiet(txtFilter);
        txtFilter->clear();
    }
    if (ListQuery().FilterText().isEmpty() && !ListQuery().Country()) return;
    ListQuery().SetFilterText(QString());
    ListQuery().ClearCountry();
    Q_EMIT QueryChanged(0);
}

void StampListDock::ShowCountry(const QVariant& couId)
{
    if (Refuse()) return;
    show();
    raise();
    mPause.stop();
    {
        const QSignalBlocker quiet(txtFilter);
        txtFilter->clear();
    }
    ListQuery().SetFilterText(QString());
    ListQuery().SetCountry(couId.isNull() ? QVariant() : QVariant(couId.toLongLong()));
    Q_EMIT QueryChanged(0);
}

void StampListDock::Heading_Click(int column)
{
    if (Refuse()) {
        ShowOrder();
        return;
    }
    const auto current = ListQuery().SortColumn();
    const auto chosen = StampColumnAt(column).column;
    // The column sorted by is sorted the other way round; any other ascending.
    const bool descending = current == chosen && !ListQuery().Descending();
    ListQuery().SetColumnOrder(chosen, descending);
    ShowOrder();
    Q_EMIT QueryChanged(0);
}

void StampListDock::Heading_Menu(const QPoint& at)
{
    QHeaderView* heading = lstStamps->horizontalHeader();
    QMenu menu(this);
    int shown = 0;
    for (int i = 0; i < kStampColumnCount; ++i) shown += heading->isSectionHidden(i) ? 0 : 1;
    for (int i = 0; i < kStampColumnCount; ++i) {
        QAction* item = menu.addAction(StampColumnAt(i).caption);
        item->setCheckable(true);
        item->setChecked(!heading->isSectionHidden(i));
        // The last column shown stays.
        item->setEnabled(heading->isSectionHidden(i) || shown > 1);
        connect(item, &QAction::toggled, heading, [heading, i](bool on) { heading->setSectionHidden(i, !on); });
    }
    menu.exec(heading->mapToGlobal(at));
}

void StampListDock::Rows_Menu(const QPoint& at)
{
    QMenu menu(this);
    QAction* change = menu.addAction(QStringLiteral("&Change Selected Stamps..."));
    QAction* remove = menu.addAction(QStringLiteral("&Delete Selected Stamps"));
    change->setObjectName(QStringLiteral("mnuListChange"));
    remove->setObjectName(QStringLiteral("mnuListDelete"));
    SetHelpContext(change, 232);
    SetHelpContext(remove, 233);
    const bool can = !mEditing && HasSelection();
    change->setEnabled(can);
    remove->setEnabled(can);
    connect(change, &QAction::triggered, this, &StampListDock::ChangeSelected);
    connect(remove, &QAction::triggered, this, &StampListDock::DeleteSelected);
    menu.exec(lstStamps->viewport()->mapToGlobal(at));
}

// ---------------------------------------------------------------------------
// The selected stamps

bool StampListDock::HasSelection() const
{
    return lstStamps->selectionModel()->hasSelection();
}

std::vector<qint64> StampListDock::SelectedKeys() const
{
    // By the selection's ranges, never a list of every selected cell: all of a
    // million rows may be selected.
    std::vector<bool> chosen(static_cast<size_t>(mModel->rowCount()), false);
    for (const QItemSelectionRange& range : lstStamps->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (row >= 0 && row < mModel->rowCount()) chosen[static_cast<size_t>(row)] = true;
    std::vector<qint64> keys;
    for (size_t row = 0; row < chosen.size(); ++row) {
        if (!chosen[row]) continue;
        const qint64 key = mModel->KeyAt(static_cast<int>(row));
        if (key >= 0) keys.push_back(key);
    }
    return keys;
}

void StampListDock::ChangeSelected()
{
    if (Refuse()) return;
    const std::vector<qint64> keys = SelectedKeys();
    if (keys.empty() || !gDb) return;
    frmBulkChange window(keys, this);
    window.exec();
    if (!window.Outcome().changed.empty()) Q_EMIT QueryChanged(-1);
}

void StampListDock::DeleteSelected()
{
    if (Refuse()) return;
    const std::vector<qint64> keys = SelectedKeys();
    if (keys.empty() || !gDb) return;
    const int current = gStampRs ? gStampRs->AbsolutePosition() : -1;
    if (keys.size() == 1 && current >= 0 && gStampRs->KeyAt(current) == keys.front()) {
        Q_EMIT DeleteCurrent();
        return;
    }
    const QString question = keys.size() == 1 ? QStringLiteral("Delete the selected stamp?")
                                              : QStringLiteral("Delete %1?").arg(Stamps(qsizetype(keys.size())));
    if (MsgBox(question, MsgButtons::YesNo, QStringLiteral("Delete Stamps")) != MsgAnswer::Yes) return;
    // The stamp that followed the first one deleted takes its place.
    const int first = gStampRs ? gStampRs->PositionOf(keys.front()) : 0;
    const BulkOutcome outcome = DeleteStamps(*gDb, keys);
    if (!outcome.Done()) return;
    Guard([] { gDb->Idle(); });
    const QString missing = MissingStampsText(outcome, QStringLiteral("deleted"));
    if (!missing.isEmpty()) MsgBox(missing);
    Q_EMIT QueryChanged(std::max(first, 0));
}

// ---------------------------------------------------------------------------
// Keys and clicks

bool StampListDock::eventFilter(QObject* watched, QEvent* event)
{
    if (!lstStamps) return QDockWidget::eventFilter(watched, event);
    if (watched == txtFilter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            cmdClear_Click();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ApplyFilter();
            return true;
        }
        return false;
    }
    const bool onList = watched == lstStamps || watched == lstStamps->viewport();
    if (!onList) return QDockWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        // While the editor edits, a click on a row would move it away from its stamp.
        if (mEditing) {
            prompts().Beep();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if (press->key() == Qt::Key_Delete && press->modifiers() == Qt::NoModifier) {
            DeleteSelected();
            return true;
        }
        const bool moves = press->key() == Qt::Key_Up || press->key() == Qt::Key_Down ||
                           press->key() == Qt::Key_PageUp || press->key() == Qt::Key_PageDown ||
                           press->key() == Qt::Key_Home || press->key() == Qt::Key_End ||
                           press->key() == Qt::Key_Space || press->matches(QKeySequence::SelectAll);
        if (mEditing && moves) {
            prompts().Beep();
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}
