#pragma once

// The cells and lines of a custom report: how a value is shown, and how a row of
// cells is written for each target.

#include "custom/CustomQuery.h"
#include "reports/ReportFile.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

// Where a custom report goes; the numbers are those of the report target setting.
enum class CustomTarget { Preview = 1, TextFile = 2, HtmlFile = 3 };

// A number as general number text: as many decimals as it needs, at most fifteen
// significant digits (a sum of 0.1 and 0.2 shows 0.3), the locale's decimal mark.
QString GeneralNumberText(double value);

// The text of one cell: text as stored; a number as currency for money fields,
// else as a general number; a date in the short date form; yes/no as "Yes" or
// "No". A field that holds nothing gives an empty cell ("No" for yes/no); an
// image's cell holds no text.
QString CellText(const ReportColumn& column, const QVariant& value);

// One record or totals row as its target writes it: a table string for the
// preview (column format, cells joined by "|", ";"), the cells joined by tabs for
// a text file, a table row for an HTML file. An image column's cell is empty in
// the preview (the picture goes beside the line, see CustomReportWriter), left out
// of a text file, and in HTML an <img> of the picture given for that column
// (pictures by column; an empty one, or none, for no picture).
QString RecordLine(CustomTarget target, const QString& columnFormat, const QList<ReportColumn>& columns,
                   const QStringList& cells, const std::vector<QByteArray>& pictures = {});
// The totals row: cells of columns without a total are empty ("&nbsp;" in HTML),
// and every total is right-aligned.
QString TotalsLine(CustomTarget target, const QString& columnFormat, const QList<ReportColumn>& columns,
                   const QStringList& cells);

// An HTML image element showing a thumbnail, its bytes in a data URI.
QString HtmlImage(const QByteArray& thumbnail);

// The lines that close an HTML report.
QStringList HtmlTail();
