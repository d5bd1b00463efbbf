// Collector text in every script is found and ordered whatever its case and
// accents: through the main window's find, the code table window's find, a
// custom report's starts-with criterion, the code lists, the sort orders and a
// category report.
#include "../app/MainWindowFixture.h"

#include "codes/frmCodesMaint.h"
#include "custom/CustomReportOutput.h"
#include "custom/FieldCatalogue.h"
#include "reports/ReportPresenter.h"
#include "reports/Reports.h"
#include "search/Collation.h"
#include "search/Folding.h"

#include <QLocale>
#include <QSet>

namespace {

// Stamps and countries of the same names, in no order.
const QStringList kNames = {
    "Österreich",      "Åland",         "Côte d'Ivoire", "España",         "Ελλάδα",      "Polska – Łódź",
    "Færøerne",        "Straße",        "İstanbul",      "Κύπρος",         "Россия",      "Ёлкино",
    "יִשְׂרָאֵל",      "日本",           "Ørsted",        "Þingvellir",     "Zambia",      "Austria",
    "Mi 10",           "Mi 2",
};

}  // namespace

class TestTextMatch : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> mFixture;

    static QString Seed()
    {
        QString sql;
        for (const QString& name : kNames) {
            const QString quoted = QString(name).replace(u'\'', QStringLiteral("''"));
            sql += QStringLiteral("INSERT INTO country (Coudesc) VALUES ('%1');").arg(quoted);
            sql += QStringLiteral("INSERT INTO Stamp (descr, catnum, CouID) VALUES ('%1', '%1', last_insert_rowid());")
                       .arg(quoted);
        }
        return sql;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        mFixture = std::make_unique<MainWindowFixture>(0, Seed());
    }
    void cleanupTestCase()
    {
        if (frmCodesMaint::Instance()) frmCodesMaint::Instance()->cmdOk_Click();
        mFixture.reset();
    }

    void findInEveryScript_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found");  // empty: nothing found
        QTest::newRow("German, no umlaut") << "oster" << "Österreich";
        QTest::newRow("German, umlaut") << "öster" << "Österreich";
        QTest::newRow("German, capitals") << "ÖSTERREICH" << "Österreich";
        QTest::newRow("sharp s") << "STRASSE" << "Straße";
        QTest::newRow("ring") << "aland" << "Åland";
        QTest::newRow("French, apostrophe") << "cote d'iv" << "Côte d'Ivoire";
        QTest::newRow("Spanish") << "espana" << "España";
        QTest::newRow("Greek, no accent") << "ελλαδα" << "Ελλάδα";
        QTest::newRow("Greek, final sigma") << "ΚΥΠΡΟΣ" << "Κύπρος";
        QTest::newRow("Polish, stroke and dash") << "polska – lodz" << "Polska – Łódź";
        QTest::newRow("Danish ae and o") << "faeroe" << "Færøerne";
        QTest::newRow("o with stroke") << "orsted" << "Ørsted";
        QTest::newRow("thorn") << "thingv" << "Þingvellir";
        QTest::newRow("Turkish dotted capital I") << "istanbul" << "İstanbul";
        QTest::newRow("Cyrillic capitals") << "РОССИЯ" << "Россия";
        QTest::newRow("Cyrillic yo") << "елкино" << "Ёлкино";
        QTest::newRow("Hebrew without points") << "ישראל" << "יִשְׂרָאֵל";
        QTest::newRow("Japanese") << "日本" << "日本";
        QTest::newRow("wildcard") << "ö*eich" << "Österreich";
        QTest::newRow("starts with only") << "sterreich" << "";
        QTest::newRow("no near miss") << "ελλαδαx" << "";
        QTest::newRow("a lone mark finds nothing") << QString(QChar(0x0301)) << "";
    }
    void findInEveryScript()
    {
        QFETCH(QString, typed);
        QFETCH(QString, found);
        MainWindowFixture& f = *mFixture;

        // The main window, by description.
        f.window->mnuSort_Click(1);
        f.prompts.Clear();
        f.prompts.inputs.push_back(typed);
        f.window->cmdFind_Click();
        if (found.isEmpty()) {
            QCOMPARE(f.prompts.LastText(), QStringLiteral("That record was not found."));
        } else {
            QVERIFY2(f.prompts.messages.empty(), qPrintable(f.prompts.LastText()));
            QCOMPARE(f.Text("txtDescr"), found);
        }

        // The main window, by catalogue number, which must match the whole number.
        if (!typed.contains(u'*')) {
            f.window->mnuSort_Click(2);
            f.prompts.Clear();
            f.prompts.inputs.push_back(found.isEmpty() ? typed : FoldText(found).toUpper());
            f.window->cmdFind_Click();
            if (!found.isEmpty()) QCOMPARE(f.Text("txtCatNum"), found);
        }

        // The country table window.
        OpenCodesMaint(3);
        f.prompts.Clear();
        f.prompts.inputs.push_back(typed);
        frmCodesMaint::Instance()->findChild<QPushButton*>(QStringLiteral("cmdFind"))->click();
        if (!found.isEmpty())
            QCOMPARE(frmCodesMaint::Instance()->findChild<QLineEdit*>(QStringLiteral("txtDesc"))->text(), found);
        else
            QVERIFY(!f.prompts.messages.empty());
        frmCodesMaint::Instance()->cmdOk_Click();

        // A custom report of the stamps whose description starts with the text.
        const FieldCatalogue catalogue = *FieldCatalogue::Load(*gDb);
        FieldSettingsTable settings;
        settings.Reset(catalogue);
        settings[1].mStarting = typed;
        CustomQueryInput input;
        input.fields = {1};
        input.sort1 = 1;
        CustomReportOptions options;
        options.target = CustomTarget::TextFile;
        MemoryReportWriter writer;
        f.prompts.Clear();
        GenerateCustomReport(MakeCustomReport(BuildCustomQuery(catalogue, settings, input), options, QDate(2026, 1, 1)),
                             writer);
        QCOMPARE(writer.lines, found.isEmpty() ? QStringList() : QStringList{found});
    }

    // Every list and order puts the names in their alphabetical places.
    void orderInEveryScript()
    {
        MainWindowFixture& f = *mFixture;
        // The platform's collation for the locale: thorn after z, Latin before Greek,
        // Cyrillic, Hebrew and the Han characters; numbers inside a text by value.
        const QStringList expected = {
            "Åland",  "Austria", "Côte d'Ivoire", "España", "Færøerne", "İstanbul", "Mi 2",  "Mi 10",
            "Ørsted", "Österreich", "Polska – Łódź", "Straße", "Zambia", "Þingvellir", "Ελλάδα", "Κύπρος",
            "Ёлкино", "Россия",  "יִשְׂרָאֵל",      "日本"};
        QCOMPARE(expected.size(), kNames.size());

        auto* countries = f.W<QComboBox>("cmbCou");
        QStringList listed;
        for (int i = 0; i < countries->count(); ++i) listed << countries->itemText(i);
        QCOMPARE(listed, expected);

        // The stamps in description order, from first to last.
        f.window->mnuSort_Click(1);
        QStringList stamps;
        f.window->cmdFirst_Click();
        for (int i = 0; i < kNames.size(); ++i, f.window->cmdNext_Click()) stamps << f.Text("txtDescr");
        QCOMPARE(stamps, expected);

        // The report of all countries, to a text file: one group per country.
        MemoryReportPresenter presenter;
        InstallReportPresenter(&presenter);
        const QString path = f.cat.File(QStringLiteral("countries.txt"));
        f.prompts.saveFiles.push_back(path);
        gRptTarget = 2;
        gRptCategory = 3;
        CategoryReport();
        InstallReportPresenter(nullptr);
        gRptTarget = 1;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList reported;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n")))
            if (expected.contains(line.section(u'\t', 0, 0))) reported << line.section(u'\t', 0, 0);
        QCOMPARE(reported, expected);
    }

    // What a collector can paste never crashes the folding or the collation, and
    // different texts never take the same place in an order.
    void hostileTexts()
    {
        const QString million(1 << 20, QChar(u'é'));
        const QStringList texts = {
            QString(QChar(0xD800)) + "abc",          // unpaired high surrogate
            "abc" + QString(QChar(0xDC00)),          // unpaired low surrogate
            QString(QChar(0x0301)) + QChar(0x0308),  // marks without a letter
            million,
            "مرحبا بالعالم",                         // right to left
            "\u200Fשלום\u200E",                      // with direction marks
            "Stamp 😀🇩🇪",                             // emoji and a flag
            "ab", "Ab", "ab ", "AB",
        };
        QSet<QByteArray> keys;
        for (const QString& text : texts) {
            (void)FoldText(text);
            keys.insert(CollationKey(text));
        }
        QCOMPARE(keys.size(), texts.size());

        // Texts the collation takes as equal keep the order of their record keys.
        gDb->Execute(QStringLiteral("INSERT INTO Stamp (StampID, descr) VALUES (9001, 'tie\u200Db'), (9002, 'tieb'), "
                                    "(9003, 'tie\u200Db')"));
        auto ties = gDb->OpenDynaset(QStringLiteral("Select * from stamp where descr like 'tie*' order by descr"));
        QStringList order;
        for (; !ties->Eof(); ties->MoveNext()) order << ties->Field(QStringLiteral("StampID")).toString();
        QCOMPARE(order, QStringList({"9001", "9002", "9003"}));
        ties.reset();
        gDb->Execute(QStringLiteral("DELETE FROM Stamp WHERE StampID > 9000"));

        // Found literally, without breaking the query.
        MainWindowFixture& f = *mFixture;
        f.window->mnuSort_Click(1);
        for (const QString& typed : {million, QString("x'); drop table Stamp; --"), QString("\n%_\\")}) {
            f.prompts.Clear();
            f.prompts.inputs.push_back(typed);
            f.window->cmdFind_Click();
            QCOMPARE(f.prompts.LastText(), QStringLiteral("That record was not found."));
            QVERIFY(!f.prompts.endedWith);
        }
    }
};

QTEST_MAIN(TestTextMatch)
#include "tst_textmatch.moc"
