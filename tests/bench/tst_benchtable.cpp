// The benchmark's bookkeeping: samples read from the measuring processes,
// medians, targets by catalogue size, and the verdicts in the table.

#include "BenchTable.h"

#include <QSet>
#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(std::vector<double>)

class TestBenchTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void median_data()
    {
        QTest::addColumn<std::vector<double>>("values");
        QTest::addColumn<double>("median");  // NaN: no median
        QTest::newRow("none") << std::vector<double>{} << std::nan("");
        QTest::newRow("one") << std::vector<double>{4.5} << 4.5;
        QTest::newRow("odd, unsorted") << std::vector<double>{9, 1, 5} << 5.0;
        QTest::newRow("even: mean of the middle two") << std::vector<double>{8, 2, 4, 100} << 6.0;
        QTest::newRow("one outlier") << std::vector<double>{10, 11, 10.5, 900, 10.2} << 10.5;
    }
    void median()
    {
        QFETCH(std::vector<double>, values);
        QFETCH(double, median);
        const auto result = Median(values);
        QCOMPARE(result.has_value(), !std::isnan(median));
        if (result) QCOMPARE(*result, median);
    }

    void readLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("kind");  // where it lands: time, memory, error
        QTest::newRow("time") << "time next 0.1234" << true << "time";
        QTest::newRow("blanks around") << "  time load 54.2  \n" << true << "time";
        QTest::newRow("memory") << "memory load 36500" << true << "memory";
        QTest::newRow("error") << "error find: 'x' not shown" << true << "error";
        QTest::newRow("no value") << "time next" << false << "";
        QTest::newRow("value not a number") << "time next fast" << false << "";
        QTest::newRow("negative time") << "time pack -1" << false << "";
        QTest::newRow("not finite") << "time pack inf" << false << "";
        QTest::newRow("unknown kind") << "speed next 1" << false << "";
        QTest::newRow("extra field") << "time next 1 2" << false << "";
        QTest::newRow("Qt's own noise") << "QStandardPaths: XDG_RUNTIME_DIR not set" << false << "";
        QTest::newRow("empty") << "" << false << "";
    }
    void readLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, read);
        QFETCH(QString, kind);
        Samples s;
        QCOMPARE(s.Read(line), read);
        QCOMPARE(s.times.size(), kind == "time" ? 1 : 0);
        QCOMPARE(s.memoryKb.size(), kind == "memory" ? 1 : 0);
        QCOMPARE(s.errors.size(), kind == "error" ? 1 : 0);
    }

    void samplesAccumulate()
    {
        Samples a;
        QVERIFY(a.Read(u"time next 1"));
        QVERIFY(a.Read(u"time next 3"));
        QVERIFY(a.Read(u"memory load 2000"));
        QVERIFY(a.Read(u"memory load 1500"));
        Samples b;
        QVERIFY(b.Read(u"time next 2"));
        QVERIFY(b.Read(u"memory load 2500"));
        QVERIFY(b.Read(u"error pack failed"));
        a.Merge(b);
        QCOMPARE(a.times.value("next"), (std::vector<double>{1, 3, 2}));
        // Memory is a peak: the largest report stands, wherever it came from.
        QCOMPARE(a.memoryKb.value("load"), 2500.0);
        QCOMPARE(a.errors, QStringList{"pack failed"});
    }

    void evaluate_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("lines");  // samples, one per line
        QTest::addColumn<int>("stamps");
        QTest::addColumn<bool>("measured");
        QTest::addColumn<bool>("met");
        QTest::addColumn<double>("ratio");  // NaN: none
        const int ms = int(BenchCase::Limit::Milliseconds);
        const int ratio = int(BenchCase::Limit::Ratio);
        const int mb = int(BenchCase::Limit::Megabytes);
        // The case below: 150 ms (1,500 ms past 100,000 stamps), ratio 2, 250 MB (1,024 MB).
        QTest::newRow("time under") << ms << "time x 100\ntime x 140\ntime x 900" << 100000 << true << true
                                    << std::nan("");
        QTest::newRow("time at the target misses") << ms << "time x 150" << 100000 << true << false << std::nan("");
        QTest::newRow("time over 100k target, under 1M")
            << ms << "time x 900" << 1000000 << true << true << std::nan("");
        QTest::newRow("100,000 exactly keeps the small target")
            << ms << "time x 900" << 100000 << true << false << std::nan("");
        QTest::newRow("no time") << ms << "time other 1" << 100000 << false << false << std::nan("");
        QTest::newRow("ratio at the target meets it")
            << ratio << "time x 200\ntime base 100" << 100000 << true << true << 2.0;
        QTest::newRow("ratio over") << ratio << "time x 201\ntime base 100" << 100000 << true << false << 2.01;
        QTest::newRow("ratio of medians") << ratio << "time x 100\ntime x 300\ntime x 120\ntime base 80\ntime base 40"
                                          << 100000 << true << true << 2.0;
        QTest::newRow("ratio without baseline") << ratio << "time x 100" << 100000 << false << false << std::nan("");
        QTest::newRow("ratio on a zero baseline")
            << ratio << "time x 100\ntime base 0" << 100000 << false << false << std::nan("");
        QTest::newRow("memory under") << mb << "memory mem 200000" << 100000 << true << true << std::nan("");
        QTest::newRow("memory over") << mb << "memory mem 300000" << 100000 << true << false << std::nan("");
        QTest::newRow("memory at 1M") << mb << "memory mem 300000" << 1000000 << true << true << std::nan("");
        QTest::newRow("no memory") << mb << "time mem 1" << 100000 << false << false << std::nan("");
    }
    void evaluate()
    {
        QFETCH(int, limit);
        QFETCH(QString, lines);
        QFETCH(int, stamps);
        QFETCH(bool, measured);
        QFETCH(bool, met);
        QFETCH(double, ratio);
        BenchCase c;
        c.label = "case";
        c.limit = BenchCase::Limit(limit);
        c.key = c.limit == BenchCase::Limit::Megabytes ? "mem" : "x";
        c.baselineKey = c.limit == BenchCase::Limit::Ratio ? "base" : "";
        c.upTo100k = c.limit == BenchCase::Limit::Ratio ? 2 : c.limit == BenchCase::Limit::Megabytes ? 250 : 150;
        c.upTo1M = c.limit == BenchCase::Limit::Ratio ? 2 : c.limit == BenchCase::Limit::Megabytes ? 1024 : 1500;
        Samples s;
        for (const QString& line : lines.split('\n')) QVERIFY(s.Read(line));
        const CaseResult r = Evaluate(c, s, stamps);
        QCOMPARE(r.measured, measured);
        QCOMPARE(r.met, met);
        QCOMPARE(r.ratio.has_value(), !std::isnan(ratio));
        if (r.ratio) QVERIFY(std::fabs(*r.ratio - ratio) < 1e-9);
        const Tally t = Count({c}, s, stamps);
        QCOMPARE(t.met + t.missed + t.unmeasured, 1);
        QCOMPARE(t.unmeasured, measured ? 0 : 1);
        QCOMPARE(t.met, met ? 1 : 0);
    }

    // Every case of the table can be judged: keys unique, a baseline for each
    // ratio, targets that only grow with the catalogue.
    void standardCasesAreWellFormed()
    {
        QSet<QString> keys;
        for (const BenchCase& c : StandardCases()) {
            QVERIFY2(!keys.contains(c.key), qPrintable(c.key));
            keys.insert(c.key);
            QVERIFY(!c.label.isEmpty());
            QCOMPARE(c.baselineKey.isEmpty(), c.limit != BenchCase::Limit::Ratio);
            QVERIFY(c.upTo100k > 0);
            QVERIFY(c.upTo1M >= c.upTo100k);
        }
        QCOMPARE(StandardCases().size(), size_t(38));
    }

    void table()
    {
        Samples s;
        for (const char* line :
             {"time value-text 300", "time value-text 310", "time value-text 290", "time value-base 200",
              "time next 0.12", "time pack 500", "time pack-base 100", "memory preview-open 102400"})
            QVERIFY(s.Read(QString::fromLatin1(line)));
        const QStringList lines = FormatTable(StandardCases(), s, 100000).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2 + int(StandardCases().size()));
        const auto row = [&lines](const QString& label) {
            for (const QString& line : lines)
                if (line.startsWith(label)) return line.simplified();
            return QString();
        };
        QCOMPARE(row("value report to a text file"),
                 QString("value report to a text file 300 ms 200 ms 1.50x - <= 2 x base ok"));
        QCOMPARE(row("Next: one move"), QString("Next: one move with its ShowRecord 0.12 ms - - - < 2 ms ok"));
        QCOMPARE(row("Pack Database"),
                 QString("Pack Database (base: VACUUM INTO) 500 ms 100 ms 5.00x - <= 1.3 x base MISSED"));
        QCOMPARE(row("peak memory"), QString("peak memory, category report preview open - - - 100.0 < 250 MB ok"));
        QVERIFY(row("re-sort by issue date").endsWith("NOT MEASURED"));
        // The columns line up: every target stands under the heading's.
        const qsizetype at = lines[0].indexOf("target");
        QVERIFY(at > 0);
        for (const QString& line : lines.mid(2)) QVERIFY2(line.mid(at).startsWith('<'), qPrintable(line));
    }
};

QTEST_APPLESS_MAIN(TestBenchTable)
#include "tst_benchtable.moc"
