#include "update/FileVersion.h"
#include "tests/update/PeBuilder.h"
#include "tests/support/TestFiles.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

using PeBuilder::patch16;
using PeBuilder::patch32;

PeBuilder::Image standard()
{
    return PeBuilder::build();
}

QByteArray patchBytes(QByteArray bytes, qsizetype offset, const QByteArray& with)
{
    bytes.replace(offset, with.size(), with);
    return bytes;
}

QByteArray utf16(const char16_t* s)
{
    QByteArray b;
    for (; *s; ++s) {
        b.append(char(*s & 0xFF));
        b.append(char(*s >> 8));
    }
    return b;
}

} // namespace

class TestFileVersion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsVersion_data();
    void readsVersion();
    void rejectsMalformed_data();
    void rejectsMalformed();
    void readsFromFile();
    void fileCases_data();
    void fileCases();
    void everyPrefixFails_data();
    void everyPrefixFails();
    void everyPrefixFailsFromFile();
    void randomCorruptionIsHarmless();
    void bytesOutsideHeadersDoNotMatter();
    void fileAndMemoryAgree();
};

void TestFileVersion::readsVersion_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<FileVersion>("expected");

    auto row = [](const char* name, PeBuilder::Spec spec) {
        QTest::newRow(name) << PeBuilder::build(spec).bytes << spec.version;
    };
    row("PE32 2.5.0.0", {});
    row("PE32 2.5.3.7", {.version = {2, 5, 3, 7}});
    PeBuilder::Spec plus{.pe32Plus = true, .version = {3, 0, 0, 0}};
    row("PE32+ 3.0.0.0", plus);
    row("PE32+ 2.6.1.2", {.pe32Plus = true, .version = {2, 6, 1, 2}});
    row("all fields distinct", {.version = {0x1234, 0x5678, 0x9ABC, 0xDEF0}});
    row("all ones", {.version = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}});
    row("zero", {.version = {0, 0, 0, 0}});
    row("only a version resource", {.otherResources = false, .version = {1, 6, 0, 0}});
    row("no children after the fixed info", {.varFileInfo = false, .version = {2, 4, 9, 9}});
    row("resources the only section", {.textSection = false, .version = {4, 1, 0, 0}});
    // File offset 0x400, RVA far away: catches a reader that confuses them.
    row("resource RVA far from its offset", {.resourceRva = 0x7A000, .version = {2, 7, 0, 0}});
    row("resource RVA equals its offset", {.textSection = false, .resourceRva = 0x200, .version = {9, 9, 9, 9}});
}

void TestFileVersion::readsVersion()
{
    QFETCH(QByteArray, bytes);
    QFETCH(FileVersion, expected);
    const auto v = ReadFileVersionFromBytes(bytes);
    QVERIFY(v.has_value());
    QCOMPARE(v->major, expected.major);
    QCOMPARE(v->minor, expected.minor);
    QCOMPARE(v->release, expected.release);
    QCOMPARE(v->build, expected.build);
}

