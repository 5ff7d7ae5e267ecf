#pragma once

#include "generate/DocumentSession.h"
#include "generate/ResultTexts.h"
#include "records/RecordStore.h"
#include "settings/WorkDir.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

// How a document is generated: a regular export into Results, or the
// demonstration into Examples.
enum class OutputKind : int { Regular = 1, Demonstration = 2 };

// The demonstration template, in Examples.
inline const QString DemoTemplateFileName = QStringLiteral("template-dip-bak-2015.doc");

// Whether the office program and its UNO runtime are there; when not, the
// caller shows WordMissingText.
bool CheckWordInstalled();
bool CheckWordInstalled(const QString& officeProgramDir);

// The template assigned to the record's document kind, trimmed; empty when no
// Templ.set exists, the line is blank, or the record has no document kind.
QString FindTemplatePath(const WorkDir& workDir, const RecordStore& store, int recordIndex);

// A path in folder, not taken by any file, for the document of name: every
// space and every character a file name cannot hold becomes "_", then comes
// the ending of kind, then "(1)", "(2)"... before the extension when needed.
// withPdf: the same name with ".pdf" in place of the extension must be free too.
QString BuildOutputPath(const QString& folder, const QString& name, OutputKind kind,
                        bool withPdf = false);
// The file name BuildOutputPath starts from, before any "(1)".
QString DocumentFileName(const QString& name, OutputKind kind);

// What a generation works with. By default every call starts an office of its
// own and quits it before returning; a batch may lend one already started.
struct GenerationContext {
    const RecordStore& store;
    WorkDir workDir;
    // Borrowed, started office: each call opens and closes its document in it.
    // It is quit too when a call fails, so no office outlives an error.
    DocumentSession* session = nullptr;
    // Makes the office a call starts itself; empty means LibreOffice.
    std::function<std::unique_ptr<DocumentSession>()> makeSession;
    // Also save the document as PDF/A beside it, same name with ".pdf".
    bool pdf = false;
};

// Fills the template with the record's data and saves it under BuildOutputPath
// in Results (Regular) or Examples (otherwise); returns the saved path. None
// when the template file does not exist (no office is started) or lacks
// "#Прізвище#" (nothing is saved). Errors are passed on after the office has
// been quit. keepHidden applies to an office the call starts itself. The
// office stores into a scratch folder of ours; the finished file is then
// moved into place under a name claimed atomically (PlaceOutputFile), with
// its PDF when context.pdf asks for one; a PDF that cannot be written throws
// PdfExportError and leaves neither file.
std::optional<QString> GenerateDocument(const GenerationContext& context, int recordIndex,
                                        const QString& templatePath, bool keepHidden,
                                        OutputKind kind);

// The office half of GenerateDocument: fills the template and has the office
// store the document at savePath, a file in a scratch folder of ours, and its
// PDF at pdfPath unless that is empty. False when the template file does not
// exist or lacks "#Прізвище#". A PDF that cannot be written throws
// PdfExportError; a lent office is kept then, it still works.
bool StoreFilledDocument(const GenerationContext& context, int recordIndex,
                         const QString& templatePath, bool keepHidden, const QString& savePath,
                         const QString& pdfPath = QString());
