#pragma once

#include "settings/SettingsFiles.h"

#include <utility>

// Header only: the support library does not link the settings. Saves the
// template table with these slots (0-7) filled and the others empty.
inline void saveTemplates(const WorkDir& work, const QList<std::pair<int, QString>>& filled)
{
    QStringList table(8);
    for (const auto& [slot, path] : filled)
        table[slot] = path;
    SettingsFiles::SaveTemplateTable(work, table);
}
