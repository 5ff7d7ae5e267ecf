#pragma once

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

namespace TemplateLint {
inline const QString MainText = QStringLiteral("основний текст і таблиці");
inline const QString OtherParts = QStringLiteral("колонтитули, рамки, фігури або примітки");

// Checks a template's texts: the tags of the table it holds, a missing
// "#Прізвище#" (also when written in other letter case), "#…#" texts that are
// no tag of the table (with the tag meant, when one is near: Latin look-alike
// letters, extra spaces, a missing or doubled "#").
LintReport Check(const QList<PartText>& parts);
// The report as lines: one per tag found, then one per problem.
QStringList Lines(const LintReport& report);
} // namespace TemplateLint
