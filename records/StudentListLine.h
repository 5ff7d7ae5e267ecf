#pragma once

#include <QString>

// One check-list entry: the record number, spaces up to column 13, the display
// name and, when there is one, spaces up to column 52 and the faculty name.
QString FormatListLine(const QString& numberText, const QString& displayName,
                       const QString& facultyName);

// The number at the front of an entry: the text up to its first space, trimmed.
// Returns false when that is not a whole number.
bool ListLineNumber(const QString& line, qint32* number);
