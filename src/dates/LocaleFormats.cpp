#include "dates/LocaleFormats.h"

#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace {

bool IsFormatMark(QChar c)
{
    // Bidirectional marks that some locales put around numbers and dates.
    const char16_t u = c.unicode();
    return u == 0x200E || u == 0x200F || u == 0x061C || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

// Blanks of every kind become plain spaces, format marks go, and the locale's own
// digits become ASCII digits.
QString Normalise(const QString& text, const QLocale& locale)
{
    const QString zero = locale.zeroDigit();
    const char32_t zeroCode = zero.size() == 1 ? zero.at(0).unicode() : U'0';
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (IsFormatMark(c)) continue;
        if (c.isSpace() || c.unicode() == 0x00A0 || c.unicode() == 0x202F || c.unicode() == 0x2007) {
            out += u' ';
        } else if (zeroCode != U'0' && c.unicode() >= zeroCode && c.unicode() <= zeroCode + 9) {
            out += QChar(u'0' + (c.unicode() - zeroCode));
        } else {
            out += c;
        }
    }
    return out.trimmed();
}

QString NormaliseSeparator(QString sep)
{
    for (QChar& c : sep)
        if (c.unicode() == 0x00A0 || c.unicode() == 0x202F || c.unicode() == 0x2007) c = u' ';
    return sep;
}

// A number split into its digits: sign, whole part and fraction as ASCII digits.
struct Digits {
    bool negative = false;
    QString whole;
    QString fraction;
};

std::optional<Digits> SplitNumber(const QString& input)
{
    const QLocale locale;
    QString s = Normalise(input, locale);
    if (s.isEmpty()) return std::nullopt;

    Digits d;
    if (s.startsWith(u'(') && s.endsWith(u')')) {
        d.negative = true;
        s = s.mid(1, s.size() - 2).trimmed();
    }
    const QString symbol = Normalise(locale.currencySymbol(QLocale::CurrencySymbol), locale);
    const QString isoCode = locale.currencySymbol(QLocale::CurrencyIsoCode);
    const QString minus = locale.negativeSign();
    bool sawSign = false;
    bool sawSymbol = false;
    // Strip the currency symbol and a sign from either end, in any order.
    for (bool changed = true; changed && !s.isEmpty();) {
        changed = false;
        for (const QString& sym : {symbol, isoCode}) {
            if (sym.isEmpty() || sawSymbol) continue;
            if (s.startsWith(sym)) { s = s.mid(sym.size()).trimmed(); sawSymbol = changed = true; }
            else if (s.endsWith(sym)) { s.chop(sym.size()); s = s.trimmed(); sawSymbol = changed = true; }
        }
        if (sawSign) continue;
        for (const QString& sign : {QStringLiteral("-"), QStringLiteral("\u2212"), minus, QStringLiteral("+")}) {
            if (sign.isEmpty()) continue;
            if (s.startsWith(sign)) { d.negative = d.negative || sign != u"+"; s = s.mid(sign.size()).trimmed(); sawSign = changed = true; break; }
            if (s.endsWith(sign)) { d.negative = d.negative || sign != u"+"; s.chop(sign.size()); s = s.trimmed(); sawSign = changed = true; break; }
        }
    }
    if (s.isEmpty()) return std::nullopt;

    const QString decimal = locale.decimalPoint();
    const QString group = NormaliseSeparator(locale.groupSeparator());
    const qsizetype point = decimal.isEmpty() ? -1 : s.indexOf(decimal);
    QString whole = point < 0 ? s : s.left(point);
    const QString fraction = point < 0 ? QString() : s.mid(point + decimal.size());
    if (whole.isEmpty() && fraction.isEmpty()) return std::nullopt;
    for (QChar c : fraction)
        if (!c.isDigit() || c.unicode() > 127) return std::nullopt;

    // Grouping separators may only stand between digits, each followed by at
    // least two digits, so "12,5" is not read as 125 under a grouping comma.
    QString digits;
    qsizetype sinceGroup = -1;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        const QChar c = whole.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            if (sinceGroup >= 0) ++sinceGroup;
            continue;
        }
        const bool isGroup = !group.isEmpty() && whole.mid(i, group.size()) == group;
        if (!isGroup || digits.isEmpty() || (sinceGroup >= 0 && sinceGroup < 2)) return std::nullopt;
        sinceGroup = 0;
        i += group.size() - 1;
    }
    if (sinceGroup >= 0 && sinceGroup < 2) return std::nullopt;
    if (digits.isEmpty() && fraction.isEmpty()) return std::nullopt;
    d.whole = digits;
    d.fraction = fraction;
    return d;
}

