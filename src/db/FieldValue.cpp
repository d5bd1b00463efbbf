#include "db/FieldValue.h"

#include "dates/LocaleFormats.h"

namespace {

bool IsNumberType(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Bool: return true;
    default: return false;
    }
}

}  // namespace

QString TextOf(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) return QString();
    if (value.typeId() == QMetaType::Double) return FormatGeneralNumber(value.toDouble());
    return value.toString();
}

std::optional<Money> MoneyOf(const QVariant& value)
{
    if (!IsNumberType(value)) return std::nullopt;
    return Money::FromDouble(value.toDouble());
}

std::optional<QDate> DateOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDate) return value.toDate().isValid() ? std::optional(value.toDate()) : std::nullopt;
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    const QDate date = QDate::fromString(value.toString().left(10), Qt::ISODate);
    if (!date.isValid()) return std::nullopt;
    return date;
}

std::optional<qint64> WholeOf(const QVariant& value)
{
    if (!IsNumberType(value)) return std::nullopt;
    if (value.typeId() == QMetaType::Double) return static_cast<qint64>(value.toDouble());
    return value.toLongLong();
}

std::optional<double> NumberOf(const QVariant& value)
{
    if (!IsNumberType(value)) return std::nullopt;
    return value.toDouble();
}

bool BoolOf(const QVariant& value) { return IsNumberType(value) && value.toDouble() != 0; }

QVariant MoneyValue(const std::optional<Money>& value) { return value ? QVariant(value->ToDouble()) : QVariant(); }

QVariant DateValue(const std::optional<QDate>& value)
{
    return value && value->isValid() ? QVariant(value->toString(Qt::ISODate)) : QVariant();
}
