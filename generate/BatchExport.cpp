#include "BatchExport.h"

#include "DocumentGeneration.h"

BatchExport::BatchExport(const RecordStore& store, WorkDir workDir, SessionFactory makeSession)
    : m_store(store), m_workDir(std::move(workDir)), m_makeSession(std::move(makeSession))
{
}

BatchExport::~BatchExport()
{
    finish();
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
    const GenerationContext context{m_store, m_workDir, nullptr, m_makeSession};
    row.path = GenerateDocument(context, recordIndex, templatePath, true, OutputKind::Regular);
    row.result = row.generated() ? GeneratedText : BadTemplateText;
    return row;
}

void BatchExport::finish() noexcept
{
}
