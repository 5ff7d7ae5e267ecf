#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// Opens a file or address the way the desktop's "open" action does, behind a
// seam so that tests record what would be opened. The desktop's opener
// (xdg-open) runs on its own, the window goes on; when it ends saying that
// nothing could open the file or address (no viewer, no browser), a message
// box over parent gives the full path or the address to open by hand.
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

// Whether the opener's end means the thing was opened: a normal exit with
// status 0. (xdg-open ends with 3 when it found nothing to open it with, 4
// when what it started failed, 2 when the file is not there.) A killed opener
// says nothing either way.
enum class Outcome { Opened, NotOpened, Unknown };
Outcome outcomeOf(bool normalExit, int exitCode);

// Test seam: while set, nothing is opened; the recorder gets the local path
// of a file, or the address as given.
void setRecorder(std::function<void(const QString&)> recorder);
void clearRecorder();
// Test seam: what the desktop answers at once when asked to open a URL (true
// when it opened it). Unset: the opener program.
void setDesktop(std::function<bool(const QUrl&)> desktop);
void clearDesktop();
// Test seam: the opener program, given the path or the address as its one
// argument. Unset: xdg-open.
void setOpener(const QString& program);
void clearOpener();

} // namespace ShellOpen
