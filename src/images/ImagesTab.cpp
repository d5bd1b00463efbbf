#include "images/ImagesTab.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/ErrorHandler.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "help/HelpContext.h"
#include "images/frmImageViewer.h"
#include "search/Folding.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include <sqlite3.h>

namespace {

constexpr int kIconEdge = 128;
constexpr int kFrontEdge = 72;

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    SetHelpContext(widget, 90);
    return widget;
}

QString SizeText(QSize size, const QString& format, qint64 bytes)
{
    return QStringLiteral("%1 x %2 pixels, %3, %4")
        .arg(size.width())
        .arg(size.height())
        .arg(format.toUpper(), QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat));
}

// The image formats a paste may bring, in the order they are preferred.
const char* const kPastedTypes[] = {"image/png", "image/jpeg", "image/tiff", "image/webp", "image/bmp", "image/gif"};

}  // namespace

ImagesTab::ImagesTab(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tabImages"));
    SetHelpContext(this, 90);
    setAcceptDrops(true);

    lstImages = Named(new QListWidget, "lstImages");
    lstImages->setViewMode(QListView::IconMode);
    lstImages->setIconSize(QSize(kIconEdge, kIconEdge));
    lstImages->setGridSize(QSize(kIconEdge + 36, kIconEdge + 44));
    lstImages->setMovement(QListView::Static);
    lstImages->setResizeMode(QListView::Adjust);
    lstImages->setWrapping(true);
    lstImages->setWordWrap(true);
    lstImages->setSelectionMode(QAbstractItemView::SingleSelection);
    lstImages->setAcceptDrops(false);
    lstImages->setContextMenuPolicy(Qt::CustomContextMenu);
    lstImages->installEventFilter(this);

    cmdAddImages = Named(new QPushButton(QStringLiteral("Add Ima&ges...")), "cmdAddImages");
    cmdRemoveImage = Named(new QPushButton(QStringLiteral("Remo&ve")), "cmdRemoveImage");
    cmdEarlier = Named(new QPushButton(QStringLiteral("Move &Earlier")), "cmdEarlier");
    cmdLater = Named(new QPushButton(QStringLiteral("Move Later")), "cmdLater");
    cmdViewImage = Named(new QPushButton(QStringLiteral("Vie&w")), "cmdViewImage");
    cmdEarlier->setToolTip(QStringLiteral("Before the image in front of it (Ctrl+Left)"));
    cmdLater->setToolTip(QStringLiteral("After the image behind it (Ctrl+Right)"));
    cmdViewImage->setToolTip(QStringLiteral("Opens the image in the viewer (Enter, or a double-click)"));
    cmbKind = Named(new QComboBox, "cmbKind");
    cmbKind->addItems(ImageKinds());
    txtCaption = Named(new QLineEdit, "txtCaption");
    txtCaption->setMaxLength(200);
    lblImageInfo = Named(new QLabel, "lblImageInfo");
    lblImageInfo->setWordWrap(true);
    lblDropHint =
        Named(new QLabel(QStringLiteral("Drop image files here, or paste an image with Ctrl+V.")), "lblDropHint");
    auto* kindLabel = new QLabel(QStringLiteral("&Kind"));
    kindLabel->setBuddy(cmbKind);
    auto* captionLabel = new QLabel(QStringLiteral("Capti&on"));
    captionLabel->setBuddy(txtCaption);

    imgFront = new QLabel;
    imgFront->setObjectName(QStringLiteral("imgFront"));
    imgFront->setFixedSize(kFrontEdge, kFrontEdge);
    imgFront->setAlignment(Qt::AlignCenter);
    imgFront->setToolTip(QStringLiteral("The stamp's front; click to see it in the viewer"));
    imgFront->setCursor(Qt::PointingHandCursor);
    imgFront->installEventFilter(this);
    imgFront->hide();

    auto* side = new QGridLayout;
    int row = 0;
    for (QPushButton* button : {cmdAddImages, cmdRemoveImage, cmdEarlier, cmdLater, cmdViewImage})
        side->addWidget(button, row++, 0, 1, 2);
    side->setRowMinimumHeight(row++, 8);
    side->addWidget(kindLabel, row, 0);
    side->addWidget(cmbKind, row++, 1);
    side->addWidget(captionLabel, row, 0);
    side->addWidget(txtCaption, row++, 1);
    side->addWidget(lblImageInfo, row++, 0, 1, 2);
    side->setRowStretch(row, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(lstImages, 1);
    left->addWidget(lblDropHint);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(side);

    connect(cmdAddImages, &QPushButton::clicked, this, &ImagesTab::AddButton_Click);
    connect(cmdRemoveImage, &QPushButton::clicked, this, &ImagesTab::RemoveSelected);
    connect(cmdEarlier, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
    connect(cmdLater, &QPushButton::clicked, this, [this] { MoveSelected(1); });
    connect(cmdViewImage, &QPushButton::clicked, this, &ImagesTab::ViewSelected);
    connect(lstImages, &QListWidget::currentRowChanged, this, &ImagesTab::ShowDetails);
    connect(lstImages, &QListWidget::itemActivated, this, [this] { ViewSelected(); });
    connect(cmbKind, &QComboBox::currentIndexChanged, this, [this] {
        if (!mFilling) SetKind(cmbKind->currentText());
    });
    connect(txtCaption, &QLineEdit::textEdited, this, &ImagesTab::SetCaption);
    connect(lstImages, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu;
        QAction* paste = menu.addAction(QStringLiteral("&Paste Image"));
        paste->setEnabled(isEnabled());
        QAction* view = menu.addAction(QStringLiteral("&View"));
        QAction* remove = menu.addAction(QStringLiteral("&Remove"));
        view->setEnabled(Selected() >= 0);
        remove->setEnabled(Selected() >= 0 && isEnabled());
        QAction* chosen = menu.exec(lstImages->viewport()->mapToGlobal(at));
        if (chosen == paste)
            PasteImage();
        else if (chosen == view)
            ViewSelected();
        else if (chosen == remove)
            RemoveSelected();
    });
    ShowDetails();
}

ImagesTab::~ImagesTab() = default;

// ---------------------------------------------------------------------------
// The stamp shown

void ImagesTab::ShowStamp(qint64 stampId)
{
    mStampId = stampId;
    mEntries.clear();
    mChanged = false;
    mLoaded = false;
    if (isVisible())
        Load();
    else
        Refill(-1);
    UpdateFront();
}

void ImagesTab::Clear()
{
    mStampId = 0;
    mEntries.clear();
    mChanged = false;
    mLoaded = true;
    Refill(-1);
    UpdateFront();
}

void ImagesTab::Release()
{
    mFrontQuery.Reset();
    Clear();
    mLoaded = false;
}

void ImagesTab::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Load();
}

