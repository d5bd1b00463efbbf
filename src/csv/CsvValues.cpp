#include "csv/CsvValues.h"

#include "csv/StampFields.h"
#include "dates/LocaleFormats.h"
#include "search/Folding.h"

#include <QRegularExpression>

#include <limits>

namespace {

QChar MarkChar(DecimalMark mark)
{
    return mark == DecimalMark::Comma ? u',' : u'.';
}

bool IsAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool IsGroupChar(QChar c, QChar other)
{
    return c == other || c == u' ' || c == u'\u00A0' || c == u'\u2009' || c == u'\u202F' || c == u'\'' ||
           c == u'\u2019';
}

struct Number {
    bool negative = false;
    QString whole;     // digits only, no grouping
    QString fraction;  // digits only
};

// Takes the sign, parentheses and currency signs off a number's text.
QString Bare(QString s, bool& negative)
{
    s = s.trimmed();
    if (s.size() >= 2 && s.startsWith(u'(') && s.endsWith(u')')) {
        negative = true;
        s = s.mid(1, s.size() - 2).trimmed();
    }
    bool sign = false;
    bool currency = false;
    for (bool changed = true; changed && !s.isEmpty();) {
        changed = false;
        if (!currency) {
            if (s.front().category() == QChar::Symbol_Currency) {
                s = s.mid(1).trimmed();
                currency = changed = true;
            } else if (s.back().category() == QChar::Symbol_Currency) {
                s.chop(1);
                s = s.trimmed();
                currency = changed = true;
            } else if (s.size() > 3 && s.left(3).isUpper() && s.at(3).isSpace() && s.left(3).front().isLetter() &&
                       s.at(1).isLetter() && s.at(2).isLetter()) {
                s = s.mid(3).trimmed();  // an ISO currency code: "EUR 1,50"
                currency = changed = true;
            } else if (s.size() > 3 && s.right(3).isUpper() && s.at(s.size() - 4).isSpace() &&
                       s.at(s.size() - 1).isLetter() && s.at(s.size() - 2).isLetter() &&
                       s.at(s.size() - 3).isLetter()) {
                s.chop(3);
                s = s.trimmed();
                currency = changed = true;
            }
        }
        if (!sign && !s.isEmpty()) {
            for (const QChar c : {QChar(u'-'), QChar(u'\u2212'), QChar(u'+')}) {
                if (s.front() == c) {
                    s = s.mid(1).trimmed();
                } else if (s.back() == c) {
                    s.chop(1);
                    s = s.trimmed();
                } else {
                    continue;
                }
                negative = negative || c != u'+';
                sign = changed = true;
                break;
            }
        }
    }
    return s;
}

// Splits a number's digits at the decimal mark; nothing when the text is no
// number in that convention.
std::optional<Number> SplitDigits(const QString& text, DecimalMark mark)
{
    Number n;
    const QString s = Bare(text, n.negative);
    if (s.isEmpty()) return std::nullopt;
    const QChar point = MarkChar(mark);
    const QChar other = mark == DecimalMark::Comma ? u'.' : u',';
    const qsizetype at = s.indexOf(point);
    const QString whole = at < 0 ? s : s.left(at);
    const QString fraction = at < 0 ? QString() : s.mid(at + 1);
    for (const QChar c : fraction)
        if (!IsAsciiDigit(c)) return std::nullopt;
    // Groups of three digits after the first group, between digits only.
    qsizetype groupLength = -1;  // digits since the last group separator; -1 before any
    qsizetype firstGroup = 0;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        const QChar c = whole.at(i);
        if (IsAsciiDigit(c)) {
            n.whole += c;
            if (groupLength >= 0)
                ++groupLength;
            else
                ++firstGroup;
            continue;
        }
        if (!IsGroupChar(c, other)) return std::nullopt;
        if (i == 0 || !IsAsciiDigit(whole.at(i - 1))) return std::nullopt;
        if (groupLength < 0 ? firstGroup > 3 : groupLength != 3) return std::nullopt;
        groupLength = 0;
    }
    if (groupLength >= 0 && groupLength != 3) return std::nullopt;
    n.fraction = fraction;
    if (n.whole.isEmpty() && n.fraction.isEmpty()) return std::nullopt;
    return n;
}

QString Quoted(const QString& text)
{
    return u'"' + text + u'"';
}

QString NotAmount(const QString& text, DecimalMark mark)
{
    const QString other = mark == DecimalMark::Comma ? QStringLiteral(".") : QStringLiteral(",");
    if (text.contains(other) && !text.contains(MarkChar(mark)))
        return Quoted(text) + (mark == DecimalMark::Comma ? QStringLiteral(" is not an amount with a decimal comma")
                                                          : QStringLiteral(" is not an amount with a decimal point"));
    return Quoted(text) + QStringLiteral(" is not an amount");
}

