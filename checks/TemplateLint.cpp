#include "checks/TemplateLint.h"

#include "generate/tags/TagTable.h"

#include <QHash>

#include <algorithm>
#include <iterator>
#include <optional>

namespace {

constexpr QChar Masked = QChar(0x1);
constexpr qsizetype LongestCandidate = 40;
const QString DoubledHashText = QStringLiteral("Подвоєний «#» у %1; мабуть, %2");

// The checks report in the order of the reference.
const QStringList& tableTags()
{
    return TagTable::Tags(TagTable::TagOrder::Reference);
}

// Latin letters that look like Cyrillic ones, and the Cyrillic letter each
// stands for.
QChar cyrillicLookAlike(QChar c)
{
    static const QString latin = QStringLiteral("aceiopxyABCEHIKMOPTX");
    static const QString cyrillic = QStringLiteral("асеіорхуАВСЕНІКМОРТХ");
    const qsizetype at = latin.indexOf(c);
    return at < 0 ? c : cyrillic.at(at);
}

// A text as it looks: "#" and spaces dropped, look-alike letters merged,
// letter case ignored.
QString looks(const QString& text)
{
    QString key;
    for (const QChar c : text) {
        if (c == u'#' || c.isSpace())
            continue;
        key.append(cyrillicLookAlike(c).toLower());
    }
    return key;
}

// The candidate with each letter of the wrong script in brackets, and what
// they are: «#Прізвищ[e]#» — латинська e.
QString markedLookAlikes(const QString& candidate, QChar::Script wrong)
{
    static const QString cyrillicTwins = QStringLiteral("асеіорхуАВСЕНІКМОРТХ");
    QString marked;
    QStringList letters;
    for (const QChar c : candidate) {
        const bool twin =
            wrong == QChar::Script_Latin ? cyrillicLookAlike(c) != c : cyrillicTwins.contains(c);
        if (c.script() != wrong || !twin) {
            marked.append(c);
            continue;
        }
        marked.append(u'[' + QString(c) + u']');
        if (!letters.contains(QString(c)))
            letters.append(QString(c));
    }
    const bool latin = wrong == QChar::Script_Latin;
    const QString kind = letters.size() == 1
                             ? (latin ? QStringLiteral("латинська") : QStringLiteral("кирилична"))
                             : (latin ? QStringLiteral("латинські") : QStringLiteral("кириличні"));
    return u'«' + marked + QStringLiteral("» — ") + kind + u' ' +
           letters.join(QStringLiteral(", "));
}

bool hasCyrillic(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
}

int distance(const QString& a, const QString& b)
{
    QList<int> previous(b.size() + 1);
    for (qsizetype j = 0; j <= b.size(); ++j)
        previous[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        QList<int> current(b.size() + 1);
        current[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j)
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1,
                                   previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        previous = current;
    }
    return previous[b.size()];
}

struct Nearest {
    QString tag;
    QString why;
};

// The tag a "#…#" text was meant to be, when one is near enough.
std::optional<Nearest> nearestTag(const QString& candidate)
{
    const QString key = looks(candidate);
    if (key.isEmpty())
        return std::nullopt;
    std::optional<Nearest> best;
    int bestDistance = std::max<int>(1, int(key.size()) / 5) + 1;
    for (const QString& tag : tableTags()) {
        const QString tagKey = looks(tag);
        if (tagKey == key) {
            QString why;
            if (hasCyrillic(tag) && std::any_of(candidate.cbegin(), candidate.cend(), [](QChar c) {
                    return c.script() == QChar::Script_Latin;
                }))
                why = markedLookAlikes(candidate, QChar::Script_Latin);
            if (why.isEmpty() && !hasCyrillic(tag) && hasCyrillic(candidate))
                why = markedLookAlikes(candidate, QChar::Script_Cyrillic);
            if (why.isEmpty())
                why = QStringLiteral("зайві або пропущені пробіли");
            return Nearest{tag, why};
        }
        const int d = distance(key, tagKey);
        if (d < bestDistance) {
            bestDistance = d;
            best = Nearest{tag, QStringLiteral("схоже написання")};
        }
    }
    return best;
}

QString quoted(const QString& text)
{
    return u'«' + text + u'»';
}

// A tag name (without its "#") that the text begins (or ends) with, the
// longest when several do.
QString tagByName(const QString& text, bool atStart)
{
    QString found;
    for (const QString& tag : tableTags()) {
        const QString name = tag.mid(1, tag.size() - 2);
        const bool hit = atStart ? text.startsWith(name, Qt::CaseInsensitive)
                                 : text.endsWith(name, Qt::CaseInsensitive);
        if (hit && name.size() > found.size() - 2)
            found = tag;
    }
    return found;
}

bool breaksCandidate(QChar c)
{
    return c == Masked || c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator ||
           c == QChar::LineSeparator;
}

void checkLeftovers(const QString& masked, QStringList& problems)
{
    QList<qsizetype> hashes;
    for (qsizetype at = masked.indexOf(u'#'); at >= 0; at = masked.indexOf(u'#', at + 1))
        hashes.append(at);
    for (qsizetype k = 0; k < hashes.size(); ++k) {
        const qsizetype at = hashes.at(k);
        if (k + 1 < hashes.size()) {
            const qsizetype end = hashes.at(k + 1);
            const QString candidate = masked.mid(at, end - at + 1);
            const bool oneRun = end - at <= LongestCandidate &&
                                std::none_of(candidate.cbegin(), candidate.cend(), breaksCandidate);
            if (oneRun) {
                if (const auto nearest = nearestTag(candidate)) {
                    problems.append(QStringLiteral("%1 не є тегом таблиці; мабуть, %2 (%3)")
                                        .arg(quoted(candidate), nearest->tag, nearest->why));
                    ++k;
                    continue;
                }
                const QString inner = candidate.mid(1, candidate.size() - 2);
                if (std::any_of(inner.cbegin(), inner.cend(),
                                [](QChar c) { return c.isLetter(); }) &&
                    !inner.front().isSpace() && !inner.back().isSpace()) {
                    problems.append(QStringLiteral("%1 не є тегом таблиці").arg(quoted(candidate)));
                    ++k;
                    continue;
                }
            }
        }
        // A "#" on its own: a tag that lost its other "#"?
        qsizetype stop = at + 1;
        while (stop < masked.size() && stop - at <= LongestCandidate &&
               !breaksCandidate(masked.at(stop)) && masked.at(stop) != u'#')
            ++stop;
        const QString after = masked.mid(at + 1, stop - at - 1);
        if (const QString tag = tagByName(after, true); !tag.isEmpty()) {
            problems.append(QStringLiteral("%1 без закривального «#»; мабуть, %2")
                                .arg(quoted(u'#' + after.left(tag.size() - 2)), tag));
            continue;
        }
        qsizetype start = at;
        while (start > 0 && at - start <= LongestCandidate &&
               !breaksCandidate(masked.at(start - 1)) && masked.at(start - 1) != u'#')
            --start;
        const QString before = masked.mid(start, at - start);
        if (const QString tag = tagByName(before, false); !tag.isEmpty())
            problems.append(QStringLiteral("%1 без початкового «#»; мабуть, %2")
                                .arg(quoted(before.right(tag.size() - 2) + u'#'), tag));
    }
}

// How often each tag of the table stands in a text, letter case ignored.
QHash<QString, int> tagCounts(const QString& text)
{
    QHash<QString, int> counts;
    for (const QString& tag : tableTags()) {
        for (qsizetype at = text.indexOf(tag, 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(tag, at + tag.size(), Qt::CaseInsensitive))
            ++counts[tag];
    }
    return counts;
}

const QString FixChanges = QStringLiteral("прийміть або відхиліть виправлення в MS Word, вимкніть "
                                          "запис виправлень і збережіть шаблон");

void checkChanges(const TrackedChanges& changes, QStringList& problems)
{
    if (changes.recording)
        problems.append(TemplateLint::RecordingText);
    const QHash<QString, int> rejected = tagCounts(changes.rejected);
    const QHash<QString, int> accepted = tagCounts(changes.accepted);
    for (const QString& tag : tableTags()) {
        const int before = rejected.value(tag), after = accepted.value(tag);
        if (after > before)
            problems.append(
                QStringLiteral("Тег %1 цілий лише після прийняття виправлень: ").arg(tag) +
                FixChanges);
        else if (before > after)
            problems.append(
                QStringLiteral("Тег %1 стоїть у вилученому виправленнями тексті й не буде "
                               "заповнений: ")
                    .arg(tag) +
                FixChanges);
    }
}

QString markName(const DocumentMark& mark)
{
    return mark.kind == DocumentMark::Kind::Bookmark
               ? QStringLiteral("закладка ") + quoted(mark.name)
               : QStringLiteral("поле");
}

// A bookmark or a field is no part of its own: its tags are counted where
// it stands, and it is named beside.
void nameMarks(const QList<DocumentMark>& marks, QList<TagCount>& tags)
{
    for (const DocumentMark& mark : marks) {
        const QHash<QString, int> counts = tagCounts(mark.text);
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            auto known = std::find_if(tags.begin(), tags.end(),
                                      [&it](const TagCount& t) { return t.tag == it.key(); });
            if (known == tags.end())
                known = tags.insert(tags.end(), TagCount{it.key(), it.value(), {}});
            const QString name = markName(mark);
            if (!known->parts.contains(name))
                known->parts.append(name);
        }
    }
}

} // namespace

