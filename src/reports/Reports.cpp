#include "reports/Reports.h"

#include "dates/LocaleFormats.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Recordset.h"
#include "reports/ReportPresenter.h"
#include "reports/StandardReport.h"

namespace {

// Sales and collection value: quantity, price each and line totals of two prices.
class MoneyReport final : public StandardReport {
public:
    explicit MoneyReport(bool sales) : StandardReport(MakeTexts(sales)), mSales(sales) {}

private:
    static Texts MakeTexts(bool sales)
    {
        Texts t;
        if (sales) {
            t.query = QStringLiteral(
                "Select descr, CatNum, Quantity, PricePaid, PriceAsk from Stamp where sold order by [descr]");
            t.emptyMessage = QStringLiteral("You have not entered any stamps as sold.");
            t.formatPart = QStringLiteral("2160|1400|>1400|>1400|>1400|>1400|>1400;");
            t.headingRow = QStringLiteral("Description|Cat #|Quantity|Paid Each|Total Paid|Sale Each|Total Sales;");
            t.pageTitle = QStringLiteral("Stamp Sales Report");
            t.textFileName = QStringLiteral("Sales.txt");
            t.htmlFileName = QStringLiteral("Sales.htm");
            t.pdfFileName = QStringLiteral("Sales.pdf");
            t.htmlHeadLine = QStringLiteral("<head><title>Stamp Sales Report</title></head>");
            t.htmlTitleRow = QStringLiteral("<tr><th colspan=7>Stamp Sales Report</th></tr>");
        } else {
            t.query = QStringLiteral(
                "Select descr, CatNum, Quantity, PricePaid, CatValue from Stamp where not wantlist "
                "and not sold order by [descr]");
            t.emptyMessage = QStringLiteral("You have not entered any stamps!");
            t.formatPart = QStringLiteral("2160|1400|>1400|>1440|>1400|>1400|>1400;");
            t.headingRow = QStringLiteral("Description|Cat #|Quantity|Paid Each|Total Paid|Value Each|Total Value;");
            t.pageTitle = QStringLiteral("Stamp Value Report");
            t.textFileName = QStringLiteral("Value.txt");
            t.htmlFileName = QStringLiteral("Value.htm");
            t.pdfFileName = QStringLiteral("Value.pdf");
            t.htmlHeadLine = QStringLiteral("<head><title>Stamp Collection Value </title></head>");
            t.htmlTitleRow = QStringLiteral("<tr><th colspan=7>Stamp Collection Value</th></tr>");
        }
        t.htmlHeadingLines = {
            QStringLiteral("<tr><th>Description</th>"),
            QStringLiteral("<th>Cat #</th>"),
            QStringLiteral("<th>Quantity</th>"),
            QStringLiteral("<th>Paid Each</th>"),
            QStringLiteral("<th>Total Paid</th>"),
            sales ? QStringLiteral("<th>Sale Price Each</th>") : QStringLiteral("<th>Value Each</th>"),
            sales ? QStringLiteral("<th>Total Sales</th></tr>") : QStringLiteral("<th>Total Value</th></tr>")};
        t.htmlRightAligned = {false, false, true, true, true, true, true};
        return t;
    }

    void Begin(const Recordset& rs) override
    {
        mDescr = ColumnOf(rs, QStringLiteral("descr"));
        mCatNum = ColumnOf(rs, QStringLiteral("catnum"));
        mQuantity = ColumnOf(rs, QStringLiteral("quantity"));
        mPaid = ColumnOf(rs, QStringLiteral("pricepaid"));
        mSecond = ColumnOf(rs, mSales ? QStringLiteral("priceask") : QStringLiteral("catvalue"));
    }

