#include "windows/ui/ShellOpen.h"

#include "windows/ui/MessageBoxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QWidget>

namespace ShellOpen {

namespace {
std::function<void(const QString&)>& recorder()
{
    static std::function<void(const QString&)> r;
    return r;
}

std::function<bool(const QUrl&)>& desktop()
{
    static std::function<bool(const QUrl&)> d;
    return d;
}

QString& opener()
{
    static QString program;
    return program;
}

// Runs the opener without waiting for it: in a desktop without an
// environment of its own it stays until the viewer it started closes. Its
// verdict comes later; the message goes over parent if that still exists.
void askDesktop(QWidget* parent, const QString& argument, const QUrl& url,
                const QString& notOpenedText)
{
    QPointer<QWidget> owner(parent);
    const auto say = [owner, notOpenedText] { MessageBoxes::plain(owner.data(), notOpenedText); };
    if (desktop()) {
        if (!desktop()(url))
            say();
        return;
    }
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(opener().isEmpty() ? QStringLiteral("xdg-open") : opener());
    process->setArguments({argument});
    // Its complaints still reach the log; nothing reads its output.
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, say](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         say();
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, say](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (outcomeOf(status == QProcess::NormalExit, code) == Outcome::NotOpened)
                             say();
                     });
    process->start();
}
} // namespace

Outcome outcomeOf(bool normalExit, int exitCode)
{
    if (!normalExit)
        return Outcome::Unknown;
    return exitCode == 0 ? Outcome::Opened : Outcome::NotOpened;
}

QString fileNotOpenedText(const QString& path)
{
    const QString full = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    return QStringLiteral("Не вдалося відкрити файл:\n") + full +
           QStringLiteral("\nВідкрийте його вручну.");
}

QString addressNotOpenedText(const QString& address)
{
    return QStringLiteral("Не вдалося відкрити адресу:\n") + address.trimmed() +
           QStringLiteral("\nВідкрийте її у веб-браузері вручну.");
}

void openFile(QWidget* parent, const QString& path)
{
    if (recorder()) {
        recorder()(path);
        return;
    }
    const QString full = QFileInfo(path).absoluteFilePath();
    askDesktop(parent, full, QUrl::fromLocalFile(full), fileNotOpenedText(path));
}

void openAddress(QWidget* parent, const QString& address)
{
    if (recorder()) {
        recorder()(address);
        return;
    }
    const QUrl url = addressUrl(address);
    askDesktop(parent, url.toString(QUrl::FullyEncoded), url, addressNotOpenedText(address));
}

QUrl addressUrl(const QString& address)
{
    const QUrl asGiven(address);
    if (asGiven.isValid())
        return asGiven;
    return QUrl(address.trimmed());
}

void setRecorder(std::function<void(const QString&)> r)
{
    recorder() = std::move(r);
}
void clearRecorder()
{
    recorder() = nullptr;
}
void setDesktop(std::function<bool(const QUrl&)> d)
{
    desktop() = std::move(d);
}
void clearDesktop()
{
    desktop() = nullptr;
}
void setOpener(const QString& program)
{
    opener() = program;
}
void clearOpener()
{
    opener().clear();
}

} // namespace ShellOpen
