#include "generate/office/OfficeBridge.h"

#include "generate/office/OfficeCalls.h"
#include "generate/office/OfficeProcess.h"
#include "generate/office/OfficeProfile.h"
#include "generate/office/OfficeStrings.h"
#include "records/LumarelError.h"

#include <QElapsedTimer>

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <csignal>
#include <mutex>

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

constexpr int ConnectTimeoutMs = 60000;
// soffice.bin asks its launcher for a restart with this code (first start of
// a profile, extension changes).
constexpr int RestartExitCode = 81;

// The client side of the bridge, made once per process from the office's own
// ini files (never from files beside our program).
Reference<css::uno::XComponentContext> localContext(const QString& programDir)
{
    // Offices of a batch start side by side on worker threads.
    static std::mutex made;
    const std::lock_guard lock(made);
    static Reference<css::uno::XComponentContext> context;
    if (!context.is()) {
        // The bridge writes to the office's pipe; an office that died under a
        // call must raise an error we retry on, not end this process.
        std::signal(SIGPIPE, SIG_IGN);
        try {
            rtl::Bootstrap::set(OUString("URE_BOOTSTRAP"),
                                toOU(QStringLiteral("vnd.sun.star.pathname:") + programDir +
                                     QStringLiteral("/fundamentalrc")));
            context = cppu::defaultBootstrap_InitialComponentContext(
                toOU(FileUrl(programDir + QStringLiteral("/unorc"))));
        } catch (const css::uno::Exception& e) {
            ThrowOfficeError(QStringLiteral("Не вдалося ініціалізувати UNO"), e);
        } catch (const cppu::BootstrapException& e) {
            throw LumarelError(QStringLiteral("Не вдалося ініціалізувати UNO: ") +
                               toQ(e.getMessage()));
        }
    }
    return context;
}

} // namespace

// False while the office does not listen yet; throws when it refuses.
bool OfficeBridge::tryConnect(const Reference<css::uno::XComponentContext>& local,
                              const QString& pipeName)
{
    const OUString url = toOU(QStringLiteral("uno:pipe,name=") + pipeName +
                              QStringLiteral(";urp;StarOffice.ComponentContext"));
    try {
        const Reference<css::bridge::XUnoUrlResolver> resolver =
            css::bridge::UnoUrlResolver::create(local);
        m_remote.set(resolver->resolve(url), UNO_QUERY_THROW);
        m_desktop = css::frame::Desktop::create(m_remote);
        MarkProfileCurrent(m_remote);
        TurnOffSpellingAsYouType(m_remote);
        if (m_useLoops)
            m_loops.install(m_remote);
        return true;
    } catch (const css::connection::NoConnectException&) {
        return false;
    } catch (const css::uno::Exception&) {
        m_remote.clear();
        throw;
    }
}

void OfficeBridge::connect(OfficeProcess& process, OfficeProfile& profile,
                           const QString& programDir, bool hidden)
{
    const Reference<css::uno::XComponentContext> local = localContext(programDir);
    bool profileWiped = false;
    int restarts = 0;
    process.launch(programDir, profile.dir(), hidden);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        try {
            if (tryConnect(local, process.pipeName()))
                return;
        } catch (const css::uno::Exception& e) {
            if (process.running()) {
                process.stop();
                ThrowOfficeError(QStringLiteral("Не вдалося з'єднатися з LibreOffice"), e);
            }
        }
        if (!process.running()) {
            const int code = process.exitCode();
            process.stop();
            if (code == RestartExitCode && restarts < 2) {
                ++restarts;
            } else if (!profileWiped) {
                // A profile left damaged by a crash: start once more on a fresh one.
                profileWiped = true;
                profile.wipe();
            } else {
                throw LumarelError(
                    QStringLiteral("LibreOffice завершився під час запуску (код %1)").arg(code));
            }
            process.launch(programDir, profile.dir(), hidden);
            continue;
        }
        if (clock.elapsed() > ConnectTimeoutMs) {
            process.stop();
            throw LumarelError(QStringLiteral("LibreOffice не відповідає"));
        }
        process.waitForFinished(10);
    }
}

Reference<css::frame::XDesktop2> OfficeBridge::release() noexcept
{
    Reference<css::frame::XDesktop2> desktop = std::move(m_desktop);
    m_desktop.clear();
    m_remote.clear();
    m_loops.clear();
    return desktop;
}
