// Changes and deletions of many stamps: the core functions with their totals,
// refusals and missing stamps; the Change Selected Stamps window and the Delete
// key through the real main window.

#include "ListFixture.h"

#include "dates/DateBox.h"
#include "history/Trash.h"
#include "list/BulkChange.h"
#include "list/frmBulkChange.h"
#include "reports/Reports.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTimer>

Q_DECLARE_METATYPE(StampChange)

namespace {

// Stamp keys of the list's catalogue: 1 Penny Black, 2 Twopenny Blue, 3 Wappen
// 1850, 4 Hermes head, 5 Straße der Einheit, 6 Clipper, 7 Albatross, 8 Zeppelin.
QString Values(const MainWindowFixture& f, const QString& columns, const QString& keys)
{
    return f.Scalar(QStringLiteral("select group_concat(v, ';') from (select %1 as v from Stamp where StampID in "
                                   "(%2) order by StampID)")
                        .arg(columns, keys));
}

std::vector<qint64> Keys(std::initializer_list<qint64> keys)
{
    return keys;
}

// Runs a step on the Change Selected Stamps window once it is shown modally.
template <typename Step>
void WhenShown(Step step)
{
    QTimer::singleShot(0, [step] {
        auto* window = qobject_cast<frmBulkChange*>(QApplication::activeModalWidget());
        if (!window) qFatal("the Change Selected Stamps window is not shown");
        step(window);
    });
}

template <typename T = QWidget>
T* In(const QWidget* window, const char* name)
{
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
}

void SelectRows(ListFixture& f, const QStringList& descrs)
{
    f.ClickRow(f.RowOf(descrs.first()));
    for (const QString& d : descrs.mid(1)) f.ClickRow(f.RowOf(d), Qt::ControlModifier);
}

const char* const kSuperb =
    "select group_concat(StampID) from (select s.StampID from Stamp s join Condition c on c.ConID = s.ConID where "
    "c.conDesc = 'Superb' order by s.StampID)";

}  // namespace

