#pragma once

#include <QString>

// The program writes its queries in one dialect: dates as #m/d/yyyy#, "*" and "?"
// as the wildcards of like, [bracketed] names. TranslateSql turns such a text into
// the SQL the catalogue engine runs. Throws DbError for a malformed date literal
// or an unterminated quote.
QString TranslateSql(const QString& sql);

// A user's text as the inside of a quoted SQL literal: apostrophes doubled.
QString SqlQuote(const QString& text);

// A number as SQL writes it: "." decimal point, no grouping.
QString SqlNumber(double value);
