#include "Commands.h"

#include "LumarelError.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <QCursor>
#include <exception>

bool RunCommand(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const LumarelError& e) {
        QApplication::restoreOverrideCursor();
        MessageBoxes::appError(parent, e.text());
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        MessageBoxes::appError(parent, QString::fromUtf8(e.what()));
    }
    return false;
}
