#pragma once

#include <QFont>
#include <QString>

// The faces the windows were drawn with, sized in pixels as designed.
namespace Fonts {
QFont arial(int pixels, bool bold = false);
// A fixed-pitch face, with a typewriter fallback where the family is missing.
QFont fixedPitch(const QString& family, int pixels);
} // namespace Fonts
