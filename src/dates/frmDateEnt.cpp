#include "dates/frmDateEnt.h"

#include "dates/DateText.h"
#include "dates/LocaleFormats.h"
#include "dates/PickerPlacement.h"
#include "dates/SpinButton.h"
#include "db/Globals.h"
#include "help/HelpContext.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kRows = 7;
constexpr int kColumns = 7;

QLineEdit* MakeShowBox(QWidget* parent, const QString& name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

}  // namespace

frmDateEnt::frmDateEnt(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDateEnt"));
    setWindowTitle(QStringLiteral("Select Date"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    SetHelpContext(this, 40);

    txtMonth = MakeShowBox(this, QStringLiteral("txtMonth"));
    Spin1 = new SpinButton(this);
    Spin1->setObjectName(QStringLiteral("Spin1"));
    txtYear = MakeShowBox(this, QStringLiteral("txtYear"));
    Spin2 = new SpinButton(this);
    Spin2->setObjectName(QStringLiteral("Spin2"));

    Grid1 = new QTableWidget(kRows, kColumns, this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->horizontalHeader()->hide();
    Grid1->verticalHeader()->hide();
    Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Grid1->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Grid1->verticalHeader()->setMinimumSectionSize(10);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid1->setTabKeyNavigation(false);
    Grid1->setTextElideMode(Qt::ElideNone);
    QFont headingFont = Grid1->font();
    headingFont.setBold(true);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            auto* cell = new QTableWidgetItem;
            cell->setTextAlignment(Qt::AlignCenter);
            cell->setFlags(Qt::ItemIsEnabled);
            if (row == 0) {
                cell->setFont(headingFont);
                cell->setBackground(palette().button());
                cell->setForeground(palette().buttonText());
            }
            Grid1->setItem(row, column, cell);
        }
    }

    auto* top = new QHBoxLayout;
    top->setSpacing(2);
    top->addWidget(txtMonth, 3);
    top->addWidget(Spin1);
    top->addSpacing(8);
    top->addWidget(txtYear, 2);
    top->addWidget(Spin2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Grid1, 1);

    connect(Spin1, &SpinButton::SpinUp, this, &frmDateEnt::Spin1_SpinUp);
    connect(Spin1, &SpinButton::SpinDown, this, &frmDateEnt::Spin1_SpinDown);
    connect(Spin2, &SpinButton::SpinUp, this, &frmDateEnt::Spin2_SpinUp);
    connect(Spin2, &SpinButton::SpinDown, this, &frmDateEnt::Spin2_SpinDown);
    connect(Grid1, &QTableWidget::cellClicked, this, &frmDateEnt::Grid1_Click);
    Grid1->installEventFilter(this);
    txtMonth->installEventFilter(this);
    txtYear->installEventFilter(this);

    Form_Load();
    resize(sizeHint().expandedTo(QSize(300, 240)));
    Grid1->setFocus();
}

void frmDateEnt::Form_Load()
{
    // The day text built from three numbers must be read back in the order the
    // locale in force writes dates.
    ChkDateFmt();

    mDate = gPickDate;
    if (!mDate.isValid() || mDate.year() < kMinYear || mDate.year() > kMaxYear) mDate = QDate::currentDate();

    const QLocale locale;
    mMonthNames.clear();
    for (int k = 1; k <= 12; ++k) mMonthNames << locale.standaloneMonthName(k, QLocale::LongFormat);

    // 31 May 1998 was a Sunday: the headings run Sunday to Saturday.
    const QDate sunday(1998, 5, 31);
    const QFontMetrics metrics(Grid1->item(0, 0)->font());
    int widest = metrics.horizontalAdvance(QStringLiteral(" 30 "));
    for (int n = 0; n < kColumns; ++n) {
        const QString heading = u' ' + locale.toString(sunday.addDays(n), u"ddd") + u' ';
        Grid1->item(0, n)->setText(heading);
        widest = std::max(widest, metrics.horizontalAdvance(heading));
    }
    // Every heading shows whole, however long the locale's day names are.
    const int columnWidth = widest + 8;
    Grid1->horizontalHeader()->setMinimumSectionSize(columnWidth);
    Grid1->setMinimumWidth(kColumns * columnWidth + 2 * Grid1->frameWidth());

    ShowMonth();
}

void frmDateEnt::ShowMonth()
{
    mMonth = mDate.month();
    txtMonth->setText(mMonthNames.value(mMonth - 1));
    mYear = mDate.year();
    txtYear->setText(QString::number(mYear));

    const QDate first(mYear, mMonth, 1);
    const int lastDay = first.daysInMonth();
    for (int row = 1; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            QTableWidgetItem* cell = Grid1->item(row, column);
            cell->setText(QString());
            cell->setFlags(Qt::ItemIsEnabled);
        }
    }
    int row = 1;
    int column = first.dayOfWeek() % 7;  // Sunday first
    for (int day = 1; day <= lastDay; ++day) {
        QTableWidgetItem* cell = Grid1->item(row, column);
        cell->setText(QString::number(day));
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (day == mDate.day()) {
            mSelectedRow = row;
            mSelectedColumn = column;
        }
        if (column == 6) {
            column = 0;
            ++row;
        } else {
            ++column;
        }
    }
    SelectShownDay();
}