int LocaleCurrencyDecimals(const QLocale& locale)
{
    const QString sample = Normalise(locale.toCurrencyString(1.0), locale);
    const qsizetype point = sample.indexOf(locale.decimalPoint());
    if (point < 0) return 0;
    int count = 0;
    for (qsizetype i = point + locale.decimalPoint().size(); i < sample.size() && sample.at(i).isDigit(); ++i) ++count;
    return count;
}

QString LocalisePlainNumber(QString plain)
{
    const QLocale locale;
    if (locale.decimalPoint() != u".") plain.replace(u'.', locale.decimalPoint());
    if (plain.startsWith(u'-')) plain = locale.negativeSign() + plain.mid(1);
    const QString zero = locale.zeroDigit();
    if (zero != u"0" && zero.size() == 1) {
        for (QChar& c : plain)
            if (c.isDigit() && c.unicode() < 128) c = QChar(zero.at(0).unicode() + (c.unicode() - u'0'));
    }
    return plain;
}

// Writes a non-negative number in the locale's digits, with leading zeros up to width.
void AppendDigits(QString& out, qint64 number, int width, char16_t zero)
{
    QChar digits[24];
    qsizetype first = 24;
    do {
        digits[--first] = QChar(static_cast<char16_t>(zero + number % 10));
        number /= 10;
    } while (number > 0 && first > 0);
    while (24 - first < width && first > 0) digits[--first] = QChar(zero);
    out.append(digits + first, 24 - first);
}

// What the currency format needs of one locale, worked out once: reports show
// hundreds of thousands of amounts, and asking the locale for its pattern costs
// far more than writing the digits.
struct CurrencyForm {
    struct Pattern {
        bool found = false;
        QString before;  // symbol, sign and spacing before the digits
        QString after;
    };
    QLocale locale;
    int localeDecimals = 0;
    QString decimalPoint;
    char16_t zero = u'0';
    // Whole numbers below 1000 are written as bare digits (no grouping), so they
    // need no call into the locale.
    bool plainBelow1000 = false;
    // By count of decimals (the locale's up to four, or more when the locale has
    // more), positive and negative.
    std::vector<std::array<Pattern, 2>> patterns;
};

const CurrencyForm& CurrencyFormOf(const QLocale& locale)
{
    thread_local std::optional<CurrencyForm> cached;
    if (cached && cached->locale == locale) return *cached;
    CurrencyForm form;
    form.locale = locale;
    form.localeDecimals = LocaleCurrencyDecimals(locale);
    form.decimalPoint = locale.decimalPoint();
    const QString zero = locale.zeroDigit();
    // Digits that are not one UTF-16 unit stay ASCII, as LocalisePlainNumber leaves them.
    form.zero = zero.size() == 1 ? zero.at(0).unicode() : u'0';
    form.plainBelow1000 = true;
    for (qint64 n = 0; n < 1000 && form.plainBelow1000; ++n) {
        QString digits;
        AppendDigits(digits, n, 0, form.zero);
        form.plainBelow1000 = digits == locale.toString(n);
    }
    form.patterns.resize(static_cast<size_t>(std::max(form.localeDecimals, 4)) + 1);
    for (int decimals = 0; decimals < static_cast<int>(form.patterns.size()); ++decimals) {
        const QString one = locale.toString(1.0, 'f', decimals);
        for (int negative = 0; negative < 2; ++negative) {
            const QString pattern = locale.toCurrencyString(negative ? -1.0 : 1.0, QString(), decimals);
            const qsizetype at = pattern.indexOf(one);
            CurrencyForm::Pattern& p = form.patterns[static_cast<size_t>(decimals)][static_cast<size_t>(negative)];
            p.found = at >= 0;
            if (p.found) {
                p.before = pattern.left(at);
                p.after = pattern.mid(at + one.size());
            }
        }
    }
    cached = std::move(form);
    return *cached;
}

