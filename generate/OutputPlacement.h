#pragma once

#include "generate/OutputNaming.h"

#include <QString>

struct PlacedFiles {
    QString document;
    QString pdf; // empty when none was placed
};

// Moves the finished document (a file in a scratch folder of ours) into
// folder under the name BuildOutputPath gives, with its PDF (finishedPdf;
// empty: none) under the same name with ".pdf". The name is claimed
// atomically: a name another run takes meanwhile is never replaced, the next
// free number is tried instead, and a number is free only when both names
// are; the files appear whole or not at all. Throws LumarelError when they
// cannot be placed; nothing is left in folder then.
PlacedFiles PlaceOutputFiles(const QString& finished, const QString& finishedPdf,
                             const QString& folder, const QString& name, OutputKind kind);

// Moves finished into folder as fileName, or "stem(1).ext", "stem(2).ext"...
// when that is taken, claimed as above; returns the path.
QString PlaceNamedFile(const QString& finished, const QString& folder, const QString& fileName);
