#include "generate/LibreOfficeSession.h"

#include "generate/OfficeLocale.h"
#include "records/LumarelError.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>
#include <com/sun/star/util/XReplaceable.hpp>
#include <com/sun/star/util/XSearchable.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>
#include <rtl/ustrbuf.hxx>

#include <atomic>
#include <csignal>
#include <mutex>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;
using rtl::OUStringBuffer;

namespace {

constexpr int ConnectTimeoutMs = 60000;
constexpr int QuitTimeoutMs = 20000;
// soffice.bin asks its launcher for a restart with this code (first start of
// a profile, extension changes).
constexpr int RestartExitCode = 81;
constexpr int ProfilePoolSize = 64;

OUString toOU(const QString& text)
{
    return OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()),
                    static_cast<sal_Int32>(text.size()));
}

QString toQ(const OUString& text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text.getStr()), text.getLength());
}

QString fileUrl(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

css::beans::PropertyValue property(const char* name, const css::uno::Any& value)
{
    css::beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

[[noreturn]] void throwOfficeError(const QString& what, const css::uno::Exception& e)
{
    const QString message = toQ(e.Message).trimmed();
    throw LumarelError(message.isEmpty() ? what : what + QStringLiteral(": ") + message);
}

QString lostText(const QString& what)
{
    return what + QStringLiteral(": LibreOffice аварійно завершив роботу");
}

// Runs one step against the office, turning its exceptions into ours. A
// disposed bridge, or any failure once the process has gone, means the office
// is lost rather than the step refused.
template <class F, class Alive>
auto officeStep(const QString& what, Alive&& alive, F&& step) -> decltype(step())
{
    try {
        return step();
    } catch (const css::lang::DisposedException&) {
        throw OfficeLostError(lostText(what));
    } catch (const css::uno::Exception& e) {
        if (!alive())
            throw OfficeLostError(lostText(what));
        throwOfficeError(what, e);
    }
}

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The client side of the bridge, made once per process from the office's own
// ini files (never from files beside our program).
Reference<css::uno::XComponentContext> localContext(const QString& programDir)
{
    // Offices of a batch start side by side on worker threads.
    static std::mutex made;
    const std::lock_guard lock(made);
    static Reference<css::uno::XComponentContext> context;
    if (!context.is()) {
        try {
            rtl::Bootstrap::set(OUString("URE_BOOTSTRAP"),
                                toOU(QStringLiteral("vnd.sun.star.pathname:") + programDir +
                                     QStringLiteral("/fundamentalrc")));
            context = cppu::defaultBootstrap_InitialComponentContext(
                toOU(fileUrl(programDir + QStringLiteral("/unorc"))));
        } catch (const css::uno::Exception& e) {
            throwOfficeError(QStringLiteral("Не вдалося ініціалізувати UNO"), e);
        } catch (const cppu::BootstrapException& e) {
            throw LumarelError(QStringLiteral("Не вдалося ініціалізувати UNO: ") +
                               toQ(e.getMessage()));
        }
    }
    return context;
}

// Collects the text of a body or a table cell, tables included. As in Word,
// a paragraph ends with CR and a line break inside one reads as LF.
void collectText(const Reference<css::text::XText>& text, OUStringBuffer& out)
{
    Reference<css::container::XEnumerationAccess> access(text, UNO_QUERY);
    if (!access.is()) {
        out.append(text->getString());
        return;
    }
    const Reference<css::container::XEnumeration> items = access->createEnumeration();
    while (items->hasMoreElements()) {
        const css::uno::Any item = items->nextElement();
        Reference<css::text::XTextTable> table(item, UNO_QUERY);
        if (table.is()) {
            const css::uno::Sequence<OUString> names = table->getCellNames();
            for (const OUString& name : names) {
                Reference<css::text::XText> cell(table->getCellByName(name), UNO_QUERY);
                if (cell.is())
                    collectText(cell, out);
            }
            continue;
        }
        Reference<css::text::XTextRange> range(item, UNO_QUERY);
        if (range.is()) {
            out.append(range->getString());
            out.append("\r");
        }
    }
}

} // namespace

struct LibreOfficeSession::Impl {
    QString programDir;
    bool hidden = true;
    QProcess process;
    qint64 pid = 0;
    std::unique_ptr<QLockFile> profileLock;
    QString profileDir;
    QString pipeName;
    Reference<css::uno::XComponentContext> remote;
    Reference<css::frame::XDesktop2> desktop;
    Reference<css::lang::XComponent> document;
    // Made once per document: each property set on it is a call into the office.
    Reference<css::util::XReplaceDescriptor> find;
    // How many "#" the document holds wherever its search reaches; -1 until
    // asked.
    int hashes = -1;
    int hashesInText = 0;
    std::unique_ptr<QTemporaryDir> copyDir;

    void takeProfile();
    void launch();
    void connect();
    void stopProcess() noexcept;
    void terminateOffice() noexcept;
    void releaseProfile() noexcept;
    bool running() const { return process.state() != QProcess::NotRunning; }
    // Whether the office process still lives (a killed one may not have been
    // reaped yet).
    bool alive()
    {
        if (!running())
            return false;
        process.waitForFinished(0);
        return running() && ::kill(static_cast<pid_t>(pid), 0) == 0;
    }
    template <class F> auto step(const QString& what, F&& f)
    {
        return officeStep(what, [this] { return alive(); }, std::forward<F>(f));
    }
};

// A profile of our own, reused between runs for speed; the lock keeps two of
// our offices from sharing one (a second office on the same profile would hand
// its work to the first and exit).
void LibreOfficeSession::Impl::takeProfile()
{
    // Two threads of ours must not race for the same lock file.
    static std::mutex taking;
    const std::lock_guard lock(taking);
    QString root = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (root.isEmpty())
        root = QDir::tempPath();
    root += QStringLiteral("/lumarel");
    if (!QDir().mkpath(root))
        throw LumarelError(QStringLiteral("Не вдалося створити папку ") + root);
    for (int k = 0; k < ProfilePoolSize; ++k) {
        const QString dir = root + QStringLiteral("/office-profile-%1").arg(k);
        auto lock = std::make_unique<QLockFile>(dir + QStringLiteral(".lock"));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            if (!QDir().mkpath(dir))
                throw LumarelError(QStringLiteral("Не вдалося створити папку ") + dir);
            profileLock = std::move(lock);
            profileDir = dir;
            return;
        }
    }
    throw LumarelError(QStringLiteral("Усі профілі LibreOffice зайняті (") + root +
                       QStringLiteral(")"));
}

