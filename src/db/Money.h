#pragma once

#include "db/DbError.h"

#include <QtGlobal>

#include <charconv>
#include <cmath>
#include <optional>

// Fixed-point money: a count of ten-thousandths. Every sum and product of money
// is done in this type, never in floating point, and always checked: a result
// beyond the amounts the program keeps is no amount at all (nullopt), never a
// wrapped or rounded figure.
class Money {
public:
    static constexpr qint64 kScale = 10000;
    // The largest amount the program keeps and reads back from its own text:
    // fourteen whole digits and four decimals (99,999,999,999,999.9999).
    static constexpr qint64 kMaxUnits = 999'999'999'999'999'999;

    constexpr Money() = default;
    static constexpr Money FromUnits(qint64 tenThousandths) { Money m; m.mValue = tenThousandths; return m; }
    // Rounds to the nearest ten-thousandth, as the catalogue stores money. Large
    // amounts are read by their shortest decimal form, so that an amount stored
    // from its digits comes back with them.
    static std::optional<Money> FromDouble(double value)
    {
        if (!std::isfinite(value) || std::fabs(value) > 9.0e14) return std::nullopt;
        // Below this the product itself is exact to well within half a unit.
        if (std::fabs(value) < 1.0e11) return FromUnits(static_cast<qint64>(std::llround(value * kScale)));
        return FromUnits(ShortestUnits(value));
    }

    constexpr qint64 Units() const { return mValue; }
    // The nearest double: whole units and the fraction converted apart, so that
    // large amounts do not lose their cents to the division.
    double ToDouble() const
    {
        return static_cast<double>(mValue / kScale) + static_cast<double>(mValue % kScale) / kScale;
    }

    // Within the amounts the program keeps.
    constexpr bool Fits() const { return mValue >= -kMaxUnits && mValue <= kMaxUnits; }

    // The checked arithmetic of money: nullopt when an operand or the result does
    // not fit.
    std::optional<Money> Plus(Money other) const { return Checked(mValue, other.mValue, false); }
    std::optional<Money> Minus(Money other) const { return Checked(mValue, other.mValue, true); }
    std::optional<Money> Times(qint64 factor) const
    {
        qint64 product = 0;
        if (!Fits() || __builtin_mul_overflow(mValue, factor, &product)) return std::nullopt;
        return Fitting(product);
    }

    constexpr bool operator==(const Money&) const = default;
    constexpr auto operator<=>(const Money&) const = default;

private:
    static qint64 ShortestUnits(double value)
    {
        char text[64];
        const auto end = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::fixed).ptr;
        qint64 whole = 0;
        const char* c = text;
        for (; c < end && *c != '.'; ++c) whole = whole * 10 + (*c - '0');
        qint64 fraction = 0;
        int digits = 0;
        if (c < end) ++c;
        for (; c < end && digits < 4; ++c, ++digits) fraction = fraction * 10 + (*c - '0');
        for (; digits < 4; ++digits) fraction *= 10;
        if (c < end && *c >= '5') ++fraction;  // half away from zero, as llround
        const qint64 units = whole * kScale + fraction;
        return value < 0 ? -units : units;
    }
    static std::optional<Money> Fitting(qint64 units)
    {
        const Money m = FromUnits(units);
        return m.Fits() ? std::optional<Money>(m) : std::nullopt;
    }
    static std::optional<Money> Checked(qint64 a, qint64 b, bool subtract)
    {
        // Both operands fit, so neither the sum nor the difference can leave 64 bits.
        if (!FromUnits(a).Fits() || !FromUnits(b).Fits()) return std::nullopt;
        return Fitting(subtract ? a - b : a + b);
    }

    qint64 mValue = 0;
};

// A stamp's line total: its price each times its quantity (total paid, total
// value, total sales). nullopt when the total does not fit.
inline std::optional<Money> LineTotal(Money each, qint64 quantity) { return each.Times(quantity); }

// A running total of amounts, as the reports keep them. Once an amount or the sum
// does not fit, the total stays unfit: a report must then say so instead of
// showing a figure.
class MoneySum {
public:
    void Add(std::optional<Money> amount)
    {
        if (!mSum) return;
        mSum = amount ? mSum->Plus(*amount) : std::nullopt;
    }
    // The total so far; nullopt once it no longer fits.
    std::optional<Money> Value() const { return mSum; }

private:
    std::optional<Money> mSum = Money();
};

// The amount, or an overflow error for the central handler when it does not fit:
// a report stops there rather than print a wrong figure.
inline Money FittingOrOverflow(std::optional<Money> amount)
{
    if (!amount) throw DbError(ErrNo::Overflow, QStringLiteral("Overflow.  A total is too large to be shown."));
    return *amount;
}
