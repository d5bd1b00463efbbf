// Undo, automatic backups and their restore killed at any moment, and at each
// step: the catalogue is as it was before or as it is after, never between;
// every automatic backup that carries its name is whole.

#include "../upkeep/UpkeepTestFiles.h"
#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "history/AutoBackups.h"
#include "upkeep/FileWork.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>

namespace {

// The working child, its output read line by line.
class Child {
public:
    Child(const QString& dir, const char* mode, const char* hold = nullptr)
    {
        int out[2];
        if (pipe(out) != 0) qFatal("no pipe");
        mPid = fork();
        if (mPid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            const QByteArray d = QFile::encodeName(dir);
            execl(CRASH_HISTORY, CRASH_HISTORY, d.constData(), mode, hold, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        mFd = out[0];
    }
    ~Child() { Kill(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

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

void Spin(qint64 nanos)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.nsecsElapsed() < nanos) {
    }
}

// A journal that the next open plays back: a write was under way.
bool HotJournal(const QString& catalogue)
{
    static const QByteArray kMagic = QByteArray::fromHex("d9d505f920a163d7");
    return ReadAll(catalogue + QStringLiteral("-journal")).startsWith(kMagic);
}

// The catalogue as the program finds it at its next start (an interrupted
// write rolled back), every row of every table.
QString OpenedState(const QString& path)
{
    try {
        Database::Open(path, true);
    } catch (const DbError& error) {
        return QStringLiteral("<") + error.Text() + u'>';
    }
    return Dump(path);
}

}  // namespace

class TestHistoryCrash : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompts> mPrompts;
    std::unique_ptr<TestCatalogue> mCat;

    QString Folder() const { return mCat->File(QStringLiteral("backups")); }

    QStringList mChecked;  // backups found whole already

    // Every automatic backup that has its name is a whole copy of the catalogue.
    void CheckBackups(const QString& catalogueDump)
    {
        for (const AutomaticBackup& backup : AutomaticBackups(mCat->Path()).List()) {
            QVERIFY2(backup.made.isValid(), qPrintable(backup.fileName));
            if (mChecked.contains(backup.fileName)) continue;
            mChecked << backup.fileName;
            QString problem;
            QVERIFY2(CheckCatalogueFile(backup.path, nullptr, &problem), qPrintable(backup.fileName + problem));
            QCOMPARE(Dump(backup.path), catalogueDump);
        }
        for (const QString& entry : Entries(Folder()))
            QVERIFY2(BackupMoment(entry).isValid() || entry.startsWith(QLatin1String(".stamp-backup-")),
                     qPrintable(entry));
    }

private Q_SLOTS:
    void init()
    {
        mPrompts = std::make_unique<ScriptedPrompts>();
        mCat = std::make_unique<TestCatalogue>(400);
        mChecked.clear();
    }
    void cleanup()
    {
        mCat.reset();
        mPrompts.reset();
    }

    void undoKilledLeavesBeforeOrAfter()
    {
        const QString original = mCat->File(QStringLiteral("original.mdb"));
        QVERIFY(QFile::copy(mCat->Path(), original));
        const QString before = OpenedState(mCat->Path());
        QString after;
        {
            Child child(mCat->Dir(), "change");
            QCOMPARE(child.Line(), QByteArray("S"));
            QCOMPARE(child.Line(), QByteArray("H"));
        }
        after = OpenedState(mCat->Path());
        QVERIFY(after != before);

        // Each child starts on the catalogue as it was, makes the change and
        // takes it back and forth; the kills spread over that time.
        auto startOver = [&] {
            QFile::remove(mCat->Path());
            QFile::remove(mCat->Path() + QStringLiteral("-journal"));
            return QFile::copy(original, mCat->Path());
        };
        QVERIFY(startOver());
        QElapsedTimer rounds;
        {
            Child child(mCat->Dir(), "undo");
            QCOMPARE(child.Line(), QByteArray("S"));
            rounds.start();
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(child.Line(), QByteArray("U"));
                QCOMPARE(child.Line(), QByteArray("R"));
            }
        }
        const qint64 spread = rounds.nsecsElapsed();
        QCOMPARE(OpenedState(mCat->Path()), after);

        constexpr int kKills = 25;
        int asBefore = 0;
        int interrupted = 0;
        for (int kill = 0; kill < kKills; ++kill) {
            QVERIFY(startOver());
            Child child(mCat->Dir(), "undo");
            QCOMPARE(child.Line(), QByteArray("S"));
            Spin(static_cast<qint64>(QRandomGenerator::global()->bounded(static_cast<double>(spread))));
            child.Kill();
            if (HotJournal(mCat->Path())) ++interrupted;
            const QString state = OpenedState(mCat->Path());
            QVERIFY2(state == before || state == after, qPrintable(QStringLiteral("kill %1").arg(kill)));
            if (state == before) ++asBefore;
        }
        qInfo("Of %d kills, %d left the catalogue as before the change, %d came while a commit was written", kKills,
              asBefore, interrupted);

        // Killed with every row of the undo written and nothing committed: the
        // catalogue is as the change left it.
        QVERIFY(startOver());
        {
            Child child(mCat->Dir(), "undo", "commit");
            QCOMPARE(child.Line(), QByteArray("S"));
            QCOMPARE(child.Line(), QByteArray("H"));
        }
        QCOMPARE(OpenedState(mCat->Path()), after);
    }

