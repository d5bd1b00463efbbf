#include "csv/CatalogCodes.h"

#include <QRegularExpression>

namespace {

// A catalogue's code where a part starts: a few letters and a colon.
const QRegularExpression& CodeAtStart()
{
    static const QRegularExpression code(QStringLiteral(R"(^\s*([A-Za-z]{1,5})\s*:)"));
    return code;
}

// The country's code before the number: two or three capitals and a blank.
const QRegularExpression& CountryAtStart()
{
    static const QRegularExpression country(QStringLiteral(R"(^[A-Z]{2,3}(\s+|$))"));
    return country;
}

// A part without the blanks and stray commas around it.
QString Bare(const QString& text)
{
    static const QRegularExpression ends(QStringLiteral(R"(^[\s,]+|[\s,]+$)"));
    return QString(text).remove(ends);
}

}  // namespace

std::vector<CodedNumber> SplitCatalogCodes(const QString& field)
{
    // The field splits at each comma that a code follows.
    static const QRegularExpression split(QStringLiteral(R"(,(?=\s*[A-Za-z]{1,5}\s*:))"));
    std::vector<CodedNumber> parts;
    for (const QString& part : field.split(split)) {
        CodedNumber coded;
        QString rest = part;
        const QRegularExpressionMatch code = CodeAtStart().match(rest);
        if (code.hasMatch()) {
            coded.code = code.captured(1);
            rest = rest.mid(code.capturedEnd());
        }
        rest = Bare(rest);
        const QRegularExpressionMatch country = CountryAtStart().match(rest);
        if (country.hasMatch() && !coded.code.isEmpty()) rest = rest.mid(country.capturedEnd());
        coded.number = Bare(rest);
        if (!coded.number.isEmpty()) parts.push_back(std::move(coded));
    }
    return parts;
}

QString CatalogueOfCode(const QString& code)
{
    static const std::pair<const char*, const char*> kCodes[] = {
        {"mi", "Michel"}, {"sn", "Scott"}, {"sg", "Stanley Gibbons"}, {"yt", "Yvert et Tellier"}};
    const QString key = code.trimmed().toLower();
    for (const auto& [c, name] : kCodes)
        if (key == QLatin1String(c)) return QString::fromLatin1(name);
    return QString();
}
