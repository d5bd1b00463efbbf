// The figures of the statistics window: the summary against the value, sales and
// want-list reports' own totals, each chart's bars against plain SQL, the
// stamps that lack a code, a year or a price, and money too large to sum.

#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/ErrorHandler.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Recordset.h"
#include "reports/Reports.h"
#include "stats/CollectionStats.h"

#include <QFile>
#include <QLocale>
#include <QTest>

#include <cmath>
#include <memory>

Q_DECLARE_METATYPE(ChartKind)

namespace {

// The totals lines of a report written to a text file: the last lines, split at
// their tabs.
QList<QStringList> TotalsOfReport(ScriptedPrompts& prompts, const QString& path, void (*report)(), int lines)
{
    QFile::remove(path);
    prompts.saveFiles.push_back(path);
    report();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QStringList all = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QList<QStringList> totals;
    for (const QString& line : all.mid(all.size() - lines)) totals << line.split(u'\t');
    return totals;
}

struct Expected {
    qint64 stamps = 0;
    qint64 copies = 0;
    Money value;
    Money paid;
};

// The same figures by plain SQL: a count, a sum of quantities and two sums of
// quantity times price in floating point, exact for the demo's prices in cents.
Expected PlainSql(const QString& where, const QString& valueField = QStringLiteral("catvalue"),
                  const QString& paidField = QStringLiteral("pricepaid"))
{
    auto rs = gDb->OpenSnapshot(QStringLiteral("Select count(*), coalesce(sum(quantity), 0), "
                                               "coalesce(sum(quantity * %1), 0), coalesce(sum(quantity * %2), 0) "
                                               "from Stamp where %3")
                                    .arg(valueField, paidField, where));
    Expected e;
    e.stamps = rs->FieldAt(0).toLongLong();
    e.copies = rs->FieldAt(1).toLongLong();
    e.value = Money::FromUnits(std::llround(rs->FieldAt(2).toDouble() * 10000));
    e.paid = Money::FromUnits(std::llround(rs->FieldAt(3).toDouble() * 10000));
    return e;
}

struct CategorySql {
    const char* table;
    const char* key;
};

CategorySql CategoryOf(ChartKind kind)
{
    switch (kind) {
        case ChartKind::StampsByTopic:
        case ChartKind::ValueByTopic:
            return {"topic", "topID"};
        case ChartKind::StampsByType:
        case ChartKind::ValueByType:
            return {"type", "typeID"};
        case ChartKind::StampsByCondition:
        case ChartKind::ValueByCondition:
            return {"Condition", "ConID"};
        default:
            return {"country", "CouID"};
    }
}

const QString kHeld = QStringLiteral("not wantlist and not sold");

}  // namespace

