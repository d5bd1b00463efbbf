#include "stats/StatsSql.h"

#include "db/Database.h"
#include "db/FieldValue.h"
#include "stats/CheckedMoney.h"

#include <sqlite3.h>

#include <memory>

namespace {

// A numeric field as the recordsets hand it over; anything else reads as
// nothing, as it does for MoneyOf and WholeOf on a recordset field.
QVariant NumberValue(sqlite3_value* value)
{
    switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qint64>(sqlite3_value_int64(value)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_value_double(value));
        default:
            return QVariant();
    }
}

void WholeOfFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (const auto whole = WholeOf(NumberValue(argv[0])))
        sqlite3_result_int64(context, *whole);
    else
        sqlite3_result_null(context);
}

void MoneyOfFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (const auto money = MoneyOf(NumberValue(argv[0])))
        sqlite3_result_int64(context, money->Units());
    else
        sqlite3_result_null(context);
}

void YearOfFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QString field = QString::fromUtf8(text, sqlite3_value_bytes(argv[0]));
    if (const auto date = DateOf(QVariant(field)))
        sqlite3_result_int(context, date->year());
    else
        sqlite3_result_null(context);
}

struct MoneySumState {
    qint64 units;
    bool overflow;
};

void MoneySumStep(sqlite3_context* context, int, sqlite3_value** argv)
{
    auto* state = static_cast<MoneySumState*>(sqlite3_aggregate_context(context, sizeof(MoneySumState)));
    if (!state) {
        sqlite3_result_error_nomem(context);
        return;
    }
    if (state->overflow) return;
    const auto price = MoneyOf(NumberValue(argv[1]));
    if (!price) return;
    const auto product = CheckedTimes(*price, WholeOf(NumberValue(argv[0])).value_or(0));
    const auto sum = product ? CheckedAdd(Money::FromUnits(state->units), *product) : std::nullopt;
    if (sum)
        state->units = sum->Units();
    else
        state->overflow = true;
}

void MoneySumFinal(sqlite3_context* context)
{
    // No rows leave the state unallocated (zeroed when it is first asked for).
    const auto* state = static_cast<MoneySumState*>(sqlite3_aggregate_context(context, 0));
    if (state && state->overflow)
        sqlite3_result_null(context);
    else
        sqlite3_result_int64(context, state ? state->units : 0);
}

void Register(sqlite3* db, const char* name, int args, void (*scalar)(sqlite3_context*, int, sqlite3_value**),
              void (*step)(sqlite3_context*, int, sqlite3_value**) = nullptr,
              void (*finish)(sqlite3_context*) = nullptr)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
    const int rc = sqlite3_create_function_v2(db, name, args, flags, nullptr, scalar, step, finish, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
}

}  // namespace

void PrepareStatsSql(Database& db)
{
    // Defining a function again would expire every statement of the connection
    // (the main window's stamp recordset among them), so it is done once.
    static std::weak_ptr<Connection> prepared;
    const std::shared_ptr<Connection> connection = db.SharedConnection();
    if (prepared.lock() == connection) return;
    sqlite3* handle = connection->Checked();
    Register(handle, "WholeOf", 1, WholeOfFunction);
    Register(handle, "MoneyOf", 1, MoneyOfFunction);
    Register(handle, "YearOf", 1, YearOfFunction);
    Register(handle, "MoneySum", 2, nullptr, MoneySumStep, MoneySumFinal);
    prepared = connection;
}
