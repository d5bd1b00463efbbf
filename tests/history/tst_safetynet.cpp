// The safety net in the real window: a collector deletes three stamps, undoes,
// deletes them again, restores one from the trash and goes back to yesterday's
// automatic backup; undo shows the stamp and the lists as they were; undo waits
// while an edit is under way; every reopening forgets the history; a backup at
// start, and a note in the status bar when it cannot be made.
#include "../app/MainWindowFixture.h"
#include "HistoryTestData.h"

#include "app/AccessKeys.h"
#include "codes/frmCodesMaint.h"
#include "history/AutoBackups.h"
#include "history/History.h"
#include "history/Trash.h"
#include "history/frmAutoBackups.h"
#include "history/frmDeletedStamps.h"

#include <QAction>
#include <QDir>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

namespace {

QAction* Action(MainWindowFixture& f, const char* name)
{
    return f.W<QAction>(name);
}

// Runs work on the modal window of type T once it shows.
template <typename T>
void OnModal(std::function<void(T*)> work)
{
    QTimer::singleShot(0, [work] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window) qFatal("no modal window");
        work(window);
    });
}

// A query sent as it is, not in the program's dialect.
QString Raw(const QString& sql)
{
    Statement statement(gDb->SharedConnection(), sql);
    if (!statement.Step()) return QString();
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.Handle(), 0));
    return text ? QString::fromUtf8(text) : QString();
}

int StampCount()
{
    auto rs = gDb->OpenSnapshot(QStringLiteral("SELECT count(*) FROM Stamp"));
    return rs->FieldAt(0).toInt();
}

void PressUndo(MainWindowFixture& f, bool redo = false)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : f.window.get();
    if (redo)
        QTest::keyClick(target, Qt::Key_Y, Qt::ControlModifier);
    else
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
}

}  // namespace

