// The Images tab and the viewer in the real main window: images added by the
// Open dialog, dropped and pasted; reordered, described and removed; dropped
// by Cancel and written by Update with the record; bad files refused by name;
// the viewer's zoom, steps and Save Original.
#include "MainWindowFixture.h"
#include "TestImages.h"

#include "history/Trash.h"
#include "images/ImageCanvas.h"
#include "images/ImagesTab.h"
#include "images/frmImageViewer.h"

#include <QClipboard>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUrl>

namespace {

struct Scans {
    QTemporaryDir dir;
    QString front = dir.filePath(QStringLiteral("840.png"));
    QString back = dir.filePath(QStringLiteral("840 back.jpg"));
    QString certificate = dir.filePath(QStringLiteral("certificate.png"));
    Scans()
    {
        WriteFile(front, PngBytes(600, 720, 1));
        WriteFile(back, JpegBytes(600, 720, 2));
        WriteFile(certificate, PngBytes(800, 500, 3));
    }
};

ImagesTab* Tab(const MainWindowFixture& f)
{
    return f.W<ImagesTab>("tabImages");
}

// Clicks the Images tab's heading, as the collector does.
void OpenImagesTab(const MainWindowFixture& f)
{
    auto* tabs = f.W<QTabWidget>("SSTab1");
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(3).center());
    QCOMPARE(tabs->currentIndex(), 3);
}

void Click(const MainWindowFixture& f, const char* button)
{
    QTest::mouseClick(f.W<QPushButton>(button), Qt::LeftButton);
}

void Key(const MainWindowFixture& f, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    auto* list = f.W<QListWidget>("lstImages");
    list->setFocus();
    QTest::keyClick(list, key, modifiers);
}

// "StampID kind caption" of every image, in order.
QString Stored(const MainWindowFixture& f)
{
    return f.Scalar(QStringLiteral(
        "select group_concat(line, ', ') from (select StampID || ' ' || Kind || case Caption when '' then '' else "
        "' ' || Caption end as line "
        "from StampImage order by StampID, Position)"));
}

void Drop(QWidget* target, QMimeData* mime)
{
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

}  // namespace