    void Cells(const Recordset& rs, std::vector<QString>& cells) override
    {
        const Money paidEach = MoneyOf(rs.FieldAt(mPaid)).value_or(Money());
        const Money secondEach = MoneyOf(rs.FieldAt(mSecond)).value_or(Money());
        const qint64 quantity = WholeOf(rs.FieldAt(mQuantity)).value_or(0);
        const Money paid = FittingOrOverflow(LineTotal(paidEach, quantity));
        const Money second = FittingOrOverflow(LineTotal(secondEach, quantity));
        mQuantityTotal += quantity;
        mPaidTotal.Add(paid);
        mSecondTotal.Add(second);
        FittingOrOverflow(mPaidTotal.Value());
        FittingOrOverflow(mSecondTotal.Value());
        cells.push_back(TextOf(rs.FieldAt(mDescr)));
        cells.push_back(TextOf(rs.FieldAt(mCatNum)));
        cells.push_back(QString::number(quantity));
        cells.push_back(FormatCurrency(paidEach));
        cells.push_back(FormatCurrency(paid));
        cells.push_back(FormatCurrency(secondEach));
        cells.push_back(FormatCurrency(second));
    }

    TotalsLines Totals() const override
    {
        const Money paidTotal = FittingOrOverflow(mPaidTotal.Value());
        const Money secondTotal = FittingOrOverflow(mSecondTotal.Value());
        const Money difference = FittingOrOverflow(secondTotal.Minus(paidTotal));
        const QString quantity = QString::number(mQuantityTotal);
        const QString paid = FormatCurrency(paidTotal);
        const QString second = FormatCurrency(secondTotal);
        const QString diff = FormatCurrency(difference);
        TotalsLines lines;
        lines.preview << (mSales ? QStringLiteral("3560|>1400|>2800|>2800;Totals|")
                                 : QStringLiteral("3560|>1400|>2840|>2800;Totals|")) +
                             quantity + u'|' + paid + u'|' + second + u';';
        lines.preview << (mSales ? QStringLiteral("3560|>7000;Sale Price Minus Cost|")
                                 : QStringLiteral("3560|>7040;Value Minus Cost|")) +
                             diff + u';';
        // The text file of the sales report carries its money totals as plain numbers.
        const auto textMoney = [this](Money m) { return mSales ? FormatPlainMoney(m) : FormatCurrency(m); };
        lines.text << QStringLiteral("\t\t") + quantity + QStringLiteral("\t\t") + textMoney(paidTotal) +
                          QStringLiteral("\t\t") + textMoney(secondTotal);
        lines.text << QStringLiteral("\t\t\t\t\t\t") + textMoney(difference);
        lines.html << QStringLiteral("<tr><td>Totals</td><td align=right colspan=2>") + quantity +
                          QStringLiteral("</td><td align=right colspan=2>") + paid +
                          QStringLiteral("</td><td align=right colspan=2>") + second + QStringLiteral("</td></tr>");
        lines.html << (mSales ? QStringLiteral("<tr><td>Sale Price Minus Cost</td><td align=right colspan=6>")
                              : QStringLiteral("<tr><td>Value Minus Cost</td><td align=right colspan=6>")) +
                          diff + QStringLiteral("</td></tr>");
        return lines;
    }

    const bool mSales;
    int mDescr = 0, mCatNum = 0, mQuantity = 0, mPaid = 0, mSecond = 0;
    // Wider than the quantities themselves so that no collection can overflow it.
    qint64 mQuantityTotal = 0;
    MoneySum mPaidTotal;
    MoneySum mSecondTotal;
};

class WantList final : public StandardReport {
public:
    WantList() : StandardReport(MakeTexts()) {}

private:
    static Texts MakeTexts()
    {
        Texts t;
        t.query = QStringLiteral(
            "Select descr, CatNum, PricePaid, Face, Coudesc, condesc from (Stamp left join country on stamp.couid = "
            "country.couid) left join condition on stamp.conid = condition.conid where wantlist order by [descr]");
        t.emptyMessage = QStringLiteral("You have not entered any want list stamps!");
        t.formatPart = QStringLiteral("2160|700|1440|>1440|1400|>1400;");
        t.headingRow = QStringLiteral("Description|Cat #|Country|Face Value|Condition|Will Pay|;");
        t.pageTitle = QStringLiteral("Stamp Want List");
        t.textFileName = QStringLiteral("WantList.txt");
        t.htmlFileName = QStringLiteral("WantList.htm");
        t.pdfFileName = QStringLiteral("WantList.pdf");
        t.htmlHeadLine = QStringLiteral("<head><title>Stamp Want List </title></head>");
        t.htmlTitleRow = QStringLiteral("<tr><th colspan=7>Stamp Want List</th></tr>");
        t.htmlHeadingLines = {QStringLiteral("<tr><th>Description</th>"), QStringLiteral("<th>Cat #</th>"),
                              QStringLiteral("<th>Country</th>"),         QStringLiteral("<th>Face Value</th>"),
                              QStringLiteral("<th>Condition</th>"),       QStringLiteral("<th>Will Pay</th></tr>")};
        t.htmlRightAligned = {false, false, false, true, false, true};
        return t;
    }

