#include "dates/LocaleFormats.h"

#include <QLocale>
#include <QTest>

class TestLocaleFormats : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void currencyDisplay_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("shown");
        QTest::newRow("en_US") << "en_US" << qint64(12345000) << "$1,234.50";
        QTest::newRow("en_US negative") << "en_US" << qint64(-20000) << "($2.00)";
        QTest::newRow("en_US sub-cent kept") << "en_US" << qint64(12345) << "$1.2345";
        QTest::newRow("de_DE") << "de_DE" << qint64(12345000) << "1.234,50\u00a0€";
        QTest::newRow("ja_JP whole") << "ja_JP" << qint64(15000000) << "￥1,500";
        QTest::newRow("ja_JP cents kept") << "ja_JP" << qint64(15000) << "￥1.5";
        QTest::newRow("C") << "C" << qint64(12345000) << "1234.50";
    }
    void currencyDisplay()
    {
        QFETCH(QString, locale);
        QFETCH(qint64, units);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(FormatCurrency(Money::FromUnits(units)), shown);
    }

    void currencyRoundTrip_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char* name : {"en_US", "de_DE", "ja_JP", "C", "fr_FR", "de_CH", "sv_SE", "ar_EG", "hi_IN"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void currencyRoundTrip()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        for (qint64 units : {0LL, 5000LL, 15000LL, 12345LL, 12345000LL, -20000LL, 12345678900000LL}) {
            const QString shown = FormatCurrency(Money::FromUnits(units));
            const auto back = ParseCurrency(shown);
            QVERIFY2(back.has_value(), qPrintable(shown));
            QCOMPARE(back->Units(), units);
        }
    }

    void parsing_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "en_US" << "2.5" << true << 2.5;
        QTest::newRow("blanks") << "en_US" << "  42 " << true << 42.0;
        QTest::newRow("symbol and group") << "en_US" << "$1,234.50" << true << 1234.5;
        QTest::newRow("parentheses") << "en_US" << "($2.00)" << true << -2.0;
        QTest::newRow("leading minus") << "en_US" << "-$2.00" << true << -2.0;
        QTest::newRow("trailing minus") << "en_US" << "2-" << true << -2.0;
        QTest::newRow("no whole part") << "en_US" << ".5" << true << 0.5;
        QTest::newRow("letters") << "en_US" << "12a" << false << 0.0;
        QTest::newRow("empty") << "en_US" << "" << false << 0.0;
        QTest::newRow("blanks only") << "en_US" << "   " << false << 0.0;
        QTest::newRow("sign only") << "en_US" << "-" << false << 0.0;
        QTest::newRow("symbol only") << "en_US" << "$" << false << 0.0;
        QTest::newRow("comma one digit") << "en_US" << "12,5" << false << 0.0;
        QTest::newRow("two points") << "en_US" << "1.2.3" << false << 0.0;
        QTest::newRow("de decimal comma") << "de_DE" << "12,5" << true << 12.5;
        QTest::newRow("de grouping") << "de_DE" << "1.234,5 €" << true << 1234.5;
        QTest::newRow("de point one digit") << "de_DE" << "2.5" << false << 0.0;
        QTest::newRow("de no-break space") << "de_DE" << "2,50\u00a0€" << true << 2.5;
        QTest::newRow("fr narrow space") << "fr_FR" << "1\u202f234,50\u00a0€" << true << 1234.5;
        QTest::newRow("ar native digits") << "ar_EG" << "١٢٫٥" << true << 12.5;
        QTest::newRow("semicolon") << "en_US" << "1;2" << false << 0.0;
    }
    void parsing()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(IsNumeric(text), numeric);
        if (numeric) QCOMPARE(*ParseNumber(text), value);
    }

    void wholeNumbers()
    {
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        QCOMPARE(ParseWholeNumber(QStringLiteral("1998"), -32768, 32767), std::optional<qint32>(1998));
        QCOMPARE(ParseWholeNumber(QStringLiteral("32768"), -32768, 32767), std::nullopt);
        QCOMPARE(ParseWholeNumber(QStringLiteral("2147483648"), INT32_MIN, INT32_MAX), std::nullopt);
        QCOMPARE(ParseWholeNumber(QStringLiteral("2.5"), INT32_MIN, INT32_MAX), std::optional<qint32>(2));
        QCOMPARE(ParseWholeNumber(QStringLiteral("3.5"), INT32_MIN, INT32_MAX), std::optional<qint32>(4));
        QCOMPARE(ParseWholeNumber(QStringLiteral("x"), INT32_MIN, INT32_MAX), std::nullopt);
    }

    void generalNumbers_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("en") << "en_US" << 1234.5 << "1234.5";
        QTest::newRow("whole") << "en_US" << 2160.0 << "2160";
        QTest::newRow("de") << "de_DE" << 1234.5 << "1234,5";
        QTest::newRow("negative") << "en_US" << -3.25 << "-3.25";
        QTest::newRow("million") << "en_US" << 1000000.0 << "1000000";
    }
    void generalNumbers()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(FormatGeneralNumber(value), shown);
    }

    void singles()
    {
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        QCOMPARE(FormatSingle(2.0f * 561.6f), QStringLiteral("1123.2"));
        QCOMPARE(FormatSingle(1.5f * 561.6f), QStringLiteral("842.4"));
        QCOMPARE(FormatSingle(1.5f * 1440.0f), QStringLiteral("2160"));
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        QCOMPARE(FormatSingle(2.0f * 561.6f), QStringLiteral("1123,2"));
        QCOMPARE(FormatPlainMoney(Money::FromUnits(45000)), QStringLiteral("4,5"));
    }

    void shortDates_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("order");
        QTest::newRow("en_US") << "en_US" << "M/d/yyyy" << "5/30/1998" << "mdy";
        QTest::newRow("de_DE") << "de_DE" << "dd.MM.yyyy" << "30.05.1998" << "dmy";
        QTest::newRow("ja_JP") << "ja_JP" << "yyyy/MM/dd" << "1998/05/30" << "ymd";
        QTest::newRow("C") << "C" << "yyyy-MM-dd" << "1998-05-30" << "ymd";
        QTest::newRow("nl_NL") << "nl_NL" << "dd-MM-yyyy" << "30-05-1998" << "dmy";
        // The locale's own literal text and spacing stay; only the year widens.
        QTest::newRow("bg_BG literal kept") << "bg_BG"
                                            << "d.MM.yyyy '\u0433'."
                                            << "30.05.1998 \u0433."
                                            << "dmy";
        QTest::newRow("hu_HU") << "hu_HU"
                               << "yyyy. MM. dd."
                               << "1998. 05. 30."
                               << "ymd";
        QTest::newRow("sk_SK") << "sk_SK"
                               << "d. M. yyyy"
                               << "30. 5. 1998"
                               << "dmy";
        QTest::newRow("ko_KR trailing dot") << "ko_KR"
                                            << "yyyy. M. d."
                                            << "1998. 5. 30."
                                            << "ymd";
        QTest::newRow("hr_HR") << "hr_HR"
                               << "dd. MM. yyyy."
                               << "30. 05. 1998."
                               << "dmy";
        QTest::newRow("ar_EG marks kept") << "ar_EG"
                                          << "d\u200f/M\u200f/yyyy"
                                          << "\u0663\u0660\u200f/\u0665\u200f/\u0661\u0669\u0669\u0668"
                                          << "dmy";
    }
    void shortDates()
    {
        QFETCH(QString, locale);
        QFETCH(QString, pattern);
        QFETCH(QString, shown);
        QFETCH(QString, order);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(ShortDatePattern(), pattern);
        QCOMPARE(FormatShortDate(QDate(1998, 5, 30)), shown);
        QCOMPARE(LocaleDateOrder(), order);
        QCOMPARE(ParseDate(shown), std::optional<QDate>(QDate(1998, 5, 30)));
        // Every day of a leap year and a century comes back as itself.
        for (QDate d(1899, 12, 25); d <= QDate(1900, 3, 5); d = d.addDays(1)) QCOMPARE(*ParseDate(FormatShortDate(d)), d);
        for (QDate d(2000, 2, 25); d <= QDate(2000, 3, 2); d = d.addDays(1)) QCOMPARE(*ParseDate(FormatShortDate(d)), d);
    }

    void dateParsing_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("us two-digit year") << "en_US" << "5/30/98" << QDate(1998, 5, 30);
        QTest::newRow("us window top") << "en_US" << "1/1/29" << QDate(2029, 1, 1);
        QTest::newRow("us window bottom") << "en_US" << "1/1/30" << QDate(1930, 1, 1);
        QTest::newRow("us dashes") << "en_US" << "7-4-1998" << QDate(1998, 7, 4);
        QTest::newRow("us blanks") << "en_US" << "12 1 1999" << QDate(1999, 12, 1);
        QTest::newRow("iso anywhere") << "de_DE" << "1998-07-04" << QDate(1998, 7, 4);
        QTest::newRow("de day first") << "de_DE" << "3.5.1998" << QDate(1998, 5, 3);
        QTest::newRow("de blanks") << "de_DE" << "30 5 1998" << QDate(1998, 5, 30);
        QTest::newRow("impossible") << "en_US" << "2/30/1998" << QDate();
        QTest::newRow("not leap") << "en_US" << "2/29/1900" << QDate();
        QTest::newRow("leap") << "en_US" << "2/29/2000" << QDate(2000, 2, 29);
        QTest::newRow("words") << "en_US" << "May 30 1998" << QDate();
        QTest::newRow("two numbers") << "en_US" << "5/30" << QDate();
        QTest::newRow("empty") << "en_US" << "" << QDate();
        QTest::newRow("month 13") << "en_US" << "13/1/1998" << QDate();
        QTest::newRow("apostrophe") << "en_US" << "5/30/'98" << QDate();
        QTest::newRow("bg without its word") << "bg_BG"
                                             << "30.05.1998" << QDate(1998, 5, 30);
        QTest::newRow("bg with its word") << "bg_BG"
                                          << "3.5.1998 \u0433." << QDate(1998, 5, 3);
        QTest::newRow("bg another word") << "bg_BG"
                                         << "3.5.1998 x." << QDate();
        QTest::newRow("ko without the last dot") << "ko_KR"
                                                 << "1998. 5. 30" << QDate(1998, 5, 30);
    }
    void dateParsing()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QLocale::setDefault(QLocale(locale));
        const auto parsed = ParseDate(text);
        QCOMPARE(parsed.value_or(QDate()), date);
        QCOMPARE(IsDate(text), date.isValid());
    }

    // Money and date forms are worked out once per locale and kept: a change of
    // locale shows at once, in both directions, and grouping, native digits and
    // the locale's own sign forms survive the short cut.
    void formatsFollowTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("money");
        QTest::addColumn<QString>("date");
        QTest::newRow("de_DE grouping") << "de_DE" << qint64(123456789000) << "12.345.678,90\u00a0\u20ac"
                                        << "09.02.2024";
        QTest::newRow("hi_IN lakh grouping") << "hi_IN" << qint64(123456789000) << "\u20b91,23,45,678.90"
                                             << "9/2/2024";
        QTest::newRow("fr_CH negative") << "fr_CH" << qint64(-9995000) << "(999,50\u00a0CHF)"
                                        << "09.02.2024";
        QTest::newRow("ar_EG native digits")
            << "ar_EG" << qint64(12345) << "\u0661\u066b\u0662\u0663\u0664\u0665\u00a0\u062c.\u0645.\u200f"
            << "\u0669\u200f/\u0662\u200f/\u0662\u0660\u0662\u0664";
        QTest::newRow("C") << "C" << qint64(123456789000) << "12345678.90"
                           << "2024-02-09";
        QTest::newRow("ja_JP") << "ja_JP" << qint64(9990000) << "\uffe5999"
                               << "2024/02/09";
    }
    void formatsFollowTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(qint64, units);
        QFETCH(QString, money);
        QFETCH(QString, date);
        const QDate day(2024, 2, 9);
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QLocale::setDefault(us);
        QCOMPARE(FormatCurrency(Money::FromUnits(123456789000)), QStringLiteral("$12,345,678.90"));
        QCOMPARE(FormatShortDate(day), QStringLiteral("2/9/2024"));
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(FormatCurrency(Money::FromUnits(units)), money);
        QCOMPARE(FormatShortDate(day), date);
        QCOMPARE(ParseCurrency(money).value_or(Money()).Units(), units);
        QLocale::setDefault(us);
        QCOMPARE(FormatCurrency(Money::FromUnits(-9995000)), QStringLiteral("($999.50)"));
        QCOMPARE(FormatShortDate(day), QStringLiteral("2/9/2024"));
    }

    // Amounts below and above a thousand, and dates outside four-digit years,
    // are written as the locale itself writes them.
    void formatBoundaries_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("money");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("date");
        QTest::newRow("en_US 999.99") << "en_US" << qint64(9999900) << "$999.99" << QDate(1840, 5, 6) << "5/6/1840";
        QTest::newRow("en_US 1,000") << "en_US" << qint64(10000000) << "$1,000.00" << QDate(999, 1, 2) << "1/2/0999";
        QTest::newRow("en_US zero") << "en_US" << qint64(0) << "$0.00" << QDate(9999, 12, 31) << "12/31/9999";
        QTest::newRow("en_US four decimals")
            << "en_US" << qint64(-1) << "($0.0001)" << QDate(2000, 10, 10) << "10/10/2000";
        QTest::newRow("es_ES 1000 ungrouped")
            << "es_ES" << qint64(10000000) << "1000,00\u00a0\u20ac" << QDate(2000, 10, 1) << "1/10/2000";
        QTest::newRow("es_ES 10.000 grouped")
            << "es_ES" << qint64(100000000) << "10.000,00\u00a0\u20ac" << QDate(999, 1, 2) << "2/1/0999";
        QTest::newRow("en_US before the common era")
            << "en_US" << qint64(10000) << "$1.00" << QDate(-44, 3, 15) << "3/15/-0044";
        QTest::newRow("en_US five-digit year")
            << "en_US" << qint64(10000) << "$1.00" << QDate(12345, 3, 15) << "3/15/12345";
        QTest::newRow("de_DE early year")
            << "de_DE" << qint64(5000) << "0,50\u00a0\u20ac" << QDate(999, 1, 2) << "02.01.0999";
    }
    void formatBoundaries()
    {
        QFETCH(QString, locale);
        QFETCH(qint64, units);
        QFETCH(QString, money);
        QFETCH(QDate, day);
        QFETCH(QString, date);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(FormatCurrency(Money::FromUnits(units)), money);
        QCOMPARE(FormatShortDate(day), date);
    }
};

QTEST_APPLESS_MAIN(TestLocaleFormats)
#include "tst_localeformats.moc"
