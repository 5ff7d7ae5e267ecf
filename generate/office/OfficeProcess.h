#pragma once

#include "generate/office/ScratchFolder.h"

#include <QProcess>
#include <QString>

#include <com/sun/star/frame/XDesktop2.hpp>

#include <memory>

// The office process: soffice.bin as the leader of a process group of its
// own, so that ending it ends everything it spawned.
class OfficeProcess {
public:
    // Starts the office on the given profile, listening on a pipe of a new
    // name; hidden, or without a display, it runs headless.
    void launch(const QString& programDir, const QString& profileDir, bool hidden);
    // Kills the whole process group, if any. Never throws.
    void stop() noexcept;
    // Asks the office through its desktop to end, and kills it when it does
    // not in time. Never throws.
    void terminate(css::uno::Reference<css::frame::XDesktop2> desktop) noexcept;

    bool running() const { return m_process.state() != QProcess::NotRunning; }
    // Whether the process still lives (a killed one may not have been reaped
    // yet).
    bool alive();
    // How a process that has ended did: its exit code, -1 when it crashed.
    int exitCode() const;
    void waitForFinished(int ms) { m_process.waitForFinished(ms); }

    qint64 pid() const { return m_pid; }
    const QString& pipeName() const { return m_pipeName; }

private:
    // The office's own temporary folder, when it is not the system's; it
    // outlives the process.
    std::unique_ptr<ScratchFolder> m_temp;
    QProcess m_process;
    qint64 m_pid = 0;
    QString m_pipeName;
};
