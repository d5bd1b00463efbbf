#pragma once

// The physical limit each report is compared with: the same SQL through the
// plain SQLite C API, every row written out as its raw column texts, with no
// formatting at all.

#include <QByteArray>
#include <QString>

#include <functional>

struct sqlite3;

// The SQL text of the statement that returned the most rows on the connection
// while run ran: the query a report actually sent, after the program's dialect
// translation. Empty when no statement returned a row.
QByteArray CaptureQuery(sqlite3* db, const std::function<void()>& run);

// Runs sql on the connection and writes every row to path (raw column texts
// joined by tabs, CR LF after each row) with buffered stdio, then closes the file.
// Returns the milliseconds taken; rows, when given, receives the row count.
double RunBaseline(sqlite3* db, const QByteArray& sql, const QString& path, qint64* rows = nullptr);

// "VACUUM INTO target" on a connection of its own to source, as the sqlite3
// command would run it. Returns the milliseconds taken, or a negative number on
// failure.
double VacuumInto(const QString& source, const QString& target);
