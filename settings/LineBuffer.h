#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The line buffer through which settings files are read and written: every
// CR LF, lone CR and lone LF is one break; a missing line reads as empty;
// writing writes the text exactly, with no break added at the end.
class LineBuffer {
public:
    void clear() { m_text.clear(); }
    void setText(const QString& text);
    const QString& text() const { return m_text; } // breaks normalised to CR LF

    // Line k, 1-based; empty when there is no such line.
    QString line(int k) const;
    void appendLine(const QString& line); // line plus CR LF

    // Whole-file I/O in Windows-1251; throw LumarelError on failure.
    void loadFile(const QString& path);
    void saveFile(const QString& path) const;

private:
    QString m_text;
};
