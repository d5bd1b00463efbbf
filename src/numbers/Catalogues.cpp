#include "numbers/Catalogues.h"

#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/Recordset.h"

#include <QSet>

namespace {

QString HeadingText(QString text)
{
    // A report's heading row separates its columns by these.
    for (QChar& c : text)
        if (c == u'|' || c == u';' || c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
    return text.simplified() + QStringLiteral(" #");
}

// The heading a catalogue asks for at a level: 0 its short name, 1 its whole
// name, 2 its whole name and its key.
QString HeadingAt(const NumberCatalogue& catalogue, int level)
{
    switch (level) {
        case 0:
            return HeadingText(CatalogueShortName(catalogue));
        case 1:
            return HeadingText(catalogue.name);
        default:
            return HeadingText(catalogue.name + QStringLiteral(" (") + QString::number(catalogue.id) + u')');
    }
}

}  // namespace

CatalogueList LoadCatalogues(Database& db)
{
    CatalogueList list;
    auto rs =
        db.OpenSnapshot(QStringLiteral("Select CatalogID, CatalogDesc, Prefix, OwnNumber from Catalog "
                                       "order by CatalogID"));
    for (; !rs->Eof(); rs->MoveNext()) {
        NumberCatalogue c;
        c.id = WholeOf(rs->FieldAt(0)).value_or(0);
        c.name = TextOf(rs->FieldAt(1)).trimmed();
        c.prefix = TextOf(rs->FieldAt(2)).trimmed();
        c.own = BoolOf(rs->FieldAt(3));
        if (c.id > 0 && !c.name.isEmpty()) list.push_back(std::move(c));
    }
    rs->Close();
    return list;
}

const NumberCatalogue* FindCatalogue(const CatalogueList& list, qint64 id)
{
    for (const NumberCatalogue& c : list)
        if (c.id == id) return &c;
    return nullptr;
}

const NumberCatalogue* OwnCatalogue(const CatalogueList& list)
{
    for (const NumberCatalogue& c : list)
        if (c.own) return &c;
    return nullptr;
}

QString CatalogueShortName(const NumberCatalogue& catalogue)
{
    const QString name = catalogue.name.simplified();
    if (!name.contains(u' ') || catalogue.prefix.trimmed().isEmpty()) return name;
    return catalogue.prefix.simplified();
}

std::vector<QString> CatalogueHeadings(const CatalogueList& list)
{
    std::vector<QString> headings;
    QSet<QString> taken;
    for (const NumberCatalogue& catalogue : list) {
        QString heading;
        for (int level = 0; level <= 2; ++level) {
            heading = HeadingAt(catalogue, level);
            if (!taken.contains(heading.toCaseFolded())) break;
        }
        taken.insert(heading.toCaseFolded());
        headings.push_back(heading);
    }
    return headings;
}

QString CatalogueHeading(const NumberCatalogue& catalogue, const CatalogueList& list)
{
    const std::vector<QString> headings = CatalogueHeadings(list);
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].id == catalogue.id) return headings[i];
    return HeadingAt(catalogue, 0);
}

QString NumberWithCatalogue(const NumberCatalogue& catalogue, const QString& number)
{
    const QString prefix = catalogue.prefix.trimmed().isEmpty() ? catalogue.name.trimmed() : catalogue.prefix.trimmed();
    return prefix + u' ' + number;
}
