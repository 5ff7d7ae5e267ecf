#include "resources/Pictures.h"
#include "app/UStatyLUMA.h"
#include "mainwindow/Unit1.h"
#include "windows/ui/ToolkitTranslation.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The name only: a display name would be appended to every window caption.
    QApplication::setApplicationName(QStringLiteral("Люмарель"));
    // The dialogs' and boxes' own buttons and labels in Ukrainian too.
    ToolkitTranslation::install();
    InitLumarelResources();
    QIcon icon(Pictures::Icon);
    for (int size : Pictures::IconPngSizes)
        icon.addFile(Pictures::IconPng(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    TFStartLUMA start;     // first: the application's main window
    TFLUMA mainWindow;     // hidden; captures WorkDir now
    start.SetMainWindow(&mainWindow);
    start.show();
    return app.exec();
}
