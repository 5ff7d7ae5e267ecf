#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Shared fixtures: files written by the tests into their temporary directory.
namespace TestFiles {

void write(const QString& path, const QByteArray& bytes);
QByteArray read(const QString& path);

// One graduate of the attribute form ("document"/"documentdata"); extra
// attributes override or add to the defaults, an empty value removes one.
QByteArray attributeRecord(const QList<QPair<QString, QString>>& overrides = {});
// One graduate of the element form ("Document" with child elements).
QByteArray elementRecord(const QList<QPair<QString, QString>>& overrides = {});
// A whole UTF-8 file around the given record elements.
QByteArray edeboFile(const QByteArray& children);
// A whole file of `count` graduates of the attribute form, each with a
// surname, document id and number of its own (the benchmarks' input).
QByteArray numberedGraduates(int count);

// A flat OpenDocument text of one paragraph, which the office opens like any
// template.
QByteArray flatTemplate(const QByteArray& paragraph);
// A flat OpenDocument text declaring the namespaces the tests use: the
// settings and styles, then the body's content.
QByteArray flatDocument(const QString& prelude, const QString& body);

// The 31 tags, written out rather than taken from the program's table, so a
// tag misspelt there is caught.
extern const QStringList AllTags;

} // namespace TestFiles
