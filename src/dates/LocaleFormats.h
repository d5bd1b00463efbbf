#pragma once

// The locale's formats for money, numbers and dates, and their parsers. All of
// them follow the default QLocale, so tests pin it with QLocale::setDefault.

#include "db/Money.h"

#include <QDate>
#include <QString>

#include <optional>

// The "currency" named format: the locale's symbol, grouping and decimals. A
// value with more decimals than the locale shows keeps them (up to four), so a
// shown amount always reads back as the stored one.
QString FormatCurrency(Money value);
// Reads what FormatCurrency or a collector wrote: the currency symbol, grouping
// separators (no-break spaces too), a leading or trailing minus sign or
// parentheses for a negative amount, surrounding blanks. An amount that does not
// fit the money type is not a number.
std::optional<Money> ParseCurrency(const QString& text);

// The locale-aware numeric test and conversion; the same text forms as above.
std::optional<double> ParseNumber(const QString& text);
bool IsNumeric(const QString& text);
// A whole number of the 16- or 32-bit range, rounded as the catalogue stores it;
// nullopt when the text is not a number or out of range.
std::optional<qint32> ParseWholeNumber(const QString& text, qint64 minimum, qint64 maximum);

// The "general number" format: no grouping, the locale's decimal separator, as
// many decimals as the value needs (1234.5, 2160, 842.4).
QString FormatGeneralNumber(double value);
// The same for a single-precision value, written with the digits a single holds.
QString FormatSingle(float value);
// Money written as a plain number: no symbol, no grouping, no trailing zeros.
QString FormatPlainMoney(Money value);

// The "short date" named format's pattern: the locale's short date with a
// four-digit year, or yyyy-MM-dd when the locale's spells the month in words or
// uses none of the separators / . - and space.
QString ShortDatePattern();
QString FormatShortDate(const QDate& date);
// Three numbers in the locale's order separated by / . - or blanks, or ISO
// yyyy-mm-dd; a two-digit year falls in 1930-2029. Impossible dates are refused.
std::optional<QDate> ParseDate(const QString& text);
bool IsDate(const QString& text);

// The text with the locale's own digits written as ASCII digits, blanks of every
// kind as plain spaces, and bidirectional marks removed.
QString PlainText(const QString& text);

// The locale's order of month, day and year as three letters ("mdy", "dmy", "ymd").
QString LocaleDateOrder();
