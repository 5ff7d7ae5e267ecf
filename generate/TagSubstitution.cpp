#include "generate/TagSubstitution.h"

#include "generate/ResultTexts.h"
#include "generate/tags/TagTable.h"

Substitution SubstituteTags(const StudentRecord& record, DocumentSession& document)
{
    // One search of every part serves the checks and the replacement.
    const QStringList found = document.FindTags(TagTable::Tags());
    // The checks compare exactly, letter case included.
    if (!found.contains(SurnameTag))
        return {};

    QList<QPair<QString, QString>> values;
    QString refusal;
    for (const TagRow& row : TagTable::ReplacementOrder()) {
        // The day becomes a number only when a template asks for its suffix.
        if (TagTable::OnlyWhenAsked(row.Value, record) && !found.contains(row.Tag))
            continue;
        // Made for every tag, so that a bad date fails whatever the template
        // holds; and before anything is written.
        const QString value = TagTable::ValueOf(row.Value, record);
        if (!found.contains(row.Tag, Qt::CaseInsensitive))
            continue;
        const QString date = TagTable::DateText(TagTable::DateSourceOf(row.Value), record);
        if (refusal.isEmpty() && TagTable::IsImpossibleDate(date))
            refusal = BadDateText.arg(date, row.Tag);
        values.append({row.Tag, value});
    }
    // A conversion error of the other date still comes first: it was thrown above.
    if (!refusal.isEmpty())
        return {false, refusal};
    document.ReplaceTags(values);
    return {true, QString()};
}