void TestFileVersion::rejectsMalformed_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const PeBuilder::Image p = standard();
    const QByteArray& b = p.bytes;
    const qsizetype opt = p.optionalHeader;
    const qsizetype sh = p.resourceSectionHeader;

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("MZ alone") << QByteArrayLiteral("MZ");
    QTest::newRow("63 bytes") << b.left(63);
    QTest::newRow("text") << QByteArrayLiteral("This is not a program file at all, just some words.\n").repeated(20);
    QTest::newRow("zeros") << QByteArray(4096, '\0');
    QTest::newRow("0xFF") << QByteArray(4096, '\xFF');
    QTest::newRow("no MZ") << patchBytes(b, 0, "ZM");
    QTest::newRow("PE offset at the end") << patch32(b, 0x3C, quint32(b.size()));
    QTest::newRow("PE offset 0xFFFFFFFF") << patch32(b, 0x3C, 0xFFFFFFFFu);
    QTest::newRow("PE offset 0xFFFFFFFC") << patch32(b, 0x3C, 0xFFFFFFFCu);
    QTest::newRow("PE offset 0x80000000") << patch32(b, 0x3C, 0x80000000u);
    QTest::newRow("bad PE signature") << patchBytes(b, 0x80, QByteArray("PE\0\1", 4));
    QTest::newRow("ROM optional header") << patch16(b, opt, 0x107);
    QTest::newRow("optional header too short for resources")
        << patch16(b, p.coffHeader + 16, 96 + 2 * 8 + 4);
    QTest::newRow("optional header size 0") << patch16(b, p.coffHeader + 16, 0);
    QTest::newRow("section table beyond the file") << patch16(b, p.coffHeader + 16, 0xFFFF);
    QTest::newRow("two data directories") << patch32(b, opt + 92, 2);
    QTest::newRow("no resource directory") << patch32(b, p.resourceDirectoryEntry, 0);
    QTest::newRow("resource RVA in no section") << patch32(b, p.resourceDirectoryEntry, 0x90000);
    QTest::newRow("resource RVA 0xFFFFFFFF") << patch32(b, p.resourceDirectoryEntry, 0xFFFFFFFFu);
    QTest::newRow("no sections") << patch16(b, p.coffHeader + 2, 0);
    QTest::newRow("65535 sections") << patch16(b, p.coffHeader + 2, 0xFFFF);
    QTest::newRow("resource raw data beyond the file") << patch32(b, sh + 20, 0xFFFFFFFFu);
    QTest::newRow("resource raw data just past the end") << patch32(b, sh + 20, quint32(b.size()) - 8);
    QTest::newRow("resource raw size 0") << patch32(b, sh + 16, 0);
    QTest::newRow("resource raw size too small for the version") << patch32(b, sh + 16, quint32(p.versionBlock - p.resourceRoot + 20));
    QTest::newRow("section moved away from the directory") << patch32(b, sh + 12, 0x5000);
    QTest::newRow("section at the top of the address space") << patch32(patch32(b, sh + 12, 0xFFFFFFF0u), p.resourceDirectoryEntry, 0xFFFFFFF8u);
    QTest::newRow("root claims 65535 entries") << patch16(b, p.resourceRoot + 14, 0xFFFF);
    QTest::newRow("root claims no entries") << patch16(patch16(b, p.resourceRoot + 12, 0), p.resourceRoot + 14, 0);
    QTest::newRow("no RT_VERSION") << patch32(b, p.versionTypeEntry, 17);
    QTest::newRow("RT_VERSION with high name bits") << patch32(b, p.versionTypeEntry, 0x00010010);
    QTest::newRow("RT_VERSION is a leaf") << patch32(b, p.versionTypeEntry + 4, quint32(p.versionNameDirectory - p.resourceRoot));
    QTest::newRow("RT_VERSION subdirectory beyond the section") << patch32(b, p.versionTypeEntry + 4, 0xFFFFFFFFu);
    QTest::newRow("RT_VERSION points at the root") << patch32(b, p.versionTypeEntry + 4, 0x80000000u);
    QTest::newRow("no names") << patch16(b, p.versionNameDirectory + 14, 0);
    QTest::newRow("name directory claims 65535 entries") << patch16(b, p.versionNameDirectory + 14, 0xFFFF);
    QTest::newRow("name is a leaf") << patch32(b, p.versionNameDirectory + 20, quint32(p.versionDataEntry - p.resourceRoot));
    QTest::newRow("name points back at its own directory")
        << patch32(b, p.versionNameDirectory + 20, 0x80000000u | quint32(p.versionNameDirectory - p.resourceRoot));
    QTest::newRow("no languages") << patch16(b, p.versionLanguageDirectory + 14, 0);
    QTest::newRow("language is a directory") << patch32(b, p.versionLanguageDirectory + 20, 0x80000000u);
    QTest::newRow("language data entry beyond the section") << patch32(b, p.versionLanguageDirectory + 20, 0x7FFFFFF0u);
    QTest::newRow("data RVA 0") << patch32(b, p.versionDataEntry, 0);
    QTest::newRow("data RVA 0xFFFFFFF0") << patch32(b, p.versionDataEntry, 0xFFFFFFF0u);
    QTest::newRow("data size 0xFFFFFFFF") << patch32(b, p.versionDataEntry + 4, 0xFFFFFFFFu);
    QTest::newRow("data size past the end") << patch32(b, p.versionDataEntry + 4, quint32(b.size() - p.versionBlock + 1));
    QTest::newRow("data size 0") << patch32(b, p.versionDataEntry + 4, 0);
    QTest::newRow("data size below the fixed info") << patch32(b, p.versionDataEntry + 4, 91);
    QTest::newRow("block length beyond the data") << patch16(b, p.versionBlock, 0xFFFF);
    QTest::newRow("block length below the fixed info") << patch16(b, p.versionBlock, 60);
    QTest::newRow("block length 0") << patch16(b, p.versionBlock, 0);
    QTest::newRow("no value") << patch16(b, p.versionBlock + 2, 0);
    QTest::newRow("value shorter than the fixed info") << patch16(b, p.versionBlock + 2, 51);
    QTest::newRow("wrong key") << patchBytes(b, p.versionBlock + 6, utf16(u"VS_VERSION_INFX"));
    QTest::newRow("key not terminated") << patch16(b, p.versionBlock + 6 + 30, u'X');
    QTest::newRow("wrong signature") << patch32(b, p.fixedInfo, 0xFEEF04BCu);
    QTest::newRow("signature byte-swapped") << patch32(b, p.fixedInfo, 0xBD04EFFEu);
    QTest::newRow("no version resource at all") << PeBuilder::build({.hasVersion = false}).bytes;
    QTest::newRow("only a manifest") << PeBuilder::build({.hasVersion = false, .otherResources = false}).bytes;
}

void TestFileVersion::rejectsMalformed()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!ReadFileVersionFromBytes(bytes).has_value());
}

void TestFileVersion::readsFromFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Lumarel.exe"));
    TestFiles::write(path, PeBuilder::build({.pe32Plus = true, .version = {2, 6, 3, 1}}).bytes);
    const auto v = ReadFileVersion(path);
    QVERIFY(v.has_value());
    QVERIFY((*v == FileVersion{2, 6, 3, 1}));
}