struct DatePattern {
    QString pattern;  // for QLocale::toString
    QString order;    // "mdy", "dmy", "ymd", ...
    // The same pattern as three numbers between separators, written without the
    // locale's general date formatting (which parses the pattern on every call).
    // Only used once it has proved to write what QLocale::toString writes.
    struct Field {
        char16_t letter;  // 'd', 'M' or 'y'
        int width;        // at least this many digits
    };
    std::vector<Field> fields;
    QString separator;
    char16_t zero = u'0';
    bool direct = false;

    QString Format(const QDate& date) const
    {
        QString text;
        text.reserve(16);
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) text += separator;
            const int value = fields[i].letter == u'y' ? date.year() : fields[i].letter == u'M' ? date.month() : date.day();
            AppendDigits(text, value, fields[i].width, zero);
        }
        return text;
    }
};

// Splits a pattern of three numeric fields ("M/d/yyyy", "dd.MM.yyyy") for
// DatePattern::Format; leaves fields empty for anything else.
void SplitDatePattern(DatePattern& p, const QLocale& locale)
{
    const QString& text = p.pattern;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        qsizetype run = 1;
        while (i + run < text.size() && text.at(i + run) == c) ++run;
        if (c == u'd' || c == u'M' || c == u'y') {
            const bool fits = c == u'y' ? run == 4 : run <= 2;
            if (!fits || p.fields.size() == 3) {
                p.fields.clear();
                return;
            }
            p.fields.push_back({c.unicode(), static_cast<int>(run)});
        } else if (p.fields.size() == 1 && p.separator.isEmpty()) {
            p.separator = text.mid(i, run);
        } else if (text.mid(i, run) != p.separator) {
            p.fields.clear();
            return;
        }
        i += run;
    }
    if (p.fields.size() != 3) {
        p.fields.clear();
        return;
    }
    const QString zero = locale.zeroDigit();
    p.zero = zero.size() == 1 ? zero.at(0).unicode() : u'0';
    p.direct = true;
    for (const QDate& sample : {QDate(2024, 2, 9), QDate(1999, 12, 31), QDate(1840, 5, 6), QDate(2005, 10, 1)})
        p.direct = p.direct && p.Format(sample) == locale.toString(sample, p.pattern);
}

DatePattern MakeDatePattern(const QLocale& locale)
{
    QString raw = locale.dateFormat(QLocale::ShortFormat);
    // Drop quoted literal text and format marks.
    raw.remove(QRegularExpression(QStringLiteral("'[^']*'")));
    QString format;
    for (QChar c : raw)
        if (!IsFormatMark(c)) format += c;

    static const QRegularExpression field(QStringLiteral("d+|M+|y+"));
    QStringList tokens;
    QString sep;
    qsizetype lastEnd = -1;
    for (auto it = field.globalMatch(format); it.hasNext();) {
        const auto m = it.next();
        if (lastEnd >= 0 && sep.isEmpty()) {
            const QString between = format.mid(lastEnd, m.capturedStart() - lastEnd);
            for (QChar c : QStringLiteral("/.- "))
                if (between.contains(c)) { sep = c; break; }
        }
        tokens << m.captured();
        lastEnd = m.capturedEnd();
    }
    const bool numeric = tokens.size() == 3 && !sep.isEmpty() && !format.contains(QStringLiteral("MMM")) &&
                         !format.contains(QStringLiteral("ddd"));
    if (!numeric) return {QStringLiteral("yyyy-MM-dd"), QStringLiteral("ymd"), {}, {}, u'0', false};
    QString order;
    for (QString& t : tokens) {
        order += t.at(0) == u'y' ? u'y' : t.at(0) == u'M' ? u'm' : u'd';
        if (t.at(0) == u'y') t = QStringLiteral("yyyy");
    }
    if (order.count(u'y') != 1 || order.count(u'm') != 1 || order.count(u'd') != 1)
        return {QStringLiteral("yyyy-MM-dd"), QStringLiteral("ymd"), {}, {}, u'0', false};
    return {tokens.join(sep), order, {}, {}, u'0', false};
}

