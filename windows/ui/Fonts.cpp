#include "windows/ui/Fonts.h"

namespace Fonts {

QFont arial(int pixels, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QFont fixedPitch(const QString& family, int pixels)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setFixedPitch(true);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

} // namespace Fonts
