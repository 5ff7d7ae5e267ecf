#include "tests/support/TestProcesses.h"

#include "generate/office/ScratchFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace TestProcesses {

QList<qint64> mentioning(const QString& text)
{
    QList<qint64> pids;
    const QByteArray marker = text.toUtf8();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile cmdline(QStringLiteral("/proc/") + entry + QStringLiteral("/cmdline"));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(marker))
            pids << pid;
    }
    return pids;
}

QStringList ourScratchFolders()
{
    return QDir(ScratchFolder::StoreParent())
        .entryList({QStringLiteral("lumarel-scratch-%1-*").arg(QCoreApplication::applicationPid())},
                   QDir::Dirs | QDir::Hidden);
}

} // namespace TestProcesses
