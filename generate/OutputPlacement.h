#pragma once

#include "generate/DocumentGeneration.h"

#include <QString>

// Moves the finished document (a file in a scratch folder of ours) into
// folder under the name BuildOutputPath gives, and returns that path. The name
// is claimed atomically: a name another run takes meanwhile is never
// replaced, the next free number is tried instead; the file appears whole or
// not at all. Throws LumarelError when it cannot be placed; nothing is left
// in folder then.
QString PlaceOutputFile(const QString& finished, const QString& folder, const QString& name,
                        OutputKind kind);
