#pragma once

// The images of stamps in the catalogue (tables in images/ImageSchema.h): what
// a stamp has, its front thumbnail, the original of a picture, and writing a
// stamp's whole list of images at once. Failures are DbErrors.

#include "images/PictureIntake.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class Database;
class Statement;
struct Connection;

// The kinds of image, in the order they are offered.
const QStringList& ImageKinds();
inline const QString kFrontKind = QStringLiteral("Front");
inline const QString kBackKind = QStringLiteral("Back");
// A kind as typed ("back", "FRONT") in its own spelling; nullopt for no kind.
std::optional<QString> ImageKindNamed(const QString& typed);

// One image of a stamp as stored.
struct StoredImage {
    qint64 imageId = 0;
    qint64 stampId = 0;
    int position = 0;
    QString kind;
    QString caption;
    qint64 pictureId = 0;
    QByteArray hash;
    QString format;
    QSize size;
    qint64 byteSize = 0;
    QByteArray thumbnail;  // only when asked for
};

// One image of a stamp as the list being saved holds it: a stored image (by its
// ImageID), or a new one, of a picture already stored or of a prepared one.
struct ImageEntry {
    qint64 imageId = 0;
    qint64 pictureId = 0;
    std::shared_ptr<const PreparedPicture> picture;
    QString kind = kFrontKind;
    QString caption;
};

class ImageStore {
public:
    explicit ImageStore(Database& db) : mDb(db) {}

    // A stamp's images in order; with thumbnails or without.
    std::vector<StoredImage> StampImages(qint64 stampId, bool withThumbnails) const;
    // Every stamp's images, by stamp and order, without thumbnails.
    std::vector<StoredImage> AllImages() const;
    // The thumbnail of the stamp's first Front image, if it has one.
    std::optional<QByteArray> FrontThumbnail(qint64 stampId) const;
    // The original file of a picture, byte for byte.
    QByteArray Original(qint64 pictureId) const;
    bool StampExists(qint64 stampId) const;

    // The picture's row, stored now unless a picture with its hash is stored already.
    qint64 StorePicture(const PreparedPicture& picture);
    // Makes the stamp's images exactly the entries, in their order: stored images
    // not among them are deleted (their pictures freed when no stamp uses them),
    // new ones added, kinds, captions and order written. One transaction.
    void SaveStampImages(qint64 stampId, const std::vector<ImageEntry>& entries);
    // Appends images after the stamp's last one. One transaction.
    void AppendStampImages(qint64 stampId, const std::vector<ImageEntry>& entries);

    // Counts, for the command line and the tests.
    qint64 PictureCount() const;
    qint64 ImageCount() const;

private:
    Database& mDb;
};

// The front thumbnail of one stamp after another on one prepared statement: the
// main window asks on every move, and a move must stay as quick as it is in a
// catalogue without images.
class FrontThumbnailQuery {
public:
    FrontThumbnailQuery();
    ~FrontThumbnailQuery();
    FrontThumbnailQuery(const FrontThumbnailQuery&) = delete;
    FrontThumbnailQuery& operator=(const FrontThumbnailQuery&) = delete;

    std::optional<QByteArray> Of(Database& db, qint64 stampId);
    // Lets go of the statement (the catalogue is being closed).
    void Reset();

private:
    std::shared_ptr<Connection> mConn;
    std::unique_ptr<Statement> mStatement;
};
