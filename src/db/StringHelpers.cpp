#include "db/StringHelpers.h"

QString PadLeft(const QString& text, qsizetype width)
{
    if (text.size() < width) return QString(width - text.size(), u' ') + text;
    return text;
}

QString ReplaceAll(QString& text, const QString& find, const QString& replacement)
{
    // Resuming after each inserted replacement is the same as one left-to-right
    // pass over the original text, which is what QString::replace does.
    if (find.isEmpty()) return text;
    text.replace(find, replacement, Qt::CaseSensitive);
    return text;
}

QString GetField(const QString& text, const QString& delimiter, qsizetype n)
{
    if (n <= 0 || delimiter.isEmpty()) return QString();
    const QChar delim = delimiter.at(0);
    qsizetype start = 0;
    for (qsizetype field = 1; field < n; ++field) {
        const qsizetype next = text.indexOf(delim, start);
        if (next < 0) return QString();
        start = next + 1;
    }
    const qsizetype end = text.indexOf(delim, start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

QString CatalogueSortKey(const QString& catalogueNumber)
{
    constexpr qsizetype kWidth = 20;
    if (catalogueNumber.size() > kWidth) return catalogueNumber.left(kWidth);
    return PadLeft(catalogueNumber, kWidth);
}
