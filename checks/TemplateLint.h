#pragma once

#include "generate/office/DocumentSession.h"

#include <QList>
#include <QString>
#include <QStringList>

// A tag of the table found in a template: how often and where.
struct TagCount {
    QString tag; // as the table writes it
    int count = 0;
    QStringList parts; // the names of the document parts holding it
};

// What the template check found.
struct LintReport {
    QList<TagCount> tags; // in the order of the tag reference
    QStringList problems;
    bool clean() const { return problems.isEmpty(); }
};

// One readable part of a template and its text.
struct PartText {
    QString part; // its name, as the report shows it
    QString text;
};

// What the template check reads of a template.
struct TemplateTexts {
    QList<PartText> parts;     // with the tracked changes accepted, as the export sees it
    TrackedChanges changes;    // as saved
    QList<DocumentMark> marks; // bookmarks and fields, as found
};

namespace TemplateLint {
inline const QString RecordingText = QStringLiteral(
    "У шаблоні ввімкнено запис виправлень: вимкніть його в MS Word і збережіть шаблон");

// The name of a kind of part, as the report shows it.
QString PartName(DocumentPart part);

// Checks a template's texts: the tags of the table it holds, a missing
// "#Прізвище#" (also when written in other letter case), "#…#" texts that are
// no tag of the table (with the tag meant, when one is near: Latin look-alike
// letters, each shown in brackets, extra spaces, a missing or doubled "#"),
// change recording left on, and tags that a tracked change breaks or that
// stand only in deleted text. A tag that stands in a bookmark or a field's
// shown text has that named among its parts.
LintReport Check(const TemplateTexts& texts);
// The report as lines: one per tag found, then one per problem.
QStringList Lines(const LintReport& report);
} // namespace TemplateLint
