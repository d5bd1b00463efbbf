#include "db/StringHelpers.h"

#include <QTest>

class TestStringHelpers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void padLeft_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        QTest::newRow("short") << "12" << 5 << "   12";
        QTest::newRow("longer is not cut") << "abcdef" << 5 << "abcdef";
        QTest::newRow("empty") << "" << 3 << "   ";
        QTest::newRow("zero width") << "ab" << 0 << "ab";
        QTest::newRow("negative width") << "ab" << -4 << "ab";
    }
    void padLeft()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(PadLeft(text, width), expected);
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("remove") << "a;b;;c" << ";" << "" << "abc";
        QTest::newRow("not searched again") << "a|b" << "|" << "||" << "a||b";
        QTest::newRow("absent") << "abc" << "x" << "y" << "abc";
        QTest::newRow("case-sensitive") << "abc" << "A" << "z" << "abc";
        QTest::newRow("tab") << "a|b|c;" << "|" << "\t" << "a\tb\tc;";
    }
    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QString variable = text;
        const QString result = ReplaceAll(variable, find, replacement);
        QCOMPARE(result, expected);
        QCOMPARE(variable, expected);
    }

    void longTexts()
    {
        // Positions beyond 32,767 are ordinary.
        QString notes = QString(40000, u'x') + QStringLiteral("|end;");
        ReplaceAll(notes, QStringLiteral("|"), QStringLiteral("\t"));
        QCOMPARE(notes.right(5), QStringLiteral("\tend;"));
        const QString fields = QString(40000, u'a') + QStringLiteral("/b/c");
        QCOMPARE(GetField(fields, QStringLiteral("/"), 3), QStringLiteral("c"));
        QCOMPARE(PadLeft(QStringLiteral("1"), 40000).size(), 40000);
    }

    void getField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first") << "5/30/98" << 1 << "5";
        QTest::newRow("second") << "5/30/98" << 2 << "30";
        QTest::newRow("third") << "5/30/98" << 3 << "98";
        QTest::newRow("beyond") << "5/30/98" << 4 << "";
        QTest::newRow("no delimiter") << "abc" << 1 << "abc";
        QTest::newRow("no delimiter second") << "abc" << 2 << "";
        QTest::newRow("adjacent delimiters") << "a//b" << 2 << "";
        QTest::newRow("after adjacent") << "a//b" << 3 << "b";
        QTest::newRow("leading delimiter") << "/a" << 1 << "";
        QTest::newRow("trailing delimiter") << "a/b/" << 3 << "";
        QTest::newRow("zero") << "a/b" << 0 << "";
        QTest::newRow("negative") << "a/b" << -1 << "";
    }
    void getField()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, expected);
        QCOMPARE(GetField(text, QStringLiteral("/"), n), expected);
    }

    void catalogueSortKey_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("key");
        QTest::newRow("12") << "12" << QString(18, u' ') + QStringLiteral("12");
        QTest::newRow("empty") << "" << QString(20, u' ');
        QTest::newRow("25 characters") << "ABCDEFGHIJKLMNOPQRSTUVWXY" << "ABCDEFGHIJKLMNOPQRST";
        QTest::newRow("exactly 20") << "ABCDEFGHIJKLMNOPQRST" << "ABCDEFGHIJKLMNOPQRST";
    }
    void catalogueSortKey()
    {
        QFETCH(QString, number);
        QFETCH(QString, key);
        QCOMPARE(CatalogueSortKey(number), key);
    }

    void catalogueOrderIsNumeric()
    {
        QStringList keys;
        for (const char* n : {"100", "9", "123", "10", "99"}) keys << CatalogueSortKey(QString::fromLatin1(n));
        keys.sort();
        QStringList trimmed;
        for (const QString& k : keys) trimmed << k.trimmed();
        QCOMPARE(trimmed, (QStringList{"9", "10", "99", "100", "123"}));
    }
};

QTEST_APPLESS_MAIN(TestStringHelpers)
#include "tst_stringhelpers.moc"
