// The HTML reports in a real browser: every canned report and a custom report,
// written from a demo catalogue whose texts try to break out of the page, are
// opened by headless Chromium. From the document the browser built (its DOM,
// dumped after the page has loaded and any script has run) the test checks that
// the page is one table of heading rows, one row per stamp and the totals, that
// every cell holds the stamp's own text, and that no script ran. A picture of
// each page is kept in the build tree.

#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "custom/CustomReportOutput.h"
#include "custom/CustomReportTargets.h"
#include "custom/FieldCatalogue.h"
#include "custom/FieldSettingsTable.h"
#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Recordset.h"
#include "reports/Reports.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>

namespace {

const QString kScriptRan = QStringLiteral("script ran");

// Texts that would run, or end the cell, the row or the table, if the page let
// them through as markup; and texts a browser must show as they are.
const QStringList kHostile = {
    QStringLiteral("<script>document.title='script ran'</script>"),
    QStringLiteral("<img src=x onerror=\"document.title='script ran'\">"),
    QStringLiteral("</td></tr></table><h1>out of the table</h1>"),
    QStringLiteral("Tom & Jerry &amp; &lt;b&gt; &copy"),
    QStringLiteral("\"Penny\" 'Black' <!-- not a comment"),
    QStringLiteral("\U0001F4EC stamp \U0001F1EC\U0001F1E7 \u2709\uFE0F"),
    QStringLiteral("\u05D1\u05D5\u05DC \u0637\u0627\u0628\u0639 \u202Eevil\u202C"),
    QStringLiteral("first line\nsecond line"),
};

QString SqlText(const QString& text)
{
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

// A value as the report files write it: a line break becomes one space.
QString OneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
}

// What the browser made of a page.
struct BrowserPage {
    QString problem;  // empty when the document could be read
    QString title;    // the text of <title>
    QList<QStringList> rows;
    QList<bool> headingRows;  // a row of <th> cells only
    int tables = 0;
    QStringList unexpected;  // elements and attributes no report writes
};

// Reads the DOM Chromium serialised. Its HTML serialisation closes every
// element the reports use, and escapes & < > in text, & and " in attributes,
// so it reads as XML once the one named entity it writes is made numeric.
BrowserPage ReadDom(QString dom)
{
    static const QSet<QString> kElements = {"html", "head", "title", "body", "table", "tbody",
                                            "tr",   "th",   "td",    "h6",   "a"};
    static const QSet<QString> kAttributes = {"border", "colspan", "align", "href"};
    BrowserPage page;
    dom.replace(QStringLiteral("&nbsp;"), QStringLiteral("&#160;"));
    QXmlStreamReader xml(dom);
    QString cell;
    bool inCell = false, inTitle = false, allHeadings = true;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
            case QXmlStreamReader::StartElement: {
                const QString name = xml.name().toString();
                if (!kElements.contains(name)) page.unexpected << u'<' + name + u'>';
                for (const QXmlStreamAttribute& a : xml.attributes())
                    if (!kAttributes.contains(a.name().toString()))
                        page.unexpected << name + u' ' + a.name().toString();
                if (name == u"table") ++page.tables;
                if (name == u"title") inTitle = true;
                if (name == u"tr") {
                    page.rows.append(QStringList());
                    allHeadings = true;
                }
                if (name == u"td" || name == u"th") {
                    if (page.rows.isEmpty()) page.rows.append(QStringList());
                    allHeadings = allHeadings && name == u"th";
                    inCell = true;
                    cell.clear();
                }
                break;
            }
            case QXmlStreamReader::EndElement: {
                const QString name = xml.name().toString();
                if (name == u"title") inTitle = false;
                if (name == u"td" || name == u"th") {
                    page.rows.last().append(cell);
                    inCell = false;
                }
                if (name == u"tr") page.headingRows.append(allHeadings);
                break;
            }
            case QXmlStreamReader::Characters:
                if (inCell) cell += xml.text();
                if (inTitle) page.title += xml.text();
                break;
            default:
                break;
        }
    }
    if (xml.hasError())
        page.problem =
            QStringLiteral("the DOM does not read: %1 at line %2").arg(xml.errorString()).arg(xml.lineNumber());
    return page;
}

