// The report files, byte for byte, and what happens around them: the Save
// dialog, "File Exists", empty results and files that cannot be written.

#include "ReportRunner.h"
#include "ReportTestData.h"
#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/Globals.h"
#include "reports/ReportFile.h"
#include "reports/ReportPresenter.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return f.readAll();
}

const QString kCurrencyHead = QStringLiteral("<html>");

QStringList CategoryHtmlHead(const QString& title, const QString& group)
{
    return {"<html>",
            "<head><title>" + title + "</title></head>",
            "<body>",
            "<table border=1>",
            "<tr><th colspan=7>" + title + "</th></tr>",
            "<tr><th>" + group + "</th>",
            "<th>Description</th>",
            "<th>Cat #</th>",
            "<th>Face Value</th>",
            "<th>Year</th>",
            "<th>Quantity</th></tr>"};
}

QStringList SalesHtmlHead()
{
    return {"<html>",
            "<head><title>Stamp Sales Report</title></head>",
            "<body>",
            "<table border=1>",
            "<tr><th colspan=7>Stamp Sales Report</th></tr>",
            "<tr><th>Description</th>",
            "<th>Cat #</th>",
            "<th>Quantity</th>",
            "<th>Paid Each</th>",
            "<th>Total Paid</th>",
            "<th>Sale Price Each</th>",
            "<th>Total Sales</th></tr>"};
}

QStringList ValueHtmlHead()
{
    return {"<html>",
            "<head><title>Stamp Collection Value </title></head>",
            "<body>",
            "<table border=1>",
            "<tr><th colspan=7>Stamp Collection Value</th></tr>",
            "<tr><th>Description</th>",
            "<th>Cat #</th>",
            "<th>Quantity</th>",
            "<th>Paid Each</th>",
            "<th>Total Paid</th>",
            "<th>Value Each</th>",
            "<th>Total Value</th></tr>"};
}

QStringList WantHtmlHead()
{
    return {"<html>",
            "<head><title>Stamp Want List </title></head>",
            "<body>",
            "<table border=1>",
            "<tr><th colspan=7>Stamp Want List</th></tr>",
            "<tr><th>Description</th>",
            "<th>Cat #</th>",
            "<th>Country</th>",
            "<th>Face Value</th>",
            "<th>Condition</th>",
            "<th>Will Pay</th></tr>"};
}

}  // namespace

