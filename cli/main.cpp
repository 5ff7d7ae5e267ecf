#include "cli/CheckCommand.h"
#include "cli/CliOutput.h"
#include "cli/DemoCommand.h"
#include "cli/ExportCommand.h"
#include "cli/LintCommand.h"
#include "cli/ListCommand.h"
#include "cli/PreviewCommand.h"
#include "records/ProgramFacts.h"
#include "resources/LumarelResources.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

const char* const Help =
    R"(lumarel-convert — the EDEBO XML to diploma documents converter, from the command line.

Usage:
  lumarel-convert list FILE.xml
      Reads FILE exactly as the program's open command does and prints one
      check-list line per graduate (number, name, faculty), UTF-8.
  lumarel-convert export FILE.xml [NUMBER ...] [--pdf] [--print-file]
      Makes the document of every graduate whose record number is given
      (all of them when none is) from the templates assigned in Templ.set,
      into Results, as the batch export does, and prints one row per
      graduate: name, TAB, result, and TAB and the saved path on success.
      --pdf also saves each document as PDF/A beside it; --print-file also
      joins the documents into one Results/Друк_YYYYMMDD-HHMMSS.pdf, printed
      last as "Файл для друку", TAB, its path.
      A date the template asks for that is no day of the calendar (31/02,
      month 13) gives that graduate no document and a row "Неправильна
      дата «…» для тегу …"; the export goes on.
      Exit 3 when some row did not succeed. When an error ends the export,
      its graduate's row names it and every later graduate gets a row "Не
      створено: експорт зупинено через помилку" (exit 1). SIGINT or SIGTERM
      stops it after the documents in hand: the offices end, the run's
      temporary files are removed, the graduates not done get a row saying
      so, and the exit code is 130 or 143.
  lumarel-convert demo FILE.xml NUMBER
      The demonstration export of the graduate with that record number: the
      built-in sample template (written to Examples when missing) filled
      with the graduate's data, saved into Examples; prints the row as
      export does.
  lumarel-convert check FILE.xml [NUMBER ...]
      Checks the data of the graduates given (all when none is) against the
      templates the export would use, before anything is printed: a kind
      without a template, a template missing or unusable, an empty value of
      a tag the template uses, a date the export would refuse or that is no
      calendar day, a value of a tag the template uses that the import cut
      to its field's width ("Значення обрізано до 40 символів: «…»"), a
      series and number repeated in the file, two documents that would get
      the same name. One row per finding: number, TAB, name, TAB, finding.
      Each template is read once. Exit 3 when something is found.
  lumarel-convert preview FILE.xml NUMBER --png OUT.png [--page K]
      Shows the document of the graduate with that record number before
      anything is saved: the template assigned to the graduate's kind,
      filled as the export fills it and laid out by the office, is drawn
      as page K (1 when not given) into OUT.png at 150 dpi; Results and
      Examples are not touched. Then prints the findings of check for that
      graduate, one row each as check does. Exit 0 when written, 3 when
      written and something was found; 1 when nothing was written: the
      template is not assigned, missing or unusable (the export's message
      goes to stderr), the graduate or page K is not there, or OUT.png
      already exists (it is never replaced).
  lumarel-convert lint TEMPLATE.doc
      Checks one template: prints each tag of the tag table it holds (tag,
      TAB, how many times, TAB, the parts holding it: основний текст,
      таблиця, колонтитул, рамка, фігура, виноска, and the bookmark
      (закладка «NAME») or field (поле) it stands in), then each problem: no
      exact #Прізвище# (also when written in other letter case), a "#...#"
      that is no tag of the table with the tag probably meant (Latin
      look-alike letters, extra spaces, a missing or doubled "#"), change
      recording left on, a tag that reads whole only with the tracked
      changes accepted or that stands only in tracked-deleted text.
      Exit 0 when clean, 3 when there is a problem, 1 when the file is no
      document (neither Word, RTF, OpenDocument nor XML) or cannot be
      opened.

Every row is one line: a backslash, a tab, a line break or another control
character in a column is written as an escape (\\, \t, \n, \r, \u001b).

Exit codes: 0 done; 1 the file is broken (the reason goes to stderr);
2 the file was refused (its message goes to stderr); 64 wrong usage.
The working directory is the converter's work folder (Templates, Results,
Examples, AddInfo and the settings files live there).
)";

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    InitLumarelResources();
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == u"--help" || args.first() == u"-h" ||
        args.first() == u"help") {
        CliOutput::out(QString::fromUtf8(Help).trimmed());
        return args.isEmpty() ? ExitUsage : ExitOk;
    }
    if (args.first() == u"--version") {
        CliOutput::out(QStringLiteral("lumarel-convert (%1) %2")
                           .arg(ProgramFacts::ProgramName, ProgramFacts::FullVersion));
        return ExitOk;
    }
    const QString verb = args.takeFirst();
    if (verb == u"list")
        return RunListCommand(args);
    if (verb == u"export")
        return RunExportCommand(args);
    if (verb == u"demo")
        return RunDemoCommand(args);
    if (verb == u"check")
        return RunCheckCommand(args);
    if (verb == u"preview")
        return RunPreviewCommand(args);
    if (verb == u"lint")
        return RunLintCommand(args);
    CliOutput::err(QStringLiteral("lumarel-convert: unknown command \"%1\"; see --help").arg(verb));
    return ExitUsage;
}
