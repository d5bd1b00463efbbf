#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "app/AccessKeys.h"

#include "codes/frmCodesMaint.h"
#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Recordset.h"
#include "help/HelpContext.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

const char* const kAllButtons[] = {"cmdFirst",  "cmdPrevious", "cmdNext", "cmdLast",   "cmdAddNew",
                                   "cmdDelete", "cmdFind",     "cmdOk",   "cmdCancel", "cmdUpdate"};
const QStringList kBrowseSet{"cmdFirst",  "cmdPrevious", "cmdNext", "cmdLast",
                             "cmdAddNew", "cmdDelete",   "cmdFind", "cmdOk"};
const QStringList kEditSet{"cmdCancel", "cmdUpdate"};
const QStringList kAddSet{"cmdAddNew", "cmdCancel", "cmdUpdate"};

}  // namespace

class TestCodesMaint : public QObject {
    Q_OBJECT

    std::unique_ptr<TestCatalogue> mCatalogue;
    std::unique_ptr<ScriptedPrompts> mPrompts;

    frmCodesMaint* Window() { return frmCodesMaint::Instance(); }
    QLineEdit* Desc() { return Window()->findChild<QLineEdit*>("txtDesc"); }
    QPushButton* Button(const char* name) { return Window()->findChild<QPushButton*>(name); }

    // A collector can click only a button that shows.
    void Click(const char* name)
    {
        QPushButton* button = Button(name);
        QVERIFY2(button, name);
        QVERIFY2(button->isVisible() && button->isEnabled(), name);
        button->click();
    }
    void Type(const QString& text) { QTest::keyClicks(Desc(), text); }

    QStringList VisibleButtons()
    {
        QStringList shown;
        for (const char* name : kAllButtons)
            if (Button(name)->isVisible()) shown << name;
        return shown;
    }

