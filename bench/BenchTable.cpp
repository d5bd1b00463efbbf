#include "BenchTable.h"

#include <algorithm>
#include <cmath>

namespace {

std::optional<double> Number(QStringView text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0) return std::nullopt;
    return value;
}

QString Ms(std::optional<double> ms)
{
    if (!ms) return QStringLiteral("-");
    const int decimals = *ms < 10 ? 2 : *ms < 100 ? 1 : 0;
    return QString::number(*ms, 'f', decimals) + QStringLiteral(" ms");
}

QString Cell(const QString& text, int width, bool right)
{
    return right ? text.rightJustified(width, u' ') : text.leftJustified(width, u' ');
}

QString TargetText(const BenchCase& c, double target)
{
    const QString number = QString::number(target, 'g', 6);
    switch (c.limit) {
        case BenchCase::Limit::Milliseconds:
            return QStringLiteral("< ") + number + QStringLiteral(" ms");
        case BenchCase::Limit::Ratio:
            return QStringLiteral("<= ") + number + QStringLiteral(" x base");
        case BenchCase::Limit::Megabytes:
            return QStringLiteral("< ") + number + QStringLiteral(" MB");
    }
    return QString();
}

}  // namespace

bool Samples::Read(QStringView line)
{
    line = line.trimmed();
    if (line.startsWith(u"error ")) {
        errors << line.mid(6).trimmed().toString();
        return true;
    }
    const QList<QStringView> parts = line.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 3) return false;
    const auto value = Number(parts[2]);
    if (!value) return false;
    const QString key = parts[1].toString();
    if (parts[0] == u"time") {
        times[key].push_back(*value);
        return true;
    }
    if (parts[0] == u"memory") {
        memoryKb[key] = std::max(memoryKb.value(key, 0.0), *value);
        return true;
    }
    return false;
}

void Samples::Merge(const Samples& other)
{
    for (auto it = other.times.cbegin(); it != other.times.cend(); ++it)
        times[it.key()].insert(times[it.key()].end(), it.value().begin(), it.value().end());
    for (auto it = other.memoryKb.cbegin(); it != other.memoryKb.cend(); ++it)
        memoryKb[it.key()] = std::max(memoryKb.value(it.key(), 0.0), it.value());
    errors << other.errors;
}

std::optional<double> Median(std::vector<double> values)
{
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    if (values.size() % 2 == 1) return values[middle];
    return (values[middle - 1] + values[middle]) / 2;
}

