#pragma once

// The skeleton every standard report follows on each of the three targets
// (gRptTarget: 1 preview, 2 text file, 3 HTML file). A report gives its query,
// texts and columns, turns each record into its cells, and says what its totals
// lines are; opening and closing the target, the empty-result message, the
// hourglass and every failure are handled here.

#include <QString>
#include <QStringList>

#include <vector>

class Recordset;

class StandardReport {
public:
    struct Texts {
        QString query;
        QString emptyMessage;
        QString formatPart;  // "2160|1400|>1400;"
        QString headingRow;  // the preview's heading row, "Description|Cat #;"
        QString pageTitle;   // centre of the page header
        QString textFileName;
        QString htmlFileName;
        QString pdfFileName;  // offered when the preview is saved as a PDF
        QString htmlHeadLine;                // "<head><title>...</title></head>"
        QString htmlTitleRow;                // "<tr><th colspan=7>...</th></tr>"
        QStringList htmlHeadingLines;        // one line per column heading
        std::vector<bool> htmlRightAligned;  // per cell of a data row
        bool htmlCloseRow = true;            // data rows end with "</tr>"
    };
    struct TotalsLines {
        QStringList preview;  // whole table strings
        QStringList text;
        QStringList html;
    };

    virtual ~StandardReport() = default;
    void Run();

protected:
    explicit StandardReport(Texts texts) : mTexts(std::move(texts)) {}
    // The query is open and holds at least one record.
    virtual void Begin(const Recordset& rs) = 0;
    // The cells of the current record, in column order, as plain text.
    virtual void Cells(const Recordset& rs, std::vector<QString>& cells) = 0;
    virtual TotalsLines Totals() const = 0;

    const Texts mTexts;
};

// The position of a query column by name, without regard to case.
int ColumnOf(const Recordset& rs, const QString& name);
