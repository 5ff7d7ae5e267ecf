#include "cli/LintCommand.h"

#include "cli/CliOutput.h"
#include "checks/TemplateReader.h"
#include "records/LumarelError.h"

int RunLintCommand(const QStringList& args)
{
    if (args.size() != 1) {
        CliOutput::err(QStringLiteral("usage: lumarel-convert lint TEMPLATE.doc"));
        return ExitUsage;
    }
    std::optional<TemplateTexts> texts;
    QString why;
    try {
        TemplateReader reader;
        texts = reader.partsOf(args.at(0), &why);
    } catch (const LumarelError& e) {
        why = e.text();
    }
    if (!texts) {
        CliOutput::err(why);
        return ExitError;
    }
    const LintReport report = TemplateLint::Check(*texts);
    for (const QString& line : TemplateLint::Lines(report))
        CliOutput::out(line);
    return report.clean() ? ExitOk : ExitSomeRowsFailed;
}
