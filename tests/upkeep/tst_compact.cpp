#include "ScriptedPrompts.h"
#include "TestCatalogue.h"
#include "UpkeepTestFiles.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/Globals.h"
#include "db/Recordset.h"
#include "upkeep/Compact.h"

#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kUnchanged =
    QStringLiteral("The database could not be compacted.  The catalogue has not been changed.\n\n");

}  // namespace

class TestCompact : public QObject {
    Q_OBJECT
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<ScriptedPrompts> mPrompts;

    QString File(const char* name) const { return mCat->File(QString::fromLatin1(name)); }

private Q_SLOTS:
    void init()
    {
        mPrompts = std::make_unique<ScriptedPrompts>();
        mCat = std::make_unique<TestCatalogue>(300);
        gAppDir = mCat->Dir() + u'/';
        gDbPath = gAppDir + "stamp.mdb";
    }

    void cleanup()
    {
        SetPackRename({});
        SetPackLink({});
        mCat.reset();
        mPrompts.reset();
        gAppDir.clear();
        gDbPath.clear();
    }

    void keepsTheContentAndThePreviousFile()
    {
        // Deleting stamps leaves free pages that compaction gives back.
        mCat->Exec("DELETE FROM Stamp WHERE StampID % 3 = 0");
        const QByteArray before = ReadAll(gDbPath);
        const QString content = Dump(gDbPath);

        QVERIFY(PackCatalogue());
        QVERIFY(mPrompts->messages.empty());
        QCOMPARE(Dump(gDbPath), content);
        QVERIFY(QFileInfo(gDbPath).size() < before.size());
        QCOMPARE(ReadAll(File("stampdb.bak")), before);
        QCOMPARE(Entries(mCat->Dir()), QStringList({"stamp.mdb", "stampdb.bak"}));
        // The compacted catalogue opens as the program opens it.
        auto db = Database::Open(gDbPath, true);
        auto stamps = db->OpenSnapshot("Select * from stamp");
        stamps->MoveLast();
        QCOMPARE(stamps->RecordCount(), 200);
    }

    void twoInARowKeepOneGeneration()
    {
        const QByteArray first = ReadAll(gDbPath);
        QVERIFY(PackCatalogue());
        mCat->Exec("INSERT INTO country (Coudesc) VALUES ('Tessaland')");
        const QByteArray second = ReadAll(gDbPath);
        QVERIFY(second != first);
        QVERIFY(PackCatalogue());
        QCOMPARE(ReadAll(File("stampdb.bak")), second);
        QCOMPARE(mCat->Scalar("SELECT count(*) FROM country WHERE Coudesc = 'Tessaland'"), QString("1"));
        QCOMPARE(Entries(mCat->Dir()), QStringList({"stamp.mdb", "stampdb.bak"}));
    }

    void leftoversOfAnInterruptedRunGoFirst()
    {
        const QString content = Dump(gDbPath);
        WriteAll(File("stampnew.mdb"), "half a catalogue");
        // A journal of the leftover must not be played into the new copy.
        WriteAll(File("stampnew.mdb-journal"), QByteArray(4096, 'j'));
        QVERIFY(PackCatalogue());
        QVERIFY(mPrompts->messages.empty());
        QCOMPARE(Dump(gDbPath), content);
        QCOMPARE(Entries(mCat->Dir()), QStringList({"stamp.mdb", "stampdb.bak"}));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("copy cannot be written") << "fresh is a folder";
        QTest::newRow("catalogue still open") << "open";
        QTest::newRow("old file cannot be kept") << "backup is a folder";
        QTest::newRow("copy cannot take its place") << "second rename";
        QTest::newRow("copy cannot take its place, no hard links") << "second rename without links";
    }

    // Whatever fails, stamp.mdb is there afterwards, as it was, and no stampnew.mdb
    // is left; the collector is told.
    void failures()
    {
        QFETCH(QString, kind);
        const QByteArray olderBackup = "the backup of the compaction before";
        if (kind == "backup is a folder")
            QVERIFY(QDir(mCat->Dir()).mkpath("stampdb.bak/inside"));
        else
            WriteAll(File("stampdb.bak"), olderBackup);
        const QByteArray before = ReadAll(gDbPath);

        std::unique_ptr<Database> holder;
        if (kind == "fresh is a folder") QVERIFY(QDir(mCat->Dir()).mkpath("stampnew.mdb/inside"));
        if (kind == "open") holder = Database::Open(gDbPath, true);
        if (kind == "second rename without links")
            SetPackLink([](const QString&, const QString&, QString* problem) {
                *problem = "Operation not permitted.";
                return false;
            });
        QStringList renames;
        SetPackRename([&](const QString& from, const QString& to, QString* problem) {
            renames.append(QFileInfo(from).fileName() + "->" + QFileInfo(to).fileName());
            if (kind.startsWith("second rename") && from.endsWith("stampnew.mdb")) {
                *problem = "Could not rename: Input/output error.";
                return false;
            }
            return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
        });

        QVERIFY(!PackCatalogue());
        holder.reset();

        QCOMPARE(mPrompts->messages.size(), size_t(1));
        const ShownMessage& shown = mPrompts->messages.front();
        QVERIFY2(shown.text.startsWith(kUnchanged) && shown.text.size() > kUnchanged.size(), qPrintable(shown.text));
        QCOMPARE(shown.title, QString("Tessarine"));
        QCOMPARE(shown.buttons, MsgButtons::Ok);
        QCOMPARE(ReadAll(gDbPath), before);
        QVERIFY(!QFileInfo(File("stampnew.mdb")).isFile());
        if (kind == "fresh is a folder" || kind == "open") {
            QVERIFY(renames.isEmpty());
            QCOMPARE(ReadAll(File("stampdb.bak")), olderBackup);
        }
        // stamp.mdb never left its place: nothing had to be put back, and the
        // backup of the compaction before is still there.
        if (kind.startsWith("second rename")) {
            QCOMPARE(renames, QStringList({"stampnew.mdb->stamp.mdb"}));
            QCOMPARE(ReadAll(File("stampdb.bak")), olderBackup);
            QCOMPARE(Entries(mCat->Dir()), QStringList({"stamp.mdb", "stampdb.bak"}));
        }
        if (kind == "backup is a folder") QVERIFY(QFileInfo(File("stampdb.bak/inside")).isDir());
    }

