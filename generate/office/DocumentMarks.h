#pragma once

#include "generate/office/DocumentSession.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextRange.hpp>

class OfficeLoops;

// The marks of a document besides its text: bookmarks, fields, frames and
// shapes. A field shows a text of its own (a reference the text of its
// bookmark, a document property its value, an input field its content)
// that the search does not reach and the filling does not write.

// Whether the document holds any field.
bool HasTextFields(const css::uno::Reference<css::lang::XComponent>& document);

// Writes the value over the place so that a link over the place is over the
// value instead (written over, the link would end before the value): it goes
// in after the place's first character, then the place's own characters
// around it go.
// Throws the office's exceptions.
void WriteInside(const css::uno::Reference<css::text::XTextRange>& place, const QString& value);

// Whether a field shows what the filling may change: a reference to a
// bookmark or a heading, a count of words or characters, a chapter's name.
// Page numbers, dates, document properties and the like do not change.
bool HasFieldsOfText(const css::uno::Reference<css::lang::XComponent>& document);

// Has every field show what it stands for now. Throws the office's
// exceptions.
void RefreshFields(const css::uno::Reference<css::lang::XComponent>& document);

// Each field whose shown text holds one of the tags becomes that text,
// plain: the search then finds the tag where the field stood, and the
// filling writes it as any other. Returns how many fields did.
int UnlinkTagFields(const css::uno::Reference<css::lang::XComponent>& document,
                    const QStringList& tags);

// The bookmarks with their texts and the fields with their shown texts, for
// the template check.
QList<DocumentMark> ReadMarks(const css::uno::Reference<css::lang::XComponent>& document);

// What a template held open must still hold as loaded: its bookmarks with
// their texts, how many fields, its frames by name and how many shapes. In
// one call when the office's loops run.
QString MarksSignature(const css::uno::Reference<css::lang::XComponent>& document,
                       OfficeLoops& loops);
