#pragma once

#include "tests/support/TestFiles.h"
#include "windows/ui/ShellOpen.h"

#include <QDir>
#include <QFile>

// A stand-in for the desktop's opener (xdg-open) in folder: it appends its
// argument to opener.log, holds on while the file "hold" is there (as
// xdg-open does while the viewer it started runs), then ends with status.
// Installed as the opener while the object lives.
struct FakeOpener {
    QString folder;

    FakeOpener(const QString& where, int status) : folder(where)
    {
        const QString script = QDir(folder).filePath(QStringLiteral("opener.sh"));
        TestFiles::write(script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" +
                                     QFile::encodeName(log()) + "'\nwhile [ -e '" +
                                     QFile::encodeName(hold()) + "' ]; do sleep 0.05; done\nexit " +
                                     QByteArray::number(status) + "\n");
        QFile::setPermissions(script,
                              QFile::permissions(script) | QFile::ExeOwner | QFile::ExeUser);
        ShellOpen::setOpener(script);
    }
    ~FakeOpener() { ShellOpen::clearOpener(); }
    FakeOpener(const FakeOpener&) = delete;
    FakeOpener& operator=(const FakeOpener&) = delete;

    QString log() const { return QDir(folder).filePath(QStringLiteral("opener.log")); }
    QString hold() const { return QDir(folder).filePath(QStringLiteral("hold")); }
    // What it was asked to open, one line each.
    QByteArray asked() const { return TestFiles::read(log()); }
};
