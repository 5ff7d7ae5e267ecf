#pragma once

#include "records/LumarelError.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// The office went away (crashed, killed) under a call: the session is dead
// and must be started again before it can serve another document.
class OfficeLostError : public LumarelError {
public:
    using LumarelError::LumarelError;
};

// The office did not answer a call within its bound and was ended: as dead
// as a lost one, but trying the same document again would only hang again.
class HungOfficeError : public OfficeLostError {
public:
    using OfficeLostError::OfficeLostError;
};

// What a document whose office hung gets instead; %1 is the bound in seconds.
inline const QString HungOfficeText =
    QStringLiteral("LibreOffice не відповідав понад %1 с і його зупинено: документ не створено");

// The PDF beside a document could not be written: an error of that document
// alone, the office itself is still fine.
class PdfExportError : public LumarelError {
public:
    using LumarelError::LumarelError;
};

// What a step that needs the active document says when there is none.
inline const QString NoDocumentText = QStringLiteral("Документ не відкрито");

// The kinds of part a document's text stands in.
enum class DocumentPart { Body, Table, HeaderFooter, Frame, Shape, Note };

// The tracked changes a document was saved with, as open() found them.
struct TrackedChanges {
    bool recording = false; // change recording was on
    // The texts holding changes, read as if every change were rejected and
    // as if every one were accepted; empty when there are none.
    QString rejected;
    QString accepted;
};

// A bookmark or a field of a template and the text it holds or shows, as
// open() found them.
struct DocumentMark {
    enum class Kind { Bookmark, Field } kind = Kind::Bookmark;
    QString name; // a bookmark's own; empty for a field
    QString text;
};

// The steps through which a document is generated: start an office, open a
// template, read and fill it, save a copy, close it and quit. Failures throw
// LumarelError, OfficeLostError when the office itself is gone; start/quit
// are kept apart from open/close so that one office can serve several
// documents in a row.
class DocumentSession {
public:
    virtual ~DocumentSession() = default;

    // keepHidden: no window is shown while the office works.
    virtual void start(bool keepHidden) = 0;
    // Opens the template as the active document; the template file itself is
    // never written.
    virtual void open(const QString& templatePath) = 0;
    // The text of the active document by kind of part, one entry per kind
    // (paragraphs end with CR); a document of one text is all body.
    virtual QList<QPair<DocumentPart, QString>> ReadPartTexts() = 0;
    // Whether the next open() notes the tracked changes the template was
    // saved with (extra reads, for the template check only).
    virtual void watchChanges(bool /*on*/) {}
    // What the last open() noted; nothing unless watchChanges(true).
    virtual TrackedChanges trackedChanges() const { return {}; }
    // The bookmarks and fields the last open() found, under the same rule.
    virtual QList<DocumentMark> marks() const { return {}; }
    // Every occurrence of the given tags (letter case ignored) in every part
    // of the active document that ReplaceTags reaches: body, tables, headers
    // and footers, frames, drawing shapes, notes. Each is given as the
    // document writes it, in document order within a part.
    virtual QStringList FindTags(const QStringList& tags) = 0;
    // Replaces, in one pass over those same parts, every occurrence of each
    // tag (letter case ignored) by its value. A value is inserted literally:
    // a value holding a tag's text is never filled in again. A "\n" in a
    // value is a line break. Returns how many occurrences were replaced.
    virtual int ReplaceTags(const QList<QPair<QString, QString>>& values) = 0;
    // Saves the active document as a Word 97-2003 document at path, which
    // must not exist yet: an existing file is never overwritten.
    virtual void saveAs(const QString& path) = 0;
    // Saves the active document as PDF/A-2b at path, under the same rules as
    // saveAs; nothing is left at path when it fails. An office without a PDF
    // export refuses.
    virtual void saveAsPdf(const QString& path)
    {
        throw LumarelError(QStringLiteral("Не вдалося зберегти PDF ") + path);
    }
    // Discards the active document, if any. Never throws.
    virtual void closeDocument() noexcept = 0;
    // Ends the office. Never throws; safe to call more than once.
    virtual void quit() noexcept = 0;
    // Ends the office at once, from any thread, so that a call waiting on it
    // returns; every call after it is refused. Never throws.
    virtual void abort() noexcept {}
};

// Makes the office a caller starts itself; an empty one means LibreOffice.
using SessionFactory = std::function<std::unique_ptr<DocumentSession>()>;