struct DateParts {
    QStringList numbers;
    bool valid = false;
};

// The numbers of a date's text, without a time that follows it.
DateParts SplitDate(QString s)
{
    DateParts parts;
    s = s.trimmed();
    static const QRegularExpression time(QStringLiteral("[ T]\\d{1,2}:\\d{2}"));
    if (s.contains(u':')) {
        const qsizetype at = s.indexOf(time);
        if (at <= 0) return parts;
        s = s.left(at).trimmed();
    }
    if (s.endsWith(u'.')) s.chop(1);
    QString current;
    for (const QChar c : s) {
        if (IsAsciiDigit(c)) {
            current += c;
        } else if (c == u'/' || c == u'.' || c == u'-' || c.isSpace()) {
            if (current.isEmpty()) {
                if (c.isSpace() && !parts.numbers.isEmpty()) continue;  // blanks after a separator
                return parts;
            }
            parts.numbers << current;
            current.clear();
        } else {
            return parts;
        }
    }
    if (current.isEmpty()) return parts;
    parts.numbers << current;
    parts.valid = true;
    return parts;
}

const QStringList& YesWords()
{
    static const QStringList words = {QStringLiteral("yes"),    QStringLiteral("y"),      QStringLiteral("true"),
                                      QStringLiteral("1"),      QStringLiteral("-1"),     QStringLiteral("x"),
                                      QStringLiteral("ja"),     QStringLiteral("j"),      QStringLiteral("wahr"),
                                      QStringLiteral("oui"),    QStringLiteral("vrai"),   QStringLiteral("si"),
                                      QStringLiteral("\u2713"), QStringLiteral("\u2714"), QStringLiteral("\u2611")};
    return words;
}

const QStringList& NoWords()
{
    static const QStringList words = {QStringLiteral("no"),  QStringLiteral("n"),    QStringLiteral("false"),
                                      QStringLiteral("0"),   QStringLiteral("nein"), QStringLiteral("falsch"),
                                      QStringLiteral("non"), QStringLiteral("faux")};
    return words;
}

YesNoStyle StyleOfWord(const QString& folded)
{
    if (folded == u"1" || folded == u"0" || folded == u"-1") return YesNoStyle::OneZero;
    if (folded == u"true" || folded == u"false" || folded == u"wahr" || folded == u"falsch" || folded == u"vrai" ||
        folded == u"faux")
        return YesNoStyle::TrueFalse;
    if (YesWords().contains(folded) && folded.size() == 1 && folded != u"y" && folded != u"j") return YesNoStyle::Mark;
    if (YesWords().contains(folded) || NoWords().contains(folded)) return YesNoStyle::YesNo;
    return YesNoStyle::Mark;
}

}  // namespace

std::optional<Money> ReadAmount(const QString& text, DecimalMark mark, QString* reason)
{
    const auto n = SplitDigits(text, mark);
    if (!n) {
        if (reason) *reason = NotAmount(text.trimmed(), mark);
        return std::nullopt;
    }
    QString whole = n->whole;
    while (whole.size() > 1 && whole.startsWith(u'0')) whole.remove(0, 1);
    const auto tooLarge = [&] {
        if (reason) *reason = Quoted(text.trimmed()) + QStringLiteral(" is too large an amount");
        return std::nullopt;
    };
    if (whole.size() > 14) return tooLarge();
    qint64 units = whole.isEmpty() ? 0 : whole.toLongLong() * Money::kScale;
    const QString fraction = n->fraction;
    const bool roundUp = fraction.size() > 4 && fraction.at(4) >= u'5';
    units += fraction.left(4).leftJustified(4, u'0').toLongLong() + (roundUp ? 1 : 0);
    const Money money = Money::FromUnits(n->negative ? -units : units);
    if (!money.Fits()) return tooLarge();
    return money;
}

std::optional<qint64> ReadWhole(const QString& text, DecimalMark mark, qint64 minimum, qint64 maximum, QString* reason)
{
    const auto n = SplitDigits(text, mark);
    bool whole = n.has_value();
    if (whole)
        for (const QChar c : n->fraction) whole = whole && c == u'0';
    if (!whole) {
        if (reason) *reason = Quoted(text.trimmed()) + QStringLiteral(" is not a whole number");
        return std::nullopt;
    }
    QString digits = n->whole;
    while (digits.size() > 1 && digits.startsWith(u'0')) digits.remove(0, 1);
    bool ok = digits.size() <= 18;
    qint64 value = ok && !digits.isEmpty() ? digits.toLongLong(&ok) : 0;
    if (n->negative) value = -value;
    if (!ok || value < minimum || value > maximum) {
        if (reason)
            *reason =
                Quoted(text.trimmed()) + QStringLiteral(" is not a number from %1 to %2").arg(minimum).arg(maximum);
        return std::nullopt;
    }
    return value;
}

