#include "db/TextColumns.h"

#include <QHash>

namespace {

struct Keys {
    QString fold;
    QString sort;
};

const QHash<QString, Keys>& KeysByColumn()
{
    static const QHash<QString, Keys> keys = [] {
        QHash<QString, Keys> result;
        for (const TextColumn& c : TextColumns()) {
            const QString name = QString::fromLatin1(c.column);
            Keys k;
            if (c.folded) k.fold = name + QStringLiteral("_fold");
            if (c.orderedBy) k.sort = QString::fromLatin1(c.orderedBy) + QStringLiteral("_sort");
            else if (c.sorted) k.sort = name + QStringLiteral("_sort");
            result.insert(name.toLower(), k);
        }
        return result;
    }();
    return keys;
}

}  // namespace

const std::vector<TextColumn>& TextColumns()
{
    static const std::vector<TextColumn> columns = {
        {"Stamp", "descr", true, true},
        {"Stamp", "catnum", true, false, "catsort"},
        {"Stamp", "catsort", false, true},
        {"Stamp", "Color", true, true},
        {"Stamp", "watermark", true, true},
        {"Stamp", "Errors", true, true},
        {"Stamp", "notes", true, true},
        {"Stamp", "misc1", true, true},
        {"Stamp", "misc2", true, true},
        {"cancel", "CanDesc", true, true},
        {"Condition", "conDesc", true, true},
        {"country", "Coudesc", true, true},
        {"format", "FormDesc", true, true},
        {"gum", "GumDesc", true, true},
        {"paper", "Papdesc", true, true},
        {"Perf", "PerfDesc", true, true},
        {"topic", "TopDesc", true, true},
        {"type", "Typedesc", true, true},
        {"Catalog", "CatalogDesc", true, true},
        {"StampNumber", "CatNo", true, false, "CatNoSort"},
        {"StampNumber", "CatNoSort", false, true},
    };
    return columns;
}

bool IsCatalogueNumberColumn(QStringView column)
{
    if (column.size() <= kCatalogueNumberColumn.size() ||
        !column.startsWith(kCatalogueNumberColumn, Qt::CaseInsensitive))
        return false;
    for (const QChar c : column.mid(kCatalogueNumberColumn.size()))
        if (c < u'0' || c > u'9') return false;
    return true;
}

QString FoldColumnOf(QStringView column)
{
    if (IsCatalogueNumberColumn(column)) return column.toString() + QStringLiteral("_fold");
    return KeysByColumn().value(column.toString().toLower()).fold;
}

QString SortColumnOf(QStringView column)
{
    if (IsCatalogueNumberColumn(column)) return column.toString() + QStringLiteral("_sort");
    return KeysByColumn().value(column.toString().toLower()).sort;
}

const std::vector<const char*>& FindTextColumns()
{
    static const std::vector<const char*> columns = {"descr", "catnum", "Color", "watermark", "Errors", "notes"};
    return columns;
}
