#pragma once

#include <QtGlobal>

#include <cmath>
#include <optional>

// Fixed-point money: a count of ten-thousandths. Every sum and product of money
// is done in this type, never in floating point.
class Money {
public:
    static constexpr qint64 kScale = 10000;

    constexpr Money() = default;
    static constexpr Money FromUnits(qint64 tenThousandths) { Money m; m.mValue = tenThousandths; return m; }
    // Rounds to the nearest ten-thousandth, as the catalogue stores money.
    static std::optional<Money> FromDouble(double value)
    {
        if (!std::isfinite(value) || std::fabs(value) > 9.0e14) return std::nullopt;
        return FromUnits(static_cast<qint64>(std::llround(value * kScale)));
    }

    constexpr qint64 Units() const { return mValue; }
    // The nearest double: whole units and the fraction converted apart, so that
    // large amounts do not lose their cents to the division.
    double ToDouble() const
    {
        return static_cast<double>(mValue / kScale) + static_cast<double>(mValue % kScale) / kScale;
    }

    constexpr Money operator+(Money o) const { return FromUnits(mValue + o.mValue); }
    constexpr Money operator-(Money o) const { return FromUnits(mValue - o.mValue); }
    constexpr Money operator*(qint64 factor) const { return FromUnits(mValue * factor); }
    Money& operator+=(Money o) { mValue += o.mValue; return *this; }
    constexpr bool operator==(const Money&) const = default;
    constexpr auto operator<=>(const Money&) const = default;

private:
    qint64 mValue = 0;
};
