#include "db/DbError.h"
#include "db/SqlDialect.h"

#include <QTest>

class TestDialect : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void translate_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Select * from stamp order by Issued" << "Select * from stamp order by Issued";
        QTest::newRow("like star") << "Color like 'Pen*'" << "Color_fold like 'pen%' ESCAPE '\\'";
        QTest::newRow("like question") << "catnum LIKE '1?a'" << "catnum_fold LIKE '1_a' ESCAPE '\\'";
        QTest::newRow("like literal percent") << "descr like '50%*'" << "descr_fold like '50\\%%' ESCAPE '\\'";
        QTest::newRow("like literal underscore") << "descr like 'a_b*'" << "descr_fold like 'a\\_b%' ESCAPE '\\'";
        QTest::newRow("like backslash") << "descr like 'a\\b*'" << "descr_fold like 'a\\\\b%' ESCAPE '\\'";
        QTest::newRow("like apostrophe") << "descr like 'O''Brien*'" << "descr_fold like 'o''brien%' ESCAPE '\\'";
        QTest::newRow("not like") << "descr not like 'x*'" << "descr_fold not like 'x%' ESCAPE '\\'";
        QTest::newRow("like other column") << "Issued like 'x*'" << "Issued like 'x%' ESCAPE '\\'";
        QTest::newRow("star outside like") << "catnum = '1*2'" << "catnum_fold = '1*2'";
        QTest::newRow("word ending in like") << "unlike = 'a*'" << "unlike = 'a*'";
        QTest::newRow("date") << "Issued = #7/4/1998#" << "Issued = '1998-07-04'";
        QTest::newRow("two dates") << "purchased >= #1/1/1995# and purchased <= #12/31/1997#"
                                   << "purchased >= '1995-01-01' and purchased <= '1997-12-31'";
        QTest::newRow("hash inside text") << "descr = 'No. #5'" << "descr_fold = 'no. #5'";
        QTest::newRow("bracket with quote") << "[it's] = 1" << "[it's] = 1";
        QTest::newRow("join") << "(Stamp left join country on Stamp.CouID = country.CouID)"
                              << "(Stamp left join country on Stamp.CouID = country.CouID)";
        // Collector text is matched folded and ordered by its collation key.
        QTest::newRow("accents and case") << "descr like 'ÖSTER*'" << "descr_fold like 'oster%' ESCAPE '\\'";
        QTest::newRow("qualified") << "stamp.descr like 'Straße*'" << "stamp.descr_fold like 'strasse%' ESCAPE '\\'";
        QTest::newRow("bracketed") << "[Coudesc] = 'Ελλάδα'" << "[Coudesc_fold] = 'ελλαδα'";
        QTest::newRow("not a literal") << "descr = catnum" << "descr = catnum";
        QTest::newRow("comparison") << "descr >= 'B'" << "descr >= 'B'";
        QTest::newRow("order by") << "Select * from stamp order by [descr]" << "Select * from stamp order by [descr_sort]";
        QTest::newRow("order by two") << "select * from s order by coudesc, descr desc, Year"
                                      << "select * from s order by Coudesc_sort, descr_sort desc, Year";
        QTest::newRow("catalogue number in its padded order") << "order by catnum" << "order by catsort_sort";
        QTest::newRow("the padded key is not matched") << "catsort = ' 12'" << "catsort = ' 12'";
        QTest::newRow("order by qualified") << "order by country.Coudesc" << "order by country.Coudesc_sort";
        QTest::newRow("order by expression") << "order by lower(descr), descr || 'x'" << "order by lower(descr), descr || 'x'";
        QTest::newRow("order by in subquery")
            << "select * from (select descr from stamp order by descr) where descr like 'a*' order by Year"
            << "select * from (select descr from stamp order by descr_sort) where descr_fold like 'a%' ESCAPE '\\' "
               "order by Year";
        QTest::newRow("assignment stays") << "update stamp set descr = 'Äb' where descr = 'Äb'"
                                          << "update stamp set descr = 'Äb' where descr_fold = 'ab'";
        QTest::newRow("select list stays") << "select descr, catnum from stamp" << "select descr, catnum from stamp";
    }
    void translate()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(TranslateSql(input), expected);
    }

    void malformed_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("impossible date") << "issued = #2/30/1998#";
        QTest::newRow("date words") << "issued = #May 1998#";
        QTest::newRow("open date") << "issued = #5/30/1998";
        QTest::newRow("open quote") << "descr = 'abc";
    }
    void malformed()
    {
        QFETCH(QString, input);
        try {
            TranslateSql(input);
            QFAIL("no error");
        } catch (const DbError& e) {
            QCOMPARE(e.Number(), ErrNo::QuerySyntax);
        }
    }

    void quoting()
    {
        QCOMPARE(SqlQuote(QStringLiteral("O'Brien's")), QStringLiteral("O''Brien''s"));
        QCOMPARE(SqlQuote(QStringLiteral("plain")), QStringLiteral("plain"));
        QCOMPARE(SqlNumber(12.5), QStringLiteral("12.5"));
        QCOMPARE(SqlNumber(-3), QStringLiteral("-3"));
    }
};

QTEST_APPLESS_MAIN(TestDialect)
#include "tst_dialect.moc"
