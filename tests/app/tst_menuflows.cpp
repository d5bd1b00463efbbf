#include "MainWindowFixture.h"

#include "codes/frmCodesMaint.h"
#include "custom/CustomReportTargets.h"
#include "custom/frmRptSpec.h"
#include "help/HelpFile.h"
#include "reports/ReportPresenter.h"
#include "upkeep/frmBackup.h"

#include <QCryptographicHash>
#include <QFile>
#include <QListWidget>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the backup window when it opens: Ok, or Cancel.
void AnswerBackupWindow(bool ok)
{
    QTimer::singleShot(0, [ok] {
        auto* window = qobject_cast<frmBackup*>(QApplication::activeModalWidget());
        if (!window) return;
        (ok ? window->cmdOk : window->cmdCancel)->click();
    });
}

}  // namespace

// The main window's side of backup, packing and the reports: the menus reach
// their windows and routines, and the window comes back as after a fresh start.
class TestMenuFlows : public QObject {
    Q_OBJECT
    MemoryReportPresenter* mPresenter = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        static MemoryReportPresenter presenter;
        InstallReportPresenter(&presenter);
        mPresenter = &presenter;
        InstallCustomReportTargets();
    }
    void cleanup() { frmBackup::SetVolumeSource({}); }

    void backupCopiesTheClosedCatalogueAndComesBack_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void backupCopiesTheClosedCatalogueAndComesBack()
    {
        QFETCH(bool, ok);
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr) VALUES ('Alpha'), ('Bravo'), ('Charlie');"));
        QTemporaryDir drive;
        frmBackup::SetVolumeSource([&] { return QList<BackupVolume>{{QStringLiteral("Stick"), drive.path()}}; });
        f.window->cmdLast_Click();
        f.window->mnuSort_Click(2);
        AnswerBackupWindow(ok);
        f.window->mnuBackup_Click();
        QVERIFY(gDb && gDb->IsOpen());
        QVERIFY(!gReopening);
        QCOMPARE(gSortOrder, 1);
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Alpha"));  // the first record again
        const QByteArray backup = Contents(drive.filePath(QStringLiteral("stamp.mdb")));
        if (ok) {
            gDb->Close();  // the live file is locked; compare it closed
            QCOMPARE(backup, Contents(f.cat.Path()));
        } else {
            QVERIFY(backup.isEmpty());
        }
        QVERIFY(f.prompts.messages.empty());
    }

    void backupWaitsForAnUnfinishedCodeEdit()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Chile');"));
        f.window->mnuMaint_Click(3);
        auto* codes = frmCodesMaint::Instance();
        codes->findChild<QLineEdit*>(QStringLiteral("txtDesc"))->setText(QStringLiteral("Chile (typed)"));
        QVERIFY(codes->IsEditing());
        f.window->mnuBackup_Click();
        QCOMPARE(f.prompts.LastText(),
                 QStringLiteral("Please finish or cancel the change in the \"Maintain Countries\" window first."));
        QVERIFY(frmCodesMaint::Instance());
        QVERIFY(gDb && gDb->IsOpen());
        codes->cmdCancel_Click();
        // Without an unfinished change the window is closed first, then packing runs.
        f.prompts.answers = {MsgAnswer::Yes};
        f.window->mnuPack_Click();
        QVERIFY(!frmCodesMaint::Instance());
        QVERIFY(QFile::exists(f.cat.File(QStringLiteral("stampdb.bak"))));
    }

    // Backup and packing close the code table window only; the custom report
    // window stays and reports on the catalogue as it opened again. The help
    // topics of both say just that.
    void upkeepClosesOnlyTheCodeTableWindow_data()
    {
        QTest::addColumn<bool>("pack");
        QTest::addColumn<int>("topic");
        QTest::newRow("backup") << false << 56;
        QTest::newRow("packing") << true << 57;
    }
    void upkeepClosesOnlyTheCodeTableWindow()
    {
        QFETCH(bool, pack);
        QFETCH(int, topic);
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr) VALUES ('Alpha');"));
        QTemporaryDir drive;
        frmBackup::SetVolumeSource([&] { return QList<BackupVolume>{{QStringLiteral("Stick"), drive.path()}}; });
        f.window->mnuRptCustom_Click();
        frmRptSpec* custom = frmRptSpec::Instance();
        QVERIFY(custom);
        f.window->mnuMaint_Click(3);
        QVERIFY(frmCodesMaint::Instance());
        if (pack) {
            f.prompts.answers = {MsgAnswer::Yes};
            f.window->mnuPack_Click();
        } else {
            AnswerBackupWindow(true);
            f.window->mnuBackup_Click();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmCodesMaint::Instance());
        QCOMPARE(frmRptSpec::Instance(), custom);
        QVERIFY(custom->isVisible());
        const size_t shown = f.prompts.messages.size();
        const int previews = mPresenter->shows;
        custom->findChild<QListWidget*>(QStringLiteral("List1"))->setCurrentRow(0);
        custom->cmdAdd_Click();
        custom->cmdGenerate_Click();
        QCOMPARE(f.prompts.messages.size(), shown);
        QVERIFY(!f.prompts.endedWith);
        QCOMPARE(mPresenter->shows, previews + 1);
        custom->cmdCancel_Click();

        HelpFile help;
        QVERIFY(help.Load(QStringLiteral(TESS_SOURCE_DIR "/data/stamp.hlp")));
        const QString text = help.Markdown(help.IndexOfContext(topic));
        QVERIFY2(text.contains(QStringLiteral("window of the Maintain menu")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("the custom report window and the report preview stay open"),
                               Qt::CaseInsensitive),
                 qPrintable(text));
    }

    void packingKeepsTheContent()
    {
        MainWindowFixture f(200);
        const QString before = f.Scalar(QStringLiteral("select count(*) || '|' || sum(quantity) || '|' || "
                                                       "total(pricepaid) || '|' || group_concat(descr) from Stamp"));
        f.window->cmdLast_Click();
        f.prompts.answers = {MsgAnswer::No};
        f.window->mnuPack_Click();
        QCOMPARE(f.prompts.messages.back().text, QStringLiteral("Do you wish to compact the Tessarine database?"));
        QCOMPARE(f.prompts.messages.back().title, QStringLiteral("Compact Database"));
        QVERIFY(!QFile::exists(f.cat.File(QStringLiteral("stampdb.bak"))));
        const QString last = f.Text("txtDescr");
        QCOMPARE(f.Text("txtDescr"), last);  // No changes nothing, the window stays where it was

        for (int round = 0; round < 2; ++round) {
            f.prompts.answers = {MsgAnswer::Yes};
            f.window->mnuPack_Click();
            QVERIFY(gDb && gDb->IsOpen());
            QVERIFY(QFile::exists(f.cat.File(QStringLiteral("stampdb.bak"))));
            QVERIFY(!QFile::exists(f.cat.File(QStringLiteral("stampnew.mdb"))));
            QCOMPARE(f.Scalar(QStringLiteral("select count(*) || '|' || sum(quantity) || '|' || total(pricepaid) || "
                                             "'|' || group_concat(descr) from Stamp")),
                     before);
        }
        QCOMPARE(f.Text("txtDescr"), f.Scalar(QStringLiteral("select descr from Stamp order by descr, StampID limit 1")));
        QCOMPARE(f.prompts.busy, (std::vector<bool>{true, false, true, false}));
    }

    void editingDisablesUpkeep()
    {
        MainWindowFixture f(0, QStringLiteral("INSERT INTO Stamp (descr) VALUES ('Alpha');"));
        f.window->BeginEdit();
        f.window->mnuPack_Click();
        f.window->mnuBackup_Click();
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(gDb && gDb->IsOpen());
    }

    void reportMenusReachTheReports()
    {
        MainWindowFixture f(0, QStringLiteral(
            "INSERT INTO Stamp (descr, catnum, quantity, pricepaid, priceask, sold) VALUES ('Sold one', '7', 3, 1.5, 2, 1);"));
        QTemporaryDir out;
        const QString file = out.filePath(QStringLiteral("Sales.txt"));
        f.window->mnuRptOut_Click(2);
        f.prompts.saveFiles = {file};
        f.window->mnuRptSold_Click();
        QCOMPARE(f.prompts.saveRequests.back().defaultName, QStringLiteral("Sales.txt"));
        QCOMPARE(Contents(file), QByteArray("Sold one\t7\t3\t$1.50\t$4.50\t$2.00\t$6.00\r\n\t\t3\t\t4.5\t\t6\r\n\t\t\t\t\t\t1.5\r\n"));
        // A file report asks for the file first, then finds nothing to report.
        f.prompts.saveFiles = {out.filePath(QStringLiteral("Value.txt"))};
        f.window->mnuRptValue_Click();
        QCOMPARE(f.prompts.LastText(), QStringLiteral("You have not entered any stamps!"));
        QCOMPARE(Contents(out.filePath(QStringLiteral("Value.txt"))), QByteArray());
        f.window->mnuRptOut_Click(1);
        f.window->mnuRptWant_Click();
        QCOMPARE(f.prompts.LastText(), QStringLiteral("You have not entered any want list stamps!"));
        f.window->mnuRpt_Click(4);
        QCOMPARE(gRptCategory, 8);
        f.window->mnuRptCustom_Click();
        QVERIFY(frmRptSpec::Instance());
        frmRptSpec::Instance()->cmdCancel_Click();
    }

    void helpMenusAskTheViewer()
    {
        MainWindowFixture f;
        for (int i = 1; i <= 3; ++i) f.window->mnuHelp_Click(i);
        f.window->cmdHelp_Click();
        QCOMPARE(f.prompts.helpCalls, (std::vector<std::pair<int, int>>{{1, 0}, {0x105, 0}, {4, 0}, {1, 0}}));
    }
};

QTEST_MAIN(TestMenuFlows)
#include "tst_menuflows.moc"