const std::vector<BenchCase>& StandardCases()
{
    using L = BenchCase::Limit;
    static const std::vector<BenchCase> cases = {
        {QStringLiteral("main window load and first activation, first record shown"),
         QStringLiteral("load"),
         {},
         L::Milliseconds,
         150,
         1500,
         QStringLiteral("load")},
        {QStringLiteral("Next: one move with its ShowRecord"), QStringLiteral("next"), {}, L::Milliseconds, 2, 2, {}},
        {QStringLiteral("Previous: one move with its ShowRecord"),
         QStringLiteral("previous"),
         {},
         L::Milliseconds,
         2,
         2,
         {}},
        {QStringLiteral("Last: one move with its ShowRecord"), QStringLiteral("last"), {}, L::Milliseconds, 2, 2, {}},
        {QStringLiteral("re-sort by catalogue number"),
         QStringLiteral("sort-catnum"),
         {},
         L::Milliseconds,
         150,
         1500,
         {}},
        {QStringLiteral("re-sort by issue date"), QStringLiteral("sort-issued"), {}, L::Milliseconds, 150, 1500, {}},
        {QStringLiteral("re-sort by description (collation keys)"),
         QStringLiteral("sort-descr"),
         {},
         L::Milliseconds,
         150,
         1500,
         {}},
        {QStringLiteral("Find by description, a match near the end"),
         QStringLiteral("find"),
         {},
         L::Milliseconds,
         30,
         300,
         {}},
        {QStringLiteral("Find by a Michel number in catalogue-number order (three numbers a stamp)"),
         QStringLiteral("find-number"),
         {},
         L::Milliseconds,
         30,
         300,
         {}},
        {QStringLiteral("Update one stamp, shown again in its sorted place"),
         QStringLiteral("update"),
         {},
         L::Milliseconds,
         50,
         500,
         {}},
        {QStringLiteral("Add New and Update: one stamp added, shown in its sorted place"),
         QStringLiteral("add"),
         {},
         L::Milliseconds,
         50,
         500,
         {}},
        {QStringLiteral("Delete: one stamp into the trash, the next one shown"),
         QStringLiteral("delete"),
         {},
         L::Milliseconds,
         50,
         500,
         {}},
        {QStringLiteral("undo bookkeeping of one Update (the rows noted)"),
         QStringLiteral("history-note"),
         {},
         L::Milliseconds,
         1,
         1,
         {}},
        {QStringLiteral("Undo of a change of 10,000 stamps, the stamp shown"),
         QStringLiteral("undo-bulk"),
         {},
         L::Milliseconds,
         2000,
         2000,
         {}},
        {QStringLiteral("Redo of a change of 10,000 stamps, the stamp shown"),
         QStringLiteral("redo-bulk"),
         {},
         L::Milliseconds,
         2000,
         2000,
         {}},
        {QStringLiteral("automatic backup at start: what it holds up the start"),
         QStringLiteral("autobackup-start"),
         {},
         L::Milliseconds,
         500,
         500,
         {}},
        {QStringLiteral("value report to a text file"),
         QStringLiteral("value-text"),
         QStringLiteral("value-base"),
         L::Ratio,
         2,
         2,
         {}},
        {QStringLiteral("value report to an HTML file"),
         QStringLiteral("value-html"),
         QStringLiteral("value-base"),
         L::Ratio,
         2,
         2,
         {}},
        {QStringLiteral("category report, all countries, to a text file"),
         QStringLiteral("category-text"),
         QStringLiteral("category-base"),
         L::Ratio,
         2,
         2,
         {}},
        {QStringLiteral("category report, all countries, to an HTML file"),
         QStringLiteral("category-html"),
         QStringLiteral("category-base"),
         L::Ratio,
         2,
         2,
         {}},
        {QStringLiteral("category report to the preview: document and page count"),
         QStringLiteral("preview-doc"),
         QStringLiteral("preview-base"),
         L::Ratio,
         3,
         3,
         {}},
        {QStringLiteral("preview: first page drawn"),
         QStringLiteral("preview-page"),
         {},
         L::Milliseconds,
         100,
         100,
         {}},
        {QStringLiteral("custom report, 2 joins, 3 criteria, 2 sort keys, to HTML"),
         QStringLiteral("custom-html"),
         QStringLiteral("custom-base"),
         L::Ratio,
         2,
         2,
         {}},
        {QStringLiteral("first open of a catalogue made before the text keys, brought up to date"),
         QStringLiteral("upgrade"),
         {},
         L::Milliseconds,
         1000,
         10000,
         {}},
        {QStringLiteral("statistics window: summary and first chart drawn"),
         QStringLiteral("stats-open"),
         {},
         L::Milliseconds,
         300,
         3000,
         {}},
        {QStringLiteral("statistics: another chart drawn (the slowest chart)"),
         QStringLiteral("stats-chart"),
         {},
         L::Milliseconds,
         150,
         1500,
         {}},
        {QStringLiteral("stamp list shown beside the editor, first rows drawn"),
         QStringLiteral("list-open"),
         {},
         L::Milliseconds,
         300,
         300,
         {}},
        {QStringLiteral("stamp list: scrolled to a position and drawn"),
         QStringLiteral("list-scroll"),
         {},
         L::Milliseconds,
         16,
         16,
         {}},
        {QStringLiteral("stamp list: a filter keystroke, list and editor shown"),
         QStringLiteral("list-filter"),
         {},
         L::Milliseconds,
         50,
         500,
         {}},
        {QStringLiteral("stamp list: sorted by a column heading"),
         QStringLiteral("list-sort"),
         {},
         L::Milliseconds,
         200,
         2000,
         {}},
        {QStringLiteral("change 10,000 selected stamps, totals and list included"),
         QStringLiteral("list-change"),
         {},
         L::Milliseconds,
         2000,
         2000,
         {}},
        {QStringLiteral("Pack Database (base: VACUUM INTO)"),
         QStringLiteral("pack"),
         QStringLiteral("pack-base"),
         L::Ratio,
         1.3,
         1.3,
         {}},
        {QStringLiteral("export to CSV, every stamp"),
         QStringLiteral("csv-export"),
         {},
         L::Milliseconds,
         1000,
         10000,
         QStringLiteral("csv-export")},
        {QStringLiteral("export to CSV (base: value report to a text file)"),
         QStringLiteral("csv-export-ratio"),
         QStringLiteral("csv-value-text"),
         L::Ratio,
         2,
         2,
         {}},
        {QStringLiteral("import from CSV into an empty catalogue, window to stamps shown"),
         QStringLiteral("csv-import"),
         {},
         L::Milliseconds,
         5000,
         50000,
         {}},
        {QStringLiteral("import from CSV: peak memory of the process"),
         QStringLiteral("csv-import-peak"),
         {},
         L::Megabytes,
         200,
         2000,
         {}},
        {QStringLiteral("peak memory, category report preview open"),
         QStringLiteral("preview-open"),
         {},
         L::Megabytes,
         250,
         1024,
         {}},
        {QStringLiteral("peak memory, stamp list open, scrolled and filtered"),
         QStringLiteral("list-memory"),
         {},
         L::Megabytes,
         300,
         300,
         {}},
    };
    return cases;
}

