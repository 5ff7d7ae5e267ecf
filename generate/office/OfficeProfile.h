#pragma once

#include <QLockFile>
#include <QString>

#include <com/sun/star/uno/XComponentContext.hpp>

#include <memory>

// A profile of our own, reused between runs for speed; the lock keeps two of
// our offices from sharing one (a second office on the same profile would
// hand its work to the first and exit).
class OfficeProfile {
public:
    // Locks the first free profile of the pool, under the user's cache.
    void take();
    void release() noexcept;
    // Empties the profile, for a start on a fresh one.
    void wipe();
    const QString& dir() const { return m_dir; }

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_dir;
};

// Records in the running office's profile that this version has run it.
// Never throws: a slow start is no error.
void MarkProfileCurrent(const css::uno::Reference<css::uno::XComponentContext>& office) noexcept;
// Has the running office, and its profile, stop checking the spelling of
// open documents while it idles. Never throws: a slower batch is no error.
void TurnOffSpellingAsYouType(
    const css::uno::Reference<css::uno::XComponentContext>& office) noexcept;
