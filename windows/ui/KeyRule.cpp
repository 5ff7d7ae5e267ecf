#include "windows/ui/KeyRule.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

KeyRule::KeyRule(QWidget* window, int key, std::function<void()> action)
    : QObject(window), m_window(window), m_key(key), m_action(std::move(action))
{
}

void KeyRule::install(QWidget* window, std::function<void()> help)
{
    // An application-wide filter sees the key before the focused control, the
    // way the window's key preview does; it acts only for keys of this window.
    qApp->installEventFilter(new KeyRule(window, Qt::Key_F1, std::move(help)));
}

void KeyRule::installCancel(QWidget* window, QAbstractButton* closeButton)
{
    QPointer<QAbstractButton> button(closeButton);
    qApp->installEventFilter(new KeyRule(window, Qt::Key_Escape, [button] {
        // A hidden or disabled button cannot be pressed, by key or by mouse.
        if (button && button->isEnabled() && button->isVisibleTo(button->window()))
            button->click();
    }));
}

bool KeyRule::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !m_action || !m_window)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != m_key)
        return false;
    // Key events reach the QWindow first and then the widget: act on the
    // widget only, so one key press runs the rule once.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    m_action();
    return true;
}
