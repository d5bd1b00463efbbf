#include "CustomTestCatalogue.h"

#include "custom/CustomQuery.h"
#include "reports/PrintSurface.h"

#include <QLocale>
#include <QTest>

namespace {

const QString kWorkedExample = QStringLiteral(
    "Select descr, Coudesc, purchased, pricepaid from (Stamp left join country on Stamp.CouID = country.CouID) "
    "where  descr like 'Pen*' and purchased >= #1/1/1995# and purchased <= #12/31/1997# and not sold "
    "order by Coudesc, descr");

const QStringList kWorkedSettings = {
    QStringLiteral("1.mStarting=Pen"),
    QStringLiteral("3.mStartDate=1995-01-01"),
    QStringLiteral("3.mEndDate=1997-12-31"),
    QStringLiteral("4.mTotal=1"),
    QStringLiteral("5.mHide=1"),
    QStringLiteral("5.mOptFalse=1"),
};

CustomQuery Build(const QString& fields, const QStringList& settings, int sort1 = 0, int sort2 = 0,
                  WidthUnit unit = WidthUnit::Inches, const QString& title = QStringLiteral("Tessarine Report"))
{
    const FieldCatalogue catalogue = SmallCatalogue();
    FieldSettingsTable table;
    table.Reset(catalogue);
    ApplySettings(table, settings);
    CustomQueryInput input;
    input.fields = SpecList(fields);
    if (sort1) input.sort1 = sort1;
    if (sort2) input.sort2 = sort2;
    input.unit = unit;
    input.title = title;
    return BuildCustomQuery(catalogue, table, input);
}

}  // namespace

