#include "generate/office/OfficeLocale.h"

#include <clocale>
#include <locale.h>

namespace OfficeLocale {

namespace {
const QString LcAll = QStringLiteral("LC_ALL");
const QString LcCtype = QStringLiteral("LC_CTYPE");
const QString Lang = QStringLiteral("LANG");
const QString Fallback = QStringLiteral("C.UTF-8");

// The language part: "uk_UA.KOI8-U@euro" gives "uk_UA".
QString language(const QString& locale)
{
    qsizetype end = locale.indexOf(u'.');
    if (end < 0)
        end = locale.indexOf(u'@');
    return end < 0 ? locale : locale.left(end);
}
} // namespace

bool NamesUtf8(const QString& locale)
{
    const qsizetype dot = locale.indexOf(u'.');
    if (dot < 0)
        return false;
    QString codeset = locale.mid(dot + 1);
    const qsizetype at = codeset.indexOf(u'@');
    if (at >= 0)
        codeset.truncate(at);
    codeset = codeset.toLower();
    return codeset == u"utf-8" || codeset == u"utf8";
}

bool Exists(const QString& locale)
{
    if (locale.isEmpty())
        return false;
    const locale_t l = ::newlocale(LC_CTYPE_MASK, locale.toLatin1().constData(), nullptr);
    if (l == nullptr)
        return false;
    ::freelocale(l);
    return true;
}

QProcessEnvironment WithUtf8(QProcessEnvironment env)
{
    const QString all = env.value(LcAll);
    const QString ctype = env.value(LcCtype);
    const QString deciding = !all.isEmpty() ? all : !ctype.isEmpty() ? ctype : env.value(Lang);
    if (NamesUtf8(deciding) && Exists(deciding))
        return env;
    QString replacement = Fallback;
    const QString lang = language(deciding);
    if (!lang.isEmpty() && lang != u"C" && lang != u"POSIX") {
        const QString same = lang + QStringLiteral(".UTF-8");
        if (Exists(same))
            replacement = same;
    }
    env.insert(all.isEmpty() ? LcCtype : LcAll, replacement);
    return env;
}

} // namespace OfficeLocale
