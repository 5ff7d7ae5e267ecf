// Times the import of a generated 1000-record file of each layout and prints
// records per second and the peak resident memory of the process.
#include "import/ImportXmlFile.h"
#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

QByteArray makeFile(bool attributeForm, int records)
{
    QByteArray children;
    for (int i = 0; i < records; ++i) {
        const QString n = QString::number(100000 + i);
        children += attributeForm ? TestFiles::attributeRecord({{QStringLiteral("iddocument"), n}})
                                  : TestFiles::elementRecord({{QStringLiteral("DocumentNumber"), n}});
    }
    return TestFiles::edeboFile(children);
}

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int records = 1000;
    const int runs = 15;
    QTemporaryDir dir;
    for (bool attributeForm : {true, false}) {
        const QString path = dir.filePath(attributeForm ? QStringLiteral("a.xml") : QStringLiteral("e.xml"));
        TestFiles::write(path, makeFile(attributeForm, records));
        std::vector<double> ms;
        for (int r = 0; r < runs; ++r) {
            RecordStore store;
            QStringList lines;
            QElapsedTimer t;
            t.start();
            const std::optional<QString> refusal = ImportXmlFile(path, store, lines);
            ms.push_back(t.nsecsElapsed() / 1e6);
            if (refusal || store.RecordCount() != records) {
                std::fprintf(stderr, "import failed\n");
                return 1;
            }
        }
        std::sort(ms.begin(), ms.end());
        const double median = ms[ms.size() / 2];
        std::printf("import %-16s %d records, %.1f KB: median %.2f ms (%.0f records/s) over %d runs\n",
                    attributeForm ? "attribute form" : "element form", records,
                    QFile(path).size() / 1024.0, median, records / (median / 1000.0), runs);
    }
    std::printf("peak resident memory: %.1f MB\n", peakRssKb() / 1024.0);
    return 0;
}
