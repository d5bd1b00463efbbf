#pragma once

#include <QString>

// The program writes its queries in one dialect: dates as #m/d/yyyy#, "*" and "?"
// as the wildcards of like, [bracketed] names. TranslateSql turns such a text into
// the SQL the catalogue engine runs. Throws DbError for a malformed date literal
// or an unterminated quote.
//
// Collector text (the columns of db/TextKeys.h) is matched and ordered by one
// rule whatever its case, accents or script: "descr like 'oster*'" compares the
// folded description with the folded pattern, "catnum = '12a'" likewise, and
// "order by descr" orders by the description's collation key. The query texts
// therefore name the text columns themselves.
QString TranslateSql(const QString& sql);

// A user's text as the inside of a quoted SQL literal: apostrophes doubled.
QString SqlQuote(const QString& text);

// The longest text of a collector's that goes into a like pattern (a find, a
// Starts-with criterion). The engine refuses a pattern of more than 50,000 bytes,
// and a character takes at most three bytes of it (an escaped % or _ two), so a
// text this long can always be searched for; no field but the notes holds a
// text anywhere near as long.
inline constexpr qsizetype kMaxLikeText = 16000;

// A text for a like pattern, cut to kMaxLikeText characters (never between the
// two halves of a character).
QString LikeText(const QString& text);

// A number as SQL writes it: "." decimal point, no grouping.
QString SqlNumber(double value);
