#pragma once

// What a collector might type or paste, kind or not.

#include <QList>
#include <QString>

#include <utility>

inline QList<std::pair<const char*, QString>> HostileTexts()
{
    return {
        {"apostrophes", QStringLiteral("O'Brien's 'Penny' ''")},
        {"like wildcards", QStringLiteral("100% _used_ *star* ?what?")},
        {"sql", QStringLiteral("x'; DROP TABLE Stamp; --")},
        {"always true", QStringLiteral("x' or '1'='1")},
        {"separators", QStringLiteral("a|b;c\tdone")},
        {"line breaks", QStringLiteral("first\nsecond\r\nthird")},
        {"markup", QStringLiteral("<script>alert('x')</script> & <b>")},
        {"entity", QStringLiteral("&amp; &lt;td&gt; &#60;")},
        {"date literal", QStringLiteral("#1/1/2000# [descr]")},
        {"right-to-left", QStringLiteral("\u05D1\u05D5\u05DC \u0637\u0627\u0628\u0639")},
        {"combining", QStringLiteral("e\u0301te\u0301 Zu\u0308rich")},
        {"emoji", QStringLiteral("\U0001F4EC stamp \U0001F1EC\U0001F1E7")},
        {"eighty", QString(80, u'W')},
        {"backslash", QStringLiteral("C:\\stamps\\%_\\")},
    };
}

// A megabyte pasted: plain letters, and letters that take two bytes each in UTF-8.
inline QString MegabyteText(char16_t letter = u'x')
{
    return QString(1 << 20, QChar(letter));
}
