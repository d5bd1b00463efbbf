#pragma once

// The benchmark's bookkeeping: the samples the measuring processes report, the
// cases with their targets, and the one table that run.sh prints. No windows,
// no catalogue: this part is tested on its own.

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What the measuring processes reported: times in milliseconds, peak memory in
// kilobytes, both by key. Each process writes one sample a line:
//   time KEY MS
//   memory KEY KB
struct Samples {
    QMap<QString, std::vector<double>> times;
    QMap<QString, double> memoryKb;  // the largest reported under each key
    QStringList errors;              // "error TEXT" lines: a case that could not be measured

    // Reads one line; false (and nothing kept) for a line that is not a sample.
    bool Read(QStringView line);
    void Merge(const Samples& other);
};

// The middle value; the mean of the two middle ones for an even count. Nothing
// for no values.
std::optional<double> Median(std::vector<double> values);

// One row of the table and its target.
struct BenchCase {
    enum class Limit { Milliseconds, Ratio, Megabytes };
    QString label;
    QString key;          // the samples of the case (for Megabytes: the memory key)
    QString baselineKey;  // the samples of its baseline (Ratio), else empty
    Limit limit = Limit::Milliseconds;
    double upTo100k = 0;  // the target for catalogues of up to 100,000 stamps
    double upTo1M = 0;    // the target for larger catalogues (set for 1,000,000)
    QString memoryKey;    // a peak memory shown beside the time, or empty
};

// The cases run.sh measures, in the order of the table.
const std::vector<BenchCase>& StandardCases();
// The cases of the images group, run only on request (on a catalogue with images):
// each time compared with the same case on the same catalogue without images.
const std::vector<BenchCase>& ImageCases();

struct CaseResult {
    std::optional<double> medianMs;
    std::optional<double> baselineMs;
    std::optional<double> ratio;
    std::optional<double> peakMb;
    double target = 0;
    bool measured = false;  // every number the target needs is there
    bool met = false;
    int runs = 0;  // samples behind the median
};

double TargetFor(const BenchCase& benchCase, int stamps);
CaseResult Evaluate(const BenchCase& benchCase, const Samples& samples, int stamps);

// The table: case, median, baseline, ratio, peak memory, target and whether it
// was met, one case a line under a heading.
QString FormatTable(const std::vector<BenchCase>& cases, const Samples& samples, int stamps);
// How many cases met their targets, and how many could not be measured.
struct Tally {
    int met = 0;
    int missed = 0;
    int unmeasured = 0;
};
Tally Count(const std::vector<BenchCase>& cases, const Samples& samples, int stamps);
