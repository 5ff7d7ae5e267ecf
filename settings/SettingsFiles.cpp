#include "settings/SettingsFiles.h"

#include "settings/Cp1251.h"
#include "settings/LineBuffer.h"
#include "records/LumarelError.h"
#include "records/TemplateSlot.h"

#include <QDir>
#include <QFileInfo>

namespace SettingsFiles {

void EnsureWorkFolders(const WorkDir& workDir)
{
    for (const QString& folder : {workDir.templatesFolder(), workDir.resultsFolder(),
                                  workDir.examplesFolder(), workDir.addInfoFolder()})
        QDir().mkpath(folder); // a folder that cannot be made fails later, on its own
}

std::optional<QStringList> LoadTemplateTable(const WorkDir& workDir)
{
    const QString path = workDir.filePath(TemplTableFile);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    LineBuffer buffer;
    buffer.loadFile(path);
    QStringList paths;
    for (int k = 1; k <= TemplateSlotCount; ++k)
        paths.append(buffer.line(k));
    return paths;
}

void SaveTemplateTable(const WorkDir& workDir, const QStringList& paths)
{
    LineBuffer buffer;
    for (int k = 0; k < TemplateSlotCount; ++k)
        buffer.appendLine(k < paths.size() ? paths.at(k) : QString());
    buffer.saveFile(workDir.filePath(TemplTableFile));
}

bool IsStorable(const QString& text)
{
    return Cp1251::canEncode(text);
}

QString ReadRememberedFolder(const WorkDir& workDir, const QString& fileName)
{
    const QString path = workDir.filePath(fileName);
    if (!QFileInfo::exists(path))
        return workDir.path();
    LineBuffer buffer;
    buffer.loadFile(path);
    return buffer.text();
}

void RememberFolder(const WorkDir& workDir, const QString& fileName, const QString& chosenPath)
{
    const qsizetype slash = chosenPath.lastIndexOf(u'/');
    LineBuffer buffer;
    buffer.setText(slash < 0 ? QString() : chosenPath.left(slash + 1));
    buffer.saveFile(workDir.filePath(fileName));
}

ExportOptions LoadExportOptions(const WorkDir& workDir)
{
    LineBuffer buffer;
    try {
        buffer.loadFile(workDir.filePath(ExportFile));
    } catch (const LumarelError& e) {
        // Both options off is what a fresh work folder has; the next save
        // writes the file again.
        qWarning("Export options not read: %s", qUtf8Printable(e.text()));
        return {};
    }
    const auto on = [&](int k) { return buffer.line(k).trimmed() == u"1"; };
    return {on(1), on(2)};
}

void SaveExportOptions(const WorkDir& workDir, const ExportOptions& options)
{
    LineBuffer buffer;
    for (const bool on : {options.alsoPdf, options.printFile})
        buffer.appendLine(on ? QStringLiteral("1") : QStringLiteral("0"));
    buffer.saveFile(workDir.filePath(ExportFile));
}

} // namespace SettingsFiles
