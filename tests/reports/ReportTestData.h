#pragma once

// A small collection that every report test runs on. Held stamps: "Tom & Jerry"
// (France), "<b>Bold</b>" (no country), "Airmail a|b;c" (Belgium), "Hinge
// remnant" (no codes at all). Sold: "Penny Black" (the worked example:
// quantity 3, 1.50 paid, 2.00 asked) and "Lost cause" (also on the want list,
// with no prices, country or condition). Want list: "Zeppelin", "Lost cause".

#include "TestCatalogue.h"

inline void FillReportCatalogue(const TestCatalogue& cat)
{
    cat.Exec(QStringLiteral(
        "INSERT INTO country (CouID, Coudesc) VALUES (1, 'France'), (2, 'Belgium'), (3, 'Canada');"
        "INSERT INTO Condition (ConID, conDesc) VALUES (1, 'Mint'), (2, 'Used');"
        "INSERT INTO type (typeID, Typedesc) VALUES (1, 'Definitive'), (2, 'Commemorative');"
        "INSERT INTO format (formID, FormDesc) VALUES (1, 'Single'), (2, 'Block');"
        "INSERT INTO topic (topID, TopDesc) VALUES (1, 'Birds'), (2, 'Ships');"
        "INSERT INTO Stamp (descr, catnum, face, Year, quantity, CouID, typeID, formID, topID, ConID, pricepaid, "
        "catvalue, priceask, sold, wantlist) VALUES "
        "('Tom & Jerry', '12', 0.5, 1990, 2, 1, 1, 1, 1, 1, 1.25, 3.0, NULL, 0, 0),"
        "('<b>Bold</b>', '7a', NULL, NULL, 1, NULL, 2, NULL, 2, NULL, NULL, 0.75, NULL, 0, 0),"
        "('Airmail a|b;c', 'A;1', 1.0, 1935, 1, 2, 1, 2, 2, 2, 10.0, NULL, NULL, 0, 0),"
        "('Hinge remnant', '', NULL, 1950, 5, NULL, NULL, NULL, NULL, NULL, 0.1, 0.2, NULL, 0, 0),"
        "('Penny Black', '1', 0.01, 1840, 3, 2, 1, 1, 1, 1, 1.5, 9.0, 2.0, 1, 0),"
        "('Lost cause', '', NULL, NULL, 1, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0.5, 1, 1),"
        "('Zeppelin', 'C1', 2.6, 1930, 1, 1, 2, 1, 2, 2, 250.0, NULL, NULL, 0, 1);"));
}

// The lines of a report file as the program writes them: UTF-8, CR LF after each.
inline QByteArray FileBytes(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines) out += line.toUtf8() + "\r\n";
    return out;
}

inline QStringList HtmlTail()
{
    return {"</table>", "<H6>List Produced by <A HREF=\"https://tessarine.org\">Tessarine</A></H6>", "</body>",
            "</html>"};
}
