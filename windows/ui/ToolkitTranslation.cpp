#include "windows/ui/ToolkitTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace ToolkitTranslation {

namespace {
bool installCatalogue(const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(name, folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
} // namespace

bool install()
{
    const bool toolkit = installCatalogue(QStringLiteral("qtbase_uk"),
                                          QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // Installed last, so looked in first.
    if (!installCatalogue(QString::fromUtf16(OwnCatalogue), QString()))
        qWarning("The program's catalogue of the toolkit's texts is missing");
    return toolkit;
}

} // namespace ToolkitTranslation