std::optional<QDate> ReadDate(const QString& text, DateOrder order, QString* reason, int* partialYear)
{
    const DateParts parts = SplitDate(text);
    const auto refuse = [&]() -> std::optional<QDate> {
        if (reason) *reason = Quoted(text.trimmed()) + QStringLiteral(" is not a date");
        return std::nullopt;
    };
    if (!parts.valid) return refuse();
    const QStringList& p = parts.numbers;
    if (partialYear && p.size() <= 2 && p.front().size() == 4) {
        const int month = p.size() == 2 ? p.at(1).toInt() : 1;
        if (p.size() == 2 && (p.at(1).size() > 2 || month < 1 || month > 12)) return refuse();
        const int year = p.front().toInt();
        if (year < 1) return refuse();
        *partialYear = year;
        return std::nullopt;
    }
    if (p.size() != 3) return refuse();
    int y = 0, m = 0, d = 0;
    QString yearText;
    if (p.at(0).size() == 4 || order == DateOrder::Ymd) {
        yearText = p.at(0);
        m = p.at(1).toInt();
        d = p.at(2).toInt();
    } else if (order == DateOrder::Dmy) {
        d = p.at(0).toInt();
        m = p.at(1).toInt();
        yearText = p.at(2);
    } else {
        m = p.at(0).toInt();
        d = p.at(1).toInt();
        yearText = p.at(2);
    }
    if (p.at(0).size() > 4 || p.at(1).size() > 2 || p.at(2).size() > 4) return refuse();
    if (yearText.size() == 3) return refuse();
    y = yearText.toInt();
    if (yearText.size() <= 2) y += y < 30 ? 2000 : 1900;
    const QDate date(y, m, d);
    if (y < 1 || !date.isValid()) return refuse();
    return date;
}

std::optional<bool> ReadYesNo(const QString& text, YesNoStyle style, QString* reason)
{
    const QString folded = FoldText(text.trimmed());
    if (folded.isEmpty() || NoWords().contains(folded)) return false;
    if (YesWords().contains(folded) || style == YesNoStyle::Mark) return true;
    if (reason) *reason = Quoted(text.trimmed()) + QStringLiteral(" is not a yes or no");
    return std::nullopt;
}

namespace {

// What the values of a sample say about its conventions.
struct Evidence {
    int point = 0, comma = 0;
    int dayFirst = 0, monthFirst = 0, otherDates = 0;
    bool dottedDates = false;
    int styles[4] = {0, 0, 0, 0};

    void Amount(const QString& text)
    {
        bool negative = false;
        const QString s = Bare(text, negative);
        const qsizetype lastPoint = s.lastIndexOf(u'.');
        const qsizetype lastComma = s.lastIndexOf(u',');
        if (lastPoint >= 0 && lastComma >= 0) {
            ++(lastPoint > lastComma ? point : comma);
        } else if (lastPoint >= 0 || lastComma >= 0) {
            const QChar mark = lastPoint >= 0 ? u'.' : u',';
            const qsizetype at = std::max(lastPoint, lastComma);
            if (s.count(mark) > 1)
                ++(mark == u'.' ? comma : point);  // a grouping mark
            else if (s.size() - at - 1 != 3)
                ++(mark == u'.' ? point : comma);
        }
    }
    void Date(const QString& text)
    {
        const DateParts parts = SplitDate(text);
        if (!parts.valid || parts.numbers.size() != 3 || parts.numbers.front().size() == 4) return;
        ++otherDates;
        if (text.contains(u'.')) dottedDates = true;
        if (parts.numbers.at(0).toInt() > 12) ++dayFirst;
        if (parts.numbers.at(1).toInt() > 12) ++monthFirst;
    }
};

bool IsAmountText(const QString& text)
{
    bool negative = false;
    const QString s = Bare(text, negative);
    bool digit = false;
    for (const QChar c : s) {
        if (IsAsciiDigit(c))
            digit = true;
        else if (c != u'.' && c != u',' && !IsGroupChar(c, u','))
            return false;
    }
    return digit;
}

bool IsDateText(const QString& text)
{
    const DateParts parts = SplitDate(text);
    return parts.valid && parts.numbers.size() == 3;
}

}  // namespace

