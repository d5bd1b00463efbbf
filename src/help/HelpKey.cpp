// F1 in every window: the help topic of the focused control, else of the nearest
// parent carrying a help context, else of its window (and then of the window it
// belongs to, for a dialog without a number of its own).

#include "db/Prompts.h"
#include "help/HelpContext.h"
#include "help/HelpViewer.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

namespace {

int ContextOfWidget(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (const int context = HelpContextOf(w)) return context;
    return 0;
}

bool IsInHelpViewer(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w->objectName() == QLatin1String("frmHelp")) return true;
    return false;
}

class HelpKeyFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        // Key events reach the window first and are then passed on to the focused
        // widget; act on the widget's delivery only.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;

        int command = HelpCommand::Context;
        int context = 0;
        if (auto* menu = qobject_cast<QMenu*>(widget)) {
            if (const QAction* action = menu->activeAction()) context = HelpContextOf(action);
            if (!context) context = HelpContextOf(menu->menuAction());
            if (!context) context = ContextOfWidget(menu->parentWidget());
            // The help opens in place of the menu.
            for (int i = 0; i < 8 && QApplication::activePopupWidget(); ++i) QApplication::activePopupWidget()->close();
        } else if (IsInHelpViewer(widget)) {
            command = HelpCommand::HelpOnHelp;
        } else {
            context = ContextOfWidget(widget);
        }
        prompts().Help(command, context);
        return true;
    }
};

}  // namespace

void InstallHelpKey()
{
    static HelpKeyFilter* filter = nullptr;
    if (filter || !qApp) return;
    filter = new HelpKeyFilter(qApp);
    qApp->installEventFilter(filter);
}
