#include "ScriptedPrompts.h"

#include "help/HelpContext.h"
#include "help/HelpViewer.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

using HelpCalls = std::vector<std::pair<int, int>>;

// A window laid out like the program's: the window carries a number, most
// controls carry their own, some sit in a frame that carries one, some carry none.
struct Window {
    QWidget window;
    QDialog* dialog = nullptr;
    QWidget* lonely = nullptr;

    Window()
    {
        window.setObjectName("frmTest");
        SetHelpContext(&window, 7);
        auto* layout = new QVBoxLayout(&window);
        auto add = [&](QWidget* w, const char* name, int context) {
            w->setObjectName(name);
            if (context) SetHelpContext(w, context);
            return w;
        };
        layout->addWidget(add(new QLineEdit, "txtDescr", 21));
        layout->addWidget(add(new QLineEdit, "txtPlain", 0));
        auto* frame = add(new QGroupBox("Selection Criteria"), "fraSel", 69);
        auto* inner = new QVBoxLayout(frame);
        inner->addWidget(add(new QLineEdit, "txtGreater", 0));
        inner->addWidget(add(new QLineEdit, "txtLess", 72));
        layout->addWidget(frame);
        auto* date = new QComboBox;
        date->setEditable(true);
        layout->addWidget(add(date, "dcIssued", 40));
        date->lineEdit()->setObjectName("dcIssuedText");

        // A dialog with no numbers of its own, owned by the window.
        dialog = new QDialog(&window);
        dialog->setObjectName("dlgPlain");
        auto* dialogLayout = new QVBoxLayout(dialog);
        dialogLayout->addWidget(add(new QPushButton("Ok"), "cmdDialogOk", 0));

        // A window that carries no number at all.
        lonely = new QWidget;
        lonely->setObjectName("frmLonely");
        auto* lonelyLayout = new QVBoxLayout(lonely);
        lonelyLayout->addWidget(add(new QLineEdit, "txtLonely", 0));
    }
    ~Window() { delete lonely; }

    QWidget* Find(const QString& name)
    {
        if (auto* w = window.findChild<QWidget*>(name)) return w;
        return lonely->findChild<QWidget*>(name);
    }
};

}  // namespace

class TestHelpKey : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        InstallHelpKey();
        InstallHelpKey();  // a second call must not make F1 ask twice
    }

    void f1OpensTheTopicOfTheFocus_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("context");

        QTest::newRow("control with its own number") << "txtDescr" << 21;
        QTest::newRow("control without: its window's") << "txtPlain" << 7;
        QTest::newRow("control without, in a frame with one") << "txtGreater" << 69;
        QTest::newRow("own number before the frame's") << "txtLess" << 72;
        QTest::newRow("text part of a date box") << "dcIssuedText" << 40;
        QTest::newRow("dialog without numbers: its owner's") << "cmdDialogOk" << 7;
        QTest::newRow("no number anywhere: the contents") << "txtLonely" << 0;
    }

    void f1OpensTheTopicOfTheFocus()
    {
        QFETCH(QString, control);
        QFETCH(int, context);
        ScriptedPrompts prompts;
        Window w;
        w.window.show();
        QWidget* target = w.Find(control);
        QVERIFY(target);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_F1);
        QCOMPARE(prompts.helpCalls, HelpCalls({{1, context}}));
    }

    void otherKeysAreLeftAlone_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Shift+F1") << int(Qt::Key_F1) << int(Qt::ShiftModifier);
        QTest::newRow("Ctrl+F1") << int(Qt::Key_F1) << int(Qt::ControlModifier);
        QTest::newRow("F2") << int(Qt::Key_F2) << int(Qt::NoModifier);
        QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier);
    }

    void otherKeysAreLeftAlone()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        ScriptedPrompts prompts;
        Window w;
        w.window.show();
        auto* box = qobject_cast<QLineEdit*>(w.Find("txtDescr"));
        QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(prompts.helpCalls.empty());
        if (key == Qt::Key_A) QCOMPARE(box->text(), QString("a"));  // typing still works
    }

    void f1OnAHighlightedMenuItem()
    {
        ScriptedPrompts prompts;
        Window w;
        QMenu menu(&w.window);
        QAction* backup = menu.addAction("Backup");
        SetHelpContext(backup, 56);
        QAction* plain = menu.addAction("Plain");
        w.window.show();

        menu.popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        menu.setActiveAction(backup);
        QTest::keyClick(&menu, Qt::Key_F1);
        QCOMPARE(prompts.helpCalls, HelpCalls({{1, 56}}));
        QVERIFY(!menu.isVisible());

        // An item without a number: the window the menu belongs to.
        menu.popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        menu.setActiveAction(plain);
        QTest::keyClick(&menu, Qt::Key_F1);
        QCOMPARE(prompts.helpCalls, HelpCalls({{1, 56}, {1, 7}}));
    }

    void f1InTheHelpViewerExplainsTheViewer()
    {
        ScriptedPrompts prompts;
        HelpViewer viewer;
        viewer.show();
        auto* browser = viewer.findChild<QTextBrowser*>("txtTopic");
        QVERIFY(browser);
        QTest::keyClick(browser, Qt::Key_F1);
        QCOMPARE(prompts.helpCalls, HelpCalls({{4, 0}}));
    }
};

QTEST_MAIN(TestHelpKey)
#include "tst_helpkey.moc"
