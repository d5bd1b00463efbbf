#pragma once

// Small text routines shared by the windows and reports. Positions are 1-based
// and have no upper limit.

#include <QString>

// The text right-justified in a field of the width; a longer text is not cut.
QString PadLeft(const QString& text, qsizetype width);

// Replaces every occurrence of find (not empty) in text, which receives the
// result too. The search resumes after each inserted replacement, so a
// replacement that contains find is not replaced again.
QString ReplaceAll(QString& text, const QString& find, const QString& replacement);

// Field n (1-based) of text split at the one-character delimiter; the empty
// text when there is no such field.
QString GetField(const QString& text, const QString& delimiter, qsizetype n);

// The sort key of a catalogue number: its first 20 characters when longer,
// otherwise the number right-justified in 20 characters.
QString CatalogueSortKey(const QString& catalogueNumber);
