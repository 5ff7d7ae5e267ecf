#include "generate/DocumentGeneration.h"

#include "generate/LibreOfficeSession.h"
#include "generate/OutputPlacement.h"
#include "generate/ScratchFolder.h"
#include "generate/TagSubstitution.h"
#include "records/LumarelError.h"
#include "records/TextRules.h"
#include "settings/SettingsFiles.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Room for the ending and a "(NNNN)" counter within a 255-byte file name.
constexpr qsizetype MaxNameBytes = 200;

// Format characters (right-to-left overrides, zero-width spaces, ...) are
// invisible and can make a name read as something else.
bool isForbiddenInFileName(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return c == u' ' || category == QChar::Other_Control || category == QChar::Other_Format ||
           (c <= 0xFFFF && QStringView(u"\\/:*?\"<>|").contains(QChar(char16_t(c))));
}

bool taken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString outputEnding(OutputKind kind)
{
    switch (kind) {
    case OutputKind::Regular:
        return QStringLiteral("_Диплом.doc");
    case OutputKind::Demonstration:
        return QStringLiteral("_Диплом_ДЕМО.doc");
    }
    return QString();
}

} // namespace

bool CheckWordInstalled()
{
    return CheckWordInstalled(LibreOfficeSession::DefaultProgramDir());
}

bool CheckWordInstalled(const QString& officeProgramDir)
{
    return LibreOfficeSession::IsInstalled(officeProgramDir);
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

QString DocumentFileName(const QString& name, OutputKind kind)
{
    QString safe;
    safe.reserve(name.size());
    for (const char32_t c : name.toUcs4()) {
        if (isForbiddenInFileName(c))
            safe.append(u'_');
        else
            safe.append(QChar::fromUcs4(c));
    }
    // A leading dot would hide the file.
    if (safe.startsWith(u'.'))
        safe[0] = u'_';
    while (safe.toUtf8().size() > MaxNameBytes)
        safe.chop(safe.size() >= 2 && safe.back().isLowSurrogate() ? 2 : 1);
    return safe + outputEnding(kind);
}

QString BuildOutputPath(const QString& folder, const QString& name, OutputKind kind,
                        bool withPdf)
{
    const QString fileName = DocumentFileName(name, kind);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString stem = dot < 0 ? fileName : fileName.left(dot);
    const QString extension = dot < 0 ? QString() : fileName.mid(dot);
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';

    const auto free = [&](const QString& numbered) {
        return !taken(prefix + numbered + extension) &&
               !(withPdf && taken(prefix + numbered + QStringLiteral(".pdf")));
    };
    QString candidate = stem;
    for (int counter = 1; !free(candidate); ++counter)
        candidate = stem + u'(' + QString::number(counter) + u')';
    return prefix + candidate + extension;
}

std::optional<QString> GenerateDocument(const GenerationContext& context, int recordIndex,
                                        const QString& templatePath, bool keepHidden,
                                        OutputKind kind)
{
    if (recordIndex < 1 || recordIndex > context.store.RecordCount())
        throw LumarelError(QStringLiteral("Запис %1 не знайдено").arg(recordIndex));
    if (templatePath.isEmpty() || !QFileInfo(templatePath).isFile())
        return std::nullopt;
    const ScratchFolder scratch;
    const QString finished = scratch.filePath(QStringLiteral("document.doc"));
    const QString finishedPdf =
        context.pdf ? scratch.filePath(QStringLiteral("document.pdf")) : QString();
    if (!StoreFilledDocument(context, recordIndex, templatePath, keepHidden, finished, finishedPdf))
        return std::nullopt;
    const QString folder = kind == OutputKind::Regular ? context.workDir.resultsFolder()
                                                       : context.workDir.examplesFolder();
    return PlaceOutputFiles(finished, finishedPdf, folder,
                            context.store.Record(recordIndex).DisplayName, kind)
        .document;
}

bool StoreFilledDocument(const GenerationContext& context, int recordIndex,
                         const QString& templatePath, bool keepHidden, const QString& savePath,
                         const QString& pdfPath)
{
    if (recordIndex < 1 || recordIndex > context.store.RecordCount())
        throw LumarelError(QStringLiteral("Запис %1 не знайдено").arg(recordIndex));
    if (templatePath.isEmpty() || !QFileInfo(templatePath).isFile())
        return false;
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
    bool stored = false;
    if (SubstituteTags(record, *session)) {
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
        stored = true;
    }
    ending.failed = false;
    return stored;
}
