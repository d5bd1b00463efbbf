#include "db/TextColumns.h"

#include <QSet>
#include <QString>

const std::vector<TextColumn>& TextColumns()
{
    static const std::vector<TextColumn> columns = {
        {"Stamp", "descr"},     {"Stamp", "catnum"},    {"Stamp", "catsort"},     {"Stamp", "Color"},
        {"Stamp", "watermark"}, {"Stamp", "Errors"},    {"Stamp", "notes"},       {"Stamp", "misc1"},
        {"Stamp", "misc2"},     {"cancel", "CanDesc"},  {"Condition", "conDesc"}, {"country", "Coudesc"},
        {"format", "FormDesc"}, {"gum", "GumDesc"},     {"paper", "Papdesc"},     {"Perf", "PerfDesc"},
        {"topic", "TopDesc"},   {"type", "Typedesc"},
    };
    return columns;
}

const std::vector<const char*>& FindTextColumns()
{
    static const std::vector<const char*> columns = {"descr", "catnum", "Color", "watermark", "Errors", "notes"};
    return columns;
}

bool IsTextColumn(QStringView name)
{
    static const QSet<QString> names = [] {
        QSet<QString> set;
        for (const TextColumn& c : TextColumns()) set.insert(QString::fromLatin1(c.column).toLower());
        return set;
    }();
    return names.contains(name.toString().toLower());
}
