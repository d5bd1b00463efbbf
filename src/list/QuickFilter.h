#pragma once

// The quick filter of the stamp list: what the collector types, as words that a
// stamp must each contain somewhere in its texts.

#include <QString>
#include <QStringList>

// The longest filter the box takes; a longer text (pasted) is cut to it.
inline constexpr qsizetype kMaxFilterText = 200;

// The words of a typed filter, folded as every match of collector text is
// (search/Folding.h): split at blanks and line breaks, each word once, and none
// that is part of another word (that one finds it too). Control characters
// count as blanks. Nothing typed gives no words.
QStringList FilterWords(const QString& typed);

// The condition (program dialect) that a stamp meets when every word is
// contained in its description, catalogue number, colour, watermark, errors or
// notes, in the description of its country or topic, or in one of its numbers
// in other catalogues (numbers/NumberSchema.h). Letters, digits and
// every other sign ("*", "?", "%", "'") stand for themselves. Empty when the
// filter has no words.
QString QuickFilterCondition(const QString& typed);
