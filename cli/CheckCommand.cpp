#include "cli/CheckCommand.h"

#include "cli/CliOutput.h"
#include "generate/DataCheck.h"
#include "records/LumarelError.h"
#include "records/TextRules.h"

#include <QSet>

int RunCheckCommand(const QStringList& args)
{
    if (args.isEmpty()) {
        CliOutput::err(QStringLiteral("usage: lumarel-convert check FILE.xml [NUMBER ...]"));
        return ExitUsage;
    }
    QList<qint32> wanted;
    for (const QString& arg : args.mid(1)) {
        qint32 number = 0;
        if (!TextRules::ParseInt32(arg, &number)) {
            CliOutput::err(
                QStringLiteral("lumarel-convert check: \"%1\" is not a record number").arg(arg));
            return ExitUsage;
        }
        wanted.append(number);
    }

    const WorkDir workDir = WorkDir::Capture();
    RecordStore store;
    if (const auto failed = ImportForCli(args.at(0), store))
        return *failed;

    // Records in file order, each once, as the export takes them.
    QList<int> indexes;
    QSet<qint32> found;
    for (int index = 1; index <= store.RecordCount(); ++index) {
        const qint32 number = store.Record(index).RecordNumber;
        if (wanted.isEmpty() || (wanted.contains(number) && !found.contains(number))) {
            indexes.append(index);
            found.insert(number);
        }
    }
    bool clean = true;
    for (const qint32 number : std::as_const(wanted)) {
        if (!found.contains(number)) {
            CliOutput::err(
                QStringLiteral("lumarel-convert check: no record numbered %1").arg(number));
            clean = false;
        }
    }

    try {
        TemplateReader reader;
        const QList<DataFinding> findings = DataCheck(store, workDir, reader).check(indexes);
        for (const DataFinding& finding : findings)
            CliOutput::out(QString::number(finding.number) + u'\t' + finding.name + u'\t' +
                           finding.text);
        if (!findings.isEmpty())
            clean = false;
    } catch (const LumarelError& e) {
        CliOutput::err(e.text());
        return ExitError;
    }
    return clean ? ExitOk : ExitSomeRowsFailed;
}
