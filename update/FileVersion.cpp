#include "update/FileVersion.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>
#include <vector>

namespace {

// Where the bytes come from: a file read by seeking (so a large file costs
// only the few hundred bytes we look at) or a buffer in memory.
class Source {
public:
    virtual ~Source() = default;
    virtual quint64 size() const = 0;
    // Exactly len bytes at off, or false.
    virtual bool read(quint64 off, void* dst, quint64 len) = 0;
};

class MemorySource final : public Source {
public:
    explicit MemorySource(QByteArrayView b) : m_bytes(b) {}
    quint64 size() const override { return quint64(m_bytes.size()); }
    bool read(quint64 off, void* dst, quint64 len) override
    {
        if (off > size() || len > size() - off)
            return false;
        if (len)
            std::memcpy(dst, m_bytes.data() + off, size_t(len));
        return true;
    }

private:
    QByteArrayView m_bytes;
};

class FileSource final : public Source {
public:
    explicit FileSource(QFile& f) : m_file(f), m_size(quint64(qMax<qint64>(f.size(), 0))) {}
    quint64 size() const override { return m_size; }
    bool read(quint64 off, void* dst, quint64 len) override
    {
        if (off > m_size || len > m_size - off)
            return false;
        if (!m_file.seek(qint64(off)))
            return false;
        // The file may shrink under us: a short read is a failure, not garbage.
        return m_file.read(static_cast<char*>(dst), qint64(len)) == qint64(len);
    }

private:
    QFile& m_file;
    quint64 m_size;
};

// All offsets are computed in 64 bits from 32-bit fields, so sums of a few
// of them cannot wrap; fits() then rejects anything past the end.
bool fits(quint64 off, quint64 len, quint64 size)
{
    return off <= size && len <= size - off;
}

struct Section {
    quint32 virtualAddress;
    quint32 rawSize;
    quint32 rawPointer;
};

constexpr quint32 ResourceTypeVersion = 16;
constexpr quint32 FixedInfoSignature = 0xFEEF04BD;
constexpr quint64 FixedInfoSize = 52;
// Directory entries per level: two 16-bit counts at most.
constexpr quint64 MaxDirectoryEntries = 2 * 0xFFFF;

class PeReader {
public:
    explicit PeReader(Source& src) : m_src(src) {}

    std::optional<FileVersion> versionInfo()
    {
        if (!readHeaders())
            return std::nullopt;
        return readVersionResource();
    }

private:
    bool u16At(quint64 off, quint16& v)
    {
        uchar b[2];
        if (!m_src.read(off, b, 2))
            return false;
        v = qFromLittleEndian<quint16>(b);
        return true;
    }
    bool u32At(quint64 off, quint32& v)
    {
        uchar b[4];
        if (!m_src.read(off, b, 4))
            return false;
        v = qFromLittleEndian<quint32>(b);
        return true;
    }

