#pragma once

// An automatic backup made while the program goes on: the pages are copied a
// few at a time from the event loop (the program's own writes reach the copy as
// they are made), the finished copy is checked on a thread of its own (it reads
// only the copy), and the checked copy takes its name back on the event loop.
// A large catalogue is backed up this way once the main window shows.

#include "history/AutoBackups.h"

#include <QObject>
#include <QString>

#include <memory>

class Database;
class QThread;
class QTimer;

class BackgroundBackup : public QObject {
    Q_OBJECT
public:
    explicit BackgroundBackup(QObject* parent = nullptr);
    ~BackgroundBackup() override;

    // Starts a backup of the open catalogue into the folder of backups.
    void Start(Database& db, const AutomaticBackups& backups);
    bool IsRunning() const { return static_cast<bool>(mCopy); }
    // Ends the backup under way before its time: everything that is left is done
    // now (packing or a restore is about to close the catalogue). True when it
    // was made, or when none was under way.
    bool FinishNow(QString* problem = nullptr);
    // Stops the backup under way and removes its temporary file (the catalogue
    // is being closed for good).
    void Abort();

Q_SIGNALS:
    // The backup was made (ok) or could not be (problem says why).
    void Finished(bool ok, const QString& problem);

private:
    void Tick();
    void CheckDone();
    bool Conclude(bool checked, QString* problem);

    std::unique_ptr<CatalogueCopy> mCopy;
    std::unique_ptr<AutomaticBackups> mBackups;
    QTimer* mTimer = nullptr;
    QThread* mChecker = nullptr;
    bool mChecked = false;
};
