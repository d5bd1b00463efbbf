#pragma once

#include <QByteArray>
#include <QString>

// The one order of collector text: the collation of the program's locale
// (letters in their alphabetical place whatever their case or accents, digits
// inside a text in numeric order, "Mi 2" before "Mi 10").
//
// The key of a text is a byte string whose plain byte order is that order, so
// the catalogue stores it beside the text and sorts by it with an ordinary
// index: the file needs nothing from this program to be read or sorted. Texts
// that differ only in what the collation ignores (a zero-width joiner, say) may
// get the same key; every order breaks such ties by the record key.
QByteArray CollationKey(const QString& text);

// Names the rule that made the keys: the locale, the collation library's
// version of its rules for it and the program's own key rule. Stored keys made
// under another identity must be made anew.
QString CollationIdentity();

// Only the first characters of a long text shape its key; two texts that agree
// that far sort by their record keys.
inline constexpr qsizetype kCollationKeyChars = 2000;
