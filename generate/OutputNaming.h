#pragma once

#include <QString>

// How a document is generated: a regular export into Results, or the
// demonstration into Examples.
enum class OutputKind : int { Regular = 1, Demonstration = 2 };

// A path in folder, not taken by any file, for the document of name: every
// space and every character a file name cannot hold becomes "_", then comes
// the ending of kind, then "(1)", "(2)"... before the extension when needed.
// withPdf: the same name with ".pdf" in place of the extension must be free too.
QString BuildOutputPath(const QString& folder, const QString& name, OutputKind kind,
                        bool withPdf = false);
// The file name BuildOutputPath starts from, before any "(1)".
QString DocumentFileName(const QString& name, OutputKind kind);
// fileName with "(counter)" before its extension; fileName itself for 0.
QString NumberedFileName(const QString& fileName, int counter);
// The PDF beside a document: its path with ".pdf" in place of the extension.
QString PdfSiblingName(const QString& path);
