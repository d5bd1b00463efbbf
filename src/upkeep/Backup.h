#pragma once

// Backup of the closed catalogue to a drive: the copy is written beside the
// destination under a temporary name, synced and checked, and only then renamed
// to stamp.mdb, so a full disk or a pulled stick never leaves a truncated file
// that looks like a good backup.

#include <QList>
#include <QString>

#include <functional>

// A drive the catalogue can be copied to: what the list shows, and its mount point.
struct BackupVolume {
    QString label;
    QString mountPoint;
};

// The mounted, ready, writable real file systems, in mount order.
QList<BackupVolume> WritableVolumes();

// Folders offered as drives, from a list separated by ':' (the value of
// kBackupDrivesVariable): each existing, writable folder once, in list order,
// by its absolute path. A machine whose only writable drive is the system's
// own, or a test in an X server of its own, backs up into a folder this way.
QList<BackupVolume> FolderVolumes(const QString& folders);

// The environment variable that, when set, replaces the drive list by its folders.
inline constexpr char kBackupDrivesVariable[] = "TESSARINE_BACKUP_DRIVES";

// Progress of a backup: bytes done of the total (the copy, then its reading
// back); false cancels the backup.
using BackupProgress = std::function<bool(qint64 done, qint64 total)>;

// Copies source to <folder>/stamp.mdb, replacing a backup there only once the
// copy is complete and checked: read back, it must hold the catalogue's bytes,
// and be a sound catalogue. On failure nothing is left behind, an existing
// backup is untouched, and problem says why; when progress cancelled the backup,
// problem is empty.
bool BackupCatalogue(const QString& source, const QString& folder, QString* problem = nullptr,
                     const BackupProgress& progress = {});

// The message the backup window shows when the copy could not be made; the
// reason follows on the next line.
inline const QString kBackupFailedText = QStringLiteral(
    "Backup could not be Performed.  Make sure a formatted disk with sufficient free space is in the selected drive.");
