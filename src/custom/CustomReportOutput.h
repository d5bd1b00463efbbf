#pragma once

// The output step of a custom report. The custom report window builds a
// CustomReport (query, layout and page set-up) and hands it to
// GenerateCustomReport, which runs the query and sends every line to a
// CustomReportWriter for the report's target.
//
// Line shapes the writer receives through WriteLine, by target:
//   Preview   one table string per record: column format + cells joined by "|" + ";"
//             (report.query.columnFormat is the format part; report.query.heading,
//             also put into gRptHeader, is the heading table for each new page);
//   TextFile  one text line per record: the cells joined by tabs, no heading;
//   HtmlFile  every line of the page: report.query.htmlHead, one "<tr>...</tr>" per
//             record, the totals row, then "</table>", "</body>", "</html>".
// The writer adds line ends (CR LF in files); cells of HTML lines are already escaped.

#include "custom/CustomQuery.h"
#include "custom/CustomRows.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

// Where the page number goes, by the position of the page-number choice.
enum class PageNumbers { AtBottom = 0, InHeader = 1, None = 2 };

struct CustomReportOptions {
    CustomTarget target = CustomTarget::Preview;
    bool landscape = false;
    bool showDate = true;
    PageNumbers pageNumbers = PageNumbers::AtBottom;
    QString title;
};

struct CustomReport {
    CustomTarget target = CustomTarget::Preview;
    CustomQuery query;        // the query text, column format, heading table, HTML head, columns
    QString title;            // the report title
    bool landscape = false;   // preview: landscape pages, else portrait
    QString pageHeader;       // preview: "left|centre|right", "%d" stands for the page number
    QString pageFooter;       // preview: the same form; empty for no footer
    QString defaultFileName;  // file targets: "Stamp.txt" or "Stamp.htm"
    QString fileFilter;       // file targets: the Save dialog's filter, "Name (*.x)|*.x|..."
};

// The page header: today's short date when it is shown, the title in the centre,
// and the page number at the right when it goes in the header.
QString CustomPageHeader(bool showDate, const QDate& today, const QString& title, PageNumbers numbers);
// The page footer: a centred page number when it goes at the bottom, else empty.
QString CustomPageFooter(PageNumbers numbers);

CustomReport MakeCustomReport(CustomQuery query, const CustomReportOptions& options, const QDate& today);

// One report target. GenerateCustomReport calls, in this order: Open; StartDocument
// (once the query is open); WriteLine for every line; Close. It calls Close after a
// successful Open on every path.
class CustomReportWriter {
public:
    virtual ~CustomReportWriter() = default;
    // Before the query runs. A file target asks for the file (Save dialog with the
    // report's default name and filter, then the overwrite question) and opens it.
    // False ends the report quietly: cancelled, declined, or the writer has already
    // told the collector that the file cannot be opened.
    virtual bool Open(const CustomReport& report) = 0;
    // The preview starts its document here: orientation, page header and footer,
    // the heading table on each new page. File targets have nothing to do.
    virtual void StartDocument(const CustomReport& report) = 0;
    // One line in the target's shape (see above). False ends the report: the output
    // failed and the writer has told the collector.
    virtual bool WriteLine(const QString& line) = 0;
    // A record's line with the pictures of its image columns (by column; empty for
    // a column without one). Only the preview draws them; HTML has them in the
    // line already and a text file has no place for them.
    virtual bool WriteRecord(const QString& line, const std::vector<QByteArray>& pictures)
    {
        Q_UNUSED(pictures)
        return WriteLine(line);
    }
    // Ends the output. complete is false when the report stopped early (no record,
    // a failure): a file is closed with what it holds, the preview is not shown.
    // When complete, the preview ends its document and shows its window.
    virtual void Close(bool complete) = 0;
};

// Keeps every line in memory.
class MemoryReportWriter final : public CustomReportWriter {
public:
    bool Open(const CustomReport& report) override;
    void StartDocument(const CustomReport&) override { started = true; }
    bool WriteLine(const QString& line) override;
    bool WriteRecord(const QString& line, const std::vector<QByteArray>& pictures) override;
    void Close(bool complete) override;

    CustomReport report;
    QStringList lines;
    // The pictures given with each record's line, by the line's index.
    std::map<qsizetype, std::vector<QByteArray>> pictures;
    bool opened = false;
    bool started = false;
    bool closed = false;
    bool completed = false;
};

using CustomReportWriterFactory = std::function<std::unique_ptr<CustomReportWriter>(const CustomReport&)>;
// Installs the writers of the report targets; an empty factory puts back the one
// that keeps the output in memory (LastCustomReportOutput).
void SetCustomReportWriterFactory(CustomReportWriterFactory factory);
// What the in-memory writer kept of the last report.
const MemoryReportWriter& LastCustomReportOutput();

// Runs a custom report: sets gRptHeader and gRptNewPageHeader, opens the query on
// gDb, read once forward (failures go to the central error handler), writes the head,
// one line per record, the totals row when a shown column is totalled, and the
// tail. With no record it shows "No Stamps have been entered that may be included
// in the specified report". The hourglass shows while the preview is filled.
void GenerateCustomReport(const CustomReport& report);
void GenerateCustomReport(const CustomReport& report, CustomReportWriter& writer);
