#include "update/UpdateCheck.h"

#include "records/Notifier.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>

#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {

bool isLoopbackHost(const QString& host)
{
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace

// A program file that is then installed must come over TLS; plain http is
// only for a test server on this machine.
bool UpdateCheck::addressAllowed(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QStringLiteral("https"))
        return true;
    return scheme == QStringLiteral("http") && isLoopbackHost(url.host());
}

QUrl UpdateCheck::defaultBaseUrl()
{
    return QUrl(ProgramFacts::SiteAddress);
}

QString UpdateCheck::downloadPathOnSite()
{
    return QStringLiteral("/uploads/Lumarel.exe");
}

UpdateCheck::UpdateCheck(WorkDir workDir, QUrl baseUrl, std::chrono::milliseconds stallLimit)
    : m_workDir(std::move(workDir)), m_baseUrl(std::move(baseUrl)), m_stallLimit(stallLimit)
{
}

QUrl UpdateCheck::downloadUrl() const
{
    QUrl url = m_baseUrl;
    // No credentials ever go out, not even ones written into the address.
    url.setUserInfo(QString());
    url.setPath(downloadPathOnSite());
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

QString UpdateCheck::downloadFile() const
{
    return QDir(m_workDir.addInfoFolder()).filePath(QStringLiteral("Lumarel.exe"));
}

bool UpdateCheck::isNewer(const FileVersion& v)
{
    if (v.major != OwnMajor)
        return v.major > OwnMajor;
    return v.minor > OwnMinor;
}

QString UpdateCheck::message(Outcome outcome)
{
    switch (outcome) {
    case Outcome::NoConnection:
        return QStringLiteral("Зв`язок з інтернетом відсутній!");
    case Outcome::NotNewer:
        return QStringLiteral("Більш нова версія Програми на веб-сайті ") +
               ProgramFacts::MakerName + QStringLiteral(" відсутня...");
    case Outcome::NoVersionInfo:
        return QStringLiteral("Завантажений файл не містить відомостей про версію. Оновлення не встановлено.");
    case Outcome::Newer:
        return QStringLiteral("Завантажена нова версія Програми! Зараз її буде встановлено...");
    }
    return QString();
}

UpdateCheck::Outcome UpdateCheck::run()
{
    {
        // The client and the body live for this block only.
        const std::optional<QByteArray> body = download();
        if (!body || !store(*body))
            return Outcome::NoConnection;
    }
    const std::optional<FileVersion> version = ReadFileVersion(downloadFile());
    if (!version)
        return Outcome::NoVersionInfo;
    return isNewer(*version) ? Outcome::Newer : Outcome::NotNewer;
}

std::optional<QByteArray> UpdateCheck::download() const
{
    const QUrl url = downloadUrl();
    if (!addressAllowed(url))
        return std::nullopt;

    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    // authenticationRequired stays unconnected: no credentials, so a 401
    // ends the reply with an error.

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader(QByteArrayLiteral("Accept"), QByteArrayLiteral("text/html, */*"));
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QByteArrayLiteral("Mozilla/3.0 (compatible; Indy Library)"));

    const std::unique_ptr<QNetworkReply> reply(manager.get(request));
    QByteArray body;
    bool failed = false;
    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(m_stallLimit);

    QNetworkReply* r = reply.get();
    const auto giveUp = [&] {
        failed = true;
        r->abort();
    };
    QObject::connect(&stall, &QTimer::timeout, r, giveUp);
    QObject::connect(r, &QNetworkReply::metaDataChanged, r, [&] {
        stall.start();
        const QVariant length = r->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > MaxDownloadSize)
            giveUp();
    });
    QObject::connect(r, &QNetworkReply::readyRead, r, [&] {
        stall.start();
        body += r->readAll();
        if (body.size() > MaxDownloadSize)
            giveUp();
    });
    QObject::connect(r, &QNetworkReply::downloadProgress, r, [&] { stall.start(); });
    QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);

    if (!r->isFinished()) {
        stall.start();
        // Timers and sockets run; clicks and keys wait until the check ends.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    stall.stop();
    QObject::disconnect(r, nullptr, nullptr, nullptr);

    if (failed || r->error() != QNetworkReply::NoError)
        return std::nullopt;
    const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status > 299)
        return std::nullopt;
    body += r->readAll();
    if (body.size() > MaxDownloadSize)
        return std::nullopt;
    return body;
}

// Written whole under a temporary name beside the target, then renamed over
// it: the old file stays until the new one is complete, and a link at the
// target is replaced itself, never written through (QSaveFile would follow
// it and write the link's target).
bool UpdateCheck::store(const QByteArray& body) const
{
    const QString folder = m_workDir.addInfoFolder();
    const QString target = downloadFile();
    if (!QDir().mkpath(folder))
        return false;
    // A read-only program file is the user's choice; it stays.
    const QFileInfo existing(target);
    if (!existing.isSymLink() && existing.exists() &&
        (!existing.isFile() || !existing.isWritable()))
        return false;

    QTemporaryFile part(QDir(folder).filePath(QStringLiteral("Lumarel.exe.XXXXXX")));
    if (!part.open())
        return false;
    part.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                        QFile::ReadGroup | QFile::ReadOther);
    if (part.write(body) != body.size() || !part.flush() || ::fsync(part.handle()) != 0)
        return false;
    if (::rename(QFile::encodeName(part.fileName()).constData(),
                 QFile::encodeName(target).constData()) != 0)
        return false;
    part.setAutoRemove(false);
    return true;
}

void StartLoader(const WorkDir& workDir)
{
    QProcess::startDetached(workDir.filePath(QStringLiteral("LUMA_Loader.exe")), QStringList(),
                            workDir.path());
}

bool ConcludeUpdate(UpdateCheck::Outcome outcome, const WorkDir& workDir, Notifier& notifier)
{
    notifier.showMessage(UpdateCheck::message(outcome), Notifier::Icon::Information);
    if (outcome != UpdateCheck::Outcome::Newer)
        return false;
    StartLoader(workDir);
    return true;
}
