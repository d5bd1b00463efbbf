#include "csv/CsvPreview.h"

#include <QFile>

namespace {

// Enough rows to tell a file's conventions by.
constexpr int kSampleRows = 500;

}  // namespace

QString CsvPreview::ColumnName(qsizetype column) const
{
    if (column < headings.size() && !headings.at(column).trimmed().isEmpty()) return headings.at(column).trimmed();
    return QStringLiteral("Column %1").arg(column + 1);
}

CsvPreview ReadCsvPreview(const QString& path, const ImportSettings& settings, bool guess,
                          const CatalogueList& catalogues, int previewRows)
{
    CsvPreview preview;
    preview.settings = settings;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        preview.error = QStringLiteral("The file '%1' cannot be read: %2.").arg(path, file.errorString());
        return preview;
    }
    CsvReader reader(file, settings.encoding, settings.separator);
    std::vector<CsvRecord> sample;
    CsvRecord record;
    while (sample.size() < size_t(kSampleRows) + 1 && reader.Next(record))
        if (!record.IsBlank()) sample.push_back(std::move(record));
    if (!reader.Error().isEmpty()) {
        preview.error = QStringLiteral("The file '%1' cannot be read: %2.").arg(path, reader.Error());
        return preview;
    }
    if (sample.empty()) return preview;

    ImportSettings& s = preview.settings;
    if (guess) {
        std::vector<QStringList> following;
        for (size_t i = 1; i < sample.size(); ++i) following.push_back(sample[i].fields);
        s.header = LooksLikeHeader(sample.front().fields, following);
    }
    if (s.header) {
        preview.headings = sample.front().fields;
        sample.erase(sample.begin());
    }
    preview.columns = preview.headings.size();
    for (const CsvRecord& r : sample) preview.columns = std::max(preview.columns, r.fields.size());
    if (guess) {
        s.mapping = s.header ? GuessMapping(preview.headings, catalogues) : std::vector<int>();
        s.mapping.resize(size_t(preview.columns), Fld::Ignore);
        std::vector<QStringList> rows;
        for (const CsvRecord& r : sample) rows.push_back(r.fields);
        s.values = GuessConventions(rows, s.mapping, s.separator);
    } else {
        s.mapping.resize(std::max(s.mapping.size(), size_t(preview.columns)), Fld::Ignore);
    }
    for (CsvRecord& r : sample) {
        if (preview.records.size() >= size_t(previewRows)) break;
        preview.records.push_back(std::move(r));
    }
    return preview;
}

CsvPreview InspectCsvFile(const QString& path, const CatalogueList& catalogues, int previewRows)
{
    const CsvSniff sniff = SniffCsvFile(path);
    if (!sniff.Ok()) {
        CsvPreview preview;
        preview.sniff = sniff;
        return preview;
    }
    ImportSettings settings;
    settings.encoding = sniff.encoding;
    settings.separator = sniff.separator;
    CsvPreview preview = ReadCsvPreview(path, settings, true, catalogues, previewRows);
    preview.sniff = sniff;
    return preview;
}