void ImagesTab::Load()
{
    if (mLoaded) return;
    mLoaded = true;
    mEntries.clear();
    if (mStampId > 0 && gDb && gDb->IsOpen()) {
        Guard([this] {
            for (StoredImage& image : ImageStore(*gDb).StampImages(mStampId, true)) {
                Entry entry;
                entry.imageId = image.imageId;
                entry.pictureId = image.pictureId;
                entry.kind = image.kind;
                entry.caption = image.caption;
                entry.format = image.format;
                entry.size = image.size;
                entry.byteSize = image.byteSize;
                entry.thumbnail = std::move(image.thumbnail);
                mEntries.push_back(std::move(entry));
            }
        });
    }
    Refill(mEntries.empty() ? -1 : 0);
}

void ImagesTab::Save(qint64 stampId)
{
    // A stamp that was not written has nothing to hang images on.
    if (!mChanged || stampId <= 0) return;
    if (!gDb) throw DbError(ErrNo::NoObject, QStringLiteral("Object invalid or no longer set."));
    std::vector<ImageEntry> entries;
    for (const Entry& entry : mEntries) {
        ImageEntry out;
        // A new stamp's images are all new to it, whatever they were shown from.
        out.imageId = stampId == mStampId ? entry.imageId : 0;
        out.pictureId = entry.pictureId;
        out.picture = entry.picture;
        out.kind = entry.kind;
        out.caption = entry.caption;
        entries.push_back(std::move(out));
    }
    ImageStore(*gDb).SaveStampImages(stampId, entries);
    mChanged = false;
}

