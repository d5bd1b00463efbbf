#include "TestCatalogue.h"

#include "codes/CodeTables.h"
#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Recordset.h"

#include <QTest>

class TestCodeTables : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void texts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("identity");  // menu, table, key, description, load query, in-use query
        QTest::addColumn<QStringList>("window");    // caption, label, find word, question, title, in-use message
        QTest::addColumn<int>("help");
        QTest::newRow("1 cancellations") << 1
                                         << QStringList{"&Cancellations",
                                                        "cancel",
                                                        "CanID",
                                                        "CanDesc",
                                                        "Select * from cancel order by CanDesc",
                                                        "Select StampID from Stamp where CanID = "}
                                         << QStringList{"Maintain Cancellations",
                                                        "Cancellation Description",
                                                        "cancellation",
                                                        "Are you sure that you want to delete this Cancellation?",
                                                        "Delete Cancellation",
                                                        "This cancellation is in use in a stamp record"}
                                         << 19;
        QTest::newRow("2 conditions") << 2
                                      << QStringList{"&Conditions",
                                                     "Condition",
                                                     "ConID",
                                                     "conDesc",
                                                     "Select * from condition order by conDesc",
                                                     "Select StampID from Stamp where ConID = "}
                                      << QStringList{"Maintain Conditions",
                                                     "Condition Description",
                                                     "condition",
                                                     "Are you sure that you want to delete this condition?",
                                                     "Delete Condition",
                                                     "This condition is in use in a stamp record"}
                                      << 20;
        QTest::newRow("3 countries") << 3
                                     << QStringList{"&Countries",
                                                    "country",
                                                    "CouID",
                                                    "Coudesc",
                                                    "Select * from country order by Coudesc",
                                                    "Select StampID from Stamp where CouID = "}
                                     << QStringList{"Maintain Countries",
                                                    "Country Description",
                                                    "country",
                                                    "Are you sure that you want to delete this country?",
                                                    "Delete Country",
                                                    "This country is in use in a stamp record"}
                                     << 49;
        QTest::newRow("4 formats") << 4
                                   << QStringList{"&Formats",
                                                  "format",
                                                  "formID",
                                                  "FormDesc",
                                                  "Select * from format order by FormDesc",
                                                  "Select StampID from Stamp where formID = "}
                                   << QStringList{"Maintain Formats",
                                                  "Format Description",
                                                  "format",
                                                  "Are you sure that you want to delete this format?",
                                                  "Delete Format",
                                                  "This format is in use in a stamp record"}
                                   << 50;
        QTest::newRow("5 gum: question says gum type, title says Gum")
            << 5 << QStringList{"&Gum",
                                "gum",
                                "gumID",
                                "GumDesc",
                                "Select * from gum order by GumDesc",
                                "Select StampID from Stamp where gumID = "}
            << QStringList{"Maintain Gum Types",
                           "Gum Description",
                           "gum",
                           "Are you sure that you want to delete this gum type?",
                           "Delete Gum",
                           "This gum is in use in a stamp record"}
            << 51;
        QTest::newRow("6 papers") << 6
                                  << QStringList{"&Papers",
                                                 "paper",
                                                 "papID",
                                                 "Papdesc",
                                                 "Select * from paper order by Papdesc",
                                                 "Select StampID from Stamp where papID = "}
                                  << QStringList{"Maintain Papers", "Paper Description",
                                                 "paper",           "Are you sure that you want to delete this paper?",
                                                 "Delete Paper",    "This paper is in use in a stamp record"}
                                  << 52;
        QTest::newRow("7 perforations: the menu spells it Performations")
            << 7
            << QStringList{"&Performations",
                           "Perf",
                           "perfID",
                           "PerfDesc",
                           "Select * from perf order by PerfDesc",
                           "Select StampID from Stamp where perfID = "}
            << QStringList{"Maintain Perforations", "Perforation Description",
                           "perforation",           "Are you sure that you want to delete this perforation?",
                           "Delete Perforation",    "This perforation is in use in a stamp record"}
            << 53;
        QTest::newRow("8 topics: help 55")
            << 8
            << QStringList{"&Topics",
                           "topic",
                           "topID",
                           "TopDesc",
                           "Select * from topic order by TopDesc",
                           "Select StampID from Stamp where topID = "}
            << QStringList{"Maintain Topics", "Topic Description",
                           "topic",           "Are you sure that you want to delete this topic?",
                           "Delete Topic",    "This topic is in use in a stamp record"}
            << 55;
        QTest::newRow("9 types: help 54")
            << 9
            << QStringList{"&Types",
                           "type",
                           "typeID",
                           "Typedesc",
                           "Select * from type order by Typedesc",
                           "Select StampID from Stamp where typeID = "}
            << QStringList{"Maintain Types", "Type Description",
                           "type",           "Are you sure that you want to delete this type?",
                           "Delete Type",    "This type is in use in a stamp record"}
            << 54;
        QTest::newRow("10 catalogues: stamps use them through their numbers")
            << 10
            << QStringList{"Cata&logues",
                           "Catalog",
                           "CatalogID",
                           "CatalogDesc",
                           "Select * from Catalog order by CatalogDesc",
                           "Select StampID from StampNumber where CatalogID = "}
            << QStringList{"Maintain Catalogues", "Catalogue Description",
                           "catalogue",           "Are you sure that you want to delete this catalogue?",
                           "Delete Catalogue",    "This catalogue is in use in a stamp record"}
            << 250;
    }
    void texts()
    {
        QFETCH(int, number);
        QFETCH(QStringList, identity);
        QFETCH(QStringList, window);
        QFETCH(int, help);
        const CodeTableInfo& info = CodeTableInfoFor(number);
        QCOMPARE(info.number, number);
        QCOMPARE(
            (QStringList{info.menuCaption, info.table, info.keyField, info.descField, info.loadQuery, info.inUseQuery}),
            identity);
        QCOMPARE((QStringList{info.windowCaption, info.label, info.findWord, info.deleteQuestion, info.deleteTitle,
                              info.inUseMessage}),
                 window);
        QCOMPARE(info.helpContext, help);
        QCOMPARE(info.FindPrompt(), "Enter the " + window[2] + " description to find:");
    }

    void commonTexts()
    {
        QCOMPARE(CodeTexts::kFindTitle, "Find Code");
        QCOMPARE(CodeTexts::kMissingDescription, "You must enter a description or press Cancel");
        QCOMPARE(CodeTexts::kMissingTitle, "Missing Data");
        QCOMPARE(CodeTexts::kNotFound, "That record was not found.");
        QCOMPARE(CodeTexts::kNotFoundTitle, "No Records Match");
        QCOMPARE(CodeTexts::kInUseTitle, "Cannot Delete");
        QCOMPARE(CodeTableInfoFor(3).FindPrompt(), "Enter the country description to find:");
    }

    void reloadFlags_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool*>("flag");
        QTest::newRow("1") << 1 << &gCanChanged;
        QTest::newRow("2") << 2 << &gConChanged;
        QTest::newRow("3") << 3 << &gCouChanged;
        QTest::newRow("4") << 4 << &gFormChanged;
        QTest::newRow("5") << 5 << &gGumChanged;
        QTest::newRow("6") << 6 << &gPapChanged;
        QTest::newRow("7") << 7 << &gPerfChanged;
        QTest::newRow("8") << 8 << &gTopChanged;
        QTest::newRow("9") << 9 << &gTypeChanged;
        QTest::newRow("10") << 10 << &gCatalogChanged;
    }
    void reloadFlags()
    {
        QFETCH(int, number);
        QFETCH(bool*, flag);
        QCOMPARE(&CodeTableInfoFor(number).ListChanged(), flag);
    }

    void outsideTheTenIsAnEmptyRow()
    {
        QVERIFY(!IsCodeTable(10));
        QVERIFY(IsMaintainedList(10));
        for (int number : {0, -1, 11}) {
            QVERIFY(!IsMaintainedList(number));
            QCOMPARE(CodeTableInfoFor(number).number, 0);
            QVERIFY(CodeTableInfoFor(number).loadQuery.isEmpty());
        }
    }

    // The queries run on a real catalogue: the load query lists the entries in
    // description order whatever their case, and the in-use query finds exactly
    // the stamps that refer to an entry.
    void queriesRunOnTheCatalogue_data()
    {
        QTest::addColumn<int>("number");
        for (int n = 1; n <= kCatalogueList; ++n) QTest::newRow(qPrintable(QString::number(n))) << n;
    }
    void queriesRunOnTheCatalogue()
    {
        QFETCH(int, number);
        const CodeTableInfo& info = CodeTableInfoFor(number);
        TestCatalogue catalogue;
        // The list of catalogues starts filled.
        if (number == kCatalogueList) catalogue.Exec(QStringLiteral("DELETE FROM Catalog"));
        catalogue.Exec(QString("INSERT INTO %1 (%2, %3) VALUES (1, 'zebra'), (2, 'Apple'), (3, 'mango')")
                           .arg(info.table, info.keyField, info.descField));
        catalogue.Exec(QString("INSERT INTO Stamp (descr, %1) VALUES ('a stamp', 3)")
                           .arg(number == kCatalogueList ? QStringLiteral("CouID") : info.keyField));
        if (number == kCatalogueList)
            catalogue.Exec(QStringLiteral(
                "INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo) VALUES (1, 3, 1, '840')"));
        auto db = Database::Open(catalogue.Path(), true);

        auto rs = db->OpenDynaset(info.loadQuery);
        QStringList order;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) order << TextOf(rs->Field(info.descField));
        QCOMPARE(order, (QStringList{"Apple", "mango", "zebra"}));
        rs->MoveFirst();
        QCOMPARE(WholeOf(rs->Field(info.keyField)), std::optional<qint64>(2));

        QVERIFY(!db->OpenSnapshot(info.inUseQuery + "3")->IsEmpty());
        QVERIFY(db->OpenSnapshot(info.inUseQuery + "1")->IsEmpty());
    }
};

QTEST_APPLESS_MAIN(TestCodeTables)
#include "tst_codetables.moc"
