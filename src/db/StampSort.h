#pragma once

#include <QString>

// The main window's sort orders, by gSortOrder: 1 description, 2 catalogue
// number, 3 issue date. Each is one query on the stamp table; whatever lists
// the stamps "in the main window's order" uses these.
QString StampSortSql(int order);
// The order-by part of the same query ("order by [descr]"), and its terms alone
// ("[descr]").
QString StampOrderClause(int order);
QString StampOrderTerms(int order);
