#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "custom/CustomReportOutput.h"
#include "custom/FieldCatalogue.h"
#include "db/Database.h"
#include "db/Globals.h"
#include "numbers/NumberSchema.h"

#include <QLocale>
#include <QTest>

namespace {

// SpecIDs of the shipped field catalogue.
constexpr int kDescription = 1;
constexpr int kYear = 4;
constexpr int kCountry = 8;
constexpr int kPricePaid = 21;
constexpr int kPurchased = 28;
constexpr int kSold = 29;

// Refuses to open, as a cancelled Save dialog does.
class CancelledWriter final : public CustomReportWriter {
public:
    bool Open(const CustomReport&) override { return false; }
    void StartDocument(const CustomReport&) override { ++calls; }
    bool WriteLine(const QString&) override
    {
        ++calls;
        return true;
    }
    void Close(bool) override { ++calls; }
    int calls = 0;
};

// Fails on its n-th line, as a full disk does.
class FailingWriter final : public CustomReportWriter {
public:
    explicit FailingWriter(int failAt) : mFailAt(failAt) {}
    bool Open(const CustomReport&) override { return true; }
    void StartDocument(const CustomReport&) override {}
    bool WriteLine(const QString& line) override
    {
        if (++mCount >= mFailAt) return false;
        lines << line;
        return true;
    }
    void Close(bool complete) override
    {
        closed = true;
        completed = complete;
    }
    QStringList lines;
    bool closed = false;
    bool completed = true;

private:
    int mFailAt;
    int mCount = 0;
};

}  // namespace

