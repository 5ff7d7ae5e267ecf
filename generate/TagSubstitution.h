#pragma once

#include "generate/office/DocumentSession.h"
#include "generate/tags/TagTable.h"
#include "records/StudentRecord.h"

#include <QString>

// What filling a document came to. Nothing is written unless it was filled.
struct Substitution {
    bool filled = false;
    // Why the record's data was refused (BadDateText); empty when it was
    // filled or when the document holds no "#Прізвище#".
    QString refusal;
    explicit operator bool() const { return filled; }
};

// Fills the open document with one graduate's data. Leaves the document
// untouched when no part of it holds "#Прізвище#", and when a date that a tag
// of its group asks for names no day of the calendar (the refusal names the
// date and the first of those tags); otherwise replaces the tags of the tag
// table. The document is searched once for all of them, and the values are
// written in one pass at the end, literally: a value holding a tag's text
// keeps it. A date part that is not a whole number throws LumarelError ("'…'
// is not a valid integer value") before anything is written.
Substitution SubstituteTags(const StudentRecord& record, DocumentSession& document);