// ---------------------------------------------------------------------------
// The list

QString ImagesTab::ItemText(int index) const
{
    const Entry& entry = mEntries[static_cast<size_t>(index)];
    QString text = QString::number(index + 1) + QStringLiteral(". ") + entry.kind;
    if (!entry.caption.isEmpty()) text += u'\n' + entry.caption;
    return text;
}

QStringList ImagesTab::Listing() const
{
    QStringList list;
    for (const Entry& entry : mEntries)
        list << (entry.caption.isEmpty() ? entry.kind : entry.kind + u' ' + entry.caption);
    return list;
}

void ImagesTab::Refill(int select)
{
    mFilling = true;
    lstImages->clear();
    for (int i = 0; i < Count(); ++i) {
        const QImage thumbnail = DecodeThumbnail(mEntries[static_cast<size_t>(i)].thumbnail);
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(thumbnail)), ItemText(i));
        item->setToolTip(SizeText(mEntries[static_cast<size_t>(i)].size, mEntries[static_cast<size_t>(i)].format,
                                  mEntries[static_cast<size_t>(i)].byteSize));
        lstImages->addItem(item);
    }
    mFilling = false;
    if (select >= 0 && select < Count()) lstImages->setCurrentRow(select);
    ShowDetails();
}

int ImagesTab::Selected() const
{
    const int row = lstImages->currentRow();
    return row >= 0 && row < Count() ? row : -1;
}

void ImagesTab::Select(int index)
{
    lstImages->setCurrentRow(index);
}

void ImagesTab::ShowDetails()
{
    const int index = Selected();
    const bool chosen = index >= 0;
    mFilling = true;
    cmbKind->setCurrentIndex(
        chosen ? std::max<int>(0, static_cast<int>(ImageKinds().indexOf(mEntries[static_cast<size_t>(index)].kind)))
               : -1);
    txtCaption->setText(chosen ? mEntries[static_cast<size_t>(index)].caption : QString());
    mFilling = false;
    if (chosen) {
        const Entry& entry = mEntries[static_cast<size_t>(index)];
        QString info = SizeText(entry.size, entry.format, entry.byteSize);
        if (entry.picture) info += QStringLiteral(".  Kept when the stamp is updated.");
        lblImageInfo->setText(info);
    } else {
        lblImageInfo->setText(mEntries.empty() ? QStringLiteral("This stamp has no images.") : QString());
    }
    for (QWidget* w : std::initializer_list<QWidget*>{cmdRemoveImage, cmdViewImage, cmbKind, txtCaption})
        w->setEnabled(chosen);
    cmdEarlier->setEnabled(chosen && index > 0);
    cmdLater->setEnabled(chosen && index + 1 < Count());
}

void ImagesTab::Touch()
{
    mChanged = true;
    Q_EMIT Changed();
    UpdateFront();
}

