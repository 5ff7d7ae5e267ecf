#include "generate/office/TagWriter.h"

#include "generate/office/DocumentMarks.h"
#include "generate/office/DocumentParts.h"
#include "generate/office/HeldTemplates.h"
#include "generate/office/OfficeLoops.h"
#include "generate/office/OfficeStrings.h"
#include "generate/tags/TagMatches.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XTextCursor.hpp>

#include <utility>
#include <vector>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

// Places of tags as cursors, with the tag each holds.
using Places = std::vector<std::pair<Reference<css::text::XTextCursor>, int>>;

void moveRight(const Reference<css::text::XTextCursor>& cursor, qsizetype count, bool expand)
{
    while (count > 0) {
        const auto step = static_cast<sal_Int16>(std::min<qsizetype>(count, 0x7fff));
        cursor->goRight(step, expand);
        count -= step;
    }
}

// A cursor over `length` characters `at` characters into the paragraph.
Reference<css::text::XTextCursor> cursorAt(const Reference<css::text::XText>& text,
                                           const Reference<css::text::XTextRange>& paragraph,
                                           qsizetype at, qsizetype length)
{
    const Reference<css::text::XTextCursor> cursor =
        text->createTextCursorByRange(paragraph->getStart());
    moveRight(cursor, at, false);
    moveRight(cursor, length, true);
    return cursor;
}

bool holdsTag(const Reference<css::text::XTextCursor>& cursor, const QString& tag)
{
    return toQ(cursor->getString()).compare(tag, Qt::CaseInsensitive) == 0;
}

// The places of the tags in a paragraph walked a character at a time.
Places placesStepByStep(const Reference<css::text::XText>& text,
                        const Reference<css::text::XTextRange>& paragraph, qsizetype characters,
                        const QStringList& tags)
{
    Places places;
    qsizetype longest = 0;
    for (const QString& tag : tags)
        longest = std::max(longest, tag.size());
    const Reference<css::text::XTextCursor> walker =
        text->createTextCursorByRange(paragraph->getStart());
    Reference<css::text::XParagraphCursor> ends(walker, UNO_QUERY);
    // A field shows as at least one character, so the paragraph has no more
    // steps than its text has characters.
    for (qsizetype step = 0; step < characters; ++step) {
        if (ends.is() && ends->isEndOfParagraph())
            break;
        const Reference<css::text::XTextCursor> ahead =
            text->createTextCursorByRange(walker->getStart());
        moveRight(ahead, longest, true);
        const QList<TagMatch> found = FindTagMatches(toQ(ahead->getString()), tags);
        if (!found.isEmpty() && found.first().at == 0) {
            const TagMatch& m = found.first();
            Reference<css::text::XTextCursor> cursor =
                text->createTextCursorByRange(walker->getStart());
            moveRight(cursor, m.length, true);
            if (holdsTag(cursor, tags.at(m.tag))) {
                places.emplace_back(std::move(cursor), m.tag);
                moveRight(walker, m.length, false);
                step += m.length - 1;
                continue;
            }
        }
        walker->goRight(1, false);
    }
    return places;
}

// The places of the tags in one paragraph. A paragraph's text shows a field
// by its content while a cursor steps over it as one character: each place
// is checked, and when one does not hold its tag the paragraph is walked a
// character at a time.
void placesInParagraph(const Reference<css::text::XText>& text,
                       const Reference<css::text::XTextRange>& paragraph, const QStringList& tags,
                       Places& out)
{
    const QString string = toQ(paragraph->getString());
    const QList<TagMatch> matches = FindTagMatches(string, tags);
    if (matches.isEmpty())
        return;
    Places places;
    for (const TagMatch& m : matches) {
        Reference<css::text::XTextCursor> cursor = cursorAt(text, paragraph, m.at, m.length);
        if (!holdsTag(cursor, tags.at(m.tag))) {
            places = placesStepByStep(text, paragraph, string.size(), tags);
            break;
        }
        places.emplace_back(std::move(cursor), m.tag);
    }
    out.insert(out.end(), places.begin(), places.end());
}

// The places of the tags in a text the search does not reach (a shape's, a
// header's), tables within it included.
void placesInText(const Reference<css::text::XText>& text, const QStringList& tags, Places& out)
{
    WalkTextOrThrow(
        text, [](const auto&) {},
        [&](const Reference<css::text::XText>& owner, const css::uno::Any& item, int) {
            Reference<css::text::XTextRange> paragraph(item, UNO_QUERY);
            if (paragraph.is())
                placesInParagraph(owner, paragraph, tags, out);
        });
}

