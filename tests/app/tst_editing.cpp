#include "MainWindowFixture.h"

#include "dates/DateBox.h"
#include "dates/LocaleFormats.h"

#include <QLocale>
#include <QTabWidget>
#include <QTest>

namespace {

// Runs the box's rule for leaving it, as the focus moving on would.
void Leave(const MainWindowFixture& f, const QByteArray& box)
{
    const QByteArray handler = box + QByteArray("_LostFocus");
    QVERIFY(QMetaObject::invokeMethod(f.window.get(), handler.constData()));
}

QString Row(const MainWindowFixture& f, const QString& columns, const QString& where)
{
    return f.Scalar(QStringLiteral("select %1 from Stamp where %2").arg(columns, where));
}

}  // namespace

class TestEditing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void addOnEmptyCatalogue()
    {
        MainWindowFixture f;
        f.window->cmdAddNew_Click();
        QVERIFY(f.W("txtDescr")->isEnabled());
        QCOMPARE(f.W<QPushButton>("cmdAddNew")->text(), QStringLiteral("&Add Another"));
        QVERIFY(f.Visible("cmdAddNew"));
        QVERIFY(f.Visible("cmdUpdate"));
        QVERIFY(!f.Visible("cmdFind"));
        f.window->cmdCancel_Click();
        QVERIFY(!f.W("txtDescr")->isEnabled());
        QCOMPARE(f.W<QPushButton>("cmdAddNew")->text(), QStringLiteral("&Add New"));
        QCOMPARE(f.Scalar("select count(*) from Stamp"), QStringLiteral("0"));
    }

    void addSeveralThenUpdate()
    {
        MainWindowFixture f;
        f.Show();
        f.window->cmdAddNew_Click();
        QCOMPARE(f.Focused(), f.W("txtDescr"));
        for (const char* name : {"Charlie", "Alpha", "Bravo"}) {
            f.Type("txtDescr", QString::fromLatin1(name));
            if (QByteArray(name) != "Bravo") f.window->cmdAddNew_Click();
        }
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Bravo"));
        f.window->cmdUpdate_Click();
        QCOMPARE(f.Scalar("select count(*) from Stamp"), QStringLiteral("3"));
        // The window shows the record just saved, in its sorted place.
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Bravo"));
        f.window->cmdNext_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Charlie"));
        QVERIFY(!f.window->IsEditing());
        QCOMPARE(f.W<QPushButton>("cmdAddNew")->text(), QStringLiteral("&Add New"));
        QCOMPARE(Row(f, "quantity || '|' || catsort || '|' || Color", "descr = 'Alpha'"), QStringLiteral("1|                    |"));
    }

    void cancelAfterAddAnotherKeepsSaved()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr) VALUES ('Zulu');"));
        f.window->cmdAddNew_Click();
        f.Type("txtDescr", "Alpha");
        f.window->cmdAddNew_Click();
        f.Type("txtDescr", "Mike");
        f.window->cmdCancel_Click();
        QCOMPARE(f.Scalar("select group_concat(descr) from (select descr from Stamp order by descr)"),
                 QStringLiteral("Alpha,Zulu"));
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Zulu"));  // the last record of the order
    }

    void updateExistingInCatalogueOrder()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr, catnum, catsort) VALUES "
                                              "('A', '9', '                   9'), ('B', '10', '                  10');"));
        f.window->mnuSort_Click(2);
        f.Type("txtCatNum", "100");
        QVERIFY(f.window->IsEditing());
        f.window->cmdUpdate_Click();
        QCOMPARE(f.Text("txtCatNum"), QStringLiteral("100"));
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("A"));
        f.window->cmdPrevious_Click();
        QCOMPARE(f.Text("txtCatNum"), QStringLiteral("10"));  // 100 now sorts after 10
        QCOMPARE(Row(f, "catsort", "descr = 'A'"), QStringLiteral("                 100"));
    }

    void cancelEditShowsLastRecord()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr) VALUES ('A'), ('B'), ('C');"));
        f.Type("txtDescr", "Changed");
        f.window->cmdCancel_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("C"));
        QCOMPARE(f.Scalar("select count(*) from Stamp where descr = 'Changed'"), QStringLiteral("0"));
    }

    void validation_data()
    {
        QTest::addColumn<QString>("descr");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<bool>("forSaleAndSold");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no description") << "" << "1" << false
                                        << "You must enter a description for this stamp or click the Cancel button."
                                        << "Tessarine" << "txtDescr";
        QTest::newRow("letters in quantity") << "X" << "abc" << false << "You must enter number in the quantity field."
                                             << "Non-numeric Quantity Entered" << "txtQuantity";
        QTest::newRow("quantity beyond 32 bits") << "X" << "2147483648" << false
                                                 << "You must enter number in the quantity field."
                                                 << "Non-numeric Quantity Entered" << "txtQuantity";
        QTest::newRow("for sale and sold") << "X" << "1" << true
                                           << "A stamp cannot be for sale and sold at the same time."
                                           << "Sale Status Error" << "chkForSale";
        QTest::newRow("blanks are a description") << "   " << "1" << false << "" << "" << "";
    }
    void validation()
    {
        QFETCH(QString, descr);
        QFETCH(QString, quantity);
        QFETCH(bool, forSaleAndSold);
        QFETCH(QString, message);
        QFETCH(QString, title);
        QFETCH(QString, focus);
        MainWindowFixture f;
        f.Show();
        f.window->cmdAddNew_Click();
        f.Type("txtDescr", descr);
        f.W<QLineEdit>("txtQuantity")->setText(quantity);
        if (forSaleAndSold) {
            f.W<QCheckBox>("chkSold")->setChecked(true);
            f.W<QCheckBox>("chkForSale")->setChecked(true);  // after Sold: not undone
        }
        f.prompts.Clear();
        f.window->cmdUpdate_Click();
        if (message.isEmpty()) {
            QVERIFY(f.prompts.messages.empty());
            QCOMPARE(f.Scalar("select count(*) from Stamp"), QStringLiteral("1"));
            return;
        }
        QCOMPARE(f.prompts.messages.size(), size_t(1));
        QCOMPARE(f.prompts.messages[0].text, message);
        QCOMPARE(f.prompts.messages[0].title, title);
        QCOMPARE(f.prompts.messages[0].icon, MsgIcon::None);
        QCOMPARE(f.Focused()->objectName(), focus);
        QCOMPARE(f.Scalar("select count(*) from Stamp"), QStringLiteral("0"));
        QVERIFY(f.window->IsEditing());
    }

    void deleting()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr) VALUES ('A'), ('B'), ('C');"));
        f.window->cmdNext_Click();  // B
        f.prompts.answers = {MsgAnswer::No};
        f.window->cmdDelete_Click();
        QCOMPARE(f.prompts.messages.back().text, QStringLiteral("Are you sure that you want to delete this stamp record?"));
        QCOMPARE(f.prompts.messages.back().title, QStringLiteral("Delete Stamp"));
        QCOMPARE(f.prompts.messages.back().buttons, MsgButtons::YesNo);
        QCOMPARE(f.Scalar("select count(*) from Stamp"), QStringLiteral("3"));
        f.window->cmdDelete_Click();  // Yes
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("C"));  // the record that followed
        f.window->cmdDelete_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("A"));  // the new last one
        f.window->cmdDelete_Click();
        QCOMPARE(f.Scalar("select count(*) from Stamp"), QStringLiteral("0"));
        QVERIFY(!f.W("txtDescr")->isEnabled());
        QCOMPARE(f.Text("txtQuantity"), QStringLiteral("1"));
        const size_t shown = f.prompts.messages.size();
        f.window->cmdDelete_Click();  // nothing left: no question
        QCOMPARE(f.prompts.messages.size(), shown);
    }

    void moneyBoxes_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("total");
        QTest::newRow("us") << "en_US" << "2.5" << "4" << "$2.50" << "$10.00";
        QTest::newRow("us grouped") << "en_US" << "1,234.5" << "2" << "$1,234.50" << "$2,469.00";
        QTest::newRow("us symbol") << "en_US" << "$0.05" << "3" << "$0.05" << "$0.15";
        QTest::newRow("de") << "de_DE" << "2,5" << "4" << "2,50\u00a0€" << "10,00\u00a0€";
        QTest::newRow("quantity not a number") << "en_US" << "2.5" << "x" << "$2.50" << "";
    }
    void moneyBoxes()
    {
        QFETCH(QString, locale);
        QFETCH(QString, price);
        QFETCH(QString, quantity);
        QFETCH(QString, shown);
        QFETCH(QString, total);
        QLocale::setDefault(QLocale(locale));
        MainWindowFixture f;
        f.window->cmdAddNew_Click();
        f.W<QLineEdit>("txtQuantity")->setText(quantity);
        for (const auto& [box, totalBox] : {std::pair{"txtPricePaid", "txtTotalPaid"}, std::pair{"txtCatValue", "txtTotalVal"},
                                            std::pair{"txtPriceAsk", "txtTotalSales"}}) {
            f.W<QLineEdit>(box)->setText(price);
            Leave(f, box);
            QCOMPARE(f.Text(box), shown);
            QCOMPARE(f.Text(totalBox), total);
        }
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(!f.prompts.endedWith);
    }

    void moneyAndTotalRules()
    {
        MainWindowFixture f;
        f.Show();
        f.window->cmdAddNew_Click();
        f.Type("txtDescr", "Priced");
        f.W<QLineEdit>("txtPricePaid")->setText("2");
        f.window->txtPricePaid_LostFocus();
        f.W<QLineEdit>("txtCatValue")->setText("3");
        f.window->txtCatValue_LostFocus();
        QCOMPARE(f.Text("txtTotalVal"), QStringLiteral("$3.00"));
        // Emptying a price empties its total.
        f.W<QLineEdit>("txtCatValue")->clear();
        f.window->txtCatValue_LostFocus();
        QCOMPARE(f.Text("txtTotalVal"), QString());
        // A new quantity recomputes the totals whose prices are numbers.
        f.W<QLineEdit>("txtQuantity")->setText("3");
        f.window->txtQuantity_LostFocus();
        QCOMPARE(f.Text("txtTotalPaid"), QStringLiteral("$6.00"));
        QCOMPARE(f.Text("txtTotalVal"), QString());
        // Letters in a price: the message, the focus back, the text as typed.
        f.W<QLineEdit>("txtPriceAsk")->setText("abc");
        f.window->txtPriceAsk_LostFocus();
        QCOMPARE(f.prompts.LastText(), QStringLiteral("You must enter a valid number or leave the field blank"));
        QCOMPARE(f.prompts.messages.back().icon, MsgIcon::None);
        QCOMPARE(f.Focused(), f.W("txtPriceAsk"));
        QCOMPARE(f.Text("txtPriceAsk"), QStringLiteral("abc"));
        // Blanks only are not empty here.
        f.W<QLineEdit>("txtPriceAsk")->setText("  ");
        f.window->txtPriceAsk_LostFocus();
        QCOMPARE(f.prompts.messages.size(), size_t(2));
        f.W<QLineEdit>("txtPriceAsk")->clear();
        f.window->cmdUpdate_Click();
        QCOMPARE(Row(f, "pricepaid || '|' || totalpaid || '|' || quantity || '|' || ifnull(catvalue, 'null')", "1"),
                 QStringLiteral("2.0|6.0|3|null"));
    }

    // A total is kept to fourteen whole digits; a price or a quantity whose total
    // would be larger is no number for the entry rules, and nothing is saved.
    void totalsThatDoNotFit_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<bool>("quantityLast");  // the quantity is typed after the price
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("total");
        const QString priceMessage = QStringLiteral("You must enter a valid number or leave the field blank");
        const QString quantityMessage = QStringLiteral("You must enter a number in the Quantity field");
        QTest::newRow("a million times a billion") << "$1,000,000" << "1000000000" << false << priceMessage << "";
        QTest::newRow("a billion of a million") << "$1,000,000" << "1000000000" << true << quantityMessage
                                                << "$1,000,000.00";
        QTest::newRow("fourteen whole digits") << "$10,000,000,000,000" << "9" << true << ""
                                               << "$90,000,000,000,000.00";
        QTest::newRow("fifteen whole digits") << "$10,000,000,000,000" << "10" << true << quantityMessage
                                              << "$10,000,000,000,000.00";
        QTest::newRow("fifteen, negative") << "-$50,000,000,000,000" << "2" << false << priceMessage << "";
    }
    void totalsThatDoNotFit()
    {
        QFETCH(QString, price);
        QFETCH(QString, quantity);
        QFETCH(bool, quantityLast);
        QFETCH(QString, message);
        QFETCH(QString, total);
        MainWindowFixture f;
        f.Show();
        f.window->cmdAddNew_Click();
        f.Type("txtDescr", "Costly");
        f.W<QTabWidget>("SSTab1")->setCurrentIndex(1);
        if (!quantityLast) f.W<QLineEdit>("txtQuantity")->setText(quantity);
        f.Type("txtPricePaid", price);
        QTest::keyClick(f.W("txtPricePaid"), Qt::Key_Tab);
        if (quantityLast) {
            f.Type("txtQuantity", quantity);
            QTest::keyClick(f.W("txtQuantity"), Qt::Key_Tab);
        }
        QCOMPARE(f.Text("txtTotalPaid"), total);
        QCOMPARE(f.prompts.LastText(), message);
        if (!message.isEmpty()) {
            QCOMPARE(f.Focused()->objectName(), QLatin1String(quantityLast ? "txtQuantity" : "txtPricePaid"));
            QVERIFY(f.window->IsEditing());
            return;
        }
        // What fits is saved and shown again as it was.
        f.window->cmdUpdate_Click();
        QCOMPARE(f.Text("txtTotalPaid"), total);
        QCOMPARE(Row(f, "printf('%.2f', totalpaid)", "1"), QStringLiteral("90000000000000.00"));
    }

    void numberChecksOnLeaving_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("after");
        QTest::newRow("face letters") << "txtFace" << "1d" << "You must enter a number in the 'Face Value' field, or leave it blank" << "1d";
        QTest::newRow("face number") << "txtFace" << "0.5" << "" << "$0.50";
        QTest::newRow("face blanks") << "txtFace" << "  " << "" << "  ";
        QTest::newRow("year letters") << "txtYear" << "19a8" << "You must enter a number in the Year field, or leave it blank" << "19a8";
        QTest::newRow("year too big") << "txtYear" << "40000" << "You must enter a number in the Year field, or leave it blank" << "40000";
        QTest::newRow("year blanks") << "txtYear" << "   " << "" << "   ";
        QTest::newRow("year as typed") << "txtYear" << "1998" << "" << "1998";
        QTest::newRow("quantity empty") << "txtQuantity" << "" << "You must enter a number in the Quantity field" << "";
        QTest::newRow("quantity huge") << "txtQuantity" << "99999999999" << "You must enter a number in the Quantity field" << "99999999999";
        QTest::newRow("quantity ok") << "txtQuantity" << "7" << "" << "7";
    }
    void numberChecksOnLeaving()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, after);
        MainWindowFixture f;
        f.Show();
        f.window->cmdAddNew_Click();
        const QByteArray name = box.toLatin1();
        f.W<QLineEdit>(name.constData())->setText(text);
        f.W("txtColor")->setFocus();
        Leave(f, name);
        QCOMPARE(f.Text(name.constData()), after);
        if (message.isEmpty()) {
            QVERIFY(f.prompts.messages.empty());
            return;
        }
        QCOMPARE(f.prompts.LastText(), message);
        QCOMPARE(f.prompts.messages.back().icon, MsgIcon::Stop);
        QCOMPARE(f.prompts.messages.back().title, QStringLiteral("Tessarine"));
        QCOMPARE(f.Focused()->objectName(), box);
    }

    void realFocusMovesRunTheChecksOnce()
    {
        MainWindowFixture f;
        f.Show();
        f.window->cmdAddNew_Click();
        f.W<QLineEdit>("txtQuantity")->clear();
        f.Type("txtYear", "abc");
        // Tab out of the year into the quantity: only the year's check speaks, and
        // taking the focus back does not make the empty quantity complain.
        QTest::keyClick(f.W("txtYear"), Qt::Key_Tab);
        QCOMPARE(f.prompts.messages.size(), size_t(1));
        QCOMPARE(f.prompts.LastText(), QStringLiteral("You must enter a number in the Year field, or leave it blank"));
        QCOMPARE(f.Focused(), f.W("txtYear"));
    }

    void checkBoxesAndLists()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Peru');"
                                              "INSERT INTO Stamp (descr, CouID, forsale) VALUES ('Inca', 1, 1);"));
        f.Show();
        QCOMPARE(f.Text("cmbCou"), QStringLiteral("Peru"));
        // Delete in a list chooses nothing and starts an edit.
        f.W("cmbCou")->setFocus();
        QTest::keyClick(f.W("cmbCou"), Qt::Key_Delete);
        QCOMPARE(f.W<QComboBox>("cmbCou")->currentIndex(), -1);
        QVERIFY(f.window->IsEditing());
        // Sold clears For Sale.
        f.W<QTabWidget>("SSTab1")->setCurrentIndex(1);
        QVERIFY(f.W<QCheckBox>("chkForSale")->isChecked());
        f.W<QCheckBox>("chkSold")->click();
        QVERIFY(!f.W<QCheckBox>("chkForSale")->isChecked());
        // Want List switches the price label.
        f.W<QCheckBox>("chkWantList")->setChecked(true);
        QCOMPARE(f.Text("lblPrice"), QStringLiteral("Will Pay"));
        f.window->cmdUpdate_Click();
        QCOMPARE(Row(f, "ifnull(CouID, 'null') || forsale || sold || wantlist", "1"), QStringLiteral("null011"));
    }

    // Keys that only pass through a list (moving on, a menu's or help's key, a
    // key held for another) leave the shown stamp alone; keys that choose in the
    // list start an edit, as they would change the choice.
    void keysInAList_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("edits");
        QTest::addColumn<int>("choiceAfter");  // 0: Peru stays chosen; -1: nothing
        QTest::newRow("Tab moves on") << int(Qt::Key_Tab) << 0 << false << 0;
        QTest::newRow("Shift+Tab moves back") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << false << 0;
        QTest::newRow("Alt, for a menu") << int(Qt::Key_Alt) << int(Qt::AltModifier) << false << 0;
        QTest::newRow("Alt+M, the Maintain menu") << int(Qt::Key_M) << int(Qt::AltModifier) << false << 0;
        QTest::newRow("Ctrl+Tab, the next tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier) << false << 0;
        QTest::newRow("Shift held") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << false << 0;
        QTest::newRow("Control held") << int(Qt::Key_Control) << int(Qt::ControlModifier) << false << 0;
        QTest::newRow("F1, help") << int(Qt::Key_F1) << 0 << false << 0;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << false << 0;
        QTest::newRow("a letter") << int(Qt::Key_P) << 0 << true << 0;
        QTest::newRow("Up") << int(Qt::Key_Up) << 0 << true << 0;
        QTest::newRow("Delete chooses nothing") << int(Qt::Key_Delete) << 0 << true << -1;
        QTest::newRow("Backspace chooses nothing") << int(Qt::Key_Backspace) << 0 << true << -1;
    }

    void keysInAList()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, edits);
        QFETCH(int, choiceAfter);
        MainWindowFixture f(0, QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Peru');"
                                              "INSERT INTO Stamp (descr, CouID) VALUES ('Inca', 1);"));
        f.Show();
        auto* list = f.W<QComboBox>("cmbCou");
        list->setFocus();
        QTest::keyClick(list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.window->IsEditing(), edits);
        QCOMPARE(f.Visible("cmdUpdate"), edits);
        QCOMPARE(list->currentIndex(), choiceAfter);
        if (!edits) QVERIFY(f.W<QWidget>("cmdFind")->isVisible());
    }

    void totalBoxesHandTheFocusOn()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr) VALUES ('A');"));
        f.Show();
        f.W<QTabWidget>("SSTab1")->setCurrentIndex(1);
        for (const auto& [total, next] : {std::pair{"txtTotalPaid", "cmbCon"}, std::pair{"txtTotalVal", "chkForSale"},
                                          std::pair{"txtTotalSales", "dcDateSold"}}) {
            QTest::mouseClick(f.W(total), Qt::LeftButton);
            QWidget* focused = f.Focused();
            while (focused && focused->objectName().isEmpty()) focused = focused->parentWidget();
            QVERIFY(focused);
            QCOMPARE(focused->objectName(), QString::fromLatin1(next));
        }
        QVERIFY(!f.window->IsEditing());
    }

    void dateBoxes()
    {
        MainWindowFixture f;
        f.Show();
        f.window->cmdAddNew_Click();
        f.prompts.pickedDates = {QDate(1998, 5, 3)};
        f.window->dcIssued_DropDown();
        QCOMPARE(f.prompts.pickRequests.size(), size_t(1));
        QCOMPARE(f.prompts.pickRequests[0].caption, QStringLiteral("Select Issue Date"));
        QCOMPARE(f.prompts.pickRequests[0].align, PickRequest::Align::RightEdges);
        QCOMPARE(f.Text("dcIssued"), QStringLiteral("5/3/1998"));
        QVERIFY(f.Focused() != f.W("dcIssued") && f.Focused() != f.W<DateBox>("dcIssued")->lineEdit());
        // Closed without a pick: the box's own date comes back.
        f.prompts.pickedDates = {std::nullopt};
        f.window->dcIssued_DropDown();
        QCOMPARE(f.Text("dcIssued"), QStringLiteral("5/3/1998"));
        // An empty box gets today.
        f.prompts.pickedDates = {std::nullopt};
        f.window->dcPurchased_DropDown();
        QCOMPARE(f.prompts.pickRequests.back().caption, QStringLiteral("Select Purchase Date"));
        QCOMPARE(f.prompts.pickRequests.back().align, PickRequest::Align::LeftBelow);
        QCOMPARE(f.Text("dcPurchased"), FormatShortDate(QDate::currentDate()));
        f.prompts.pickedDates = {QDate(2001, 12, 31)};
        f.window->dcDateSold_DropDown();
        QCOMPARE(f.prompts.pickRequests.back().caption, QStringLiteral("Select Sold Date"));
        QCOMPARE(f.Text("dcDateSold"), QStringLiteral("12/31/2001"));

        const std::pair<const char*, const char*> checks[] = {
            {"dcIssued", "You must enter a valid issue date, or leave the field blank."},
            {"dcPurchased", "You must enter a valid purchase date, or leave the field blank."},
            {"dcDateSold", "You must enter a valid sold date, or leave the field blank."}};
        for (const auto& [box, message] : checks) {
            f.prompts.Clear();
            f.W<DateBox>(box)->SetText(QStringLiteral("2/30/1998"));
            Leave(f, box);
            QCOMPARE(f.prompts.LastText(), QString::fromLatin1(message));
            QCOMPARE(f.prompts.messages.back().icon, MsgIcon::None);
            f.W<DateBox>(box)->SetText(QStringLiteral("2/28/1998"));
        }
        f.Type("txtDescr", "Dated");
        f.window->cmdUpdate_Click();
        QCOMPARE(Row(f, "issued || '|' || purchased || '|' || datesold", "1"), QStringLiteral("1998-02-28|1998-02-28|1998-02-28"));
        QCOMPARE(f.Text("dcIssued"), QStringLiteral("2/28/1998"));
    }

    void everyValueComesBackAfterRestart_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("en_US") << "en_US";
        QTest::newRow("de_DE") << "de_DE";
        QTest::newRow("ja_JP") << "ja_JP";
        QTest::newRow("C") << "C";
    }
    void everyValueComesBackAfterRestart()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        MainWindowFixture f(0, QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Japan');"
                                              "INSERT INTO gum (GumDesc) VALUES ('Original gum');"));
        f.window->cmdAddNew_Click();
        const std::pair<const char*, QString> typed[] = {
            {"txtDescr", "Crane <b> & 'kite'"}, {"txtCatNum", "12a"}, {"txtYear", "1998"}, {"txtQuantity", "3"},
            {"txtColor", "Vermilion"}, {"txtWatermark", "Wavy lines"}, {"txtErrors", "None"}, {"txtMisc1", "Album 2"},
            {"txtMisc2", "Ünïcödé ✉"}};
        for (const auto& [box, text] : typed) f.W<QLineEdit>(box)->setText(text);
        f.W<QLineEdit>("txtFace")->setText(FormatCurrency(Money::FromUnits(5000)));
        f.W<QLineEdit>("txtPricePaid")->setText(FormatCurrency(Money::FromUnits(15000)));
        f.window->txtPricePaid_LostFocus();
        f.W<QLineEdit>("txtCatValue")->setText(FormatCurrency(Money::FromUnits(12345)));
        f.window->txtCatValue_LostFocus();
        f.W<DateBox>("dcIssued")->SetText(FormatShortDate(QDate(1930, 1, 2)));
        f.W<DateBox>("dcPurchased")->SetText(FormatShortDate(QDate(2029, 12, 31)));
        f.W<QComboBox>("cmbCou")->setCurrentIndex(0);
        f.W<QComboBox>("cmbGum")->setCurrentIndex(0);
        f.W<QCheckBox>("chkUsed")->setChecked(true);
        f.W<QPlainTextEdit>("txtNotes")->setPlainText(QStringLiteral("First line\nSecond line\ttabbed"));
        f.window->cmdUpdate_Click();
        QVERIFY(f.prompts.messages.empty());

        QStringList before;
        const char* shown[] = {"txtDescr", "txtCatNum", "txtFace", "txtYear", "txtQuantity", "cmbCou", "cmbGum",
                               "txtColor", "txtWatermark", "txtErrors", "dcIssued", "dcPurchased", "txtPricePaid",
                               "txtTotalPaid", "txtCatValue", "txtTotalVal", "txtNotes", "txtMisc1", "txtMisc2"};
        for (const char* name : shown) before << f.Text(name);
        f.window->Form_Unload();
        f.window->Form_Load();
        f.window->Form_Activate();
        QStringList after;
        for (const char* name : shown) after << f.Text(name);
        QCOMPARE(after, before);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Crane <b> & 'kite'"));
        QCOMPARE(Row(f, "face || '|' || pricepaid || '|' || totalpaid || '|' || catvalue || '|' || issued || '|' || purchased",
                     "1"),
                 QStringLiteral("0.5|1.5|4.5|1.2345|1930-01-02|2029-12-31"));
        // Saving the shown record again changes nothing.
        f.W<QLineEdit>("txtColor")->setText("Vermilion");
        f.window->BeginEdit();
        f.window->cmdUpdate_Click();
        QCOMPARE(Row(f, "face || '|' || catvalue || '|' || totalval || '|' || issued", "1"),
                 QStringLiteral("0.5|1.2345|3.7035|1930-01-02"));
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
