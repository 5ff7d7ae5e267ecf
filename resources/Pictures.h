#pragma once

#include "resources/LumarelResources.h"

#include <QList>
#include <QString>

// Resource paths of the window pictures, in one place. Call
// InitLumarelResources() once before loading any of them.
namespace Pictures {

// Program icon, drawn for 32 x 32; PNG copies for the sizes below.
inline const QString Icon = QStringLiteral(":/pictures/icon.svg");
inline QString IconPng(int size) // 16, 32, 48, 64, 128 or 256
{
    return QStringLiteral(":/pictures/icon-%1.png").arg(size);
}
inline const QList<int> IconPngSizes{16, 32, 48, 64, 128, 256};

// Background of the start window, 211 x 153; its texts are labels over it.
inline const QString Splash = QStringLiteral(":/pictures/splash.svg");

// Tool buttons of the main window.
inline const QString OpenXml = QStringLiteral(":/pictures/open-xml.svg");     // B1, small: ".XML" goes beside it
inline const QString Settings = QStringLiteral(":/pictures/settings.svg");    // B2
inline const QString ExportOne = QStringLiteral(":/pictures/export-one.svg"); // B3
inline const QString ExportAll = QStringLiteral(":/pictures/export-all.svg"); // B4
inline const QString Demo = QStringLiteral(":/pictures/demo.svg");            // B5
inline const QString Help = QStringLiteral(":/pictures/help.svg");            // B6
inline const QString Close = QStringLiteral(":/pictures/close.svg");          // Bc "Закрити" of every window

// Detach buttons B1s..B8s of the template window.
inline const QString Detach = QStringLiteral(":/pictures/detach.svg");

// Menu entries; a command reached from a button too shows that button's picture.
inline const QString MenuExit = QStringLiteral(":/pictures/exit.svg");
inline const QString MenuTemplates = QStringLiteral(":/pictures/templates.svg");
inline const QString MenuTags = QStringLiteral(":/pictures/tags.svg");
inline const QString MenuAbout = QStringLiteral(":/pictures/about.svg");
inline const QString MenuPreview = QStringLiteral(":/pictures/preview.svg");

} // namespace Pictures
