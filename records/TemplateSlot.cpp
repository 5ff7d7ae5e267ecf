#include "records/TemplateSlot.h"

#include "records/TextRules.h"

QStringList TemplateSlotNames()
{
    return {
        QStringLiteral("Диплом мол. спец."),  QStringLiteral("Диплом мол. спец. з відзнакою"),
        QStringLiteral("Диплом бакалавра"),   QStringLiteral("Диплом бакалавра з відзнакою"),
        QStringLiteral("Диплом спеціаліста"), QStringLiteral("Диплом спеціаліста з відзнакою"),
        QStringLiteral("Диплом магістра"),    QStringLiteral("Диплом магістра з відзнакою"),
    };
}

QString TemplateSlotName(int slot)
{
    const QStringList names = TemplateSlotNames();
    return slot >= 1 && slot <= names.size() ? names.at(slot - 1) : QString();
}

std::optional<int> TemplateSlotFor(const QString& levelCode, const QString& awardTypeName)
{
    const QString code = TextRules::TrimControls(levelCode);
    if (code.isEmpty())
        return std::nullopt;
    const char16_t digit = code.at(0).unicode();
    if (digit < u'5' || digit > u'8')
        return std::nullopt;
    const int base = 1 + 2 * (digit - u'5');
    const bool honours = !awardTypeName.isEmpty() && awardTypeName != QStringLiteral("0");
    return base + (honours ? 1 : 0);
}
