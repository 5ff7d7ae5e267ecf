#pragma once

#include <QString>

// The short form of a head's name written surname first, as printed under a
// signature: "Іваненко Петро Степанович" gives "П.С. Іваненко" with two
// initials, "P. Ivanenko" from "Ivanenko Petro" with one.
QString BossShortName(const QString& fullName, int initials);
