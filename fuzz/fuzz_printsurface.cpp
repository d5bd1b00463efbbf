// The print surface lays out whatever table strings the reports hand it, and the
// cells hold whatever a collector typed: "|" and ";" inside a value, line breaks,
// any script, any length. Layout and drawing must never crash, and every row must
// stay on its page.
//
// Input: one byte of options, then UTF-8 text; a \x01 separates table strings.
// Options: 1 landscape, 2 A4 instead of Letter, 4 the first part is the page
// header and the second the footer, 8 the first table heads every page, 16 the
// tables alternate between heading and body rows.
#include "reports/PrintSurface.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRectF>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_printsurface";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint8_t options = data[0];
    QStringList parts =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)).split(QChar(1));

    // One surface for every document, as the preview window keeps one.
    static PrintSurface& surface = *new PrintSurface;
    surface.SetPaperSize(options & 2 ? PrintSurface::A4Size() : PrintSurface::LetterSize());
    surface.SetOrientation(options & 1 ? PrintSurface::Orientation::Landscape : PrintSurface::Orientation::Portrait);
    surface.SetHeader(QString());
    surface.SetFooter(QString());
    surface.SetHeadingRows(false);
    if (options & 4) {
        surface.SetHeader(parts.value(0));
        surface.SetFooter(parts.value(1));
        parts = parts.mid(2);
    }
    const QString heading = parts.value(0);
    surface.SetNewPageHandler(nullptr);
    if (options & 8) {
        surface.SetNewPageHandler([heading](PrintSurface& s) {
            s.SetHeadingRows(true);
            s.AddTable(heading);
        });
    }
    surface.StartDoc();
    bool headingRows = false;
    for (const QString& table : parts) {
        if (options & 16) surface.SetHeadingRows(headingRows = !headingRows);
        surface.AddTable(table);
    }
    surface.EndDoc();
    const int pages = surface.PageCount();
    surface.AddTable(heading);  // outside a document: ignored
    if (pages < 1 || surface.PageCount() != pages) std::abort();
    for (int page = 1; page <= pages; ++page) {
        for (const auto& row : surface.PageRows(page))
            if (row.top < 0 || row.height <= 0 || row.top + row.height > surface.PageHeight()) std::abort();
        (void)surface.PageHeaderText(page);
        (void)surface.PageFooterText(page);
    }
    QImage image(160, 210, QImage::Format_RGB32);
    QPainter painter(&image);
    for (const int page : {1, (pages + 1) / 2, pages, pages + 1, 0})
        surface.DrawPage(painter, page, QRectF(0, 0, image.width(), image.height()));
    return 0;
}
