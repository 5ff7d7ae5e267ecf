#include "generate/office/OfficeCalls.h"

#include "generate/office/OfficeStrings.h"
#include "records/LumarelError.h"

#include <QFileInfo>
#include <QUrl>

QString FileUrl(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

css::beans::PropertyValue Property(const char* name, const css::uno::Any& value)
{
    css::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

void ThrowOfficeError(const QString& what, const css::uno::Exception& e)
{
    const QString message = toQ(e.Message).trimmed();
    throw LumarelError(message.isEmpty() ? what : what + QStringLiteral(": ") + message);
}

QString LostText(const QString& what)
{
    return what + QStringLiteral(": LibreOffice аварійно завершив роботу");
}
