#pragma once

#include "generate/office/DocumentSession.h"
#include "generate/ResultTexts.h"
#include "records/RecordStore.h"
#include "settings/ExportOptions.h"
#include "settings/WorkDir.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

// One row of a batch: the graduate's name and the outcome.
struct BatchRow {
    QString name;
    // GeneratedText, NoTemplateText, BadTemplateText, or why the graduate's
    // data or PDF was refused
    QString result;
    QString path; // the saved document, when generated
    QString pdf;  // the PDF beside it, when asked for
    // The PDF that goes into the print file: pdf, or a scratch file when only
    // the print file asked for one.
    QString printPart;
    bool generated() const { return !path.isEmpty(); }
};

// A row whose document the office has stored in a scratch folder but that has
// no name in Results yet.
struct StoredRow {
    QString name;
    QString result;
    QString finished; // the stored document, when generated
    QString finishedPdf; // its PDF, when the options ask for one
};

// The last row of a batch with the print file: its title, the path follows.
inline const QString PrintFileRowText = QStringLiteral("Файл для друку");

// Moves a stored row's files into resultsFolder (see PlaceOutputFiles): the
// PDF beside the document only when options ask for it.
BatchRow PlaceStoredRow(const StoredRow& stored, const QString& resultsFolder,
                        const ExportOptions& options);

// The regular export of several records in a row, as the batch window and the
// command-line export run it. Each record gets its own document from the
// template assigned to its kind, looked up afresh, opened, filled, saved and
// closed in one office that serves the whole batch: started for the first
// record that needs it, ended by finish() (also after an error). An office
// lost under a record is started again and the record tried once more.
class BatchExport {
public:
    // makeSession: the office to use; empty means LibreOffice. options: what
    // is written besides each .doc; a PDF that cannot be written is that
    // graduate's row (its text the error's), and neither file is kept.
    BatchExport(const RecordStore& store, WorkDir workDir, SessionFactory makeSession = {},
                ExportOptions options = {});
    ~BatchExport();
    BatchExport(const BatchExport&) = delete;
    BatchExport& operator=(const BatchExport&) = delete;

    // One record (1-based) in two halves, so that several offices can fill
    // documents side by side while the names are still given in list order:
    // store() has the office store the document at savePath (a scratch file;
    // its PDF beside it with ".pdf"), place() moves it into Results under the
    // next free name and may run on another thread. A missing or unusable
    // template is a row, and so is an office lost twice under the same
    // record; any other failure throws LumarelError and ends the batch (the
    // office is ended). An office that hangs is ended by the watch over its
    // calls: that record's row says so, and the next one gets a new office.
    StoredRow store(int recordIndex, const QString& savePath);
    BatchRow place(const StoredRow& stored) const;
    // Ends whatever office the batch holds. Never throws.
    void finish() noexcept;
    // Ends the office at once from another thread, also in the middle of a
    // call, and starts none after it: the record under way gets a row of
    // the lost office. Never throws.
    void abort() noexcept;

    // How many times an office was started for this batch.
    int officeStarts() const { return m_starts; }

private:
    DocumentSession& office();

    const RecordStore& m_store;
    WorkDir m_workDir;
    SessionFactory m_makeSession;
    ExportOptions m_options;
    // Made on the batch's thread; abort() reaches it from another.
    std::mutex m_sessionMade;
    std::unique_ptr<DocumentSession> m_session;
    std::atomic<bool> m_aborted{false};
    bool m_started = false;
    int m_starts = 0;
};
