// The batch, side by side on two templates: the program's own sample diploma
// (no tables) and a table-laid bilingual form (bench/templates), for N
// graduates (20, 100, 300 by default):
//   (b)  an office started and quit for every document;
//   (a1) one office for the whole batch;
//   (aP) the pool: offices side by side, one per core, as the batch window
//        and lumarel-convert export run it.
// Batch times include the start of the batch's offices. Beside them the floor:
// the same number of offices, each storing an already-filled document after
// one small edit and nothing else, and (aP)/floor. Then, per template,
// where the time of one document goes in one office (and whether the last of
// 100 documents takes longer than the first), and the peak resident
// memory of all offices together; optionally 1000 graduates on the form.
// With --pdf, per template also what the PDF/A beside each document costs and
// the join of 300 documents' PDFs into one print file. Arguments: usage() below.

#include "bench/OfficeFloor.h"
#include "export/BatchExport.h"
#include "export/BatchPool.h"
#include "export/PrintFile.h"
#include "generate/DocumentGeneration.h"
#include "generate/office/LibreOfficeSession.h"
#include "generate/office/ScratchFolder.h"
#include "import/ImportXmlFile.h"
#include "records/LumarelError.h"
#include "resources/ExtractResourceFile.h"
#include "resources/LumarelResources.h"
#include "settings/SettingsFiles.h"
#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
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

