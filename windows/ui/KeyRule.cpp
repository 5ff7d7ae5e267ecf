#include "KeyRule.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

KeyRule::KeyRule(QWidget* window, std::function<void()> help)
    : QObject(window), m_window(window), m_help(std::move(help))
{
}

void KeyRule::install(QWidget* window, std::function<void()> help)
{
    // An application-wide filter sees the key before the focused control, the
    // way the window's key preview does; it acts only for keys of this window.
    qApp->installEventFilter(new KeyRule(window, std::move(help)));
}

bool KeyRule::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !m_help)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    m_help();
    return true;
}
