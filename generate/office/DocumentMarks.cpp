#include "generate/office/DocumentMarks.h"

#include "generate/office/OfficeLoops.h"
#include "generate/office/OfficeStrings.h"
#include "generate/tags/TagMatches.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextField.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/util/XRefreshable.hpp>

#include <cstring>
#include <vector>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

Reference<css::container::XEnumerationAccess>
textFields(const Reference<css::lang::XComponent>& document)
{
    Reference<css::text::XTextFieldsSupplier> supplier(document, UNO_QUERY);
    return supplier.is() ? supplier->getTextFields() : nullptr;
}

std::vector<Reference<css::text::XTextField>>
allFields(const Reference<css::lang::XComponent>& document)
{
    std::vector<Reference<css::text::XTextField>> fields;
    const Reference<css::container::XEnumerationAccess> all = textFields(document);
    if (!all.is())
        return fields;
    const Reference<css::container::XEnumeration> items = all->createEnumeration();
    while (items->hasMoreElements()) {
        Reference<css::text::XTextField> field(items->nextElement(), UNO_QUERY);
        if (field.is())
            fields.push_back(std::move(field));
    }
    return fields;
}

Reference<css::container::XNameAccess> bookmarks(const Reference<css::lang::XComponent>& document)
{
    Reference<css::text::XBookmarksSupplier> supplier(document, UNO_QUERY);
    return supplier.is() ? supplier->getBookmarks() : nullptr;
}

QString anchorText(const css::uno::Any& content)
{
    Reference<css::text::XTextContent> mark(content, UNO_QUERY);
    const Reference<css::text::XTextRange> anchor = mark.is() ? mark->getAnchor() : nullptr;
    return anchor.is() ? toQ(anchor->getString()) : QString();
}

} // namespace

bool HasTextFields(const Reference<css::lang::XComponent>& document)
{
    const Reference<css::container::XEnumerationAccess> all = textFields(document);
    return all.is() && all->createEnumeration()->hasMoreElements();
}

// As the office's loops do it (OfficeLoops WriteInside).
void WriteInside(const Reference<css::text::XTextRange>& place, const QString& value)
{
    const auto length = static_cast<sal_Int16>(place->getString().getLength());
    const Reference<css::text::XText> text = place->getText();
    Reference<css::text::XTextCursor> cursor = text->createTextCursorByRange(place->getStart());
    cursor->goRight(1, false);
    text->insertString(Reference<css::text::XTextRange>(cursor.get()), toOU(value), false);
    cursor = text->createTextCursorByRange(place->getEnd());
    cursor->goLeft(static_cast<sal_Int16>(length - 1), true);
    cursor->setString(OUString());
    cursor = text->createTextCursorByRange(place->getStart());
    cursor->goRight(1, true);
    cursor->setString(OUString());
}

bool HasFieldsOfText(const Reference<css::lang::XComponent>& document)
{
    static const char* const kinds[] = {"GetReference", "Chapter", "CharacterCount", "WordCount",
                                        "ParagraphCount"};
    for (const Reference<css::text::XTextField>& field : allFields(document)) {
        Reference<css::lang::XServiceInfo> info(field, UNO_QUERY);
        if (!info.is())
            continue;
        // The old names and the new.
        for (const OUString& service : info->getSupportedServiceNames())
            for (const char* kind : kinds)
                if ((service.startsWith("com.sun.star.text.TextField.") ||
                     service.startsWith("com.sun.star.text.textfield.")) &&
                    service.endsWithAsciiL(kind, static_cast<sal_Int32>(std::strlen(kind))))
                    return true;
    }
    return false;
}

void RefreshFields(const Reference<css::lang::XComponent>& document)
{
    Reference<css::util::XRefreshable> fields(textFields(document), UNO_QUERY);
    if (fields.is())
        fields->refresh();
}

int UnlinkTagFields(const Reference<css::lang::XComponent>& document, const QStringList& tags)
{
    int unlinked = 0;
    for (const Reference<css::text::XTextField>& field : allFields(document)) {
        const QString shown = toQ(field->getPresentation(false));
        if (FindTagMatches(shown, tags).isEmpty())
            continue;
        const Reference<css::text::XTextRange> anchor = field->getAnchor();
        const Reference<css::text::XText> text = anchor.is() ? anchor->getText() : nullptr;
        if (!text.is())
            continue;
        // The whole of it: an input field's content is text within it.
        const Reference<css::text::XTextCursor> over = text->createTextCursorByRange(anchor);
        text->insertString(Reference<css::text::XTextRange>(over.get()), toOU(shown), true);
        ++unlinked;
    }
    return unlinked;
}

QList<DocumentMark> ReadMarks(const Reference<css::lang::XComponent>& document)
{
    QList<DocumentMark> marks;
    if (const Reference<css::container::XNameAccess> all = bookmarks(document); all.is())
        for (const OUString& name : all->getElementNames())
            marks.append(
                {DocumentMark::Kind::Bookmark, toQ(name), anchorText(all->getByName(name))});
    for (const Reference<css::text::XTextField>& field : allFields(document))
        marks.append({DocumentMark::Kind::Field, QString(), toQ(field->getPresentation(false))});
    return marks;
}

QString MarksSignature(const Reference<css::lang::XComponent>& document, OfficeLoops& loops)
{
    if (loops.installed())
        return loops.Marks(document);
    QStringList parts;
    if (const Reference<css::container::XNameAccess> all = bookmarks(document); all.is())
        for (const OUString& name : all->getElementNames())
            parts << toQ(name) + u'\x01' + anchorText(all->getByName(name));
    parts << u"f"_qs + QString::number(allFields(document).size());
    Reference<css::text::XTextFramesSupplier> frames(document, UNO_QUERY_THROW);
    QStringList frameNames;
    for (const OUString& name : frames->getTextFrames()->getElementNames())
        frameNames << toQ(name);
    parts << frameNames.join(u'\x01');
    Reference<css::drawing::XDrawPageSupplier> pages(document, UNO_QUERY_THROW);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Reference<css::container::XIndexAccess> page(pages->getDrawPage(), UNO_QUERY_THROW);
#pragma GCC diagnostic pop
    parts << u"s"_qs + QString::number(page->getCount());
    return parts.join(u'\x02');
}
