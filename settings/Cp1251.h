#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page of the settings files.
namespace Cp1251 {
QString decode(const QByteArray& bytes);
// Throws LumarelError naming the first character that has no form there.
QByteArray encode(const QString& text);
bool canEncode(const QString& text);
} // namespace Cp1251
