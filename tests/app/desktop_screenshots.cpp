// Not a test: shows the start window's countdown, the open dialog, export
// error boxes, the help that nothing can open, a broken XML file and the
// findings about a missing template on a real X server with a window manager,
// and saves what the screen shows into PNG files for the documentation;
// prints where each box's frame landed. desktop_screenshots OUTDIR FILE.xml
// (DISPLAY set, QPA xcb).
#include "app/UStatyLUMA.h"
#include "mainwindow/Unit1.h"
#include "resources/LumarelResources.h"
#include "settings/SettingsFiles.h"
#include "windows/Utempl.h"
#include "windows/ui/FileDialogs.h"
#include "windows/ui/MessageBoxes.h"
#include "windows/ui/ToolkitTranslation.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
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
    // What the open dialog lists: the sample, a template, the work folders.
    QFile::copy(xml, work.filePath(QFileInfo(xml).fileName()));
    QFile::copy(QStringLiteral(":/sometype/DemoTempl"),
                work.filePath(QStringLiteral("диплом бакалавра.doc")));

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

    mainWindow.move(0, 0);
    QTest::qWait(1200);
    const auto shootPlain = [&](const char* name) {
        whenModal("QMessageBox", [&, name](QWidget* w) {
            const QRect area = mainWindow.frameGeometry().united(w->frameGeometry());
            ok = saveScreen(area.adjusted(0, 0, 8, 8),
                            outDir + u'/' + QString::fromLatin1(name) + QStringLiteral(".png")) &&
                 ok;
            qobject_cast<QMessageBox*>(w)->accept();
        });
    };
    // A short text: the box still shows its whole caption.
    shootPlain("nothing-found-box");
    MessageBoxes::plain(&mainWindow, QStringLiteral("Зауважень немає."));
    // The help, with no PDF viewer on this desktop: the message comes when
    // xdg-open has given up.
    QFile help(work.filePath(QStringLiteral("Lumarel.pdf")));
    if (help.open(QIODevice::WriteOnly))
        help.write("%PDF-1.4\n%%EOF\n");
    help.close();
    shootPlain("help-not-opened");
    mainWindow.N6Click();
    (void)QTest::qWaitFor(
        [] {
            return QApplication::activeModalWidget() == nullptr &&
                   QCoreApplication::instance()->findChildren<QProcess*>().isEmpty();
        },
        30000);
    // A file cut off in the middle of a record.
    QFile broken(work.filePath(QStringLiteral("broken.xml")));
    if (broken.open(QIODevice::WriteOnly))
        broken.write("<?xml version=\"1.0\"?>\n<documents>\n  <document>\n"
                     "    <documentdata iddocument=\"1\" fio=\"Бойко Іван\"/>\n");
    broken.close();
    shootPlain("xml-error");
    FileDialogs::setAnswerer([&](const QString&, const QString&) { return broken.fileName(); });
    mainWindow.findChild<QToolButton*>(QStringLiteral("B1"))->click();
    FileDialogs::clearAnswerer();

    // The findings window about a template that is not there.
    FileDialogs::setAnswerer([xml](const QString&, const QString&) { return xml; });
    mainWindow.findChild<QToolButton*>(QStringLiteral("B1"))->click();
    FileDialogs::clearAnswerer();
    QStringList table(8);
    for (QString& slot : table)
        slot = work.filePath(QStringLiteral("Templates/бакалавр.doc"));
    SettingsFiles::SaveTemplateTable(mainWindow.workDir(), table);
    mainWindow.SetEntryChecked(0, true);
    whenModal("TFCheck", [&](QWidget* w) {
        ok = saveScreen(w->frameGeometry().adjusted(0, 0, 1, 1),
                        outDir + QStringLiteral("/check-window-template.png")) &&
             ok;
        qobject_cast<QDialog*>(w)->reject();
    });
    mainWindow.N15Click();

    // The template window's warning about a look-alike letter, from the office.
    QFile fodt(work.filePath(QStringLiteral("Templates/шаблон.fodt")));
    if (fodt.open(QIODevice::WriteOnly))
        fodt.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.text"><office:body><office:text>
<text:p>)" + QStringLiteral("#Прізвищe# #ВНЗ#").toUtf8() +
                   "</text:p></office:text></office:body></office:document>\n");
    fodt.close();
    auto templates = CreateTemplateWindow(&mainWindow, mainWindow.workDir(), [] {});
    templates->FormShow();
    templates->show();
    QTest::qWait(1200);
    // The templates' open dialog: a .doc's size and type read whole.
    whenModal("QFileDialog", [&](QWidget* w) {
        ok = saveScreen(w->frameGeometry(), outDir + QStringLiteral("/template-open-dialog.png")) &&
             ok;
        qobject_cast<QDialog*>(w)->reject();
    });
    templates->BClick(1);
    whenModal("QMessageBox", [&](QWidget* w) {
        const QRect area = templates->frameGeometry().united(w->frameGeometry());
        ok = saveScreen(area.adjusted(0, 0, 8, 8),
                        outDir + QStringLiteral("/template-warning.png")) &&
             ok;
        qobject_cast<QMessageBox*>(w)->accept();
    });
    FileDialogs::setAnswerer([&](const QString&, const QString&) { return fodt.fileName(); });
    templates->BClick(3);
    FileDialogs::clearAnswerer();
    templates->hide();
    mainWindow.hide();
    return ok ? 0 : 1;
}
