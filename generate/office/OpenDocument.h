#pragma once

#include "generate/office/DocumentSession.h"
#include "generate/office/OfficeCalls.h"
#include "generate/office/ScratchFolder.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <memory>

// The document the office works on: loaded from a private copy of its
// template, or a held template taken up again.
struct OpenDocument {
    css::uno::Reference<css::lang::XComponent> document;
    std::unique_ptr<ScratchFolder> copyDir;
    // Tracked changes of the template that could not be accepted.
    bool unacceptedChanges = false;
    // Its template: the file, and the file as it was on disk (empty for none).
    QString templatePath;
    QString templateKey;
    // Whether it was held open, how often it has served, what the searches
    // found in it as loaded (by the tags asked), and how far our writing
    // took it from that.
    bool reused = false;
    int uses = 0;
    css::uno::Reference<css::document::XUndoManager> undo;
    QHash<QString, QStringList> pristine;
    // Which of those places lie in a link, once a filling has asked.
    QHash<QString, QList<bool>> linked;
    // Its marks as loaded (MarksSignature), which a held one must still have,
    // and whether a bookmark among them holds a tag.
    QString marks;
    bool tagsInBookmarks = false;
    // Fields that show the document's own text (references, counts) are
    // left once those showing tags became text: the filling has them show
    // the values.
    bool refreshAfterFilling = false;
    // Written: the search's places (places) hold the last graduate's values
    // (written, by place), and are written over for the next one rather
    // than undone.
    enum class Filling { None, Undoable, Written, Spoiled } filling = Filling::None;
    css::uno::Reference<css::container::XIndexAccess> places;
    QStringList written;
    QList<int> writtenPlaces;
    // Whether the places were read back as written.
    bool writtenChecked = false;
};

// Names a template file as it is on disk now: a changed file is another.
QString TemplateKey(const QString& templatePath);

// Has the office load a private copy of the template, for filling: the
// template itself is never written, and no lock file appears beside it.
// Throws LumarelError, OfficeLostError.
OpenDocument LoadTemplate(const css::uno::Reference<css::frame::XDesktop2>& desktop,
                          const QString& templatePath, bool hidden, const OfficeAlive& alive);

// Readies a loaded document for filling: no view updates, no change
// recording, the tracked changes it was saved with accepted (noted into
// changes first when watching them), its fields refreshed and those that
// show a tag made plain text (the bookmarks and fields noted into marks
// first when watching). Throws the office's exceptions.
void PrepareForFilling(OpenDocument& doc,
                       const css::uno::Reference<css::uno::XComponentContext>& office,
                       bool watchChanges, TrackedChanges& changes, QList<DocumentMark>& marks);

// Closes a document in the office. Never throws.
void CloseOfficeDocument(const css::uno::Reference<css::lang::XComponent>& document) noexcept;
