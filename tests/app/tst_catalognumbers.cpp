// A stamp's numbers in other catalogues in the real main window: added on the
// General tab and kept by Update with the record, dropped by Cancel, refused
// when empty, no amount or given twice; found by the catalogue-number Find in
// any case and accent; the collector's own catalogue fills Catalog Num. The list
// of catalogues in the code table window: its prefix and own-catalogue boxes,
// the in-use refusal, and the main window reading it again.
#include "MainWindowFixture.h"

#include "app/AccessKeys.h"
#include "codes/frmCodesMaint.h"
#include "numbers/NumbersBox.h"

#include <QLocale>
#include <QStringList>
#include <QTabWidget>

namespace {

NumbersBox* Box(const MainWindowFixture& f)
{
    return f.W<NumbersBox>("fraNumbers");
}

void Click(const MainWindowFixture& f, const char* button)
{
    QTest::mouseClick(f.W<QPushButton>(button), Qt::LeftButton);
}

// New Number, the catalogue chosen in its list, the number and the value typed
// into their boxes, as the collector does it.
void AddNumber(MainWindowFixture& f, const QString& catalogue, const QString& number, const QString& value = {})
{
    Click(f, "cmdAddNumber");
    auto* list = f.W<QComboBox>("cmbNumCatalog");
    list->setCurrentIndex(list->findText(catalogue));
    QCOMPARE(list->currentText(), catalogue);
    f.Type("txtNumber", number);
    if (!value.isEmpty()) f.Type("txtNumValue", value);
}

// "descr catalogue number value" of every number stored, in order.
QString Stored(const MainWindowFixture& f)
{
    return f.Scalar(QStringLiteral(
        "select group_concat(line, ', ') from (select descr || ' ' || CatalogDesc || ' ' || CatNo || "
        "ifnull(' ' || NumValue, '') as line from StampNumber, Catalog, Stamp where StampNumber.CatalogID = "
        "Catalog.CatalogID and StampNumber.StampID = Stamp.StampID order by StampNumber.StampID, Position)"));
}

const QString kTwoStamps = QStringLiteral(
    "INSERT INTO Stamp (descr, catnum, catsort) VALUES ('Alpha', '12', '                  12'), "
    "('Omega', '13', '                  13');");

}  // namespace

