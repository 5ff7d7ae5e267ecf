#pragma once

#include <QString>

// Text helpers shared by the import, the list and the lookups.
namespace TextRules {

// Every "&quot;" (exact case) becomes one double quote character.
QString DecodeQuotes(const QString& text);

// Removes spaces and control characters (code <= 32) from both ends.
QString TrimControls(const QString& text);

// The first `width` characters (code points: a surrogate pair is never split).
QString CutToWidth(const QString& text, int width);

// Number of code points in the text.
int CodePointCount(const QString& text);

// A whole decimal 32-bit integer: optional spaces around, optional sign.
// Returns false for anything else (empty, other characters, out of range).
bool ParseInt32(const QString& text, qint32* value);

// "'%s' is not a valid integer value" with the text in place.
QString NotAnIntegerText(const QString& text);

} // namespace TextRules
