#pragma once

// Changes and deletions of many stamps at once, each in one transaction under
// the lock-retry rule. They return what they changed, with the rows as they
// were before, so that a change can be taken back.

#include "db/Money.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <utility>
#include <vector>

class Database;

// What to set in every stamp; what is left unset stays as each stamp has it.
struct StampChange {
    // Codes by their field (CouID, typeID, formID, papID, CanID, perfID, topID,
    // gumID, ConID): a code's key, or a null value for none.
    std::vector<std::pair<QString, QVariant>> codes;
    std::optional<bool> used;
    std::optional<bool> wantList;
    std::optional<bool> forSale;
    std::optional<bool> sold;  // sold clears for sale
    std::optional<qint32> quantity;
    // A price or date set to nothing empties it.
    std::optional<std::optional<Money>> catValue;
    std::optional<std::optional<Money>> pricePaid;
    std::optional<std::optional<Money>> priceAsk;
    std::optional<std::optional<QDate>> purchased;
    std::optional<std::optional<QDate>> dateSold;
    std::optional<QString> misc1;
    std::optional<QString> misc2;

    bool IsEmpty() const;
};

// Rows of the Stamp table as they were: the collector's own fields (every
// column but the stored text keys), the record key StampID among them.
struct StampRows {
    QStringList columns;
    std::vector<QVariantList> rows;
};

struct BulkOutcome {
    // Why nothing was changed: a stamp's total would not fit at its quantity
    // (the field to blame), or a stamp would be both for sale and sold.
    enum class Refusal { None, Quantity, PricePaid, CatValue, PriceAsk, SaleStatus };
    Refusal refusal = Refusal::None;
    bool cancelled = false;       // the collector cancelled the progress: nothing changed
    std::vector<qint64> changed;  // the stamps written, in the order asked for
    int missing = 0;              // stamps asked for that are no longer in the catalogue
    StampRows before;             // the stamps written, as they were

    bool Done() const { return refusal == Refusal::None && !cancelled; }
};

// Sets the change in each stamp of keys, with its totals recomputed from its
// quantity and prices (list/StampTotals.h) where either changes. Nothing is
// written when one stamp refuses the change, or when the collector cancels.
BulkOutcome ChangeStamps(Database& db, const std::vector<qint64>& keys, const StampChange& change);

// What to tell the collector when some of the stamps asked for were no longer in
// the catalogue ("18 stamps were changed.  2 of the selected stamps were no
// longer in the catalogue."), with done "changed" or "deleted"; empty when all
// were found.
QString MissingStampsText(const BulkOutcome& outcome, const QString& done);

// Deletes the stamps of keys.
BulkOutcome DeleteStamps(Database& db, const std::vector<qint64>& keys);
