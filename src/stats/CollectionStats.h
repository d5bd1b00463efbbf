#pragma once

// The figures of the statistics window: a summary of the collection and the data
// of each chart, every one from SQL aggregates on the catalogue (one query per
// chart), money summed exactly as the value, sales and want-list reports sum it.
// Each loader throws DbError: a database failure, or the overflow error when a
// money total does not fit the money type.

#include "db/Money.h"

#include <QString>
#include <QStringList>

#include <vector>

class Database;

// The stamps held are those neither sold nor on the want list (the value
// report's stamps); sold stamps are the sales report's, want-list stamps the
// want-list report's.
struct StatsSummary {
    qint64 heldStamps = 0;
    qint64 heldCopies = 0;  // the sum of their quantities
    Money heldPaid;         // quantity times price paid
    Money heldValue;        // quantity times catalogue value
    Money heldGain;         // value minus cost
    qint64 heldWithoutPaid = 0;
    qint64 heldWithoutValue = 0;

    qint64 soldStamps = 0;
    Money soldPaid;
    Money soldSales;   // quantity times selling price
    Money soldProfit;  // sales minus cost
    qint64 soldWithoutPrice = 0;

    qint64 wantStamps = 0;
    Money wantCost;  // the prices the collector will pay, one per stamp
    qint64 wantWithoutPrice = 0;

    qint64 countries = 0;  // countries of the stamps held
};

StatsSummary LoadSummary(Database& db);
// One line on the stamps that count nothing in the money totals, or empty.
QString SummaryNote(const StatsSummary& summary);

enum class ChartKind {
    StampsByCountry,
    ValueByCountry,
    StampsByTopic,
    ValueByTopic,
    StampsByType,
    ValueByType,
    StampsByCondition,
    ValueByCondition,
    StampsByDecade,
    PurchasesAndSales,
    ValueAgainstPaid,
};
inline constexpr int kChartCount = 11;

QString ChartTitle(ChartKind kind);

// How many codes a category chart names before it puts the rest into "Other".
inline constexpr int kNamedBars = 15;

struct ChartBar {
    enum class Kind {
        Code,    // one entry of a code table: code holds its key
        None,    // stamps without one (or with a code no longer in the table)
        Other,   // the codes beyond the named ones; codes holds how many
        Period,  // a decade or a year: year holds its first year
    };
    Kind kind = Kind::Code;
    qint64 code = 0;
    int year = 0;
    int codes = 0;
    QString label;  // unique within its chart

    qint64 stamps = 0;
    qint64 copies = 0;
    Money value;  // quantity times catalogue value
    Money paid;   // quantity times price paid; for a year, the purchases of that year
    // Only for purchases and sales by year: the stamps sold that year and what
    // they brought (quantity times selling price).
    qint64 soldStamps = 0;
    Money received;
};

struct ChartData {
    ChartKind kind = ChartKind::StampsByCountry;
    std::vector<ChartBar> bars;  // in the order shown: first at the top or left
    QString note;                // one line under the chart
    qint64 stamps = 0;           // the stamps the chart counts, every bar together

    bool Horizontal() const;   // bars across (named categories) or upright (time)
    bool CountsMoney() const;  // the axis counts money, not stamps
    QStringList SeriesNames() const;
    // The height of one bar of one series, for drawing.
    double Value(int series, const ChartBar& bar) const;
    // What hovering a bar shows: its name and every figure behind it.
    QString BarText(int bar) const;
};

ChartData LoadChart(Database& db, ChartKind kind);
