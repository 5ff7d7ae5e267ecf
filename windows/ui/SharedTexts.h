#pragma once

#include <QString>

// Captions that several windows show alike.
namespace SharedTexts {
inline const QString CloseButton = QStringLiteral("Закрити");
inline const QString ContinueButton = QStringLiteral("Продовжити");
// The first column of the check window's and the batch window's tables.
inline const QString StudentColumn = QStringLiteral("Студент");
} // namespace SharedTexts
