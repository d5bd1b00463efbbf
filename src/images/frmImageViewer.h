#pragma once

// The image viewer: a window beside the main window (modeless) that shows one
// image of a stamp at a time, fitted to the window or zoomed (buttons, + and -,
// 1 for actual size, 0 to fit, the wheel), panned by dragging or the arrow keys,
// steps through the stamp's images (Page Up, Page Down), and saves the original
// file exactly as it was stored.

#include "images/PictureIntake.h"

#include <QWidget>

#include <memory>
#include <vector>

class ImageCanvas;
class QLabel;
class QPushButton;

// One image as the viewer is given it: a stored picture, or one not stored yet.
struct ViewerImage {
    qint64 pictureId = 0;
    std::shared_ptr<const PreparedPicture> picture;
    QString kind;
    QString caption;
    QString format;
    QSize size;
    qint64 byteSize = 0;
};

class frmImageViewer : public QWidget {
    Q_OBJECT
public:
    // The open viewer, or nullptr.
    static frmImageViewer* Instance();
    // Opens the viewer (or brings the open one forward) on the images, at index.
    // fileStem names saved originals ("840" gives "840-front.jpg").
    static frmImageViewer* Open(const QString& stampTitle, const QString& fileStem, std::vector<ViewerImage> images,
                                int index);
    ~frmImageViewer() override;

    int Index() const { return mIndex; }
    int Count() const { return static_cast<int>(mImages.size()); }
    ImageCanvas* Canvas() const { return imgCanvas; }
    QString StatusText() const;

    void ShowImage(int index);
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdSaveOriginal_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    explicit frmImageViewer(QWidget* parent = nullptr);
    void UpdateStatus();
    std::shared_ptr<const QByteArray> Original(const ViewerImage& image, QString* problem) const;

    ImageCanvas* imgCanvas = nullptr;
    QPushButton* cmdPrevious = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdZoomIn = nullptr;
    QPushButton* cmdZoomOut = nullptr;
    QPushButton* cmdActualSize = nullptr;
    QPushButton* cmdFit = nullptr;
    QPushButton* cmdSaveOriginal = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblStatus = nullptr;

    QString mStampTitle;
    QString mFileStem;
    std::vector<ViewerImage> mImages;
    int mIndex = -1;
    std::shared_ptr<const QByteArray> mBytes;  // the shown image's original
};
