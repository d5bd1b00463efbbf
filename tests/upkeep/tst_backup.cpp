#include "TestCatalogue.h"
#include "UpkeepTestFiles.h"

#include "upkeep/Backup.h"
#include "upkeep/FileWork.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copiesTheCatalogueToTheDrive()
    {
        TestCatalogue cat(150);
        QTemporaryDir drive;
        QString problem;
        QVERIFY2(BackupCatalogue(cat.Path(), drive.path(), &problem), qPrintable(problem));
        QCOMPARE(ReadAll(drive.filePath("stamp.mdb")), ReadAll(cat.Path()));
        QCOMPARE(Entries(drive.path()), QStringList{"stamp.mdb"});  // nothing else left behind
    }

    void replacesAnEarlierBackup()
    {
        TestCatalogue older(20, 1);
        TestCatalogue cat(150, 2);
        QTemporaryDir drive;
        QVERIFY(QFile::copy(older.Path(), drive.filePath("stamp.mdb")));
        QVERIFY(BackupCatalogue(cat.Path(), drive.path()));
        QCOMPARE(ReadAll(drive.filePath("stamp.mdb")), ReadAll(cat.Path()));
        QCOMPARE(Entries(drive.path()), QStringList{"stamp.mdb"});
    }

    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("drive folder missing") << "missing folder";
        QTest::newRow("drive is a file") << "file";
        QTest::newRow("read-only drive") << "read-only";
        QTest::newRow("stamp.mdb there is a folder") << "target folder";
        QTest::newRow("no catalogue to copy") << "no source";
        QTest::newRow("catalogue is damaged") << "damaged source";
        QTest::newRow("no drive chosen") << "empty";
    }

    // A failed backup says so, leaves nothing half-written and keeps an earlier
    // backup as it was.
    void failures()
    {
        QFETCH(QString, kind);
        TestCatalogue cat(100);
        QTemporaryDir drive;
        QString folder = drive.path();
        const QByteArray earlier = "an earlier backup";
        if (kind != "target folder") WriteAll(drive.filePath("stamp.mdb"), earlier);

        if (kind == "missing folder") folder = drive.filePath("not-there");
        if (kind == "file") folder = drive.filePath("stamp.mdb");
        if (kind == "empty") folder.clear();
        if (kind == "read-only") {
            if (::geteuid() == 0) QSKIP("the superuser writes into read-only folders");
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        }
        if (kind == "target folder") QVERIFY(QDir(folder).mkpath("stamp.mdb/inside"));
        QString source = cat.Path();
        if (kind == "no source") source = cat.File("nothing.mdb");
        if (kind == "damaged source") {
            QByteArray bytes = ReadAll(source);
            for (qsizetype i = 4096; i < bytes.size(); i += 97) bytes[i] = char(0xA5);
            WriteAll(source, bytes);
        }

        QString problem;
        const bool done = BackupCatalogue(source, folder, &problem);
        QFile::setPermissions(drive.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!done);
        QVERIFY(!problem.isEmpty());
        if (kind == "target folder") {
            QCOMPARE(Entries(drive.path()), QStringList{"stamp.mdb"});
            QVERIFY(QFileInfo(drive.filePath("stamp.mdb/inside")).isDir());
        } else {
            QCOMPARE(Entries(drive.path()), QStringList{"stamp.mdb"});
            QCOMPARE(ReadAll(drive.filePath("stamp.mdb")), earlier);
        }
    }

    void fullDrive()
    {
        TestCatalogue cat(400);
        QVERIFY(QFileInfo(cat.Path()).size() > 64 * 1024);
        QTemporaryDir drive;
        const QByteArray earlier = "an earlier backup";
        WriteAll(drive.filePath("stamp.mdb"), earlier);

        const int code = RunWithFileLimit(32 * 1024, [&] {
            QString problem;
            return BackupCatalogue(cat.Path(), drive.path(), &problem) ? 0 : (problem.isEmpty() ? 2 : 1);
        });
        QCOMPARE(code, 1);
        QCOMPARE(Entries(drive.path()), QStringList{"stamp.mdb"});
        QCOMPARE(ReadAll(drive.filePath("stamp.mdb")), earlier);
    }

    void checkCatalogueFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<int>("depth");
        // The structure check that compaction uses must refuse every damaged
        // file the full check refuses.
        for (const auto& [depth, name] : {std::pair{CheckDepth::Full, "full"}, {CheckDepth::Structure, "structure"}}) {
            const auto row = [&](const char* label) -> QTestData& { return QTest::addRow("%s, %s", label, name); };
            row("catalogue") << "good" << true << int(depth);
            row("cut short") << "truncated" << false << int(depth);
            row("pages overwritten") << "scribbled" << false << int(depth);
            row("not a database") << "garbage" << false << int(depth);
            row("empty file") << "empty" << false << int(depth);
            row("database without stamps") << "other" << false << int(depth);
            row("missing") << "missing" << false << int(depth);
        }
    }

    void checkCatalogueFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, sound);
        QFETCH(int, depth);
        TestCatalogue cat(200);
        const QString path = cat.Path();
        QByteArray bytes = ReadAll(path);
        if (kind == "truncated") WriteAll(path, bytes.left(bytes.size() / 2));
        if (kind == "scribbled") {
            for (qsizetype i = bytes.size() / 3; i < bytes.size() / 2; i += 61) bytes[i] = char(i);
            WriteAll(path, bytes);
        }
        if (kind == "garbage") WriteAll(path, QByteArray(8192, 'x'));
        if (kind == "empty") WriteAll(path, QByteArray());
        if (kind == "other") {
            QFile::remove(path);
            QVERIFY(MakeDatabase(path, "CREATE TABLE notes(x); INSERT INTO notes VALUES (1)"));
        }
        if (kind == "missing") QFile::remove(path);

        TableCounts counts;
        QString problem;
        QCOMPARE(CheckCatalogueFile(path, &counts, &problem, CheckDepth(depth)), sound);
        if (sound) {
            QCOMPARE(counts.value("Stamp"), 200);
            QVERIFY(counts.contains("country"));
        } else {
            QVERIFY(!problem.isEmpty());
        }
    }

    // The list names folders as A, B (folders), F (a file) and M (missing),
    // relative to a scratch folder; the expected drives are given the same way.
    void folderVolumes_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("drives");
        QTest::newRow("two folders, in list order") << "$/B:$/A" << QStringList{"B", "A"};
        QTest::newRow("empty parts skipped") << "::$/A::" << QStringList{"A"};
        QTest::newRow("a file is no drive") << "$/F:$/A" << QStringList{"A"};
        QTest::newRow("a missing folder is no drive") << "$/M:$/B" << QStringList{"B"};
        QTest::newRow("one folder named twice") << "$/A:$/A/:$/B/../A" << QStringList{"A"};
        QTest::newRow("relative to the working folder") << "A" << QStringList{"A"};
        QTest::newRow("nothing") << "" << QStringList{};
    }

    void folderVolumes()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, drives);
        QTemporaryDir scratch;
        QVERIFY(QDir(scratch.path()).mkpath("A") && QDir(scratch.path()).mkpath("B"));
        WriteAll(scratch.filePath("F"), "not a folder");
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(scratch.path()));
        const QList<BackupVolume> volumes = FolderVolumes(list.replace("$", scratch.path()));
        QDir::setCurrent(before);

        QStringList shown;
        for (const BackupVolume& volume : volumes) {
            shown << QFileInfo(volume.mountPoint).fileName();
            QCOMPARE(volume.mountPoint, QDir::cleanPath(volume.mountPoint));
            QVERIFY2(volume.label.startsWith(shown.back() + " (" + volume.mountPoint + "), "),
                     qPrintable(volume.label));
            QVERIFY2(volume.label.endsWith(" free"), qPrintable(volume.label));
        }
        QCOMPARE(shown, drives);
        for (const BackupVolume& volume : volumes) QVERIFY(volume.mountPoint.startsWith(scratch.path() + '/'));
    }

    void drivesAreWritableRealFolders()
    {
        const QList<BackupVolume> volumes = WritableVolumes();
        QSet<QString> roots;
        for (const BackupVolume& volume : volumes) {
            QVERIFY(!volume.label.isEmpty());
            QVERIFY2(QFileInfo(volume.mountPoint).isDir(), qPrintable(volume.mountPoint));
            QVERIFY(QFileInfo(volume.mountPoint).isWritable());
            QVERIFY(!volume.mountPoint.startsWith("/proc") && !volume.mountPoint.startsWith("/sys"));
            QVERIFY(!roots.contains(volume.mountPoint));
            roots.insert(volume.mountPoint);
        }
    }
};

QTEST_APPLESS_MAIN(TestBackup)
#include "tst_backup.moc"
