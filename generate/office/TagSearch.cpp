#include "generate/office/TagSearch.h"

#include "generate/office/OfficeLoops.h"
#include "generate/office/OfficeStrings.h"
#include "generate/tags/TagMatches.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/util/XSearchable.hpp>

#include <algorithm>

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

// Every character that could mean something to the search is escaped.
OUString TagPattern(const QStringList& tags)
{
    QStringList alternatives;
    for (const QString& tag : tags) {
        if (tag.isEmpty())
            continue;
        QString escaped;
        for (const QChar c : tag) {
            if (c.unicode() < 0x80 && !c.isLetterOrNumber() && c != u' ')
                escaped.append(u'\\');
            escaped.append(c);
        }
        alternatives.append(escaped);
    }
    return toOU(alternatives.join(u'|'));
}

// One search reaches the body, tables, frames, notes and the headers and
// footers that some page shows.
Reference<css::container::XIndexAccess>
FindAllMatching(const Reference<css::lang::XComponent>& document, const OUString& pattern)
{
    Reference<css::util::XSearchable> doc(document, UNO_QUERY_THROW);
    Reference<css::util::XSearchDescriptor> search = doc->createSearchDescriptor();
    Reference<css::beans::XPropertySet>(search, UNO_QUERY_THROW)
        ->setPropertyValue(OUString("SearchRegularExpression"), css::uno::Any(true));
    search->setSearchString(pattern);
    return doc->findAll(search);
}

namespace {

// The texts of the places the search found, read in one call by the office
// when it can.
void readHits(const Reference<css::container::XIndexAccess>& hits, bool inOffice,
              OfficeLoops& loops, FoundTags& found)
{
    const sal_Int32 count = hits.is() ? hits->getCount() : 0;
    if (count > 0 && inOffice) {
        found.texts = loops.ReadTexts(hits);
        if (found.texts.size() == count)
            found.hits = hits;
        else
            found.texts.clear();
    }
    for (sal_Int32 k = 0; k < count && !found.hits.is(); ++k) {
        Reference<css::text::XTextRange> range(hits->getByIndex(k), UNO_QUERY_THROW);
        found.texts.append(toQ(range->getString()));
        found.ranges.push_back(std::move(range));
    }
}

// What the search found in a walked header is left to the walk.
void dropHitsIn(const OfficeTexts& walked, FoundTags& found)
{
    std::vector<Reference<css::text::XTextRange>> ranges;
    QStringList texts;
    for (size_t k = 0; k < found.ranges.size(); ++k) {
        const Reference<css::text::XText> home = found.ranges[k]->getText();
        if (std::find(walked.begin(), walked.end(), home) != walked.end())
            continue;
        ranges.push_back(found.ranges[k]);
        texts.append(found.texts.at(static_cast<qsizetype>(k)));
    }
    found.ranges = std::move(ranges);
    found.texts = std::move(texts);
}

} // namespace

QStringList TagSearch::find(const Reference<css::lang::XComponent>& document,
                            const QString& templateKey, const QStringList& tags, OfficeLoops& loops)
{
    FoundTags found;
    found.tags = tags;
    const Reference<css::container::XIndexAccess> hits =
        FindAllMatching(document, TagPattern(tags));
    OfficeTexts walkedHeaders;
    const QStringList otherTexts = findOthers(document, templateKey, tags, found, walkedHeaders);
    // The office reads its places in one call when nothing it found has to
    // be told apart by where it lies.
    readHits(hits, walkedHeaders.empty() && loops.installed(), loops, found);
    if (!walkedHeaders.empty())
        dropHitsIn(walkedHeaders, found);
    const QStringList texts = found.texts + otherTexts;
    found.valid = true;
    m_found = std::move(found);
    return texts;
}

// Every header and footer, shown or not, is walked on its own; so are the
// drawing shapes, which the search never reaches.
QStringList TagSearch::findOthers(const Reference<css::lang::XComponent>& document,
                                  const QString& templateKey, const QStringList& tags,
                                  FoundTags& found, OfficeTexts& walkedHeaders)
{
    OfficeTexts texts;
    const QString key = templateKey + u'|' + tags.join(u'|');
    if (!m_plainHeaders.contains(key))
        CollectHeaderTexts(document, texts);
    const size_t headerCount = texts.size();
    CollectShapeTexts(document, texts);
    QStringList otherTexts;
    for (size_t k = 0; k < texts.size(); ++k) {
        const QString string = toQ(texts[k]->getString());
        const QList<TagMatch> matches = FindTagMatches(string, tags);
        if (matches.isEmpty())
            continue;
        for (const TagMatch& m : matches)
            otherTexts.append(string.mid(m.at, m.length));
        found.others.push_back(texts[k]);
        if (k < headerCount) {
            found.headers = found.others.size();
            TextsWithin(texts[k], walkedHeaders);
        }
    }
    if (walkedHeaders.empty() && !templateKey.isEmpty())
        m_plainHeaders.insert(key);
    return otherTexts;
}

void TagSearch::recall(const QStringList& tags, const QStringList& texts)
{
    m_found = FoundTags();
    m_found.tags = tags;
    m_found.texts = texts;
    m_found.valid = true;
    m_found.recalled = true;
}

bool TagSearch::covers(const QStringList& tags) const
{
    bool known = m_found.valid;
    for (const QString& tag : tags)
        known = known && m_found.tags.contains(tag, Qt::CaseInsensitive);
    return known;
}

FoundTags TagSearch::take()
{
    FoundTags found = std::move(m_found);
    m_found = FoundTags();
    return found;
}
