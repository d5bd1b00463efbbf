#include "csv/StampFields.h"

#include "db/Schema.h"
#include "search/Folding.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <optional>

namespace {

struct Heading {
    const char* text;
    int field;
    // Lower goes first when two columns ask for one field.
    int rank;
};

constexpr int kKnownOnly = -2;

// Headings of other programs and spreadsheets, besides our captions and column
// names (rank 2).
const Heading kHeadings[] = {
    {"Name", Fld::Descr, 1},
    {"Title", Fld::Descr, 1},
    {"Stamp Name", Fld::Descr, 3},
    {"Description", Fld::Notes, 4},
    {"Catalog #", Fld::CatNum, 3},
    {"Catalogue #", Fld::CatNum, 3},
    {"Catalog No", Fld::CatNum, 3},
    {"Catalogue No", Fld::CatNum, 3},
    {"Catalog Number", Fld::CatNum, 3},
    {"Catalogue Number", Fld::CatNum, 3},
    {"Catalogue Num", Fld::CatNum, 3},
    {"Catalog Codes", Fld::CatalogCodes, 3},
    {"Catalogue Codes", Fld::CatalogCodes, 3},
    {"Catalog Code", Fld::CatalogCodes, 3},
    {"Cat No", Fld::CatNum, 3},
    {"Cat #", Fld::CatNum, 3},
    {"Scott #", Fld::CatNum, 3},
    {"Scott Number", Fld::CatNum, 3},
    {"Michel #", Fld::CatNum, 3},
    {"Michel Number", Fld::CatNum, 3},
    {"SG #", Fld::CatNum, 3},
    {"Number", Fld::CatNum, 4},
    {"Face", Fld::Face, 3},
    {"FaceValue", Fld::Face, 3},
    {"Denomination", Fld::Face, 3},
    {"Nominal Value", Fld::Face, 3},
    {"Year of Issue", Fld::Year, 3},
    {"Issue Year", Fld::Year, 3},
    {"Want", Fld::WantList, 3},
    {"Wanted", Fld::WantList, 3},
    {"Wish List", Fld::WantList, 3},
    {"Qty", Fld::Quantity, 3},
    {"Count", Fld::Quantity, 3},
    {"Copies", Fld::Quantity, 3},
    {"Land", Fld::Country, 3},
    {"Issuing Country", Fld::Country, 3},
    {"Emission", Fld::Type, 3},
    {"Stamp Type", Fld::Type, 3},
    {"Cancel", Fld::Cancel, 3},
    {"Postmark", Fld::Cancel, 3},
    {"Perf", Fld::Perf, 3},
    {"Perfs", Fld::Perf, 3},
    {"Theme", Fld::Topic, 3},
    {"Themes", Fld::Topic, 3},
    {"Topics", Fld::Topic, 3},
    {"Subject", Fld::Topic, 3},
    {"Motif", Fld::Topic, 3},
    {"Grade", Fld::Condition, 3},
    {"Quality", Fld::Condition, 3},
    {"Colour", Fld::Color, 3},
    {"Colors", Fld::Color, 3},
    {"Colours", Fld::Color, 3},
    {"Wmk", Fld::Watermark, 3},
    {"Error", Fld::Errors, 3},
    {"Variety", Fld::Errors, 3},
    {"Varieties", Fld::Errors, 3},
    {"Issued on", Fld::Issued, 3},
    {"Issued", Fld::Issued, 3},
    {"Date of Issue", Fld::Issued, 3},
    {"Date Issued", Fld::Issued, 3},
    {"Release Date", Fld::Issued, 3},
    {"Date", Fld::Issued, 4},
    {"Purchased", Fld::Purchased, 3},
    {"Date Purchased", Fld::Purchased, 3},
    {"Bought", Fld::Purchased, 3},
    {"Date Bought", Fld::Purchased, 3},
    {"Acquired", Fld::Purchased, 3},
    {"Price", Fld::PricePaid, 3},
    {"Paid", Fld::PricePaid, 3},
    {"Cost", Fld::PricePaid, 3},
    {"Purchase Price", Fld::PricePaid, 3},
    {"Will Pay", Fld::PricePaid, 3},
    {"Value", Fld::CatValue, 3},
    {"Cat Value", Fld::CatValue, 3},
    {"Catalogue Value", Fld::CatValue, 3},
    {"Market Value", Fld::CatValue, 3},
    {"Estimated Value", Fld::CatValue, 3},
    {"Asking Price", Fld::PriceAsk, 3},
    {"Sale Price", Fld::PriceAsk, 3},
    {"Price Asked", Fld::PriceAsk, 3},
    {"On Sale", Fld::ForSale, 3},
    {"Sold On", Fld::DateSold, 3},
    {"Sale Date", Fld::DateSold, 3},
    {"Sold Date", Fld::DateSold, 3},
    {"Note", Fld::Notes, 3},
    {"Comments", Fld::Notes, 3},
    {"Comment", Fld::Notes, 3},
    {"Remarks", Fld::Notes, 3},
    {"Memo", Fld::Notes, 3},
    {"Miscellaneous 1", Fld::Misc1, 3},
    {"Miscellaneous 2", Fld::Misc2, 3},
    // Columns that files carry but that have no place of their own.
    {"StampID", kKnownOnly, 9},
    {"ID", kKnownOnly, 9},
    {"Series", kKnownOnly, 9},
    {"Printing", kKnownOnly, 9},
    {"Currency", kKnownOnly, 9},
};

// A heading as it is compared: folded, letters and digits only.
QString HeadingKey(const QString& heading)
{
    const QString folded = FoldText(heading);
    QString key;
    key.reserve(folded.size());
    for (const QChar c : folded)
        if (c.isLetterOrNumber()) key += c;
    return key;
}

struct Candidate {
    int field;
    int rank;
};

// Every field a heading may name, by key; totals and known columns as kKnownOnly.
const QHash<QString, std::vector<Candidate>>& HeadingTable()
{
    static const QHash<QString, std::vector<Candidate>> table = [] {
        QHash<QString, std::vector<Candidate>> t;
        auto add = [&t](const QString& text, int field, int rank) {
            std::vector<Candidate>& list = t[HeadingKey(text)];
            for (const Candidate& c : list)
                if (c.field == field) return;
            list.push_back({field, rank});
        };
        const auto& fields = StampFields();
        const auto& catalogue = FieldCatalogueRows();
        for (int i = 0; i < Fld::Count; ++i) {
            const int field = fields[size_t(i)].kind == FieldKind::Total ? kKnownOnly : i;
            add(fields[size_t(i)].caption, field, 2);
            add(QString::fromLatin1(fields[size_t(i)].column), field, 2);
            add(QString::fromLatin1(catalogue[size_t(i)].fieldname), field, 2);
        }
        for (const Heading& h : kHeadings) add(QString::fromUtf8(h.text), h.field, h.rank);
        for (auto& list : t) std::sort(list.begin(), list.end(), [](auto& a, auto& b) { return a.rank < b.rank; });
        return t;
    }();
    return table;
}

StampField Text(const char* column, int maxLength)
{
    return {column, QString(), FieldKind::Text, maxLength, 0, -1};
}
StampField Kind(const char* column, FieldKind kind)
{
    return {column, QString(), kind, 0, 0, -1};
}
StampField Code(const char* column, int table)
{
    return {column, QString(), FieldKind::Code, kCodeDescriptionLength, table, -1};
}
StampField Price(const char* column, int total)
{
    return {column, QString(), FieldKind::Money, 0, 0, total};
}

bool LooksNumeric(const QString& text)
{
    bool digit = false;
    for (const QChar c : text) {
        if (c.isDigit())
            digit = true;
        else if (!c.isSpace() && !QStringView(u".,/-+:()'").contains(c) && c.category() != QChar::Symbol_Currency)
            return false;
    }
    return digit;
}

}  // namespace

