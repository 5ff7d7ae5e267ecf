#pragma once

#include "generate/DocumentGeneration.h"
#include "generate/office/DocumentSession.h"
#include "records/RecordStore.h"
#include "settings/WorkDir.h"

#include <QString>
#include <memory>
#include <optional>

class ScratchFolder;

// One graduate's filled document as the office lays it out, or why the
// single export would save nothing for that graduate.
struct PreviewPage {
    QString templatePath; // FindTemplatePath's answer; empty when none is assigned
    QString refusal;      // the single export's message; empty when there are pages
    QString pdf;          // the pages, in the preview's scratch folder
};

// What the single export did through the preview's office: the saved
// document, or the message it shows instead.
struct SavedDocument {
    QString path;
    QString refusal;
};

// The documents of one graduate after another, shown before anything is
// saved: the template of the graduate's kind filled as the single export
// fills it and exported as PDF into a scratch folder of its own, never into
// Results or Examples. One office serves every page: started for the first,
// kept for the next, ended by finish() or with the object; an office lost
// under a page is started again and the page made once more. Each page's
// file goes when the next page is made; the folder goes with the object.
// Not thread-safe: use it from one thread at a time.
class DocumentPreview {
public:
    // makeSession: the office to use; empty means LibreOffice.
    DocumentPreview(const RecordStore& store, WorkDir workDir, SessionFactory makeSession = {});
    ~DocumentPreview();
    DocumentPreview(const DocumentPreview&) = delete;
    DocumentPreview& operator=(const DocumentPreview&) = delete;

    // The pages of the record (1-based). A template the export would refuse
    // is a refusal, not an error; an unexpected failure (a date the export
    // cannot read, an office lost twice) throws LumarelError.
    PreviewPage make(int recordIndex);
    // The single export of the record (GenerateDocument into Results, the
    // PDF beside it when alsoPdf) in the preview's office.
    SavedDocument save(int recordIndex, bool alsoPdf);
    // Sessions that work in the preview's office and never end it, for a
    // TemplateReader reading the same templates.
    SessionFactory lentOffice();
    // Ends the office. Never throws.
    void finish() noexcept;

    int officeStarts() const { return m_starts; }
    // The scratch folder, made with the first page; empty before.
    QString scratchPath() const;

private:
    friend class LentSession;
    DocumentSession& office();
    void lost() noexcept;
    QString nextPdfPath();

    const RecordStore& m_store;
    WorkDir m_workDir;
    SessionFactory m_makeSession;
    std::unique_ptr<DocumentSession> m_session;
    std::unique_ptr<ScratchFolder> m_scratch;
    QString m_lastPdf;
    bool m_started = false;
    int m_starts = 0;
    int m_pages = 0;
};
