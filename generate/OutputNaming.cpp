#include "generate/OutputNaming.h"

#include <QFileInfo>

namespace {

// Room for the ending and a "(NNNN)" counter within a 255-byte file name.
constexpr qsizetype MaxNameBytes = 200;

// Format characters (right-to-left overrides, zero-width spaces, ...) are
// invisible and can make a name read as something else; the line and
// paragraph separators break it in two where tools show it.
bool isForbiddenInFileName(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return c == u' ' || category == QChar::Other_Control || category == QChar::Other_Format ||
           category == QChar::Separator_Line || category == QChar::Separator_Paragraph ||
           (c <= 0xFFFF && QStringView(u"\\/:*?\"<>|").contains(QChar(char16_t(c))));
}

bool taken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString outputEnding(OutputKind kind)
{
    switch (kind) {
    case OutputKind::Regular:
        return QStringLiteral("_Диплом.doc");
    case OutputKind::Demonstration:
        return QStringLiteral("_Диплом_ДЕМО.doc");
    }
    return QString();
}

} // namespace

QString DocumentFileName(const QString& name, OutputKind kind)
{
    QString safe;
    safe.reserve(name.size());
    for (const char32_t c : name.toUcs4()) {
        if (isForbiddenInFileName(c))
            safe.append(u'_');
        else
            safe.append(QChar::fromUcs4(c));
    }
    // A leading dot would hide the file.
    if (safe.startsWith(u'.'))
        safe[0] = u'_';
    while (safe.toUtf8().size() > MaxNameBytes)
        safe.chop(safe.size() >= 2 && safe.back().isLowSurrogate() ? 2 : 1);
    return safe + outputEnding(kind);
}

QString BuildOutputPath(const QString& folder, const QString& name, OutputKind kind, bool withPdf)
{
    const QString fileName = DocumentFileName(name, kind);
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    for (int counter = 0;; ++counter) {
        const QString candidate = prefix + NumberedFileName(fileName, counter);
        if (!taken(candidate) && !(withPdf && taken(PdfSiblingName(candidate))))
            return candidate;
    }
}

QString NumberedFileName(const QString& fileName, int counter)
{
    if (counter == 0)
        return fileName;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString stem = dot < 0 ? fileName : fileName.left(dot);
    const QString extension = dot < 0 ? QString() : fileName.mid(dot);
    return stem + u'(' + QString::number(counter) + u')' + extension;
}

QString PdfSiblingName(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    const qsizetype slash = path.lastIndexOf(u'/');
    return (dot <= slash ? path : path.left(dot)) + QStringLiteral(".pdf");
}