class TestCustomQuery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void workedExample_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("en_US") << "en_US";
        QTest::newRow("de_DE") << "de_DE";
    }
    void workedExample()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        const CustomQuery q = Build(QStringLiteral("1,2,3,4,5"), kWorkedSettings, 2, 1);
        QCOMPARE(q.sql, kWorkedExample);
        QCOMPARE(q.columnFormat, QStringLiteral("2880|2160|1440|>1440;"));
        QCOMPARE(q.heading, QStringLiteral("2880|2160|1440|>1440;Description|Country|Purchased|Price Paid;"));
        QCOMPARE(q.columns.size(), 4);
        QVERIFY(q.HasTotals());
    }

    // The query text, piece by piece, for the shapes a report can take.
    void query_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<int>("sort1");
        QTest::addColumn<int>("sort2");
        QTest::addColumn<QString>("sql");

        QTest::newRow("one field, nothing else") << "en_US"
                                                 << "1" << QStringList() << 0 << 0 << "Select descr from Stamp";
        QTest::newRow("two columns of one code table join it once")
            << "en_US"
            << "2,7" << QStringList() << 0 << 0
            << "Select Coudesc, CouNote from (Stamp left join country on Stamp.CouID = country.CouID)";
        QTest::newRow("two code tables nest their joins")
            << "en_US"
            << "1,2,6" << QStringList() << 0 << 0
            << "Select descr, Coudesc, conDesc from ((Stamp left join country on Stamp.CouID = country.CouID) "
               "left join condition on Stamp.ConID = condition.ConID)";
        QTest::newRow("less before greater") << "en_US"
                                             << "4" << QStringList{"4.mGreater=100", "4.mLess=10"} << 0 << 0
                                             << "Select pricepaid from Stamp where  pricepaid < 10 and pricepaid > 100";
        QTest::newRow("apostrophe in starts with is quoted") << "en_US"
                                                             << "1" << QStringList{"1.mStarting=O'Brien"} << 0 << 0
                                                             << "Select descr from Stamp where  descr like 'O''Brien*'";
        QTest::newRow("decimal comma criterion goes in as its number")
            << "de_DE"
            << "4" << QStringList{"4.mGreater=12,5"} << 0 << 0 << "Select pricepaid from Stamp where  pricepaid > 12.5";
        QTest::newRow("grouped currency criterion") << "en_US"
                                                    << "4" << QStringList{"4.mLess=$1,000.50"} << 0 << 0
                                                    << "Select pricepaid from Stamp where  pricepaid < 1000.5";
        QTest::newRow("negative criterion")
            << "en_US"
            << "8" << QStringList{"8.mGreater=-5"} << 0 << 0 << "Select Year from Stamp where  Year > -5";
        QTest::newRow("dates month/day/year under a day-first locale")
            << "de_DE"
            << "3" << QStringList{"3.mStartDate=1996-03-05", "3.mEndDate=1996-12-31"} << 0 << 0
            << "Select purchased from Stamp where  purchased >= #3/5/1996# and purchased <= #12/31/1996#";
        QTest::newRow("end date only") << "en_US"
                                       << "3" << QStringList{"3.mEndDate=2001-02-03"} << 0 << 0
                                       << "Select purchased from Stamp where  purchased <= #2/3/2001#";
        QTest::newRow("yes/no true") << "en_US"
                                     << "5" << QStringList{"5.mOptTrue=1"} << 0 << 0
                                     << "Select sold from Stamp where  sold";
        QTest::newRow("hidden field selects but shows no column")
            << "en_US"
            << "1,5,6" << QStringList{"5.mHide=1", "5.mOptTrue=1", "6.mHide=1", "6.mStarting=Mint"} << 0 << 0
            << "Select descr from (Stamp left join condition on Stamp.ConID = condition.ConID) "
               "where  sold and conDesc like 'Mint*'";
        QTest::newRow("criteria follow the report order")
            << "en_US"
            << "5,1" << QStringList{"5.mOptFalse=1", "1.mStarting=A"} << 0 << 0
            << "Select sold, descr from Stamp where  not sold and descr like 'A*'";
        QTest::newRow("sort key from an unjoined code table brings its join")
            << "en_US"
            << "1" << QStringList() << 2 << 0
            << "Select descr from (Stamp left join country on Stamp.CouID = country.CouID) order by Coudesc";
        QTest::newRow("sort key of a joined table adds no join")
            << "en_US"
            << "2" << QStringList() << 7 << 1
            << "Select Coudesc from (Stamp left join country on Stamp.CouID = country.CouID) order by CouNote, descr";
        QTest::newRow("secondary sort alone")
            << "en_US"
            << "1" << QStringList() << 0 << 3 << "Select descr from Stamp order by purchased";
        QTest::newRow("two sort keys from two unjoined tables")
            << "en_US"
            << "1" << QStringList() << 6 << 2
            << "Select descr from ((Stamp left join condition on Stamp.ConID = condition.ConID) "
               "left join country on Stamp.CouID = country.CouID) order by conDesc, Coudesc";
    }
    void query()
    {
        QFETCH(QString, locale);
        QFETCH(QString, fields);
        QFETCH(QStringList, settings);
        QFETCH(int, sort1);
        QFETCH(int, sort2);
        QFETCH(QString, sql);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(Build(fields, settings, sort1, sort2).sql, sql);
    }

    void columnFormat_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<bool>("centimetres");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("heading");

        QTest::newRow("inches") << "en_US"
                                << "1,2" << QStringList{"1.mWidth=2"} << false << "2880|2160;"
                                << "2880|2160;Description|Country;";
        QTest::newRow("centimetres") << "en_US"
                                     << "1,2" << QStringList{"1.mWidth=2"} << true << "1123.2|842.4;"
                                     << "1123.2|842.4;Description|Country;";
        // The print surface reads the widths in one form, whatever the locale.
        QTest::newRow("centimetres with a decimal comma") << "de_DE"
                                                          << "1" << QStringList{"1.mWidth=2"} << true << "1123.2;"
                                                          << "1123.2;Description;";
        QTest::newRow("centimetres with other digits") << "ar_EG"
                                                       << "1" << QStringList{"1.mWidth=2"} << true << "1123.2;"
                                                       << "1123.2;Description;";
        QTest::newRow("number columns right-aligned") << "en_US"
                                                      << "4,8,1" << QStringList() << false << ">1440|>1080|2880;"
                                                      << ">1440|>1080|2880;Price Paid|Year|Description;";
        QTest::newRow("hidden columns leave no width or heading")
            << "en_US"
            << "1,5,4" << QStringList{"5.mHide=1"} << false << "2880|>1440;"
            << "2880|>1440;Description|Price Paid;";
        QTest::newRow("width of zero") << "en_US"
                                       << "1" << QStringList{"1.mWidth=0"} << false << "0;"
                                       << "0;Description;";
    }
    void columnFormat()
    {
        QFETCH(QString, locale);
        QFETCH(QString, fields);
        QFETCH(QStringList, settings);
        QFETCH(bool, centimetres);
        QFETCH(QString, format);
        QFETCH(QString, heading);
        QLocale::setDefault(QLocale(locale));
        const CustomQuery q = Build(fields, settings, 0, 0, centimetres ? WidthUnit::Centimeters : WidthUnit::Inches);
        QCOMPARE(q.columnFormat, format);
        QCOMPARE(q.heading, heading);
        // The print surface lays the columns out at those widths.
        PrintSurface surface;
        surface.StartDoc();
        QString row;
        for (qsizetype i = 0; i < q.columns.size(); ++i) row += (i ? "|x" : "x");
        surface.AddTable(QString(q.columnFormat + row + u';'));
        surface.EndDoc();
        const auto rows = surface.PageRows(1);
        QVERIFY(!rows.empty());
        const QStringList widths = QString(format).remove(u'>').remove(u';').split(u'|');
        QCOMPARE(rows.front().cells.size(), size_t(widths.size()));
        for (qsizetype i = 0; i < widths.size(); ++i)
            QCOMPARE(rows.front().cells[size_t(i)].width, qRound(widths[i].toDouble()));
    }

    void htmlHeadCountsShownColumnsAndEscapes()
    {
        const CustomQuery q = Build(QStringLiteral("1,5,4"), {QStringLiteral("5.mHide=1")}, 0, 0, WidthUnit::Inches,
                                    QStringLiteral("Stamps & <Covers>"));
        const QStringList expected = {
            "<html>",
            "<head><title>Stamps &amp; &lt;Covers&gt;</title></head>",
            "<body>",
            "<table border=1>",
            "<tr><th colspan = 2>Stamps &amp; &lt;Covers&gt;</th></tr>",
            "<tr>",
            "<th>Description</th><th>Price Paid</th></tr>",
        };
        QCOMPARE(q.htmlHead, expected);
    }

    void totalsOnlyForShownNumberColumns()
    {
        // A total on a hidden field or a text field gives no totals row.
        QVERIFY(!Build(QStringLiteral("1,4"), {QStringLiteral("4.mTotal=1"), QStringLiteral("4.mHide=1")}).HasTotals());
        QVERIFY(!Build(QStringLiteral("1"), {QStringLiteral("1.mTotal=1")}).HasTotals());
        QVERIFY(Build(QStringLiteral("1,8"), {QStringLiteral("8.mTotal=1")}).HasTotals());
    }
};

QTEST_MAIN(TestCustomQuery)
#include "tst_customquery.moc"