class TestCollectionStats : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompts> mPrompts;
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<TestCatalogue> mDemo;  // shared by the rows of the chart test

    void Open(int demoStamps, const QString& setupSql = QString())
    {
        gDb.reset();
        mCat = std::make_unique<TestCatalogue>(demoStamps, 11);
        if (!setupSql.isEmpty()) mCat->Exec(QStringLiteral("BEGIN;") + setupSql + QStringLiteral("COMMIT;"));
        gDb = Database::Open(mCat->Path(), true);
    }

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        mPrompts = std::make_unique<ScriptedPrompts>();
        gRptTarget = 2;
    }
    void cleanup()
    {
        gDb.reset();
        mCat.reset();
        mPrompts.reset();
        SetProgramEnded(false);
    }

    void summaryEqualsTheReports_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany);
    }
    void summaryEqualsTheReports()
    {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        Open(600);
        const StatsSummary s = LoadSummary(*gDb);
        QVERIFY(s.heldStamps > 400 && s.soldStamps > 20 && s.wantStamps > 20);

        const auto value = TotalsOfReport(*mPrompts, mCat->File("Value.txt"), ValueReport, 2);
        QCOMPARE(value.size(), 2);
        QCOMPARE(value[0].value(2), QString::number(s.heldCopies));
        QCOMPARE(value[0].value(4), FormatCurrency(s.heldPaid));
        QCOMPARE(value[0].value(6), FormatCurrency(s.heldValue));
        QCOMPARE(value[1].value(6), FormatCurrency(s.heldGain));

        // The sales report writes its totals as plain numbers.
        const auto sales = TotalsOfReport(*mPrompts, mCat->File("Sales.txt"), SalesReport, 2);
        QCOMPARE(sales.size(), 2);
        QCOMPARE(sales[0].value(4), FormatPlainMoney(s.soldPaid));
        QCOMPARE(sales[0].value(6), FormatPlainMoney(s.soldSales));
        QCOMPARE(sales[1].value(6), FormatPlainMoney(s.soldProfit));

        const auto want = TotalsOfReport(*mPrompts, mCat->File("WantList.txt"), WantListReport, 1);
        QCOMPARE(want.size(), 1);
        QCOMPARE(want[0].value(5), FormatCurrency(s.wantCost));

        QCOMPARE(s.heldStamps, PlainSql(kHeld).stamps);
        QCOMPARE(s.countries,
                 gDb->OpenSnapshot(QStringLiteral("select count(distinct Stamp.CouID) from Stamp join country on "
                                                  "Stamp.CouID = country.CouID where ") +
                                   kHeld)
                     ->FieldAt(0)
                     .toLongLong());
        QCOMPARE(mPrompts->messages.size(), size_t(0));
    }

    void chartsAgainstPlainSql_data()
    {
        QTest::addColumn<ChartKind>("kind");
        for (int i = 0; i < kChartCount; ++i)
            QTest::newRow(qPrintable(ChartTitle(static_cast<ChartKind>(i)))) << static_cast<ChartKind>(i);
    }
    void chartsAgainstPlainSql()
    {
        QFETCH(ChartKind, kind);
        gDb.reset();
        if (!mDemo) mDemo = std::make_unique<TestCatalogue>(1500, 11);
        gDb = Database::Open(mDemo->Path(), true);
        const ChartData chart = LoadChart(*gDb, kind);
        QVERIFY(!chart.bars.empty());
        QVERIFY(!chart.note.isEmpty());
        qint64 stamps = 0;
        QStringList namedKeys;
        for (size_t i = 0; i < chart.bars.size(); ++i) {
            const ChartBar& bar = chart.bars[i];
            QString where;
            Expected expected;
            if (kind == ChartKind::PurchasesAndSales) {
                const QString year = QStringLiteral("'%1'").arg(bar.year);
                expected = PlainSql(QStringLiteral("not wantlist and substr(purchased, 1, 4) = ") + year);
                const Expected sold =
                    PlainSql(QStringLiteral("sold and substr(datesold, 1, 4) = ") + year, QStringLiteral("priceask"));
                QCOMPARE(bar.soldStamps, sold.stamps);
                QCOMPARE(bar.received, sold.value);
                QCOMPARE(bar.stamps, expected.stamps);
                QCOMPARE(bar.paid, expected.paid);
                if (i > 0) QCOMPARE(bar.year, chart.bars[i - 1].year + 1);
                continue;
            }
            if (kind == ChartKind::StampsByDecade) {
                const QString year = QStringLiteral("coalesce(Year, cast(substr(issued, 1, 4) as integer))");
                where = bar.kind == ChartBar::Kind::None
                            ? year + QStringLiteral(" is null")
                            : year + QStringLiteral(" between %1 and %2").arg(bar.year).arg(bar.year + 9);
                if (i > 0 && bar.kind == ChartBar::Kind::Period) QCOMPARE(bar.year, chart.bars[i - 1].year + 10);
            } else {
                const CategorySql c = CategoryOf(kind);
                const QString key = QString::fromLatin1(c.key);
                const QString known =
                    QStringLiteral("%1 in (select %1 from %2)").arg(key, QString::fromLatin1(c.table));
                if (bar.kind == ChartBar::Kind::Code) {
                    where = key + QStringLiteral(" = ") + QString::number(bar.code);
                    namedKeys << QString::number(bar.code);
                } else if (bar.kind == ChartBar::Kind::Other) {
                    where = known + QStringLiteral(" and %1 not in (%2)").arg(key, namedKeys.join(u','));
                    QCOMPARE(namedKeys.size(), kNamedBars);
                } else {
                    where = QStringLiteral("(%1 is null or not %2)").arg(key, known);
                }
            }
            expected = PlainSql(kHeld + QStringLiteral(" and ") + where);
            QCOMPARE(bar.stamps, expected.stamps);
            QCOMPARE(bar.copies, expected.copies);
            QCOMPARE(bar.value, expected.value);
            QCOMPARE(bar.paid, expected.paid);
            stamps += bar.stamps;
            // Named bars come largest first.
            if (i > 0 && bar.kind == ChartBar::Kind::Code)
                QVERIFY(chart.Value(0, chart.bars[i - 1]) >= chart.Value(0, bar));
        }
        if (kind != ChartKind::PurchasesAndSales) QCOMPARE(stamps, PlainSql(kHeld).stamps);
    }

    // Stamps that lack what a chart or a sum needs: counted under "(none)" or
    // left out of the sums, and the notes say how many.
    void missingFigures_data()
    {
        QTest::addColumn<QString>("stamps");  // rows for Stamp (descr, quantity, CouID, Year, issued, pricepaid,
                                              // catvalue, sold, wantlist)
        QTest::addColumn<ChartKind>("kind");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("summaryNote");

        QTest::newRow("empty catalogue") << QString() << ChartKind::StampsByCountry << QStringList()
                                         << "There are no stamps to chart: the charts count the stamps you hold, "
                                            "neither sold nor on the want list."
                                         << QString();
        QTest::newRow("empty: purchases") << QString() << ChartKind::PurchasesAndSales << QStringList()
                                          << "There are no purchases or sales with a date to chart." << QString();
        QTest::newRow("no country, a country no longer in the table")
            << "('a', 1, NULL, 1990, NULL, 1, 1, 0, 0), ('b', 2, 1, 1990, NULL, 1, 1, 0, 0), "
               "('c', 1, 99, 1990, NULL, 1, 1, 0, 0)"
            << ChartKind::StampsByCountry << QStringList{"France", "(none)"}
            << "The 3 stamps you hold, by country. \"(none)\": 2 stamps without a country." << QString();
        QTest::newRow("no catalogue value, a text where an amount belongs")
            << "('a', 3, 1, 1990, NULL, 1, NULL, 0, 0), ('b', 1, 1, 1990, NULL, 1, 'ten', 0, 0), "
               "('c', 1, 1, 1990, NULL, 1, 2.5, 0, 0)"
            << ChartKind::ValueByCountry << QStringList{"France"}
            << "Catalogue value of the 3 stamps you hold, by country. 2 stamps without a catalogue value add "
               "nothing."
            << "Counted as nothing in the sums: 2 stamps held without a catalogue value.";
        QTest::newRow("the year, else the issue date, else none")
            << "('a', 1, 1, 1994, '1851-02-03', 1, 1, 0, 0), ('b', 1, 1, NULL, '1962-05-06', 1, 1, 0, 0), "
               "('c', 1, 1, NULL, NULL, 1, 1, 0, 0), ('d', 1, 1, NULL, 'not a date', 1, 1, 0, 0)"
            << ChartKind::StampsByDecade << QStringList{"1960s", "1970s", "1980s", "1990s", "(none)"}
            << "The 4 stamps you hold, by decade of issue (the year, else the issue date). \"(none)\": 2 stamps "
               "without a year."
            << QString();
        QTest::newRow("sold and wanted count in both, held in neither")
            << "('a', 1, 1, 1990, NULL, NULL, 1, 1, 1), ('b', 1, 1, 1990, NULL, 1, 1, 0, 1)"
            << ChartKind::StampsByCountry << QStringList()
            << "There are no stamps to chart: the charts count the stamps you hold, neither sold nor on the want "
               "list."
            << "Counted as nothing in the sums: 1 stamp sold without a selling price, 1 stamp on the want list "
               "without a price.";
    }
    void missingFigures()
    {
        QFETCH(QString, stamps);
        QFETCH(ChartKind, kind);
        QFETCH(QStringList, labels);
        QFETCH(QString, note);
        QFETCH(QString, summaryNote);
        QString sql = QStringLiteral("INSERT INTO country (CouID, Coudesc) VALUES (1, 'France');");
        if (!stamps.isEmpty())
            sql += QStringLiteral(
                       "INSERT INTO Stamp (descr, quantity, CouID, Year, issued, pricepaid, catvalue, sold, "
                       "wantlist) VALUES ") +
                   stamps + u';';
        Open(0, sql);
        const ChartData chart = LoadChart(*gDb, kind);
        QStringList shown;
        for (const ChartBar& bar : chart.bars) shown << bar.label;
        QCOMPARE(shown, labels);
        QCOMPARE(chart.note, note);
        const StatsSummary summary = LoadSummary(*gDb);
        QCOMPARE(SummaryNote(summary), summaryNote);
        if (stamps.isEmpty()) {
            QCOMPARE(summary.heldStamps + summary.soldStamps + summary.wantStamps + summary.countries, qint64(0));
            QCOMPARE(FormatCurrency(summary.heldGain), QStringLiteral("$0.00"));
        }
        QCOMPARE(mPrompts->messages.size(), size_t(0));
    }

    // Sixteen codes show by name; seventeen make fifteen named and an "Other" of two.
    void otherHoldsTheRest_data()
    {
        QTest::addColumn<int>("countries");
        QTest::addColumn<int>("bars");
        QTest::addColumn<int>("inOther");
        QTest::newRow("16 countries") << 16 << 16 << 0;
        QTest::newRow("17 countries") << 17 << 16 << 2;
    }
    void otherHoldsTheRest()
    {
        QFETCH(int, countries);
        QFETCH(int, bars);
        QFETCH(int, inOther);
        QString sql;
        for (int c = 1; c <= countries; ++c)
            sql += QStringLiteral(
                       "INSERT INTO country (CouID, Coudesc) VALUES (%1, 'Land');"
                       "INSERT INTO Stamp (descr, CouID, catvalue) VALUES ('s', %1, %1);")
                       .arg(c);
        Open(0, sql);
        const ChartData chart = LoadChart(*gDb, ChartKind::ValueByCountry);
        QCOMPARE(int(chart.bars.size()), bars);
        // Equal names are told apart, so that no two bars merge on the axis.
        QCOMPARE(chart.bars[0].label, QStringLiteral("Land"));
        QCOMPARE(chart.bars[1].label, QStringLiteral("Land (2)"));
        QCOMPARE(chart.bars[0].value, Money::FromUnits(qint64(countries) * 10000));
        const ChartBar& last = chart.bars.back();
        QCOMPARE(last.kind == ChartBar::Kind::Other, inOther > 0);
        if (inOther) {
            QCOMPARE(last.codes, inOther);
            QCOMPARE(last.value, Money::FromUnits(3 * 10000));  // the countries worth 1 and 2
            QVERIFY(chart.BarText(bars - 1).startsWith(QStringLiteral("Other (2 countries)\n2 stamps, 2 copies\n")));
        }
    }

    // A total the money type cannot hold is the overflow error for the central
    // handler, never a wrapped figure; a figure nothing shows may be as large as
    // it likes.
    void overflow_data()
    {
        QTest::addColumn<QString>("stamps");  // (quantity, catvalue, pricepaid, priceask, sold)
        QTest::addColumn<bool>("summary");
        QTest::addColumn<bool>("chart");
        QTest::newRow("quantity times value") << "(100000, 900000000000000, 1, NULL, 0)" << true << true;
        QTest::newRow("a sum of values") << "(1, 900000000000000, 1, NULL, 0), (1, 900000000000000, 1, NULL, 0)" << true
                                         << true;
        QTest::newRow("a sold stamp's value, shown nowhere") << "(100000, 900000000000000, 1, 2, 1)" << false << false;
        QTest::newRow("sales of a sold stamp") << "(100000, 1, 1, 900000000000000, 1)" << true << false;
    }
    void overflow()
    {
        QFETCH(QString, stamps);
        QFETCH(bool, summary);
        QFETCH(bool, chart);
        Open(0, QStringLiteral("INSERT INTO Stamp (descr, quantity, catvalue, pricepaid, priceask, sold) SELECT 's', "
                               "column1, column2, column3, column4, column5 FROM (VALUES %1);")
                    .arg(stamps));
        Guard([] { LoadSummary(*gDb); });
        QCOMPARE(mPrompts->LastText(), summary ? QStringLiteral("6  Overflow.  A total is too large to be shown.") : QString());
        QVERIFY(!mPrompts->endedWith);  // the catalogue itself is sound: the program goes on
        mPrompts->Clear();
        Guard([] { LoadChart(*gDb, ChartKind::ValueByCountry); });
        QCOMPARE(mPrompts->LastText(), chart ? QStringLiteral("6  Overflow.  A total is too large to be shown.") : QString());
    }
};

QTEST_MAIN(TestCollectionStats)
#include "tst_collectionstats.moc"