const std::vector<StampField>& StampFields()
{
    static const std::vector<StampField> fields = [] {
        std::vector<StampField> f = {
            Text("descr", 80),
            Text("catnum", 30),
            Kind("face", FieldKind::Money),
            Kind("Year", FieldKind::Year),
            Kind("used", FieldKind::YesNo),
            Kind("wantlist", FieldKind::YesNo),
            Kind("quantity", FieldKind::Quantity),
            Code("CouID", 3),
            Code("typeID", 9),
            Code("formID", 4),
            Code("papID", 6),
            Code("CanID", 1),
            Code("perfID", 7),
            Code("topID", 8),
            Code("gumID", 5),
            Code("ConID", 2),
            Text("Color", 50),
            Text("watermark", 50),
            Text("Errors", 50),
            Kind("issued", FieldKind::Date),
            Price("pricepaid", Fld::TotalPaid),
            Kind("totalpaid", FieldKind::Total),
            Price("catvalue", Fld::TotalVal),
            Kind("totalval", FieldKind::Total),
            Price("priceask", Fld::TotalSales),
            Kind("totalsales", FieldKind::Total),
            Kind("forsale", FieldKind::YesNo),
            Kind("purchased", FieldKind::Date),
            Kind("sold", FieldKind::YesNo),
            Kind("datesold", FieldKind::Date),
            Text("notes", 0),
            Text("misc1", 50),
            Text("misc2", 50),
        };
        // The captions are the field catalogue's, which are the main window's.
        const auto& catalogue = FieldCatalogueRows();
        for (size_t i = 0; i < f.size(); ++i) f[i].caption = QString::fromUtf8(catalogue[i].desc);
        return f;
    }();
    return fields;
}

