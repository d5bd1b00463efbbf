#include "list/BulkChange.h"

#include "db/Database.h"
#include "db/ErrorHandler.h"
#include "db/FieldValue.h"
#include "db/Prompts.h"
#include "db/RawSql.h"
#include "history/ChangeCapture.h"
#include "history/History.h"
#include "history/Trash.h"
#include "list/StampTotals.h"

#include <QDateTime>

#include <QLocale>

#include <sqlite3.h>

namespace {

bool IsKeyColumn(const QString& name)
{
    return name.endsWith(QStringLiteral("_fold"), Qt::CaseInsensitive) ||
           name.endsWith(QStringLiteral("_sort"), Qt::CaseInsensitive) ||
           name.compare(QStringLiteral("find_text"), Qt::CaseInsensitive) == 0;
}

QStringList CollectorColumns(const std::shared_ptr<Connection>& conn)
{
    QStringList names;
    Statement info(conn, QStringLiteral("PRAGMA table_info(\"Stamp\")"));
    while (info.Step()) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.Handle(), 1)));
        if (!IsKeyColumn(name)) names << name;
    }
    return names;
}

// One transaction around all the stamps: rolled back unless committed.
class StampsTransaction {
public:
    explicit StampsTransaction(std::shared_ptr<Connection> conn) : mConn(std::move(conn))
    {
        ExecSql(mConn->Checked(), "SAVEPOINT bulk_stamps");
    }
    ~StampsTransaction()
    {
        if (mOpen && mConn->db) {
            sqlite3_exec(mConn->db, "ROLLBACK TO bulk_stamps", nullptr, nullptr, nullptr);
            sqlite3_exec(mConn->db, "RELEASE bulk_stamps", nullptr, nullptr, nullptr);
        }
    }
    StampsTransaction(const StampsTransaction&) = delete;
    StampsTransaction& operator=(const StampsTransaction&) = delete;
    void Commit()
    {
        // The keys of the texts written (misc. 1 and 2) go in with them.
        mConn->RefreshTextKeysIfWritten();
        ExecSql(mConn->Checked(), "RELEASE bulk_stamps");
        mOpen = false;
    }

private:
    std::shared_ptr<Connection> mConn;
    bool mOpen = true;
};

// The stamp's row as it is, or false when it is no longer there.
bool ReadRow(Statement& read, qint64 key, int columns, QVariantList& row)
{
    read.Reset();
    sqlite3_bind_int64(read.Handle(), 1, key);
    if (!read.Step()) return false;
    row.clear();
    row.reserve(columns);
    for (int i = 0; i < columns; ++i) row << ColumnVariant(read.Handle(), i);
    read.Reset();
    return true;
}

QString Count(qsizetype n)
{
    return QLocale().toString(n) + (n == 1 ? QStringLiteral(" stamp") : QStringLiteral(" stamps"));
}

QVariant Flag(bool on)
{
    return QVariant(on ? 1 : 0);
}

