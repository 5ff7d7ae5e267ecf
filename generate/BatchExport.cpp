#include "generate/BatchExport.h"

#include "generate/DocumentGeneration.h"
#include "generate/LibreOfficeSession.h"

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
    BatchRow row;
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
            row.path =
                GenerateDocument(context, recordIndex, templatePath, true, OutputKind::Regular)
                    .value_or(QString());
            row.result = row.generated() ? GeneratedText : BadTemplateText;
            return row;
        } catch (const OfficeLostError& e) {
            // GenerateDocument has quit the dead office; the next try starts anew.
            finish();
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

void BatchExport::finish() noexcept
{
    if (m_session && m_started)
        m_session->quit();
    m_started = false;
}
