#include "generate/office/PartTexts.h"

#include "generate/office/DocumentParts.h"
#include "generate/office/OfficeStrings.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextRange.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;
using rtl::OUStringBuffer;

namespace {

// A text read twice through its portions: as if every tracked change were
// rejected and as if every one were accepted. A change may run on over
// several paragraphs, so the depths carry on from one to the next.
struct AcrossChanges {
    OUStringBuffer rejected;
    OUStringBuffer accepted;
    int inserted = 0;
    int deleted = 0;
    bool any = false; // whether the text held a change

    // Each text and each cell starts outside any change.
    void read(const Reference<css::text::XText>& text)
    {
        inserted = deleted = 0;
        WalkText(
            text, [this](const auto&) { inserted = deleted = 0; },
            [this](const auto&, const css::uno::Any& item, int) {
                Reference<css::container::XEnumerationAccess> paragraph(item, UNO_QUERY);
                if (paragraph.is())
                    readParagraph(paragraph);
            });
    }

    void readParagraph(const Reference<css::container::XEnumerationAccess>& paragraph)
    {
        const Reference<css::container::XEnumeration> portions = paragraph->createEnumeration();
        while (portions->hasMoreElements()) {
            const css::uno::Any item = portions->nextElement();
            Reference<css::beans::XPropertySet> portion(item, UNO_QUERY);
            Reference<css::text::XTextRange> range(item, UNO_QUERY);
            if (!portion.is() || !range.is())
                continue;
            OUString type;
            portion->getPropertyValue(OUString("TextPortionType")) >>= type;
            if (type == "Redline") {
                readChange(portion);
                continue;
            }
            const OUString string = range->getString();
            if (!inserted)
                rejected.append(string);
            if (!deleted)
                accepted.append(string);
        }
        rejected.append("\r");
        accepted.append("\r");
    }

    // A change's start or end.
    void readChange(const Reference<css::beans::XPropertySet>& portion)
    {
        any = true;
        bool start = false, collapsed = false;
        OUString kind;
        portion->getPropertyValue(OUString("IsStart")) >>= start;
        portion->getPropertyValue(OUString("IsCollapsed")) >>= collapsed;
        portion->getPropertyValue(OUString("RedlineType")) >>= kind;
        if (collapsed)
            return;
        int* depth = kind == "Insert" ? &inserted : kind == "Delete" ? &deleted : nullptr;
        if (depth)
            *depth = std::max(0, *depth + (start ? 1 : -1));
    }
};

} // namespace

QList<QPair<DocumentPart, QString>>
ReadDocumentParts(const Reference<css::lang::XComponent>& document)
{
    constexpr int Kinds = int(DocumentPart::Note) + 1;
    OUStringBuffer texts[Kinds];
    // The body's own paragraphs and its tables apart.
    Reference<css::text::XTextDocument> doc(document, UNO_QUERY_THROW);
    WalkTextOrThrow(
        doc->getText(), [](const auto&) {},
        [&texts](const auto&, const css::uno::Any& item, int depth) {
            AppendParagraph(item,
                            texts[int(depth == 0 ? DocumentPart::Body : DocumentPart::Table)]);
        });
    for (const auto& [part, text] : OtherPartTexts(document, true))
        CollectText(text, texts[int(part)]);
    QList<QPair<DocumentPart, QString>> parts;
    for (int k = 0; k < Kinds; ++k)
        parts.append({DocumentPart(k), toQ(texts[k].makeStringAndClear())});
    return parts;
}

void NoteTrackedChanges(const Reference<css::lang::XComponent>& document, TrackedChanges& changes)
{
    Reference<css::text::XTextDocument> doc(document, UNO_QUERY_THROW);
    AcrossChanges across;
    across.read(doc->getText());
    for (const auto& [part, text] : OtherPartTexts(document, false))
        across.read(text);
    if (!across.any)
        return;
    changes.rejected = toQ(across.rejected.makeStringAndClear());
    changes.accepted = toQ(across.accepted.makeStringAndClear());
}
