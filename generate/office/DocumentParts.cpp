#include "generate/office/DocumentParts.h"

#include <com/sun/star/beans/UnknownPropertyException.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XEndnotesSupplier.hpp>
#include <com/sun/star/text/XFootnotesSupplier.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/text/XTextRange.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

void collectShapes(const Reference<css::container::XIndexAccess>& shapes, OfficeTexts& out)
{
    const sal_Int32 count = shapes->getCount();
    for (sal_Int32 k = 0; k < count; ++k) {
        const css::uno::Any item = shapes->getByIndex(k);
        Reference<css::lang::XServiceInfo> info(item, UNO_QUERY);
        if (info.is() && info->supportsService(OUString("com.sun.star.text.TextFrame")))
            continue;
        Reference<css::drawing::XShapes> group(item, UNO_QUERY);
        if (group.is()) {
            collectShapes(Reference<css::container::XIndexAccess>(group, UNO_QUERY_THROW), out);
            continue;
        }
        Reference<css::text::XText> text(item, UNO_QUERY);
        if (!text.is())
            continue;
        Reference<css::beans::XPropertySet> properties(item, UNO_QUERY);
        bool textBox = false;
        try {
            if (properties.is())
                properties->getPropertyValue(OUString("TextBox")) >>= textBox;
        } catch (const css::beans::UnknownPropertyException&) {
            // not a shape of the text document's own kind
        }
        if (!textBox)
            out.push_back(text);
    }
}

void collectFrameTexts(const Reference<css::lang::XComponent>& document, OfficeTexts& out)
{
    Reference<css::text::XTextFramesSupplier> framesSupplier(document, UNO_QUERY_THROW);
    const Reference<css::container::XNameAccess> frames = framesSupplier->getTextFrames();
    for (const OUString& name : frames->getElementNames()) {
        Reference<css::text::XText> text(frames->getByName(name), UNO_QUERY);
        if (text.is())
            out.push_back(text);
    }
}

void collectNoteTexts(const Reference<css::lang::XComponent>& document, OfficeTexts& out)
{
    const Reference<css::container::XIndexAccess> notes[] = {
        Reference<css::text::XFootnotesSupplier>(document, UNO_QUERY_THROW)->getFootnotes(),
        Reference<css::text::XEndnotesSupplier>(document, UNO_QUERY_THROW)->getEndnotes(),
    };
    for (const Reference<css::container::XIndexAccess>& kind : notes) {
        const sal_Int32 count = kind.is() ? kind->getCount() : 0;
        for (sal_Int32 k = 0; k < count; ++k) {
            Reference<css::text::XText> text(kind->getByIndex(k), UNO_QUERY);
            if (text.is())
                out.push_back(text);
        }
    }
}

} // namespace

void AppendParagraph(const css::uno::Any& item, rtl::OUStringBuffer& out)
{
    Reference<css::text::XTextRange> range(item, UNO_QUERY);
    if (range.is()) {
        out.append(range->getString());
        out.append("\r");
    }
}

void CollectText(const Reference<css::text::XText>& text, rtl::OUStringBuffer& out)
{
    const bool walked = WalkText(
        text, [](const auto&) {},
        [&out](const auto&, const css::uno::Any& item, int) { AppendParagraph(item, out); });
    if (!walked)
        out.append(text->getString());
}

void TextsWithin(const Reference<css::text::XText>& text, OfficeTexts& out)
{
    WalkTextOrThrow(
        text, [&out](const Reference<css::text::XText>& each) { out.push_back(each); },
        [](const auto&, const auto&, int) {});
}

void CollectHeaderTexts(const Reference<css::lang::XComponent>& document, OfficeTexts& out)
{
    Reference<css::style::XStyleFamiliesSupplier> families(document, UNO_QUERY_THROW);
    const Reference<css::container::XIndexAccess> styles(
        families->getStyleFamilies()->getByName(OUString("PageStyles")), UNO_QUERY_THROW);
    // Sorted, as getPropertyValues wants them.
    const OUString switchNames[] = {"FirstIsShared", "FooterIsOn", "FooterIsShared", "HeaderIsOn",
                                    "HeaderIsShared"};
    const css::uno::Sequence<OUString> switches(switchNames, std::size(switchNames));
    const sal_Int32 count = styles->getCount();
    for (sal_Int32 k = 0; k < count; ++k) {
        Reference<css::beans::XMultiPropertySet> style(styles->getByIndex(k), UNO_QUERY_THROW);
        const css::uno::Sequence<css::uno::Any> on = style->getPropertyValues(switches);
        bool firstShared = true, footerOn = false, footerShared = true, headerOn = false,
             headerShared = true;
        on[0] >>= firstShared;
        on[1] >>= footerOn;
        on[2] >>= footerShared;
        on[3] >>= headerOn;
        on[4] >>= headerShared;
        std::vector<OUString> names;
        // A page style's header or footer, and its own texts for the first
        // and the left pages when they differ.
        const auto add = [&](bool on, const char* kind, bool shared) {
            if (!on)
                return;
            const OUString base = OUString::createFromAscii(kind);
            names.push_back(base + "Text");
            if (!firstShared)
                names.push_back(base + "TextFirst");
            if (!shared)
                names.push_back(base + "TextLeft");
        };
        add(footerOn, "Footer", footerShared);
        add(headerOn, "Header", headerShared);
        if (names.empty())
            continue;
        const css::uno::Sequence<css::uno::Any> texts = style->getPropertyValues(
            css::uno::Sequence<OUString>(names.data(), static_cast<sal_Int32>(names.size())));
        for (const css::uno::Any& any : texts) {
            Reference<css::text::XText> text(any, UNO_QUERY);
            if (text.is())
                out.push_back(text);
        }
    }
}

void CollectShapeTexts(const Reference<css::lang::XComponent>& document, OfficeTexts& out)
{
    Reference<css::drawing::XDrawPageSupplier> pages(document, UNO_QUERY_THROW);
    // Marked deprecated, yet the only way to a text document's shapes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Reference<css::container::XIndexAccess> page(pages->getDrawPage(), UNO_QUERY_THROW);
#pragma GCC diagnostic pop
    // One call tells that there are none.
    if (page->hasElements())
        collectShapes(page, out);
}

std::vector<std::pair<DocumentPart, Reference<css::text::XText>>>
OtherPartTexts(const Reference<css::lang::XComponent>& document, bool withShapes)
{
    std::vector<std::pair<DocumentPart, Reference<css::text::XText>>> out;
    OfficeTexts texts;
    const auto add = [&out, &texts](DocumentPart part) {
        for (const Reference<css::text::XText>& text : texts)
            out.emplace_back(part, text);
        texts.clear();
    };
    CollectHeaderTexts(document, texts);
    add(DocumentPart::HeaderFooter);
    collectFrameTexts(document, texts);
    add(DocumentPart::Frame);
    if (withShapes) {
        CollectShapeTexts(document, texts);
        add(DocumentPart::Shape);
    }
    collectNoteTexts(document, texts);
    add(DocumentPart::Note);
    return out;
}
