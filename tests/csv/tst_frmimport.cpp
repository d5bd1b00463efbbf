// Export and import through the real main window, offscreen: the File menu's
// two items, the import window on a German spreadsheet with two columns mapped
// by hand, its questions, a cancelled import, and the main window afterwards.

#include "MainWindowFixture.h"

#include "csv/CsvWriter.h"
#include "csv/frmImport.h"
#include "dates/LocaleFormats.h"
#include "help/HelpContext.h"
#include "history/AutoBackups.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>

namespace {

QByteArray Windows1252(const QString& text)
{
    QByteArray out;
    for (const QChar c : text) out += c.unicode() < 256 ? char(c.unicode()) : '?';
    return out;
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

QAction* Item(MainWindowFixture& f, const char* name)
{
    return f.window->findChild<QAction*>(QString::fromLatin1(name));
}

frmImport* OpenFromMenu(MainWindowFixture& f, const QString& path)
{
    f.prompts.openFiles.push_back({path});
    Item(f, "mnuImport")->trigger();
    frmImport* window = frmImport::Instance();
    if (window && !QTest::qWaitForWindowExposed(window)) qWarning("import window not exposed");
    return window;
}

// Chooses a column's field by typing the start of its caption into the
// column's drop-down, as a collector does.
void ChooseField(frmImport* w, int column, const QString& typed)
{
    QComboBox* list = w->FieldList(column);
    list->setFocus();
    QTest::keyClicks(list, typed);
}

QString PlanText(frmImport* w)
{
    return w->findChild<QPlainTextEdit*>(QStringLiteral("txtPlan"))->toPlainText();
}

void Settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

const QString kGermanSheet = QStringLiteral(
    "Bezeichnung;Land;Preis;Qty;Jahr\r\n"
    "Posthorn 10 Pf;DEUTSCHLAND;1.234,50;2;1951\r\n"
    "Edelwei\u00DF;\u00D6sterreich;0,55;3;1948\r\n"
    "Matterhorn;Schweiz;12;1;1949\r\n");

}  // namespace

class TestFrmImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup()
    {
        delete frmImport::Instance();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void fileMenuItems()
    {
        MainWindowFixture f(3);
        const QList<QAction*> items = f.window->findChild<QMenu*>(QStringLiteral("mnuFile"))->actions();
        QStringList texts;
        for (const QAction* a : items) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(texts, (QStringList{QStringLiteral("&Backup"), QStringLiteral("&Pack Database"),
                                     QStringLiteral("Expor&t to CSV..."), QStringLiteral("&Import from CSV..."),
                                     QStringLiteral("&Restore from Automatic Backup..."), QStringLiteral("-"),
                                     QStringLiteral("E&xit")}));
        QCOMPARE(HelpContextOf(Item(f, "mnuExport")), 75);
        QCOMPARE(HelpContextOf(Item(f, "mnuImport")), 74);
        // Like backup and packing, neither can be chosen while a stamp is edited.
        f.Type("txtDescr", QStringLiteral("changed"));
        QVERIFY(f.window->IsEditing());
        QVERIFY(!Item(f, "mnuExport")->isEnabled());
        QVERIFY(!Item(f, "mnuImport")->isEnabled());
        f.window->cmdCancel_Click();
        QVERIFY(Item(f, "mnuExport")->isEnabled());
        QVERIFY(Item(f, "mnuImport")->isEnabled());
    }

