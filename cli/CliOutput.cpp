#include "cli/CliOutput.h"

#include "import/ImportXmlFile.h"
#include "records/LumarelError.h"
#include "records/TextRules.h"

#include <QSet>

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
QString cell(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        default:
            // Other controls, and the separators some tools take for a line end.
            if (c.category() == QChar::Other_Control || u == 0x2028 || u == 0x2029)
                out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

void row(const QStringList& cells)
{
    QStringList escaped;
    escaped.reserve(cells.size());
    for (const QString& c : cells)
        escaped.append(cell(c));
    out(escaped.join(u'\t'));
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

std::optional<QList<qint32>> RecordNumbersForCli(const QString& verb, const QStringList& numbers)
{
    QList<qint32> wanted;
    for (const QString& arg : numbers) {
        qint32 number = 0;
        if (!TextRules::ParseInt32(arg, &number)) {
            CliOutput::err(
                QStringLiteral("lumarel-convert %1: \"%2\" is not a record number").arg(verb, arg));
            return std::nullopt;
        }
        wanted.append(number);
    }
    return wanted;
}

QList<int> RecordsForCli(const QString& verb, const RecordStore& store, const QList<qint32>& wanted,
                         bool* allFound)
{
    QList<int> indexes;
    QSet<qint32> found;
    for (int index = 1; index <= store.RecordCount(); ++index) {
        const qint32 number = store.Record(index).RecordNumber;
        if (wanted.isEmpty() || (wanted.contains(number) && !found.contains(number))) {
            indexes.append(index);
            found.insert(number);
        }
    }
    for (const qint32 number : wanted) {
        if (!found.contains(number)) {
            CliOutput::err(
                QStringLiteral("lumarel-convert %1: no record numbered %2").arg(verb).arg(number));
            *allFound = false;
        }
    }
    return indexes;
}
