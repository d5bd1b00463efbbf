#pragma once

// The viewer's picture area: a picture fitted to the area or at any zoom from a
// small fraction to 16 times, panned by dragging, the arrow keys or the scroll
// wheel with Shift, zoomed by the wheel around the pointer.
//
// A large scan is never drawn from its full pixels at a small zoom: the picture
// is decoded at the smallest scale the zoom needs (a JPEG can be decoded at a
// half, a quarter or an eighth), halved copies are made as smaller zooms need
// them, and the full picture is decoded only when the zoom goes past what was
// decoded. Only the visible part is drawn.

#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class ImageCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr double kMaxZoom = 16.0;
    static constexpr double kZoomStep = 1.25;

    explicit ImageCanvas(QWidget* parent = nullptr);

    // Shows a picture fitted to the area. fullSize is its size in pixels as
    // shown (invalid: taken from the decoded picture). False, and Problem() says
    // why, when it cannot be decoded.
    bool SetPicture(std::shared_ptr<const QByteArray> bytes, QSize fullSize);
    void Clear(const QString& message = QString());
    const QString& Problem() const { return mProblem; }
    bool HasPicture() const { return !mLevels.empty(); }

    // Screen pixels per picture pixel.
    double Zoom() const { return mZoom; }
    bool Fitting() const { return mFitting; }
    // The scale the finest decoded copy has (1 once the full picture is decoded).
    double DecodedScale() const { return mLevels.empty() ? 0 : mLevels.front().scale; }
    QSize FullSize() const { return mFull; }
    // The picture point at the middle of the area.
    QPointF Center() const { return mCenter; }

    void ZoomToFit();
    void ActualSize();
    void ZoomIn();
    void ZoomOut();
    // Zooms by a factor, keeping the picture point under anchor (area coordinates) in place.
    void ZoomBy(double factor, QPointF anchor);
    // Moves the picture by a distance in area pixels.
    void PanBy(QPointF delta);

Q_SIGNALS:
    void ZoomChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Level {
        double scale;  // of the full picture
        QImage image;
    };

    double FitZoom() const;
    double MinZoom() const;
    void SetZoom(double zoom, QPointF anchor);
    void ClampCenter();
    void EnsureDetail(double zoom);
    const Level& LevelFor(double zoom);

    std::shared_ptr<const QByteArray> mBytes;
    std::vector<Level> mLevels;  // finest first
    QSize mFull;
    double mZoom = 1.0;
    bool mFitting = true;
    QPointF mCenter;
    QString mProblem;
    bool mDragging = false;
    QPointF mDragFrom;
};
