#pragma once

#include "windows/ui/FileDialogs.h"
#include "windows/ui/MessageBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QTemporaryDir>
#include <functional>

// A fresh working directory with the message boxes recorded and the open
// dialog answered by the test.
struct WindowFixture {
    QTemporaryDir dir;
    QList<MessageBoxes::Shown> boxes;
    QStringList answers;        // what the open dialog returns, in turn; empty: cancel
    QStringList dialogFolders;  // the initial folder of each dialog shown
    QStringList dialogFilters;

    WindowFixture()
    {
        MessageBoxes::setRecorder([this](const MessageBoxes::Shown& s) { boxes.append(s); });
        FileDialogs::setAnswerer([this](const QString& folder, const QString& filter) {
            dialogFolders.append(folder);
            dialogFilters.append(filter);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
    }
    ~WindowFixture()
    {
        MessageBoxes::clearRecorder();
        FileDialogs::clearAnswerer();
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};

// Runs an action on the first dialog of type T once it has been shown, from
// the event loop of its exec(); removes itself then.
class WhenShown : public QObject {
public:
    using Action = std::function<void(QDialog*)>;
    WhenShown(const QMetaObject& type, Action action) : m_type(type), m_action(std::move(action))
    {
        qApp->installEventFilter(this);
    }
    ~WhenShown() override { qApp->removeEventFilter(this); }
    bool fired() const { return m_fired; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (!m_fired && event->type() == QEvent::Show && dialog
            && dialog->metaObject()->inherits(&m_type)) {
            m_fired = true;
            QMetaObject::invokeMethod(
                dialog, [this, dialog] { m_action(dialog); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    const QMetaObject& m_type;
    Action m_action;
    bool m_fired = false;
};

// A stand-in for the main window, placed where the offsets can be seen.
inline std::unique_ptr<QWidget> makeMainWindow()
{
    auto w = std::make_unique<QWidget>();
    w->resize(600, 300);
    w->move(120, 60);
    w->show();
    return w;
}
