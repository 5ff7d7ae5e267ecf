#include "windows/ui/ShellOpen.h"

#include "windows/ui/MessageBoxes.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

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

bool askDesktop(const QUrl& url)
{
    if (desktop())
        return desktop()(url);
    return QDesktopServices::openUrl(url);
}
} // namespace

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
    if (!askDesktop(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())))
        MessageBoxes::plain(parent, fileNotOpenedText(path));
}

void openAddress(QWidget* parent, const QString& address)
{
    if (recorder()) {
        recorder()(address);
        return;
    }
    if (!askDesktop(addressUrl(address)))
        MessageBoxes::plain(parent, addressNotOpenedText(address));
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

} // namespace ShellOpen
