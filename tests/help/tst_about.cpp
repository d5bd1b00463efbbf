#include "ScriptedPrompts.h"

#include "help/HelpContext.h"
#include "help/ProgramIcon.h"
#include "help/frmAbout.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

QList<frmAbout*> OpenBoxes()
{
    QList<frmAbout*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<frmAbout*>(w); box && box->isVisible()) boxes.append(box);
    return boxes;
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsNameVersionAndPicture()
    {
        ShowAbout();
        const QList<frmAbout*> boxes = OpenBoxes();
        QCOMPARE(boxes.size(), 1);
        frmAbout* box = boxes.front();
        QCOMPARE(box->windowTitle(), QString("About Tessarine"));
        QCOMPARE(HelpContextOf(box), 18);
        QVERIFY(!box->isModal());
        QCOMPARE(box->Label1->text(), QString("Tessarine"));
        QCOMPARE(box->Label2->text(), QString("Version 1.0"));
        QCOMPARE(box->cmdOk->text(), QString("&Ok"));
        QVERIFY(box->Label1->font().bold());
        QVERIFY(box->Label1->font().pointSizeF() > box->Label2->font().pointSizeF());
        QVERIFY(!box->Picture1->pixmap().isNull());
        QVERIFY(!box->windowIcon().isNull());
        // Ok is first in the tab order and has the focus.
        QCOMPARE(box->focusWidget(), box->cmdOk);
        QWidget* first = nullptr;
        for (QWidget* w = box->nextInFocusChain(); w != box && !first; w = w->nextInFocusChain())
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(box)) first = w;
        QCOMPARE(first, box->cmdOk);
    }

    void aSecondCallBringsTheSameBoxForward()
    {
        ShowAbout();
        ShowAbout();
        QCOMPARE(OpenBoxes().size(), 1);
    }

    void okCloses()
    {
        ShowAbout();
        QPointer<frmAbout> box = OpenBoxes().front();
        QTest::mouseClick(box->cmdOk, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(box.isNull());
        QVERIFY(OpenBoxes().isEmpty());
        // It opens again afterwards.
        ShowAbout();
        QCOMPARE(OpenBoxes().size(), 1);
    }

    void programIconHasEverySize()
    {
        const QIcon icon = ProgramIcon();
        QVERIFY(!icon.isNull());
        for (const int size : {16, 32, 48, 256}) {
            const QPixmap pixmap = icon.pixmap(QSize(size, size));
            QCOMPARE(pixmap.size(), QSize(size, size));
            // Perforations: the corner is clear, the middle is painted.
            const QImage image = pixmap.toImage();
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
        }
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
