#include "images/ImageStore.h"

#include "db/Database.h"
#include "db/DbError.h"

#include <sqlite3.h>

#include <set>

namespace {

void BindText(sqlite3_stmt* stmt, int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void BindBlob(sqlite3_stmt* stmt, int index, const QByteArray& bytes)
{
    // An empty blob is a blob all the same, never null.
    sqlite3_bind_blob(stmt, index, bytes.isEmpty() ? "" : bytes.constData(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
}

QString ColumnText(sqlite3_stmt* stmt, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
}

QByteArray ColumnBlob(sqlite3_stmt* stmt, int column)
{
    const void* data = sqlite3_column_blob(stmt, column);
    return data ? QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(stmt, column)) : QByteArray();
}

// A savepoint on the catalogue's connection that rolls back unless released.
class Savepoint {
public:
    explicit Savepoint(Database& db) : mConn(db.SharedConnection()) { Exec("SAVEPOINT stamp_images"); }
    ~Savepoint()
    {
        if (!mReleased && mConn->db) {
            sqlite3_exec(mConn->db, "ROLLBACK TO stamp_images", nullptr, nullptr, nullptr);
            sqlite3_exec(mConn->db, "RELEASE stamp_images", nullptr, nullptr, nullptr);
        }
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void Release()
    {
        Exec("RELEASE stamp_images");
        mReleased = true;
    }

private:
    void Exec(const char* sql)
    {
        sqlite3* db = mConn->Checked();
        const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) ThrowEngineError(db, rc);
    }
    std::shared_ptr<Connection> mConn;
    bool mReleased = false;
};

const char* const kListColumns =
    "SELECT i.ImageID, i.StampID, i.Position, i.Kind, i.Caption, p.PictureID, p.Hash, p.Format, p.Width, p.Height, "
    "p.ByteSize";

StoredImage ReadImage(sqlite3_stmt* stmt, bool withThumbnail)
{
    StoredImage image;
    image.imageId = sqlite3_column_int64(stmt, 0);
    image.stampId = sqlite3_column_int64(stmt, 1);
    image.position = sqlite3_column_int(stmt, 2);
    image.kind = ColumnText(stmt, 3);
    image.caption = ColumnText(stmt, 4);
    image.pictureId = sqlite3_column_int64(stmt, 5);
    image.hash = ColumnBlob(stmt, 6);
    image.format = ColumnText(stmt, 7);
    image.size = QSize(sqlite3_column_int(stmt, 8), sqlite3_column_int(stmt, 9));
    image.byteSize = sqlite3_column_int64(stmt, 10);
    if (withThumbnail) image.thumbnail = ColumnBlob(stmt, 11);
    return image;
}

}  // namespace

const QStringList& ImageKinds()
{
    static const QStringList kinds = {kFrontKind, kBackKind, QStringLiteral("Certificate"), QStringLiteral("Detail"),
                                      QStringLiteral("Other")};
    return kinds;
}

std::optional<QString> ImageKindNamed(const QString& typed)
{
    for (const QString& kind : ImageKinds())
        if (kind.compare(typed.trimmed(), Qt::CaseInsensitive) == 0) return kind;
    return std::nullopt;
}

std::vector<StoredImage> ImageStore::StampImages(qint64 stampId, bool withThumbnails) const
{
    Statement list(mDb.SharedConnection(),
                   QString::fromLatin1(kListColumns) + (withThumbnails ? QStringLiteral(", p.Thumbnail") : QString()) +
                       QStringLiteral(" FROM StampImage i JOIN Picture p ON p.PictureID = i.PictureID "
                                      "WHERE i.StampID = ?1 ORDER BY i.Position, i.ImageID"));
    sqlite3_bind_int64(list.Handle(), 1, stampId);
    std::vector<StoredImage> images;
    while (list.Step()) images.push_back(ReadImage(list.Handle(), withThumbnails));
    return images;
}

std::vector<StoredImage> ImageStore::AllImages() const
{
    Statement list(mDb.SharedConnection(),
                   QString::fromLatin1(kListColumns) +
                       QStringLiteral(" FROM StampImage i JOIN Picture p ON p.PictureID = i.PictureID "
                                      "ORDER BY i.StampID, i.Position, i.ImageID"));
    std::vector<StoredImage> images;
    while (list.Step()) images.push_back(ReadImage(list.Handle(), false));
    return images;
}

namespace {

const QString kFrontThumbnailSql = QStringLiteral(
    "SELECT p.Thumbnail FROM StampImage i JOIN Picture p ON p.PictureID = i.PictureID "
    "WHERE i.StampID = ?1 AND i.Kind = 'Front' ORDER BY i.Position LIMIT 1");

}  // namespace

std::optional<QByteArray> ImageStore::FrontThumbnail(qint64 stampId) const
{
    Statement front(mDb.SharedConnection(), kFrontThumbnailSql);
    sqlite3_bind_int64(front.Handle(), 1, stampId);
    if (!front.Step()) return std::nullopt;
    return ColumnBlob(front.Handle(), 0);
}

FrontThumbnailQuery::FrontThumbnailQuery() = default;
FrontThumbnailQuery::~FrontThumbnailQuery() = default;

void FrontThumbnailQuery::Reset()
{
    mStatement.reset();
    mConn.reset();
}

std::optional<QByteArray> FrontThumbnailQuery::Of(Database& db, qint64 stampId)
{
    const std::shared_ptr<Connection> conn = db.SharedConnection();
    if (conn != mConn || !mStatement) {
        mStatement.reset();
        mConn = conn;
        mStatement = std::make_unique<Statement>(conn, kFrontThumbnailSql);
    }
    mStatement->Reset();
    sqlite3_bind_int64(mStatement->Handle(), 1, stampId);
    std::optional<QByteArray> thumbnail;
    if (mStatement->Step()) thumbnail = ColumnBlob(mStatement->Handle(), 0);
    mStatement->Reset();
    return thumbnail;
}

QByteArray ImageStore::Original(qint64 pictureId) const
{
    Statement read(mDb.SharedConnection(), QStringLiteral("SELECT Original FROM PictureData WHERE PictureID = ?1"));
    sqlite3_bind_int64(read.Handle(), 1, pictureId);
    if (!read.Step()) throw DbError(ErrNo::RecordDeleted, QStringLiteral("The picture is no longer in the catalogue."));
    return ColumnBlob(read.Handle(), 0);
}

bool ImageStore::StampExists(qint64 stampId) const
{
    Statement find(mDb.SharedConnection(), QStringLiteral("SELECT 1 FROM Stamp WHERE StampID = ?1"));
    sqlite3_bind_int64(find.Handle(), 1, stampId);
    return find.Step();
}

qint64 ImageStore::StorePicture(const PreparedPicture& picture)
{
    auto conn = mDb.SharedConnection();
    {
        Statement find(conn, QStringLiteral("SELECT PictureID FROM Picture WHERE Hash = ?1"));
        BindBlob(find.Handle(), 1, picture.hash);
        if (find.Step()) return sqlite3_column_int64(find.Handle(), 0);
    }
    Statement insert(conn, QStringLiteral("INSERT INTO Picture (Hash, Format, Width, Height, ByteSize, Thumbnail) "
                                          "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
    BindBlob(insert.Handle(), 1, picture.hash);
    BindText(insert.Handle(), 2, picture.format);
    sqlite3_bind_int(insert.Handle(), 3, picture.size.width());
    sqlite3_bind_int(insert.Handle(), 4, picture.size.height());
    sqlite3_bind_int64(insert.Handle(), 5, picture.bytes.size());
    BindBlob(insert.Handle(), 6, picture.thumbnail);
    insert.Step();
    const qint64 id = sqlite3_last_insert_rowid(conn->Checked());
    Statement data(conn, QStringLiteral("INSERT INTO PictureData (PictureID, Original) VALUES (?1, ?2)"));
    sqlite3_bind_int64(data.Handle(), 1, id);
    BindBlob(data.Handle(), 2, picture.bytes);
    data.Step();
    return id;
}

void ImageStore::SaveStampImages(qint64 stampId, const std::vector<ImageEntry>& entries)
{
    auto conn = mDb.SharedConnection();
    Savepoint savepoint(mDb);
    std::set<qint64> kept;
    for (const ImageEntry& entry : entries)
        if (entry.imageId > 0) kept.insert(entry.imageId);

    // New rows first and removed rows last: a picture that leaves with one row
    // and comes back with another is never freed on the way.
    Statement insert(conn, QStringLiteral("INSERT INTO StampImage (StampID, Position, Kind, Caption, PictureID) "
                                          "VALUES (?1, ?2, ?3, ?4, ?5)"));
    Statement update(conn, QStringLiteral("UPDATE StampImage SET Position = ?1, Kind = ?2, Caption = ?3 "
                                          "WHERE ImageID = ?4 AND StampID = ?5"));
    int position = 0;
    for (const ImageEntry& entry : entries) {
        ++position;
        if (entry.imageId > 0) {
            update.Reset();
            sqlite3_bind_int(update.Handle(), 1, position);
            BindText(update.Handle(), 2, entry.kind);
            BindText(update.Handle(), 3, entry.caption);
            sqlite3_bind_int64(update.Handle(), 4, entry.imageId);
            sqlite3_bind_int64(update.Handle(), 5, stampId);
            update.Step();
            continue;
        }
        if (entry.pictureId <= 0 && !entry.picture)
            throw DbError(ErrNo::NoObject, QStringLiteral("An image without a picture cannot be stored."));
        const qint64 pictureId = entry.pictureId > 0 ? entry.pictureId : StorePicture(*entry.picture);
        insert.Reset();
        sqlite3_bind_int64(insert.Handle(), 1, stampId);
        sqlite3_bind_int(insert.Handle(), 2, position);
        BindText(insert.Handle(), 3, entry.kind);
        BindText(insert.Handle(), 4, entry.caption);
        sqlite3_bind_int64(insert.Handle(), 5, pictureId);
        insert.Step();
        kept.insert(sqlite3_last_insert_rowid(conn->Checked()));
    }

    std::vector<qint64> removed;
    {
        Statement existing(conn, QStringLiteral("SELECT ImageID FROM StampImage WHERE StampID = ?1"));
        sqlite3_bind_int64(existing.Handle(), 1, stampId);
        while (existing.Step()) {
            const qint64 id = sqlite3_column_int64(existing.Handle(), 0);
            if (!kept.count(id)) removed.push_back(id);
        }
    }
    Statement remove(conn, QStringLiteral("DELETE FROM StampImage WHERE ImageID = ?1"));
    for (qint64 id : removed) {
        remove.Reset();
        sqlite3_bind_int64(remove.Handle(), 1, id);
        remove.Step();
    }
    savepoint.Release();
}

void ImageStore::AppendStampImages(qint64 stampId, const std::vector<ImageEntry>& entries)
{
    Savepoint savepoint(mDb);
    std::vector<ImageEntry> all;
    for (const StoredImage& image : StampImages(stampId, false)) {
        ImageEntry kept;
        kept.imageId = image.imageId;
        kept.kind = image.kind;
        kept.caption = image.caption;
        all.push_back(kept);
    }
    all.insert(all.end(), entries.begin(), entries.end());
    SaveStampImages(stampId, all);
    savepoint.Release();
}

qint64 ImageStore::PictureCount() const
{
    Statement count(mDb.SharedConnection(), QStringLiteral("SELECT count(*) FROM Picture"));
    count.Step();
    return sqlite3_column_int64(count.Handle(), 0);
}

qint64 ImageStore::ImageCount() const
{
    Statement count(mDb.SharedConnection(), QStringLiteral("SELECT count(*) FROM StampImage"));
    count.Step();
    return sqlite3_column_int64(count.Handle(), 0);
}
