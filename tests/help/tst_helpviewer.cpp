#include "ScriptedPrompts.h"

#include "db/Globals.h"
#include "help/HelpViewer.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace {

const QByteArray kHelp =
    "This preamble is not a topic.\n"
    "=== contents | Contents | contents\n"
    "See [the main window](help:7) and [dates](help:dates).\n"
    "=== 7 | The Main Window | main window; record editor\n"
    "The window with the stamps. Its [Description](help:21) box.\n"
    "=== 21 | Description | description; name of the stamp\n"
    "What the stamp is called.\n"
    "=== 40 | Issue Date | dates; issue date; calendar\n"
    "The day the stamp was issued.\n"
    "=== 43, 44 | Prices and Totals | prices; dates\n"
    "Money boxes.\n"
    "=== dates | Typing Dates | dates\n"
    "Day, month and year.\n"
    "=== using-help | Using Help | help viewer\n"
    "How to use this window.\n";

void Write(const QString& path, const QByteArray& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

template <typename T>
T* Child(const char* name)
{
    HelpViewer* viewer = HelpViewer::Existing();
    return viewer ? viewer->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

QString ShownTitle()
{
    HelpViewer* viewer = HelpViewer::Existing();
    if (!viewer || viewer->CurrentTopic() < 0) return QString();
    return viewer->File().Topics().at(viewer->CurrentTopic()).title;
}

QStringList Rows(const QListWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i) rows.append(list->item(i)->text());
    return rows;
}

}  // namespace

class TestHelpViewer : public QObject {
    Q_OBJECT
    QTemporaryDir mDir;
    ScriptedPrompts* mPrompts = nullptr;

private Q_SLOTS:
    void init()
    {
        mPrompts = new ScriptedPrompts;
        gHelpPath = mDir.filePath("stamp.hlp");
        Write(gHelpPath, kHelp);
    }

    void cleanup()
    {
        delete HelpViewer::Existing();
        delete mPrompts;
        mPrompts = nullptr;
    }

    void commands_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");

