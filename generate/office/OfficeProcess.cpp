#include "generate/office/OfficeProcess.h"

#include "generate/office/OfficeCalls.h"
#include "generate/office/OfficeLocale.h"
#include "records/LumarelError.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <atomic>
#include <csignal>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int QuitTimeoutMs = 20000;

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

void OfficeProcess::launch(const QString& programDir, const QString& profileDir, bool hidden)
{
    m_pipeName = QStringLiteral("lumarel-%1-%2")
                     .arg(QCoreApplication::applicationPid())
                     .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    QStringList args{
        QStringLiteral("-env:UserInstallation=") + FileUrl(profileDir),
        QStringLiteral("--norestore"),
        QStringLiteral("--nologo"),
        QStringLiteral("--nodefault"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--nofirststartwizard"),
        QStringLiteral("--accept=pipe,name=") + m_pipeName +
            QStringLiteral(";urp;StarOffice.ComponentContext"),
    };
    // Without a display the office cannot show itself anyway.
    if (hidden || !hasDisplay())
        args.append(QStringLiteral("--headless"));

    QProcessEnvironment env = OfficeLocale::WithUtf8(QProcessEnvironment::systemEnvironment());
    env.remove(QStringLiteral("URE_BOOTSTRAP"));
    env.insert(QStringLiteral("SAL_ENABLE_FILE_LOCKING"), QStringLiteral("1"));
    // Every store makes and syncs temporary files of the office's own: where
    // our stores go, they cost nothing.
    const QString storeParent = ScratchFolder::StoreParent();
    if (storeParent != QDir::tempPath()) {
        m_temp = std::make_unique<ScratchFolder>(storeParent);
        env.insert(QStringLiteral("TMPDIR"), m_temp->path());
    }
    m_process.setProcessEnvironment(env);
    m_process.setProgram(programDir + QStringLiteral("/soffice.bin"));
    m_process.setArguments(args);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    // Own process group, so that quit can end everything the office spawned;
    // and the office dies with us should we crash.
    m_process.setChildProcessModifier([] {
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    m_process.start();
    if (!m_process.waitForStarted(10000)) {
        const QString reason = m_process.errorString();
        stop();
        throw LumarelError(QStringLiteral("Не вдалося запустити LibreOffice: ") + reason);
    }
    m_pid = m_process.processId();
}

void OfficeProcess::stop() noexcept
{
    if (m_pid > 0) {
        if (running()) {
            ::kill(static_cast<pid_t>(-m_pid), SIGKILL);
            m_process.waitForFinished(10000);
        }
        // Whatever the office started in its group goes too.
        ::kill(static_cast<pid_t>(-m_pid), SIGKILL);
        m_pid = 0;
    }
    m_temp.reset();
}

// terminate() is a call into the office that a hung office would never
// answer: it runs aside while we watch the process, which is killed when it
// does not end in time (a dead process also ends the call).
void OfficeProcess::terminate(css::uno::Reference<css::frame::XDesktop2> desktop) noexcept
{
    if (!desktop.is() || !running()) {
        stop();
        return;
    }
    std::atomic<bool> answered{false};
    std::thread call([&desktop, &answered] {
        try {
            desktop->terminate();
        } catch (...) {
            // DisposedException: the office went away while answering
        }
        desktop.clear();
        answered = true;
    });
    QElapsedTimer clock;
    clock.start();
    qint64 answeredAt = -1;
    while (running() && clock.elapsed() < QuitTimeoutMs) {
        if (answered && answeredAt < 0)
            answeredAt = clock.elapsed();
        // Refused to terminate: a short grace, then it is killed.
        if (answeredAt >= 0 && clock.elapsed() - answeredAt > 3000)
            break;
        m_process.waitForFinished(50);
    }
    stop();
    call.join();
}

bool OfficeProcess::alive()
{
    if (!running())
        return false;
    m_process.waitForFinished(0);
    return running() && ::kill(static_cast<pid_t>(m_pid), 0) == 0;
}

int OfficeProcess::exitCode() const
{
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}
