#pragma once

// The values of a file of stamps: how a file writes amounts, dates and yes/no
// values (its conventions), reading them in those conventions, guessing the
// conventions from the file itself, and writing values as this program's files
// hold them.

#include "db/Money.h"

#include <QChar>
#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

enum class DecimalMark { Point, Comma };
enum class DateOrder { Ymd, Dmy, Mdy };
enum class YesNoStyle { YesNo, TrueFalse, OneZero, Mark };

struct ValueConventions {
    DecimalMark decimal = DecimalMark::Point;
    DateOrder dates = DateOrder::Ymd;
    YesNoStyle yesNo = YesNoStyle::YesNo;
    bool operator==(const ValueConventions&) const = default;
};

// Each reader takes a text that is not blank and gives its value, or nothing
// and the reason, in words for the collector.

// An amount of money: digits with the decimal mark, the other mark, blanks or
// apostrophes grouping thousands, a sign before or after or parentheses, and a
// currency sign. More than four decimals are rounded half away from zero; an
// amount beyond what the catalogue keeps is refused.
std::optional<Money> ReadAmount(const QString& text, DecimalMark mark, QString* reason);
// A whole number from minimum to maximum (grouping allowed, no fraction).
std::optional<qint64> ReadWhole(const QString& text, DecimalMark mark, qint64 minimum, qint64 maximum, QString* reason);
// A date: year-month-day with a four-digit year always, otherwise three numbers
// in the order given, separated by / . - or blanks; a time after the date is
// passed over; a two-digit year falls in 1930-2029. With partialYear given, a
// year alone or a year and month ("1998", "1998-05") gives no date and puts the
// year there.
std::optional<QDate> ReadDate(const QString& text, DateOrder order, QString* reason, int* partialYear = nullptr);
// Yes or no: yes/no, true/false, 1/0 (and -1), x, in English and a few other
// languages; blank is no. In the Mark style any other sign means yes.
std::optional<bool> ReadYesNo(const QString& text, YesNoStyle style, QString* reason);

// The conventions that read the sample best: the decimal mark of its amounts,
// the order of its dates, the style of its yes/no values. mapping gives the
// field (StampFields) of each column. With nothing to tell, a file separated by
// semicolons is taken to use decimal commas and day-first dates.
ValueConventions GuessConventions(const std::vector<QStringList>& rows, const std::vector<int>& mapping,
                                  QChar separator);

// Written values: amounts with a decimal point, two decimals at least and four
// at most, from the fixed-point digits; dates ISO; Yes or No.
QString PlainAmount(Money amount);
QString IsoDate(const QDate& date);
QString YesNoText(bool value);

// A text that a spreadsheet would take for a formula (it begins with = + - @,
// a tab or a carriage return) is written with one apostrophe before it, and so
// is a text that begins with an apostrophe; reading removes exactly that one.
QString ProtectFormula(const QString& text);
QString UnprotectFormula(const QString& text);

QString DecimalMarkName(DecimalMark mark);
QString DateOrderName(DateOrder order);
QString YesNoStyleName(YesNoStyle style);