// VmRSS of a process in MB; 0 when unknown.
double rssMb(const QString& pid)
{
    QFile f(QStringLiteral("/proc/") + pid + QStringLiteral("/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Samples the resident memory of all offices together (every process whose
// command line names our cache folder) and keeps the peak.
class OfficeMemory {
public:
    explicit OfficeMemory(QString mark) : m_mark(std::move(mark)) {}
    ~OfficeMemory() { stop(); }
    void start()
    {
        m_peak = 0;
        m_running = true;
        m_thread = std::thread([this] {
            while (m_running) {
                sample();
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
    }
    double stop()
    {
        if (m_thread.joinable()) {
            m_running = false;
            m_thread.join();
        }
        return m_peak;
    }

private:
    void sample()
    {
        double sum = 0;
        const QByteArray mark = m_mark.toUtf8();
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            if (pid.isEmpty() || !pid.at(0).isDigit())
                continue;
            QFile cmd(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
            if (cmd.open(QIODevice::ReadOnly) && cmd.readAll().contains(mark))
                sum += rssMb(pid);
        }
        m_peak = std::max(m_peak.load(), sum);
    }
    QString m_mark;
    std::atomic<bool> m_running{false};
    std::atomic<double> m_peak{0};
    std::thread m_thread;
};

// Time of each step, summed over the offices of a run (they may be on
// several threads).
struct Phases {
    std::atomic<qint64> startNs{0}, openNs{0}, readNs{0}, replaceNs{0}, storeNs{0}, closeNs{0};
    std::atomic<int> starts{0}, documents{0}, reads{0}, replaces{0};
};

class TimedSession : public DocumentSession {
public:
    explicit TimedSession(Phases& phases) : m_p(phases) {}
    void start(bool keepHidden) override
    {
        ++m_p.starts;
        time(m_p.startNs, [&] { m_office.start(keepHidden); });
    }
    void open(const QString& path) override
    {
        ++m_p.documents;
        time(m_p.openNs, [&] { m_office.open(path); });
    }
    QList<QPair<DocumentPart, QString>> ReadPartTexts() override
    {
        ++m_p.reads;
        QList<QPair<DocumentPart, QString>> parts;
        time(m_p.readNs, [&] { parts = m_office.ReadPartTexts(); });
        return parts;
    }
    QStringList FindTags(const QStringList& tags) override
    {
        ++m_p.reads;
        QStringList found;
        time(m_p.readNs, [&] { found = m_office.FindTags(tags); });
        return found;
    }
    int ReplaceTags(const QList<QPair<QString, QString>>& values) override
    {
        m_p.replaces += static_cast<int>(values.size());
        int done = 0;
        time(m_p.replaceNs, [&] { done = m_office.ReplaceTags(values); });
        return done;
    }
    void saveAs(const QString& path) override
    {
        time(m_p.storeNs, [&] { m_office.saveAs(path); });
    }
    void closeDocument() noexcept override
    {
        time(m_p.closeNs, [&] { m_office.closeDocument(); });
    }
    void quit() noexcept override { m_office.quit(); }

private:
    template <class F> static void time(std::atomic<qint64>& sum, F&& f)
    {
        QElapsedTimer t;
        t.start();
        f();
        sum += t.nsecsElapsed();
    }
    Phases& m_p;
    LibreOfficeSession m_office;
};

void emptyFolder(const QString& folder)
{
    QDir dir(folder);
    for (const QString& f : dir.entryList(QDir::Files))
        dir.remove(f);
}

struct Run {
    double totalS = 0;
    double peakMb = 0;
};

// (a1) and (aP): the whole batch through the pool, office start included.
Run pooled(const RecordStore& store, const WorkDir& workDir, int n, int offices,
           OfficeMemory& memory, ExportOptions options = {})
{
    QList<int> indexes;
    for (int k = 0; k < n; ++k)
        indexes << 1 + k % store.RecordCount();
    memory.start();
    QElapsedTimer all;
    all.start();
    {
        BatchPool pool(store, workDir, indexes, offices, {}, options);
        for (int k = 0; k < n; ++k)
            if (!pool.nextRow(-1)->generated())
                throw LumarelError(QStringLiteral("nothing generated"));
    }
    Run r{all.nsecsElapsed() / 1e9, memory.stop()};
    emptyFolder(workDir.resultsFolder());
    return r;
}

// (b): every document with an office of its own.
Run officePerDocument(const RecordStore& store, const WorkDir& workDir, const QString& templ, int n,
                      OfficeMemory& memory)
{
    const GenerationContext context{store, workDir, nullptr, {}};
    memory.start();
    QElapsedTimer all;
    all.start();
    for (int k = 0; k < n; ++k)
        if (!GenerateDocument(context, 1 + k % store.RecordCount(), templ, true,
                              OutputKind::Regular))
            throw LumarelError(QStringLiteral("nothing generated"));
    Run r{all.nsecsElapsed() / 1e9, memory.stop()};
    emptyFolder(workDir.resultsFolder());
    return r;
}

// One office, n documents, each step timed; the store into scratch and the
// placing into Results apart.
void phases(const RecordStore& store, const WorkDir& workDir, int n)
{
    Phases p;
    double placeMs = 0, wholeMs = 0;
    std::vector<double> each; // ms, per document in turn
    {
        BatchExport batch(store, workDir, [&p] { return std::make_unique<TimedSession>(p); });
        const ScratchFolder scratch(ScratchFolder::StoreParent());
        // The start is not part of a document.
        const StoredRow first = batch.store(1, scratch.filePath(QStringLiteral("0.doc")));
        batch.place(first);
        p.openNs = p.readNs = p.replaceNs = p.storeNs = p.closeNs = 0;
        p.documents = p.reads = p.replaces = 0;
        QElapsedTimer whole;
        whole.start();
        for (int k = 1; k <= n; ++k) {
            const qint64 documentStart = whole.nsecsElapsed();
            const StoredRow row =
                batch.store(1 + k % store.RecordCount(),
                            scratch.filePath(QString::number(k) + QStringLiteral(".doc")));
            QElapsedTimer t;
            t.start();
            batch.place(row);
            placeMs += t.nsecsElapsed() / 1e6;
            each.push_back((whole.nsecsElapsed() - documentStart) / 1e6);
        }
        wholeMs = whole.nsecsElapsed() / 1e6;
    }
    emptyFolder(workDir.resultsFolder());
    const double ms = 1e6 * n;
    const double steps =
        (p.openNs + p.readNs + p.replaceNs + p.storeNs + p.closeNs) / ms + placeMs / n;
    std::printf(
        "  one document in one office, %.1f ms: open %.1f, %d reads %.1f, %d replaces %.1f, "
        "store %.1f, close %.1f, place %.2f, the rest (lookup, substitution) %.1f ms; "
        "office start %.0f ms\n",
        wholeMs / n, p.openNs / ms, p.reads / n, p.readNs / ms, p.replaces / n, p.replaceNs / ms,
        p.storeNs / ms, p.closeNs / ms, placeMs / n, wholeMs / n - steps,
        p.startNs / 1e6 / std::max(1, p.starts.load()));
    // A held template must serve its last graduate as fast as its first.
    const size_t tenth = std::max<size_t>(1, each.size() / 10);
    std::printf("  the first tenth of them %.1f ms per document (median), the last tenth %.1f\n",
                median({each.begin(), each.begin() + static_cast<long>(tenth)}),
                median({each.end() - static_cast<long>(tenth), each.end()}));
}

// What the PDF beside each document costs in one office and in the pool
// (best of runs), and the join of 300 documents' PDFs into one print file.
void pdfCost(const RecordStore& store, const WorkDir& workDir, int n, int runs, int pool,
             OfficeMemory& memory)
{
    for (const int offices : {1, pool}) {
        double plain = 1e9, pdf = 1e9;
        for (int r = 0; r < runs; ++r) {
            plain = std::min(plain, pooled(store, workDir, n, offices, memory).totalS);
            pdf = std::min(pdf, pooled(store, workDir, n, offices, memory, {true, false}).totalS);
        }
        std::printf("  PDF/A beside each document, %d office(s), %d documents: %.1f ms per "
                    "document without, %.1f with, +%.1f ms\n",
                    offices, n, plain * 1000 / n, pdf * 1000 / n, (pdf - plain) * 1000 / n);
    }

    // One real document's PDF, 300 times over as separate files.
    QList<int> one{1};
    QString sample;
    {
        BatchPool pool(store, workDir, one, 1, {}, {true, false});
        sample = pool.nextRow(-1)->pdf;
    }
    ScratchFolder parts;
    QStringList files;
    for (int k = 0; k < 300; ++k) {
        files << parts.filePath(QString::number(k) + QStringLiteral(".pdf"));
        QFile::copy(sample, files.back());
    }
    std::vector<double> joins;
    for (int r = 0; r < std::max(3, runs); ++r) {
        const QString out = parts.filePath(QStringLiteral("joined%1.pdf").arg(r));
        QElapsedTimer t;
        t.start();
        PrintFile::Join(files, out);
        joins.push_back(t.nsecsElapsed() / 1e9);
        if (r == 0)
            std::printf("  print file of 300 documents (%lld KB each, %lld KB joined): ",
                        static_cast<long long>(QFileInfo(sample).size() / 1024),
                        static_cast<long long>(QFileInfo(out).size() / 1024));
        QFile::remove(out);
    }
    std::printf("joined in %.2f s (median of %zu)\n", median(joins), joins.size());
    emptyFolder(workDir.resultsFolder());
}

// One graduate's document as the batch fills it, copied out of Results.
QString filledDocument(const RecordStore& store, const WorkDir& workDir, const QString& copy)
{
    {
        BatchPool pool(store, workDir, QList<int>{1}, 1);
        QFile::remove(copy);
        if (!QFile::copy(pool.nextRow(-1)->path, copy))
            throw LumarelError(QStringLiteral("no filled document"));
    }
    emptyFolder(workDir.resultsFolder());
    return copy;
}

struct Form {
    const char* label;
    QString path;
};

int usage()
{
    std::fprintf(stderr, "usage: bench_batch [--runs R] [--b-max N] [--offices P] [--thousand] "
                         "[--pdf] [--form table|demo] [N ...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    InitLumarelResources();
    QList<int> counts;
    int runs = 1;
    int bMax = 1 << 30;
    int offices = 0;
    bool thousand = false;
    bool withPdf = false;
    QString only;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype k = 0; k < args.size(); ++k) {
        if (args.at(k) == u"--runs" && k + 1 < args.size())
            runs = std::max(1, args.at(++k).toInt());
        else if (args.at(k) == u"--b-max" && k + 1 < args.size())
            bMax = args.at(++k).toInt();
        else if (args.at(k) == u"--offices" && k + 1 < args.size())
            offices = args.at(++k).toInt();
        else if (args.at(k) == u"--form" && k + 1 < args.size())
            only = args.at(++k);
        else if (args.at(k) == u"--thousand")
            thousand = true;
        else if (args.at(k) == u"--pdf")
            withPdf = true;
        else if (const int n = args.at(k).toInt(); n > 0)
            counts << n;
        else
            return usage();
    }
    if (!only.isEmpty() && only != u"table" && only != u"demo")
        return usage();
    if (counts.isEmpty())
        counts = {20, 100, 300};

    QTemporaryDir dir;
    const QString cache = dir.filePath(QStringLiteral("cache"));
    qputenv("XDG_CACHE_HOME", cache.toUtf8());
    OfficeMemory memory(cache);
    const WorkDir workDir(dir.path());
    SettingsFiles::EnsureWorkFolders(workDir);
    const QString folder = workDir.examplesFolder() + u'/';
    ExtractResourceFile(folder, QStringLiteral("DemoTempl"), DemoTemplateFileName);
    const QString formCopy = workDir.templatesFolder() + QStringLiteral("/diploma-table.doc");
    QFile::copy(QStringLiteral(LUMAREL_BENCH_FORM), formCopy);
    std::vector<Form> forms;
    if (only.isEmpty() || only == u"table")
        forms.push_back({"table-laid form", formCopy});
    if (only.isEmpty() || only == u"demo")
        forms.push_back({"sample template", folder + DemoTemplateFileName});
    const int pool = offices > 0 ? offices : QThread::idealThreadCount();
    std::printf("%d cores; the pool runs %d offices (at most one per graduate)\n",
                QThread::idealThreadCount(), pool);

    try {
        RecordStore store;
        QStringList lines;
        if (const std::optional<QString> refusal = ImportXmlBytes(
                TestFiles::numberedGraduates(1000), QStringLiteral("bench.xml"), store, lines))
            throw LumarelError(*refusal);
        for (const Form& form : forms) {
            SettingsFiles::SaveTemplateTable(workDir, QStringList(8, form.path));
            std::printf("\n%s (%lld bytes)\n", form.label,
                        static_cast<long long>(QFileInfo(form.path).size()));
            // The first start of a fresh profile is not what a batch pays.
            pooled(store, workDir, pool, pool, memory);
            phases(store, workDir, 100);
            const QString filled =
                filledDocument(store, workDir, dir.filePath(QStringLiteral("filled.doc")));
            std::printf("  floor in one office: %.1f ms per document\n",
                        OfficeFloorMs(filled, 30, 1));
            if (withPdf)
                pdfCost(store, workDir, 100, runs, pool, memory);
            std::printf("  %5s %20s %20s %20s %10s %10s %8s %8s %10s\n", "N", "(b) per document",
                        "(a1) one office", "(aP) pool", "floor", "(aP)/floor", "(b)/(a1)",
                        "(b)/(aP)", "peak MB");
            for (const int n : counts) {
                std::vector<double> b, a1, aP, floor;
                double peakA1 = 0, peakAP = 0, peakB = 0;
                for (int r = 0; r < runs; ++r) {
                    const Run one = pooled(store, workDir, n, 1, memory);
                    a1.push_back(one.totalS);
                    peakA1 = std::max(peakA1, one.peakMb);
                    const Run many = pooled(store, workDir, n, pool, memory);
                    aP.push_back(many.totalS);
                    floor.push_back(OfficeFloorMs(filled, n, pool));
                    peakAP = std::max(peakAP, many.peakMb);
                    if (n <= bMax) {
                        const Run each = officePerDocument(store, workDir, form.path, n, memory);
                        b.push_back(each.totalS);
                        peakB = std::max(peakB, each.peakMb);
                    }
                }
                const double tb = median(b), t1 = median(a1), tP = median(aP), tF = median(floor);
                char bText[32] = "-";
                if (!b.empty())
                    std::snprintf(bText, sizeof bText, "%.1f s %.0f ms", tb, tb * 1000 / n);
                std::printf("  %5d %20s %11.1f s %4.1f ms %11.1f s %4.1f ms %7.1f ms %10.2f %8s "
                            "%8s %4.0f/%4.0f\n",
                            n, bText, t1, t1 * 1000 / n, tP, tP * 1000 / n, tF, tP * 1000 / n / tF,
                            b.empty() ? "-" : qPrintable(QString::number(tb / t1, 'f', 1)),
                            b.empty() ? "-" : qPrintable(QString::number(tb / tP, 'f', 1)), peakA1,
                            peakAP);
                std::fflush(stdout);
            }
        }
        if (thousand && !forms.empty()) {
            SettingsFiles::SaveTemplateTable(workDir, QStringList(8, forms.front().path));
            const Run r = pooled(store, workDir, 1000, pool, memory);
            std::printf("\n1000 graduates on the %s through the pool: %.1f s (%.1f ms/doc), peak "
                        "memory of the offices %.0f MB\n",
                        forms.front().label, r.totalS, r.totalS, r.peakMb);
        }
    } catch (const LumarelError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
