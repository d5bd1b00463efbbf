#pragma once

// Automatic backups of the catalogue, kept in the folder "backups" beside
// stamp.mdb and named by the moment they were made ("stamp-2024-05-01-093015.mdb").
// One is made when the program starts (and before packing, an import, or a
// restore) if the newest is older than a day. Each is written the backup's safe
// way: a temporary file in the folder, synced, checked, and only then given its
// name; a copy that cannot be finished leaves nothing behind. The newest ten are
// kept, and the newest of each month for a year; files of other names in the
// folder are never touched, and never restored.

#include "upkeep/Backup.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class Database;
struct Connection;
struct sqlite3;
struct sqlite3_backup;

// One file of the backups folder.
struct AutomaticBackup {
    QString path;
    QString fileName;
    QDateTime made;  // from its name; invalid for a file of another name
    qint64 bytes = 0;
    qint64 stamps = -1;   // the stamps it holds, once read
    bool usable = false;  // an automatic backup that can be restored
    QString problem;      // why not
};

// The moment now; tests set the clock.
using BackupClock = std::function<QDateTime()>;

class AutomaticBackups {
public:
    static constexpr int kNewestKept = 10;
    static constexpr int kMonthsKept = 12;

    explicit AutomaticBackups(const QString& catalogue, BackupClock clock = {});

    QString Folder() const;
    QDateTime Now() const;
    // The moment of the newest automatic backup, if there is one.
    std::optional<QDateTime> LastMade() const;
    // No automatic backup is younger than a day.
    bool IsDue() const;
    // Every file in the folder, automatic backups newest first, other files after
    // them by name, each told usable or not (a file that is not a catalogue this
    // program can open, or one of another name, is not).
    QList<AutomaticBackup> List() const;
    // Removes the automatic backups the rule does not keep; the names removed.
    QStringList Rotate() const;
    // The path for a backup made now (made unique within the folder).
    QString NewBackupPath() const;

private:
    QString mCatalogue;
    BackupClock mClock;
};

// Of automatic backups made at these moments, the ones to remove at now: all
// but the newest ten and the newest of each of the last twelve months.
QList<QDateTime> BackupsToRemove(QList<QDateTime> made, const QDateTime& now);

// The moment in an automatic backup's file name; invalid for any other name.
QDateTime BackupMoment(const QString& fileName);

// A copy of the open catalogue being written into the backups folder, page by
// page from the catalogue's own connection, so that the program can go on
// while a large catalogue is copied (its own writes reach the copy too).
class CatalogueCopy {
public:
    CatalogueCopy(Database& db, QString target);
    ~CatalogueCopy();  // abandons a copy not kept
    CatalogueCopy(const CatalogueCopy&) = delete;
    CatalogueCopy& operator=(const CatalogueCopy&) = delete;

    // Makes the temporary file and starts; false with Problem() when it cannot.
    bool Begin();
    // Copies up to pages more (all when pages < 0); true once every page is
    // copied, closed and synced, or the copy failed (Failed()).
    bool Step(int pages);
    qint64 PagesDone() const { return mDone; }
    qint64 PagesTotal() const { return mTotal; }
    bool Failed() const { return !mProblem.isEmpty(); }
    const QString& Problem() const { return mProblem; }
    // Checks the finished copy: every page's structure, and the stamps the
    // catalogue held when the copy was finished. Touches only the copy, so it
    // may run on another thread.
    bool Check();
    // Gives the checked copy its name and makes that durable.
    bool Keep();
    // Stops and removes the temporary file.
    void Abandon();
    const QString& Target() const { return mTarget; }

private:
    bool Fail(const QString& problem);

    std::shared_ptr<Connection> mConn;
    QString mTarget;
    QString mTemp;
    sqlite3* mCopy = nullptr;
    sqlite3_backup* mBackup = nullptr;
    qint64 mDone = 0;
    qint64 mTotal = 0;
    qint64 mStamps = -1;
    bool mFinished = false;
    bool mKept = false;
    bool mMadeFolder = false;  // a copy that fails leaves no empty folder behind
    QString mProblem;
};

// Makes an automatic backup of the open catalogue now, then (with rotate) removes
// the backups the rule does not keep. On failure nothing is left behind and
// problem says why. The backup made before a restore does not rotate: it must
// not take away the backup about to be restored.
bool MakeAutomaticBackup(Database& db, const AutomaticBackups& backups, QString* problem,
                         const BackupProgress& progress = {}, bool rotate = true);

// Replaces the closed catalogue by an automatic backup: the backup is checked
// in full, copied beside the catalogue, the copy checked, and the copy takes the
// catalogue's name in one rename, so that a stop at any moment leaves either
// the catalogue as it was or the backup in its place. Only a usable automatic
// backup is restored.
bool RestoreAutomaticBackup(const AutomaticBackup& backup, const QString& catalogue, QString* problem);

// Tests stop the work at a step: called with "copy", "check" and "name" while a
// backup is made, "copy", "check" and "swap" while one is restored.
void SetAutomaticBackupStepHook(std::function<void(const char* step)> hook);
