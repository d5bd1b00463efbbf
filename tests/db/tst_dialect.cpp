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
        QTest::newRow("plain") << "Select * from stamp order by [descr]" << "Select * from stamp order by [descr]";
        QTest::newRow("like star") << "descr like 'Pen*'" << "descr like 'Pen%' ESCAPE '\\'";
        QTest::newRow("like question") << "catnum LIKE '1?a'" << "catnum LIKE '1_a' ESCAPE '\\'";
        QTest::newRow("like literal percent") << "descr like '50%*'" << "descr like '50\\%%' ESCAPE '\\'";
        QTest::newRow("like literal underscore") << "descr like 'a_b*'" << "descr like 'a\\_b%' ESCAPE '\\'";
        QTest::newRow("like backslash") << "descr like 'a\\b*'" << "descr like 'a\\\\b%' ESCAPE '\\'";
        QTest::newRow("like apostrophe") << "descr like 'O''Brien*'" << "descr like 'O''Brien%' ESCAPE '\\'";
        QTest::newRow("not like") << "descr not like 'x*'" << "descr not like 'x%' ESCAPE '\\'";
        QTest::newRow("star outside like") << "catnum = '1*2'" << "catnum = '1*2'";
        QTest::newRow("word ending in like") << "unlike = 'a*'" << "unlike = 'a*'";
        QTest::newRow("date") << "Issued = #7/4/1998#" << "Issued = '1998-07-04'";
        QTest::newRow("two dates") << "purchased >= #1/1/1995# and purchased <= #12/31/1997#"
                                   << "purchased >= '1995-01-01' and purchased <= '1997-12-31'";
        QTest::newRow("hash inside text") << "descr = 'No. #5'" << "descr = 'No. #5'";
        QTest::newRow("bracket with quote") << "[it's] = 1" << "[it's] = 1";
        QTest::newRow("join") << "(Stamp left join country on Stamp.CouID = country.CouID)"
                              << "(Stamp left join country on Stamp.CouID = country.CouID)";
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
