#include "stats/CollectionStats.h"

#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/Recordset.h"
#include "db/Money.h"
#include "stats/StatsSql.h"

#include <QCollator>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>

namespace {

// Every chart but the one of purchases and sales counts the stamps held.
const QString kHeld = QStringLiteral("not Stamp.wantlist and not Stamp.sold");

// Years beyond these spans are shown as the years (or decades) that hold stamps,
// without the empty ones between them.
constexpr int kMaxYearSpan = 150;
constexpr int kMaxDecadeSpan = 100;

QString Count(qint64 n, const char16_t* one, const char16_t* many)
{
    return QLocale().toString(n) + u' ' + QString::fromUtf16(n == 1 ? one : many);
}

QString Stamps(qint64 n)
{
    return Count(n, u"stamp", u"stamps");
}

struct Category {
    const char16_t* table;
    const char16_t* key;
    const char16_t* desc;
    const char16_t* noun;
    const char16_t* nouns;
};

std::optional<Category> CategoryOf(ChartKind kind)
{
    switch (kind) {
        case ChartKind::StampsByCountry:
        case ChartKind::ValueByCountry:
        case ChartKind::ValueAgainstPaid:
            return Category{u"country", u"CouID", u"Coudesc", u"country", u"countries"};
        case ChartKind::StampsByTopic:
        case ChartKind::ValueByTopic:
            return Category{u"topic", u"topID", u"TopDesc", u"topic", u"topics"};
        case ChartKind::StampsByType:
        case ChartKind::ValueByType:
            return Category{u"type", u"typeID", u"Typedesc", u"type", u"types"};
        case ChartKind::StampsByCondition:
        case ChartKind::ValueByCondition:
            return Category{u"Condition", u"ConID", u"conDesc", u"condition", u"conditions"};
        case ChartKind::StampsByDecade:
        case ChartKind::PurchasesAndSales:
            return std::nullopt;
    }
    return std::nullopt;
}

bool RanksByValue(ChartKind kind)
{
    switch (kind) {
        case ChartKind::ValueByCountry:
        case ChartKind::ValueByTopic:
        case ChartKind::ValueByType:
        case ChartKind::ValueByCondition:
        case ChartKind::ValueAgainstPaid:
            return true;
        default:
            return false;
    }
}

qint64 WholeAt(const Recordset& rs, int i)
{
    return WholeOf(rs.FieldAt(i)).value_or(0);
}

// A MoneySum column: null only when the sum did not fit.
std::optional<Money> MoneyAt(const Recordset& rs, int i)
{
    const QVariant value = rs.FieldAt(i);
    if (value.isNull() || !value.isValid()) return std::nullopt;
    return Money::FromUnits(value.toLongLong());
}

Money NeedMoney(const std::optional<Money>& money) { return FittingOrOverflow(money); }

std::unique_ptr<Recordset> Query(Database& db, const QString& sql)
{
    PrepareStatsSql(db);
    return db.OpenForwardOnly(sql);
}

// Adds one bar's figures to another (the "Other" bar, a decade).
void Accumulate(ChartBar& into, const ChartBar& bar)
{
    into.stamps += bar.stamps;
    into.copies += bar.copies;
    into.value = FittingOrOverflow(into.value.Plus(bar.value));
    into.paid = FittingOrOverflow(into.paid.Plus(bar.paid));
    into.soldStamps += bar.soldStamps;
    into.received = FittingOrOverflow(into.received.Plus(bar.received));
}

// Two bars may not share a label: a chart axis would draw them as one.
void MakeLabelsUnique(std::vector<ChartBar>& bars)
{
    QSet<QString> used;
    for (ChartBar& bar : bars) {
        QString label = bar.label;
        for (int n = 2; used.contains(label); ++n) label = bar.label + QStringLiteral(" (%1)").arg(n);
        used.insert(label);
        bar.label = label;
    }
}

QString ByCategoryNote(ChartKind kind, const Category& category, qint64 stamps, const ChartBar* other,
                       const ChartBar* none, qint64 withoutValue, qint64 withoutPaid)
{
    if (stamps == 0)
        return QStringLiteral(
            "There are no stamps to chart: the charts count the stamps you hold, neither sold nor on the want list.");
    const QString noun = QString::fromUtf16(category.noun);
    QString note;
    if (kind == ChartKind::ValueAgainstPaid)
        note =
            QStringLiteral("Catalogue value against price paid of the %1 you hold, by %2.").arg(Stamps(stamps), noun);
    else if (RanksByValue(kind))
        note = QStringLiteral("Catalogue value of the %1 you hold, by %2.").arg(Stamps(stamps), noun);
    else
        note = QStringLiteral("The %1 you hold, by %2.").arg(Stamps(stamps), noun);
    if (other)
        note += QStringLiteral(" \"Other\" holds %1 more %2.")
                    .arg(QLocale().toString(other->codes), QString::fromUtf16(category.nouns));
    if (none) note += QStringLiteral(" \"(none)\": %1 without a %2.").arg(Stamps(none->stamps), noun);
    const bool value = RanksByValue(kind);
    const bool paid = kind == ChartKind::ValueAgainstPaid;
    if (value && paid && (withoutValue > 0 || withoutPaid > 0))
        note += QStringLiteral(" Without a catalogue value: %1; without a price paid: %2; they add nothing.")
                    .arg(QLocale().toString(withoutValue), QLocale().toString(withoutPaid));
    else if (value && withoutValue > 0)
        note += QStringLiteral(" %1 without a catalogue value add nothing.").arg(Stamps(withoutValue));
    return note;
}

ChartData LoadByCategory(Database& db, ChartKind kind, const Category& c)
{
    const QString table = QString::fromUtf16(c.table);
    const QString key = QString::fromUtf16(c.key);
    // The stamps are grouped by their own code first, and only the groups are
    // looked up in the code table: a lookup for every stamp would cost more than
    // the grouping. The "+" keeps the engine from walking the code's index, which
    // would fetch the stamps in index order, one by one.
    const QString sql =
        QStringLiteral(
            "Select g.Code as Code, %1.%2 as Known, %1.%3 as Descr, g.Stamps, g.Copies, g.Valued, g.Paid, "
            "g.WithValue, g.WithPaid from (Select Stamp.%2 as Code, Count(*) as Stamps, Sum(WholeOf(Stamp.quantity)) "
            "as Copies, MoneySum(Stamp.quantity, Stamp.catvalue) as Valued, MoneySum(Stamp.quantity, Stamp.pricepaid) "
            "as Paid, Count(MoneyOf(Stamp.catvalue)) as WithValue, Count(MoneyOf(Stamp.pricepaid)) as WithPaid from "
            "Stamp where %4 group by +Stamp.%2) as g left join %1 on g.Code = %1.%2")
            .arg(table, key, QString::fromUtf16(c.desc), kHeld);
    ChartData data;
    data.kind = kind;
    std::vector<ChartBar> named;
    ChartBar none;
    none.kind = ChartBar::Kind::None;
    none.label = QStringLiteral("(none)");
    qint64 withoutValue = 0;
    qint64 withoutPaid = 0;
    auto rs = Query(db, sql);
    while (!rs->Eof()) {
        ChartBar bar;
        bar.stamps = WholeAt(*rs, 3);
        bar.copies = WholeAt(*rs, 4);
        bar.value = NeedMoney(MoneyAt(*rs, 5));
        bar.paid = NeedMoney(MoneyAt(*rs, 6));
        withoutValue += bar.stamps - WholeAt(*rs, 7);
        withoutPaid += bar.stamps - WholeAt(*rs, 8);
        data.stamps += bar.stamps;
        const QVariant known = rs->FieldAt(1);
        // No code, and a code no longer in the table, are both "(none)".
        if (known.isNull() || !known.isValid()) {
            Accumulate(none, bar);
        } else {
            bar.kind = ChartBar::Kind::Code;
            bar.code = known.toLongLong();
            bar.codes = 1;
            bar.label = TextOf(rs->FieldAt(2)).simplified();
            if (bar.label.isEmpty()) bar.label = QStringLiteral("(no description)");
            named.push_back(bar);
        }
        rs->MoveNext();
    }
    rs->Close();

    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    const bool byValue = RanksByValue(kind);
    std::sort(named.begin(), named.end(), [&](const ChartBar& a, const ChartBar& b) {
        if (byValue ? a.value != b.value : a.stamps != b.stamps)
            return byValue ? a.value > b.value : a.stamps > b.stamps;
        if (const int order = collator.compare(a.label, b.label)) return order < 0;
        return a.code < b.code;
    });
    // One code more than the named ones is shown by its name rather than as an
    // "Other" of one.
    std::optional<ChartBar> other;
    if (named.size() > static_cast<size_t>(kNamedBars) + 1) {
        other.emplace();
        other->kind = ChartBar::Kind::Other;
        other->label = QStringLiteral("Other");
        for (auto it = named.begin() + kNamedBars; it != named.end(); ++it) {
            Accumulate(*other, *it);
            ++other->codes;
        }
        named.erase(named.begin() + kNamedBars, named.end());
    }
    data.bars = std::move(named);
    if (other) data.bars.push_back(*other);
    if (none.stamps > 0) data.bars.push_back(none);
    MakeLabelsUnique(data.bars);
    data.note = ByCategoryNote(kind, c, data.stamps, other ? &*other : nullptr, none.stamps > 0 ? &none : nullptr,
                               withoutValue, withoutPaid);
    return data;
}

ChartData LoadByDecade(Database& db)
{
    const QString year = QStringLiteral("Coalesce(WholeOf(Stamp.Year), YearOf(Stamp.issued))");
    const QString sql = QStringLiteral(
                            "Select %1 as Y, Count(*) as Stamps, Sum(WholeOf(Stamp.quantity)) as Copies, "
                            "MoneySum(Stamp.quantity, Stamp.catvalue) as Valued, MoneySum(Stamp.quantity, "
                            "Stamp.pricepaid) as Paid from Stamp where %2 group by %1")
                            .arg(year, kHeld);
    ChartData data;
    data.kind = ChartKind::StampsByDecade;
    std::map<int, ChartBar> decades;
    ChartBar none;
    none.kind = ChartBar::Kind::None;
    none.label = QStringLiteral("(none)");
    auto rs = Query(db, sql);
    while (!rs->Eof()) {
        ChartBar bar;
        bar.stamps = WholeAt(*rs, 1);
        bar.copies = WholeAt(*rs, 2);
        bar.value = NeedMoney(MoneyAt(*rs, 3));
        bar.paid = NeedMoney(MoneyAt(*rs, 4));
        data.stamps += bar.stamps;
        const auto y = WholeOf(rs->FieldAt(0));
        if (y && *y >= 1 && *y <= 9999) {
            const int decade = static_cast<int>(*y - *y % 10);
            ChartBar& into = decades[decade];
            into.kind = ChartBar::Kind::Period;
            into.year = decade;
            Accumulate(into, bar);
        } else {
            Accumulate(none, bar);
        }
        rs->MoveNext();
    }
    rs->Close();

    if (!decades.empty() && (decades.rbegin()->first - decades.begin()->first) / 10 <= kMaxDecadeSpan)
        for (int d = decades.begin()->first; d < decades.rbegin()->first; d += 10) {
            ChartBar& bar = decades[d];
            bar.kind = ChartBar::Kind::Period;
            bar.year = d;
        }
    for (auto& [decade, bar] : decades) {
        bar.label = QString::number(decade) + u's';
        data.bars.push_back(bar);
    }
    if (none.stamps > 0) data.bars.push_back(none);
    if (data.stamps == 0)
        data.note = QStringLiteral(
            "There are no stamps to chart: the charts count the stamps you hold, neither sold nor on the want list.");
    else
        data.note = QStringLiteral("The %1 you hold, by decade of issue (the year, else the issue date).")
                        .arg(Stamps(data.stamps));
    if (none.stamps > 0) data.note += QStringLiteral(" \"(none)\": %1 without a year.").arg(Stamps(none.stamps));
    return data;
}

ChartData LoadPurchasesAndSales(Database& db)
{
    // Bought: every stamp not on the want list, sold or not (a want-list stamp's
    // price is what the collector would pay). Sold: the sales report's stamps.
    const QString sql = QStringLiteral(
        "Select 1 as Kind, YearOf(purchased) as Y, Count(*) as Stamps, MoneySum(quantity, pricepaid) as Amount, "
        "Count(MoneyOf(pricepaid)) as Priced from Stamp where not wantlist group by YearOf(purchased) "
        "union all "
        "Select 2, YearOf(datesold), Count(*), MoneySum(quantity, priceask), Count(MoneyOf(priceask)) from Stamp "
        "where sold group by YearOf(datesold)");
    ChartData data;
    data.kind = ChartKind::PurchasesAndSales;
    std::map<int, ChartBar> years;
    qint64 undatedBought = 0;
    qint64 undatedSold = 0;
    qint64 unpriced = 0;
    auto rs = Query(db, sql);
    while (!rs->Eof()) {
        const bool bought = WholeAt(*rs, 0) == 1;
        const auto y = WholeOf(rs->FieldAt(1));
        const qint64 stamps = WholeAt(*rs, 2);
        const Money amount = NeedMoney(MoneyAt(*rs, 3));
        if (!y) {
            (bought ? undatedBought : undatedSold) += stamps;
        } else {
            unpriced += stamps - WholeAt(*rs, 4);
            ChartBar& bar = years[static_cast<int>(*y)];
            bar.kind = ChartBar::Kind::Period;
            bar.year = static_cast<int>(*y);
            if (bought) {
                bar.stamps += stamps;
                bar.paid = FittingOrOverflow(bar.paid.Plus(amount));
            } else {
                bar.soldStamps += stamps;
                bar.received = FittingOrOverflow(bar.received.Plus(amount));
            }
            data.stamps += stamps;
        }
        rs->MoveNext();
    }
    rs->Close();

    if (!years.empty() && years.rbegin()->first - years.begin()->first <= kMaxYearSpan)
        for (int y = years.begin()->first; y < years.rbegin()->first; ++y) {
            ChartBar& bar = years[y];
            bar.kind = ChartBar::Kind::Period;
            bar.year = y;
        }
    for (auto& [year, bar] : years) {
        bar.label = QString::number(year);
        data.bars.push_back(bar);
    }
    data.note = years.empty() ? QStringLiteral("There are no purchases or sales with a date to chart.")
                              : QStringLiteral(
                                    "What you paid for stamps by year of purchase, and what stamps sold "
                                    "brought by year of sale.");
    if (undatedBought > 0 || undatedSold > 0)
        data.note += QStringLiteral(" Left out: %1 without a purchase date, %2 sold without a date sold.")
                         .arg(Stamps(undatedBought), QLocale().toString(undatedSold));
    if (unpriced > 0) data.note += QStringLiteral(" %1 without a price add nothing.").arg(Stamps(unpriced));
    return data;
}

}  // namespace

