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

// Which stamps, in which order, in the program's dialect: a condition on the
// stamp table (empty for every stamp) and the ORDER BY terms. Stamps that sort
// alike keep the order of their keys, as the main window shows them.
struct ExportSelection {
    QString where;
    QString order;
    QString Condition() const { return where.isEmpty() ? QString() : QStringLiteral(" where ") + where; }
};

// Writes the stamps, with a progress window that can be cancelled. A failure of
// the catalogue throws DbError (the file is then left as it was). The sort order
// is one of the main window's (1-3), every stamp.
ExportResult ExportStamps(Database& db, const QString& path, const ExportSelection& selection);
ExportResult ExportStamps(Database& db, const QString& path, int sortOrder);

// The File menu's export: the Save dialog, the "File Exists" question, the file,
// and a message saying how many stamps it holds, or why it could not be written.
void ExportToCsv(Database& db, const ExportSelection& selection);
void ExportToCsv(Database& db, int sortOrder);

inline const QString kCsvFileFilter = QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*");
