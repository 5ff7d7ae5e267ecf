#pragma once

#include "generate/office/DocumentParts.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include <vector>

class OfficeLoops;

// The tags of one search: the places the document's search found, and the
// other texts that hold any.
struct FoundTags {
    QStringList tags;
    // The search's places: taken one by one (ranges), or left to the
    // office's own loops (hits).
    std::vector<css::uno::Reference<css::text::XTextRange>> ranges;
    css::uno::Reference<css::container::XIndexAccess> hits;
    QStringList texts; // of the places, as written
    // Texts the search does not reach that hold a tag: shapes', headers'.
    OfficeTexts others;
    size_t headers = 0; // how many of them, from the first, are headers
    bool valid = false;
    // The texts are those of the held template as loaded: its places are
    // found again, and checked, as it is written.
    bool recalled = false;
};

// The tags as one regular expression of the office's search.
rtl::OUString TagPattern(const QStringList& tags);
// Every match of a regular expression of the office's search in the
// document. Throws the office's exceptions.
css::uno::Reference<css::container::XIndexAccess>
FindAllMatching(const css::uno::Reference<css::lang::XComponent>& document,
                const rtl::OUString& pattern);

// The search for tags in every part of a document, and what the last one
// found, kept for the writing that follows.
class TagSearch {
public:
    // Every occurrence of the tags, as written; templateKey names the
    // document's template, empty for none. Throws the office's exceptions.
    QStringList find(const css::uno::Reference<css::lang::XComponent>& document,
                     const QString& templateKey, const QStringList& tags, OfficeLoops& loops);
    // Takes texts, what a search for tags found in a template as loaded, as
    // the last search's.
    void recall(const QStringList& tags, const QStringList& texts);
    // Whether the last search looked for every one of the tags.
    bool covers(const QStringList& tags) const;
    // What the last search found; forgotten here.
    FoundTags take();
    void forget() { m_found = FoundTags(); }

private:
    QStringList findOthers(const css::uno::Reference<css::lang::XComponent>& document,
                           const QString& templateKey, const QStringList& tags, FoundTags& found,
                           OfficeTexts& walkedHeaders);

    FoundTags m_found;
    // The templates (with the tags asked) whose headers and footers held no
    // tag: a batch opens the same template again and again, and walking the
    // page styles costs a call or three each.
    QSet<QString> m_plainHeaders;
};