class TestReportFiles : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<MemoryReportPresenter> mPresenter;

    void OpenCatalogue(bool fill)
    {
        gDb.reset();
        mCat = std::make_unique<TestCatalogue>();
        if (fill) FillReportCatalogue(*mCat);
        gDb = Database::Open(mCat->Path(), true);
    }

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        mPresenter = std::make_unique<MemoryReportPresenter>();
        InstallReportPresenter(mPresenter.get());
        gRptCancel = false;
        gRptSelID = -1;
        OpenCatalogue(true);
    }
    void cleanup()
    {
        gDb.reset();
        mCat.reset();
        InstallReportPresenter(nullptr);
        mPresenter.reset();
        gRptTarget = 1;
    }

    void files_data()
    {
        QTest::addColumn<ReportKind>("kind");
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("selection");
        QTest::addColumn<QString>("defaultName");
        QTest::addColumn<QStringList>("lines");

        const QStringList salesRows = {
            "Lost cause\t\t1\t$0.00\t$0.00\t$0.50\t$0.50",
            "Penny Black\t1\t3\t$1.50\t$4.50\t$2.00\t$6.00",
        };
        QTest::newRow("sales text") << ReportKind::Sales << 2 << -1 << "Sales.txt"
                                    << salesRows + QStringList{"\t\t4\t\t4.5\t\t6.5", "\t\t\t\t\t\t2"};
        QTest::newRow("sales html")
            << ReportKind::Sales << 3 << -1 << "Sales.htm"
            << SalesHtmlHead() +
                   QStringList{
                       "<tr><td>Lost cause</td><td></td><td align=right>1</td><td align=right>$0.00</td><td "
                       "align=right>$0.00</td><td align=right>$0.50</td><td align=right>$0.50</td></tr>",
                       "<tr><td>Penny Black</td><td>1</td><td align=right>3</td><td align=right>$1.50</td><td "
                       "align=right>$4.50</td><td align=right>$2.00</td><td align=right>$6.00</td></tr>",
                       "<tr><td>Totals</td><td align=right colspan=2>4</td><td align=right colspan=2>$4.50</td><td "
                       "align=right colspan=2>$6.50</td></tr>",
                       "<tr><td>Sale Price Minus Cost</td><td align=right colspan=6>$2.00</td></tr>"} +
                   HtmlTail();

        // A "|" in a value becomes a space, so the columns stay, and a ";" disappears.
        QTest::newRow("value text, negative difference")
            << ReportKind::Value << 2 << -1 << "Value.txt"
            << QStringList{"<b>Bold</b>\t7a\t1\t$0.00\t$0.00\t$0.75\t$0.75",
                           "Airmail a bc\tA1\t1\t$10.00\t$10.00\t$0.00\t$0.00",
                           "Hinge remnant\t\t5\t$0.10\t$0.50\t$0.20\t$1.00",
                           "Tom & Jerry\t12\t2\t$1.25\t$2.50\t$3.00\t$6.00",
                           "\t\t9\t\t$13.00\t\t$7.75",
                           "\t\t\t\t\t\t($5.25)"};
        QTest::newRow("value html, escaped")
            << ReportKind::Value << 3 << -1 << "Value.htm"
            << ValueHtmlHead() +
                   QStringList{
                       "<tr><td>&lt;b&gt;Bold&lt;/b&gt;</td><td>7a</td><td align=right>1</td><td "
                       "align=right>$0.00</td><td align=right>$0.00</td><td align=right>$0.75</td><td "
                       "align=right>$0.75</td></tr>",
                       "<tr><td>Airmail a|b;c</td><td>A;1</td><td align=right>1</td><td align=right>$10.00</td><td "
                       "align=right>$10.00</td><td align=right>$0.00</td><td align=right>$0.00</td></tr>",
                       "<tr><td>Hinge remnant</td><td></td><td align=right>5</td><td align=right>$0.10</td><td "
                       "align=right>$0.50</td><td align=right>$0.20</td><td align=right>$1.00</td></tr>",
                       "<tr><td>Tom &amp; Jerry</td><td>12</td><td align=right>2</td><td align=right>$1.25</td><td "
                       "align=right>$2.50</td><td align=right>$3.00</td><td align=right>$6.00</td></tr>",
                       "<tr><td>Totals</td><td align=right colspan=2>9</td><td align=right colspan=2>$13.00</td><td "
                       "align=right colspan=2>$7.75</td></tr>",
                       "<tr><td>Value Minus Cost</td><td align=right colspan=6>($5.25)</td></tr>"} +
                   HtmlTail();

        QTest::newRow("want list text") << ReportKind::WantList << 2 << -1 << "WantList.txt"
                                        << QStringList{"Lost cause\t\t\t\t\t$0.00",
                                                       "Zeppelin\tC1\tFrance\t$2.60\tUsed\t$250.00",
                                                       "\t\t\t\t\t$250.00"};
        QTest::newRow("want list html")
            << ReportKind::WantList << 3 << -1 << "WantList.htm"
            << WantHtmlHead() +
                   QStringList{
                       "<tr><td>Lost cause</td><td></td><td></td><td align=right></td><td></td><td "
                       "align=right>$0.00</td></tr>",
                       "<tr><td>Zeppelin</td><td>C1</td><td>France</td><td align=right>$2.60</td><td>Used</"
                       "td><td align=right>$250.00</td></tr>",
                       "<tr><td align=right colspan=6>$250.00</td></tr>"} +
                   HtmlTail();

        const QString bold = "<b>Bold</b>\t7a\t\t\t1";
        const QString hinge = "Hinge remnant\t\t\t1950\t5";
        const QString airmail = "Airmail a bc\tA1\t$1.00\t1935\t1";
        const QString tom = "Tom & Jerry\t12\t$0.50\t1990\t2";
        QTest::newRow("country text, all")
            << ReportKind::Country << 2 << -1 << "Stamp.txt"
            << QStringList{"\t" + bold, "\t" + hinge, "Belgium\t" + airmail, "France\t" + tom, "\t\t\t\t\t9"};
        QTest::newRow("country text, France")
            << ReportKind::Country << 2 << 1 << "Stamp.txt" << QStringList{"France\t" + tom, "\t\t\t\t\t2"};
        QTest::newRow("type text, all") << ReportKind::Type << 2 << -1 << "Stamp.txt"
                                        << QStringList{"\t" + hinge, "Commemorative\t" + bold, "Definitive\t" + airmail,
                                                       "Definitive\t" + tom, "\t\t\t\t\t9"};
        QTest::newRow("type text, Commemorative")
            << ReportKind::Type << 2 << 2 << "Stamp.txt" << QStringList{"Commemorative\t" + bold, "\t\t\t\t\t1"};
        QTest::newRow("format text, all")
            << ReportKind::Format << 2 << -1 << "Stamp.txt"
            << QStringList{"\t" + bold, "\t" + hinge, "Block\t" + airmail, "Single\t" + tom, "\t\t\t\t\t9"};
        // Single is also the format of a sold stamp and of a want-list stamp.
        QTest::newRow("format text, Single")
            << ReportKind::Format << 2 << 1 << "Stamp.txt" << QStringList{"Single\t" + tom, "\t\t\t\t\t2"};
        QTest::newRow("topic text, all") << ReportKind::Topic << 2 << -1 << "Stamp.txt"
                                         << QStringList{"\t" + hinge, "Birds\t" + tom, "Ships\t" + bold,
                                                        "Ships\t" + airmail, "\t\t\t\t\t9"};
        QTest::newRow("topic text, Ships") << ReportKind::Topic << 2 << 2 << "Stamp.txt"
                                           << QStringList{"Ships\t" + bold, "Ships\t" + airmail, "\t\t\t\t\t2"};

        const QString boldHtml =
            "<td>&lt;b&gt;Bold&lt;/b&gt;</td><td>7a</td><td align=right></td><td></td><td align=right>1</td>";
        const QString hingeHtml =
            "<td>Hinge remnant</td><td></td><td align=right></td><td>1950</td><td align=right>5</td>";
        const QString airmailHtml =
            "<td>Airmail a|b;c</td><td>A;1</td><td align=right>$1.00</td><td>1935</td><td align=right>1</td>";
        const QString tomHtml =
            "<td>Tom &amp; Jerry</td><td>12</td><td align=right>$0.50</td><td>1990</td><td align=right>2</td>";
        QTest::newRow("country html, all")
            << ReportKind::Country << 3 << -1 << "Stamps.htm"
            << CategoryHtmlHead("Stamps by Country", "Country") +
                   QStringList{"<tr><td></td>" + boldHtml, "<tr><td></td>" + hingeHtml,
                               "<tr><td>Belgium</td>" + airmailHtml, "<tr><td>France</td>" + tomHtml,
                               "<tr><td>Total Stamps</td><td align=right colspan=5>9</td></tr>"} +
                   HtmlTail();
        QTest::newRow("type html, all") << ReportKind::Type << 3 << -1 << "Stamps.htm"
                                        << CategoryHtmlHead("Stamps by Type", "Type") +
                                               QStringList{
                                                   "<tr><td></td>" + hingeHtml, "<tr><td>Commemorative</td>" + boldHtml,
                                                   "<tr><td>Definitive</td>" + airmailHtml,
                                                   "<tr><td>Definitive</td>" + tomHtml,
                                                   "<tr><td>Total Stamps</td><td align=right colspan=5>9</td></tr>"} +
                                               HtmlTail();
        QTest::newRow("format html, Block")
            << ReportKind::Format << 3 << 2 << "Stamps.htm"
            << CategoryHtmlHead("Stamps by Format", "Format") +
                   QStringList{"<tr><td>Block</td>" + airmailHtml,
                               "<tr><td>Total Stamps</td><td align=right colspan=5>1</td></tr>"} +
                   HtmlTail();
        QTest::newRow("topic html, Ships")
            << ReportKind::Topic << 3 << 2 << "Stamps.htm"
            << CategoryHtmlHead("Stamps by Topic", "Topic") +
                   QStringList{"<tr><td>Ships</td>" + boldHtml, "<tr><td>Ships</td>" + airmailHtml,
                               "<tr><td>Total Stamps</td><td align=right colspan=5>2</td></tr>"} +
                   HtmlTail();
    }
    void files()
    {
        QFETCH(ReportKind, kind);
        QFETCH(int, target);
        QFETCH(int, selection);
        QFETCH(QString, defaultName);
        QFETCH(QStringList, lines);

        ScriptedPrompts p;
        const QString path = mCat->File("out" + defaultName.right(4));
        p.saveFiles.push_back(path);
        gRptTarget = target;
        mPresenter->selection = selection;
        RunReport(kind);

        QCOMPARE(p.saveRequests.size(), size_t(1));
        QCOMPARE(p.saveRequests[0].defaultName, defaultName);
        QCOMPARE(p.saveRequests[0].filter, target == 2 ? QString("Text Files (*.txt)|*.txt|All Files (*.*)|*.*")
                                                       : QString("Html Files (*.htm)|*.htm|All Files (*.*)|*.*"));
        QVERIFY(p.messages.empty());
        QCOMPARE(ReadAll(path), FileBytes(lines));
        QCOMPARE(mPresenter->shows, 0);
        QVERIFY(!p.busy.empty());
        QCOMPARE(p.busy.back(), false);
        // Nothing but the report file is left in the folder.
        QCOMPARE(QDir(mCat->Dir()).entryList(QDir::Files), QStringList({"out" + defaultName.right(4), "stamp.mdb"}));
    }

    void workedExample_data()
    {
        QTest::addColumn<ReportKind>("kind");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("sales: plain totals")
            << ReportKind::Sales
            << "INSERT INTO Stamp (descr, catnum, quantity, pricepaid, priceask, sold) VALUES ('Penny Black', '1', 3, "
               "1.5, 2.0, 1)"
            << QStringList{"Penny Black\t1\t3\t$1.50\t$4.50\t$2.00\t$6.00", "\t\t3\t\t4.5\t\t6", "\t\t\t\t\t\t1.5"};
        QTest::newRow("value: currency totals")
            << ReportKind::Value
            << "INSERT INTO Stamp (descr, catnum, quantity, pricepaid, catvalue) VALUES ('Penny Black', '1', 3, 1.5, "
               "2.0)"
            << QStringList{"Penny Black\t1\t3\t$1.50\t$4.50\t$2.00\t$6.00", "\t\t3\t\t$4.50\t\t$6.00",
                           "\t\t\t\t\t\t$1.50"};
        QTest::newRow("sales: plain negative difference")
            << ReportKind::Sales
            << "INSERT INTO Stamp (descr, catnum, quantity, pricepaid, priceask, sold) VALUES ('Loss', 'X', 2, 3.25, "
               "1.0, 1)"
            << QStringList{"Loss\tX\t2\t$3.25\t$6.50\t$1.00\t$2.00", "\t\t2\t\t6.5\t\t2", "\t\t\t\t\t\t-4.5"};
        // Past 2^46 a double cannot tell one cent from the next.
        QTest::newRow("sales: plain totals to the cent past 7e13")
            << ReportKind::Sales
            << "INSERT INTO Stamp (descr, catnum, quantity, pricepaid, priceask, sold) VALUES ('Big', '', 1, 0, "
               "70368744177664, 1), ('Small', '', 1, 0, 0.01, 1)"
            << QStringList{"Big\t\t1\t$0.00\t$0.00\t$70,368,744,177,664.00\t$70,368,744,177,664.00",
                           "Small\t\t1\t$0.00\t$0.00\t$0.01\t$0.01", "\t\t2\t\t0\t\t70368744177664.01",
                           "\t\t\t\t\t\t70368744177664.01"};
    }
    void workedExample()
    {
        QFETCH(ReportKind, kind);
        QFETCH(QString, sql);
        QFETCH(QStringList, lines);
        gDb.reset();
        mCat = std::make_unique<TestCatalogue>();
        mCat->Exec(sql);
        gDb = Database::Open(mCat->Path(), true);

        ScriptedPrompts p;
        const QString path = mCat->File("worked.txt");
        p.saveFiles.push_back(path);
        gRptTarget = 2;
        RunReport(kind);
        QCOMPARE(ReadAll(path), FileBytes(lines));
    }

    // A total too large to keep is reported through the central handler; the
    // report writes no figure at all, and the program goes on.
    void totalsTooLargeToShow_data()
    {
        QTest::addColumn<ReportKind>("kind");
        QTest::addColumn<QString>("sql");
        QTest::newRow("sales: a line total") << ReportKind::Sales
                                             << "INSERT INTO Stamp (descr, quantity, pricepaid, sold) VALUES "
                                                "('Huge', 1000000000, 1000000, 1)";
        QTest::newRow("sales: the sum of line totals")
            << ReportKind::Sales
            << "INSERT INTO Stamp (descr, quantity, priceask, sold) VALUES ('A', 1, 60000000000000, 1), "
               "('B', 1, 60000000000000, 1)";
        QTest::newRow("value: the difference")
            << ReportKind::Value
            << "INSERT INTO Stamp (descr, quantity, pricepaid, catvalue) VALUES ('A', 1, -60000000000000, "
               "60000000000000)";
        QTest::newRow("want list: the sum") << ReportKind::WantList
                                            << "INSERT INTO Stamp (descr, pricepaid, wantlist) VALUES "
                                               "('A', 60000000000000, 1), ('B', 60000000000000, 1)";
    }
    void totalsTooLargeToShow()
    {
        QFETCH(ReportKind, kind);
        QFETCH(QString, sql);
        gDb.reset();
        mCat = std::make_unique<TestCatalogue>();
        mCat->Exec(sql);
        gDb = Database::Open(mCat->Path(), true);
        const QString path = mCat->File("Report.txt");
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("the report before");
        earlier.close();
        for (const int target : {2, 1}) {
            ScriptedPrompts p;
            p.saveFiles.push_back(path);
            gRptTarget = target;
            const int shows = mPresenter->shows;
            RunReport(kind);
            QCOMPARE(p.LastText(), QStringLiteral("6  Overflow.  A total is too large to be shown."));
            QVERIFY(!p.endedWith);
            QVERIFY(!ProgramEnded());
            QCOMPARE(mPresenter->shows, shows);
            QCOMPARE(ReadAll(path), QByteArray("the report before"));
            QCOMPARE(p.busy.back(), false);
        }
    }

    void germanLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        ScriptedPrompts p;
        const QString path = mCat->File("Sales.txt");
        p.saveFiles.push_back(path);
        gRptTarget = 2;
        SalesReport();
        const QString euro = QString::fromUtf8("\u00a0\u20ac");
        QCOMPARE(ReadAll(path),
                 FileBytes({"Lost cause\t\t1\t0,00" + euro + "\t0,00" + euro + "\t0,50" + euro + "\t0,50" + euro,
                            "Penny Black\t1\t3\t1,50" + euro + "\t4,50" + euro + "\t2,00" + euro + "\t6,00" + euro,
                            "\t\t4\t\t4,5\t\t6,5", "\t\t\t\t\t\t2"}));
    }

    void emptyResults_data()
    {
        QTest::addColumn<ReportKind>("kind");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("written");
        const QString none = "You have not entered any stamps as sold.";
        QTest::newRow("sales preview") << ReportKind::Sales << 1 << none << QStringList();
        QTest::newRow("sales text") << ReportKind::Sales << 2 << none << QStringList();
        QTest::newRow("sales html") << ReportKind::Sales << 3 << none << SalesHtmlHead();
        QTest::newRow("value text") << ReportKind::Value << 2 << "You have not entered any stamps!" << QStringList();
        QTest::newRow("value html") << ReportKind::Value << 3 << "You have not entered any stamps!" << ValueHtmlHead();
        QTest::newRow("want list preview")
            << ReportKind::WantList << 1 << "You have not entered any want list stamps!" << QStringList();
        QTest::newRow("want list html") << ReportKind::WantList << 3 << "You have not entered any want list stamps!"
                                        << WantHtmlHead();
        QTest::newRow("country text") << ReportKind::Country << 2 << "You have not entered any reportable stamps!"
                                      << QStringList();
        QTest::newRow("topic html") << ReportKind::Topic << 3 << "You have not entered any reportable stamps!"
                                    << CategoryHtmlHead("Stamps by Topic", "Topic");
    }
    void emptyResults()
    {
        QFETCH(ReportKind, kind);
        QFETCH(int, target);
        QFETCH(QString, message);
        QFETCH(QStringList, written);
        OpenCatalogue(false);
        ScriptedPrompts p;
        const QString path = mCat->File("empty.out");
        p.saveFiles.push_back(path);
        gRptTarget = target;
        RunReport(kind);
        QCOMPARE(p.messages.size(), size_t(1));
        QCOMPARE(p.messages[0].text, message);
        QCOMPARE(p.messages[0].title, QString("Tessarine"));
        QCOMPARE(p.messages[0].icon, MsgIcon::None);
        QCOMPARE(p.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(mPresenter->shows, 0);
        if (target == 1) {
            QVERIFY(p.saveRequests.empty());
        } else {
            // The dialog comes first, then the message; the file holds what was written before.
            QCOMPARE(p.saveRequests.size(), size_t(1));
            QCOMPARE(ReadAll(path), FileBytes(written));
        }
        QCOMPARE(p.busy.back(), false);
    }

    void preview_data()
    {
        QTest::addColumn<ReportKind>("kind");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("tables");
        QTest::newRow("sales") << ReportKind::Sales
                               << "2160|1400|>1400|>1400|>1400|>1400|>1400;Description|Cat #|Quantity|Paid Each|Total "
                                  "Paid|Sale Each|Total Sales;"
                               << "Stamp Sales Report"
                               << QStringList{"H Description|Cat #|Quantity|Paid Each|Total Paid|Sale Each|Total Sales",
                                              "Lost cause||1|$0.00|$0.00|$0.50|$0.50",
                                              "Penny Black|1|3|$1.50|$4.50|$2.00|$6.00", "Totals|4|$4.50|$6.50",
                                              "Sale Price Minus Cost|$2.00"};
        QTest::newRow("value") << ReportKind::Value
                               << "2160|1400|>1400|>1440|>1400|>1400|>1400;Description|Cat #|Quantity|Paid Each|Total "
                                  "Paid|Value Each|Total Value;"
                               << "Stamp Value Report"
                               << QStringList{
                                      "H Description|Cat #|Quantity|Paid Each|Total Paid|Value Each|Total Value",
                                      "<b>Bold</b>|7a|1|$0.00|$0.00|$0.75|$0.75",
                                      // The "|" and ";" of a value are separators on the page.
                                      "Airmail a|b", "c|A", "1|1|$10.00|$10.00|$0.00|$0.00",
                                      "Hinge remnant||5|$0.10|$0.50|$0.20|$1.00",
                                      "Tom & Jerry|12|2|$1.25|$2.50|$3.00|$6.00", "Totals|9|$13.00|$7.75",
                                      "Value Minus Cost|($5.25)"};
        // The heading's seventh, empty cell has no column.
        QTest::newRow("want list") << ReportKind::WantList
                                   << "2160|700|1440|>1440|1400|>1400;Description|Cat #|Country|Face "
                                      "Value|Condition|Will Pay|;"
                                   << "Stamp Want List"
                                   << QStringList{"H Description|Cat #|Country|Face Value|Condition|Will Pay",
                                                  "Lost cause|||||$0.00", "Zeppelin|C1|France|$2.60|Used|$250.00",
                                                  "|||||$250.00"};
        QTest::newRow("country")
            << ReportKind::Country
            << "2160|2880|1440|>1440|>1340|>1340;Country|description|Cat #|Face Value|Year|Quantity;"
            << "Stamps by Country"
            << QStringList{"H Country|description|Cat #|Face Value|Year|Quantity",
                           "|<b>Bold</b>|7a|||1",
                           "|Hinge remnant|||1950|5",
                           "Belgium|Airmail a|b",
                           "c|A",
                           "1|$1.00|1935|1",
                           "France|Tom & Jerry|12|$0.50|1990|2",
                           "Total Stamps|9"};
    }
    void preview()
    {
        QFETCH(ReportKind, kind);
        QFETCH(QString, header);
        QFETCH(QString, title);
        QFETCH(QStringList, tables);
        ScriptedPrompts p;
        gRptTarget = 1;
        gRptNewPageHeader = false;
        RunReport(kind);
        QVERIFY(p.messages.empty());
        QVERIFY(p.saveRequests.empty());
        QCOMPARE(p.busy, (std::vector<bool>{true, false}));
        QVERIFY(gRptNewPageHeader);
        QCOMPARE(gRptHeader, header);
        QCOMPARE(mPresenter->shows, 1);
        const PrintSurface& surface = mPresenter->surface;
        QCOMPARE(surface.PageCount(), 1);
        QCOMPARE(mPresenter->shownPageCount, 1);
        QCOMPARE(surface.PageHeaderText(1), FormatShortDate(QDate::currentDate()) + "|" + title + "|Page 1");
        QCOMPARE(surface.PageFooterText(1), QString("||"));
        QCOMPARE(surface.DocumentPageSize(), PrintSurface::LetterSize());
        QStringList seen;
        for (const auto& row : surface.PageRows(1)) {
            QStringList cells;
            for (const auto& cell : row.cells) cells << cell.lines.join(u' ');
            seen << (row.heading ? "H " : "") + cells.join(u'|');
        }
        QCOMPARE(seen, tables);
    }

    void previewAfterTurnedPage()
    {
        // A document turned to landscape with a footer (as a custom report may
        // leave it) does not carry over into a standard report.
        mPresenter->surface.SetOrientation(PrintSurface::Orientation::Landscape);
        mPresenter->surface.SetFooter("|Page %d|");
        ScriptedPrompts p;
        gRptTarget = 1;
        WantListReport();
        QCOMPARE(mPresenter->surface.DocumentPageSize(), PrintSurface::LetterSize());
        QCOMPARE(mPresenter->surface.PageFooterText(1), QString("||"));
    }

    void chosenEntryWithoutStamps()
    {
        ScriptedPrompts p;
        gRptTarget = 1;
        mPresenter->selection = 3;  // Canada: no stamp
        RunReport(ReportKind::Country);
        QCOMPARE(p.LastText(), QString("You have not entered any reportable stamps!"));
        QCOMPARE(mPresenter->shows, 0);
    }

    void fileExists_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("No keeps the file") << MsgAnswer::No << false;
        QTest::newRow("Yes replaces it") << MsgAnswer::Yes << true;
    }
    void fileExists()
    {
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, replaced);
        const QString path = mCat->File("Want List.txt");
        const QByteArray old("an older report\nwith its own lines, longer than the new one ...........\n");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        ScriptedPrompts p;
        p.saveFiles.push_back(path);
        p.answers.push_back(answer);
        gRptTarget = 2;
        WantListReport();
        QCOMPARE(p.messages.size(), size_t(1));
        QCOMPARE(p.messages[0].text, "The file '" + path + "' already exists.  Do you wish to replace it?");
        QCOMPARE(p.messages[0].title, QString("File Exists"));
        QCOMPARE(p.messages[0].buttons, MsgButtons::YesNo);
        QCOMPARE(p.messages[0].icon, MsgIcon::None);
        QCOMPARE(gRptCancel, !replaced);
        QCOMPARE(ReadAll(path), replaced
                                    ? FileBytes({"Lost cause\t\t\t\t\t$0.00",
                                                 "Zeppelin\tC1\tFrance\t$2.60\tUsed\t$250.00", "\t\t\t\t\t$250.00"})
                                    : old);
    }

    void newFileAsksNothing()
    {
        ScriptedPrompts p;
        p.saveFiles.push_back(mCat->File("fresh.htm"));
        gRptTarget = 3;
        ValueReport();
        QVERIFY(p.messages.empty());
        QVERIFY(QFile::exists(mCat->File("fresh.htm")));
    }

    void cancelledDialog_data()
    {
        QTest::addColumn<ReportKind>("kind");
        QTest::addColumn<int>("target");
        QTest::newRow("sales text") << ReportKind::Sales << 2;
        QTest::newRow("value html") << ReportKind::Value << 3;
        QTest::newRow("want list text") << ReportKind::WantList << 2;
        QTest::newRow("country html") << ReportKind::Country << 3;
    }
    void cancelledDialog()
    {
        QFETCH(ReportKind, kind);
        QFETCH(int, target);
        ScriptedPrompts p;  // no answer queued: Cancel
        gRptTarget = target;
        RunReport(kind);
        QCOMPARE(p.saveRequests.size(), size_t(1));
        QVERIFY(p.messages.empty());
        QVERIFY(gRptCancel);
        QVERIFY(!p.endedWith);
        QCOMPARE(QDir(mCat->Dir()).entryList(QDir::Files), QStringList({"stamp.mdb"}));
        QVERIFY(p.busy.empty() || !p.busy.back());
    }

    void selectionCancelled()
    {
        ScriptedPrompts p;
        gRptTarget = 2;
        mPresenter->selection.reset();
        RunReport(ReportKind::Type);
        QCOMPARE(mPresenter->selections, 1);
        QVERIFY(p.saveRequests.empty());
        QVERIFY(p.messages.empty());
    }

    void unwritableFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("target");
        QTest::newRow("a folder") << "folder" << 2;
        QTest::newRow("a folder, html") << "folder" << 3;
        QTest::newRow("a missing folder") << "missing/Sales.txt" << 2;
    }
    void unwritableFile()
    {
        QFETCH(QString, name);
        QFETCH(int, target);
        QVERIFY(QDir(mCat->Dir()).mkdir("folder"));
        const QString path = mCat->File(name);
        ScriptedPrompts p;
        p.saveFiles.push_back(path);
        gRptTarget = target;
        SalesReport();
        QCOMPARE(p.messages.size(), size_t(1));
        QVERIFY2(p.messages[0].text.startsWith("75  Could not write the report file '" + path + "': "),
                 qPrintable(p.messages[0].text));
        QCOMPARE(p.messages[0].title, QString("Tessarine"));
        // Only the report ends: the program goes on, and a later report works.
        QVERIFY(!p.endedWith);
        QVERIFY(!ProgramEnded());
        QCOMPARE(p.busy.back(), false);
        QVERIFY(QFileInfo(mCat->File("folder")).isDir());
        QCOMPARE(QDir(mCat->File("folder")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

        p.saveFiles.push_back(mCat->File("ok.txt"));
        SalesReport();
        QVERIFY(QFileInfo(mCat->File("ok.txt")).size() > 0);
    }

    void textLines_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("line");
        QTest::newRow("cells") << "a|b|c;"
                               << "a\tb\tc";
        QTest::newRow("separators inside values") << "a|b;c|A;1;"
                                                  << "a\tbc\tA1";
        QTest::newRow("empty cells") << "||x;"
                                     << "\t\tx";
        QTest::newRow("separators only") << ";|;|"
                                         << "\t\t";
        QTest::newRow("no separators") << "Penny Black"
                                       << "Penny Black";
    }
    void textLines()
    {
        QFETCH(QString, row);
        QFETCH(QString, line);
        QCOMPARE(TextFileLine(row), line);
    }

    void htmlEscape_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("html");
        QTest::newRow("plain") << "Penny Black"
                               << "Penny Black";
        QTest::newRow("markup") << "<b>"
                                << "&lt;b&gt;";
        QTest::newRow("ampersand") << "Tom & Jerry"
                                   << "Tom &amp; Jerry";
        QTest::newRow("entity typed") << "&amp;"
                                      << "&amp;amp;";
        QTest::newRow("at the ends") << "<x&>"
                                     << "&lt;x&amp;&gt;";
        QTest::newRow("line breaks") << "a\r\nb\nc\rd"
                                     << "a b c d";
        QTest::newRow("non-ASCII kept") << "Österreich – €"
                                        << "Österreich – €";
    }
    void htmlEscape()
    {
        QFETCH(QString, text);
        QFETCH(QString, html);
        QCOMPARE(HtmlEscape(text), html);
    }

    // Lines reach the file as UTF-8 with CR LF after each, whatever mix of plain
    // ASCII and other text they are, also where the writer empties its buffer.
    void writtenBytes_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("ascii") << QStringList{"Penny Black|1d;", "", "x"};
        QTest::newRow("accents between ascii") << QStringList{"a", "Österreich – €", "b"};
        QTest::newRow("lone surrogates") << QStringList{QString(QChar(0xD800)) + "x", "y",
                                                        "z" + QString(QChar(0xDC00))};
        QStringList many;
        for (int i = 0; i < 6000; ++i)
            many << (i % 7 == 3 ? QString("Zeppelin – Südamerikafahrt %1").arg(i)
                                : QString("Queen Victoria %1d\tSG %2\t$1.50").arg(i % 50).arg(i));
        QTest::newRow("many lines") << many;
    }
    void writtenBytes()
    {
        QFETCH(QStringList, lines);
        ScriptedPrompts p;
        QTemporaryDir dir;
        const QString path = dir.filePath("out.txt");
        ReportFile file(path);
        QVERIFY(file.Open());
        for (const QString& line : lines) QVERIFY(file.WriteLine(line));
        QVERIFY(file.Close());
        QByteArray expected;
        for (const QString& line : lines) expected += line.toUtf8() + "\r\n";
        QCOMPARE(ReadAll(path), expected);
        QVERIFY(p.messages.empty());
    }

    void utf8Text()
    {
        gDb.reset();
        mCat = std::make_unique<TestCatalogue>();
        mCat->Exec(
            "INSERT INTO country (CouID, Coudesc) VALUES (1, 'Österreich');"
            "INSERT INTO Stamp (descr, catnum, quantity, CouID) VALUES ('Zeppelin – Südamerikafahrt', '€1', 1, 1)");
        gDb = Database::Open(mCat->Path(), true);
        ScriptedPrompts p;
        const QString path = mCat->File("Stamp.txt");
        p.saveFiles.push_back(path);
        gRptTarget = 2;
        RunReport(ReportKind::Country);
        QCOMPARE(ReadAll(path), QByteArray("\xC3\x96sterreich\tZeppelin \xE2\x80\x93 S\xC3\xBC"
                                           "damerikafahrt\t\xE2\x82\xAC"
                                           "1\t\t\t1\r\n\t\t\t\t\t1\r\n"));
    }
};

QTEST_MAIN(TestReportFiles)
#include "tst_reportfiles.moc"