void ImagesTab::UpdateFront()
{
    std::optional<QByteArray> front;
    if (mLoaded) {
        for (const Entry& entry : mEntries) {
            if (entry.kind == kFrontKind) {
                front = entry.thumbnail;
                break;
            }
        }
    } else if (mStampId > 0 && gDb && gDb->IsOpen()) {
        Guard([&] { front = mFrontQuery.Of(*gDb, mStampId); });
    }
    const QImage image = front ? DecodeThumbnail(*front, QSize(kFrontEdge, kFrontEdge)) : QImage();
    if (image.isNull()) {
        imgFront->clear();
        imgFront->hide();
        return;
    }
    imgFront->setPixmap(
        QPixmap::fromImage(image.scaled(kFrontEdge, kFrontEdge, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    imgFront->show();
}

// ---------------------------------------------------------------------------
// Changes

QString ImagesTab::KindForNew(const QString& fileName) const
{
    if (FoldText(QFileInfo(fileName).completeBaseName()).contains(QStringLiteral("back"))) return kBackKind;
    bool front = false;
    bool back = false;
    for (const Entry& entry : mEntries) {
        front = front || entry.kind == kFrontKind;
        back = back || entry.kind == kBackKind;
    }
    if (!front) return kFrontKind;
    if (!back) return kBackKind;
    return QStringLiteral("Other");
}

void ImagesTab::AddPictures(const std::vector<std::pair<QString, std::shared_ptr<const PreparedPicture>>>& pictures)
{
    if (pictures.empty()) return;
    Load();
    for (const auto& [name, picture] : pictures) {
        Entry entry;
        entry.picture = picture;
        entry.kind = KindForNew(name);
        entry.format = picture->format;
        entry.size = picture->size;
        entry.byteSize = picture->bytes.size();
        entry.thumbnail = picture->thumbnail;
        mEntries.push_back(std::move(entry));
    }
    Refill(Count() - 1);
    Touch();
}

void ImagesTab::AddButton_Click()
{
    QStringList patterns = ImageFilePatterns();
    const QString filter =
        QStringLiteral("Image Files (%1)|%2|All Files (*.*)|*.*").arg(patterns.join(u' '), patterns.join(u';'));
    const QStringList files = prompts().OpenFiles(QStringLiteral("Add Images"), filter);
    if (!files.isEmpty()) AddFiles(files);
}

void ImagesTab::AddFiles(const QStringList& paths)
{
    if (!isEnabled() || paths.isEmpty()) return;
    std::vector<std::pair<QString, std::shared_ptr<const PreparedPicture>>> accepted;
    QStringList refused;
    QStringList problems;
    {
        Progress progress(kAppTitle, QStringLiteral("Adding images..."), paths.size(), true);
        prompts().Busy(true);
        qint64 done = 0;
        for (const QString& path : paths) {
            const Intake intake = PrepareFile(path);
            if (intake.picture) {
                accepted.emplace_back(path, intake.picture);
            } else {
                refused << QDir::toNativeSeparators(path);
                problems << intake.problem;
            }
            if (!progress.Step(++done)) break;
        }
        prompts().Busy(false);
    }
    AddPictures(accepted);
    if (!refused.isEmpty()) MsgBox(RefusalText(refused, problems));
}

bool ImagesTab::PasteImage()
{
    if (!isEnabled()) return false;
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime) return false;
    if (mime->hasUrls()) {
        QStringList files;
        for (const QUrl& url : mime->urls())
            if (url.isLocalFile()) files << url.toLocalFile();
        if (!files.isEmpty()) {
            AddFiles(files);
            return true;
        }
    }
    QByteArray bytes;
    for (const char* type : kPastedTypes) {
        if (mime->hasFormat(QString::fromLatin1(type))) {
            bytes = mime->data(QString::fromLatin1(type));
            break;
        }
    }
    if (bytes.isEmpty() && mime->hasImage()) {
        const QImage image = qvariant_cast<QImage>(mime->imageData());
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    if (bytes.isEmpty()) {
        prompts().Beep();
        return false;
    }
    const Intake intake = PrepareBytes(bytes);
    if (!intake.picture) {
        MsgBox(QStringLiteral("The pasted image was not added: ") + intake.problem);
        return false;
    }
    AddPictures({{QString(), intake.picture}});
    return true;
}

void ImagesTab::RemoveSelected()
{
    const int index = Selected();
    if (index < 0 || !isEnabled()) return;
    mEntries.erase(mEntries.begin() + index);
    Refill(std::min(index, Count() - 1));
    Touch();
}

void ImagesTab::MoveSelected(int step)
{
    const int index = Selected();
    const int to = index + step;
    if (index < 0 || to < 0 || to >= Count() || !isEnabled()) return;
    std::swap(mEntries[static_cast<size_t>(index)], mEntries[static_cast<size_t>(to)]);
    Refill(to);
    Touch();
}

void ImagesTab::SetKind(const QString& kind)
{
    const int index = Selected();
    if (index < 0 || mEntries[static_cast<size_t>(index)].kind == kind || !ImageKinds().contains(kind)) return;
    mEntries[static_cast<size_t>(index)].kind = kind;
    lstImages->item(index)->setText(ItemText(index));
    if (cmbKind->currentText() != kind) {
        mFilling = true;
        cmbKind->setCurrentText(kind);
        mFilling = false;
    }
    Touch();
}

void ImagesTab::SetCaption(const QString& caption)
{
    const int index = Selected();
    if (index < 0 || mEntries[static_cast<size_t>(index)].caption == caption) return;
    mEntries[static_cast<size_t>(index)].caption = caption;
    lstImages->item(index)->setText(ItemText(index));
    if (txtCaption->text() != caption) txtCaption->setText(caption);
    Touch();
}

// ---------------------------------------------------------------------------
// The viewer

void ImagesTab::ViewSelected()
{
    if (Selected() >= 0) OpenViewer(Selected());
}

void ImagesTab::OpenViewer(int index)
{
    Load();
    if (index < 0 || index >= Count()) return;
    std::vector<ViewerImage> images;
    for (const Entry& entry : mEntries)
        images.push_back(
            {entry.pictureId, entry.picture, entry.kind, entry.caption, entry.format, entry.size, entry.byteSize});
    // Named after the stamp as stored; a stamp not yet stored has no name yet.
    QString title = QStringLiteral("New stamp");
    QString stem;
    if (mStampId > 0 && gDb && gDb->IsOpen()) {
        Guard([&] {
            Statement names(gDb->SharedConnection(),
                            QStringLiteral("SELECT descr, catnum FROM Stamp WHERE StampID = ?1"));
            sqlite3_bind_int64(names.Handle(), 1, mStampId);
            if (names.Step()) {
                title = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(names.Handle(), 0)));
                stem = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(names.Handle(), 1)));
            }
        });
        if (stem.trimmed().isEmpty()) stem = QStringLiteral("stamp-") + QString::number(mStampId);
    }
    // A catalogue number may hold what a file name cannot.
    static const QString kUnsafe = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : stem)
        if (kUnsafe.contains(c) || c.unicode() < 32) c = u'_';
    frmImageViewer::Open(title, stem.trimmed(), std::move(images), index);
}

