#include "images/PictureIntake.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// Formats the readers know that are drawings, not pictures: they have no pixels
// of their own to keep.
bool IsDrawing(const QByteArray& format)
{
    return format == "svg" || format == "svgz";
}

// A reader over bytes, with the program's limits.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : mBytes(bytes), mBuffer(&mBytes)
    {
        mBuffer.open(QIODevice::ReadOnly);
        mReader.setDevice(&mBuffer);
        mReader.setAllocationLimit(kDecodeAllocationLimitMb);
        mReader.setAutoTransform(true);
    }
    QImageReader& operator*() { return mReader; }
    QImageReader* operator->() { return &mReader; }

private:
    QByteArray mBytes;
    QBuffer mBuffer;
    QImageReader mReader;
};

QString MegabytesText(qint64 bytes)
{
    return QLocale().toString(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 0);
}

QString TooLargeText(qint64 bytes)
{
    return QStringLiteral("it is %1 MB; an image file may be at most %2 MB.")
        .arg(MegabytesText(bytes), MegabytesText(kMaxImageFileBytes));
}

QString TooManyPixelsText(QSize size)
{
    return QStringLiteral("it claims a size of %1 x %2 pixels; an image may have at most %3 million pixels.")
        .arg(size.width())
        .arg(size.height())
        .arg(kMaxImagePixels / 1'000'000);
}

const QString kNotAnImage = QStringLiteral("it is not an image that Tessarine can read.");

QString DamagedText(const QString& detail)
{
    return detail.isEmpty() ? QStringLiteral("the image in it is damaged or incomplete.")
                            : QStringLiteral("the image in it is damaged or incomplete (%1).").arg(detail);
}

bool TooManyPixels(QSize size)
{
    return size.isValid() && static_cast<qint64>(size.width()) * size.height() > kMaxImagePixels;
}

quint32 LittleEndian32(const QByteArray& bytes, qsizetype at)
{
    if (at + 4 > bytes.size()) return 0;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// Some readers decode what they have of a cut-off file without complaint and
// fill the rest with grey; such a file is caught by its own structure.
bool LooksCutOff(const QByteArray& bytes, const QByteArray& format)
{
    if (format == "jpeg") {
        // Scan data never holds a marker, so the image's end (FF D9) must follow
        // the start of its last scan (FF DA).
        const qsizetype scan = bytes.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
        return scan < 0 || bytes.indexOf(QByteArrayView("\xFF\xD9", 2), scan + 2) < 0;
    }
    if (format == "bmp" && bytes.startsWith("BM")) {
        const quint32 declared = LittleEndian32(bytes, 2);
        const quint64 pixelsEnd = quint64(LittleEndian32(bytes, 10)) + LittleEndian32(bytes, 34);
        return declared > static_cast<quint64>(bytes.size()) || pixelsEnd > static_cast<quint64>(bytes.size());
    }
    return false;
}

QByteArray Encode(const QImage& image, const char* format, int quality)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    if (!writer.write(image)) return QByteArray();
    return out;
}

// The power-of-two reduction (1, 2, 4 or 8) that keeps at least minScale of the
// picture's size.
int Reduction(double minScale)
{
    int reduction = 1;
    while (reduction < 8 && 1.0 / (reduction * 2) >= minScale) reduction *= 2;
    return reduction;
}

QSize Reduced(QSize size, int reduction)
{
    return QSize((size.width() + reduction - 1) / reduction, (size.height() + reduction - 1) / reduction);
}

}  // namespace

Intake PrepareFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir()) return {nullptr, QStringLiteral("it is a folder, not a file.")};
    if (!info.exists()) return {nullptr, QStringLiteral("it does not exist.")};
    // A device or a pipe could be read for ever.
    if (!info.isFile()) return {nullptr, QStringLiteral("it is not a file.")};
    if (info.size() > kMaxImageFileBytes) return {nullptr, TooLargeText(info.size())};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path)) return {nullptr, QStringLiteral("it does not exist.")};
        return {nullptr, QStringLiteral("it could not be read (%1).").arg(file.errorString())};
    }
    // Read no more than the limit allows, should the file have grown meanwhile.
    const QByteArray bytes = file.read(kMaxImageFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return {nullptr, QStringLiteral("it could not be read (%1).").arg(file.errorString())};
    if (bytes.size() > kMaxImageFileBytes) return {nullptr, TooLargeText(bytes.size())};
    return PrepareBytes(bytes);
}