StatsSummary LoadSummary(Database& db)
{
    // One pass over the stamps, each figure summing only its own stamps. Sold and
    // wanted overlap: a sold stamp still on the want list is in both reports, as
    // it is in both sums here.
    const QString held = QStringLiteral("(not wantlist and not sold)");
    auto rs = Query(db, QStringLiteral("Select Sum(IIf(%1, 1, 0)), Sum(IIf(%1, WholeOf(quantity), 0)), "
                                       "MoneySum(IIf(%1, quantity, 0), pricepaid), "
                                       "MoneySum(IIf(%1, quantity, 0), catvalue), "
                                       "Sum(IIf(%1 and MoneyOf(pricepaid) is null, 1, 0)), "
                                       "Sum(IIf(%1 and MoneyOf(catvalue) is null, 1, 0)), "
                                       "Sum(IIf(sold, 1, 0)), MoneySum(IIf(sold, quantity, 0), pricepaid), "
                                       "MoneySum(IIf(sold, quantity, 0), priceask), "
                                       "Sum(IIf(sold and MoneyOf(priceask) is null, 1, 0)), "
                                       "Sum(IIf(wantlist, 1, 0)), MoneySum(IIf(wantlist, 1, 0), pricepaid), "
                                       "Sum(IIf(wantlist and MoneyOf(pricepaid) is null, 1, 0)) from Stamp")
                            .arg(held));
    StatsSummary s;
    if (!rs->Eof()) {
        s.heldStamps = WholeAt(*rs, 0);
        s.heldCopies = WholeAt(*rs, 1);
        s.heldPaid = NeedMoney(MoneyAt(*rs, 2));
        s.heldValue = NeedMoney(MoneyAt(*rs, 3));
        s.heldWithoutPaid = WholeAt(*rs, 4);
        s.heldWithoutValue = WholeAt(*rs, 5);
        s.soldStamps = WholeAt(*rs, 6);
        s.soldPaid = NeedMoney(MoneyAt(*rs, 7));
        s.soldSales = NeedMoney(MoneyAt(*rs, 8));
        s.soldWithoutPrice = WholeAt(*rs, 9);
        s.wantStamps = WholeAt(*rs, 10);
        s.wantCost = NeedMoney(MoneyAt(*rs, 11));
        s.wantWithoutPrice = WholeAt(*rs, 12);
    }
    rs->Close();
    s.heldGain = FittingOrOverflow(s.heldValue.Minus(s.heldPaid));
    s.soldProfit = FittingOrOverflow(s.soldSales.Minus(s.soldPaid));

    // Each country is looked up in the stamps' index of countries: far fewer rows
    // than a pass over every stamp.
    auto countries = Query(db, QStringLiteral("Select Count(*) from country where exists (Select StampID from Stamp "
                                              "where Stamp.CouID = country.CouID and not wantlist and not sold)"));
    if (!countries->Eof()) s.countries = WholeAt(*countries, 0);
    countries->Close();
    return s;
}