const std::vector<BenchCase>& ImageCases()
{
    using L = BenchCase::Limit;
    const auto ratio = [](const char* label, const char* key, const char* base, double target) {
        return BenchCase{QString::fromLatin1(label), QString::fromLatin1(key), QString::fromLatin1(base), L::Ratio,
                         target, target, {}};
    };
    static const std::vector<BenchCase> cases = {
        ratio("images: main window load (base: no images)", "img-load", "plain-load", 1.1),
        ratio("images: Next with ShowRecord (base: no images)", "img-next", "plain-next", 1.1),
        ratio("images: Previous with ShowRecord (base: no images)", "img-previous", "plain-previous", 1.1),
        ratio("images: Last with ShowRecord (base: no images)", "img-last", "plain-last", 1.1),
        ratio("images: re-sort by catalogue number (base: no images)", "img-sort-catnum", "plain-sort-catnum", 1.1),
        ratio("images: re-sort by issue date (base: no images)", "img-sort-issued", "plain-sort-issued", 1.1),
        ratio("images: re-sort by description (base: no images)", "img-sort-descr", "plain-sort-descr", 1.1),
        ratio("images: Find by description (base: no images)", "img-find", "plain-find", 1.1),
        {QStringLiteral("images: a stamp's thumbnails shown on the Images tab"), QStringLiteral("img-thumbs"), {},
         L::Milliseconds, 20, 20, {}},
        {QStringLiteral("images: viewer opened on a 20-megapixel scan, drawn fitted"), QStringLiteral("img-viewer"), {},
         L::Milliseconds, 300, 300, {}},
        {QStringLiteral("images: viewer at actual size, drawn"), QStringLiteral("img-viewer-full"), {},
         L::Milliseconds, 1000, 1000, {}},
        ratio("images: Pack Database (base: VACUUM INTO)", "img-pack", "img-pack-base", 1.3),
        ratio("images: Backup (base: a plain copy, synced)", "img-backup", "img-backup-base", 1.3),
        {QStringLiteral("images: peak memory, viewer open on the scan at actual size"), QStringLiteral("img-viewer"),
         {}, L::Megabytes, 300, 300, {}},
    };
    return cases;
}

