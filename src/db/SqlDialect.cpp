#include "db/SqlDialect.h"

#include "db/DbError.h"

#include <QDate>
#include <QLocale>
#include <QStringList>

#include <charconv>

namespace {

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// True when the text before pos, skipping blanks, ends with the word "like".
bool FollowsLike(const QString& out)
{
    qsizetype end = out.size();
    while (end > 0 && out.at(end - 1).isSpace()) --end;
    if (end < 4) return false;
    if (out.mid(end - 4, 4).compare(u"like", Qt::CaseInsensitive) != 0) return false;
    return end == 4 || !IsWordChar(out.at(end - 5));
}

QString LikePattern(const QString& body)
{
    QString result;
    result.reserve(body.size() + 4);
    for (QChar c : body) {
        if (c == u'*') result += u'%';
        else if (c == u'?') result += u'_';
        else if (c == u'%' || c == u'_' || c == u'\\') { result += u'\\'; result += c; }
        else result += c;
    }
    return result;
}

QString DateLiteral(const QString& body)
{
    const QStringList parts = body.trimmed().split(u'/');
    bool ok = parts.size() == 3;
    int numbers[3] = {0, 0, 0};
    for (int i = 0; ok && i < 3; ++i) numbers[i] = parts[i].trimmed().toInt(&ok);
    const QDate date = ok ? QDate(numbers[2], numbers[0], numbers[1]) : QDate();
    if (!date.isValid())
        throw DbError(ErrNo::QuerySyntax, QStringLiteral("Syntax error in date in query expression '#%1#'.").arg(body));
    return u'\'' + date.toString(Qt::ISODate) + u'\'';
}

}  // namespace

QString TranslateSql(const QString& sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == u'\'') {
            // A quoted literal, with '' standing for one apostrophe.
            qsizetype j = i + 1;
            QString body;
            bool closed = false;
            while (j < n) {
                if (sql.at(j) == u'\'') {
                    if (j + 1 < n && sql.at(j + 1) == u'\'') { body += QStringLiteral("''"); j += 2; continue; }
                    closed = true;
                    break;
                }
                body += sql.at(j++);
            }
            if (!closed)
                throw DbError(ErrNo::QuerySyntax, QStringLiteral("Syntax error in string in query expression '%1'.").arg(sql.mid(i)));
            if (FollowsLike(out)) out += u'\'' + LikePattern(body) + QStringLiteral("' ESCAPE '\\'");
            else out += u'\'' + body + u'\'';
            i = j + 1;
        } else if (c == u'#') {
            const qsizetype close = sql.indexOf(u'#', i + 1);
            if (close < 0)
                throw DbError(ErrNo::QuerySyntax, QStringLiteral("Syntax error in date in query expression '%1'.").arg(sql.mid(i)));
            out += DateLiteral(sql.mid(i + 1, close - i - 1));
            i = close + 1;
        } else if (c == u'[') {
            const qsizetype close = sql.indexOf(u']', i + 1);
            const qsizetype end = close < 0 ? n : close + 1;
            out += sql.mid(i, end - i);
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString SqlQuote(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return quoted;
}

QString LikeText(const QString& text)
{
    if (text.size() <= kMaxLikeText) return text;
    const qsizetype cut = text.at(kMaxLikeText - 1).isHighSurrogate() ? kMaxLikeText - 1 : kMaxLikeText;
    return text.left(cut);
}

QString SqlNumber(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}
