#include "records/StudentListLine.h"

#include "records/TextRules.h"

QString FormatListLine(const QString& numberText, const QString& displayName,
                       const QString& facultyName)
{
    // Columns count characters as the user sees them.
    QString line = numberText;
    int length = TextRules::CodePointCount(line);
    if (length < 11) {
        line += QString(12 - length, u' ');
        length = 12;
    }
    line += displayName;
    length += TextRules::CodePointCount(displayName);
    if (!facultyName.isEmpty()) {
        if (length < 50)
            line += QString(51 - length, u' ');
        line += TextRules::DecodeQuotes(facultyName);
    }
    return line;
}

bool ListLineNumber(const QString& line, qint32* number)
{
    const qsizetype space = line.indexOf(u' ');
    const QString head = space < 0 ? line : line.left(space + 1);
    return TextRules::ParseInt32(TextRules::TrimControls(head), number);
}

std::optional<int> RecordOfListEntry(const RecordStore& store, const QString& entry)
{
    qint32 number = 0;
    if (!ListLineNumber(entry, &number))
        return std::nullopt;
    return store.FindRecordByNumber(number);
}
