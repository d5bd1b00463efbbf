// A stamp's numbers in other catalogues outside the main window: the headings
// under which reports and files show a catalogue, a custom report's field of
// each catalogue (its order, its criterion, a renamed or deleted catalogue),
// Colnect's catalog codes, files of numbers exported and imported again, and
// the demo catalogue's numbers.
#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "csv/CatalogCodes.h"
#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "csv/CsvPreview.h"
#include "custom/CustomReportOutput.h"
#include "custom/FieldCatalogue.h"
#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "numbers/Catalogues.h"

#include <QFile>
#include <QLocale>
#include <QTest>

namespace {

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void Write(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    file.write(text.toUtf8());
}

QString Scalar(Database& db, const QString& sql)
{
    auto rs = db.OpenSnapshot(sql);
    return rs->IsEmpty() ? QString() : TextOf(rs->FieldAt(0));
}

// Imports a file into the catalogue as the window and the tool do.
ImportResult Import(Database& db, const QString& path, DuplicateChoice duplicates = DuplicateChoice::Add)
{
    const CsvPreview preview = InspectCsvFile(path, LoadCatalogues(db));
    if (!preview.Ok()) qFatal("cannot read %s", qPrintable(path));
    ImportSettings settings = preview.settings;
    settings.duplicates = duplicates;
    return RunImport(db, MakeImportPlan(db, path, settings));
}

// "descr: Catalogue number, ..." of every stamp with numbers, by description.
QString Numbers(Database& db)
{
    return Scalar(db, QStringLiteral(
                          "Select group_concat(line, '; ') from (Select descr || ': ' || group_concat(CatalogDesc || ' "
                          "' || CatNo, ', ') as line from (Select descr, CatalogDesc, CatNo from StampNumber, Catalog, "
                          "Stamp where StampNumber.CatalogID = Catalog.CatalogID and StampNumber.StampID = "
                          "Stamp.StampID order by lower(descr), Position) group by descr order by lower(descr))"));
}

const CatalogueField* FieldNamed(const FieldCatalogue& catalogue, const QString& desc)
{
    for (const CatalogueField& field : catalogue.Rows())
        if (field.desc == desc) return &field;
    return nullptr;
}

}  // namespace

