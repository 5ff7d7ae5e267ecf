#pragma once

#include "generate/office/DocumentSession.h"

#include <QList>
#include <QPair>
#include <QString>

// A plain text held in memory, standing in for an office document: a template
// file is read as UTF-8 text and a save writes the text as UTF-8. It records
// the calls made on it (a search for tags counts as a read) so that the substitution can be checked
// step by step.
class TextDocumentSession : public DocumentSession {
public:
    TextDocumentSession() = default;
    explicit TextDocumentSession(QString text) : m_text(std::move(text)), m_open(true) {}

    void start(bool keepHidden) override;
    void open(const QString& templatePath) override;
    QList<QPair<DocumentPart, QString>> ReadPartTexts() override;
    QStringList FindTags(const QStringList& tags) override;
    int ReplaceTags(const QList<QPair<QString, QString>>& values) override;
    void saveAs(const QString& path) override;
    void closeDocument() noexcept override;
    void quit() noexcept override;

    const QString& text() const { return m_text; }
    int readCount() const { return m_reads; }
    // Every replacement asked for, one-pass ones pair by pair.
    const QList<QPair<QString, QString>>& replaceCalls() const { return m_replaceCalls; }
    int passCount() const { return m_passes; }
    bool started() const { return m_started; }
    bool hidden() const { return m_hidden; }
    int quitCount() const { return m_quits; }
    bool documentOpen() const { return m_open; }

private:
    void requireDocument() const;

    QString m_text;
    bool m_open = false;
    bool m_started = false;
    bool m_hidden = false;
    int m_reads = 0;
    int m_quits = 0;
    int m_passes = 0;
    QList<QPair<QString, QString>> m_replaceCalls;
};