namespace TemplateLint {

QString PartName(DocumentPart part)
{
    // In the order of DocumentPart.
    static const QString names[] = {
        QStringLiteral("основний текст"), QStringLiteral("таблиця"), QStringLiteral("колонтитул"),
        QStringLiteral("рамка"),          QStringLiteral("фігура"),  QStringLiteral("виноска"),
    };
    static_assert(std::size(names) == int(DocumentPart::Note) + 1);
    const int k = int(part);
    return k >= 0 && k < int(std::size(names)) ? names[k] : QString();
}

LintReport Check(const TemplateTexts& texts)
{
    const QList<PartText>& parts = texts.parts;
    LintReport report;
    QStringList problems;
    int exactSurnames = 0;
    QString otherCaseSurname;
    for (const PartText& part : parts) {
        QString masked = part.text;
        QList<std::pair<qsizetype, qsizetype>> spans;
        for (const QString& tag : tableTags()) {
            int count = 0;
            for (qsizetype at = part.text.indexOf(tag, 0, Qt::CaseInsensitive); at >= 0;
                 at = part.text.indexOf(tag, at + tag.size(), Qt::CaseInsensitive)) {
                ++count;
                spans.append({at, tag.size()});
                masked.replace(at, tag.size(), QString(tag.size(), Masked));
                if (tag == SurnameTag) {
                    if (part.text.mid(at, tag.size()) == SurnameTag)
                        ++exactSurnames;
                    else if (otherCaseSurname.isEmpty())
                        otherCaseSurname = part.text.mid(at, tag.size());
                }
            }
            if (!count)
                continue;
            auto known = std::find_if(report.tags.begin(), report.tags.end(),
                                      [&tag](const TagCount& t) { return t.tag == tag; });
            if (known == report.tags.end())
                known = report.tags.insert(report.tags.end(), TagCount{tag, 0, {}});
            known->count += count;
            if (!known->parts.contains(part.part))
                known->parts.append(part.part);
        }
        // A "#" right beside a tag, not belonging to another one.
        for (const auto& [at, size] : spans) {
            const QString tag = part.text.mid(at, size);
            if (at > 0 && masked.at(at - 1) == u'#') {
                problems.append(DoubledHashText.arg(quoted(u'#' + tag), tag));
                masked[at - 1] = Masked;
            }
            if (at + size < masked.size() && masked.at(at + size) == u'#') {
                problems.append(DoubledHashText.arg(quoted(tag + u'#'), tag));
                masked[at + size] = Masked;
            }
        }
        checkLeftovers(masked, problems);
    }
    nameMarks(texts.marks, report.tags);
    // The order of the reference, whatever the order found.
    const QStringList order = tableTags();
    std::sort(report.tags.begin(), report.tags.end(),
              [&order](const TagCount& a, const TagCount& b) {
                  return order.indexOf(a.tag) < order.indexOf(b.tag);
              });

    if (exactSurnames == 0) {
        report.problems.append(
            otherCaseSurname.isEmpty()
                ? QStringLiteral("Немає тегу #Прізвище#: шаблон буде відхилено")
                : QStringLiteral("Тег #Прізвище# написано іншими літерами (%1): шаблон буде "
                                 "відхилено, потрібно точно #Прізвище#")
                      .arg(quoted(otherCaseSurname)));
    }
    report.problems.append(problems);
    checkChanges(texts.changes, report.problems);
    return report;
}

QStringList Lines(const LintReport& report)
{
    QStringList lines;
    for (const TagCount& t : report.tags)
        lines.append(t.tag + u'\t' + QString::number(t.count) + u'\t' +
                     t.parts.join(QStringLiteral(", ")));
    lines.append(report.problems);
    return lines;
}

} // namespace TemplateLint
