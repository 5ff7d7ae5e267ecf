#pragma once

#include <QProcessEnvironment>
#include <QString>

// The office turns file addresses into paths through its process locale: with
// a locale that is not UTF-8 (LANG unset under cron or ssh, LANG=C) every save
// of a document with a Cyrillic name fails. So the office always gets a UTF-8
// character locale; the caller's settings stay where they are UTF-8 already.
namespace OfficeLocale {

// Whether a locale name asks for UTF-8 ("C.UTF-8", "uk_UA.utf8@euro").
bool NamesUtf8(const QString& locale);
// Whether the C library knows that locale here.
bool Exists(const QString& locale);
// The environment to start the office with: env itself when its character
// locale (LC_ALL, else LC_CTYPE, else LANG) is a UTF-8 one that exists here;
// otherwise env with that locale replaced by the same language in UTF-8 when
// it exists, else by C.UTF-8. LC_ALL is replaced when it is what decides,
// else LC_CTYPE is set; nothing else changes.
QProcessEnvironment WithUtf8(QProcessEnvironment env);

} // namespace OfficeLocale