// Rows of a query on the open catalogue, each as its columns' texts.
QList<QStringList> Rows(const QString& sql)
{
    QList<QStringList> rows;
    auto rs = gDb->OpenForwardOnly(sql);
    for (; !rs->Eof(); rs->MoveNext()) {
        QStringList row;
        for (int i = 0; i < rs->FieldCount(); ++i) row << TextOf(rs->FieldAt(i));
        rows << row;
    }
    return rows;
}

enum class Kind { Sales, Value, WantList, Country, Type, Format, Topic, Custom };

}  // namespace

Q_DECLARE_METATYPE(Kind)

class TestBrowserReports : public QObject {
    Q_OBJECT
    QString mChromium;
    QTemporaryDir mProfile;
    std::unique_ptr<TestCatalogue> mCat;
    QString mArtefacts = QStringLiteral(TESS_ARTEFACTS);

    // Chromium headless with a profile of its own and nothing that reaches out.
    std::optional<QByteArray> Chromium(const QStringList& job)
    {
        QProcess chromium;
        chromium.setProgram(mChromium);
        chromium.setArguments(QStringList{"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                                          "--no-first-run", "--disable-background-networking",
                                          "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                                          "--user-data-dir=" + mProfile.path()} +
                              job);
        chromium.start();
        if (!chromium.waitForFinished(120000) || chromium.exitStatus() != QProcess::NormalExit ||
            chromium.exitCode() != 0) {
            chromium.kill();
            qWarning("chromium failed: %s", chromium.readAllStandardError().right(2000).constData());
            return std::nullopt;
        }
        return chromium.readAllStandardOutput();
    }

    std::optional<BrowserPage> Open(const QString& file)
    {
        const auto dom = Chromium({"--dump-dom", QUrl::fromLocalFile(file).toString()});
        if (!dom) return std::nullopt;
        return ReadDom(QString::fromUtf8(*dom));
    }

    // A picture of the page, as the collector would see it; false when it is
    // missing or blank.
    bool Picture(const QString& file, const QString& picture)
    {
        QFile::remove(picture);
        if (!Chromium({"--screenshot=" + picture, "--window-size=1100,760", QUrl::fromLocalFile(file).toString()}))
            return false;
        const QImage image(picture);
        if (image.isNull()) return false;
        int dark = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2) dark += qGray(image.pixel(x, y)) < 128;
        return dark > 200;
    }

    void RunReport(Kind kind)
    {
        switch (kind) {
            case Kind::Sales:
                SalesReport();
                return;
            case Kind::Value:
                ValueReport();
                return;
            case Kind::WantList:
                WantListReport();
                return;
            case Kind::Country:
                gRptCategory = 3;
                break;
            case Kind::Type:
                gRptCategory = 9;
                break;
            case Kind::Format:
                gRptCategory = 4;
                break;
            case Kind::Topic:
                gRptCategory = 8;
                break;
            case Kind::Custom: {
                // Description, Catalog Num, Country and Price Paid with its total,
                // by description, under a title that is itself hostile.
                const auto catalogue = FieldCatalogue::Load(*gDb);
                QVERIFY(catalogue);
                FieldSettingsTable settings;
                settings.Reset(*catalogue);
                settings[21].mTotal = true;
                CustomQueryInput input;
                input.fields = {1, 2, 8, 21};
                input.sort1 = 1;
                input.title = kHostile[0] + QStringLiteral(" & \"mine\"");
                CustomReportOptions options;
                options.target = CustomTarget::HtmlFile;
                options.title = input.title;
                GenerateCustomReport(
                    MakeCustomReport(BuildCustomQuery(*catalogue, settings, input), options, QDate::currentDate()));
                return;
            }
        }
        CategoryReport();  // the selection dialog's stand-in answers "all"
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char* name : {"chromium", "chromium-browser"})
            if (mChromium.isEmpty()) mChromium = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (mChromium.isEmpty()) QSKIP("skipped: chromium is not installed (./test.sh installs it)");
        QVERIFY(mProfile.isValid());
        QVERIFY(QDir().mkpath(mArtefacts));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InstallCustomReportTargets();

