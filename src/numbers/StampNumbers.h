#pragma once

// A stamp's numbers in the catalogues of the list: read for the main window,
// written with the stamp's record, and the conditions by which a stamp is found
// by any of them.

#include "db/Money.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class Database;
class Statement;
struct Connection;

struct StampNumber {
    qint64 catalogueId = 0;
    QString number;
    std::optional<Money> value;  // the catalogue value of that number
    QString note;

    bool operator==(const StampNumber&) const = default;
};

// The longest number and note the main window takes, as long as its "Catalog Num"
// and its other short texts.
inline constexpr int kNumberLength = 30;
inline constexpr int kNumberNoteLength = 50;

// The form in which two numbers are the same: blanks around them aside, folded
// as every find folds ("840A" is "840a").
QString NumberKey(const QString& number);

// The first row that repeats the catalogue and number of an earlier row, or -1.
int RepeatedNumber(const std::vector<StampNumber>& numbers);

// A stamp's numbers in their order, on one prepared statement kept for the next
// stamp (the main window reads them at every move).
class StampNumberQuery {
public:
    StampNumberQuery();
    ~StampNumberQuery();
    StampNumberQuery(const StampNumberQuery&) = delete;
    StampNumberQuery& operator=(const StampNumberQuery&) = delete;

    std::vector<StampNumber> Of(Database& db, qint64 stampId);
    // Lets go of the statement (the catalogue is being closed).
    void Reset();

private:
    std::shared_ptr<Connection> mConn;
    std::unique_ptr<Statement> mStatement;
};

// Replaces the stamp's numbers with these, in this order, in one savepoint
// (inside the caller's transaction, if one is open); their text keys are made
// before it returns. Throws DbError.
void SaveStampNumbers(Database& db, qint64 stampId, const std::vector<StampNumber>& numbers);

// A condition on the stamp table, in the program's query dialect, that a stamp
// meets when one of its numbers in any catalogue is the text (folded, as every
// find compares), or with prefix set begins with it ("*" and "?" are then the
// like wildcards). The text is quoted here. Finds and filters that look for a
// stamp by its number join it to their own condition with "or".
QString StampNumberCondition(const QString& text, bool prefix = false);
