#pragma once

#include <QString>

// How the core tells the user something without knowing about windows:
// the window layer shows message boxes, the command-line converter prints.
class Notifier {
public:
    enum class Icon { Information, Error };
    virtual ~Notifier() = default;
    // A message box with one OK button, centred on the screen.
    virtual void showMessage(const QString& text, Icon icon) = 0;
};
