#pragma once

// The statistics add four functions to the catalogue's SQL, so that their
// aggregates read each field exactly as the windows and reports read it (the
// reading of db/FieldValue.h) and sum money in the money type, never in floating
// point:
//
//   WholeOf(x)          x as a whole number (a fraction cut off), or null when x
//                       is not a number
//   MoneyOf(x)          x in ten-thousandths, rounded as the catalogue stores
//                       money, or null when x holds no amount
//   YearOf(d)           the year of a date field, or null when d is no date
//   MoneySum(q, price)  aggregate: the sum of WholeOf(q) times MoneyOf(price) in
//                       ten-thousandths, empty prices counting 0; null when the
//                       sum or a product does not fit the money type
//
// They live on the connection only: nothing of them is written into the file.

class Database;

// Adds the functions to the connection of db, once per connection.
void PrepareStatsSql(Database& db);