void frmDateEnt::SelectShownDay()
{
    Grid1->clearSelection();
    Grid1->setCurrentCell(mSelectedRow, mSelectedColumn);
    if (QTableWidgetItem* cell = Grid1->item(mSelectedRow, mSelectedColumn)) cell->setSelected(true);
}

void frmDateEnt::SpinTo(int month, int year)
{
    if (year < kMinYear || year > kMaxYear) {
        prompts().Beep();
        return;
    }
    // The day is kept when the target month has it; otherwise the month's first day.
    const auto kept = ParseDate(FormatDate(month, mDate.day(), year));
    if (kept)
        mDate = *kept;
    else
        mDate = ParseDate(FormatDate(month, 1, year)).value_or(QDate(year, month, 1));
    ShowMonth();
}

void frmDateEnt::Spin1_SpinUp()
{
    if (mMonth == 12)
        SpinTo(1, mYear + 1);
    else
        SpinTo(mMonth + 1, mYear);
}

void frmDateEnt::Spin1_SpinDown()
{
    if (mMonth == 1)
        SpinTo(12, mYear - 1);
    else
        SpinTo(mMonth - 1, mYear);
}

void frmDateEnt::Spin2_SpinUp()
{
    SpinTo(mMonth, mYear + 1);
}

void frmDateEnt::Spin2_SpinDown()
{
    SpinTo(mMonth, mYear - 1);
}

void frmDateEnt::MoveDay(qint64 days)
{
    const QDate target = mDate.addDays(days);
    if (!target.isValid() || target.year() < kMinYear || target.year() > kMaxYear) {
        prompts().Beep();
        return;
    }
    mDate = target;
    ShowMonth();
}

void frmDateEnt::Grid1_Click(int row, int column)
{
    const QTableWidgetItem* cell = Grid1->item(row, column);
    if (row < 1 || !cell || cell->text().isEmpty()) {
        // The headings and the cells outside the month pick nothing; the shown day
        // keeps its highlight.
        SelectShownDay();
        return;
    }
    const auto picked = ParseDate(FormatDate(mMonth, cell->text().toInt(), mYear));
    if (!picked) return;
    gPickDate = *picked;
    accept();
}

bool frmDateEnt::Grid1_KeyPress(int key)
{
    switch (key) {
        case Qt::Key_Left:
            MoveDay(-1);
            return true;
        case Qt::Key_Right:
            MoveDay(1);
            return true;
        case Qt::Key_Up:
            MoveDay(-7);
            return true;
        case Qt::Key_Down:
            MoveDay(7);
            return true;
        case Qt::Key_Home:
            MoveDay(1 - mDate.day());
            return true;
        case Qt::Key_End:
            MoveDay(mDate.daysInMonth() - mDate.day());
            return true;
        case Qt::Key_PageUp:
            Spin1_SpinDown();
            return true;
        case Qt::Key_PageDown:
            Spin1_SpinUp();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            Grid1_Click(mSelectedRow, mSelectedColumn);
            return true;
        default:
            return false;
    }
}

bool frmDateEnt::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Grid1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
        return Grid1_KeyPress(key->key());
    }
    // The month and year boxes only show; the focus goes on to the calendar.
    if ((watched == txtMonth || watched == txtYear) && event->type() == QEvent::FocusIn) {
        Grid1->setFocus();
        return false;
    }
    return QDialog::eventFilter(watched, event);
}

void frmDateEnt::Place(const PickRequest& request)
{
    if (!request.caption.isEmpty()) setWindowTitle(request.caption);
    mPlace = request;
    PlaceFrame();
}

QMargins frmDateEnt::FrameMargins() const
{
    const auto margins = [](const QWidget* window) {
        const QRect frame = window->frameGeometry();
        const QRect inside = window->geometry();
        return QMargins(inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
                        frame.bottom() - inside.bottom());
    };
    if (isVisible()) return margins(this);
    // Not shown yet: the window it opens over wears the same kind of frame.
    const QWidget* owner = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    return owner && owner != this && owner->isVisible() ? margins(owner) : QMargins();
}

void frmDateEnt::PlaceFrame()
{
    if (!mPlace) return;
    const PickRequest& request = *mPlace;
    QScreen* screen = request.anchor.isEmpty() ? nullptr : QGuiApplication::screenAt(request.anchor.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // Lined up and kept on the screen by its frame, title bar and borders
    // included; move() places the frame's top left corner.
    mPlacedWith = FrameMargins();
    move(PlacePicker(request.anchor, request.align, size().grownBy(mPlacedWith), area).topLeft());
}

void frmDateEnt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Shown, the picker knows its own frame; placed again if it is not the one
    // assumed.
    if (mPlace && FrameMargins() != mPlacedWith) PlaceFrame();
}

void ShowDatePicker(const PickRequest& request)
{
    frmDateEnt picker(QApplication::activeWindow());
    picker.Place(request);
    picker.exec();
}
