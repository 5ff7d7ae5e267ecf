#include "generate/office/LibreOfficeSession.h"

#include "generate/office/OfficeLocale.h"
#include "generate/office/OfficeLoops.h"
#include "generate/office/OfficeStrings.h"
#include "generate/tags/TagMatches.h"
#include "records/LumarelError.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/UnknownPropertyException.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XRedlinesSupplier.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XEndnotesSupplier.hpp>
#include <com/sun/star/text/XFootnotesSupplier.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>
#include <com/sun/star/util/XReplaceable.hpp>
#include <com/sun/star/util/XSearchable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>
#include <rtl/ustrbuf.hxx>

#include <atomic>
#include <csignal>
#include <map>
#include <mutex>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>
#include <utility>

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
// Templates held open per office: one for each kind of document.
constexpr size_t MaxKeptTemplates = 8;
// Every filling undone leaves a held template a little slower to edit (half
// a millisecond a document on the bench's form); a new load every ten
// documents keeps it near its best.
constexpr int MaxTemplateUses = 10;
const QString FillingTitle = QStringLiteral("Lumarel: filling");

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
        // The bridge writes to the office's pipe; an office that died under a
        // call must raise an error we retry on, not end this process.
        std::signal(SIGPIPE, SIG_IGN);
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

// An office whose profile does not record that this version has run it
// takes its first start after an upgrade to be every start, and runs its
// drawing self-tests (seconds on a small machine) before it answers. It only
// records that when it shows a document window, which ours never does: the
// profile is told here, for the next start. Never throws: a slow start is no
// error.
void markProfileCurrent(const Reference<css::uno::XComponentContext>& office) noexcept
{
    try {
        const Reference<css::lang::XMultiServiceFactory> provider =
            css::configuration::theDefaultProvider::get(office);
        css::beans::NamedValue node;
        node.Name = OUString("nodepath");
        node.Value <<= OUString("/org.openoffice.Setup/Product");
        const css::uno::Any arguments[] = {css::uno::Any(node)};
        const Reference<css::container::XNameAccess> product(
            provider->createInstanceWithArguments(
                OUString("com.sun.star.configuration.ConfigurationUpdateAccess"),
                css::uno::Sequence<css::uno::Any>(arguments, std::size(arguments))),
            UNO_QUERY_THROW);
        OUString version, last;
        product->getByName(OUString("ooSetupVersion")) >>= version;
        product->getByName(OUString("ooSetupLastVersion")) >>= last;
        if (version.isEmpty() || version == last)
            return;
        Reference<css::container::XNameReplace>(product, UNO_QUERY_THROW)
            ->replaceByName(OUString("ooSetupLastVersion"), css::uno::Any(version));
        Reference<css::util::XChangesBatch>(product, UNO_QUERY_THROW)->commitChanges();
    } catch (...) {
        // the next start tries again
    }
}

// Walks a text and the cells of the tables in it, in order: enter(text) for
// the text and for each cell as it is reached, then paragraph(text, item,
// depth) for each item of it that is not a table (depth 0 in the text
// itself). False, and nothing called, when the text cannot be walked.
template <class Enter, class Paragraph>
bool walkText(const Reference<css::text::XText>& text, Enter&& enter, Paragraph&& paragraph,
              int depth = 0)
{
    Reference<css::container::XEnumerationAccess> access(text, UNO_QUERY);
    if (!access.is())
        return false;
    enter(text);
    const Reference<css::container::XEnumeration> items = access->createEnumeration();
    while (items->hasMoreElements()) {
        const css::uno::Any item = items->nextElement();
        Reference<css::text::XTextTable> table(item, UNO_QUERY);
        if (!table.is()) {
            paragraph(text, item, depth);
            continue;
        }
        for (const OUString& name : table->getCellNames()) {
            Reference<css::text::XText> cell(table->getCellByName(name), UNO_QUERY);
            if (cell.is())
                walkText(cell, enter, paragraph, depth + 1);
        }
    }
    return true;
}

// A text that must be walkable: a header's, a shape's.
template <class Enter, class Paragraph>
void walkTextOrThrow(const Reference<css::text::XText>& text, Enter&& enter, Paragraph&& paragraph)
{
    if (!walkText(text, enter, paragraph))
        throw css::uno::RuntimeException(OUString("text without paragraphs"));
}

// Appends a paragraph's text as Word reads it: ended with CR, a line break
// inside it as LF.
void appendParagraph(const css::uno::Any& item, OUStringBuffer& out)
{
    Reference<css::text::XTextRange> range(item, UNO_QUERY);
    if (range.is()) {
        out.append(range->getString());
        out.append("\r");
    }
}

