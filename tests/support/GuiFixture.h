#pragma once

#include "windows/ui/FileDialogs.h"
#include "windows/ui/MessageBoxes.h"
#include "windows/ui/ShellOpen.h"
#include "tests/support/TestFiles.h"
#include "mainwindow/Unit1.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

// One main window in a fresh working directory, with the message boxes and
// the open dialog answered by the test.
struct GuiFixture {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    QList<MessageBoxes::Shown> boxes;
    QString answer;                 // what the open dialog returns
    QStringList dialogFolders;      // the initial folder of each dialog shown
    QStringList dialogFilters;
    QStringList opened;             // what the desktop was asked to open
    std::unique_ptr<TFLUMA> window;

    GuiFixture()
    {
        QDir::setCurrent(dir.path());
        MessageBoxes::setRecorder([this](const MessageBoxes::Shown& s) { boxes.append(s); });
        FileDialogs::setAnswerer([this](const QString& folder, const QString& filter) {
            dialogFolders.append(folder);
            dialogFilters.append(filter);
            return answer;
        });
        ShellOpen::setRecorder([this](const QString& what) { opened.append(what); });
        window = std::make_unique<TFLUMA>();
        // Port 1 refuses at once: no test reaches the maker's site.
        window->setUpdateBaseUrl(QUrl(QStringLiteral("http://127.0.0.1:1")));
    }
    ~GuiFixture()
    {
        window.reset();
        MessageBoxes::clearRecorder();
        FileDialogs::clearAnswerer();
        ShellOpen::clearRecorder();
        QDir::setCurrent(previousDir);
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    template <typename T> T* find(const char* name) const
    {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QListWidget* M() const { return find<QListWidget>("M"); }
    QCheckBox* ChAll() const { return find<QCheckBox>("ChAll"); }
    QLineEdit* Ef() const { return find<QLineEdit>("Ef"); }

    // Writes the file and opens it through B1, as the user would.
    void open(const QString& name, const QByteArray& bytes)
    {
        TestFiles::write(path(name), bytes);
        openPath(path(name));
    }
    void openPath(const QString& chosen)
    {
        answer = chosen;
        find<QToolButton>("B1")->click();
    }

    QStringList entries() const
    {
        QStringList out;
        for (int i = 0; i < window->EntryCount(); ++i)
            out.append(window->EntryText(i));
        return out;
    }
    QList<bool> checks() const
    {
        QList<bool> out;
        for (int i = 0; i < window->EntryCount(); ++i)
            out.append(window->EntryChecked(i));
        return out;
    }
};

// An attribute-form graduate with the given document id and full name.
inline QByteArray graduate(int id, const QString& fio, const QString& faculty = QStringLiteral("Факультет"))
{
    return TestFiles::attributeRecord({{QStringLiteral("iddocument"), QString::number(id)},
                                       {QStringLiteral("fio"), fio},
                                       {QStringLiteral("facultetfullname"), faculty}});
}

// Types text the way a keyboard does, one key press per character
// (QTest::keyClicks handles ASCII only).
inline void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}
