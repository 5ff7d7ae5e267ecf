#include "tests/update/PeBuilder.h"

#include <QtEndian>

#include <vector>

namespace PeBuilder {

namespace {

void put16(QByteArray& b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

void put32(QByteArray& b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

void set16(QByteArray& b, qsizetype at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void set32(QByteArray& b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); }
void set64(QByteArray& b, qsizetype at, quint64 v) { qToLittleEndian(v, b.data() + at); }

void putKey(QByteArray& b, const char16_t* key)
{
    for (; *key; ++key)
        put16(b, quint16(*key));
    put16(b, 0);
}

void align4(QByteArray& b)
{
    while (b.size() % 4)
        b.append('\0');
}

QByteArray versionBlock(const Spec& spec)
{
    QByteArray b;
    put16(b, 0); // wLength, set below
    put16(b, 52);
    put16(b, 0);
    putKey(b, u"VS_VERSION_INFO");
    align4(b);
    const quint32 ms = (quint32(spec.version.major) << 16) | spec.version.minor;
    const quint32 ls = (quint32(spec.version.release) << 16) | spec.version.build;
    for (quint32 v : {0xFEEF04BDu, 0x00010000u, ms, ls, ms, ls, 0x3Fu, 0u, 0x40004u, 1u, 0u, 0u, 0u})
        put32(b, v);
    if (spec.varFileInfo) {
        const qsizetype var = b.size();
        put16(b, 0);
        put16(b, 0);
        put16(b, 1);
        putKey(b, u"VarFileInfo");
        align4(b);
        const qsizetype tr = b.size();
        put16(b, 0);
        put16(b, 4);
        put16(b, 0);
        putKey(b, u"Translation");
        align4(b);
        put16(b, 0x0422); // Ukrainian
        put16(b, 1251);
        set16(b, tr, quint16(b.size() - tr));
        set16(b, var, quint16(b.size() - var));
    }
    set16(b, 0, quint16(b.size()));
    return b;
}

struct Type {
    bool named;
    quint32 id;
    QByteArray data;
    bool isVersion;
};

} // namespace

Image build(const Spec& spec)
{
    Image img;
    std::vector<Type> types;
    if (spec.otherResources) {
        types.push_back({true, 0, QByteArrayLiteral("named resource"), false});
        types.push_back({false, 3, QByteArray(40, '\x11'), false});
    }
    if (spec.hasVersion)
        types.push_back({false, 16, versionBlock(spec), true});
    if (types.empty())
        types.push_back({false, 24, QByteArrayLiteral("<assembly/>"), false});
    const auto n = qsizetype(types.size());

    // Resource section, offsets relative to its start.
    qsizetype off = 16 + 8 * n;
    std::vector<qsizetype> nameDir(n), langDir(n), dataEntry(n), dataOff(n);
    for (qsizetype i = 0; i < n; ++i) {
        nameDir[i] = off;
        off += 24;
        langDir[i] = off;
        off += 24;
    }
    for (qsizetype i = 0; i < n; ++i) {
        dataEntry[i] = off;
        off += 16;
    }
    const qsizetype nameString = off;
    off += 2 + 2 * 8;
    for (qsizetype i = 0; i < n; ++i) {
        off = (off + 3) & ~qsizetype(3);
        dataOff[i] = off;
        off += types[i].data.size();
    }
    QByteArray rs(off, '\0');
    set16(rs, 12, quint16(spec.otherResources ? 1 : 0));
    set16(rs, 14, quint16(n - (spec.otherResources ? 1 : 0)));
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype e = 16 + 8 * i;
        set32(rs, e, types[i].named ? (0x80000000u | quint32(nameString)) : types[i].id);
        set32(rs, e + 4, 0x80000000u | quint32(nameDir[i]));
        set16(rs, nameDir[i] + 14, 1);
        set32(rs, nameDir[i] + 16, 1);
        set32(rs, nameDir[i] + 20, 0x80000000u | quint32(langDir[i]));
        set16(rs, langDir[i] + 14, 1);
        set32(rs, langDir[i] + 16, 0x0422);
        set32(rs, langDir[i] + 20, quint32(dataEntry[i]));
        set32(rs, dataEntry[i], spec.resourceRva + quint32(dataOff[i]));
        set32(rs, dataEntry[i] + 4, quint32(types[i].data.size()));
        set32(rs, dataEntry[i] + 8, 1251);
        rs.replace(dataOff[i], types[i].data.size(), types[i].data);
    }
    set16(rs, nameString, 8);
    for (int i = 0; i < 8; ++i)
        set16(rs, nameString + 2 + 2 * i, quint16(u"SOMETYPE"[i]));

    // Headers.
    const qsizetype optSize = spec.pe32Plus ? 240 : 224;
    const qsizetype sections = spec.textSection ? 2 : 1;
    QByteArray b(0x200, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    set32(b, 0x3C, 0x80);
    b.replace(0x40, 20, QByteArrayLiteral("This is a test file."));
    b.replace(0x80, 4, QByteArray("PE\0\0", 4));
    img.coffHeader = 0x84;
    set16(b, 0x84, spec.pe32Plus ? 0x8664 : 0x14C);
    set16(b, 0x86, quint16(sections));
    set16(b, 0x84 + 16, quint16(optSize));
    set16(b, 0x84 + 18, 0x0102);
    const qsizetype opt = 0x98;
    img.optionalHeader = opt;
    set16(b, opt, spec.pe32Plus ? 0x20B : 0x10B);
    set32(b, opt + 16, 0x1000); // entry point
    if (spec.pe32Plus)
        set64(b, opt + 24, 0x140000000ull);
    else
        set32(b, opt + 28, 0x400000);
    set32(b, opt + 32, 0x1000);
    set32(b, opt + 36, 0x200);
    set32(b, opt + 56, spec.resourceRva + 0x1000 + quint32(rs.size()));
    set32(b, opt + 60, 0x200);
    set16(b, opt + 68, 2); // GUI
    const qsizetype dirs = opt + (spec.pe32Plus ? 112 : 96);
    set32(b, dirs - 4, 16);
    img.resourceDirectoryEntry = dirs + 16;
    set32(b, dirs + 16, spec.resourceRva);
    set32(b, dirs + 20, quint32(rs.size()));

    qsizetype sh = opt + optSize;
    const qsizetype rsrcRaw = spec.textSection ? 0x400 : 0x200;
    if (spec.textSection) {
        b.replace(sh, 8, QByteArray(".text\0\0\0", 8));
        set32(b, sh + 8, 0x100);
        set32(b, sh + 12, 0x1000);
        set32(b, sh + 16, 0x200);
        set32(b, sh + 20, 0x200);
        set32(b, sh + 36, 0x60000020);
        sh += 40;
    }
    img.resourceSectionHeader = sh;
    b.replace(sh, 8, QByteArray(".rsrc\0\0\0", 8));
    set32(b, sh + 8, quint32(rs.size()));
    set32(b, sh + 12, spec.resourceRva);
    set32(b, sh + 16, quint32(rs.size()));
    set32(b, sh + 20, quint32(rsrcRaw));
    set32(b, sh + 36, 0x40000040);

    if (spec.textSection) {
        img.textBegin = b.size();
        b.append(QByteArray(0x200, '\xCC'));
        img.textEnd = b.size();
    }
    img.resourceRoot = b.size();
    b.append(rs);

    for (qsizetype i = 0; i < n; ++i) {
        if (!types[i].isVersion)
            continue;
        img.versionTypeEntry = img.resourceRoot + 16 + 8 * i;
        img.versionNameDirectory = img.resourceRoot + nameDir[i];
        img.versionLanguageDirectory = img.resourceRoot + langDir[i];
        img.versionDataEntry = img.resourceRoot + dataEntry[i];
        img.versionBlock = img.resourceRoot + dataOff[i];
        img.fixedInfo = img.versionBlock + 40;
    }
    img.bytes = b;
    return img;
}

QByteArray patch16(QByteArray bytes, qsizetype offset, quint16 value)
{
    set16(bytes, offset, value);
    return bytes;
}

QByteArray patch32(QByteArray bytes, qsizetype offset, quint32 value)
{
    set32(bytes, offset, value);
    return bytes;
}

} // namespace PeBuilder
