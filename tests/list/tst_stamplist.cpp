// The stamp list through the real main window, offscreen: the list and the
// editor on the same stamp through moves, sorts, filters, adds, updates and
// deletes; the quick filter in several scripts and with hostile texts; a
// country chosen in the statistics; the View menu.

#include "ListFixture.h"

#include "TestImages.h"

#include "app/AccessKeys.h"
#include "help/HelpContext.h"
#include "images/ImageStore.h"
#include "images/PictureIntake.h"
#include "stats/frmStats.h"

#include <QFile>
#include <QMenu>
#include <QMenuBar>

namespace {

const QStringList kAll = {"Albatross",          "Clipper",       "Hermes head", "Penny Black",
                          "Straße der Einheit", "Twopenny Blue", "Wappen 1850", "Zeppelin"};

// Shows a stamp in the editor by its row in the list.
void ShowStamp(ListFixture& f, const QString& descr)
{
    f.ClickRow(f.RowOf(descr));
    QCOMPARE(f.Text("txtDescr"), descr);
}

}  // namespace

class TestStampList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup()
    {
        if (frmStats* w = frmStats::Instance()) delete w;
    }

    void movesInTheEditorSelectTheRow_data()
    {
        QTest::addColumn<QString>("moves");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("beeps");
        QTest::newRow("start") << ""
                               << "Albatross" << 0;
        QTest::newRow("next") << "n"
                              << "Clipper" << 0;
        QTest::newRow("last") << "l"
                              << "Zeppelin" << 0;
        QTest::newRow("last, previous") << "lp"
                                        << "Wappen 1850" << 0;
        QTest::newRow("past the end") << "lnn"
                                      << "Zeppelin" << 2;
        QTest::newRow("first after next") << "nnf"
                                          << "Albatross" << 0;
        QTest::newRow("find") << "i"
                              << "Hermes head" << 0;
    }
    void movesInTheEditorSelectTheRow()
    {
        QFETCH(QString, moves);
        QFETCH(QString, shown);
        QFETCH(int, beeps);
        ListFixture f;
        f.prompts.inputs = {QStringLiteral("herm")};
        for (QChar move : moves) {
            switch (move.unicode()) {
                case u'n':
                    f.window->cmdNext_Click();
                    break;
                case u'p':
                    f.window->cmdPrevious_Click();
                    break;
                case u'f':
                    f.window->cmdFirst_Click();
                    break;
                case u'l':
                    f.window->cmdLast_Click();
                    break;
                case u'i':
                    f.window->cmdFind_Click();
                    break;
            }
        }
        QCOMPARE(f.Text("txtDescr"), shown);
        QCOMPARE(f.prompts.beeps, beeps);
        QCOMPARE(f.Listed(), kAll);
        QVERIFY(f.Agree());
        // Only a few rows were read to draw the list.
        QVERIFY(f.Model()->RowsKept() <= size_t(kAll.size()));
    }

    void rowsChosenMoveTheEditor()
    {
        ListFixture f;
        ShowStamp(f, "Penny Black");
        QVERIFY(f.Agree());
        QCOMPARE(f.Text("cmbCou"), QStringLiteral("Great Britain"));
        QTest::keyClick(f.View(), Qt::Key_Down);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Straße der Einheit"));
        QVERIFY(f.Agree());
        // Ctrl and Shift add to the selection; the editor shows the row clicked.
        f.ClickRow(f.RowOf("Zeppelin"), Qt::ControlModifier);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Zeppelin"));
        QCOMPARE(f.Dock()->SelectedKeys().size(), size_t(2));
        f.ClickRow(f.RowOf("Clipper"), Qt::ShiftModifier);
        QCOMPARE(f.Dock()->SelectedKeys().size(), size_t(7));
        QVERIFY(!f.window->IsEditing());
        QVERIFY(f.prompts.messages.empty());
    }

    // While a stamp is being changed or added, the list keeps its row, its
    // filter and its order.
    void editingKeepsTheRow()
    {
        ListFixture f;
        ShowStamp(f, "Hermes head");
        f.Type("txtDescr", "Hermes head, large");
        QVERIFY(f.window->IsEditing());
        const int row = f.CurrentRow();
        f.ClickRow(f.RowOf("Zeppelin"));
        QTest::keyClick(f.View(), Qt::Key_Down);
        f.ClickHeading(StampColumn::Year);
        QCOMPARE(f.prompts.beeps, 3);
        QCOMPARE(f.CurrentRow(), row);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Hermes head, large"));
        QCOMPARE(f.Listed(), kAll);
        QVERIFY(!f.W("txtFilter")->isEnabled());
        QVERIFY(!f.window->findChild<QAction*>("mnuViewChange")->isEnabled());
        f.window->cmdUpdate_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Hermes head, large"));
        QVERIFY(f.Agree());
        QVERIFY(f.W("txtFilter")->isEnabled());

        f.window->cmdAddNew_Click();
        QCOMPARE(f.CurrentRow(), -1);  // the editor shows no stored stamp
        f.ClickRow(0);
        QCOMPARE(f.prompts.beeps, 4);
        QCOMPARE(f.CurrentRow(), -1);
        f.window->cmdCancel_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Zeppelin"));
        QVERIFY(f.Agree());
    }

    // A click on a heading sorts by that column and keeps the editor's stamp;
    // Next then follows the list. Ties go by the order of entry.
    void headingsSort_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<int>("menuOrder");
        QTest::newRow("year") << int(StampColumn::Year) << 1
                              << QStringList{"Penny Black", "Twopenny Blue", "Wappen 1850", "Hermes head",
                                             "Clipper",     "Zeppelin",      "Albatross",   "Straße der Einheit"}
                              << 0;
        QTest::newRow("year, descending")
            << int(StampColumn::Year) << 2
            << QStringList{"Straße der Einheit", "Albatross",   "Zeppelin",    "Clipper",
                           "Hermes head",        "Wappen 1850", "Penny Black", "Twopenny Blue"}
            << 0;
        QTest::newRow("country") << int(StampColumn::Country) << 1
                                 << QStringList{"Clipper",  "Albatross",   "Penny Black",        "Twopenny Blue",
                                                "Zeppelin", "Wappen 1850", "Straße der Einheit", "Hermes head"}
                                 << 0;
        QTest::newRow("condition") << int(StampColumn::Condition) << 1
                                   << QStringList{"Hermes head", "Clipper",   "Zeppelin",      "Penny Black",
                                                  "Wappen 1850", "Albatross", "Twopenny Blue", "Straße der Einheit"}
                                   << 0;
        QTest::newRow("price paid") << int(StampColumn::PricePaid) << 1
                                    << QStringList{"Wappen 1850", "Albatross", "Straße der Einheit", "Clipper",
                                                   "Hermes head", "Zeppelin",  "Twopenny Blue",      "Penny Black"}
                                    << 0;
        QTest::newRow("catalog number") << int(StampColumn::CatalogNum) << 1
                                        << QStringList{"Penny Black", "Twopenny Blue",      "Clipper",     "Albatross",
                                                       "Wappen 1850", "Straße der Einheit", "Hermes head", "Zeppelin"}
                                        << 2;
        QTest::newRow("description, descending")
            << int(StampColumn::Description) << 1 << QStringList{kAll.rbegin(), kAll.rend()} << 0;
    }
    void headingsSort()
    {
        QFETCH(int, column);
        QFETCH(int, clicks);
        QFETCH(QStringList, order);
        QFETCH(int, menuOrder);
        ListFixture f;
        ShowStamp(f, "Hermes head");
        for (int i = 0; i < clicks; ++i) f.ClickHeading(StampColumn(column));
        QCOMPARE(f.Listed(), order);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Hermes head"));
        QVERIFY(f.Agree());
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(f.window->findChild<QAction*>(QStringLiteral("mnuSort_%1").arg(i))->isChecked(), i == menuOrder);
        QCOMPARE(gSortOrder, menuOrder);
        const int at = order.indexOf("Hermes head");
        f.window->cmdNext_Click();
        QCOMPARE(f.Text("txtDescr"), order.value(at + 1, "Hermes head"));
        QVERIFY(f.Agree());
        // The Sort menu takes over again: its order, checked, from the first stamp.
        f.window->mnuSort_Click(1);
        QCOMPARE(f.Listed(), kAll);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Albatross"));
        QVERIFY(f.window->findChild<QAction*>("mnuSort_1")->isChecked());
        QVERIFY(f.Agree());
    }

    // Every word must be in the stamp's texts or its country's or topic's
    // description, folded as Find folds, every sign taken as it is.
    void filters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("a word inside others") << "penny" << QStringList{"Penny Black", "Twopenny Blue"};
        QTest::newRow("two words, any case") << "BLACK penny" << QStringList{"Penny Black"};
        QTest::newRow("country with an umlaut") << "oster" << QStringList{"Straße der Einheit", "Wappen 1850"};
        QTest::newRow("country in Greek capitals") << "ΕΛΛΑΔΑ" << QStringList{"Hermes head"};
        QTest::newRow("Greek with accents and Latin") << "ελλάδα hermes" << QStringList{"Hermes head"};
        QTest::newRow("sharp s") << "STRASSE" << QStringList{"Straße der Einheit"};
        QTest::newRow("topic") << "ships" << QStringList{"Clipper"};
        QTest::newRow("notes and colour") << "violet large" << QStringList{"Hermes head"};
        QTest::newRow("catalogue number") << "12" << QStringList{"Zeppelin"};
        QTest::newRow("number in another catalogue") << "c40B" << QStringList{"Zeppelin"};
        QTest::newRow("another catalogue's number, accented") << "PREO 30" << QStringList{"Hermes head"};
        QTest::newRow("another catalogue's number and the description") << "zeppelin c13" << QStringList{"Zeppelin"};
        QTest::newRow("another stamp's number") << "penny c40b" << QStringList{};
        QTest::newRow("star as itself") << "*" << QStringList{"Clipper"};
        QTest::newRow("question mark as itself") << "?" << QStringList{"Clipper"};
        QTest::newRow("percent as itself") << "100%" << QStringList{"Albatross"};
        QTest::newRow("apostrophe") << "o'brien" << QStringList{"Zeppelin"};
        QTest::newRow("underscore") << "_" << QStringList{};
        QTest::newRow("backslash") << "\\" << QStringList{};
        QTest::newRow("quotes and SQL") << "'); DROP TABLE Stamp; --" << QStringList{};
        QTest::newRow("line break between words") << "pen\nny" << QStringList{"Penny Black", "Twopenny Blue"};
        QTest::newRow("NUL between words")
            << QStringLiteral("black") + QChar(0) + QStringLiteral("penny") << QStringList{"Penny Black"};
        QTest::newRow("a megabyte") << QString(1 << 20, u'x') << QStringList{};
        QTest::newRow("blanks only") << "   " << kAll;
    }
    void filters()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        ListFixture f;
        ShowStamp(f, "Penny Black");
        auto* box = f.W<QLineEdit>("txtFilter");
        box->setText(typed);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(f.Listed(), shown);
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(!f.prompts.endedWith);
        QCOMPARE(f.W("lblNoMatch")->isVisible(), shown.isEmpty());
        if (shown.isEmpty()) {
            // The editor stays on its stamp, which cannot be changed meanwhile.
            QCOMPARE(f.Text("txtDescr"), QStringLiteral("Penny Black"));
            QVERIFY(!f.W("txtDescr")->isEnabled());
            f.window->cmdNext_Click();
            QCOMPARE(f.Text("txtDescr"), QStringLiteral("Penny Black"));
        } else {
            // The editor stays on its stamp where it is shown, else on the first.
            QCOMPARE(f.Text("txtDescr"), shown.contains("Penny Black") ? QStringLiteral("Penny Black") : shown.first());
            QVERIFY(f.Agree());
        }
        QCOMPARE(f.Scalar("select count(*) from Stamp"), QStringLiteral("8"));
        f.window->findChild<QPushButton*>("cmdClear")->click();
        QCOMPARE(f.Listed(), kAll);
        QVERIFY(f.W("txtDescr")->isEnabled());
        QVERIFY(f.Agree());
    }

    // Exporting the stamps the list shows writes them with their numbers in the
    // catalogues that stamps use, under the same headings as every export.
    void exportOfTheListedStamps()
    {
        ListFixture f;
        f.Filter(QStringLiteral("c13"));
        QCOMPARE(f.Listed(), QStringList{"Zeppelin"});
        const QString path = f.cat.File(QStringLiteral("Stamps.csv"));
        f.prompts.saveFiles.push_back(path);
        f.prompts.answers = {MsgAnswer::Yes};
        f.window->findChild<QAction*>("mnuExport")->trigger();
        QCOMPARE(f.prompts.messages.front().text,
                 QStringLiteral("The stamp list shows 1 of the stamps.  Export only the stamps the list shows?\n\n"
                                "Choose No to export every stamp."));
        QCOMPARE(f.prompts.LastText(), QStringLiteral("1 stamp was written to '%1'.").arg(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(file.readAll().mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].endsWith(QStringLiteral(",Scott #,SG #,Michel #,Yt #")), qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(QStringLiteral("Zeppelin,12,")), qPrintable(lines[1]));
        QVERIFY2(lines[1].endsWith(QStringLiteral(",C13,,C40b,")), qPrintable(lines[1]));
    }

    // The editor's navigation goes through the stamps the list shows; the filter
    // answers after a pause in the typing.
    void filterNarrowsTheNavigation()
    {
        ListFixture f;
        QTest::keyClicks(f.W("txtFilter"), "penny");
        QTRY_COMPARE(f.Listed(), QStringList({"Penny Black", "Twopenny Blue"}));
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Penny Black"));
        f.window->cmdNext_Click();
        f.window->cmdNext_Click();
        QCOMPARE(f.prompts.beeps, 1);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Twopenny Blue"));
        f.window->cmdFirst_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Penny Black"));
        QVERIFY(f.Agree());
        QCOMPARE(f.W<QLabel>("lblCount")->text(), QStringLiteral("2 stamps"));
        // Escape in the box shows every stamp again, the editor still on its stamp.
        f.W("txtFilter")->setFocus();
        QTest::keyClick(f.W("txtFilter"), Qt::Key_Escape);
        QCOMPARE(f.Listed(), kAll);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Penny Black"));
        QVERIFY(f.Agree());
    }

    // A stamp added or changed under a filter stays in the list until the
    // filter changes, shown and selected as the editor shows it.
    void addsAndUpdatesUnderAFilter()
    {
        ListFixture f;
        f.Filter("penny");
        f.window->cmdAddNew_Click();
        f.Type("txtDescr", "Inverted Jenny");
        f.window->cmdAddNew_Click();  // Add Another
        f.Type("txtDescr", "Basel Dove");
        f.window->cmdUpdate_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Basel Dove"));
        QCOMPARE(f.Listed(), QStringList({"Basel Dove", "Inverted Jenny", "Penny Black", "Twopenny Blue"}));
        QVERIFY(f.Agree());

        ShowStamp(f, "Twopenny Blue");
        f.Type("txtDescr", "Blue Mauritius");
        f.window->cmdUpdate_Click();
        QCOMPARE(f.Listed(), QStringList({"Basel Dove", "Blue Mauritius", "Inverted Jenny", "Penny Black"}));
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Blue Mauritius"));
        QVERIFY(f.Agree());

        f.Filter("blue");
        QCOMPARE(f.Listed(), QStringList({"Blue Mauritius"}));
        QVERIFY(f.Agree());
    }

    void deletesKeepTheListInStep()
    {
        ListFixture f;
        ShowStamp(f, "Hermes head");
        f.prompts.answers = {MsgAnswer::Yes};
        f.window->cmdDelete_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Penny Black"));
        QCOMPARE(f.Model()->rowCount(), 7);
        QVERIFY(f.Agree());
        // The last stamp of a filtered list: the one before it follows.
        f.Filter("penny");
        ShowStamp(f, "Twopenny Blue");
        f.prompts.answers = {MsgAnswer::Yes};
        f.window->cmdDelete_Click();
        QCOMPARE(f.Listed(), QStringList({"Penny Black"}));
        QVERIFY(f.Agree());
    }

    // A click on a country's bar in the statistics shows that country's stamps,
    // the country named beside the filter; Clear shows all again.
    void countryFromTheStatistics()
    {
        ListFixture f;
        f.window->findChild<QAction*>("mnuViewList")->trigger();  // hidden
        QVERIFY(!f.Dock()->isVisible());
        f.window->mnuRptStats_Click();
        frmStats* stats = frmStats::Instance();
        QVERIFY(stats);
        Q_EMIT stats->CountryChosen(QVariant(qint64(1)));
        QVERIFY(f.Dock()->isVisible());
        QCOMPARE(f.Listed(), QStringList({"Straße der Einheit", "Wappen 1850"}));
        QCOMPARE(f.W<QLabel>("lblCountry")->text(), QStringLiteral("Country: Österreich"));
        QVERIFY(f.Agree());
        Q_EMIT stats->CountryChosen(QVariant());
        QCOMPARE(f.Listed(), QStringList({"Albatross", "Clipper"}));
        QCOMPARE(f.W<QLabel>("lblCountry")->text(), QStringLiteral("Country: (none)"));
        f.Filter("ships");
        QCOMPARE(f.Listed(), QStringList({"Clipper"}));
        f.window->findChild<QPushButton*>("cmdClear")->click();
        QCOMPARE(f.Listed(), kAll);
        QVERIFY(f.W("lblCountry")->isHidden());
    }

    // The front picture of a stamp that has one, no taller than its row; nothing
    // for a stamp with only a back or with no images.
    void frontPictures()
    {
        ListFixture f;
        ImageStore store(*gDb);
        const auto entry = [](const QByteArray& bytes, const QString& kind) {
            ImageEntry image;
            image.picture = PrepareBytes(bytes).picture;
            image.kind = kind;
            return image;
        };
        const auto key = [&f](const QString& descr) {
            return f.Scalar(QStringLiteral("select StampID from Stamp where descr = '%1'").arg(descr)).toLongLong();
        };
        store.SaveStampImages(key("Penny Black"), {entry(PngBytes(40, 60, 2), kBackKind), entry(JpegBytes(300, 400, 1), kFrontKind)});
        store.SaveStampImages(key("Clipper"), {entry(PngBytes(50, 50, 3), kBackKind)});
        f.Model()->Refresh();
        const int column = StampColumnIndex(StampColumn::Picture);
        const QImage front = f.Model()->index(f.RowOf("Penny Black"), column).data(Qt::DecorationRole).value<QImage>();
        QVERIFY(!front.isNull());
        QVERIFY(front.height() <= f.View()->verticalHeader()->defaultSectionSize());
        QCOMPARE(front.width() * 4, front.height() * 3);
        for (const char* without : {"Clipper", "Zeppelin"})
            QVERIFY(f.Model()->index(f.RowOf(without), column).data(Qt::DecorationRole).isNull());
        // Sorted by the column, the stamps with a front come last.
        f.View()->horizontalHeader()->sectionClicked(column);
        QCOMPARE(f.Listed().last(), QStringLiteral("Penny Black"));
    }

    // Backup and packing show the window anew, as at start-up: every stamp, in
    // description order.
    void reopeningStartsAnew()
    {
        ListFixture f;
        f.ClickHeading(StampColumn::Year);
        f.Filter("penny");
        f.window->UnloadForReopen();
        f.window->ReloadAfterReopen();
        QCOMPARE(f.W<QLineEdit>("txtFilter")->text(), QString());
        QCOMPARE(f.Listed(), kAll);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Albatross"));
        QVERIFY(f.window->findChild<QAction*>("mnuSort_1")->isChecked());
        QVERIFY(f.Agree());
    }

    // The View menu stands between Sort and Maintain; its access key and those
    // of its items are free; Ctrl+L shows and hides the list.
    void viewMenu()
    {
        ListFixture f;
        InstallAccessKeys();
        QStringList titles;
        QString keys;
        for (QAction* menu : f.window->menuBar()->actions()) {
            titles << menu->text();
            keys += menu->text().at(menu->text().indexOf(u'&') + 1).toLower();
        }
        QCOMPARE(titles, QStringList({"&File", "&Edit", "&Sort", "&View", "&Maintain", "&Reports", "&Help"}));
        QCOMPARE(QSet<QChar>(keys.begin(), keys.end()).size(), keys.size());
        auto* view = f.window->findChild<QMenu*>("mnuViewMenu");
        QStringList items;
        for (QAction* item : view->actions()) items << item->text();
        QCOMPARE(items, QStringList({"Stamp &List", "&Change Selected Stamps..."}));
        QCOMPARE(HelpContextOf(f.window->findChild<QAction*>("mnuViewList")), 230);
        QCOMPARE(HelpContextOf(f.window->findChild<QAction*>("mnuViewChange")), 232);
        QVERIFY(f.Dock()->isVisible());
        QTest::keyClick(f.window.get(), Qt::Key_L, Qt::ControlModifier);
        QVERIFY(!f.Dock()->isVisible());
        QTest::keyClick(f.window.get(), Qt::Key_L, Qt::ControlModifier);
        QVERIFY(f.Dock()->isVisible());
        QVERIFY(f.Agree());
    }
};

QTEST_MAIN(TestStampList)
#include "tst_stamplist.moc"
