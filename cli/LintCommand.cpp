#include "cli/LintCommand.h"

#include "cli/CliOutput.h"
#include "generate/TemplateReader.h"
#include "records/LumarelError.h"

int RunLintCommand(const QStringList& args)
{
    if (args.size() != 1) {
        CliOutput::err(QStringLiteral("usage: lumarel-convert lint TEMPLATE.doc"));
        return ExitUsage;
    }
    std::optional<QList<PartText>> parts;
    QString why;
    try {
        TemplateReader reader;
        parts = reader.partsOf(args.at(0), &why);
    } catch (const LumarelError& e) {
        why = e.text();
    }
    if (!parts) {
        CliOutput::err(why);
        return ExitError;
    }
    const LintReport report = TemplateLint::Check(*parts);
    for (const QString& line : TemplateLint::Lines(report))
        CliOutput::out(line);
    return report.clean() ? ExitOk : ExitSomeRowsFailed;
}
