#include "dates/DateText.h"

#include "dates/LocaleFormats.h"
#include "db/Globals.h"
#include "db/StringHelpers.h"

#include <QDate>

void ChkDateFmt()
{
    // 30 May 1998: month, day and year are three different numbers, so each field
    // of its short date tells by its value which part it is.
    const QDate reference(1998, 5, 30);
    const QString sample = PlainText(FormatShortDate(reference));
    for (const QString& sep : {QStringLiteral("/"), QStringLiteral("."), QStringLiteral(" "), QStringLiteral("-")}) {
        if (sample.contains(sep)) {
            gDateSep = sep;
            break;
        }
    }
    QString order;
    for (int n = 1; n <= 3; ++n) {
        bool ok = false;
        const int value = GetField(sample, gDateSep, n).trimmed().toInt(&ok);
        if (!ok) {
            order = LocaleDateOrder();
            break;
        }
        order += value == reference.month() ? u'm' : value == reference.day() ? u'd' : u'y';
    }
    gDateOrder = order;
}

QString FormatDate(int intMonth, int intDay, int intYear)
{
    const QString m = QString::number(intMonth);
    const QString d = QString::number(intDay);
    const QString y = QString::number(intYear);
    if (gDateOrder == u"dmy") return d + u' ' + m + u' ' + y;
    if (gDateOrder == u"ymd") return y + u' ' + m + u' ' + d;
    if (gDateOrder == u"ydm") return y + u' ' + d + u' ' + m;
    return m + u' ' + d + u' ' + y;
}
