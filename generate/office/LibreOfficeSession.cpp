#include "generate/office/LibreOfficeSession.h"

#include "generate/office/CallWatch.h"
#include "generate/office/DocumentMarks.h"
#include "generate/office/DocumentStore.h"
#include "generate/office/HeldTemplates.h"
#include "generate/office/OfficeBridge.h"
#include "generate/office/OfficeCalls.h"
#include "generate/office/OfficeProcess.h"
#include "generate/office/OfficeProfile.h"
#include "generate/office/OpenDocument.h"
#include "generate/office/PartTexts.h"
#include "generate/office/TagSearch.h"
#include "generate/office/TagWriter.h"
#include "generate/tags/TagMatches.h"
#include "generate/tags/TagTable.h"
#include "records/LumarelError.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

const QString ReadFailed = QStringLiteral("Не вдалося прочитати текст документа");
const QString ReplaceFailed = QStringLiteral("Не вдалося замінити позначки");
const QString StoppedText = QStringLiteral("LibreOffice зупинено");

} // namespace

struct LibreOfficeSession::Impl {
    QString programDir;
    bool hidden = true;
    OfficeProcess process;
    OfficeProfile profile;
    OfficeBridge bridge;
    OpenDocument active;
    HeldTemplates held;
    TagSearch search;
    CallWatch watch;
    // Whether open() notes the changes as saved, and what it noted.
    bool watchChanges = false;
    TrackedChanges changes;
    QList<DocumentMark> marks;
    int loads = 0;

    OfficeAlive alive()
    {
        return [this] { return process.alive(); };
    }
    template <class F> auto step(const QString& what, F&& f)
    {
        return OfficeStep(what, alive(), std::forward<F>(f));
    }
    // One call of ours into the office, under the watch: a call the watch
    // had to end says that the office hung.
    template <class F> auto watched(F&& f) -> decltype(f())
    {
        if (watch.stopped())
            throw OfficeLostError(StoppedText);
        const CallWatch::Call call(watch);
        try {
            return f();
        } catch (const LumarelError&) {
            throwIfHung();
            throw;
        } catch (const css::uno::Exception&) {
            throwIfHung();
            throw;
        }
    }
    void throwIfHung() const
    {
        if (watch.fired())
            throw HungOfficeError(HungOfficeText.arg(std::max(1, watch.bound() / 1000)));
    }
};

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
    d->bridge.setLoops(inOffice);
}

bool LibreOfficeSession::officeLoopsRunning() const
{
    return d->bridge.loops().installed();
}

qint64 LibreOfficeSession::processId() const
{
    return d->process.running() ? d->process.pid() : 0;
}

int LibreOfficeSession::heldSelections() const
{
    return d->held.selections();
}

int LibreOfficeSession::templateLoads() const
{
    return d->loads;
}

void LibreOfficeSession::requireDocument() const
{
    if (!d->active.document.is())
        throw LumarelError(NoDocumentText);
}

void LibreOfficeSession::setCallBound(int ms)
{
    d->watch.setBound(ms);
}

void LibreOfficeSession::start(bool keepHidden)
{
    if (d->watch.stopped())
        throw OfficeLostError(StoppedText);
    if (d->bridge.connected())
        throw LumarelError(QStringLiteral("LibreOffice вже запущено"));
    if (!IsInstalled(d->programDir))
        throw LumarelError(QStringLiteral("LibreOffice не знайдено в ") + d->programDir);
    d->hidden = keepHidden;
    try {
        d->profile.take();
        d->bridge.connect(d->process, d->profile, d->programDir, d->hidden);
        d->watch.watch(d->process.pid());
        // Stopped while it started.
        if (d->watch.stopped())
            throw OfficeLostError(StoppedText);
    } catch (...) {
        d->watch.watch(0);
        d->process.stop();
        d->profile.release();
        throw;
    }
}

void LibreOfficeSession::open(const QString& templatePath)
{
    d->watched([&] { openTemplate(templatePath); });
}

void LibreOfficeSession::openTemplate(const QString& templatePath)
{
    if (!d->bridge.connected())
        throw LumarelError(QStringLiteral("LibreOffice не запущено"));
    closeDocument();
    const QString key = TemplateKey(templatePath);
    d->active.templatePath = templatePath;
    if (!d->watchChanges && d->held.takeUp(key, d->active))
        return;
    d->active = LoadTemplate(d->bridge.desktop(), templatePath, d->hidden, d->alive());
    ++d->loads;
    d->active.templateKey = key;
    d->step(QStringLiteral("Не вдалося відкрити шаблон ") + templatePath, [&] {
        PrepareForFilling(d->active, d->bridge.remote(), d->watchChanges, d->changes, d->marks);
        if (d->watchChanges)
            return;
        d->active.marks = MarksSignature(d->active.document, d->bridge.loops());
        // The undo of a filling loses a bookmark that stood around a tag: such
        // a template is loaded for each graduate rather than held.
        d->active.tagsInBookmarks = !FindTagMatches(d->active.marks, TagTable::Tags()).isEmpty();
    });
}

