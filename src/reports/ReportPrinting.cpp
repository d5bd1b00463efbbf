#include "reports/ReportPrinting.h"

#include "reports/PrintSurface.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

void PrepareReportPrinter(const PrintSurface& surface, QPrinter& printer)
{
    const QSize page = surface.DocumentPageSize();
    const bool landscape = page.width() > page.height();
    const QSizeF portraitInches(std::min(page.width(), page.height()) / double(PrintSurface::kTwipsPerInch),
                                std::max(page.width(), page.height()) / double(PrintSurface::kTwipsPerInch));
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(portraitInches, QPageSize::Inch, QString(), QPageSize::FuzzyMatch));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    printer.setFromTo(0, 0);
}

bool PrintReportDocument(const PrintSurface& surface, QPrinter& printer)
{
    const int count = surface.PageCount();
    if (count < 1) return false;
    int from = printer.fromPage();
    int to = printer.toPage();
    if (from <= 0) {
        from = 1;
        to = count;
    }
    from = std::clamp(from, 1, count);
    to = std::clamp(to <= 0 ? count : to, from, count);

    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // With the whole sheet to draw on, the painter's origin is the paper's corner.
    const QRectF sheet = printer.pageLayout().fullRectPixels(printer.resolution());
    for (int page = from; page <= to; ++page) {
        if (page > from && !printer.newPage()) return false;
        surface.DrawPage(painter, page, QRectF(QPointF(0, 0), sheet.size()));
    }
    return painter.end();
}
