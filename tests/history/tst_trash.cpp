// Stamps in the trash are in no report, list, find or count; they come back
// with their keys; packing keeps them; a tool that puts back the view of image
// owners without the trash cannot cost them their images.
#include "ScriptedPrompts.h"
#include "TestCatalogue.h"
#include "TestImages.h"

#include "../reports/ReportRunner.h"

#include "custom/CustomQuery.h"
#include "custom/CustomReportOutput.h"
#include "custom/FieldCatalogue.h"
#include "custom/FieldSettingsTable.h"
#include "db/Database.h"
#include "db/Globals.h"
#include "db/Recordset.h"
#include "history/History.h"
#include "history/Trash.h"
#include "images/ImageStore.h"
#include "reports/ReportPresenter.h"
#include "stats/CollectionStats.h"
#include "upkeep/Compact.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTest>

namespace {

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

int Count(Database& db, const QString& sql)
{
    auto rs = db.OpenSnapshot(sql);
    return rs->FieldAt(0).toInt();
}

bool Finds(Database& db, const QString& typed)
{
    auto rs = db.OpenDynaset(QStringLiteral("Select * from stamp order by [descr]"));
    rs->FindFirst(QStringLiteral("descr like '") + typed + QStringLiteral("*'"));
    return !rs->NoMatch();
}

}  // namespace

