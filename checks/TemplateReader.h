#pragma once

#include "checks/TemplateLint.h"
#include "generate/office/DocumentSession.h"
#include "records/Refusal.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// Reads the text of templates for the checks, each file once, in one office
// started for the first file that needs it and ended with the reader.
class TemplateReader {
public:
    // makeSession: the office to use; empty means LibreOffice (its absence
    // throws LumarelError with the text of a missing office).
    explicit TemplateReader(SessionFactory makeSession = {});
    ~TemplateReader();
    TemplateReader(const TemplateReader&) = delete;
    TemplateReader& operator=(const TemplateReader&) = delete;

    // Every occurrence of a tag of the table in the template, as written
    // (letter case may differ from the table's); none when no file is there
    // or the office cannot open it. A lost office throws OfficeLostError.
    std::optional<QStringList> tagsIn(const QString& path);
    // The texts of the template's parts, by kind, and its tracked changes as
    // saved, for the template check; refused when no file is there or the
    // office cannot open it.
    Refusable<TemplateTexts> partsOf(const QString& path);
    // How many templates were opened.
    int reads() const { return m_reads; }

private:
    DocumentSession& office();

    SessionFactory m_makeSession;
    std::unique_ptr<DocumentSession> m_session;
    QHash<QString, std::optional<QStringList>> m_tags;
    int m_reads = 0;
};