void TestFileVersion::fileCases_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    // The name is created as given; "dir", "fifo" make a folder or a pipe.
    QTest::newRow("missing") << QStringLiteral("missing") << QByteArray();
    QTest::newRow("empty file") << QStringLiteral("file") << QByteArray();
    QTest::newRow("text file") << QStringLiteral("file") << QByteArrayLiteral("MZ but nothing else");
    QTest::newRow("folder") << QStringLiteral("dir") << QByteArray();
#ifdef Q_OS_UNIX
    // Opening a pipe for reading would wait for a writer for ever.
    QTest::newRow("named pipe") << QStringLiteral("fifo") << QByteArray();
#endif
}

void TestFileVersion::fileCases()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Lumarel.exe"));
    if (name == QStringLiteral("file"))
        TestFiles::write(path, bytes);
    else if (name == QStringLiteral("dir"))
        QVERIFY(QDir().mkpath(path));
#ifdef Q_OS_UNIX
    else if (name == QStringLiteral("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    QVERIFY(!ReadFileVersion(path).has_value());
}

void TestFileVersion::everyPrefixFails_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("PE32") << PeBuilder::build().bytes;
    QTest::newRow("PE32+") << PeBuilder::build({.pe32Plus = true}).bytes;
    QTest::newRow("bare") << PeBuilder::build({.otherResources = false, .varFileInfo = false, .textSection = false}).bytes;
}

void TestFileVersion::everyPrefixFails()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(ReadFileVersionFromBytes(bytes).has_value());
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        // A fresh copy per prefix: no slack after it for a reader to overrun.
        const QByteArray prefix = bytes.left(n);
        if (ReadFileVersionFromBytes(prefix).has_value())
            QFAIL(qPrintable(QStringLiteral("prefix of %1 bytes read as valid").arg(n)));
    }
}

void TestFileVersion::everyPrefixFailsFromFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray bytes = PeBuilder::build().bytes;
    const QString path = dir.filePath(QStringLiteral("prefix.exe"));
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        TestFiles::write(path, bytes.left(n));
        if (ReadFileVersion(path).has_value())
            QFAIL(qPrintable(QStringLiteral("file of %1 bytes read as valid").arg(n)));
    }
    TestFiles::write(path, bytes);
    QVERIFY(ReadFileVersion(path).has_value());
}

namespace {

// One to eight damages: a random byte, or a 32-bit boundary value at a
// random place, which is what steers offsets past ends.
QByteArray damaged(QByteArray bytes, QRandomGenerator& rng)
{
    static const quint32 edge[] = {0, 1, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFFF0u, 0x80000010u, 0xFFFF};
    const int count = 1 + int(rng.bounded(8));
    for (int i = 0; i < count; ++i) {
        const auto at = qsizetype(rng.bounded(quint32(bytes.size())));
        if (rng.bounded(2) == 0 || at + 4 > bytes.size())
            bytes[at] = char(rng.bounded(256));
        else
            bytes = patch32(bytes, at, edge[rng.bounded(quint32(std::size(edge)))]);
    }
    return bytes;
}

} // namespace

void TestFileVersion::randomCorruptionIsHarmless()
{
    QRandomGenerator rng(20150625);
    const QByteArray images[] = {PeBuilder::build().bytes, PeBuilder::build({.pe32Plus = true}).bytes};
    int readable = 0;
    for (int i = 0; i < 6000; ++i) {
        const QByteArray bytes = damaged(images[i % 2], rng);
        if (ReadFileVersionFromBytes(bytes))
            ++readable;
    }
    // Most damages hit bytes the reader never looks at; some break it.
    QVERIFY(readable > 0);
    QVERIFY(readable < 6000);
}

void TestFileVersion::bytesOutsideHeadersDoNotMatter()
{
    QRandomGenerator rng(7);
    const PeBuilder::Image p = standard();
    for (int i = 0; i < 500; ++i) {
        QByteArray bytes = p.bytes;
        // The DOS stub and the code section are none of the reader's business.
        const bool stub = rng.bounded(2) == 0;
        const qsizetype from = stub ? 0x40 : p.textBegin;
        const qsizetype to = stub ? 0x80 : p.textEnd;
        bytes[from + qsizetype(rng.bounded(quint32(to - from)))] = char(rng.bounded(256));
        const auto v = ReadFileVersionFromBytes(bytes);
        QVERIFY(v.has_value());
        QVERIFY((*v == FileVersion{2, 5, 0, 0}));
    }
}

void TestFileVersion::fileAndMemoryAgree()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("damaged.exe"));
    QRandomGenerator rng(1251);
    const QByteArray image = PeBuilder::build().bytes;
    for (int i = 0; i < 300; ++i) {
        const QByteArray bytes = damaged(image, rng);
        TestFiles::write(path, bytes);
        QVERIFY(ReadFileVersion(path) == ReadFileVersionFromBytes(bytes));
    }
}

QTEST_GUILESS_MAIN(TestFileVersion)
#include "tst_fileversion.moc"
