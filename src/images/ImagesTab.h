#pragma once

// The main window's "Images" tab: the shown stamp's images in order, each with
// its thumbnail, kind and caption. Images come in by the Open dialog, by files
// dropped onto the tab and by pasting; they can be removed, moved, given a kind
// and a caption, and opened in the viewer (double-click or Enter).
//
// Changes stay in the tab until the main window's Update writes them with the
// record (Save), or its Cancel or a move drops them (ShowStamp, Clear). Every
// change asks the main window to start an edit (Changed). The tab reads the
// catalogue only while it is visible: moving through stamps with another tab
// showing costs one small query, for the front thumbnail of the top area.

#include "images/ImageStore.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class ImagesTab : public QWidget {
    Q_OBJECT
public:
    explicit ImagesTab(QWidget* parent = nullptr);
    ~ImagesTab() override;

    // The small front thumbnail for the main window's top area; hidden when the
    // stamp has no Front image. The caller places it.
    QLabel* FrontLabel() const { return imgFront; }

    // Shows a stored stamp's images; pending changes are dropped.
    void ShowStamp(qint64 stampId);
    // A stamp without images (a new one, or none at all); pending changes are dropped.
    void Clear();
    // Forgets the catalogue (it is being closed).
    void Release();
    bool HasChanges() const { return mChanged; }
    // Writes the images as the tab holds them to the stamp (Update); DbError on
    // failure. Nothing is written when nothing changed.
    void Save(qint64 stampId);

    // The same as the buttons and keys, for the window and its tests.
    void AddFiles(const QStringList& paths);
    bool PasteImage();
    void RemoveSelected();
    void MoveSelected(int step);
    void ViewSelected();
    int Count() const { return static_cast<int>(mEntries.size()); }
    int Selected() const;
    void Select(int index);
    void SetKind(const QString& kind);
    void SetCaption(const QString& caption);
    // "Front", "Back gum side" ... of each image, in order.
    QStringList Listing() const;

Q_SIGNALS:
    // The collector changed the images: the record is being edited.
    void Changed();

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        qint64 imageId = 0;
        qint64 pictureId = 0;
        std::shared_ptr<const PreparedPicture> picture;  // a picture not stored yet
        QString kind;
        QString caption;
        QString format;
        QSize size;
        qint64 byteSize = 0;
        QByteArray thumbnail;
    };

    void AddButton_Click();
    void Load();
    void Refill(int select);
    void ShowDetails();
    void Touch();
    void UpdateFront();
    void AddPictures(const std::vector<std::pair<QString, std::shared_ptr<const PreparedPicture>>>& pictures);
    QString KindForNew(const QString& fileName) const;
    QString ItemText(int index) const;
    void OpenViewer(int index);

    QListWidget* lstImages = nullptr;
    QPushButton* cmdAddImages = nullptr;
    QPushButton* cmdRemoveImage = nullptr;
    QPushButton* cmdEarlier = nullptr;
    QPushButton* cmdLater = nullptr;
    QPushButton* cmdViewImage = nullptr;
    QComboBox* cmbKind = nullptr;
    QLineEdit* txtCaption = nullptr;
    QLabel* lblImageInfo = nullptr;
    QLabel* lblDropHint = nullptr;
    QLabel* imgFront = nullptr;

    FrontThumbnailQuery mFrontQuery;
    std::vector<Entry> mEntries;
    qint64 mStampId = 0;
    bool mLoaded = true;
    bool mChanged = false;
    bool mFilling = false;
};
