#include "custom/CustomQuery.h"

#include "custom/CustomRows.h"
#include "dates/LocaleFormats.h"
#include "db/SqlDialect.h"

namespace {

// A code table is joined once: a table already named in the from text is not
// joined again.
void AddJoin(QString& from, const CatalogueField& field)
{
    if (field.filename == kStampTable || from.contains(field.filename, Qt::CaseSensitive)) return;
    const QString source = field.joinSql.isEmpty() ? field.filename : field.joinSql + u' ' + field.filename;
    from = u'(' + from + QStringLiteral(" left join ") + source + QStringLiteral(" on ") + kStampTable.toString() +
           u'.' + field.linkfield + QStringLiteral(" = ") + field.filename + u'.' + field.linkfield + u')';
}

// A number criterion goes in as the number it means, in the query's own form,
// whatever the locale it was typed in.
void AddNumberCriterion(QString& where, const QString& fieldname, const QString& op, const QString& typed)
{
    if (typed.isEmpty()) return;
    const auto value = ParseNumber(typed);
    if (!value) return;
    where += QStringLiteral(" and ") + fieldname + op + SqlNumber(*value);
}

void AddCriteria(QString& where, const CatalogueField& field, const FieldSettings& s)
{
    const QString& name = field.fieldname;
    switch (field.datatype) {
        case FieldType::Text:
            if (!s.mStarting.isEmpty())
                where += QStringLiteral(" and ") + name + QStringLiteral(" like '") + SqlQuote(LikeText(s.mStarting)) +
                         QStringLiteral("*'");
            break;
        case FieldType::Number:
            AddNumberCriterion(where, name, QStringLiteral(" < "), s.mLess);
            AddNumberCriterion(where, name, QStringLiteral(" > "), s.mGreater);
            break;
        case FieldType::Date:
            if (s.mStartDate.isValid())
                where += QStringLiteral(" and ") + name + QStringLiteral(" >= ") + DateLiteral(s.mStartDate);
            if (s.mEndDate.isValid())
                where += QStringLiteral(" and ") + name + QStringLiteral(" <= ") + DateLiteral(s.mEndDate);
            break;
        case FieldType::YesNo:
            if (s.mOptTrue) where += QStringLiteral(" and ") + name;
            if (s.mOptFalse) where += QStringLiteral(" and not ") + name;
            break;
        default:
            break;
    }
}

}  // namespace

bool CustomQuery::HasTotals() const
{
    for (const ReportColumn& column : columns)
        if (column.total) return true;
    return false;
}

float WidthFactor(WidthUnit unit)
{
    return unit == WidthUnit::Centimeters ? 561.6F : 1440.0F;
}

QString ColumnWidthText(float width, WidthUnit unit)
{
    // The print surface reads the widths: one form for every locale, whatever its
    // digits and decimal mark.
    const float twips = width * WidthFactor(unit);
    return PlainSingle(twips);
}

QString DateLiteral(const QDate& date)
{
    return u'#' + QString::number(date.month()) + u'/' + QString::number(date.day()) + u'/' +
           QString::number(date.year()) + u'#';
}

CustomQuery BuildCustomQuery(const FieldCatalogue& catalogue, const FieldSettingsTable& settings,
                             const CustomQueryInput& input)
{
    CustomQuery q;
    q.fromText = kStampTable.toString();
    QString headings;
    QString headingCells;
    for (int specId : input.fields) {
        const CatalogueField* field = catalogue.Find(specId);
        if (!field) continue;
        const FieldSettings& s = settings[specId];
        if (!s.mHide) {
            if (!q.selectList.isEmpty()) q.selectList += QStringLiteral(", ");
            q.selectList += field->fieldname;
            if (field->datatype == FieldType::Number) q.columnFormat += u'>';
            q.columnFormat += ColumnWidthText(s.mWidth, input.unit) + u'|';
            headings += field->desc + u'|';
            headingCells += QStringLiteral("<th>") + HtmlEscape(field->desc) + QStringLiteral("</th>");
            q.columns.append({specId, field->desc, field->fieldname, field->datatype, s.mIsCurrency,
                              field->datatype == FieldType::Number && s.mTotal});
        }
        AddCriteria(q.whereText, *field, s);
        AddJoin(q.fromText, *field);
    }

    // Drops the first " and", which leaves one leading space.
    if (!q.whereText.isEmpty()) q.whereText.remove(0, 4);
    q.columnFormat.chop(1);
    q.columnFormat += u';';
    headings.chop(1);
    q.heading = q.columnFormat + headings + u';';

    // A sort key from a code table that no report field joined brings its own join.
    for (const auto& key : {input.sort1, input.sort2}) {
        if (!key) continue;
        const CatalogueField* field = catalogue.Find(*key);
        if (!field) continue;
        q.orderText += (q.orderText.isEmpty() ? QStringLiteral(" order by ") : QStringLiteral(", ")) + field->fieldname;
        AddJoin(q.fromText, *field);
    }

    q.sql = QStringLiteral("Select ") + q.selectList + QStringLiteral(" from ") + q.fromText;
    if (!q.whereText.isEmpty()) q.sql += QStringLiteral(" where ") + q.whereText;
    q.sql += q.orderText;

    const QString title = HtmlEscape(input.title);
    q.htmlHead = {
        QStringLiteral("<html>"),
        QStringLiteral("<head><title>") + title + QStringLiteral("</title></head>"),
        QStringLiteral("<body>"),
        QStringLiteral("<table border=1>"),
        QStringLiteral("<tr><th colspan = ") + QString::number(q.columns.size()) + u'>' + title +
            QStringLiteral("</th></tr>"),
        QStringLiteral("<tr>"),
        headingCells + QStringLiteral("</tr>"),
    };
    return q;
}
