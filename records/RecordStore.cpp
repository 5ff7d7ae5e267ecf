#include "records/RecordStore.h"

#include "records/TemplateSlot.h"

#include <QtGlobal>

const StudentRecord& RecordStore::Record(int index) const
{
    Q_ASSERT(index >= 1 && index <= RecordCount());
    return m_records[static_cast<size_t>(index - 1)];
}

StudentRecord& RecordStore::MutableRecord(int index)
{
    Q_ASSERT(index >= 1 && index <= RecordCount());
    return m_records[static_cast<size_t>(index - 1)];
}

void RecordStore::BeginImport()
{
    m_records.clear();
    m_records.reserve(Capacity);
}

int RecordStore::AppendRecord()
{
    Q_ASSERT(RecordCount() < Capacity);
    m_records.emplace_back();
    return RecordCount();
}

std::optional<int> RecordStore::FindRecordByNumber(qint32 number) const
{
    for (int i = 1; i <= RecordCount(); ++i) {
        if (Record(i).RecordNumber == number)
            return i;
    }
    return std::nullopt;
}

std::optional<int> RecordStore::TemplateSlotOf(int index) const
{
    if (index < 1 || index > RecordCount())
        return std::nullopt;
    const StudentRecord& r = Record(index);
    return TemplateSlotFor(r.LevelCode, r.AwardTypeName);
}
