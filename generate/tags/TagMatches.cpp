#include "generate/tags/TagMatches.h"

QList<TagMatch> FindTagMatches(QStringView text, const QStringList& tags)
{
    QList<TagMatch> matches;
    qsizetype at = 0;
    while (at < text.size()) {
        int found = -1;
        for (int k = 0; k < tags.size() && found < 0; ++k)
            if (!tags.at(k).isEmpty() && text.mid(at).startsWith(tags.at(k), Qt::CaseInsensitive))
                found = k;
        if (found < 0) {
            ++at;
            continue;
        }
        matches.append({at, tags.at(found).size(), found});
        at += tags.at(found).size();
    }
    return matches;
}

QString ReplaceTagMatches(QStringView text, const QList<TagMatch>& matches,
                          const QStringList& values)
{
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (const TagMatch& m : matches) {
        out.append(text.mid(from, m.at - from));
        out.append(values.at(m.tag));
        from = m.at + m.length;
    }
    out.append(text.mid(from));
    return out;
}
