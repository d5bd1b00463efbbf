#pragma once

// A main window loaded on a fresh catalogue in a temporary folder, the working
// directory of the test, with scripted prompts.

#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "app/frmMain.h"
#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Recordset.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

// The offscreen platform warns about size hints it cannot pass on; the tests
// have no use for that noise.
inline void QuietOffscreenWarnings()
{
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (message.contains(QLatin1String("propagateSizeHints")) || message.contains(QLatin1String("support raise()")))
                return;
            previous(type, context, message);
        });
}

class MainWindowFixture {
public:
    explicit MainWindowFixture(int demoStamps = 0, const QString& setupSql = QString())
        : cat(demoStamps), previousDir(QDir::currentPath())
    {
        QuietOffscreenWarnings();
        if (!setupSql.isEmpty()) cat.Exec(setupSql);
        QDir::setCurrent(cat.Dir());
        window = std::make_unique<frmMain>();
        window->Form_Load();
        window->Form_Activate();
    }
    ~MainWindowFixture()
    {
        if (gDb) window->Form_Unload();
        window.reset();
        QDir::setCurrent(previousDir);
    }

    template <typename T = QWidget>
    T* W(const char* name) const
    {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QString Text(const char* name) const
    {
        if (auto* box = window->findChild<QLineEdit*>(QString::fromLatin1(name))) return box->text();
        if (auto* combo = window->findChild<QComboBox*>(QString::fromLatin1(name))) return combo->currentText();
        if (auto* notes = window->findChild<QPlainTextEdit*>(QString::fromLatin1(name))) return notes->toPlainText();
        if (auto* label = window->findChild<QLabel*>(QString::fromLatin1(name))) return label->text();
        qFatal("no text control %s", name);
    }
    bool Visible(const char* name) const { return !W(name)->isHidden(); }
    // Shows the window and makes it active, so that focus moves are real.
    void Show()
    {
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
    }
    QWidget* Focused() const { return QApplication::focusWidget(); }
    void Type(const char* name, const QString& text)
    {
        auto* box = W<QLineEdit>(name);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    // A query on the catalogue the window holds open.
    QString Scalar(const QString& sql) const
    {
        auto rs = gDb->OpenSnapshot(sql);
        return rs->IsEmpty() ? QString() : TextOf(rs->FieldAt(0));
    }

    ScriptedPrompts prompts;
    TestCatalogue cat;
    QString previousDir;
    std::unique_ptr<frmMain> window;
};
