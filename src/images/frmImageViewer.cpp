#include "images/frmImageViewer.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/ErrorHandler.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "help/HelpContext.h"
#include "images/ImageCanvas.h"
#include "images/ImageStore.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace {

frmImageViewer* gViewer = nullptr;

QPushButton* Button(const QString& text, const char* name)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    // The picture keeps the keyboard.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

frmImageViewer* frmImageViewer::Instance()
{
    return gViewer;
}

frmImageViewer::frmImageViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
    gViewer = this;
    setObjectName(QStringLiteral("frmImageViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    SetHelpContext(this, 91);

    imgCanvas = new ImageCanvas(this);
    cmdPrevious = Button(QStringLiteral("&Previous"), "cmdPrevious");
    cmdNext = Button(QStringLiteral("&Next"), "cmdNext");
    cmdZoomIn = Button(QStringLiteral("Zoom &In"), "cmdZoomIn");
    cmdZoomOut = Button(QStringLiteral("Zoom &Out"), "cmdZoomOut");
    cmdActualSize = Button(QStringLiteral("&Actual Size"), "cmdActualSize");
    cmdFit = Button(QStringLiteral("&Fit"), "cmdFit");
    cmdSaveOriginal = Button(QStringLiteral("&Save Original..."), "cmdSaveOriginal");
    cmdClose = Button(QStringLiteral("&Close"), "cmdClose");
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdPrevious->setToolTip(QStringLiteral("The stamp's image before this one (Page Up)"));
    cmdNext->setToolTip(QStringLiteral("The stamp's image after this one (Page Down)"));
    cmdZoomIn->setToolTip(QStringLiteral("Larger (+ or the wheel)"));
    cmdZoomOut->setToolTip(QStringLiteral("Smaller (- or the wheel)"));
    cmdActualSize->setToolTip(QStringLiteral("One pixel of the image on one pixel of the screen (1)"));
    cmdFit->setToolTip(QStringLiteral("The whole image in the window (0)"));
    cmdSaveOriginal->setToolTip(QStringLiteral("The image's file exactly as it was added"));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdPrevious, cmdNext}) buttons->addWidget(b);
    buttons->addSpacing(16);
    for (QPushButton* b : {cmdZoomIn, cmdZoomOut, cmdActualSize, cmdFit}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(cmdSaveOriginal);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(imgCanvas, 1);
    layout->addWidget(lblStatus);

    connect(cmdPrevious, &QPushButton::clicked, this, &frmImageViewer::cmdPrevious_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmImageViewer::cmdNext_Click);
    connect(cmdZoomIn, &QPushButton::clicked, imgCanvas, &ImageCanvas::ZoomIn);
    connect(cmdZoomOut, &QPushButton::clicked, imgCanvas, &ImageCanvas::ZoomOut);
    connect(cmdActualSize, &QPushButton::clicked, imgCanvas, &ImageCanvas::ActualSize);
    connect(cmdFit, &QPushButton::clicked, imgCanvas, &ImageCanvas::ZoomToFit);
    connect(cmdSaveOriginal, &QPushButton::clicked, this, &frmImageViewer::cmdSaveOriginal_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(imgCanvas, &ImageCanvas::ZoomChanged, this, &frmImageViewer::UpdateStatus);
    resize(1000, 760);
}

frmImageViewer::~frmImageViewer()
{
    if (gViewer == this) gViewer = nullptr;
}

frmImageViewer* frmImageViewer::Open(const QString& stampTitle, const QString& fileStem,
                                     std::vector<ViewerImage> images, int index)
{
    frmImageViewer* viewer = gViewer ? gViewer : new frmImageViewer;
    viewer->mStampTitle = stampTitle;
    viewer->mFileStem = fileStem;
    viewer->mImages = std::move(images);
    viewer->setWindowTitle(stampTitle.isEmpty() ? QStringLiteral("Image Viewer")
                                                : QStringLiteral("Image Viewer - ") + stampTitle);
    viewer->show();
    // Laid out before the picture comes, so that it is fitted to the real area.
    viewer->layout()->activate();
    viewer->ShowImage(index);
    viewer->raise();
    viewer->activateWindow();
    viewer->imgCanvas->setFocus();
    return viewer;
}

std::shared_ptr<const QByteArray> frmImageViewer::Original(const ViewerImage& image, QString* problem) const
{
    if (image.picture) return std::shared_ptr<const QByteArray>(image.picture, &image.picture->bytes);
    try {
        if (!gDb || !gDb->IsOpen())
            throw DbError(ErrNo::ObjectInvalid, QStringLiteral("Object invalid or no longer set."));
        return std::make_shared<const QByteArray>(ImageStore(*gDb).Original(image.pictureId));
    } catch (const DbError& error) {
        // The stamp may have been deleted, or the catalogue packed, since the
        // viewer opened: that is no failure of the catalogue.
        if (error.Number() == ErrNo::RecordDeleted || error.Number() == ErrNo::ObjectInvalid) {
            *problem = QStringLiteral("This image is no longer in the catalogue.");
            return nullptr;
        }
        HandleError(error);
        *problem = error.Text();
        return nullptr;
    }
}

void frmImageViewer::ShowImage(int index)
{
    if (mImages.empty()) {
        mIndex = -1;
        mBytes.reset();
        imgCanvas->Clear(QStringLiteral("The stamp has no images."));
        UpdateStatus();
        return;
    }
    mIndex = std::clamp(index, 0, Count() - 1);
    const ViewerImage& image = mImages[static_cast<size_t>(mIndex)];
    QString problem;
    prompts().Busy(true);
    mBytes = Original(image, &problem);
    if (mBytes && !imgCanvas->SetPicture(mBytes, image.size))
        problem = QStringLiteral("This image cannot be shown: ") + imgCanvas->Problem();
    prompts().Busy(false);
    if (!problem.isEmpty()) imgCanvas->Clear(problem);
    cmdPrevious->setEnabled(mIndex > 0);
    cmdNext->setEnabled(mIndex + 1 < Count());
    cmdSaveOriginal->setEnabled(mBytes != nullptr);
    UpdateStatus();
}

QString frmImageViewer::StatusText() const
{
    if (mIndex < 0) return QString();
    const ViewerImage& image = mImages[static_cast<size_t>(mIndex)];
    QString text = QStringLiteral("%1, %2 of %3").arg(image.kind).arg(mIndex + 1).arg(Count());
    if (!image.caption.isEmpty()) text += QStringLiteral(": ") + image.caption;
    text += QStringLiteral(".  %1 x %2 pixels, %3, %4.")
                .arg(image.size.width())
                .arg(image.size.height())
                .arg(image.format.toUpper(),
                     QLocale().formattedDataSize(image.byteSize, 1, QLocale::DataSizeTraditionalFormat));
    if (imgCanvas->HasPicture())
        text += QStringLiteral("  Zoom ") + QString::number(qRound(imgCanvas->Zoom() * 100)) + u'%' +
                (imgCanvas->Fitting() ? QStringLiteral(" (fitted)") : QString());
    return text;
}

void frmImageViewer::UpdateStatus()
{
    lblStatus->setText(StatusText());
}

void frmImageViewer::cmdPrevious_Click()
{
    if (mIndex > 0) ShowImage(mIndex - 1);
}

void frmImageViewer::cmdNext_Click()
{
    if (mIndex + 1 < Count()) ShowImage(mIndex + 1);
}

void frmImageViewer::cmdSaveOriginal_Click()
{
    if (mIndex < 0 || !mBytes) return;
    const ViewerImage& image = mImages[static_cast<size_t>(mIndex)];
    const QString extension = ExtensionOf(image.format);
    const QString stem = mFileStem.isEmpty() ? QStringLiteral("stamp") : mFileStem;
    const QString name = stem + u'-' + image.kind.toLower() + u'.' + extension;
    const QString filter =
        QStringLiteral("%1 Files (*.%2)|*.%2|All Files (*.*)|*.*").arg(image.format.toUpper(), extension);
    const auto chosen = prompts().SaveFile(name, filter);
    if (!chosen || chosen->isEmpty()) return;
    if (QFileInfo(*chosen).isFile() &&
        MsgBox(QStringLiteral("The file '") + *chosen + QStringLiteral("' already exists.  Do you wish to replace it?"),
               MsgButtons::YesNo, QStringLiteral("File Exists")) != MsgAnswer::Yes)
        return;
    QSaveFile file(*chosen);
    if (!file.open(QIODevice::WriteOnly) || file.write(*mBytes) != mBytes->size() || !file.commit())
        MsgBox(QStringLiteral("The image could not be saved as '%1': %2").arg(*chosen, file.errorString()));
}

void frmImageViewer::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            imgCanvas->ZoomIn();
            break;
        case Qt::Key_Minus:
            imgCanvas->ZoomOut();
            break;
        case Qt::Key_1:
            imgCanvas->ActualSize();
            break;
        case Qt::Key_0:
            imgCanvas->ZoomToFit();
            break;
        case Qt::Key_PageUp:
            cmdPrevious_Click();
            break;
        case Qt::Key_PageDown:
            cmdNext_Click();
            break;
        case Qt::Key_Home:
            ShowImage(0);
            break;
        case Qt::Key_End:
            ShowImage(Count() - 1);
            break;
        case Qt::Key_Escape:
            close();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}
