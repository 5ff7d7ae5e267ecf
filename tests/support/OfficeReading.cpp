#include "tests/support/OfficeReading.h"

#include "generate/office/LibreOfficeSession.h"

QString ReadDocumentText(DocumentSession& session)
{
    QString text;
    for (const auto& [part, partText] : session.ReadPartTexts())
        if (part == DocumentPart::Body || part == DocumentPart::Table)
            text += partText;
    return text;
}

bool ReplaceTag(DocumentSession& session, const QString& tag, const QString& value)
{
    return !tag.isEmpty() && session.ReplaceTags({{tag, value}}) > 0;
}

QString readBack(const QString& path)
{
    LibreOfficeSession reader;
    reader.start(true);
    reader.open(path);
    const QString text = ReadDocumentText(reader);
    reader.quit();
    return text;
}
