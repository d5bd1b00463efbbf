#include "ScriptedPrompts.h"

#include "dates/PickerPlacement.h"
#include "dates/frmDateEnt.h"
#include "db/Globals.h"
#include "help/HelpContext.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

QTableWidget* Grid(const QWidget* picker)
{
    return picker->findChild<QTableWidget*>("Grid1");
}

// One week row as its cells joined by commas; an empty cell is an empty field.
QString WeekRow(const QWidget* picker, int row)
{
    QStringList cells;
    for (int column = 0; column < 7; ++column) cells << Grid(picker)->item(row, column)->text();
    return cells.join(',');
}

QString Shown(const QWidget* picker, const char* box)
{
    return picker->findChild<QLineEdit*>(box)->text();
}

void ClickSpin(QWidget* picker, const char* spin, bool up)
{
    picker->findChild<QWidget*>(spin)->findChild<QToolButton*>(up ? "SpinUpButton" : "SpinDownButton")->click();
}

void ClickCell(QWidget* picker, int row, int column)
{
    QTableWidget* grid = Grid(picker);
    const QRect cell = grid->visualItemRect(grid->item(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

// Runs the modal picker; the step works it while it is open.
void RunPicker(const PickRequest& request, const std::function<void(QWidget*)>& step)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* picker = QApplication::activeModalWidget();
        QVERIFY(picker);
        ran = true;
        step(picker);
        if (picker->isVisible()) QTest::keyClick(Grid(picker), Qt::Key_Escape);
    });
    ShowDatePicker(request);
    QVERIFY(ran);
}

}  // namespace

class TestDatePicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        gDateOrder.clear();
    }

    void grid_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QStringList>("weeks");  // rows 1 to 6
        QTest::addColumn<QPoint>("selected");    // column, row
        QTest::newRow("starts on Sunday")
            << QDate(2020, 3, 17) << "March"
            << QStringList{"1,2,3,4,5,6,7",        "8,9,10,11,12,13,14", "15,16,17,18,19,20,21",
                           "22,23,24,25,26,27,28", "29,30,31,,,,",       ",,,,,,"}
            << QPoint(2, 3);
        QTest::newRow("31 days from Saturday reach row 6")
            << QDate(2020, 8, 31) << "August" << QStringList{",,,,,,1",
                                                             "2,3,4,5,6,7,8",
                                                             "9,10,11,12,13,14,15",
                                                             "16,17,18,19,20,21,22",
                                                             "23,24,25,26,27,28,29",
                                                             "30,31,,,,,"}
            << QPoint(1, 6);
        QTest::newRow("four full weeks") << QDate(2015, 2, 1) << "February" << QStringList{"1,2,3,4,5,6,7",
                                                                                           "8,9,10,11,12,13,14",
                                                                                           "15,16,17,18,19,20,21",
                                                                                           "22,23,24,25,26,27,28",
                                                                                           ",,,,,,",
                                                                                           ",,,,,,"}
                                         << QPoint(0, 1);
        QTest::newRow("leap day")
            << QDate(2024, 2, 29) << "February"
            << QStringList{",,,,1,2,3",        "4,5,6,7,8,9,10", "11,12,13,14,15,16,17", "18,19,20,21,22,23,24",
                           "25,26,27,28,29,,", ",,,,,,"}
            << QPoint(4, 5);
        QTest::newRow("year 100") << QDate(100, 1, 1) << "January" << QStringList{",,,,,1,2",
                                                                                  "3,4,5,6,7,8,9",
                                                                                  "10,11,12,13,14,15,16",
                                                                                  "17,18,19,20,21,22,23",
                                                                                  "24,25,26,27,28,29,30",
                                                                                  "31,,,,,,"}
                                  << QPoint(5, 1);
    }
    void grid()
    {
        QFETCH(QDate, date);
        QFETCH(QString, month);
        QFETCH(QStringList, weeks);
        QFETCH(QPoint, selected);
        gPickDate = date;
        frmDateEnt picker;
        QCOMPARE(picker.ShownDate(), date);
        QCOMPARE(Shown(&picker, "txtMonth"), month);
        QCOMPARE(Shown(&picker, "txtYear"), QString::number(date.year()));
        QCOMPARE(Grid(&picker)->rowCount(), 7);
        QCOMPARE(Grid(&picker)->columnCount(), 7);
        QStringList shown;
        for (int row = 1; row <= 6; ++row) shown << WeekRow(&picker, row);
        QCOMPARE(shown, weeks);
        QCOMPARE(Grid(&picker)->currentRow(), selected.y());
        QCOMPARE(Grid(&picker)->currentColumn(), selected.x());
        QCOMPARE(Grid(&picker)->selectedItems().size(), 1);
    }

    void windowTexts_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("headings");
        QTest::addColumn<QString>("march");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                               << " Sun , Mon , Tue , Wed , Thu , Fri , Sat "
                               << "March";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany)
                               << " So. , Mo. , Di. , Mi. , Do. , Fr. , Sa. "
                               << "März";
        QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France)
                               << " dim. , lun. , mar. , mer. , jeu. , ven. , sam. "
                               << "mars";
    }
    void windowTexts()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, headings);
        QFETCH(QString, march);
        QLocale::setDefault(locale);
        gPickDate = QDate(2021, 3, 5);
        frmDateEnt picker;
        QCOMPARE(WeekRow(&picker, 0), headings);
        QCOMPARE(Shown(&picker, "txtMonth"), march);
        QCOMPARE(picker.MonthNames().size(), 12);
        QCOMPARE(picker.windowTitle(), "Select Date");
        QCOMPARE(HelpContextOf(&picker), 40);
    }

    void spins_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("spin");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("beeps");
        struct Case {
            const char* name;
            QDate from;
            const char* spin;
            bool up;
            QDate to;
            int beeps;
        };
        const Case cases[] = {
            {"31 Jan up clamps to 1 Feb", {2021, 1, 31}, "Spin1", true, {2021, 2, 1}, 0},
            {"31 Mar down clamps to 1 Feb", {2021, 3, 31}, "Spin1", false, {2021, 2, 1}, 0},
            {"December up to January", {1999, 12, 15}, "Spin1", true, {2000, 1, 15}, 0},
            {"January down to December", {2000, 1, 15}, "Spin1", false, {1999, 12, 15}, 0},
            {"29 Feb next year", {2000, 2, 29}, "Spin2", true, {2001, 2, 1}, 0},
            {"29 Feb four years back", {2000, 2, 29}, "Spin2", false, {1999, 2, 1}, 0},
            {"year 101 down", {101, 6, 10}, "Spin2", false, {100, 6, 10}, 0},
            {"year 100 down refused", {100, 6, 10}, "Spin2", false, {100, 6, 10}, 1},
            {"January 100 down refused", {100, 1, 10}, "Spin1", false, {100, 1, 10}, 1},
            {"year 9999 up refused", {9999, 6, 10}, "Spin2", true, {9999, 6, 10}, 1},
            {"December 9999 up refused", {9999, 12, 10}, "Spin1", true, {9999, 12, 10}, 1},
            {"November 9999 up", {9999, 11, 30}, "Spin1", true, {9999, 12, 30}, 0},
        };
        for (const QLocale& locale :
             {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany)}) {
            for (const Case& c : cases)
                QTest::addRow("%s %s", qPrintable(locale.name()), c.name)
                    << locale << c.from << QString(c.spin) << c.up << c.to << c.beeps;
        }
    }
    void spins()
    {
        QFETCH(QLocale, locale);
        QFETCH(QDate, from);
        QFETCH(QString, spin);
        QFETCH(bool, up);
        QFETCH(QDate, to);
        QFETCH(int, beeps);
        QLocale::setDefault(locale);
        ScriptedPrompts prompts;
        gPickDate = from;
        frmDateEnt picker;
        ClickSpin(&picker, qPrintable(spin), up);
        QCOMPARE(picker.ShownDate(), to);
        QCOMPARE(prompts.beeps, beeps);
        QCOMPARE(Shown(&picker, "txtYear"), QString::number(to.year()));
        QCOMPARE(Shown(&picker, "txtMonth"), picker.MonthNames().at(to.month() - 1));
        QCOMPARE(Grid(&picker)->currentItem()->text(), QString::number(to.day()));
        QCOMPARE(gPickDate, from);  // spinning picks nothing
    }

    void clickPicksTheDay_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("de_DE: 3 May, not 5 March") << QLocale(QLocale::German, QLocale::Germany);
        QTest::newRow("ja_JP") << QLocale(QLocale::Japanese, QLocale::Japan);
        QTest::newRow("C") << QLocale::c();
    }
    void clickPicksTheDay()
    {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        gPickDate = QDate(1998, 5, 20);
        frmDateEnt picker;
        picker.show();
        ClickCell(&picker, 2, 0);  // 3 May 1998 was the first Sunday, in the second week row
        QCOMPARE(gPickDate, QDate(1998, 5, 3));
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QVERIFY(!picker.isVisible());
    }

    void clickOutsideTheMonthPicksNothing_data()
    {
        QTest::addColumn<QPoint>("cell");  // column, row
        QTest::newRow("before the first") << QPoint(0, 1);
        QTest::newRow("after the last") << QPoint(6, 6);
        QTest::newRow("a heading") << QPoint(3, 0);
    }
    void clickOutsideTheMonthPicksNothing()
    {
        QFETCH(QPoint, cell);
        gPickDate = QDate(2020, 8, 12);
        frmDateEnt picker;
        picker.show();
        ClickCell(&picker, cell.y(), cell.x());
        QCOMPARE(gPickDate, QDate(2020, 8, 12));
        QVERIFY(picker.isVisible());
        QCOMPARE(Grid(&picker)->currentItem()->text(), "12");  // the shown day keeps its highlight
    }

    void keyboard_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QDate>("picked");
        QTest::addColumn<int>("beeps");
        QTest::newRow("right into the next month")
            << QDate(2021, 1, 31) << QList<int>{Qt::Key_Right, Qt::Key_Return} << QDate(2021, 2, 1) << 0;
        QTest::newRow("left and up, space picks")
            << QDate(2021, 3, 1) << QList<int>{Qt::Key_Left, Qt::Key_Up, Qt::Key_Space} << QDate(2021, 2, 21) << 0;
        QTest::newRow("down into the next year")
            << QDate(2020, 12, 25) << QList<int>{Qt::Key_Down, Qt::Key_Enter} << QDate(2021, 1, 1) << 0;
        QTest::newRow("end of a leap February")
            << QDate(2024, 2, 10) << QList<int>{Qt::Key_End, Qt::Key_Return} << QDate(2024, 2, 29) << 0;
        QTest::newRow("home, page down") << QDate(2024, 2, 10)
                                         << QList<int>{Qt::Key_Home, Qt::Key_PageDown, Qt::Key_Return}
                                         << QDate(2024, 3, 1) << 0;
        QTest::newRow("last day of 9999")
            << QDate(9999, 12, 31) << QList<int>{Qt::Key_Right, Qt::Key_Return} << QDate(9999, 12, 31) << 1;
        QTest::newRow("first day of 100")
            << QDate(100, 1, 1) << QList<int>{Qt::Key_Up, Qt::Key_Return} << QDate(100, 1, 1) << 1;
    }
    void keyboard()
    {
        QFETCH(QDate, from);
        QFETCH(QList<int>, keys);
        QFETCH(QDate, picked);
        QFETCH(int, beeps);
        ScriptedPrompts prompts;
        gPickDate = from;
        frmDateEnt picker;
        picker.show();
        for (int key : keys) QTest::keyClick(Grid(&picker), Qt::Key(key));
        QCOMPARE(gPickDate, picked);
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(prompts.beeps, beeps);
    }

    void shownModallyWithTheCallersCaption()
    {
        gPickDate = QDate(2021, 6, 14);
        RunPicker({"Select Issue Date", QRect(300, 200, 120, 22), PickRequest::Align::RightEdges}, [](QWidget* picker) {
            QCOMPARE(picker->windowTitle(), "Select Issue Date");
            QVERIFY(picker->isModal());
            QCOMPARE(Shown(picker, "txtMonth"), "June");
            QTest::keyClick(Grid(picker), Qt::Key_Right);
            QTest::keyClick(Grid(picker), Qt::Key_Return);
        });
        QCOMPARE(gPickDate, QDate(2021, 6, 15));
    }

    // The picker's frame, not only its inside, lines up with the date box and
    // stays within the screen's usable area.
    void placedByItsFrame_data()
    {
        QTest::addColumn<QRect>("anchor");  // relative to the usable area's top left
        QTest::addColumn<int>("align");
        QTest::addColumn<QString>("edges");  // what must line up
        const QRect box(400, 150, 120, 22);
        QTest::newRow("issue date: right edges, below") << box << int(PickRequest::Align::RightEdges) << "right,below";
        QTest::newRow("purchase date: left edges, below") << box << int(PickRequest::Align::LeftBelow) << "left,below";
        QTest::newRow("start date: two box heights down") << box << int(PickRequest::Align::StartDate) << "right,start";
        QTest::newRow("end date: bottom three box heights down")
            << box.translated(0, 200) << int(PickRequest::Align::EndDate) << "right,end";
        QTest::newRow("near the bottom right corner")
            << QRect(-130, -30, 120, 22) << int(PickRequest::Align::LeftBelow) << "inside";
        QTest::newRow("near the top left corner")
            << QRect(2, 2, 120, 22) << int(PickRequest::Align::EndDate) << "inside";
    }
    void placedByItsFrame()
    {
        QFETCH(QRect, anchor);
        QFETCH(int, align);
        QFETCH(QString, edges);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        anchor.translate(anchor.left() < 0 ? area.bottomRight() : area.topLeft());
        QWidget owner;
        owner.show();
        QApplication::setActiveWindow(&owner);
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        gPickDate = QDate(2021, 6, 14);
        QRect frame;
        RunPicker({"Select Date", anchor, PickRequest::Align(align)},
                  [&frame](QWidget* picker) { frame = picker->frameGeometry(); });
        QVERIFY(frame.isValid());
        if (edges.contains("right")) QCOMPARE(frame.right(), anchor.right());
        if (edges.contains("left")) QCOMPARE(frame.left(), anchor.left());
        if (edges.contains("below")) QCOMPARE(frame.top(), anchor.bottom() + 1);
        if (edges.contains("start")) QCOMPARE(frame.top(), anchor.top() + 2 * anchor.height());
        if (edges.contains("end")) QCOMPARE(frame.bottom(), anchor.top() + 3 * anchor.height() - 1);
        QVERIFY2(
            area.contains(frame),
            qPrintable(QString("%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
    }

    void escapeLeavesThePickDate()
    {
        gPickDate = QDate(2021, 6, 14);
        RunPicker({"Select Sold Date", QRect(), PickRequest::Align::LeftBelow}, [](QWidget* picker) {
            QTest::keyClick(Grid(picker), Qt::Key_Right);
            QTest::keyClick(Grid(picker), Qt::Key_Escape);
            QVERIFY(!picker->isVisible());
        });
        QCOMPARE(gPickDate, QDate(2021, 6, 14));
    }

    void opensOnTodayWithoutAShowableDate_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::newRow("no date") << QDate();
        QTest::newRow("two-digit year") << QDate(50, 3, 1);
    }
    void opensOnTodayWithoutAShowableDate()
    {
        QFETCH(QDate, date);
        gPickDate = date;
        frmDateEnt picker;
        QCOMPARE(picker.ShownDate(), QDate::currentDate());
        QCOMPARE(Grid(&picker)->currentItem()->text(), QString::number(QDate::currentDate().day()));
        QCOMPARE(gPickDate, date);
    }

    void monthAndYearHandTheFocusOn()
    {
        gPickDate = QDate(2021, 6, 14);
        frmDateEnt picker;
        picker.show();
        QApplication::setActiveWindow(&picker);
        QVERIFY(QTest::qWaitForWindowActive(&picker));
        for (const char* box : {"txtMonth", "txtYear"}) {
            picker.findChild<QLineEdit*>(box)->setFocus();
            QCOMPARE(QApplication::focusWidget(), Grid(&picker));
        }
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<int>("align");
        QTest::addColumn<QPoint>("topLeft");
        const QRect box(500, 400, 120, 20);
        QTest::newRow("right edges, below") << box << int(PickRequest::Align::RightEdges) << QPoint(320, 420);
        QTest::newRow("left edges, below") << box << int(PickRequest::Align::LeftBelow) << QPoint(500, 420);
        QTest::newRow("start date: top two box heights down")
            << box << int(PickRequest::Align::StartDate) << QPoint(320, 440);
        QTest::newRow("end date: bottom three box heights down")
            << box << int(PickRequest::Align::EndDate) << QPoint(320, 220);
        QTest::newRow("kept on screen, bottom right")
            << QRect(900, 700, 120, 20) << int(PickRequest::Align::LeftBelow) << QPoint(724, 528);
        QTest::newRow("kept on screen, top left")
            << QRect(10, 10, 120, 20) << int(PickRequest::Align::EndDate) << QPoint(0, 0);
        QTest::newRow("no box: centred") << QRect() << int(PickRequest::Align::RightEdges) << QPoint(362, 264);
    }
    void placement()
    {
        QFETCH(QRect, anchor);
        QFETCH(int, align);
        QFETCH(QPoint, topLeft);
        const QRect placed = PlacePicker(anchor, PickRequest::Align(align), QSize(300, 240), QRect(0, 0, 1024, 768));
        QCOMPARE(placed.topLeft(), topLeft);
        QCOMPARE(placed.size(), QSize(300, 240));
    }
};

QTEST_MAIN(TestDatePicker)
#include "tst_datepicker.moc"
