#include "generate/OutputPlacement.h"

#include "records/LumarelError.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

enum class Claim { Done, Taken, Unsupported };

const QString NoFolderText = QStringLiteral("Папка %1 не існує");
const QString NoFreeNameText = QStringLiteral("Не вдалося знайти вільне ім'я файла в ");

QString failure(const QString& path, int error)
{
    return QStringLiteral("Не вдалося зберегти документ ") + path + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(error));
}

bool noHardLinks(int error)
{
    return error == EXDEV || error == EPERM || error == EOPNOTSUPP || error == ENOSYS ||
           error == EMLINK;
}

// A second name for the finished file: fails with EEXIST rather than replace.
Claim claimByLink(const QByteArray& from, const QByteArray& to, const QString& target)
{
    if (::link(from.constData(), to.constData()) == 0)
        return Claim::Done;
    const int error = errno;
    if (error == EEXIST)
        return Claim::Taken;
    if (noHardLinks(error))
        return Claim::Unsupported;
    throw LumarelError(failure(target, error));
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Another file system: the copy is written unnamed in the target folder and
// given its name only once whole.
Claim claimByCopy(const QByteArray& bytes, const QString& folder, const QByteArray& to,
                  const QString& target)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int error = errno;
        if (error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOENT)
            return Claim::Unsupported;
        throw LumarelError(failure(target, error));
    }
    if (!writeAll(fd, bytes)) {
        const int error = errno ? errno : EIO;
        ::close(fd);
        throw LumarelError(failure(target, error));
    }
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    const int linked =
        ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW);
    const int error = errno;
    ::close(fd);
    if (linked == 0)
        return Claim::Done;
    if (error == EEXIST)
        return Claim::Taken;
    if (noHardLinks(error) || error == ENOENT)
        return Claim::Unsupported;
    throw LumarelError(failure(target, error));
}

// Last resort, for file systems with neither: the name is created exclusively
// and filled; only a file this call created is ever removed.
Claim claimByCreate(const QByteArray& bytes, const QByteArray& to, const QString& target)
{
    const int fd =
        ::open(to.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        if (errno == EEXIST)
            return Claim::Taken;
        throw LumarelError(failure(target, errno));
    }
    const bool written = writeAll(fd, bytes);
    const int error = errno ? errno : EIO;
    if (::close(fd) != 0 || !written) {
        ::unlink(to.constData());
        throw LumarelError(failure(target, error));
    }
    return Claim::Done;
}

// One file moved to its claimed name by the best way the folder allows; the
// way found is kept for the next file.
struct Mover {
    QString finished;
    QByteArray from;
    QByteArray bytes;
    bool copying = false;
    bool creating = false;

    explicit Mover(const QString& file) : finished(file), from(QFile::encodeName(file)) {}

    Claim claim(const QString& folder, const QString& target)
    {
        const QByteArray to = QFile::encodeName(target);
        Claim claim = Claim::Unsupported;
        if (!copying && !creating)
            claim = claimByLink(from, to, target);
        if (claim == Claim::Unsupported && !creating) {
            if (!copying) {
                QFile file(finished);
                if (!file.open(QIODevice::ReadOnly))
                    throw LumarelError(QStringLiteral("Не вдалося прочитати збережений документ ") +
                                       finished);
                bytes = file.readAll();
                copying = true;
            }
            claim = claimByCopy(bytes, folder, to, target);
            if (claim == Claim::Unsupported)
                creating = true;
        }
        if (creating)
            claim = claimByCreate(bytes, to, target);
        return claim;
    }
};

} // namespace

PlacedFiles PlaceOutputFiles(const QString& finished, const QString& finishedPdf,
                             const QString& folder, const QString& name, OutputKind kind)
{
    if (!QFileInfo(folder).isDir())
        throw LumarelError(NoFolderText.arg(folder));
    const bool withPdf = !finishedPdf.isEmpty();
    Mover document(finished);
    std::optional<Mover> pdf;
    if (withPdf)
        pdf.emplace(finishedPdf);
    // Each lost race means one more file appeared; the bound only guards
    // against a folder that lies about what it holds.
    for (int attempt = 0; attempt < 100000; ++attempt) {
        const QString target = BuildOutputPath(folder, name, kind, withPdf);
        if (document.claim(folder, target) != Claim::Done)
            continue;
        PlacedFiles placed{target, QString()};
        if (withPdf) {
            const QString pdfTarget = PdfSiblingName(target);
            Claim claim = Claim::Taken;
            try {
                claim = pdf->claim(folder, pdfTarget);
            } catch (...) {
                ::unlink(QFile::encodeName(target).constData());
                throw;
            }
            if (claim != Claim::Done) {
                // The PDF's name went to another run meanwhile: both move on.
                ::unlink(QFile::encodeName(target).constData());
                continue;
            }
            placed.pdf = pdfTarget;
            QFile::remove(finishedPdf);
        }
        QFile::remove(finished);
        return placed;
    }
    throw LumarelError(NoFreeNameText + folder);
}

QString PlaceNamedFile(const QString& finished, const QString& folder, const QString& fileName)
{
    if (!QFileInfo(folder).isDir())
        throw LumarelError(NoFolderText.arg(folder));
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    Mover mover(finished);
    for (int counter = 0; counter < 100000; ++counter) {
        const QString target = prefix + NumberedFileName(fileName, counter);
        if (QFileInfo(target).isSymLink())
            continue;
        if (mover.claim(folder, target) == Claim::Done) {
            QFile::remove(finished);
            return target;
        }
    }
    throw LumarelError(NoFreeNameText + folder);
}
