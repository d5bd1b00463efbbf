// Images in the catalogue: a picture is stored once however many stamps show
// it, a stamp's list is written whole, deleting a stamp by any path takes its
// images and frees pictures nobody uses, and the catalogue tool attaches scans
// named after catalogue numbers.
#include "ScriptedPrompts.h"
#include "TestCatalogue.h"
#include "TestImages.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "images/AttachByName.h"
#include "images/ImageCommands.h"
#include "images/ImageStore.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

std::shared_ptr<const PreparedPicture> Picture(int seed, int width = 320, int height = 200)
{
    const Intake intake = PrepareBytes(PngBytes(width, height, seed));
    if (!intake.picture) qFatal("%s", qPrintable(intake.problem));
    return intake.picture;
}

ImageEntry New(int seed, const QString& kind = kFrontKind, const QString& caption = QString())
{
    ImageEntry entry;
    entry.picture = Picture(seed);
    entry.kind = kind;
    entry.caption = caption;
    return entry;
}

ImageEntry Kept(const StoredImage& image)
{
    ImageEntry entry;
    entry.imageId = image.imageId;
    entry.kind = image.kind;
    entry.caption = image.caption;
    return entry;
}

// "kind caption" of each image of the stamp, in order.
QStringList Listing(ImageStore& store, qint64 stampId)
{
    QStringList list;
    for (const StoredImage& image : store.StampImages(stampId, false))
        list << (image.caption.isEmpty() ? image.kind : image.kind + u' ' + image.caption);
    return list;
}

}  // namespace

class TestImageStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { mPrompts = std::make_unique<ScriptedPrompts>(); }
    void cleanup() { mPrompts.reset(); }

    void samePictureOnTwoStampsIsStoredOnce()
    {
        TestCatalogue cat(5);
        auto db = Database::Open(cat.Path(), true);
        ImageStore store(*db);
        store.SaveStampImages(1, {New(1), New(2, kBackKind)});
        store.SaveStampImages(2, {New(1, kFrontKind, QStringLiteral("the other copy"))});
        QCOMPARE(store.ImageCount(), 3);
        QCOMPARE(store.PictureCount(), 2);
        const auto first = store.StampImages(1, true);
        const auto second = store.StampImages(2, true);
        QCOMPARE(second.front().pictureId, first.front().pictureId);
        QCOMPARE(store.Original(first.front().pictureId), PngBytes(320, 200, 1));
        QCOMPARE(first.front().size, QSize(320, 200));
        QCOMPARE(first.front().byteSize, PngBytes(320, 200, 1).size());
        QVERIFY(!DecodeThumbnail(first.front().thumbnail).isNull());
        QCOMPARE(*store.FrontThumbnail(2), first.front().thumbnail);
        QVERIFY(!store.FrontThumbnail(3));
    }

    // The list written by Update: order, kinds and captions as given; what is
    // left out goes; a picture taken out and put back in one save survives.
    void aStampsListIsWrittenWhole()
    {
        TestCatalogue cat(3);
        auto db = Database::Open(cat.Path(), true);
        ImageStore store(*db);
        store.SaveStampImages(1, {New(1), New(2, kBackKind), New(3, QStringLiteral("Certificate"))});
        auto images = store.StampImages(1, false);
        ImageEntry back = Kept(images[1]);
        back.caption = QStringLiteral("gum side");
        ImageEntry again = New(1, QStringLiteral("Detail"));  // the first picture, which leaves as a row
        store.SaveStampImages(1, {back, Kept(images[2]), again});
        QCOMPARE(Listing(store, 1), QStringList({"Back gum side", "Certificate", "Detail"}));
        QCOMPARE(store.PictureCount(), 3);
        QCOMPARE(store.Original(store.StampImages(1, false).back().pictureId), PngBytes(320, 200, 1));
        // Positions run from 1 without gaps.
        int expected = 0;
        for (const StoredImage& image : store.StampImages(1, false)) QCOMPARE(image.position, ++expected);
        store.SaveStampImages(1, {});
        QCOMPARE(store.ImageCount(), 0);
        QCOMPARE(store.PictureCount(), 0);
        auto rs = db->OpenSnapshot(QStringLiteral("SELECT count(*) FROM PictureData"));
        QCOMPARE(rs->FieldAt(0).toInt(), 0);
    }

    // The main window deletes through its recordset; another tool with SQL. Either
    // way the stamp's images go, and its pictures with them unless another stamp
    // shows them.
    void deletingAStampTakesItsImages_data()
    {
        QTest::addColumn<bool>("byRecordset");
        QTest::newRow("the window's recordset") << true;
        QTest::newRow("another tool") << false;
    }
    void deletingAStampTakesItsImages()
    {
        QFETCH(bool, byRecordset);
        TestCatalogue cat(4);
        {
            auto db = Database::Open(cat.Path(), true);
            ImageStore store(*db);
            store.SaveStampImages(1, {New(1), New(2, kBackKind)});
            store.SaveStampImages(2, {New(2)});
            if (byRecordset) {
                auto rs = db->OpenDynaset(QStringLiteral("Select * from stamp order by [descr]"));
                rs->FindFirst(QStringLiteral("StampID = 1"));
                rs->Delete();
            }
        }
        if (!byRecordset) cat.Exec(QStringLiteral("DELETE FROM Stamp WHERE StampID = 1"), false);
        QCOMPARE(cat.Scalar(QStringLiteral("SELECT group_concat(StampID) FROM StampImage")), QStringLiteral("2"));
        QCOMPARE(cat.Scalar(QStringLiteral("SELECT count(*) FROM Picture")), QStringLiteral("1"));
        QCOMPARE(cat.Scalar(QStringLiteral("SELECT count(*) FROM PictureData")), QStringLiteral("1"));
        cat.Exec(QStringLiteral("DELETE FROM Stamp"), false);
        QCOMPARE(
            cat.Scalar(QStringLiteral("SELECT (SELECT count(*) FROM StampImage) + (SELECT count(*) FROM PictureData)")),
            QStringLiteral("0"));
    }

    // Rows a tool deleted while it had dropped the triggers are tidied at the next
    // open, and the triggers are back.
    void droppedTriggersAreMended()
    {
        TestCatalogue cat(3);
        {
            auto db = Database::Open(cat.Path(), true);
            ImageStore(*db).SaveStampImages(2, {New(1), New(2)});
        }
        cat.Exec(QStringLiteral("DROP TRIGGER StampImage_owner_deleted; DROP TRIGGER Picture_data_freed; "
                                "DELETE FROM Stamp WHERE StampID = 2"),
                 false);
        QCOMPARE(cat.Scalar(QStringLiteral("SELECT count(*) FROM StampImage")), QStringLiteral("2"));
        Database::Open(cat.Path(), true);
        QCOMPARE(cat.Scalar(QStringLiteral("SELECT (SELECT count(*) FROM StampImage) || (SELECT count(*) FROM Picture) "
                                           "|| (SELECT count(*) FROM PictureData)")),
                 QStringLiteral("000"));
        QCOMPARE(cat.Scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND (name LIKE "
                                           "'StampImage%' OR name LIKE 'Picture%')")),
                 QStringLiteral("4"));
    }

    // A table that keeps deleted stamps for a while names them in ImageOwner; their
    // images stay until it lets them go.
    void imagesStayWhileAnotherOwnerKeepsTheStamp()
    {
        TestCatalogue cat(3);
        {
            auto db = Database::Open(cat.Path(), true);
            ImageStore(*db).SaveStampImages(3, {New(1)});
        }
        cat.Exec(QStringLiteral(
                     "CREATE TABLE Kept (StampID INTEGER PRIMARY KEY); DROP VIEW ImageOwner; "
                     "CREATE VIEW ImageOwner AS SELECT StampID FROM Stamp UNION ALL SELECT StampID FROM Kept; "
                     "CREATE TRIGGER Kept_released AFTER DELETE ON Kept BEGIN DELETE FROM StampImage WHERE StampID = "
                     "OLD.StampID AND NOT EXISTS (SELECT 1 FROM ImageOwner WHERE StampID = OLD.StampID); END; "
                     "INSERT INTO Kept VALUES (3); DELETE FROM Stamp WHERE StampID = 3"),
                 false);
        QCOMPARE(cat.Scalar(QStringLiteral("SELECT count(*) FROM StampImage")), QStringLiteral("1"));
        cat.Exec(QStringLiteral("DELETE FROM Kept"), false);
        QCOMPARE(
            cat.Scalar(QStringLiteral("SELECT (SELECT count(*) FROM StampImage) + (SELECT count(*) FROM Picture)")),
            QStringLiteral("0"));
    }

    void fileNamesFindTheirStamps_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<qint64>>("stamps");
        QTest::addColumn<QString>("kind");
        QTest::newRow("number alone") << "840.jpg" << QList<qint64>{1} << "Front";
        QTest::newRow("back after a dash") << "840-back.jpg" << QList<qint64>{1} << "Back";
        QTest::newRow("longer number wins") << "840a.png" << QList<qint64>{2} << "Front";
        QTest::newRow("letters after the number") << "C12a front.png" << QList<qint64>{4} << "Front";
        QTest::newRow("case does not matter") << "c12A BACK.TIF" << QList<qint64>{4} << "Back";
        QTest::newRow("not the number's prefix") << "C12.jpg" << QList<qint64>{3} << "Front";
        QTest::newRow("number with a space") << "B 7 back side.jpg" << QList<qint64>{5} << "Back";
        QTest::newRow("two stamps share the number") << "12_scan.jpg" << QList<qint64>{6, 7} << "Front";
        QTest::newRow("only a prefix of the name") << "8400.jpg" << QList<qint64>{} << "Front";
        QTest::newRow("accents folded") << "Ö1.png" << QList<qint64>{8} << "Front";
        QTest::newRow("no number") << "scan.jpg" << QList<qint64>{} << "Front";
    }
    void fileNamesFindTheirStamps()
    {
        QFETCH(QString, file);
        QFETCH(QList<qint64>, stamps);
        QFETCH(QString, kind);
        CatalogueNumberIndex index;
        const std::pair<qint64, const char*> numbers[] = {{1, "840"}, {2, "840a"}, {3, "C12"}, {4, "C12a"}, {5, "B 7"},
                                                          {6, "12"},  {7, "12"},   {8, "o1"},  {9, ""}};
        for (const auto& [id, number] : numbers) index.Add(id, QString::fromUtf8(number));
        const NameMatch match = index.Match(file);
        QCOMPARE(match.stamps, stamps);
        QCOMPARE(match.kind, kind);
    }

    void toolAttachesListsAndExports()
    {
        TestCatalogue cat;
        cat.Exec(
            QStringLiteral("INSERT INTO Stamp (descr, catnum) VALUES ('Penny Black', '1'), ('Two Pence', '2'), "
                           "('Two Pence again', '2'), ('Inverted', 'C3')"));
        QTemporaryDir scans;
        const QDir dir(scans.path());
        WriteFile(dir.filePath(QStringLiteral("1-back.png")), PngBytes(200, 240, 2));
        WriteFile(dir.filePath(QStringLiteral("1.png")), PngBytes(200, 240, 1));
        WriteFile(dir.filePath(QStringLiteral("2.png")), PngBytes(200, 240, 3));
        WriteFile(dir.filePath(QStringLiteral("C3 front.jpg")), JpegBytes(300, 200, 4));
        WriteFile(dir.filePath(QStringLiteral("9.png")), PngBytes(20, 20, 5));
        WriteFile(dir.filePath(QStringLiteral("C3-cut.jpg")), JpegBytes(300, 200, 6).left(500));
        WriteFile(dir.filePath(QStringLiteral("readme.txt")), "scans of the album");
        auto db = Database::Open(cat.Path(), true);
        CommandOutput out;
        QCOMPARE(ImagesAttach(*db, scans.path(), out), 1);
        QCOMPARE(out.out, QStringList({"attached 3 files to 2 stamps", "not image files, left alone: 1"}));
        QCOMPARE(out.err, QStringList({"no stamp with this catalogue number: 9.png",
                                       "several stamps: 2.png (catalogue number 2: stamps 2, 3)",
                                       "not attached: C3-cut.jpg: the image in it is damaged or incomplete."}));
        // Attached again, nothing is doubled.
        out = CommandOutput();
        QCOMPARE(ImagesAttach(*db, scans.path(), out), 1);
        QVERIFY(out.out.contains(QStringLiteral("already attached: 1.png")));
        QCOMPARE(out.out.front(), QStringLiteral("attached 0 files to 0 stamps"));

        out = CommandOutput();
        QCOMPARE(ImagesAdd(*db, 2, {dir.filePath(QStringLiteral("2.png")), dir.filePath(QStringLiteral("none.png"))},
                           QStringLiteral("Certificate"), QStringLiteral("expert's certificate"), out),
                 1);
        QCOMPARE(out.err, QStringList{dir.filePath(QStringLiteral("none.png")) +
                                      QStringLiteral(": not added: it does not exist.")});
        out = CommandOutput();
        QCOMPARE(ImagesList(*db, std::nullopt, out), 0);
        QCOMPARE(out.out.size(), 4);
        QCOMPARE(out.out[0].section(u'\t', 0, 5),
                 QStringLiteral("1\t1\tFront\t\t%1\t200x240").arg(PngBytes(200, 240, 1).size()));
        QCOMPARE(out.out[1].section(u'\t', 0, 2), QStringLiteral("1\t2\tBack"));
        QCOMPARE(out.out[2].section(u'\t', 0, 3), QStringLiteral("2\t1\tCertificate\texpert's certificate"));
        QCOMPARE(out.out[3].section(u'\t', 0, 2), QStringLiteral("4\t1\tFront"));
        QCOMPARE(out.out[0].section(u'\t', 6).size(), 64);

        QTemporaryDir target;
        out = CommandOutput();
        QCOMPARE(ImagesExport(*db, 1, target.path(), out), 0);
        QCOMPARE(ReadFile(target.filePath(QStringLiteral("1-1-front.png"))), PngBytes(200, 240, 1));
        QCOMPARE(ReadFile(target.filePath(QStringLiteral("1-2-back.png"))), PngBytes(200, 240, 2));
        out = CommandOutput();
        QCOMPARE(ImagesExport(*db, 1, target.path(), out), 1);
        QCOMPARE(out.err.size(), 2);
        out = CommandOutput();
        QCOMPARE(ImagesList(*db, 99, out), 1);
        QCOMPARE(out.err, QStringList{"there is no stamp 99 in the catalogue"});
    }

    // The tool never writes under the program's feet.
    void toolRefusesACatalogueTheProgramHolds()
    {
        TestCatalogue cat(2);
        auto held = Database::Open(cat.Path(), true);
        QProcess tool;
        tool.start(QStringLiteral(TESS_CATALOGUE_TOOL), {"images", "list", cat.Path()});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(tool.readAllStandardError()).trimmed(),
                 QStringLiteral("tessarine-catalogue: Could not use '%1'; file already in use.").arg(cat.Path()));
        held.reset();
        tool.start(QStringLiteral(TESS_CATALOGUE_TOOL), {"images", "list", cat.Path()});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 0);
    }

private:
    std::unique_ptr<ScriptedPrompts> mPrompts;
};

QTEST_GUILESS_MAIN(TestImageStore)
#include "tst_imagestore.moc"
