#pragma once

#include "records/RecordStore.h"

#include <QString>
#include <QStringList>
#include <optional>

// The two refusals of a file, shown by the open command.
inline const QString WrongStructureText =
    QStringLiteral("Структура xml-файлу не відповідає еталону!");
inline const QString TooManyRecordsText =
    QStringLiteral("Хml-файл містить понад 1000 записів! Необхідно зменшити об`єм файлу!");

// The longest value the import takes, in characters. A real export's longest,
// a university's full name, stays at a few hundred; a value far longer would
// only keep the office busy for minutes, so such a file is refused.
constexpr int MaxValueLength = 4000;

// Reads an EDEBO export (attribute form: "document"/"documentdata"; element
// form: "Document" with one child per value). On success the store holds the
// file's records and listLines one check-list line per record, and there is no
// result. A refused file gives its refusal text and changes nothing. A broken
// file (unreadable, malformed, a missing required value, a bad number, a value
// that is not plain text or longer than MaxValueLength) throws LumarelError
// naming the record and the value, and changes nothing. Entities the file
// declares itself are expanded within the parser's bounds; one that names an
// outside file, an undeclared one, or an expansion past the bounds throws as
// well. Names are matched exactly: a prefixed element ("x:document") is
// never a record.
std::optional<QString> ImportXmlFile(const QString& path, RecordStore& store,
                                     QStringList& listLines);

// The same on bytes already in memory (path only names the file in messages).
std::optional<QString> ImportXmlBytes(const QByteArray& bytes, const QString& path,
                                      RecordStore& store, QStringList& listLines);
