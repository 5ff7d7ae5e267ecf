#include "settings/Cp1251.h"

#include "records/LumarelError.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Cp1251 {

namespace {
constexpr const char* CodecName = "windows-1251";
const QString NoCodecText = QStringLiteral("Кодування Windows-1251 недоступне в цій системі");

QStringDecoder makeDecoder()
{
    QStringDecoder d(CodecName, QStringConverter::Flag::Stateless);
    if (!d.isValid())
        throw LumarelError(NoCodecText);
    return d;
}
} // namespace

QString decode(const QByteArray& bytes)
{
    QStringDecoder d = makeDecoder();
    return d.decode(bytes);
}

bool canEncode(const QString& text)
{
    QStringEncoder e(CodecName, QStringConverter::Flag::Stateless);
    if (!e.isValid())
        return false;
    const QByteArray bytes = e.encode(text);
    if (e.hasError())
        return false;
    // Round trip: the encoder may substitute instead of flagging an error.
    return decode(bytes) == text;
}

QByteArray encode(const QString& text)
{
    QStringEncoder e(CodecName, QStringConverter::Flag::Stateless);
    if (!e.isValid())
        throw LumarelError(NoCodecText);
    if (!canEncode(text)) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString ch = text.mid(i, len);
            if (!canEncode(ch))
                throw LumarelError(
                    QStringLiteral("Символ \"%1\" не можна зберегти у файлі налаштувань "
                                   "(кодування Windows-1251)")
                        .arg(ch));
            i += len - 1;
        }
        throw LumarelError(QStringLiteral("Текст не можна зберегти у кодуванні Windows-1251"));
    }
    return e.encode(text);
}

} // namespace Cp1251
