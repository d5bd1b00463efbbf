// Saving the preview as a PDF, through the preview window's button, and the
// file read back with the PDF tools a collector's computer has (poppler).

#include "ReportRunner.h"
#include "ReportTestData.h"
#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "custom/CustomReportOutput.h"
#include "custom/CustomReportTargets.h"
#include "custom/FieldCatalogue.h"
#include "custom/FieldSettingsTable.h"
#include "db/Database.h"
#include "db/Globals.h"
#include "help/HelpContext.h"
#include "reports/ReportPdf.h"
#include "reports/ReportWindows.h"
#include "reports/frmOutput.h"
#include "reports/frmRptSel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QListWidget>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
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

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs one of the PDF tools; its standard output, or nothing when it failed.
std::optional<QString> Tool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
        return std::nullopt;
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A custom report of every stamp: description, country and price paid (with its
// total), by description.
CustomReport CustomPreview(bool landscape, const QString& title)
{
    const auto catalogue = FieldCatalogue::Load(*gDb);
    if (!catalogue) qFatal("no field catalogue");
    FieldSettingsTable settings;
    settings.Reset(*catalogue);
    settings[21].mTotal = true;
    CustomQueryInput input;
    input.fields = {1, 8, 21};  // Description, Country, Price Paid
    input.sort1 = 1;
    input.title = title;
    CustomReportOptions options;
    options.target = CustomTarget::Preview;
    options.landscape = landscape;
    options.title = title;
    return MakeCustomReport(BuildCustomQuery(*catalogue, settings, input), options, QDate(2024, 2, 29));
}

enum class Kind { Sales, Value, WantList, Country, Custom };

}  // namespace

Q_DECLARE_METATYPE(Kind)

class TestReportPdf : public QObject {
    Q_OBJECT
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<QtReportPresenter> mPresenter;
    QString mPdfInfo, mPdfToText, mPdfToPpm;

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

    frmOutput* Preview(Kind kind)
    {
        gRptTarget = 1;
        switch (kind) {
            case Kind::Sales:
                RunReport(ReportKind::Sales);
                break;
            case Kind::Value:
                RunReport(ReportKind::Value);
                break;
            case Kind::WantList:
                RunReport(ReportKind::WantList);
                break;
            case Kind::Country:
                // The selection dialog is modal: all countries.
                QTimer::singleShot(0, [] {
                    auto* dialog = qobject_cast<frmRptSel*>(QApplication::activeModalWidget());
                    QVERIFY(dialog);
                    QTest::mouseClick(Child<QPushButton>(dialog, "cmdOk"), Qt::LeftButton);
                });
                RunReport(ReportKind::Country);
                break;
            case Kind::Custom:
                GenerateCustomReport(CustomPreview(true, QStringLiteral("Stamps of <France> & more")));
                break;
        }
        return mPresenter->Window();
    }