BulkOutcome TryChange(Database& db, const std::vector<qint64>& keys, const StampChange& change,
                      std::optional<Change>& recorded)
{
    const std::shared_ptr<Connection> conn = db.SharedConnection();
    BulkOutcome out;
    out.before.columns = CollectorColumns(conn);
    const QStringList& columns = out.before.columns;
    const auto column = [&columns](const char* name) {
        for (const QString& c : columns)
            if (c.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return c;
        return QString::fromLatin1(name);
    };
    const auto index = [&columns, &column](const char* name) { return columns.indexOf(column(name)); };

    // The fields every stamp gets alike.
    QStringList sets;
    QVariantList same;
    const auto set = [&](const QString& name, const QVariant& value) {
        sets << QuotedName(name) + QStringLiteral(" = ?");
        same << value;
    };
    for (const auto& [field, code] : change.codes)
        set(column(field.toLatin1().constData()), code.isNull() ? QVariant() : QVariant(code.toLongLong()));
    if (change.used) set(column("used"), Flag(*change.used));
    if (change.wantList) set(column("wantlist"), Flag(*change.wantList));
    if (change.quantity) set(column("quantity"), QVariant(static_cast<qint64>(*change.quantity)));
    if (change.pricePaid) set(column("pricepaid"), MoneyValue(*change.pricePaid));
    if (change.catValue) set(column("catvalue"), MoneyValue(*change.catValue));
    if (change.priceAsk) set(column("priceask"), MoneyValue(*change.priceAsk));
    if (change.purchased) set(column("purchased"), DateValue(*change.purchased));
    if (change.dateSold) set(column("datesold"), DateValue(*change.dateSold));
    if (change.misc1) set(column("misc1"), *change.misc1);
    if (change.misc2) set(column("misc2"), *change.misc2);
    if (change.sold) set(column("sold"), Flag(*change.sold));
    // The sale-status rule: a stamp sold is no longer for sale.
    const std::optional<bool> forSale = change.sold == true ? std::optional(false) : change.forSale;
    if (forSale) set(column("forsale"), Flag(*forSale));

    // The totals each stamp gets from its own quantity and prices, where either
    // changes.
    const bool paidTotal = change.quantity || change.pricePaid;
    const bool valueTotal = change.quantity || change.catValue;
    const bool salesTotal = change.quantity || change.priceAsk;
    if (paidTotal) sets << QuotedName(column("totalpaid")) + QStringLiteral(" = ?");
    if (valueTotal) sets << QuotedName(column("totalval")) + QStringLiteral(" = ?");
    if (salesTotal) sets << QuotedName(column("totalsales")) + QStringLiteral(" = ?");

    QStringList quoted;
    for (const QString& c : columns) quoted << QuotedName(c);
    Statement read(conn,
                   QStringLiteral("SELECT ") + quoted.join(u',') + QStringLiteral(" FROM \"Stamp\" WHERE StampID = ?"));
    Statement write(conn,
                    QStringLiteral("UPDATE \"Stamp\" SET ") + sets.join(u',') + QStringLiteral(" WHERE StampID = ?"));
    const int quantityAt = index("quantity");
    const int paidAt = index("pricepaid");
    const int valueAt = index("catvalue");
    const int askAt = index("priceask");
    const int forSaleAt = index("forsale");
    const int soldAt = index("sold");

    StampsTransaction transaction(conn);
    ChangeRecording recording(db, ChangeKind::Change);
    Progress progress(QStringLiteral("Change Selected Stamps"),
                      QStringLiteral("Changing %1...").arg(Count(qsizetype(keys.size()))),
                      static_cast<qint64>(keys.size()), true);
    QVariantList row;
    qint64 done = 0;
    for (qint64 key : keys) {
        if (!progress.Step(done++)) {
            BulkOutcome cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
        if (!ReadRow(read, key, static_cast<int>(columns.size()), row)) {
            ++out.missing;
            continue;
        }
        const bool willSell = change.sold.value_or(BoolOf(row.value(soldAt)));
        const bool willOffer = forSale.value_or(BoolOf(row.value(forSaleAt)));
        if (willSell && willOffer) {
            BulkOutcome refused;
            refused.refusal = BulkOutcome::Refusal::SaleStatus;
            return refused;
        }
        write.Reset();
        int bind = 1;
        for (const QVariant& value : same) BindVariant(write.Handle(), bind++, value);
        if (paidTotal || valueTotal || salesTotal) {
            const qint64 quantity = change.quantity ? *change.quantity : WholeOf(row.value(quantityAt)).value_or(0);
            // Only the totals recomputed here are checked: one left alone keeps its
            // value, whatever it is.
            StampPrices prices;
            if (paidTotal) prices.pricePaid = change.pricePaid ? *change.pricePaid : MoneyOf(row.value(paidAt));
            if (valueTotal) prices.catValue = change.catValue ? *change.catValue : MoneyOf(row.value(valueAt));
            if (salesTotal) prices.priceAsk = change.priceAsk ? *change.priceAsk : MoneyOf(row.value(askAt));
            const StampTotals totals = ComputeStampTotals(quantity, prices);
            if (!totals.Fits()) {
                using P = StampTotals::Price;
                BulkOutcome refused;
                refused.refusal = change.quantity               ? BulkOutcome::Refusal::Quantity
                                  : totals.tooLarge == P::Paid  ? BulkOutcome::Refusal::PricePaid
                                  : totals.tooLarge == P::Value ? BulkOutcome::Refusal::CatValue
                                                                : BulkOutcome::Refusal::PriceAsk;
                return refused;
            }
            if (paidTotal) BindVariant(write.Handle(), bind++, MoneyValue(totals.totalPaid));
            if (valueTotal) BindVariant(write.Handle(), bind++, MoneyValue(totals.totalValue));
            if (salesTotal) BindVariant(write.Handle(), bind++, MoneyValue(totals.totalSales));
        }
        sqlite3_bind_int64(write.Handle(), bind, key);
        write.Step();
        write.Reset();
        out.changed.push_back(key);
        out.before.rows.push_back(row);
    }
    Change noted = recording.Finish();
    transaction.Commit();
    recorded = std::move(noted);
    return out;
}

BulkOutcome TryDelete(Database& db, const std::vector<qint64>& keys, std::optional<Change>& recorded)
{
    const std::shared_ptr<Connection> conn = db.SharedConnection();
    BulkOutcome out;
    out.before.columns = CollectorColumns(conn);
    QStringList quoted;
    for (const QString& c : out.before.columns) quoted << QuotedName(c);
    Statement read(conn,
                   QStringLiteral("SELECT ") + quoted.join(u',') + QStringLiteral(" FROM \"Stamp\" WHERE StampID = ?"));
    StampsTransaction transaction(conn);
    ChangeRecording recording(db, ChangeKind::Delete);
    Progress progress(QStringLiteral("Delete Stamps"),
                      QStringLiteral("Deleting %1...").arg(Count(qsizetype(keys.size()))),
                      static_cast<qint64>(keys.size()), true);
    QVariantList row;
    qint64 done = 0;
    for (qint64 key : keys) {
        if (!progress.Step(done++)) {
            BulkOutcome cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
        if (!ReadRow(read, key, static_cast<int>(out.before.columns.size()), row)) {
            ++out.missing;
            continue;
        }
        out.changed.push_back(key);
        out.before.rows.push_back(row);
    }
    // The stamps go into the trash, from where they can come back.
    MoveStampsToTrash(db, QList<qint64>(out.changed.begin(), out.changed.end()), QDateTime::currentDateTime());
    Change noted = recording.Finish();
    transaction.Commit();
    recorded = std::move(noted);
    return out;
}

}  // namespace

QString MissingStampsText(const BulkOutcome& outcome, const QString& done)
{
    if (outcome.missing == 0) return QString();
    const auto changed = static_cast<qsizetype>(outcome.changed.size());
    return QStringLiteral("%1 %2 %3.  %4 of the selected stamps %5 no longer in the catalogue.")
        .arg(Count(changed), changed == 1 ? QStringLiteral("was") : QStringLiteral("were"), done,
             QLocale().toString(outcome.missing),
             outcome.missing == 1 ? QStringLiteral("was") : QStringLiteral("were"));
}

bool StampChange::IsEmpty() const
{
    return codes.empty() && !used && !wantList && !forSale && !sold && !quantity && !catValue && !pricePaid &&
           !priceAsk && !purchased && !dateSold && !misc1 && !misc2;
}

BulkOutcome ChangeStamps(Database& db, const std::vector<qint64>& keys, const StampChange& change)
{
    BulkOutcome outcome;
    if (change.IsEmpty() || keys.empty()) return outcome;
    std::optional<Change> recorded;
    RetryWrite([&] { outcome = TryChange(db, keys, change, recorded); });
    if (recorded && outcome.Done()) TheHistory().Push(std::move(*recorded));
    return outcome;
}

BulkOutcome DeleteStamps(Database& db, const std::vector<qint64>& keys)
{
    BulkOutcome outcome;
    if (keys.empty()) return outcome;
    std::optional<Change> recorded;
    RetryWrite([&] { outcome = TryDelete(db, keys, recorded); });
    if (recorded && outcome.Done()) TheHistory().Push(std::move(*recorded));
    return outcome;
}
