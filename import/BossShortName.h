#pragma once

#include <QString>

// The short form of a head's name written surname first, as printed under a
// signature: "Іваненко Петро Степанович" gives "П.С. Іваненко" with two
// initials, "P. Ivanenko" from "Ivanenko Petro" with one.
// Decided: a value that already holds initials ("Я.В. Кічук") or is one word
// is stored as written; the last character of the rest counts ("Іваненко І"
// gives "І.І. Іваненко"); the whole value is trimmed before it is split
// (" Коваль Іван Андрійович" gives "І.А. Коваль").
QString BossShortName(const QString& fullName, int initials);
