#pragma once

// The command-line twins of the Images tab (tessarine-catalogue images ...), on
// the same code as the window. Each writes its lines to out (results) and err
// (problems) and returns the exit status: 0 when everything asked for was done,
// 1 when something could not be.

#include <QString>
#include <QStringList>

#include <optional>

class Database;

struct CommandOutput {
    QStringList out;
    QStringList err;
};

// images add: the files, in the order given, after the stamp's last image. A
// file that cannot be taken in is named with the reason, and the others are
// still added.
int ImagesAdd(Database& db, qint64 stampId, const QStringList& files, const QString& kind, const QString& caption,
              CommandOutput& output);

// images list: one line per image, tab-separated: stamp, order, kind, caption,
// file size in bytes, pixel size (width x height), hash.
int ImagesList(Database& db, std::optional<qint64> stampId, CommandOutput& output);

// images export: the stamp's originals, byte for byte, into an existing folder,
// named "<stamp>-<order>-<kind>.<ext>"; a file of that name already there is
// left alone and reported.
int ImagesExport(Database& db, qint64 stampId, const QString& folder, CommandOutput& output);

// images attach: every image file in the folder (not its subfolders) to the
// stamp its name starts with; lists what could not be matched, what matches
// several stamps and what could not be read. A picture the stamp has already is
// not attached again, so the same folder can be attached twice.
int ImagesAttach(Database& db, const QString& folder, CommandOutput& output);
