// Arbitrary bytes as a settings file: the line buffer's reading rules hold,
// Templ.set and the folder files read the same from disk as in memory, and a
// save either writes the eight lines exactly or fails leaving the old file.
#include "tests/fuzz/FuzzCheck.h"

#include "settings/Cp1251.h"
#include "settings/LineBuffer.h"
#include "records/LumarelError.h"
#include "settings/SettingsFiles.h"
#include "settings/WorkDir.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

bool hasLoneBreak(const QString& text)
{
    QString rest = text;
    rest.remove(QStringLiteral("\r\n"));
    return rest.contains(u'\r') || rest.contains(u'\n');
}

void writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(f.write(bytes) == bytes.size());
}

QByteArray readRaw(const QString& path)
{
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void checkBuffer(const LineBuffer& buffer)
{
    const QString& text = buffer.text();
    FUZZ_CHECK(!hasLoneBreak(text));
    // Normalised text is its own normal form.
    LineBuffer again;
    again.setText(text);
    FUZZ_CHECK(again.text() == text);
    // The lines joined by CR LF give the text back.
    const qsizetype breaks = text.count(QStringLiteral("\r\n"));
    QStringList lines;
    for (qsizetype k = 1; k <= breaks + 1; ++k) {
        const QString line = buffer.line(int(k));
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));
        lines.append(line);
    }
    FUZZ_CHECK(lines.join(QStringLiteral("\r\n")) == text);
    FUZZ_CHECK(buffer.line(int(breaks + 2)).isEmpty());
    FUZZ_CHECK(buffer.line(0).isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir scratch;
    FUZZ_CHECK(scratch.isValid());
    const WorkDir workDir(scratch.path());
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    LineBuffer buffer;
    buffer.setText(Cp1251::decode(bytes));
    checkBuffer(buffer);

    const QString templPath = workDir.filePath(SettingsFiles::TemplTableFile);
    writeRaw(templPath, bytes);
    try {
        const auto table = SettingsFiles::LoadTemplateTable(workDir);
        FUZZ_CHECK(table && table->size() == 8);
        for (int k = 1; k <= 8; ++k)
            FUZZ_CHECK(table->at(k - 1) == buffer.line(k));

        bool storable = true;
        for (const QString& p : *table)
            storable = storable && SettingsFiles::IsStorable(p);
        try {
            SettingsFiles::SaveTemplateTable(workDir, *table);
            FUZZ_CHECK(storable);
            const auto back = SettingsFiles::LoadTemplateTable(workDir);
            FUZZ_CHECK(back && *back == *table);
            QByteArray expected;
            for (const QString& p : *table)
                expected += Cp1251::encode(p) + "\r\n";
            FUZZ_CHECK(readRaw(templPath) == expected);
        } catch (const LumarelError& e) {
            // Refused before anything was written.
            FUZZ_CHECK(!storable && !e.text().isEmpty());
            FUZZ_CHECK(readRaw(templPath) == bytes);
        }
    } catch (const LumarelError&) {
        FUZZ_CHECK(false); // an existing, readable file always loads
    }

    writeRaw(workDir.filePath(SettingsFiles::CurDirXmlFile), bytes);
    FUZZ_CHECK(SettingsFiles::ReadRememberedFolder(workDir, SettingsFiles::CurDirXmlFile) ==
               buffer.text());
    return 0;
}
