#pragma once

// The stored values of one row exactly as the catalogue holds them, packed into
// bytes: for each column a tag (null, integer, real, text, blob) and the value.
// A real is kept bit for bit, so money comes back to the last digit; a null
// stays a null and an integer an integer. Packing reads a statement's columns
// and binding writes them back without passing through any conversion.

#include <QByteArray>
#include <QVariant>

#include <optional>
#include <vector>

struct sqlite3_stmt;

// Columns first .. first + count - 1 of the statement's current row.
QByteArray PackColumns(sqlite3_stmt* stmt, int first, int count);

// Binds the packed values to parameters firstParameter, firstParameter + 1 ...;
// the number of values bound.
int BindPacked(sqlite3_stmt* stmt, int firstParameter, const QByteArray& packed);

// The columns (by index) whose values differ between two packed rows of the
// same table.
std::vector<int> DifferingColumns(const QByteArray& a, const QByteArray& b);

// Binds only the values of the given columns, in that order, to parameters
// firstParameter, firstParameter + 1 ...; the number bound.
int BindPackedColumns(sqlite3_stmt* stmt, int firstParameter, const QByteArray& packed,
                      const std::vector<int>& columns);

// One packed value as a QVariant (qint64, double, QString, QByteArray); a null
// value, and an index past the last value, give an invalid QVariant.
QVariant PackedValue(const QByteArray& packed, int index);

// A fingerprint of a row's state, absent rows included: two states with the same
// fingerprint are taken to be the same.
quint64 RowFingerprint(const std::optional<QByteArray>& packed);
