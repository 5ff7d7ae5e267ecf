#pragma once

#include <QString>

// Whether the office program and its UNO runtime are there; when not, the
// caller shows WordMissingText.
bool CheckWordInstalled();
bool CheckWordInstalled(const QString& officeProgramDir);
