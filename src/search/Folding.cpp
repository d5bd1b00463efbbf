#include "search/Folding.h"

namespace {

bool IsMark(QChar c)
{
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

// Letters that neither decompose nor case-fold to a plain base letter.
const char16_t* BaseOf(char16_t c)
{
    switch (c) {
    case u'ß':
    case u'ẞ': return u"ss";
    case u'Æ':
    case u'æ': return u"ae";
    case u'Ø':
    case u'ø': return u"o";
    case u'Œ':
    case u'œ': return u"oe";
    case u'Ł':
    case u'ł': return u"l";
    case u'Đ':
    case u'đ':
    case u'Ð':
    case u'ð': return u"d";
    case u'Þ':
    case u'þ': return u"th";
    case u'ı': return u"i";
    case u'Ħ':
    case u'ħ': return u"h";
    case u'Ŧ':
    case u'ŧ': return u"t";
    default: return nullptr;
    }
}

bool IsAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

}  // namespace

QString FoldText(const QString& text)
{
    if (text.isEmpty()) return text;
    // Most collector text is plain ASCII: lower case is all the folding it needs.
    if (IsAscii(text)) return text.toLower();

    // Compatibility decomposition splits accented letters into base and marks and
    // turns ligatures, full-width and other presentation forms into plain letters.
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (IsMark(c)) continue;
        if (const char16_t* base = BaseOf(c.unicode())) out += QString::fromUtf16(base);
        else out += c;
    }
    // A text of nothing but marks keeps them: folding it to nothing would make it
    // match every text.
    if (out.isEmpty()) out = decomposed;
    // Case folding after the marks are gone: capital letters whose folded form
    // decomposes (the Turkish dotted capital I) end on their base letter too.
    return out.toCaseFolded();
}