    // Presses "Save as PDF..." and answers the Save dialog with path.
    static void SaveAs(frmOutput* w, ScriptedPrompts& p, const std::optional<QString>& path)
    {
        p.saveFiles.push_back(path);
        QTest::mouseClick(Child<QPushButton>(w, "cmdSavePdf"), Qt::LeftButton);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InstallCustomReportTargets();
        mPdfInfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        mPdfToText = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        mPdfToPpm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
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

    void button()
    {
        ScriptedPrompts p;
        frmOutput* w = Preview(Kind::Sales);
        QVERIFY(w);
        auto* save = Child<QPushButton>(w, "cmdSavePdf");
        QCOMPARE(save->text(), QString("&Save as PDF..."));
        QCOMPARE(HelpContextOf(save), 80);
        QCOMPARE(HelpContextOf(w), 65);
        // Beside "&Print", before "&Ok", in the row and in the tab order.
        auto* print = Child<QPushButton>(w, "cmdPrint");
        auto* ok = Child<QPushButton>(w, "cmdOk");
        QCOMPARE(print->text(), QString("&Print"));
        QCOMPARE(ok->text(), QString("&Ok"));
        QVERIFY(print->x() < save->x() && save->x() < ok->x());
        QCOMPARE(print->nextInFocusChain(), save);
        QCOMPARE(save->nextInFocusChain(), ok);
        // Every button of the window has an access key of its own.
        QStringList keys;
        for (const QPushButton* b : w->findChildren<QPushButton*>()) {
            const qsizetype amp = b->text().indexOf(u'&');
            QVERIFY2(amp >= 0 && amp + 1 < b->text().size(), qPrintable(b->text()));
            const QString key = b->text().mid(amp + 1, 1).toLower();
            QVERIFY2(!keys.contains(key), qPrintable(b->text()));
            keys << key;
        }
    }

    void savesTheDocument_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("extraHeld");
        QTest::addColumn<QString>("defaultName");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("firstRow");
        QTest::addColumn<QString>("pageSize");  // as pdfinfo gives it, in points
        QTest::newRow("sales") << Kind::Sales << 0 << "Sales.pdf"
                               << "Stamp Sales Report"
                               << "Lost cause"
                               << "612 x 792";
        QTest::newRow("value, many pages") << Kind::Value << 300 << "Value.pdf"
                                           << "Stamp Value Report"
                                           << "<b>Bold</b>"
                                           << "612 x 792";
        QTest::newRow("want list") << Kind::WantList << 0 << "WantList.pdf"
                                   << "Stamp Want List"
                                   << "Lost cause"
                                   << "612 x 792";
        QTest::newRow("by country") << Kind::Country << 0 << "Stamps.pdf"
                                    << "Stamps by Country"
                                    << "<b>Bold</b>"
                                    << "612 x 792";
        QTest::newRow("custom, landscape") << Kind::Custom << 0 << "Stamps of France & more.pdf"
                                           << "Stamps of <France> & more"
                                           << "<b>Bold</b>"
                                           << "792 x 612";
    }
    void savesTheDocument()
    {
        QFETCH(Kind, kind);
        QFETCH(int, extraHeld);
        QFETCH(QString, defaultName);
        QFETCH(QString, title);
        QFETCH(QString, firstRow);
        QFETCH(QString, pageSize);
        if (mPdfInfo.isEmpty() || mPdfToText.isEmpty() || mPdfToPpm.isEmpty())
            QSKIP("skipped: pdfinfo, pdftotext or pdftoppm is not installed (./test.sh installs poppler-utils)");
        OpenCatalogue(extraHeld);
        ScriptedPrompts p;
        frmOutput* w = Preview(kind);
        QVERIFY(w);
        const int pages = w->Surface().PageCount();
        QVERIFY(pages >= 1);
        if (extraHeld > 0) QVERIFY(pages > 3);
        p.busy.clear();

        const QString pdf = mCat->File(defaultName);
        SaveAs(w, p, pdf);
        QCOMPARE(p.saveRequests.size(), size_t(1));
        QCOMPARE(p.saveRequests[0].defaultName, defaultName);
        QCOMPARE(p.saveRequests[0].filter, QString("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*"));
        QVERIFY2(p.messages.empty(), qPrintable(p.LastText()));
        QCOMPARE(p.busy, (std::vector<bool>{true, false}));
        // Written in one piece: no temporary file is left beside it.
        QCOMPARE(QDir(mCat->Dir()).entryList({"*.pdf*"}, QDir::Files), QStringList{defaultName});

        const auto info = Tool(mPdfInfo, {pdf});
        QVERIFY(info);
        const auto count =
            QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption).match(*info);
        QVERIFY2(count.hasMatch(), qPrintable(*info));
        QCOMPARE(count.captured(1).toInt(), pages);
        QVERIFY2(info->contains(QStringLiteral("Page size:       ") + pageSize), qPrintable(*info));
        QVERIFY2(info->contains(QStringLiteral("Creator:         Tessarine")), qPrintable(*info));

        const auto text =
            Tool(mPdfToText, {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                              QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
        QVERIFY(text);
        QVERIFY2(text->contains(title), qPrintable(*text));
        QVERIFY2(text->contains(firstRow), qPrintable(*text));
        QVERIFY2(text->contains(QStringLiteral("Page 1")), qPrintable(*text));

        // Page 1 drawn at a small size: the paper carries ink.
        const QString prefix = mCat->File(QStringLiteral("page"));
        QVERIFY(Tool(mPdfToPpm, {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                 QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"),
                                 QStringLiteral("-singlefile"), pdf, prefix}));
        const QImage page(prefix + QStringLiteral(".png"));
        QVERIFY(!page.isNull());
        QCOMPARE(page.width() > page.height(), kind == Kind::Custom);
        int dark = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) dark += qGray(page.pixel(x, y)) < 128;
        // A blank page has none; the smallest report here has a few hundred.
        QVERIFY2(dark > 100, qPrintable(QString::number(dark)));
    }