QList<QPair<DocumentPart, QString>> LibreOfficeSession::ReadPartTexts()
{
    requireDocument();
    return d->watched([&] {
        // A held template kept filled shows the last graduate: read as loaded.
        if (d->active.filling == OpenDocument::Filling::Written) {
            d->active.filling = OpenDocument::Filling::Spoiled;
            openTemplate(QString(d->active.templatePath));
        }
        return d->step(ReadFailed, [&] { return ReadDocumentParts(d->active.document); });
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

QList<DocumentMark> LibreOfficeSession::marks() const
{
    return d->marks;
}

QStringList LibreOfficeSession::FindTags(const QStringList& tags)
{
    return d->watched([&] { return findTags(tags); });
}

QStringList LibreOfficeSession::findTags(const QStringList& tags)
{
    requireDocument();
    d->search.forget();
    if (d->active.unacceptedChanges)
        return {};
    // A held template is searched and checked in the call that fills it.
    if (CanRefill(d->active, tags, d->bridge.loops())) {
        const QStringList texts = d->active.pristine.value(tags.join(u'\n'));
        d->search.recall(tags, texts);
        return texts;
    }
    const auto find = [&] {
        return d->step(ReadFailed, [&] {
            return d->search.find(d->active.document, d->active.templateKey, tags,
                                  d->bridge.loops());
        });
    };
    // Its marks as well, for a held one: a bookmark the undo did not bring
    // back would leave its references pointing nowhere.
    const auto marks = [&] {
        return d->active.reused
                   ? d->step(ReadFailed,
                             [&] { return MarksSignature(d->active.document, d->bridge.loops()); })
                   : QString();
    };
    QStringList texts = find();
    // A template held open must read as it did when loaded; should it not,
    // it is loaded again (a fresh load always reads as loaded).
    if (!ReadsAsLoaded(d->active, tags, texts, marks())) {
        d->active.filling = OpenDocument::Filling::Spoiled;
        openTemplate(QString(d->active.templatePath));
        if (d->active.unacceptedChanges)
            return {};
        texts = find();
        ReadsAsLoaded(d->active, tags, texts, marks());
    }
    return texts;
}

int LibreOfficeSession::ReplaceTags(const QList<QPair<QString, QString>>& values)
{
    return d->watched([&] { return replaceTags(values); });
}

int LibreOfficeSession::replaceTags(const QList<QPair<QString, QString>>& values)
{
    requireDocument();
    QStringList tags;
    QStringList texts;
    for (const auto& [tag, value] : values) {
        tags.append(tag);
        texts.append(LineBreaks(value));
    }
    // The places of the last search serve when it looked for every tag asked
    // for now and nothing has changed since.
    if (!d->search.covers(tags))
        findTags(tags);
    FoundTags found = d->search.take();
    if (found.recalled) {
        const std::optional<int> written = d->step(ReplaceFailed, [&] {
            return d->active.filling == OpenDocument::Filling::Written
                       ? OverwriteHeld(d->active, found, tags, texts, d->bridge.loops())
                       : RefillHeld(d->active, found, tags, texts, d->bridge.loops());
        });
        if (written)
            return *written;
        // It no longer reads as loaded: loaded again, and searched for what
        // was searched before, which is what the next graduate asks of it.
        d->active.filling = OpenDocument::Filling::Spoiled;
        openTemplate(QString(d->active.templatePath));
        findTags(QStringList(found.tags));
        found = d->search.take();
    }
    return d->step(ReplaceFailed, [&] {
        return WriteTags(d->active, found, tags, texts, d->bridge.loops(), d->watchChanges);
    });
}

void LibreOfficeSession::saveAs(const QString& path)
{
    requireDocument();
    d->watched([&] {
        StoreCopy(d->active.document, path, QStringLiteral("Не вдалося зберегти документ "),
                  StoreFormat::Word97, d->alive());
    });
}

void LibreOfficeSession::saveAsPdf(const QString& path)
{
    requireDocument();
    d->watched([&] {
        StoreCopy(d->active.document, path, QStringLiteral("Не вдалося зберегти PDF "),
                  StoreFormat::PdfA2b, d->alive());
    });
}

void LibreOfficeSession::closeDocument() noexcept
{
    const CallWatch::Call call(d->watch);
    d->search.forget();
    OpenDocument doc = std::exchange(d->active, OpenDocument());
    if (!d->watchChanges && d->held.hold(doc, d->bridge.loops()))
        return;
    CloseOfficeDocument(doc.document);
}

void LibreOfficeSession::quit() noexcept
{
    {
        const CallWatch::Call call(d->watch);
        closeDocument();
        d->held.closeAll();
    }
    // A hung office would not answer a request to end either.
    const bool hung = d->watch.fired() || d->watch.stopped();
    d->watch.watch(0);
    const auto desktop = d->bridge.release();
    if (hung)
        d->process.stop();
    else
        d->process.terminate(desktop);
    d->profile.release();
}

void LibreOfficeSession::abort() noexcept
{
    d->watch.stop();
}