void LibreOfficeSession::Impl::launch()
{
    pipeName = QStringLiteral("lumarel-%1-%2")
                   .arg(QCoreApplication::applicationPid())
                   .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    QStringList args{
        QStringLiteral("-env:UserInstallation=") + fileUrl(profileDir),
        QStringLiteral("--norestore"),
        QStringLiteral("--nologo"),
        QStringLiteral("--nodefault"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--nofirststartwizard"),
        QStringLiteral("--accept=pipe,name=") + pipeName +
            QStringLiteral(";urp;StarOffice.ComponentContext"),
    };
    // Without a display the office cannot show itself anyway.
    if (hidden || !hasDisplay())
        args.append(QStringLiteral("--headless"));

    QProcessEnvironment env = OfficeLocale::WithUtf8(QProcessEnvironment::systemEnvironment());
    env.remove(QStringLiteral("URE_BOOTSTRAP"));
    env.insert(QStringLiteral("SAL_ENABLE_FILE_LOCKING"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.setProgram(programDir + QStringLiteral("/soffice.bin"));
    process.setArguments(args);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    // Own process group, so that quit can end everything the office spawned;
    // and the office dies with us should we crash.
    process.setChildProcessModifier([] {
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    process.start();
    if (!process.waitForStarted(10000)) {
        const QString reason = process.errorString();
        stopProcess();
        throw LumarelError(QStringLiteral("Не вдалося запустити LibreOffice: ") + reason);
    }
    pid = process.processId();
}

void LibreOfficeSession::Impl::connect()
{
    const Reference<css::uno::XComponentContext> local = localContext(programDir);
    bool profileWiped = false;
    int restarts = 0;
    launch();
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const OUString url = toOU(QStringLiteral("uno:pipe,name=") + pipeName +
                                  QStringLiteral(";urp;StarOffice.ComponentContext"));
        try {
            const Reference<css::bridge::XUnoUrlResolver> resolver =
                css::bridge::UnoUrlResolver::create(local);
            remote.set(resolver->resolve(url), UNO_QUERY_THROW);
            desktop = css::frame::Desktop::create(remote);
            return;
        } catch (const css::connection::NoConnectException&) {
            // not listening yet
        } catch (const css::uno::Exception& e) {
            remote.clear();
            if (running()) {
                stopProcess();
                throwOfficeError(QStringLiteral("Не вдалося з'єднатися з LibreOffice"), e);
            }
        }
        if (!running()) {
            const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
            stopProcess();
            if (code == RestartExitCode && restarts < 2) {
                ++restarts;
            } else if (!profileWiped) {
                // A profile left damaged by a crash: start once more on a fresh one.
                profileWiped = true;
                QDir(profileDir).removeRecursively();
                QDir().mkpath(profileDir);
            } else {
                throw LumarelError(
                    QStringLiteral("LibreOffice завершився під час запуску (код %1)").arg(code));
            }
            launch();
            continue;
        }
        if (clock.elapsed() > ConnectTimeoutMs) {
            stopProcess();
            throw LumarelError(QStringLiteral("LibreOffice не відповідає"));
        }
        process.waitForFinished(100);
    }
}

void LibreOfficeSession::Impl::stopProcess() noexcept
{
    if (pid <= 0)
        return;
    if (running()) {
        ::kill(static_cast<pid_t>(-pid), SIGKILL);
        process.waitForFinished(10000);
    }
    // Whatever the office started in its group goes too.
    ::kill(static_cast<pid_t>(-pid), SIGKILL);
    pid = 0;
}

// terminate() is a call into the office that a hung office would never
// answer: it runs aside while we watch the process, which is killed when it
// does not end in time (a dead process also ends the call).
void LibreOfficeSession::Impl::terminateOffice() noexcept
{
    Reference<css::frame::XDesktop2> desk = std::move(desktop);
    desktop.clear();
    remote.clear();
    if (!desk.is() || !running()) {
        stopProcess();
        return;
    }
    std::atomic<bool> answered{false};
    std::thread call([&desk, &answered] {
        try {
            desk->terminate();
        } catch (...) {
            // DisposedException: the office went away while answering
        }
        desk.clear();
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
        process.waitForFinished(50);
    }
    stopProcess();
    call.join();
}

void LibreOfficeSession::Impl::releaseProfile() noexcept
{
    if (profileLock)
        profileLock->unlock();
    profileLock.reset();
}

LibreOfficeSession::LibreOfficeSession(QString programDir) : d(std::make_unique<Impl>())
{
    d->programDir = std::move(programDir);
}

LibreOfficeSession::~LibreOfficeSession()
{
    quit();
}

QString LibreOfficeSession::DefaultProgramDir()
{
    return QStringLiteral(LUMAREL_OFFICE_PROGRAM_DIR);
}

bool LibreOfficeSession::IsInstalled(const QString& programDir)
{
    const QDir dir(programDir);
    return QFileInfo(dir.filePath(QStringLiteral("soffice.bin"))).isExecutable() &&
           QFileInfo::exists(dir.filePath(QStringLiteral("types.rdb"))) &&
           QFileInfo::exists(dir.filePath(QStringLiteral("types/offapi.rdb"))) &&
           QFileInfo::exists(dir.filePath(QStringLiteral("services.rdb"))) &&
           QFileInfo::exists(dir.filePath(QStringLiteral("unorc"))) &&
           QFileInfo::exists(dir.filePath(QStringLiteral("fundamentalrc")));
}

qint64 LibreOfficeSession::processId() const
{
    return d->running() ? d->pid : 0;
}

void LibreOfficeSession::start(bool keepHidden)
{
    if (d->desktop.is())
        throw LumarelError(QStringLiteral("LibreOffice вже запущено"));
    if (!IsInstalled(d->programDir))
        throw LumarelError(QStringLiteral("LibreOffice не знайдено в ") + d->programDir);
    d->hidden = keepHidden;
    try {
        d->takeProfile();
        d->connect();
    } catch (...) {
        d->stopProcess();
        d->releaseProfile();
        throw;
    }
}

void LibreOfficeSession::open(const QString& templatePath)
{
    if (!d->desktop.is())
        throw LumarelError(QStringLiteral("LibreOffice не запущено"));
    closeDocument();
    // The office works on a private copy: the template is never written, and
    // no lock file appears beside it.
    auto copyDir =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/lumarel-XXXXXX"));
    const QString suffix = QFileInfo(templatePath).suffix();
    const QString copy = copyDir->filePath(suffix.isEmpty() ? QStringLiteral("template")
                                                            : QStringLiteral("template.") + suffix);
    if (!copyDir->isValid() || !QFile::copy(templatePath, copy))
        throw LumarelError(QStringLiteral("Не вдалося прочитати шаблон ") + templatePath);
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);

    const QString what = QStringLiteral("Не вдалося відкрити шаблон ") + templatePath;
    bool isText = false;
    Reference<css::lang::XComponent> doc = d->step(what, [&] {
        const css::beans::PropertyValue args[] = {
            property("Hidden", css::uno::Any(d->hidden)),
            property("ReadOnly", css::uno::Any(false)),
            property("MacroExecutionMode",
                     css::uno::Any(css::document::MacroExecMode::NEVER_EXECUTE)),
            property("UpdateDocMode", css::uno::Any(css::document::UpdateDocMode::NO_UPDATE)),
        };
        Reference<css::lang::XComponent> loaded = d->desktop->loadComponentFromURL(
            toOU(fileUrl(copy)), OUString("_blank"), 0,
            css::uno::Sequence<css::beans::PropertyValue>(args, std::size(args)));
        isText = Reference<css::text::XTextDocument>(loaded, UNO_QUERY).is();
        return loaded;
    });
    if (!doc.is())
        throw LumarelError(what);
    if (!isText) {
        d->document = doc;
        closeDocument();
        throw LumarelError(what + QStringLiteral(": це не текстовий документ"));
    }
    d->document = doc;
    d->copyDir = std::move(copyDir);
    // No view to update while the tags are replaced.
    d->step(what, [&] {
        Reference<css::frame::XModel> model(doc, UNO_QUERY);
        if (model.is())
            model->lockControllers();
    });
}

QString LibreOfficeSession::ReadDocumentText()
{
    if (!d->document.is())
        throw LumarelError(QStringLiteral("Документ не відкрито"));
    return d->step(QStringLiteral("Не вдалося прочитати текст документа"), [&] {
        Reference<css::text::XTextDocument> doc(d->document, UNO_QUERY_THROW);
        OUStringBuffer out;
        collectText(doc->getText(), out);
        return toQ(out.makeStringAndClear());
    });
}

// Walking the paragraphs costs a call each; without tables, the body's text
// comes in one.
QString LibreOfficeSession::ReadTextForSearch()
{
    if (!d->document.is())
        throw LumarelError(QStringLiteral("Документ не відкрито"));
    const QString what = QStringLiteral("Не вдалося прочитати текст документа");
    const bool hasTables = d->step(what, [&] {
        Reference<css::text::XTextTablesSupplier> tables(d->document, UNO_QUERY);
        return !tables.is() || tables->getTextTables()->hasElements();
    });
    const QString text = hasTables ? ReadDocumentText() : d->step(what, [&] {
        Reference<css::text::XTextDocument> doc(d->document, UNO_QUERY_THROW);
        return toQ(doc->getText()->getString());
    });
    if (d->hashes < 0) {
        d->hashesInText = static_cast<int>(text.count(u'#'));
        d->hashes = d->step(what, [&] {
            Reference<css::util::XSearchable> doc(d->document, UNO_QUERY_THROW);
            Reference<css::util::XSearchDescriptor> find = doc->createSearchDescriptor();
            find->setSearchString(OUString("#"));
            const Reference<css::container::XIndexAccess> found = doc->findAll(find);
            return found.is() ? static_cast<int>(found->getCount()) : 0;
        });
    }
    return text;
}

// The office's own search counts the "#" it can reach: more than the text
// shows means tags outside it (headers, footers, frames, notes).
bool LibreOfficeSession::TextCoversDocument()
{
    if (d->hashes < 0)
        ReadTextForSearch();
    return d->hashes <= d->hashesInText;
}

bool LibreOfficeSession::ReplaceTag(const QString& tag, const QString& value)
{
    if (!d->document.is())
        throw LumarelError(QStringLiteral("Документ не відкрито"));
    if (tag.isEmpty())
        return false;
    // Writer keeps a line break inside a paragraph as LF.
    QString text = value;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return d->step(QStringLiteral("Не вдалося замінити ") + tag, [&] {
        Reference<css::util::XReplaceable> doc(d->document, UNO_QUERY_THROW);
        if (!d->find.is()) {
            Reference<css::util::XReplaceDescriptor> find = doc->createReplaceDescriptor();
            Reference<css::beans::XPropertySet> options(find, UNO_QUERY_THROW);
            options->setPropertyValue(OUString("SearchRegularExpression"), css::uno::Any(false));
            options->setPropertyValue(OUString("SearchSimilarity"), css::uno::Any(false));
            options->setPropertyValue(OUString("SearchWords"), css::uno::Any(false));
            options->setPropertyValue(OUString("SearchCaseSensitive"), css::uno::Any(false));
            options->setPropertyValue(OUString("SearchStyles"), css::uno::Any(false));
            options->setPropertyValue(OUString("SearchBackwards"), css::uno::Any(false));
            d->find = find;
        }
        d->find->setSearchString(toOU(tag));
        d->find->setReplaceString(toOU(text));
        return doc->replaceAll(Reference<css::util::XSearchDescriptor>(d->find.get())) > 0;
    });
}

void LibreOfficeSession::saveAs(const QString& path)
{
    if (!d->document.is())
        throw LumarelError(QStringLiteral("Документ не відкрито"));
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        throw LumarelError(QStringLiteral("Файл ") + path + QStringLiteral(" вже існує"));
    // The office would make missing folders on its own.
    if (!target.absoluteDir().exists())
        throw LumarelError(QStringLiteral("Папка ") + target.absolutePath() +
                           QStringLiteral(" не існує"));
    try {
        d->step(QStringLiteral("Не вдалося зберегти документ ") + path, [&] {
            Reference<css::frame::XStorable> doc(d->document, UNO_QUERY_THROW);
            const css::beans::PropertyValue args[] = {
                property("FilterName", css::uno::Any(OUString("MS Word 97"))),
                property("Overwrite", css::uno::Any(false)),
            };
            doc->storeToURL(toOU(fileUrl(path)),
                            css::uno::Sequence<css::beans::PropertyValue>(args, std::size(args)));
        });
    } catch (...) {
        // The path was free before: whatever lies there now is our broken half.
        QFile::remove(path);
        throw;
    }
    if (!QFileInfo::exists(path))
        throw LumarelError(QStringLiteral("Не вдалося зберегти документ ") + path);
}

void LibreOfficeSession::closeDocument() noexcept
{
    Reference<css::lang::XComponent> doc = std::move(d->document);
    d->document.clear();
    d->find.clear();
    d->hashes = -1;
    if (doc.is()) {
        try {
            Reference<css::util::XCloseable> closeable(doc, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
            else
                doc->dispose();
        } catch (const css::util::CloseVetoException&) {
            // closes itself later, when whoever vetoed lets go
        } catch (...) {
            // a dead office: quit ends the process
        }
        doc.clear();
    }
    d->copyDir.reset();
}

void LibreOfficeSession::quit() noexcept
{
    closeDocument();
    d->terminateOffice();
    d->releaseProfile();
}
