#include "generate/BatchExport.h"

#include "generate/DocumentGeneration.h"
#include "generate/LibreOfficeSession.h"
#include "generate/OutputPlacement.h"
#include "generate/ScratchFolder.h"

#include <QFile>
#include <QFileInfo>

BatchExport::BatchExport(const RecordStore& store, WorkDir workDir, SessionFactory makeSession)
    : m_store(store), m_workDir(std::move(workDir)), m_makeSession(std::move(makeSession))
{
}

BatchExport::~BatchExport()
{
    finish();
}

DocumentSession& BatchExport::office()
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

BatchRow BatchExport::exportRecord(int recordIndex)
{
    if (!m_scratch)
        m_scratch = std::make_unique<ScratchFolder>();
    return place(store(recordIndex, m_scratch->filePath(QString::number(++m_stored) +
                                                         QStringLiteral(".doc"))));
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
    for (int attempt = 1;; ++attempt) {
        try {
            const GenerationContext context{m_store, m_workDir, &office(), {}};
            const bool stored = StoreFilledDocument(context, recordIndex, templatePath, true, savePath);
            row.finished = stored ? savePath : QString();
            row.result = stored ? GeneratedText : BadTemplateText;
            return row;
        } catch (const OfficeLostError& e) {
            // The dead office has been quit; the next try starts anew.
            finish();
            QFile::remove(savePath);
            if (attempt == 2) {
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
    BatchRow row{stored.name, stored.result, QString()};
    if (!stored.finished.isEmpty())
        row.path = PlaceOutputFile(stored.finished, m_workDir.resultsFolder(), stored.name,
                                   OutputKind::Regular);
    return row;
}

void BatchExport::finish() noexcept
{
    if (m_session && m_started)
        m_session->quit();
    m_started = false;
}
