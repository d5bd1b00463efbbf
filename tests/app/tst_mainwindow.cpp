#include "MainWindowFixture.h"

#include "search/Collation.h"

#include "codes/frmCodesMaint.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "help/HelpContext.h"
#include "reports/ReportPresenter.h"

#include <QAbstractButton>
#include <QAction>
#include <QLocale>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const kEditorControls[] = {"txtDescr", "txtCatNum", "txtFace", "txtYear", "chkUsed", "chkWantList",
                                       "txtQuantity", "cmbCou", "cmbType", "cmbForm", "cmbPap", "cmbCan", "cmbPerf",
                                       "cmbTop", "cmbGum", "cmbCon", "txtColor", "txtWatermark", "txtErrors",
                                       "dcIssued", "txtPricePaid", "txtCatValue", "txtPriceAsk", "chkForSale",
                                       "dcPurchased", "chkSold", "dcDateSold", "txtNotes", "txtMisc1", "txtMisc2"};

QString Stamps(const QStringList& rows)
{
    QString sql;
    for (const QString& row : rows) sql += QStringLiteral("INSERT INTO Stamp (descr, catnum, catsort, issued) VALUES (%1);").arg(row);
    return sql;
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void emptyCatalogue()
    {
        MainWindowFixture f;
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Tessarine"));
        for (const char* name : kEditorControls) QVERIFY2(!f.W(name)->isEnabled(), name);
        for (const char* total : {"txtTotalPaid", "txtTotalVal", "txtTotalSales"}) QVERIFY(f.W(total)->isEnabled());
        QCOMPARE(f.Text("txtQuantity"), QStringLiteral("1"));
        QCOMPARE(f.Text("txtDescr"), QString());
        QCOMPARE(f.Text("lblPrice"), QStringLiteral("Price Paid"));
        for (const char* b : {"cmdFirst", "cmdPrevious", "cmdNext", "cmdLast", "cmdAddNew", "cmdDelete", "cmdFind", "cmdHelp"})
            QVERIFY2(f.Visible(b), b);
        QVERIFY(!f.Visible("cmdCancel"));
        QVERIFY(!f.Visible("cmdUpdate"));
        // Moving, sorting and deleting do nothing and fail nothing.
        f.window->cmdNext_Click();
        f.window->cmdPrevious_Click();
        f.window->cmdLast_Click();
        f.window->cmdDelete_Click();
        f.window->mnuSort_Click(2);
        QCOMPARE(f.prompts.beeps, 0);
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(!f.W("txtDescr")->isEnabled());
        QCOMPARE(gRptTarget, 1);
    }

    void controlsMenusAndTabOrder()
    {
        MainWindowFixture f;
        auto* tabs = f.W<QTabWidget>("SSTab1");
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(0), QStringLiteral("General"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Stamp Prices"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Notes"));
        QCOMPARE(tabs->tabText(3), QStringLiteral("Images"));
        QCOMPARE(f.W<QLineEdit>("txtDescr")->maxLength(), 80);
        QCOMPARE(f.W<QLineEdit>("txtCatNum")->maxLength(), 30);
        QCOMPARE(f.W<QLineEdit>("txtFace")->maxLength(), 50);
        QCOMPARE(f.W<QLineEdit>("txtMisc2")->maxLength(), 50);

        const QStringList order{"txtDescr", "txtCatNum", "txtFace", "txtYear", "chkUsed", "chkWantList", "txtQuantity",
                                "cmbCou", "cmbType", "cmbForm", "cmbPap", "cmbCan", "cmbPerf", "cmbTop", "cmbGum",
                                "txtColor", "txtWatermark", "txtErrors", "dcIssued", "dcPurchased", "txtPricePaid",
                                "cmbCon", "txtCatValue", "chkForSale", "chkSold", "txtPriceAsk", "dcDateSold",
                                "txtNotes", "txtMisc1", "txtMisc2", "cmdFirst", "cmdPrevious", "cmdNext", "cmdLast",
                                "cmdAddNew", "cmdDelete", "cmdFind", "cmdHelp", "cmdCancel", "cmdUpdate"};
        for (qsizetype i = 0; i + 1 < order.size(); ++i) {
            QWidget* w = f.W(order[i].toLatin1().constData());
            QWidget* next = w->nextInFocusChain();
            while (next && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
            // Line edits of the date boxes are part of their box.
            while (next && next->parentWidget() == w) next = next->nextInFocusChain();
            QVERIFY2(next && next->objectName() == order[i + 1], qPrintable(order[i] + " -> " + (next ? next->objectName() : "none")));
        }
        for (const char* total : {"txtTotalPaid", "txtTotalVal", "txtTotalSales"})
            QVERIFY(!(f.W(total)->focusPolicy() & Qt::TabFocus));

        const std::pair<const char*, const char*> items[] = {
            {"mnuBackup", "&Backup"},        {"mnuPack", "&Pack Database"},     {"mnuExit", "E&xit"},
            {"mnuSort_1", "Sort by &Description"}, {"mnuSort_2", "Sort by &Catalog Number"},
            {"mnuSort_3", "Sort by &Issue Date"}, {"mnuMaint_7", "&Performations"}, {"mnuMaint_9", "&Types"},
            {"mnuRptOut_1", "&View/Print Report"}, {"mnuRptOut_3", "Web Table (html)"}, {"mnuRpt_4", "Stamps by T&opic"},
            {"mnuRptValue", "Collection &Value"}, {"mnuRptWant", "&Want List"}, {"mnuRptSold", "Stamps &Sold"},
            {"mnuRptCustom", "Custom &Reports"}, {"mnuHelp_2", "&Search for Help on..."},
            {"mnuAbout", "&About the Tessarine Program"}};
        for (const auto& [name, text] : items) {
            auto* a = f.window->findChild<QAction*>(QString::fromLatin1(name));
            QVERIFY2(a, name);
            QCOMPARE(a->text(), QString::fromUtf8(text));
        }
        QVERIFY(f.window->findChild<QAction*>("mnuRptOut_1")->isChecked());
        f.window->mnuRptOut_Click(3);
        f.window->mnuRptOut_Click(2);
        QCOMPARE(gRptTarget, 2);
        QVERIFY(!f.window->findChild<QAction*>("mnuRptOut_1")->isChecked());
        QVERIFY(f.window->findChild<QAction*>("mnuRptOut_2")->isChecked());
        QVERIFY(!f.window->findChild<QAction*>("mnuRptOut_3")->isChecked());
    }

    // Every control's caption, length limit and help topic, and every menu
    // item's caption and help topic, as the collector and the help file know them.
    void controlTable()
    {
        // caption: its label's, or its own; maxLength: 0 for no limit (32767
        // characters in a box)
        const struct {
            const char* name;
            const char* caption;
            int maxLength;
            int help;
        } rows[] = {
            {"txtDescr", "Description", 80, 21},
            {"txtCatNum", "Catalog Num", 30, 22},
            {"txtFace", "Face Value", 50, 23},
            {"txtYear", "Year", 0, 24},
            {"chkUsed", "Used", 0, 25},
            {"chkWantList", "Want List", 0, 26},
            {"txtQuantity", "Quantity", 0, 27},
            {"cmbCou", "Country", 0, 28},
            {"cmbType", "Type", 0, 29},
            {"cmbForm", "Format", 0, 30},
            {"cmbPap", "Paper", 0, 31},
            {"cmbCan", "Cancellation", 0, 32},
            {"cmbPerf", "Perforation", 0, 33},
            {"cmbTop", "Topic", 0, 35},
            {"cmbGum", "Gum", 0, 34},
            {"txtColor", "Color", 50, 37},
            {"txtWatermark", "Watermark", 50, 38},
            {"txtErrors", "Errors", 50, 39},
            {"dcIssued", "Issue Date", 30, 40},
            {"dcPurchased", "Purchase Date", 30, 41},
            {"txtPricePaid", "Price Paid", 0, 43},
            {"cmbCon", "Condition", 0, 36},
            {"txtCatValue", "Catalog Value", 0, 44},
            {"chkForSale", "For Sale", 0, 45},
            {"chkSold", "Sold", 0, 45},
            {"txtPriceAsk", "Selling Price", 0, 46},
            {"dcDateSold", "Date Sold", 30, 42},
            {"txtTotalPaid", "Total Paid", 0, 43},
            {"txtTotalVal", "Total Value", 0, 44},
            {"txtTotalSales", "Total Sales", 0, 46},
            {"txtNotes", "Notes", 0, 47},
            {"txtMisc1", "Misc. 1", 50, 48},
            {"txtMisc2", "Misc. 2", 50, 48},
            {"cmdFirst", "Firs&t", 0, 14},
            {"cmdPrevious", "&Previous", 0, 14},
            {"cmdNext", "&Next", 0, 14},
            {"cmdLast", "&Last", 0, 14},
            {"cmdAddNew", "&Add New", 0, 9},
            {"cmdDelete", "&Delete", 0, 13},
            {"cmdFind", "F&ind", 0, 15},
            {"cmdHelp", "Help", 0, 8},
            {"cmdCancel", "&Cancel", 0, 11},
            {"cmdUpdate", "&Update", 0, 10},
            {"frmMain", "Tessarine", 0, 7},
            {"mnuBackup", "&Backup", 0, 56},
            {"mnuPack", "&Pack Database", 0, 57},
            {"mnuExit", "E&xit", 0, 58},
            {"mnuSort_1", "Sort by &Description", 0, 17},
            {"mnuSort_2", "Sort by &Catalog Number", 0, 17},
            {"mnuSort_3", "Sort by &Issue Date", 0, 17},
            {"mnuMaint_1", "&Cancellations", 0, 19},
            {"mnuMaint_2", "&Conditions", 0, 20},
            {"mnuMaint_3", "&Countries", 0, 49},
            {"mnuMaint_4", "&Formats", 0, 50},
            {"mnuMaint_5", "&Gum", 0, 51},
            {"mnuMaint_6", "&Papers", 0, 52},
            {"mnuMaint_7", "&Performations", 0, 53},
            {"mnuMaint_8", "&Topics", 0, 55},
            {"mnuMaint_9", "&Types", 0, 54},
            {"mnuRptOut_1", "&View/Print Report", 0, 59},
            {"mnuRptOut_2", "Send Report to &File", 0, 59},
            {"mnuRptOut_3", "Web Table (html)", 0, 59},
            {"mnuRpt_1", "Stamps by &Country", 0, 60},
            {"mnuRpt_2", "Stamps by &Type", 0, 62},
            {"mnuRpt_3", "Stamps by &Format", 0, 63},
            {"mnuRpt_4", "Stamps by T&opic", 0, 64},
            {"mnuRptValue", "Collection &Value", 0, 61},
            {"mnuRptWant", "&Want List", 0, 66},
            {"mnuRptSold", "Stamps &Sold", 0, 67},
            {"mnuRptCustom", "Custom &Reports", 0, 68},
            {"mnuHelp_1", "&Contents", 0, 8},
            {"mnuHelp_2", "&Search for Help on...", 0, 8},
            {"mnuHelp_3", "&Using Help", 0, 8},
            {"mnuAbout", "&About the Tessarine Program", 0, 18},
        };
        MainWindowFixture f;
        for (const auto& row : rows) {
            const QString name = QString::fromLatin1(row.name);
            const QString caption = QString::fromUtf8(row.caption);
            const auto fail = [&name](const char* what, const QVariant& seen) {
                return (name + u' ' + QLatin1String(what) + QStringLiteral(": ") + seen.toString()).toUtf8();
            };
            if (name.startsWith(u"mnu")) {
                auto* item = f.window->findChild<QAction*>(name);
                QVERIFY2(item, qPrintable(name));
                QVERIFY2(item->text() == caption, fail("caption", item->text()).constData());
                QVERIFY2(HelpContextOf(item) == row.help, fail("help", HelpContextOf(item)).constData());
                continue;
            }
            QWidget* control = name == u"frmMain" ? f.window.get() : f.window->findChild<QWidget*>(name);
            QVERIFY2(control, qPrintable(name));
            QVERIFY2(HelpContextOf(control) == row.help, fail("help", HelpContextOf(control)).constData());
            QString shown;
            if (auto* button = qobject_cast<QAbstractButton*>(control))
                shown = button->text();
            else if (control->isWindow())
                shown = control->windowTitle();
            for (const QLabel* label : f.window->findChildren<QLabel*>())
                if (label->buddy() == control) shown = label->text();
            QVERIFY2(shown == caption, fail("caption", shown).constData());
            const int limit = row.maxLength ? row.maxLength : 32767;
            if (auto* box = qobject_cast<QLineEdit*>(control))
                QVERIFY2(box->maxLength() == limit, fail("length", box->maxLength()).constData());
            if (auto* date = qobject_cast<QComboBox*>(control); date && date->lineEdit())
                QVERIFY2(date->lineEdit()->maxLength() == limit,
                         fail("length", date->lineEdit()->maxLength()).constData());
        }
    }

    // Each category report item runs the report of its own kind.
    void categoryReportItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("title");
        QTest::newRow("by country") << "mnuRpt_1" << 3 << "Stamps by Country";
        QTest::newRow("by type") << "mnuRpt_2" << 9 << "Stamps by Type";
        QTest::newRow("by format") << "mnuRpt_3" << 4 << "Stamps by Format";
        QTest::newRow("by topic") << "mnuRpt_4" << 8 << "Stamps by Topic";
    }
    void categoryReportItems()
    {
        QFETCH(QString, item);
        QFETCH(int, category);
        QFETCH(QString, title);
        MemoryReportPresenter presenter;
        InstallReportPresenter(&presenter);
        const auto uninstall = qScopeGuard([] { InstallReportPresenter(nullptr); });
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr) VALUES ('Held');"));
        gRptCategory = 0;
        f.window->findChild<QAction*>(item)->trigger();
        QCOMPARE(gRptCategory, category);
        QCOMPARE(presenter.selections, 1);
        QCOMPARE(presenter.shows, 1);
        QCOMPARE(presenter.surface.PageHeaderText(1).section(u'|', 1, 1), title);
        QCOMPARE(gRptHeader.section(u';', 1).section(u'|', 0, 0), title.section(u' ', 2));
    }

    void filledCatalogueShowsFirstStamp()
    {
        MainWindowFixture f(300);
        auto* country = f.W<QComboBox>("cmbCou");
        QVERIFY(country->count() > 20);
        // In alphabetical order whatever the script.
        for (int i = 0; i + 1 < country->count(); ++i)
            QVERIFY(CollationKey(country->itemText(i)) <= CollationKey(country->itemText(i + 1)));
        const QString firstDescr = f.Scalar("select descr from Stamp order by descr, StampID limit 1");
        QCOMPARE(f.Text("txtDescr"), firstDescr);
        const QString couId = f.Scalar("select CouID from Stamp order by descr, StampID limit 1");
        if (couId.isEmpty()) QCOMPARE(country->currentIndex(), -1);
        else QCOMPARE(country->currentData().toString(), couId);
        QVERIFY(f.Visible("cmdFind"));
        QVERIFY(!f.Visible("cmdUpdate"));
    }

    void displayRules()
    {
        MainWindowFixture f(0, QStringLiteral(
            "INSERT INTO country (Coudesc) VALUES ('France');"
            "INSERT INTO Stamp (descr, catnum, face, Year, quantity, CouID, issued, pricepaid, totalpaid, wantlist, "
            "forsale, sold, notes) VALUES ('Marianne', '12', 1234.5, 1998, 3, 1, '1998-05-30', 2.5, 7.5, 1, 1, 1, "
            "'line one\nline two');"
            "INSERT INTO Stamp (descr, CouID, quantity) VALUES ('Nulls', 99, 1);"));
        QCOMPARE(f.Text("txtFace"), QStringLiteral("$1,234.50"));
        QCOMPARE(f.Text("txtYear"), QStringLiteral("1998"));
        QCOMPARE(f.Text("txtQuantity"), QStringLiteral("3"));
        QCOMPARE(f.Text("cmbCou"), QStringLiteral("France"));
        QCOMPARE(f.Text("dcIssued"), QStringLiteral("5/30/1998"));
        QCOMPARE(f.Text("txtPricePaid"), QStringLiteral("$2.50"));
        QCOMPARE(f.Text("txtTotalPaid"), QStringLiteral("$7.50"));
        QCOMPARE(f.Text("lblPrice"), QStringLiteral("Will Pay"));
        QCOMPARE(f.Text("txtNotes"), QStringLiteral("line one\nline two"));
        // Both sale flags stored: "Sold" wins on display.
        QVERIFY(f.W<QCheckBox>("chkSold")->isChecked());
        QVERIFY(!f.W<QCheckBox>("chkForSale")->isChecked());
        // Filling the controls never starts an edit.
        QVERIFY(!f.Visible("cmdUpdate"));
        QVERIFY(!f.window->IsEditing());

        f.window->cmdNext_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Nulls"));
        // A code that matches no entry selects nothing.
        QCOMPARE(f.W<QComboBox>("cmbCou")->currentIndex(), -1);
        for (const char* empty : {"txtFace", "txtYear", "dcIssued", "txtPricePaid", "txtTotalPaid", "txtCatValue"})
            QCOMPARE(f.Text(empty), QString());
        QCOMPARE(f.Text("lblPrice"), QStringLiteral("Price Paid"));
        QVERIFY(!f.Visible("cmdUpdate"));
    }

    void nullQuantityShowsEmpty()
    {
        MainWindowFixture f(0, QStringLiteral(
            "CREATE TABLE s2 AS SELECT * FROM Stamp; DROP TABLE Stamp;"
            "CREATE TABLE Stamp (StampID INTEGER PRIMARY KEY AUTOINCREMENT, descr TEXT, catnum TEXT DEFAULT '', "
            "catsort TEXT DEFAULT '', face REAL, Year INTEGER, used INTEGER DEFAULT 0, wantlist INTEGER DEFAULT 0, "
            "quantity INTEGER, CouID INTEGER, typeID INTEGER, formID INTEGER, papID INTEGER, CanID INTEGER, "
            "perfID INTEGER, topID INTEGER, gumID INTEGER, ConID INTEGER, Color TEXT DEFAULT '', watermark TEXT "
            "DEFAULT '', Errors TEXT DEFAULT '', issued TEXT, pricepaid REAL, totalpaid REAL, catvalue REAL, "
            "totalval REAL, priceask REAL, totalsales REAL, forsale INTEGER DEFAULT 0, purchased TEXT, sold INTEGER "
            "DEFAULT 0, datesold TEXT, notes TEXT DEFAULT '', misc1 TEXT DEFAULT '', misc2 TEXT DEFAULT '');"
            "INSERT INTO Stamp (descr, quantity, face) VALUES ('Odd', NULL, 'abc');"
            // A file of that layout is older than the text keys; opening it adds them.
            "PRAGMA user_version = 0;"));
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Odd"));
        QCOMPARE(f.Text("txtQuantity"), QString());
        QCOMPARE(f.Text("txtFace"), QString());  // text in a money field shows nothing
        QVERIFY(f.prompts.messages.empty());
    }

    void navigationBeepsAtTheEnds()
    {
        MainWindowFixture f(0, Stamps({"'Bravo', '', '', NULL", "'Alpha', '', '', NULL", "'Charlie', '', '', NULL"}));
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Alpha"));
        f.window->cmdPrevious_Click();
        QCOMPARE(f.prompts.beeps, 1);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Alpha"));
        f.window->cmdNext_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Bravo"));
        f.window->cmdLast_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Charlie"));
        f.window->cmdNext_Click();
        QCOMPARE(f.prompts.beeps, 2);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Charlie"));
        f.window->cmdFirst_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Alpha"));
    }

    void sortOrders()
    {
        MainWindowFixture f(0, Stamps({"'Zeta', '100', '                 100', '1900-01-01'",
                                       "'Alpha', '10', '                  10', NULL",
                                       "'Mu', '9', '                   9', '1850-06-01'"}));
        f.window->mnuSort_Click(2);
        QCOMPARE(gSortOrder, 2);
        QStringList seen;
        for (int i = 0; i < 3; ++i) {
            seen << f.Text("txtCatNum");
            f.window->cmdNext_Click();
        }
        QCOMPARE(seen, (QStringList{"9", "10", "100"}));
        f.window->mnuSort_Click(3);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Alpha"));  // no issue date comes first
        f.window->cmdNext_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Mu"));
        f.window->mnuSort_Click(1);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Alpha"));
    }

    void finds_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("found");    // description shown afterwards
        QTest::addColumn<QString>("message");  // message shown, if any
        QTest::newRow("prefix any case") << 1 << "pen" << "Penny Black" << "";
        QTest::newRow("empty finds first") << 1 << "" << "Inverted Jenny" << "";
        QTest::newRow("apostrophe") << 1 << "o'brien" << "O'Brien's Cover" << "";
        QTest::newRow("quote injection") << 1 << "x' or '1'='1" << "Zeppelin" << "That record was not found.";
        QTest::newRow("percent is literal") << 1 << "%" << "Zeppelin" << "That record was not found.";
        QTest::newRow("no match") << 1 << "zz" << "Zeppelin" << "That record was not found.";
        QTest::newRow("whole number") << 2 << "12" << "Penny Black" << "";
        QTest::newRow("not a prefix") << 2 << "1" << "Zeppelin" << "That record was not found.";
        QTest::newRow("letter case") << 2 << "12A" << "Penny Red" << "";
        QTest::newRow("date") << 3 << "7/4/1998" << "Inverted Jenny" << "";
        QTest::newRow("iso date") << 3 << "1998-07-04" << "Inverted Jenny" << "";
        QTest::newRow("bad date") << 3 << "7/44/1998" << "Zeppelin" << "You must enter a valid date.";
        QTest::newRow("date apostrophe") << 3 << "7/4/'98" << "Zeppelin" << "You must enter a valid date.";
    }
    void finds()
    {
        QFETCH(int, order);
        QFETCH(QString, answer);
        QFETCH(QString, found);
        QFETCH(QString, message);
        MainWindowFixture f(0, Stamps({"'Penny Black', '12', '                  12', '1840-05-01'",
                                       "'Penny Red', '12a', '                 12a', NULL",
                                       "'Inverted Jenny', 'C3a', '                 C3a', '1998-07-04'",
                                       "'O''Brien''s Cover', '5', '                   5', NULL",
                                       "'Zeppelin', '1000', '                1000', '2000-01-01'"}));
        f.window->mnuSort_Click(order);
        // Stand on a record that the find must leave when nothing matches.
        f.window->cmdFirst_Click();
        while (f.Text("txtDescr") != u"Zeppelin") f.window->cmdNext_Click();
        f.prompts.inputs = {answer};
        f.window->cmdFind_Click();
        QCOMPARE(f.prompts.inputRequests.size(), size_t(1));
        const char* prompts[] = {"", "Enter the description to find", "Enter the catalog number to find",
                                 "Enter the issue date to find"};
        const char* titles[] = {"", "Find description", "Find Catalog Number", "Find Issue Date"};
        QCOMPARE(f.prompts.inputRequests[0].prompt, QString::fromLatin1(prompts[order]));
        QCOMPARE(f.prompts.inputRequests[0].title, QString::fromLatin1(titles[order]));
        QCOMPARE(f.Text("txtDescr"), found);
        QCOMPARE(f.prompts.LastText(), message);
        if (message == u"That record was not found.") QCOMPARE(f.prompts.messages.back().title, QStringLiteral("No Records Match"));
        QVERIFY(!f.prompts.endedWith);
        // The position stayed too: Zeppelin is last in every order, so Next beeps.
        if (!message.isEmpty()) {
            f.window->cmdNext_Click();
            QCOMPARE(f.prompts.beeps, 1);
        }
    }

    void editAndBrowseModes()
    {
        MainWindowFixture f(0, Stamps({"'Alpha', '', '', NULL"}));
        auto action = [&](const char* name) { return f.window->findChild<QAction*>(QString::fromLatin1(name)); };
        QTest::keyClicks(f.W("txtColor"), "Red");
        QVERIFY(f.window->IsEditing());
        for (const char* b : {"cmdFirst", "cmdPrevious", "cmdNext", "cmdLast", "cmdHelp", "cmdFind", "cmdDelete", "cmdAddNew"})
            QVERIFY2(!f.Visible(b), b);
        QVERIFY(f.Visible("cmdCancel"));
        QVERIFY(f.Visible("cmdUpdate"));
        for (const char* m : {"mnuMaint_1", "mnuMaint_9", "mnuSort_1", "mnuSort_3", "mnuExit", "mnuBackup", "mnuPack"})
            QVERIFY2(!action(m)->isEnabled(), m);
        QVERIFY(action("mnuRptValue")->isEnabled());
        f.window->cmdCancel_Click();
        QVERIFY(!f.window->IsEditing());
        QCOMPARE(f.Text("txtColor"), QString());
        for (const char* m : {"mnuMaint_1", "mnuSort_2", "mnuExit", "mnuBackup", "mnuPack"}) QVERIFY2(action(m)->isEnabled(), m);
        QVERIFY(f.Visible("cmdAddNew"));
        QVERIFY(!f.Visible("cmdUpdate"));
    }

    void listsFollowCodeChangesWhileEditing()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Norway'), ('Chile');"
                                              "INSERT INTO Stamp (descr, CouID) VALUES ('Fjord', 1);"));
        QCOMPARE(f.Text("cmbCou"), QStringLiteral("Norway"));
        // Browse: a new country appears and the stamp keeps its country.
        {
            auto rs = gDb->OpenDynaset(QStringLiteral("Select * from country order by Coudesc"));
            rs->AddNew();
            rs->SetField(QStringLiteral("Coudesc"), QStringLiteral("Austria"));
            rs->Update();
        }
        gCouChanged = true;
        f.window->Form_Activate();
        QCOMPARE(f.W<QComboBox>("cmbCou")->count(), 3);
        QCOMPARE(f.W<QComboBox>("cmbCou")->itemText(0), QStringLiteral("Austria"));
        QCOMPARE(f.Text("cmbCou"), QStringLiteral("Norway"));
        // Editing: typed values stay, the choice is kept by its code.
        QTest::keyClicks(f.W("txtDescr"), " view");
        f.W<QComboBox>("cmbCou")->setCurrentIndex(1);  // Chile
        gCouChanged = true;
        f.window->Form_Activate();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Fjord view"));
        QCOMPARE(f.Text("cmbCou"), QStringLiteral("Chile"));
        QVERIFY(f.window->IsEditing());
    }

    void codeTableWindowFeedsTheLists()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Norway'), ('Chile');"
                                              "INSERT INTO Stamp (descr, CouID) VALUES ('Fjord', 1);"));
        f.window->mnuMaint_Click(3);
        auto* codes = frmCodesMaint::Instance();
        QVERIFY(codes);
        QCOMPARE(gCodeTable, 3);
        QCOMPARE(codes->windowTitle(), QStringLiteral("Maintain Countries"));
        codes->Form_Activate();
        codes->cmdAddNew_Click();
        codes->findChild<QLineEdit*>("txtDesc")->setText("Austria");
        codes->cmdUpdate_Click();
        codes->cmdOk_Click();
        f.window->Form_Activate();
        auto* list = f.W<QComboBox>("cmbCou");
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->itemText(0), QStringLiteral("Austria"));
        QCOMPARE(f.Text("cmbCou"), QStringLiteral("Norway"));
        QVERIFY(!f.window->IsEditing());
    }

    void unusableCatalogueEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("contents");  // "missing": no file at all
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray("missing") << "3024  Could not find file '%1/stamp.mdb'.";
        QTest::newRow("empty file") << QByteArray() << "3078  '%1/stamp.mdb' is not a Tessarine catalogue: it has no table 'Stamp'.";
        QTest::newRow("text file") << QByteArray("Penny Black\n").repeated(400) << "26  file is not a database";
    }
    void unusableCatalogueEndsTheProgram()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        ScriptedPrompts p;
        QTemporaryDir dir;
        if (contents != "missing") {
            QFile file(dir.filePath("stamp.mdb"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        {
            frmMain window;
            window.Form_Load();
            window.Form_Activate();
            QCOMPARE(p.messages.size(), size_t(1));
            const QString where = QDir(dir.path()).canonicalPath();
            QCOMPARE(p.messages[0].text, message.contains(u"%1") ? message.arg(where) : message);
            QCOMPARE(p.messages[0].title, QStringLiteral("Tessarine"));
            QCOMPARE(p.endedWith, std::optional<int>(1));
            window.Form_Unload();
        }
        QDir::setCurrent(previous);
        if (contents != "missing") QCOMPARE(QFileInfo(dir.filePath("stamp.mdb")).size(), contents.size());
    }

    void secondCopyIsRefused()
    {
        MainWindowFixture f(3);
        const pid_t pid = fork();
        if (pid == 0) {
            ScriptedPrompts p;
            frmMain second;
            second.Form_Load();
            const bool right = p.messages.size() == 1 && p.messages[0].title == u"Database File Already In Use" &&
                               p.messages[0].text.startsWith(u"The database is in use.") && p.endedWith == 1;
            _exit(right ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        // The first copy goes on working.
        f.window->cmdNext_Click();
        QVERIFY(f.prompts.messages.empty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