    bool readHeaders()
    {
        const quint64 size = m_src.size();
        uchar mz[2];
        if (size < 64 || !m_src.read(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z')
            return false;
        quint32 peOffset;
        if (!u32At(0x3C, peOffset))
            return false;
        uchar sig[4];
        if (!m_src.read(peOffset, sig, 4) || std::memcmp(sig, "PE\0\0", 4) != 0)
            return false;

        const quint64 coff = quint64(peOffset) + 4;
        quint16 sectionCount, optionalSize;
        if (!u16At(coff + 2, sectionCount) || !u16At(coff + 16, optionalSize))
            return false;

        const quint64 optional = coff + 20;
        quint16 magic;
        if (!u16At(optional, magic))
            return false;
        quint64 countField, directories;
        if (magic == 0x10B) { // PE32
            countField = 92;
            directories = 96;
        } else if (magic == 0x20B) { // PE32+
            countField = 108;
            directories = 112;
        } else {
            return false;
        }
        // Directory 2 (resources) must be both declared and inside the header.
        const quint64 resourceEntry = directories + 2 * 8;
        if (quint64(optionalSize) < resourceEntry + 8)
            return false;
        quint32 directoryCount;
        if (!u32At(optional + countField, directoryCount) || directoryCount < 3)
            return false;
        if (!u32At(optional + resourceEntry, m_resourceRva))
            return false;
        if (m_resourceRva == 0)
            return false;

        const quint64 table = optional + optionalSize;
        const quint64 tableSize = quint64(sectionCount) * 40;
        if (!fits(table, tableSize, size))
            return false;
        std::vector<uchar> raw(static_cast<size_t>(tableSize));
        if (tableSize && !m_src.read(table, raw.data(), tableSize))
            return false;
        m_sections.reserve(sectionCount);
        for (quint64 i = 0; i < sectionCount; ++i) {
            const uchar* s = raw.data() + i * 40;
            m_sections.push_back({qFromLittleEndian<quint32>(s + 12),
                                  qFromLittleEndian<quint32>(s + 16),
                                  qFromLittleEndian<quint32>(s + 20)});
        }
        return true;
    }

    // The file offset of [rva, rva + len), which must lie wholly in the
    // file-backed part of one section and inside the file.
    std::optional<quint64> map(quint64 rva, quint64 len) const
    {
        for (const Section& s : m_sections) {
            if (rva < s.virtualAddress)
                continue;
            const quint64 inside = rva - s.virtualAddress;
            if (!fits(inside, len, s.rawSize))
                continue;
            const quint64 off = quint64(s.rawPointer) + inside;
            if (!fits(off, len, m_src.size()))
                return std::nullopt;
            return off;
        }
        return std::nullopt;
    }

    bool readRva(quint64 rva, void* dst, quint64 len)
    {
        const auto off = map(rva, len);
        return off && m_src.read(*off, dst, len);
    }

    struct Entry {
        quint32 name;
        quint32 target;
    };

    // The entries of the resource directory at offset dir from the root.
    std::optional<std::vector<Entry>> directory(quint64 dir)
    {
        uchar head[16];
        if (!readRva(quint64(m_resourceRva) + dir, head, 16))
            return std::nullopt;
        const quint64 count = quint64(qFromLittleEndian<quint16>(head + 12))
                              + qFromLittleEndian<quint16>(head + 14);
        Q_ASSERT(count <= MaxDirectoryEntries);
        std::vector<uchar> raw(static_cast<size_t>(count * 8));
        if (count && !readRva(quint64(m_resourceRva) + dir + 16, raw.data(), count * 8))
            return std::nullopt;
        std::vector<Entry> entries;
        entries.reserve(size_t(count));
        for (quint64 i = 0; i < count; ++i)
            entries.push_back({qFromLittleEndian<quint32>(raw.data() + i * 8),
                               qFromLittleEndian<quint32>(raw.data() + i * 8 + 4)});
        return entries;
    }

    static constexpr quint32 SubdirectoryBit = 0x80000000u;

    // Type RT_VERSION, then its first name, then that name's first language.
    // Exactly three levels: the walk cannot loop however the offsets point.
    std::optional<FileVersion> readVersionResource()
    {
        const auto types = directory(0);
        if (!types)
            return std::nullopt;
        const Entry* version = nullptr;
        for (const Entry& e : *types) {
            if (e.name == ResourceTypeVersion) {
                version = &e;
                break;
            }
        }
        if (!version || !(version->target & SubdirectoryBit))
            return std::nullopt;

        const auto names = directory(version->target & ~SubdirectoryBit);
        if (!names || names->empty() || !(names->front().target & SubdirectoryBit))
            return std::nullopt;
        const auto languages = directory(names->front().target & ~SubdirectoryBit);
        if (!languages || languages->empty() || (languages->front().target & SubdirectoryBit))
            return std::nullopt;

        uchar data[16];
        if (!readRva(quint64(m_resourceRva) + languages->front().target, data, 16))
            return std::nullopt;
        const quint32 blockRva = qFromLittleEndian<quint32>(data);
        const quint32 blockSize = qFromLittleEndian<quint32>(data + 4);
        return readVersionBlock(blockRva, blockSize);
    }

    // VS_VERSIONINFO: wLength, wValueLength, wType, the key
    // "VS_VERSION_INFO", padding to 32 bits, then VS_FIXEDFILEINFO.
    std::optional<FileVersion> readVersionBlock(quint32 rva, quint32 size)
    {
        static const char16_t key[] = u"VS_VERSION_INFO";
        constexpr quint64 keyBytes = sizeof(key); // with its terminating zero
        constexpr quint64 valueOffset = (6 + keyBytes + 3) & ~quint64(3);
        constexpr quint64 needed = valueOffset + FixedInfoSize;
        static_assert(valueOffset == 40);

        // The whole resource must be in the file, not only the part we read.
        if (size < needed || !map(rva, size))
            return std::nullopt;
        uchar block[needed];
        if (!readRva(rva, block, needed))
            return std::nullopt;
        const quint16 length = qFromLittleEndian<quint16>(block);
        const quint16 valueLength = qFromLittleEndian<quint16>(block + 2);
        if (length < needed || length > size || valueLength < FixedInfoSize)
            return std::nullopt;
        for (quint64 i = 0; i < keyBytes / 2; ++i) {
            if (qFromLittleEndian<quint16>(block + 6 + 2 * i) != key[i])
                return std::nullopt;
        }
        const uchar* fixed = block + valueOffset;
        if (qFromLittleEndian<quint32>(fixed) != FixedInfoSignature)
            return std::nullopt;
        const quint32 ms = qFromLittleEndian<quint32>(fixed + 8);
        const quint32 ls = qFromLittleEndian<quint32>(fixed + 12);
        return FileVersion{quint16(ms >> 16), quint16(ms & 0xFFFF),
                           quint16(ls >> 16), quint16(ls & 0xFFFF)};
    }

    Source& m_src;
    quint32 m_resourceRva = 0;
    std::vector<Section> m_sections;
};

} // namespace

std::optional<FileVersion> ReadFileVersion(const QString& path)
{
    // Not a FIFO or device: opening one could block or never end.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    FileSource src(f);
    return PeReader(src).versionInfo();
}

std::optional<FileVersion> ReadFileVersionFromBytes(QByteArrayView bytes)
{
    MemorySource src(bytes);
    return PeReader(src).versionInfo();
}
