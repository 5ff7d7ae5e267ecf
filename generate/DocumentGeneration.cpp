#include "generate/DocumentGeneration.h"

#include "generate/OutputNaming.h"
#include "generate/OutputPlacement.h"
#include "generate/TagSubstitution.h"
#include "generate/office/LibreOfficeSession.h"
#include "generate/office/ScratchFolder.h"
#include "records/LumarelError.h"
#include "records/TextRules.h"
#include "resources/ExtractResourceFile.h"
#include "settings/SettingsFiles.h"

#include <QFile>
#include <QFileInfo>

namespace {
const QString NoSuchRecordText = QStringLiteral("Запис %1 не знайдено");
} // namespace

QString EnsureDemoTemplate(const WorkDir& workDir)
{
    SettingsFiles::EnsureWorkFolders(workDir);
    const QString folder = workDir.examplesFolder() + u'/';
    const QString path = folder + DemoTemplateFileName;
    const QFileInfo existing(path);
    if (!existing.exists() && !existing.isSymLink())
        ExtractResourceFile(folder, QStringLiteral("DemoTempl"), DemoTemplateFileName);
    return path;
}

QString FindTemplatePath(const WorkDir& workDir, const RecordStore& store, int recordIndex)
{
    const std::optional<QStringList> table = SettingsFiles::LoadTemplateTable(workDir);
    if (!table)
        return QString();
    const std::optional<int> slot = store.TemplateSlotOf(recordIndex);
    if (!slot || *slot < 1 || *slot > table->size())
        return QString();
    return TextRules::TrimControls(table->at(*slot - 1));
}

std::optional<QString> GenerateDocument(const GenerationContext& context, int recordIndex,
                                        const QString& templatePath, bool keepHidden,
                                        OutputKind kind, QString* refusal)
{
    if (refusal)
        refusal->clear();
    if (recordIndex < 1 || recordIndex > context.store.RecordCount())
        throw LumarelError(NoSuchRecordText.arg(recordIndex));
    if (templatePath.isEmpty() || !QFileInfo(templatePath).isFile())
        return std::nullopt;
    const ScratchFolder scratch(ScratchFolder::StoreParent());
    const QString finished = scratch.filePath(QStringLiteral("document.doc"));
    const QString finishedPdf =
        context.pdf ? scratch.filePath(QStringLiteral("document.pdf")) : QString();
    const Substitution stored =
        StoreFilledDocument(context, recordIndex, templatePath, keepHidden, finished, finishedPdf);
    if (!stored) {
        if (refusal)
            *refusal = stored.refusal;
        return std::nullopt;
    }
    const QString folder = kind == OutputKind::Regular ? context.workDir.resultsFolder()
                                                       : context.workDir.examplesFolder();
    return PlaceOutputFiles(finished, finishedPdf, folder,
                            context.store.Record(recordIndex).DisplayName, kind)
        .document;
}

Substitution StoreFilledDocument(const GenerationContext& context, int recordIndex,
                                 const QString& templatePath, bool keepHidden,
                                 const QString& savePath, const QString& pdfPath)
{
    if (recordIndex < 1 || recordIndex > context.store.RecordCount())
        throw LumarelError(NoSuchRecordText.arg(recordIndex));
    if (templatePath.isEmpty() || !QFileInfo(templatePath).isFile())
        return {};
    const StudentRecord& record = context.store.Record(recordIndex);

    std::unique_ptr<DocumentSession> own;
    DocumentSession* session = context.session;
    if (!session) {
        own = context.makeSession ? context.makeSession() : std::make_unique<LibreOfficeSession>();
        session = own.get();
    }
    // Quits an office we started on every way out; a lent one only on errors.
    struct Ending {
        DocumentSession& session;
        bool ours;
        bool failed = true;
        ~Ending()
        {
            session.closeDocument();
            if (ours || failed)
                session.quit();
        }
    } ending{*session, own != nullptr};

    if (own)
        session->start(keepHidden);
    session->open(templatePath);
    const Substitution filled = SubstituteTags(record, *session);
    if (filled) {
        session->saveAs(savePath);
        if (!pdfPath.isEmpty()) {
            try {
                session->saveAsPdf(pdfPath);
            } catch (const OfficeLostError&) {
                throw;
            } catch (const LumarelError& e) {
                QFile::remove(savePath);
                ending.failed = false;
                throw PdfExportError(e.text());
            }
        }
    }
    ending.failed = false;
    return filled;
}
