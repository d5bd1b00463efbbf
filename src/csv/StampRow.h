#pragma once

// One stamp's values as the import and export carry them: read from the
// catalogue, written to it, and copied field by field.

#include "csv/StampFields.h"
#include "db/Money.h"

#include <QDate>
#include <QString>

#include <array>
#include <limits>
#include <optional>
#include <vector>

struct sqlite3_stmt;

// A code reference: a code's key, none, or (for the import) the n-th new entry
// of its list, kNewCode + n.
inline constexpr qint64 kNoCode = std::numeric_limits<qint64>::min();
inline constexpr qint64 kNewCode = qint64(1) << 40;

struct StampRow {
    QString descr, catnum, color, watermark, errors, notes, misc1, misc2;
    std::optional<Money> face, pricePaid, totalPaid, catValue, totalVal, priceAsk, totalSales;
    std::optional<qint64> year;
    std::optional<qint64> quantity = 1;
    std::array<qint64, 10> codes;       // by code table 1-9
    QDate issued, purchased, dateSold;  // not valid: none
    bool used = false, wantList = false, forSale = false, sold = false;

    StampRow() { codes.fill(kNoCode); }

    // The code reference of a code field.
    qint64& Code(int field);
    qint64 Code(int field) const;
    // The amount of a money or total field.
    std::optional<Money>& Amount(int field);
    const std::optional<Money>& Amount(int field) const;
    // The text of a text field.
    QString& Text(int field);
    const QString& Text(int field) const;
    bool& Flag(int field);
    const bool& Flag(int field) const;
    QDate& Date(int field);
    const QDate& Date(int field) const;

    // Takes one field's value from another row.
    void CopyField(const StampRow& from, int field);
    // Each total as its price times the quantity, as the editor computes it; the
    // first price whose total does not fit, or -1.
    int ComputeTotals();
};

// The stamp table's columns in field order, joined for a select list.
QString StampColumnList();

// Reads the fields of a row selected with StampColumnList, starting at the
// statement's column first.
StampRow ReadStampRow(sqlite3_stmt* stmt, int first);

// Binds every field of the row but the totals' places kept, and then the
// catalogue-number sort key, to the parameters from first on, in field order. A
// new code entry n of a list is bound as newKeys[list][n].
void BindStampRow(sqlite3_stmt* stmt, int first, const StampRow& row,
                  const std::array<std::vector<qint64>, 10>& newKeys);
