#include "history/BackupKeeper.h"

#include "db/Database.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "history/AutoBackups.h"
#include "history/BackgroundBackup.h"

#include <QFileInfo>
#include <QTimer>

namespace {

// Up to this size the backup at start is made before the window waits for the
// collector (about half a second); a larger catalogue is copied while the
// collector works.
constexpr qint64 kQuickBackupBytes = 80LL * 1024 * 1024;

QString FailureNote(const QString& problem)
{
    return QStringLiteral("The automatic backup could not be made: ") + problem;
}

}  // namespace

BackupKeeper::BackupKeeper(QObject* parent) : QObject(parent), mBackground(new BackgroundBackup(this))
{
    connect(mBackground, &BackgroundBackup::Finished, this, [this](bool ok, const QString& problem) {
        if (ok)
            Q_EMIT Note(QStringLiteral("Today's automatic backup of the catalogue has been made."), 5000);
        else
            Q_EMIT Note(FailureNote(problem), 0);
    });
}

void BackupKeeper::AtStart(Database& db)
{
    if (!db.IsOpen() || !AutomaticBackups(db.Path()).IsDue()) return;
    if (QFileInfo(db.Path()).size() <= kQuickBackupBytes) {
        Make(db, false, nullptr);
        return;
    }
    Q_EMIT Note(QStringLiteral("Making today's automatic backup of the catalogue..."), 0);
    // On the catalogue open when the event loop comes to it.
    QTimer::singleShot(0, this, [this] {
        if (gDb && gDb->IsOpen() && !mBackground->IsRunning()) mBackground->Start(*gDb, AutomaticBackups(gDb->Path()));
    });
}

bool BackupKeeper::MakeIfDue(Database& db)
{
    return Make(db, false, nullptr);
}

bool BackupKeeper::MakeNow(Database& db, QString* problem)
{
    return Make(db, true, problem);
}

void BackupKeeper::Abort()
{
    mBackground->Abort();
}

bool BackupKeeper::Make(Database& db, bool always, QString* problemOut)
{
    if (!db.IsOpen()) return false;
    const AutomaticBackups backups(db.Path());
    QString problem;
    bool made = false;
    // A backup under way is finished first; it may be the one that was due.
    if (mBackground->IsRunning()) made = mBackground->FinishNow(&problem);
    if (!always && (made || !backups.IsDue())) return true;
    {
        Progress progress(kAppTitle, QStringLiteral("Making an automatic backup of the catalogue..."), 1000);
        made = MakeAutomaticBackup(
            db, backups, &problem,
            [&progress](qint64 done, qint64 total) {
                progress.Step(total > 0 ? done * 1000 / total : 0);
                return true;
            },
            !always);
    }
    if (!made) Q_EMIT Note(FailureNote(problem), 0);
    if (problemOut) *problemOut = problem;
    return made;
}
