#include "cli/DemoCommand.h"

#include "cli/CliOutput.h"
#include "generate/DocumentGeneration.h"
#include "generate/ResultTexts.h"
#include "import/ImportXmlFile.h"
#include "records/LumarelError.h"
#include "records/TextRules.h"

int RunDemoCommand(const QStringList& args)
{
    qint32 number = 0;
    if (args.size() != 2) {
        CliOutput::err(QStringLiteral("usage: lumarel-convert demo FILE.xml NUMBER"));
        return ExitUsage;
    }
    if (!TextRules::ParseInt32(args.at(1), &number)) {
        CliOutput::err(
            QStringLiteral("lumarel-convert demo: \"%1\" is not a record number").arg(args.at(1)));
        return ExitUsage;
    }

    const WorkDir workDir = WorkDir::Capture();
    RecordStore store;
    if (const auto failed = ImportForCli(args.at(0), store))
        return *failed;
    try {
        const QString demoTemplate = EnsureDemoTemplate(workDir);
        const std::optional<int> index = store.FindRecordByNumber(number);
        if (!index) {
            CliOutput::err(
                QStringLiteral("lumarel-convert demo: no record numbered %1").arg(number));
            return ExitSomeRowsFailed;
        }
        if (!CheckWordInstalled()) {
            CliOutput::err(WordMissingText);
            return ExitError;
        }
        const GenerationContext context{store, workDir, nullptr, {}};
        QString refusal;
        const std::optional<QString> saved = GenerateDocument(context, *index, demoTemplate, true,
                                                              OutputKind::Demonstration, &refusal);
        const QString name = store.Record(*index).DisplayName;
        if (!saved) {
            CliOutput::row({name, refusal.isEmpty() ? BadTemplateDemoText : refusal});
            return ExitSomeRowsFailed;
        }
        CliOutput::row({name, GeneratedText, *saved});
        return ExitOk;
    } catch (const LumarelError& e) {
        CliOutput::err(e.text());
        return ExitError;
    }
}
