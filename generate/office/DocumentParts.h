#pragma once

#include "generate/office/DocumentSession.h"

#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <rtl/ustrbuf.hxx>

#include <utility>
#include <vector>

// Walks a text and the cells of the tables in it, in order: enter(text) for
// the text and for each cell as it is reached, then paragraph(text, item,
// depth) for each item of it that is not a table (depth 0 in the text
// itself). False, and nothing called, when the text cannot be walked.
template <class Enter, class Paragraph>
bool WalkText(const css::uno::Reference<css::text::XText>& text, Enter&& enter,
              Paragraph&& paragraph, int depth = 0)
{
    css::uno::Reference<css::container::XEnumerationAccess> access(text, css::uno::UNO_QUERY);
    if (!access.is())
        return false;
    enter(text);
    const css::uno::Reference<css::container::XEnumeration> items = access->createEnumeration();
    while (items->hasMoreElements()) {
        const css::uno::Any item = items->nextElement();
        css::uno::Reference<css::text::XTextTable> table(item, css::uno::UNO_QUERY);
        if (!table.is()) {
            paragraph(text, item, depth);
            continue;
        }
        for (const rtl::OUString& name : table->getCellNames()) {
            css::uno::Reference<css::text::XText> cell(table->getCellByName(name),
                                                       css::uno::UNO_QUERY);
            if (cell.is())
                WalkText(cell, enter, paragraph, depth + 1);
        }
    }
    return true;
}

// A text that must be walkable: a header's, a shape's.
template <class Enter, class Paragraph>
void WalkTextOrThrow(const css::uno::Reference<css::text::XText>& text, Enter&& enter,
                     Paragraph&& paragraph)
{
    if (!WalkText(text, enter, paragraph))
        throw css::uno::RuntimeException(rtl::OUString("text without paragraphs"));
}

using OfficeTexts = std::vector<css::uno::Reference<css::text::XText>>;

// Appends a paragraph's text as Word reads it: ended with CR, a line break
// inside it as LF.
void AppendParagraph(const css::uno::Any& item, rtl::OUStringBuffer& out);

// Collects the text of a body or a table cell, tables included.
void CollectText(const css::uno::Reference<css::text::XText>& text, rtl::OUStringBuffer& out);

// A text and the cells of the tables in it.
void TextsWithin(const css::uno::Reference<css::text::XText>& text, OfficeTexts& out);

// The header and footer texts of every page style that has them on: right
// (or shared), left and first-page ones. The search reaches only those some
// page shows.
void CollectHeaderTexts(const css::uno::Reference<css::lang::XComponent>& document,
                        OfficeTexts& out);

// The texts of the drawing shapes of the document, groups entered, which its
// search does not reach. Text frames are left out: the search reaches them,
// and so is a shape whose text is a frame's ("TextBox").
void CollectShapeTexts(const css::uno::Reference<css::lang::XComponent>& document,
                       OfficeTexts& out);

// The texts of a document other than its body, by kind: headers and footers
// of every page style, frames, drawing shapes (when asked for), notes.
std::vector<std::pair<DocumentPart, css::uno::Reference<css::text::XText>>>
OtherPartTexts(const css::uno::Reference<css::lang::XComponent>& document, bool withShapes);
