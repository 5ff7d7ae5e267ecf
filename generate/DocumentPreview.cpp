#include "generate/DocumentPreview.h"

#include "generate/ResultTexts.h"
#include "generate/office/LibreOfficeSession.h"
#include "generate/office/ScratchFolder.h"
#include "records/LumarelError.h"

#include <QFile>
#include <QFileInfo>

// A session of the preview's office for another reader: it starts that
// office when first used and never ends it; a lost office is the preview's
// to start again.
class LentSession : public DocumentSession {
    template <typename F> auto call(F&& f)
    {
        try {
            return f(m_owner.office());
        } catch (const OfficeLostError&) {
            m_owner.lost();
            throw;
        }
    }

public:
    explicit LentSession(DocumentPreview& owner) : m_owner(owner) {}

    void start(bool) override {}
    void open(const QString& templatePath) override
    {
        call([&](DocumentSession& s) { s.open(templatePath); });
    }
    QList<QPair<DocumentPart, QString>> ReadPartTexts() override
    {
        return call([](DocumentSession& s) { return s.ReadPartTexts(); });
    }
    void watchChanges(bool on) override
    {
        call([&](DocumentSession& s) { s.watchChanges(on); });
    }
    TrackedChanges trackedChanges() const override
    {
        return m_owner.m_session ? m_owner.m_session->trackedChanges() : TrackedChanges{};
    }
    QStringList FindTags(const QStringList& tags) override
    {
        return call([&](DocumentSession& s) { return s.FindTags(tags); });
    }
    int ReplaceTags(const QList<QPair<QString, QString>>& values) override
    {
        return call([&](DocumentSession& s) { return s.ReplaceTags(values); });
    }
    void saveAs(const QString& path) override
    {
        call([&](DocumentSession& s) { s.saveAs(path); });
    }
    void saveAsPdf(const QString& path) override
    {
        call([&](DocumentSession& s) { s.saveAsPdf(path); });
    }
    void closeDocument() noexcept override
    {
        if (m_owner.m_started)
            m_owner.m_session->closeDocument();
    }
    void quit() noexcept override {}

private:
    DocumentPreview& m_owner;
};

DocumentPreview::DocumentPreview(const RecordStore& store, WorkDir workDir,
                                 SessionFactory makeSession)
    : m_store(store), m_workDir(std::move(workDir)), m_makeSession(std::move(makeSession))
{
}

DocumentPreview::~DocumentPreview()
{
    finish();
}

DocumentSession& DocumentPreview::office()
{
    if (!m_session)
        m_session = m_makeSession ? m_makeSession() : std::make_unique<LibreOfficeSession>();
    if (!m_started) {
        ++m_starts;
        m_session->start(true);
        m_started = true;
    }
    return *m_session;
}

void DocumentPreview::lost() noexcept
{
    if (m_session)
        m_session->quit();
    m_started = false;
}

void DocumentPreview::finish() noexcept
{
    lost();
}

QString DocumentPreview::scratchPath() const
{
    return m_scratch ? m_scratch->path() : QString();
}

QString DocumentPreview::nextPdfPath()
{
    if (!m_scratch)
        m_scratch = std::make_unique<ScratchFolder>();
    if (!m_lastPdf.isEmpty())
        QFile::remove(m_lastPdf);
    m_lastPdf = m_scratch->filePath(QStringLiteral("page-%1.pdf").arg(++m_pages));
    return m_lastPdf;
}

PreviewPage DocumentPreview::make(int recordIndex)
{
    PreviewPage page;
    page.templatePath = FindTemplatePath(m_workDir, m_store, recordIndex);
    if (page.templatePath.isEmpty()) {
        page.refusal = NoTemplateText;
        return page;
    }
    // As the export answers a missing file: without waking an office.
    if (!QFileInfo(page.templatePath).isFile()) {
        page.refusal = BadTemplateSingleText;
        return page;
    }
    const QString pdf = nextPdfPath();
    // The document itself is stored too, so the pages are those of exactly
    // what the export fills; only the PDF is kept.
    const QString doc = m_scratch->filePath(QStringLiteral("page-%1.doc").arg(m_pages));
    for (int attempt = 1;; ++attempt) {
        Substitution stored;
        try {
            const GenerationContext context{m_store, m_workDir, &office(), {}};
            stored = StoreFilledDocument(context, recordIndex, page.templatePath, true, doc, pdf);
        } catch (const PdfExportError&) {
            throw; // the office is still fine
        } catch (const OfficeLostError&) {
            m_started = false;
            QFile::remove(doc);
            QFile::remove(pdf);
            if (attempt == 2)
                throw;
            continue;
        } catch (const LumarelError&) {
            // StoreFilledDocument has ended the office.
            m_started = false;
            QFile::remove(doc);
            QFile::remove(pdf);
            throw;
        }
        QFile::remove(doc);
        if (stored)
            page.pdf = pdf;
        else
            page.refusal = stored.refusal.isEmpty() ? BadTemplateSingleText : stored.refusal;
        return page;
    }
}

SavedDocument DocumentPreview::save(int recordIndex, bool alsoPdf)
{
    const QString templatePath = FindTemplatePath(m_workDir, m_store, recordIndex);
    if (templatePath.isEmpty())
        return {QString(), NoTemplateText};
    DocumentSession* session = QFileInfo(templatePath).isFile() ? &office() : nullptr;
    std::optional<QString> saved;
    QString refusal;
    try {
        const GenerationContext context{m_store, m_workDir, session, {}, alsoPdf};
        saved = GenerateDocument(context, recordIndex, templatePath, true, OutputKind::Regular,
                                 &refusal);
    } catch (const PdfExportError&) {
        throw;
    } catch (const LumarelError&) {
        m_started = false; // ended by GenerateDocument
        throw;
    }
    if (!saved)
        return {QString(), refusal.isEmpty() ? BadTemplateSingleText : refusal};
    return {*saved, QString()};
}

SessionFactory DocumentPreview::lentOffice()
{
    return [this] { return std::make_unique<LentSession>(*this); };
}