    void exportInTheMainWindowsOrder()
    {
        MainWindowFixture f(30);
        f.window->mnuSort_Click(2);
        const QString path = f.cat.File(QStringLiteral("Stamps.csv"));
        f.prompts.saveFiles.push_back(path);
        Item(f, "mnuExport")->trigger();
        QCOMPARE(f.prompts.LastText(), QStringLiteral("30 stamps were written to '%1'.").arg(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(file.readAll().mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 31);
        // The first stamp of the file is the one the main window shows first.
        f.window->cmdFirst_Click();
        QVERIFY2(lines.at(1).startsWith(CsvField(f.Text("txtDescr")) + u',' + CsvField(f.Text("txtCatNum")) + u','),
                 qPrintable(lines.at(1)));
        // Money goes out with a decimal point, whatever the locale.
        QVERIFY(!lines.at(1).contains(QStringLiteral("\u20AC")));
    }

    void importAGermanSpreadsheet()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Deutschland')"));
        f.Show();
        const QString path = f.cat.File(QStringLiteral("sammlung.csv"));
        Write(path, Windows1252(kGermanSheet));
        frmImport* w = OpenFromMenu(f, path);
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Import from CSV"));
        QCOMPARE(HelpContextOf(w), 74);
        QCOMPARE(f.prompts.openRequests.back().title, QStringLiteral("Import from CSV"));
        QVERIFY(w->isModal());

        // What was found out about the file.
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("cmbEncoding"))->currentText(),
                 QStringLiteral("Windows-1252"));
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("cmbSeparator"))->currentText(), QStringLiteral("Semicolon"));
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("cmbDecimal"))->currentText(),
                 QStringLiteral("Comma (1234,56)"));
        auto* table = w->findChild<QTableWidget*>(QStringLiteral("tblPreview"));
        QCOMPARE(table->rowCount(), 4);
        QCOMPARE(table->columnCount(), 5);
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Bezeichnung"));
        QCOMPARE(table->item(2, 1)->text(), QStringLiteral("\u00D6sterreich"));
        QCOMPARE(w->FieldList(1)->currentText(), QStringLiteral("Country"));
        QCOMPARE(w->FieldList(3)->currentText(), QStringLiteral("Quantity"));
        QCOMPARE(w->FieldList(0)->currentText(), QStringLiteral("(ignore)"));
        QCOMPARE(PlanText(w), QStringLiteral("No column is given the field Description: every stamp needs one."));
        auto* import = w->findChild<QPushButton*>(QStringLiteral("cmdImport"));
        QVERIFY(!import->isEnabled());

        // Two columns mapped by hand.
        ChooseField(w, 0, QStringLiteral("Desc"));
        QCOMPARE(w->FieldList(0)->currentText(), QStringLiteral("Description"));
        ChooseField(w, 2, QStringLiteral("Price"));
        QCOMPARE(w->FieldList(2)->currentText(), QStringLiteral("Price Paid"));
        QCOMPARE(PlanText(w), QStringLiteral("3 rows of stamps in the file.\n"
                                             "3 stamps will be added.\n"
                                             "2 new countries: \u00D6sterreich, Schweiz."));
        QVERIFY(import->isEnabled());

        QTest::mouseClick(import, Qt::LeftButton);
        QCOMPARE(f.prompts.LastText(),
                 QStringLiteral("3 stamps added, 0 updated, 0 skipped, 0 rows refused; 2 new countries."));
        QCOMPARE(f.prompts.messages.back().title, QStringLiteral("Import from CSV"));
        QCOMPARE(w->Result().addedIds.size(), size_t(3));
        QCOMPARE(w->Result().newCodeIds[3].size(), size_t(2));
        QVERIFY(!w->isVisible());
        Settle();
        QVERIFY(!frmImport::Instance());

        // The main window shows the catalogue again, its lists reloaded, its
        // editor ready although the catalogue was empty before.
        QCOMPARE(gStampRs->RecordCount(), 3);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Edelwei\u00DF"));
        QVERIFY(f.W("txtDescr")->isEnabled());
        QCOMPARE(f.Text("cmbCou"), QStringLiteral("\u00D6sterreich"));
        QCOMPARE(f.W<QComboBox>("cmbCou")->count(), 3);
        QCOMPARE(f.Text("txtQuantity"), QStringLiteral("3"));
        QCOMPARE(f.Text("txtPricePaid"), FormatCurrency(Money::FromUnits(5500)));
        QCOMPARE(f.Text("txtTotalPaid"), FormatCurrency(Money::FromUnits(16500)));
        f.window->cmdLast_Click();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Posthorn 10 Pf"));
        QCOMPARE(f.Text("cmbCou"), QStringLiteral("Deutschland"));
        QCOMPARE(f.Text("txtPricePaid"), FormatCurrency(Money::FromUnits(12'345'000)));
        QCOMPARE(f.Text("txtTotalPaid"), FormatCurrency(Money::FromUnits(24'690'000)));
        QCOMPARE(f.prompts.endedWith, std::nullopt);

        // The catalogue was backed up before the import, and the import is one
        // change to undo: the stamps and the new countries go, and come back.
        QCOMPARE(AutomaticBackups(gDb->Path()).List().size(), qsizetype(1));
        QCOMPARE(AutomaticBackups(gDb->Path()).List().front().stamps, 0);
        auto* undo = f.window->findChild<QAction*>(QStringLiteral("mnuUndo"));
        QCOMPARE(undo->text(), QStringLiteral("&Undo Import of 3 stamps"));
        undo->trigger();
        QCOMPARE(f.Scalar(QStringLiteral("select count(*) from Stamp")), QStringLiteral("0"));
        QCOMPARE(f.Scalar(QStringLiteral("select group_concat(Coudesc) from country")),
                 QStringLiteral("Deutschland"));
        QCOMPARE(f.Text("txtDescr"), QString());
        QCOMPARE(f.W<QComboBox>("cmbCou")->count(), 1);
        f.window->findChild<QAction*>(QStringLiteral("mnuRedo"))->trigger();
        QCOMPARE(gStampRs->RecordCount(), 3);
        QCOMPARE(f.W<QComboBox>("cmbCou")->count(), 3);
    }

    void questionsAndCancel()
    {
        MainWindowFixture f(2);
        const QString path = f.cat.File(QStringLiteral("some.csv"));
        Write(path,
              QStringLiteral("Description,Quantity,Country\r\nFirst,1,Narnia\r\nSecond,two,Narnia\r\nThird,3,Oz\r\n")
                  .toUtf8());
        const QByteArray before = [&] {
            QFile file(f.cat.Path());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        frmImport* w = OpenFromMenu(f, path);
        QVERIFY(w);
        QVERIFY(
            PlanText(w).contains(QStringLiteral("1 row cannot be read and will be left out:\n"
                                                "    Line 3, column 2 (Quantity): \"two\" is not a whole number.")));
        auto* import = w->findChild<QPushButton*>(QStringLiteral("cmdImport"));

        // The refused row is asked about first; No imports nothing.
        f.prompts.answers = {MsgAnswer::No};
        QTest::mouseClick(import, Qt::LeftButton);
        QCOMPARE(f.prompts.LastText(),
                 QStringLiteral("1 row cannot be read and will be left out.  Import the other 2 rows?"));
        QVERIFY(w->isVisible());

        // Cancelled during the import: the catalogue is as it was.
        f.prompts.answers = {MsgAnswer::Yes};
        f.prompts.cancelProgressAt = 1;
        QTest::mouseClick(import, Qt::LeftButton);
        QCOMPARE(f.prompts.LastText(), QStringLiteral("The import was cancelled.  The catalogue is as it was."));
        QVERIFY(w->isVisible());
        QCOMPARE(f.Scalar(QStringLiteral("Select count(*) from Stamp")), QStringLiteral("2"));
        QCOMPARE(f.Scalar(QStringLiteral("Select count(*) from country where Coudesc = 'Narnia'")),
                 QStringLiteral("0"));

        // Another separator reads the file anew: one column, nothing to import.
        auto* separator = w->findChild<QComboBox*>(QStringLiteral("cmbSeparator"));
        separator->setCurrentIndex(separator->findText(QStringLiteral("Semicolon")));
        QCOMPARE(w->findChild<QTableWidget*>(QStringLiteral("tblPreview"))->columnCount(), 1);
        QCOMPARE(w->FieldList(0)->currentText(), QStringLiteral("(ignore)"));
        QVERIFY(!import->isEnabled());
        separator->setCurrentIndex(separator->findText(QStringLiteral("Comma")));
        QCOMPARE(w->FieldList(2)->currentText(), QStringLiteral("Country"));

        // A field chosen for a second column leaves the first.
        ChooseField(w, 2, QStringLiteral("Desc"));
        QCOMPARE(w->FieldList(0)->currentText(), QStringLiteral("(ignore)"));
        QCOMPARE(w->Settings().ColumnOf(Fld::Descr), 2);
        ChooseField(w, 0, QStringLiteral("Desc"));
        QCOMPARE(w->FieldList(2)->currentText(), QStringLiteral("(ignore)"));

        // Cancel closes the window; nothing was written.
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        Settle();
        QVERIFY(!frmImport::Instance());
        f.window->Form_Unload();
        QFile file(f.cat.Path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == before);
    }

    void aFileThatCannotBeRead()
    {
        MainWindowFixture f(1);
        QVERIFY(!OpenFromMenu(f, f.cat.File(QStringLiteral("none.csv"))));
        QCOMPARE(f.prompts.LastText(),
                 QStringLiteral("The file '%1' cannot be found.").arg(f.cat.File(QStringLiteral("none.csv"))));
        QCOMPARE(f.prompts.messages.back().title, QStringLiteral("Import from CSV"));
        // Cancel in the Open dialog opens nothing.
        f.prompts.Clear();
        Item(f, "mnuImport")->trigger();
        QVERIFY(!frmImport::Instance());
        QVERIFY(f.prompts.messages.empty());
    }
};

QTEST_MAIN(TestFrmImport)
#include "tst_frmimport.moc"
