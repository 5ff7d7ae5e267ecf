// Draws the batch window after a batch, the demonstration notice, the
// findings of the check before printing and the preview into PNG files, for the documentation: export_screenshots OUTDIR FILE.xml
// Needs the office; run it under a display (xvfb-run) for real window frames.
#include "generate/DocumentGeneration.h"
#include "resources/ExtractResourceFile.h"
#include "windows/ui/FileDialogs.h"
#include "resources/LumarelResources.h"
#include "windows/ui/MessageBoxes.h"
#include "settings/SettingsFiles.h"
#include "windows/ui/ShellOpen.h"
#include "mainwindow/Unit1.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace {

// Acts on the modal window of the given class once ready() holds for it.
void whenModal(const char* className, std::function<bool(QWidget*)> ready,
               std::function<void(QWidget*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(50);
    QObject::connect(poll, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->inherits(className) && ready(modal)) {
            poll->stop();
            poll->deleteLater();
            act(modal);
        }
    });
    poll->start();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Люмарель"));
    InitLumarelResources();
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        fprintf(stderr, "usage: export_screenshots OUTDIR FILE.xml\n");
        return 2;
    }
    const QString outDir = QDir(args.at(1)).absolutePath();
    const QString xml = QFileInfo(args.at(2)).absoluteFilePath();
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    ShellOpen::setRecorder([](const QString&) {});

    TFLUMA mainWindow;
    const WorkDir workDir = mainWindow.workDir();
    SettingsFiles::EnsureWorkFolders(workDir);
    // The sample template for bachelors; the other kinds stay unassigned.
    const QString folder = workDir.examplesFolder() + u'/';
    ExtractResourceFile(folder, QStringLiteral("DemoTempl"), DemoTemplateFileName);
    QStringList table(8);
    table[2] = folder + DemoTemplateFileName;
    SettingsFiles::SaveTemplateTable(workDir, table);

    mainWindow.move(0, 0);
    mainWindow.show();
    FileDialogs::setAnswerer([xml](const QString&, const QString&) { return xml; });
    mainWindow.findChild<QToolButton*>(QStringLiteral("B1"))->click();
    for (int k = 0; k < mainWindow.EntryCount(); ++k)
        mainWindow.SetEntryChecked(k, true);

    bool ok = true;
    whenModal(
        "TFPack",
        [](QWidget* w) { return w->findChild<QPushButton*>(QStringLiteral("Bc"))->isEnabled(); },
        [&](QWidget* w) {
            QApplication::processEvents();
            ok = w->grab().save(outDir + QStringLiteral("/batch-window.png")) && ok;
            w->close();
        });
    mainWindow.findChild<QToolButton*>(QStringLiteral("B4"))->click();

    whenModal("TFDemo", [](QWidget*) { return true; }, [&](QWidget* w) {
        QApplication::processEvents();
        ok = w->grab().save(outDir + QStringLiteral("/demo-notice.png")) && ok;
        w->close();
    });
    mainWindow.findChild<QToolButton*>(QStringLiteral("B5"))->click();

    whenModal("TFCheck", [](QWidget*) { return true; }, [&](QWidget* w) {
        QApplication::processEvents();
        ok = w->grab().save(outDir + QStringLiteral("/check-window.png")) && ok;
        w->close();
    });
    mainWindow.findChild<QAction*>(QStringLiteral("N15"))->trigger();

    // The preview of the first graduate, once its page has been drawn.
    whenModal(
        "TFPreview",
        [](QWidget* w) { return !w->findChild<QLabel*>(QStringLiteral("LName"))->text().isEmpty(); },
        [&](QWidget* w) {
            QElapsedTimer drawn;
            drawn.start();
            while (drawn.elapsed() < 2000)
                QApplication::processEvents();
            ok = w->grab().save(outDir + QStringLiteral("/preview-window.png")) && ok;
            w->close();
        });
    mainWindow.findChild<QListWidget*>(QStringLiteral("M"))->setCurrentRow(0);
    mainWindow.findChild<QAction*>(QStringLiteral("N16"))->trigger();
    mainWindow.hide();
    return ok ? 0 : 1;
}
