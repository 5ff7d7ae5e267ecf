#include "tests/support/TextDocumentSession.h"

#include "generate/tags/TagMatches.h"
#include "records/LumarelError.h"

#include <QFile>
#include <QFileInfo>

void TextDocumentSession::start(bool keepHidden)
{
    m_started = true;
    m_hidden = keepHidden;
}

void TextDocumentSession::open(const QString& templatePath)
{
    QFile file(templatePath);
    if (!file.open(QIODevice::ReadOnly))
        throw LumarelError(QStringLiteral("Не вдалося відкрити шаблон ") + templatePath);
    m_text = QString::fromUtf8(file.readAll());
    m_open = true;
}

void TextDocumentSession::requireDocument() const
{
    if (!m_open)
        throw LumarelError(NoDocumentText);
}

QList<QPair<DocumentPart, QString>> TextDocumentSession::ReadPartTexts()
{
    requireDocument();
    ++m_reads;
    return {{DocumentPart::Body, m_text}};
}

QStringList TextDocumentSession::FindTags(const QStringList& tags)
{
    requireDocument();
    ++m_reads;
    QStringList found;
    for (const TagMatch& m : FindTagMatches(m_text, tags))
        found.append(m_text.mid(m.at, m.length));
    return found;
}

int TextDocumentSession::ReplaceTags(const QList<QPair<QString, QString>>& values)
{
    requireDocument();
    ++m_passes;
    QStringList tags;
    QStringList texts;
    for (const auto& [tag, value] : values) {
        m_replaceCalls.append({tag, value});
        tags.append(tag);
        texts.append(value);
    }
    const QList<TagMatch> matches = FindTagMatches(m_text, tags);
    m_text = ReplaceTagMatches(m_text, matches, texts);
    return static_cast<int>(matches.size());
}

void TextDocumentSession::saveAs(const QString& path)
{
    requireDocument();
    QFile file(path);
    // NewOnly: an existing file is never replaced, not even in a race.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(m_text.toUtf8()) < 0 ||
        !file.flush())
        throw LumarelError(QStringLiteral("Не вдалося зберегти документ ") + path);
}

void TextDocumentSession::closeDocument() noexcept
{
    m_open = false;
}

void TextDocumentSession::quit() noexcept
{
    m_open = false;
    m_started = false;
    ++m_quits;
}
