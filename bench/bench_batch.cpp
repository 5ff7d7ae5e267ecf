// The batch on the program's own sample diploma template (.doc), in one run:
//   (a) one office for the whole batch, as the batch export works;
//   (b) an office started and quit for every document;
// for N = 20, 100, 300 by default: total, median per document, and (b)/(a);
// then the import of a 1000-record file, a batch of 1000 graduates end to
// end with the office's resident memory along the way, and the peak resident
// memory of the office and of this program.
//   bench_batch [--runs R] [--no-thousand] [--only-a] [N ...]

#include "generate/BatchExport.h"
#include "generate/DocumentGeneration.h"
#include "resources/ExtractResourceFile.h"
#include "import/ImportXmlFile.h"
#include "generate/LibreOfficeSession.h"
#include "records/LumarelError.h"
#include "resources/LumarelResources.h"
#include "settings/SettingsFiles.h"
#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A field of /proc/<pid>/status in MB ("VmHWM", "VmRSS"); 0 when unknown.
double statusMb(qint64 pid, const char* field)
{
    QFile f(pid ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

QByteArray graduates(int count)
{
    QByteArray all;
    for (int k = 0; k < count; ++k) {
        const QString surname = QStringLiteral("Прізвище%1").arg(k);
        all += TestFiles::attributeRecord(
            {{QStringLiteral("iddocument"), QString::number(100000 + k)},
             {QStringLiteral("fio"), surname + QStringLiteral(" Ім'я По-батькові")},
             {QStringLiteral("lastname"), surname}});
    }
    return TestFiles::edeboFile(all);
}

// Where the time of (a) goes, step by step.
class TimedSession : public DocumentSession {
public:
    double openMs = 0, readMs = 0, replaceMs = 0, saveMs = 0, closeMs = 0;
    int reads = 0, replaces = 0;
    void start(bool keepHidden) override { m_office.start(keepHidden); }
    void open(const QString& path) override { time(openMs, [&] { m_office.open(path); }); }
    QString ReadDocumentText() override
    {
        ++reads;
        QString text;
        time(readMs, [&] { text = m_office.ReadDocumentText(); });
        return text;
    }
    QString ReadTextForSearch() override
    {
        ++reads;
        QString text;
        time(readMs, [&] { text = m_office.ReadTextForSearch(); });
        return text;
    }
    bool ReplaceTag(const QString& tag, const QString& value) override
    {
        ++replaces;
        bool done = false;
        time(replaceMs, [&] { done = m_office.ReplaceTag(tag, value); });
        return done;
    }
    void saveAs(const QString& path) override { time(saveMs, [&] { m_office.saveAs(path); }); }
    void closeDocument() noexcept override { time(closeMs, [&] { m_office.closeDocument(); }); }
    void quit() noexcept override { m_office.quit(); }

private:
    template <class F> static void time(double& sum, F&& f)
    {
        QElapsedTimer t;
        t.start();
        f();
        sum += t.nsecsElapsed() / 1e6;
    }
    LibreOfficeSession m_office;
};

struct Timing {
    double totalS = 0;
    double medianMs = 0;
};

// (a): N documents in one office, lent to each generation.
Timing oneOffice(const RecordStore& store, const WorkDir& workDir, const QString& templ, int n,
                 double* officeHwmMb)
{
    LibreOfficeSession office;
    office.start(true);
    const GenerationContext context{store, workDir, &office, {}};
    std::vector<double> times;
    QElapsedTimer all;
    all.start();
    for (int k = 0; k < n; ++k) {
        QElapsedTimer one;
        one.start();
        if (!GenerateDocument(context, 1 + k % store.RecordCount(), templ, true,
                              OutputKind::Regular)
                 .has_value())
            throw LumarelError(QStringLiteral("nothing generated"));
        times.push_back(one.nsecsElapsed() / 1e6);
    }
    Timing t{all.nsecsElapsed() / 1e9, median(times)};
    if (officeHwmMb)
        *officeHwmMb = std::max(*officeHwmMb, statusMb(office.processId(), "VmHWM"));
    office.quit();
    return t;
}

// (b): N documents, each with an office of its own.
Timing officePerDocument(const RecordStore& store, const WorkDir& workDir, const QString& templ, int n)
{
    const GenerationContext context{store, workDir, nullptr, {}};
    std::vector<double> times;
    QElapsedTimer all;
    all.start();
    for (int k = 0; k < n; ++k) {
        QElapsedTimer one;
        one.start();
        if (!GenerateDocument(context, 1 + k % store.RecordCount(), templ, true,
                              OutputKind::Regular)
                 .has_value())
            throw LumarelError(QStringLiteral("nothing generated"));
        times.push_back(one.nsecsElapsed() / 1e6);
    }
    return {all.nsecsElapsed() / 1e9, median(times)};
}

void emptyFolder(const QString& folder)
{
    QDir dir(folder);
    for (const QString& f : dir.entryList(QDir::Files))
        dir.remove(f);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    InitLumarelResources();
    QList<int> counts;
    int runs = 1;
    bool thousand = true;
    bool onlyA = false;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype k = 0; k < args.size(); ++k) {
        if (args.at(k) == u"--runs" && k + 1 < args.size())
            runs = std::max(1, args.at(++k).toInt());
        else if (args.at(k) == u"--no-thousand")
            thousand = false;
        else if (args.at(k) == u"--only-a")
            onlyA = true;
        else
            counts << args.at(k).toInt();
    }
    if (counts.isEmpty())
        counts = {20, 100, 300};

    QTemporaryDir dir;
    qputenv("XDG_CACHE_HOME", dir.filePath(QStringLiteral("cache")).toUtf8());
    const WorkDir workDir(dir.path());
    SettingsFiles::EnsureWorkFolders(workDir);
    const QString folder = workDir.examplesFolder() + u'/';
    ExtractResourceFile(folder, QStringLiteral("DemoTempl"), DemoTemplateFileName);
    const QString templ = folder + DemoTemplateFileName;
    std::printf("template: the sample bachelor's diploma, %lld bytes\n",
                static_cast<long long>(QFileInfo(templ).size()));

    try {
        // Import of 1000 records.
        const QByteArray thousandFile = graduates(1000);
        std::vector<double> importMs;
        RecordStore store;
        for (int r = 0; r < 3; ++r) {
            RecordStore fresh;
            QStringList lines;
            QElapsedTimer t;
            t.start();
            const std::optional<QString> refusal =
                ImportXmlBytes(thousandFile, QStringLiteral("bench.xml"), fresh, lines);
            importMs.push_back(t.nsecsElapsed() / 1e6);
            if (refusal)
                throw LumarelError(*refusal);
            store.swap(fresh);
        }
        std::printf("import of 1000 records (%lld KB): median of 3 %.1f ms\n",
                    static_cast<long long>(thousandFile.size() / 1024), median(importMs));
        std::fflush(stdout);

        double officeHwm = 0;
        // The first start of a profile is not what a batch pays.
        oneOffice(store, workDir, templ, 1, nullptr);
        emptyFolder(workDir.resultsFolder());
        {
            // One office, 50 documents: the share of each step.
            TimedSession timed;
            timed.start(true);
            const GenerationContext context{store, workDir, &timed, {}};
            const int n = 50;
            for (int k = 0; k < n; ++k)
                GenerateDocument(context, 1 + k, templ, true, OutputKind::Regular);
            timed.quit();
            emptyFolder(workDir.resultsFolder());
            std::printf("per document in one office: open %.1f ms, %d reads %.1f ms, %d replaces "
                        "%.1f ms, save %.1f ms, close %.1f ms\n",
                        timed.openMs / n, timed.reads / n, timed.readMs / n, timed.replaces / n,
                        timed.replaceMs / n, timed.saveMs / n, timed.closeMs / n);
        }
        std::printf("%6s %22s %22s %8s\n", "N", "(a) one office", "(b) office per doc", "(b)/(a)");
        for (const int n : counts) {
            std::vector<double> aTotal, aMedian, bTotal, bMedian;
            for (int r = 0; r < runs; ++r) {
                const Timing a = oneOffice(store, workDir, templ, n, &officeHwm);
                emptyFolder(workDir.resultsFolder());
                aTotal.push_back(a.totalS);
                aMedian.push_back(a.medianMs);
                if (!onlyA) {
                    const Timing b = officePerDocument(store, workDir, templ, n);
                    emptyFolder(workDir.resultsFolder());
                    bTotal.push_back(b.totalS);
                    bMedian.push_back(b.medianMs);
                }
            }
            const double am = median(aMedian), bm = median(bMedian);
            std::printf("%6d %8.1f s %6.1f ms/doc %8.1f s %6.1f ms/doc %7.1fx\n", n, median(aTotal),
                        am, median(bTotal), bm, am > 0 && !onlyA ? median(bTotal) / median(aTotal) : 0.0);
            std::fflush(stdout);
        }

        if (thousand) {
            // 1000 graduates end to end through the batch, as the export runs it.
            QStringList table(8);
            table[2] = templ;
            SettingsFiles::SaveTemplateTable(workDir, table);
            LibreOfficeSession* office = nullptr;
            BatchExport batch(store, workDir, [&office] {
                auto s = std::make_unique<LibreOfficeSession>();
                office = s.get();
                return s;
            });
            QElapsedTimer all;
            all.start();
            QList<double> rss;
            for (int k = 1; k <= store.RecordCount(); ++k) {
                if (!batch.exportRecord(k).generated())
                    throw LumarelError(QStringLiteral("nothing generated"));
                if (k % 100 == 0)
                    rss << statusMb(office->processId(), "VmRSS");
            }
            officeHwm = std::max(officeHwm, statusMb(office->processId(), "VmHWM"));
            batch.finish();
            const double total = all.nsecsElapsed() / 1e9;
            QString trail;
            for (double mb : rss)
                trail += QString::number(mb, 'f', 0) + u' ';
            std::printf("1000 graduates through the batch: %.1f s (%.1f ms/doc); office RSS every 100 "
                        "documents, MB: %s\n",
                        total, total, trail.trimmed().toUtf8().constData());
        }
        std::printf("peak resident memory: office %.0f MB, this program %.0f MB\n", officeHwm,
                    statusMb(0, "VmHWM"));
    } catch (const LumarelError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
