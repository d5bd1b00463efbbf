// The preview window and the selection dialog, driven as the collector would.

#include "ReportRunner.h"
#include "ReportTestData.h"
#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "app/AccessKeys.h"
#include "db/Database.h"
#include "db/Globals.h"
#include "help/HelpContext.h"
#include "reports/PageView.h"
#include "reports/ReportPrinting.h"
#include "reports/ReportSaveDialog.h"
#include "reports/ReportWindows.h"
#include "reports/frmOutput.h"
#include "reports/frmRptSel.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

template <typename T>
T* Child(QWidget* parent, const char* name)
{
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no child %s", name);
    return child;
}

// A radio button takes clicks on its circle and caption only, not on the
// stretch of the row beyond them.
void ClickRadio(QWidget* parent, const char* name)
{
    auto* button = Child<QRadioButton>(parent, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

int PdfPageCount(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(pdf).count(page));
}

}  // namespace

class TestReportWindows : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<QtReportPresenter> mPresenter;
    double mPixelsPerTwip = 0;

    void OpenCatalogue(int extraHeld)
    {
        gDb.reset();
        mCat = std::make_unique<TestCatalogue>();
        FillReportCatalogue(*mCat);
        if (extraHeld > 0)
            mCat->Exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                               "INSERT INTO Stamp (descr, catnum, quantity, pricepaid, catvalue) "
                               "SELECT 'Held ' || i, i, 1, 1.0, 2.0 FROM n")
                           .arg(extraHeld));
        gDb = Database::Open(mCat->Path(), true);
    }

    frmOutput* RunPreview(ReportKind kind)
    {
        gRptTarget = 1;
        RunReport(kind);
        return mPresenter->Window();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InstallAccessKeys();
        QWidget probe;
        mPixelsPerTwip = probe.logicalDpiX() / 1440.0;
    }
    void init()
    {
        mPresenter = std::make_unique<QtReportPresenter>();
        InstallReportPresenter(mPresenter.get());
        OpenCatalogue(0);
    }
    void cleanup()
    {
        if (mPresenter->Window()) delete mPresenter->Window();
        InstallReportPresenter(nullptr);
        mPresenter.reset();
        gDb.reset();
        mCat.reset();
    }

    void previewLoad()
    {
        ScriptedPrompts p;
        frmOutput* w = RunPreview(ReportKind::Sales);
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QString("Report Output"));
        QCOMPARE(HelpContextOf(w), 65);
        QVERIFY(!w->isModal());
        auto* zoom = Child<QScrollBar>(w, "scrlZoom");
        QCOMPARE(zoom->orientation(), Qt::Horizontal);
        QCOMPARE(zoom->minimum(), 10);
        QCOMPARE(zoom->maximum(), 250);
        QCOMPARE(zoom->singleStep(), 10);
        QCOMPARE(zoom->pageStep(), 50);
        QCOMPARE(zoom->value(), 60);
        auto* page = Child<QScrollBar>(w, "scrlPage");
        QCOMPARE(page->orientation(), Qt::Vertical);
        QCOMPARE(page->minimum(), 1);
        QCOMPARE(page->maximum(), 1);  // a one-page report: the bar cannot move
        QCOMPARE(page->value(), 1);
        QCOMPARE(page->singleStep(), 1);
        QCOMPARE(page->pageStep(), 2);
        QCOMPARE(Child<QPushButton>(w, "cmdPrint")->text(), QString("&Print"));
        QCOMPARE(Child<QPushButton>(w, "cmdOk")->text(), QString("&Ok"));
        QVERIFY(!Child<QLabel>(w, "Picture1")->pixmap().isNull());
        auto* viewport = Child<QScrollArea>(w, "vsViewPort1");
        auto* surface = Child<PageView>(w, "vsPrinter");
        QCOMPARE(viewport->widget(), surface);
        // The load size holds whatever the paper, until the zoom is moved.
        QCOMPARE(w->SurfaceSize(), QSizeF(6912, 9504));
        QCOMPARE(surface->size(), QSize(qRound(6912 * mPixelsPerTwip), qRound(9504 * mPixelsPerTwip)));
        QCOMPARE(surface->Page(), 1);
        // The page is drawn: something besides white paper.
        const QImage shot = surface->grab().toImage();
        bool ink = false;
        for (int y = 0; y < shot.height() && !ink; y += 2)
            for (int x = 0; x < shot.width() && !ink; x += 2) ink = qGray(shot.pixel(x, y)) < 100;
        QVERIFY(ink);
        QCOMPARE(p.busy, (std::vector<bool>{true, false}));
    }

    void zoom_data()
    {
        QTest::addColumn<QList<int>>("actions");  // QAbstractSlider actions, or a value when > 100
        QTest::addColumn<int>("zoom");
        QTest::newRow("arrow right") << QList<int>{QAbstractSlider::SliderSingleStepAdd} << 70;
        QTest::newRow("track left") << QList<int>{QAbstractSlider::SliderPageStepSub} << 10;
        QTest::newRow("track right twice")
            << QList<int>{QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepAdd} << 160;
        QTest::newRow("to the end") << QList<int>{QAbstractSlider::SliderToMaximum} << 250;
        QTest::newRow("full size") << QList<int>{QAbstractSlider::SliderPageStepAdd,
                                                 QAbstractSlider::SliderSingleStepSub}
                                   << 100;
    }
    void zoom()
    {
        QFETCH(QList<int>, actions);
        QFETCH(int, zoom);
        ScriptedPrompts p;
        frmOutput* w = RunPreview(ReportKind::Value);
        auto* bar = Child<QScrollBar>(w, "scrlZoom");
        for (int action : actions) bar->triggerAction(QAbstractSlider::SliderAction(action));
        QCOMPARE(bar->value(), zoom);
        // Letter paper under en_US: 12240 x 15840 twips.
        const QSizeF expected(12240.0 * zoom / 100, 15840.0 * zoom / 100);
        QCOMPARE(w->SurfaceSize(), expected);
        auto* surface = Child<PageView>(w, "vsPrinter");
        QCOMPARE(surface->size(),
                 QSize(qRound(expected.width() * mPixelsPerTwip), qRound(expected.height() * mPixelsPerTwip)));
        QCOMPARE(Child<QScrollArea>(w, "vsViewPort1")->widget()->size(), surface->size());
    }

    void pagesAndReuse()
    {
        OpenCatalogue(300);
        ScriptedPrompts p;
        frmOutput* w = RunPreview(ReportKind::Value);
        const int pages = w->Surface().PageCount();
        QVERIFY(pages >= 3);
        auto* page = Child<QScrollBar>(w, "scrlPage");
        auto* zoom = Child<QScrollBar>(w, "scrlZoom");
        auto* surface = Child<PageView>(w, "vsPrinter");
        QCOMPARE(page->maximum(), pages);
        page->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(page->value(), 3);
        QCOMPARE(surface->Page(), 3);
        page->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(surface->Page(), 2);
        // Every page starts with the column headings.
        for (int n = 1; n <= pages; ++n) QVERIFY(w->Surface().PageRows(n).front().heading);
        zoom->setValue(120);

        // The next preview report writes into the same window: the bars stay,
        // only the page bar's maximum follows the new document.
        frmOutput* again = RunPreview(ReportKind::WantList);
        QCOMPARE(again, w);
        QCOMPARE(zoom->value(), 120);
        QCOMPARE(page->maximum(), 1);
        QCOMPARE(page->value(), 1);
        QCOMPARE(surface->Page(), 1);

        // After "&Ok" the window is gone; the next report makes a fresh one.
        zoom->setValue(200);
        QTest::mouseClick(Child<QPushButton>(w, "cmdOk"), Qt::LeftButton);
        QTRY_VERIFY(mPresenter->Window() == nullptr);
        frmOutput* fresh = RunPreview(ReportKind::Value);
        QVERIFY(fresh);
        QCOMPARE(Child<QScrollBar>(fresh, "scrlZoom")->value(), 60);
        QCOMPARE(Child<QScrollBar>(fresh, "scrlPage")->value(), 1);
        QCOMPARE(fresh->SurfaceSize(), QSizeF(6912, 9504));
    }

    void emptyReportShowsNoWindow()
    {
        gDb.reset();
        mCat = std::make_unique<TestCatalogue>();
        gDb = Database::Open(mCat->Path(), true);
        ScriptedPrompts p;
        frmOutput* w = RunPreview(ReportKind::Sales);
        QCOMPARE(p.LastText(), QString("You have not entered any stamps as sold."));
        QVERIFY(!w || !w->isVisible());
    }

    void printToPdf_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("pages");
        QTest::newRow("all pages") << 0 << 0 << -1;
        QTest::newRow("pages 2 to 3") << 2 << 3 << 2;
    }
    void printToPdf()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, pages);
        OpenCatalogue(300);
        ScriptedPrompts p;
        frmOutput* w = RunPreview(ReportKind::Value);
        const int count = w->Surface().PageCount();
        if (pages < 0) pages = count;
        const QString pdf = mCat->File("report.pdf");
        int offered = 0;
        frmOutput::SetPrinterChooser([&](QPrinter& printer, int pageCount, QWidget*) {
            offered = pageCount;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setFromTo(from, to);
            return true;
        });
        QTest::mouseClick(Child<QPushButton>(w, "cmdPrint"), Qt::LeftButton);
        frmOutput::SetPrinterChooser(nullptr);
        QCOMPARE(offered, count);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(PdfPageCount(bytes), pages);
        QVERIFY(p.messages.empty());
    }

    void printCancelled()
    {
        ScriptedPrompts p;
        frmOutput* w = RunPreview(ReportKind::Sales);
        const QString pdf = mCat->File("never.pdf");
        frmOutput::SetPrinterChooser([&](QPrinter& printer, int, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return false;
        });
        QTest::mouseClick(Child<QPushButton>(w, "cmdPrint"), Qt::LeftButton);
        frmOutput::SetPrinterChooser(nullptr);
        QVERIFY(!QFile::exists(pdf));
    }

    // A focused button takes Enter and Space, and each button its access key.
    void previewButtonsByKeyboard_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("printed");
        QTest::addColumn<bool>("closed");
        QTest::newRow("Enter on Print") << "cmdPrint" << int(Qt::Key_Return) << 0 << true << false;
        QTest::newRow("Enter on Ok") << "cmdOk" << int(Qt::Key_Enter) << 0 << false << true;
        QTest::newRow("Space on Print") << "cmdPrint" << int(Qt::Key_Space) << 0 << true << false;
        QTest::newRow("Space on Ok") << "cmdOk" << int(Qt::Key_Space) << 0 << false << true;
        QTest::newRow("Alt+P") << "" << int(Qt::Key_P) << int(Qt::AltModifier) << true << false;
        QTest::newRow("Alt+O") << "" << int(Qt::Key_O) << int(Qt::AltModifier) << false << true;
    }
    void previewButtonsByKeyboard()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, printed);
        QFETCH(bool, closed);
        ScriptedPrompts p;
        frmOutput* w = RunPreview(ReportKind::Sales);
        QVERIFY(w);
        QApplication::setActiveWindow(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        int asked = 0;
        frmOutput::SetPrinterChooser([&asked](QPrinter&, int, QWidget*) {
            ++asked;
            return false;
        });
        QWidget* target = w;
        if (!button.isEmpty()) {
            target = Child<QPushButton>(w, qPrintable(button));
            target->setFocus();
            QVERIFY(target->hasFocus());
        }
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        frmOutput::SetPrinterChooser(nullptr);
        QCOMPARE(asked, printed ? 1 : 0);
        // Closed, not yet deleted: that waits for the event loop.
        QCOMPARE(!w->isVisible(), closed);
    }

    void printerFollowsDocument()
    {
        PrintSurface surface;
        surface.SetPaperSize(PrintSurface::A4Size());
        surface.SetOrientation(PrintSurface::Orientation::Landscape);
        surface.StartDoc();
        surface.AddTable(u"1000;x;");
        surface.EndDoc();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        PrepareReportPrinter(surface, printer);
        QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        QVERIFY(printer.fullPage());
    }

    // --- the Save dialog ---

    void fileFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qt");
        QTest::newRow("text") << "Text Files (*.txt)|*.txt|All Files (*.*)|*.*"
                              << "Text Files (*.txt);;All Files (*)";
        QTest::newRow("html") << "Html Files (*.htm)|*.htm|All Files (*.*)|*.*"
                              << "Html Files (*.htm);;All Files (*)";
        QTest::newRow("name without patterns") << "Reports|*.txt;*.htm"
                                               << "Reports (*.txt *.htm)";
    }
    void fileFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QString, qt);
        QCOMPARE(QtFileFilter(filter), qt);
    }

    void saveDialogLeavesOverwriteToTheReport()
    {
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(dialog->nameFilters(), (QStringList{"Text Files (*.txt)", "All Files (*)"}));
            checked = true;
            dialog->reject();
        });
        QCOMPARE(ShowReportSaveDialog(nullptr, "Sales.txt", "Text Files (*.txt)|*.txt|All Files (*.*)|*.*"),
                 std::optional<QString>());
        QVERIFY(checked);
    }

    // --- the selection dialog ---

    void dialogTexts_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("all");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("help");
        QTest::newRow("country") << 3 << "Country Report"
                                 << "All Countries"
                                 << "Selected Country" << QStringList{"Belgium", "Canada", "France"} << 60;
        QTest::newRow("type") << 9 << "Type Report"
                              << "All Types"
                              << "Selected Type" << QStringList{"Commemorative", "Definitive"} << 62;
        QTest::newRow("format") << 4 << "Format Report"
                                << "All Formats"
                                << "Selected Format" << QStringList{"Block", "Single"} << 63;
        QTest::newRow("topic") << 8 << "Topics Report"
                               << "All Topics"
                               << "Selected Topic" << QStringList{"Birds", "Ships"} << 64;
    }
    void dialogTexts()
    {
        QFETCH(int, category);
        QFETCH(QString, caption);
        QFETCH(QString, all);
        QFETCH(QString, selected);
        QFETCH(QStringList, entries);
        QFETCH(int, help);
        ScriptedPrompts p;
        gRptCategory = category;
        gRptCancel = false;
        frmRptSel dialog;
        QVERIFY(gRptCancel);
        QCOMPARE(dialog.windowTitle(), caption);
        auto* optAll = Child<QRadioButton>(&dialog, "optAll");
        auto* optSelected = Child<QRadioButton>(&dialog, "optSelected");
        auto* list = Child<QListWidget>(&dialog, "List1");
        QCOMPARE(optAll->text(), all);
        QCOMPARE(optSelected->text(), selected);
        QVERIFY(optAll->isChecked());
        QVERIFY(!list->isEnabled());
        QStringList shown;
        for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
        QCOMPARE(shown, entries);
        QCOMPARE(Child<QPushButton>(&dialog, "cmdOk")->text(), QString("&Ok"));
        QVERIFY(Child<QPushButton>(&dialog, "cmdOk")->isDefault());
        QCOMPARE(Child<QPushButton>(&dialog, "cmdCancel")->text(), QString("&Cancel"));
        for (const char* name : {"optAll", "optSelected", "List1", "cmdOk", "cmdCancel"})
            QCOMPARE(HelpContextOf(Child<QWidget>(&dialog, name)), help);
        QCOMPARE(HelpContextOf(&dialog), help);
        QCOMPARE(optAll->nextInFocusChain(), static_cast<QWidget*>(optSelected));
    }

    void dialogChoices_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<int>("selection");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("message");
        // Steps: a = optAll, s = optSelected, 0-9 = pick entry, o = OK, c = Cancel, x = close box.
        QTest::newRow("all") << "o" << false << -1 << false << "";
        QTest::newRow("one entry") << "s2o" << false << 1 << false << "";  // France
        QTest::newRow("selected without entry")
            << "so" << true << -7 << true << "You must make a selection from the list!";
        QTest::newRow("back to all clears the pick") << "s0ao" << false << -1 << false << "";
        QTest::newRow("cancel") << "s0c" << true << -7 << false << "";
        QTest::newRow("close box") << "s0x" << true << -7 << false << "";
        QTest::newRow("message, then a pick")
            << "so1o" << false << 3 << false << "You must make a selection from the list!";
    }
    void dialogChoices()
    {
        QFETCH(QString, steps);
        QFETCH(bool, cancelled);
        QFETCH(int, selection);
        QFETCH(bool, open);
        QFETCH(QString, message);
        ScriptedPrompts p;
        gRptCategory = 3;
        gRptSelID = -7;
        frmRptSel dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* list = Child<QListWidget>(&dialog, "List1");
        for (QChar step : steps) {
            switch (step.unicode()) {
                case 'a':
                    ClickRadio(&dialog, "optAll");
                    break;
                case 's':
                    ClickRadio(&dialog, "optSelected");
                    break;
                case 'o':
                    QTest::mouseClick(Child<QPushButton>(&dialog, "cmdOk"), Qt::LeftButton);
                    break;
                case 'c':
                    QTest::mouseClick(Child<QPushButton>(&dialog, "cmdCancel"), Qt::LeftButton);
                    break;
                case 'x':
                    dialog.close();
                    break;
                default: {
                    QListWidgetItem* item = list->item(step.digitValue());
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
                    QVERIFY(item->isSelected());
                }
            }
        }
        QCOMPARE(gRptCancel, cancelled);
        QCOMPARE(gRptSelID, selection);
        QCOMPARE(dialog.isVisible(), open);
        QCOMPARE(p.LastText(), message);
        if (!message.isEmpty()) QCOMPARE(p.messages[0].icon, MsgIcon::None);
        if (steps.contains(u'a')) QVERIFY(list->selectedItems().isEmpty() && !list->isEnabled());
    }

    void dialogByKeyboard()
    {
        ScriptedPrompts p;
        gRptCategory = 8;
        frmRptSel dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QApplication::setActiveWindow(&dialog);
        auto* optAll = Child<QRadioButton>(&dialog, "optAll");
        auto* list = Child<QListWidget>(&dialog, "List1");
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(optAll));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // to "Selected Topic"
        QVERIFY(Child<QRadioButton>(&dialog, "optSelected")->isChecked());
        QVERIFY(list->isEnabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->selectedItems().size(), 1);
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!gRptCancel);
        QCOMPARE(gRptSelID, list->selectedItems().first()->data(Qt::UserRole).toInt());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // A focused button takes Enter: on Cancel it cancels, whatever the default.
    void dialogKeysOnAFocusedButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("Enter on Cancel") << "cmdCancel" << int(Qt::Key_Return) << 0 << true;
        QTest::newRow("keypad Enter on Cancel") << "cmdCancel" << int(Qt::Key_Enter) << 0 << true;
        QTest::newRow("Space on Cancel") << "cmdCancel" << int(Qt::Key_Space) << 0 << true;
        QTest::newRow("Enter on Ok") << "cmdOk" << int(Qt::Key_Return) << 0 << false;
        QTest::newRow("Enter on the choice") << "optAll" << int(Qt::Key_Return) << 0 << false;
        QTest::newRow("Alt+C") << "optAll" << int(Qt::Key_C) << int(Qt::AltModifier) << true;
        QTest::newRow("Alt+O") << "optAll" << int(Qt::Key_O) << int(Qt::AltModifier) << false;
    }
    void dialogKeysOnAFocusedButton()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, cancelled);
        ScriptedPrompts p;
        gRptCategory = 3;
        gRptSelID = -7;
        frmRptSel dialog;
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QWidget* target = Child<QWidget>(&dialog, qPrintable(button));
        target->setFocus();
        QVERIFY(target->hasFocus());
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(gRptCancel, cancelled);
        QCOMPARE(gRptSelID, cancelled ? -7 : -1);
    }

    void dialogEscape()
    {
        ScriptedPrompts p;
        gRptCategory = 4;
        frmRptSel dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QVERIFY(gRptCancel);
    }

    void emptyCodeTable()
    {
        ScriptedPrompts p;
        gDb.reset();
        mCat = std::make_unique<TestCatalogue>();
        gDb = Database::Open(mCat->Path(), true);
        gRptCategory = 9;
        frmRptSel dialog;
        dialog.show();
        auto* list = Child<QListWidget>(&dialog, "List1");
        QCOMPARE(list->count(), 0);
        ClickRadio(&dialog, "optSelected");
        QTest::mouseClick(Child<QPushButton>(&dialog, "cmdOk"), Qt::LeftButton);
        QCOMPARE(p.LastText(), QString("You must make a selection from the list!"));
        ClickRadio(&dialog, "optAll");
        QTest::mouseClick(Child<QPushButton>(&dialog, "cmdOk"), Qt::LeftButton);
        QVERIFY(!gRptCancel);
        QCOMPARE(gRptSelID, -1);
    }

    void categoryReportThroughDialog()
    {
        // The report shows the dialog modally; the collector picks Belgium.
        ScriptedPrompts p;
        const QString path = mCat->File("Stamp.txt");
        p.saveFiles.push_back(path);
        gRptTarget = 2;
        gRptCategory = 3;
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<frmRptSel*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            ClickRadio(dialog, "optSelected");
            auto* list = Child<QListWidget>(dialog, "List1");
            list->setCurrentRow(0);
            QTest::mouseClick(Child<QPushButton>(dialog, "cmdOk"), Qt::LeftButton);
        });
        CategoryReport();
        QCOMPARE(gRptSelID, 2);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), FileBytes({"Belgium\tAirmail a bc\tA1\t$1.00\t1935\t1", "\t\t\t\t\t1"}));
    }

    void categoryReportDialogClosed()
    {
        ScriptedPrompts p;
        gRptTarget = 1;
        gRptCategory = 8;
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<frmRptSel*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->close();
        });
        CategoryReport();
        QVERIFY(gRptCancel);
        QVERIFY(p.messages.empty());
        QVERIFY(!mPresenter->Window());
    }
};

QTEST_MAIN(TestReportWindows)
#include "tst_reportwindows.moc"
