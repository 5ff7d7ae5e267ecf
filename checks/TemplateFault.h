#pragma once

#include "checks/TemplateLint.h"
#include "checks/TemplateReader.h"

#include <QString>
#include <QStringList>

// Why the export refuses a template, as the findings name it: the file is not
// there, the office cannot open it as a Word document, or the template check
// finds no exact "#Прізвище#" or change recording on.
namespace TemplateFault {

inline const QString MissingText = QStringLiteral("Шаблон «%1» відсутній: файл не знайдено");
inline const QString UnopenableText =
    QStringLiteral("Шаблон «%1» не відкривається як документ MS Word");
inline const QString FaultsText = QStringLiteral("Шаблон «%1» не відповідає вимогам: %2");

// The template check's problems that make the export refuse the template:
// those about "#Прізвище#" (a look-alike letter among them) and change
// recording; all of them when none of these is there.
QStringList Causes(const LintReport& report);

// The finding for a template at path that the export would refuse.
QString Text(TemplateReader& reader, const QString& path);

} // namespace TemplateFault
