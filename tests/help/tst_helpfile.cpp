#include "help/HelpFile.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

HelpFile Parsed(const QByteArray& text)
{
    HelpFile file;
    file.Parse(text);
    return file;
}

QStringList Texts(const HelpFile& file, const QList<int>& keywords)
{
    QStringList texts;
    for (const int k : keywords) texts.append(file.Keywords().at(k).text);
    return texts;
}

const QByteArray kDates =
    "=== 56 | Backing up the catalogue | backup; drive; copy\n"
    "Copy it.\n"
    "=== 40 | Issue Date | dates; calendar; issue date\n"
    "The day of issue.\n"
    "=== 41 | Purchase Date | Dates; purchase date\n"
    "When you bought it.\n"
    "=== 42 | Date Sold | dates; sold date\n"
    "When you sold it.\n";

// Every structure the reader hands out must hold together, whatever it read.
void CheckConsistent(const HelpFile& file)
{
    const QList<HelpTopic>& topics = file.Topics();
    for (int t = 0; t < topics.size(); ++t) {
        const HelpTopic& topic = topics.at(t);
        QVERIFY(!topic.title.isEmpty());
        QVERIFY(!topic.contexts.isEmpty() || !topic.names.isEmpty());
        for (const int context : topic.contexts) QCOMPARE(file.IndexOfContext(context), t);
        for (const QString& name : topic.names) QCOMPARE(file.IndexOfName(name), t);
        QVERIFY(file.Markdown(t).contains(topic.title));
    }
    for (const HelpKeyword& keyword : file.Keywords()) {
        QVERIFY(!keyword.topics.isEmpty());
        for (const int t : keyword.topics) QVERIFY(t >= 0 && t < topics.size());
    }
    QVERIFY(file.Markdown(-1).isEmpty());
    QVERIFY(file.Markdown(static_cast<int>(topics.size())).isEmpty());
    const int contents = file.ContentsIndex();
    QVERIFY(topics.isEmpty() ? contents == -1 : (contents >= 0 && contents < topics.size()));
}

}  // namespace

class TestHelpFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void headers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("title");  // empty: no such topic
        QTest::addColumn<int>("topics");
        QTest::addColumn<int>("problems");

        QTest::newRow("one number") << QByteArray("=== 21 | Description | a; b\nbody\n") << "21"
                                    << "Description" << 1 << 0;
        QTest::newRow("several numbers") << QByteArray("=== 43, 44 | Prices | x\nb\n") << "44"
                                         << "Prices" << 1 << 0;
        QTest::newRow("name") << QByteArray("=== contents | Contents |\n") << "contents"
                              << "Contents" << 1 << 0;
        QTest::newRow("name in any case") << QByteArray("=== Using-Help | Using Help\n") << "USING-help"
                                          << "Using Help" << 1 << 0;
        QTest::newRow("numbers and names") << QByteArray("=== 7, main | Main window\n") << "main"
                                           << "Main window" << 1 << 0;
        QTest::newRow("blanks are loose") << QByteArray("===   7 ,8|  Main   window |k\n") << "8"
                                          << "Main window" << 1 << 0;
        QTest::newRow("leading zeros") << QByteArray("=== 007 | Seven\n") << "7"
                                       << "Seven" << 1 << 0;
        QTest::newRow("preamble") << QByteArray("About this file\n| not a header\n===\n=== 7 | Main |\n") << "7"
                                  << "Main" << 1 << 0;
        QTest::newRow("CR LF") << QByteArray("=== 7 | Main | k\r\nline\r\n") << "7"
                               << "Main" << 1 << 0;
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF=== 7 | Main\n") << "7"
                                         << "Main" << 1 << 0;
        QTest::newRow("zero is no context") << QByteArray("=== 0 | Zero |\n=== 8 | Good |\n") << "8"
                                            << "Good" << 1 << 1;
        QTest::newRow("too big") << QByteArray("=== 99999999999 | Big |\n") << "99999999999"
                                 << "" << 0 << 1;
        QTest::newRow("negative") << QByteArray("=== -3 | Minus |\n") << "-3"
                                  << "" << 0 << 1;
        QTest::newRow("bad name") << QByteArray("=== a_b | Underscore |\n") << "a_b"
                                  << "" << 0 << 1;
        QTest::newRow("no ids") << QByteArray("=== | No ids |\n") << ""
                                << "" << 0 << 1;
        QTest::newRow("empty id in list") << QByteArray("=== 7,,8 | Gap |\n") << "7"
                                          << "" << 0 << 1;
        QTest::newRow("no title") << QByteArray("=== 7 |  | k\n") << "7"
                                  << "" << 0 << 1;
        QTest::newRow("id twice") << QByteArray("=== 7 | First |\n=== 7 | Second |\n") << "7"
                                  << "First" << 1 << 1;
        QTest::newRow("one id of two taken") << QByteArray("=== 7 | First |\n=== 7, 8 | Second |\n") << "8"
                                             << "Second" << 2 << 1;
        QTest::newRow("same number twice in a header") << QByteArray("=== 7, 07 | Seven |\n") << "7"
                                                       << "Seven" << 1 << 1;
        QTest::newRow("name twice, other case") << QByteArray("=== dates | A |\n=== DATES | B |\n") << "dates"
                                                << "A" << 1 << 1;
        QTest::newRow("empty file") << QByteArray() << "7"
                                    << "" << 0 << 0;
    }

    void headers()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, id);
        QFETCH(QString, title);
        QFETCH(int, topics);
        QFETCH(int, problems);

        const HelpFile file = Parsed(text);
        QCOMPARE(file.Topics().size(), topics);
        QCOMPARE(file.Problems().size(), problems);
        const int index = file.IndexOfId(id);
        if (title.isEmpty()) {
            QCOMPARE(index, -1);
        } else {
            QVERIFY(index >= 0);
            QCOMPARE(file.Topics().at(index).title, title);
        }
        CheckConsistent(file);
    }

    void bodies_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("body");

        QTest::newRow("blank lines around are dropped") << QByteArray("=== 7 | A\n\n\nline one\n\nline two\n\n") << "7"
                                                        << "line one\n\nline two";
        QTest::newRow("heading underline stays in the body")
            << QByteArray("=== 7 | A\nHeading\n===\ntext\n=== 8 | B\n") << "7"
            << "Heading\n===\ntext";
        QTest::newRow("a bad header keeps its body to itself")
            << QByteArray("=== 7 | A |\nbody a\n=== x_y | B |\nbody b\n") << "7"
            << "body a";
        QTest::newRow("bars in the body are text") << QByteArray("=== 7 | A\n| a | b |\n|---|---|\n") << "7"
                                                   << "| a | b |\n|---|---|";
        QTest::newRow("invalid UTF-8 is replaced")
            << QByteArray("=== 7 | A\nx\xFFy\n") << "7" << QStringLiteral("x\uFFFDy");
        QTest::newRow("no body") << QByteArray("=== 7 | A\n=== 8 | B\n") << "7"
                                 << "";
    }

    void bodies()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, id);
        QFETCH(QString, body);
        const HelpFile file = Parsed(text);
        const int index = file.IndexOfId(id);
        QVERIFY(index >= 0);
        QCOMPARE(file.Topics().at(index).body, body);
    }

    void keywordsOfATopic()
    {
        const HelpFile file = Parsed("=== 7 | Main | stamps; ; Stamps ;  record   editor ;a|b\n");
        QCOMPARE(file.Topics().at(0).keywords, QStringList({"stamps", "record editor", "a|b"}));
        // The title is in the index too, once.
        QCOMPARE(Texts(file, file.Search("")), QStringList({"a|b", "Main", "record editor", "stamps"}));
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");

        QTest::newRow("prefix") << "back" << QStringList{"Backing up the catalogue", "backup"};
        QTest::newRow("any case, starts before inside")
            << "DATE" << QStringList{"Date Sold", "dates", "Issue Date", "Purchase Date", "sold date"};
        QTest::newRow("inside a word") << "opy" << QStringList{"copy"};
        QTest::newRow("words in another order") << "date issue" << QStringList{"Issue Date"};
        QTest::newRow("blanks around") << "  calendar " << QStringList{"calendar"};
        QTest::newRow("nothing") << "zzz" << QStringList{};
    }

    void search()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        const HelpFile file = Parsed(kDates);
        QCOMPARE(Texts(file, file.Search(text)), found);
    }

    void keywordLeadsToEveryTopicCarryingIt()
    {
        const HelpFile file = Parsed(kDates);
        const QList<int> hits = file.Search("dates");
        QCOMPARE(hits.size(), 1);
        QStringList titles;
        for (const int t : file.Keywords().at(hits.front()).topics) titles.append(file.Topics().at(t).title);
        QCOMPARE(titles, QStringList({"Issue Date", "Purchase Date", "Date Sold"}));
        // Every keyword and title is in the list shown for an empty search.
        QCOMPARE(file.Search("").size(), file.Keywords().size());
    }

    void links_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("title");

        QTest::newRow("number") << "help:41"
                                << "Purchase Date";
        QTest::newRow("name") << "help:contents"
                              << "Contents";
        QTest::newRow("name in another case") << "help:Contents"
                                              << "Contents";
        QTest::newRow("unknown number") << "help:99"
                                        << "";
        QTest::newRow("unknown name") << "help:nowhere"
                                      << "";
        QTest::newRow("web address") << "https://example.org/41"
                                     << "";
        QTest::newRow("empty") << "help:"
                               << "";
    }

    void links()
    {
        QFETCH(QString, url);
        QFETCH(QString, title);
        const HelpFile file = Parsed(kDates + "=== contents | Contents\n[Issue Date](help:40)\n");
        const int index = file.IndexOfLink(QUrl(url));
        QCOMPARE(index >= 0 ? file.Topics().at(index).title : QString(), title);
    }

    void contentsAndUsingHelp()
    {
        const HelpFile plain = Parsed(kDates);
        QCOMPARE(plain.ContentsIndex(), 0);
        QCOMPARE(plain.UsingHelpIndex(), -1);
        const HelpFile named = Parsed(kDates + "=== using-help | Using Help\n=== contents | Contents\n");
        QCOMPARE(named.Topics().at(named.ContentsIndex()).title, QString("Contents"));
        QCOMPARE(named.Topics().at(named.UsingHelpIndex()).title, QString("Using Help"));
        QCOMPARE(Parsed("").ContentsIndex(), -1);
    }

    void markdownHasTitleThenBody()
    {
        const HelpFile file = Parsed("=== 7 | Main window\nText with [a link](help:8).\n");
        QCOMPARE(file.Markdown(0), QString("# Main window\n\nText with [a link](help:8).\n"));
    }

    void load_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("ok");
        QTest::newRow("good file") << "good" << true;
        QTest::newRow("missing file") << "missing" << false;
        QTest::newRow("a folder") << "folder" << false;
        QTest::newRow("no topics") << "empty" << false;
        QTest::newRow("too large") << "huge" << false;
    }

    void load()
    {
        QFETCH(QString, kind);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        const QString path = dir.filePath("stamp.hlp");
        if (kind == "good" || kind == "empty" || kind == "huge") {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(kind == "good" ? kDates : QByteArray("just text\n"));
            out.close();
            if (kind == "huge") QVERIFY(::truncate(QFile::encodeName(path).constData(), HelpFile::kMaxBytes + 1) == 0);
        } else if (kind == "folder") {
            QVERIFY(QDir().mkdir(path));
        }

        HelpFile file;
        file.Parse(kDates);  // a failed load must not leave the old topics behind
        QString error = "unset";
        QCOMPARE(file.Load(path, &error), ok);
        if (ok) {
            QVERIFY(error.isEmpty());
            QCOMPARE(file.Topics().size(), 4);
        } else {
            QVERIFY(!error.isEmpty() && error != "unset");
            QVERIFY(file.IsEmpty());
            QVERIFY(file.Keywords().isEmpty());
        }
    }

    // Random and mangled files: the reader must neither crash nor hand out
    // anything inconsistent.
    void neverFailsOnGarbage()
    {
        QRandomGenerator random(20240607);
        const QByteArray pieces[] = {"===",
                                     "|",
                                     ",",
                                     ";",
                                     "\n",
                                     "\r\n",
                                     "7",
                                     "21",
                                     "0",
                                     "-",
                                     "contents",
                                     "help:",
                                     "\xFF",
                                     "\xC3",
                                     "\xEF\xBB\xBF",
                                     QByteArray(1, '\0'),
                                     " ",
                                     "#",
                                     "99999999999",
                                     "[x](help:7)",
                                     "=== 7 | T | k\n",
                                     "=== a, 1 | |\n"};
        for (int round = 0; round < 3000; ++round) {
            QByteArray text;
            if (round % 3 == 0) {
                const int length = random.bounded(2048);
                text.resize(length);
                for (int i = 0; i < length; ++i) text[i] = char(random.bounded(256));
            } else {
                text = kDates;
                const int edits = 1 + random.bounded(12);
                for (int e = 0; e < edits; ++e) {
                    const int at = random.bounded(int(text.size()) + 1);
                    if (random.bounded(3) == 0 && !text.isEmpty())
                        text.remove(at, random.bounded(16));
                    else
                        text.insert(at, pieces[random.bounded(int(std::size(pieces)))]);
                }
            }
            const HelpFile file = Parsed(text);
            CheckConsistent(file);
            if (QTest::currentTestFailed()) {
                qWarning() << "input:" << text.toHex();
                return;
            }
            const QString probe = QString::fromUtf8(text.mid(random.bounded(int(text.size()) + 1), 4));
            for (const int k : file.Search(probe)) QVERIFY(k >= 0 && k < file.Keywords().size());
            file.IndexOfId(probe);
            file.IndexOfLink(QUrl(QStringLiteral("help:") + probe));
        }
    }

    void largeFilesStayFast()
    {
        QByteArray text;
        for (int i = 1; i <= 40000; ++i)
            text += "=== " + QByteArray::number(i) + " | Topic " + QByteArray::number(i) + " | k" +
                    QByteArray::number(i % 500) + "\nbody\n";
        for (int i = 1; i <= 40000; ++i) text += "=== " + QByteArray::number(i) + " | Again\n";
        text += "=== many | Many | ";
        for (int i = 0; i < 40000; ++i) text += "w" + QByteArray::number(i) + ";";
        text += "\n=== " + QByteArray(50000, '1').replace("1", "1,").chopped(1) + " | Ones\n";

        QElapsedTimer timer;
        timer.start();
        const HelpFile file = Parsed(text);
        QCOMPARE(file.Topics().size(), 40001);
        QCOMPARE(file.Topics().at(file.IndexOfContext(12345)).title, QString("Topic 12345"));
        QCOMPARE(file.Search("w39999").size(), 1);
        QVERIFY2(timer.elapsed() < 20000, "reading a large help file took too long");
    }
};

QTEST_APPLESS_MAIN(TestHelpFile)
#include "tst_helpfile.moc"
