#pragma once

#include <QString>

// Finds the order of month, day and year in the locale's short date, and its
// separator: sets gDateOrder and gDateSep.
void ChkDateFmt();

// Month, day and year written as one text in the order of gDateOrder, separated
// by blanks, for the date parser to read back.
QString FormatDate(int intMonth, int intDay, int intYear);
