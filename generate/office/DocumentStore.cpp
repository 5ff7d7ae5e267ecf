#include "generate/office/DocumentStore.h"

#include "generate/office/OfficeStrings.h"
#include "records/LumarelError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <com/sun/star/frame/XStorable.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

void store(const Reference<css::lang::XComponent>& document, const QString& path,
           StoreFormat format)
{
    Reference<css::frame::XStorable> doc(document, UNO_QUERY_THROW);
    // SelectPdfVersion 2: PDF/A-2b, the form archives take.
    const css::beans::PropertyValue pdfData[] = {
        Property("SelectPdfVersion", css::uno::Any(sal_Int32(2))),
    };
    const bool pdf = format == StoreFormat::PdfA2b;
    const css::beans::PropertyValue args[] = {
        Property("FilterName",
                 css::uno::Any(pdf ? OUString("writer_pdf_Export") : OUString("MS Word 97"))),
        Property("Overwrite", css::uno::Any(false)),
        Property("FilterData", css::uno::Any(css::uno::Sequence<css::beans::PropertyValue>(
                                   pdfData, pdf ? std::size(pdfData) : 0))),
    };
    doc->storeToURL(toOU(FileUrl(path)), css::uno::Sequence<css::beans::PropertyValue>(
                                             args, std::size(args) - (pdf ? 0 : 1)));
}

} // namespace

void StoreCopy(const Reference<css::lang::XComponent>& document, const QString& path,
               const QString& what, StoreFormat format, const OfficeAlive& alive)
{
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        throw LumarelError(QStringLiteral("Файл ") + path + QStringLiteral(" вже існує"));
    // The office would make missing folders on its own.
    if (!target.absoluteDir().exists())
        throw LumarelError(QStringLiteral("Папка ") + target.absolutePath() +
                           QStringLiteral(" не існує"));
    try {
        OfficeStep(what + path, alive, [&] { store(document, path, format); });
    } catch (...) {
        // The path was free before: whatever lies there now is our broken half.
        QFile::remove(path);
        // So is the lock file of an office killed while storing: left there,
        // it refuses the next office's store to the same path.
        QFile::remove(
            target.absoluteDir().filePath(QStringLiteral(".~lock.") + target.fileName() + u'#'));
        throw;
    }
    if (!QFileInfo::exists(path))
        throw LumarelError(what + path);
}
