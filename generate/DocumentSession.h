#pragma once

#include "records/LumarelError.h"

#include <QString>

// The office went away (crashed, killed) under a call: the session is dead
// and must be started again before it can serve another document.
class OfficeLostError : public LumarelError {
public:
    using LumarelError::LumarelError;
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
    // The whole text of the active document: body and tables.
    virtual QString ReadDocumentText() = 0;
    // The same text for finding tags in, where paragraph ends and line breaks
    // may read alike; an office may answer it faster.
    virtual QString ReadTextForSearch() { return ReadDocumentText(); }
    // Whether that text holds every place a replacement reaches; when not
    // (a header, a frame or a note holds a "#"), no tag may be skipped.
    virtual bool TextCoversDocument() { return true; }
    // Replaces every occurrence of tag (plain text, letter case ignored as in
    // Word's default find) by value; a "\n" in value is a line break.
    // Returns whether anything was replaced.
    virtual bool ReplaceTag(const QString& tag, const QString& value) = 0;
    // Saves the active document as a Word 97-2003 document at path, which
    // must not exist yet: an existing file is never overwritten.
    virtual void saveAs(const QString& path) = 0;
    // Discards the active document, if any. Never throws.
    virtual void closeDocument() noexcept = 0;
    // Ends the office. Never throws; safe to call more than once.
    virtual void quit() noexcept = 0;
};
