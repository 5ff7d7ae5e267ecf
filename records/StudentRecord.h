#pragma once

#include <QString>

// One graduate's document record. Texts are Unicode; the fixed-width fields are
// cut on assignment (set...) to their width in characters.
struct StudentRecord {
    static constexpr int NameWidth = 40;
    static constexpr int DisplayNameWidth = 100;
    static constexpr int ShortWidth = 20;

    QString DisplayName;    // <= 100
    QString DocumentSeries; // <= 20
    QString DocumentNumber; // <= 20
    QString GraduateDate;   // <= 20
    QString IssueDate;      // <= 20
    QString LastName;       // <= 40
    QString FirstName;      // <= 40
    QString MiddleName;     // <= 40
    QString LastNameEn;     // <= 40
    QString FirstNameEn;    // <= 40
    QString MiddleNameEn;   // <= 40
    QString SexId;          // 1
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
    QString AwardTypeName; // 1
    qint32 RecordNumber = 0;
};

// Field identifiers for width-checked assignment.
enum class RecordField {
    DisplayName,
    DocumentSeries,
    DocumentNumber,
    GraduateDate,
    IssueDate,
    LastName,
    FirstName,
    MiddleName,
    LastNameEn,
    FirstNameEn,
    MiddleNameEn,
    SexId,
    UniversityPrintName,
    UniversityPrintNameEn,
    LevelCode,
    SpecialityName,
    SpecialityNameEn,
    QualificationName,
    QualificationNameEn,
    BossPost,
    BossPostEn,
    BossFIO,
    BossFIOEn,
    FacultyName,
    AwardTypeName,
};

// Width of a field in characters, 0 for unbounded text.
int FieldWidth(RecordField field);
// The field's storage in a record.
QString& FieldRef(StudentRecord& record, RecordField field);
// Assigns a value, cut to the field's width.
void SetField(StudentRecord& record, RecordField field, const QString& value);
