#pragma once

// A stamp's three totals, each of its prices times its quantity, as the editor
// keeps them: total paid, total value and total sales. One rule for every part
// of the program that writes a stamp's prices or quantity other than the editor
// itself (which shows them as the collector types).

#include "db/Money.h"

#include <optional>

struct StampPrices {
    std::optional<Money> pricePaid;
    std::optional<Money> catValue;
    std::optional<Money> priceAsk;
};

struct StampTotals {
    std::optional<Money> totalPaid;
    std::optional<Money> totalValue;
    std::optional<Money> totalSales;
    // A price whose total does not fit: the stamp cannot be stored with it, and
    // the totals above are not to be written.
    enum class Price { None, Paid, Value, Ask } tooLarge = Price::None;
    bool Fits() const { return tooLarge == Price::None; }
};

// Each total is its price times the quantity (LineTotal), and empty where the
// price is empty.
StampTotals ComputeStampTotals(qint64 quantity, const StampPrices& prices);
