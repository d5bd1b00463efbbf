#include "reports/ReportPdf.h"

#include "reports/PrintSurface.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Most file systems take 255 bytes for a name; leave room to spare.
constexpr qsizetype kMaxNameBytes = 240;

bool Forbidden(QChar c)
{
    return c.category() == QChar::Other_Control || QStringView(u"/\\:*?\"<>|").contains(c);
}

}  // namespace

QString PdfFileName(const QString& title, const QString& fallback)
{
    QString name = title;
    for (QChar& c : name)
        if (Forbidden(c)) c = u' ';
    name = name.simplified();
    while (name.startsWith(u'.')) name = name.mid(1).trimmed();
    const QString suffix = QStringLiteral(".pdf");
    while (!name.isEmpty() && (name + suffix).toUtf8().size() > kMaxNameBytes) {
        name.chop(1);
        // Never leave half of a character that takes two UTF-16 units.
        if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
        name = name.trimmed();
    }
    return (name.isEmpty() ? fallback : name) + suffix;
}

QString DocumentTitle(const PrintSurface& surface)
{
    if (surface.PageCount() < 1) return QString();
    const QString header = surface.PageHeaderText(1);
    const qsizetype first = header.indexOf(u'|');
    const qsizetype second = header.indexOf(u'|', first + 1);
    if (first < 0 || second <= first) return QString();
    return header.mid(first + 1, second - first - 1);
}

bool WriteReportPdf(const PrintSurface& surface, const QString& path, QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error) *error = reason;
        return false;
    };
    const int count = surface.PageCount();
    if (count < 1) return fail(QStringLiteral("There is no report to save."));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Tessarine"));
        writer.setTitle(DocumentTitle(surface));
        const QSize page = surface.DocumentPageSize();
        const double inch = PrintSurface::kTwipsPerInch;
        const QSizeF portrait(std::min(page.width(), page.height()) / inch,
                              std::max(page.width(), page.height()) / inch);
        // Letter and A4 keep their names; any other paper its exact size.
        const QPageLayout layout(QPageSize(portrait, QPageSize::Inch, QString(), QPageSize::FuzzyMatch),
                                 page.width() > page.height() ? QPageLayout::Landscape : QPageLayout::Portrait,
                                 QMarginsF(0, 0, 0, 0), QPageLayout::Point);
        if (!writer.setPageLayout(layout)) return fail(QStringLiteral("The page size cannot be set."));

        QPainter painter;
        if (!painter.begin(&writer)) return fail(QStringLiteral("The PDF could not be started."));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        // Without margins the painter's origin is the paper's corner.
        const QSizeF sheet = writer.pageLayout().fullRectPixels(writer.resolution()).size();
        for (int n = 1; n <= count; ++n) {
            if (n > 1 && !writer.newPage()) return fail(QStringLiteral("A new page could not be started."));
            surface.DrawPage(painter, n, QRectF(QPointF(0, 0), sheet));
        }
        if (!painter.end()) return fail(QStringLiteral("The PDF could not be finished."));
    }
    // A full disk may show only now: in the last write, or in the sync.
    if (file.error() != QFileDevice::NoError || !file.flush()) return fail(file.errorString());
    if (::fsync(file.handle()) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!file.commit()) return fail(file.errorString());
    return true;
}
