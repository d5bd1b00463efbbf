#include "custom/CustomRows.h"

#include "dates/LocaleFormats.h"
#include "db/FieldValue.h"
#include "images/PictureIntake.h"

#include <charconv>
#include <cmath>

QString GeneralNumberText(double value)
{
    if (!std::isfinite(value)) return QString();
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return FormatGeneralNumber(rounded == 0 ? 0.0 : rounded);
}

QString CellText(const ReportColumn& column, const QVariant& value)
{
    const bool empty = !value.isValid() || value.isNull();
    switch (column.datatype) {
        case FieldType::Number: {
            if (empty) return QString();
            if (column.isCurrency) {
                if (const auto money = MoneyOf(value)) return FormatCurrency(*money);
            } else if (const auto number = NumberOf(value)) {
                return GeneralNumberText(*number);
            }
            return TextOf(value);
        }
        case FieldType::Date: {
            if (empty) return QString();
            if (const auto date = DateOf(value)) return FormatShortDate(*date);
            return TextOf(value);
        }
        case FieldType::YesNo:
            return BoolOf(value) ? QStringLiteral("Yes") : QStringLiteral("No");
        case FieldType::Image:
            return QString();
        default:
            return TextOf(value);
    }
}

namespace {

QString JoinLine(CustomTarget target, const QString& columnFormat, const QList<ReportColumn>& columns,
                 const QStringList& cells)
{
    // Values go into a text file as they are, tabs included, but a line break
    // would split the record's line. A picture has no place in it.
    if (target == CustomTarget::TextFile) {
        QStringList lines;
        lines.reserve(cells.size());
        for (qsizetype i = 0; i < cells.size(); ++i)
            if (i >= columns.size() || columns[i].datatype != FieldType::Image) lines.append(OneLineText(cells[i]));
        return lines.join(u'\t');
    }
    return columnFormat + cells.join(u'|') + u';';
}

}  // namespace

QString RecordLine(CustomTarget target, const QString& columnFormat, const QList<ReportColumn>& columns,
                   const QStringList& cells, const std::vector<QByteArray>& pictures)
{
    if (target != CustomTarget::HtmlFile) return JoinLine(target, columnFormat, columns, cells);
    // Written in place, with room made once: a report has a line for every record.
    qsizetype size = 9;
    for (const QString& cell : cells) size += cell.size() + 21;
    QString line;
    line.reserve(size);
    line += u"<tr>";
    for (qsizetype i = 0; i < columns.size() && i < cells.size(); ++i) {
        line += columns[i].datatype == FieldType::Number ? QStringView(u"<td align=right>") : QStringView(u"<td>");
        if (columns[i].datatype == FieldType::Image) {
            const auto at = static_cast<size_t>(i);
            if (at < pictures.size() && !pictures[at].isEmpty()) line += HtmlImage(pictures[at]);
        } else {
            AppendHtmlEscaped(line, cells[i]);
        }
        line += u"</td>";
    }
    line += u"</tr>";
    return line;
}

QString TotalsLine(CustomTarget target, const QString& columnFormat, const QList<ReportColumn>& columns,
                   const QStringList& cells)
{
    if (target != CustomTarget::HtmlFile) return JoinLine(target, columnFormat, columns, cells);
    QString line = QStringLiteral("<tr>");
    for (qsizetype i = 0; i < columns.size() && i < cells.size(); ++i) {
        if (columns[i].total)
            line += QStringLiteral("<td align=right>") + HtmlEscape(cells[i]) + QStringLiteral("</td>");
        else
            line += QStringLiteral("<TD>&nbsp;</TD>");
    }
    return line + QStringLiteral("</tr>");
}

QString HtmlImage(const QByteArray& thumbnail)
{
    return QStringLiteral("<img src=\"data:") + ThumbnailMimeType(thumbnail) + QStringLiteral(";base64,") +
           QString::fromLatin1(thumbnail.toBase64()) + QStringLiteral("\" alt=\"Image\">");
}

QStringList HtmlTail()
{
    return {QStringLiteral("</table>"), QStringLiteral("</body>"), QStringLiteral("</html>")};
}
