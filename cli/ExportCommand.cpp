#include "cli/ExportCommand.h"

#include "cli/CliOutput.h"
#include "cli/StopSignals.h"
#include "export/BatchPool.h"
#include "generate/DocumentGeneration.h"
#include "import/ImportXmlFile.h"
#include "records/LumarelError.h"
#include "records/TextRules.h"
#include "settings/SettingsFiles.h"

#include <QSet>

#include <csignal>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

// A one-line bar on stderr, redrawn in place; only for a terminal.
class Progress {
public:
    explicit Progress(int total) : m_total(total), m_shown(total > 0 && ::isatty(2)) {}
    ~Progress() { clear(); }
    void show(int done)
    {
        if (!m_shown)
            return;
        constexpr int Width = 30;
        const int filled = m_total ? done * Width / m_total : Width;
        const QByteArray bar = "\r[" + QByteArray(filled, '#') + QByteArray(Width - filled, '.') +
                               "] " + QByteArray::number(done) + '/' + QByteArray::number(m_total);
        std::fflush(stdout);
        std::fwrite(bar.constData(), 1, static_cast<size_t>(bar.size()), stderr);
        std::fflush(stderr);
    }
    // Before anything else is printed on the terminal.
    void clear()
    {
        if (!m_shown)
            return;
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }

private:
    int m_total;
    bool m_shown;
};

// How often the wait for the next row looks for a stop signal.
constexpr int SignalPollMs = 100;

const QString StoppedByErrorText = QStringLiteral("Не створено: експорт зупинено через помилку");
const QString InterruptedText = QStringLiteral("Не створено: експорт перервано сигналом %1");

QString signalName(int signal)
{
    return signal == SIGINT    ? QStringLiteral("SIGINT")
           : signal == SIGTERM ? QStringLiteral("SIGTERM")
                               : QString::number(signal);
}

// Takes --pdf and --print-file out of the arguments; the rest stays in order.
QStringList TakeExportOptions(const QStringList& given, ExportOptions* options)
{
    QStringList args;
    for (const QString& arg : given) {
        if (arg == u"--pdf")
            options->alsoPdf = true;
        else if (arg == u"--print-file")
            options->printFile = true;
        else
            args.append(arg);
    }
    return args;
}

// The next row, a stop signal looked for meanwhile; none when a signal stopped
// the batch first. After a signal the offices finish the documents they hold;
// those rows still come, then the rest is not done.
std::optional<BatchRow> NextRow(BatchPool& batch, int* stopSignal)
{
    std::optional<BatchRow> done;
    while (!done) {
        if (!*stopSignal && (*stopSignal = StopSignals::received()) != 0)
            batch.finish();
        done = batch.nextRow(*stopSignal ? 0 : SignalPollMs);
        if (!done && *stopSignal)
            break;
    }
    return done;
}

// One row per graduate, in order, with the bar between rows. The exit code
// when an error or a stop signal ended the batch; none when every row came.
std::optional<int> PrintRows(BatchPool& batch, const RecordStore& store, const QList<int>& indexes,
                             bool* allSucceeded)
{
    Progress progress(static_cast<int>(indexes.size()));
    progress.show(0);
    // Every graduate asked for gets one row, also those a stop leaves undone,
    // so a script knows exactly whom to redo.
    const auto rowsNotDone = [&](qsizetype from, const QString& reason) {
        progress.clear();
        for (qsizetype k = from; k < indexes.size(); ++k)
            CliOutput::row({store.Record(indexes.at(k)).DisplayName, reason});
        std::fflush(stdout);
    };
    int stopSignal = 0;
    for (qsizetype k = 0; k < indexes.size(); ++k) {
        const QString name = store.Record(indexes.at(k)).DisplayName;
        std::optional<BatchRow> done;
        try {
            done = NextRow(batch, &stopSignal);
        } catch (const LumarelError& e) {
            progress.clear();
            CliOutput::err(e.text());
            CliOutput::row({name, e.text()});
            rowsNotDone(k + 1, StoppedByErrorText);
            return ExitError;
        }
        if (!done) {
            CliOutput::err(InterruptedText.arg(signalName(stopSignal)));
            rowsNotDone(k, InterruptedText.arg(signalName(stopSignal)));
            return StopSignals::exitCode(stopSignal);
        }
        if (!done->generated())
            *allSucceeded = false;
        progress.clear();
        if (done->generated())
            CliOutput::row({name, done->result, done->path});
        else
            CliOutput::row({name, done->result});
        std::fflush(stdout);
        progress.show(static_cast<int>(k + 1));
    }
    return std::nullopt;
}

} // namespace

int RunExportCommand(const QStringList& given)
{
    ExportOptions options;
    const QStringList args = TakeExportOptions(given, &options);
    if (args.isEmpty()) {
        CliOutput::err(QStringLiteral(
            "usage: lumarel-convert export FILE.xml [NUMBER ...] [--pdf] [--print-file]"));
        return ExitUsage;
    }
    const std::optional<QList<qint32>> wanted =
        RecordNumbersForCli(QStringLiteral("export"), args.mid(1));
    if (!wanted)
        return ExitUsage;

    const StopSignals stops;
    const WorkDir workDir = WorkDir::Capture();
    RecordStore store;
    if (const auto failed = ImportForCli(args.at(0), store))
        return *failed;
    SettingsFiles::EnsureWorkFolders(workDir);
    if (!CheckWordInstalled()) {
        CliOutput::err(WordMissingText);
        return ExitError;
    }

    // Records in file order; a number given twice still makes one document.
    bool allSucceeded = true;
    const QList<int> indexes =
        RecordsForCli(QStringLiteral("export"), store, *wanted, &allSucceeded);

    // Offices side by side, rows in file order; every office ends on every way out.
    BatchPool batch(store, workDir, indexes, 0, {}, options);
    if (const std::optional<int> ended = PrintRows(batch, store, indexes, &allSucceeded))
        return *ended;
    try {
        if (const std::optional<QString> printFile = batch.writePrintFile())
            CliOutput::row({PrintFileRowText, *printFile});
    } catch (const LumarelError& e) {
        CliOutput::err(e.text());
        return ExitError;
    }
    return allSucceeded ? ExitOk : ExitSomeRowsFailed;
}
