#pragma once

#include "generate/office/OpenDocument.h"
#include "generate/office/TagSearch.h"

#include <QString>
#include <QStringList>

#include <optional>

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

// Whether a held template can be filled in one call of the office's loops:
// as it came back from its last filling (undone in full, or kept to be
// written over), with what its search found as loaded and which of those
// places lie in links known.
bool CanRefill(const OpenDocument& doc, const QStringList& tags, const OfficeLoops& loops);
// Fills such a template as WriteTags would, checking in the same call that
// its places and marks read as loaded; nullopt, with nothing written, when
// they do not. Throws the office's exceptions.
std::optional<int> RefillHeld(OpenDocument& doc, const FoundTags& found, const QStringList& tags,
                              const QStringList& texts, OfficeLoops& loops);
// Fills a held template kept filled (Filling::Written) by writing over the
// last graduate's values, in one call that checks its places read as written
// and its marks as loaded, and that the places then read as the new values.
// nullopt when it cannot serve this graduate: then it is to be loaded again
// (and may be half written). Throws the office's exceptions.
std::optional<int> OverwriteHeld(OpenDocument& doc, const FoundTags& found, const QStringList& tags,
                                 const QStringList& texts, OfficeLoops& loops);
