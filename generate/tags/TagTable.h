#pragma once

#include "records/StudentRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

// Where a tag's value comes from. The tags are replaced in the order of these
// kinds, whatever the order of the rows.
enum class TagValue {
    LastName,
    FirstName,
    MiddleName,
    // The English spellings of the names.
    LastNameEn,
    FirstNameEn,
    MiddleNameEn,
    GenderEnding,
    SpecialityName,
    SpecialityNameEn,
    QualificationName,
    QualificationNameEn,
    DocumentSeries,
    DocumentNumber,
    UniversityPrintName,
    UniversityPrintNameEn,
    BossPost,
    BossPostEn,
    BossFIO,
    BossFIOEn,
    IssueDay,
    IssueYear,
    IssueUkrainianMonth,
    IssueEnglishMonth,
    IssueMonthNumber,
    IssueDaySuffix,
    GraduateDay,
    GraduateYear,
    GraduateUkrainianMonth,
    GraduateEnglishMonth,
    GraduateMonthNumber,
    GraduateDaySuffix,
};

// One tag: its text, the explanation the tag reference shows, where its value
// comes from, and whether the reference lists it at all.
struct TagRow {
    QString Tag;
    QString Description;
    TagValue Value;
    bool Listed = true;
};

// The tag every usable template must contain.
inline const QString SurnameTag = QStringLiteral("#Прізвище#");

namespace TagTable {
// The rows of the tag reference in its order, then the tags that are replaced
// without being listed.
const QList<TagRow>& Rows();
// The rows in the order the tags are replaced, each tag once.
const QList<TagRow>& ReplacementOrder();
enum class TagOrder { Replacement, Reference };
// Each tag's text once: in the order the tags are replaced, or in the order
// of the reference with the unlisted ones last. The same tags either way.
const QStringList& Tags(TagOrder order = TagOrder::Replacement);
// The value of a tag for one record. A date part that is not a whole number
// throws LumarelError ("'…' is not a valid integer value").
QString ValueOf(TagValue value, const StudentRecord& record);
// True for the day suffix of a date the record has: its value is made only
// when the document, read afresh, holds the tag.
bool OnlyWhenAsked(TagValue value, const StudentRecord& record);

// The record field a tag's value is made from (a date's part from its date,
// the gender ending from SexId).
RecordField SourceField(TagValue value);

// Which of the record's two dates a tag's value is made from, if any.
enum class DateSource { None, Issue, Graduate };
DateSource DateSourceOf(TagValue value);
// The record's text of that date (empty for None).
QString DateText(DateSource source, const StudentRecord& record);
// Whether the export fills in every part of the date (suffix included) and
// the day, month and year name a real day of the calendar.
bool IsCalendarDate(const QString& date);
// A date whose day, month and year are whole numbers that name no day of the
// calendar (31/02/2023, 15/13/2023, 29.02.2023): the export refuses to print
// it. A part that is no number is not this case: the conversion error, or the
// day written as it is, stays what it was.
bool IsImpossibleDate(const QString& date);
} // namespace TagTable

// The derived values.
namespace TagValues {
// "#З_Рід#": "в" for SexId "1", "ла" for "2", one space otherwise.
QString GenderEnding(const QString& sexId);
// Genitive Ukrainian and English month names; empty outside 1..12.
QString UkrainianMonth(int month);
QString EnglishMonth(int month);
// "st", "nd", "rd" or "th" for 1..31; empty otherwise.
QString OrdinalSuffix(int day);
} // namespace TagValues
