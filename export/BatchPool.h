#pragma once

#include "export/BatchExport.h"

#include <QDateTime>
#include <QList>
#include <memory>
#include <optional>

// The batch on several offices side by side: each worker thread owns an
// office (its own process, profile and pipe) and fills whole documents; the
// rows come back strictly in list order, and each document gets its name in
// Results only when its row is taken, so the names are those a batch on one
// office would give. A lost office is started again and its graduate tried
// once more; an error ends the batch at its graduate and ends every office.
class BatchPool {
public:
    // recordIndexes: the records to export, in list order (1-based).
    // offices: how many to run; 0 means DefaultOffices. The workers start at
    // once. makeSession is called on the worker threads.
    BatchPool(const RecordStore& store, WorkDir workDir, QList<int> recordIndexes,
              int offices = 0, SessionFactory makeSession = {}, ExportOptions options = {});
    ~BatchPool();
    BatchPool(const BatchPool&) = delete;
    BatchPool& operator=(const BatchPool&) = delete;

    // One per core, at most one per graduate, at least one.
    static int DefaultOffices(int graduates);

    // The next row in list order, waiting at most waitMs (-1: until it is
    // there); none when it is not ready yet. The failure that ends the batch
    // is thrown here, in its place in the list, once every office is ended;
    // the rows before it have all been given.
    std::optional<BatchRow> nextRow(int waitMs);
    // Stops the workers after their current document and ends every office;
    // documents not yet taken get no name. Never throws.
    void finish() noexcept;

    // Once every row is taken and the options ask for it: the print file of
    // the rows' documents, in list order, written into Results; its path.
    // None when not asked for or no document was generated. Throws
    // LumarelError when it cannot be written.
    std::optional<QString> writePrintFile(const QDateTime& when = QDateTime::currentDateTime());

    int offices() const;
    // Office starts of all workers so far.
    int officeStarts() const;

private:
    struct Shared;
    std::shared_ptr<Shared> d;
};
