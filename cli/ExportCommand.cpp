#include "cli/ExportCommand.h"

#include "generate/BatchPool.h"
#include "cli/CliOutput.h"
#include "generate/DocumentGeneration.h"
#include "import/ImportXmlFile.h"
#include "records/LumarelError.h"
#include "settings/SettingsFiles.h"
#include "records/TextRules.h"

#include <QSet>

#include <cstdio>
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

} // namespace

int RunExportCommand(const QStringList& args)
{
    if (args.isEmpty()) {
        CliOutput::err(QStringLiteral("usage: lumarel-convert export FILE.xml [NUMBER ...]"));
        return ExitUsage;
    }
    QList<qint32> wanted;
    for (const QString& arg : args.mid(1)) {
        qint32 number = 0;
        if (!TextRules::ParseInt32(arg, &number)) {
            CliOutput::err(
                QStringLiteral("lumarel-convert export: \"%1\" is not a record number").arg(arg));
            return ExitUsage;
        }
        wanted.append(number);
    }

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
    QList<int> indexes;
    QSet<qint32> found;
    for (int index = 1; index <= store.RecordCount(); ++index) {
        const qint32 number = store.Record(index).RecordNumber;
        if (wanted.isEmpty() || (wanted.contains(number) && !found.contains(number))) {
            indexes.append(index);
            found.insert(number);
        }
    }
    bool allSucceeded = true;
    for (const qint32 number : std::as_const(wanted)) {
        if (!found.contains(number)) {
            CliOutput::err(
                QStringLiteral("lumarel-convert export: no record numbered %1").arg(number));
            allSucceeded = false;
        }
    }

    // Offices side by side, rows in file order; every office ends on every way out.
    BatchPool batch(store, workDir, indexes);
    Progress progress(static_cast<int>(indexes.size()));
    progress.show(0);
    for (qsizetype k = 0; k < indexes.size(); ++k) {
        const QString name = store.Record(indexes.at(k)).DisplayName;
        QString row;
        try {
            const BatchRow done = *batch.nextRow(-1);
            row = done.generated() ? done.result + u'\t' + done.path : done.result;
            if (!done.generated())
                allSucceeded = false;
        } catch (const LumarelError& e) {
            progress.clear();
            CliOutput::err(e.text());
            return ExitError;
        }
        progress.clear();
        CliOutput::out(name + u'\t' + row);
        std::fflush(stdout);
        progress.show(static_cast<int>(k + 1));
    }
    return allSucceeded ? ExitOk : ExitSomeRowsFailed;
}