// ---------------------------------------------------------------------------
// Keys, drops, the front thumbnail

bool ImagesTab::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == imgFront && event->type() == QEvent::MouseButtonRelease) {
        Load();
        for (int i = 0; i < Count(); ++i) {
            if (mEntries[static_cast<size_t>(i)].kind == kFrontKind) {
                OpenViewer(i);
                break;
            }
        }
        return true;
    }
    if (watched == lstImages && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            PasteImage();
            return true;
        }
        const bool control = key->modifiers() & Qt::ControlModifier;
        switch (key->key()) {
            case Qt::Key_Delete:
                RemoveSelected();
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                ViewSelected();
                return true;
            case Qt::Key_Left:
            case Qt::Key_Up:
                if (!control) break;
                MoveSelected(-1);
                return true;
            case Qt::Key_Right:
            case Qt::Key_Down:
                if (!control) break;
                MoveSelected(1);
                return true;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ImagesTab::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (isEnabled() && mime && (mime->hasUrls() || mime->hasImage())) event->acceptProposedAction();
}

void ImagesTab::dropEvent(QDropEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (!isEnabled() || !mime) return;
    QStringList files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    event->acceptProposedAction();
    if (!files.isEmpty()) {
        AddFiles(files);
    } else if (mime->hasImage()) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        qvariant_cast<QImage>(mime->imageData()).save(&buffer, "PNG");
        const Intake intake = PrepareBytes(bytes);
        if (intake.picture)
            AddPictures({{QString(), intake.picture}});
        else
            MsgBox(QStringLiteral("The dropped image was not added: ") + intake.problem);
    }
}
