#pragma once

#include "generate/office/OpenDocument.h"

#include <QString>
#include <QStringList>

#include <map>

class OfficeLoops;

// Templates held open between the documents of a batch: once a document is
// stored its filling is undone, or kept to be written over, and the next
// graduate of the same template starts from it instead of loading the file
// again.
class HeldTemplates {
public:
    // Takes up the template held for key into doc; false when none is.
    bool takeUp(const QString& key, OpenDocument& doc);
    // Holds the document for the next graduate when it can serve one, its
    // filling undone; false when it cannot, and doc keeps it. Never throws.
    // The office's loops undo it in one call when they run.
    bool hold(OpenDocument& doc, OfficeLoops& loops) noexcept;
    // How many ranges the views of the templates held select, all together.
    // Never throws.
    int selections() const noexcept;
    // Closes every template held. Never throws.
    void closeAll() noexcept;

private:
    std::map<QString, OpenDocument> m_held; // by template key
};

// The title of the step a filling makes in the document's undo.
inline const QString FillingTitle = QStringLiteral("Lumarel: filling");

// Whether the document reads as its template did when loaded, its marks
// (MarksSignature, read only for a held one) included: a held one must, or
// it is to be loaded again; the reading of one just loaded is noted for that.
bool ReadsAsLoaded(OpenDocument& doc, const QStringList& tags, const QStringList& texts,
                   const QString& marks);

// The filling of a document as loaded, as one step to undo, so that the
// template can serve the next graduate. Either way the document no longer
// reads as loaded; finish() tells whether one undo takes it all back.
class FillingUndo {
public:
    FillingUndo(OpenDocument& doc, bool undoable);
    ~FillingUndo();
    FillingUndo(const FillingUndo&) = delete;
    FillingUndo& operator=(const FillingUndo&) = delete;
    void finish();

private:
    OpenDocument& m_doc;
    bool m_open = false;
};
