#include "list/StampTotals.h"

StampTotals ComputeStampTotals(qint64 quantity, const StampPrices& prices)
{
    StampTotals totals;
    const auto line = [&](const std::optional<Money>& each, std::optional<Money>& total, StampTotals::Price which) {
        if (!each) return;
        total = LineTotal(*each, quantity);
        if (!total && totals.Fits()) totals.tooLarge = which;
    };
    line(prices.pricePaid, totals.totalPaid, StampTotals::Price::Paid);
    line(prices.catValue, totals.totalValue, StampTotals::Price::Value);
    line(prices.priceAsk, totals.totalSales, StampTotals::Price::Ask);
    return totals;
}
