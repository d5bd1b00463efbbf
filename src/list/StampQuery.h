#pragma once

// The query of the main window's stamps (gStampRs), which the stamp list shows
// and the editor's First, Previous, Next and Last move through: the quick
// filter, a restriction to one country, and the order (one of the Sort menu's,
// or a list column's).

#include "list/StampColumns.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class Database;
class Recordset;

class StampQuery {
public:
    // What start-up opens: every stamp, in description order.
    void Reset();

    void SetFilterText(const QString& typed) { mFilterText = typed; }
    const QString& FilterText() const { return mFilterText; }

    // Only the stamps of one country (its key), or with none (a null value).
    void SetCountry(const QVariant& couId) { mCountry = couId; }
    void ClearCountry() { mCountry.reset(); }
    const std::optional<QVariant>& Country() const { return mCountry; }

    // A Sort menu order: 1 description, 2 catalogue number, 3 issue date.
    void SetMenuOrder(int order);
    // A list column's order. The description and catalogue number columns
    // ascending are the Sort menu's first two orders.
    void SetColumnOrder(StampColumn column, bool descending);
    // The Sort menu's order in force, or 0 for another column's.
    int MenuOrder() const;
    // The column the stamps are sorted by, if any (the issue date order has none).
    std::optional<StampColumn> SortColumn() const { return mColumn; }
    bool Descending() const { return mDescending; }

    // The stamps' condition (program dialect), empty when every stamp is shown.
    QString Where() const;
    // The ORDER BY terms (program dialect); ties go by the record key.
    QString OrderBy() const;
    // The whole query: with no condition and a Sort menu order exactly that
    // order's text ("Select * from stamp order by [descr]").
    QString Sql() const;
    bool IsFiltered() const { return !Where().isEmpty(); }

    // The recordset of this query (see Database::OpenFilteredDynaset).
    std::unique_ptr<Recordset> Open(Database& db) const;

private:
    QString mFilterText;
    std::optional<QVariant> mCountry;
    int mMenuOrder = 1;
    std::optional<StampColumn> mColumn = StampColumn::Description;
    bool mDescending = false;
};

// The query the main window and the stamp list show, for the whole run. Other
// parts (an export of "the stamps the list shows") read its Where() and
// OrderBy(), or the keys of gStampRs in order (Recordset::KeyAt).
StampQuery& ListQuery();