QString SummaryNote(const StatsSummary& s)
{
    QStringList parts;
    if (s.heldWithoutPaid > 0) parts << QStringLiteral("%1 held without a price paid").arg(Stamps(s.heldWithoutPaid));
    if (s.heldWithoutValue > 0)
        parts << QStringLiteral("%1 held without a catalogue value").arg(Stamps(s.heldWithoutValue));
    if (s.soldWithoutPrice > 0)
        parts << QStringLiteral("%1 sold without a selling price").arg(Stamps(s.soldWithoutPrice));
    if (s.wantWithoutPrice > 0)
        parts << QStringLiteral("%1 on the want list without a price").arg(Stamps(s.wantWithoutPrice));
    if (parts.isEmpty()) return QString();
    return QStringLiteral("Counted as nothing in the sums: ") + parts.join(QStringLiteral(", ")) + u'.';
}

QString ChartTitle(ChartKind kind)
{
    switch (kind) {
        case ChartKind::StampsByCountry:
            return QStringLiteral("Stamps by country");
        case ChartKind::ValueByCountry:
            return QStringLiteral("Catalogue value by country");
        case ChartKind::StampsByTopic:
            return QStringLiteral("Stamps by topic");
        case ChartKind::ValueByTopic:
            return QStringLiteral("Catalogue value by topic");
        case ChartKind::StampsByType:
            return QStringLiteral("Stamps by type");
        case ChartKind::ValueByType:
            return QStringLiteral("Catalogue value by type");
        case ChartKind::StampsByCondition:
            return QStringLiteral("Stamps by condition");
        case ChartKind::ValueByCondition:
            return QStringLiteral("Catalogue value by condition");
        case ChartKind::StampsByDecade:
            return QStringLiteral("Stamps by decade of issue");
        case ChartKind::PurchasesAndSales:
            return QStringLiteral("Purchases and sales by year");
        case ChartKind::ValueAgainstPaid:
            return QStringLiteral("Catalogue value against price paid, by country");
    }
    return QString();
}

