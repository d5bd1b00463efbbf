#pragma once

// Taking a picture in: a file the collector chose, dropped or pasted is read
// once, checked, hashed and given its thumbnail before anything is stored. The
// original bytes are kept exactly as they came; only the thumbnail is made.
//
// Every decoding goes through Qt's image readers with an allocation limit, and
// an image whose header claims more pixels than kMaxImagePixels is refused
// before a single pixel is decoded.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The largest image file kept.
inline constexpr qint64 kMaxImageFileBytes = 200LL * 1024 * 1024;
// The most pixels an image may have (a 600 dpi scan of a full A4 album page
// has about 35 million).
inline constexpr qint64 kMaxImagePixels = 100'000'000;
// What one decoding may allocate, in megabytes.
inline constexpr int kDecodeAllocationLimitMb = 1024;
// The longer side of a thumbnail, in pixels.
inline constexpr int kThumbnailEdge = 240;

// A picture ready to be stored.
struct PreparedPicture {
    QByteArray bytes;      // the file, byte for byte
    QByteArray hash;       // SHA-256 of bytes, 32 bytes
    QString format;        // as Qt's readers name it: "jpeg", "png", "tiff" ...
    QSize size;            // in pixels, as the picture is shown (turned as its camera said)
    QByteArray thumbnail;  // a JPEG, or a PNG where the picture has transparency
};

// The outcome of taking a picture in: the picture, or why it was refused.
struct Intake {
    std::shared_ptr<const PreparedPicture> picture;
    QString problem;  // "it is empty.", "it is not an image that Tessarine can read." ...
};

// Reads and prepares a file. The problem names no file: see RefusalText.
Intake PrepareFile(const QString& path);
// Prepares bytes that came from elsewhere (the clipboard).
Intake PrepareBytes(const QByteArray& bytes);

// "The file 'name' was not added: " + problem, or one message for several files.
QString RefusalText(const QStringList& names, const QStringList& problems);

// SHA-256 as lower-case hex.
QString HashText(const QByteArray& hash);

// Decodes an image for showing, through Qt's readers with the allocation limit.
// A format that can decode at a reduced scale (JPEG) is decoded at the strongest
// power-of-two reduction (1/2, 1/4, 1/8) that still keeps minScale of its size;
// *scale (when given) receives the scale decoded at. Null on failure, and
// problem says why.
QImage DecodeImage(const QByteArray& bytes, double minScale = 1.0, double* scale = nullptr, QString* problem = nullptr);

// Decodes a stored thumbnail; null when it is not one (a file another tool
// wrote may hold anything). With fitIn, it is decoded no larger than it needs to
// be to fill that box (at least that large, where it is).
QImage DecodeThumbnail(const QByteArray& bytes, QSize fitIn = QSize());

// The pixel size a stored thumbnail's header gives, without decoding it; invalid
// when it is not one.
QSize ThumbnailSize(const QByteArray& bytes);

// The MIME type of a stored thumbnail: "image/png" or "image/jpeg".
QString ThumbnailMimeType(const QByteArray& thumbnail);

// A file name extension for a format: "jpg" for "jpeg", "tif" for "tiff" ...
QString ExtensionOf(const QString& format);

// The file patterns of every format the program reads ("*.jpg", "*.jpeg", ...).
QStringList ImageFilePatterns();
// True when a file name ends with one of them.
bool HasImageExtension(const QString& fileName);
