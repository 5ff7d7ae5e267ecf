#include "windows/PreviewOffice.h"

#include "checks/DataCheck.h"
#include "records/LumarelError.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>

PreviewOffice::PreviewOffice(const RecordStore& store, WorkDir workDir, SessionFactory makeSession,
                             QObject* parent)
    : QObject(parent), m_store(store), m_workDir(std::move(workDir)),
      m_makeSession(std::move(makeSession))
{
    try {
        m_thread = std::thread([this] { work(); });
    } catch (const std::system_error& e) {
        throw LumarelError(QStringLiteral("Не вдалося запустити потік: ") +
                           QString::fromLocal8Bit(e.what()));
    }
}

PreviewOffice::~PreviewOffice()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void PreviewOffice::show(int recordIndex)
{
    {
        std::lock_guard lock(m_mutex);
        m_wanted = recordIndex;
    }
    m_changed.notify_all();
}

SavedDocument PreviewOffice::save(int recordIndex, bool alsoPdf)
{
    {
        std::lock_guard lock(m_mutex);
        m_save = SaveJob{recordIndex, alsoPdf};
        m_saved.reset();
        m_saveError = nullptr;
    }
    m_changed.notify_all();
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_saveError)
                std::rethrow_exception(std::exchange(m_saveError, nullptr));
            if (m_saved)
                return *std::exchange(m_saved, std::nullopt);
        }
        // The worker posts an event when it is done, which ends the wait.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
}

void PreviewOffice::work()
{
    DocumentPreview preview(m_store, m_workDir, m_makeSession);
    for (;;) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stopping || m_save || m_wanted; });
        if (m_stopping)
            break;
        if (m_save) {
            const SaveJob job = *std::exchange(m_save, std::nullopt);
            lock.unlock();
            std::optional<SavedDocument> saved;
            std::exception_ptr error;
            try {
                saved = preview.save(job.recordIndex, job.alsoPdf);
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            m_saved = std::move(saved);
            m_saveError = error;
            lock.unlock();
            QMetaObject::invokeMethod(
                this, [] {}, Qt::QueuedConnection);
            continue;
        }
        const int index = *std::exchange(m_wanted, std::nullopt);
        lock.unlock();
        PreviewShown page = makePage(preview, index);
        QMetaObject::invokeMethod(
            this, [this, page = std::move(page)] { Q_EMIT shown(page); }, Qt::QueuedConnection);
    }
}

PreviewShown PreviewOffice::makePage(DocumentPreview& preview, int recordIndex)
{
    PreviewShown shown;
    shown.recordIndex = recordIndex;
    try {
        shown.page = preview.make(recordIndex);
        if (!shown.page.pdf.isEmpty()) {
            QFile pdf(shown.page.pdf);
            if (!pdf.open(QIODevice::ReadOnly))
                throw LumarelError(ReadFileFailedText.arg(shown.page.pdf, pdf.errorString()));
            shown.pdf = pdf.readAll();
        }
    } catch (...) {
        shown.error = CurrentErrorText();
        shown.pdf.clear();
    }
    try {
        // A reader per page: a template edited meanwhile is read afresh.
        TemplateReader reader(preview.lentOffice());
        for (const DataFinding& finding :
             DataCheck(m_store, m_workDir, reader).check({recordIndex}))
            shown.findings.append(finding.text);
    } catch (...) {
        shown.findings.append(CurrentErrorText());
    }
    return shown;
}
