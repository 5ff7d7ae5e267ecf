#include "records/StudentRecord.h"

#include "records/TextRules.h"

int FieldWidth(RecordField field)
{
    switch (field) {
    case RecordField::DisplayName:
        return StudentRecord::DisplayNameWidth;
    case RecordField::DocumentSeries:
    case RecordField::DocumentNumber:
    case RecordField::GraduateDate:
    case RecordField::IssueDate:
        return StudentRecord::ShortWidth;
    case RecordField::LastName:
    case RecordField::FirstName:
    case RecordField::MiddleName:
    case RecordField::LastNameEn:
    case RecordField::FirstNameEn:
    case RecordField::MiddleNameEn:
        return StudentRecord::NameWidth;
    case RecordField::SexId:
    case RecordField::AwardTypeName:
        return 1;
    default:
        return 0;
    }
}

QString& FieldRef(StudentRecord& r, RecordField field)
{
    switch (field) {
    case RecordField::DisplayName:
        return r.DisplayName;
    case RecordField::DocumentSeries:
        return r.DocumentSeries;
    case RecordField::DocumentNumber:
        return r.DocumentNumber;
    case RecordField::GraduateDate:
        return r.GraduateDate;
    case RecordField::IssueDate:
        return r.IssueDate;
    case RecordField::LastName:
        return r.LastName;
    case RecordField::FirstName:
        return r.FirstName;
    case RecordField::MiddleName:
        return r.MiddleName;
    case RecordField::LastNameEn:
        return r.LastNameEn;
    case RecordField::FirstNameEn:
        return r.FirstNameEn;
    case RecordField::MiddleNameEn:
        return r.MiddleNameEn;
    case RecordField::SexId:
        return r.SexId;
    case RecordField::UniversityPrintName:
        return r.UniversityPrintName;
    case RecordField::UniversityPrintNameEn:
        return r.UniversityPrintNameEn;
    case RecordField::LevelCode:
        return r.LevelCode;
    case RecordField::SpecialityName:
        return r.SpecialityName;
    case RecordField::SpecialityNameEn:
        return r.SpecialityNameEn;
    case RecordField::QualificationName:
        return r.QualificationName;
    case RecordField::QualificationNameEn:
        return r.QualificationNameEn;
    case RecordField::BossPost:
        return r.BossPost;
    case RecordField::BossPostEn:
        return r.BossPostEn;
    case RecordField::BossFIO:
        return r.BossFIO;
    case RecordField::BossFIOEn:
        return r.BossFIOEn;
    case RecordField::FacultyName:
        return r.FacultyName;
    case RecordField::AwardTypeName:
        return r.AwardTypeName;
    }
    Q_UNREACHABLE();
}

void SetField(StudentRecord& record, RecordField field, const QString& value)
{
    const int width = FieldWidth(field);
    FieldRef(record, field) = width > 0 ? TextRules::CutToWidth(value, width) : value;
}
