#include "ScriptedPrompts.h"
#include "TestCatalogue.h"
#include "UpkeepTestFiles.h"

#include "app/AccessKeys.h"
#include "db/Globals.h"
#include "help/HelpContext.h"
#include "upkeep/frmBackup.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestFrmBackup : public QObject {
    Q_OBJECT
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<ScriptedPrompts> mPrompts;
    QTemporaryDir mDriveA;
    QTemporaryDir mDriveB;

private Q_SLOTS:
    void initTestCase() { InstallAccessKeys(); }
    void init()
    {
        mPrompts = std::make_unique<ScriptedPrompts>();
        mCat = std::make_unique<TestCatalogue>(120);
        gAppDir = mCat->Dir() + u'/';
        frmBackup::SetVolumeSource([this] {
            return QList<BackupVolume>{{"Stick A (/media/a), 1.0 GB free", mDriveA.path()},
                                       {"Stick B (/media/b), 2.0 GB free", mDriveB.path()}};
        });
        QFile::remove(mDriveA.filePath("stamp.mdb"));
        QFile::remove(mDriveB.filePath("stamp.mdb"));
    }

    void cleanup()
    {
        frmBackup::SetVolumeSource({});
        gAppDir.clear();
        mCat.reset();
        mPrompts.reset();
    }

    void windowAndControls()
    {
        frmBackup window;
        QCOMPARE(window.windowTitle(), QString("Backup the Tessarine Database"));
        QCOMPARE(window.Label1->text(), QString("Select the drive to which the database should be copied."));
        QCOMPARE(window.cmdOk->text(), QString("&Ok"));
        QCOMPARE(window.cmdCancel->text(), QString("&Cancel"));
        for (QWidget* w :
             std::initializer_list<QWidget*>{&window, window.Label1, window.Drive1, window.cmdOk, window.cmdCancel})
            QCOMPARE(HelpContextOf(w), 56);
        window.show();
        QCOMPARE(window.focusWidget(), window.Drive1);
        QCOMPARE(window.Drive1->nextInFocusChain(), window.cmdOk);
        QCOMPARE(window.cmdOk->nextInFocusChain(), window.cmdCancel);
    }

    void driveListShowsLabelsAndKeepsMountPoints()
    {
        frmBackup window;
        QCOMPARE(window.Drive1->count(), 2);
        QCOMPARE(window.Drive1->itemText(1), QString("Stick B (/media/b), 2.0 GB free"));
        QCOMPARE(window.Drive1->itemData(1).toString(), mDriveB.path());
        QCOMPARE(window.Drive1->currentIndex(), 0);
    }

    void homeDriveIsChosenFirst()
    {
        const QString home = QStorageInfo(QDir::homePath()).rootPath();
        frmBackup::SetVolumeSource([&] { return QList<BackupVolume>{{"Stick", mDriveA.path()}, {"Home", home}}; });
        frmBackup window;
        QCOMPARE(window.Drive1->currentText(), QString("Home"));
    }

    void driveFoldersFromTheEnvironment()
    {
        frmBackup::SetVolumeSource({});
        qputenv("TESSARINE_BACKUP_DRIVES", (mDriveB.path() + ':' + mDriveA.path()).toLocal8Bit());
        frmBackup window;
        qunsetenv("TESSARINE_BACKUP_DRIVES");
        QCOMPARE(window.Drive1->count(), 2);
        QCOMPARE(window.Drive1->itemData(0).toString(), mDriveB.path());
        QCOMPARE(window.Drive1->itemData(1).toString(), mDriveA.path());
        window.show();
        window.Drive1->setCurrentIndex(1);
        QTest::mouseClick(window.cmdOk, Qt::LeftButton);
        QCOMPARE(ReadAll(mDriveA.filePath("stamp.mdb")), ReadAll(mCat->Path()));
        QVERIFY(!QFile::exists(mDriveB.filePath("stamp.mdb")));
        QVERIFY(mPrompts->messages.empty());
    }

    void okCopiesToTheChosenDrive()
    {
        frmBackup window;
        window.show();
        window.Drive1->setCurrentIndex(1);
        QTest::mouseClick(window.cmdOk, Qt::LeftButton);
        QCOMPARE(ReadAll(mDriveB.filePath("stamp.mdb")), ReadAll(mCat->Path()));
        QVERIFY(!QFile::exists(mDriveA.filePath("stamp.mdb")));
        QVERIFY(mPrompts->messages.empty());
        QCOMPARE(mPrompts->busy, std::vector<bool>({true, false}));
        QVERIFY(!window.isVisible());
    }

    // The backup message comes first, as it always was; the reason follows on
    // the next line.
    void failureShowsTheBackupMessage_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");  // %1: the drive A folder, %2: the catalogue folder
        QTest::newRow("drive gone") << "gone"
                                    << "Could not write in '%1/unplugged': No such file or directory.";
        QTest::newRow("no drives at all") << "none"
                                          << "No drive was chosen.";
        QTest::newRow("no catalogue to copy") << "no catalogue"
                                              << "Could not read '%2/stamp.mdb': No such file or directory.";
        QTest::newRow("damaged catalogue") << "damaged"
                                           << "";  // the engine's own words
    }

    void failureShowsTheBackupMessage()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString gone = mDriveA.filePath("unplugged");
        if (kind == "gone") frmBackup::SetVolumeSource([&] { return QList<BackupVolume>{{"Stick", gone}}; });
        if (kind == "none") frmBackup::SetVolumeSource([] { return QList<BackupVolume>{}; });
        if (kind == "no catalogue") QVERIFY(QFile::remove(mCat->Path()));
        if (kind == "damaged") {
            QByteArray bytes = ReadAll(mCat->Path());
            for (qsizetype i = 4096; i < bytes.size(); i += 97) bytes[i] = char(0xA5);
            WriteAll(mCat->Path(), bytes);
        }
        WriteAll(mDriveB.filePath("stamp.mdb"), "earlier");
        frmBackup window;
        if (kind != "gone" && kind != "none") window.Drive1->setCurrentIndex(1);
        QTest::mouseClick(window.cmdOk, Qt::LeftButton);
        QCOMPARE(mPrompts->messages.size(), size_t(1));
        const ShownMessage& shown = mPrompts->messages.front();
        const QStringList lines = shown.text.split(u'\n');
        QCOMPARE(lines.size(), qsizetype(2));
        QCOMPARE(lines[0], QString("Backup could not be Performed.  Make sure a formatted disk with sufficient "
                                   "free space is in the selected drive."));
        QVERIFY(!lines[1].trimmed().isEmpty());
        reason.replace("%1", mDriveA.path()).replace("%2", mCat->Dir());
        QVERIFY2(lines[1].startsWith(reason), qPrintable(lines[1]));
        QCOMPARE(shown.title, QString("Tessarine"));
        QCOMPARE(shown.icon, MsgIcon::None);
        QCOMPARE(shown.buttons, MsgButtons::Ok);
        QCOMPARE(ReadAll(mDriveB.filePath("stamp.mdb")), QByteArray("earlier"));
        QCOMPARE(Entries(mDriveB.path()), QStringList{"stamp.mdb"});
        // The pointer is back to normal before the message.
        QCOMPARE(mPrompts->busy.back(), false);
    }

    void cancelCopiesNothing()
    {
        frmBackup window;
        window.show();
        QTest::mouseClick(window.cmdCancel, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QVERIFY(Entries(mDriveA.path()).isEmpty());
        QVERIFY(Entries(mDriveB.path()).isEmpty());
        QVERIFY(mPrompts->messages.empty());
    }

    void accessKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("copied");
        QTest::newRow("Alt+O") << int(Qt::Key_O) << true;
        QTest::newRow("Alt+C") << int(Qt::Key_C) << false;
    }
    void accessKeys()
    {
        QFETCH(int, key);
        QFETCH(bool, copied);
        bool closed = false;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<frmBackup*>(QApplication::activeModalWidget());
            QVERIFY(window);
            const auto close = qScopeGuard([window] { window->close(); });
            QApplication::setActiveWindow(window);
            QVERIFY(QTest::qWaitForWindowActive(window));
            QTest::keyClick(window, Qt::Key(key), Qt::AltModifier);
            closed = !window->isVisible();
        });
        ShowBackupWindow();
        QVERIFY(closed);
        QCOMPARE(QFile::exists(mDriveA.filePath("stamp.mdb")), copied);
    }

    void showBackupWindowIsModal()
    {
        bool wasModal = false;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<frmBackup*>(QApplication::activeModalWidget());
            QVERIFY(window);
            wasModal = window->isModal();
            QTest::mouseClick(window->cmdOk, Qt::LeftButton);
        });
        ShowBackupWindow();
        QVERIFY(wasModal);
        QCOMPARE(ReadAll(mDriveA.filePath("stamp.mdb")), ReadAll(mCat->Path()));
    }
};

QTEST_MAIN(TestFrmBackup)
#include "tst_frmbackup.moc"
