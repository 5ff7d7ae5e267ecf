#include "checks/DataCheck.h"

#include "checks/TemplateFault.h"
#include "generate/DocumentGeneration.h"
#include "generate/ResultTexts.h"
#include "generate/DocumentGeneration.h"
#include "generate/TagSubstitution.h"
#include "generate/tags/TagTable.h"
#include "records/LumarelError.h"

#include <QHash>
#include <QStringList>

namespace {

// What one template asks of a record: the tags it holds, as the replacement
// finds them (letter case ignored), in their replacement order.
struct TemplateUse {
    bool usable = false;
    QList<TagRow> tags;
    QString fault; // why it is not usable
};

TemplateUse useOf(const std::optional<QStringList>& found)
{
    TemplateUse use;
    if (!found || !found->contains(SurnameTag))
        return use;
    use.usable = true;
    for (const TagRow& row : TagTable::ReplacementOrder()) {
        if (found->contains(row.Tag, Qt::CaseInsensitive))
            use.tags.append(row);
    }
    return use;
}

const CutValue* cutOf(const StudentRecord& record, RecordField field)
{
    for (const CutValue& cut : record.Cuts) {
        if (cut.Field == field)
            return &cut;
    }
    return nullptr;
}

// What the template's tags make of the record: dates that are no day of the
// calendar, values left empty, then values cut to their field's width.
QStringList valueFindings(const TemplateUse& use, const StudentRecord& record)
{
    QStringList found;
    QList<TagTable::DateSource> badDates;
    QList<RecordField> cutFields;
    for (const TagRow& row : use.tags) {
        const RecordField field = TagTable::SourceField(row.Value);
        // A one-character field keeps the first character by design.
        if (FieldWidth(field) > 1 && !cutFields.contains(field) && cutOf(record, field))
            cutFields.append(field);
        const TagTable::DateSource source = TagTable::DateSourceOf(row.Value);
        const QString date = TagTable::DateText(source, record);
        if (source != TagTable::DateSource::None && !date.isEmpty() &&
            !TagTable::IsCalendarDate(date)) {
            // One line per date, named by the first of its tags used.
            if (!badDates.contains(source)) {
                badDates.append(source);
                found.append(BadDateText.arg(date, row.Tag));
            }
            continue;
        }
        QString value;
        try {
            value = TagTable::ValueOf(row.Value, record);
        } catch (const LumarelError&) {
            continue; // only a bad date throws, and it is reported
        }
        if (value.isEmpty())
            found.append(EmptyValueText.arg(row.Tag));
    }
    for (const RecordField field : cutFields)
        found.append(
            CutValueText.arg(QString::number(FieldWidth(field)), cutOf(record, field)->Original));
    return found;
}

QString documentKey(const StudentRecord& record)
{
    if (record.DocumentSeries.trimmed().isEmpty() && record.DocumentNumber.trimmed().isEmpty())
        return QString();
    return record.DocumentSeries.trimmed() + u' ' + record.DocumentNumber.trimmed();
}

} // namespace

DataCheck::DataCheck(const RecordStore& store, WorkDir workDir, TemplateReader& reader)
    : m_store(store), m_workDir(std::move(workDir)), m_reader(reader)
{
}

QList<DataFinding> DataCheck::check(const QList<int>& recordIndexes)
{
    // A series and number is shared across the whole file; file names only
    // among the documents made together.
    QHash<QString, QStringList> holders;
    for (int index = 1; index <= m_store.RecordCount(); ++index) {
        const StudentRecord& record = m_store.Record(index);
        const QString key = documentKey(record);
        if (!key.isEmpty())
            holders[key].append(QString::number(record.RecordNumber));
    }
    QHash<QString, QList<int>> byFileName;
    for (const int index : recordIndexes)
        byFileName[DocumentFileName(m_store.Record(index).DisplayName, OutputKind::Regular)].append(
            index);

    QHash<QString, TemplateUse> uses;
    QList<DataFinding> findings;
    for (const int index : recordIndexes) {
        const StudentRecord& record = m_store.Record(index);
        const auto add = [&](const QString& text) {
            findings.append({index, record.RecordNumber, record.DisplayName, text});
        };

        const QString path = FindTemplatePath(m_workDir, m_store, index);
        if (path.isEmpty()) {
            add(NoTemplateText);
        } else {
            auto use = uses.constFind(path);
            if (use == uses.cend()) {
                TemplateUse read = useOf(m_reader.tagsIn(path));
                if (!read.usable)
                    read.fault = TemplateFault::Text(m_reader, path);
                use = uses.insert(path, read);
            }
            if (!use->usable) {
                add(use->fault);
            } else {
                for (const QString& text : valueFindings(*use, record))
                    add(text);
            }
        }

        const QString key = documentKey(record);
        if (!key.isEmpty() && holders.value(key).size() > 1)
            add(RepeatedDocumentText.arg(key, holders.value(key).join(QStringLiteral(", "))));
        const QList<int> sameName =
            byFileName.value(DocumentFileName(record.DisplayName, OutputKind::Regular));
        for (const int other : sameName) {
            if (other != index)
                add(SameFileNameText.arg(m_store.Record(other).RecordNumber));
        }
    }
    return findings;
}
