#include "search/Folding.h"

#include <unicode/unorm2.h>

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

// The compatibility decomposition, in time linear in the text's length (Qt's own
// grows with its square on long runs of accented letters).
QString Decomposed(const QString& text)
{
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfkd = unorm2_getNFKDInstance(&status);
    if (U_FAILURE(status)) return text;
    const auto* source = reinterpret_cast<const UChar*>(text.constData());
    const auto length = static_cast<int32_t>(text.size());
    QString out(text.size() + text.size() / 2 + 8, Qt::Uninitialized);
    int32_t written = unorm2_normalize(nfkd, source, length, reinterpret_cast<UChar*>(out.data()),
                                       static_cast<int32_t>(out.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        out.resize(written);
        written = unorm2_normalize(nfkd, source, length, reinterpret_cast<UChar*>(out.data()),
                                   static_cast<int32_t>(out.size()), &status);
    }
    if (U_FAILURE(status)) return text;
    out.resize(written);
    return out;
}

bool IsAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

QString AsciiLower(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c.unicode() >= u'A' && c.unicode() <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    return out;
}

}  // namespace

QString FoldText(const QString& text)
{
    if (text.isEmpty()) return text;
    // Most collector text is plain ASCII: lower case is all the folding it needs.
    if (IsAscii(text)) return AsciiLower(text);

    // Compatibility decomposition splits accented letters into base and marks and
    // turns ligatures, full-width and other presentation forms into plain letters.
    const QString decomposed = Decomposed(text);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed) {
        // A mark that has no letter before it to sit on is kept: dropping it would
        // make a text of marks match every text.
        if (IsMark(c) && !out.isEmpty()) continue;
        if (const char16_t* base = BaseOf(c.unicode())) out += QString::fromUtf16(base);
        else out += c;
    }
    // Case folding after the marks are gone: capital letters whose folded form
    // decomposes (the Turkish dotted capital I) end on their base letter too.
    return out.toCaseFolded();
}
