#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// Opens a file or address the way the desktop's "open" action does, behind a
// seam so that tests record what would be opened. When the desktop has no way
// to open it (no launcher installed), a message box over parent gives the full
// path or the address so the user can open it by hand.
namespace ShellOpen {

// A local file (a produced document, a help or price PDF).
void openFile(QWidget* parent, const QString& path);
// A web address, passed as given (L2's text keeps its trailing space).
void openAddress(QWidget* parent, const QString& address);
// The address openAddress hands to the desktop: the text itself; only when
// that is no valid address (a trailing space breaks the host name here) the
// text without its surrounding white space.
QUrl addressUrl(const QString& address);

// The messages shown when the desktop could not open a file or an address.
QString fileNotOpenedText(const QString& path);
QString addressNotOpenedText(const QString& address);

// Test seam: while set, nothing is opened; the recorder gets the local path
// of a file, or the address as given.
void setRecorder(std::function<void(const QString&)> recorder);
void clearRecorder();
// Test seam: what the desktop answers when asked to open a URL (true when it
// started something). Unset: the desktop itself.
void setDesktop(std::function<bool(const QUrl&)> desktop);
void clearDesktop();

} // namespace ShellOpen
