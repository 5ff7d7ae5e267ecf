#pragma once

#include "generate/office/LibreOfficeSession.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QUrl>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace HelperUno {

inline rtl::OUString toOU(const QString& text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()),
                         static_cast<sal_Int32>(text.size()));
}

inline QString toQ(const rtl::OUString& text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text.getStr()), text.getLength());
}

inline QString fileUrl(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

inline css::beans::PropertyValue unoProperty(const char* name, const css::uno::Any& value)
{
    css::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

} // namespace HelperUno

// An office of the test's own, independent of the code under test: it makes
// the templates the program cannot (password-protected, tags put into the
// parts of a real Word document), converts saved documents, and reads them
// back.
class HelperOffice {
public:
    using Document = css::uno::Reference<css::lang::XComponent>;

    explicit HelperOffice(const QString& profileDir) : m_profile(profileDir) {}
    ~HelperOffice() { stop(); }

    void start()
    {
        using namespace HelperUno;
        using css::uno::Reference;
        static Reference<css::uno::XComponentContext> local;
        const QString programDir = LibreOfficeSession::DefaultProgramDir();
        if (!local.is()) {
            rtl::Bootstrap::set(
                rtl::OUString("URE_BOOTSTRAP"),
                toOU(u"vnd.sun.star.pathname:"_qs + programDir + u"/fundamentalrc"_qs));
            local = cppu::defaultBootstrap_InitialComponentContext(
                toOU(fileUrl(programDir + u"/unorc"_qs)));
        }
        const QString pipe =
            u"lumarel-test-%1"_qs.arg(QRandomGenerator::system()->generate64(), 0, 16);
        for (int attempt = 0; attempt < 3 && !m_desktop.is(); ++attempt) {
            m_process.setProgram(programDir + u"/soffice.bin"_qs);
            m_process.setArguments({u"-env:UserInstallation="_qs + fileUrl(m_profile),
                                    u"--headless"_qs, u"--norestore"_qs, u"--nologo"_qs,
                                    u"--nodefault"_qs, u"--nolockcheck"_qs,
                                    u"--accept=pipe,name="_qs + pipe + u";urp;"_qs});
            m_process.setStandardOutputFile(QProcess::nullDevice());
            m_process.setStandardErrorFile(QProcess::nullDevice());
            m_process.setChildProcessModifier([] {
                ::setsid();
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            });
            m_process.start();
            QVERIFY(m_process.waitForStarted());
            m_pid = m_process.processId();
            QElapsedTimer clock;
            clock.start();
            // Until it listens, or exits asking for a restart (a new profile).
            while (m_process.state() != QProcess::NotRunning && clock.elapsed() < 60000) {
                try {
                    const Reference<css::bridge::XUnoUrlResolver> resolver =
                        css::bridge::UnoUrlResolver::create(local);
                    Reference<css::uno::XComponentContext> remote(
                        resolver->resolve(toOU(u"uno:pipe,name="_qs + pipe +
                                               u";urp;StarOffice.ComponentContext"_qs)),
                        css::uno::UNO_QUERY_THROW);
                    m_desktop = css::frame::Desktop::create(remote);
                    break;
                } catch (const css::connection::NoConnectException&) {
                    m_process.waitForFinished(100);
                }
            }
        }
        QVERIFY(m_desktop.is());
    }

    Document load(const QString& path)
    {
        using namespace HelperUno;
        const css::beans::PropertyValue loadArgs[] = {unoProperty("Hidden", css::uno::Any(true))};
        return m_desktop->loadComponentFromURL(
            toOU(fileUrl(path)), rtl::OUString("_blank"), 0,
            css::uno::Sequence<css::beans::PropertyValue>(loadArgs, 1));
    }

    // A new, empty text document.
    Document create()
    {
        using namespace HelperUno;
        const css::beans::PropertyValue loadArgs[] = {unoProperty("Hidden", css::uno::Any(true))};
        return m_desktop->loadComponentFromURL(
            rtl::OUString("private:factory/swriter"), rtl::OUString("_blank"), 0,
            css::uno::Sequence<css::beans::PropertyValue>(loadArgs, 1));
    }

    static void store(const Document& doc, const QString& target, const char* filter,
                      const QList<css::beans::PropertyValue>& extra = {})
    {
        using namespace HelperUno;
        css::uno::Sequence<css::beans::PropertyValue> args(1 + extra.size());
        args.getArray()[0] =
            unoProperty("FilterName", css::uno::Any(rtl::OUString::createFromAscii(filter)));
        for (qsizetype k = 0; k < extra.size(); ++k)
            args.getArray()[k + 1] = extra.at(k);
        css::uno::Reference<css::frame::XStorable>(doc, css::uno::UNO_QUERY_THROW)
            ->storeToURL(toOU(fileUrl(target)), args);
    }

    static void close(const Document& doc)
    {
        css::uno::Reference<css::util::XCloseable>(doc, css::uno::UNO_QUERY_THROW)->close(true);
    }

    // Opens source and stores it at target with the given filter and media
    // descriptor entries.
    void convert(const QString& source, const QString& target, const char* filter,
                 const QList<css::beans::PropertyValue>& extra = {})
    {
        const Document doc = load(source);
        QVERIFY(doc.is());
        store(doc, target, filter, extra);
        close(doc);
    }

    void stop()
    {
        if (m_desktop.is()) {
            try {
                m_desktop->terminate();
            } catch (...) {
                // gone while answering
            }
            m_desktop.clear();
        }
        if (m_pid > 0) {
            m_process.waitForFinished(10000);
            ::kill(static_cast<pid_t>(-m_pid), SIGKILL);
            m_process.waitForFinished(10000);
            m_pid = 0;
        }
    }

private:
    QString m_profile;
    QProcess m_process;
    qint64 m_pid = 0;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
};
