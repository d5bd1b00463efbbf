// Automatic backups: made when the last is a day old, kept by the rule over
// simulated days and months, listed with their stamps, other and damaged files
// listed as unusable and never restored, a restore that puts a backup in place,
// and failures that leave nothing behind.
#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "../upkeep/UpkeepTestFiles.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "history/AutoBackups.h"
#include "history/BackgroundBackup.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(QList<QDateTime>)

namespace {

QDateTime At(const char* text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm"));
}

QStringList Names(const QList<QDateTime>& moments)
{
    QStringList names;
    for (const QDateTime& moment : moments) names << moment.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    names.sort();
    return names;
}

void Run(Database& db, const QString& sql)
{
    Statement statement(db.SharedConnection(), sql);
    while (statement.Step()) {
    }
}

}  // namespace

class TestAutoBackups : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompts> mPrompts;
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<Database> mDb;
    QDateTime mNow;

    AutomaticBackups Backups() const
    {
        return AutomaticBackups(mCat->Path(), [this] { return mNow; });
    }
    QString Folder() const { return mCat->File(QStringLiteral("backups")); }
    QStringList Files() const { return Entries(Folder()); }

private Q_SLOTS:
    void init()
    {
        mPrompts = std::make_unique<ScriptedPrompts>();
        mCat = std::make_unique<TestCatalogue>(12);
        mDb = Database::Open(mCat->Path(), true);
        mNow = At("2024-03-10 09:30");
    }
    void cleanup()
    {
        mDb.reset();
        mCat.reset();
        mPrompts.reset();
    }

    void whichAreRemoved_data()
    {
        QTest::addColumn<QList<QDateTime>>("made");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QStringList>("removed");
        QList<QDateTime> daily;
        for (int day = 0; day < 12; ++day) daily << At("2024-03-01 08:00").addDays(day);
        QTest::newRow("ten kept, the oldest of the same month go")
            << daily << "2024-03-12 09:00" << QStringList{"2024-03-01 08:00", "2024-03-02 08:00"};
        QList<QDateTime> across = daily;
        across << At("2024-02-27 08:00") << At("2024-02-03 08:00") << At("2024-01-15 08:00");
        QTest::newRow("the newest of each earlier month stays")
            << across << "2024-03-12 09:00" << QStringList{"2024-02-03 08:00", "2024-03-01 08:00", "2024-03-02 08:00"};
        QList<QDateTime> yearAndMore;
        for (int month = 0; month < 16; ++month) yearAndMore << At("2023-01-05 08:00").addMonths(month);
        QTest::newRow("a month kept for a year, no longer")
            << yearAndMore << "2024-04-20 09:00"
            << QStringList{"2023-01-05 08:00", "2023-02-05 08:00", "2023-03-05 08:00", "2023-04-05 08:00"};
        QTest::newRow("few: nothing goes, however old")
            << QList<QDateTime>{At("2020-01-01 00:00"), At("2024-03-10 08:00")} << "2024-03-12 09:00" << QStringList{};
    }
    void whichAreRemoved()
    {
        QFETCH(QList<QDateTime>, made);
        QFETCH(QString, now);
        QFETCH(QStringList, removed);
        QCOMPARE(Names(BackupsToRemove(made, At(now.toLatin1().constData()))), removed);
    }

    void dueOnceADay_data()
    {
        QTest::addColumn<int>("minutesLater");
        QTest::addColumn<bool>("due");
        QTest::newRow("an hour later") << 60 << false;
        QTest::newRow("a minute short of a day") << 24 * 60 - 1 << false;
        QTest::newRow("a day later") << 24 * 60 << true;
        QTest::newRow("the clock went back") << -60 << true;
    }
    void dueOnceADay()
    {
        QFETCH(int, minutesLater);
        QFETCH(bool, due);
        QVERIFY(Backups().IsDue());
        QString problem;
        QVERIFY2(MakeAutomaticBackup(*mDb, Backups(), &problem), qPrintable(problem));
        QCOMPARE(Files(), QStringList{"stamp-2024-03-10-093000.mdb"});
        mNow = mNow.addSecs(minutesLater * 60);
        QCOMPARE(Backups().IsDue(), due);
    }

    // A backup each day the program starts, over forty days and then a year:
    // the folder holds what the rule keeps, and every backup is whole.
    void rotationOverSimulatedDays()
    {
        QStringList expected;
        for (int day = 0; day < 40; ++day) {
            mNow = At("2024-01-01 07:45").addDays(day).addSecs((day % 5) * 3600);
            if (!Backups().IsDue()) continue;
            QString problem;
            QVERIFY2(MakeAutomaticBackup(*mDb, Backups(), &problem), qPrintable(problem));
        }
        QStringList files = Files();
        // Not every day: a start within a day of the last backup makes none.
        QCOMPARE(files.size(), 10);
        QCOMPARE(files.first(), QStringLiteral("stamp-2024-01-29-104500.mdb"));
        QCOMPARE(files.last(), QStringLiteral("stamp-2024-02-09-114500.mdb"));
        // Then one now and then for a year and a half.
        for (int week = 0; week < 78; week += 3) {
            mNow = At("2024-02-20 10:00").addDays(week * 7);
            QString problem;
            QVERIFY2(MakeAutomaticBackup(*mDb, Backups(), &problem), qPrintable(problem));
        }
        files = Files();
        for (const QString& name : files) {
            const QDateTime made = BackupMoment(name);
            QVERIFY2(made.isValid(), qPrintable(name));
            QVERIFY2(made > mNow.addMonths(-13), qPrintable(name));
        }
        // The ten newest, and for the months before them the newest of each, back
        // to a year ago.
        QCOMPARE(files.size(), 15);
        QCOMPARE(files.first(), QStringLiteral("stamp-2024-08-27-100000.mdb"));
        for (const AutomaticBackup& backup : Backups().List()) {
            QVERIFY2(backup.usable, qPrintable(backup.fileName + backup.problem));
            QCOMPARE(backup.stamps, 12);
        }
    }

    // Files of other names are listed as unusable and left alone; a damaged file
    // of the right name, or one from a newer program, is unusable too; none of
    // them can be restored.
    void foreignAndDamagedFiles()
    {
        QString problem;
        QVERIFY(MakeAutomaticBackup(*mDb, Backups(), &problem));
        const QString good = QDir(Folder()).filePath(QStringLiteral("stamp-2024-03-10-093000.mdb"));
        QVERIFY(QFile::copy(good, QDir(Folder()).filePath(QStringLiteral("my copy.mdb"))));
        WriteAll(QDir(Folder()).filePath(QStringLiteral("stamp-2024-03-09-080000.mdb")), QByteArray(5000, 'x'));
        QByteArray truncated = ReadAll(good);
        truncated.truncate(truncated.size() / 3);
        WriteAll(QDir(Folder()).filePath(QStringLiteral("stamp-2024-03-08-080000.mdb")), truncated);
        QVERIFY(QFile::copy(good, QDir(Folder()).filePath(QStringLiteral("stamp-2024-03-07-080000.mdb"))));
        QVERIFY(MakeDatabase(QDir(Folder()).filePath(QStringLiteral("stamp-2024-03-07-080000.mdb")),
                             "PRAGMA user_version = 99"));
        WriteAll(QDir(Folder()).filePath(QStringLiteral("notes.txt")), "my notes");

        const QList<AutomaticBackup> listed = Backups().List();
        QStringList seen;
        for (const AutomaticBackup& backup : listed)
            seen << backup.fileName + (backup.usable ? QStringLiteral(" usable ") + QString::number(backup.stamps)
                                                     : QStringLiteral(" unusable: ") + backup.problem);
        QCOMPARE(seen,
                 QStringList({
                     "stamp-2024-03-10-093000.mdb usable 12",
                     "stamp-2024-03-09-080000.mdb unusable: The file is damaged or is not a catalogue: file is "
                     "not a database.",
                     "stamp-2024-03-08-080000.mdb unusable: The file is damaged or is not a catalogue: database "
                     "disk image is malformed.",
                     "stamp-2024-03-07-080000.mdb unusable: The file was written by a newer version of Tessarine.",
                     "my copy.mdb unusable: This file is not an automatic backup of Tessarine.",
                     "notes.txt unusable: This file is not an automatic backup of Tessarine.",
                 }));
        mDb.reset();
        const QByteArray catalogue = ReadAll(mCat->Path());
        for (qsizetype i = 1; i < listed.size(); ++i) {
            QVERIFY(!RestoreAutomaticBackup(listed[i], mCat->Path(), &problem));
            QVERIFY(!problem.isEmpty());
        }
        QCOMPARE(ReadAll(mCat->Path()), catalogue);
        // Rotation never touches files of other names.
        QVERIFY(Files().contains(QStringLiteral("my copy.mdb")));
        QVERIFY(Files().contains(QStringLiteral("notes.txt")));
    }

    // A backup damaged where a quick look does not see it is found out by the
    // full check, and not restored.
    void damageInsideIsFoundBeforeRestoring()
    {
        QString problem;
        QVERIFY(MakeAutomaticBackup(*mDb, Backups(), &problem));
        AutomaticBackup backup = Backups().List().first();
        QByteArray bytes = ReadAll(backup.path);
        // Scribble over the pages after the schema (the stamps' rows).
        for (qsizetype at = bytes.size() / 2; at < bytes.size() / 2 + 8192; ++at) bytes[at] = char(0x5a);
        WriteAll(backup.path, bytes);
        mDb.reset();
        const QByteArray catalogue = ReadAll(mCat->Path());
        QVERIFY(!RestoreAutomaticBackup(backup, mCat->Path(), &problem));
        QVERIFY2(problem.startsWith(QStringLiteral("The backup is damaged: ")), qPrintable(problem));
        QCOMPARE(ReadAll(mCat->Path()), catalogue);
        QCOMPARE(Entries(mCat->Dir()), QStringList({"backups", "stamp.mdb"}));
    }

    // The catalogue as a backup held it, put in place; the copy's work leaves
    // nothing beside it.
    void restorePutsTheBackupInPlace()
    {
        Run(*mDb, QStringLiteral("UPDATE Stamp SET descr = 'Before' WHERE StampID = 1"));
        QString problem;
        QVERIFY(MakeAutomaticBackup(*mDb, Backups(), &problem));
        Run(*mDb, QStringLiteral("UPDATE Stamp SET descr = 'After' WHERE StampID = 1"));
        Run(*mDb, QStringLiteral("DELETE FROM Stamp WHERE StampID > 6"));
        const AutomaticBackup backup = Backups().List().first();
        QCOMPARE(backup.stamps, 12);
        mDb.reset();
        const QString backupBytes = Dump(backup.path);
        QVERIFY2(RestoreAutomaticBackup(backup, mCat->Path(), &problem), qPrintable(problem));
        QCOMPARE(Dump(mCat->Path()), backupBytes);
        QCOMPARE(Entries(mCat->Dir()), QStringList({"backups", "stamp.mdb"}));
        mDb = Database::Open(mCat->Path(), true);
        auto rs = mDb->OpenSnapshot(QStringLiteral("SELECT descr FROM Stamp WHERE StampID = 1"));
        QCOMPARE(rs->FieldAt(0).toString(), QStringLiteral("Before"));
    }

    // A backup that cannot be written says why and leaves nothing behind: a
    // file in the way of the folder, and a full disk.
    void failuresLeaveNothing()
    {
        WriteAll(Folder(), "in the way");
        QString problem;
        QVERIFY(!MakeAutomaticBackup(*mDb, Backups(), &problem));
        QVERIFY2(problem.contains(QStringLiteral("is in the way")), qPrintable(problem));
        QCOMPARE(ReadAll(Folder()), QByteArray("in the way"));
        QFile::remove(Folder());

        const int status = RunWithFileLimit(64 * 1024, [&] {
            QString why;
            const bool made = MakeAutomaticBackup(*mDb, Backups(), &why);
            return !made && why.contains(QStringLiteral("disk")) ? 0 : 1;
        });
        QCOMPARE(status, 0);
        QCOMPARE(Entries(mCat->Dir()), QStringList{"stamp.mdb"});
    }

    // A large catalogue is copied while the program goes on: the backup is made
    // and said so; stopped, it leaves nothing; ended early, it is made at once.
    void madeWhileTheProgramGoesOn()
    {
        BackgroundBackup backup;
        QSignalSpy finished(&backup, &BackgroundBackup::Finished);
        backup.Start(*mDb, Backups());
        QVERIFY(backup.IsRunning());
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().at(0).toBool(), true);
        QVERIFY(!backup.IsRunning());
        QCOMPARE(Backups().List().size(), 1);
        QVERIFY(Backups().List().first().usable);

        mNow = mNow.addDays(1);
        backup.Start(*mDb, Backups());
        backup.Abort();
        QCOMPARE(Files().size(), 1);

        mNow = mNow.addDays(1);
        backup.Start(*mDb, Backups());
        QString problem;
        QVERIFY2(backup.FinishNow(&problem), qPrintable(problem));
        QCOMPARE(Files().size(), 2);
        QCOMPARE(Backups().List().first().stamps, 12);
    }

    // Temporary files of a copy that was stopped are not listed, and go with
    // the next backup.
    void leftoversOfAStoppedCopyGo()
    {
        QVERIFY(QDir().mkpath(Folder()));
        WriteAll(QDir(Folder()).filePath(QStringLiteral(".stamp-backup-AbC123.tmp")), "half a copy");
        QVERIFY(Backups().List().isEmpty());
        QString problem;
        QVERIFY(MakeAutomaticBackup(*mDb, Backups(), &problem));
        QCOMPARE(Files(), QStringList{"stamp-2024-03-10-093000.mdb"});
    }
};

QTEST_GUILESS_MAIN(TestAutoBackups)
#include "tst_autobackups.moc"
