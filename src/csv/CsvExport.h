#pragma once

// Taking the stamps out of the catalogue into a comma-separated file that any
// spreadsheet reads: one header row of the main window's captions, then one row
// per stamp with every field.

#include <QString>

class Database;

struct ExportResult {
    qint64 stamps = 0;
    bool cancelled = false;
    QString error;  // why the file could not be written; the old file stays as it was

    bool Written() const { return !cancelled && error.isEmpty(); }
};

// Writes every stamp in the order of the main window's sort order (1-3), with a
// progress window that can be cancelled. A failure of the catalogue throws
// DbError (the file is then left as it was).
ExportResult ExportStamps(Database& db, const QString& path, int sortOrder);

// The File menu's export: the Save dialog, the "File Exists" question, the file,
// and a message saying how many stamps it holds, or why it could not be written.
void ExportToCsv(Database& db, int sortOrder);

inline const QString kCsvFileFilter = QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*");
