#include "checks/TemplateFault.h"

#include "generate/ResultTexts.h"
#include "generate/tags/TagTable.h"

#include <QDir>
#include <QFileInfo>

namespace TemplateFault {

QStringList Causes(const LintReport& report)
{
    QStringList causes;
    for (const QString& problem : report.problems) {
        if (problem.contains(SurnameTag) || problem == TemplateLint::RecordingText)
            causes.append(problem);
    }
    return causes.isEmpty() ? report.problems : causes;
}

QString Text(TemplateReader& reader, const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile())
        return MissingText.arg(shown);
    const Refusable<TemplateTexts> parts = reader.partsOf(path);
    if (!parts)
        return UnopenableText.arg(shown);
    const QStringList causes = Causes(TemplateLint::Check(*parts));
    if (causes.isEmpty())
        return BadTemplateText;
    return FaultsText.arg(shown, causes.join(QStringLiteral("; ")));
}

} // namespace TemplateFault
