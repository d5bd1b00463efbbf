#pragma once

// The running totals of a custom report's "Show Total" columns. Money is summed
// exactly, in the money type; other numbers in double precision.

#include "custom/CustomQuery.h"
#include "db/Money.h"

#include <QStringList>
#include <QVariant>

#include <map>

class ReportTotals {
public:
    // Adds a record's value when the column is totalled and the value is not empty.
    // A money total that no longer fits throws the overflow error.
    void Add(const ReportColumn& column, const QVariant& value);
    // The totals row's cells: the total of each totalled column (currency for
    // money, else a general number), empty for the others.
    QStringList Cells(const QList<ReportColumn>& columns) const;

private:
    std::map<int, MoneySum> mMoney;  // by SpecID
    std::map<int, double> mNumber;  // by SpecID
};