Intake PrepareBytes(const QByteArray& bytes)
{
    if (bytes.isEmpty()) return {nullptr, QStringLiteral("it is empty.")};
    if (bytes.size() > kMaxImageFileBytes) return {nullptr, TooLargeText(bytes.size())};

    Reader reader(bytes);
    const QByteArray format = reader->format();
    if (format.isEmpty() || IsDrawing(format)) return {nullptr, kNotAnImage};
    const QSize declared = reader->size();
    // Refused on what the header claims, before anything is decoded.
    if (TooManyPixels(declared)) return {nullptr, TooManyPixelsText(declared)};
    if (LooksCutOff(bytes, format)) return {nullptr, DamagedText(QString())};

    // A reader that can decode at a reduced scale spares most of the work.
    if (declared.isValid() && reader->supportsOption(QImageIOHandler::ScaledSize)) {
        const double scale = std::min(1.0, 2.0 * kThumbnailEdge / std::max(declared.width(), declared.height()));
        reader->setScaledSize(Reduced(declared, Reduction(scale)));
    }
    const bool turned = reader->transformation() & QImageIOHandler::TransformationRotate90;
    QImage image = reader->read();
    if (image.isNull()) return {nullptr, DamagedText(reader->errorString())};
    QSize size = declared.isValid() ? declared : image.size();
    if (declared.isValid() && turned) size.transpose();
    if (TooManyPixels(size)) return {nullptr, TooManyPixelsText(size)};

    auto picture = std::make_shared<PreparedPicture>();
    picture->bytes = bytes;
    picture->hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    picture->format = QString::fromLatin1(format);
    picture->size = size;
    if (image.width() > kThumbnailEdge || image.height() > kThumbnailEdge)
        image = image.scaled(kThumbnailEdge, kThumbnailEdge, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (image.hasAlphaChannel()) {
        picture->thumbnail = Encode(image.convertToFormat(QImage::Format_ARGB32), "png", -1);
    } else {
        picture->thumbnail = Encode(image.convertToFormat(QImage::Format_RGB32), "jpeg", 85);
    }
    if (picture->thumbnail.isEmpty()) return {nullptr, DamagedText(QString())};
    return {std::move(picture), QString()};
}

QString RefusalText(const QStringList& names, const QStringList& problems)
{
    if (names.size() == 1)
        return QStringLiteral("The file '%1' was not added: %2").arg(names.front(), problems.front());
    QString text = QStringLiteral("These files were not added:\n");
    for (qsizetype i = 0; i < names.size() && i < problems.size(); ++i)
        text += QStringLiteral("\n'%1': %2").arg(names.at(i), problems.at(i));
    return text;
}

QString HashText(const QByteArray& hash)
{
    return QString::fromLatin1(hash.toHex());
}

QImage DecodeImage(const QByteArray& bytes, double minScale, double* scale, QString* problem)
{
    auto fail = [problem](const QString& why) {
        if (problem) *problem = why;
        return QImage();
    };
    if (bytes.isEmpty()) return fail(QStringLiteral("it is empty."));
    Reader reader(bytes);
    const QByteArray format = reader->format();
    if (format.isEmpty() || IsDrawing(format)) return fail(kNotAnImage);
    const QSize declared = reader->size();
    if (TooManyPixels(declared)) return fail(TooManyPixelsText(declared));
    int reduction = 1;
    // Only JPEG decodes less when it is asked for less; the others would decode
    // the whole image and scale it down, which the viewer does better itself.
    if (declared.isValid() && minScale < 1.0 && format == "jpeg") {
        reduction = Reduction(minScale);
        if (reduction > 1) reader->setScaledSize(Reduced(declared, reduction));
    }
    const QImage image = reader->read();
    if (image.isNull()) return fail(DamagedText(reader->errorString()));
    if (!declared.isValid() && TooManyPixels(image.size())) return fail(TooManyPixelsText(image.size()));
    if (scale) *scale = 1.0 / reduction;
    return image;
}

namespace {

// A thumbnail is a JPEG or PNG no larger than a few times the thumbnail size.
bool IsThumbnail(Reader& reader, QSize* size)
{
    reader->setAllocationLimit(16);
    const QByteArray format = reader->format();
    if (format != "jpeg" && format != "png") return false;
    *size = reader->size();
    return size->isValid() && !size->isEmpty() && size->width() <= 4 * kThumbnailEdge &&
           size->height() <= 4 * kThumbnailEdge;
}

}  // namespace

QImage DecodeThumbnail(const QByteArray& bytes, QSize fitIn)
{
    if (bytes.isEmpty()) return QImage();
    Reader reader(bytes);
    QSize size;
    if (!IsThumbnail(reader, &size)) return QImage();
    if (fitIn.isValid() && reader->format() == "jpeg") {
        const double scale = std::max(static_cast<double>(fitIn.width()) / size.width(),
                                      static_cast<double>(fitIn.height()) / size.height());
        const int reduction = Reduction(std::min(1.0, scale));
        if (reduction > 1) reader->setScaledSize(Reduced(size, reduction));
    }
    return reader->read();
}

QSize ThumbnailSize(const QByteArray& bytes)
{
    if (bytes.isEmpty()) return QSize();
    Reader reader(bytes);
    QSize size;
    return IsThumbnail(reader, &size) ? size : QSize();
}

QString ThumbnailMimeType(const QByteArray& thumbnail)
{
    return thumbnail.startsWith("\x89PNG") ? QStringLiteral("image/png") : QStringLiteral("image/jpeg");
}

QString ExtensionOf(const QString& format)
{
    if (format == u"jpeg") return QStringLiteral("jpg");
    if (format == u"tiff") return QStringLiteral("tif");
    return format.isEmpty() ? QStringLiteral("img") : format;
}

namespace {

// The file name extensions of the formats read, as the readers name them.
const QStringList& Extensions()
{
    static const QStringList extensions = [] {
        QStringList names;
        for (const QByteArray& format : QImageReader::supportedImageFormats())
            if (!IsDrawing(format) && !names.contains(QString::fromLatin1(format)))
                names << QString::fromLatin1(format);
        return names;
    }();
    return extensions;
}

}  // namespace

QStringList ImageFilePatterns()
{
    QStringList patterns;
    for (const QString& extension : Extensions()) patterns << QStringLiteral("*.") + extension;
    return patterns;
}

bool HasImageExtension(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return !suffix.isEmpty() && Extensions().contains(suffix);
}
