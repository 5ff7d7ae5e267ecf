#include "cli/CheckCommand.h"

#include "cli/CliOutput.h"
#include "checks/DataCheck.h"
#include "records/LumarelError.h"
#include "records/TextRules.h"

#include <QSet>

void PrintFindings(const QList<DataFinding>& findings)
{
    // Escaped as every row is: a name or value never makes a line of its own.
    for (const DataFinding& finding : findings)
        CliOutput::row({QString::number(finding.number), finding.name, finding.text});
}

int RunCheckCommand(const QStringList& args)
{
    if (args.isEmpty()) {
        CliOutput::err(QStringLiteral("usage: lumarel-convert check FILE.xml [NUMBER ...]"));
        return ExitUsage;
    }
    const std::optional<QList<qint32>> wanted =
        RecordNumbersForCli(QStringLiteral("check"), args.mid(1));
    if (!wanted)
        return ExitUsage;

    const WorkDir workDir = WorkDir::Capture();
    RecordStore store;
    if (const auto failed = ImportForCli(args.at(0), store))
        return *failed;

    // Records in file order, each once, as the export takes them.
    bool clean = true;
    const QList<int> indexes = RecordsForCli(QStringLiteral("check"), store, *wanted, &clean);

    try {
        TemplateReader reader;
        const QList<DataFinding> findings = DataCheck(store, workDir, reader).check(indexes);
        PrintFindings(findings);
        if (!findings.isEmpty())
            clean = false;
    } catch (const LumarelError& e) {
        CliOutput::err(e.text());
        return ExitError;
    }
    return clean ? ExitOk : ExitSomeRowsFailed;
}
