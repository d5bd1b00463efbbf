#pragma once

// The small field catalogue the custom report tests build on, and a compact way
// to write per-field settings into test tables: "4.mGreater=100", "5.mHide=1",
// "3.mStartDate=1995-01-01".

#include "custom/FieldCatalogue.h"
#include "custom/FieldSettingsTable.h"

#include <QStringList>

// 1 Description (text, 2), 2 Country (country, 1.5), 3 Purchased (date, empty
// width), 4 Price Paid (number, money, 1), 5 Sold (yes/no), 6 Condition
// (condition, 1.4), 7 Country Note (a second country column), 8 Year (number).
inline FieldCatalogue SmallCatalogue()
{
    std::vector<CatalogueField> rows = {
        {2, QStringLiteral("Country"), QStringLiteral("Coudesc"), 1, QStringLiteral("country"), QStringLiteral("CouID"),
         1.5F, false},
        {6, QStringLiteral("Condition"), QStringLiteral("conDesc"), 1, QStringLiteral("condition"),
         QStringLiteral("ConID"), 1.4F, false},
        {7, QStringLiteral("Country Note"), QStringLiteral("CouNote"), 1, QStringLiteral("country"),
         QStringLiteral("CouID"), 1, false},
        {1, QStringLiteral("Description"), QStringLiteral("descr"), 1, QStringLiteral("Stamp"), QString(), 2, false},
        {4, QStringLiteral("Price Paid"), QStringLiteral("pricepaid"), 2, QStringLiteral("Stamp"), QString(), 1, true},
        {3, QStringLiteral("Purchased"), QStringLiteral("purchased"), 3, QStringLiteral("Stamp"), QString(), 1, false},
        {5, QStringLiteral("Sold"), QStringLiteral("sold"), 4, QStringLiteral("Stamp"), QString(), 0.5F, false},
        {8, QStringLiteral("Year"), QStringLiteral("Year"), 2, QStringLiteral("Stamp"), QString(), 0.75F, false},
    };
    return *FieldCatalogue::FromRows(std::move(rows));
}

// Applies "spec.member=value" entries; dates in ISO form.
inline void ApplySettings(FieldSettingsTable& table, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const qsizetype dot = entry.indexOf(u'.');
        const qsizetype eq = entry.indexOf(u'=');
        const int spec = entry.left(dot).toInt();
        const QString member = entry.mid(dot + 1, eq - dot - 1);
        const QString value = entry.mid(eq + 1);
        FieldSettings& s = table[spec];
        if (member == u"mWidth")
            s.mWidth = value.toFloat();
        else if (member == u"mHide")
            s.mHide = value == u"1";
        else if (member == u"mTotal")
            s.mTotal = value == u"1";
        else if (member == u"mStarting")
            s.mStarting = value;
        else if (member == u"mGreater")
            s.mGreater = value;
        else if (member == u"mLess")
            s.mLess = value;
        else if (member == u"mStartDate")
            s.mStartDate = QDate::fromString(value, Qt::ISODate);
        else if (member == u"mEndDate")
            s.mEndDate = QDate::fromString(value, Qt::ISODate);
        else if (member == u"mOptTrue")
            s.mOptTrue = value == u"1";
        else if (member == u"mOptFalse")
            s.mOptFalse = value == u"1";
        else
            qFatal("unknown setting %s", qPrintable(member));
    }
}

inline QList<int> SpecList(const QString& text)
{
    QList<int> out;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) out << part.trimmed().toInt();
    return out;
}
