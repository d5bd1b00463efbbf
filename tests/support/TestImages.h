#pragma once

// Pictures made in the test itself: the bytes of an image file of a given
// format, and the damaged and hostile files the program must refuse.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QString>

// A picture with something on it (a gradient and a disc), different for each seed.
inline QImage TestPicture(int width, int height, int seed = 1, bool transparent = false)
{
    QImage image(width, height, transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(transparent ? QColor(0, 0, 0, 0) : QColor::fromHsv((seed * 47) % 360, 60, 230));
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor::fromHsv((seed * 83) % 360, 200, 200));
    gradient.setColorAt(1, QColor::fromHsv((seed * 131) % 360, 180, 120));
    painter.setBrush(gradient);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(width * 0.1, height * 0.1, width * 0.8, height * 0.8));
    return image;
}

// The picture as a file of the format ("png", "jpeg", "tiff", "webp", "bmp").
inline QByteArray ImageBytes(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    if (!writer.write(image)) qFatal("cannot write %s: %s", format, qPrintable(writer.errorString()));
    return bytes;
}

inline QByteArray PngBytes(int width, int height, int seed = 1)
{
    return ImageBytes(TestPicture(width, height, seed), "png");
}

inline QByteArray JpegBytes(int width, int height, int seed = 1)
{
    return ImageBytes(TestPicture(width, height, seed), "jpeg", 90);
}

// The CRC of a PNG chunk.
inline quint32 PngCrc(const char* data, int size)
{
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 0; i < size; ++i) {
        crc ^= static_cast<uchar>(data[i]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A small PNG whose header claims width x height pixels (a decompression bomb
// stops at the header).
inline QByteArray PngClaiming(quint32 width, quint32 height)
{
    QByteArray bytes = PngBytes(16, 16);
    auto put = [&bytes](int at, quint32 value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = char(value >> (24 - 8 * i));
    };
    put(16, width);
    put(20, height);
    put(29, PngCrc(bytes.constData() + 12, 17));
    return bytes;
}

inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}