double TargetFor(const BenchCase& benchCase, int stamps)
{
    return stamps <= 100000 ? benchCase.upTo100k : benchCase.upTo1M;
}

CaseResult Evaluate(const BenchCase& c, const Samples& samples, int stamps)
{
    CaseResult r;
    r.target = TargetFor(c, stamps);
    const auto peakOf = [&samples](const QString& key) -> std::optional<double> {
        if (key.isEmpty() || !samples.memoryKb.contains(key)) return std::nullopt;
        return samples.memoryKb.value(key) / 1024.0;
    };
    if (c.limit == BenchCase::Limit::Megabytes) {
        r.peakMb = peakOf(c.key);
        r.measured = r.peakMb.has_value();
        r.met = r.measured && *r.peakMb < r.target;
        return r;
    }
    const std::vector<double> times = samples.times.value(c.key);
    r.runs = static_cast<int>(times.size());
    r.medianMs = Median(times);
    r.peakMb = peakOf(c.memoryKey);
    if (c.limit == BenchCase::Limit::Milliseconds) {
        r.measured = r.medianMs.has_value();
        r.met = r.measured && *r.medianMs < r.target;
        return r;
    }
    r.baselineMs = Median(samples.times.value(c.baselineKey));
    if (r.medianMs && r.baselineMs && *r.baselineMs > 0) r.ratio = *r.medianMs / *r.baselineMs;
    r.measured = r.ratio.has_value();
    r.met = r.measured && *r.ratio <= r.target;
    return r;
}

QString FormatTable(const std::vector<BenchCase>& cases, const Samples& samples, int stamps)
{
    int labelWidth = 4;
    for (const BenchCase& c : cases) labelWidth = std::max(labelWidth, static_cast<int>(c.label.size()));
    const QString heading = Cell(QStringLiteral("case"), labelWidth, false) + u' ' +
                            Cell(QStringLiteral("median"), 11, true) + u' ' +
                            Cell(QStringLiteral("baseline"), 11, true) + u' ' + Cell(QStringLiteral("ratio"), 6, true) +
                            u' ' + Cell(QStringLiteral("peak MB"), 8, true) + QStringLiteral("  ") +
                            Cell(QStringLiteral("target"), 14, false) + u' ' + QStringLiteral("result");
    QString out = heading + u'\n' + QString(heading.size(), u'-') + u'\n';
    for (const BenchCase& c : cases) {
        const CaseResult r = Evaluate(c, samples, stamps);
        const QString ratio = r.ratio ? QString::number(*r.ratio, 'f', 2) + u'x' : QStringLiteral("-");
        const QString peak = r.peakMb ? QString::number(*r.peakMb, 'f', 1) : QStringLiteral("-");
        const QString result = !r.measured ? QStringLiteral("NOT MEASURED")
                               : r.met     ? QStringLiteral("ok")
                                           : QStringLiteral("MISSED");
        out += Cell(c.label, labelWidth, false) + u' ' + Cell(Ms(r.medianMs), 11, true) + u' ' +
               Cell(Ms(r.baselineMs), 11, true) + u' ' + Cell(ratio, 6, true) + u' ' + Cell(peak, 8, true) +
               QStringLiteral("  ") + Cell(TargetText(c, r.target), 14, false) + u' ' + result + u'\n';
    }
    return out;
}

Tally Count(const std::vector<BenchCase>& cases, const Samples& samples, int stamps)
{
    Tally t;
    for (const BenchCase& c : cases) {
        const CaseResult r = Evaluate(c, samples, stamps);
        if (!r.measured)
            ++t.unmeasured;
        else if (r.met)
            ++t.met;
        else
            ++t.missed;
    }
    return t;
}
