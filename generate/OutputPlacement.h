#pragma once

#include "generate/OutputNaming.h"

#include <QString>

// Moves the finished document (a file in a scratch folder of ours) into
// folder under the name BuildOutputPath gives, and returns that path. The name
// is claimed atomically: a name another run takes meanwhile is never
// replaced, the next free number is tried instead; the file appears whole or
// not at all. Throws LumarelError when it cannot be placed; nothing is left
// in folder then.
QString PlaceOutputFile(const QString& finished, const QString& folder, const QString& name,
                        OutputKind kind);

struct PlacedFiles {
    QString document;
    QString pdf; // empty when none was placed
};

// The same for a document and its PDF (finishedPdf; empty: none): the PDF
// gets the document's name with ".pdf", and a number is free only when both
// names are. Both appear, or neither does.
PlacedFiles PlaceOutputFiles(const QString& finished, const QString& finishedPdf,
                             const QString& folder, const QString& name, OutputKind kind);

// Moves finished into folder as fileName, or "stem(1).ext", "stem(2).ext"...
// when that is taken, claimed as above; returns the path.
QString PlaceNamedFile(const QString& finished, const QString& folder, const QString& fileName);