// Which of the search's places gets which value.
void assignValues(const QStringList& found, const QStringList& tags, const QStringList& texts,
                  QList<int>& which, QStringList& values)
{
    for (qsizetype r = 0; r < found.size(); ++r) {
        const QString& text = found.at(r);
        for (qsizetype k = 0; k < tags.size(); ++k) {
            if (text.compare(tags.at(k), Qt::CaseInsensitive) == 0) {
                which.append(static_cast<int>(r));
                values.append(texts.at(k));
                break;
            }
        }
    }
}

// Which of the search's places lie in a link: read once for a template as
// loaded, and the same for as long as it is held (it reads as loaded).
const QList<bool>& linkedPlaces(OpenDocument& doc, const FoundTags& found, OfficeLoops& loops)
{
    const QString asked = found.tags.join(u'\n');
    const auto known = doc.linked.constFind(asked);
    if (known != doc.linked.cend() && known->size() == found.texts.size())
        return *known;
    QList<bool> linked;
    if (found.hits.is())
        linked = loops.Linked(found.hits);
    for (const Reference<css::text::XTextRange>& place : found.ranges) {
        OUString link;
        Reference<css::beans::XPropertySet>(place, UNO_QUERY_THROW)
            ->getPropertyValue(OUString("HyperLinkURL")) >>= link;
        linked.append(!link.isEmpty());
    }
    return *doc.linked.insert(asked, linked);
}

// A place in a link is written from inside, so that the link holds the
// value as it held the tag.
int writeSearchPlaces(const FoundTags& found, const QList<int>& which, const QStringList& values,
                      OfficeLoops& loops, const QList<bool>& linked)
{
    QList<bool> inLink;
    for (const int place : which)
        inLink.append(linked.value(place));
    if (found.hits.is())
        return loops.Write(found.hits, which, values, inLink);
    for (qsizetype k = 0; k < which.size(); ++k) {
        const Reference<css::text::XTextRange>& place =
            found.ranges[static_cast<size_t>(which.at(k))];
        if (inLink.at(k))
            WriteInside(place, values.at(k));
        else
            place->setString(toOU(values.at(k)));
    }
    return static_cast<int>(which.size());
}

// Whether tags that touch each other differ in formatting somewhere along
// them. Where the text between two places is gone, what is written into one
// takes its formatting from the other, and would differ with the values
// written before; alike all along, it cannot.
bool touchingTagsDiffer(const Reference<css::lang::XComponent>& document, const QStringList& tags)
{
    const OUString tag = "(?:" + TagPattern(tags) + ")";
    const Reference<css::container::XIndexAccess> runs = FindAllMatching(document, tag + tag + "+");
    for (sal_Int32 k = 0; runs.is() && k < runs->getCount(); ++k) {
        // One paragraph of one portion: the same formatting all along.
        const Reference<css::container::XEnumerationAccess> run(runs->getByIndex(k), UNO_QUERY);
        const Reference<css::container::XEnumeration> paragraphs =
            run.is() ? run->createEnumeration() : nullptr;
        if (!paragraphs.is() || !paragraphs->hasMoreElements())
            return true;
        const Reference<css::container::XEnumerationAccess> paragraph(paragraphs->nextElement(),
                                                                      UNO_QUERY);
        const Reference<css::container::XEnumeration> portions =
            paragraph.is() ? paragraph->createEnumeration() : nullptr;
        if (!portions.is() || !portions->hasMoreElements())
            return true;
        portions->nextElement();
        if (portions->hasMoreElements() || paragraphs->hasMoreElements())
            return true;
    }
    return false;
}

// A document filled as loaded, whose places the office's loops wrote, none
// of them in a link, is kept filled: the next graduate's values are written
// over this one's.
bool canKeepWritten(const OpenDocument& doc, const FoundTags& found, bool undoable,
                    const QList<bool>& linked)
{
    return undoable && found.hits.is() && !doc.refreshAfterFilling && !linked.contains(true) &&
           !touchingTagsDiffer(doc.document, found.tags);
}

void keepWritten(OpenDocument& doc, const FoundTags& found, const QList<int>& which,
                 const QStringList& values, bool keep)
{
    if (!keep || doc.filling != OpenDocument::Filling::Undoable)
        return;
    doc.written = found.texts;
    for (qsizetype k = 0; k < which.size(); ++k)
        doc.written[which.at(k)] = values.at(k);
    doc.writtenPlaces = which;
    doc.writtenChecked = false;
    doc.places = found.hits;
    doc.filling = OpenDocument::Filling::Written;
}

// A header's cursors move with the text written before them, a shape's do
// not: those are written from the end.
int writeOtherPlaces(const Places& headerPlaces, const Places& shapePlaces,
                     const QStringList& texts)
{
    int written = 0;
    for (const auto& [cursor, tag] : headerPlaces) {
        cursor->setString(toOU(texts.at(tag)));
        ++written;
    }
    for (auto place = shapePlaces.crbegin(); place != shapePlaces.crend(); ++place) {
        place->first->setString(toOU(texts.at(place->second)));
        ++written;
    }
    return written;
}

} // namespace

