#pragma once

#include "settings/ExportOptions.h"
#include "settings/WorkDir.h"

#include <QString>
#include <QStringList>
#include <optional>

// The settings files in the working directory, kept in Windows-1251 with CR LF
// line ends, as the stored files of earlier installations are.
namespace SettingsFiles {

inline const QString TemplTableFile = QStringLiteral("Templ.set");
inline const QString CurDirTemplFile = QStringLiteral("CurDirTempl.set");
inline const QString CurDirXmlFile = QStringLiteral("CurDirXML.set");
inline const QString ExportFile = QStringLiteral("Export.set");

// Creates Templates, Results, Examples and AddInfo; failures are ignored.
void EnsureWorkFolders(const WorkDir& workDir);

// Templ.set's eight stored paths (untrimmed), or none when the file is absent.
// Throws LumarelError when it exists but cannot be read.
std::optional<QStringList> LoadTemplateTable(const WorkDir& workDir);

// Replaces Templ.set with eight lines, each ended by CR LF. Throws LumarelError
// when a path has no Windows-1251 form or the file cannot be written.
void SaveTemplateTable(const WorkDir& workDir, const QStringList& paths);

// Whether a text can be stored in a settings file without loss.
bool IsStorable(const QString& text);

// The remembered folder, or the working directory when the file is absent.
QString ReadRememberedFolder(const WorkDir& workDir, const QString& fileName);

// Writes the folder part of chosenPath (up to and including its last "/").
void RememberFolder(const WorkDir& workDir, const QString& fileName, const QString& chosenPath);

// Export.set: one line "0"/"1" per option. A missing or unreadable file, or a
// line other than "1", means off.
ExportOptions LoadExportOptions(const WorkDir& workDir);
// Replaces Export.set; throws LumarelError when it cannot be written.
void SaveExportOptions(const WorkDir& workDir, const ExportOptions& options);

} // namespace SettingsFiles
