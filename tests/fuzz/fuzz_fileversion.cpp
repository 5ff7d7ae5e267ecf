// Arbitrary bytes as a downloaded program file: the version reader never
// reads outside the bytes and gives the same answer from memory and from a
// file on disk.
#include "tests/fuzz/FuzzCheck.h"

#include "update/FileVersion.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir scratch;
    FUZZ_CHECK(scratch.isValid());
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const std::optional<FileVersion> fromMemory = ReadFileVersionFromBytes(bytes);

    const QString path = scratch.filePath(QStringLiteral("Lumarel.exe"));
    {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(f.write(bytes) == bytes.size());
    }
    FUZZ_CHECK(ReadFileVersion(path) == fromMemory);
    return 0;
}