// Collects the text of a body or a table cell, tables included.
void collectText(const Reference<css::text::XText>& text, OUStringBuffer& out)
{
    const bool walked = walkText(
        text, [](const auto&) {},
        [&out](const auto&, const css::uno::Any& item, int) { appendParagraph(item, out); });
    if (!walked)
        out.append(text->getString());
}

// A tag as a regular expression of the office's search: every character
// that could mean something there is escaped.
OUString tagPattern(const QStringList& tags)
{
    QStringList alternatives;
    for (const QString& tag : tags) {
        if (tag.isEmpty())
            continue;
        QString escaped;
        for (const QChar c : tag) {
            if (c.unicode() < 0x80 && !c.isLetterOrNumber() && c != u' ')
                escaped.append(u'\\');
            escaped.append(c);
        }
        alternatives.append(escaped);
    }
    return toOU(alternatives.join(u'|'));
}

// Writer keeps a line break inside a paragraph as LF; a CR would split it.
QString lineBreaks(const QString& value)
{
    QString text = value;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The texts of the drawing shapes on a page or in a group, which the
// document's search does not reach. Text frames are left out: the search
// reaches them, and so is a shape whose text is a frame's ("TextBox").
void collectShapeTexts(const Reference<css::container::XIndexAccess>& shapes,
                       std::vector<Reference<css::text::XText>>& out)
{
    const sal_Int32 count = shapes->getCount();
    for (sal_Int32 k = 0; k < count; ++k) {
        const css::uno::Any item = shapes->getByIndex(k);
        Reference<css::lang::XServiceInfo> info(item, UNO_QUERY);
        if (info.is() && info->supportsService(OUString("com.sun.star.text.TextFrame")))
            continue;
        Reference<css::drawing::XShapes> group(item, UNO_QUERY);
        if (group.is()) {
            collectShapeTexts(Reference<css::container::XIndexAccess>(group, UNO_QUERY_THROW), out);
            continue;
        }
        Reference<css::text::XText> text(item, UNO_QUERY);
        if (!text.is())
            continue;
        Reference<css::beans::XPropertySet> properties(item, UNO_QUERY);
        bool textBox = false;
        try {
            if (properties.is())
                properties->getPropertyValue(OUString("TextBox")) >>= textBox;
        } catch (const css::beans::UnknownPropertyException&) {
            // not a shape of the text document's own kind
        }
        if (!textBox)
            out.push_back(text);
    }
}

// The header and footer texts of every page style that has them on: right
// (or shared), left and first-page ones. The search reaches only those some
// page shows.
void collectHeaderTexts(const Reference<css::lang::XComponent>& document,
                        std::vector<Reference<css::text::XText>>& out)
{
    Reference<css::style::XStyleFamiliesSupplier> families(document, UNO_QUERY_THROW);
    const Reference<css::container::XIndexAccess> styles(
        families->getStyleFamilies()->getByName(OUString("PageStyles")), UNO_QUERY_THROW);
    // Sorted, as getPropertyValues wants them.
    const OUString switchNames[] = {"FirstIsShared", "FooterIsOn", "FooterIsShared", "HeaderIsOn",
                                    "HeaderIsShared"};
    const css::uno::Sequence<OUString> switches(switchNames, std::size(switchNames));
    const sal_Int32 count = styles->getCount();
    for (sal_Int32 k = 0; k < count; ++k) {
        Reference<css::beans::XMultiPropertySet> style(styles->getByIndex(k), UNO_QUERY_THROW);
        const css::uno::Sequence<css::uno::Any> on = style->getPropertyValues(switches);
        bool firstShared = true, footerOn = false, footerShared = true, headerOn = false,
             headerShared = true;
        on[0] >>= firstShared;
        on[1] >>= footerOn;
        on[2] >>= footerShared;
        on[3] >>= headerOn;
        on[4] >>= headerShared;
        std::vector<OUString> names;
        if (footerOn) {
            names.emplace_back("FooterText");
            if (!firstShared)
                names.emplace_back("FooterTextFirst");
            if (!footerShared)
                names.emplace_back("FooterTextLeft");
        }
        if (headerOn) {
            names.emplace_back("HeaderText");
            if (!firstShared)
                names.emplace_back("HeaderTextFirst");
            if (!headerShared)
                names.emplace_back("HeaderTextLeft");
        }
        if (names.empty())
            continue;
        const css::uno::Sequence<css::uno::Any> texts = style->getPropertyValues(
            css::uno::Sequence<OUString>(names.data(), static_cast<sal_Int32>(names.size())));
        for (const css::uno::Any& any : texts) {
            Reference<css::text::XText> text(any, UNO_QUERY);
            if (text.is())
                out.push_back(text);
        }
    }
}

void moveRight(const Reference<css::text::XTextCursor>& cursor, qsizetype count, bool expand)
{
    while (count > 0) {
        const auto step = static_cast<sal_Int16>(std::min<qsizetype>(count, 0x7fff));
        cursor->goRight(step, expand);
        count -= step;
    }
}

// A cursor over `length` characters `at` characters into the paragraph.
Reference<css::text::XTextCursor> cursorAt(const Reference<css::text::XText>& text,
                                           const Reference<css::text::XTextRange>& paragraph,
                                           qsizetype at, qsizetype length)
{
    const Reference<css::text::XTextCursor> cursor =
        text->createTextCursorByRange(paragraph->getStart());
    moveRight(cursor, at, false);
    moveRight(cursor, length, true);
    return cursor;
}

// The places of the tags in one paragraph, as cursors. A paragraph's text
// shows a field by its content while a cursor steps over it as one
// character: each place is checked, and when one does not hold its tag the
// paragraph is walked a character at a time.
void placesInParagraph(const Reference<css::text::XText>& text,
                       const Reference<css::text::XTextRange>& paragraph, const QStringList& tags,
                       std::vector<std::pair<Reference<css::text::XTextCursor>, int>>& out)
{
    const QString string = toQ(paragraph->getString());
    const QList<TagMatch> matches = FindTagMatches(string, tags);
    if (matches.isEmpty())
        return;
    std::vector<std::pair<Reference<css::text::XTextCursor>, int>> places;
    bool exact = true;
    for (const TagMatch& m : matches) {
        Reference<css::text::XTextCursor> cursor = cursorAt(text, paragraph, m.at, m.length);
        if (toQ(cursor->getString()).compare(tags.at(m.tag), Qt::CaseInsensitive) != 0) {
            exact = false;
            break;
        }
        places.emplace_back(std::move(cursor), m.tag);
    }
    if (!exact) {
        places.clear();
        qsizetype longest = 0;
        for (const QString& tag : tags)
            longest = std::max(longest, tag.size());
        const Reference<css::text::XTextCursor> walker =
            text->createTextCursorByRange(paragraph->getStart());
        Reference<css::text::XParagraphCursor> ends(walker, UNO_QUERY);
        // A field shows as at least one character, so the paragraph has no
        // more steps than its text has characters.
        for (qsizetype step = 0; step < string.size(); ++step) {
            if (ends.is() && ends->isEndOfParagraph())
                break;
            const Reference<css::text::XTextCursor> ahead =
                text->createTextCursorByRange(walker->getStart());
            moveRight(ahead, longest, true);
            const QList<TagMatch> found = FindTagMatches(toQ(ahead->getString()), tags);
            if (!found.isEmpty() && found.first().at == 0) {
                const TagMatch& m = found.first();
                Reference<css::text::XTextCursor> cursor =
                    text->createTextCursorByRange(walker->getStart());
                moveRight(cursor, m.length, true);
                if (toQ(cursor->getString()).compare(tags.at(m.tag), Qt::CaseInsensitive) == 0) {
                    places.emplace_back(std::move(cursor), m.tag);
                    moveRight(walker, m.length, false);
                    step += m.length - 1;
                    continue;
                }
            }
            walker->goRight(1, false);
        }
    }
    out.insert(out.end(), places.begin(), places.end());
}

// A text and the cells of the tables in it.
void textsWithin(const Reference<css::text::XText>& text,
                 std::vector<Reference<css::text::XText>>& out)
{
    walkTextOrThrow(
        text, [&out](const Reference<css::text::XText>& each) { out.push_back(each); },
        [](const auto&, const auto&, int) {});
}

// The places of the tags in a text the search does not reach (a shape's, a
// header's), tables within it included.
void placesInText(const Reference<css::text::XText>& text, const QStringList& tags,
                  std::vector<std::pair<Reference<css::text::XTextCursor>, int>>& out)
{
    walkTextOrThrow(
        text, [](const auto&) {},
        [&](const Reference<css::text::XText>& owner, const css::uno::Any& item, int) {
            Reference<css::text::XTextRange> paragraph(item, UNO_QUERY);
            if (paragraph.is())
                placesInParagraph(owner, paragraph, tags, out);
        });
}

} // namespace

