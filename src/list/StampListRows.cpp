#include "list/StampListRows.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/FieldValue.h"
#include "db/Globals.h"

#include <QBuffer>
#include <QImageReader>

#include <sqlite3.h>

StampListRows::StampListRows(size_t capacity, int pictureHeight) : mCapacity(capacity), mPictureHeight(pictureHeight) {}

StampListRows::~StampListRows() = default;

void StampListRows::Clear()
{
    mRows.clear();
    mWhere.clear();
}

void StampListRows::Prepare()
{
    if (!gDb) throw DbError(ErrNo::NoObject, QStringLiteral("Object invalid or no longer set."));
    const auto conn = gDb->SharedConnection();
    // A statement of a catalogue closed since (backup and packing reopen it) is
    // made anew on the open one.
    if (mFetch && mConn == conn && conn->db) return;
    mFetch.reset();
    Clear();
    mConn = conn;
    mFetch = std::make_unique<Statement>(
        mConn, QStringLiteral("SELECT s.descr, s.catnum, c.Coudesc, s.Year, s.face, k.conDesc, s.quantity, s.catvalue, "
                              "s.pricepaid, s.used, s.wantlist, s.forsale, s.sold, f.FrontThumbnail FROM Stamp s "
                              "LEFT JOIN country c ON c.CouID = s.CouID LEFT JOIN Condition k ON k.ConID = s.ConID "
                              "LEFT JOIN FrontImage f ON f.StampID = s.StampID "
                              "WHERE s.StampID = ?"));
}

const StampListRow& StampListRows::Row(qint64 key)
{
    Prepare();
    if (const auto it = mWhere.find(key); it != mWhere.end()) {
        mRows.splice(mRows.begin(), mRows, it->second);
        return it->second->second;
    }
    StampListRow row;
    mFetch->Reset();
    sqlite3_stmt* stmt = mFetch->Handle();
    sqlite3_bind_int64(stmt, 1, key);
    if (mFetch->Step()) {
        const auto value = [stmt](int column) { return ColumnVariant(stmt, column); };
        row.found = true;
        row.descr = TextOf(value(0));
        row.catnum = TextOf(value(1));
        row.country = TextOf(value(2));
        row.year = value(3);
        row.face = MoneyOf(value(4));
        row.condition = TextOf(value(5));
        row.quantity = value(6);
        row.catValue = MoneyOf(value(7));
        row.pricePaid = MoneyOf(value(8));
        row.used = BoolOf(value(9));
        row.wantList = BoolOf(value(10));
        row.forSale = BoolOf(value(11));
        row.sold = BoolOf(value(12));
        if (sqlite3_column_type(stmt, 13) == SQLITE_BLOB) {
            // Decoded no larger than the list shows it: a JPEG thumbnail then costs
            // a fraction of its full decoding.
            QByteArray bytes(static_cast<const char*>(sqlite3_column_blob(stmt, 13)), sqlite3_column_bytes(stmt, 13));
            QBuffer buffer(&bytes);
            QImageReader reader(&buffer);
            const QSize size = reader.size();
            if (size.isValid() && size.height() > mPictureHeight)
                reader.setScaledSize(size.scaled(size.width(), mPictureHeight, Qt::KeepAspectRatio));
            row.picture = reader.read();
        }
    }
    mFetch->Reset();
    mRows.emplace_front(key, std::move(row));
    mWhere[key] = mRows.begin();
    while (mRows.size() > mCapacity) {
        mWhere.erase(mRows.back().first);
        mRows.pop_back();
    }
    return mRows.front().second;
}
