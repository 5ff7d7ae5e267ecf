#pragma once

#include "export/BatchExport.h"
#include "generate/office/ScratchFolder.h"

#include <QString>
#include <atomic>

// One record through both halves of the batch, one after the other: stored
// into scratch by the office, then placed in Results under its name.
inline BatchRow ExportRecord(BatchExport& batch, ScratchFolder& scratch, int recordIndex)
{
    static std::atomic<int> stored = 0;
    const QString savePath = scratch.filePath(QString::number(++stored) + QStringLiteral(".doc"));
    return batch.place(batch.store(recordIndex, savePath));
}