class TestImages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addReorderDescribeCancelAndUpdate()
    {
        Scans scans;
        MainWindowFixture f(3);
        f.Show();
        OpenImagesTab(f);
        const QString shown = f.Text("txtDescr");
        QVERIFY(f.W("imgFront")->isHidden());

        f.prompts.openFiles = {{scans.front, scans.back}};
        Click(f, "cmdAddImages");
        QCOMPARE(f.prompts.openRequests.size(), size_t(1));
        QCOMPARE(f.prompts.openRequests[0].title, QStringLiteral("Add Images"));
        QVERIFY(f.prompts.openRequests[0].filter.contains(QStringLiteral("*.jpg")));
        // Adding images is editing the stamp.
        QVERIFY(f.Visible("cmdUpdate"));
        QCOMPARE(Tab(f)->Listing(), QStringList({"Front", "Back"}));
        QVERIFY(!f.W("imgFront")->isHidden());
        QCOMPARE(Stored(f), QString());

        f.window->cmdCancel_Click();
        QCOMPARE(Stored(f), QString());
        QCOMPARE(f.Scalar("select count(*) from Picture"), QStringLiteral("0"));

        // Back on the same stamp: add, then arrange.
        f.prompts.inputs = {shown};
        f.window->cmdFind_Click();
        QCOMPARE(f.Text("txtDescr"), shown);
        QCOMPARE(Tab(f)->Count(), 0);
        f.prompts.openFiles = {{scans.front, scans.back, scans.certificate}};
        Click(f, "cmdAddImages");
        QCOMPARE(Tab(f)->Listing(), QStringList({"Front", "Back", "Other"}));
        Key(f, Qt::Key_Right, Qt::ControlModifier);  // nothing after the last
        Tab(f)->Select(0);
        Click(f, "cmdLater");
        QCOMPARE(Tab(f)->Listing(), QStringList({"Back", "Front", "Other"}));
        Key(f, Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(Tab(f)->Listing(), QStringList({"Front", "Back", "Other"}));
        Tab(f)->Select(2);
        auto* kind = f.W<QComboBox>("cmbKind");
        kind->setFocus();
        QTest::keyClick(kind, Qt::Key_Up);  // Other to Detail
        QTest::keyClick(kind, Qt::Key_Up);  // Certificate
        f.W("txtCaption")->setFocus();
        QTest::keyClicks(f.W("txtCaption"), QStringLiteral("RPSL"));
        Tab(f)->Select(1);
        f.W("txtCaption")->setFocus();
        QTest::keyClicks(f.W("txtCaption"), QStringLiteral("gum side"));
        QCOMPARE(Tab(f)->Listing(), QStringList({"Front", "Back gum side", "Certificate RPSL"}));
        Tab(f)->Select(0);
        Key(f, Qt::Key_Delete);
        QCOMPARE(Tab(f)->Listing(), QStringList({"Back gum side", "Certificate RPSL"}));
        QVERIFY(f.W("imgFront")->isHidden());
        Tab(f)->Select(0);
        f.W<QComboBox>("cmbKind")->setCurrentText(QStringLiteral("Front"));

        f.window->cmdUpdate_Click();
        QVERIFY(!f.window->IsEditing());
        const QString id = f.Scalar(QStringLiteral("select StampID from Stamp where descr = '%1'").arg(shown));
        QCOMPARE(Stored(f), QStringLiteral("%1 Front gum side, %1 Certificate RPSL").arg(id));
        QCOMPARE(f.Scalar("select count(*) from Picture"), QStringLiteral("2"));
        QVERIFY(!f.W("imgFront")->isHidden());

        // Another stamp has none, and leaves no picture beside its description.
        f.window->cmdNext_Click();
        if (f.Text("txtDescr") == shown) f.window->cmdPrevious_Click();
        QCOMPARE(Tab(f)->Count(), 0);
        QVERIFY(f.W("imgFront")->isHidden());

        // After a restart the stamp shows them again.
        f.window->Form_Unload();
        f.window->Form_Load();
        f.window->Form_Activate();
        f.prompts.inputs = {shown};
        f.window->cmdFind_Click();
        QVERIFY(!f.W("imgFront")->isHidden());
        OpenImagesTab(f);
        QCOMPARE(Tab(f)->Listing(), QStringList({"Front gum side", "Certificate RPSL"}));
        QVERIFY(f.prompts.messages.empty());
    }

    void newStampGetsImagesBeforeItsFirstUpdate()
    {
        Scans scans;
        MainWindowFixture f;
        f.Show();
        f.window->cmdAddNew_Click();
        OpenImagesTab(f);
        QVERIFY(Tab(f)->isEnabled());
        f.prompts.openFiles = {{scans.front}};
        Click(f, "cmdAddImages");
        f.Type("txtDescr", "Alpha");
        f.window->cmdAddNew_Click();  // Add Another
        QCOMPARE(Tab(f)->Count(), 0);
        f.prompts.openFiles = {{scans.front, scans.back}};
        Click(f, "cmdAddImages");
        f.Type("txtDescr", "Bravo");
        f.window->cmdUpdate_Click();
        // One picture for both stamps' fronts.
        QCOMPARE(Stored(f), QStringLiteral("1 Front, 2 Front, 2 Back"));
        QCOMPARE(f.Scalar("select count(*) from Picture"), QStringLiteral("2"));
        QCOMPARE(Tab(f)->Listing(), QStringList({"Front", "Back"}));
    }

    // A deleted stamp keeps its images in the trash, where it can come back from;
    // emptying the trash lets them go.
    void deletingTheStampKeepsItsImagesUntilTheTrashIsEmptied()
    {
        Scans scans;
        MainWindowFixture f(2);
        f.Show();
        OpenImagesTab(f);
        f.prompts.openFiles = {{scans.front, scans.back}};
        Click(f, "cmdAddImages");
        f.window->cmdUpdate_Click();
        QCOMPARE(f.Scalar("select count(*) from PictureData"), QStringLiteral("2"));
        f.window->cmdDelete_Click();  // Yes
        QCOMPARE(f.Scalar("select count(*) from StampImage"), QStringLiteral("2"));
        QCOMPARE(f.Scalar("select count(*) from PictureData"), QStringLiteral("2"));
        QCOMPARE(Tab(f)->Count(), 0);
        EmptyTrash(*gDb);
        QCOMPARE(f.Scalar("select count(*) from StampImage"), QStringLiteral("0"));
        QCOMPARE(f.Scalar("select count(*) from PictureData"), QStringLiteral("0"));
    }

    // Each bad file is named with its reason, in one message; the good ones are
    // added; when nothing could be added the stamp is not being edited.
    void badFilesAreNamedAndNothingOfThemStored()
    {
        Scans scans;
        const QString bomb = scans.dir.filePath(QStringLiteral("bomb.png"));
        const QString cut = scans.dir.filePath(QStringLiteral("cut.jpg"));
        const QString empty = scans.dir.filePath(QStringLiteral("empty.png"));
        WriteFile(bomb, PngClaiming(100000, 100000));
        WriteFile(cut, JpegBytes(400, 400).left(3000));
        WriteFile(empty, QByteArray());
        MainWindowFixture f(1);
        f.Show();
        OpenImagesTab(f);
        f.prompts.openFiles = {{bomb, cut}};
        Click(f, "cmdAddImages");
        QVERIFY(!f.window->IsEditing());
        QCOMPARE(Tab(f)->Count(), 0);
        QCOMPARE(f.prompts.LastText(),
                 QStringLiteral("These files were not added:\n\n'%1': it claims a size of 100000 x 100000 pixels; an "
                                "image may have at most 100 million pixels.\n'%2': the image in it is damaged or "
                                "incomplete.")
                     .arg(bomb, cut));

        // A folder dropped with a good file and an empty one.
        auto* mime = new QMimeData;
        mime->setUrls(
            {QUrl::fromLocalFile(scans.dir.path()), QUrl::fromLocalFile(scans.front), QUrl::fromLocalFile(empty)});
        Drop(Tab(f), mime);
        delete mime;
        QCOMPARE(f.prompts.LastText(), QStringLiteral("These files were not added:\n\n'%1': it is a folder, not a "
                                                      "file.\n'%2': it is empty.")
                                           .arg(scans.dir.path(), empty));
        QCOMPARE(Tab(f)->Listing(), QStringList{"Front"});
        QVERIFY(f.window->IsEditing());
    }

    void pastedImageIsAdded()
    {
        MainWindowFixture f(1);
        f.Show();
        OpenImagesTab(f);
        QApplication::clipboard()->setImage(TestPicture(300, 200, 5));
        Key(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Tab(f)->Listing(), QStringList{"Front"});
        QVERIFY(f.window->IsEditing());
        f.window->cmdUpdate_Click();
        QCOMPARE(f.Scalar("select Format || ' ' || Width || 'x' || Height from Picture"),
                 QStringLiteral("png 300x200"));
    }

    void viewerZoomsStepsAndSavesTheOriginal()
    {
        Scans scans;
        MainWindowFixture f(1);
        f.Show();
        OpenImagesTab(f);
        f.prompts.openFiles = {{scans.front, scans.back}};
        Click(f, "cmdAddImages");
        Tab(f)->Select(0);
        Key(f, Qt::Key_Return);  // not stored yet, and still shown
        frmImageViewer* viewer = frmImageViewer::Instance();
        QVERIFY(viewer);
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        ImageCanvas* canvas = viewer->Canvas();
        QVERIFY(canvas->HasPicture());
        QVERIFY(canvas->Fitting());
        const double fit = canvas->Zoom();
        QVERIFY(fit < 1.0);
        QCOMPARE(canvas->FullSize(), QSize(600, 720));
        QTest::keyClick(canvas, Qt::Key_Plus);
        QCOMPARE(canvas->Zoom(), fit * ImageCanvas::kZoomStep);
        QTest::keyClick(canvas, Qt::Key_Minus);
        QTest::keyClick(canvas, Qt::Key_Minus);
        QCOMPARE(canvas->Zoom(), fit / ImageCanvas::kZoomStep);
        QTest::keyClick(canvas, Qt::Key_1);
        QCOMPARE(canvas->Zoom(), 1.0);
        QVERIFY(!canvas->Fitting());
        // At actual size the picture is taller than the area: it pans, and stops at its edge.
        const QPointF middle = canvas->Center();
        QTest::keyClick(canvas, Qt::Key_Down);
        QVERIFY(canvas->Center().y() > middle.y());
        for (int i = 0; i < 50; ++i) QTest::keyClick(canvas, Qt::Key_Down);
        QCOMPARE(canvas->Center().y(), 720 - canvas->height() / 2.0);
        QTest::keyClick(canvas, Qt::Key_0);
        QVERIFY(canvas->Fitting());
        QCOMPARE(canvas->Zoom(), fit);

        QTest::keyClick(canvas, Qt::Key_PageDown);
        QCOMPARE(viewer->Index(), 1);
        QVERIFY(viewer->StatusText().startsWith(QStringLiteral("Back, 2 of 2.  600 x 720 pixels, JPEG, ")));
        QTest::keyClick(canvas, Qt::Key_PageDown);
        QCOMPARE(viewer->Index(), 1);

        const QString saved = scans.dir.filePath(QStringLiteral("copy.jpg"));
        f.prompts.saveFiles = {saved};
        viewer->cmdSaveOriginal_Click();
        // Named after the stamp's catalogue number.
        QVERIFY(!f.Text("txtCatNum").isEmpty());
        QCOMPARE(f.prompts.saveRequests.back().defaultName, f.Text("txtCatNum") + QStringLiteral("-back.jpg"));
        QCOMPARE(f.prompts.saveRequests.back().filter, QStringLiteral("JPEG Files (*.jpg)|*.jpg|All Files (*.*)|*.*"));
        QCOMPARE(ReadFile(saved), ReadFile(scans.back));

        // Stored, and opened again from the catalogue.
        f.window->cmdUpdate_Click();
        viewer->close();
        QTRY_VERIFY(!frmImageViewer::Instance());
        OpenImagesTab(f);
        Tab(f)->Select(0);
        Click(f, "cmdViewImage");
        viewer = frmImageViewer::Instance();
        QVERIFY(viewer && viewer->Canvas()->HasPicture());
        f.prompts.saveFiles = {saved};
        f.prompts.answers = {MsgAnswer::Yes};
        viewer->cmdSaveOriginal_Click();
        QCOMPARE(f.prompts.LastText(),
                 QStringLiteral("The file '%1' already exists.  Do you wish to replace it?").arg(saved));
        QCOMPARE(ReadFile(saved), ReadFile(scans.front));
        viewer->close();
    }

    // A JPEG scan is first decoded only as finely as the fitted view needs, and
    // whole once the collector zooms in.
    void largeScanDecodedAsFinelyAsNeeded()
    {
        QTemporaryDir dir;
        const QString scan = dir.filePath(QStringLiteral("scan.jpg"));
        WriteFile(scan, JpegBytes(4000, 3000));
        MainWindowFixture f(1);
        f.Show();
        OpenImagesTab(f);
        f.prompts.openFiles = {{scan}};
        Click(f, "cmdAddImages");
        Tab(f)->ViewSelected();
        ImageCanvas* canvas = frmImageViewer::Instance()->Canvas();
        QVERIFY(canvas->DecodedScale() < 0.5);
        QVERIFY(canvas->DecodedScale() >= canvas->Zoom());
        canvas->ActualSize();
        QCOMPARE(canvas->DecodedScale(), 1.0);
        frmImageViewer::Instance()->close();
    }
};

QTEST_MAIN(TestImages)
#include "tst_images.moc"
