#pragma once

#include "records/ProgramFacts.h"
#include "settings/WorkDir.h"
#include "update/FileVersion.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

class Notifier;

// One run of the "Оновити версію..." command: download the newest program
// file into AddInfo, read its version and decide. Blocks the calling thread
// until the download ends; the window sets the busy cursor around run().
class UpdateCheck {
public:
    enum class Outcome { NoConnection, NotNewer, NoVersionInfo, Newer };

    // This program's own version; the check never reads it from the file.
    static constexpr quint16 OwnMajor = ProgramVersion::Major;
    static constexpr quint16 OwnMinor = ProgramVersion::Minor;
    // A download that delivers nothing for this long is given up.
    static constexpr std::chrono::milliseconds DefaultStallLimit{60'000};
    // Far beyond any program file; a hostile server cannot fill the memory.
    static constexpr qint64 MaxDownloadSize = qint64(256) * 1024 * 1024;

    // The maker's site; the download lies under it at downloadPathOnSite().
    static QUrl defaultBaseUrl();
    static QString downloadPathOnSite();

    // Tests pass a loopback base and a short stall limit. Plain http is
    // accepted for loopback hosts only; the program itself uses https.
    explicit UpdateCheck(WorkDir workDir, QUrl baseUrl = defaultBaseUrl(),
                         std::chrono::milliseconds stallLimit = DefaultStallLimit);

    // Whether a download from this address may be tried at all.
    static bool addressAllowed(const QUrl& url);

    QUrl downloadUrl() const;
    QString downloadFile() const; // WorkDir/AddInfo/Lumarel.exe

    // Download, write, read the version, compare. Nothing survives the call
    // but the written file.
    Outcome run();

    // Newer only when (major, minor) is above (2, 5) in order.
    static bool isNewer(const FileVersion& v);
    static QString message(Outcome outcome);

private:
    std::optional<QByteArray> download() const;
    bool store(const QByteArray& body) const;

    WorkDir m_workDir;
    QUrl m_baseUrl;
    std::chrono::milliseconds m_stallLimit;
};

// Starts WorkDir/LUMA_Loader.exe detached, with no arguments; whether it
// started is not looked at (a missing loader simply installs nothing).
void StartLoader(const WorkDir& workDir);

// The rest of the command after run(), once the busy cursor is gone: shows
// the outcome's message and, for a newer download, starts the loader.
// True when the application must now end.
bool ConcludeUpdate(UpdateCheck::Outcome outcome, const WorkDir& workDir, Notifier& notifier);