class TestSafetyNet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InstallAccessKeys();
    }

    void deleteUndoTrashAndYesterdaysBackup()
    {
        MainWindowFixture f(12);
        f.Show();
        // Yesterday's automatic backup, of the catalogue as it is now.
        const QDateTime yesterday = QDateTime::currentDateTime().addDays(-1);
        QString problem;
        QVERIFY(MakeAutomaticBackup(*gDb, AutomaticBackups(gDb->Path(), [yesterday] { return yesterday; }), &problem));
        const QString start = CatalogueState(*gDb);
        QCOMPARE(Action(f, "mnuUndo")->text(), QStringLiteral("Nothing to &Undo"));
        QVERIFY(!Action(f, "mnuUndo")->isEnabled());

        // Three deletes, each asked as ever.
        QStringList deleted;
        for (int i = 0; i < 3; ++i) {
            f.window->cmdNext_Click();
            deleted << f.Text("txtDescr");
            QTest::mouseClick(f.W<QPushButton>("cmdDelete"), Qt::LeftButton);
        }
        QCOMPARE(f.prompts.messages.size(), size_t(3));
        for (const ShownMessage& message : f.prompts.messages) {
            QCOMPARE(message.text, QStringLiteral("Are you sure that you want to delete this stamp record?"));
            QCOMPARE(message.title, QStringLiteral("Delete Stamp"));
        }
        QCOMPARE(StampCount(), 9);
        QCOMPARE(gStampRs->RecordCount(), 9);
        QCOMPARE(Action(f, "mnuUndo")->text(), QStringLiteral("&Undo Delete of '%1'").arg(deleted[2]));

        // Undone with the keys, from the description box: newest first, each
        // stamp shown as it comes back.
        f.W<QLineEdit>("txtDescr")->setFocus();
        for (int i = 2; i >= 0; --i) {
            PressUndo(f);
            QCOMPARE(f.Text("txtDescr"), deleted[i]);
            QVERIFY(!f.window->IsEditing());
        }
        QCOMPARE(CatalogueState(*gDb), start);
        QCOMPARE(gStampRs->RecordCount(), 12);
        QCOMPARE(Action(f, "mnuUndo")->text(), QStringLiteral("Nothing to &Undo"));
        QCOMPARE(Action(f, "mnuRedo")->text(), QStringLiteral("&Redo Delete of '%1'").arg(deleted[0]));

        // Deleted again: redo is gone with the first new change.
        for (const QString& descr : deleted) {
            f.window->cmdFirst_Click();
            f.prompts.inputs.push_back(descr);
            f.window->cmdFind_Click();
            QCOMPARE(f.Text("txtDescr"), descr);
            f.window->cmdDelete_Click();
        }
        QCOMPARE(StampCount(), 9);
        QVERIFY(!Action(f, "mnuRedo")->isEnabled());
        QCOMPARE(Action(f, "mnuRedo")->text(), QStringLiteral("Nothing to &Redo"));

        // One comes back from the trash, with its key.
        const QString key = Raw(QStringLiteral("SELECT StampID FROM DeletedStamp WHERE descr = '%1'").arg(deleted[1]));
        OnModal<frmDeletedStamps>([&](frmDeletedStamps* window) {
            QCOMPARE(window->lstDeleted->topLevelItemCount(), 3);
            QCOMPARE(window->lstDeleted->headerItem()->text(3), QStringLiteral("Date Deleted"));
            for (int i = 0; i < 3; ++i) {
                QTreeWidgetItem* item = window->lstDeleted->topLevelItem(i);
                item->setSelected(item->text(0) == deleted[1]);
            }
            QTest::mouseClick(window->cmdRestore, Qt::LeftButton);
            QCOMPARE(window->lstDeleted->topLevelItemCount(), 2);
            QTest::mouseClick(window->cmdClose, Qt::LeftButton);
        });
        Action(f, "mnuDeletedStamps")->trigger();
        QCOMPARE(f.Text("txtDescr"), deleted[1]);
        QCOMPARE(Raw(QStringLiteral("SELECT StampID FROM Stamp WHERE descr = '%1'").arg(deleted[1])), key);
        QCOMPARE(StampCount(), 10);
        QCOMPARE(Action(f, "mnuUndo")->text(), QStringLiteral("&Undo Restore of '%1'").arg(deleted[1]));

        // Back to yesterday: asked first, the catalogue as it is now kept, the
        // window started again on yesterday's catalogue.
        const int messagesBefore = static_cast<int>(f.prompts.messages.size());
        OnModal<frmAutoBackups>([&](frmAutoBackups* window) {
            QCOMPARE(window->lstBackups->topLevelItemCount(), 1);
            QCOMPARE(window->lstBackups->topLevelItem(0)->text(2), QStringLiteral("12"));
            QTest::mouseClick(window->cmdRestore, Qt::LeftButton);
        });
        Action(f, "mnuRestoreBackup")->trigger();
        QCOMPARE(static_cast<int>(f.prompts.messages.size()), messagesBefore + 1);
        QCOMPARE(f.prompts.messages.back().title, QStringLiteral("Restore from Automatic Backup"));
        QVERIFY(f.prompts.messages.back().text.startsWith(
            QStringLiteral("Replace the catalogue with the automatic backup of ") + BackupMomentText(yesterday)));
        QVERIFY(gDb && gDb->IsOpen());
        QCOMPARE(CatalogueState(*gDb), start);
        QCOMPARE(gStampRs->RecordCount(), 12);
        QCOMPARE(Action(f, "mnuUndo")->text(), QStringLiteral("Nothing to &Undo"));
        const QList<AutomaticBackup> backups = AutomaticBackups(gDb->Path()).List();
        QCOMPARE(backups.size(), 2);
        QCOMPARE(backups.first().stamps, 10);  // the catalogue as it was before the restore
    }

    // The oldest of the ten backups kept can be restored: the backup made of
    // the catalogue before the restore does not push it out.
    void restoreTheOldestOfTheTen()
    {
        MainWindowFixture f(8);
        f.Show();
        QString problem;
        f.Type("txtColor", QStringLiteral("oldest"));
        f.window->cmdUpdate_Click();
        for (int day = 10; day >= 1; --day) {
            const QDateTime then = QDateTime::currentDateTime().addDays(-day);
            QVERIFY(MakeAutomaticBackup(*gDb, AutomaticBackups(gDb->Path(), [then] { return then; }), &problem));
            if (day == 10) {
                f.Type("txtColor", QStringLiteral("later"));
                f.window->cmdUpdate_Click();
            }
        }
        OnModal<frmAutoBackups>([](frmAutoBackups* window) {
            QCOMPARE(window->lstBackups->topLevelItemCount(), 10);
            window->lstBackups->setCurrentItem(window->lstBackups->topLevelItem(9));
            window->cmdRestore->click();
        });
        f.prompts.Clear();
        Action(f, "mnuRestoreBackup")->trigger();
        QCOMPARE(f.prompts.messages.size(), size_t(1));  // the question alone
        QCOMPARE(Raw(QStringLiteral("SELECT count(*) FROM Stamp WHERE Color = 'oldest'")), QStringLiteral("1"));
        QCOMPARE(AutomaticBackups(gDb->Path()).List().size(), 11);
    }

    // Emptying the trash asks first; after it, the deletes can no longer be
    // undone, while a later change still can.
    void emptyingTheTrashAsksFirst()
    {
        MainWindowFixture f(6);
        f.Show();
        f.window->cmdDelete_Click();
        f.Type("txtColor", QStringLiteral("violet"));
        f.window->cmdUpdate_Click();
        f.prompts.Clear();
        for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
            f.prompts.answers.push_back(answer);
            OnModal<frmDeletedStamps>([](frmDeletedStamps* window) {
                QTest::mouseClick(window->cmdEmptyTrash, Qt::LeftButton);
                window->cmdClose->click();
            });
            Action(f, "mnuDeletedStamps")->trigger();
            QCOMPARE(f.prompts.LastText(),
                     QStringLiteral("Delete the stamp in the trash for good?  It cannot be brought back."));
            QCOMPARE(f.prompts.messages.back().title, QStringLiteral("Empty Trash"));
            QCOMPARE(TrashCount(*gDb), answer == MsgAnswer::Yes ? 0 : 1);
        }
        QCOMPARE(Action(f, "mnuUndo")->text(), QStringLiteral("&Undo Update of '%1'").arg(f.Text("txtDescr")));
        Action(f, "mnuUndo")->trigger();
        QCOMPARE(Action(f, "mnuUndo")->text(), QStringLiteral("Nothing to &Undo"));
        QCOMPARE(StampCount(), 5);
    }

    // Undo of an update shows the stamp as it was; undo of a rename in the code
    // table window brings the old name back into the main window's list.
    void undoShowsTheStampAndTheLists()
    {
        MainWindowFixture f(12);
        f.Show();
        f.window->cmdLast_Click();
        const QString descr = f.Text("txtDescr");
        const QString country = f.Text("cmbCou");
        f.Type("txtDescr", QStringLiteral("Changed"));
        QVERIFY(!Action(f, "mnuUndo")->isEnabled());
        f.window->cmdUpdate_Click();
        QCOMPARE(Action(f, "mnuUndo")->text(), QStringLiteral("&Undo Update of 'Changed'"));
        f.window->cmdFirst_Click();
        Action(f, "mnuUndo")->trigger();
        QCOMPARE(f.Text("txtDescr"), descr);
        Action(f, "mnuRedo")->trigger();
        QCOMPARE(f.Text("txtDescr"), QStringLiteral("Changed"));

        if (!country.isEmpty()) {
            gCodeTable = 3;
            OpenCodesMaint(3);
            frmCodesMaint* codes = frmCodesMaint::Instance();
            QVERIFY(codes);
            f.prompts.inputs.push_back(country);
            codes->cmdFind_Click();
            codes->findChild<QLineEdit*>(QStringLiteral("txtDesc"))->setText(QStringLiteral("Renamed Land"));
            codes->cmdUpdate_Click();
            codes->cmdOk_Click();
            // Back in the main window, the list of the table edited is read again.
            CodeChangedFlag(3) = true;
            f.window->Form_Activate();
            QCOMPARE(f.Text("cmbCou"), QStringLiteral("Renamed Land"));
            QCOMPARE(Action(f, "mnuUndo")->text(), QStringLiteral("&Undo Rename of Country 'Renamed Land'"));
            Action(f, "mnuUndo")->trigger();
            QCOMPARE(f.Text("cmbCou"), country);
        }
    }

    // While an edit is under way Undo and Redo wait, and Ctrl+Z is the box's own.
    void undoWaitsForTheEdit()
    {
        MainWindowFixture f(5);
        f.Show();
        f.Type("txtColor", QStringLiteral("red"));
        f.window->cmdUpdate_Click();
        const QString before = CatalogueState(*gDb);
        f.Type("txtColor", QStringLiteral("blue"));
        QVERIFY(f.window->IsEditing());
        QVERIFY(!Action(f, "mnuUndo")->isEnabled());
        QVERIFY(!Action(f, "mnuDeletedStamps")->isEnabled());
        QVERIFY(!Action(f, "mnuRestoreBackup")->isEnabled());
        PressUndo(f);
        QCOMPARE(CatalogueState(*gDb), before);
        QVERIFY(f.window->IsEditing());
        f.window->cmdCancel_Click();
        QVERIFY(Action(f, "mnuUndo")->isEnabled());
        QCOMPARE(Action(f, "mnuUndo")->text(),
                 QStringLiteral("&Undo Update of '%1'")
                     .arg(f.Scalar(QStringLiteral("SELECT descr FROM Stamp WHERE Color = 'red'"))));
    }

    // Packing opens the catalogue again: nothing to undo afterwards. The Edit
    // menu sits between File and Sort.
    void reopeningForgetsTheHistory()
    {
        MainWindowFixture f(5);
        f.Show();
        QStringList menus;
        for (QAction* menu : f.window->menuBar()->actions()) menus << menu->text();
        QCOMPARE(menus.mid(0, 3), QStringList({"&File", "&Edit", "&Sort"}));
        f.Type("txtColor", QStringLiteral("red"));
        f.window->cmdUpdate_Click();
        QVERIFY(TheHistory().CanUndo());
        f.window->mnuPack_Click();  // Yes
        QVERIFY(gDb && gDb->IsOpen());
        QCOMPARE(Action(f, "mnuUndo")->text(), QStringLiteral("Nothing to &Undo"));
        QVERIFY(!Action(f, "mnuUndo")->isEnabled());
        // Packing made the day's automatic backup first.
        QCOMPARE(AutomaticBackups(gDb->Path()).List().size(), 1);
    }

    // The start makes the day's backup once; one that cannot be made is noted
    // in the status bar, and the program goes on.
    void backupAtStart()
    {
        {
            MainWindowFixture f(5);
            f.window->BackUpAtStart();
            QCOMPARE(AutomaticBackups(gDb->Path()).List().size(), 1);
            f.window->BackUpAtStart();
            QCOMPARE(AutomaticBackups(gDb->Path()).List().size(), 1);
        }
        MainWindowFixture g(5);
        QFile blocker(g.cat.File(QStringLiteral("backups")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        g.window->BackUpAtStart();
        QVERIFY(g.prompts.messages.empty());
        QVERIFY(g.window->statusBar()->currentMessage().startsWith(
            QStringLiteral("The automatic backup could not be made: ")));
        QVERIFY(gDb && gDb->IsOpen());
    }
};

QTEST_MAIN(TestSafetyNet)
#include "tst_safetynet.moc"
