// Export and import against real catalogues: the round trip on the demo
// catalogue, files as spreadsheets and other programs write them, rows already
// in the catalogue, refused rows, a cancelled import, bad files of every kind,
// and the catalogue tool's commands.

#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "csv/CsvPreview.h"
#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/FieldValue.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/StringHelpers.h"
#include "numbers/Catalogues.h"
#include "numbers/StampNumbers.h"
#include "search/Folding.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTest>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(DuplicateChoice)

namespace {

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

QByteArray Windows1252(const QString& text)
{
    QByteArray out;
    for (const QChar c : text) out += c.unicode() < 256 ? char(c.unicode()) : '?';
    return out;
}

// One catalogue held open as the program holds it.
struct Held {
    explicit Held(int demoStamps = 0, quint64 seed = 1) : cat(demoStamps, seed) { Open(); }
    void Open() { db = Database::Open(cat.Path(), true, CatalogueTables()); }
    void Close() { db.reset(); }
    QString Scalar(const QString& sql) const
    {
        auto rs = db->OpenSnapshot(sql);
        return rs->IsEmpty() ? QString() : TextOf(rs->FieldAt(0));
    }
    ScriptedPrompts prompts;
    TestCatalogue cat;
    std::unique_ptr<Database> db;
};

ImportPlan Plan(Held& h, const QString& path, const std::function<void(ImportSettings&)>& adjust = {})
{
    // As the window and the tool read a file: with the catalogue's list of catalogues.
    const CsvPreview preview = InspectCsvFile(path, LoadCatalogues(*h.db));
    if (!preview.Ok()) qFatal("cannot read %s: %s", qPrintable(path), qPrintable(preview.sniff.message));
    ImportSettings settings = preview.settings;
    if (adjust) adjust(settings);
    return MakeImportPlan(*h.db, path, settings);
}

ImportResult Import(Held& h, const QString& path, const std::function<void(ImportSettings&)>& adjust = {})
{
    return RunImport(*h.db, Plan(h, path, adjust));
}

QString Export(Held& h, const QString& name, int order = 1)
{
    const QString path = h.cat.File(name);
    const ExportResult result = ExportStamps(*h.db, path, order);
    if (!result.Written()) qFatal("export failed: %s", qPrintable(result.error));
    return path;
}

QStringList Lines(const QString& path)
{
    return QString::fromUtf8(Bytes(path).mid(3)).split(QStringLiteral("\r\n"));
}

// Stamps with every kind of text that a file must carry unchanged.
const char* const kHostileRows =
    "INSERT INTO country (Coudesc) VALUES ('=Formula Land');"
    "INSERT INTO Stamp (descr, catnum, catsort, notes, Color, misc1, quantity, pricepaid, totalpaid, CouID, issued) "
    "VALUES "
    "('=HYPERLINK(\"http://x\",\"y\")', '-5', '                  -5', 'line one\nline two\r\nthree, \"four\"', "
    "'@SUM(A1)', '''quoted''', 3, 1.25, 3.75, (SELECT CouID FROM country WHERE Coudesc = '=Formula Land'), "
    "'1840-05-06'),"
    "('+1 overprint', '''7', '                  ''7', char(9) || 'tab first', char(13) || 'cr first', 'Ω ümlaut 𝄞', 1, "
    "NULL, NULL, NULL, NULL),"
    "(' blanks around ', '', '                    ', '', '', '', 0, -2.5, -0, NULL, '2024-02-29');";

}  // namespace

class TestCsvImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void roundTrip_data()
    {
        QTest::addColumn<int>("order");
        QTest::newRow("by description") << 1;
        QTest::newRow("by catalogue number") << 2;
        QTest::newRow("by issue date") << 3;
    }
    void roundTrip()
    {
        QFETCH(int, order);
        Held demo(400, 7);
        demo.Close();
        demo.cat.Exec(QString::fromUtf8(kHostileRows));
        demo.Open();
        const QString first = Export(demo, QStringLiteral("first.csv"), order);

        Held empty;
        const ImportResult result = Import(empty, first);
        QVERIFY(!result.cancelled);
        QCOMPARE(result.counts.added, qint64(403));
        QCOMPARE(result.counts.refused, qint64(0));
        QCOMPARE(result.addedIds.size(), size_t(403));
        QCOMPARE(result.newCodeIds[3].size(), size_t(42));
        const QString second = Export(empty, QStringLiteral("second.csv"), order);
        QCOMPARE(Bytes(second), Bytes(first));

        // What the file holds, as any spreadsheet reads it.
        const QStringList lines = Lines(first);
        QCOMPARE(lines.first(),
                 QStringLiteral("Description,Catalog Num,Face Value,Year,Used,Want List,Quantity,Country,Type,Format,"
                                "Paper,Cancellation,Perforation,Topic,Gum,Condition,Color,Watermark,Errors,Issue Date,"
                                "Price Paid,Total Paid,Catalog Value,Total Value,Selling Price,Total Sales,For Sale,"
                                "Purchase Date,Sold,Date Sold,Notes,Misc. 1,Misc. 2,Scott #,SG #,Michel #,Yt #"));
        QVERIFY(Bytes(first).startsWith("\xEF\xBB\xBF"));
        QVERIFY(
            lines.contains(QStringLiteral("'+1 overprint,''7,,,No,No,1,,,,,,,,,,\"'\rcr "
                                          "first\",,,,,,,,,,No,,No,,'\ttab first,\u03A9 \u00FCmlaut \U0001D11E,,,,,")));
        // A text that a spreadsheet would run never begins a field.
        for (const QString& line : lines)
            for (const QString& sign : {QStringLiteral("="), QStringLiteral("@"), QStringLiteral("+")})
                QVERIFY2(!line.startsWith(sign) && !line.startsWith(u'"' + sign) && !line.contains(u',' + sign) &&
                             !line.contains(QStringLiteral(",\"") + sign),
                         qPrintable(line));

        // The imported stamps are what the editor would have stored.
        QCOMPARE(empty.Scalar(QStringLiteral("Select count(*) from Stamp where abs(totalpaid - pricepaid * quantity) > "
                                             "0.00005 or (totalpaid is null) <> (pricepaid is null)")),
                 QStringLiteral("0"));
        auto rs = empty.db->OpenSnapshot(QStringLiteral("Select catnum, catsort from Stamp"));
        for (; !rs->Eof(); rs->MoveNext())
            QCOMPARE(TextOf(rs->Field(QStringLiteral("catsort"))),
                     CatalogueSortKey(TextOf(rs->Field(QStringLiteral("catnum")))));
        QCOMPARE(empty.Scalar(QStringLiteral("Select notes from Stamp where descr like '=hyperlink*'")),
                 QStringLiteral("line one\nline two\r\nthree, \"four\""));
        QCOMPARE(empty.Scalar(QStringLiteral("Select descr from Stamp where catnum = '''7'")),
                 QStringLiteral("+1 overprint"));
        QCOMPARE(empty.Scalar(QStringLiteral("Select count(*) from TextKeyQueue")), QStringLiteral("0"));
        // The stamp list's filter finds them as it finds the stamps they came from.
        const QString findTexts =
            QStringLiteral("Select group_concat(find_text, '|') from (Select find_text from Stamp order by find_text)");
        QCOMPARE(empty.Scalar(findTexts), demo.Scalar(findTexts));
        // The numbers in other catalogues came along, with the keys the program
        // gives them.
        const QString numbers = QStringLiteral(
            "Select count(*) || '|' || sum(CatNo_fold = lower(CatNo)) || '|' || count(DISTINCT CatNoSort_sort) from "
            "StampNumber");
        QCOMPARE(empty.Scalar(numbers), demo.Scalar(numbers));
        QCOMPARE(empty.Scalar(QStringLiteral("Select count(*) from sqlite_master where type = 'trigger'")),
                 demo.Scalar(QStringLiteral("Select count(*) from sqlite_master where type = 'trigger'")));
    }

    void germanSpreadsheet()
    {
        // As LibreOffice Calc writes a sheet under German settings: semicolons,
        // decimal commas, day-first dates, Windows letters, German yes/no.
        Held h;
        h.Close();
        h.cat.Exec(QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Deutschland'), ('C\u00F4te d''Ivoire')"));
        h.Open();
        const QString path = h.cat.File(QStringLiteral("sammlung.csv"));
        Write(path, Windows1252(QStringLiteral("Bezeichnung;Land;Preis;Qty;Ausgabedatum;Gestempelt\r\n"
                                               "Posthorn 10 Pf;DEUTSCHLAND;1.234,50;2;31.12.1951;Ja\r\n"
                                               "Elefant;cote d'ivoire;0,55;1;01.02.1960;Nein\r\n"
                                               "Edelwei\u00DF;\u00D6sterreich;12;3;15.06.1948;WAHR\r\n"
                                               "Matterhorn;Schweiz;;1;;\r\n")));
        const CsvPreview preview = InspectCsvFile(path);
        QVERIFY(preview.Ok());
        QCOMPARE(preview.settings.encoding, CsvEncoding::Windows1252);
        QCOMPARE(preview.settings.separator, QChar(u';'));
        QVERIFY(preview.settings.header);
        QCOMPARE(preview.settings.values.decimal, DecimalMark::Comma);
        QCOMPARE(preview.settings.values.dates, DateOrder::Dmy);
        QCOMPARE(preview.records.size(), size_t(4));
        QCOMPARE(preview.ColumnName(0), QStringLiteral("Bezeichnung"));
        QCOMPARE(preview.settings.FieldOf(1), Fld::Country);
        QCOMPARE(preview.settings.FieldOf(3), Fld::Quantity);
        QCOMPARE(preview.settings.FieldOf(0), Fld::Ignore);

        ImportSettings settings = preview.settings;
        QCOMPARE(MakeImportPlan(*h.db, path, settings).problem,
                 QStringLiteral("No column is given the field Description: every stamp needs one."));
        settings.mapping[0] = Fld::Descr;
        settings.mapping[2] = Fld::PricePaid;
        settings.mapping[4] = Fld::Issued;
        settings.mapping[5] = Fld::Used;
        const ImportPlan plan = MakeImportPlan(*h.db, path, settings);
        QCOMPARE(plan.counts.added, qint64(4));
        QCOMPARE(plan.newEntries[3], (QStringList{QStringLiteral("\u00D6sterreich"), QStringLiteral("Schweiz")}));
        QVERIFY2(plan.Description(10).contains(QStringLiteral("2 new countries: \u00D6sterreich, Schweiz.")),
                 qPrintable(plan.Description(10)));
        const ImportResult result = RunImport(*h.db, plan);
        QCOMPARE(ImportSummary(result.counts),
                 QStringLiteral("4 stamps added, 0 updated, 0 skipped, 0 rows refused; 2 new countries"));

        QCOMPARE(h.Scalar(QStringLiteral("Select pricepaid from Stamp where descr = 'Posthorn 10 Pf'")),
                 QStringLiteral("1234.5"));
        QCOMPARE(h.Scalar(QStringLiteral("Select totalpaid from Stamp where descr = 'Posthorn 10 Pf'")),
                 QStringLiteral("2469"));
        QCOMPARE(h.Scalar(QStringLiteral("Select issued from Stamp where descr = 'Posthorn 10 Pf'")),
                 QStringLiteral("1951-12-31"));
        QCOMPARE(h.Scalar(QStringLiteral("Select Coudesc from Stamp, country where Stamp.CouID = country.CouID and "
                                         "descr = 'Posthorn 10 Pf'")),
                 QStringLiteral("Deutschland"));
        QCOMPARE(h.Scalar(QStringLiteral("Select Coudesc from Stamp, country where Stamp.CouID = country.CouID and "
                                         "descr = 'Elefant'")),
                 QStringLiteral("C\u00F4te d'Ivoire"));
        QCOMPARE(h.Scalar(QStringLiteral(
                     "Select used || '/' || quantity || '/' || totalpaid from Stamp where descr = 'Edelwei\u00DF'")),
                 QStringLiteral("1/3/36.0"));
        QCOMPARE(h.Scalar(QStringLiteral("Select coalesce(pricepaid, 'null') || coalesce(totalpaid, 'null') || "
                                         "coalesce(issued, 'null') || used from Stamp where descr = 'Matterhorn'")),
                 QStringLiteral("nullnullnull0"));
        QCOMPARE(h.Scalar(QStringLiteral("Select count(*) from country")), QStringLiteral("4"));
    }

    void excelFile()
    {
        // As Excel writes it: a byte-order mark, CR LF, line breaks inside quoted
        // cells, TRUE/FALSE and month-first dates.
        Held h;
        const QString path = h.cat.File(QStringLiteral("excel.csv"));
        Write(path,
              QStringLiteral("\uFEFFDescription,Catalog Num,Notes,Price Paid,Quantity,Issue Date,Used,For Sale\r\n"
                             "Inverted Jenny,C3a,\"Bought 1990\nCertificate\",\"1,350.00\",1,5/13/1918,TRUE,FALSE\r\n"
                             "\"Penny Black, plate 1a\",1,,12.5,4,5/6/1840,FALSE,TRUE\r\n")
                  .toUtf8());
        const CsvPreview preview = InspectCsvFile(path);
        QVERIFY(preview.sniff.byteOrderMark);
        QCOMPARE(preview.settings.values.decimal, DecimalMark::Point);
        QCOMPARE(preview.settings.values.dates, DateOrder::Mdy);
        QCOMPARE(preview.settings.values.yesNo, YesNoStyle::TrueFalse);
        const ImportResult result = Import(h, path);
        QCOMPARE(result.counts.added, qint64(2));
        QCOMPARE(h.Scalar(QStringLiteral("Select notes from Stamp where catnum = 'C3a'")),
                 QStringLiteral("Bought 1990\nCertificate"));
        QCOMPARE(h.Scalar(QStringLiteral(
                     "Select pricepaid || '/' || issued || '/' || used from Stamp where catnum = 'C3a'")),
                 QStringLiteral("1350.0/1918-05-13/1"));
        QCOMPARE(h.Scalar(QStringLiteral("Select totalpaid || '/' || forsale from Stamp where catnum = '1'")),
                 QStringLiteral("50.0/1"));
        QCOMPARE(h.Scalar(QStringLiteral("Select descr from Stamp where catnum = '1'")),
                 QStringLiteral("Penny Black, plate 1a"));
    }

    // Colnect's export: its columns by their headings, and its catalogue codes
    // split into the stamps' numbers; the collector's own catalogue fills the
    // Catalog Num, and a code of no catalogue of the list adds one.
    void colnectExport()
    {
        Held h;
        h.Close();
        h.cat.Exec(QStringLiteral("UPDATE Catalog SET OwnNumber = 1 WHERE CatalogDesc = 'Stanley Gibbons'"));
        h.Open();
        const QString path = h.cat.File(QStringLiteral("colnect.csv"));
        Write(
            path,
            QStringLiteral(
                "\"Name\",\"Country\",\"Series\",\"Catalog Codes\",\"Issued on\",\"Paper\",\"Watermark\",\"Emission\","
                "\"Format\",\"Perforation\",\"Printing\",\"Gum\",\"Currency\",\"FaceValue\",\"Colors\",\"Themes\","
                "\"Description\"\r\n"
                "\"Queen Victoria\",\"United Kingdom\",\"Line engraved\",\"Sg:GB 1\",\"1840-05-06\",\"Wove\",\"Small "
                "Crown\","
                "\"Definitive\",\"Stamp\",\"Imperforate\",\"Recess\",\"Original gum\",\"Penny\",\"1\",\"Black\","
                "\"Royalty, Famous People\",\"The first adhesive stamp\"\r\n"
                "\"Inverted Jenny\",\"United States\",\"Airmail\",\"Sn:US C3a\",\"1918\",\"\",\"\",\"Commemorative\","
                "\"Stamp\",\"11\",\"\",\"\",\"Dollar\",\"0.24\",\"Carmine rose, blue\",\"Aviation\",\"\"\r\n"
                "\"Kiwi\",\"New Zealand\",\"\",\"Mi:NZ 840, Sn:NZ 1234, Sg:NZ 1189, Yt:NZ 912, Ch:NZ "
                "77\",\"1988\",\"\","
                "\"\",\"Definitive\",\"Stamp\",\"\",\"\",\"\",\"Dollar\",\"1\",\"\",\"Birds\",\"\"\r\n")
                .toUtf8());
        const ImportResult result = Import(h, path);
        QCOMPARE(result.counts.added, qint64(3));
        QCOMPARE(result.counts.refused, qint64(0));
        QCOMPARE(result.counts.newCatalogues, qint64(1));
        QCOMPARE(ImportSummary(result.counts),
                 QStringLiteral("3 stamps added, 0 updated, 0 skipped, 0 rows refused; 3 new countries, 2 new types, 1 "
                                "new format, 1 new paper, 2 new perforations, 3 new topics, 1 new gum type, 1 new "
                                "catalogue"));
        QCOMPARE(h.Scalar(QStringLiteral(
                     "Select catnum || '|' || face || '|' || issued || '|' || watermark || '|' || notes || '|' "
                     "|| Color from Stamp where descr = 'Queen Victoria'")),
                 QStringLiteral("1|1.0|1840-05-06|Small Crown|The first adhesive stamp|Black"));
        const auto numbers = [&h](const char* stamp) {
            return h.Scalar(QStringLiteral("Select group_concat(CatalogDesc || ' ' || CatNo, ', ') from (Select "
                                           "CatalogDesc, CatNo from StampNumber, Catalog, Stamp where "
                                           "StampNumber.CatalogID = Catalog.CatalogID and StampNumber.StampID = "
                                           "Stamp.StampID and descr = '%1' order by Position)")
                                .arg(QString::fromLatin1(stamp)));
        };
        QCOMPARE(numbers("Queen Victoria"), QStringLiteral("Stanley Gibbons 1"));
        QCOMPARE(numbers("Inverted Jenny"), QStringLiteral("Scott C3a"));
        QCOMPARE(numbers("Kiwi"),
                 QStringLiteral("Michel 840, Scott 1234, Stanley Gibbons 1189, Yvert et Tellier 912, Ch 77"));
        QCOMPARE(h.Scalar(QStringLiteral("Select catnum from Stamp where descr = 'Kiwi'")), QStringLiteral("1189"));
        QCOMPARE(h.Scalar(QStringLiteral("Select catnum from Stamp where descr = 'Inverted Jenny'")), QString());
        QCOMPARE(h.Scalar(QStringLiteral("Select Prefix from Catalog where CatalogDesc = 'Ch'")), QStringLiteral("Ch"));
        QCOMPARE(h.Scalar(QStringLiteral(
                     "Select Typedesc || '|' || TopDesc || '|' || PerfDesc from Stamp, type, topic, Perf "
                     "where Stamp.typeID = type.typeID and Stamp.topID = topic.topID and "
                     "Stamp.perfID = Perf.perfID and descr = 'Queen Victoria'")),
                 QStringLiteral("Definitive|Royalty, Famous People|Imperforate"));
        // An issue date of a year alone gives the year.
        QCOMPARE(h.Scalar(QStringLiteral(
                     "Select coalesce(issued, 'none') || '|' || Year from Stamp where descr = 'Inverted Jenny'")),
                 QStringLiteral("none|1918"));
        // Found by any of its numbers, as the main window's find looks.
        QCOMPARE(
            h.Scalar(QStringLiteral("Select descr from Stamp where ") + StampNumberCondition(QStringLiteral("c3A"))),
            QStringLiteral("Inverted Jenny"));
    }

    void duplicates_data()
    {
        QTest::addColumn<DuplicateChoice>("choice");
        QTest::addColumn<int>("stamps");
        QTest::addColumn<QString>(
            "penny");  // price | total | notes | quantity | forsale | sold of the first Penny Black
        QTest::addColumn<qint64>("updated");
        QTest::addColumn<qint64>("skipped");
        QTest::newRow("skip") << DuplicateChoice::Skip << 3 << "10.0|20.0|keep|2|1|0" << qint64(0) << qint64(1);
        QTest::newRow("update") << DuplicateChoice::Update << 3 << "25.0|50.0|keep|2|0|1" << qint64(1) << qint64(0);
        QTest::newRow("add") << DuplicateChoice::Add << 4 << "10.0|20.0|keep|2|1|0" << qint64(0) << qint64(0);
    }
    void duplicates()
    {
        QFETCH(DuplicateChoice, choice);
        Held h;
        h.Close();
        h.cat.Exec(QStringLiteral(
            "INSERT INTO country (Coudesc) VALUES ('Great Britain');"
            "INSERT INTO Stamp (descr, catnum, catsort, quantity, pricepaid, totalpaid, notes, forsale, CouID) VALUES "
            "('Penny Black', '1', '                   1', 2, 10, 20, 'keep', 1, 1),"
            "('Penny Black', '1', '                   1', 5, 10, 50, 'second of the same', 0, 1);"
            "INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo, CatNoSort) SELECT 1, CatalogID, 1, 'GB-1a', "
            "'GB-1a' FROM Catalog WHERE CatalogDesc = 'Michel'"));
        h.Open();
        const QString path = h.cat.File(QStringLiteral("again.csv"));
        // The same stamp (another case, accents aside), and one of another country.
        Write(path, QStringLiteral("Description,Catalog Num,Country,Price Paid,Sold\r\n"
                                   "PENNY BLACK,1,great britain,25,Yes\r\n"
                                   "Penny Black,1,France,30,No\r\n")
                        .toUtf8());
        const ImportResult result = Import(h, path, [&](ImportSettings& s) { s.duplicates = choice; });
        QTEST(int(h.Scalar(QStringLiteral("Select count(*) from Stamp")).toInt()), "stamps");
        QTEST(h.Scalar(QStringLiteral(
                  "Select pricepaid || '|' || totalpaid || '|' || notes || '|' || quantity || '|' || forsale "
                  "|| '|' || sold from Stamp where StampID = 1")),
              "penny");
        QTEST(result.counts.updated, "updated");
        QTEST(result.counts.skipped, "skipped");
        // The second stamp alike is never touched; the French one is new each time.
        QCOMPARE(h.Scalar(QStringLiteral("Select pricepaid || notes from Stamp where StampID = 2")),
                 QStringLiteral("10.0second of the same"));
        QCOMPARE(h.Scalar(QStringLiteral(
                     "Select count(*) from Stamp, country where Stamp.CouID = country.CouID and Coudesc = 'France'")),
                 QStringLiteral("1"));
        // However it was written, the first stamp's joined texts hold its number.
        QCOMPARE(h.Scalar(QStringLiteral("Select group_concat(StampID) from Stamp where instr(find_text, 'gb-1a') > 0")),
                 QStringLiteral("1"));
        if (choice == DuplicateChoice::Update)
            QCOMPARE(result.updatedIds, std::vector<qint64>{1});
        else
            QVERIFY(result.updatedIds.empty());
    }

    void refusedRows()
    {
        Held h;
        const QString path = h.cat.File(QStringLiteral("mixed.csv"));
        Write(path, QStringLiteral("Description,Qty,Issue Date,Price Paid,For Sale,Sold,Catalog Num,Country\r\n"
                                   "Good one,2,1998-02-27,1.5,No,No,1,Italy\r\n"
                                   "Bad quantity,abc,,,,,2,Spain\r\n"
                                   "Bad date,1,1998-02-31,,,,3,\r\n"
                                   "Too large,1,,99999999999999999,,,4,\r\n"
                                   "Total too large,20,,99999999999999,,,5,\r\n"
                                   ",1,,,,,6,\r\n"
                                   "Both,1,,,Yes,Yes,7,\r\n"
                                   "Ragged,1,,,,,8,,surplus\r\n"
                                   "%1,1,,,,,9,\r\n"
                                   "Long number,1,,,,,1234567890123456789012345678901,\r\n"
                                   "Good two,1,,,,,10,\r\n")
                        .arg(QString(81, u'D'))
                        .toUtf8());
        const ImportPlan plan = Plan(h, path);
        QCOMPARE(plan.rowsRead, qint64(11));
        QCOMPARE(plan.counts.added, qint64(2));
        QCOMPARE(plan.counts.refused, qint64(9));
        QStringList texts;
        for (const RefusedRow& r : plan.refused) texts << r.Text();
        QCOMPARE(
            texts,
            (QStringList{
                QStringLiteral("Line 3, column 2 (Qty): \"abc\" is not a whole number."),
                QStringLiteral("Line 4, column 3 (Issue Date): \"1998-02-31\" is not a date."),
                QStringLiteral("Line 5, column 4 (Price Paid): \"99999999999999999\" is too large an amount."),
                QStringLiteral("Line 6, column 4 (Price Paid): Price Paid times the quantity is too large an amount."),
                QStringLiteral("Line 7, column 1 (Description): the description is empty."),
                QStringLiteral("Line 8: a stamp cannot be for sale and sold at the same time."),
                QStringLiteral("Line 9: the row has 9 fields where the header row has 8."),
                QStringLiteral("Line 10, column 1 (Description): the text is longer than 80 characters."),
                QStringLiteral("Line 11, column 7 (Catalog Num): the text is longer than 30 characters."),
            }));
        // A refused row adds nothing to the lists: Spain is not announced.
        QCOMPARE(plan.newEntries[3], QStringList{QStringLiteral("Italy")});
        const ImportResult result = RunImport(*h.db, plan);
        QCOMPARE(ImportSummary(result.counts),
                 QStringLiteral("2 stamps added, 0 updated, 0 skipped, 9 rows refused; 1 new country"));
        QCOMPARE(
            h.Scalar(QStringLiteral("Select group_concat(descr, '|') from (Select descr from Stamp order by StampID)")),
            QStringLiteral("Good one|Good two"));
        QCOMPARE(h.Scalar(QStringLiteral("Select quantity from Stamp where descr = 'Good two'")), QStringLiteral("1"));
    }

    void cancelLeavesTheCatalogueAsItWas()
    {
        Held h(300, 3);
        const QString path = h.cat.File(QStringLiteral("many.csv"));
        Export(h, QStringLiteral("many.csv"));
        // Each stamp twice over: updated and added, with new list entries.
        QByteArray more = Bytes(path);
        more += QStringLiteral("Brand new stamp,1,,,,,,Atlantis,,,,,,,,,,,,,,,,,,,,,,,,,\r\n").toUtf8();
        Write(path, more);
        h.Close();
        const QByteArray before = Bytes(h.cat.Path());
        h.Open();
        ImportPlan plan = Plan(h, path, [](ImportSettings& s) { s.duplicates = DuplicateChoice::Update; });
        QCOMPARE(plan.counts.updated, qint64(300));
        QCOMPARE(plan.counts.added, qint64(1));
        h.prompts.cancelProgressAt = 150;
        const ImportResult result = RunImport(*h.db, plan);
        QVERIFY(result.cancelled);
        QVERIFY(result.addedIds.empty() && result.updatedIds.empty());
        QCOMPARE(h.prompts.progress.back().title, QStringLiteral("Import from CSV"));
        QVERIFY(h.prompts.progress.back().cancellable);
        QCOMPARE(h.Scalar(QStringLiteral("Select count(*) from country where Coudesc = 'Atlantis'")),
                 QStringLiteral("0"));
        h.Close();
        QVERIFY(Bytes(h.cat.Path()) == before);

        // And the same plan, not cancelled, goes in whole.
        h.Open();
        h.prompts.cancelProgressAt.reset();
        plan = Plan(h, path, [](ImportSettings& s) { s.duplicates = DuplicateChoice::Add; });
        QCOMPARE(RunImport(*h.db, plan).counts.added, qint64(301));
        QCOMPARE(h.Scalar(QStringLiteral("Select count(*) from Stamp")), QStringLiteral("601"));
    }

    void aLargeImportIntoFewStamps()
    {
        // More rows than stamps: the import makes the table's indexes anew after
        // its rows. A cancel leaves them, and everything else, as they were.
        Held source(1200, 9);
        const QString path = Export(source, QStringLiteral("large.csv"));
        Held h(20, 4);
        const QString schema = QStringLiteral(
            "Select group_concat(name || sql, '|') from (Select name, sql from sqlite_master "
            "where type in ('index', 'trigger') order by name)");
        const QString before = h.Scalar(schema);
        h.Close();
        const QByteArray bytes = Bytes(h.cat.Path());
        h.Open();
        const ImportPlan plan = Plan(h, path);
        QCOMPARE(plan.counts.added, qint64(1200));
        h.prompts.cancelProgressAt = 600;
        QVERIFY(RunImport(*h.db, plan).cancelled);
        QCOMPARE(h.Scalar(schema), before);
        h.Close();
        QVERIFY(Bytes(h.cat.Path()) == bytes);
        h.Open();
        h.prompts.cancelProgressAt.reset();
        // Another window's rows still being read do not stand in the way.
        auto reading = h.db->OpenSnapshot(QStringLiteral("Select * from Stamp"));
        QVERIFY(!reading->Eof());
        QCOMPARE(RunImport(*h.db, plan).counts.added, qint64(1200));
        reading->MoveNext();
        QVERIFY(!reading->Eof());
        QCOMPARE(h.Scalar(schema), before);
        QCOMPARE(h.Scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        // The sort orders and finds work on what came in.
        auto rs = h.db->OpenDynaset(QStringLiteral("Select * from stamp order by catsort"));
        QCOMPARE(rs->RecordCount(), 1220);
        rs->FindFirst(QStringLiteral("descr like 'oster*'"));
        QVERIFY(!rs->NoMatch());
    }

    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");  // the file's message, or empty when the file can be read
        QTest::addColumn<QString>("refused");  // the first refused row, or empty
        QTest::addColumn<qint64>("added");
        const QByteArray head = "Description,Notes\r\n";
        QTest::newRow("a quote never closed")
            << head + "a,ok\r\nb,\"never closed\r\nc,lost\r\n"
            << QString()
            << "Line 3, column 2 (Notes): a quote mark opens a field that is never closed; "
               "the rest of the file was read as part of it."
            << qint64(1);
        QTest::newRow("a quote inside a field")
            << head + "a,12\" stamp\r\nb,ok\r\n"
            << QString()
            << "Line 2, column 2 (Notes): a quote mark stands inside a field that is not "
               "quoted as a whole."
            << qint64(1);
        QTest::newRow("fewer fields than the header")
            << head + "a\r\nb,ok\r\n"
            << QString() << "Line 2: the row has 1 fields where the header row has 2." << qint64(1);
        QTest::newRow("more fields, the surplus empty") << head + "a,x,,\r\nb,ok\r\n"
                                                        << QString() << QString() << qint64(2);
        QTest::newRow("empty lines") << head + "\r\na,x\r\n\r\n\r\n,\r\nb,ok\r\n"
                                     << QString() << QString() << qint64(2);
        QTest::newRow("invalid UTF-8 after a byte-order mark")
            << "\xEF\xBB\xBF" + head + "a,\xFF\xFE\r\nb,ok\r\n"
            << QString() << "Line 2, column 2 (Notes): the text is not valid UTF-8; choose the file's encoding."
            << qint64(1);
        QTest::newRow("a NUL far into the file")
            << head + QByteArray("x,").append(QByteArray(70000, 'y')).append("\r\na,b\0c\r\n", 9) << QString()
            << "Line 3, column 2 (Notes): the row holds a NUL character, which no text has." << qint64(1);
        QTest::newRow("a binary file") << QByteArray("PK\x03\x04\x14\0\0\0\x08\0", 10)
                                       << "is not a CSV file: it holds binary data, not text." << QString()
                                       << qint64(0);
        QTest::newRow("an empty file") << QByteArray() << "is empty." << QString() << qint64(0);
        QTest::newRow("a header alone") << head << QString() << QString() << qint64(0);
    }
    void badFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(QString, refused);
        QFETCH(qint64, added);
        Held h;
        const QString path = h.cat.File(QStringLiteral("bad.csv"));
        Write(path, bytes);
        const CsvPreview preview = InspectCsvFile(path);
        if (!message.isEmpty()) {
            QVERIFY(!preview.Ok());
            QCOMPARE(preview.sniff.message, QStringLiteral("The file '%1' ").arg(path) + message);
            return;
        }
        QVERIFY(preview.Ok());
        ImportSettings settings = preview.settings;
        settings.mapping = {Fld::Descr, Fld::Notes};
        const ImportPlan plan = MakeImportPlan(*h.db, path, settings);
        QCOMPARE(plan.refused.empty() ? QString() : plan.refused.front().Text(), refused);
        QCOMPARE(plan.counts.added, added);
        QCOMPARE(plan.CanImport(), added > 0);
        if (added == 0)
            QCOMPARE(plan.Description(10), QStringLiteral("The file holds no rows of stamps."));
        else
            QCOMPARE(RunImport(*h.db, plan).counts.added, added);
    }

    void missingAndUnreadableFiles()
    {
        Held h;
        const QString missing = h.cat.File(QStringLiteral("missing.csv"));
        QCOMPARE(InspectCsvFile(missing).sniff.message, QStringLiteral("The file '%1' cannot be found.").arg(missing));
        ImportSettings settings;
        settings.mapping = {Fld::Descr};
        QCOMPARE(MakeImportPlan(*h.db, missing, settings).problem.left(10), QStringLiteral("The file '"));
        settings.mapping = {Fld::Descr, Fld::Descr};
        QCOMPARE(MakeImportPlan(*h.db, missing, settings).problem,
                 QStringLiteral("Two columns are given the field Description: choose one of them."));
    }

    void aHundredMegabyteField()
    {
        // Written a megabyte at a time; the reader keeps a bounded part of it.
        Held h;
        const QString path = h.cat.File(QStringLiteral("huge.csv"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Description,Notes\r\nfirst,\"");
            const QByteArray megabyte(1 << 20, 'x');
            for (int i = 0; i < 100; ++i) QCOMPARE(file.write(megabyte), qint64(megabyte.size()));
            file.write("\"\r\nsecond,fine\r\n");
        }
        const CsvPreview preview = InspectCsvFile(path);
        QVERIFY(preview.Ok());
        QCOMPARE(preview.records.size(), size_t(2));
        QCOMPARE(preview.records.front().fields.at(1).size(), CsvReader::kMaxFieldChars);
        const ImportPlan plan = MakeImportPlan(*h.db, path, preview.settings);
        QCOMPARE(plan.counts.refused, qint64(1));
        QCOMPARE(plan.refused.front().Text(),
                 QStringLiteral("Line 2, column 2 (Notes): the field holds more than 1,000,000 characters."));
        QCOMPARE(plan.counts.added, qint64(1));
    }

    void exportFromTheMenu()
    {
        Held h(25);
        const QString path = h.cat.File(QStringLiteral("Stamps.csv"));
        Write(path, "old");
        // Replacing an existing file is asked first; No leaves it.
        h.prompts.saveFiles = {path, path};
        h.prompts.answers = {MsgAnswer::No, MsgAnswer::Yes};
        ExportToCsv(*h.db, 2);
        QCOMPARE(Bytes(path), QByteArray("old"));
        QCOMPARE(h.prompts.messages.back().title, QStringLiteral("File Exists"));
        ExportToCsv(*h.db, 2);
        QCOMPARE(h.prompts.saveRequests.back().defaultName, QStringLiteral("Stamps.csv"));
        QCOMPARE(h.prompts.saveRequests.back().filter, QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*"));
        QCOMPARE(h.prompts.LastText(), QStringLiteral("25 stamps were written to '%1'.").arg(path));
        QCOMPARE(h.prompts.messages.back().title, QStringLiteral("Export to CSV"));
        QCOMPARE(Lines(path).size(), 27);  // the header, 25 stamps and the empty text after the last line end
        // Cancel in the Save dialog does nothing.
        h.prompts.Clear();
        ExportToCsv(*h.db, 1);
        QVERIFY(h.prompts.messages.empty());
        // A file that cannot be written is told, as a report file is.
        h.prompts.saveFiles = {h.cat.File(QStringLiteral("no/such/folder/x.csv"))};
        ExportToCsv(*h.db, 1);
        QVERIFY2(h.prompts.LastText().startsWith(QStringLiteral("75  Could not write the file '")),
                 qPrintable(h.prompts.LastText()));
        QVERIFY(!h.prompts.endedWith);
    }

    void commandLine()
    {
        Held demo(60, 5);
        demo.Close();
        const auto run = [](const QStringList& args, QString* out = nullptr, QString* err = nullptr) {
            QProcess tool;
            tool.start(QStringLiteral(CATALOGUE_TOOL), args);
            tool.waitForFinished(60000);
            if (out) *out = QString::fromUtf8(tool.readAllStandardOutput());
            if (err) *err = QString::fromUtf8(tool.readAllStandardError());
            return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
        };
        const QString first = demo.cat.File(QStringLiteral("first.csv"));
        QString out, err;
        QCOMPARE(run({QStringLiteral("export"), demo.cat.Path(), first}, &out), 0);
        QCOMPARE(out, QStringLiteral("60 stamps written to %1\n").arg(first));

        Held empty;
        empty.Close();
        QCOMPARE(run({QStringLiteral("import"), empty.cat.Path(), first, QStringLiteral("--dry-run")}, &out), 0);
        QVERIFY2(out.startsWith(QStringLiteral(
                     "dry run, nothing written: 60 stamps added, 0 updated, 0 skipped, 0 rows refused; ")),
                 qPrintable(out));
        QCOMPARE(run({QStringLiteral("import"), empty.cat.Path(), first}, &out), 0);
        QVERIFY(out.startsWith(QStringLiteral("60 stamps added, 0 updated, 0 skipped, 0 rows refused; ")));
        const QString second = empty.cat.File(QStringLiteral("second.csv"));
        QCOMPARE(run({QStringLiteral("export"), empty.cat.Path(), second}), 0);
        QCOMPARE(Bytes(second), Bytes(first));
        // Again: every row is there already.
        QCOMPARE(run({QStringLiteral("import"), empty.cat.Path(), first}, &out), 0);
        QCOMPARE(out, QStringLiteral("0 stamps added, 0 updated, 60 skipped, 0 rows refused\n"));

        // A German file with a column mapped by hand and the conventions given.
        const QString german = empty.cat.File(QStringLiteral("de.csv"));
        Write(german, "Bezeichnung;Wert;Datum\r\nA;1,50;02.03.1999\r\nB;x;01.01.2000\r\n");
        QCOMPARE(run({QStringLiteral("import"), empty.cat.Path(), german, QStringLiteral("--map"),
                      QStringLiteral("Bezeichnung=Description,Wert=catvalue"), QStringLiteral("--map"),
                      QStringLiteral("3=Issue Date"), QStringLiteral("--decimal-comma"), QStringLiteral("--date-order"),
                      QStringLiteral("dmy"), QStringLiteral("--duplicates"), QStringLiteral("add")},
                     &out),
                 0);
        QCOMPARE(out, QStringLiteral("refused: Line 3, column 2 (Wert): \"x\" is not an amount.\n"
                                     "1 stamp added, 0 updated, 0 skipped, 1 row refused\n"));
        empty.Open();
        QCOMPARE(empty.Scalar(QStringLiteral("Select catvalue || '|' || issued from Stamp where descr = 'A'")),
                 QStringLiteral("1.5|1999-03-02"));
        // Held by the program: refused, with the catalogue's own message.
        QCOMPARE(run({QStringLiteral("import"), empty.cat.Path(), first}, &out, &err), 1);
        QCOMPARE(
            err,
            QStringLiteral("tessarine-catalogue: Could not use '%1'; file already in use.\n").arg(empty.cat.Path()));
        QCOMPARE(run({QStringLiteral("export"), empty.cat.Path(), second}, &out, &err), 1);
        empty.Close();

        // Nothing that can be imported, a file that is not there, a wrong option.
        const QString refusedOnly = empty.cat.File(QStringLiteral("refused.csv"));
        Write(refusedOnly, "Description,Quantity\r\nA,many\r\n");
        QCOMPARE(run({QStringLiteral("import"), empty.cat.Path(), refusedOnly}, &out), 1);
        QCOMPARE(out, QStringLiteral("refused: Line 2, column 2 (Quantity): \"many\" is not a whole number.\n"
                                     "0 stamps added, 0 updated, 0 skipped, 1 row refused\n"));
        QCOMPARE(
            run({QStringLiteral("import"), empty.cat.Path(), empty.cat.File(QStringLiteral("none.csv"))}, &out, &err),
            1);
        QVERIFY(err.contains(QStringLiteral("cannot be found")));
        QCOMPARE(run({QStringLiteral("import"), empty.cat.Path(), first, QStringLiteral("--duplicates"),
                      QStringLiteral("merge")}),
                 2);
        QCOMPARE(run({QStringLiteral("import"), empty.cat.Path(), first, QStringLiteral("--map"),
                      QStringLiteral("Nope=descr")},
                     nullptr, &err),
                 2);
        QVERIFY(err.contains(QStringLiteral("the file has no column headed 'Nope'")));
        QCOMPARE(run({QStringLiteral("import"), empty.cat.Path(), first, QStringLiteral("--map"),
                      QStringLiteral("Description=colour of the sky")}),
                 2);
    }
};

QTEST_GUILESS_MAIN(TestCsvImport)
#include "tst_csvimport.moc"
