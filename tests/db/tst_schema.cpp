#include "TestCatalogue.h"

#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/Recordset.h"
#include "db/Schema.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

struct Column {
    QString type;
    bool notNull;
    QString defaultValue;
};

QMap<QString, Column> Columns(Database& db, const QString& table)
{
    QMap<QString, Column> out;
    auto rs = db.OpenSnapshot(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    while (!rs->Eof()) {
        out.insert(rs->Field(QStringLiteral("name")).toString(),
                   {rs->Field(QStringLiteral("type")).toString(), rs->Field(QStringLiteral("notnull")).toInt() == 1,
                    TextOf(rs->Field(QStringLiteral("dflt_value")))});
        rs->MoveNext();
    }
    return out;
}

}  // namespace

class TestSchema : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stampTable_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("notNull");
        QTest::addColumn<QString>("defaultValue");
        const struct { const char* f; const char* t; bool nn; const char* d; } rows[] = {
            {"StampID", "INTEGER", false, ""},  {"descr", "TEXT", true, ""},         {"catnum", "TEXT", true, "''"},
            {"catsort", "TEXT", true, "''"},    {"face", "REAL", false, ""},         {"Year", "INTEGER", false, ""},
            {"used", "INTEGER", true, "0"},     {"wantlist", "INTEGER", true, "0"},  {"quantity", "INTEGER", true, "1"},
            {"CouID", "INTEGER", false, ""},    {"typeID", "INTEGER", false, ""},    {"formID", "INTEGER", false, ""},
            {"papID", "INTEGER", false, ""},    {"CanID", "INTEGER", false, ""},     {"perfID", "INTEGER", false, ""},
            {"topID", "INTEGER", false, ""},    {"gumID", "INTEGER", false, ""},     {"ConID", "INTEGER", false, ""},
            {"Color", "TEXT", true, "''"},      {"watermark", "TEXT", true, "''"},   {"Errors", "TEXT", true, "''"},
            {"issued", "TEXT", false, ""},      {"pricepaid", "REAL", false, ""},    {"totalpaid", "REAL", false, ""},
            {"catvalue", "REAL", false, ""},    {"totalval", "REAL", false, ""},     {"priceask", "REAL", false, ""},
            {"totalsales", "REAL", false, ""},  {"forsale", "INTEGER", true, "0"},   {"purchased", "TEXT", false, ""},
            {"sold", "INTEGER", true, "0"},     {"datesold", "TEXT", false, ""},     {"notes", "TEXT", true, "''"},
            {"misc1", "TEXT", true, "''"},      {"misc2", "TEXT", true, "''"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.f) << QString::fromLatin1(r.f) << QString::fromLatin1(r.t) << r.nn << QString::fromLatin1(r.d);
    }
    void stampTable()
    {
        QFETCH(QString, field);
        QFETCH(QString, type);
        QFETCH(bool, notNull);
        QFETCH(QString, defaultValue);
        TestCatalogue cat;
        auto db = Database::Open(cat.Path(), true);
        const auto columns = Columns(*db, QStringLiteral("Stamp"));
        // The stamp's own fields; the stored keys of its texts: a folded form and a
        // collation key of each of seven, the catalogue number's folded form and
        // its padded sort key's collation key; and the joined folded texts the
        // stamp list's filter looks in.
        QCOMPARE(columns.size(), 35 + 2 * 7 + 2 + 1);
        QVERIFY2(columns.contains(field), qPrintable(field));
        QCOMPARE(columns[field].type, type);
        QCOMPARE(columns[field].notNull, notNull);
        QCOMPARE(columns[field].defaultValue, defaultValue);
    }

    void codeTables_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("desc");
        QTest::newRow("1") << "cancel" << "CanID" << "CanDesc";
        QTest::newRow("2") << "Condition" << "ConID" << "conDesc";
        QTest::newRow("3") << "country" << "CouID" << "Coudesc";
        QTest::newRow("4") << "format" << "formID" << "FormDesc";
        QTest::newRow("5") << "gum" << "gumID" << "GumDesc";
        QTest::newRow("6") << "paper" << "papID" << "Papdesc";
        QTest::newRow("7") << "Perf" << "perfID" << "PerfDesc";
        QTest::newRow("8") << "topic" << "topID" << "TopDesc";
        QTest::newRow("9") << "type" << "typeID" << "Typedesc";
    }
    void codeTables()
    {
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(QString, desc);
        TestCatalogue cat;
        QVERIFY(cat.Scalar(QStringLiteral("select sql from sqlite_master where name = '%1'").arg(table))
                    .contains(QStringLiteral("AUTOINCREMENT")));
        auto db = Database::Open(cat.Path(), true);
        const auto columns = Columns(*db, table);
        QCOMPARE(columns.size(), 2 + 2);  // key, description and the description's two stored keys
        QVERIFY(columns.contains(key));
        QVERIFY(columns.contains(desc));
        QCOMPARE(columns[key].type, QStringLiteral("INTEGER"));
        QCOMPARE(columns[desc].type, QStringLiteral("TEXT"));
        // The stamp table refers to it by a column of the key's name.
        QVERIFY(Columns(*db, QStringLiteral("Stamp")).contains(key));
    }

    void fieldCatalogueFollowsItsRules()
    {
        TestCatalogue cat;
        // The six money fields and face value.
        QCOMPARE(cat.Scalar(QStringLiteral("select group_concat(fieldname) from (select fieldname from RptSpec "
                                           "where IsCurrency order by SpecID)")),
                 QStringLiteral("face,pricepaid,totalpaid,catvalue,totalval,priceask,totalsales"));
        auto db = Database::Open(cat.Path(), true);
        auto rs = db->OpenSnapshot(QStringLiteral("Select * from RptSpec order by [desc]"));
        rs->MoveLast();
        const int n = rs->RecordCount();
        // The fields of the stamp and its codes, and the front image.
        QCOMPARE(n, 34);
        const QStringList codeTables{"cancel", "Condition", "country", "format", "gum", "paper", "Perf", "topic", "type"};
        QSet<int> ids;
        QStringList descs;
        rs->MoveFirst();
        const auto stampColumns = Columns(*db, QStringLiteral("Stamp"));
        while (!rs->Eof()) {
            const int id = rs->Field(QStringLiteral("SpecID")).toInt();
            ids.insert(id);
            descs << rs->Field(QStringLiteral("Desc")).toString();
            const QString file = rs->Field(QStringLiteral("filename")).toString();
            const QString field = rs->Field(QStringLiteral("fieldname")).toString();
            const QString link = rs->Field(QStringLiteral("Linkfield")).toString();
            const int type = rs->Field(QStringLiteral("datatype")).toInt();
            QVERIFY(type >= 1 && type <= 5);
            QCOMPARE(type == 5, file == u"FrontImage");
            if (file == u"Stamp") {
                QVERIFY2(stampColumns.contains(field), qPrintable(field));
                QVERIFY(field != u"StampID" && field != u"catsort");
            } else if (file == u"FrontImage") {
                QCOMPARE(field, QStringLiteral("FrontThumbnail"));
                QCOMPARE(Columns(*db, file).size(), 2);
                QVERIFY(Columns(*db, file).contains(link));
                QVERIFY(stampColumns.contains(link));
            } else {
                QVERIFY2(codeTables.contains(file), qPrintable(file));
                const auto tableColumns = Columns(*db, file);
                QVERIFY(tableColumns.contains(field));
                QVERIFY(tableColumns.contains(link));
                QVERIFY(stampColumns.contains(link));
            }
            rs->MoveNext();
        }
        for (int i = 1; i <= n; ++i) QVERIFY(ids.contains(i));
        QCOMPARE(descs.first(), QStringLiteral("Cancellation"));
        // The join test looks for a table's name in the text of the joins so far:
        // no code table's name may hide in another name or a link field.
        for (const QString& table : codeTables) {
            QVERIFY(!QStringLiteral("Stamp").contains(table));
            QVERIFY(!QStringLiteral("FrontImage").contains(table));
            for (const auto& row : FieldCatalogueRows()) {
                const QString other = QString::fromUtf8(row.filename);
                if (other != table && other != u"Stamp") QVERIFY2(!other.contains(table), qPrintable(table));
                if (other != table) QVERIFY2(!QString::fromUtf8(row.linkfield).contains(table), qPrintable(table));
            }
        }
    }

    void demoCatalogueExercisesEverything()
    {
        TestCatalogue cat(2000, 7);
        QCOMPARE(cat.Scalar(QStringLiteral("select count(*) from Stamp")), QStringLiteral("2000"));
        for (const char* column : {"face", "Year", "CouID", "typeID", "formID", "papID", "CanID", "perfID", "topID",
                                   "gumID", "ConID", "issued", "pricepaid", "totalpaid", "catvalue", "totalval",
                                   "priceask", "totalsales", "purchased", "datesold"}) {
            QVERIFY2(cat.Scalar(QStringLiteral("select count(*) from Stamp where %1 is null").arg(QString::fromLatin1(column))).toInt() > 0, column);
            QVERIFY2(cat.Scalar(QStringLiteral("select count(*) from Stamp where %1 is not null").arg(QString::fromLatin1(column))).toInt() > 0, column);
        }
        QVERIFY(cat.Scalar(QStringLiteral("select count(*) from Stamp where sold")).toInt() > 0);
        QVERIFY(cat.Scalar(QStringLiteral("select count(*) from Stamp where wantlist")).toInt() > 0);
        QVERIFY(cat.Scalar(QStringLiteral("select count(*) from Stamp where forsale")).toInt() > 0);
        QCOMPARE(cat.Scalar(QStringLiteral("select count(*) from Stamp where forsale and sold")), QStringLiteral("0"));
        QVERIFY(cat.Scalar(QStringLiteral("select count(*) from Stamp where catnum like '%a'")).toInt() > 0);
        QVERIFY(cat.Scalar(QStringLiteral("select min(issued) from Stamp")) < QStringLiteral("1900"));
        QVERIFY(cat.Scalar(QStringLiteral("select max(issued) from Stamp")) > QStringLiteral("2000"));
        QVERIFY(cat.Scalar(QStringLiteral("select count(*) from Stamp where pricepaid <> round(pricepaid)")).toInt() > 0);
        QCOMPARE(cat.Scalar(QStringLiteral("select count(*) from Stamp where catsort <> substr('                    ' || catnum, -20, 20) and length(catnum) <= 20")),
                 QStringLiteral("0"));
        QCOMPARE(cat.Scalar(QStringLiteral("select count(*) from Stamp where totalpaid <> round(pricepaid * quantity, 4)")),
                 QStringLiteral("0"));
        QVERIFY(cat.Scalar(QStringLiteral("select count(*) from country")).toInt() > 20);
        // The same seed gives the same catalogue.
        TestCatalogue again(2000, 7);
        QCOMPARE(again.Scalar(QStringLiteral("select group_concat(descr) from (select descr from Stamp limit 20)")),
                 cat.Scalar(QStringLiteral("select group_concat(descr) from (select descr from Stamp limit 20)")));
    }
};

QTEST_APPLESS_MAIN(TestSchema)
#include "tst_schema.moc"
