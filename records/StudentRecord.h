#pragma once

#include <QList>
#include <QString>

#include <span>

enum class RecordField;

// A value longer than its field, as the file gave it: the field keeps only
// its first characters.
struct CutValue {
    RecordField Field;
    QString Original;
};

// One graduate's document record. Texts are Unicode; the fixed-width fields are
// cut on assignment (SetField) to their width in the table below.
struct StudentRecord {
    static constexpr int NameWidth = 40;
    static constexpr int DisplayNameWidth = 100;
    static constexpr int ShortWidth = 20;

    QString DisplayName;
    QString DocumentSeries;
    QString DocumentNumber;
    QString GraduateDate;
    QString IssueDate;
    QString LastName;
    QString FirstName;
    QString MiddleName;
    QString LastNameEn;
    QString FirstNameEn;
    QString MiddleNameEn;
    QString SexId;
    QString UniversityPrintName;
    QString UniversityPrintNameEn;
    QString LevelCode;
    QString SpecialityName;
    QString SpecialityNameEn;
    QString QualificationName;
    QString QualificationNameEn;
    QString BossPost;
    QString BossPostEn;
    QString BossFIO;
    QString BossFIOEn;
    QString FacultyName;
    QString AwardTypeName;
    qint32 RecordNumber = 0;
    // The fields SetField cut, each once; empty for almost every record.
    QList<CutValue> Cuts;
};

// Every text field once: its member and its width in characters (0 for
// unbounded). A new field is a member above and one line here. The name is
// also the element that holds it in the element form of the export, so
// renaming a member changes what the import reads.
#define LUMAREL_RECORD_FIELDS(FIELD)                                                               \
    FIELD(DisplayName, StudentRecord::DisplayNameWidth)                                            \
    FIELD(DocumentSeries, StudentRecord::ShortWidth)                                               \
    FIELD(DocumentNumber, StudentRecord::ShortWidth)                                               \
    FIELD(GraduateDate, StudentRecord::ShortWidth)                                                 \
    FIELD(IssueDate, StudentRecord::ShortWidth)                                                    \
    FIELD(LastName, StudentRecord::NameWidth)                                                      \
    FIELD(FirstName, StudentRecord::NameWidth)                                                     \
    FIELD(MiddleName, StudentRecord::NameWidth)                                                    \
    FIELD(LastNameEn, StudentRecord::NameWidth)                                                    \
    FIELD(FirstNameEn, StudentRecord::NameWidth)                                                   \
    FIELD(MiddleNameEn, StudentRecord::NameWidth)                                                  \
    FIELD(SexId, 1)                                                                                \
    FIELD(UniversityPrintName, 0)                                                                  \
    FIELD(UniversityPrintNameEn, 0)                                                                \
    FIELD(LevelCode, 0)                                                                            \
    FIELD(SpecialityName, 0)                                                                       \
    FIELD(SpecialityNameEn, 0)                                                                     \
    FIELD(QualificationName, 0)                                                                    \
    FIELD(QualificationNameEn, 0)                                                                  \
    FIELD(BossPost, 0)                                                                             \
    FIELD(BossPostEn, 0)                                                                           \
    FIELD(BossFIO, 0)                                                                              \
    FIELD(BossFIOEn, 0)                                                                            \
    FIELD(FacultyName, 0)                                                                          \
    FIELD(AwardTypeName, 1)

// Field identifiers for width-checked assignment, in the order of the table.
enum class RecordField {
#define LUMAREL_FIELD_ID(name, width) name,
    LUMAREL_RECORD_FIELDS(LUMAREL_FIELD_ID)
#undef LUMAREL_FIELD_ID
};

struct FieldInfo {
    RecordField Field;
    const char* Name;
    QString StudentRecord::*Member;
    int Width;
};

// The table's rows, in the order of RecordField.
std::span<const FieldInfo> Fields();
const FieldInfo& InfoOf(RecordField field);
// Width of a field in characters, 0 for unbounded text.
int FieldWidth(RecordField field);
// The field's storage in a record.
QString& FieldRef(StudentRecord& record, RecordField field);
const QString& FieldRef(const StudentRecord& record, RecordField field);
// Assigns a value, cut to the field's width; a cut value is kept in Cuts.
void SetField(StudentRecord& record, RecordField field, const QString& value);
