#pragma once

#include <QString>
#include <QUrl>
#include <functional>

// Opens a file or address the way the desktop's "open" action does, behind a
// seam so that tests record what would be opened.
namespace ShellOpen {

// A local file (a produced document, a help or price PDF).
void openFile(const QString& path);
// A web address, passed as given (L2's text keeps its trailing space).
void openAddress(const QString& address);
// The address openAddress hands to the desktop: the text itself; only when
// that is no valid address (a trailing space breaks the host name here) the
// text without its surrounding white space.
QUrl addressUrl(const QString& address);

// Test seam: while set, nothing is opened; the recorder gets the local path
// of a file, or the address as given.
void setRecorder(std::function<void(const QString&)> recorder);
void clearRecorder();

} // namespace ShellOpen
