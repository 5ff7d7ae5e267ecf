#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// One PDF for printing a whole batch: the documents' PDFs one after another,
// each starting on a new page, nothing else.
class PrintFile {
public:
    // "Друк_YYYYMMDD-HHMMSS.pdf" for the local time when.
    static QString FileName(const QDateTime& when);

    // Joins parts, in their order, into outputPath (a new file). Throws
    // LumarelError when a part cannot be read or the file cannot be written;
    // nothing is left at outputPath then.
    static void Join(const QStringList& parts, const QString& outputPath);

    // Joins parts in a scratch folder and moves the result into folder under
    // FileName(when), numbered when that is taken; returns its path.
    static QString Write(const QStringList& parts, const QString& folder, const QDateTime& when);
};