ValueConventions GuessConventions(const std::vector<QStringList>& rows, const std::vector<int>& mapping,
                                  QChar separator)
{
    Evidence e;
    const auto& fields = StampFields();
    qsizetype columns = 0;
    for (const QStringList& row : rows) columns = std::max(columns, row.size());
    for (const QStringList& row : rows) {
        for (qsizetype column = 0; column < row.size() && column < qsizetype(mapping.size()); ++column) {
            const int field = mapping[size_t(column)];
            if (!IsStampField(field)) continue;
            const QString text = row.at(column).trimmed();
            if (text.isEmpty()) continue;
            switch (fields[size_t(field)].kind) {
                case FieldKind::Money:
                case FieldKind::Total:
                    e.Amount(text);
                    break;
                case FieldKind::Date:
                    e.Date(text);
                    break;
                case FieldKind::YesNo:
                    ++e.styles[int(StyleOfWord(FoldText(text)))];
                    break;
                default:
                    break;
            }
        }
    }
    // Columns not given a field yet may be given one by hand: where the mapped
    // columns tell nothing, columns that hold nothing but amounts, or nothing
    // but dates, tell.
    if (e.point == e.comma || e.otherDates == 0) {
        Evidence other;
        for (qsizetype column = 0; column < columns; ++column) {
            if (column < qsizetype(mapping.size()) && mapping[size_t(column)] >= 0) continue;
            bool amounts = true, dates = true, any = false;
            for (const QStringList& row : rows) {
                const QString text = column < row.size() ? row.at(column).trimmed() : QString();
                if (text.isEmpty()) continue;
                any = true;
                amounts = amounts && IsAmountText(text);
                dates = dates && IsDateText(text);
            }
            if (!any) continue;
            for (const QStringList& row : rows) {
                const QString text = column < row.size() ? row.at(column).trimmed() : QString();
                if (text.isEmpty()) continue;
                if (dates)
                    other.Date(text);
                else if (amounts)
                    other.Amount(text);
            }
        }
        if (e.point == e.comma) {
            e.point = other.point;
            e.comma = other.comma;
        }
        if (e.otherDates == 0) {
            e.dayFirst = other.dayFirst;
            e.monthFirst = other.monthFirst;
            e.otherDates = other.otherDates;
            e.dottedDates = other.dottedDates;
        }
    }

    ValueConventions c;
    const bool european = separator == u';';
    c.decimal = e.comma > e.point   ? DecimalMark::Comma
                : e.point > e.comma ? DecimalMark::Point
                : european          ? DecimalMark::Comma
                                    : DecimalMark::Point;
    if (e.dayFirst > e.monthFirst)
        c.dates = DateOrder::Dmy;
    else if (e.monthFirst > e.dayFirst)
        c.dates = DateOrder::Mdy;
    else if (e.otherDates == 0)
        c.dates = DateOrder::Ymd;
    else if (e.dottedDates || european || c.decimal == DecimalMark::Comma)
        c.dates = DateOrder::Dmy;
    else
        c.dates = LocaleDateOrder() == u"dmy" ? DateOrder::Dmy : DateOrder::Mdy;
    int best = 0;
    for (int style = 1; style < 4; ++style)
        if (e.styles[style] > e.styles[best]) best = style;
    c.yesNo = YesNoStyle(best);
    return c;
}

QString PlainAmount(Money amount)
{
    const qint64 units = amount.Units();
    const quint64 magnitude = units < 0 ? 0 - static_cast<quint64>(units) : static_cast<quint64>(units);
    QString text = units < 0 ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / Money::kScale);
    QString fraction = QString::number(magnitude % Money::kScale).rightJustified(4, u'0');
    while (fraction.size() > 2 && fraction.endsWith(u'0')) fraction.chop(1);
    return text + u'.' + fraction;
}

QString IsoDate(const QDate& date)
{
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

QString YesNoText(bool value)
{
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString ProtectFormula(const QString& text)
{
    if (text.isEmpty()) return text;
    switch (text.front().unicode()) {
        case u'=':
        case u'+':
        case u'-':
        case u'@':
        case u'\t':
        case u'\r':
        case u'\'':
            return u'\'' + text;
        default:
            return text;
    }
}

QString UnprotectFormula(const QString& text)
{
    if (text.size() >= 2 && text.front() == u'\'' && ProtectFormula(text.mid(1)).size() == text.size())
        return text.mid(1);
    return text;
}

QString DecimalMarkName(DecimalMark mark)
{
    return mark == DecimalMark::Comma ? QStringLiteral("Comma (1234,56)") : QStringLiteral("Point (1234.56)");
}

QString DateOrderName(DateOrder order)
{
    switch (order) {
        case DateOrder::Ymd:
            return QStringLiteral("Year-month-day (1998-05-31)");
        case DateOrder::Dmy:
            return QStringLiteral("Day/month/year (31/05/1998)");
        case DateOrder::Mdy:
            return QStringLiteral("Month/day/year (05/31/1998)");
    }
    return QString();
}

QString YesNoStyleName(YesNoStyle style)
{
    switch (style) {
        case YesNoStyle::YesNo:
            return QStringLiteral("Yes / No");
        case YesNoStyle::TrueFalse:
            return QStringLiteral("True / False");
        case YesNoStyle::OneZero:
            return QStringLiteral("1 / 0");
        case YesNoStyle::Mark:
            return QStringLiteral("x or blank");
    }
    return QString();
}
