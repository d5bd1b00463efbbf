#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "custom/CustomReportTargets.h"
#include "custom/FieldCatalogue.h"
#include "db/Database.h"
#include "db/Globals.h"
#include "reports/ReportPresenter.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kDescription = 1;
constexpr int kCountry = 8;
constexpr int kPricePaid = 21;

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

}  // namespace

// Custom reports through the real targets: the Save dialog, "File Exists", the
// report files and the preview's print surface.
class TestCustomTargets : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<ScriptedPrompts> mPrompts;
    MemoryReportPresenter mPresenter;
    FieldCatalogue mCatalogue;
    FieldSettingsTable mSettings;
    QTemporaryDir mOut;

    CustomReport Report(CustomTarget target, bool landscape = false, PageNumbers numbers = PageNumbers::AtBottom)
    {
        CustomQueryInput input;
        input.fields = {kDescription, kCountry, kPricePaid};
        input.sort1 = kDescription;
        input.title = QStringLiteral("Club <list>");
        mSettings[kPricePaid].mTotal = true;
        CustomReportOptions options;
        options.target = target;
        options.title = input.title;
        options.landscape = landscape;
        options.pageNumbers = numbers;
        return MakeCustomReport(BuildCustomQuery(mCatalogue, mSettings, input), options, QDate(2024, 2, 29));
    }

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        mPrompts = std::make_unique<ScriptedPrompts>();
        mPresenter.shows = 0;
        InstallReportPresenter(&mPresenter);
        InstallCustomReportTargets();
        mCat = std::make_unique<TestCatalogue>();
        mCat->Exec(QStringLiteral("INSERT INTO country (CouID, Coudesc) VALUES (1, 'Peru');"
                                  "INSERT INTO Stamp (descr, CouID, pricepaid) VALUES ('Inca | gold; \"sun\"', 1, 2.5),"
                                  "('Andes\tpeak', NULL, NULL);"));
        gDb = Database::Open(mCat->Path(), true);
        mCatalogue = *FieldCatalogue::Load(*gDb);
        mSettings.Reset(mCatalogue);
    }
    void cleanup()
    {
        gDb.reset();
        mCat.reset();
        SetCustomReportWriterFactory(nullptr);
        InstallReportPresenter(nullptr);
    }

    void files_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("defaultName");
        QTest::addColumn<QByteArray>("bytes");
        // The text file writes values as they are, a tab inside one included.
        QTest::newRow("text") << 2 << "Stamp.txt"
                              << QByteArray("Andes\tpeak\t\t\r\nInca | gold; \"sun\"\tPeru\t$2.50\r\n\t\t$2.50\r\n");
        QTest::newRow("html") << 3 << "Stamp.htm"
                              << QByteArray("<html>\r\n<head><title>Club &lt;list&gt;</title></head>\r\n<body>\r\n"
                                            "<table border=1>\r\n<tr><th colspan = 3>Club &lt;list&gt;</th></tr>\r\n"
                                            "<tr>\r\n<th>Description</th><th>Country</th><th>Price Paid</th></tr>\r\n"
                                            "<tr><td>Andes\tpeak</td><td></td><td align=right></td></tr>\r\n"
                                            "<tr><td>Inca | gold; \"sun\"</td><td>Peru</td><td align=right>$2.50</td></tr>\r\n"
                                            "<tr><TD>&nbsp;</TD><TD>&nbsp;</TD><td align=right>$2.50</td></tr>\r\n"
                                            "</table>\r\n</body>\r\n</html>\r\n");
    }
    void files()
    {
        QFETCH(int, target);
        QFETCH(QString, defaultName);
        QFETCH(QByteArray, bytes);
        const QString path = mOut.filePath(defaultName);
        mPrompts->saveFiles = {path};
        GenerateCustomReport(Report(static_cast<CustomTarget>(target)));
        QCOMPARE(mPrompts->saveRequests.back().defaultName, defaultName);
        QCOMPARE(Contents(path), bytes);
        // Asked again and declined: the file stays as it is.
        mPrompts->saveFiles = {path};
        mPrompts->answers = {MsgAnswer::No};
        gDb->Execute(QStringLiteral("UPDATE Stamp SET descr = 'changed'"));
        GenerateCustomReport(Report(static_cast<CustomTarget>(target)));
        QCOMPARE(mPrompts->saveRequests.size(), size_t(2));
        QVERIFY(!mPrompts->messages.empty());
        QCOMPARE(mPrompts->messages.back().title, QStringLiteral("File Exists"));
        QCOMPARE(Contents(path), bytes);
        // Cancelled: nothing written, nothing said.
        const size_t said = mPrompts->messages.size();
        mPrompts->saveFiles = {std::nullopt};
        GenerateCustomReport(Report(static_cast<CustomTarget>(target)));
        QCOMPARE(mPrompts->messages.size(), said);
    }

    void preview_data()
    {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("numbers");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("footer");
        QTest::newRow("portrait, numbers at the bottom") << false << 0 << "2/29/2024|Club <list>|" << "|Page 1|";
        QTest::newRow("landscape, numbers in the header") << true << 1 << "2/29/2024|Club <list>|Page 1" << "||";
        QTest::newRow("no numbers") << false << 2 << "2/29/2024|Club <list>|" << "||";
    }
    void preview()
    {
        QFETCH(bool, landscape);
        QFETCH(int, numbers);
        QFETCH(QString, header);
        QFETCH(QString, footer);
        GenerateCustomReport(Report(CustomTarget::Preview, landscape, static_cast<PageNumbers>(numbers)));
        QCOMPARE(mPresenter.shows, 1);
        const PrintSurface& surface = mPresenter.surface;
        QCOMPARE(surface.PageCount(), 1);
        QCOMPARE(surface.PageHeaderText(1), header);
        QCOMPARE(surface.PageFooterText(1), footer);
        const QSize page = surface.DocumentPageSize();
        QCOMPARE(page.width() > page.height(), landscape);
        const auto rows = surface.PageRows(1);
        // The heading, the stamps (a "|" or ";" in a value splits it on the page,
        // as table strings have it), and the totals row last.
        QCOMPARE(rows.size(), size_t(5));
        QVERIFY(rows[0].heading);
        QCOMPARE(rows[0].cells[1].lines.join(u' '), QStringLiteral("Country"));
        QCOMPARE(rows.back().cells[2].lines.join(u' '), QStringLiteral("$2.50"));
        QVERIFY(rows.back().cells[2].rightAligned);
        if (landscape) QVERIFY(mPresenter.previewSize.width() > mPresenter.previewSize.height());
        QVERIFY(mPrompts->messages.empty());
    }
};

QTEST_MAIN(TestCustomTargets)
#include "tst_customtargets.moc"
