// A button's access key does what a click on it does: the rule of the box being
// left runs first, and when it refuses, the button does nothing.

#include "MainWindowFixture.h"

#include "app/AccessKeys.h"
#include "help/frmAbout.h"

#include <QLocale>
#include <QTabWidget>
#include <QTest>

namespace {

const QString kStamps = QStringLiteral(
    "select group_concat(row, ';') from (select descr || '|' || ifnull(Year, '-') || "
    "'|' || quantity || '|' || ifnull(totalpaid, '-') || '|' || ifnull(totalval, "
    "'-') as row from Stamp order by StampID)");

// Brings the tab that holds a control to the front, as the collector would.
void ShowTabOf(const MainWindowFixture& f, const char* name)
{
    auto* tabs = f.W<QTabWidget>("SSTab1");
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i)->isAncestorOf(f.W(name))) tabs->setCurrentIndex(i);
}

}  // namespace

class TestAccessKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InstallAccessKeys();
        InstallAccessKeys();  // a second call must not make a key act twice
    }

    void mainWindowKeysLeaveTheBoxFirst_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("stamps");
        QTest::newRow("Update after a new quantity") << false << "txtQuantity"
                                                     << "3" << int(Qt::Key_U) << ""
                                                     << "Old|-|3|6.0|9.0";
        QTest::newRow("Update after a price") << false << "txtCatValue"
                                              << "$4" << int(Qt::Key_U) << ""
                                              << "Old|-|1|2.0|4.0";
        QTest::newRow("Add Another after a price") << true << "txtPricePaid"
                                                   << "2.5" << int(Qt::Key_A) << ""
                                                   << "Old|-|1|2.0|3.0;New|-|1|2.5|-";
        QTest::newRow("Update after a year") << false << "txtYear"
                                             << "1998" << int(Qt::Key_U) << ""
                                             << "Old|1998|1|2.0|3.0";
        QTest::newRow("Update after a year of letters")
            << false << "txtYear"
            << "19a8" << int(Qt::Key_U) << "You must enter a number in the Year field, or leave it blank"
            << "Old|-|1|2.0|3.0";
        QTest::newRow("Add Another after a price of letters")
            << true << "txtPricePaid"
            << "2,5" << int(Qt::Key_A) << "You must enter a valid number or leave the field blank"
            << "Old|-|1|2.0|3.0";
        QTest::newRow("Cancel after an empty quantity")
            << false << "txtQuantity"
            << "" << int(Qt::Key_C) << "You must enter a number in the Quantity field"
            << "Old|-|1|2.0|3.0";
    }
    void mainWindowKeysLeaveTheBoxFirst()
    {
        QFETCH(bool, adding);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, message);
        QFETCH(QString, stamps);
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr, quantity, pricepaid, totalpaid, catvalue, "
                                              "totalval) VALUES ('Old', 1, 2, 2, 3, 3);"));
        f.Show();
        if (adding) {
            f.window->cmdAddNew_Click();
            f.Type("txtDescr", QStringLiteral("New"));
        }
        const QByteArray name = box.toLatin1();
        ShowTabOf(f, name.constData());
        auto* edit = f.W<QLineEdit>(name.constData());
        edit->setFocus();
        edit->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, typed);
        QTest::keyClick(f.window.get(), Qt::Key(key), Qt::AltModifier);

        QCOMPARE(f.prompts.LastText(), message);
        QCOMPARE(f.Scalar(kStamps), stamps);
        if (message.isEmpty()) {
            QCOMPARE(f.window->IsEditing(), adding);
            return;
        }
        // Refused: the focus stays in the box, the edit goes on, the button did nothing.
        QCOMPARE(f.Focused(), edit);
        QCOMPARE(edit->text(), typed);
        QVERIFY(f.window->IsEditing());
        QCOMPARE(f.prompts.messages.size(), size_t(1));
    }

    // The mouse keeps to the same rule: a button whose press was refused by the
    // box being left does nothing either.
    void refusedClickDoesNothing()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr, Year) VALUES ('Old', 1840);"));
        f.Show();
        f.Type("txtYear", QStringLiteral("18x0"));
        QTest::mouseClick(f.W("cmdUpdate"), Qt::LeftButton);
        QCOMPARE(f.prompts.LastText(), QStringLiteral("You must enter a number in the Year field, or leave it blank"));
        QCOMPARE(f.Focused(), f.W("txtYear"));
        QCOMPARE(f.Scalar(QStringLiteral("select Year from Stamp")), QStringLiteral("1840"));
        QVERIFY(f.window->IsEditing());
        f.Type("txtYear", QStringLiteral("1850"));
        QTest::mouseClick(f.W("cmdUpdate"), Qt::LeftButton);
        QCOMPARE(f.Scalar(QStringLiteral("select Year from Stamp")), QStringLiteral("1850"));
        QVERIFY(!f.window->IsEditing());
    }

    // Browse keys move at once, from any box.
    void browseKeys()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr) VALUES ('Alpha'), ('Bravo'), ('Charlie');"));
        f.Show();
        f.W("txtDescr")->setFocus();
        QTest::keyClick(f.window.get(), Qt::Key_L, Qt::AltModifier);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Charlie"));
        QTest::keyClick(f.window.get(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Bravo"));
        QCOMPARE(f.Focused(), f.W("cmdPrevious"));
        QVERIFY(!f.window->IsEditing());
    }

    void aboutBoxOk()
    {
        ScriptedPrompts prompts;
        frmAbout box;
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QTest::keyClick(&box, Qt::Key_O, Qt::AltModifier);
        QVERIFY(!box.isVisible());
    }
};

QTEST_MAIN(TestAccessKeys)
#include "tst_accesskeys.moc"
