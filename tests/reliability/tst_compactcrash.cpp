// Compaction killed at any moment: inside the engine's copy, during the checks,
// between keeping the old file and the swap, after it. Whatever the moment,
// stamp.mdb is a whole catalogue with every row, the program starts on it, and
// the next compaction copes with what was left.

#include "../app/MainWindowFixture.h"
#include "../upkeep/UpkeepTestFiles.h"

#include "upkeep/Compact.h"
#include "upkeep/FileWork.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>

namespace {

// The packing child, its output read line by line.
class Packer {
public:
    explicit Packer(const QString& dir, const char* hold = nullptr)
    {
        int out[2];
        if (pipe(out) != 0) qFatal("no pipe");
        mPid = fork();
        if (mPid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            const QByteArray d = QFile::encodeName(dir);
            execl(CRASH_PACKER, CRASH_PACKER, d.constData(), hold, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        mFd = out[0];
    }
    ~Packer() { Kill(); }
    Packer(const Packer&) = delete;
    Packer& operator=(const Packer&) = delete;

    // The next line, without its end; empty once the child has gone.
    QByteArray Line()
    {
        for (;;) {
            const qsizetype end = mPending.indexOf('\n');
            if (end >= 0) {
                const QByteArray line = mPending.left(end);
                mPending.remove(0, end + 1);
                return line;
            }
            char buffer[512];
            const ssize_t n = mFd >= 0 ? read(mFd, buffer, sizeof buffer) : 0;
            if (n <= 0) return {};
            mPending.append(buffer, n);
        }
    }
    void Kill()
    {
        if (mPid > 0) {
            kill(mPid, SIGKILL);
            waitpid(mPid, nullptr, 0);
            mPid = -1;
        }
        if (mFd >= 0) close(mFd);
        mFd = -1;
    }

private:
    pid_t mPid = -1;
    int mFd = -1;
    QByteArray mPending;
};

ino_t Inode(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

class TestCompactCrash : public QObject {
    Q_OBJECT
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<ScriptedPrompts> mPrompts;
    std::unique_ptr<frmMain> mWindow;
    QString mContent;  // every row of the catalogue, which no compaction may change
    QString mFirstDescr;
    int mStamps = 0;
    QString mPreviousDir;

    QString File(const char* name) const { return mCat->File(QString::fromLatin1(name)); }

    // What the collector finds after the kill.
    void CheckAfterKill()
    {
        QString problem;
        QVERIFY2(CheckCatalogueFile(File("stamp.mdb"), nullptr, &problem), qPrintable(problem));
        QCOMPARE(Dump(File("stamp.mdb")), mContent);
        // The old file kept for the collector is whole too, when it is there, and
        // a file of its own: the catalogue's later changes are not its changes.
        if (QFileInfo::exists(File("stampdb.bak"))) {
            QVERIFY2(CheckCatalogueFile(File("stampdb.bak"), nullptr, &problem), qPrintable(problem));
            QCOMPARE(Dump(File("stampdb.bak")), mContent);
            QVERIFY(Inode(File("stampdb.bak")) != Inode(File("stamp.mdb")));
        }
        for (const QString& entry : Entries(mCat->Dir()))
            QVERIFY2(QStringList({"stamp.mdb", "stampdb.bak", "stampnew.mdb", "stampnew.mdb-journal", "stampold.mdb"})
                         .contains(entry),
                     qPrintable(entry));

        // The next start opens it and shows the first stamp.
        mPrompts->Clear();
        mWindow->Form_Load();
        QVERIFY2(mPrompts->messages.empty(), qPrintable(mPrompts->LastText()));
        QVERIFY(!mPrompts->endedWith);
        QVERIFY(gStampRs);
        QCOMPARE(gStampRs->RecordCount(), mStamps);
        QCOMPARE(mWindow->findChild<QLineEdit*>("txtDescr")->text(), mFirstDescr);
        mWindow->Form_Unload();
    }

private Q_SLOTS:
    void init()
    {
        QuietOffscreenWarnings();
        mPrompts = std::make_unique<ScriptedPrompts>();
        mCat = std::make_unique<TestCatalogue>(300);
        // Free pages, so that the compacted file differs from the old one.
        mCat->Exec("DELETE FROM Stamp WHERE StampID % 3 = 0");
        mContent = Dump(mCat->Path());
        mStamps = mCat->Scalar("SELECT count(*) FROM Stamp").toInt();
        mFirstDescr = mCat->Scalar("SELECT descr FROM Stamp ORDER BY descr_sort, StampID LIMIT 1");
        mPreviousDir = QDir::currentPath();
        QDir::setCurrent(mCat->Dir());
        gAppDir.clear();
        gDbPath = "stamp.mdb";
        mWindow = std::make_unique<frmMain>();
    }
    void cleanup()
    {
        if (gDb) mWindow->Form_Unload();
        mWindow.reset();
        QDir::setCurrent(mPreviousDir);
        mCat.reset();
        mPrompts.reset();
        gDbPath.clear();
    }

    // Stopped exactly at each step of the swap, with and without an older
    // stampdb.bak in the way.
    void killedAtEachStepOfTheSwap_data()
    {
        QTest::addColumn<QByteArray>("step");
        QTest::addColumn<bool>("olderBackup");
        QTest::newRow("before the old file is kept") << QByteArray("keep") << false;
        QTest::newRow("before the old file is kept, older backup") << QByteArray("keep") << true;
        QTest::newRow("before the copy takes its place") << QByteArray("swap") << false;
        QTest::newRow("before the copy takes its place, older backup") << QByteArray("swap") << true;
        QTest::newRow("before the old file is named stampdb.bak") << QByteArray("name") << false;
        QTest::newRow("before the old file is named stampdb.bak, older backup") << QByteArray("name") << true;
    }
    void killedAtEachStepOfTheSwap()
    {
        QFETCH(QByteArray, step);
        QFETCH(bool, olderBackup);
        if (olderBackup) QVERIFY(QFile::copy(mCat->Path(), File("stampdb.bak")));
        for (int round = 0; round < 3; ++round) {
            Packer packer(mCat->Dir(), step.constData());
            QCOMPARE(packer.Line(), QByteArray("S"));
            QCOMPARE(packer.Line(), QByteArray("H"));
            packer.Kill();
            QCOMPARE(QFileInfo(File("stampnew.mdb")).isFile(), step != "name");
            CheckAfterKill();
            if (QTest::currentTestFailed()) return;
        }
        // The next compaction, in the program, clears up and succeeds.
        QVERIFY(PackCatalogue());
        QVERIFY(mPrompts->messages.empty());
        QCOMPARE(Entries(mCat->Dir()), QStringList({"stamp.mdb", "stampdb.bak"}));
        CheckAfterKill();
    }

    // Killed at random moments of compactions that follow one another on the
    // same folder, each starting on what the kill before left.
    void killedAtRandomMoments()
    {
        // How long the first compaction of a fresh packer takes here; the kills
        // spread over that time and a little after. The disk's speed varies, so
        // the spread follows what the kills find: it shrinks a little after a
        // kill that came after the swap and grows a little after one before it.
        QList<qint64> firstPacks;
        for (int i = 0; i < 3; ++i) {
            Packer packer(mCat->Dir());
            QCOMPARE(packer.Line(), QByteArray("S"));
            const QByteArray done = packer.Line();
            QVERIFY2(done.startsWith("P "), done.constData());
            firstPacks << done.mid(2).toLongLong();
        }
        std::sort(firstPacks.begin(), firstPacks.end());
        const qint64 packNanos = firstPacks[1];
        QVERIFY(packNanos > 0);
        CheckAfterKill();

        double spread = 1.3 * static_cast<double>(packNanos);
        constexpr int kKills = 200;
        int early = 0;
        int leftACopy = 0;
        int afterTheSwap = 0;
        for (int kill = 0; kill < kKills; ++kill) {
            const ino_t before = Inode(File("stamp.mdb"));
            const qint64 delay = static_cast<qint64>(QRandomGenerator::global()->bounded(spread));
            Packer packer(mCat->Dir());
            QCOMPARE(packer.Line(), QByteArray("S"));
            QElapsedTimer clock;
            clock.start();
            while (clock.nsecsElapsed() < delay) {
            }
            packer.Kill();

            const bool swapped = Inode(File("stamp.mdb")) != before;
            spread *= swapped ? 0.97 : 1.02;
            if (swapped)
                ++afterTheSwap;
            else if (QFileInfo::exists(File("stampnew.mdb")))
                ++leftACopy;
            else
                ++early;
            CheckAfterKill();
            if (QTest::currentTestFailed()) {
                qWarning("kill %d, %lld ns into a compaction of about %lld ns", kill, delay, packNanos);
                return;
            }
        }
        qInfo("Of %d kills, %d came before the copy was begun, %d left a copy, %d came after the swap", kKills, early,
              leftACopy, afterTheSwap);
        QVERIFY(leftACopy > kKills / 5);
        QVERIFY(afterTheSwap > kKills / 10);
        QVERIFY(PackCatalogue());
        QCOMPARE(Entries(mCat->Dir()), QStringList({"stamp.mdb", "stampdb.bak"}));
        CheckAfterKill();
    }
};

QTEST_MAIN(TestCompactCrash)
#include "tst_compactcrash.moc"
