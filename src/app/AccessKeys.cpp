#include "app/AccessKeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QShortcutEvent>

namespace {

// A button that takes the focus when clicked must hold it before it acts: a box
// whose rule refused to be left (a message, the focus taken back) keeps it, and
// the button's action does not run.
bool TakesFocusOnClick(const QAbstractButton* button)
{
    return (button->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus;
}

bool HoldsFocus(const QAbstractButton* button)
{
    return button->window()->focusWidget() == button;
}

class AccessKeyFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button) return false;
        switch (event->type()) {
            case QEvent::Shortcut:
                return AccessKey(button, static_cast<QShortcutEvent*>(event));
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                // The focus has been given before the press arrives here; when a
                // box's rule took it back, the press is not the button's.
                return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && button->isEnabled() &&
                       TakesFocusOnClick(button) && !HoldsFocus(button);
            default:
                return false;
        }
    }

private:
    static bool AccessKey(QAbstractButton* button, const QShortcutEvent* shortcut)
    {
        // A key shared by several buttons only moves the focus among them, as it
        // always has.
        if (shortcut->isAmbiguous() || !button->isEnabled()) return false;
        const QPointer<QAbstractButton> alive(button);
        if (TakesFocusOnClick(button) && !HoldsFocus(button)) {
            button->setFocus(Qt::ShortcutFocusReason);
            if (!alive || !HoldsFocus(button)) return true;
        }
        if (alive && button->isVisible() && button->isEnabled()) button->click();
        return true;
    }
};

}  // namespace

void InstallAccessKeys()
{
    static AccessKeyFilter* filter = nullptr;
    if (filter || !qApp) return;
    filter = new AccessKeyFilter(qApp);
    qApp->installEventFilter(filter);
}
