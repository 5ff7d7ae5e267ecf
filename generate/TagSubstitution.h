#pragma once

#include "generate/DocumentSession.h"
#include "records/StudentRecord.h"

#include <QString>

// The tag every usable template must contain.
inline const QString SurnameTag = QStringLiteral("#Прізвище#");

// Fills the open document with one graduate's data. Returns false, leaving the
// document untouched, when it lacks "#Прізвище#"; otherwise replaces the 31
// tags in their fixed order and returns true. The text is read once for all
// of them: a tag it does not hold gets no replace call. A date part that is not a whole
// number throws LumarelError ("'…' is not a valid integer value") at once;
// the replacements made before stay in the document.
bool SubstituteTags(const StudentRecord& record, DocumentSession& document);

// The derived values, exposed for the tag reference and the tests.
namespace TagValues {
// "#З_Рід#": "в" for SexId "1", "ла" for "2", one space otherwise.
QString GenderEnding(const QString& sexId);
// Genitive Ukrainian and English month names; empty outside 1..12.
QString UkrainianMonth(int month);
QString EnglishMonth(int month);
// "st", "nd", "rd" or "th" for 1..31; empty otherwise.
QString OrdinalSuffix(int day);
} // namespace TagValues
