#include "CliOutput.h"

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
