// The values of a CSV file of stamps: amounts, whole numbers, dates and yes/no
// values read in the file's conventions; the conventions guessed from the file;
// amounts written from their digits; texts that a spreadsheet would run as a
// formula; and which field a column heading names.

#include "csv/CsvValues.h"
#include "csv/StampFields.h"
#include "db/Schema.h"

#include <QLocale>
#include <QTest>

Q_DECLARE_METATYPE(DecimalMark)
Q_DECLARE_METATYPE(DateOrder)
Q_DECLARE_METATYPE(YesNoStyle)

namespace {

constexpr qint64 kRefused = std::numeric_limits<qint64>::min();

}  // namespace

class TestCsvValues : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void amounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<DecimalMark>("mark");
        QTest::addColumn<qint64>("units");  // ten-thousandths; kRefused when refused
        QTest::addColumn<QString>("reason");
        const auto P = DecimalMark::Point;
        const auto C = DecimalMark::Comma;
        const QString none;
        QTest::newRow("point") << "1.50" << P << qint64(15000) << none;
        QTest::newRow("comma") << "1,50" << C << qint64(15000) << none;
        QTest::newRow("a comma where a point is meant")
            << "1,50" << P << kRefused << "\"1,50\" is not an amount with a decimal point";
        QTest::newRow("grouped with commas") << "1,234.56" << P << qint64(12345600) << none;
        QTest::newRow("grouped with points") << "1.234,56" << C << qint64(12345600) << none;
        QTest::newRow("grouped with a blank") << "1 234,56" << C << qint64(12345600) << none;
        QTest::newRow("grouped with a no-break space") << "1\u00A0234,56" << C << qint64(12345600) << none;
        QTest::newRow("grouped with apostrophes") << "1'234.56" << P << qint64(12345600) << none;
        QTest::newRow("groups not of three")
            << "12,34,567" << P << kRefused << "\"12,34,567\" is not an amount with a decimal point";
        QTest::newRow("a grouping mark at the end")
            << "1,234," << P << kRefused << "\"1,234,\" is not an amount with a decimal point";
        QTest::newRow("currency sign before") << "$1.50" << P << qint64(15000) << none;
        QTest::newRow("currency sign after") << "1,50 \u20AC" << C << qint64(15000) << none;
        QTest::newRow("currency code") << "EUR 1,50" << C << qint64(15000) << none;
        QTest::newRow("minus") << "-2.5" << P << qint64(-25000) << none;
        QTest::newRow("minus after") << "2.5-" << P << qint64(-25000) << none;
        QTest::newRow("parentheses") << "(2.5)" << P << qint64(-25000) << none;
        QTest::newRow("a fifth decimal rounds up from 5") << "0.00005" << P << qint64(1) << none;
        QTest::newRow("and away from zero") << "-0.00005" << P << qint64(-1) << none;
        QTest::newRow("below a half rounds down") << "0.00004" << P << qint64(0) << none;
        QTest::newRow("no whole part") << ".5" << P << qint64(5000) << none;
        QTest::newRow("no fraction") << "5." << P << qint64(50000) << none;
        QTest::newRow("the largest amount") << "99999999999999.9999" << P << qint64(999'999'999'999'999'999) << none;
        QTest::newRow("too large") << "100000000000000" << P << kRefused
                                   << "\"100000000000000\" is too large an amount";
        QTest::newRow("rounded beyond the largest")
            << "99999999999999.99995" << P << kRefused << "\"99999999999999.99995\" is too large an amount";
        QTest::newRow("letters") << "abc" << P << kRefused << "\"abc\" is not an amount";
        QTest::newRow("two points") << "1.2.3" << P << kRefused << "\"1.2.3\" is not an amount";
        QTest::newRow("a sign alone") << "-" << P << kRefused << "\"-\" is not an amount";
    }
    void amounts()
    {
        QFETCH(QString, text);
        QFETCH(DecimalMark, mark);
        QFETCH(qint64, units);
        QString reason;
        const auto amount = ReadAmount(text, mark, &reason);
        QCOMPARE(amount.has_value(), units != kRefused);
        if (amount) QCOMPARE(amount->Units(), units);
        QTEST(reason, "reason");
    }

    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<bool>("read");
        QTest::newRow("plain") << "3" << qint64(3) << true;
        QTest::newRow("grouped") << "1,000" << qint64(1000) << true;
        QTest::newRow("a fraction of zeros") << "2.00" << qint64(2) << true;
        QTest::newRow("a fraction") << "2.5" << qint64(0) << false;
        QTest::newRow("negative") << "-4" << qint64(-4) << true;
        QTest::newRow("beyond 32 bits") << "2147483648" << qint64(0) << false;
        QTest::newRow("far beyond") << "99999999999999999999999" << qint64(0) << false;
        QTest::newRow("letters") << "abc" << qint64(0) << false;
    }
    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, read);
        QString reason;
        const auto value = ReadWhole(text, DecimalMark::Point, -2147483648LL, 2147483647LL, &reason);
        QCOMPARE(value.has_value(), read);
        if (read) QTEST(*value, "value");
        QCOMPARE(reason.isEmpty(), read);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<DateOrder>("order");
        QTest::addColumn<QString>("date");  // ISO, or "year N" for a year alone, or "" refused
        const auto dmy = DateOrder::Dmy, mdy = DateOrder::Mdy, ymd = DateOrder::Ymd;
        QTest::newRow("ISO in any order") << "1998-05-31" << mdy << "1998-05-31";
        QTest::newRow("day first") << "31/05/1998" << dmy << "1998-05-31";
        QTest::newRow("month first") << "05/31/1998" << mdy << "1998-05-31";
        QTest::newRow("German") << "31.05.1998" << dmy << "1998-05-31";
        QTest::newRow("dashes and one-digit parts") << "5-3-1998" << mdy << "1998-05-03";
        QTest::newRow("30 February") << "30/02/1998" << dmy << "";
        QTest::newRow("31 February, month first") << "02/31/1998" << mdy << "";
        QTest::newRow("a month 13") << "13/05/1998" << mdy << "";
        QTest::newRow("two-digit year, 1900s") << "12/05/98" << dmy << "1998-05-12";
        QTest::newRow("two-digit year 29") << "12/05/29" << dmy << "2029-05-12";
        QTest::newRow("two-digit year 30") << "12/05/30" << dmy << "1930-05-12";
        QTest::newRow("year first, two digits") << "98/05/31" << ymd << "1998-05-31";
        QTest::newRow("with a time") << "1998-05-31T00:00:00" << ymd << "1998-05-31";
        QTest::newRow("with a time after a blank") << "31/05/1998 14:30:00" << dmy << "1998-05-31";
        QTest::newRow("a year alone") << "1998" << ymd << "year 1998";
        QTest::newRow("a year and a month") << "1998-05" << dmy << "year 1998";
        QTest::newRow("a year and no month") << "1998-13" << dmy << "";
        QTest::newRow("four numbers") << "1/2/3/4" << dmy << "";
        QTest::newRow("words") << "May 31, 1998" << mdy << "";
        QTest::newRow("a three-digit year") << "31/05/998" << dmy << "";
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(DateOrder, order);
        QFETCH(QString, date);
        QString reason;
        int year = 0;
        const auto read = ReadDate(text, order, &reason, &year);
        if (date.startsWith(u"year ")) {
            QVERIFY(!read);
            QCOMPARE(year, date.mid(5).toInt());
            QVERIFY(reason.isEmpty());
        } else if (date.isEmpty()) {
            QVERIFY(!read);
            QCOMPARE(reason, u'"' + text + QStringLiteral("\" is not a date"));
        } else {
            QVERIFY(read);
            QCOMPARE(read->toString(Qt::ISODate), date);
        }
        // Where no year alone is taken, one is no date.
        if (date.startsWith(u"year ")) QVERIFY(!ReadDate(text, order, &reason));
    }

    void yesNo_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<YesNoStyle>("style");
        QTest::addColumn<int>("value");  // 1 yes, 0 no, -1 refused
        const auto words = YesNoStyle::YesNo, mark = YesNoStyle::Mark;
        QTest::newRow("Yes") << "Yes" << words << 1;
        QTest::newRow("no") << "no" << words << 0;
        QTest::newRow("TRUE") << "TRUE" << YesNoStyle::TrueFalse << 1;
        QTest::newRow("false") << "false" << words << 0;
        QTest::newRow("1") << "1" << YesNoStyle::OneZero << 1;
        QTest::newRow("0") << "0" << words << 0;
        QTest::newRow("-1") << "-1" << words << 1;
        QTest::newRow("x") << "x" << words << 1;
        QTest::newRow("blank") << "  " << words << 0;
        QTest::newRow("Ja") << "Ja" << words << 1;
        QTest::newRow("WAHR") << "WAHR" << words << 1;
        QTest::newRow("Falsch") << "Falsch" << mark << 0;
        QTest::newRow("a check mark") << "\u2713" << words << 1;
        QTest::newRow("an unknown word") << "maybe" << words << -1;
        QTest::newRow("any sign as a mark") << "*" << mark << 1;
    }
    void yesNo()
    {
        QFETCH(QString, text);
        QFETCH(YesNoStyle, style);
        QFETCH(int, value);
        QString reason;
        const auto read = ReadYesNo(text, style, &reason);
        QCOMPARE(read.has_value(), value >= 0);
        if (read)
            QCOMPARE(int(*read), value);
        else
            QCOMPARE(reason, u'"' + text + QStringLiteral("\" is not a yes or no"));
    }

    void guesses_data()
    {
        QTest::addColumn<QString>("rows");  // rows of "price|date|used", separated by "#"
        QTest::addColumn<QString>("separator");
        QTest::addColumn<DecimalMark>("decimal");
        QTest::addColumn<DateOrder>("dates");
        QTest::addColumn<YesNoStyle>("yesNo");
        QTest::newRow("a German spreadsheet") << "1,50|31.12.1998|Ja#1.234,00|01.02.2003|Nein"
                                              << ";" << DecimalMark::Comma << DateOrder::Dmy << YesNoStyle::YesNo;
        QTest::newRow("an American one") << "1.50|05/31/1998|TRUE#2.00|1/2/2003|FALSE"
                                         << "," << DecimalMark::Point << DateOrder::Mdy << YesNoStyle::TrueFalse;
        QTest::newRow("ISO dates and marks") << "3|1998-05-31|x#4|2003-01-02|"
                                             << "," << DecimalMark::Point << DateOrder::Ymd << YesNoStyle::Mark;
        QTest::newRow("a grouping comma is no decimal comma")
            << "1,234,567|31/12/1998|1#2,500,000|1/2/2003|0"
            << "," << DecimalMark::Point << DateOrder::Dmy << YesNoStyle::OneZero;
        QTest::newRow("three decimals tell nothing; semicolons do")
            << "1,500|1/2/2003|Yes"
            << ";" << DecimalMark::Comma << DateOrder::Dmy << YesNoStyle::YesNo;
    }
    void guesses()
    {
        QFETCH(QString, rows);
        QFETCH(QString, separator);
        std::vector<QStringList> sample;
        for (const QString& row : rows.split(u'#')) sample.push_back(row.split(u'|'));
        const ValueConventions c = GuessConventions(sample, {Fld::PricePaid, Fld::Issued, Fld::Used}, separator.at(0));
        QTEST(c.decimal, "decimal");
        QTEST(c.dates, "dates");
        QTEST(c.yesNo, "yesNo");
    }

    void writtenAmounts_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0.00";
        QTest::newRow("cents") << qint64(15000) << "1.50";
        QTest::newRow("four decimals") << qint64(1234) << "0.1234";
        QTest::newRow("negative") << qint64(-30000) << "-3.00";
        QTest::newRow("a negative fraction") << qint64(-1) << "-0.0001";
        QTest::newRow("the largest, every digit") << qint64(999'999'999'999'999'999) << "99999999999999.9999";
        QTest::newRow("large with cents") << qint64(123'456'789'012'345'600) << "12345678901234.56";
    }
    void writtenAmounts()
    {
        QFETCH(qint64, units);
        QFETCH(QString, text);
        QCOMPARE(PlainAmount(Money::FromUnits(units)), text);
        // Whatever the locale, it reads back with a decimal point.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(PlainAmount(Money::FromUnits(units)), text);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(ReadAmount(text, DecimalMark::Point, nullptr)->Units(), units);
    }

    void formulas_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("guarded");
        QTest::newRow("=") << "=HYPERLINK(\"http://x\")" << true;
        QTest::newRow("+") << "+1" << true;
        QTest::newRow("-") << "-5 overprint" << true;
        QTest::newRow("@") << "@SUM(A1)" << true;
        QTest::newRow("tab") << "\tTab" << true;
        QTest::newRow("carriage return") << "\rCR" << true;
        QTest::newRow("an apostrophe") << "'quoted'" << true;
        QTest::newRow("two apostrophes") << "''=x" << true;
        QTest::newRow("plain") << "Penny Black" << false;
        QTest::newRow("an equals sign inside") << "a=b" << false;
        QTest::newRow("empty") << "" << false;
    }
    void formulas()
    {
        QFETCH(QString, text);
        QFETCH(bool, guarded);
        const QString written = ProtectFormula(text);
        QCOMPARE(written, guarded ? u'\'' + text : text);
        QCOMPARE(UnprotectFormula(written), text);
    }

    void aForeignApostropheStays()
    {
        // Another program's text that begins with an apostrophe, not written by us.
        QCOMPARE(UnprotectFormula(QStringLiteral("'tis")), QStringLiteral("'tis"));
        QCOMPARE(UnprotectFormula(QStringLiteral("'")), QStringLiteral("'"));
    }

    void fieldsFollowTheMainWindow()
    {
        const auto& fields = StampFields();
        const auto& catalogue = FieldCatalogueRows();
        QCOMPARE(int(fields.size()), Fld::Count);
        QCOMPARE(fields.size(), catalogue.size());
        for (size_t i = 0; i < fields.size(); ++i) QCOMPARE(fields[i].caption, QString::fromUtf8(catalogue[i].desc));
        QCOMPARE(fields[Fld::Descr].caption, QStringLiteral("Description"));
        QCOMPARE(fields[Fld::Misc2].caption, QStringLiteral("Misc. 2"));
        QCOMPARE(fields[Fld::PricePaid].total, Fld::TotalPaid);
    }

    void mapping_data()
    {
        QTest::addColumn<QString>("headings");
        QTest::addColumn<QList<int>>("fields");
        const int I = Fld::Ignore;
        QTest::newRow("our captions") << "Description,Catalog Num,Country,Total Paid,Misc. 2"
                                      << QList<int>{Fld::Descr, Fld::CatNum, Fld::Country, I, Fld::Misc2};
        QTest::newRow("our column names, any case")
            << "DESCR,catnum,couid,PricePaid" << QList<int>{Fld::Descr, Fld::CatNum, Fld::Country, Fld::PricePaid};
        QTest::newRow("Colnect")
            << "Name,Country,Series,Catalog Codes,Issued on,Paper,Watermark,Emission,Format,Perforation,Printing,Gum,"
               "Currency,FaceValue,Colors,Themes,Description"
            << QList<int>{Fld::Descr,     Fld::Country, Fld::Ignore, Fld::CatalogCodes, Fld::Issued, Fld::Paper,
                          Fld::Watermark, Fld::Type,    Fld::Format, Fld::Perf,         Fld::Ignore, Fld::Gum,
                          Fld::Ignore,    Fld::Face,    Fld::Color,  Fld::Topic,        Fld::Notes};
        QTest::newRow("a spreadsheet of one's own")
            << "Title,Scott #,Qty,Price,Value,Comments,Cat No"
            << QList<int>{Fld::Descr, Fld::CatNum, Fld::Quantity, Fld::PricePaid, Fld::CatValue, Fld::Notes, I};
        QTest::newRow("a field twice: the first column has it")
            << "Country,Land,Description" << QList<int>{Fld::Country, I, Fld::Descr};
        QTest::newRow("unknown headings") << "Foo,,Bar" << QList<int>{I, I, I};
    }
    void mapping()
    {
        QFETCH(QString, headings);
        QFETCH(QList<int>, fields);
        const std::vector<int> guessed = GuessMapping(headings.split(u','));
        QCOMPARE(QList<int>(guessed.begin(), guessed.end()), fields);
    }

    void fieldsByName()
    {
        QCOMPARE(FieldByName(QStringLiteral("Catalog Num")), std::optional<int>(Fld::CatNum));
        QCOMPARE(FieldByName(QStringLiteral("catnum")), std::optional<int>(Fld::CatNum));
        QCOMPARE(FieldByName(QStringLiteral("Country")), std::optional<int>(Fld::Country));
        QCOMPARE(FieldByName(QStringLiteral("Description")), std::optional<int>(Fld::Descr));
        QCOMPARE(FieldByName(QStringLiteral("(ignore)")), std::optional<int>(Fld::Ignore));
        QCOMPARE(FieldByName(QStringLiteral("Total Paid")), std::nullopt);
        QCOMPARE(FieldByName(QStringLiteral("nonsense")), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(TestCsvValues)
#include "tst_csvvalues.moc"
