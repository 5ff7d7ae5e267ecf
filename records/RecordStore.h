#pragma once

#include "records/StudentRecord.h"

#include <optional>
#include <vector>

// The records of the last imported file, addressed 1 to RecordCount().
class RecordStore {
public:
    static constexpr int Capacity = 1000;

    int RecordCount() const { return static_cast<int>(m_records.size()); }
    // index 1..RecordCount()
    const StudentRecord& Record(int index) const;

    // Import only: empties the store; appends an empty record, returns its index.
    void BeginImport();
    int AppendRecord();
    StudentRecord& MutableRecord(int index);

    // Lowest index whose RecordNumber equals number.
    std::optional<int> FindRecordByNumber(qint32 number) const;
    // The document kind of a record (1..8) or none.
    std::optional<int> TemplateSlotOf(int index) const;

    void swap(RecordStore& other) noexcept { m_records.swap(other.m_records); }

private:
    std::vector<StudentRecord> m_records;
};
