#include "export/BatchExport.h"

#include "generate/DocumentGeneration.h"
#include "generate/OutputPlacement.h"
#include "generate/office/LibreOfficeSession.h"

#include <QFile>
#include <QFileInfo>

BatchExport::BatchExport(const RecordStore& store, WorkDir workDir, SessionFactory makeSession,
                         ExportOptions options)
    : m_store(store), m_workDir(std::move(workDir)), m_makeSession(std::move(makeSession)),
      m_options(options)
{
}

BatchExport::~BatchExport()
{
    finish();
}

DocumentSession& BatchExport::office()
{
    if (!m_session) {
        std::unique_ptr<DocumentSession> made =
            m_makeSession ? m_makeSession() : std::make_unique<LibreOfficeSession>();
        const std::lock_guard lock(m_sessionMade);
        m_session = std::move(made);
        if (m_aborted)
            m_session->abort();
    }
    if (!m_started) {
        ++m_starts;
        m_session->start(true);
        m_started = true;
    }
    return *m_session;
}

StoredRow BatchExport::store(int recordIndex, const QString& savePath)
{
    StoredRow row;
    row.name = m_store.Record(recordIndex).DisplayName;
    const QString templatePath = FindTemplatePath(m_workDir, m_store, recordIndex);
    if (templatePath.isEmpty()) {
        row.result = NoTemplateText;
        return row;
    }
    // As GenerateDocument itself would answer, without waking an office.
    if (!QFileInfo(templatePath).isFile()) {
        row.result = BadTemplateText;
        return row;
    }
    QString pdfPath;
    if (m_options.alsoPdf || m_options.printFile)
        pdfPath = PdfSiblingName(savePath);
    for (int attempt = 1;; ++attempt) {
        try {
            const GenerationContext context{m_store, m_workDir, &office(), {}};
            const Substitution stored =
                StoreFilledDocument(context, recordIndex, templatePath, true, savePath, pdfPath);
            row.finished = stored ? savePath : QString();
            row.finishedPdf = stored ? pdfPath : QString();
            row.result = stored                     ? GeneratedText
                         : stored.refusal.isEmpty() ? BadTemplateText
                                                    : stored.refusal;
            return row;
        } catch (const PdfExportError& e) {
            // The office is still fine; this graduate gets no document.
            QFile::remove(savePath);
            QFile::remove(pdfPath);
            row.result = e.text();
            return row;
        } catch (const OfficeLostError& e) {
            // The dead office has been quit; the next try starts anew. A
            // document whose office hung would hang the next one too.
            const bool hung = dynamic_cast<const HungOfficeError*>(&e) != nullptr;
            finish();
            QFile::remove(savePath);
            if (!pdfPath.isEmpty())
                QFile::remove(pdfPath);
            if (attempt == 2 || hung || m_aborted) {
                row.result = e.text();
                return row;
            }
        } catch (...) {
            finish();
            throw;
        }
    }
}

BatchRow BatchExport::place(const StoredRow& stored) const
{
    return PlaceStoredRow(stored, m_workDir.resultsFolder(), m_options);
}

BatchRow PlaceStoredRow(const StoredRow& stored, const QString& resultsFolder,
                        const ExportOptions& options)
{
    BatchRow row{stored.name, stored.result, QString(), QString(), QString()};
    if (stored.finished.isEmpty())
        return row;
    const PlacedFiles placed =
        PlaceOutputFiles(stored.finished, options.alsoPdf ? stored.finishedPdf : QString(),
                         resultsFolder, stored.name, OutputKind::Regular);
    row.path = placed.document;
    row.pdf = placed.pdf;
    if (options.printFile)
        row.printPart = options.alsoPdf ? placed.pdf : stored.finishedPdf;
    return row;
}

void BatchExport::abort() noexcept
{
    m_aborted = true;
    const std::lock_guard lock(m_sessionMade);
    if (m_session)
        m_session->abort();
}

void BatchExport::finish() noexcept
{
    if (m_session && m_started)
        m_session->quit();
    m_started = false;
}
