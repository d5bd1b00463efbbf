#include "list/StampQuery.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "db/StampSort.h"
#include "list/QuickFilter.h"

#include <QStringList>

void StampQuery::Reset()
{
    *this = StampQuery();
}

void StampQuery::SetMenuOrder(int order)
{
    mMenuOrder = order >= 1 && order <= 3 ? order : 1;
    mColumn = mMenuOrder == 1   ? std::optional(StampColumn::Description)
              : mMenuOrder == 2 ? std::optional(StampColumn::CatalogNum)
                                : std::nullopt;
    mDescending = false;
}

void StampQuery::SetColumnOrder(StampColumn column, bool descending)
{
    mColumn = column;
    mDescending = descending;
    mMenuOrder = 0;
    if (!descending && column == StampColumn::Description) mMenuOrder = 1;
    if (!descending && column == StampColumn::CatalogNum) mMenuOrder = 2;
}

int StampQuery::MenuOrder() const
{
    return mMenuOrder;
}

QString StampQuery::Where() const
{
    QStringList parts;
    const QString filter = QuickFilterCondition(mFilterText);
    if (!filter.isEmpty()) parts << filter;
    if (mCountry) {
        const QVariant& id = *mCountry;
        parts << (id.isNull() ? QStringLiteral("CouID is null")
                              : QStringLiteral("CouID = ") + QString::number(id.toLongLong()));
    }
    return parts.join(QStringLiteral(" and "));
}

QString StampQuery::OrderBy() const
{
    if (mMenuOrder >= 1) return StampOrderTerms(mMenuOrder);
    const QString term = StampColumnAt(StampColumnIndex(*mColumn)).order;
    return mDescending ? term + QStringLiteral(" desc") : term;
}

QString StampQuery::Sql() const
{
    const QString where = Where();
    return QStringLiteral("Select * from stamp") + (where.isEmpty() ? QString() : QStringLiteral(" where ") + where) +
           QStringLiteral(" order by ") + OrderBy();
}

std::unique_ptr<Recordset> StampQuery::Open(Database& db) const
{
    return db.OpenFilteredDynaset(QStringLiteral("stamp"), Where(), OrderBy());
}

StampQuery& ListQuery()
{
    static StampQuery query;
    return query;
}
