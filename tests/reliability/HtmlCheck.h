#pragma once

// A well-formedness check of the HTML pages the reports write. Every element is
// one the reports use (an image in a cell has no end tag) and is closed in order (the category reports leave the
// </tr> of their data rows out, as documented: such a row ends where the next one
// or the table does); attribute values are plain; the text holds no raw "<", ">"
// or "&" except as an entity. The check also gives back each table row's cells,
// entities decoded, so that a test can see the data came through unchanged.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

struct HtmlPage {
    QString problem;          // empty when the page is well-formed
    QList<QStringList> rows;  // the text of each cell, row by row
    QList<int> widths;        // the columns each row spans, colspans counted
    QString title;            // the text of <title>
};

inline HtmlPage CheckHtml(const QString& page, bool rowsMayStayOpen = false)
{
    static const QSet<QString> kElements = {"html", "head", "title", "body", "table", "tr",
                                            "th",   "td",   "h6",    "a",    "img"};
    // Elements without content or end tag.
    static const QSet<QString> kVoid = {"img"};
    HtmlPage out;
    QStringList open;
    QString cell;
    auto fail = [&](const QString& why, qsizetype at) {
        out.problem = why + QStringLiteral(" at %1: ").arg(at) + page.mid(qMax<qsizetype>(0, at - 30), 60);
        return out;
    };
    auto top = [&] { return open.isEmpty() ? QString() : open.last(); };
    auto text = [&](QChar c) {
        if (top() == u"td" || top() == u"th") cell += c;
        if (top() == u"title") out.title += c;
    };
    const qsizetype n = page.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = page.at(i);
        if (c == u'&') {
            const qsizetype semi = page.indexOf(u';', i);
            const QString name = semi < 0 ? QString() : page.mid(i + 1, semi - i - 1);
            static const QList<std::pair<QString, QChar>> kEntities = {
                {"amp", u'&'}, {"lt", u'<'}, {"gt", u'>'}, {"quot", u'"'}, {"nbsp", QChar(0xA0)}};
            bool known = false;
            for (const auto& [entity, decoded] : kEntities)
                if (name == entity) known = true, text(decoded);
            if (!known && name.size() > 1 && name.size() < 8 && name.at(0) == u'#') {
                bool digits = false;
                const int code = name.mid(1).toInt(&digits);
                if (digits) known = true, text(QChar(code));
            }
            if (!known) return fail("a raw &", i);
            i = semi + 1;
        } else if (c == u'>') {
            return fail("a raw >", i);
        } else if (c != u'<') {
            text(c);
            ++i;
        } else {
            const bool closing = i + 1 < n && page.at(i + 1) == u'/';
            qsizetype j = i + (closing ? 2 : 1);
            const qsizetype nameStart = j;
            while (j < n && page.at(j).isLetterOrNumber() && page.at(j).unicode() < 128) ++j;
            const QString name = page.mid(nameStart, j - nameStart).toLower();
            if (name.isEmpty()) return fail("a raw <", i);
            if (!kElements.contains(name)) return fail("an element the reports never write", i);
            if (closing) {
                if (j >= n || page.at(j) != u'>') return fail("a bad end tag", i);
                if (rowsMayStayOpen && name == u"table" && top() == u"tr") open.removeLast();
                if (top() != name) return fail("</" + name + "> closes <" + top() + ">", i);
                open.removeLast();
                if (name == u"td" || name == u"th") out.rows.last().append(cell);
                i = j + 1;
                continue;
            }
            // Attributes: name, then = and a value, quoted or plain.
            int span = 1;
            for (;;) {
                while (j < n && page.at(j) == u' ') ++j;
                if (j >= n) return fail("an open tag", i);
                if (page.at(j) == u'>') break;
                const qsizetype attrStart = j;
                while (j < n && page.at(j).isLetter() && page.at(j).unicode() < 128) ++j;
                if (j == attrStart) return fail("a bad attribute", j);
                const QString attribute = page.mid(attrStart, j - attrStart).toLower();
                while (j < n && page.at(j) == u' ') ++j;
                if (j >= n || page.at(j) != u'=') return fail("an attribute without a value", j);
                ++j;
                while (j < n && page.at(j) == u' ') ++j;
                if (j < n && page.at(j) == u'"') {
                    const qsizetype close = page.indexOf(u'"', j + 1);
                    if (close < 0 || page.mid(j, close - j).contains(u'<')) return fail("a bad quoted value", j);
                    j = close + 1;
                } else {
                    const qsizetype valueStart = j;
                    while (j < n && page.at(j).isLetterOrNumber() && page.at(j).unicode() < 128) ++j;
                    if (j == valueStart) return fail("a bad plain value", j);
                    if (attribute == u"colspan") span = page.mid(valueStart, j - valueStart).toInt();
                }
            }
            if (rowsMayStayOpen && name == u"tr" && top() == u"tr") open.removeLast();
            static const QList<std::pair<QString, QString>> kParents = {
                {"head", "html"}, {"body", "html"}, {"title", "head"}, {"table", "body"}, {"h6", "body"},
                {"a", "h6"},      {"tr", "table"},  {"td", "tr"},      {"th", "tr"},   {"img", "td"}};
            QString parent;
            for (const auto& [child, p] : kParents)
                if (child == name) parent = p;
            if (parent != top()) return fail("<" + name + "> inside <" + top() + ">", i);
            if (kVoid.contains(name)) {
                i = j + 1;
                continue;
            }
            open.append(name);
            if (name == u"tr") out.rows.append(QStringList()), out.widths.append(0);
            if (name == u"td" || name == u"th") cell.clear(), out.widths.last() += span;
            i = j + 1;
        }
    }
    if (!open.isEmpty()) return fail("<" + open.join("><") + "> left open", n);
    return out;
}
