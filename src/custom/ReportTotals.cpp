#include "custom/ReportTotals.h"

#include "custom/CustomRows.h"
#include "dates/LocaleFormats.h"
#include "db/FieldValue.h"

void ReportTotals::Add(const ReportColumn& column, const QVariant& value)
{
    if (!column.total || column.datatype != FieldType::Number || !value.isValid() || value.isNull()) return;
    if (column.isCurrency) {
        if (const auto money = MoneyOf(value)) {
            MoneySum& sum = mMoney[column.specId];
            sum.Add(*money);
            FittingOrOverflow(sum.Value());
        }
    } else if (const auto number = NumberOf(value)) {
        mNumber[column.specId] += *number;
    }
}

QStringList ReportTotals::Cells(const QList<ReportColumn>& columns) const
{
    QStringList cells;
    for (const ReportColumn& column : columns) {
        if (!column.total) {
            cells << QString();
        } else if (column.isCurrency) {
            const auto it = mMoney.find(column.specId);
            cells << FormatCurrency(it == mMoney.end() ? Money() : FittingOrOverflow(it->second.Value()));
        } else {
            const auto it = mNumber.find(column.specId);
            cells << GeneralNumberText(it == mNumber.end() ? 0.0 : it->second);
        }
    }
    return cells;
}
