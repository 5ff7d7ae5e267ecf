#pragma once

#include <functional>

class QWidget;

// Runs one command handler: a LumarelError (or any other exception) ends the
// command and is shown in the general error box; the program goes on.
// Returns false when the command ended with an error.
bool RunCommand(QWidget* parent, const std::function<void()>& handler);
