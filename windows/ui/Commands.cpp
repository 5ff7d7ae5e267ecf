#include "windows/ui/Commands.h"

#include "records/LumarelError.h"
#include "windows/ui/MessageBoxes.h"

#include <QString>
#include <exception>

bool RunCommand(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception&) {
        // A BusyCursor of the command is gone by now; a cursor of whoever
        // runs this command stays theirs.
        MessageBoxes::appError(parent, CurrentErrorText());
    }
    return false;
}
