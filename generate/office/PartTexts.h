#pragma once

#include "generate/office/DocumentSession.h"

#include <QList>
#include <QPair>
#include <QString>

#include <com/sun/star/lang/XComponent.hpp>

// The text of a document by kind of part: the body's own paragraphs, its
// tables' cells, then the other parts. Throws the office's exceptions.
QList<QPair<DocumentPart, QString>>
ReadDocumentParts(const css::uno::Reference<css::lang::XComponent>& document);

// Notes into changes the texts holding tracked changes, read both ways;
// leaves them as they are when the document holds none. Shapes are left out:
// their text records no changes.
void NoteTrackedChanges(const css::uno::Reference<css::lang::XComponent>& document,
                        TrackedChanges& changes);