int FieldForHeading(const QString& heading, bool* known)
{
    if (known) *known = false;
    const auto& table = HeadingTable();
    const auto it = table.constFind(HeadingKey(heading));
    if (it == table.cend() || it->empty()) return Fld::Ignore;
    if (known) *known = true;
    const int field = it->front().field;
    return field == kKnownOnly ? Fld::Ignore : field;
}

namespace {

// The candidates a heading gives with the catalogues of the list: a catalogue's
// heading or name at the rank of the program's own captions, its name with
// "Number" or "No" at the rank of other programs' headings.
std::vector<Candidate> CatalogueCandidates(const QString& key, const CatalogueList& catalogues)
{
    std::vector<Candidate> found;
    const std::vector<QString> headings = CatalogueHeadings(catalogues);
    for (size_t i = 0; i < catalogues.size(); ++i) {
        const int field = FieldOfCatalogue(catalogues[i].id);
        if (field == Fld::Ignore) continue;
        const QString& name = catalogues[i].name;
        if (key == HeadingKey(headings[i]) || key == HeadingKey(name))
            found.push_back({field, 2});
        else if (key == HeadingKey(name + QStringLiteral(" Number")) || key == HeadingKey(name + QStringLiteral(" No")))
            found.push_back({field, 3});
    }
    return found;
}

}  // namespace

QString NewCatalogueOfHeading(const QString& heading, const CatalogueList& catalogues)
{
    const QString text = heading.trimmed();
    if (!text.endsWith(u'#')) return QString();
    const QString name = text.chopped(1).trimmed();
    if (name.isEmpty() || name.size() > kCatalogueNameLength || HeadingKey(name).isEmpty()) return QString();
    const QString key = HeadingKey(text);
    if (HeadingTable().contains(key) || !CatalogueCandidates(key, catalogues).empty()) return QString();
    return name;
}

