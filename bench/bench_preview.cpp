// The preview window on the table-laid form (bench/templates): the time from
// «Наступний» to the next graduate's page on screen, the office already
// running, and the time of the first page, the office's start included.
// "On screen" is the page made (filled, exported as PDF, the findings read),
// loaded into the view and drawn once at the view's width. Offscreen.
//   bench_preview [--pages N]   (N steps, 20 by default)

#include "checks/DataCheck.h"
#include "generate/DocumentPreview.h"
#include "generate/office/LibreOfficeSession.h"
#include "import/ImportXmlFile.h"
#include "resources/LumarelResources.h"
#include "settings/SettingsFiles.h"
#include "tests/support/TestFiles.h"
#include "windows/UPreview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPdfDocument>
#include <QPdfView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Waits for the next page; false after a minute without one.
bool waitForPage(TFPreview& window)
{
    QEventLoop loop;
    QTimer::singleShot(60000, &loop, [&loop] { loop.exit(1); });
    QObject::connect(&window, &TFPreview::pageShown, &loop, [&loop] { loop.exit(0); });
    return loop.exec() == 0;
}

// Draws the first page at the width the view shows it, as the view does.
void draw(TFPreview& window)
{
    QPdfDocument* doc = window.document();
    const QSizeF points = doc->pagePointSize(0);
    const int width = window.findChild<QPdfView*>(QStringLiteral("PV"))->viewport()->width();
    const QImage image =
        doc->render(0, QSize(width, int(width * points.height() / points.width())));
    if (image.isNull())
        std::fprintf(stderr, "the page was not drawn\n");
}

double msSince(QElapsedTimer& clock)
{
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    clock.restart();
    return ms;
}

// Where the first page's time goes, without the window: the first start of
// an office, which makes its profile, then in a second office (as every
// later run starts one) the first page, the check beside it, the next page.
void firstPageSteps(const RecordStore& store, const WorkDir& workDir)
{
    QElapsedTimer clock;
    clock.start();
    {
        LibreOfficeSession office;
        office.start(true);
        std::printf("office start, its profile made (once per user): %.0f ms\n", msSince(clock));
    }
    clock.restart();
    DocumentPreview preview(store, workDir);
    preview.make(1);
    const double first = msSince(clock);
    TemplateReader reader(preview.lentOffice());
    DataCheck(store, workDir, reader).check({1});
    const double check = msSince(clock);
    preview.make(2);
    const double second = msSince(clock);
    std::printf("first page %.0f ms (office start included), its check %.0f ms, "
                "second page %.0f ms\n",
                first, check, second);
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[size_t(p * double(values.size() - 1) + 0.5)];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitLumarelResources();
    int steps = 20;
    const QStringList args = QCoreApplication::arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--pages"));
        at > 0 && at + 1 < args.size())
        steps = std::max(1, args.at(at + 1).toInt());

    QTemporaryDir dir;
    const QString cache = dir.filePath(QStringLiteral("cache"));
    qputenv("XDG_CACHE_HOME", cache.toUtf8());
    const WorkDir workDir(dir.path());
    SettingsFiles::EnsureWorkFolders(workDir);
    const QString form = workDir.templatesFolder() + QStringLiteral("/diploma-table.doc");
    QFile::copy(QStringLiteral(LUMAREL_BENCH_FORM), form);
    QStringList table(8);
    table[2] = form; // bachelors
    SettingsFiles::SaveTemplateTable(workDir, table);
    RecordStore store;
    QStringList lines;
    if (ImportXmlBytes(TestFiles::numberedGraduates(steps + 1), QStringLiteral("bench.xml"), store,
                       lines)) {
        std::fprintf(stderr, "import refused\n");
        return 1;
    }
    QList<int> records;
    for (int k = 1; k <= store.RecordCount(); ++k)
        records.append(k);

    firstPageSteps(store, workDir);

    TFPreview window(records, 0, store, workDir, [] {});
    window.resize(1366, 768);
    QElapsedTimer clock;
    clock.start();
    window.show();
    if (!waitForPage(window))
        return 1;
    draw(window);
    const double first = double(clock.nsecsElapsed()) / 1e6;

    std::vector<double> next;
    auto* button = window.findChild<QPushButton*>(QStringLiteral("BNext"));
    for (int k = 0; k < steps; ++k) {
        clock.restart();
        button->click();
        if (!waitForPage(window))
            return 1;
        draw(window);
        next.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("table-laid form, preview window (offscreen)\n");
    std::printf("first page, office start included: %.0f ms\n", first);
    std::printf("next graduate's page, %d steps: median %.0f ms, 90th percentile %.0f ms, "
                "max %.0f ms\n",
                steps, percentile(next, 0.5), percentile(next, 0.9), percentile(next, 1.0));
    return 0;
}
