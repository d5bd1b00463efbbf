#include "db/StampSort.h"

QString StampOrderTerms(int order)
{
    switch (order) {
        case 2:
            return QStringLiteral("catsort");
        case 3:
            return QStringLiteral("Issued");
        default:
            return QStringLiteral("[descr]");
    }
}

QString StampOrderClause(int order) { return QStringLiteral("order by ") + StampOrderTerms(order); }

QString StampSortSql(int order)
{
    return QStringLiteral("Select * from stamp ") + StampOrderClause(order);
}
