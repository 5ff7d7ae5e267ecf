#include "ListCommand.h"

#include "CliOutput.h"
#include "ImportXmlFile.h"
#include "LumarelError.h"

int RunListCommand(const QStringList& args)
{
    if (args.size() != 1) {
        CliOutput::err(QStringLiteral("usage: lumarel-convert list FILE.xml"));
        return ExitUsage;
    }
    RecordStore store;
    QStringList lines;
    try {
        const QString refusal = ImportXmlFile(args.at(0), store, lines);
        if (!refusal.isEmpty()) {
            CliOutput::err(refusal);
            return ExitRefused;
        }
    } catch (const LumarelError& e) {
        CliOutput::err(e.text());
        return ExitError;
    }
    for (const QString& line : lines)
        CliOutput::out(line);
    return ExitOk;
}
