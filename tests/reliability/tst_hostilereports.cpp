// Hostile and odd texts in the custom report window (every criterion box and the
// title) and in the data every report writes. No criterion breaks the query or
// changes what it selects, every HTML page is well-formed, every text file keeps
// one line per record and its columns, and nothing crashes.

#include "../app/MainWindowFixture.h"
#include "../upkeep/UpkeepTestFiles.h"
#include "HostileTexts.h"
#include "HtmlCheck.h"

#include "custom/CustomReportTargets.h"
#include "dates/DateBox.h"
#include "custom/frmRptSpec.h"
#include "dates/LocaleFormats.h"
#include "reports/PrintSurface.h"
#include "reports/ReportPresenter.h"
#include "reports/ReportWindows.h"
#include "reports/frmRptSel.h"

#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace {

QString Quoted(const QString& text)
{
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

// In a report file a line break inside a value is written as one space.
QString OneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
}

// Every hostile text in every text the reports show: descriptions, catalogue
// numbers, colours, notes and the four code tables the category reports group
// by. Each text has a sold stamp and a wanted one, so every report lists it.
QString HostileCatalogue()
{
    QString sql;
    int id = 0;
    auto stamps = HostileTexts();
    stamps.append({"megabyte", MegabyteText(u'\u05D0')});
    for (const auto& [name, text] : stamps) {
        ++id;
        const QString code = Quoted(text.left(50));
        sql += QStringLiteral("INSERT INTO country (CouID, Coudesc) VALUES (%1, %2);").arg(id).arg(code);
        sql += QStringLiteral("INSERT INTO type (typeID, Typedesc) VALUES (%1, %2);").arg(id).arg(code);
        sql += QStringLiteral("INSERT INTO format (formID, FormDesc) VALUES (%1, %2);").arg(id).arg(code);
        sql += QStringLiteral("INSERT INTO topic (topID, TopDesc) VALUES (%1, %2);").arg(id).arg(code);
        // A catalogue written by another tool may hold longer texts than the window lets through.
        const QString descr = id == stamps.size() ? text : text.left(80);
        for (const int kind : {0, 1, 2}) {  // sold, wanted, held
            const bool sold = kind == 0;
            const bool wanted = kind == 1;
            sql +=
                QStringLiteral(
                    "INSERT INTO Stamp (descr, catnum, color, notes, CouID, typeID, formID, topID, quantity, "
                    "pricepaid, catvalue, priceask, sold, forsale, wantlist) VALUES (%1, %2, %3, %4, %5, %5, %5, %5, "
                    "2, 1.25, 3, 4.5, %6, %7, %7);")
                    .arg(Quoted(QString(sold     ? ""
                                        : wanted ? "Wanted "
                                                 : "Held ") +
                                descr),
                         Quoted(text.left(30)), Quoted(text.left(50)), Quoted(text + QStringLiteral("\nmore\tnotes")))
                    .arg(id)
                    .arg(sold ? 1 : 0)
                    .arg(wanted ? 1 : 0);
        }
    }
    return sql;
}

template <typename T>
T* Child(QWidget* parent, const char* name)
{
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no control %s", name);
    return child;
}

void Click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// A file the reports wrote, split at its CR LF line ends; a lone CR or LF is a
// broken line.
QStringList FileLines(const QString& path, QString* problem)
{
    const QString all = QString::fromUtf8(ReadAll(path));
    if (!all.endsWith(QStringLiteral("\r\n"))) *problem = QStringLiteral("no CR LF at the end");
    QStringList lines = all.split(QStringLiteral("\r\n"));
    lines.removeLast();
    for (const QString& line : lines)
        if (line.contains(u'\r') || line.contains(u'\n')) *problem = QStringLiteral("a line break inside a line");
    return lines;
}

const QString kNoStamps = QStringLiteral("No Stamps have been entered that may be included in the specified report");

}  // namespace

