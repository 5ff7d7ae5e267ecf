#pragma once

#include "generate/office/DocumentSession.h"

#include <QString>

// The text of the active document's body and of its tables' cells, body
// first, each paragraph ended with CR.
QString ReadDocumentText(DocumentSession& session);

// The text of a produced document, read back through an office of its own.
QString readBack(const QString& path);

// Replaces every occurrence of tag (letter case ignored) by value in every
// part the session fills; whether there was any.
bool ReplaceTag(DocumentSession& session, const QString& tag, const QString& value);
