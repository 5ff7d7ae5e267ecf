#pragma once

#include <QList>
#include <QStringList>
#include <QStringView>

// Where tags stand in a plain text: found left to right, letter case
// ignored, one occurrence never overlapping the next, as the office's own
// search finds them.
struct TagMatch {
    qsizetype at = 0;
    qsizetype length = 0;
    int tag = 0; // index into the tags searched for
};

QList<TagMatch> FindTagMatches(QStringView text, const QStringList& tags);

// The text with each match replaced by the value of its tag, in one pass:
// a value is never searched again.
QString ReplaceTagMatches(QStringView text, const QList<TagMatch>& matches,
                          const QStringList& values);
