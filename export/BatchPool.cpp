#include "export/BatchPool.h"

#include "export/PrintFile.h"
#include "generate/OutputPlacement.h"
#include "generate/office/ScratchFolder.h"
#include "records/LumarelError.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// After a stop the offices may finish the documents they hold; one that is
// not done by then is ended, so that a stop never waits on a hung office.
// Once for the documents under way, once more for the offices' quitting.
constexpr std::chrono::milliseconds StopGrace{1500};

} // namespace

struct BatchPool::Shared {
    const RecordStore& store;
    WorkDir workDir;
    QList<int> indexes;
    SessionFactory makeSession;
    ExportOptions options;
    ScratchFolder scratch;
    // The print file's parts, in list order.
    QStringList printParts;

    std::mutex mutex;
    std::condition_variable changed;
    // Per position: what the worker made of it, or the error.
    std::vector<std::optional<StoredRow>> stored;
    std::vector<std::exception_ptr> errors;
    int nextToStore = 0;
    int taken = 0;
    // No position past this one is started: the first failure so far.
    int stopAt = 0;
    bool stopping = false;
    // The stop ended the offices still at work: what they were doing is
    // left undone.
    bool aborting = false;
    // The workers' batches while they run, and whether each is in a
    // document.
    std::map<BatchExport*, bool> running;
    int starts = 0;
    int offices = 0;
    std::vector<std::thread> workers;

    Shared(const RecordStore& s, WorkDir w, QList<int> i, SessionFactory f, ExportOptions o)
        : store(s), workDir(std::move(w)), indexes(std::move(i)), makeSession(std::move(f)),
          options(o),
          // The print file's parts wait here until joined: they stay on disk.
          scratch(o.printFile && !o.alsoPdf ? QDir::tempPath() : ScratchFolder::StoreParent()),
          stored(static_cast<size_t>(indexes.size())), errors(static_cast<size_t>(indexes.size())),
          stopAt(static_cast<int>(indexes.size()))
    {
    }

    void work();
    QString savePath(int position) const
    {
        return scratch.filePath(QString::number(position + 1) + QStringLiteral(".doc"));
    }
};

// The office lives and dies on its worker's thread.
void BatchPool::Shared::work()
{
    BatchExport batch(store, workDir, makeSession, options);
    {
        std::lock_guard lock(mutex);
        running.emplace(&batch, false);
    }
    for (;;) {
        int position = 0;
        {
            std::lock_guard lock(mutex);
            if (stopping || nextToStore >= stopAt)
                break;
            position = nextToStore++;
            running[&batch] = true;
        }
        std::optional<StoredRow> row;
        std::exception_ptr error;
        try {
            row = batch.store(indexes.at(position), savePath(position));
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(mutex);
        running[&batch] = false;
        changed.notify_all();
        // Cut short by the stop: not done, rather than failed.
        if (aborting && (error || row->finished.isEmpty()))
            break;
        if (error) {
            errors[static_cast<size_t>(position)] = error;
            stopAt = std::min(stopAt, position);
        } else {
            stored[static_cast<size_t>(position)] = std::move(row);
        }
        changed.notify_all();
    }
    batch.finish();
    std::lock_guard lock(mutex);
    starts += batch.officeStarts();
    running.erase(&batch);
    changed.notify_all();
}

BatchPool::BatchPool(const RecordStore& store, WorkDir workDir, QList<int> recordIndexes,
                     int offices, SessionFactory makeSession, ExportOptions options)
    : d(std::make_shared<Shared>(store, std::move(workDir), std::move(recordIndexes),
                                 std::move(makeSession), options))
{
    const int graduates = static_cast<int>(d->indexes.size());
    const int count =
        offices > 0 ? std::min(offices, std::max(graduates, 1)) : DefaultOffices(graduates);
    d->offices = graduates > 0 ? count : 0;
    try {
        for (int k = 0; k < d->offices; ++k)
            d->workers.emplace_back([shared = d.get()] { shared->work(); });
    } catch (const std::system_error& e) {
        // Fewer threads than asked for still do the whole batch.
        qWarning("Fewer offices started: %s", e.what());
        d->offices = static_cast<int>(d->workers.size());
        if (d->workers.empty()) {
            finish();
            throw LumarelError(QStringLiteral("Не вдалося запустити потік: ") +
                               QString::fromLocal8Bit(e.what()));
        }
    }
}

BatchPool::~BatchPool()
{
    finish();
}

int BatchPool::DefaultOffices(int graduates)
{
    return std::max(1, std::min(QThread::idealThreadCount(), graduates));
}

std::optional<BatchRow> BatchPool::nextRow(int waitMs)
{
    std::unique_lock lock(d->mutex);
    const int position = d->taken;
    if (position >= d->indexes.size())
        return std::nullopt;
    const auto ready = [&] {
        return d->stored[static_cast<size_t>(position)].has_value() ||
               d->errors[static_cast<size_t>(position)] != nullptr;
    };
    if (waitMs < 0)
        d->changed.wait(lock, ready);
    else if (!d->changed.wait_for(lock, std::chrono::milliseconds(waitMs), ready))
        return std::nullopt;
    if (const std::exception_ptr error = d->errors[static_cast<size_t>(position)]) {
        lock.unlock();
        finish();
        std::rethrow_exception(error);
    }
    const StoredRow stored = std::move(*d->stored[static_cast<size_t>(position)]);
    d->stored[static_cast<size_t>(position)].reset();
    lock.unlock();
    BatchRow row;
    try {
        row = PlaceStoredRow(stored, d->workDir.resultsFolder(), d->options);
    } catch (...) {
        finish();
        throw;
    }
    lock.lock();
    ++d->taken;
    if (!row.printPart.isEmpty())
        d->printParts.append(row.printPart);
    return row;
}

void BatchPool::finish() noexcept
{
    {
        std::unique_lock lock(d->mutex);
        // Stopped with documents still to do: an office that does not quit
        // in time is not waited for either. At the end of a batch the
        // offices quit in their own time.
        const bool cutShort = d->nextToStore < d->stopAt;
        d->stopping = true;
        const auto idle = [this] {
            return std::none_of(d->running.begin(), d->running.end(),
                                [](const auto& worker) { return worker.second; });
        };
        const auto abort = [this](bool all) {
            d->aborting = true;
            for (const auto& [batch, busy] : d->running)
                if (busy || all)
                    batch->abort();
        };
        if (!d->changed.wait_for(lock, StopGrace, idle))
            abort(false);
        if (cutShort &&
            !d->changed.wait_for(lock, StopGrace, [this] { return d->running.empty(); }))
            abort(true);
    }
    for (std::thread& worker : d->workers)
        if (worker.joinable())
            worker.join();
    d->workers.clear();
}

std::optional<QString> BatchPool::writePrintFile(const QDateTime& when)
{
    QStringList parts;
    {
        std::lock_guard lock(d->mutex);
        if (!d->options.printFile)
            return std::nullopt;
        parts = d->printParts;
    }
    if (parts.isEmpty())
        return std::nullopt;
    return PrintFile::Write(parts, d->workDir.resultsFolder(), when);
}

int BatchPool::offices() const
{
    return d->offices;
}

int BatchPool::officeStarts() const
{
    std::lock_guard lock(d->mutex);
    return d->starts;
}
