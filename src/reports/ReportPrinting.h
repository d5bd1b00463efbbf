#pragma once

// Printing a finished report document through Qt Print Support: on a real
// printer, or into a PDF file ("Print to file").

class PrintSurface;
class QPrinter;

// Sets the printer to the document's paper and orientation, drawing on the
// whole sheet.
void PrepareReportPrinter(const PrintSurface& surface, QPrinter& printer);

// Prints the pages the printer's range names (all pages when it names none),
// each as it was composed. False when the printer could not be started.
bool PrintReportDocument(const PrintSurface& surface, QPrinter& printer);