class TestHostileReports : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    frmRptSpec* w = nullptr;
    QTemporaryDir mOut;

    void OpenSpec()
    {
        f->window->mnuRptCustom_Click();
        w = frmRptSpec::Instance();
        QVERIFY(w);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    void CloseSpec()
    {
        if (w) w->cmdCancel_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w = nullptr;
    }
    void AddField(const char* field)
    {
        auto* list = Child<QListWidget>(w, "List1");
        const auto found = list->findItems(QString::fromLatin1(field), Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), field);
        list->setCurrentItem(found.first());
        Click(Child<QToolButton>(w, "cmdAdd"));
    }
    void SelectField(const char* field)
    {
        auto* list = Child<QListWidget>(w, "List2");
        list->setCurrentItem(list->findItems(QString::fromLatin1(field), Qt::MatchExactly).value(0));
    }
    // Pastes a text into a box and leaves it with Tab.
    void Paste(const char* box, const QString& text)
    {
        QWidget* control = Child<QWidget>(w, box);
        control->setFocus();
        QVERIFY(control->hasFocus());
        if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->setText(text);
        if (auto* date = qobject_cast<DateBox*>(control)) date->setEditText(text);
        QTest::keyClick(control, Qt::Key_Tab);
    }
    void Target(int index)
    {
        Child<QTabWidget>(w, "SSTab1")->setCurrentIndex(1);
        Click(Child<QRadioButton>(w, QStringLiteral("optReportTo_%1").arg(index).toLatin1().constData()));
        Child<QTabWidget>(w, "SSTab1")->setCurrentIndex(0);
    }
    QString Generate(const QString& name)
    {
        const QString path = mOut.filePath(name);
        QFile::remove(path);
        f->prompts.saveFiles = {path};
        Click(Child<QPushButton>(w, "cmdGenerate"));
        return path;
    }

    void RunStandard(const QString& report)
    {
        if (report == "sales") return f->window->mnuRptSold_Click();
        if (report == "value") return f->window->mnuRptValue_Click();
        if (report == "want list") return f->window->mnuRptWant_Click();
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<frmRptSel*>(QApplication::activeModalWidget());
            if (!dialog) qFatal("no selection dialog");
            Click(Child<QRadioButton>(dialog, "optAll"));
            Click(Child<QPushButton>(dialog, "cmdOk"));
        });
        f->window->mnuRpt_Click(report.toInt());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InstallReportWindows();
        InstallCustomReportTargets();
    }
    void cleanup()
    {
        CloseSpec();
        f.reset();
    }

    // The check the report tests lean on refuses what it should.
    void htmlCheck_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("openRows");
        QTest::addColumn<bool>("wellFormed");
        const QString head = "<html>\r\n<head><title>T</title></head>\r\n<body>\r\n<table border=1>\r\n";
        const QString tail = "</table>\r\n</body>\r\n</html>\r\n";
        QTest::newRow("a page") << head + "<tr><th colspan = 2>T</th></tr>\r\n<tr><td>a &amp; b</td></tr>" + tail
                                << false << true;
        QTest::newRow("a raw <") << head + "<tr><td>a < b</td></tr>" + tail << false << false;
        QTest::newRow("a raw &") << head + "<tr><td>Tom & Jerry</td></tr>" + tail << false << false;
        QTest::newRow("markup from data") << head + "<tr><td><b>x</b></td></tr>" + tail << false << false;
        QTest::newRow("a cell left open") << head + "<tr><td>x</tr>" + tail << false << false;
        QTest::newRow("rows left open") << head + "<tr><td>x</td>\r\n<tr><td>y</td>\r\n" + tail << false << false;
        QTest::newRow("rows left open, allowed")
            << head + "<tr><td>x</td>\r\n<tr><td>y</td>\r\n" + tail << true << true;
        QTest::newRow("no end") << head << false << false;
    }
    void htmlCheck()
    {
        QFETCH(QString, page);
        QFETCH(bool, openRows);
        QFETCH(bool, wellFormed);
        const HtmlPage checked = CheckHtml(page, openRows);
        QVERIFY2(checked.problem.isEmpty() == wellFormed, qPrintable(checked.problem));
        if (wellFormed) QCOMPARE(checked.rows.last().last(), openRows ? QString("y") : QString("a & b"));
    }

    // A Starts-with criterion selects the stamps that start with the text, as
    // typed; a text in a box that only takes numbers or dates is refused.
    void criteria_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stored");  // a stamp starts with the text
        for (const auto& [name, text] : HostileTexts()) {
            const bool stored = QString(name) != "always true";
            QTest::addRow("description, %s", name) << "Description" << text << stored;
            QTest::addRow("notes, %s", name) << "Notes" << text << stored;
        }
        QTest::newRow("description, megabyte") << "Description" << MegabyteText() << false;
        QTest::newRow("notes, megabyte") << "Notes" << MegabyteText() << false;
        QTest::newRow("notes, megabyte right-to-left") << "Notes" << MegabyteText(u'\u05D0') << false;
    }
    void criteria()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, stored);
        // The stamp with the text, and others that a broken query would find:
        // the text cut short, the text's letters with the like wildcards taken as
        // wildcards, and plain ones.
        QString sql =
            "INSERT INTO Stamp (descr, notes) VALUES ('x', 'x'), ('Aardvark', 'Aardvark'), ('100X Xused', "
            "'100X Xused'), ('C:\\stamps\\X', 'C:\\stamps\\X'), ('O''Brien', 'O''Brien');";
        const QString descr = text.left(80);
        if (stored)
            sql += QString("INSERT INTO Stamp (descr, notes) VALUES (%1, %2), (%3, %4);")
                       .arg(Quoted(descr), Quoted(text), Quoted(descr.left(descr.size() - 1)),
                            Quoted(text.left(text.size() - 1)));
        f = std::make_unique<MainWindowFixture>(0, sql);
        OpenSpec();
        Target(2);
        AddField("Description");
        if (field != "Description") AddField(qPrintable(field));
        SelectField(qPrintable(field));
        Paste("txtStarting", text);
        QVERIFY(f->prompts.messages.empty());

        const QString path = Generate("Stamp.txt");
        QVERIFY(!f->prompts.endedWith);
        QString problem;
        const QStringList lines = FileLines(path, &problem);
        if (stored) {
            QVERIFY2(f->prompts.messages.empty(), qPrintable(f->prompts.LastText()));
            QVERIFY(problem.isEmpty());
            const QString notesCell = field == "Notes" ? u'\t' + OneLine(text) : QString();
            QCOMPARE(lines, QStringList{OneLine(descr) + notesCell});
        } else {
            QCOMPARE(f->prompts.LastText(), kNoStamps);
            QVERIFY(lines.isEmpty());
        }
        CloseSpec();
        QCOMPARE(f->Scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(f->Scalar("SELECT count(*) FROM Stamp"), QString(stored ? "7" : "5"));
    }

    void refusedCriteria_data()
    {
        QTest::addColumn<QString>("text");
        for (const auto& [name, text] : HostileTexts()) QTest::newRow(name) << text;
        QTest::newRow("megabyte") << MegabyteText();
    }
    void refusedCriteria()
    {
        QFETCH(QString, text);
        f = std::make_unique<MainWindowFixture>(0,
                                                "INSERT INTO Stamp (descr, pricepaid, purchased) VALUES "
                                                "('Penny Black', 12.5, '1995-03-05');");
        OpenSpec();
        AddField("Description");
        AddField("Price Paid");
        AddField("Purchase Date");
        const struct {
            const char* field;
            const char* box;
            QString message;
        } boxes[] = {
            {"Price Paid", "txtGreater", "You must enter a number or leave this selection field blank"},
            {"Price Paid", "txtLess", "You must enter a number or leave this selection field blank"},
            {"Price Paid", "txtWidth", "You must enter a valid number for the column width"},
            {"Purchase Date", "dcStartDate", "You must enter a valid date or leave this selection field blank."},
            {"Purchase Date", "dcEndDate", "You must enter a valid date or leave this selection field blank."},
        };
        for (const auto& box : boxes) {
            SelectField(box.field);
            f->prompts.Clear();
            Paste(box.box, text);
            QCOMPARE(f->prompts.messages.size(), size_t(1));
            QCOMPARE(f->prompts.LastText(), box.message);
            if (auto* edit = qobject_cast<QLineEdit*>(Child<QWidget>(w, box.box))) edit->clear();
            if (auto* date = qobject_cast<DateBox*>(Child<QWidget>(w, box.box))) date->setEditText(QString());
        }
        // Nothing was taken: the report has every stamp and the usual widths.
        SetCustomReportWriterFactory(nullptr);
        f->prompts.Clear();
        Click(Child<QPushButton>(w, "cmdGenerate"));
        const MemoryReportWriter& out = LastCustomReportOutput();
        QCOMPARE(out.report.query.whereText, QString());
        QCOMPARE(out.lines.size(), qsizetype(1));
        QVERIFY(!f->prompts.endedWith);
        InstallCustomReportTargets();
    }

    // The title goes into the page's head and title row, and the preview's header.
    void title_data()
    {
        QTest::addColumn<QString>("text");
        for (const auto& [name, text] : HostileTexts()) QTest::newRow(name) << text;
        QTest::newRow("megabyte") << MegabyteText();
    }
    void title()
    {
        QFETCH(QString, text);
        f = std::make_unique<MainWindowFixture>(0, "INSERT INTO Stamp (descr) VALUES ('Penny Black');");
        OpenSpec();
        AddField("Description");
        Child<QTabWidget>(w, "SSTab1")->setCurrentIndex(1);
        auto* title = Child<QLineEdit>(w, "txtTitle");
        title->setText(text);
        const QString typed = title->text();
        Target(3);
        const QString path = Generate("Stamp.htm");
        QString problem;
        const QStringList lines = FileLines(path, &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const HtmlPage page = CheckHtml(lines.join("\r\n"));
        QVERIFY2(page.problem.isEmpty(), qPrintable(page.problem));
        QCOMPARE(page.title, OneLine(typed));
        QCOMPARE(page.rows.value(0), QStringList{OneLine(typed)});
        QCOMPARE(page.rows.value(2), QStringList{"Penny Black"});

        Target(1);
        Click(Child<QPushButton>(w, "cmdGenerate"));
        const PrintSurface& surface = reportPresenter().PreviewSurface();
        QCOMPARE(surface.PageCount(), 1);
        QVERIFY(surface.PageHeaderText(1).contains(typed.left(40)));
        QVERIFY(!f->prompts.endedWith);
    }

    // Every standard report, to both files, over hostile data.
    void standardReports_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("category");
        QTest::newRow("sales") << "sales"
                               << "Sales" << false;
        QTest::newRow("value") << "value"
                               << "Value" << false;
        QTest::newRow("want list") << "want list"
                                   << "WantList" << false;
        QTest::newRow("country") << "1"
                                 << "Stamp" << true;
        QTest::newRow("type") << "2"
                              << "Stamp" << true;
        QTest::newRow("format") << "3"
                                << "Stamp" << true;
        QTest::newRow("topic") << "4"
                               << "Stamp" << true;
    }
    void standardReports()
    {
        QFETCH(QString, report);
        QFETCH(QString, name);
        QFETCH(bool, category);
        f = std::make_unique<MainWindowFixture>(0, HostileCatalogue());

        for (const QString& entry : Entries(mOut.path())) QFile::remove(mOut.filePath(entry));
        f->window->mnuRptOut_Click(3);
        f->prompts.saveFiles = {mOut.filePath(name + ".htm")};
        RunStandard(report);
        QVERIFY2(f->prompts.messages.empty(), qPrintable(f->prompts.LastText()));
        QString problem;
        const QStringList html = FileLines(mOut.filePath(name + ".htm"), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const HtmlPage page = CheckHtml(html.join("\r\n"), category);
        QVERIFY2(page.problem.isEmpty(), qPrintable(page.problem));
        // The title row, the headings, then a row of as many cells for every
        // stamp or total; each hostile description is there, as stored.
        const int columns = page.widths.value(1);
        QVERIFY(columns >= 5);
        QStringList firstCells;
        for (qsizetype r = 2; r < page.rows.size(); ++r) {
            QVERIFY2(page.widths[r] == columns, qPrintable(page.rows[r].join(" | ").left(200)));
            firstCells << page.rows[r].value(0) << page.rows[r].value(1);
        }
        for (const auto& [label, text] : HostileTexts()) {
            const QString prefix = report == "sales" ? "" : report == "want list" ? "Wanted " : "Held ";
            QVERIFY2(firstCells.contains(OneLine(prefix + text.left(80))), label);
        }

        f->window->mnuRptOut_Click(2);
        f->prompts.saveFiles = {mOut.filePath(name + ".txt")};
        RunStandard(report);
        QVERIFY2(f->prompts.messages.empty(), qPrintable(f->prompts.LastText()));
        const QStringList text = FileLines(mOut.filePath(name + ".txt"), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(text.size() > HostileTexts().size());
        const qsizetype tabs = text.first().count(u'\t');
        QCOMPARE(tabs, columns - 1);
        for (const QString& line : text) QVERIFY2(line.count(u'\t') == tabs, qPrintable(line.left(200)));

        // The preview takes the same rows.
        f->window->mnuRptOut_Click(1);
        RunStandard(report);
        QVERIFY(reportPresenter().PreviewSurface().PageCount() >= 1);
        QVERIFY(!f->prompts.endedWith);
    }

    // A custom report of text fields, notes among them, to both files: values
    // are written as stored, tabs included, but a line break never splits a
    // record's line.
    void customReports()
    {
        f = std::make_unique<MainWindowFixture>(0, HostileCatalogue());
        OpenSpec();
        for (const char* field : {"Description", "Notes", "Country", "Price Paid"}) AddField(field);
        SelectField("Price Paid");
        Click(Child<QCheckBox>(w, "chkTotal"));
        QTest::keyClick(Child<QCheckBox>(w, "chkTotal"), Qt::Key_Tab);

        QStringList expected;
        auto rs = gDb->OpenSnapshot(
            "SELECT descr, notes, Coudesc FROM Stamp LEFT JOIN country ON "
            "Stamp.CouID = country.CouID");
        while (!rs->Eof()) {
            expected << OneLine(TextOf(rs->FieldAt(0)) + u'\t' + TextOf(rs->FieldAt(1)) + u'\t' +
                                TextOf(rs->FieldAt(2)) + "\t$1.25");
            rs->MoveNext();
        }
        expected << "\t\t\t" + FormatCurrency(Money::FromUnits(12500 * expected.size()));

        Target(2);
        QString problem;
        QStringList text = FileLines(Generate("Stamp.txt"), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY2(f->prompts.messages.empty(), qPrintable(f->prompts.LastText()));
        QCOMPARE(text.size(), expected.size());
        QCOMPARE(text.last(), expected.last());
        text.sort();
        expected.sort();
        QCOMPARE(text, expected);

        Target(3);
        const QStringList html = FileLines(Generate("Stamp.htm"), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const HtmlPage page = CheckHtml(html.join("\r\n"));
        QVERIFY2(page.problem.isEmpty(), qPrintable(page.problem));
        QCOMPARE(page.rows.size(), expected.size() + 2);
        QStringList cells;
        for (qsizetype r = 2; r < page.rows.size(); ++r) {
            QCOMPARE(page.rows[r].size(), qsizetype(4));
            cells << page.rows[r].join(u'\t');
        }
        cells.last().replace(QChar(0xA0), QString());
        cells.sort();
        QCOMPARE(cells, expected);

        Target(1);
        Click(Child<QPushButton>(w, "cmdGenerate"));
        QVERIFY(reportPresenter().PreviewSurface().PageCount() >= 1);
        QVERIFY(!f->prompts.endedWith);
    }
};

QTEST_MAIN(TestHostileReports)
#include "tst_hostilereports.moc"
