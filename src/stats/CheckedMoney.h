#pragma once

// Money sums that refuse to wrap: a total too large for the money type is an
// error the collector is told of, never a wrong figure.

#include "db/DbError.h"
#include "db/Money.h"

#include <QString>

#include <optional>

// The number and text of the error a money total too large to hold is reported
// with, as the program's runtime has always called it.
inline constexpr int kOverflowError = 6;
inline DbError OverflowError()
{
    return DbError(kOverflowError, QStringLiteral("Overflow"));
}

inline std::optional<Money> CheckedAdd(Money a, Money b)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(a.Units(), b.Units(), &sum)) return std::nullopt;
    return Money::FromUnits(sum);
}

inline std::optional<Money> CheckedSub(Money a, Money b)
{
    qint64 difference = 0;
    if (__builtin_sub_overflow(a.Units(), b.Units(), &difference)) return std::nullopt;
    return Money::FromUnits(difference);
}

inline std::optional<Money> CheckedTimes(Money a, qint64 factor)
{
    qint64 product = 0;
    if (__builtin_mul_overflow(a.Units(), factor, &product)) return std::nullopt;
    return Money::FromUnits(product);
}

// The same, throwing the overflow error for the central handler.
inline Money AddOrThrow(Money a, Money b)
{
    const auto sum = CheckedAdd(a, b);
    if (!sum) throw OverflowError();
    return *sum;
}

inline Money SubOrThrow(Money a, Money b)
{
    const auto difference = CheckedSub(a, b);
    if (!difference) throw OverflowError();
    return *difference;
}