        QTest::newRow("topic by number") << 1 << 21 << "Description"
                                         << "What the stamp is called.";
        QTest::newRow("first of two numbers") << 1 << 43 << "Prices and Totals"
                                              << "Money boxes.";
        QTest::newRow("second of two numbers") << 1 << 44 << "Prices and Totals"
                                               << "Money boxes.";
        QTest::newRow("no number: the contents") << 1 << 0 << "Contents"
                                                 << "See the main window";
        QTest::newRow("unknown number: the contents") << 1 << 999 << "Contents"
                                                      << "See the main window";
        QTest::newRow("contents command") << 3 << 0 << "Contents"
                                          << "See the main window";
        QTest::newRow("help on help") << 4 << 0 << "Using Help"
                                      << "How to use this window.";
    }

    void commands()
    {
        QFETCH(int, command);
        QFETCH(int, context);
        QFETCH(QString, title);
        QFETCH(QString, text);

        ShowHelp(command, context);
        HelpViewer* viewer = HelpViewer::Existing();
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->windowTitle(), QString("Tessarine Help"));
        QCOMPARE(ShownTitle(), title);
        const QString shown = Child<QTextBrowser>("txtTopic")->toPlainText();
        QVERIFY2(shown.startsWith(title), qPrintable(shown));
        QVERIFY2(shown.contains(text), qPrintable(shown));
        QVERIFY(mPrompts->messages.empty());
    }

    void oneViewerForEveryCall()
    {
        ShowHelp(1, 7);
        HelpViewer* first = HelpViewer::Existing();
        ShowHelp(1, 21);
        ShowHelp(0x105, 0);
        QCOMPARE(HelpViewer::Existing(), first);
        int viewers = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) viewers += w->objectName() == "frmHelp";
        QCOMPARE(viewers, 1);
        ShowHelp(2, 0);  // quit closes it
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!HelpViewer::Existing());
    }

    void keywordSearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("keywords");
        QTest::addColumn<QStringList>("topics");  // of the first keyword

        QTest::newRow("prefix") << "da" << QStringList{"dates", "Issue Date", "Typing Dates", "calendar"}
                                << QStringList{"Issue Date", "Prices and Totals", "Typing Dates"};
        QTest::newRow("any case, inside a word")
            << "DITOR" << QStringList{"record editor"} << QStringList{"The Main Window"};
        QTest::newRow("titles are found too") << "typing" << QStringList{"Typing Dates"} << QStringList{"Typing Dates"};
        QTest::newRow("no match") << "xyz" << QStringList{} << QStringList{};
    }

    void keywordSearch()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, keywords);
        QFETCH(QStringList, topics);

        ShowHelp(0x105, 0);
        auto* tabs = Child<QTabWidget>("tabNav");
        auto* search = Child<QLineEdit>("txtSearch");
        QVERIFY(tabs && search);
        QCOMPARE(tabs->currentIndex(), 1);
        // Every keyword is listed before anything is typed.
        QCOMPARE(Child<QListWidget>("lstKeywords")->count(), HelpViewer::Existing()->File().Keywords().size());

        QTest::keyClicks(search, typed);
        QCOMPARE(Rows(Child<QListWidget>("lstKeywords")), keywords);
        QCOMPARE(Rows(Child<QListWidget>("lstTopics")), topics);

        // Enter in the search box shows the first topic found.
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(ShownTitle(), topics.isEmpty() ? QString("Contents") : topics.front());
    }

    void displayChosenTopic()
    {
        ShowHelp(0x105, 0);
        QTest::keyClicks(Child<QLineEdit>("txtSearch"), "dat");
        auto* topics = Child<QListWidget>("lstTopics");
        QCOMPARE(topics->count(), 3);
        topics->setCurrentRow(2);
        QTest::mouseClick(Child<QPushButton>("cmdDisplay"), Qt::LeftButton);
        QCOMPARE(ShownTitle(), QString("Typing Dates"));
    }

    void linksBackAndForward()
    {
        ShowHelp(1, 0);
        auto* browser = Child<QTextBrowser>("txtTopic");
        auto* back = Child<QPushButton>("cmdBack");
        auto* forward = Child<QPushButton>("cmdForward");
        QVERIFY(!back->isEnabled() && !forward->isEnabled());

        Q_EMIT browser->anchorClicked(QUrl("help:7"));
        QCOMPARE(ShownTitle(), QString("The Main Window"));
        Q_EMIT browser->anchorClicked(QUrl("help:21"));
        QCOMPARE(ShownTitle(), QString("Description"));
        Q_EMIT browser->anchorClicked(QUrl("help:nowhere"));  // a broken link goes nowhere
        QCOMPARE(ShownTitle(), QString("Description"));

        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(ShownTitle(), QString("The Main Window"));
        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(ShownTitle(), QString("Contents"));
        QVERIFY(!back->isEnabled());
        QTest::mouseClick(forward, Qt::LeftButton);
        QCOMPARE(ShownTitle(), QString("The Main Window"));
        QVERIFY(back->isEnabled() && forward->isEnabled());

        // A new topic after going back drops the topics ahead.
        Q_EMIT browser->anchorClicked(QUrl("help:dates"));
        QCOMPARE(ShownTitle(), QString("Typing Dates"));
        QVERIFY(!forward->isEnabled());
        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(ShownTitle(), QString("The Main Window"));
    }

    void contentsList()
    {
        ShowHelp(1, 40);
        auto* contents = Child<QListWidget>("lstContents");
        QCOMPARE(Rows(contents), QStringList({"Contents", "The Main Window", "Description", "Issue Date",
                                              "Prices and Totals", "Typing Dates", "Using Help"}));
        QCOMPARE(contents->currentRow(), 3);
        QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                          contents->visualItemRect(contents->item(5)).center());
        QCOMPARE(ShownTitle(), QString("Typing Dates"));
    }

    void unreadableFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("no topics") << "garbage";
    }

    void unreadableFile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        gHelpPath = dir.filePath("stamp.hlp");
        if (kind == "folder") QVERIFY(QDir().mkdir(gHelpPath));
        if (kind == "garbage") Write(gHelpPath, QByteArray("\x00\x01 not help\n", 13));

        ShowHelp(1, 7);
        QVERIFY(!HelpViewer::Existing());
        QCOMPARE(mPrompts->messages.size(), size_t(1));
        const ShownMessage& shown = mPrompts->messages.front();
        const QString start = "Help is not available: the help file '" + QFileInfo(gHelpPath).absoluteFilePath() +
                              "' could not be read (";
        QVERIFY2(shown.text.startsWith(start) && shown.text.endsWith(")."), qPrintable(shown.text));
        QCOMPARE(shown.title, QString("Tessarine"));
        QCOMPARE(shown.icon, MsgIcon::None);
        QCOMPARE(shown.buttons, MsgButtons::Ok);
    }

    void changedFileIsReadAgain()
    {
        ShowHelp(1, 21);
        QCOMPARE(ShownTitle(), QString("Description"));
        QByteArray changed = kHelp;
        changed.replace("| Description |", "| The Description Box |");
        Write(gHelpPath, changed);
        // A change within the file system's time resolution still shows: the size differs.
        ShowHelp(1, 21);
        QCOMPARE(ShownTitle(), QString("The Description Box"));
    }

    // Help asked for from a modal window can be used while that window is open
    // and stays open after it; a help window open before survives it too.
    void helpOutlivesAModalWindow_data()
    {
        QTest::addColumn<bool>("openBefore");
        QTest::newRow("opened from the modal window") << false;
        QTest::newRow("open before the modal window") << true;
    }
    void helpOutlivesAModalWindow()
    {
        QFETCH(bool, openBefore);
        if (openBefore) ShowHelp(1, 21);
        const QPointer<HelpViewer> before = HelpViewer::Existing();
        bool usable = false;
        {
            QDialog dialog;
            QTimer::singleShot(0, &dialog, [&] {
                const auto close = qScopeGuard([&] { dialog.reject(); });
                ShowHelp(0x105, 0);
                HelpViewer* viewer = HelpViewer::Existing();
                QVERIFY(viewer);
                QVERIFY(viewer->isWindow() && !viewer->parentWidget());
                // A key through the window system, as the collector's: a window
                // blocked by the modal dialog would not get it.
                QTest::keyClick(viewer->windowHandle(), Qt::Key_D);
                usable = Child<QLineEdit>("txtSearch")->text() == u"d";
            });
            dialog.exec();
        }
        QVERIFY(usable);
        QVERIFY(HelpViewer::Existing());
        QVERIFY(HelpViewer::Existing()->isVisible());
        if (openBefore) QCOMPARE(HelpViewer::Existing(), before.data());
        // It stays usable afterwards, with no modal window about.
        QTest::keyClick(HelpViewer::Existing()->windowHandle(), Qt::Key_A);
        QCOMPARE(Child<QLineEdit>("txtSearch")->text(), QStringLiteral("da"));
    }

    // Every topic of the shipped help file renders.
    void shippedFileShowsEveryContext()
    {
        gHelpPath = QStringLiteral(TESS_SOURCE_DIR "/data/stamp.hlp");
        ShowHelp(1, 0);
        HelpViewer* viewer = HelpViewer::Existing();
        QVERIFY(viewer);
        for (int t = 0; t < viewer->File().Topics().size(); ++t) {
            viewer->ShowTopic(t);
            const QString shown = Child<QTextBrowser>("txtTopic")->toPlainText();
            QVERIFY(shown.startsWith(viewer->File().Topics().at(t).title));
            QVERIFY(!shown.contains("==="));
        }
        QVERIFY(mPrompts->messages.empty());
    }
};

QTEST_MAIN(TestHelpViewer)
#include "tst_helpviewer.moc"
