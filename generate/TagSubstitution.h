#pragma once

#include "generate/DocumentSession.h"
#include "records/StudentRecord.h"

#include <QString>

// The tag every usable template must contain.
inline const QString SurnameTag = QStringLiteral("#Прізвище#");

// Fills the open document with one graduate's data. Returns false, leaving the
// document untouched, when it lacks "#Прізвище#"; otherwise replaces the tags
// of the tag table in its replacement order and returns true. The text is read once for all
// of them: a tag it does not hold gets no replace call. A date part that is not a whole
// number throws LumarelError ("'…' is not a valid integer value") at once;
// the replacements made before stay in the document.
bool SubstituteTags(const StudentRecord& record, DocumentSession& document);
