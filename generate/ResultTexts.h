#pragma once

#include <QString>

// What the export commands tell the user about a document: the rows of the
// batch window and of the command-line converter, and the error boxes.
inline const QString GeneratedText = QStringLiteral("Успішно згенерований!");
inline const QString NoTemplateText = QStringLiteral("Шаблон для документа даного типу не задано!");
inline const QString BadTemplateText =
    QStringLiteral("Шаблон для документа даного типу не відповідає вимогам або відсутній!");
// The single export's box has two spaces before "або", the demonstration's one.
inline const QString BadTemplateSingleText = QStringLiteral(
    "Шаблон для документа даного типу не відповідає вимогам до його структури  або відсутній!");
inline const QString BadTemplateDemoText = QStringLiteral(
    "Шаблон для документа даного типу не відповідає вимогам до його структури або відсутній!");
// A date a template asks for that names no day of the calendar: %1 the date
// as the file gives it, %2 the first of its tags the template uses. The check
// finds it, and the export refuses that graduate's document with it.
inline const QString BadDateText = QStringLiteral("Неправильна дата «%1» для тегу %2");
inline const QString NobodyCheckedText = QStringLiteral("Студента не обрано!");
inline const QString NoneCheckedText = QStringLiteral("Жодного студента не обрано!");
inline const QString WordMissingText = QStringLiteral("MS Word не встановлено!");
