#pragma once

#include <QString>
#include <exception>

// The one exception type of the program: an unexpected failure carrying the
// text the user sees in the general error box.
class LumarelError : public std::exception {
public:
    explicit LumarelError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}
    const QString& text() const noexcept { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

// The texts of a file that could not be read or written: %1 the path, %2 the
// reason.
inline const QString ReadFileFailedText = QStringLiteral("Не вдалося прочитати файл \"%1\": %2");
inline const QString WriteFileFailedText = QStringLiteral("Не вдалося записати файл \"%1\": %2");
// A folder given where a file is expected: %1 the path.
inline const QString FolderNotFileText =
    QStringLiteral("Не вдалося відкрити файл \"%1\": це папка, а не файл");

// The user's text of the exception being handled; call it only inside a catch
// block.
QString CurrentErrorText();
