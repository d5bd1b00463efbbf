#include "db/StampSort.h"

QString StampOrderClause(int order)
{
    switch (order) {
        case 2:
            return QStringLiteral("order by catsort");
        case 3:
            return QStringLiteral("order by Issued");
        default:
            return QStringLiteral("order by [descr]");
    }
}

QString StampSortSql(int order)
{
    return QStringLiteral("Select * from stamp ") + StampOrderClause(order);
}
