// Draws the secondary windows into PNG files for the documentation:
// window_screenshots OUTDIR
#include "windows/About.h"
#include "windows/Utags.h"
#include "windows/Utempl.h"
#include "windows/Uset.h"

#include "resources/LumarelResources.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    InitLumarelResources();
    if (argc != 2) {
        fprintf(stderr, "usage: window_screenshots OUTDIR\n");
        return 2;
    }
    const QString outDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QTemporaryDir work;
    const WorkDir workDir(work.path());
    {
        QFile f(workDir.filePath(QStringLiteral("Templ.set")));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(QByteArray("\r\n\r\n") + work.path().toLocal8Bit()
                + "/Templates/bachelor-2015.doc\r\n\r\n\r\n\r\n"
                + work.path().toLocal8Bit() + "/Templates/master.doc\r\n\r\n");
    }
    bool ok = true;
    auto save = [&](QWidget& w, const char* name) {
        w.show();
        QApplication::processEvents();
        ok = w.grab().save(outDir + u'/' + QString::fromLatin1(name)) && ok;
        w.hide();
    };
    TFTempl templ(workDir, [] {});
    templ.FormShow();
    save(templ, "template-window.png");
    TFtags tags([] {});
    tags.resize(814, 640);
    save(tags, "tag-table.png");
    TFSettings chooser([] {});
    save(chooser, "settings-chooser.png");
    TAboutBox about;
    save(about, "about-window.png");
    templ.setResult(0); // not closed through the window: nothing to save
    return ok ? 0 : 1;
}
