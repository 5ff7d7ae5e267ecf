#include "records/StudentRecord.h"

#include "records/TextRules.h"

#include <array>

namespace {

constexpr std::array FieldTable{
#define LUMAREL_FIELD_INFO(name, width)                                                            \
    FieldInfo{RecordField::name, #name, &StudentRecord::name, width},
    LUMAREL_RECORD_FIELDS(LUMAREL_FIELD_INFO)
#undef LUMAREL_FIELD_INFO
};

} // namespace

std::span<const FieldInfo> Fields()
{
    return FieldTable;
}

const FieldInfo& InfoOf(RecordField field)
{
    return FieldTable[static_cast<size_t>(field)];
}

int FieldWidth(RecordField field)
{
    return InfoOf(field).Width;
}

QString& FieldRef(StudentRecord& record, RecordField field)
{
    return record.*InfoOf(field).Member;
}

const QString& FieldRef(const StudentRecord& record, RecordField field)
{
    return record.*InfoOf(field).Member;
}

void SetField(StudentRecord& record, RecordField field, const QString& value)
{
    const int width = FieldWidth(field);
    QString& stored = FieldRef(record, field);
    stored = width > 0 ? TextRules::CutToWidth(value, width) : value;
    record.Cuts.removeIf([field](const CutValue& cut) { return cut.Field == field; });
    if (stored.size() != value.size())
        record.Cuts.append({field, value});
}
