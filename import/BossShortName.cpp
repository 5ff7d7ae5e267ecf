#include "import/BossShortName.h"

#include "records/TextRules.h"

#include <QRegularExpression>

namespace {

// The first code point of a text.
QString firstChar(const QString& s)
{
    return TextRules::CutToWidth(s, 1);
}

// The part from the first space on, trimmed; all of s when it has no space.
QString restAfterFirstWord(const QString& s)
{
    const qsizetype p = s.indexOf(u' ');
    return TextRules::TrimControls(p < 0 ? s : s.mid(p));
}

} // namespace

QString BossShortName(const QString& fullName, int initials)
{
    const QString s = TextRules::TrimControls(fullName);
    const qsizetype p = s.indexOf(u' ');
    // One word is the surname alone; a value with initials is short already.
    if (p < 0)
        return fullName;
    static const QRegularExpression words(QStringLiteral("\\s+"));
    for (const QString& word : s.split(words, Qt::SkipEmptyParts)) {
        if (word.endsWith(u'.'))
            return fullName;
    }
    const QString surname = s.left(p);
    const QString rest = restAfterFirstWord(s);
    const QString i1 = firstChar(rest);
    if (initials <= 1)
        return i1 + QStringLiteral(". ") + surname;
    const QString i2 = firstChar(restAfterFirstWord(rest));
    return i1 + u'.' + i2 + QStringLiteral(". ") + surname;
}
