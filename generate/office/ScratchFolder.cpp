#include "generate/office/ScratchFolder.h"

#include "records/LumarelError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <QSet>

#include <cerrno>
#include <csignal>
#include <linux/magic.h>
#include <mutex>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

const QString Prefix = QStringLiteral("lumarel-scratch-");

bool processRuns(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Enough for a few offices' documents and PDFs at a time, with the rest of
// the system's use of the same memory.
constexpr qint64 StoreRoomBytes = 128LL << 20;

bool inMemoryWithRoom(const QString& path)
{
    struct statfs fs {};
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || ::statfs(name.constData(), &fs) != 0 || fs.f_type != TMPFS_MAGIC)
        return false;
    return qint64(fs.f_bavail) * qint64(fs.f_bsize) >= StoreRoomBytes &&
           ::access(name.constData(), W_OK | X_OK) == 0;
}

} // namespace

QString ScratchFolder::StoreParent()
{
    const QString temp = QDir::tempPath();
    if (!qEnvironmentVariableIsEmpty("TMPDIR") || inMemoryWithRoom(temp))
        return temp;
    for (const QString& memory :
         {qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("/dev/shm")})
        if (inMemoryWithRoom(memory))
            return memory;
    return temp;
}

ScratchFolder::ScratchFolder() : ScratchFolder(QDir::tempPath()) {}

ScratchFolder::ScratchFolder(const QString& parent)
    : m_dir((RemoveLeftoversOnce(parent), parent + u'/' + Prefix +
                                              QString::number(QCoreApplication::applicationPid()) +
                                              QStringLiteral("-XXXXXX")))
{
    if (!m_dir.isValid())
        throw LumarelError(QStringLiteral("Не вдалося створити тимчасову папку в ") + parent +
                           QStringLiteral(": ") + m_dir.errorString());
}

// A batch makes a folder for every template it loads: the parent is looked
// through once per run.
void ScratchFolder::RemoveLeftoversOnce(const QString& parent)
{
    static std::mutex guard;
    static QSet<QString> done;
    const std::lock_guard lock(guard);
    if (done.contains(parent))
        return;
    done.insert(parent);
    RemoveLeftovers(parent);
}

void ScratchFolder::RemoveLeftovers(const QString& parent)
{
    static const QRegularExpression name(QStringLiteral("^lumarel-scratch-(\\d+)-[^/]+$"));
    const QDir dir(parent);
    const uint me = ::getuid();
    for (const QFileInfo& entry :
         dir.entryInfoList({Prefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QRegularExpressionMatch m = name.match(entry.fileName());
        if (!m.hasMatch() || entry.isSymLink() || entry.ownerId() != me)
            continue;
        bool ok = false;
        const qint64 pid = m.captured(1).toLongLong(&ok);
        if (ok && pid > 0 && !processRuns(pid))
            QDir(entry.filePath()).removeRecursively();
    }
}
