#include "cli/CliOutput.h"

#include "import/ImportXmlFile.h"
#include "records/LumarelError.h"

#include <cstdio>

namespace CliOutput {
void out(const QString& line)
{
    const QByteArray b = line.toUtf8() + '\n';
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stdout);
}
void err(const QString& line)
{
    std::fflush(stdout);
    const QByteArray b = line.toUtf8() + '\n';
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stderr);
}
} // namespace CliOutput

std::optional<int> ImportForCli(const QString& path, RecordStore& store, QStringList* listLines)
{
    QStringList lines;
    try {
        if (const std::optional<QString> refusal = ImportXmlFile(path, store, lines)) {
            CliOutput::err(*refusal);
            return ExitRefused;
        }
    } catch (const LumarelError& e) {
        CliOutput::err(e.text());
        return ExitError;
    }
    if (listLines)
        listLines->swap(lines);
    return std::nullopt;
}
