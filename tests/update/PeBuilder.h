#pragma once

#include "update/FileVersion.h"

#include <QByteArray>

// Builds small but well-formed Windows program files for the tests.
namespace PeBuilder {

struct Spec {
    bool pe32Plus = false;
    bool hasVersion = true;
    // A named type and RT_ICON ahead of RT_VERSION in the root directory.
    bool otherResources = true;
    // A VarFileInfo child after the fixed information, as real files have.
    bool varFileInfo = true;
    bool textSection = true;
    quint32 resourceRva = 0x3000;
    FileVersion version{2, 5, 0, 0};
};

// The bytes and the file offsets of the parts the tests corrupt. The
// version block is the last thing in the file, so every proper prefix
// lacks some of what the reader needs.
struct Image {
    QByteArray bytes;
    qsizetype coffHeader = 0;
    qsizetype optionalHeader = 0;
    qsizetype resourceDirectoryEntry = 0; // data directory 2
    qsizetype resourceSectionHeader = 0;
    qsizetype resourceRoot = 0;
    qsizetype versionTypeEntry = -1;
    qsizetype versionNameDirectory = -1;
    qsizetype versionLanguageDirectory = -1;
    qsizetype versionDataEntry = -1;
    qsizetype versionBlock = -1;
    qsizetype fixedInfo = -1;
    qsizetype textBegin = 0, textEnd = 0;
};

Image build(const Spec& spec = {});

// Little-endian patches on a copy.
QByteArray patch16(QByteArray bytes, qsizetype offset, quint16 value);
QByteArray patch32(QByteArray bytes, qsizetype offset, quint32 value);

} // namespace PeBuilder
