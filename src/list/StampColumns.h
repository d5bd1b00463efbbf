#pragma once

// The columns of the stamp list: their captions, what each shows and the order
// a click on its heading sorts by.

#include <QString>

enum class StampColumn {
    Description,
    CatalogNum,
    Country,
    Year,
    FaceValue,
    Condition,
    Quantity,
    CatalogValue,
    PricePaid,
    Used,
    WantList,
    ForSale,
    Sold,
    Picture,  // the stamp's front picture, where it has one
};

inline constexpr int kStampColumnCount = 14;

struct StampColumnInfo {
    StampColumn column;
    QString caption;
    // The ORDER BY term (program dialect) of the column, ascending.
    QString order;
    enum class Kind { Text, Number, Money, Flag, Picture } kind;
};

// The column at a place of the list, 0 to kStampColumnCount - 1.
const StampColumnInfo& StampColumnAt(int index);
inline int StampColumnIndex(StampColumn column)
{
    return static_cast<int>(column);
}
