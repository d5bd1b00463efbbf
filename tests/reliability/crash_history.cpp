// Works on the catalogue in a folder with the program's own code, again and
// again, until it is killed:
//
//   crash_history DIR change          makes the change the undo test takes back
//                                      and forth, says "H" and waits
//   crash_history DIR undo [commit]    undoes and redoes that change in turn
//                                      ("U" after each undo, "R" after each redo);
//                                      with "commit", the first undo stops
//                                      before its commit
//   crash_history DIR backup [STEP]    makes automatic backups, a simulated day
//                                      apart ("B" after each)
//   crash_history DIR restore [STEP]   puts the two automatic backups in the
//                                      folder in place in turn ("P" after each)
//
// Each says "S" when it starts. Given a STEP of the backup ("copy", "check",
// "name") or of the restore ("copy", "check", "swap"), it says "H" there the
// first time and waits to be killed.

#include "ScriptedPrompts.h"

#include "db/Database.h"
#include "history/AutoBackups.h"
#include "history/History.h"
#include "history/Trash.h"

#include <QCoreApplication>
#include <QDir>

#include <unistd.h>

namespace {

void Say(const QByteArray& line)
{
    const QByteArray out = line + '\n';
    if (write(STDOUT_FILENO, out.constData(), static_cast<size_t>(out.size())) < 0) _exit(3);
}

void Run(Database& db, const QString& sql)
{
    Statement statement(db.SharedConnection(), sql);
    while (statement.Step()) {
    }
}

// A change of many stamps: colours, prices to the last digit, and some into
// the trash at a fixed moment, so that the change is the same each time.
void BigChange(Database& db)
{
    QList<qint64> trashed;
    for (qint64 key = 5; key <= 400; key += 5) trashed << key;
    RecordChange(db, ChangeKind::Change, [&] {
        Run(db, QStringLiteral("UPDATE Stamp SET Color = 'shade ' || StampID, pricepaid = ifnull(pricepaid, 0) + 0.07 "
                               "WHERE StampID % 2 = 0"));
        MoveStampsToTrash(db, trashed, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) return 2;
    const QByteArray mode = argv[2];
    const QByteArray hold = argc > 3 ? QByteArray(argv[3]) : QByteArray();
    ScriptedPrompts prompts;
    bool held = false;
    SetAutomaticBackupStepHook([&](const char* step) {
        if (held || hold != step) return;
        held = true;
        Say("H");
        for (;;) pause();
    });
    SetHistoryCommitHook([&] {
        if (held || hold != "commit") return;
        held = true;
        Say("H");
        for (;;) pause();
    });
    const QString catalogue = QDir::current().absoluteFilePath(QStringLiteral("stamp.mdb"));
    Say("S");

    if (mode == "change" || mode == "undo") {
        auto db = Database::Open(catalogue, true);
        BigChange(*db);
        if (mode == "change") {
            Say("H");
            for (;;) pause();
        }
        for (;;) {
            if (!TheHistory().Undo(*db).done) return 5;
            Say("U");
            if (!TheHistory().Redo(*db).done) return 5;
            Say("R");
        }
    }
    if (mode == "backup") {
        auto db = Database::Open(catalogue, true);
        QDateTime now(QDate(2024, 1, 1), QTime(8, 0));
        for (;;) {
            now = now.addDays(1);
            QString problem;
            if (!MakeAutomaticBackup(*db, AutomaticBackups(catalogue, [now] { return now; }), &problem)) {
                Say("F " + problem.toUtf8());
                return 5;
            }
            Say("B");
        }
    }
    if (mode == "restore") {
        for (int n = 0;; ++n) {
            const QList<AutomaticBackup> backups = AutomaticBackups(catalogue).List();
            if (backups.size() < 2) return 6;
            QString problem;
            if (!RestoreAutomaticBackup(backups[n % 2], catalogue, &problem)) {
                Say("F " + problem.toUtf8());
                return 5;
            }
            Say("P");
        }
    }
    return 2;
}
