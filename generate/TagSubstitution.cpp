#include "generate/TagSubstitution.h"

#include "generate/TagTable.h"

namespace {

// The document's text as the replacements so far have made it: a tag that it
// does not hold, whatever the letter case, would be looked for in vain, and
// each call into the office costs far more than this copy.
class TextModel {
public:
    TextModel(DocumentSession& document, QString text, bool complete)
        : m_document(document), m_text(std::move(text)), m_complete(complete)
    {
    }
    void replace(const QString& tag, const QString& value)
    {
        if (m_complete && !m_text.contains(tag, Qt::CaseInsensitive))
            return;
        m_document.ReplaceTag(tag, value);
        m_text.replace(tag, value, Qt::CaseInsensitive);
    }

private:
    DocumentSession& m_document;
    QString m_text;
    bool m_complete;
};

} // namespace

bool SubstituteTags(const StudentRecord& record, DocumentSession& document)
{
    QString text = document.ReadTextForSearch();
    if (!text.contains(SurnameTag))
        return false;
    TextModel model(document, std::move(text), document.TextCoversDocument());

    for (const TagRow& row : TagTable::ReplacementOrder()) {
        // The day becomes a number only when a template asks for its suffix.
        if (TagTable::OnlyWhenAsked(row.Value, record) &&
            !document.ReadTextForSearch().contains(row.Tag))
            continue;
        model.replace(row.Tag, TagTable::ValueOf(row.Value, record));
    }
    return true;
}