    void existingFile_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::newRow("replace it") << MsgAnswer::Yes;
        QTest::newRow("keep it") << MsgAnswer::No;
    }
    void existingFile()
    {
        QFETCH(MsgAnswer, answer);
        ScriptedPrompts p;
        frmOutput* w = Preview(Kind::WantList);
        const QString pdf = mCat->File("WantList.pdf");
        {
            QFile old(pdf);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("the collector's own file");
        }
        p.answers.push_back(answer);
        SaveAs(w, p, pdf);
        QCOMPARE(p.messages.size(), size_t(1));
        QCOMPARE(p.messages[0].text, "The file '" + pdf + "' already exists.  Do you wish to replace it?");
        QCOMPARE(p.messages[0].title, QString("File Exists"));
        QCOMPARE(p.messages[0].buttons, MsgButtons::YesNo);
        QCOMPARE(p.messages[0].icon, MsgIcon::None);
        const QByteArray bytes = ReadFile(pdf);
        if (answer == MsgAnswer::Yes)
            QVERIFY(bytes.startsWith("%PDF"));
        else
            QCOMPARE(bytes, QByteArray("the collector's own file"));
    }

    void cancelWritesNothing()
    {
        ScriptedPrompts p;
        frmOutput* w = Preview(Kind::Sales);
        SaveAs(w, p, std::nullopt);
        QCOMPARE(p.saveRequests.size(), size_t(1));
        QVERIFY(p.messages.empty());
        QCOMPARE(QDir(mCat->Dir()).entryList({"*.pdf*"}, QDir::Files), QStringList());
        QVERIFY(w->isVisible());
    }

    void nameWithoutExtension()
    {
        ScriptedPrompts p;
        frmOutput* w = Preview(Kind::Sales);
        SaveAs(w, p, mCat->File("for the club"));
        QVERIFY2(p.messages.empty(), qPrintable(p.LastText()));
        QVERIFY(ReadFile(mCat->File("for the club.pdf")).startsWith("%PDF"));
        QVERIFY(!QFile::exists(mCat->File("for the club")));
    }

    void failureIsShown_data()
    {
        QTest::addColumn<QString>("target");  // inside the catalogue's folder
        QTest::newRow("missing folder") << "no such folder/Sales.pdf";
        QTest::newRow("a folder of that name") << "Sales.pdf";
    }
    void failureIsShown()
    {
        QFETCH(QString, target);
        ScriptedPrompts p;
        frmOutput* w = Preview(Kind::Sales);
        const QString path = mCat->File(target);
        if (!target.contains(u'/')) QVERIFY(QDir(mCat->Dir()).mkdir(target));
        SaveAs(w, p, path);
        QCOMPARE(p.messages.size(), size_t(1));
        QVERIFY2(p.messages[0].text.startsWith("75  Could not write the report file '" + path + "': "),
                 qPrintable(p.messages[0].text));
        QVERIFY(!p.endedWith);
        QVERIFY(!QFileInfo(path).isFile());
        QCOMPARE(QDir(mCat->Dir()).entryList({"*.pdf*"}, QDir::Files), QStringList());
        QCOMPARE(p.busy.back(), false);
        QVERIFY(w->isVisible());
    }

    void fileNameFromTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "My Stamps"
                               << "My Stamps.pdf";
        QTest::newRow("empty") << ""
                               << "Stamp.pdf";
        QTest::newRow("blanks only") << " \t "
                                     << "Stamp.pdf";
        QTest::newRow("path") << "../../etc/passwd"
                              << "etc passwd.pdf";
        QTest::newRow("markup and quotes") << "<b>\"Best\"</b> | 1990: a*b?"
                                           << "b Best b 1990 a b.pdf";
        QTest::newRow("line break") << "first\nsecond"
                                    << "first second.pdf";
        QTest::newRow("hidden file") << ".secret"
                                     << "secret.pdf";
        QTest::newRow("accents and emoji")
            << QString::fromUtf8("Z\u00FCrich \U0001F4EC") << QString::fromUtf8("Z\u00FCrich \U0001F4EC.pdf");
    }
    void fileNameFromTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QCOMPARE(PdfFileName(title), name);
    }

    void longTitleFitsAFileName()
    {
        // Three bytes a letter in UTF-8, then a letter of two UTF-16 units.
        const QString title = QString(100, QChar(0x3042)) + QString::fromUtf8("\U0001F4EC");
        const QString name = PdfFileName(title);
        QVERIFY(name.endsWith(".pdf"));
        QVERIFY(name.toUtf8().size() <= 240);
        QVERIFY(!name.chopped(4).back().isHighSurrogate());
        QVERIFY(title.startsWith(name.chopped(4)));
    }
};

QTEST_MAIN(TestReportPdf)
#include "tst_reportpdf.moc"