// The date pattern of the default locale, worked out once per locale: every
// date a report or the main window shows goes through it.
const DatePattern& CurrentDatePattern()
{
    thread_local std::optional<std::pair<QLocale, DatePattern>> cached;
    const QLocale locale;
    if (!cached || !(cached->first == locale)) {
        DatePattern pattern = MakeDatePattern(locale);
        SplitDatePattern(pattern, locale);
        cached.emplace(locale, std::move(pattern));
    }
    return cached->second;
}

int TwoDigitYear(int year) { return year < 30 ? 2000 + year : 1900 + year; }

}  // namespace

QString FormatCurrency(Money value)
{
    const CurrencyForm& form = CurrencyFormOf(QLocale());
    int needed = 0;
    for (qint64 rest = value.Units() % Money::kScale; rest != 0; rest = (rest * 10) % Money::kScale) ++needed;
    const int decimals = std::max(form.localeDecimals, needed);
    const CurrencyForm::Pattern& pattern = form.patterns[static_cast<size_t>(decimals)][value.Units() < 0 ? 1 : 0];
    if (!pattern.found) return form.locale.toCurrencyString(value.ToDouble(), QString(), decimals);
    // The locale gives the pattern (symbol, sign, spacing); the digits are
    // written from the fixed-point value itself, so no amount loses a digit to
    // floating point on its way to the screen.
    const qint64 units = value.Units() < 0 ? -value.Units() : value.Units();
    const qint64 whole = units / Money::kScale;
    QString text;
    text.reserve(pattern.before.size() + pattern.after.size() + 24);
    text += pattern.before;
    if (form.plainBelow1000 && whole < 1000) AppendDigits(text, whole, 0, form.zero);
    else text += form.locale.toString(whole);
    if (decimals > 0) {
        text += form.decimalPoint;
        // The first decimals of the four stored ones; zeros past the fourth.
        qint64 fraction = units % Money::kScale;
        for (int i = decimals; i < 4; ++i) fraction /= 10;
        AppendDigits(text, fraction, std::min(decimals, 4), form.zero);
        for (int i = 4; i < decimals; ++i) text += QChar(form.zero);
    }
    text += pattern.after;
    return text;
}

std::optional<Money> ParseCurrency(const QString& text)
{
    const auto d = SplitNumber(text);
    if (!d) return std::nullopt;
    QString whole = d->whole;
    while (whole.size() > 1 && whole.startsWith(u'0')) whole.remove(0, 1);
    if (whole.size() > 14) return std::nullopt;
    qint64 units = whole.isEmpty() ? 0 : whole.toLongLong() * Money::kScale;
    QString fraction = d->fraction;
    const bool roundUp = fraction.size() > 4 && fraction.at(4) >= u'5';
    fraction = fraction.left(4).leftJustified(4, u'0');
    units += fraction.toLongLong() + (roundUp ? 1 : 0);
    const Money money = Money::FromUnits(d->negative ? -units : units);
    if (!money.Fits()) return std::nullopt;
    return money;
}

