#pragma once

#include "generate/office/OfficeLoops.h"

#include <QString>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

class OfficeProcess;
class OfficeProfile;

// The UNO bridge to an office of ours: its context, its desktop and the loops
// installed in it.
class OfficeBridge {
public:
    // Whether connect() installs the loops; false means call by call.
    void setLoops(bool inOffice) { m_useLoops = inOffice; }

    // Launches the office on the profile and connects to it, within a bound
    // of time. An office that asks for a restart, or dies on a profile a
    // crash left damaged, is started again.
    void connect(OfficeProcess& process, OfficeProfile& profile, const QString& programDir,
                 bool hidden);
    bool connected() const { return m_desktop.is(); }

    const css::uno::Reference<css::uno::XComponentContext>& remote() const { return m_remote; }
    const css::uno::Reference<css::frame::XDesktop2>& desktop() const { return m_desktop; }
    OfficeLoops& loops() { return m_loops; }

    // Lets go of the office, handing back what can still end it.
    css::uno::Reference<css::frame::XDesktop2> release() noexcept;

private:
    bool tryConnect(const css::uno::Reference<css::uno::XComponentContext>& local,
                    const QString& pipeName);

    css::uno::Reference<css::uno::XComponentContext> m_remote;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
    OfficeLoops m_loops;
    bool m_useLoops = true;
};