// The tags of one search: the places the document's search found, and the
// other texts that hold any.
struct Found {
    QStringList tags;
    // The search's places: taken one by one (ranges), or left to the
    // office's own loops (hits).
    std::vector<Reference<css::text::XTextRange>> ranges;
    Reference<css::container::XIndexAccess> hits;
    QStringList texts; // of the places, as written
    // Texts the search does not reach that hold a tag: shapes', headers'.
    std::vector<Reference<css::text::XText>> others;
    size_t headers = 0; // how many of them, from the first, are headers
    bool valid = false;
};

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
    OfficeLoops loops;
    bool useLoops = true;
    Reference<css::lang::XComponent> document;
    // Made once per document: each property set on it is a call into the office.
    Reference<css::util::XReplaceDescriptor> find;
    // Tracked changes of the template that could not be accepted.
    bool unacceptedChanges = false;
    // Whether open() notes the changes as saved, and what it noted.
    bool watchChanges = false;
    TrackedChanges changes;
    // The tags last found, kept for the replacement that follows.
    Found found;
    std::unique_ptr<QTemporaryDir> copyDir;
    // The template open now, and those whose headers and footers held no
    // tag: a batch opens the same template again and again, and walking the
    // page styles costs a call or three each.
    QString templateKey;
    QSet<QString> plainHeaders;

    // A template held open between the documents of a batch: once a document
    // is stored its filling is undone, and the next graduate of the same
    // template starts from it instead of loading the file again.
    struct Kept {
        Reference<css::lang::XComponent> document;
        std::unique_ptr<QTemporaryDir> copyDir;
        bool unacceptedChanges = false;
        Reference<css::document::XUndoManager> undo;
        QHash<QString, QStringList> pristine;
        int uses = 0;
    };
    std::map<QString, Kept> kept; // by template key
    // Of the active document: its file, whether it was held open, what the
    // searches found in it as loaded (by the tags asked), and how far our
    // writing took it from that.
    QString templatePath;
    bool reused = false;
    int uses = 0;
    Reference<css::document::XUndoManager> undo;
    QHash<QString, QStringList> pristine;
    enum class Filling { None, Undoable, Spoiled } filling = Filling::None;
    void closeKept() noexcept;

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
        return officeStep(
            what, [this] { return alive(); }, std::forward<F>(f));
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
            markProfileCurrent(remote);
            if (useLoops)
                loops.install(remote);
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
    loops.clear();
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

