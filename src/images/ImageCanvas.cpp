#include "images/ImageCanvas.h"

#include "db/Prompts.h"
#include "images/PictureIntake.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

ImageCanvas::ImageCanvas(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("imgCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::OpenHandCursor);
}

bool ImageCanvas::SetPicture(std::shared_ptr<const QByteArray> bytes, QSize fullSize)
{
    mLevels.clear();
    mProblem.clear();
    mBytes = std::move(bytes);
    mFull = fullSize;
    // Decoded only as finely as fitting it needs.
    double fit = 1.0;
    if (mFull.isValid() && !mFull.isEmpty())
        fit = std::min(
            {1.0, static_cast<double>(width()) / mFull.width(), static_cast<double>(height()) / mFull.height()});
    double scale = 1.0;
    QImage image = mBytes ? DecodeImage(*mBytes, fit, &scale, &mProblem) : QImage();
    if (image.isNull()) {
        Clear(mProblem);
        return false;
    }
    if (!mFull.isValid() || mFull.isEmpty()) {
        mFull = scale >= 1.0 ? image.size() : QSize(qRound(image.width() / scale), qRound(image.height() / scale));
    }
    // The decoded size tells the scale more exactly than the reduction (sizes round up).
    scale = std::min(1.0, static_cast<double>(image.width()) / mFull.width());
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image =
            image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    mLevels.push_back({scale, std::move(image)});
    ZoomToFit();
    return true;
}

void ImageCanvas::Clear(const QString& message)
{
    mLevels.clear();
    mBytes.reset();
    mFull = QSize();
    mProblem = message;
    mZoom = 1.0;
    mFitting = true;
    update();
    Q_EMIT ZoomChanged();
}

double ImageCanvas::FitZoom() const
{
    if (!mFull.isValid() || mFull.isEmpty()) return 1.0;
    return std::min(
        {1.0, static_cast<double>(width()) / mFull.width(), static_cast<double>(height()) / mFull.height()});
}

double ImageCanvas::MinZoom() const
{
    return std::max(0.005, FitZoom() / 4);
}

void ImageCanvas::ZoomToFit()
{
    if (mLevels.empty()) return;
    mZoom = FitZoom();
    mFitting = true;
    mCenter = QPointF(mFull.width() / 2.0, mFull.height() / 2.0);
    EnsureDetail(mZoom);
    update();
    Q_EMIT ZoomChanged();
}

void ImageCanvas::ActualSize()
{
    SetZoom(1.0, QPointF(width() / 2.0, height() / 2.0));
}

void ImageCanvas::ZoomIn()
{
    ZoomBy(kZoomStep, QPointF(width() / 2.0, height() / 2.0));
}

void ImageCanvas::ZoomOut()
{
    ZoomBy(1.0 / kZoomStep, QPointF(width() / 2.0, height() / 2.0));
}

void ImageCanvas::ZoomBy(double factor, QPointF anchor)
{
    SetZoom(mZoom * factor, anchor);
}

void ImageCanvas::SetZoom(double zoom, QPointF anchor)
{
    if (mLevels.empty()) return;
    zoom = std::clamp(zoom, MinZoom(), kMaxZoom);
    // The picture point under the anchor stays under it.
    const QPointF middle(width() / 2.0, height() / 2.0);
    const QPointF point = mCenter + (anchor - middle) / mZoom;
    mCenter = point - (anchor - middle) / zoom;
    mZoom = zoom;
    mFitting = false;
    EnsureDetail(zoom);
    ClampCenter();
    update();
    Q_EMIT ZoomChanged();
}

void ImageCanvas::PanBy(QPointF delta)
{
    if (mLevels.empty()) return;
    mCenter -= delta / mZoom;
    ClampCenter();
    update();
}

void ImageCanvas::ClampCenter()
{
    // A picture smaller than the area sits in its middle; a larger one shows no
    // more than half an area of background beyond its edges.
    auto clamp = [this](double center, int full, int view) {
        const double shown = full * mZoom;
        if (shown <= view) return full / 2.0;
        const double half = view / (2.0 * mZoom);
        return std::clamp(center, half, full - half);
    };
    mCenter.setX(clamp(mCenter.x(), mFull.width(), width()));
    mCenter.setY(clamp(mCenter.y(), mFull.height(), height()));
}

void ImageCanvas::EnsureDetail(double zoom)
{
    if (mLevels.empty() || mLevels.front().scale >= 1.0 || zoom <= mLevels.front().scale * 1.0001 || !mBytes) return;
    // The zoom wants more than was decoded: the whole picture now.
    prompts().Busy(true);
    double scale = 1.0;
    QString problem;
    QImage full = DecodeImage(*mBytes, 1.0, &scale, &problem);
    prompts().Busy(false);
    if (full.isNull()) return;
    if (full.format() != QImage::Format_RGB32 && full.format() != QImage::Format_ARGB32_Premultiplied)
        full =
            full.convertToFormat(full.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    mLevels.clear();
    mLevels.push_back({1.0, std::move(full)});
}

const ImageCanvas::Level& ImageCanvas::LevelFor(double zoom)
{
    // The smallest copy still at least as fine as the zoom, so that drawing
    // shrinks by less than half; halved copies are made as they are needed.
    while (mLevels.back().scale / 2 >= zoom && mLevels.back().image.width() > 64 &&
           mLevels.back().image.height() > 64) {
        const Level& last = mLevels.back();
        QImage half = last.image.scaled(std::max(1, last.image.width() / 2), std::max(1, last.image.height() / 2),
                                        Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double scale = last.scale / 2;
        mLevels.push_back({scale, std::move(half)});
    }
    for (const Level& level : mLevels)
        if (level.scale / 2 < zoom) return level;
    return mLevels.back();
}

void ImageCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(0x3a, 0x3a, 0x3a));
    if (mLevels.empty()) {
        painter.setPen(Qt::white);
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, mProblem);
        return;
    }
    const QPointF middle(width() / 2.0, height() / 2.0);
    const QRectF shown(middle - mCenter * mZoom, QSizeF(mFull.width() * mZoom, mFull.height() * mZoom));
    const QRectF visible = shown.intersected(QRectF(event->rect()));
    if (visible.isEmpty()) return;
    const Level& level = LevelFor(mZoom);
    const double toLevel = level.scale / mZoom;  // area pixels to level pixels
    QRectF source((visible.topLeft() - shown.topLeft()) * toLevel, visible.size() * toLevel);
    source = source.intersected(QRectF(QPointF(0, 0), QSizeF(level.image.size())));
    // Enlarged a lot, the pixels show as they are, which is what a collector
    // looking at a perforation wants.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, mZoom / level.scale < 3.0);
    painter.drawImage(visible, level.image, source);
}

void ImageCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (mLevels.empty()) return;
    if (mFitting) {
        // A larger window may want more than the picture was decoded for.
        mZoom = FitZoom();
        mCenter = QPointF(mFull.width() / 2.0, mFull.height() / 2.0);
        EnsureDetail(mZoom);
        Q_EMIT ZoomChanged();
    } else {
        ClampCenter();
    }
}

void ImageCanvas::wheelEvent(QWheelEvent* event)
{
    const QPoint steps = event->angleDelta();
    if (event->modifiers() & Qt::ShiftModifier) {
        PanBy(QPointF(steps.y(), steps.x()) / 2.0);
    } else if (steps.y() != 0) {
        ZoomBy(std::pow(kZoomStep, steps.y() / 120.0), event->position());
    }
    event->accept();
}

void ImageCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    mDragging = true;
    mDragFrom = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void ImageCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!mDragging) return QWidget::mouseMoveEvent(event);
    PanBy(event->position() - mDragFrom);
    mDragFrom = event->position();
}

void ImageCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    mDragging = false;
    setCursor(Qt::OpenHandCursor);
}

void ImageCanvas::keyPressEvent(QKeyEvent* event)
{
    const double step = std::max(40.0, std::min(width(), height()) / 8.0);
    switch (event->key()) {
        case Qt::Key_Left:
            PanBy(QPointF(step, 0));
            break;
        case Qt::Key_Right:
            PanBy(QPointF(-step, 0));
            break;
        case Qt::Key_Up:
            PanBy(QPointF(0, step));
            break;
        case Qt::Key_Down:
            PanBy(QPointF(0, -step));
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}
