#include "import/XmlErrorTexts.h"

#include <libxml/xmlerror.h>

namespace {

struct Reason {
    int code;
    const char16_t* text; // %1: the name, %2: the other name
};

// The faults of hand-edited or cut-off exports, and of files that are no XML.
constexpr Reason Reasons[] = {
    {XML_ERR_DOCUMENT_EMPTY, u"у файлі немає жодного тегу: він порожній або це не xml-файл"},
    {XML_ERR_DOCUMENT_END, u"після закривального кореневого тегу є ще текст або теги"},
    {XML_ERR_TAG_NOT_FINISHED, u"файл обривається, а тег <%1> не закрито"},
    {XML_ERR_TAG_NAME_MISMATCH, u"закривальний тег </%2> не відповідає відкритому тегу <%1>"},
    {XML_ERR_GT_REQUIRED, u"тег <%1> не закрито символом «>»"},
    {XML_ERR_INVALID_CHAR, u"недопустимий символ"},
    {XML_ERR_INVALID_ENCODING, u"байти, які не є текстом у кодуванні файлу"},
    {XML_ERR_UNSUPPORTED_ENCODING, u"кодування «%1» не підтримується"},
    {XML_ERR_UNDECLARED_ENTITY, u"сутність &%1; не оголошено"},
    {XML_WAR_UNDECLARED_ENTITY, u"сутність &%1; не оголошено"},
    {XML_ERR_INVALID_CHARREF, u"неправильне посилання на символ (&#…;)"},
    {XML_ERR_ENTITYREF_SEMICOL_MISSING, u"після назви сутності немає «;»"},
    {XML_ERR_NAME_REQUIRED,
     u"очікувалася назва тегу, атрибута чи сутності; можливо, символ «&» не записано як &amp;"},
    {XML_ERR_LT_IN_ATTRIBUTE, u"символ «<» у значенні атрибута (має бути &lt;)"},
    {XML_ERR_ATTRIBUTE_NOT_STARTED, u"значення атрибута не взято в лапки"},
    {XML_ERR_ATTRIBUTE_NOT_FINISHED, u"значення атрибута не закрито лапками"},
    {XML_ERR_ATTRIBUTE_WITHOUT_VALUE, u"атрибут «%1» без значення"},
    {XML_ERR_ATTRIBUTE_REDEFINED, u"атрибут «%1» повторюється в одному тегу"},
    {XML_ERR_COMMENT_NOT_FINISHED, u"коментар не закрито («-->»)"},
    {XML_ERR_RESERVED_XML_NAME, u"заголовок <?xml …?> стоїть не на самому початку файлу"},
};

// The parser reports bytes that break the encoding as an invalid character,
// naming the bytes.
constexpr char16_t BytesOfNoEncoding[] =
    u"байти, які не є текстом у кодуванні файлу (без encoding у заголовку файл має бути в UTF-8)";

} // namespace

QString XmlFaultReason(const XmlFault& fault)
{
    if (fault.code == XML_ERR_INVALID_CHAR && fault.name.startsWith(u"Bytes:"))
        return QString::fromUtf16(BytesOfNoEncoding);
    for (const Reason& r : Reasons) {
        if (r.code != fault.code)
            continue;
        QString text = QString::fromUtf16(r.text);
        if (text.contains(u"%1"))
            text.replace(QStringLiteral("%1"), fault.name);
        if (text.contains(u"%2"))
            text.replace(QStringLiteral("%2"), fault.other);
        return text;
    }
    const QString own = fault.message.trimmed();
    return own.isEmpty() ? QStringLiteral("невідома помилка") : own;
}

QString XmlFaultPlace(const XmlFault& fault)
{
    if (fault.column > 0)
        return QStringLiteral("рядок %1, стовпець %2").arg(fault.line).arg(fault.column);
    return QStringLiteral("рядок %1").arg(fault.line);
}
