#include "dates/DateText.h"
#include "dates/LocaleFormats.h"
#include "db/Globals.h"

#include <QLocale>
#include <QTest>

class TestDateText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void detection_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("sep");
        QTest::newRow("en_US") << "en_US" << "mdy" << "/";
        QTest::newRow("de_DE") << "de_DE" << "dmy" << ".";
        QTest::newRow("ja_JP") << "ja_JP" << "ymd" << "/";
        QTest::newRow("nl_NL") << "nl_NL" << "dmy" << "-";
        QTest::newRow("C falls back to ISO") << "C" << "ymd" << "-";
        QTest::newRow("ar_EG native digits") << "ar_EG" << "dmy" << "/";
    }
    void detection()
    {
        QFETCH(QString, locale);
        QFETCH(QString, order);
        QFETCH(QString, sep);
        QLocale::setDefault(QLocale(locale));
        gDateOrder = QStringLiteral("junk");
        ChkDateFmt();
        QCOMPARE(gDateOrder, order);
        QCOMPARE(gDateSep, sep);
        ChkDateFmt();
        QCOMPARE(gDateOrder, order);  // replaced, not appended
    }

    void formatDate_data()
    {
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("text");
        QTest::newRow("dmy") << "dmy" << "1 12 1999";
        QTest::newRow("ymd") << "ymd" << "1999 12 1";
        QTest::newRow("ydm") << "ydm" << "1999 1 12";
        QTest::newRow("mdy") << "mdy" << "12 1 1999";
        QTest::newRow("myd falls back") << "myd" << "12 1 1999";
        QTest::newRow("empty falls back") << "" << "12 1 1999";
    }
    void formatDate()
    {
        QFETCH(QString, order);
        QFETCH(QString, text);
        gDateOrder = order;
        QCOMPARE(FormatDate(12, 1, 1999), text);
    }

    void formattedDatesReadBack_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char* name : {"en_US", "de_DE", "ja_JP", "C"}) QTest::newRow(name) << QString::fromLatin1(name);
    }
    void formattedDatesReadBack()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        ChkDateFmt();
        // Picking 3 May 1998 in the calendar reads back as 3 May, not 5 March.
        QCOMPARE(ParseDate(FormatDate(5, 3, 1998)), std::optional<QDate>(QDate(1998, 5, 3)));
        QCOMPARE(ParseDate(FormatDate(2, 30, 1998)), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(TestDateText)
#include "tst_datetext.moc"
