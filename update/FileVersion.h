#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <compare>
#include <optional>

// The file version from a program file's fixed version information.
struct FileVersion {
    quint16 major = 0;
    quint16 minor = 0;
    quint16 release = 0;
    quint16 build = 0;

    friend auto operator<=>(const FileVersion&, const FileVersion&) = default;
};

// Reads the version resource straight out of a Windows program file (PE32 or
// PE32+), without any Windows functions, so the check works on every
// platform. Anything truncated, malformed or hostile gives nullopt.
std::optional<FileVersion> ReadFileVersion(const QString& path);

// The same parse over bytes already in memory (tests and fuzzing).
std::optional<FileVersion> ReadFileVersionFromBytes(QByteArrayView bytes);
