#pragma once

// A finished report document saved as a PDF file: the pages as they were
// composed, headers and footers included, on the document's own paper and
// orientation.

#include <QString>

class PrintSurface;

inline const QString kPdfFileFilter = QStringLiteral("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*");

// The name a report's title gives its PDF file: "My Stamps" gives
// "My Stamps.pdf". Characters that a file name cannot hold on a common disk
// (/ \ : * ? " < > | and control characters) become spaces; runs of blanks
// become one; leading dots go; a name too long for a file system is cut. A
// title that leaves nothing gives fallback + ".pdf".
QString PdfFileName(const QString& title, const QString& fallback = QStringLiteral("Stamp"));

// The centre part of the document's page header, where every report puts its
// title; empty when there is no document.
QString DocumentTitle(const PrintSurface& surface);

// Writes every page of the finished document to path. The file is written beside
// path and takes its place only when complete, so a failure leaves any earlier
// file as it was. False, with the reason in *error, when there is no document or
// the file cannot be written.
bool WriteReportPdf(const PrintSurface& surface, const QString& path, QString* error);
