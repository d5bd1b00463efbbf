// The Image field of custom reports: the front thumbnail as a data URI in the
// HTML page, drawn in the preview's cell, nothing at all in a text file; and the
// catalogue's upkeep (backup, packing) carries the images whole.
#include "../reliability/HtmlCheck.h"
#include "ScriptedPrompts.h"
#include "TestCatalogue.h"
#include "TestImages.h"

#include "custom/CustomReportOutput.h"
#include "custom/FieldCatalogue.h"
#include "db/Database.h"
#include "db/Globals.h"
#include "images/ImageStore.h"
#include "reports/PrintSurface.h"
#include "upkeep/Backup.h"
#include "upkeep/Compact.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kDescription = 1;
constexpr int kImage = 34;

std::shared_ptr<const PreparedPicture> Picture(const QByteArray& bytes)
{
    const Intake intake = PrepareBytes(bytes);
    if (!intake.picture) qFatal("%s", qPrintable(intake.problem));
    return intake.picture;
}

ImageEntry Entry(const QByteArray& bytes, const QString& kind)
{
    ImageEntry entry;
    entry.picture = Picture(bytes);
    entry.kind = kind;
    return entry;
}

}  // namespace

class TestImageReports : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ScriptedPrompts> mPrompts;
    std::unique_ptr<TestCatalogue> mCat;
    FieldCatalogue mCatalogue;
    FieldSettingsTable mSettings;
    QByteArray mFront;  // the thumbnail of Alpha's front

    MemoryReportWriter Run(CustomTarget target)
    {
        CustomQueryInput input;
        input.fields = {kDescription, kImage};
        input.sort1 = kDescription;
        input.title = QStringLiteral("Pictures");
        CustomReportOptions options;
        options.target = target;
        options.title = input.title;
        MemoryReportWriter writer;
        GenerateCustomReport(
            MakeCustomReport(BuildCustomQuery(mCatalogue, mSettings, input), options, QDate(2025, 1, 2)), writer);
        return writer;
    }

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        mPrompts = std::make_unique<ScriptedPrompts>();
        mCat = std::make_unique<TestCatalogue>();
        mCat->Exec(QStringLiteral("INSERT INTO Stamp (descr) VALUES ('Alpha'), ('Bravo'), ('Charlie')"));
        gDb = Database::Open(mCat->Path(), true);
        ImageStore store(*gDb);
        // Alpha: a detail first, then its front; Bravo: only a back; Charlie: none.
        store.SaveStampImages(
            1, {Entry(PngBytes(300, 300, 9), QStringLiteral("Detail")), Entry(JpegBytes(400, 500, 1), kFrontKind)});
        store.SaveStampImages(2, {Entry(PngBytes(200, 200, 2), kBackKind)});
        mFront = *store.FrontThumbnail(1);
        mCatalogue = *FieldCatalogue::Load(*gDb);
        mSettings.Reset(mCatalogue);
    }
    void cleanup()
    {
        gDb.reset();
        mCat.reset();
        mPrompts.reset();
    }

    void htmlHoldsTheFrontAsADataUri()
    {
        QCOMPARE(mCatalogue.Find(kImage)->desc, QStringLiteral("Image"));
        const MemoryReportWriter out = Run(CustomTarget::HtmlFile);
        const HtmlPage page = CheckHtml(out.lines.join(u'\n'));
        QVERIFY2(page.problem.isEmpty(), qPrintable(page.problem));
        QCOMPARE(page.rows.size(), 5);  // title, headings, three stamps
        QCOMPARE(page.rows[1], QStringList({"Description", "Image"}));
        const QString alpha = out.lines.filter(QStringLiteral("Alpha")).front();
        static const QRegularExpression image(
            QStringLiteral("<td><img src=\"data:([a-z/]+);base64,([A-Za-z0-9+/=]+)\" "
                           "alt=\"Image\"></td>"));
        const auto match = image.match(alpha);
        QVERIFY2(match.hasMatch(), qPrintable(alpha.left(200)));
        QCOMPARE(match.captured(1), QStringLiteral("image/jpeg"));
        const auto decoded =
            QByteArray::fromBase64Encoding(match.captured(2).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        QVERIFY(decoded);
        QCOMPARE(*decoded, mFront);
        QCOMPARE(QImage::fromData(*decoded).size(), QSize(192, 240));
        // No front, no picture: an empty cell.
        QVERIFY(out.lines.contains(QStringLiteral("<tr><td>Bravo</td><td></td></tr>")));
        QVERIFY(out.lines.contains(QStringLiteral("<tr><td>Charlie</td><td></td></tr>")));
    }

    void textFileWritesNothingForTheImage()
    {
        QCOMPARE(Run(CustomTarget::TextFile).lines, QStringList({"Alpha", "Bravo", "Charlie"}));
    }

    // The preview gets the picture beside the line, and draws it in its cell: the
    // row grows to the picture's height, at most an inch.
    void previewDrawsTheFrontInItsCell()
    {
        const MemoryReportWriter out = Run(CustomTarget::Preview);
        QCOMPARE(out.lines.size(), 3);
        QCOMPARE(out.pictures.size(), size_t(1));
        QCOMPARE(out.pictures.at(0).at(1), mFront);
        QVERIFY(out.lines[0].endsWith(QStringLiteral("Alpha|;")));

        PrintSurface surface;
        surface.SetPaperSize(PrintSurface::LetterSize());
        surface.StartDoc();
        for (qsizetype i = 0; i < out.lines.size(); ++i) {
            const auto found = out.pictures.find(i);
            surface.AddTable(out.lines[i], found == out.pictures.end() ? std::vector<QByteArray>() : found->second);
        }
        surface.EndDoc();
        const auto rows = surface.PageRows(1);
        QCOMPARE(rows.size(), size_t(3));
        const QSize drawn = rows[0].cells[1].picture;
        QCOMPARE(drawn.height(), PrintSurface::kPictureHeight);
        QCOMPARE(drawn.width(), PrintSurface::kPictureHeight * 192 / 240);
        QVERIFY(rows[0].height >= drawn.height());
        QVERIFY(rows[1].cells[1].picture.isEmpty());
        QVERIFY(rows[1].height < 400);
        // And it is drawn: the cell is no longer blank paper.
        QImage page(surface.DocumentPageSize() / 10, QImage::Format_RGB32);
        QPainter painter(&page);
        surface.DrawPage(painter, 1, QRectF(QPointF(0, 0), QSizeF(page.size())));
        painter.end();
        const QPoint middle((rows[0].cells[1].left + rows[0].cells[1].width / 2) / 10,
                            (rows[0].top + rows[0].height / 2) / 10);
        QVERIFY(page.pixel(middle) != qRgb(255, 255, 255));
    }

    void backupAndPackingCarryTheImages()
    {
        const QByteArray original = ImageStore(*gDb).Original(ImageStore(*gDb).StampImages(1, false)[1].pictureId);
        gDb.reset();
        gAppDir = mCat->Dir() + u'/';
        gDbPath = gAppDir + QStringLiteral("stamp.mdb");
        mPrompts->Clear();
        QVERIFY(PackCatalogue());
        QTemporaryDir drive;
        QString problem;
        QVERIFY2(BackupCatalogue(gDbPath, drive.path(), &problem), qPrintable(problem));
        for (const QString& path : {gDbPath, drive.filePath(QStringLiteral("stamp.mdb"))}) {
            auto db = Database::Open(path, true);
            ImageStore store(*db);
            QCOMPARE(store.ImageCount(), 3);
            const auto alpha = store.StampImages(1, true);
            QCOMPARE(store.Original(alpha[1].pictureId), original);
            QCOMPARE(alpha[1].thumbnail, mFront);
        }
        // Packing shows its progress, with Cancel.
        QCOMPARE(mPrompts->progress.size(), size_t(1));
        QCOMPARE(mPrompts->progress[0].text, QStringLiteral("Packing the catalogue..."));
        QVERIFY(mPrompts->progress[0].cancellable);
        gAppDir.clear();
        gDbPath.clear();
    }

    // Cancelled, packing and backup leave everything as it was, without a word.
    void cancelledPackingAndBackupChangeNothing()
    {
        gDb.reset();
        gAppDir = mCat->Dir() + u'/';
        gDbPath = gAppDir + QStringLiteral("stamp.mdb");
        const QByteArray before = ReadFile(gDbPath);
        mPrompts->cancelProgressAt = 0;
        QVERIFY(!PackCatalogue());
        QCOMPARE(ReadFile(gDbPath), before);
        QVERIFY(!QFile::exists(gAppDir + QStringLiteral("stampnew.mdb")));
        QVERIFY(!QFile::exists(gAppDir + QStringLiteral("stampdb.bak")));

        QTemporaryDir drive;
        WriteFile(drive.filePath(QStringLiteral("stamp.mdb")), "an earlier backup");
        QString problem = QStringLiteral("unchanged");
        int steps = 0;
        QVERIFY(!BackupCatalogue(gDbPath, drive.path(), &problem, [&steps](qint64, qint64) { return ++steps < 2; }));
        QVERIFY(problem.isEmpty());
        QCOMPARE(QDir(drive.path()).entryList(QDir::Files), QStringList{"stamp.mdb"});
        QCOMPARE(ReadFile(drive.filePath(QStringLiteral("stamp.mdb"))), QByteArray("an earlier backup"));
        QVERIFY(mPrompts->messages.empty());
        gAppDir.clear();
        gDbPath.clear();
    }
};

QTEST_MAIN(TestImageReports)
#include "tst_imagereports.moc"