std::vector<int> GuessMapping(const QStringList& headings, const CatalogueList& catalogues)
{
    struct Ask {
        int rank;
        qsizetype column;
        int field;
    };
    std::vector<Ask> asks;
    const auto& table = HeadingTable();
    for (qsizetype column = 0; column < headings.size(); ++column) {
        const QString key = HeadingKey(headings.at(column));
        for (const Candidate& c : CatalogueCandidates(key, catalogues)) asks.push_back({c.rank, column, c.field});
        const auto it = table.constFind(key);
        if (it != table.cend())
            for (const Candidate& c : *it)
                if (c.field >= 0) asks.push_back({c.rank, column, c.field});
    }
    std::stable_sort(asks.begin(), asks.end(), [](const Ask& a, const Ask& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.column < b.column;
    });
    std::vector<int> mapping(size_t(headings.size()), Fld::Ignore);
    QSet<int> taken;
    for (const Ask& ask : asks) {
        if (mapping[size_t(ask.column)] != Fld::Ignore || taken.contains(ask.field)) continue;
        mapping[size_t(ask.column)] = ask.field;
        taken.insert(ask.field);
    }
    // A column headed as an exported file heads a catalogue's numbers, for a
    // catalogue the list does not have: the import adds it.
    if (!catalogues.empty()) {
        QSet<QString> named;
        for (qsizetype column = 0; column < headings.size(); ++column) {
            if (mapping[size_t(column)] != Fld::Ignore) continue;
            const QString name = NewCatalogueOfHeading(headings.at(column), catalogues);
            if (name.isEmpty() || named.contains(FoldText(name))) continue;
            named.insert(FoldText(name));
            mapping[size_t(column)] = Fld::NewCatalogue;
        }
    }
    return mapping;
}

bool LooksLikeHeader(const QStringList& first, const std::vector<QStringList>& following)
{
    int known = 0;
    int filled = 0;
    for (const QString& text : first) {
        if (text.trimmed().isEmpty()) continue;
        ++filled;
        bool isKnown = false;
        FieldForHeading(text, &isKnown);
        if (isKnown) ++known;
    }
    if (known >= 2 || (known == 1 && filled <= 2)) return true;
    // A word above a column of numbers or dates.
    for (qsizetype column = 0; column < first.size(); ++column) {
        const QString top = first.at(column).trimmed();
        if (top.isEmpty() || LooksNumeric(top)) continue;
        int values = 0;
        int numeric = 0;
        for (const QStringList& row : following) {
            if (column >= row.size() || row.at(column).trimmed().isEmpty()) continue;
            ++values;
            if (LooksNumeric(row.at(column).trimmed())) ++numeric;
        }
        if (numeric >= 2 && numeric * 5 >= values * 4) return true;
    }
    return false;
}

std::optional<int> FieldByName(const QString& name, const CatalogueList& catalogues)
{
    const QString key = HeadingKey(name);
    if (key == u"ignore") return Fld::Ignore;
    const std::vector<Candidate> named = CatalogueCandidates(key, catalogues);
    if (!named.empty()) return named.front().field;
    const auto& table = HeadingTable();
    const auto it = table.constFind(key);
    if (it == table.cend() || it->empty() || it->front().field < 0) return std::nullopt;
    return it->front().field;
}

QString MappingName(int field, const CatalogueList& catalogues, const QString& heading)
{
    if (IsStampField(field)) return StampFields()[size_t(field)].caption;
    if (field == Fld::CatalogCodes) return QStringLiteral("Catalog Codes (Colnect)");
    if (field == Fld::NewCatalogue) return QStringLiteral("New catalogue: ") + heading.trimmed().chopped(1).trimmed();
    if (IsCatalogueField(field)) {
        const std::vector<QString> headings = CatalogueHeadings(catalogues);
        for (size_t i = 0; i < catalogues.size(); ++i)
            if (catalogues[i].id == CatalogueOfField(field)) return headings[i];
    }
    return QStringLiteral("(ignore)");
}
