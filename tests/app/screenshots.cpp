// Draws the start window and the main window with a file opened into PNG
// files, for the documentation: screenshots OUTDIR FILE.xml
#include "windows/ui/FileDialogs.h"
#include "app/UStatyLUMA.h"
#include "mainwindow/Unit1.h"

#include "resources/LumarelResources.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    InitLumarelResources();
    QApplication::setApplicationName(QStringLiteral("Люмарель"));
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        fprintf(stderr, "usage: screenshots OUTDIR FILE.xml\n");
        return 2;
    }
    const QString outDir = QDir(args.at(1)).absolutePath();
    const QString xml = QFileInfo(args.at(2)).absoluteFilePath();
    QTemporaryDir work; // the work folders are made here, not in the source tree
    QDir::setCurrent(work.path());

    TFStartLUMA start;
    TFLUMA mainWindow;
    start.SetMainWindow(&mainWindow);
    start.show();
    start.findChild<QTimer*>(QStringLiteral("Ts"))->stop();
    for (int i = 0; i < 3; ++i)
        start.TsTimer();
    QApplication::processEvents();
    bool ok = start.grab().save(outDir + QStringLiteral("/start-window.png"));
    start.hide();

    mainWindow.show();
    QApplication::processEvents();
    ok = mainWindow.grab().save(outDir + QStringLiteral("/main-window-empty.png")) && ok;
    FileDialogs::setAnswerer([xml](const QString&, const QString&) { return xml; });
    mainWindow.findChild<QToolButton*>(QStringLiteral("B1"))->click();
    mainWindow.setWindowState(Qt::WindowNoState);
    mainWindow.resize(800, 330);
    QApplication::processEvents();
    ok = mainWindow.grab().save(outDir + QStringLiteral("/main-window.png")) && ok;
    mainWindow.hide();
    return ok ? 0 : 1;
}
