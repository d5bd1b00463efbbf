// Taking pictures in: every readable format is kept byte for byte with a small
// thumbnail; bad files are refused with the reason, before anything is decoded
// where the header already gives them away.
#include "TestImages.h"

#include "images/PictureIntake.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPictureIntake : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readableFormatsAreKeptWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("thumbnailType");
        QTest::addColumn<QSize>("thumbnailSize");
        QTest::newRow("jpeg, landscape") << JpegBytes(1200, 800) << "jpeg" << QSize(1200, 800) << "image/jpeg"
                                         << QSize(240, 160);
        QTest::newRow("png, portrait") << PngBytes(300, 600) << "png" << QSize(300, 600) << "image/jpeg"
                                       << QSize(120, 240);
        QTest::newRow("png with transparency") << ImageBytes(TestPicture(480, 480, 2, true), "png") << "png"
                                               << QSize(480, 480) << "image/png" << QSize(240, 240);
        QTest::newRow("tiff") << ImageBytes(TestPicture(500, 250), "tiff") << "tiff" << QSize(500, 250) << "image/jpeg"
                              << QSize(240, 120);
        QTest::newRow("webp") << ImageBytes(TestPicture(400, 300), "webp", 80) << "webp" << QSize(400, 300)
                              << "image/jpeg" << QSize(240, 180);
        QTest::newRow("bmp, smaller than a thumbnail")
            << ImageBytes(TestPicture(90, 60), "bmp") << "bmp" << QSize(90, 60) << "image/jpeg" << QSize(90, 60);
    }
    void readableFormatsAreKeptWhole()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, format);
        QFETCH(QSize, size);
        QFETCH(QString, thumbnailType);
        QFETCH(QSize, thumbnailSize);
        const Intake intake = PrepareBytes(bytes);
        QVERIFY2(intake.picture, qPrintable(intake.problem));
        QCOMPARE(intake.picture->bytes, bytes);
        QCOMPARE(intake.picture->hash, QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));
        QCOMPARE(intake.picture->format, format);
        QCOMPARE(intake.picture->size, size);
        QCOMPARE(ThumbnailMimeType(intake.picture->thumbnail), thumbnailType);
        const QImage thumbnail = DecodeThumbnail(intake.picture->thumbnail);
        QCOMPARE(thumbnail.size(), thumbnailSize);
        QCOMPARE(ThumbnailSize(intake.picture->thumbnail), thumbnailSize);
    }

    void badFilesAreRefusedWithTheReason_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");
        const QByteArray jpeg = JpegBytes(640, 480);
        const QByteArray png = PngBytes(640, 480);
        const QByteArray bmp = ImageBytes(TestPicture(200, 100), "bmp");
        QTest::newRow("not an image") << "notes.jpg" << QByteArray("Bought at the spring fair.\n")
                                      << "it is not an image that Tessarine can read.";
        QTest::newRow("empty") << "empty.png" << QByteArray() << "it is empty.";
        // Read without complaint by the reader, which greys out what is missing.
        QTest::newRow("truncated jpeg") << "cut.jpg" << jpeg.left(jpeg.size() / 2)
                                        << "the image in it is damaged or incomplete.";
        QTest::newRow("truncated bmp") << "cut.bmp" << bmp.left(bmp.size() - 100)
                                       << "the image in it is damaged or incomplete.";
        QTest::newRow("truncated png") << "cut.png" << png.left(png.size() / 2)
                                       << "the image in it is damaged or incomplete (Unable to read image data).";
        QTest::newRow("decompression bomb")
            << "bomb.png" << PngClaiming(100000, 100000)
            << "it claims a size of 100000 x 100000 pixels; an image may have at most 100 million pixels.";
        QTest::newRow("just over the pixel limit")
            << "big.png" << PngClaiming(10001, 10000)
            << "it claims a size of 10001 x 10000 pixels; an image may have at most 100 million pixels.";
        QTest::newRow("a drawing") << "plan.svg"
                                   << QByteArray(
                                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" "
                                          "height=\"10\"><rect width=\"10\" height=\"10\"/></svg>")
                                   << "it is not an image that Tessarine can read.";
    }
    void badFilesAreRefusedWithTheReason()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        WriteFile(path, bytes);
        const Intake intake = PrepareFile(path);
        QVERIFY(!intake.picture);
        QCOMPARE(intake.problem, problem);
        QCOMPARE(RefusalText({name}, {intake.problem}),
                 QStringLiteral("The file '%1' was not added: %2").arg(name, problem));
    }

    // What is wrong with the file itself, not its content.
    void filesThatCannotBeReadAreRefused()
    {
        QTemporaryDir dir;
        QCOMPARE(PrepareFile(dir.path()).problem, QStringLiteral("it is a folder, not a file."));
        QCOMPARE(PrepareFile(dir.filePath(QStringLiteral("gone.jpg"))).problem, QStringLiteral("it does not exist."));
        // A sparse file of 500 MB, refused by its size before a byte is read.
        QFile huge(dir.filePath(QStringLiteral("huge.tif")));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(500LL * 1024 * 1024));
        huge.close();
        QCOMPARE(PrepareFile(huge.fileName()).problem,
                 QStringLiteral("it is 500 MB; an image file may be at most 200 MB."));
        QCOMPARE(PrepareFile(QStringLiteral("/dev/zero")).problem, QStringLiteral("it is not a file."));
    }

    void severalRefusalsMakeOneMessage()
    {
        QCOMPARE(
            RefusalText({"a.jpg", "b"}, {"it is empty.", "it is a folder, not a file."}),
            QStringLiteral("These files were not added:\n\n'a.jpg': it is empty.\n'b': it is a folder, not a file."));
    }

    // The viewer decodes a JPEG at a reduced scale when that is all it needs.
    void decodingForShowing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<double>("minScale");
        QTest::addColumn<QSize>("decoded");
        QTest::addColumn<double>("scale");
        const QByteArray jpeg = JpegBytes(1600, 1000);
        QTest::newRow("jpeg whole") << jpeg << 1.0 << QSize(1600, 1000) << 1.0;
        QTest::newRow("jpeg at a half") << jpeg << 0.3 << QSize(800, 500) << 0.5;
        QTest::newRow("jpeg at an eighth") << jpeg << 0.01 << QSize(200, 125) << 0.125;
        QTest::newRow("png always whole") << PngBytes(400, 200) << 0.1 << QSize(400, 200) << 1.0;
    }
    void decodingForShowing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(double, minScale);
        QFETCH(QSize, decoded);
        QFETCH(double, scale);
        double got = 0;
        const QImage image = DecodeImage(bytes, minScale, &got);
        QCOMPARE(image.size(), decoded);
        QCOMPARE(got, scale);
        QString problem;
        QVERIFY(DecodeImage(PngClaiming(100000, 100000), 1.0, nullptr, &problem).isNull());
        QVERIFY(problem.startsWith(QStringLiteral("it claims a size of 100000 x 100000 pixels")));
    }

    // A catalogue written by another tool may hold anything where a thumbnail belongs.
    void onlyThumbnailsDecodeAsThumbnails()
    {
        QVERIFY(!DecodeThumbnail(PngBytes(100, 80)).isNull());
        QVERIFY(DecodeThumbnail(PngBytes(2000, 80)).isNull());
        QVERIFY(DecodeThumbnail(ImageBytes(TestPicture(50, 50), "bmp")).isNull());
        QVERIFY(DecodeThumbnail(QByteArray("nothing")).isNull());
        QVERIFY(DecodeThumbnail(PngClaiming(100000, 100000)).isNull());
    }
};

QTEST_GUILESS_MAIN(TestPictureIntake)
#include "tst_pictureintake.moc"
