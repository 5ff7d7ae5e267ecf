#pragma once

#include "records/RecordStore.h"

#include <QString>
#include <optional>

// One check-list entry: the record number, spaces up to column 13, the display
// name and, when there is one, spaces up to column 52 and the faculty name.
QString FormatListLine(const QString& numberText, const QString& displayName,
                       const QString& facultyName);

// The number at the front of an entry: the text up to its first space, trimmed.
// Returns false when that is not a whole number.
bool ListLineNumber(const QString& line, qint32* number);

// The record of a check-list entry: the first record with the entry's leading
// number; none when the entry has no number or no record has it.
std::optional<int> RecordOfListEntry(const RecordStore& store, const QString& entry);
