// Feeds every file of the given corpus folders to the fuzz entry, so that the
// corpus is a regression test of the ordinary build.
#include "tests/fuzz/FuzzCheck.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const QDir dir(QString::fromLocal8Bit(argv[i]));
        const QStringList names = dir.entryList(QDir::Files, QDir::Name);
        for (const QString& name : names) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(f.fileName()));
                return 1;
            }
            const QByteArray bytes = f.readAll();
            std::fprintf(stderr, "%s\n", qPrintable(name));
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                   size_t(bytes.size()));
            ++files;
        }
    }
    // An empty or missing corpus must not pass for a tested one.
    if (files == 0) {
        std::fprintf(stderr, "no corpus files found\n");
        return 1;
    }
    std::fprintf(stderr, "%d corpus files replayed\n", files);
    return 0;
}
