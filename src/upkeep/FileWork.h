#pragma once

// File work shared by backup and compaction: checking a catalogue file that is not
// open, and the plain file operations they need, with the reason of a failure.

#include <QMap>
#include <QString>

// Row counts of a catalogue's tables, by table name.
using TableCounts = QMap<QString, qint64>;

// How thoroughly CheckCatalogueFile looks. Full also proves that every index
// matches its table, which takes several times as long as writing the file;
// Structure reads every page and checks its structure and the rows' constraints,
// enough for a copy the engine has just written itself.
enum class CheckDepth { Full, Structure };

// Opens a closed catalogue file read-only, runs the engine's integrity check and
// makes sure it holds the Stamp table. On success fills counts (when given) with
// the rows of every table.
bool CheckCatalogueFile(const QString& path, TableCounts* counts, QString* problem,
                        CheckDepth depth = CheckDepth::Full);

// Counts the rows of every table of a closed catalogue file, without the
// integrity check. The file is opened for writing, so that a journal left by an
// interrupted write is rolled back first.
bool CountCatalogueRows(const QString& path, TableCounts* counts, QString* problem);

// Removes a file; true when it is gone (or never was).
bool RemoveFileIfPresent(const QString& path);

// Renames a file, replacing the target, as one step.
bool RenameFile(const QString& from, const QString& to, QString* problem);

// Gives a file a second name (a hard link); the new name must not exist yet.
bool LinkFile(const QString& from, const QString& to, QString* problem);

// Copies a file to a new name and makes the copy durable; a copy that could not
// be finished is removed. The copy keeps the file's permissions (and its owner
// and group where the process may give them).
bool CopyFileDurably(const QString& from, const QString& to, QString* problem);

// Gives a file the permissions of another, and its owner and group where the
// process may; best effort.
void CopyPermissions(const QString& from, const QString& to);

// Makes the names in a folder (new files, renames) durable; best effort.
void SyncFolder(const QString& folder);
