#pragma once

// The first look at a file to import: its settings as detected and guessed, its
// column headings and its first rows.

#include "csv/CsvSniff.h"
#include "csv/ImportSettings.h"
#include "numbers/Catalogues.h"

#include <vector>

struct CsvPreview {
    CsvSniff sniff;                  // what the file is; sniff.message says what is wrong
    ImportSettings settings;         // as detected and guessed
    QStringList headings;            // the header's fields; empty without a header
    std::vector<CsvRecord> records;  // the first rows after the header
    qsizetype columns = 0;           // the most fields of a record in the sample
    QString error;                   // a failure while reading

    bool Ok() const { return sniff.Ok() && error.isEmpty(); }
    // The heading of a column (from 0): the header's text, or "Column n".
    QString ColumnName(qsizetype column) const;
};

inline constexpr int kPreviewRows = 20;

// Detects everything about the file and guesses its mapping and conventions;
// columns of the catalogues' numbers by the list of catalogues.
CsvPreview InspectCsvFile(const QString& path, const CatalogueList& catalogues = {}, int previewRows = kPreviewRows);

// Reads the headings and first rows again in the encoding, separator and header
// choice of the settings. With guess set, the mapping and the conventions are
// guessed again; otherwise the settings are kept as they are.
CsvPreview ReadCsvPreview(const QString& path, const ImportSettings& settings, bool guess,
                          const CatalogueList& catalogues = {}, int previewRows = kPreviewRows);
