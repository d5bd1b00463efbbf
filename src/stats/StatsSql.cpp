#include "stats/StatsSql.h"

#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/Money.h"

#include <sqlite3.h>

#include <cmath>
#include <memory>
#include <optional>

namespace {

// The readings of db/FieldValue.h (MoneyOf, WholeOf, DateOf) on a recordset
// field, taken straight from the engine's value: they run once or more for every
// stamp of a chart. A text or a blob is no number; an integer reads as the
// double a field of it converts to.
std::optional<Money> MoneyOfValue(sqlite3_value* value)
{
    const int type = sqlite3_value_type(value);
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) return std::nullopt;
    return Money::FromDouble(sqlite3_value_double(value));
}

std::optional<qint64> WholeOfValue(sqlite3_value* value)
{
    switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            return sqlite3_value_int64(value);
        case SQLITE_FLOAT: {
            // A fraction is cut off; a number beyond every whole number is none.
            const double number = sqlite3_value_double(value);
            if (!(std::fabs(number) < 9.2e18)) return std::nullopt;
            return static_cast<qint64>(number);
        }
        default:
            return std::nullopt;
    }
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::optional<int> YearOfValue(sqlite3_value* value)
{
    if (sqlite3_value_type(value) != SQLITE_TEXT) return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    const int size = sqlite3_value_bytes(value);
    // The catalogue's own form, yyyy-mm-dd (only the first ten characters count),
    // read without a detour through QString; whatever else a field holds is read
    // as the windows read it.
    if (size >= 10 && text[4] == '-' && text[7] == '-' && IsDigit(text[0]) && IsDigit(text[1]) && IsDigit(text[2]) &&
        IsDigit(text[3]) && IsDigit(text[5]) && IsDigit(text[6]) && IsDigit(text[8]) && IsDigit(text[9])) {
        const auto number = [text](int at, int digits) {
            int n = 0;
            for (int i = at; i < at + digits; ++i) n = n * 10 + (text[i] - '0');
            return n;
        };
        const int year = number(0, 4);
        if (year > 0 && QDate(year, number(5, 2), number(8, 2)).isValid()) return year;
        return std::nullopt;
    }
    const auto date = DateOf(QVariant(QString::fromUtf8(text, size)));
    if (!date) return std::nullopt;
    return date->year();
}

void WholeOfFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (const auto whole = WholeOfValue(argv[0]))
        sqlite3_result_int64(context, *whole);
    else
        sqlite3_result_null(context);
}

void MoneyOfFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (const auto money = MoneyOfValue(argv[0]))
        sqlite3_result_int64(context, money->Units());
    else
        sqlite3_result_null(context);
}

void YearOfFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (const auto year = YearOfValue(argv[0]))
        sqlite3_result_int(context, *year);
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
    const qint64 quantity = WholeOfValue(argv[0]).value_or(0);
    if (quantity == 0) return;
    const auto price = MoneyOfValue(argv[1]);
    if (!price) return;
    const auto product = LineTotal(*price, quantity);
    const auto sum = product ? Money::FromUnits(state->units).Plus(*product) : std::nullopt;
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
