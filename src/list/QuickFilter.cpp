#include "list/QuickFilter.h"

#include "db/SqlDialect.h"
#include "search/Folding.h"

#include <QRegularExpression>

#include <algorithm>

QStringList FilterWords(const QString& typed)
{
    QString text = typed.left(kMaxFilterText);
    if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
    // A control character (a NUL above all) would end or break the query text.
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control) c = u' ';
    // Folded first, then split: folding can turn a sign into a blank.
    const QStringList parts = FoldText(text).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QStringList words;
    for (const QString& part : parts)
        if (!words.contains(part)) words << part;
    // Longest first, so that a word inside a longer one is dropped.
    std::stable_sort(words.begin(), words.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    QStringList kept;
    for (const QString& word : words) {
        const bool inside =
            std::any_of(kept.begin(), kept.end(), [&word](const QString& k) { return k.contains(word); });
        if (!inside) kept << word;
    }
    return kept;
}

QString QuickFilterCondition(const QString& typed)
{
    QStringList terms;
    for (const QString& word : FilterWords(typed)) {
        // The texts are matched in their folded form, kept in find_text with the
        // stamp's numbers in other catalogues, beside each code's description;
        // instr() takes the word as it is, with no wildcard of any kind.
        const QString literal = u'\'' + SqlQuote(word) + u'\'';
        terms << QStringLiteral(
                     "(instr(find_text, %1) > 0"
                     " or CouID in (select CouID from country where instr(Coudesc_fold, %1) > 0)"
                     " or topID in (select topID from topic where instr(TopDesc_fold, %1) > 0))")
                     .arg(literal);
    }
    return terms.join(QStringLiteral(" and "));
}
