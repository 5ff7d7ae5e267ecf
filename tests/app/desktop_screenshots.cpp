// Not a test: shows the start window's countdown, the open dialog and export
// error boxes on a real X server with a window manager, and saves what the
// screen shows into PNG files for the documentation; prints where each box's
// frame landed. desktop_screenshots OUTDIR FILE.xml (DISPLAY set, QPA xcb).
#include "app/UStatyLUMA.h"
#include "mainwindow/Unit1.h"
#include "resources/LumarelResources.h"
#include "windows/ui/FileDialogs.h"
#include "windows/ui/MessageBoxes.h"
#include "windows/ui/ToolkitTranslation.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// What the screen shows in a rectangle, window frames included.
bool saveScreen(const QRect& area, const QString& file)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(file);
}

// Once a modal window of the class is up and settled, act on it.
void whenModal(const char* className, std::function<void(QWidget*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(100);
    QObject::connect(poll, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->inherits(className))
            return;
        poll->stop();
        poll->deleteLater();
        QTest::qWait(1200); // the window manager's frame and the first paint
        act(modal);
    });
    poll->start();
}

const QString Unusable = QStringLiteral(
    "Шаблон для документа даного типу не відповідає вимогам до його структури  або відсутній!");

void printFrame(const char* what, const QWidget* w)
{
    const QRect f = w->frameGeometry();
    const QRect c = w->geometry();
    std::printf("%s: frame %d,%d %dx%d client %d,%d %dx%d\n", what, f.x(), f.y(), f.width(),
                f.height(), c.x(), c.y(), c.width(), c.height());
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Люмарель"));
    ToolkitTranslation::install();
    InitLumarelResources();
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: desktop_screenshots OUTDIR FILE.xml\n");
        return 2;
    }
    const QString outDir = QDir(args.at(1)).absolutePath();
    const QString xml = QFileInfo(args.at(2)).absoluteFilePath();
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    bool ok = true;

    TFStartLUMA start;
    TFLUMA mainWindow;
    start.SetMainWindow(&mainWindow);
    start.show();
    start.findChild<QTimer*>(QStringLiteral("Ts"))->stop();
    for (int i = 0; i < 3; ++i)
        start.TsTimer();
    QTest::qWait(1200);
    ok = saveScreen(start.frameGeometry(), outDir + QStringLiteral("/start-window-countdown.png")) &&
         ok;
    start.hide();

    mainWindow.show();
    QTest::qWait(1200);
    printFrame("main window", &mainWindow);
    // The real open dialog, as B1 shows it; then the sample is opened.
    whenModal("QFileDialog", [&](QWidget* w) {
        const QRect area = w->frameGeometry().united(QRect(0, 0, 10, 10));
        ok = saveScreen(area, outDir + QStringLiteral("/open-dialog.png")) && ok;
        qobject_cast<QDialog*>(w)->reject();
    });
    mainWindow.findChild<QToolButton*>(QStringLiteral("B1"))->click();
    FileDialogs::setAnswerer([xml](const QString&, const QString&) { return xml; });
    mainWindow.findChild<QToolButton*>(QStringLiteral("B1"))->click();
    FileDialogs::clearAnswerer();
    mainWindow.setWindowState(Qt::WindowNoState);
    mainWindow.resize(800, 330);
    mainWindow.move(0, 0);
    QTest::qWait(1200);
    printFrame("main window, file opened", &mainWindow);

    // The export error boxes: the short one from the command itself, the
    // long (wrapping) one as the single export shows it.
    const auto shoot = [&](const char* name) {
        whenModal("QMessageBox", [&, name](QWidget* w) {
            printFrame(name, w);
            const QRect area = mainWindow.frameGeometry().united(w->frameGeometry());
            ok = saveScreen(area.adjusted(0, 0, 8, 8),
                            outDir + u'/' + QString::fromLatin1(name) + QStringLiteral(".png")) &&
                 ok;
            qobject_cast<QMessageBox*>(w)->accept();
        });
    };
    shoot("message-box");
    mainWindow.findChild<QToolButton*>(QStringLiteral("B3"))->click(); // nobody checked
    shoot("export-error-wrapping");
    MessageBoxes::exportError(&mainWindow, Unusable, QPoint(20, 20));
    // Elsewhere on the screen: only where the boxes land is printed.
    mainWindow.move(137, 211);
    QTest::qWait(1200);
    printFrame("main window, moved", &mainWindow);
    for (const QString& text : {QStringLiteral("Студента не обрано!"), Unusable}) {
        whenModal("QMessageBox", [](QWidget* w) {
            printFrame("box", w);
            qobject_cast<QMessageBox*>(w)->accept();
        });
        MessageBoxes::exportError(&mainWindow, text, QPoint(20, 20));
    }
    mainWindow.hide();
    return ok ? 0 : 1;
}
