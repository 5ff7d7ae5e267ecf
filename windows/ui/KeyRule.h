#pragma once

#include <QObject>
#include <functional>

class QWidget;

// The key rule shared by the main window and the secondary windows: F1
// (whatever the modifiers) runs the help command, seen before any control.
// Install once per window; the filter is owned by the window.
class KeyRule : public QObject {
    Q_OBJECT
public:
    static void install(QWidget* window, std::function<void()> help);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyRule(QWidget* window, std::function<void()> help);
    QWidget* m_window;
    std::function<void()> m_help;
};
