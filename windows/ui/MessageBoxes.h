#pragma once

#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

// Every message box of the program goes through here, so tests can capture
// what would be shown instead of waiting for a user.
namespace MessageBoxes {

enum class Kind {
    Plain,        // title "Люмарель", no icon, OK
    AppError,     // general error box: title "Люмарель", error icon, OK
    ExportError,  // title "Error", error icon, OK, placed at an offset
    CentredError, // error icon, OK, centred on the screen
};

struct Shown {
    Kind kind;
    QString text;
    std::optional<QPoint> topLeft; // where it was placed, when placed
};

// Plain message box with one OK button.
void plain(QWidget* parent, const QString& text);
// The application's general error box: the failure's own text, a full stop
// added when its last character sorts after the full stop.
void appError(QWidget* parent, const QString& text);
// Export error box: caption "Error", top-left at anchor's top-left + offset.
void exportError(QWidget* anchor, const QString& text, QPoint offset);
// Error box centred on the screen.
void centredError(const QString& text);

// The least width of a box, so that the window manager's caption of it
// reads whole beside the frame's icon and buttons.
int captionWidth(const QString& title);

// The text the general error box shows for a failure text.
QString appErrorText(const QString& text);

// Test seam: while a recorder is installed, boxes are recorded, not shown.
void setRecorder(std::function<void(const Shown&)> recorder);
void clearRecorder();

} // namespace MessageBoxes