std::optional<double> ParseNumber(const QString& text)
{
    const auto d = SplitNumber(text);
    if (!d) return std::nullopt;
    const QByteArray plain = ((d->whole.isEmpty() ? QStringLiteral("0") : d->whole) +
                              (d->fraction.isEmpty() ? QString() : u'.' + d->fraction))
                                 .toLatin1();
    double value = 0;
    const auto result = std::from_chars(plain.constData(), plain.constData() + plain.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return d->negative ? -value : value;
}

bool IsNumeric(const QString& text) { return ParseNumber(text).has_value(); }

std::optional<qint32> ParseWholeNumber(const QString& text, qint64 minimum, qint64 maximum)
{
    const auto value = ParseNumber(text);
    if (!value) return std::nullopt;
    // Halves go to the even neighbour, as the catalogue's conversion rounds.
    const double rounded = std::nearbyint(*value);
    if (rounded < static_cast<double>(minimum) || rounded > static_cast<double>(maximum)) return std::nullopt;
    return static_cast<qint32>(rounded);
}

QString FormatGeneralNumber(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return LocalisePlainNumber(QString::fromLatin1(buffer, result.ptr - buffer));
}

QString FormatSingle(float value)
{
    // A single holds seven significant digits; more would show its binary residue
    // (1.5 x 561.6 is 842.39996 as a single, written 842.4).
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (text.contains(u'e')) {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
        text = QString::fromLatin1(buffer, result.ptr - buffer);
    }
    return LocalisePlainNumber(text);
}

QString FormatPlainMoney(Money value)
{
    // Written from the fixed-point digits: a double would lose the last cents of
    // large totals.
    const qint64 units = value.Units();
    const quint64 magnitude = units < 0 ? 0 - static_cast<quint64>(units) : static_cast<quint64>(units);
    QString plain = units < 0 ? QStringLiteral("-") : QString();
    plain += QString::number(magnitude / Money::kScale);
    QString fraction = QString::number(magnitude % Money::kScale).rightJustified(4, u'0');
    while (fraction.endsWith(u'0')) fraction.chop(1);
    if (!fraction.isEmpty()) plain += u'.' + fraction;
    return LocalisePlainNumber(plain);
}

QString ShortDatePattern() { return CurrentDatePattern().pattern; }

QString LocaleDateOrder() { return CurrentDatePattern().order; }

QString FormatShortDate(const QDate& date)
{
    if (!date.isValid()) return QString();
    const DatePattern& pattern = CurrentDatePattern();
    // Four-digit years only: the locale writes others its own way.
    if (pattern.direct && date.year() >= 1000 && date.year() <= 9999) return pattern.Format(date);
    return QLocale().toString(date, pattern.pattern);
}

std::optional<QDate> ParseDate(const QString& text)
{
    const QLocale locale;
    QString s = Normalise(text, locale);
    static const QRegularExpression iso(QStringLiteral(R"(^(\d{4})-(\d{1,2})-(\d{1,2})$)"));
    if (const auto m = iso.match(s); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (date.isValid()) return date;
        return std::nullopt;
    }
    while (!s.isEmpty() && QStringLiteral("/.- ").contains(s.back())) s.chop(1);
    static const QRegularExpression form(QStringLiteral(R"(^(\d{1,4})[/.\- ]+(\d{1,4})[/.\- ]+(\d{1,4})$)"));
    const auto m = form.match(s);
    if (!m.hasMatch()) return std::nullopt;
    const QString order = LocaleDateOrder();
    int year = 0, month = 0, day = 0;
    for (int i = 0; i < 3; ++i) {
        const QString part = m.captured(i + 1);
        const int number = part.toInt();
        switch (order.at(i).unicode()) {
        case u'y': year = part.size() <= 2 ? TwoDigitYear(number) : number; break;
        case u'm': month = number; break;
        default: day = number; break;
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    return date;
}

bool IsDate(const QString& text) { return ParseDate(text).has_value(); }

QString PlainText(const QString& text) { return Normalise(text, QLocale()); }