void LibreOfficeSession::setOfficeLoops(bool inOffice)
{
    d->useLoops = inOffice;
}

bool LibreOfficeSession::officeLoopsRunning() const
{
    return d->loops.installed();
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
    const QFileInfo source(templatePath);
    const QString key = source.absoluteFilePath() + u'|' + QString::number(source.size()) + u'|' +
                        QString::number(source.lastModified().toMSecsSinceEpoch());
    d->templatePath = templatePath;
    d->reused = false;
    d->undo.clear();
    d->pristine.clear();
    d->uses = 0;
    d->filling = Impl::Filling::None;
    if (const auto held = d->kept.find(key); held != d->kept.end() && !d->watchChanges) {
        Impl::Kept taken = std::move(held->second);
        d->kept.erase(held);
        d->document = std::move(taken.document);
        d->copyDir = std::move(taken.copyDir);
        d->unacceptedChanges = taken.unacceptedChanges;
        d->undo = std::move(taken.undo);
        d->pristine = std::move(taken.pristine);
        d->uses = taken.uses;
        d->templateKey = key;
        d->reused = true;
        return;
    }
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
    d->templateKey = key;
    // No view to update while the tags are replaced, and no replacement
    // recorded as a change, whatever the template was saved with.
    d->step(what, [&] {
        Reference<css::frame::XModel> model(doc, UNO_QUERY);
        if (model.is())
            model->lockControllers();
        Reference<css::beans::XPropertySet> settings(doc, UNO_QUERY_THROW);
        // The template check wants the changes as saved; the export pays nothing.
        d->changes = TrackedChanges();
        if (d->watchChanges)
            settings->getPropertyValue(OUString("RecordChanges")) >>= d->changes.recording;
        settings->setPropertyValue(OUString("RecordChanges"), css::uno::Any(false));
        // Changes the template was saved with are accepted in the copy, so
        // that a tag a tracked change splits reads as one and the saved
        // document carries none. Where the office cannot, the search finds
        // nothing: the template is then unusable rather than half filled.
        Reference<css::document::XRedlinesSupplier> redlines(doc, UNO_QUERY_THROW);
        if (!redlines->getRedlines()->hasElements())
            return;
        if (d->watchChanges)
            noteTrackedChanges();
        if (model.is()) {
            Reference<css::frame::XController> controller = model->getCurrentController();
            Reference<css::frame::XDispatchProvider> frame(
                controller.is() ? controller->getFrame() : nullptr, UNO_QUERY);
            if (frame.is())
                css::frame::DispatchHelper::create(d->remote)->executeDispatch(
                    frame, OUString(".uno:AcceptAllTrackedChanges"), OUString(), 0, {});
        }
        d->unacceptedChanges = redlines->getRedlines()->hasElements();
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

QStringList LibreOfficeSession::FindTags(const QStringList& tags)
{
    if (!d->document.is())
        throw LumarelError(QStringLiteral("Документ не відкрито"));
    d->found = Found();
    if (d->unacceptedChanges)
        return {};
    QStringList texts;
    d->step(QStringLiteral("Не вдалося прочитати текст документа"), [&] {
        Found found;
        found.tags = tags;
        // One search reaches the body, tables, frames, notes and the headers
        // and footers that some page shows.
        Reference<css::util::XSearchable> doc(d->document, UNO_QUERY_THROW);
        Reference<css::util::XSearchDescriptor> search = doc->createSearchDescriptor();
        Reference<css::beans::XPropertySet>(search, UNO_QUERY_THROW)
            ->setPropertyValue(OUString("SearchRegularExpression"), css::uno::Any(true));
        search->setSearchString(tagPattern(tags));
        const Reference<css::container::XIndexAccess> hits = doc->findAll(search);
        const sal_Int32 count = hits.is() ? hits->getCount() : 0;

        // Every header and footer, shown or not, is walked on its own; so are
        // the drawing shapes, which the search never reaches.
        std::vector<Reference<css::text::XText>> headers;
        const QString key = d->templateKey + u'|' + tags.join(u'|');
        if (!d->plainHeaders.contains(key))
            collectHeaderTexts(d->document, headers);
        const size_t headerCount = headers.size();
        Reference<css::drawing::XDrawPageSupplier> pages(d->document, UNO_QUERY_THROW);
        // Marked deprecated, yet the only way to a text document's shapes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        Reference<css::container::XIndexAccess> page(pages->getDrawPage(), UNO_QUERY_THROW);
#pragma GCC diagnostic pop
        // One call tells that there are none.
        if (page->hasElements())
            collectShapeTexts(page, headers);
        QStringList otherTexts;
        std::vector<Reference<css::text::XText>> walkedHeaders;
        for (size_t k = 0; k < headers.size(); ++k) {
            const QString string = toQ(headers[k]->getString());
            const QList<TagMatch> matches = FindTagMatches(string, tags);
            if (matches.isEmpty())
                continue;
            for (const TagMatch& m : matches)
                otherTexts.append(string.mid(m.at, m.length));
            found.others.push_back(headers[k]);
            if (k < headerCount) {
                found.headers = found.others.size();
                textsWithin(headers[k], walkedHeaders);
            }
        }
        if (walkedHeaders.empty() && !d->templateKey.isEmpty())
            d->plainHeaders.insert(key);
        // The office reads its places in one call when nothing it found has
        // to be told apart by where it lies.
        if (count > 0 && walkedHeaders.empty() && d->loops.installed()) {
            found.texts = d->loops.ReadTexts(hits);
            if (found.texts.size() == count)
                found.hits = hits;
            else
                found.texts.clear();
        }
        for (sal_Int32 k = 0; k < count && !found.hits.is(); ++k) {
            Reference<css::text::XTextRange> range(hits->getByIndex(k), UNO_QUERY_THROW);
            found.texts.append(toQ(range->getString()));
            found.ranges.push_back(std::move(range));
        }
        // What the search found in a walked header is left to the walk.
        if (!walkedHeaders.empty()) {
            Found kept;
            for (size_t k = 0; k < found.ranges.size(); ++k) {
                const Reference<css::text::XText> home = found.ranges[k]->getText();
                if (std::find(walkedHeaders.begin(), walkedHeaders.end(), home) !=
                    walkedHeaders.end())
                    continue;
                kept.ranges.push_back(found.ranges[k]);
                kept.texts.append(found.texts.at(static_cast<qsizetype>(k)));
            }
            found.ranges = std::move(kept.ranges);
            found.texts = std::move(kept.texts);
        }
        texts = found.texts + otherTexts;
        found.valid = true;
        d->found = std::move(found);
    });
    // A template held open must read as it did when loaded; should it not,
    // it is loaded again.
    const QString asked = tags.join(u'\n');
    if (d->reused) {
        const auto loaded = d->pristine.constFind(asked);
        if (loaded == d->pristine.cend() || *loaded != texts) {
            d->filling = Impl::Filling::Spoiled;
            open(d->templatePath);
            return FindTags(tags);
        }
    } else if (d->filling == Impl::Filling::None) {
        d->pristine.insert(asked, texts);
    }
    return texts;
}

int LibreOfficeSession::ReplaceTags(const QList<QPair<QString, QString>>& values)
{
    if (!d->document.is())
        throw LumarelError(QStringLiteral("Документ не відкрито"));
    QStringList tags;
    QStringList texts;
    for (const auto& [tag, value] : values) {
        tags.append(tag);
        texts.append(lineBreaks(value));
    }
    // The places of the last search serve when it looked for every tag asked
    // for now and nothing has changed since.
    bool known = d->found.valid;
    for (const QString& tag : tags)
        known = known && d->found.tags.contains(tag, Qt::CaseInsensitive);
    if (!known)
        FindTags(tags);
    Found found = std::move(d->found);
    d->found = Found();
    return d->step(QStringLiteral("Не вдалося замінити позначки"), [&] {
        // Every place is known before anything is written: a value is never
        // searched again.
        std::vector<std::pair<Reference<css::text::XTextCursor>, int>> places, shapePlaces;
        for (size_t k = 0; k < found.others.size(); ++k)
            placesInText(found.others[k], tags, k < found.headers ? places : shapePlaces);
        // Which value each place of the search gets.
        QList<int> which;
        QStringList values;
        for (qsizetype r = 0; r < found.texts.size(); ++r) {
            const QString& text = found.texts.at(r);
            for (qsizetype k = 0; k < tags.size(); ++k) {
                if (text.compare(tags.at(k), Qt::CaseInsensitive) == 0) {
                    which.append(static_cast<int>(r));
                    values.append(texts.at(k));
                    break;
                }
            }
        }
        if (which.isEmpty() && places.empty() && shapePlaces.empty())
            return 0;
        // The filling of a document as loaded is one step to undo, so that
        // the template can serve the next graduate. Texts the search does not
        // reach are left out of that: the document is then closed after use.
        const bool undoable = d->filling == Impl::Filling::None && places.empty() &&
                              shapePlaces.empty() && !d->templateKey.isEmpty() && !d->watchChanges;
        d->filling = Impl::Filling::Spoiled;
        if (undoable) {
            if (!d->undo.is())
                d->undo =
                    Reference<css::document::XUndoManagerSupplier>(d->document, UNO_QUERY_THROW)
                        ->getUndoManager();
            d->undo->enterUndoContext(toOU(FillingTitle));
        }
        int replaced = 0;
        try {
            if (found.hits.is()) {
                replaced = d->loops.Write(found.hits, which, values);
            } else {
                for (qsizetype k = 0; k < which.size(); ++k)
                    found.ranges[static_cast<size_t>(which.at(k))]->setString(toOU(values.at(k)));
                replaced = static_cast<int>(which.size());
            }
            // A header's cursors move with the text written before them, a
            // shape's do not: those are written from the end.
            for (const auto& [cursor, tag] : places) {
                cursor->setString(toOU(texts.at(tag)));
                ++replaced;
            }
            for (auto place = shapePlaces.crbegin(); place != shapePlaces.crend(); ++place) {
                place->first->setString(toOU(texts.at(place->second)));
                ++replaced;
            }
        } catch (...) {
            if (undoable) {
                try {
                    d->undo->leaveUndoContext();
                } catch (...) {
                    // the document is closed after this anyway
                }
            }
            throw;
        }
        if (undoable) {
            d->undo->leaveUndoContext();
            // Only our step on top means one undo takes it all back.
            if (d->undo->isUndoPossible() &&
                toQ(d->undo->getCurrentUndoActionTitle()) == FillingTitle)
                d->filling = Impl::Filling::Undoable;
        }
        return replaced;
    });
}

bool LibreOfficeSession::ReplaceTag(const QString& tag, const QString& value)
{
    if (!d->document.is())
        throw LumarelError(QStringLiteral("Документ не відкрито"));
    if (tag.isEmpty())
        return false;
    const QString text = lineBreaks(value);
    d->found = Found();
    d->filling = Impl::Filling::Spoiled;
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
    storeCopy(path, QStringLiteral("Не вдалося зберегти документ "), StoreFormat::Word97);
}

void LibreOfficeSession::saveAsPdf(const QString& path)
{
    storeCopy(path, QStringLiteral("Не вдалося зберегти PDF "), StoreFormat::PdfA2b);
}

void LibreOfficeSession::storeCopy(const QString& path, const QString& what, StoreFormat format)
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
        d->step(what + path, [&] {
            Reference<css::frame::XStorable> doc(d->document, UNO_QUERY_THROW);
            // SelectPdfVersion 2: PDF/A-2b, the form archives take.
            const css::beans::PropertyValue pdfData[] = {
                property("SelectPdfVersion", css::uno::Any(sal_Int32(2))),
            };
            const bool pdf = format == StoreFormat::PdfA2b;
            const css::beans::PropertyValue args[] = {
                property("FilterName", css::uno::Any(pdf ? OUString("writer_pdf_Export")
                                                         : OUString("MS Word 97"))),
                property("Overwrite", css::uno::Any(false)),
                property("FilterData", css::uno::Any(css::uno::Sequence<css::beans::PropertyValue>(
                                           pdfData, pdf ? std::size(pdfData) : 0))),
            };
            doc->storeToURL(toOU(fileUrl(path)), css::uno::Sequence<css::beans::PropertyValue>(
                                                     args, std::size(args) - (pdf ? 0 : 1)));
        });
    } catch (...) {
        // The path was free before: whatever lies there now is our broken half.
        QFile::remove(path);
        // So is the lock file of an office killed while storing: left there,
        // it refuses the next office's store to the same path.
        QFile::remove(
            target.absoluteDir().filePath(QStringLiteral(".~lock.") + target.fileName() + u'#'));
        throw;
    }
    if (!QFileInfo::exists(path))
        throw LumarelError(what + path);
}

namespace {

// The texts of a document other than its body, by kind: headers and footers
// of every page style, frames, drawing shapes (when asked for), notes.
std::vector<std::pair<DocumentPart, Reference<css::text::XText>>>
otherPartTexts(const Reference<css::lang::XComponent>& document, bool withShapes)
{
    std::vector<std::pair<DocumentPart, Reference<css::text::XText>>> out;
    const auto add = [&out](DocumentPart part,
                            const std::vector<Reference<css::text::XText>>& texts) {
        for (const Reference<css::text::XText>& text : texts)
            out.emplace_back(part, text);
    };
    std::vector<Reference<css::text::XText>> texts;
    collectHeaderTexts(document, texts);
    add(DocumentPart::HeaderFooter, texts);

    texts.clear();
    Reference<css::text::XTextFramesSupplier> framesSupplier(document, UNO_QUERY_THROW);
    const Reference<css::container::XNameAccess> frames = framesSupplier->getTextFrames();
    for (const OUString& name : frames->getElementNames()) {
        Reference<css::text::XText> text(frames->getByName(name), UNO_QUERY);
        if (text.is())
            texts.push_back(text);
    }
    add(DocumentPart::Frame, texts);

    if (withShapes) {
        texts.clear();
        Reference<css::drawing::XDrawPageSupplier> pages(document, UNO_QUERY_THROW);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        Reference<css::container::XIndexAccess> page(pages->getDrawPage(), UNO_QUERY_THROW);
#pragma GCC diagnostic pop
        if (page->hasElements())
            collectShapeTexts(page, texts);
        add(DocumentPart::Shape, texts);
    }

    texts.clear();
    const Reference<css::container::XIndexAccess> notes[] = {
        Reference<css::text::XFootnotesSupplier>(document, UNO_QUERY_THROW)->getFootnotes(),
        Reference<css::text::XEndnotesSupplier>(document, UNO_QUERY_THROW)->getEndnotes(),
    };
    for (const Reference<css::container::XIndexAccess>& kind : notes) {
        const sal_Int32 count = kind.is() ? kind->getCount() : 0;
        for (sal_Int32 k = 0; k < count; ++k) {
            Reference<css::text::XText> text(kind->getByIndex(k), UNO_QUERY);
            if (text.is())
                texts.push_back(text);
        }
    }
    add(DocumentPart::Note, texts);
    return out;
}

// A text read twice through its portions: as if every tracked change were
// rejected and as if every one were accepted. A change may run on over
// several paragraphs, so the depths carry on from one to the next.
struct AcrossChanges {
    OUStringBuffer rejected;
    OUStringBuffer accepted;
    int inserted = 0;
    int deleted = 0;
    bool any = false; // whether the text held a change

    // Each text and each cell starts outside any change.
    void read(const Reference<css::text::XText>& text)
    {
        inserted = deleted = 0;
        walkText(
            text, [this](const auto&) { inserted = deleted = 0; },
            [this](const auto&, const css::uno::Any& item, int) {
                Reference<css::container::XEnumerationAccess> paragraph(item, UNO_QUERY);
                if (paragraph.is())
                    readParagraph(paragraph);
            });
    }

    void readParagraph(const Reference<css::container::XEnumerationAccess>& paragraph)
    {
        const Reference<css::container::XEnumeration> portions = paragraph->createEnumeration();
        while (portions->hasMoreElements()) {
            const css::uno::Any item = portions->nextElement();
            Reference<css::beans::XPropertySet> portion(item, UNO_QUERY);
            Reference<css::text::XTextRange> range(item, UNO_QUERY);
            if (!portion.is() || !range.is())
                continue;
            OUString type;
            portion->getPropertyValue(OUString("TextPortionType")) >>= type;
            if (type == "Redline") {
                any = true;
                bool start = false, collapsed = false;
                OUString kind;
                portion->getPropertyValue(OUString("IsStart")) >>= start;
                portion->getPropertyValue(OUString("IsCollapsed")) >>= collapsed;
                portion->getPropertyValue(OUString("RedlineType")) >>= kind;
                if (collapsed)
                    continue;
                int* depth = kind == "Insert" ? &inserted : kind == "Delete" ? &deleted : nullptr;
                if (depth)
                    *depth = std::max(0, *depth + (start ? 1 : -1));
                continue;
            }
            const OUString string = range->getString();
            if (!inserted)
                rejected.append(string);
            if (!deleted)
                accepted.append(string);
        }
        rejected.append("\r");
        accepted.append("\r");
    }
};

} // namespace

QList<QPair<DocumentPart, QString>> LibreOfficeSession::ReadPartTexts()
{
    if (!d->document.is())
        throw LumarelError(QStringLiteral("Документ не відкрито"));
    return d->step(QStringLiteral("Не вдалося прочитати текст документа"), [&] {
        constexpr int Kinds = int(DocumentPart::Note) + 1;
        OUStringBuffer texts[Kinds];
        // The body's own paragraphs and its tables apart.
        Reference<css::text::XTextDocument> doc(d->document, UNO_QUERY_THROW);
        walkTextOrThrow(
            doc->getText(), [](const auto&) {},
            [&texts](const auto&, const css::uno::Any& item, int depth) {
                appendParagraph(item,
                                texts[int(depth == 0 ? DocumentPart::Body : DocumentPart::Table)]);
            });
        for (const auto& [part, text] : otherPartTexts(d->document, true))
            collectText(text, texts[int(part)]);
        QList<QPair<DocumentPart, QString>> parts;
        for (int k = 0; k < Kinds; ++k)
            parts.append({DocumentPart(k), toQ(texts[k].makeStringAndClear())});
        return parts;
    });
}

void LibreOfficeSession::watchChanges(bool on)
{
    d->watchChanges = on;
}

TrackedChanges LibreOfficeSession::trackedChanges() const
{
    return d->changes;
}

// Runs inside open()'s step, before the changes are accepted. Shapes are
// left out: their text records no changes.
void LibreOfficeSession::noteTrackedChanges()
{
    Reference<css::text::XTextDocument> doc(d->document, UNO_QUERY_THROW);
    AcrossChanges across;
    across.read(doc->getText());
    for (const auto& [part, text] : otherPartTexts(d->document, false))
        across.read(text);
    if (!across.any)
        return;
    d->changes.rejected = toQ(across.rejected.makeStringAndClear());
    d->changes.accepted = toQ(across.accepted.makeStringAndClear());
}

void LibreOfficeSession::closeDocument() noexcept
{
    Reference<css::lang::XComponent> doc = std::move(d->document);
    d->document.clear();
    d->find.clear();
    d->found = Found();
    const QString key = std::exchange(d->templateKey, QString());
    const auto filling = std::exchange(d->filling, Impl::Filling::None);
    if (doc.is() && filling != Impl::Filling::Spoiled && !key.isEmpty() && !d->watchChanges &&
        d->kept.size() < MaxKeptTemplates && d->kept.count(key) == 0 &&
        ++d->uses < MaxTemplateUses) {
        try {
            // What is undone would stay to be redone, with the office's
            // records of every place written, and slow the next searches.
            if (filling == Impl::Filling::Undoable) {
                d->undo->undo();
                d->undo->clearRedo();
            }
            d->kept.emplace(key,
                            Impl::Kept{std::move(doc), std::move(d->copyDir), d->unacceptedChanges,
                                       std::move(d->undo), std::move(d->pristine), d->uses});
            doc.clear();
        } catch (...) {
            // not as loaded: closed below
        }
    }
    d->unacceptedChanges = false;
    d->undo.clear();
    d->pristine.clear();
    d->reused = false;
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

void LibreOfficeSession::Impl::closeKept() noexcept
{
    for (auto& [key, held] : kept) {
        try {
            Reference<css::util::XCloseable>(held.document, UNO_QUERY_THROW)->close(true);
        } catch (...) {
            // vetoed or a dead office: quit ends the process
        }
    }
    kept.clear();
}

void LibreOfficeSession::quit() noexcept
{
    closeDocument();
    d->closeKept();
    d->terminateOffice();
    d->releaseProfile();
}
