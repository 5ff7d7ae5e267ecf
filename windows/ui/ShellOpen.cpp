#include "windows/ui/ShellOpen.h"

#include <QDesktopServices>

namespace ShellOpen {

namespace {
std::function<void(const QString&)>& recorder()
{
    static std::function<void(const QString&)> r;
    return r;
}
} // namespace

void openFile(const QString& path)
{
    if (recorder()) {
        recorder()(path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void openAddress(const QString& address)
{
    if (recorder()) {
        recorder()(address);
        return;
    }
    QDesktopServices::openUrl(addressUrl(address));
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

} // namespace ShellOpen
