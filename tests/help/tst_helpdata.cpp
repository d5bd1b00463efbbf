// The shipped help file: a topic for every help context the program asks for,
// every link leading somewhere, every topic reachable from the contents.

#include "help/HelpContexts.h"
#include "help/HelpFile.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

const QString kHelpFile = QStringLiteral(TESS_SOURCE_DIR "/data/stamp.hlp");
const QRegularExpression kLink(QStringLiteral(R"(\]\((help:[^)\s]*)\))"));

}  // namespace

class TestHelpData : public QObject {
    Q_OBJECT
    HelpFile mFile;

private Q_SLOTS:
    void initTestCase()
    {
        QString error;
        QVERIFY2(mFile.Load(kHelpFile, &error), qPrintable(error));
    }

    void readsWithoutProblems() { QCOMPARE(mFile.Problems(), QStringList()); }

    void everyContextHasATopic_data()
    {
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("carriers");
        for (const HelpContextUse& use : kHelpContexts)
            QTest::newRow(qPrintable(QString::number(use.context))) << use.context << QString::fromUtf8(use.carriers);
    }

    void everyContextHasATopic()
    {
        QFETCH(int, context);
        QFETCH(QString, carriers);
        const int index = mFile.IndexOfContext(context);
        QVERIFY2(index >= 0, qPrintable(QStringLiteral("no topic for %1 (%2)").arg(context).arg(carriers)));
        const HelpTopic& topic = mFile.Topics().at(index);
        QVERIFY2(!topic.keywords.isEmpty(), "a topic without keywords cannot be found by the search");
        QVERIFY2(topic.body.size() > 200, "the topic says too little to help");
    }

    void contentsAndUsingHelp()
    {
        QVERIFY(mFile.IndexOfName(QStringLiteral("contents")) >= 0);
        QVERIFY(mFile.UsingHelpIndex() >= 0);
        QCOMPARE(mFile.ContentsIndex(), mFile.IndexOfName(QStringLiteral("contents")));
    }

    void everyLinkLeadsToATopic()
    {
        QStringList broken;
        for (const HelpTopic& topic : mFile.Topics())
            for (auto it = kLink.globalMatch(topic.body); it.hasNext();) {
                const QString url = it.next().captured(1);
                if (mFile.IndexOfLink(QUrl(url)) < 0) broken.append(topic.title + QStringLiteral(": ") + url);
            }
        QCOMPARE(broken, QStringList());
    }

    void everyTopicIsReachableFromTheContents()
    {
        QSet<int> reached{mFile.ContentsIndex()};
        QList<int> queue{mFile.ContentsIndex()};
        while (!queue.isEmpty()) {
            const int t = queue.takeFirst();
            for (auto it = kLink.globalMatch(mFile.Topics().at(t).body); it.hasNext();) {
                const int target = mFile.IndexOfLink(QUrl(it.next().captured(1)));
                if (target >= 0 && !reached.contains(target)) {
                    reached.insert(target);
                    queue.append(target);
                }
            }
        }
        QStringList unreached;
        for (int t = 0; t < mFile.Topics().size(); ++t)
            if (!reached.contains(t)) unreached.append(mFile.Topics().at(t).title);
        QCOMPARE(unreached, QStringList());
    }

    // Captions are written as the collector reads them, without the accelerator
    // marks of the program's texts ("Add New", never "&Add New").
    void noAcceleratorMarks()
    {
        const QRegularExpression mark(QStringLiteral(R"(&(?!(amp|lt|gt|nbsp|quot);)\w)"));
        QStringList found;
        for (const HelpTopic& topic : mFile.Topics()) {
            const auto match = mark.match(topic.title + u'\n' + topic.body);
            if (match.hasMatch()) found.append(topic.title + QStringLiteral(": ") + match.captured(0));
        }
        QCOMPARE(found, QStringList());
    }

    // A help context written into the program's sources must be one the help
    // file is checked for.
    void everyNumberInTheSourcesIsListed()
    {
        QSet<int> listed;
        for (const HelpContextUse& use : kHelpContexts) listed.insert(use.context);
        const QRegularExpression call(QStringLiteral(R"(SetHelpContext\s*\([^;]*?,\s*(\d+)\s*\))"));
        QStringList missing;
        QDirIterator it(QStringLiteral(TESS_SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files, QDirIterator::Subdirectories);
        int calls = 0;
        while (it.hasNext()) {
            QFile source(it.next());
            QVERIFY(source.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(source.readAll());
            for (auto m = call.globalMatch(text); m.hasNext();) {
                const auto match = m.next();
                ++calls;
                if (!listed.contains(match.captured(1).toInt()))
                    missing.append(QFileInfo(source).fileName() + QStringLiteral(": ") + match.captured(1));
            }
        }
        QVERIFY(calls > 0);
        QCOMPARE(missing, QStringList());
    }
};

QTEST_APPLESS_MAIN(TestHelpData)
#include "tst_helpdata.moc"
