#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/script/provider/XScript.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

// Loops over the places a search found, run inside the office by its own
// Basic: each call across the bridge costs a good part of a millisecond, and
// a table-laid form has seventy places or more, read once and written once.
class OfficeLoops {
public:
    // Puts the module among the office's own macros (in our private
    // profile). False when the office cannot run it: the caller then loops
    // from our side, call by call. Never throws.
    bool install(const css::uno::Reference<css::uno::XComponentContext>& office) noexcept;
    bool installed() const
    {
        return m_read.is() && m_write.is() && m_marks.is() && m_linked.is() && m_takeBack.is() &&
               m_refill.is() && m_overwrite.is();
    }
    void clear() noexcept;

    // The text of every place, in their order. Throws the office's
    // exceptions.
    QStringList ReadTexts(const css::uno::Reference<css::container::XIndexAccess>& places);
    // Writes values[k] into place which[k]; every place is taken before any
    // is written; one in a link (inLink[k]) from inside (WriteInside).
    // Returns how many were written.
    int Write(const css::uno::Reference<css::container::XIndexAccess>& places,
              const QList<int>& which, const QStringList& values, const QList<bool>& inLink);
    // Which of the places lie in a link.
    QList<bool> Linked(const css::uno::Reference<css::container::XIndexAccess>& places);
    // Undoes the document's last step, forgets it, and collapses the
    // selection the undo leaves to the start of the text (see HeldTemplates).
    void TakeBack(const css::uno::Reference<css::lang::XComponent>& document);
    // A held template filled again in one call: searched with the pattern,
    // and written as Write() does, as one step titled title, only when its
    // places read as expected and its marks as when loaded; nothing is
    // written otherwise.
    enum class Refilled { NotAsLoaded, Undoable, NotUndoable };
    Refilled Refill(const css::uno::Reference<css::lang::XComponent>& document,
                    const rtl::OUString& pattern, const QStringList& expected, const QString& marks,
                    const QList<int>& which, const QStringList& values, const QList<bool>& inLink,
                    const QString& title);
    // The places of a held template, which read as expected (unless checked:
    // as the last Overwrite of the same places left them) and its marks as
    // when loaded, written with values[k] into place which[k], with no undo
    // kept from then on; true when they then read as after. Nothing is
    // written when they do not read as expected. The office keeps the
    // places it took from the last few held templates.
    bool Overwrite(const css::uno::Reference<css::lang::XComponent>& document,
                   const css::uno::Reference<css::container::XIndexAccess>& places, bool checked,
                   const QStringList& expected, const QString& marks, const QList<int>& which,
                   const QStringList& values, const QStringList& after);
    // The document's marks, as MarksSignature gives them.
    QString Marks(const css::uno::Reference<css::lang::XComponent>& document);

private:
    css::uno::Reference<css::script::provider::XScript> m_read;
    css::uno::Reference<css::script::provider::XScript> m_write;
    css::uno::Reference<css::script::provider::XScript> m_marks;
    css::uno::Reference<css::script::provider::XScript> m_linked;
    css::uno::Reference<css::script::provider::XScript> m_takeBack;
    css::uno::Reference<css::script::provider::XScript> m_refill;
    css::uno::Reference<css::script::provider::XScript> m_overwrite;
};
