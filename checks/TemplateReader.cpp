#include "checks/TemplateReader.h"

#include "generate/ResultTexts.h"
#include "generate/office/LibreOfficeSession.h"
#include "generate/office/WordInstalled.h"
#include "generate/tags/TagTable.h"
#include "records/LumarelError.h"

#include <QFile>
#include <QFileInfo>

namespace {

// What the office opens as a document: Word 97-2003 and other compound
// files, the zipped formats (.docx, .odt), RTF, and XML ones (flat .fodt,
// Word's XML). Anything else it would take for plain text, or die on.
bool looksLikeDocument(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // the office says why it cannot
    QByteArray head = file.read(64);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    static const QByteArray signatures[] = {
        QByteArray::fromHex("d0cf11e0a1b11ae1"),
        QByteArrayLiteral("PK\x03\x04"),
        QByteArrayLiteral("{\\rtf"),
        QByteArrayLiteral("<?xml"),
    };
    for (const QByteArray& signature : signatures)
        if (head.startsWith(signature))
            return true;
    return false;
}

} // namespace

TemplateReader::TemplateReader(SessionFactory makeSession) : m_makeSession(std::move(makeSession))
{
}

TemplateReader::~TemplateReader()
{
    if (m_session)
        m_session->quit();
}

DocumentSession& TemplateReader::office()
{
    if (!m_session) {
        if (m_makeSession) {
            m_session = m_makeSession();
        } else {
            if (!CheckWordInstalled())
                throw LumarelError(WordMissingText);
            m_session = std::make_unique<LibreOfficeSession>();
        }
        m_session->start(true);
    }
    return *m_session;
}

std::optional<QStringList> TemplateReader::tagsIn(const QString& path)
{
    const auto known = m_tags.constFind(path);
    if (known != m_tags.cend())
        return *known;
    std::optional<QStringList> result;
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        DocumentSession& session = office();
        ++m_reads;
        try {
            session.open(path);
            // Every part the export fills counts, headers, shapes and notes too.
            result = session.FindTags(TagTable::Tags());
        } catch (const OfficeLostError&) {
            session.closeDocument();
            throw;
        } catch (const LumarelError& e) {
            // A file the office cannot open is as unusable as a missing one.
            qWarning("Template not read: %s", qUtf8Printable(e.text()));
            result.reset();
        }
        session.closeDocument();
    }
    m_tags.insert(path, result);
    return result;
}

Refusable<TemplateTexts> TemplateReader::partsOf(const QString& path)
{
    if (QFileInfo(path).isDir())
        return Refusal{FolderNotFileText.arg(path)};
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return Refusal{QStringLiteral("Файл шаблону не знайдено: ") + path};
    if (!looksLikeDocument(path))
        return Refusal{QStringLiteral("Файл шаблону не є документом Word: ") + path};
    DocumentSession& session = office();
    ++m_reads;
    // The same office may read templates for the data check next: only this
    // open pays for noting the changes.
    session.watchChanges(true);
    std::optional<TemplateTexts> texts;
    QString why;
    try {
        session.open(path);
        session.watchChanges(false);
        TemplateTexts read;
        read.changes = session.trackedChanges();
        read.marks = session.marks();
        for (const auto& [part, text] : session.ReadPartTexts())
            read.parts.append({TemplateLint::PartName(part), text});
        texts = std::move(read);
    } catch (const OfficeLostError&) {
        session.watchChanges(false);
        session.closeDocument();
        throw;
    } catch (const LumarelError& e) {
        session.watchChanges(false);
        why = e.text();
    }
    session.closeDocument();
    if (!texts)
        return Refusal{why};
    return std::move(*texts);
}
