#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "app/AccessKeys.h"

#include "custom/CustomReportOutput.h"
#include "dates/DateBox.h"
#include "custom/frmRptSpec.h"
#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/Globals.h"
#include "help/HelpContext.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

// SpecIDs of the shipped field catalogue.
constexpr int kDescription = 1;
constexpr int kCountry = 8;
constexpr int kPricePaid = 21;
constexpr int kPurchased = 28;
constexpr int kSold = 29;
// The fields of RptSpec (33 of the stamp and its codes, the front image) and a
// stamp's number in each of the 11 catalogues a new catalogue file lists.
constexpr int kFields = 34 + 11;

const QString kAddMessage =
    QStringLiteral("You must select a field from the list of available fields to add to the report.");

}  // namespace

class TestFrmRptSpec : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<ScriptedPrompts> mPrompts;
    frmRptSpec* w = nullptr;

    template <typename T = QWidget>
    T* C(const char* name) const
    {
        T* child = w->findChild<T*>(QString::fromLatin1(name));
        if (!child) qFatal("no control %s", name);
        return child;
    }
    QListWidget* List1() const { return C<QListWidget>("List1"); }
    QListWidget* List2() const { return C<QListWidget>("List2"); }

    void Open()
    {
        OpenCustomReports();
        w = frmRptSpec::Instance();
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    void Close()
    {
        if (w) w->cmdCancel_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w = nullptr;
    }
    static QStringList Texts(const QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
    void Select(QListWidget* list, const QString& text)
    {
        const auto found = list->findItems(text, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        list->setCurrentItem(found.first());
    }
    void AddField(const QString& text)
    {
        Select(List1(), text);
        QTest::mouseClick(C<QToolButton>("cmdAdd"), Qt::LeftButton);
    }
    // Types into a box and leaves it with Tab, as the collector does.
    void Type(const char* box, const QString& text)
    {
        auto* edit = C<QLineEdit>(box);
        edit->setFocus();
        QVERIFY(edit->hasFocus());
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }
    void TypeDate(const char* box, const QString& text)
    {
        auto* date = C<DateBox>(box);
        date->setFocus();
        QVERIFY(date->hasFocus());
        date->setEditText(text);
        QTest::keyClick(date, Qt::Key_Tab);
    }
    void Toggle(const char* name)
    {
        auto* button = C<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
        QTest::keyClick(button, Qt::Key_Tab);
    }

private Q_SLOTS:
    void initTestCase() { InstallAccessKeys(); }
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        mPrompts = std::make_unique<ScriptedPrompts>();
        mCat = std::make_unique<TestCatalogue>();
        mCat->Exec(
            QStringLiteral("INSERT INTO country (CouID, Coudesc) VALUES (1, 'Germany');"
                           "INSERT INTO Stamp (descr, CouID, pricepaid, sold) VALUES "
                           "('Penny Black', 1, 12.5, 0), ('Penny Red', NULL, 2, 1), ('Basel Dove', 1, 900, 0);"));
        gDb = Database::Open(mCat->Path(), true);
        gRptTarget = 1;
    }
    void cleanup()
    {
        Close();
        SetCustomReportWriterFactory(nullptr);
        gDb.reset();
        mCat.reset();
        mPrompts.reset();
        gRptTarget = 1;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void opensWithItsDefaults()
    {
        Open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Custom Report"));
        QVERIFY(!w->isModal());
        auto* tabs = C<QTabWidget>("SSTab1");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Report Fields"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Report Options"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Sorting"));

        const QStringList available = Texts(List1());
        // The fields of the stamp and its codes, its front image, which gives no sort
        // order, and its number in each catalogue of the starting list.
        QCOMPARE(available.size(), kFields);
        QVERIFY(available.contains(QStringLiteral("Michel #")));
        QVERIFY(available.contains(QStringLiteral("SG #")));
        QVERIFY(available.contains(QStringLiteral("Image")));
        QCOMPARE(available.first(), QStringLiteral("Cancellation"));
        QCOMPARE(available.last(), QStringLiteral("Zumstein #"));
        QVERIFY(List2()->count() == 0);
        QVERIFY(List1()->findItems(QStringLiteral("Country"), Qt::MatchExactly).first()->data(Qt::UserRole) ==
                kCountry);

        QVERIFY(C("frame1")->isHidden());
        for (const char* frame : {"fraSel_1", "fraSel_2", "fraSel_3", "fraSel_4"}) QVERIFY(C(frame)->isHidden());
        QCOMPARE(C<QGroupBox>("frame1")->title(), QStringLiteral("Details For "));
        QCOMPARE(C<QLineEdit>("txtTitle")->text(), QStringLiteral("Tessarine Report"));
        QVERIFY(C<QRadioButton>("optOrient_0")->isChecked());
        QVERIFY(!C<QRadioButton>("optOrient_1")->isChecked());
        QVERIFY(C<QCheckBox>("chkDate")->isChecked());
        QVERIFY(C<QRadioButton>("optWidth_0")->isChecked());
        auto* pages = C<QComboBox>("cmbPageNum");
        QCOMPARE(pages->count(), 3);
        QCOMPARE(pages->itemText(0), QStringLiteral("At Bottom"));
        QCOMPARE(pages->itemText(1), QStringLiteral("In Header"));
        QCOMPARE(pages->itemText(2), QStringLiteral("No Page Numbers"));
        QCOMPARE(pages->currentIndex(), 0);
        for (const char* sort : {"cmbSort1", "cmbSort2"}) {
            QCOMPARE(C<QComboBox>(sort)->count(), kFields - 1);
            QCOMPARE(C<QComboBox>(sort)->findText(QStringLiteral("Image")), -1);
            QCOMPARE(C<QComboBox>(sort)->currentIndex(), -1);
        }
        QCOMPARE(C<QPushButton>("cmdGenerate")->text(), QStringLiteral("&Generate Report"));
        QCOMPARE(C<QPushButton>("cmdCancel")->text(), QStringLiteral("&Cancel"));
    }

    void helpContexts_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("context");
        QTest::newRow("window") << "frmRptSpec" << 68;
        for (const char* name :
             {"List1", "List2", "cmdAdd", "cmdRemove", "cmdUp", "cmdDown", "frame1", "chkHide", "txtWidth"})
            QTest::newRow(name) << name << 68;
        for (const char* name : {"fraSel_1", "fraSel_2", "fraSel_3", "fraSel_4", "txtStarting", "txtGreater", "txtLess",
                                 "chkTotal", "dcStartDate", "dcEndDate", "optTrue", "optFalse"})
            QTest::newRow(name) << name << 69;
        for (const char* name :
             {"txtTitle", "Frame2", "optReportTo_1", "optReportTo_2", "optReportTo_3", "fraOrient", "optOrient_0",
              "optOrient_1", "fraFormat", "chkDate", "cmbPageNum", "optWidth_0", "optWidth_1"})
            QTest::newRow(name) << name << 70;
        QTest::newRow("cmbSort1") << "cmbSort1" << 71;
        QTest::newRow("cmbSort2") << "cmbSort2" << 71;
        QTest::newRow("cmdGenerate") << "cmdGenerate" << 72;
        QTest::newRow("cmdCancel") << "cmdCancel" << 72;
    }
    void helpContexts()
    {
        QFETCH(QString, control);
        QFETCH(int, context);
        Open();
        const QObject* object = control == u"frmRptSpec" ? w : w->findChild<QObject*>(control);
        QVERIFY(object);
        QCOMPARE(HelpContextOf(object), context);
    }

    void opensWithTheChosenTarget_data()
    {
        QTest::addColumn<int>("target");
        QTest::newRow("preview") << 1;
        QTest::newRow("text file") << 2;
        QTest::newRow("html") << 3;
    }
    void opensWithTheChosenTarget()
    {
        QFETCH(int, target);
        gRptTarget = target;
        Open();
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(C<QRadioButton>(qPrintable(QStringLiteral("optReportTo_%1").arg(i)))->isChecked(), i == target);
        QCOMPARE(C("fraOrient")->isHidden(), target != 1);
        QCOMPARE(C("fraFormat")->isHidden(), target != 1);
    }

    void targetButtonsHideAndShowThePrinterFrames()
    {
        Open();
        C<QTabWidget>("SSTab1")->setCurrentIndex(1);
        QTest::mouseClick(C<QRadioButton>("optOrient_1"), Qt::LeftButton, {}, QPoint(5, 5));
        for (const char* target : {"optReportTo_2", "optReportTo_3"}) {
            QTest::mouseClick(C<QRadioButton>(target), Qt::LeftButton, {}, QPoint(5, 5));
            QVERIFY(C("fraOrient")->isHidden());
            QVERIFY(C("fraFormat")->isHidden());
        }
        QTest::mouseClick(C<QRadioButton>("optReportTo_1"), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!C("fraOrient")->isHidden());
        QVERIFY(!C("fraFormat")->isHidden());
        QVERIFY(C<QRadioButton>("optOrient_1")->isChecked());
        QCOMPARE(gRptTarget, 1);
    }

    void buttonsWithoutSelection_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::newRow("add") << "cmdAdd" << kAddMessage;
        QTest::newRow("remove") << "cmdRemove"
                                << "You must select a field to remove from the report.";
        QTest::newRow("up") << "cmdUp"
                            << "You must select the field to move up in the list";
        QTest::newRow("down") << "cmdDown"
                              << "You must select the field to move down in the list";
    }
    void buttonsWithoutSelection()
    {
        QFETCH(QString, button);
        QFETCH(QString, message);
        Open();
        AddField(QStringLiteral("Country"));
        // Nothing chosen in either list now: the added field left "Available Fields", and
        // the report list loses its choice when it is cleared.
        List2()->clearSelection();
        QTest::mouseClick(C<QToolButton>(qPrintable(button)), Qt::LeftButton);
        QCOMPARE(mPrompts->messages.size(), size_t(1));
        QCOMPARE(mPrompts->messages[0].text, message);
        QCOMPARE(mPrompts->messages[0].title, QStringLiteral("Tessarine"));
        QCOMPARE(mPrompts->messages[0].icon, MsgIcon::None);
        QCOMPARE(Texts(List2()), QStringList{"Country"});
        QCOMPARE(List1()->count(), kFields - 1);
    }

    void addRemoveAndMove()
    {
        Open();
        QListWidgetItem* sold = List1()->findItems(QStringLiteral("Sold"), Qt::MatchExactly)[0];
        List1()->scrollToItem(sold);
        const QPoint at = List1()->visualItemRect(sold).center();
        QTest::mousePress(List1()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(List1()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(List1()->viewport(), Qt::LeftButton, {}, at);
        AddField(QStringLiteral("Description"));
        AddField(QStringLiteral("Country"));
        QCOMPARE(Texts(List2()), (QStringList{"Sold", "Description", "Country"}));
        QCOMPARE(List2()->item(0)->data(Qt::UserRole).toInt(), kSold);
        QVERIFY(!C("frame1")->isHidden());
        QVERIFY(!C("fraSel_1")->isHidden());
        QCOMPARE(w->CurrentSpec(), kCountry);

        // A second add with nothing chosen in the available list.
        QTest::mouseClick(C<QToolButton>("cmdAdd"), Qt::LeftButton);
        QCOMPARE(mPrompts->LastText(), kAddMessage);

        QTest::mouseClick(C<QToolButton>("cmdUp"), Qt::LeftButton);
        QTest::mouseClick(C<QToolButton>("cmdUp"), Qt::LeftButton);
        QCOMPARE(Texts(List2()), (QStringList{"Country", "Sold", "Description"}));
        QCOMPARE(List2()->selectedItems().first()->text(), QStringLiteral("Country"));
        mPrompts->Clear();
        QTest::mouseClick(C<QToolButton>("cmdUp"), Qt::LeftButton);  // first already: nothing
        QCOMPARE(Texts(List2()), (QStringList{"Country", "Sold", "Description"}));
        Select(List2(), QStringLiteral("Sold"));
        QVERIFY(!C("fraSel_4")->isHidden());
        QVERIFY(C("fraSel_1")->isHidden());
        QTest::mouseClick(C<QToolButton>("cmdDown"), Qt::LeftButton);
        QTest::mouseClick(C<QToolButton>("cmdDown"), Qt::LeftButton);  // last already: nothing
        QCOMPARE(Texts(List2()), (QStringList{"Country", "Description", "Sold"}));
        QVERIFY(mPrompts->messages.empty());

        // Removing puts the field back in its sorted place and leaves nothing chosen.
        Select(List2(), QStringLiteral("Description"));
        QTest::mouseClick(C<QToolButton>("cmdRemove"), Qt::LeftButton);
        QCOMPARE(Texts(List2()), (QStringList{"Country", "Sold"}));
        QVERIFY(C("frame1")->isHidden());
        const QStringList available = Texts(List1());
        QCOMPARE(available.indexOf(QStringLiteral("Description")), available.indexOf(QStringLiteral("Date Sold")) + 1);
        QCOMPARE(List1()->findItems(QStringLiteral("Description"), Qt::MatchExactly)[0]->data(Qt::UserRole).toInt(),
                 kDescription);
    }

    void singleEntryDoesNotMove()
    {
        Open();
        AddField(QStringLiteral("Country"));
        QTest::mouseClick(C<QToolButton>("cmdUp"), Qt::LeftButton);
        QTest::mouseClick(C<QToolButton>("cmdDown"), Qt::LeftButton);
        QCOMPARE(Texts(List2()), QStringList{"Country"});
        QVERIFY(mPrompts->messages.empty());
    }

    void removedFieldKeepsItsSettings()
    {
        Open();
        AddField(QStringLiteral("Price Paid"));
        Type("txtWidth", QStringLiteral("1.75"));
        Type("txtGreater", QStringLiteral("5"));
        Type("txtLess", QStringLiteral("500"));
        Toggle("chkTotal");
        Toggle("chkHide");
        QVERIFY(mPrompts->messages.empty());
        QTest::mouseClick(C<QToolButton>("cmdRemove"), Qt::LeftButton);
        AddField(QStringLiteral("Price Paid"));
        QCOMPARE(C<QLineEdit>("txtWidth")->text(), QStringLiteral("1.75"));
        QCOMPARE(C<QLineEdit>("txtGreater")->text(), QStringLiteral("5"));
        QCOMPARE(C<QLineEdit>("txtLess")->text(), QStringLiteral("500"));
        QVERIFY(C<QCheckBox>("chkTotal")->isChecked());
        QVERIFY(C<QCheckBox>("chkHide")->isChecked());
        const FieldSettings& s = w->Settings(kPricePaid);
        QCOMPARE(s.mWidth, 1.75F);
        QVERIFY(s.mTotal && s.mHide);
    }

    void reopeningResetsEverything()
    {
        Open();
        AddField(QStringLiteral("Price Paid"));
        Type("txtWidth", QStringLiteral("3"));
        Type("txtGreater", QStringLiteral("5"));
        Close();
        QVERIFY(!frmRptSpec::Instance());
        Open();
        QCOMPARE(List2()->count(), 0);
        QCOMPARE(List1()->count(), kFields);
        QCOMPARE(w->Settings(kPricePaid).mWidth, 1.0F);
        QVERIFY(w->Settings(kPricePaid).mGreater.isEmpty());
        AddField(QStringLiteral("Price Paid"));
        QCOMPARE(C<QLineEdit>("txtWidth")->text(), QStringLiteral("1"));
    }

    void openingAgainRaisesTheSameWindow()
    {
        Open();
        AddField(QStringLiteral("Country"));
        frmRptSpec* first = w;
        OpenCustomReports();
        QCOMPARE(frmRptSpec::Instance(), first);
        QCOMPARE(List2()->count(), 1);
    }

    void widthRules_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<float>("width");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("refused");
        QTest::newRow("plain") << "en_US"
                               << "1.5" << 1.5F << false << false;
        QTest::newRow("decimal comma") << "de_DE"
                                       << "1,5" << 1.5F << false << false;
        QTest::newRow("zero hides") << "en_US"
                                    << "0" << 0.0F << true << false;
        QTest::newRow("empty") << "en_US"
                               << "" << 2.5F << false << true;
        QTest::newRow("letters") << "en_US"
                                 << "wide" << 2.5F << false << true;
        QTest::newRow("negative") << "en_US"
                                  << "-1" << 2.5F << false << true;
        QTest::newRow("beyond any page") << "en_US"
                                         << "1e30" << 2.5F << false << true;
    }
    void widthRules()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(float, width);
        QFETCH(bool, hidden);
        QFETCH(bool, refused);
        QLocale::setDefault(QLocale(locale));
        Open();
        AddField(QStringLiteral("Description"));
        QCOMPARE(C<QLineEdit>("txtWidth")->text(), FormatSingle(2.5F));
        Type("txtWidth", typed);
        QCOMPARE(w->Settings(kDescription).mWidth, width);
        QCOMPARE(w->Settings(kDescription).mHide, hidden);
        QCOMPARE(C<QCheckBox>("chkHide")->isChecked(), hidden);
        QCOMPARE(mPrompts->LastText(),
                 refused ? QStringLiteral("You must enter a valid number for the column width") : QString());
        // The focus moves on after a refused width.
        QTest::qWait(0);
        QVERIFY(!C("txtWidth")->hasFocus());
    }

    void numberCriteria_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("refused");
        QTest::newRow("greater, number") << "txtGreater"
                                         << "12.5"
                                         << "12.5" << false;
        QTest::newRow("greater, letters") << "txtGreater"
                                          << "lots"
                                          << "7" << true;
        QTest::newRow("greater, empty clears") << "txtGreater"
                                               << ""
                                               << "" << false;
        QTest::newRow("less, number") << "txtLess"
                                      << "$1,000"
                                      << "$1,000" << false;
        QTest::newRow("less, letters") << "txtLess"
                                       << "1O"
                                       << "7" << true;
        QTest::newRow("less, blanks") << "txtLess"
                                      << "  "
                                      << "7" << true;
    }
    void numberCriteria()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, refused);
        Open();
        AddField(QStringLiteral("Price Paid"));
        Type(qPrintable(box), QStringLiteral("7"));
        Type(qPrintable(box), typed);
        const FieldSettings& s = w->Settings(kPricePaid);
        QCOMPARE(box == u"txtGreater" ? s.mGreater : s.mLess, stored);
        QCOMPARE(mPrompts->LastText(),
                 refused ? QStringLiteral("You must enter a number or leave this selection field blank") : QString());
        if (refused)
            QTRY_VERIFY(C(qPrintable(box))->hasFocus());
        else
            QVERIFY(!C(qPrintable(box))->hasFocus());
    }

    void startsWithAndYesNo()
    {
        Open();
        AddField(QStringLiteral("Sold"));
        QVERIFY(!C<QRadioButton>("optTrue")->isChecked() && !C<QRadioButton>("optFalse")->isChecked());
        Toggle("optFalse");
        QVERIFY(w->Settings(kSold).mOptFalse && !w->Settings(kSold).mOptTrue);
        AddField(QStringLiteral("For Sale"));
        // Another yes/no field without a choice shows neither button chosen.
        QVERIFY(!C<QRadioButton>("optTrue")->isChecked() && !C<QRadioButton>("optFalse")->isChecked());
        Select(List2(), QStringLiteral("Sold"));
        QVERIFY(C<QRadioButton>("optFalse")->isChecked());
        Toggle("optTrue");
        QVERIFY(w->Settings(kSold).mOptTrue && !w->Settings(kSold).mOptFalse);

        AddField(QStringLiteral("Description"));
        Type("txtStarting", QStringLiteral("O'Brien"));
        QCOMPARE(w->Settings(kDescription).mStarting, QStringLiteral("O'Brien"));
    }

    void dateBoxes_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QDate>("picked");
        QTest::addColumn<QDate>("stored");
        const QDate today = QDate::currentDate();
        QTest::newRow("start, picked") << "en_US"
                                       << "dcStartDate"
                                       << "" << QDate(1996, 3, 5) << QDate(1996, 3, 5);
        QTest::newRow("end, picked, day first") << "de_DE"
                                                << "dcEndDate"
                                                << "" << QDate(1996, 3, 5) << QDate(1996, 3, 5);
        QTest::newRow("closed without a pick, empty box") << "en_US"
                                                          << "dcStartDate"
                                                          << "" << QDate() << today;
        QTest::newRow("closed without a pick, box date kept") << "en_US"
                                                              << "dcEndDate"
                                                              << "2/1/2000" << QDate() << QDate(2000, 2, 1);
        QTest::newRow("closed without a pick, bad text") << "en_US"
                                                         << "dcEndDate"
                                                         << "soon" << QDate() << today;
    }
    void dateBoxes()
    {
        QFETCH(QString, locale);
        QFETCH(QString, box);
        QFETCH(QString, before);
        QFETCH(QDate, picked);
        QFETCH(QDate, stored);
        QLocale::setDefault(QLocale(locale));
        Open();
        AddField(QStringLiteral("Purchase Date"));
        QVERIFY(!C("fraSel_3")->isHidden());
        auto* date = C<DateBox>(qPrintable(box));
        date->setFocus();
        date->setEditText(before);
        mPrompts->pickedDates.push_back(picked.isValid() ? std::optional(picked) : std::nullopt);
        date->showPopup();

        const bool start = box == u"dcStartDate";
        QCOMPARE(mPrompts->pickRequests.size(), size_t(1));
        const PickRequest& request = mPrompts->pickRequests[0];
        QCOMPARE(request.caption, start ? QStringLiteral("Select Start Date") : QStringLiteral("Select End Date"));
        QCOMPARE(request.align, start ? PickRequest::Align::StartDate : PickRequest::Align::EndDate);
        QCOMPARE(request.anchor, QRect(date->mapToGlobal(QPoint(0, 0)), date->size()));
        QCOMPARE(date->currentText(), FormatShortDate(stored));
        QCOMPARE(start ? w->Settings(kPurchased).mStartDate : w->Settings(kPurchased).mEndDate, stored);
        QVERIFY(!date->hasFocus());
        QVERIFY(mPrompts->messages.empty());
    }

    // "&Generate Report" by its access key stores the detail the focus is in,
    // as a click does; a detail that is refused keeps the focus, and nothing runs.
    void accessKeyStoresTheDetailTypedLast_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");  // nothing: the check box is clicked
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("message");
        QTest::newRow("greater than") << "Price Paid"
                                      << "txtGreater"
                                      << "100"
                                      << "where  pricepaid > 100"
                                      << "";
        QTest::newRow("starts with") << "Description"
                                     << "txtStarting"
                                     << "Pen"
                                     << "where  descr like 'Pen*'"
                                     << "";
        QTest::newRow("start date") << "Purchase Date"
                                    << "dcStartDate"
                                    << "1/1/1995"
                                    << "where  purchased >= #1/1/1995#"
                                    << "No Stamps have been entered that may be included in the specified report";
        QTest::newRow("width") << "Description"
                               << "txtWidth"
                               << "1"
                               << "|1440;"
                               << "";
        QTest::newRow("show total, just clicked") << "Price Paid"
                                                  << "chkTotal"
                                                  << ""
                                                  << "|totals"
                                                  << "";
        QTest::newRow("hide field, just clicked") << "Price Paid"
                                                  << "chkHide"
                                                  << ""
                                                  << ""
                                                  << "You have not selected any fields to show in the report";
        QTest::newRow("greater than, refused") << "Price Paid"
                                               << "txtGreater"
                                               << "lots"
                                               << ""
                                               << "You must enter a number or leave this selection field blank";
        QTest::newRow("end date, refused") << "Purchase Date"
                                           << "dcEndDate"
                                           << "2/30/1995"
                                           << ""
                                           << "You must enter a valid date or leave this selection field blank.";
    }
    void accessKeyStoresTheDetailTypedLast()
    {
        QFETCH(QString, field);
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, report);
        QFETCH(QString, message);
        QStringList generated;
        SetCustomReportWriterFactory([&generated](const CustomReport& r) {
            generated << r.query.sql + u'|' + r.query.columnFormat + (r.query.HasTotals() ? "|totals" : "");
            return std::make_unique<MemoryReportWriter>();
        });
        Open();
        AddField(field);
        QWidget* target = C(qPrintable(control));
        if (auto* check = qobject_cast<QCheckBox*>(target)) {
            QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
            QVERIFY(check->hasFocus());
        } else if (auto* date = qobject_cast<DateBox*>(target)) {
            date->setFocus();
            date->setEditText(typed);
        } else {
            auto* edit = qobject_cast<QLineEdit*>(target);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, typed);
        }
        QTest::keyClick(w, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(mPrompts->LastText(), message);
        if (!report.isEmpty()) {
            QCOMPARE(generated.size(), qsizetype(1));
            QVERIFY2(generated[0].contains(report), qPrintable(generated[0]));
        } else {
            QVERIFY(generated.isEmpty());
        }
        if (message.endsWith(u"blank") || message.endsWith(u"blank.")) QVERIFY(target->hasFocus());
    }

    // After the calendar the focus goes on to the next control even when this
    // window has not got the focus back yet.
    void pickedDateMovesOnWithoutTheFocus()
    {
        Open();
        AddField(QStringLiteral("Purchase Date"));
        auto* start = C<DateBox>("dcStartDate");
        start->setFocus();
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!start->hasFocus());
        mPrompts->pickedDates.push_back(QDate(1996, 3, 5));
        start->showPopup();
        QCOMPARE(w->Settings(kPurchased).mStartDate, QDate(1996, 3, 5));
        QCOMPARE(w->focusWidget(), C("dcEndDate"));
    }

    void typedDates()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Open();
        AddField(QStringLiteral("Purchase Date"));
        TypeDate("dcStartDate", QStringLiteral("5.3.1996"));
        QCOMPARE(w->Settings(kPurchased).mStartDate, QDate(1996, 3, 5));
        TypeDate("dcStartDate", QStringLiteral("31.2.1996"));
        QCOMPARE(mPrompts->LastText(),
                 QStringLiteral("You must enter a valid date or leave this selection field blank."));
        QCOMPARE(w->Settings(kPurchased).mStartDate, QDate(1996, 3, 5));
        QTRY_VERIFY(C("dcStartDate")->hasFocus());
        TypeDate("dcStartDate", QString());
        QVERIFY(!w->Settings(kPurchased).mStartDate.isValid());
        // Shown again in the short date form when the field is chosen again.
        TypeDate("dcEndDate", QStringLiteral("1.1.2001"));
        AddField(QStringLiteral("Country"));
        Select(List2(), QStringLiteral("Purchase Date"));
        QCOMPARE(C<DateBox>("dcEndDate")->currentText(), QStringLiteral("01.01.2001"));
        QCOMPARE(C<DateBox>("dcStartDate")->currentText(), QString());
    }

    void generateRefusals_data()
    {
        QTest::addColumn<bool>("addField");
        QTest::addColumn<QString>("message");
        QTest::newRow("no fields") << false << "You have not selected any fields to include in the report";
        QTest::newRow("all hidden") << true << "You have not selected any fields to show in the report";
    }
    void generateRefusals()
    {
        QFETCH(bool, addField);
        QFETCH(QString, message);
        bool ran = false;
        SetCustomReportWriterFactory([&ran](const CustomReport&) {
            ran = true;
            return std::make_unique<MemoryReportWriter>();
        });
        Open();
        if (addField) {
            AddField(QStringLiteral("Country"));
            Toggle("chkHide");
        }
        QTest::mouseClick(C<QPushButton>("cmdGenerate"), Qt::LeftButton);
        QCOMPARE(mPrompts->LastText(), message);
        QVERIFY(!ran);
    }

    void generateHandsOverTheReport()
    {
        CustomReport seen;
        SetCustomReportWriterFactory([&seen](const CustomReport& report) {
            seen = report;
            return std::make_unique<MemoryReportWriter>();
        });
        Open();
        AddField(QStringLiteral("Description"));
        Type("txtStarting", QStringLiteral("Pen"));
        AddField(QStringLiteral("Price Paid"));
        Toggle("chkTotal");
        AddField(QStringLiteral("Sold"));
        Toggle("optFalse");
        Toggle("chkHide");
        C<QComboBox>("cmbSort1")->setCurrentText(QStringLiteral("Country"));
        C<QComboBox>("cmbSort2")->setCurrentText(QStringLiteral("Description"));
        C<QTabWidget>("SSTab1")->setCurrentIndex(1);
        C<QLineEdit>("txtTitle")->setText(QStringLiteral("Pennies"));
        QTest::mouseClick(C<QRadioButton>("optOrient_1"), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(C<QRadioButton>("optWidth_1"), Qt::LeftButton, {}, QPoint(5, 5));
        C<QComboBox>("cmbPageNum")->setCurrentIndex(2);
        QTest::mouseClick(C<QCheckBox>("chkDate"), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(C<QPushButton>("cmdGenerate"), Qt::LeftButton);

        QVERIFY(mPrompts->messages.empty());
        QCOMPARE(seen.target, CustomTarget::Preview);
        QCOMPARE(seen.query.sql,
                 QStringLiteral("Select descr, pricepaid from (Stamp left join country on Stamp.CouID = country.CouID) "
                                "where  descr like 'Pen*' and not sold order by Coudesc, descr"));
        QCOMPARE(seen.query.columnFormat, QStringLiteral("1404|>561.6;"));
        QVERIFY(seen.landscape);
        QCOMPARE(seen.pageHeader, QStringLiteral("|Pennies|"));
        QCOMPARE(seen.pageFooter, QString());
        QCOMPARE(gRptHeader, QStringLiteral("1404|>561.6;Description|Price Paid;"));
        // The window stays open for another run.
        QCOMPARE(frmRptSpec::Instance(), w);
        QVERIFY(w->isVisible());
    }

    void generateToAFileTarget()
    {
        Open();
        C<QTabWidget>("SSTab1")->setCurrentIndex(1);
        QTest::mouseClick(C<QRadioButton>("optReportTo_2"), Qt::LeftButton, {}, QPoint(5, 5));
        C<QTabWidget>("SSTab1")->setCurrentIndex(0);
        AddField(QStringLiteral("Description"));
        AddField(QStringLiteral("Price Paid"));
        Toggle("chkTotal");
        QTest::mouseClick(C<QPushButton>("cmdGenerate"), Qt::LeftButton);
        const MemoryReportWriter& out = LastCustomReportOutput();
        QCOMPARE(out.report.target, CustomTarget::TextFile);
        QCOMPARE(out.lines,
                 (QStringList{"Penny Black\t$12.50", "Penny Red\t$2.00", "Basel Dove\t$900.00", "\t$914.50"}));
        QVERIFY(out.completed);
    }

    void emptyCatalogueRefusesToOpen_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("empty") << "DELETE FROM RptSpec";
        QTest::newRow("bad data type") << "UPDATE RptSpec SET datatype = 7 WHERE SpecID = 2";
    }
    void emptyCatalogueRefusesToOpen()
    {
        QFETCH(QString, sql);
        gDb.reset();
        mCat->Exec(sql);
        gDb = Database::Open(mCat->Path(), true);
        OpenCustomReports();
        QVERIFY(!frmRptSpec::Instance());
        QCOMPARE(mPrompts->messages.size(), size_t(1));
        QCOMPARE(mPrompts->messages[0].text,
                 QStringLiteral("The field catalogue (the RptSpec table) of this database is empty or damaged.  "
                                "Custom reports cannot be made."));
        QVERIFY(!mPrompts->endedWith.has_value());
    }

    void scalesWithItsSize()
    {
        Open();
        auto* list = List1();
        const QSize before = list->size();
        w->resize(w->width() + 300, w->height() + 200);
        QTRY_VERIFY(list->width() > before.width() && list->height() > before.height());
    }
};

QTEST_MAIN(TestFrmRptSpec)
#include "tst_frmrptspec.moc"
