#include "list/StampColumns.h"

#include <array>

const StampColumnInfo& StampColumnAt(int index)
{
    using K = StampColumnInfo::Kind;
    // A code sorts by its description's place in the alphabet; a stamp without
    // one comes first.
    static const std::array<StampColumnInfo, kStampColumnCount> columns = {{
        {StampColumn::Description, QStringLiteral("Description"), QStringLiteral("[descr]"), K::Text},
        {StampColumn::CatalogNum, QStringLiteral("Catalog Num"), QStringLiteral("catsort"), K::Text},
        {StampColumn::Country, QStringLiteral("Country"),
         QStringLiteral("(select Coudesc_sort from country where country.CouID = stamp.CouID)"), K::Text},
        {StampColumn::Year, QStringLiteral("Year"), QStringLiteral("Year"), K::Number},
        {StampColumn::FaceValue, QStringLiteral("Face Value"), QStringLiteral("face"), K::Money},
        {StampColumn::Condition, QStringLiteral("Condition"),
         QStringLiteral("(select conDesc_sort from Condition where Condition.ConID = stamp.ConID)"), K::Text},
        {StampColumn::Quantity, QStringLiteral("Quantity"), QStringLiteral("quantity"), K::Number},
        {StampColumn::CatalogValue, QStringLiteral("Catalog Value"), QStringLiteral("catvalue"), K::Money},
        {StampColumn::PricePaid, QStringLiteral("Price Paid"), QStringLiteral("pricepaid"), K::Money},
        {StampColumn::Used, QStringLiteral("Used"), QStringLiteral("used"), K::Flag},
        {StampColumn::WantList, QStringLiteral("Want List"), QStringLiteral("wantlist"), K::Flag},
        {StampColumn::ForSale, QStringLiteral("For Sale"), QStringLiteral("forsale"), K::Flag},
        {StampColumn::Sold, QStringLiteral("Sold"), QStringLiteral("sold"), K::Flag},
        // Stamps with a front picture after those without.
        {StampColumn::Picture, QStringLiteral("Picture"),
         QStringLiteral("exists (select 1 from StampImage i where i.StampID = stamp.StampID and i.Kind = 'Front')"),
         K::Picture},
    }};
    return columns[static_cast<size_t>(index)];
}