ChartData LoadChart(Database& db, ChartKind kind)
{
    if (const auto category = CategoryOf(kind)) return LoadByCategory(db, kind, *category);
    if (kind == ChartKind::StampsByDecade) return LoadByDecade(db);
    return LoadPurchasesAndSales(db);
}

bool ChartData::Horizontal() const
{
    return kind != ChartKind::StampsByDecade && kind != ChartKind::PurchasesAndSales;
}

bool ChartData::CountsMoney() const
{
    return RanksByValue(kind) || kind == ChartKind::PurchasesAndSales;
}

QStringList ChartData::SeriesNames() const
{
    if (kind == ChartKind::PurchasesAndSales) return {QStringLiteral("Paid"), QStringLiteral("Received")};
    if (kind == ChartKind::ValueAgainstPaid) return {QStringLiteral("Catalogue value"), QStringLiteral("Price paid")};
    if (RanksByValue(kind)) return {QStringLiteral("Catalogue value")};
    return {QStringLiteral("Stamps")};
}

double ChartData::Value(int series, const ChartBar& bar) const
{
    if (kind == ChartKind::PurchasesAndSales) return (series == 0 ? bar.paid : bar.received).ToDouble();
    if (kind == ChartKind::ValueAgainstPaid) return (series == 0 ? bar.value : bar.paid).ToDouble();
    if (RanksByValue(kind)) return bar.value.ToDouble();
    return static_cast<double>(bar.stamps);
}

QString ChartData::BarText(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= bars.size()) return QString();
    const ChartBar& bar = bars[static_cast<size_t>(index)];
    if (kind == ChartKind::PurchasesAndSales)
        return bar.label + QStringLiteral("\nPaid %1 for %2\nReceived %3 for %4 sold")
                               .arg(FormatCurrency(bar.paid), Stamps(bar.stamps), FormatCurrency(bar.received),
                                    Stamps(bar.soldStamps));
    QString name = bar.label;
    if (bar.kind == ChartBar::Kind::Other)
        if (const auto category = CategoryOf(kind))
            name += QStringLiteral(" (%1)").arg(Count(bar.codes, category->noun, category->nouns));
    return name + QStringLiteral("\n%1, %2\nCatalogue value %3\nPrice paid %4")
                      .arg(Stamps(bar.stamps), Count(bar.copies, u"copy", u"copies"), FormatCurrency(bar.value),
                           FormatCurrency(bar.paid));
}