    void backupKilledAtEachStep_data()
    {
        QTest::addColumn<QByteArray>("step");
        QTest::newRow("writing the copy") << QByteArray("copy");
        QTest::newRow("checking the copy") << QByteArray("check");
        QTest::newRow("naming the copy") << QByteArray("name");
    }
    void backupKilledAtEachStep()
    {
        QFETCH(QByteArray, step);
        const QString catalogue = OpenedState(mCat->Path());
        {
            Child child(mCat->Dir(), "backup", step.constData());
            QCOMPARE(child.Line(), QByteArray("S"));
            QCOMPARE(child.Line(), QByteArray("H"));
        }
        QCOMPARE(Dump(mCat->Path()), catalogue);
        QVERIFY(AutomaticBackups(mCat->Path()).List().isEmpty());
        CheckBackups(catalogue);
        // The next backup clears up what was left and is made.
        auto db = Database::Open(mCat->Path(), true);
        QString problem;
        QVERIFY2(MakeAutomaticBackup(*db, AutomaticBackups(mCat->Path()), &problem), qPrintable(problem));
        db.reset();
        QCOMPARE(Entries(Folder()).size(), 1);
        CheckBackups(catalogue);
    }

    void backupKilledAtRandomMoments()
    {
        const QString catalogue = OpenedState(mCat->Path());
        QElapsedTimer first;
        {
            Child child(mCat->Dir(), "backup");
            QCOMPARE(child.Line(), QByteArray("S"));
            first.start();
            QCOMPARE(child.Line(), QByteArray("B"));
            QCOMPARE(child.Line(), QByteArray("B"));
        }
        const qint64 spread = first.nsecsElapsed() / 2;
        for (int kill = 0; kill < 20; ++kill) {
            Child child(mCat->Dir(), "backup");
            QCOMPARE(child.Line(), QByteArray("S"));
            Spin(static_cast<qint64>(QRandomGenerator::global()->bounded(static_cast<double>(spread))));
            child.Kill();
            QCOMPARE(OpenedState(mCat->Path()), catalogue);
            CheckBackups(catalogue);
            if (QTest::currentTestFailed()) return;
        }
    }

    void restoreKilledLeavesOneOrTheOther()
    {
        // Two automatic backups of different catalogues: the one before a change
        // and the one after.
        QString problem;
        QString older;
        QString newer;
        {
            auto db = Database::Open(mCat->Path(), true);
            QVERIFY(MakeAutomaticBackup(
                *db, AutomaticBackups(mCat->Path(), [] { return QDateTime(QDate(2024, 1, 1), QTime(8, 0)); }),
                &problem));
            Statement(db->SharedConnection(), QStringLiteral("DELETE FROM Stamp WHERE StampID % 3 = 0")).Step();
            QVERIFY(MakeAutomaticBackup(
                *db, AutomaticBackups(mCat->Path(), [] { return QDateTime(QDate(2024, 1, 2), QTime(8, 0)); }),
                &problem));
        }
        const QList<AutomaticBackup> backups = AutomaticBackups(mCat->Path()).List();
        QCOMPARE(backups.size(), 2);
        newer = Dump(backups[0].path);
        older = Dump(backups[1].path);
        QVERIFY(newer != older);

        for (const char* step : {"copy", "check", "swap"}) {
            const QString now = Dump(mCat->Path());
            Child child(mCat->Dir(), "restore", step);
            QCOMPARE(child.Line(), QByteArray("S"));
            QCOMPARE(child.Line(), QByteArray("H"));
            child.Kill();
            QCOMPARE(Dump(mCat->Path()), now);
        }

        QElapsedTimer first;
        {
            Child child(mCat->Dir(), "restore");
            QCOMPARE(child.Line(), QByteArray("S"));
            first.start();
            QCOMPARE(child.Line(), QByteArray("P"));
            QCOMPARE(child.Line(), QByteArray("P"));
        }
        const qint64 spread = first.nsecsElapsed();
        for (int kill = 0; kill < 20; ++kill) {
            Child child(mCat->Dir(), "restore");
            QCOMPARE(child.Line(), QByteArray("S"));
            Spin(static_cast<qint64>(QRandomGenerator::global()->bounded(static_cast<double>(spread))));
            child.Kill();
            const QString state = Dump(mCat->Path());
            QVERIFY2(state == older || state == newer, qPrintable(QStringLiteral("kill %1").arg(kill)));
            for (const QString& entry : Entries(mCat->Dir()))
                QVERIFY2(QStringList({"backups", "stamp.mdb", "stamprestore.mdb"}).contains(entry), qPrintable(entry));
        }
        // The program starts on what is there.
        QVERIFY(!OpenedState(mCat->Path()).startsWith(u'<'));
    }
};

QTEST_GUILESS_MAIN(TestHistoryCrash)
#include "tst_historycrash.moc"