class TestTrash : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompts> mPrompts;
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<MemoryReportPresenter> mPresenter;

    // Three kept and three trashed stamps, one of each for every kind of report.
    void Scene()
    {
        mCat->Exec(QStringLiteral(
            "INSERT INTO Stamp (StampID, descr, catnum, catsort, quantity, CouID, typeID, formID, topID, pricepaid, "
            "totalpaid, catvalue, totalval, priceask, totalsales, sold, wantlist, face, Year) VALUES "
            "(901, 'Kept Held', 'K1', '                  K1', 1, 1, 1, 1, 1, 2, 2, 5, 5, NULL, NULL, 0, 0, 1, 1900),"
            "(902, 'Trashed Held', 'T1', '                  T1', 1, 1, 1, 1, 1, 2, 2, 5, 5, NULL, NULL, 0, 0, 1, 1900),"
            "(903, 'Kept Sold', 'K2', '                  K2', 1, 1, 1, 1, 1, 2, 2, 5, 5, 7, 7, 1, 0, 1, 1900),"
            "(904, 'Trashed Sold', 'T2', '                  T2', 1, 1, 1, 1, 1, 2, 2, 5, 5, 7, 7, 1, 0, 1, 1900),"
            "(905, 'Kept Wanted', 'K3', '                  K3', 1, 1, 1, 1, 1, 3, NULL, NULL, NULL, NULL, NULL, 0, 1, "
            "1, 1900),"
            "(906, 'Trashed Wanted', 'T3', '                  T3', 1, 1, 1, 1, 1, 3, NULL, NULL, NULL, NULL, NULL, 0, "
            "1, 1, 1900)"));
    }

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        mPrompts = std::make_unique<ScriptedPrompts>();
        mPresenter = std::make_unique<MemoryReportPresenter>();
        InstallReportPresenter(mPresenter.get());
        gRptCancel = false;
        gRptSelID = -1;
        mCat = std::make_unique<TestCatalogue>(10);
        Scene();
        gDb = Database::Open(mCat->Path(), true);
        TheHistory().Clear();
    }
    void cleanup()
    {
        TheHistory().Clear();
        gDb.reset();
        InstallReportPresenter(nullptr);
        mPresenter.reset();
        mCat.reset();
        mPrompts.reset();
        gRptTarget = 1;
    }

    void hiddenFromEveryReport_data()
    {
        QTest::addColumn<ReportKind>("kind");
        QTest::addColumn<QString>("kept");
        QTest::newRow("sales") << ReportKind::Sales << "Kept Sold";
        QTest::newRow("value") << ReportKind::Value << "Kept Held";
        QTest::newRow("want list") << ReportKind::WantList << "Kept Wanted";
        QTest::newRow("by country") << ReportKind::Country << "Kept Held";
        QTest::newRow("by type") << ReportKind::Type << "Kept Held";
        QTest::newRow("by format") << ReportKind::Format << "Kept Held";
        QTest::newRow("by topic") << ReportKind::Topic << "Kept Held";
    }
    void hiddenFromEveryReport()
    {
        QFETCH(ReportKind, kind);
        QFETCH(QString, kept);
        QVERIFY(TrashStamps(*gDb, {902, 904, 906}));
        const QString path = mCat->File(QStringLiteral("report.txt"));
        mPrompts->saveFiles.push_back(path);
        gRptTarget = 2;
        RunReport(kind);
        const QString report = ReadText(path);
        QVERIFY2(report.contains(kept), qPrintable(report));
        QVERIFY2(!report.contains(QStringLiteral("Trashed")), qPrintable(report));
    }

    void hiddenFromCustomReportsCountsAndFinds()
    {
        const auto catalogue = FieldCatalogue::Load(*gDb);
        QVERIFY(catalogue);
        FieldSettingsTable settings;
        settings.Reset(*catalogue);
        const StatsSummary before = LoadSummary(*gDb);
        const int stamps = Count(*gDb, QStringLiteral("SELECT count(*) FROM Stamp"));

        QVERIFY(TrashStamps(*gDb, {902, 904, 906}));

        CustomQueryInput input;
        input.fields = {1};  // the description
        input.sort1 = 1;
        input.title = QStringLiteral("All");
        CustomReportOptions options;
        options.target = CustomTarget::TextFile;
        options.title = input.title;
        MemoryReportWriter writer;
        GenerateCustomReport(
            MakeCustomReport(BuildCustomQuery(*catalogue, settings, input), options, QDate(2024, 1, 1)), writer);
        const QString lines = writer.lines.join(u'\n');
        QVERIFY(lines.contains(QStringLiteral("Kept Held")));
        QVERIFY(!lines.contains(QStringLiteral("Trashed")));

        const StatsSummary after = LoadSummary(*gDb);
        QCOMPARE(after.heldStamps, before.heldStamps - 1);
        QCOMPARE(after.soldStamps, before.soldStamps - 1);
        QCOMPARE(after.wantStamps, before.wantStamps - 1);
        auto stampsRs = gDb->OpenDynaset(QStringLiteral("Select * from stamp order by [descr]"));
        QCOMPARE(stampsRs->RecordCount(), stamps - 3);
        QVERIFY(!Finds(*gDb, QStringLiteral("Trashed")));
        QVERIFY(Finds(*gDb, QStringLiteral("Kept")));
    }

    // Brought back, a stamp has its own key again and is found by its text.
    void restoredWithItsKey()
    {
        const QString row = gDb->OpenSnapshot(QStringLiteral("SELECT descr || catnum || pricepaid FROM Stamp WHERE "
                                                             "StampID = 904"))
                                ->FieldAt(0)
                                .toString();
        QVERIFY(TrashStamps(*gDb, {904, 902}));
        const QList<TrashedStamp> trash = TrashedStamps(*gDb);
        QCOMPARE(trash.size(), 2);
        QCOMPARE(trash[0].country.isEmpty(), false);
        QVERIFY(trash[0].deletedAt.isValid());
        // Another stamp took one key meanwhile (as only another tool could): that
        // one stays in the trash.
        Statement(gDb->SharedConnection(),
                  QStringLiteral("INSERT INTO Stamp (StampID, descr) VALUES (902, 'Squatter')"))
            .Step();
        QList<qint64> restored;
        QVERIFY(RestoreStamps(*gDb, {904, 902}, &restored));
        QCOMPARE(restored, QList<qint64>{904});
        QCOMPARE(TrashCount(*gDb), 1);
        QCOMPARE(Count(*gDb, QStringLiteral("SELECT count(*) FROM Stamp WHERE StampID = 904 AND descr || catnum || "
                                            "pricepaid = '") +
                                 row + u'\''),
                 1);
        QVERIFY(Finds(*gDb, QStringLiteral("trashed s")));
    }

    // A stamp's numbers in other catalogues stay with it in the trash, come back
    // with it, change and come back with undo, and go when the trash is emptied.
    void numbersInOtherCataloguesGoWithTheStamp()
    {
        const auto numbers = [] {
            return gDb
                ->OpenSnapshot(QStringLiteral("SELECT ifnull(group_concat(CatNo || '/' || ifnull(NumValue, '-'), ' '), "
                                              "'') FROM (SELECT * FROM StampNumber WHERE StampID = 904 ORDER BY "
                                              "Position)"))
                ->FieldAt(0)
                .toString();
        };
        Statement(gDb->SharedConnection(),
                  QStringLiteral("INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo, CatNoSort, NumValue) "
                                 "SELECT 904, CatalogID, 1, '840', '840', 2.5 FROM Catalog WHERE CatalogDesc = "
                                 "'Michel'"))
            .Step();
        QVERIFY(TrashStamps(*gDb, {904}));
        QCOMPARE(numbers(), QStringLiteral("840/2.5"));
        QVERIFY(RestoreStamps(*gDb, {904}));
        QCOMPARE(numbers(), QStringLiteral("840/2.5"));
        QVERIFY(RecordChange(*gDb, ChangeKind::Update, [] {
            Statement(gDb->SharedConnection(),
                      QStringLiteral("UPDATE StampNumber SET CatNo = '841', NumValue = NULL WHERE StampID = 904"))
                .Step();
        }));
        QCOMPARE(numbers(), QStringLiteral("841/-"));
        QVERIFY(TheHistory().Undo(*gDb).done);
        QCOMPARE(numbers(), QStringLiteral("840/2.5"));
        QVERIFY(TrashStamps(*gDb, {904}));
        EmptyTrash(*gDb);
        QCOMPARE(numbers(), QString());
    }

    // Packing keeps the trash and its images; emptying it afterwards lets them go.
    void packingKeepsTheTrash()
    {
        ImageEntry image;
        image.picture = PrepareBytes(PngBytes(64, 48, 9)).picture;
        ImageStore(*gDb).SaveStampImages(902, {image});
        QVERIFY(TrashStamps(*gDb, {902}));
        gDb.reset();
        const QString previous = QDir::currentPath();
        QDir::setCurrent(mCat->Dir());
        gAppDir.clear();
        gDbPath = QStringLiteral("stamp.mdb");
        const bool packed = PackCatalogue();
        QDir::setCurrent(previous);
        gDbPath.clear();
        QVERIFY(packed);
        gDb = Database::Open(mCat->Path(), true);
        QCOMPARE(TrashCount(*gDb), 1);
        QCOMPARE(ImageStore(*gDb).ImageCount(), 1);
        EmptyTrash(*gDb);
        QCOMPARE(ImageStore(*gDb).ImageCount(), 0);
        QCOMPARE(ImageStore(*gDb).PictureCount(), 0);
    }

    // Another tool puts back the view of image owners as it was before the trash:
    // at the next open the trash's stamps own their images again, and nothing of
    // theirs was tidied away.
    void anotherToolsViewIsPutRight()
    {
        ImageEntry image;
        image.picture = PrepareBytes(PngBytes(64, 48, 11)).picture;
        ImageStore(*gDb).SaveStampImages(906, {image});
        QVERIFY(TrashStamps(*gDb, {906}));
        gDb.reset();
        QProcess tool;
        tool.start(QStringLiteral("sqlite3"),
                   {mCat->Path(), QStringLiteral("DROP VIEW ImageOwner; CREATE VIEW ImageOwner AS SELECT StampID FROM "
                                                 "Stamp; DROP TRIGGER DeletedStamp_images_freed;")});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 0);
        gDb = Database::Open(mCat->Path(), true);
        QCOMPARE(ImageStore(*gDb).ImageCount(), 1);
        EmptyTrash(*gDb);
        QCOMPARE(ImageStore(*gDb).ImageCount(), 0);
    }
};

QTEST_MAIN(TestTrash)
#include "tst_trash.moc"
