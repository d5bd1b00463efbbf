#pragma once

// Typed reading of recordset fields, and the values written back. A field that
// holds something of the wrong kind reads as nothing (a text in a money field
// shows as an empty box).

#include "db/Money.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

// The field as text; null gives the empty text, a number its plain form.
QString TextOf(const QVariant& value);
std::optional<Money> MoneyOf(const QVariant& value);
std::optional<QDate> DateOf(const QVariant& value);
std::optional<qint64> WholeOf(const QVariant& value);
std::optional<double> NumberOf(const QVariant& value);
// True for a non-zero number; false for zero, null or anything else.
bool BoolOf(const QVariant& value);

QVariant MoneyValue(const std::optional<Money>& value);
QVariant DateValue(const std::optional<QDate>& value);