class TestNumberFields : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void headings_data()
    {
        QTest::addColumn<QStringList>("catalogues");  // name/prefix, ...
        QTest::addColumn<QStringList>("headings");
        QTest::newRow("one word by its name, more by the prefix")
            << QStringList{"Michel/Mi", "Stanley Gibbons/SG", "Yvert et Tellier/Yt", "Scott/Sc"}
            << QStringList{"Michel #", "SG #", "Yt #", "Scott #"};
        QTest::newRow("no prefix: the whole name")
            << QStringList{"Hellman Specialised/"} << QStringList{"Hellman Specialised #"};
        QTest::newRow("a heading taken: the whole name, then the key too")
            << QStringList{"SG/", "Stanley Gibbons/SG", "Stanley  Gibbons/SG"}
            << QStringList{"SG #", "Stanley Gibbons #", "Stanley Gibbons (3) #"};
        QTest::newRow("the signs that part report columns") << QStringList{"A|B;C/"} << QStringList{"A B C #"};
    }
    void headings()
    {
        QFETCH(QStringList, catalogues);
        QFETCH(QStringList, headings);
        CatalogueList list;
        for (const QString& c : catalogues)
            list.push_back({qint64(list.size() + 1), c.section(u'/', 0, 0), c.section(u'/', 1), false});
        const std::vector<QString> made = CatalogueHeadings(list);
        QCOMPARE(QStringList(made.begin(), made.end()), headings);
    }

    void catalogCodes_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("parts");  // code=number
        QTest::newRow("Colnect's four") << "Mi:NZ 840, Sn:NZ 1234, Sg:NZ 1189, Yt:NZ 912"
                                        << QStringList{"Mi=840", "Sn=1234", "Sg=1189", "Yt=912"};
        QTest::newRow("letters in numbers") << "Sn:US C3a,Mi:US 250 I" << QStringList{"Sn=C3a", "Mi=250 I"};
        QTest::newRow("a comma inside a number") << "Mi:DE 1, 2, Sg:DE 5" << QStringList{"Mi=1, 2", "Sg=5"};
        QTest::newRow("no country") << "Zu: 77" << QStringList{"Zu=77"};
        QTest::newRow("no code") << "1234" << QStringList{"=1234"};
        QTest::newRow("empty parts") << "Mi:NZ , , Sn:" << QStringList{};
    }
    void catalogCodes()
    {
        QFETCH(QString, field);
        QFETCH(QStringList, parts);
        QStringList split;
        for (const CodedNumber& part : SplitCatalogCodes(field)) split << part.code + u'=' + part.number;
        QCOMPARE(split, parts);
        QCOMPARE(CatalogueOfCode(QStringLiteral("sG")), QStringLiteral("Stanley Gibbons"));
        QCOMPARE(CatalogueOfCode(QStringLiteral("Zu")), QString());
    }

    // The field of a catalogue's numbers in a custom report: sorted as the
    // catalogue-number order sorts, selected without regard to case, the stamp's
    // first number in that catalogue; renamed and deleted catalogues show at the
    // next opening of the window.
    void customReportField_data()
    {
        QTest::addColumn<QString>("starting");  // the criterion of Michel #
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("all, in catalogue-number order")
            << "" << QStringList{"No number\t",   "Nine\t9",      "Ten\t10",
                                 "Twelve a\t12a", "Hundred\t100", "Long\t" + QString(20, u'1')};
        QTest::newRow("starting with 1") << "1"
                                         << QStringList{"Ten\t10", "Twelve a\t12a", "Hundred\t100",
                                                        "Long\t" + QString(20, u'1')};
        QTest::newRow("any case") << "12A" << QStringList{"Twelve a\t12a"};
        QTest::newRow("a quote") << "12a'" << QStringList{};
    }
    void customReportField()
    {
        QFETCH(QString, starting);
        QFETCH(QStringList, lines);
        ScriptedPrompts prompts;
        TestCatalogue cat;
        cat.Exec(
            QStringLiteral(
                "INSERT INTO Stamp (StampID, descr) VALUES (1, 'Ten'), (2, 'Nine'), (3, 'Hundred'), (4, 'Twelve a'), "
                "(5, 'No number'), (6, 'Long');"
                "INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo, CatNoSort) VALUES "
                "(1, 3, 1, '10', '                  10'), (2, 3, 2, '9', '                   9'), "
                "(2, 1, 1, '55', '                  55'), (3, 3, 1, '100', '                 100'), "
                "(4, 3, 1, '12a', '                 12a'), (4, 3, 2, '7', '                   7'), "
                "(6, 3, 1, '%1', '%2'), (5, 1, 1, '3', '                   3');")
                .arg(QString(20, u'1'), QString(20, u'1')));
        gDb = Database::Open(cat.Path(), true);
        const FieldCatalogue catalogue = *FieldCatalogue::Load(*gDb);
        const CatalogueField* michel = FieldNamed(catalogue, QStringLiteral("Michel #"));
        QVERIFY(michel);
        QVERIFY(michel->specId > 34);
        FieldSettingsTable settings;
        settings.Reset(catalogue);
        settings[michel->specId].mStarting = starting;
        CustomQueryInput input;
        input.fields = {1, michel->specId};
        input.sort1 = michel->specId;
        input.sort2 = 1;
        CustomReportOptions options;
        options.target = CustomTarget::TextFile;
        MemoryReportWriter writer;
        GenerateCustomReport(MakeCustomReport(BuildCustomQuery(catalogue, settings, input), options, QDate(2024, 1, 1)),
                             writer);
        QCOMPARE(writer.lines, lines);
        if (!lines.isEmpty()) QVERIFY(prompts.messages.empty());
        // The order of the main window's Sort by Catalog Number, had the stamps
        // these numbers as their Catalog Num.
        gDb->Execute(
            QStringLiteral("UPDATE Stamp SET catnum = (SELECT CatNo FROM StampNumber WHERE StampNumber.StampID "
                           "= Stamp.StampID AND CatalogID = 3 ORDER BY Position LIMIT 1) WHERE StampID <> 5"));
        gDb->Execute(
            QStringLiteral("UPDATE Stamp SET catsort = substr('                    ' || catnum, -20, 20) "
                           "WHERE length(catnum) <= 20"));
        QStringList mainOrder;
        for (auto rs = gDb->OpenSnapshot(QStringLiteral("Select descr, catnum from Stamp order by catsort"));
             !rs->Eof(); rs->MoveNext())
            mainOrder << TextOf(rs->FieldAt(0)) + u'\t' + TextOf(rs->FieldAt(1));
        if (starting.isEmpty()) QCOMPARE(mainOrder, lines);

        // Renamed, the catalogue is offered under its new heading; deleted, not at all.
        gDb->Execute(
            QStringLiteral("UPDATE Catalog SET CatalogDesc = 'Michel Deutschland' WHERE CatalogID = 3; "
                           "DELETE FROM Catalog WHERE CatalogDesc = 'Sakura'"));
        const FieldCatalogue again = *FieldCatalogue::Load(*gDb);
        QVERIFY(!FieldNamed(again, QStringLiteral("Michel #")));
        QVERIFY(FieldNamed(again, QStringLiteral("Mi #")));
        QVERIFY(!FieldNamed(again, QStringLiteral("Sakura #")));
        QCOMPARE(again.Count(), catalogue.Count() - 1);
        gDb.reset();
    }

    // Numbers go out and come back: a column per catalogue in use, several numbers
    // of one catalogue a line each; a catalogue the other file lacks comes with
    // them; an update replaces the numbers of the catalogues the row gives.
    void filesOfNumbers()
    {
        ScriptedPrompts prompts;
        TestCatalogue cat;
        cat.Exec(QStringLiteral(
            "INSERT INTO Catalog (CatalogID, CatalogDesc, Prefix) VALUES (20, 'Hellman', ''), (21, 'Gibbons Part', "
            "'SG');"
            "INSERT INTO Stamp (StampID, descr, catnum) VALUES (1, 'Kiwi', '1'), (2, 'Tui', '2'), (3, 'Moa', '');"
            "INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo) VALUES (1, 3, 1, '840'), (1, 3, 2, '840 "
            "I'), "
            "(1, 20, 3, '=5'), (2, 1, 1, 'C3a'), (2, 21, 2, '7');"));
        auto db = Database::Open(cat.Path(), true);
        const QString first = cat.File(QStringLiteral("first.csv"));
        QVERIFY(ExportStamps(*db, first, 1).Written());
        const QList<QByteArray> lines = Bytes(first).split('\n');
        QVERIFY(lines[0].endsWith(",Misc. 2,Scott #,Michel #,Hellman #,Gibbons Part #\r"));
        QVERIFY(lines[1].endsWith(",,\"840"));
        QVERIFY(lines[2].startsWith("840 I\",'=5,\r"));

        TestCatalogue other;
        auto empty = Database::Open(other.Path(), true);
        const ImportResult result = Import(*empty, first);
        QCOMPARE(result.counts.added, qint64(3));
        QCOMPARE(result.counts.newCatalogues, qint64(2));
        QCOMPARE(Numbers(*empty),
                 QStringLiteral("Kiwi: Michel 840, Michel 840 I, Hellman =5; Tui: Scott C3a, Gibbons Part 7"));
        const QString second = other.File(QStringLiteral("second.csv"));
        QVERIFY(ExportStamps(*empty, second, 1).Written());
        QCOMPARE(Bytes(second), Bytes(first));

        // Updated from a file of Michel numbers: Kiwi's Michel numbers are the
        // file's, its Hellman number stays; Moa gets its first.
        const QString update = cat.File(QStringLiteral("update.csv"));
        Write(update, QStringLiteral("Description,Catalog Num,Michel #\r\nKiwi,1,841\r\nMoa,,12\r\nTui,2,\r\n"));
        const ImportResult updated = Import(*empty, update, DuplicateChoice::Update);
        QCOMPARE(updated.counts.updated, qint64(3));
        QCOMPARE(Numbers(*empty),
                 QStringLiteral("Kiwi: Hellman =5, Michel 841; Moa: Michel 12; Tui: Scott C3a, Gibbons Part 7"));

        // A number longer than any kept is refused with its row.
        Write(update, QStringLiteral("Description,Michel #\r\nLong,%1\r\n").arg(QString(31, u'9')));
        const ImportResult refused = Import(*empty, update);
        QCOMPARE(refused.counts.refused, qint64(1));
        QCOMPARE(refused.counts.added, qint64(0));
    }

    void demoCatalogueHasNumbers()
    {
        TestCatalogue cat(200, 3);
        auto db = Database::Open(cat.Path(), true);
        // Most stamps have a Scott, an SG and a Michel number; their keys are made.
        const int withThree = Scalar(*db, QStringLiteral("Select count(*) from (Select StampID from StampNumber group "
                                                         "by StampID having count(*) >= 3)"))
                                  .toInt();
        QVERIFY2(withThree > 150, qPrintable(QString::number(withThree)));
        QCOMPARE(Scalar(*db, QStringLiteral("Select count(*) from StampNumber where CatNo_fold = '' or CatNoSort_sort "
                                            "= x''")),
                 QStringLiteral("0"));
        QCOMPARE(Scalar(*db, QStringLiteral("Select count(*) from TextKeyQueue")), QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestNumberFields)
#include "tst_numberfields.moc"
