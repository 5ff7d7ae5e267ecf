#include "cli/LintCommand.h"

#include "checks/TemplateReader.h"
#include "cli/CliOutput.h"
#include "records/LumarelError.h"

int RunLintCommand(const QStringList& args)
{
    if (args.size() != 1) {
        CliOutput::err(QStringLiteral("usage: lumarel-convert lint TEMPLATE.doc"));
        return ExitUsage;
    }
    // A missing office says so the same way as a template it cannot read.
    const auto read = [&args]() -> Refusable<TemplateTexts> {
        try {
            TemplateReader reader;
            return reader.partsOf(args.at(0));
        } catch (const LumarelError& e) {
            return Refusal{e.text()};
        }
    };
    const Refusable<TemplateTexts> texts = read();
    if (!texts) {
        CliOutput::err(texts.why());
        return ExitError;
    }
    const LintReport report = TemplateLint::Check(*texts);
    for (const QString& line : TemplateLint::Lines(report))
        CliOutput::out(line);
    return report.clean() ? ExitOk : ExitSomeRowsFailed;
}
