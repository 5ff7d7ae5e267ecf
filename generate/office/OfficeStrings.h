#pragma once

#include <QString>

#include <rtl/ustring.hxx>

// Our strings and the office's are both UTF-16: passed across as they are.
inline rtl::OUString toOU(const QString& text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()),
                         static_cast<sal_Int32>(text.size()));
}

inline QString toQ(const rtl::OUString& text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text.getStr()), text.getLength());
}
