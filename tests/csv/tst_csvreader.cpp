// Reading CSV files: records and fields with every quoting and line end, the
// faults that refuse a record, characters split between two reads, the bounds
// on what a record keeps; telling a file's encoding, separator and header; and
// writing fields and files as spreadsheets read them.

#include "csv/CsvReader.h"
#include "csv/CsvSniff.h"
#include "csv/CsvWriter.h"
#include "csv/StampFields.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(CsvEncoding)
Q_DECLARE_METATYPE(CsvFault)
Q_DECLARE_METATYPE(CsvSniff::Problem)

namespace {

std::vector<CsvRecord> ReadAll(const QByteArray& bytes, CsvEncoding encoding, QChar separator, qint64 chunk = 1 << 16)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, encoding, separator, chunk);
    std::vector<CsvRecord> records;
    CsvRecord record;
    while (reader.Next(record)) records.push_back(record);
    return records;
}

// "line:field|field/line:field" for comparing records at a glance.
QString Shape(const std::vector<CsvRecord>& records)
{
    QStringList out;
    for (const CsvRecord& r : records) out << QString::number(r.line) + u':' + r.fields.join(u'|');
    return out.join(u'/');
}

QString Faults(const std::vector<CsvRecord>& records)
{
    QStringList out;
    for (const CsvRecord& r : records)
        if (r.fault != CsvFault::None)
            out << QStringLiteral("%1:%2@%3").arg(r.line).arg(int(r.fault)).arg(r.faultColumn);
    return out.join(u' ');
}

QByteArray Utf16(const QString& text, bool bigEndian)
{
    QByteArray out = bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
    for (const QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out += bigEndian ? QByteArray() + hi + lo : QByteArray() + lo + hi;
    }
    return out;
}

}  // namespace

class TestCsvReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void records_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("faults");
        const QString f = QString();
        QTest::newRow("CR LF") << QByteArray("a,b,c\r\nd,e,f\r\n") << ","
                               << "1:a|b|c/2:d|e|f" << f;
        QTest::newRow("LF and a lone CR") << QByteArray("a,b\nc,d\re,f") << ","
                                          << "1:a|b/2:c|d/3:e|f" << f;
        QTest::newRow("quoted comma and doubled quotes") << QByteArray("\"a,b\",\"say \"\"hi\"\"\"\r\n") << ","
                                                         << "1:a,b|say \"hi\"" << f;
        QTest::newRow("quoted line breaks count as lines") << QByteArray("\"one\r\ntwo\",x\r\n\"3\n4\",y\r\nz,w") << ","
                                                           << "1:one\r\ntwo|x/3:3\n4|y/5:z|w" << f;
        QTest::newRow("empty lines passed over") << QByteArray("a\r\n\r\n\nb\r\n") << ","
                                                 << "1:a/4:b" << f;
        QTest::newRow("empty fields") << QByteArray(",,\r\n\"\",x,\r\n") << ","
                                      << "1:||/2:|x|" << f;
        QTest::newRow("no line end at the end") << QByteArray("a,b") << ","
                                                << "1:a|b" << f;
        QTest::newRow("semicolons keep commas") << QByteArray("a;1,5;\"x;y\"\r\n") << ";"
                                                << "1:a|1,5|x;y" << f;
        QTest::newRow("tabs") << QByteArray("a\tb c\t\r\n") << "\t"
                              << "1:a|b c|" << f;
        QTest::newRow("byte-order mark passed over") << QByteArray(
                                                            "\xEF\xBB\xBF"
                                                            "a,b\r\n")
                                                     << ","
                                                     << "1:a|b" << f;
        QTest::newRow("UTF-8 letters and a character beyond 16 bits")
            << QByteArray("\xC3\x96sterreich,\xE2\x82\xAC,\xF0\x9D\x84\x9E") << ","
            << "1:\u00D6sterreich|\u20AC|\U0001D11E" << f;
        QTest::newRow("quote never closed") << QByteArray("a,\"bc\r\nd,e\r\n") << ","
                                            << "1:a|bc\r\nd,e\r\n"
                                            << QStringLiteral("1:%1@2").arg(int(CsvFault::UnclosedQuote));
        QTest::newRow("quote inside an unquoted field")
            << QByteArray("ab\"c,d\r\ne,f") << ","
            << "1:ab\"c|d/2:e|f" << QStringLiteral("1:%1@1").arg(int(CsvFault::StrayQuote));
        QTest::newRow("text after a closing quote")
            << QByteArray("\"ab\"c,d") << ","
            << "1:abc|d" << QStringLiteral("1:%1@1").arg(int(CsvFault::StrayQuote));
        QTest::newRow("invalid UTF-8 refuses its record only")
            << QByteArray("a,\xFF\xC3x\r\nc,d") << ","
            << "1:a|\uFFFD\uFFFDx/2:c|d" << QStringLiteral("1:%1@2").arg(int(CsvFault::InvalidText));
        QTest::newRow("an overlong form is invalid")
            << QByteArray("\xC0\xAF") << ","
            << "1:\uFFFD\uFFFD" << QStringLiteral("1:%1@1").arg(int(CsvFault::InvalidText));
        QTest::newRow("a NUL character") << QByteArray("a,b\0c\r\nd", 8) << ","
                                         << "1:a|bc/2:d" << QStringLiteral("1:%1@2").arg(int(CsvFault::NulCharacter));
        QTest::newRow("a character cut off by the end")
            << QByteArray("a,\xE2\x82") << ","
            << "1:a|\uFFFD\uFFFD" << QStringLiteral("1:%1@2").arg(int(CsvFault::InvalidText));
    }
    void records()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, separator);
        QFETCH(QString, shape);
        QFETCH(QString, faults);
        // Every read size gives the same records: characters and line ends split
        // between two reads are joined again.
        for (const qint64 chunk : {qint64(1), qint64(2), qint64(3), qint64(1 << 16)}) {
            const auto records = ReadAll(bytes, CsvEncoding::Utf8, separator.at(0), chunk);
            QCOMPARE(Shape(records), shape);
            QCOMPARE(Faults(records), faults);
        }
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<CsvEncoding>("encoding");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<bool>("invalid");
        const QString text = QStringLiteral("Caf\u00E9,\u20AC 5\r\n\U0001D11E,x");
        QTest::newRow("UTF-16 little-endian")
            << Utf16(text, false) << CsvEncoding::Utf16LE << "1:Caf\u00E9|\u20AC 5/2:\U0001D11E|x" << false;
        QTest::newRow("UTF-16 big-endian")
            << Utf16(text, true) << CsvEncoding::Utf16BE << "1:Caf\u00E9|\u20AC 5/2:\U0001D11E|x" << false;
        QTest::newRow("UTF-16, a low surrogate alone") << QByteArray(
                                                              "\xFF\xFE"
                                                              "a\0,\0\x00\xDC",
                                                              8)
                                                       << CsvEncoding::Utf16LE << "1:a|\uFFFD" << true;
        QTest::newRow("UTF-16, an odd byte at the end") << QByteArray(
                                                               "\xFF\xFE"
                                                               "a\0"
                                                               "b",
                                                               5)
                                                        << CsvEncoding::Utf16LE << "1:a\uFFFD" << true;
        QTest::newRow("Windows-1252") << QByteArray("Caf\xE9,\x80 5,\x93q\x94,\x81") << CsvEncoding::Windows1252
                                      << "1:Caf\u00E9|\u20AC 5|\u201Cq\u201D|\u0081" << false;
    }
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(CsvEncoding, encoding);
        QFETCH(QString, shape);
        QFETCH(bool, invalid);
        for (const qint64 chunk : {qint64(1), qint64(3), qint64(1 << 16)}) {
            const auto records = ReadAll(bytes, encoding, u',', chunk);
            QCOMPARE(Shape(records), shape);
            QCOMPARE(!Faults(records).isEmpty(), invalid);
        }
    }

    void boundsOfARecord()
    {
        // A field beyond the limit is cut and refused; the file goes on.
        QByteArray bytes = "a,\"" + QByteArray(CsvReader::kMaxFieldChars + 10, 'x') + "\",b\r\nc,d\r\n";
        auto records = ReadAll(bytes, CsvEncoding::Utf8, u',');
        QCOMPARE(records.size(), size_t(2));
        QCOMPARE(records[0].fault, CsvFault::FieldTooLong);
        QCOMPARE(records[0].faultColumn, 2);
        QCOMPARE(records[0].fields.at(1).size(), CsvReader::kMaxFieldChars);
        QCOMPARE(records[0].fields.at(2), QStringLiteral("b"));
        QCOMPARE(Shape({records[1]}), QStringLiteral("2:c|d"));

        // Many fields: the first are kept, the others counted.
        QByteArrayList wide(CsvReader::kMaxFields, "v");
        wide << ""
             << "x"
             << ""
             << "x"
             << "";
        records = ReadAll(wide.join(',') + "\r\nz", CsvEncoding::Utf8, u',');
        QCOMPARE(records[0].fields.size(), CsvReader::kMaxFields);
        QCOMPARE(records[0].FieldCount(), CsvReader::kMaxFields + 5);
        QCOMPARE(records[0].nonEmptyExtra, 2);
        QCOMPARE(records[1].fields, QStringList{QStringLiteral("z")});

        // Many long fields: the record as a whole is bounded too.
        QByteArray heavy;
        for (int i = 0; i < 3; ++i) heavy += QByteArray(900'000, 'y') + ',';
        records = ReadAll(heavy, CsvEncoding::Utf8, u',');
        QCOMPARE(records[0].fault, CsvFault::RecordTooLong);
        qsizetype kept = 0;
        for (const QString& field : records[0].fields) kept += field.size();
        QCOMPARE(kept, CsvReader::kMaxRecordChars);
    }

    void blankRecords()
    {
        const auto records = ReadAll(",, ,\r\n\"\",\" \"\r\na,", CsvEncoding::Utf8, u',');
        QCOMPARE(records.size(), size_t(3));
        QVERIFY(records[0].IsBlank());
        QVERIFY(records[1].IsBlank());
        QVERIFY(!records[2].IsBlank());
    }

    void sniff_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<CsvSniff::Problem>("problem");
        QTest::addColumn<CsvEncoding>("encoding");
        QTest::addColumn<bool>("bom");
        QTest::addColumn<QString>("separator");
        using P = CsvSniff::Problem;
        QTest::newRow("plain UTF-8") << QByteArray("a,b\r\n\xC3\xA9,2\r\n") << P::None << CsvEncoding::Utf8 << false
                                     << ",";
        QTest::newRow("UTF-8 with its mark") << QByteArray(
                                                    "\xEF\xBB\xBF"
                                                    "a;b\r\n1;2")
                                             << P::None << CsvEncoding::Utf8 << true << ";";
        QTest::newRow("UTF-16 with its mark")
            << Utf16(QStringLiteral("a\tb\r\n1\t2\r\n"), false) << P::None << CsvEncoding::Utf16LE << true << "\t";
        QTest::newRow("UTF-16 big-endian")
            << Utf16(QStringLiteral("a;b\r\n1;2\r\n"), true) << P::None << CsvEncoding::Utf16BE << true << ";";
        QTest::newRow("Latin letters of Windows")
            << QByteArray("Caf\xE9;Th\xE9\r\n1;2") << P::None << CsvEncoding::Windows1252 << false << ";";
        // Not UTF-8 only far into the file: the whole file decides.
        QTest::newRow("a Windows letter after 100,000 bytes")
            << QByteArray(100000, 'a').append(",b\r\nx\xE9,y") << P::None << CsvEncoding::Windows1252 << false << ",";
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << P::Binary << CsvEncoding::Utf8
                                << false << ",";
        QTest::newRow("empty") << QByteArray() << P::Empty << CsvEncoding::Utf8 << false << ",";
        QTest::newRow("blank lines only") << QByteArray("\r\n  \r\n") << P::Empty << CsvEncoding::Utf8 << false << ",";
        QTest::newRow("a byte-order mark alone")
            << QByteArray("\xEF\xBB\xBF") << P::Empty << CsvEncoding::Utf8 << true << ",";
    }
    void sniff()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(CsvSniff::Problem, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const CsvSniff s = SniffCsvFile(path);
        QCOMPARE(s.problem, problem);
        QCOMPARE(s.message.isEmpty(), problem == CsvSniff::Problem::None);
        if (problem != CsvSniff::Problem::None) {
            QVERIFY2(s.message.contains(path), qPrintable(s.message));
            if (problem != CsvSniff::Problem::Empty) return;
        }
        QTEST(s.encoding, "encoding");
        QTEST(s.byteOrderMark, "bom");
        if (problem == CsvSniff::Problem::None) {
            QFETCH(QString, separator);
            QCOMPARE(QString(s.separator), separator);
        }
    }

    void missingAndUnreadable()
    {
        QTemporaryDir dir;
        const CsvSniff missing = SniffCsvFile(dir.filePath(QStringLiteral("nothing.csv")));
        QCOMPARE(missing.problem, CsvSniff::Problem::Missing);
        QCOMPARE(missing.message,
                 QStringLiteral("The file '%1' cannot be found.").arg(dir.filePath(QStringLiteral("nothing.csv"))));
        const CsvSniff folder = SniffCsvFile(dir.path());
        QCOMPARE(folder.problem, CsvSniff::Problem::Unreadable);
        QCOMPARE(folder.message, QStringLiteral("The file '%1' cannot be read: it is a folder.").arg(dir.path()));
    }

    void separators_data()
    {
        QTest::addColumn<QString>("head");
        QTest::addColumn<QString>("separator");
        QTest::newRow("semicolons and decimal commas") << "Name;Preis;Menge\nA;1,50;2\nB;2,75;1\n"
                                                       << ";";
        QTest::newRow("commas") << "Name,Price\nA,1.50\nB,2.75\n"
                                << ",";
        QTest::newRow("tabs with commas in the text") << "Name\tNotes\nA\tone, two\nB\tthree, four\n"
                                                      << "\t";
        QTest::newRow("quoted semicolons in a comma file") << "\"a;b\",c\n\"d;e\",f\n\"g;h\",i\n"
                                                           << ",";
        QTest::newRow("one column") << "Name\nA\nB\n"
                                    << ",";
        QTest::newRow("a last line cut short does not count") << "a;b;c\n1;2;3\n4;5;6\n7,8,9,1"
                                                              << ";";
    }
    void separators()
    {
        QFETCH(QString, head);
        QTEST(QString(DetectSeparator(head)), "separator");
    }

    void headers_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("header");
        QTest::newRow("our captions") << "Description,Catalog Num,Face Value"
                                      << "Penny Black,1,0.01" << true;
        QTest::newRow("another program's") << "Name,Country,Catalog Codes"
                                           << "Penny Black,Great Britain,Sg:GB 1" << true;
        QTest::newRow("one known heading of two") << "Stamp,Price"
                                                  << "Penny Black,1.50" << true;
        QTest::newRow("words above numbers") << "Thing,Amount"
                                             << "Penny Black,1.50" << true;
        QTest::newRow("a stamp") << "Penny Black,Great Britain,1.50"
                                 << "Inverted Jenny,United States,2" << false;
        QTest::newRow("numbers on top") << "Penny Black,1840"
                                        << "Inverted Jenny,1918" << false;
    }
    void headers()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        const std::vector<QStringList> following(3, second.split(u','));
        QTEST(LooksLikeHeader(first.split(u','), following), "header");
    }

    void quotingOfFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "Penny Black"
                               << "Penny Black";
        QTest::newRow("a comma") << "a,b"
                                 << "\"a,b\"";
        QTest::newRow("quotes doubled") << "say \"hi\""
                                        << "\"say \"\"hi\"\"\"";
        QTest::newRow("a line break") << "one\ntwo"
                                      << "\"one\ntwo\"";
        QTest::newRow("a carriage return") << "one\rtwo"
                                           << "\"one\rtwo\"";
        QTest::newRow("blanks and semicolons stay plain") << " a;b "
                                                          << " a;b ";
        QTest::newRow("empty") << ""
                               << "";
    }
    void quotingOfFields()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QCOMPARE(CsvField(text), field);
        // And it reads back as it was.
        const auto records = ReadAll((field + QStringLiteral(",x")).toUtf8(), CsvEncoding::Utf8, u',');
        QCOMPARE(records.front().fields.front(), text);
    }

    void writerReplacesOnlyAWholeFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        {
            CsvWriter writer(path);
            QVERIFY(writer.Open());
            QVERIFY(writer.WriteRecord({QStringLiteral("a"), QStringLiteral("b,c")}));
            QVERIFY(writer.WriteRecord({QStringLiteral("\u00E9")}));
            QVERIFY(writer.Commit());
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBF"
                                            "a,\"b,c\"\r\n\xC3\xA9\r\n"));
        file.close();
        {
            // A writer that stops half-way leaves the old file.
            CsvWriter writer(path);
            QVERIFY(writer.Open());
            writer.WriteRecord({QStringLiteral("new")});
            writer.Discard();
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().mid(3, 1), QByteArray("a"));
        file.close();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.csv")});

        CsvWriter nowhere(dir.filePath(QStringLiteral("no/such/folder/out.csv")));
        QVERIFY(!nowhere.Open());
        QVERIFY(!nowhere.Error().isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestCsvReader)
#include "tst_csvreader.moc"
