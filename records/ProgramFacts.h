#pragma once

#include "records/ProgramVersion.h"

#include <QString>

// The facts about the program and its maker that several windows, the update
// check and the package all state.
namespace ProgramFacts {
// Major and minor: the version the user sees and the update check compares with.
inline const QString ShortVersion =
    QString::number(ProgramVersion::Major) + u'.' + QString::number(ProgramVersion::Minor);
// Also the patch: the package's version, which --version prints.
inline const QString FullVersion = ShortVersion + u'.' + QString::number(ProgramVersion::Patch);
// The program's name in captions and in --version.
inline const QString ProgramName = QStringLiteral("Люмарель");
// The maker's site, without a closing "/".
inline const QString SiteAddress =
    QStringLiteral("https://") + QString::fromUtf16(ProgramVersion::SiteHost);
inline const QString MailAddress =
    QStringLiteral("info@") + QString::fromUtf16(ProgramVersion::SiteHost);
inline const QString MakerName = QStringLiteral("ПП \"ВЕРЕСК-ЛАБ\"");
} // namespace ProgramFacts
