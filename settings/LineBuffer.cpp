#include "settings/LineBuffer.h"

#include "records/LumarelError.h"
#include "settings/Cp1251.h"

#include <QFile>
#include <QSaveFile>

void LineBuffer::setText(const QString& text)
{
    m_text.clear();
    m_text.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            m_text += QStringLiteral("\r\n");
        } else if (c == u'\n') {
            m_text += QStringLiteral("\r\n");
        } else {
            m_text += c;
        }
    }
}

QString LineBuffer::line(int k) const
{
    if (k < 1)
        return {};
    qsizetype start = 0;
    for (int i = 1; i < k; ++i) {
        const qsizetype brk = m_text.indexOf(QStringLiteral("\r\n"), start);
        if (brk < 0)
            return {};
        start = brk + 2;
    }
    const qsizetype end = m_text.indexOf(QStringLiteral("\r\n"), start);
    return m_text.mid(start, end < 0 ? -1 : end - start);
}

void LineBuffer::appendLine(const QString& line)
{
    m_text += line;
    m_text += QStringLiteral("\r\n");
}

void LineBuffer::loadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw LumarelError(ReadFileFailedText.arg(path, f.errorString()));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw LumarelError(ReadFileFailedText.arg(path, f.errorString()));
    setText(Cp1251::decode(bytes));
}

void LineBuffer::saveFile(const QString& path) const
{
    const QByteArray bytes = Cp1251::encode(m_text);
    // Written whole or not at all: an interrupted save keeps the old file.
    // commit() does not notice a buffer that could only partly be written
    // (disk full), so the flush is checked first.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush() ||
        !f.commit())
        throw LumarelError(WriteFileFailedText.arg(path, f.errorString()));
}
