#pragma once

#include "generate/office/DocumentSession.h"
#include "generate/tags/TagTable.h"
#include "records/StudentRecord.h"

#include <QString>

// Fills the open document with one graduate's data. Returns false, leaving the
// document untouched, when no part of it holds "#Прізвище#"; otherwise
// replaces the tags of the tag table and returns true. The document is
// searched once for all of them, and the values are written in one pass at
// the end, literally: a value holding a tag's text keeps it. A date part that
// is not a whole number throws LumarelError ("'…' is not a valid integer
// value") before anything is written.
bool SubstituteTags(const StudentRecord& record, DocumentSession& document);
