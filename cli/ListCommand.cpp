#include "cli/ListCommand.h"

#include "cli/CliOutput.h"

int RunListCommand(const QStringList& args)
{
    if (args.size() != 1) {
        CliOutput::err(QStringLiteral("usage: lumarel-convert list FILE.xml"));
        return ExitUsage;
    }
    RecordStore store;
    QStringList lines;
    if (const auto failed = ImportForCli(args.at(0), store, &lines))
        return *failed;
    for (const QString& line : lines)
        CliOutput::out(CliOutput::cell(line));
    return ExitOk;
}
