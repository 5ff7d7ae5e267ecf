#pragma once

#include "generate/OutputNaming.h"
#include "generate/ResultTexts.h"
#include "generate/TagSubstitution.h"
#include "generate/office/DocumentSession.h"
#include "generate/office/WordInstalled.h"
#include "records/RecordStore.h"
#include "settings/WorkDir.h"

#include <QString>
#include <optional>

// The demonstration template, in Examples.
inline const QString DemoTemplateFileName = QStringLiteral("template-dip-bak-2015.doc");

// Creates the work folders and writes the embedded demonstration template into
// Examples unless a file or link of that name is there: a template the user
// has edited stays. Returns its path. Throws LumarelError when a folder or the
// file cannot be written.
QString EnsureDemoTemplate(const WorkDir& workDir);

// The template assigned to the record's document kind, trimmed; empty when no
// Templ.set exists, the line is blank, or the record has no document kind.
QString FindTemplatePath(const WorkDir& workDir, const RecordStore& store, int recordIndex);

// What a generation works with. By default every call starts an office of its
// own and quits it before returning; a batch may lend one already started.
struct GenerationContext {
    const RecordStore& store;
    WorkDir workDir;
    // Borrowed, started office: each call opens and closes its document in it.
    // It is quit too when a call fails, so no office outlives an error.
    DocumentSession* session = nullptr;
    // Makes the office a call starts itself; empty means LibreOffice.
    SessionFactory makeSession;
    // Also save the document as PDF/A beside it, same name with ".pdf".
    bool pdf = false;
};

// Fills the template with the record's data and saves it under BuildOutputPath
// in Results (Regular) or Examples (otherwise); returns the saved path. None
// when the template file does not exist (no office is started), lacks
// "#Прізвище#", or the record's data is refused (nothing is saved; the
// refusal's text goes to *refusal when given, which stays empty otherwise).
// Errors are passed on after the office has been quit. keepHidden applies to
// an office the call starts itself. The office stores into a scratch folder
// of ours; the finished file is then moved into place under a name claimed
// atomically (PlaceOutputFiles), with its PDF when context.pdf asks for one;
// a PDF that cannot be written throws PdfExportError and leaves neither file.
std::optional<QString> GenerateDocument(const GenerationContext& context, int recordIndex,
                                        const QString& templatePath, bool keepHidden,
                                        OutputKind kind, QString* refusal = nullptr);

// The office half of GenerateDocument: fills the template and has the office
// store the document at savePath, a file in a scratch folder of ours, and its
// PDF at pdfPath unless that is empty. Not filled when the template file does
// not exist or lacks "#Прізвище#", or with the refusal of the record's data
// (SubstituteTags); nothing is stored then. A PDF that cannot be written throws
// PdfExportError; a lent office is kept then, it still works.
Substitution StoreFilledDocument(const GenerationContext& context, int recordIndex,
                                 const QString& templatePath, bool keepHidden,
                                 const QString& savePath, const QString& pdfPath = QString());
