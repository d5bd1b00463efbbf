#include "db/SqlDialect.h"

#include "db/DbError.h"
#include "db/TextColumns.h"
#include "search/Folding.h"

#include <QDate>
#include <QLocale>
#include <QStringList>

#include <charconv>
#include <vector>

namespace {

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

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

namespace {

// The pieces of a query text, as far as the translation needs to tell them apart.
struct Token {
    enum Kind { Space, Word, Name, String, Date, Punct } kind;
    QString text;  // as written; for a String the body between the quotes, '' kept
};

bool IsNameStart(QChar c) { return c.isLetter() || c == u'_'; }

std::vector<Token> Tokens(const QString& sql)
{
    std::vector<Token> tokens;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == u'\'') {
            // A quoted literal, with '' standing for one apostrophe.
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (sql.at(j) == u'\'') {
                    if (j + 1 < n && sql.at(j + 1) == u'\'') { j += 2; continue; }
                    closed = true;
                    break;
                }
                ++j;
            }
            if (!closed)
                throw DbError(ErrNo::QuerySyntax, QStringLiteral("Syntax error in string in query expression '%1'.").arg(sql.mid(i)));
            tokens.push_back({Token::String, sql.mid(i + 1, j - i - 1)});
            i = j + 1;
        } else if (c == u'#') {
            const qsizetype close = sql.indexOf(u'#', i + 1);
            if (close < 0)
                throw DbError(ErrNo::QuerySyntax, QStringLiteral("Syntax error in date in query expression '%1'.").arg(sql.mid(i)));
            tokens.push_back({Token::Date, sql.mid(i + 1, close - i - 1)});
            i = close + 1;
        } else if (c == u'[' || c == u'"') {
            const QChar closer = c == u'[' ? u']' : u'"';
            const qsizetype close = sql.indexOf(closer, i + 1);
            const qsizetype end = close < 0 ? n : close + 1;
            tokens.push_back({Token::Name, sql.mid(i, end - i)});
            i = end;
        } else if (c.isSpace()) {
            qsizetype j = i;
            while (j < n && sql.at(j).isSpace()) ++j;
            tokens.push_back({Token::Space, sql.mid(i, j - i)});
            i = j;
        } else if (IsWordChar(c)) {
            qsizetype j = i;
            while (j < n && IsWordChar(sql.at(j))) ++j;
            tokens.push_back({IsNameStart(c) ? Token::Word : Token::Punct, sql.mid(i, j - i)});
            i = j;
        } else {
            tokens.push_back({Token::Punct, QString(c)});
            ++i;
        }
    }
    return tokens;
}

