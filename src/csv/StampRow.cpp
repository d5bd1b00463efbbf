#include "csv/StampRow.h"

#include "db/StringHelpers.h"

#include <sqlite3.h>

namespace {

QString ColumnText(sqlite3_stmt* stmt, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
}

bool IsNumber(sqlite3_stmt* stmt, int column)
{
    const int type = sqlite3_column_type(stmt, column);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

std::optional<Money> ColumnMoney(sqlite3_stmt* stmt, int column)
{
    if (!IsNumber(stmt, column)) return std::nullopt;
    return Money::FromDouble(sqlite3_column_double(stmt, column));
}

std::optional<qint64> ColumnWhole(sqlite3_stmt* stmt, int column)
{
    if (sqlite3_column_type(stmt, column) == SQLITE_INTEGER) return sqlite3_column_int64(stmt, column);
    if (sqlite3_column_type(stmt, column) == SQLITE_FLOAT)
        return static_cast<qint64>(sqlite3_column_double(stmt, column));
    return std::nullopt;
}

QDate ColumnDate(sqlite3_stmt* stmt, int column)
{
    if (sqlite3_column_type(stmt, column) != SQLITE_TEXT) return QDate();
    return QDate::fromString(ColumnText(stmt, column).left(10), Qt::ISODate);
}

void BindText(sqlite3_stmt* stmt, int i, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void BindMoney(sqlite3_stmt* stmt, int i, const std::optional<Money>& amount)
{
    if (amount)
        sqlite3_bind_double(stmt, i, amount->ToDouble());
    else
        sqlite3_bind_null(stmt, i);
}

void BindWhole(sqlite3_stmt* stmt, int i, const std::optional<qint64>& value)
{
    if (value)
        sqlite3_bind_int64(stmt, i, *value);
    else
        sqlite3_bind_null(stmt, i);
}

void BindDate(sqlite3_stmt* stmt, int i, const QDate& date)
{
    if (date.isValid())
        BindText(stmt, i, date.toString(Qt::ISODate));
    else
        sqlite3_bind_null(stmt, i);
}

}  // namespace

qint64& StampRow::Code(int field)
{
    return codes[size_t(StampFields()[size_t(field)].codeTable)];
}
qint64 StampRow::Code(int field) const
{
    return codes[size_t(StampFields()[size_t(field)].codeTable)];
}

std::optional<Money>& StampRow::Amount(int field)
{
    return const_cast<std::optional<Money>&>(static_cast<const StampRow*>(this)->Amount(field));
}

const std::optional<Money>& StampRow::Amount(int field) const
{
    switch (field) {
        case Fld::Face:
            return face;
        case Fld::PricePaid:
            return pricePaid;
        case Fld::TotalPaid:
            return totalPaid;
        case Fld::CatValue:
            return catValue;
        case Fld::TotalVal:
            return totalVal;
        case Fld::PriceAsk:
            return priceAsk;
        default:
            return totalSales;
    }
}

QString& StampRow::Text(int field)
{
    return const_cast<QString&>(static_cast<const StampRow*>(this)->Text(field));
}

const QString& StampRow::Text(int field) const
{
    switch (field) {
        case Fld::Descr:
            return descr;
        case Fld::CatNum:
            return catnum;
        case Fld::Color:
            return color;
        case Fld::Watermark:
            return watermark;
        case Fld::Errors:
            return errors;
        case Fld::Notes:
            return notes;
        case Fld::Misc1:
            return misc1;
        default:
            return misc2;
    }
}

bool& StampRow::Flag(int field)
{
    return const_cast<bool&>(static_cast<const StampRow*>(this)->Flag(field));
}

const bool& StampRow::Flag(int field) const
{
    switch (field) {
        case Fld::Used:
            return used;
        case Fld::WantList:
            return wantList;
        case Fld::ForSale:
            return forSale;
        default:
            return sold;
    }
}

QDate& StampRow::Date(int field)
{
    return const_cast<QDate&>(static_cast<const StampRow*>(this)->Date(field));
}

const QDate& StampRow::Date(int field) const
{
    switch (field) {
        case Fld::Issued:
            return issued;
        case Fld::Purchased:
            return purchased;
        default:
            return dateSold;
    }
}

void StampRow::CopyField(const StampRow& from, int field)
{
    switch (StampFields()[size_t(field)].kind) {
        case FieldKind::Text:
            Text(field) = from.Text(field);
            break;
        case FieldKind::Money:
        case FieldKind::Total:
            Amount(field) = from.Amount(field);
            break;
        case FieldKind::Year:
            year = from.year;
            break;
        case FieldKind::Quantity:
            quantity = from.quantity;
            break;
        case FieldKind::YesNo:
            Flag(field) = from.Flag(field);
            break;
        case FieldKind::Date:
            Date(field) = from.Date(field);
            break;
        case FieldKind::Code:
            Code(field) = from.Code(field);
            break;
    }
}

int StampRow::ComputeTotals()
{
    int overflow = -1;
    for (const int price : {Fld::PricePaid, Fld::CatValue, Fld::PriceAsk}) {
        const int total = StampFields()[size_t(price)].total;
        const std::optional<Money>& each = Amount(price);
        Amount(total) = each && quantity ? LineTotal(*each, *quantity) : std::nullopt;
        if (each && quantity && !Amount(total) && overflow < 0) overflow = price;
    }
    return overflow;
}

QString StampColumnList()
{
    QStringList names;
    for (const StampField& f : StampFields()) names << QString::fromLatin1(f.column);
    return names.join(QStringLiteral(", "));
}

StampRow ReadStampRow(sqlite3_stmt* stmt, int first)
{
    StampRow row;
    const auto& fields = StampFields();
    for (int field = 0; field < Fld::Count; ++field) {
        const int column = first + field;
        switch (fields[size_t(field)].kind) {
            case FieldKind::Text:
                row.Text(field) = ColumnText(stmt, column);
                break;
            case FieldKind::Money:
            case FieldKind::Total:
                row.Amount(field) = ColumnMoney(stmt, column);
                break;
            case FieldKind::Year:
                row.year = ColumnWhole(stmt, column);
                break;
            case FieldKind::Quantity:
                row.quantity = ColumnWhole(stmt, column);
                break;
            case FieldKind::YesNo:
                row.Flag(field) = IsNumber(stmt, column) && sqlite3_column_double(stmt, column) != 0;
                break;
            case FieldKind::Date:
                row.Date(field) = ColumnDate(stmt, column);
                break;
            case FieldKind::Code:
                row.Code(field) = ColumnWhole(stmt, column).value_or(kNoCode);
                break;
        }
    }
    return row;
}

void BindStampRow(sqlite3_stmt* stmt, int first, const StampRow& row,
                  const std::array<std::vector<qint64>, 10>& newKeys)
{
    const auto& fields = StampFields();
    for (int field = 0; field < Fld::Count; ++field) {
        const int i = first + field;
        const StampField& f = fields[size_t(field)];
        switch (f.kind) {
            case FieldKind::Text:
                BindText(stmt, i, row.Text(field));
                break;
            case FieldKind::Money:
            case FieldKind::Total:
                BindMoney(stmt, i, row.Amount(field));
                break;
            case FieldKind::Year:
                BindWhole(stmt, i, row.year);
                break;
            case FieldKind::Quantity:
                BindWhole(stmt, i, row.quantity);
                break;
            case FieldKind::YesNo:
                sqlite3_bind_int(stmt, i, row.Flag(field) ? 1 : 0);
                break;
            case FieldKind::Date:
                BindDate(stmt, i, row.Date(field));
                break;
            case FieldKind::Code: {
                const qint64 code = row.Code(field);
                if (code == kNoCode)
                    sqlite3_bind_null(stmt, i);
                else if (code >= kNewCode)
                    sqlite3_bind_int64(stmt, i, newKeys[size_t(f.codeTable)].at(size_t(code - kNewCode)));
                else
                    sqlite3_bind_int64(stmt, i, code);
                break;
            }
        }
    }
    BindText(stmt, first + Fld::Count, CatalogueSortKey(row.catnum));
}
