#pragma once

// The rows of the stamp list, read by record key as the list shows them: one
// prepared statement reads the listed fields of one stamp (with its country and
// condition), and the last rows read are kept, so that scrolling reads only the
// rows coming into view.

#include "db/Money.h"

#include <QImage>
#include <QString>
#include <QVariant>

#include <list>
#include <memory>
#include <optional>
#include <unordered_map>

struct Connection;
class Statement;

struct StampListRow {
    bool found = false;  // false for a stamp no longer in the catalogue
    QString descr;
    QString catnum;
    QString country;
    QVariant year;
    std::optional<Money> face;
    QString condition;
    QVariant quantity;
    std::optional<Money> catValue;
    std::optional<Money> pricePaid;
    bool used = false;
    bool wantList = false;
    bool forSale = false;
    bool sold = false;
    QImage picture;  // the front thumbnail, as small as the list shows it; null for none
};

class StampListRows {
public:
    // Rows of pictureHeight pixels (the front thumbnails are made that high).
    explicit StampListRows(size_t capacity = 400, int pictureHeight = 20);
    ~StampListRows();
    StampListRows(const StampListRows&) = delete;
    StampListRows& operator=(const StampListRows&) = delete;

    // The row of a stamp in the open catalogue (gDb). Throws DbError when the
    // catalogue cannot be read.
    const StampListRow& Row(qint64 key);
    // Forgets the rows read (after the stamps or their codes have changed).
    void Clear();
    size_t Kept() const { return mRows.size(); }

private:
    void Prepare();

    size_t mCapacity;
    int mPictureHeight;
    std::shared_ptr<Connection> mConn;
    std::unique_ptr<Statement> mFetch;
    // The rows, the most recently used first, and where each key's row is.
    std::list<std::pair<qint64, StampListRow>> mRows;
    std::unordered_map<qint64, std::list<std::pair<qint64, StampListRow>>::iterator> mWhere;
};
