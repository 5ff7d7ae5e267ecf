#include "generate/office/HeldTemplates.h"

#include "generate/office/OfficeLoops.h"
#include "generate/office/OfficeStrings.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

// Templates held open per office: one for each kind of document.
constexpr size_t MaxHeldTemplates = 8;
// With its selection collapsed after each undo, a held template is filled
// nearly as fast the fiftieth time as the first; a new load now and then
// bounds the little a long run still leaves in it.
constexpr int MaxTemplateUses = 50;

// The view of a document, through which it selects; none for a document
// without one.
Reference<css::view::XSelectionSupplier> viewOf(const OpenDocument& doc)
{
    const Reference<css::frame::XModel> model(doc.document, UNO_QUERY_THROW);
    return Reference<css::view::XSelectionSupplier>(model->getCurrentController(),
                                                    css::uno::UNO_QUERY);
}

// The undo selects what it brought back, a selection of every place the
// filling wrote, added to the view's selections: every later edit walks them
// all, and each graduate would be slower than the one before.
void collapseSelection(const OpenDocument& doc)
{
    if (const Reference<css::view::XSelectionSupplier> view = viewOf(doc); view.is())
        view->select(
            css::uno::Any(Reference<css::text::XTextDocument>(doc.document, UNO_QUERY_THROW)
                              ->getText()
                              ->getStart()));
}

} // namespace

bool HeldTemplates::takeUp(const QString& key, OpenDocument& doc)
{
    const auto held = m_held.find(key);
    if (held == m_held.end())
        return false;
    const QString templatePath = doc.templatePath;
    doc = std::move(held->second);
    m_held.erase(held);
    doc.templatePath = templatePath;
    doc.templateKey = key;
    doc.reused = true;
    if (doc.filling != OpenDocument::Filling::Written)
        doc.filling = OpenDocument::Filling::None;
    return true;
}

bool HeldTemplates::hold(OpenDocument& doc, OfficeLoops& loops) noexcept
{
    if (!doc.document.is() || doc.filling == OpenDocument::Filling::Spoiled ||
        doc.tagsInBookmarks || doc.templateKey.isEmpty() || m_held.size() >= MaxHeldTemplates ||
        m_held.count(doc.templateKey) != 0 || ++doc.uses >= MaxTemplateUses)
        return false;
    try {
        // What is undone would stay to be redone, with the office's records
        // of every place written, and slow the next searches.
        if (doc.filling == OpenDocument::Filling::Undoable) {
            if (loops.installed()) {
                loops.TakeBack(doc.document);
            } else {
                doc.undo->undo();
                doc.undo->clearRedo();
                collapseSelection(doc);
            }
        }
        const QString key = doc.templateKey;
        m_held.emplace(key, std::move(doc));
        return true;
    } catch (...) {
        // not as loaded: closed by the caller
        return false;
    }
}

int HeldTemplates::selections() const noexcept
{
    int count = 0;
    for (const auto& [key, held] : m_held) {
        try {
            const Reference<css::container::XIndexAccess> ranges(viewOf(held)->getSelection(),
                                                                 css::uno::UNO_QUERY);
            count += ranges.is() ? ranges->getCount() : 1;
        } catch (...) {
            // a closed or dead one selects nothing
        }
    }
    return count;
}

void HeldTemplates::closeAll() noexcept
{
    for (auto& [key, held] : m_held)
        CloseOfficeDocument(held.document);
    m_held.clear();
}

bool ReadsAsLoaded(OpenDocument& doc, const QStringList& tags, const QStringList& texts,
                   const QString& marks)
{
    const QString asked = tags.join(u'\n');
    if (doc.reused) {
        if (marks != doc.marks)
            return false;
        const auto loaded = doc.pristine.constFind(asked);
        return loaded != doc.pristine.cend() && *loaded == texts;
    }
    if (doc.filling == OpenDocument::Filling::None)
        doc.pristine.insert(asked, texts);
    return true;
}

FillingUndo::FillingUndo(OpenDocument& doc, bool undoable) : m_doc(doc)
{
    doc.filling = OpenDocument::Filling::Spoiled;
    if (!undoable)
        return;
    if (!doc.undo.is())
        doc.undo = Reference<css::document::XUndoManagerSupplier>(doc.document, UNO_QUERY_THROW)
                       ->getUndoManager();
    doc.undo->enterUndoContext(toOU(FillingTitle));
    m_open = true;
}

FillingUndo::~FillingUndo()
{
    if (!m_open)
        return;
    try {
        m_doc.undo->leaveUndoContext();
    } catch (...) {
        // the document is closed after this anyway
    }
}

void FillingUndo::finish()
{
    if (!m_open)
        return;
    m_open = false;
    m_doc.undo->leaveUndoContext();
    // Only our step on top means one undo takes it all back.
    if (m_doc.undo->isUndoPossible() &&
        toQ(m_doc.undo->getCurrentUndoActionTitle()) == FillingTitle)
        m_doc.filling = OpenDocument::Filling::Undoable;
}