    void Begin(const Recordset& rs) override
    {
        mDescr = ColumnOf(rs, QStringLiteral("descr"));
        mCatNum = ColumnOf(rs, QStringLiteral("catnum"));
        mPaid = ColumnOf(rs, QStringLiteral("pricepaid"));
        mFace = ColumnOf(rs, QStringLiteral("face"));
        mCountry = ColumnOf(rs, QStringLiteral("coudesc"));
        mCondition = ColumnOf(rs, QStringLiteral("condesc"));
    }

    void Cells(const Recordset& rs, std::vector<QString>& cells) override
    {
        const Money willPay = MoneyOf(rs.FieldAt(mPaid)).value_or(Money());
        mTotal.Add(willPay);
        FittingOrOverflow(mTotal.Value());
        const auto face = MoneyOf(rs.FieldAt(mFace));
        cells.push_back(TextOf(rs.FieldAt(mDescr)));
        cells.push_back(TextOf(rs.FieldAt(mCatNum)));
        cells.push_back(TextOf(rs.FieldAt(mCountry)));
        cells.push_back(face ? FormatCurrency(*face) : QString());
        cells.push_back(TextOf(rs.FieldAt(mCondition)));
        cells.push_back(FormatCurrency(willPay));
    }

    TotalsLines Totals() const override
    {
        const QString total = FormatCurrency(FittingOrOverflow(mTotal.Value()));
        TotalsLines lines;
        lines.preview << mTexts.formatPart + QStringLiteral("|||||") + total + u';';
        lines.text << QStringLiteral("\t\t\t\t\t") + total;
        lines.html << QStringLiteral("<tr><td align=right colspan=6>") + total + QStringLiteral("</td></tr>");
        return lines;
    }

    int mDescr = 0, mCatNum = 0, mPaid = 0, mFace = 0, mCountry = 0, mCondition = 0;
    MoneySum mTotal;
};

struct CategoryKind {
    int category;
    const char16_t* title;
    const char16_t* groupHeading;
    const char16_t* groupField;
    const char16_t* base;
    const char16_t* filter;
    const char16_t* order;
};

const CategoryKind kCategoryKinds[] = {
    {3, u"Stamps by Country", u"Country", u"coudesc",
     u"Select descr, CatNum, Quantity, Face, year, coudesc from Stamp left join country on stamp.couid = country.couid "
     u"where not wantlist and not sold ",
     u"and stamp.couid = ", u" order by coudesc, descr"},
    {9, u"Stamps by Type", u"Type", u"typedesc",
     u"Select descr, CatNum, Quantity, Face, year, typedesc from Stamp left join type on stamp.typeid = type.typeid "
     u"where not wantlist and not sold ",
     u"and stamp.typeid = ", u" order by typedesc, descr"},
    {4, u"Stamps by Format", u"Format", u"formdesc",
     u"Select descr, CatNum, Quantity, Face, year, formdesc from Stamp left join format on stamp.formid = "
     u"format.formid where not wantlist and not sold ",
     u"and stamp.formid = ", u" order by formdesc, descr"},
    {8, u"Stamps by Topic", u"Topic", u"topdesc",
     u"Select descr, CatNum, Quantity, Face, year, topdesc from Stamp left join topic on stamp.topid = topic.topid "
     u"where not wantlist and not sold ",
     u"and stamp.topid = ", u" order by topdesc, descr"},
};

class StampsByCategory final : public StandardReport {
public:
    StampsByCategory(const CategoryKind& kind, qint32 selected)
        : StandardReport(MakeTexts(kind, selected)), mGroupField(QString::fromUtf16(kind.groupField))
    {
    }

private:
    static Texts MakeTexts(const CategoryKind& kind, qint32 selected)
    {
        const QString title = QString::fromUtf16(kind.title);
        const QString group = QString::fromUtf16(kind.groupHeading);
        Texts t;
        t.query = QString::fromUtf16(kind.base);
        if (selected != -1) t.query += QString::fromUtf16(kind.filter) + QString::number(selected);
        t.query += QString::fromUtf16(kind.order);
        t.emptyMessage = QStringLiteral("You have not entered any reportable stamps!");
        t.formatPart = QStringLiteral("2160|2880|1440|>1440|>1340|>1340;");
        t.headingRow = group + QStringLiteral("|description|Cat #|Face Value|Year|Quantity;");
        t.pageTitle = title;
        t.textFileName = QStringLiteral("Stamp.txt");
        t.htmlFileName = QStringLiteral("Stamps.htm");
        t.pdfFileName = QStringLiteral("Stamps.pdf");
        t.htmlHeadLine = QStringLiteral("<head><title>") + title + QStringLiteral("</title></head>");
        t.htmlTitleRow = QStringLiteral("<tr><th colspan=7>") + title + QStringLiteral("</th></tr>");
        t.htmlHeadingLines = {QStringLiteral("<tr><th>") + group + QStringLiteral("</th>"),
                              QStringLiteral("<th>Description</th>"),
                              QStringLiteral("<th>Cat #</th>"),
                              QStringLiteral("<th>Face Value</th>"),
                              QStringLiteral("<th>Year</th>"),
                              QStringLiteral("<th>Quantity</th></tr>")};
        // The year stands left in these pages, and the rows are left open
        // ("</td>" without "</tr>"), as readers of these files know them.
        t.htmlRightAligned = {false, false, false, true, false, true};
        t.htmlCloseRow = false;
        return t;
    }