class TestCustomReport : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<ScriptedPrompts> mPrompts;
    FieldCatalogue mCatalogue;
    FieldSettingsTable mSettings;

    CustomReport Report(const QList<int>& fields, CustomTarget target, std::optional<int> sort1 = kDescription,
                        std::optional<int> sort2 = std::nullopt)
    {
        CustomQueryInput input;
        input.fields = fields;
        input.sort1 = sort1;
        input.sort2 = sort2;
        input.title = QStringLiteral("My <Stamps>");
        CustomReportOptions options;
        options.target = target;
        options.title = input.title;
        return MakeCustomReport(BuildCustomQuery(mCatalogue, mSettings, input), options, QDate(2024, 2, 29));
    }

    QStringList Lines(const QList<int>& fields, CustomTarget target = CustomTarget::TextFile,
                      std::optional<int> sort1 = kDescription, std::optional<int> sort2 = std::nullopt)
    {
        MemoryReportWriter writer;
        GenerateCustomReport(Report(fields, target, sort1, sort2), writer);
        return writer.lines;
    }

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        mPrompts = std::make_unique<ScriptedPrompts>();
        mCat = std::make_unique<TestCatalogue>();
        mCat->Exec(
            QStringLiteral("INSERT INTO country (CouID, Coudesc) VALUES (1, 'Germany'), (2, 'France');"
                           "INSERT INTO Stamp (descr, CouID, pricepaid, purchased, sold, Year) VALUES "
                           "('Penny Black', 1, 12.5, '1996-03-05', 0, 1840),"
                           "('Penny Red', 2, NULL, '1998-01-01', 0, NULL),"
                           "('Pen & <Ink>', NULL, 0.25, NULL, 1, 1900),"
                           "('O''Brien Issue', 1, 3, '1995-06-01', 0, NULL),"
                           "('100% Perf', 2, 150, '1997-12-31', 1, 1950);"));
        gDb = Database::Open(mCat->Path(), true);
        mCatalogue = *FieldCatalogue::Load(*gDb);
        mSettings.Reset(mCatalogue);
        gRptHeader.clear();
        gRptNewPageHeader = false;
    }
    void cleanup()
    {
        gDb.reset();
        mCat.reset();
        mPrompts.reset();
        SetCustomReportWriterFactory(nullptr);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void shippedCatalogueLoadsInDescOrder()
    {
        // The fields of RptSpec, and one for each catalogue of the starting list.
        QCOMPARE(mCatalogue.Count(), 34 + int(StartingCatalogues().size()));
        QCOMPARE(mCatalogue.Rows().front().desc, QStringLiteral("Cancellation"));
        for (size_t i = 1; i < mCatalogue.Rows().size(); ++i)
            QVERIFY(mCatalogue.Rows()[i - 1].desc.compare(mCatalogue.Rows()[i].desc, Qt::CaseInsensitive) <= 0);
        QCOMPARE(mCatalogue.Find(kCountry)->filename, QStringLiteral("country"));
        QCOMPARE(mSettings[kPricePaid].mIsCurrency, true);
        QCOMPARE(mSettings[kDescription].mWidth, 2.5F);
    }

    void damagedCatalogue_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("usable");
        QTest::newRow("no rows") << "DELETE FROM RptSpec" << false;
        QTest::newRow("no table") << "DROP TABLE RptSpec" << false;
        QTest::newRow("gap in SpecIDs") << "DELETE FROM RptSpec WHERE SpecID = 5" << false;
        QTest::newRow("SpecID beyond the count") << "UPDATE RptSpec SET SpecID = 40 WHERE SpecID = 33" << false;
        QTest::newRow("SpecID zero") << "UPDATE RptSpec SET SpecID = 0 WHERE SpecID = 33" << false;
        QTest::newRow("unknown data type") << "UPDATE RptSpec SET datatype = 6 WHERE SpecID = 3" << false;
        QTest::newRow("data type zero") << "UPDATE RptSpec SET datatype = 0 WHERE SpecID = 3" << false;
        QTest::newRow("code table without link") << "UPDATE RptSpec SET Linkfield = '' WHERE SpecID = 8" << false;
        QTest::newRow("width that is no number") << "UPDATE RptSpec SET defwidth = 'wide' WHERE SpecID = 1" << false;
        QTest::newRow("empty width reads as 1") << "UPDATE RptSpec SET defwidth = NULL WHERE SpecID = 1" << true;
        QTest::newRow("last row renumbered into the gap")
            << "DELETE FROM RptSpec WHERE SpecID = 5; UPDATE RptSpec SET SpecID = 5 WHERE SpecID = 34" << true;
    }
    void damagedCatalogue()
    {
        QFETCH(QString, sql);
        QFETCH(bool, usable);
        gDb.reset();
        mCat->Exec(sql);
        gDb = Database::Open(mCat->Path(), true);
        const auto catalogue = FieldCatalogue::Load(*gDb);
        QCOMPARE(catalogue.has_value(), usable);
        if (usable) {
            FieldSettingsTable settings;
            settings.Reset(*catalogue);
            QCOMPARE(settings[kDescription].mWidth, sql.contains(u"NULL") ? 1.0F : 2.5F);
        }
    }

    void outputOfEachTarget_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("text file") << 2
                                   << QStringList{
                                          "100% Perf\tFrance\t$150.00\t1950",
                                          "O'Brien Issue\tGermany\t$3.00\t",
                                          "Pen & <Ink>\t\t$0.25\t1900",
                                          "Penny Black\tGermany\t$12.50\t1840",
                                          "Penny Red\tFrance\t\t",
                                          "\t\t$165.75\t5690",
                                      };
        QTest::newRow("html file")
            << 3
            << QStringList{
                   "<html>",
                   "<head><title>My &lt;Stamps&gt;</title></head>",
                   "<body>",
                   "<table border=1>",
                   "<tr><th colspan = 4>My &lt;Stamps&gt;</th></tr>",
                   "<tr>",
                   "<th>Description</th><th>Country</th><th>Price Paid</th><th>Year</th></tr>",
                   "<tr><td>100% Perf</td><td>France</td><td align=right>$150.00</td><td align=right>1950</td></tr>",
                   "<tr><td>O'Brien Issue</td><td>Germany</td><td align=right>$3.00</td><td align=right></td></tr>",
                   "<tr><td>Pen &amp; &lt;Ink&gt;</td><td></td><td align=right>$0.25</td><td "
                   "align=right>1900</td></tr>",
                   "<tr><td>Penny Black</td><td>Germany</td><td align=right>$12.50</td><td align=right>1840</td></tr>",
                   "<tr><td>Penny Red</td><td>France</td><td align=right></td><td align=right></td></tr>",
                   "<tr><TD>&nbsp;</TD><TD>&nbsp;</TD><td align=right>$165.75</td><td align=right>5690</td></tr>",
                   "</table>",
                   "</body>",
                   "</html>",
               };
        QTest::newRow("preview") << 1
                                 << QStringList{
                                        "3600|2160|>1440|>720;100% Perf|France|$150.00|1950;",
                                        "3600|2160|>1440|>720;O'Brien Issue|Germany|$3.00|;",
                                        "3600|2160|>1440|>720;Pen & <Ink>||$0.25|1900;",
                                        "3600|2160|>1440|>720;Penny Black|Germany|$12.50|1840;",
                                        "3600|2160|>1440|>720;Penny Red|France||;",
                                        "3600|2160|>1440|>720;||$165.75|5690;",
                                    };
    }
    void outputOfEachTarget()
    {
        QFETCH(int, target);
        QFETCH(QStringList, lines);
        mSettings[kPricePaid].mTotal = true;
        mSettings[kYear].mTotal = true;
        MemoryReportWriter writer;
        GenerateCustomReport(Report({kDescription, kCountry, kPricePaid, kYear}, static_cast<CustomTarget>(target)),
                             writer);
        QCOMPARE(writer.lines, lines);
        QVERIFY(writer.opened && writer.started && writer.closed && writer.completed);
        QVERIFY(mPrompts->messages.empty());
        // The year's single-precision width (0.6 inch) keeps its last digit.
        QCOMPARE(gRptHeader, QStringLiteral("3600|2160|>1440|>720;Description|Country|Price Paid|Year;"));
        QVERIFY(gRptNewPageHeader);
        // The hourglass shows only while the preview fills, and is put back at the end.
        QCOMPARE(mPrompts->busy, (target == 1 ? std::vector<bool>{true, false} : std::vector<bool>{false}));
    }

    // Criteria run against the catalogue and select what the collector meant.
    void criteriaSelect_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("found");

        QTest::newRow("apostrophe") << "en_US" << kDescription << "mStarting"
                                    << "O'Brien" << QStringList{"O'Brien Issue"};
        QTest::newRow("starts with, any case") << "en_US" << kDescription << "mStarting"
                                               << "pen" << QStringList{"Pen & <Ink>", "Penny Black", "Penny Red"};
        QTest::newRow("percent sign is no wildcard") << "en_US" << kDescription << "mStarting"
                                                     << "1%" << QStringList();
        QTest::newRow("percent sign found as typed") << "en_US" << kDescription << "mStarting"
                                                     << "100%" << QStringList{"100% Perf"};
        QTest::newRow("greater, decimal comma") << "de_DE" << kPricePaid << "mGreater"
                                                << "3,5" << QStringList{"100% Perf", "Penny Black"};
        QTest::newRow("less, plain") << "en_US" << kPricePaid << "mLess"
                                     << "3.5" << QStringList{"O'Brien Issue", "Pen & <Ink>"};
        QTest::newRow("start date, day-first locale")
            << "de_DE" << kPurchased << "mStartDate"
            << "1996-03-05" << QStringList{"100% Perf", "Penny Black", "Penny Red"};
        QTest::newRow("end date, inclusive")
            << "en_US" << kPurchased << "mEndDate"
            << "1997-12-31" << QStringList{"100% Perf", "O'Brien Issue", "Penny Black"};
        QTest::newRow("true") << "en_US" << kSold << "mOptTrue"
                              << "1" << QStringList{"100% Perf", "Pen & <Ink>"};
        QTest::newRow("false") << "en_US" << kSold << "mOptFalse"
                               << "1" << QStringList{"O'Brien Issue", "Penny Black", "Penny Red"};
    }
    void criteriaSelect()
    {
        QFETCH(QString, locale);
        QFETCH(int, field);
        QFETCH(QString, member);
        QFETCH(QString, value);
        QFETCH(QStringList, found);
        QLocale::setDefault(QLocale(locale));
        FieldSettings& s = mSettings[field];
        s.mHide = field != kDescription;
        if (member == u"mStarting") s.mStarting = value;
        if (member == u"mGreater") s.mGreater = value;
        if (member == u"mLess") s.mLess = value;
        if (member == u"mStartDate") s.mStartDate = QDate::fromString(value, Qt::ISODate);
        if (member == u"mEndDate") s.mEndDate = QDate::fromString(value, Qt::ISODate);
        if (member == u"mOptTrue") s.mOptTrue = true;
        if (member == u"mOptFalse") s.mOptFalse = true;
        QList<int> fields{kDescription};
        if (field != kDescription) fields << field;
        QCOMPARE(Lines(fields), found);
        QVERIFY(!mPrompts->endedWith.has_value());
        if (found.isEmpty()) {
            QCOMPARE(mPrompts->LastText(),
                     QStringLiteral("No Stamps have been entered that may be included in the specified report"));
        }
    }

    void sortKeysFromUnjoinedCodeTable()
    {
        QCOMPARE(Lines({kDescription}, CustomTarget::TextFile, kCountry, kDescription),
                 (QStringList{"Pen & <Ink>", "100% Perf", "Penny Red", "O'Brien Issue", "Penny Black"}));
        QVERIFY(!mPrompts->endedWith.has_value());
    }

    void noRecordLeavesHtmlHeadOnly()
    {
        mSettings[kPricePaid].mGreater = QStringLiteral("100");
        mSettings[kPricePaid].mLess = QStringLiteral("10");
        MemoryReportWriter writer;
        GenerateCustomReport(Report({kDescription, kPricePaid}, CustomTarget::HtmlFile), writer);
        QCOMPARE(writer.lines.size(), 7);
        QCOMPARE(writer.lines.last(), QStringLiteral("<th>Description</th><th>Price Paid</th></tr>"));
        QVERIFY(writer.closed && !writer.completed);
        QCOMPARE(mPrompts->messages.size(), size_t(1));
        QCOMPARE(mPrompts->messages[0].text,
                 QStringLiteral("No Stamps have been entered that may be included in the specified report"));
        QCOMPARE(mPrompts->messages[0].title, QStringLiteral("Tessarine"));
        QCOMPARE(mPrompts->messages[0].icon, MsgIcon::None);
    }

    void cancelledTargetRunsNothing()
    {
        CancelledWriter writer;
        GenerateCustomReport(Report({kDescription}, CustomTarget::TextFile), writer);
        QCOMPARE(writer.calls, 0);
        QVERIFY(mPrompts->messages.empty());
        QCOMPARE(mPrompts->busy, std::vector<bool>{false});
    }

    void failedWriteEndsOnlyTheReport()
    {
        FailingWriter writer(3);
        GenerateCustomReport(Report({kDescription}, CustomTarget::TextFile), writer);
        QCOMPARE(writer.lines.size(), 2);
        QVERIFY(writer.closed && !writer.completed);
        QVERIFY(!mPrompts->endedWith.has_value());
    }

    // A money total too large to keep ends the report through the central
    // handler, without a totals row and without ending the program.
    void moneyTotalTooLargeEndsTheReport()
    {
        gDb->Execute(QStringLiteral("UPDATE Stamp SET pricepaid = 60000000000000 WHERE pricepaid > 10"));
        mSettings[kPricePaid].mTotal = true;
        MemoryReportWriter writer;
        GenerateCustomReport(Report({kDescription, kPricePaid}, CustomTarget::TextFile), writer);
        QCOMPARE(mPrompts->LastText(), QStringLiteral("6  Overflow.  A total is too large to be shown."));
        QVERIFY(writer.closed && !writer.completed);
        for (const QString& line : writer.lines) QVERIFY2(!line.startsWith(u'\t'), qPrintable(line));
        QVERIFY(!mPrompts->endedWith.has_value());
        // Just within the limit the total is shown.
        gDb->Execute(QStringLiteral("UPDATE Stamp SET pricepaid = 49999999999998 WHERE pricepaid > 10"));
        MemoryReportWriter fits;
        GenerateCustomReport(Report({kDescription, kPricePaid}, CustomTarget::TextFile), fits);
        QVERIFY(fits.completed);
        QCOMPARE(fits.lines.last(), QStringLiteral("\t$99,999,999,999,999.25"));
    }

    void closedDatabaseGoesToTheErrorHandler()
    {
        gDb->Close();
        MemoryReportWriter writer;
        GenerateCustomReport(Report({kDescription}, CustomTarget::Preview), writer);
        QVERIFY(writer.closed && !writer.completed);
        QVERIFY(writer.lines.isEmpty());
        QVERIFY(mPrompts->LastText().startsWith(QStringLiteral("An error has occurred.")));
        QCOMPARE(mPrompts->endedWith, std::optional<int>(1));
    }

    void installedWritersReceiveTheReport()
    {
        CustomTarget seen = CustomTarget::Preview;
        SetCustomReportWriterFactory([&seen](const CustomReport& report) {
            seen = report.target;
            return std::make_unique<MemoryReportWriter>();
        });
        GenerateCustomReport(Report({kDescription}, CustomTarget::HtmlFile));
        QCOMPARE(seen, CustomTarget::HtmlFile);
        SetCustomReportWriterFactory(nullptr);
        GenerateCustomReport(Report({kDescription}, CustomTarget::TextFile));
        QCOMPARE(LastCustomReportOutput().lines.size(), 5);
        QCOMPARE(LastCustomReportOutput().report.defaultFileName, QStringLiteral("Stamp.txt"));
        QCOMPARE(LastCustomReportOutput().report.fileFilter,
                 QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*"));
    }

    void pageHeaderAndFooter_data()
    {
        QTest::addColumn<bool>("showDate");
        QTest::addColumn<int>("numbers");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("footer");
        QTest::newRow("date, numbers at the bottom") << true << 0 << "2/29/2024|My Report|"
                                                     << "|Page %d|";
        QTest::newRow("date, numbers in the header") << true << 1 << "2/29/2024|My Report|Page %d"
                                                     << "";
        QTest::newRow("no date, no numbers") << false << 2 << "|My Report|"
                                             << "";
    }
    void pageHeaderAndFooter()
    {
        QFETCH(bool, showDate);
        QFETCH(int, numbers);
        QFETCH(QString, header);
        QFETCH(QString, footer);
        CustomReportOptions options;
        options.showDate = showDate;
        options.pageNumbers = static_cast<PageNumbers>(numbers);
        options.title = QStringLiteral("My Report");
        options.landscape = true;
        const CustomReport report = MakeCustomReport(CustomQuery(), options, QDate(2024, 2, 29));
        QCOMPARE(report.pageHeader, header);
        QCOMPARE(report.pageFooter, footer);
        QVERIFY(report.landscape);
        QVERIFY(report.defaultFileName.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestCustomReport)
#include "tst_customreport.moc"