    // Where the file system has no hard links, the old file is copied.
    void withoutHardLinks()
    {
        mCat->Exec("DELETE FROM Stamp WHERE StampID % 2 = 0");
        const QByteArray before = ReadAll(gDbPath);
        const QString content = Dump(gDbPath);
        SetPackLink([](const QString&, const QString&, QString* problem) {
            *problem = "Operation not permitted.";
            return false;
        });
        QVERIFY(PackCatalogue());
        QVERIFY(mPrompts->messages.empty());
        QCOMPARE(ReadAll(File("stampdb.bak")), before);
        QCOMPARE(Dump(gDbPath), content);
        QVERIFY(QFileInfo(gDbPath).size() < before.size());
        QCOMPARE(Entries(mCat->Dir()), QStringList({"stamp.mdb", "stampdb.bak"}));
    }

    // A catalogue kept private stays private, the previous file as well; owner
    // and group are kept where the process may set them.
    void keepsPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("links");
        QTest::addColumn<bool>("otherOwner");
        QTest::newRow("private") << 0600 << true << false;
        QTest::newRow("private, no hard links") << 0600 << false << false;
        QTest::newRow("group may read") << 0640 << true << false;
        QTest::newRow("group may write, no hard links") << 0660 << false << false;
        QTest::newRow("another owner") << 0640 << true << true;
        QTest::newRow("another owner, no hard links") << 0640 << false << true;
    }
    void keepsPermissions()
    {
        QFETCH(int, mode);
        QFETCH(bool, links);
        QFETCH(bool, otherOwner);
        if (otherOwner && ::geteuid() != 0) QSKIP("only the superuser gives files away");
        const QByteArray path = QFile::encodeName(gDbPath);
        const uid_t owner = otherOwner ? 65534 : ::geteuid();
        const gid_t group = otherOwner ? 65534 : ::getegid();
        QCOMPARE(::chmod(path.constData(), static_cast<mode_t>(mode)), 0);
        QCOMPARE(::chown(path.constData(), owner, group), 0);
        if (!links)
            SetPackLink([](const QString&, const QString&, QString* problem) {
                *problem = "Operation not permitted.";
                return false;
            });
        for (int round = 0; round < 2; ++round) {
            QVERIFY(PackCatalogue());
            QVERIFY(mPrompts->messages.empty());
            for (const char* name : {"stamp.mdb", "stampdb.bak"}) {
                struct stat info {};
                QCOMPARE(::stat(QFile::encodeName(File(name)).constData(), &info), 0);
                QCOMPARE(int(info.st_mode & 07777), mode);
                QCOMPARE(info.st_uid, owner);
                QCOMPARE(info.st_gid, group);
            }
        }
    }

    void fullDisk()
    {
        const QByteArray before = ReadAll(gDbPath);
        QVERIFY(before.size() > 64 * 1024);
        const int code = RunWithFileLimit(32 * 1024, [&] {
            ScriptedPrompts child;
            const bool packed = PackCatalogue();
            return packed ? 0 : (child.LastText().startsWith(kUnchanged) ? 1 : 2);
        });
        QCOMPARE(code, 1);
        QCOMPARE(ReadAll(gDbPath), before);
        QCOMPARE(Entries(mCat->Dir()), QStringList({"stamp.mdb"}));
    }

    void askToCompact_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes") << int(MsgAnswer::Yes) << true;
        QTest::newRow("No") << int(MsgAnswer::No) << false;
    }

    void askToCompact()
    {
        QFETCH(int, answer);
        QFETCH(bool, yes);
        mPrompts->answers.push_back(MsgAnswer(answer));
        QCOMPARE(AskToCompact(), yes);
        QCOMPARE(mPrompts->messages.size(), size_t(1));
        const ShownMessage& shown = mPrompts->messages.front();
        QCOMPARE(shown.text, QString("Do you wish to compact the Tessarine database?"));
        QCOMPARE(shown.title, QString("Compact Database"));
        QCOMPARE(shown.icon, MsgIcon::None);
        QCOMPARE(shown.buttons, MsgButtons::YesNo);
    }
};

QTEST_APPLESS_MAIN(TestCompact)
#include "tst_compact.moc"