    void Begin(const Recordset& rs) override
    {
        mGroup = ColumnOf(rs, mGroupField);
        mDescr = ColumnOf(rs, QStringLiteral("descr"));
        mCatNum = ColumnOf(rs, QStringLiteral("catnum"));
        mFace = ColumnOf(rs, QStringLiteral("face"));
        mYear = ColumnOf(rs, QStringLiteral("year"));
        mQuantity = ColumnOf(rs, QStringLiteral("quantity"));
    }

    void Cells(const Recordset& rs, std::vector<QString>& cells) override
    {
        const qint64 quantity = WholeOf(rs.FieldAt(mQuantity)).value_or(0);
        mTotal += quantity;
        const auto face = MoneyOf(rs.FieldAt(mFace));
        cells.push_back(TextOf(rs.FieldAt(mGroup)));
        cells.push_back(TextOf(rs.FieldAt(mDescr)));
        cells.push_back(TextOf(rs.FieldAt(mCatNum)));
        cells.push_back(face ? FormatCurrency(*face) : QString());
        cells.push_back(TextOf(rs.FieldAt(mYear)));
        cells.push_back(QString::number(quantity));
    }

    TotalsLines Totals() const override
    {
        const QString total = QString::number(mTotal);
        TotalsLines lines;
        lines.preview << QStringLiteral("5040|>5560;Total Stamps|") + total + u';';
        lines.text << QStringLiteral("\t\t\t\t\t") + total;
        lines.html << QStringLiteral("<tr><td>Total Stamps</td><td align=right colspan=5>") + total +
                          QStringLiteral("</td></tr>");
        return lines;
    }

    const QString mGroupField;
    int mGroup = 0, mDescr = 0, mCatNum = 0, mFace = 0, mYear = 0, mQuantity = 0;
    qint64 mTotal = 0;
};

}  // namespace

void SalesReport()
{
    MoneyReport(true).Run();
}

void ValueReport()
{
    MoneyReport(false).Run();
}

void WantListReport()
{
    WantList().Run();
}

void CategoryReport()
{
    const CategoryKind* kind = nullptr;
    for (const CategoryKind& k : kCategoryKinds)
        if (k.category == gRptCategory) kind = &k;
    if (!kind) return;
    reportPresenter().SelectCategory();
    if (gRptCancel) return;
    StampsByCategory(*kind, gRptSelID).Run();
}