bool IsKeyword(const Token& t, const char* word)
{
    return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool IsPunct(const Token& t, char16_t c) { return t.kind == Token::Punct && t.text.size() == 1 && t.text.at(0) == c; }

// The column a name token names: a bare word, or the inside of [..] or "..".
QString ColumnName(const Token& t)
{
    if (t.kind == Token::Word) return t.text;
    if (t.kind == Token::Name && t.text.size() >= 2) return t.text.mid(1, t.text.size() - 2);
    return QString();
}

// The name token naming another column, in the same form.
QString Renamed(const Token& t, const QString& column)
{
    if (t.kind == Token::Word) return column;
    return t.text.left(1) + column + t.text.right(1);
}

bool IsName(const Token& t) { return t.kind == Token::Word || t.kind == Token::Name; }

// The next token after i that is not space, or -1.
qsizetype NextSolid(const std::vector<Token>& tokens, qsizetype i)
{
    for (qsizetype j = i + 1; j < static_cast<qsizetype>(tokens.size()); ++j)
        if (tokens[static_cast<size_t>(j)].kind != Token::Space) return j;
    return -1;
}

// Collector text is ordered by its collation key: in an ORDER BY list, a term
// that is just a text column (table-qualified or not, ascending or descending)
// names the column's key instead.
void OrderByKeys(std::vector<Token>& tokens)
{
    const auto n = static_cast<qsizetype>(tokens.size());
    int depth = 0;
    int orderDepth = -1;  // the depth of the ORDER BY list being read
    bool termStart = false;
    for (qsizetype i = 0; i < n; ++i) {
        Token& t = tokens[static_cast<size_t>(i)];
        if (t.kind == Token::Space) continue;
        if (IsPunct(t, u'(')) { ++depth; termStart = false; continue; }
        if (IsPunct(t, u')')) {
            if (depth == orderDepth) orderDepth = -1;
            --depth;
            continue;
        }
        if (orderDepth < 0) {
            const qsizetype next = NextSolid(tokens, i);
            if (IsKeyword(t, "order") && next >= 0 && IsKeyword(tokens[static_cast<size_t>(next)], "by")) {
                orderDepth = depth;
                termStart = true;
                i = next;
            }
            continue;
        }
        if (depth != orderDepth) continue;
        if (IsPunct(t, u';') || IsKeyword(t, "limit") || IsKeyword(t, "union") || IsKeyword(t, "except") ||
            IsKeyword(t, "intersect")) {
            orderDepth = -1;
            continue;
        }
        if (IsPunct(t, u',')) { termStart = true; continue; }
        if (!termStart) continue;
        termStart = false;
        // A term of the form [table .] column [asc|desc], ended by "," or the list's end.
        qsizetype last = i;
        qsizetype after = NextSolid(tokens, i);
        if (after >= 0 && IsPunct(tokens[static_cast<size_t>(after)], u'.')) {
            last = NextSolid(tokens, after);
            if (last < 0) continue;
            after = NextSolid(tokens, last);
        }
        if (after >= 0 && (IsKeyword(tokens[static_cast<size_t>(after)], "asc") ||
                           IsKeyword(tokens[static_cast<size_t>(after)], "desc")))
            after = NextSolid(tokens, after);
        const bool ends = after < 0 || IsPunct(tokens[static_cast<size_t>(after)], u',') ||
                          IsPunct(tokens[static_cast<size_t>(after)], u')') ||
                          IsPunct(tokens[static_cast<size_t>(after)], u';') ||
                          IsKeyword(tokens[static_cast<size_t>(after)], "limit");
        Token& column = tokens[static_cast<size_t>(last)];
        const QString key = IsName(column) ? SortColumnOf(ColumnName(column)) : QString();
        if (ends && !key.isEmpty()) column.text = Renamed(column, key);
    }
}

// Collector text is matched by its folded form: "column like 'text'",
// "column not like 'text'" and "column = 'text'" compare the column's folded
// text with the folded literal. Assignments (an UPDATE's SET list) stay as they
// are.
void MatchFolded(std::vector<Token>& tokens)
{
    const auto n = static_cast<qsizetype>(tokens.size());
    int depth = 0;
    int setDepth = -1;
    for (qsizetype i = 0; i < n; ++i) {
        Token& t = tokens[static_cast<size_t>(i)];
        if (t.kind == Token::Space) continue;
        if (IsPunct(t, u'(')) { ++depth; continue; }
        if (IsPunct(t, u')')) {
            if (depth == setDepth) setDepth = -1;
            --depth;
            continue;
        }
        if (IsKeyword(t, "set")) { setDepth = depth; continue; }
        if (setDepth == depth && IsKeyword(t, "where")) { setDepth = -1; continue; }
        if (setDepth >= 0 || !IsName(t)) continue;
        const QString folded = FoldColumnOf(ColumnName(t));
        if (folded.isEmpty()) continue;
        const qsizetype op = NextSolid(tokens, i);
        if (op < 0) continue;
        qsizetype literal = -1;
        const Token& opToken = tokens[static_cast<size_t>(op)];
        if (IsKeyword(opToken, "like") || IsPunct(opToken, u'=')) {
            literal = NextSolid(tokens, op);
        } else if (IsKeyword(opToken, "not")) {
            const qsizetype like = NextSolid(tokens, op);
            if (like >= 0 && IsKeyword(tokens[static_cast<size_t>(like)], "like")) literal = NextSolid(tokens, like);
        }
        if (literal < 0 || tokens[static_cast<size_t>(literal)].kind != Token::String) continue;
        Token& text = tokens[static_cast<size_t>(literal)];
        QString body = text.text;
        body.replace(QStringLiteral("''"), QStringLiteral("'"));
        text.text = SqlQuote(FoldText(body));
        t.text = Renamed(t, folded);
    }
}

}  // namespace

QString TranslateSql(const QString& sql)
{
    std::vector<Token> tokens = Tokens(sql);
    OrderByKeys(tokens);
    MatchFolded(tokens);
    QString out;
    out.reserve(sql.size() + 16);
    qsizetype lastSolid = -1;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        switch (t.kind) {
        case Token::String:
            if (lastSolid >= 0 && IsKeyword(tokens[static_cast<size_t>(lastSolid)], "like"))
                out += u'\'' + LikePattern(t.text) + QStringLiteral("' ESCAPE '\\'");
            else
                out += u'\'' + t.text + u'\'';
            break;
        case Token::Date: out += DateLiteral(t.text); break;
        default: out += t.text; break;
        }
        if (t.kind != Token::Space) lastSolid = static_cast<qsizetype>(i);
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
