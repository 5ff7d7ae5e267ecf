#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The eight document kinds, numbered 1 to 8.
enum class TemplateSlot : int {
    JuniorSpecialist = 1,
    JuniorSpecialistHonours = 2,
    Bachelor = 3,
    BachelorHonours = 4,
    Specialist = 5,
    SpecialistHonours = 6,
    Master = 7,
    MasterHonours = 8,
};

constexpr int TemplateSlotCount = 8;

// The slot's name as the user sees it ("Диплом бакалавра", ...); slot 1 to 8.
QString TemplateSlotName(int slot);
QStringList TemplateSlotNames();

// The slot chosen by a level code and an honours mark; none when the trimmed
// code does not start with one of the digits 5 to 8.
std::optional<int> TemplateSlotFor(const QString& levelCode, const QString& awardTypeName);