QString LineBreaks(const QString& value)
{
    QString text = value;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

int WriteTags(OpenDocument& doc, const FoundTags& found, const QStringList& tags,
              const QStringList& texts, OfficeLoops& loops, bool watchChanges)
{
    Places headerPlaces, shapePlaces;
    for (size_t k = 0; k < found.others.size(); ++k)
        placesInText(found.others[k], tags, k < found.headers ? headerPlaces : shapePlaces);
    QList<int> which;
    QStringList values;
    assignValues(found.texts, tags, texts, which, values);
    if (which.isEmpty() && headerPlaces.empty() && shapePlaces.empty())
        return 0;
    // Texts the search does not reach are left out of the undo: the
    // document is then closed after use.
    const bool undoable = doc.filling == OpenDocument::Filling::None && headerPlaces.empty() &&
                          shapePlaces.empty() && !doc.templateKey.isEmpty() && !watchChanges;
    const QList<bool> linked = which.isEmpty() ? QList<bool>() : linkedPlaces(doc, found, loops);
    const bool keep = canKeepWritten(doc, found, undoable, linked);
    FillingUndo filling(doc, undoable);
    int written = writeSearchPlaces(found, which, values, loops, linked);
    written += writeOtherPlaces(headerPlaces, shapePlaces, texts);
    // References to what was written show it; part of the filling undone.
    if (doc.refreshAfterFilling)
        RefreshFields(doc.document);
    filling.finish();
    keepWritten(doc, found, which, values, keep);
    return written;
}

bool CanRefill(const OpenDocument& doc, const QStringList& tags, const OfficeLoops& loops)
{
    const bool asLoaded =
        doc.filling == OpenDocument::Filling::None || doc.filling == OpenDocument::Filling::Written;
    if (!doc.reused || !asLoaded || doc.unacceptedChanges || doc.refreshAfterFilling ||
        !loops.installed())
        return false;
    const QString asked = tags.join(u'\n');
    const auto loaded = doc.pristine.constFind(asked);
    const auto linked = doc.linked.constFind(asked);
    return loaded != doc.pristine.cend() && linked != doc.linked.cend() &&
           linked->size() == loaded->size();
}

std::optional<int> RefillHeld(OpenDocument& doc, const FoundTags& found, const QStringList& tags,
                              const QStringList& texts, OfficeLoops& loops)
{
    QList<int> which;
    QStringList values;
    assignValues(found.texts, tags, texts, which, values);
    if (which.isEmpty())
        return 0;
    const QList<bool> linked = doc.linked.value(found.tags.join(u'\n'));
    QList<bool> inLink;
    for (const int place : which)
        inLink.append(linked.value(place));
    doc.filling = OpenDocument::Filling::Spoiled;
    switch (loops.Refill(doc.document, TagPattern(found.tags), found.texts, doc.marks, which,
                         values, inLink, FillingTitle)) {
    case OfficeLoops::Refilled::NotAsLoaded:
        doc.filling = OpenDocument::Filling::None;
        return std::nullopt;
    case OfficeLoops::Refilled::Undoable:
        doc.filling = OpenDocument::Filling::Undoable;
        break;
    case OfficeLoops::Refilled::NotUndoable:
        break;
    }
    return static_cast<int>(which.size());
}

std::optional<int> OverwriteHeld(OpenDocument& doc, const FoundTags& found, const QStringList& tags,
                                 const QStringList& texts, OfficeLoops& loops)
{
    QList<int> which;
    QStringList values;
    assignValues(found.texts, tags, texts, which, values);
    // A place left out now would keep the last graduate's value.
    if (which != doc.writtenPlaces)
        return std::nullopt;
    QStringList after = doc.written;
    // Only what differs from the last graduate is written: the same text
    // written again would read and look as it does.
    QList<int> changed;
    QStringList changes;
    for (qsizetype k = 0; k < which.size(); ++k) {
        const QString& now = doc.written.at(which.at(k));
        if (now == values.at(k))
            continue;
        // A place written empty is gone with its formatting: a value is
        // written into it only as it was loaded.
        if (now.isEmpty())
            return std::nullopt;
        after[which.at(k)] = values.at(k);
        changed.append(which.at(k));
        changes.append(values.at(k));
    }
    doc.filling = OpenDocument::Filling::Spoiled;
    if (!loops.Overwrite(doc.document, doc.places, doc.writtenChecked, doc.written, doc.marks,
                         changed, changes, after))
        return std::nullopt;
    doc.written = std::move(after);
    // Nothing writes into a held template between two graduates.
    doc.writtenChecked = true;
    doc.filling = OpenDocument::Filling::Written;
    return static_cast<int>(which.size());
}