class TestCatalogNumbers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InstallAccessKeys();
    }

    // A new stamp gets a Michel and a Scott number before its first Update, and
    // the catalogue-number Find finds it by either, whatever the case and accents.
    void addNumbersAndFindByThem_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("the Michel number") << "840a" << true;
        QTest::newRow("in capitals") << "840A" << true;
        QTest::newRow("the Scott number without its accent") << "ae-7" << true;
        QTest::newRow("the Scott number in capitals") << "Æ-7" << true;
        QTest::newRow("part of a number") << "840" << false;
        QTest::newRow("the stamp's Catalog Num still") << "99" << true;
        QTest::newRow("a quote") << "840a' or '1' = '1" << false;
    }
    void addNumbersAndFindByThem()
    {
        QFETCH(QString, typed);
        QFETCH(bool, found);
        MainWindowFixture f(0, kTwoStamps);
        f.Show();
        Click(f, "cmdAddNew");
        f.Type("txtDescr", QStringLiteral("Kiwi"));
        f.Type("txtCatNum", QStringLiteral("99"));
        AddNumber(f, QStringLiteral("Michel"), QStringLiteral("840a"), QStringLiteral("2.5"));
        AddNumber(f, QStringLiteral("Scott"), QStringLiteral("Æ-7"));
        // Leaving the value box showed the amount in the currency format.
        QCOMPARE(Box(f)->Listing(), QStringList({"Michel 840a", "Scott Æ-7"}));
        Box(f)->Select(0);
        QCOMPARE(f.Text("txtNumValue"), QStringLiteral("$2.50"));
        QCOMPARE(Stored(f), QString());
        Click(f, "cmdUpdate");
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(!f.window->IsEditing());
        QCOMPARE(Stored(f), QStringLiteral("Kiwi Michel 840a 2.5, Kiwi Scott Æ-7"));

        f.window->mnuSort_Click(2);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Alpha"));
        QCOMPARE(Box(f)->Count(), 0);
        f.prompts.inputs = {typed};
        Click(f, "cmdFind");
        QCOMPARE(f.prompts.inputRequests.back().prompt, QStringLiteral("Enter the catalog number to find"));
        QCOMPARE(f.prompts.inputRequests.back().title, QStringLiteral("Find Catalog Number"));
        if (!found) {
            QCOMPARE(f.prompts.LastText(), QStringLiteral("That record was not found."));
            QCOMPARE(f.Text("txtDescr"), QStringLiteral("Alpha"));
            return;
        }
        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Kiwi"));
        QCOMPARE(Box(f)->Listing(), QStringList({"Michel 840a", "Scott Æ-7"}));
    }

    // Update refuses numbers that cannot be kept; nothing is written and the
    // edit goes on, with the focus where the collector must look.
    void refusedNumbers_data()
    {
        QTest::addColumn<QStringList>("numbers");  // catalogue, number, value; three a number
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("focus");
        QTest::newRow("one number twice in a catalogue")
            << QStringList{"Michel", "840", "", "Scott", "840", "", "Michel", "840 ", ""}
            << "The Michel number 840 is given twice for this stamp.  Remove one of them."
            << "Duplicate Catalogue Number"
            << "txtNumber";
        QTest::newRow("twice, told apart by case only")
            << QStringList{"Yvert et Tellier", "12a", "", "Yvert et Tellier", "12A", ""}
            << "The Yvert et Tellier number 12A is given twice for this stamp.  Remove one of them."
            << "Duplicate Catalogue Number"
            << "txtNumber";
        QTest::newRow("no number") << QStringList{"Michel", "840", "", "Scott", " ", ""}
                                   << "You must enter the Scott number, or remove it with Remove Number."
                                   << "Tessarine"
                                   << "txtNumber";
        QTest::newRow("a value that is no amount")
            << QStringList{"Michel", "840", "1.2.3"} << "You must enter a valid number or leave the field blank"
            << "Tessarine"
            << "txtNumValue";
    }
    void refusedNumbers()
    {
        QFETCH(QStringList, numbers);
        QFETCH(QString, message);
        QFETCH(QString, title);
        QFETCH(QString, focus);
        MainWindowFixture f(0, kTwoStamps);
        f.Show();
        for (qsizetype i = 0; i + 2 < numbers.size(); i += 3) AddNumber(f, numbers[i], numbers[i + 1], numbers[i + 2]);
        QVERIFY(f.window->IsEditing());
        // The Notes tab in front: the refusal brings the box's tab back.
        f.W<QTabWidget>("SSTab1")->setCurrentIndex(2);
        Click(f, "cmdUpdate");
        QCOMPARE(f.prompts.LastText(), message);
        QCOMPARE(f.prompts.messages.back().title, title);
        QCOMPARE(f.Focused(), f.W(focus.toLatin1().constData()));
        QVERIFY(f.window->IsEditing());
        QCOMPARE(Stored(f), QString());
    }

    // Typing the number of the collector's own catalogue fills Catalog Num; the
    // numbers of other catalogues leave it alone.
    void ownCatalogueFillsCatalogNum()
    {
        MainWindowFixture f(
            0, QStringLiteral("UPDATE Catalog SET OwnNumber = 1 WHERE CatalogDesc = 'Stanley Gibbons';") + kTwoStamps);
        f.Show();
        Click(f, "cmdAddNew");
        f.Type("txtDescr", QStringLiteral("Penny Black"));
        AddNumber(f, QStringLiteral("Michel"), QStringLiteral("1"));
        QCOMPARE(f.Text("txtCatNum"), QString());
        // The catalogue's own starting choice for a new number.
        Click(f, "cmdAddNumber");
        QCOMPARE(f.Text("cmbNumCatalog"), QStringLiteral("Stanley Gibbons"));
        f.Type("txtNumber", QStringLiteral("2"));
        QCOMPARE(f.Text("txtCatNum"), QStringLiteral("2"));
        AddNumber(f, QStringLiteral("Stanley Gibbons"), QStringLiteral("2a"));
        QCOMPARE(f.Text("txtCatNum"), QStringLiteral("2"));
        Click(f, "cmdUpdate");
        QCOMPARE(f.Scalar(QStringLiteral("select catnum || '|' || catsort from Stamp where descr = 'Penny Black'")),
                 QStringLiteral("2|                   2"));
        QCOMPARE(Stored(f), QStringLiteral("Penny Black Michel 1, Penny Black Stanley Gibbons 2, Penny Black Stanley "
                                           "Gibbons 2a"));
    }

    // Cancel forgets what was changed; a move shows each stamp's own numbers.
    void cancelAndMove()
    {
        MainWindowFixture f(
            0, kTwoStamps + QStringLiteral("INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo, "
                                           "NumValue, NumNote) VALUES (1, 3, 1, '100', 4, 'light crease'), "
                                           "(1, 1, 2, '77', NULL, ''), (2, 2, 1, '5', NULL, '');"));
        f.Show();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Alpha"));
        QCOMPARE(Box(f)->Listing(), QStringList({"Michel 100", "Scott 77"}));
        QCOMPARE(f.Text("txtNumNote"), QStringLiteral("light crease"));
        Box(f)->Select(1);
        Click(f, "cmdRemoveNumber");
        QVERIFY(f.window->IsEditing());
        f.Type("txtNumber", QStringLiteral("101"));
        QCOMPARE(Box(f)->Listing(), QStringList({"Michel 101"}));
        Click(f, "cmdCancel");
        const QString before = QStringLiteral("Alpha Michel 100 4.0, Alpha Scott 77, Omega Stanley Gibbons 5");
        QCOMPARE(Stored(f), before);
        f.window->cmdFirst_Click();
        QCOMPARE(Box(f)->Listing(), QStringList({"Michel 100", "Scott 77"}));
        f.window->cmdNext_Click();
        QCOMPARE(Box(f)->Listing(), QStringList({"Stanley Gibbons 5"}));
        // Update of a change elsewhere leaves the numbers as they are.
        f.Type("txtColor", QStringLiteral("Red"));
        Click(f, "cmdUpdate");
        QCOMPARE(Stored(f), before);
    }

    // A number of a megabyte written by another tool and texts that are SQL: shown,
    // searched for, never a broken query.
    void hostileNumbers()
    {
        const QString huge(1 << 20, u'8');
        MainWindowFixture f(0, kTwoStamps + QStringLiteral("INSERT INTO StampNumber (StampID, CatalogID, Position, "
                                                           "CatNo, CatNoSort) VALUES (2, 3, 1, '%1', '%2'), "
                                                           "(1, 3, 1, 'x'' or 1=1 --', '');")
                                                .arg(huge, huge.left(20)));
        f.Show();
        f.window->mnuSort_Click(2);
        for (const QString& typed :
             {huge, QStringLiteral("x' or 1=1 --"), QStringLiteral("%"), QStringLiteral("*"), QString(huge + u'\'')}) {
            f.prompts.Clear();
            f.window->cmdFirst_Click();
            f.prompts.inputs = {typed};
            f.window->cmdFind_Click();
            const bool found = typed == huge || typed.startsWith(u'x');
            QCOMPARE(f.prompts.LastText(), found ? QString() : QStringLiteral("That record was not found."));
            if (found) QCOMPARE(f.Text("txtDescr"), typed == huge ? QStringLiteral("Omega") : QStringLiteral("Alpha"));
        }
        QCOMPARE(Box(f)->Count(), 1);
    }

    // The list of catalogues in the code table window: its prefix and own boxes,
    // a name given once, the in-use refusal; the main window reads it again.
    void catalogueList()
    {
        MainWindowFixture f(0,
                            kTwoStamps + QStringLiteral("INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo) "
                                                        "VALUES (1, 3, 1, '100');"));
        f.Show();
        f.window->mnuMaint_Click(3);
        frmCodesMaint* w = frmCodesMaint::Instance();
        QVERIFY(w);
        // The nine code tables keep their window as it was.
        for (const char* name : {"lblPrefix", "txtPrefix", "chkOwn"}) QVERIFY(w->findChild<QWidget*>(name)->isHidden());
        f.window->mnuMaint_Click(10);
        QCOMPARE(w->windowTitle(), QStringLiteral("Maintain Catalogues"));
        QCOMPARE(w->findChild<QLabel*>("lblDesc")->text(), QStringLiteral("Catalogue Description"));
        for (const char* name : {"lblPrefix", "txtPrefix", "chkOwn"})
            QVERIFY(!w->findChild<QWidget*>(name)->isHidden());
        QCOMPARE(w->findChild<QLineEdit*>("txtDesc")->text(), QStringLiteral("Colnect"));

        f.prompts.inputs = {QStringLiteral("mich")};
        w->cmdFind_Click();
        QCOMPARE(f.prompts.inputRequests.back().prompt, QStringLiteral("Enter the catalogue description to find:"));
        QCOMPARE(w->findChild<QLineEdit*>("txtDesc")->text(), QStringLiteral("Michel"));
        QCOMPARE(w->findChild<QLineEdit*>("txtPrefix")->text(), QStringLiteral("Mi"));
        f.prompts.answers = {MsgAnswer::Yes};
        w->cmdDelete_Click();
        QCOMPARE(f.prompts.messages.front().text,
                 QStringLiteral("Are you sure that you want to delete this catalogue?"));
        QCOMPARE(f.prompts.messages.front().title, QStringLiteral("Delete Catalogue"));
        QCOMPARE(f.prompts.LastText(), QStringLiteral("This catalogue is in use in a stamp record"));
        QCOMPARE(f.prompts.messages.back().title, QStringLiteral("Cannot Delete"));
        QCOMPARE(f.Scalar("select count(*) from Catalog where CatalogDesc = 'Michel'"), QStringLiteral("1"));

        // A name the list has already is refused.
        f.prompts.Clear();
        w->cmdAddNew_Click();
        QTest::keyClicks(w->findChild<QLineEdit*>("txtDesc"), QStringLiteral("MICHEL"));
        w->cmdUpdate_Click();
        QCOMPARE(f.prompts.LastText(), QStringLiteral("There is already a catalogue named MICHEL."));
        QCOMPARE(f.prompts.messages.back().title, QStringLiteral("Duplicate Catalogue"));
        // A new one, the collector's own: the one that was lets go.
        gDb->Execute(QStringLiteral("UPDATE Catalog SET OwnNumber = 1 WHERE CatalogDesc = 'Scott'"));
        auto* name = w->findChild<QLineEdit*>("txtDesc");
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Hellman"));
        QTest::keyClicks(w->findChild<QLineEdit*>("txtPrefix"), QStringLiteral("Hel"));
        w->findChild<QCheckBox*>("chkOwn")->click();
        w->cmdUpdate_Click();
        QCOMPARE(f.Scalar("select group_concat(CatalogDesc || ' ' || Prefix) from Catalog where OwnNumber = 1"),
                 QStringLiteral("Hellman Hel"));
        w->Form_Activate();
        QVERIFY(gCatalogChanged);
        w->cmdOk_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // Back in the main window, the new catalogue is offered.
        f.window->Form_Activate();
        Click(f, "cmdAddNumber");
        QCOMPARE(f.Text("cmbNumCatalog"), QStringLiteral("Hellman"));
        QVERIFY(f.W<QComboBox>("cmbNumCatalog")->findText(QStringLiteral("Hellman")) >= 0);
    }
};

QTEST_MAIN(TestCatalogNumbers)
#include "tst_catalognumbers.moc"
