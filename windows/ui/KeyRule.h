#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QAbstractButton;
class QWidget;

// The key rules shared by the main window and the secondary windows, seen
// before any control of the window (like a form's key preview):
// - install: F1 (whatever the modifiers) runs the help command;
// - installCancel: Escape presses the window's "Закрити" button.
// Install once per window; the filters are owned by the window.
class KeyRule : public QObject {
    Q_OBJECT
public:
    static void install(QWidget* window, std::function<void()> help);
    static void installCancel(QWidget* window, QAbstractButton* closeButton);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyRule(QWidget* window, int key, std::function<void()> action);
    QPointer<QWidget> m_window;
    int m_key;
    std::function<void()> m_action;
};