        // A demo catalogue; every third stamp, held, sold or wanted, and some
        // of the names it is grouped by, carry a hostile text.
        mCat = std::make_unique<TestCatalogue>(45, 7);
        // Descriptions made unique, so that every order is one order.
        QString sql = QStringLiteral("UPDATE Stamp SET descr = descr || ' #' || StampID;");
        const QString count = QString::number(kHostile.size());
        for (qsizetype i = 0; i < kHostile.size(); ++i) {
            const QString text = SqlText(kHostile[i]);
            const QString n = QString::number(i);
            sql += "UPDATE Stamp SET descr = " + text + " || ' #' || StampID, catnum = substr(" + text +
                   ", 1, 12) WHERE StampID % " + count + " = " + n + " AND StampID % 3 = 0;";
            const QString id = QString::number(i + 1);
            sql += "UPDATE country SET Coudesc = " + text + " WHERE CouID = " + id + ";";
            sql += "UPDATE type SET Typedesc = " + text + " WHERE typeID = " + id + ";";
            sql += "UPDATE format SET FormDesc = " + text + " WHERE formID = " + id + ";";
            sql += "UPDATE topic SET TopDesc = " + text + " WHERE topID = " + id + ";";
        }
        mCat->Exec(sql);
        gDb = Database::Open(mCat->Path(), true);
        QVERIFY(gDb);
        gRptTarget = 3;
    }
    void cleanupTestCase() { gDb.reset(); }

    // The harness itself: a page that lets a script through is caught.
    void aScriptThatRunsIsSeen()
    {
        const QString page = mCat->File("unsafe.htm");
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "<html><head><title>Unsafe</title></head><body><table border=1>\r\n"
            "<tr><td>" +
            kHostile[0].toUtf8() + "</td>\r\n<tr><td>b</td>\r\n</table></body></html>\r\n");
        file.close();
        const auto seen = Open(page);
        QVERIFY(seen);
        QCOMPARE(seen->problem, QString());
        QCOMPARE(seen->title, kScriptRan);
        QCOMPARE(seen->unexpected, QStringList{"<script>"});
        // The rows left open are rows all the same.
        QCOMPARE(seen->rows, (QList<QStringList>{{"document.title='script ran'"}, {"b"}}));
    }

    void reportInTheBrowser_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");    // of the page
        QTest::addColumn<QString>("rowsSql");  // the stamps, in report order: descr, catnum[, group]
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("descrColumn");  // and catnum in the next, the group in the first
        QTest::addColumn<int>("totals");       // rows after the stamps
        const QString held = QStringLiteral(" where not wantlist and not sold ");
        QTest::newRow("sales") << Kind::Sales << "Sales.htm"
                               << "Stamp Sales Report"
                               << "select descr, catnum from Stamp where sold order by [descr]" << 7 << 0 << 2;
        QTest::newRow("value") << Kind::Value << "Value.htm"
                               << "Stamp Collection Value "
                               << "select descr, catnum from Stamp" + held + "order by [descr]" << 7 << 0 << 2;
        QTest::newRow("want list") << Kind::WantList << "WantList.htm"
                                   << "Stamp Want List "
                                   << "select descr, catnum from Stamp where wantlist order by [descr]" << 6 << 0 << 1;
        const auto category = [&](const char* table, const char* key, const char* desc) {
            return QStringLiteral(
                       "select descr, catnum, %3 from Stamp left join %1 on stamp.%2 = %1.%2%4"
                       "order by %3, descr")
                .arg(QLatin1String(table), QLatin1String(key), QLatin1String(desc), held);
        };
        QTest::newRow("by country") << Kind::Country << "Country.htm"
                                    << "Stamps by Country" << category("country", "couid", "coudesc") << 6 << 1 << 1;
        QTest::newRow("by type") << Kind::Type << "Type.htm"
                                 << "Stamps by Type" << category("type", "typeid", "typedesc") << 6 << 1 << 1;
        QTest::newRow("by format") << Kind::Format << "Format.htm"
                                   << "Stamps by Format" << category("format", "formid", "formdesc") << 6 << 1 << 1;
        QTest::newRow("by topic") << Kind::Topic << "Topic.htm"
                                  << "Stamps by Topic" << category("topic", "topid", "topdesc") << 6 << 1 << 1;
        QTest::newRow("custom") << Kind::Custom << "Custom.htm" << kHostile[0] + " & \"mine\""
                                << "select descr, catnum from Stamp order by descr" << 4 << 0 << 1;
    }
    void reportInTheBrowser()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, file);
        QFETCH(QString, title);
        QFETCH(QString, rowsSql);
        QFETCH(int, columns);
        QFETCH(int, descrColumn);
        QFETCH(int, totals);

        const QString path = mArtefacts + u'/' + file;
        QFile::remove(path);
        ScriptedPrompts p;
        p.saveFiles.push_back(path);
        RunReport(kind);
        QVERIFY2(p.messages.empty(), qPrintable(p.LastText()));
        QVERIFY(QFile::exists(path));

        const QList<QStringList> stamps = Rows(rowsSql);
        QVERIFY(stamps.size() > 3);
        bool anyHostile = false;
        for (const QStringList& s : stamps)
            for (const QString& h : kHostile) anyHostile = anyHostile || s.at(0).startsWith(h);
        QVERIFY2(anyHostile, "the report lists none of the hostile texts");

        const auto page = Open(path);
        QVERIFY(page);
        QVERIFY2(page->problem.isEmpty(), qPrintable(page->problem));
        // Nothing ran: the page keeps its title and holds only what the report wrote.
        QCOMPARE(page->title, title);
        QCOMPARE(page->unexpected, QStringList());
        QCOMPARE(page->tables, 1);

        // The title row and the column headings, one row per stamp, the totals.
        QCOMPARE(page->rows.size(), 2 + stamps.size() + totals);
        QCOMPARE(page->headingRows.mid(0, 2), (QList<bool>{true, true}));
        QCOMPARE(page->rows.at(0), QStringList{title.trimmed()});
        QCOMPARE(page->rows.at(1).size(), columns);
        for (qsizetype i = 0; i < stamps.size(); ++i) {
            const QStringList& row = page->rows.at(2 + i);
            const QStringList& stamp = stamps.at(i);
            QVERIFY2(!page->headingRows.at(2 + i), qPrintable(QString::number(i)));
            QCOMPARE(row.size(), columns);
            QCOMPARE(row.at(descrColumn), OneLine(stamp.at(0)));
            QCOMPARE(row.at(descrColumn + 1), OneLine(stamp.at(1)));
            if (descrColumn == 1) QCOMPARE(row.at(0), OneLine(stamp.at(2)));
        }
        for (qsizetype i = 2 + stamps.size(); i < page->rows.size(); ++i) QVERIFY(!page->headingRows.at(i));
        if (descrColumn == 1) {
            const QString count =
                Rows(QStringLiteral("select sum(quantity) from Stamp where not wantlist and not sold")).at(0).at(0);
            QCOMPARE(page->rows.last(), (QStringList{"Total Stamps", count}));
        }

        QVERIFY2(Picture(path, mArtefacts + u'/' + QFileInfo(file).completeBaseName() + QStringLiteral(".png")),
                 "no picture of the page, or a blank one");
    }
};

QTEST_MAIN(TestBrowserReports)
#include "tst_browserreports.moc"