    void Seed(const QString& table, const QString& field, const QStringList& descriptions)
    {
        for (const QString& d : descriptions)
            gDb->Execute(QString("INSERT INTO %1 (%2) VALUES ('%3')").arg(table, field, QString(d).replace("'", "''")));
    }
    QStringList Rows(const QString& table, const QString& field)
    {
        auto rs = gDb->OpenSnapshot(QString("Select %1 from %2 order by %1").arg(field, table));
        QStringList rows;
        for (; !rs->Eof(); rs->MoveNext()) rows << TextOf(rs->Field(field));
        return rows;
    }
    QStringList Countries() { return Rows("country", "Coudesc"); }

private Q_SLOTS:
    void initTestCase() { InstallAccessKeys(); }
    void init()
    {
        mCatalogue = std::make_unique<TestCatalogue>();
        gDb = Database::Open(mCatalogue->Path(), true);
        mPrompts = std::make_unique<ScriptedPrompts>();
    }
    void cleanup()
    {
        if (Window()) Window()->cmdOk_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Window());
        gDb.reset();
        mPrompts.reset();
        mCatalogue.reset();
    }

    void opensInBrowseModeWithTheTablesTexts_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("help");
        QTest::newRow("cancellations") << 1 << "Maintain Cancellations"
                                       << "Cancellation Description" << 19;
        QTest::newRow("gum") << 5 << "Maintain Gum Types"
                             << "Gum Description" << 51;
        QTest::newRow("perforations") << 7 << "Maintain Perforations"
                                      << "Perforation Description" << 53;
        QTest::newRow("topics") << 8 << "Maintain Topics"
                                << "Topic Description" << 55;
    }
    void opensInBrowseModeWithTheTablesTexts()
    {
        QFETCH(int, table);
        QFETCH(QString, caption);
        QFETCH(QString, label);
        QFETCH(int, help);
        gDb->Execute(
            "INSERT INTO cancel (CanDesc) VALUES ('Hand'); INSERT INTO gum (GumDesc) VALUES ('Hinged');"
            "INSERT INTO Perf (PerfDesc) VALUES ('11'); INSERT INTO topic (TopDesc) VALUES ('Birds')");
        OpenCodesMaint(table);
        QVERIFY(Window());
        QCOMPARE(gCodeTable, table);
        QCOMPARE(Window()->windowTitle(), caption);
        QCOMPARE(Window()->findChild<QLabel*>("lblDesc")->text(), label);
        QCOMPARE(VisibleButtons(), kBrowseSet);
        QVERIFY(Button("cmdOk")->isDefault());
        QVERIFY(Desc()->isEnabled());
        QVERIFY(!Desc()->text().isEmpty());
        QVERIFY(!Window()->IsEditing());
        QCOMPARE(HelpContextOf(Window()), help);
        QCOMPARE(HelpContextOf(Desc()), help);
        for (const char* name : kAllButtons) QCOMPARE(HelpContextOf(Button(name)), help);
    }

    void controls()
    {
        OpenCodesMaint(3);
        QCOMPARE(Desc()->maxLength(), 50);
        const QStringList captions{"&First",  "&Previous", "&Next", "&Last",   "&Add New",
                                   "&Delete", "&Find",     "&Ok",   "&Cancel", "&Update"};
        QStringList shown;
        for (const char* name : kAllButtons) shown << Button(name)->text();
        QCOMPARE(shown, captions);
        // Tab order: the description box, then the buttons in their documented order.
        QWidget* w = Desc();
        QStringList order{w->objectName()};
        for (int i = 0; i < 10; ++i) {
            w = w->nextInFocusChain();
            while (!qobject_cast<QPushButton*>(w)) w = w->nextInFocusChain();
            order << w->objectName();
        }
        QCOMPARE(order, (QStringList{"txtDesc", "cmdFirst", "cmdPrevious", "cmdNext", "cmdLast", "cmdAddNew",
                                     "cmdDelete", "cmdFind", "cmdOk", "cmdCancel", "cmdUpdate"}));
    }

    void emptyTable()
    {
        OpenCodesMaint(3);
        QVERIFY(!Desc()->isEnabled());
        QVERIFY(Desc()->text().isEmpty());
        QCOMPARE(VisibleButtons(), kBrowseSet);
        for (const char* name : {"cmdFirst", "cmdPrevious", "cmdNext", "cmdLast", "cmdDelete"}) Click(name);
        QCOMPARE(mPrompts->beeps, 0);
        QVERIFY(mPrompts->messages.empty());
        QCOMPARE(VisibleButtons(), kBrowseSet);

        Click("cmdAddNew");
        QVERIFY(Desc()->isEnabled());
        QCOMPARE(Button("cmdAddNew")->text(), "&Add Another");
        QVERIFY(Button("cmdAddNew")->isDefault());
        QCOMPARE(VisibleButtons(), kAddSet);
        QVERIFY(Window()->IsEditing());
    }

    void addAnotherThenUpdate()
    {
        OpenCodesMaint(3);
        Click("cmdAddNew");
        Type("Germany");
        Click("cmdAddNew");  // Add Another
        QCOMPARE(Countries(), QStringList{"Germany"});
        QVERIFY(Desc()->text().isEmpty());
        QCOMPARE(VisibleButtons(), kAddSet);
        Type("Austria");
        Click("cmdUpdate");
        QCOMPARE(Countries(), (QStringList{"Austria", "Germany"}));
        QCOMPARE(Desc()->text(), "Austria");
        QCOMPARE(VisibleButtons(), kBrowseSet);
        QCOMPARE(Button("cmdAddNew")->text(), "&Add New");
        QVERIFY(!Window()->IsEditing());
        // Both rows are now part of the window's list.
        Click("cmdNext");
        QCOMPARE(Desc()->text(), "Germany");
        QCOMPARE(mPrompts->beeps, 0);
    }

    void emptyDescriptionIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("adding");
        QTest::newRow("update of an addition") << "" << true;
        QTest::newRow("blanks only") << "   " << true;
        QTest::newRow("edit emptied") << "" << false;
    }
    void emptyDescriptionIsRefused()
    {
        QFETCH(QString, typed);
        QFETCH(bool, adding);
        Seed("country", "Coudesc", {"Chile"});
        OpenCodesMaint(3);
        if (adding) {
            Click("cmdAddNew");
            Type(typed);
        } else {
            Desc()->selectAll();
            QTest::keyClick(Desc(), Qt::Key_Delete);
        }
        for (const char* command : {"cmdUpdate", "cmdAddNew"}) {
            if (!Button(command)->isVisible()) continue;
            mPrompts->Clear();
            Click(command);
            QCOMPARE(mPrompts->messages.size(), size_t(1));
            QCOMPARE(mPrompts->messages[0].text, "You must enter a description or press Cancel");
            QCOMPARE(mPrompts->messages[0].title, "Missing Data");
            QCOMPARE(mPrompts->messages[0].icon, MsgIcon::None);
            QVERIFY(Window()->IsEditing());
            QVERIFY(Button("cmdUpdate")->isVisible());
        }
        QCOMPARE(Countries(), QStringList{"Chile"});
    }

    void renameAndUpdate()
    {
        Seed("country", "Coudesc", {"Austria", "Chile", "France"});
        OpenCodesMaint(3);
        Click("cmdNext");
        QCOMPARE(Desc()->text(), "Chile");
        Desc()->selectAll();
        Type("Zanzibar");
        QCOMPARE(VisibleButtons(), kEditSet);  // Add New gives way too
        Click("cmdUpdate");
        QCOMPARE(Countries(), (QStringList{"Austria", "France", "Zanzibar"}));
        QCOMPARE(Desc()->text(), "Zanzibar");
        QCOMPARE(VisibleButtons(), kBrowseSet);
        QCOMPARE(gDb->OpenSnapshot("Select CouID from country where Coudesc = 'Zanzibar'")->Field("CouID").toInt(), 2);
    }

    void cancelShowsTheLastRowAndKeepsTheData_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::newRow("typing into a shown row") << false;
        QTest::newRow("Add New") << true;
    }
    void cancelShowsTheLastRowAndKeepsTheData()
    {
        QFETCH(bool, adding);
        Seed("country", "Coudesc", {"Austria", "Chile", "France"});
        OpenCodesMaint(3);
        if (adding) Click("cmdAddNew");
        Type("xyz");
        Click("cmdCancel");
        QCOMPARE(Countries(), (QStringList{"Austria", "Chile", "France"}));
        QCOMPARE(Desc()->text(), "France");
        QCOMPARE(VisibleButtons(), kBrowseSet);
        QCOMPARE(Button("cmdAddNew")->text(), "&Add New");
        QVERIFY(Button("cmdOk")->isDefault());
        QVERIFY(!Window()->IsEditing());
        // Typing after the cancel starts a new edit.
        Type("!");
        QCOMPARE(VisibleButtons(), kEditSet);
    }

    void cancelAddingOnAnEmptyTable()
    {
        OpenCodesMaint(3);
        Click("cmdAddNew");
        Type("Peru");
        Click("cmdCancel");
        QVERIFY(Countries().isEmpty());
        QVERIFY(!Desc()->isEnabled());
        QVERIFY(Desc()->text().isEmpty());
    }

    void escapeCancelsAnEdit()
    {
        Seed("country", "Coudesc", {"Austria", "Chile"});
        OpenCodesMaint(3);
        Type("x");
        QTest::keyClick(Desc(), Qt::Key_Escape);
        QVERIFY(Window());
        QVERIFY(!Window()->IsEditing());
        QCOMPARE(Countries(), (QStringList{"Austria", "Chile"}));
    }

    void navigationBeepsAtEitherEnd()
    {
        Seed("country", "Coudesc", {"Chile", "austria", "Brazil"});
        OpenCodesMaint(3);
        const QList<std::tuple<const char*, QString, int>> steps{
            {"cmdPrevious", "austria", 1}, {"cmdNext", "Brazil", 1},     {"cmdLast", "Chile", 1},
            {"cmdNext", "Chile", 2},       {"cmdPrevious", "Brazil", 2}, {"cmdFirst", "austria", 2}};
        QCOMPARE(Desc()->text(), "austria");
        for (const auto& [button, shown, beeps] : steps) {
            Click(button);
            QCOMPARE(Desc()->text(), shown);
            QCOMPARE(mPrompts->beeps, beeps);
            QVERIFY(!Window()->IsEditing());  // showing a row is not an edit
        }
    }

    void deleteShowsTheNeighbour_data()
    {
        QTest::addColumn<int>("position");  // moves of Next from the first row
        QTest::addColumn<QString>("shownAfter");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("first") << 0 << "Chile" << QStringList{"Chile", "France"};
        QTest::newRow("middle") << 1 << "France" << QStringList{"Austria", "France"};
        QTest::newRow("last shows the one before") << 2 << "Chile" << QStringList{"Austria", "Chile"};
    }
    void deleteShowsTheNeighbour()
    {
        QFETCH(int, position);
        QFETCH(QString, shownAfter);
        QFETCH(QStringList, left);
        Seed("country", "Coudesc", {"Austria", "Chile", "France"});
        OpenCodesMaint(3);
        for (int i = 0; i < position; ++i) Click("cmdNext");
        Click("cmdDelete");
        QCOMPARE(mPrompts->messages.size(), size_t(1));
        QCOMPARE(mPrompts->messages[0].text, "Are you sure that you want to delete this country?");
        QCOMPARE(mPrompts->messages[0].title, "Delete Country");
        QCOMPARE(mPrompts->messages[0].buttons, MsgButtons::YesNo);
        QCOMPARE(mPrompts->messages[0].icon, MsgIcon::None);
        QCOMPARE(Countries(), left);
        QCOMPARE(Desc()->text(), shownAfter);
        QVERIFY(!Window()->IsEditing());
    }

    void deleteTheOnlyRowAndAnswerNo()
    {
        Seed("country", "Coudesc", {"Peru"});
        OpenCodesMaint(3);
        mPrompts->answers = {MsgAnswer::No};
        Click("cmdDelete");
        QCOMPARE(Countries(), QStringList{"Peru"});
        QCOMPARE(Desc()->text(), "Peru");
        Click("cmdDelete");
        QVERIFY(Countries().isEmpty());
        QVERIFY(Desc()->text().isEmpty());
        QVERIFY(!Desc()->isEnabled());
        QCOMPARE(VisibleButtons(), kBrowseSet);
    }

    void inUseEntryIsNotDeleted_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<QString>("message");
        QTest::newRow("country") << 3 << "This country is in use in a stamp record";
        QTest::newRow("gum") << 5 << "This gum is in use in a stamp record";
    }
    void inUseEntryIsNotDeleted()
    {
        QFETCH(int, table);
        QFETCH(QString, message);
        gDb->Execute(
            "INSERT INTO country (CouID, Coudesc) VALUES (12, 'Germany');"
            "INSERT INTO gum (gumID, GumDesc) VALUES (12, 'Original');"
            "INSERT INTO Stamp (descr, CouID, gumID) VALUES ('Posthorn', 12, 12)");
        OpenCodesMaint(table);
        Click("cmdDelete");
        QCOMPARE(mPrompts->messages.size(), size_t(2));
        QCOMPARE(mPrompts->messages[1].text, message);
        QCOMPARE(mPrompts->messages[1].title, "Cannot Delete");
        QCOMPARE(mPrompts->messages[1].icon, MsgIcon::None);
        QCOMPARE(mPrompts->messages[1].buttons, MsgButtons::Ok);
        QCOMPARE(Countries(), QStringList{"Germany"});
        QCOMPARE(Rows("gum", "GumDesc"), QStringList{"Original"});
        QVERIFY(!Desc()->text().isEmpty());
    }

    void find_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("shown");  // empty: not found
        QTest::newRow("lower case") << "ger"
                                    << "German East Africa";
        QTest::newRow("upper case") << "GERMANY"
                                    << "Germany";
        QTest::newRow("apostrophe") << "o'h"
                                    << "O'Higgins Land";
        QTest::newRow("star wildcard") << "*africa"
                                       << "German East Africa";
        QTest::newRow("question wildcard") << "?ermany"
                                           << "Germany";
        QTest::newRow("percent is a plain character") << "10%"
                                                      << "10% Perf";
        QTest::newRow("underscore is a plain character") << "ab_"
                                                         << "ab_c";
        QTest::newRow("empty answer finds the first row") << ""
                                                          << "10 Perf";
        QTest::newRow("not found") << "zzz"
                                   << "";
        QTest::newRow("lone apostrophe") << "'"
                                         << "";
        QTest::newRow("quote games") << "' or 1=1 --"
                                     << "";
        QTest::newRow("backslash") << "\\"
                                   << "";
        QTest::newRow("date literal") << "#1/1/2000#"
                                      << "";
        QTest::newRow("bracket") << "[G"
                                 << "";
    }
    void find()
    {
        QFETCH(QString, answer);
        QFETCH(QString, shown);
        Seed("country", "Coudesc",
             {"Austria", "Germany", "German East Africa", "O'Higgins Land", "10 Perf", "10% Perf", "ab1c", "ab_c"});
        OpenCodesMaint(3);
        Click("cmdLast");
        const QString before = Desc()->text();
        mPrompts->inputs = {answer};
        Click("cmdFind");
        QCOMPARE(mPrompts->inputRequests.size(), size_t(1));
        QCOMPARE(mPrompts->inputRequests[0].prompt, "Enter the country description to find:");
        QCOMPARE(mPrompts->inputRequests[0].title, "Find Code");
        QVERIFY(!mPrompts->endedWith);
        if (shown.isEmpty()) {
            QCOMPARE(mPrompts->messages.size(), size_t(1));
            QCOMPARE(mPrompts->messages[0].text, "That record was not found.");
            QCOMPARE(mPrompts->messages[0].title, "No Records Match");
            QCOMPARE(Desc()->text(), before);
        } else {
            QVERIFY(mPrompts->messages.empty());
            QCOMPARE(Desc()->text(), shown);
        }
        QVERIFY(!Window()->IsEditing());
        // The window moves on from the found row.
        Click("cmdFirst");
        QCOMPARE(Desc()->text(), "10 Perf");
    }

    void activationSetsTheTablesReloadFlag()
    {
        OpenCodesMaint(7);
        gPerfChanged = false;
        gCouChanged = false;
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(Window(), &activate);
        QVERIFY(gPerfChanged);
        QVERIFY(!gCouChanged);
        gPerfChanged = false;
        Window()->Form_Activate();
        QVERIFY(gPerfChanged);
    }

    void reopeningForAnotherTableReloads()
    {
        Seed("country", "Coudesc", {"Austria", "Chile"});
        Seed("type", "Typedesc", {"Definitive", "Airmail"});
        OpenCodesMaint(3);
        frmCodesMaint* first = Window();
        Click("cmdNext");
        OpenCodesMaint(3);  // the same table: only brought to the front
        QCOMPARE(Window(), first);
        QCOMPARE(Desc()->text(), "Chile");
        Type("x");
        // An unfinished change is not dropped: the collector is asked to finish it.
        mPrompts->Clear();
        OpenCodesMaint(9);
        QCOMPARE(mPrompts->LastText(),
                 QStringLiteral("Please finish or cancel the change in the \"Maintain Countries\" window first."));
        QCOMPARE(Window(), first);
        QCOMPARE(gCodeTable, 3);
        QCOMPARE(Window()->Table(), 3);
        QCOMPARE(Desc()->text(), "Chilex");
        QVERIFY(Window()->IsEditing());
        Click("cmdCancel");
        OpenCodesMaint(9);
        QCOMPARE(Window(), first);
        QCOMPARE(gCodeTable, 9);
        QCOMPARE(Window()->Table(), 9);
        QCOMPARE(Window()->windowTitle(), "Maintain Types");
        QCOMPARE(HelpContextOf(Desc()), 54);
        QCOMPARE(Desc()->text(), "Airmail");
        QVERIFY(!Window()->IsEditing());
        QCOMPARE(VisibleButtons(), kBrowseSet);
        QCOMPARE(Countries(), (QStringList{"Austria", "Chile"}));
        // The window works on the newly chosen table.
        Click("cmdAddNew");
        Type("Postage Due");
        Click("cmdUpdate");
        QCOMPARE(Rows("type", "Typedesc"), (QStringList{"Airmail", "Definitive", "Postage Due"}));
    }

    // The access keys work the window as clicks do, at once.
    void accessKeys()
    {
        Seed("country", "Coudesc", {"Austria", "Chile"});
        OpenCodesMaint(3);
        QVERIFY(QTest::qWaitForWindowActive(Window()));
        Desc()->setFocus();
        Desc()->end(false);
        Type(" (old)");
        QTest::keyClick(Window(), Qt::Key_U, Qt::AltModifier);
        QCOMPARE(Countries(), (QStringList{"Austria (old)", "Chile"}));
        QTest::keyClick(Window(), Qt::Key_A, Qt::AltModifier);
        Type("Peru");
        QTest::keyClick(Window(), Qt::Key_A, Qt::AltModifier);
        Type("Fiji");
        QTest::keyClick(Window(), Qt::Key_U, Qt::AltModifier);
        QCOMPARE(Countries(), (QStringList{"Austria (old)", "Chile", "Fiji", "Peru"}));
        QCOMPARE(VisibleButtons(), kBrowseSet);
        QTest::keyClick(Window(), Qt::Key_L, Qt::AltModifier);
        QCOMPARE(Desc()->text(), "Peru");
    }

    void okClosesTheWindow()
    {
        OpenCodesMaint(3);
        Click("cmdOk");
        QVERIFY(!Window());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        OpenCodesMaint(4);
        QVERIFY(Window());
        QCOMPARE(Window()->windowTitle(), "Maintain Formats");
    }

    // A catalogue closed under the window (a backup without closing it first)
    // goes to the central handler; the window itself never crashes.
    void closedCatalogueGoesToTheHandler()
    {
        Seed("country", "Coudesc", {"Austria", "Chile"});
        OpenCodesMaint(3);
        gDb->Close();
        Click("cmdNext");
        QCOMPARE(mPrompts->messages.size(), size_t(1));
        QVERIFY(mPrompts->messages[0].text.startsWith("An error has occurred."));
        QCOMPARE(mPrompts->endedWith, std::optional<int>(1));
        for (const char* name : {"cmdFirst", "cmdLast", "cmdFind", "cmdDelete"}) Click(name);
        QCOMPARE(mPrompts->messages.size(), size_t(2));  // only the delete question
    }
};

QTEST_MAIN(TestCodesMaint)
#include "tst_codesmaint.moc"
