#pragma once

// When the program makes its automatic backups: at start (a small catalogue
// before the window waits for the collector, a large one copied while the
// collector works), before packing and an import when one is due, and always
// before a restore. What the collector should know of them (made, under way,
// failed) is given as a note for the status bar.

#include <QObject>
#include <QString>

class BackgroundBackup;
class Database;

class BackupKeeper : public QObject {
    Q_OBJECT
public:
    explicit BackupKeeper(QObject* parent = nullptr);

    // At start: the backup of the day, when it is due.
    void AtStart(Database& db);
    // Before a change of the whole catalogue (packing, an import): the backup,
    // when it is due. False when it failed (the note has said why).
    bool MakeIfDue(Database& db);
    // Before a restore: a backup of the catalogue as it is, always, leaving the
    // other backups alone (the one chosen must still be there).
    bool MakeNow(Database& db, QString* problem);
    // The catalogue is closing: a backup under way lets go of it.
    void Abort();

Q_SIGNALS:
    // A note for the status bar, shown for timeoutMs (0: until the next one).
    void Note(const QString& text, int timeoutMs);

private:
    bool Make(Database& db, bool always, QString* problem);

    BackgroundBackup* mBackground;
};
