#include "reports/PageView.h"

#include "reports/PrintSurface.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

PageView::PageView(const PrintSurface& surface, QWidget* parent) : QWidget(parent), mSurface(surface)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::SetTwipsSize(QSizeF twips)
{
    mTwips = twips;
    const double perTwip = logicalDpiX() / double(PrintSurface::kTwipsPerInch);
    const double perTwipY = logicalDpiY() / double(PrintSurface::kTwipsPerInch);
    setFixedSize(std::max(1, int(std::lround(twips.width() * perTwip))),
                 std::max(1, int(std::lround(twips.height() * perTwipY))));
    update();
}

void PageView::SetPage(int page)
{
    if (page == mPage) return;
    mPage = page;
    update();
}

void PageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Mid));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    mSurface.DrawPage(painter, mPage, QRectF(rect()));
}