class TestBulkChange : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Each change is set in every stamp asked for and nowhere else; totals follow
    // each stamp's own quantity and prices.
    void changes_data()
    {
        QTest::addColumn<StampChange>("change");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("expected");  // stamps 1, 3 and 6, then 2
        StampChange c;
        c.codes = {{QStringLiteral("ConID"), QVariant(qint64(2))}, {QStringLiteral("CouID"), QVariant()}};
        QTest::newRow("codes") << c << "ifnull(ConID, '-') || ifnull(CouID, '-')"
                               << "2-;2-;2-;22";
        c = {};
        c.used = true;
        c.wantList = false;
        QTest::newRow("flags") << c << "used || wantlist"
                               << "10;10;10;00";
        c = {};
        c.sold = true;
        QTest::newRow("sold clears for sale") << c << "forsale || sold"
                                              << "01;01;01;10";
        c = {};
        c.quantity = 4;
        QTest::newRow("quantity: every total")
            << c << "quantity || ' ' || ifnull(totalpaid, '-') || ' ' || ifnull(totalval, '-')"
            << "4 400.0 12000.0;4 - 48.0;4 8.0 12.0;1 80.0 900.0";
        c = {};
        c.pricePaid = Money::FromUnits(25000);
        QTest::newRow("price paid: its own total")
            << c << "pricepaid || ' ' || totalpaid || ' ' || ifnull(totalval, '-')"
            << "2.5 5.0 6000.0;2.5 7.5 36.0;2.5 12.5 15.0;80.0 80.0 900.0";
        c = {};
        c.catValue = std::optional<Money>();
        c.priceAsk = Money::FromUnits(1234567);
        QTest::newRow("price emptied, selling price set")
            << c << "ifnull(catvalue, '-') || ' ' || ifnull(totalval, '-') || ' ' || ifnull(totalsales, '-')"
            << "- - 246.9134;- - 370.3701;- - 617.2835;900.0 900.0 -";
        c = {};
        c.purchased = QDate(2024, 3, 1);
        c.dateSold = std::optional<QDate>();
        QTest::newRow("dates") << c << "ifnull(purchased, '-') || ' ' || ifnull(datesold, '-')"
                               << "2024-03-01 -;2024-03-01 -;2024-03-01 -;- -";
        c = {};
        c.misc1 = QStringLiteral("Album Ä 3");
        QTest::newRow("text, with its keys") << c << "misc1 || '|' || misc1_fold"
                                             << "Album Ä 3|album a 3;Album Ä 3|album a 3;Album Ä 3|album a 3;|";
    }
    void changes()
    {
        QFETCH(StampChange, change);
        QFETCH(QString, columns);
        QFETCH(QString, expected);
        MainWindowFixture f(0, kListStamps + QStringLiteral("UPDATE Stamp SET forsale = 1 WHERE StampID in (1, 2);"));
        const BulkOutcome outcome = ChangeStamps(*gDb, Keys({1, 3, 6}), change);
        QVERIFY(outcome.Done());
        QCOMPARE(outcome.changed, Keys({1, 3, 6}));
        QCOMPARE(outcome.missing, 0);
        QCOMPARE(Values(f, columns, "1, 3, 6") + u';' + Values(f, columns, "2"), expected);
        QVERIFY(f.prompts.messages.empty());
    }

    // The rows as they were, for taking the change back: the collector's fields
    // only, in the order of the keys.
    void outcomeKeepsTheRowsBefore()
    {
        MainWindowFixture f(0, kListStamps);
        StampChange change;
        change.codes = {{QStringLiteral("ConID"), QVariant(qint64(2))}};
        const BulkOutcome outcome = ChangeStamps(*gDb, Keys({7, 999, 1}), change);
        QCOMPARE(outcome.changed, Keys({7, 1}));
        QCOMPARE(outcome.missing, 1);
        const QStringList& columns = outcome.before.columns;
        QCOMPARE(columns.size(), 35);
        QVERIFY(!columns.contains(QStringLiteral("descr_fold")));
        QCOMPARE(outcome.before.rows.size(), size_t(2));
        const qsizetype descr = columns.indexOf(QStringLiteral("descr"));
        const qsizetype condition = columns.indexOf(QStringLiteral("ConID"));
        QCOMPARE(outcome.before.rows[0][descr].toString(), QStringLiteral("Albatross"));
        QCOMPARE(outcome.before.rows[0][condition].toLongLong(), 1);
        QCOMPARE(outcome.before.rows[1][columns.indexOf(QStringLiteral("StampID"))].toLongLong(), 1);
        QCOMPARE(MissingStampsText(outcome, QStringLiteral("changed")),
                 QStringLiteral("2 stamps were changed.  1 of the selected stamps was no longer in the catalogue."));
    }

    // One stamp that cannot take the change stops it for all: nothing is written.
    void refusals_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<StampChange>("change");
        QTest::addColumn<int>("refusal");
        StampChange c;
        c.quantity = 2000;
        QTest::newRow("quantity: a total too large")
            << "UPDATE Stamp SET catvalue = 100000000000 WHERE StampID = 6" << c << int(BulkOutcome::Refusal::Quantity);
        c = {};
        c.pricePaid = Money::FromUnits(900000000000000000);
        QTest::newRow("price: a total too large") << "" << c << int(BulkOutcome::Refusal::PricePaid);
        c = {};
        c.priceAsk = Money::FromUnits(600000000000000000);
        QTest::newRow("selling price: a total too large") << "" << c << int(BulkOutcome::Refusal::PriceAsk);
        c = {};
        c.forSale = true;
        c.used = true;
        QTest::newRow("for sale, one stamp sold")
            << "UPDATE Stamp SET sold = 1 WHERE StampID = 6" << c << int(BulkOutcome::Refusal::SaleStatus);
    }
    void refusals()
    {
        QFETCH(QString, scene);
        QFETCH(StampChange, change);
        QFETCH(int, refusal);
        MainWindowFixture f(0, kListStamps + scene + u';');
        const QString before = f.Scalar(
            "select group_concat(quantity || used || forsale || ifnull(pricepaid, '') || "
            "ifnull(totalsales, '')) from Stamp");
        const BulkOutcome outcome = ChangeStamps(*gDb, Keys({1, 2, 6, 3}), change);
        QCOMPARE(int(outcome.refusal), refusal);
        QVERIFY(outcome.changed.empty());
        QCOMPARE(f.Scalar("select group_concat(quantity || used || forsale || ifnull(pricepaid, '') || "
                          "ifnull(totalsales, '')) from Stamp"),
                 before);
    }

    void cancelledProgressChangesNothing()
    {
        MainWindowFixture f(0, kListStamps);
        f.prompts.cancelProgressAt = 0;
        StampChange change;
        change.used = true;
        const BulkOutcome outcome = ChangeStamps(*gDb, Keys({1, 2, 3, 4, 5}), change);
        QVERIFY(outcome.cancelled);
        QCOMPARE(f.Scalar("select sum(used) from Stamp"), QStringLiteral("0"));
        f.prompts.cancelProgressAt.reset();
        const BulkOutcome deleted = DeleteStamps(*gDb, Keys({1, 2, 999}));
        QCOMPARE(deleted.changed, Keys({1, 2}));
        QCOMPARE(deleted.missing, 1);
        QCOMPARE(deleted.before.rows.size(), size_t(2));
        QCOMPARE(f.Scalar("select count(*) from Stamp"), QStringLiteral("6"));
        // In the trash their numbers in other catalogues stay with them; emptied,
        // they go.
        const char* const numbered =
            "select group_concat(StampID) from (select distinct StampID from StampNumber order by 1)";
        QCOMPARE(f.Scalar(numbered), QStringLiteral("1,2,4,8"));
        EmptyTrash(*gDb);
        QCOMPARE(f.Scalar(numbered), QStringLiteral("4,8"));
    }

    // In the real window: ten stamps chosen, their condition set at once; the
    // editor, the list and the catalogue agree.
    void windowSetsTheConditionOfTheSelection()
    {
        ListFixture f(30);
        f.Filter("a");
        const int rows = f.Model()->rowCount();
        QVERIFY(rows >= 10);
        f.ClickHeading(StampColumn::Year);
        f.ClickRow(0);
        f.ClickRow(9, Qt::ShiftModifier);
        const std::vector<qint64> keys = f.Dock()->SelectedKeys();
        QCOMPARE(keys.size(), size_t(10));
        f.prompts.answers = {MsgAnswer::Yes};
        const QString before = f.Scalar(kSuperb);
        WhenShown([](frmBulkChange* w) {
            QCOMPARE(In<QLabel>(w, "lblCount")->text(),
                     QStringLiteral("The fields you tick are set in all 10 selected stamps."));
            QVERIFY(!In(w, "cmdChange")->isEnabled());
            auto* condition = In<QComboBox>(w, "cmbCon");
            condition->setCurrentIndex(condition->findText(QStringLiteral("Superb")));
            Q_EMIT condition->activated(condition->currentIndex());
            QVERIFY(In<QCheckBox>(w, "chkCon")->isChecked());
            In<QPushButton>(w, "cmdChange")->click();
        });
        f.window->findChild<QAction*>("mnuViewChange")->trigger();
        QCOMPARE(f.prompts.messages.size(), size_t(1));
        QCOMPARE(f.prompts.messages[0].text, QStringLiteral("Change 10 stamps?"));
        QCOMPARE(f.prompts.messages[0].title, QStringLiteral("Change Selected Stamps"));
        QStringList ids;
        for (qint64 k : keys) ids << QString::number(k);
        QCOMPARE(f.Scalar(QStringLiteral("select count(*) from Stamp s join Condition c on c.ConID = s.ConID where "
                                         "c.conDesc = 'Superb' and StampID in (%1)")
                              .arg(ids.join(u','))),
                 QStringLiteral("10"));
        QCOMPARE(f.Model()->rowCount(), rows);
        for (int row = 0; row < 10; ++row) QCOMPARE(f.Cell(row, StampColumn::Condition), QStringLiteral("Superb"));
        QCOMPARE(f.Text("cmbCon"), QStringLiteral("Superb"));
        QVERIFY(f.Agree());
        // The change is taken back in one step, and made again.
        const QString after = f.Scalar(kSuperb);
        auto* undo = f.window->findChild<QAction*>("mnuUndo");
        QCOMPARE(undo->text(), QStringLiteral("&Undo Change of 10 stamps"));
        undo->trigger();
        QCOMPARE(f.Scalar(kSuperb), before);
        QVERIFY(f.Agree());
        f.window->findChild<QAction*>("mnuRedo")->trigger();
        QCOMPARE(f.Scalar(kSuperb), after);
        QCOMPARE(f.Text("cmbCon"), QStringLiteral("Superb"));
        QVERIFY(f.Agree());
    }

    // The editor's rules for the values, and the question answered No: nothing
    // changes; Cancel closes the window.
    void windowRefusesOrCancels_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::newRow("price not a number")
            << "txtPricePaid"
            << "abc"
            << "You must enter a valid number or leave the field blank" << int(MsgIcon::None);
        QTest::newRow("price of blanks") << "txtPriceAsk"
                                         << "  "
                                         << "You must enter a valid number or leave the field blank"
                                         << int(MsgIcon::None);
        QTest::newRow("quantity of letters") << "txtQuantity"
                                             << "three"
                                             << "You must enter a number in the Quantity field" << int(MsgIcon::Stop);
        QTest::newRow("quantity beyond 32 bits")
            << "txtQuantity"
            << "2147483648"
            << "You must enter a number in the Quantity field" << int(MsgIcon::Stop);
        QTest::newRow("date sold") << "dcDateSold"
                                   << "31/31/2020"
                                   << "You must enter a valid sold date, or leave the field blank."
                                   << int(MsgIcon::None);
        QTest::newRow("for sale and sold")
            << "cmbSold"
            << ""
            << "A stamp cannot be for sale and sold at the same time." << int(MsgIcon::None);
        QTest::newRow("answered No") << "txtMisc2"
                                     << "Lot 7"
                                     << "Change 2 stamps?" << int(MsgIcon::None);
    }
    void windowRefusesOrCancels()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(int, icon);
        ListFixture f;
        SelectRows(f, {"Clipper", "Penny Black"});
        const QString before = f.Scalar(
            "select group_concat(quantity || forsale || sold || ifnull(pricepaid, '') || "
            "ifnull(priceask, '') || ifnull(datesold, '') || misc2) from Stamp");
        f.prompts.answers = {MsgAnswer::No};
        bool stayedOpen = false;
        WhenShown([&](frmBulkChange* w) {
            QWidget* editor = In(w, box.toLatin1().constData());
            if (auto* line = qobject_cast<QLineEdit*>(editor)) {
                QTest::keyClicks(line, typed);
            } else if (auto* date = qobject_cast<DateBox*>(editor)) {
                date->setFocus();
                QTest::keyClicks(date->lineEdit(), typed);
            } else {
                // For Sale and Sold both set to Yes.
                for (const char* list : {"cmbForSale", "cmbSold"}) Q_EMIT In<QComboBox>(w, list)->activated(0);
            }
            In<QPushButton>(w, "cmdChange")->click();
            stayedOpen = w->isVisible();
            In<QPushButton>(w, "cmdCancel")->click();
        });
        f.window->mnuViewChange_Click();
        QVERIFY(stayedOpen);
        QCOMPARE(f.prompts.messages.size(), size_t(1));
        QCOMPARE(f.prompts.LastText(), message);
        QCOMPARE(int(f.prompts.messages[0].icon), icon);
        QCOMPARE(f.Scalar("select group_concat(quantity || forsale || sold || ifnull(pricepaid, '') || "
                          "ifnull(priceask, '') || ifnull(datesold, '') || misc2) from Stamp"),
                 before);
        QVERIFY(f.Agree());
    }

    // A new catalogue value for the stamps chosen: the editor's total, the list
    // and the collection value report agree on each stamp's new figures.
    void valueReportAgrees()
    {
        ListFixture f;
        SelectRows(f, {"Clipper", "Zeppelin"});
        f.prompts.answers = {MsgAnswer::Yes};
        WhenShown([](frmBulkChange* w) {
            QTest::keyClicks(In(w, "txtCatValue"), "2.5");
            In<QPushButton>(w, "cmdChange")->click();
        });
        f.window->mnuViewChange_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Zeppelin"));
        QCOMPARE(f.Text("txtCatValue"), QStringLiteral("$2.50"));
        QCOMPARE(f.Text("txtTotalVal"), QStringLiteral("$2.50"));
        QCOMPARE(f.Cell(f.RowOf("Clipper"), StampColumn::CatalogValue), QStringLiteral("$2.50"));
        gRptTarget = 2;
        const QString file = f.cat.File(QStringLiteral("Value.txt"));
        f.prompts.saveFiles = {file};
        ValueReport();
        QFile report(file);
        QVERIFY(report.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(report.readAll()).split(QStringLiteral("\r\n"));
        const auto line = [&lines](const QString& descr) {
            for (const QString& l : lines)
                if (l.startsWith(descr + u'\t')) return l.split(u'\t');
            return QStringList();
        };
        // Clipper holds 5 copies, Zeppelin one.
        QVERIFY2(line("Clipper").contains(QStringLiteral("$12.50")), qPrintable(line("Clipper").join(u'|')));
        QVERIFY2(line("Zeppelin").contains(QStringLiteral("$2.50")), qPrintable(line("Zeppelin").join(u'|')));
        QVERIFY(f.prompts.messages.size() == 1);
    }

    // Stamps deleted meanwhile (by another window) are left out, and the window
    // says how many it changed.
    void selectionDeletedMeanwhile()
    {
        ListFixture f;
        SelectRows(f, {"Albatross", "Clipper", "Hermes head"});
        gDb->Execute(QStringLiteral("DELETE FROM Stamp WHERE descr = 'Clipper'"));
        f.prompts.answers = {MsgAnswer::Yes};
        WhenShown([](frmBulkChange* w) {
            QTest::keyClicks(In(w, "txtQuantity"), "2");
            In<QPushButton>(w, "cmdChange")->click();
        });
        f.window->mnuViewChange_Click();
        QCOMPARE(f.prompts.LastText(),
                 QStringLiteral("2 stamps were changed.  1 of the selected stamps was no longer in the catalogue."));
        QCOMPARE(f.Scalar("select group_concat(v) from (select descr || quantity || ' ' || ifnull(totalval, '-') as v "
                          "from Stamp where descr in ('Albatross', 'Hermes head') order by StampID)"),
                 QStringLiteral("Hermes head2 80.0,Albatross2 -"));
        QCOMPARE(f.Model()->rowCount(), 7);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Hermes head"));
        QCOMPARE(f.Text("txtQuantity"), QStringLiteral("2"));
        QVERIFY(f.Agree());
    }

    // The Delete key deletes the rows chosen after one question; one row that is
    // the editor's stamp goes through the editor's own Delete.
    void deleteKey_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("left");
        QTest::newRow("three") << QStringList{"Clipper", "Penny Black", "Hermes head"} << MsgAnswer::Yes
                               << "Delete 3 stamps?"
                               << "Straße der Einheit" << 5;
        QTest::newRow("three, answered No")
            << QStringList{"Clipper", "Penny Black", "Hermes head"} << MsgAnswer::No << "Delete 3 stamps?"
            << "Hermes head" << 8;
        QTest::newRow("the last ones") << QStringList{"Zeppelin", "Wappen 1850"} << MsgAnswer::Yes << "Delete 2 stamps?"
                                       << "Twopenny Blue" << 6;
        QTest::newRow("the editor's stamp")
            << QStringList{"Clipper"} << MsgAnswer::Yes << "Are you sure that you want to delete this stamp record?"
            << "Hermes head" << 7;
    }
    // Every stamp a filter shows, deleted: the list says so and the editor,
    // whose stamp went with them, is emptied.
    void deletingEveryStampShown()
    {
        ListFixture f;
        f.Filter("penny");
        f.View()->setFocus();
        QTest::keyClick(f.View(), Qt::Key_A, Qt::ControlModifier);
        f.prompts.answers = {MsgAnswer::Yes};
        QTest::keyClick(f.View(), Qt::Key_Delete);
        QCOMPARE(f.prompts.LastText(), QStringLiteral("Delete 2 stamps?"));
        QCOMPARE(f.Scalar("select count(*) from Stamp"), QStringLiteral("6"));
        // Into the trash, as one change to undo.
        QCOMPARE(f.Scalar("select group_concat(descr, '|') from (select descr from DeletedStamp order by descr || '')"),
                 QStringLiteral("Penny Black|Twopenny Blue"));
        QCOMPARE(f.window->findChild<QAction*>("mnuUndo")->text(), QStringLiteral("&Undo Delete of 2 stamps"));
        QVERIFY(f.W("lblNoMatch")->isVisible());
        QCOMPARE(f.Text("txtDescr"), QString());
        QVERIFY(!f.W("txtDescr")->isEnabled());
        f.window->findChild<QPushButton*>("cmdClear")->click();
        QCOMPARE(f.Model()->rowCount(), 6);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Albatross"));
        QVERIFY(f.Agree());
        f.window->findChild<QAction*>("mnuUndo")->trigger();
        QCOMPARE(f.Model()->rowCount(), 8);
        QCOMPARE(f.Scalar("select count(*) from DeletedStamp"), QStringLiteral("0"));
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Penny Black"));
        QVERIFY(f.Agree());
    }

    void deleteKey()
    {
        QFETCH(QStringList, chosen);
        QFETCH(MsgAnswer, answer);
        QFETCH(QString, question);
        QFETCH(QString, shown);
        QFETCH(int, left);
        ListFixture f;
        SelectRows(f, chosen);
        f.prompts.answers = {answer};
        QTest::keyClick(f.View(), Qt::Key_Delete);
        QCOMPARE(f.prompts.messages.size(), size_t(1));
        QCOMPARE(f.prompts.LastText(), question);
        QCOMPARE(f.Scalar("select count(*) from Stamp"), QString::number(left));
        QCOMPARE(f.Model()->rowCount(), left);
        QCOMPARE(f.Text("txtDescr"), shown);
        QVERIFY(f.Agree());
    }
};

QTEST_MAIN(TestBulkChange)
#include "tst_bulkchange.moc"
