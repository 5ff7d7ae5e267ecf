#pragma once

#include "generate/office/OpenDocument.h"
#include "generate/office/TagSearch.h"

#include <QString>
#include <QStringList>

class OfficeLoops;

// A value as Writer keeps it: a line break inside a paragraph as LF, which
// a CR would split.
QString LineBreaks(const QString& value);

// Writes texts[k] over every place of tags[k] the search found. Every place
// is known before anything is written: a value is never searched again. The
// filling of a document as loaded is kept undoable where the texts the
// search does not reach are left alone. Returns how many places were
// written; throws the office's exceptions.
int WriteTags(OpenDocument& doc, const FoundTags& found, const QStringList& tags,
              const QStringList& texts, OfficeLoops& loops, bool watchChanges);
