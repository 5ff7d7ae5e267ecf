#include "export/PrintFile.h"

#include "generate/OutputPlacement.h"
#include "generate/office/ScratchFolder.h"
#include "records/LumarelError.h"

#include <QFile>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>
#include <vector>

namespace {

// What a page takes from the tree above it (the office puts the page size
// and resources there) is set on the page itself, which leaves its tree.
void keepInherited(QPDFObjectHandle& page)
{
    for (const char* key : {"/MediaBox", "/CropBox", "/Resources", "/Rotate"}) {
        if (page.hasKey(key))
            continue;
        // A tree is never this deep; a loop in a broken one must not hang.
        int depth = 0;
        for (QPDFObjectHandle up = page.getKey("/Parent"); up.isDictionary() && depth < 64;
             up = up.getKey("/Parent"), ++depth) {
            if (up.hasKey(key)) {
                page.replaceKey(key, up.getKey(key));
                break;
            }
        }
    }
}

} // namespace

QString PrintFile::FileName(const QDateTime& when)
{
    return QStringLiteral("Друк_") + when.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
           QStringLiteral(".pdf");
}

void PrintFile::Join(const QStringList& parts, const QString& outputPath)
{
    const QString failure = QStringLiteral("Не вдалося зібрати файл для друку ") + outputPath;
    if (QFile::exists(outputPath))
        throw LumarelError(QStringLiteral("Файл ") + outputPath + QStringLiteral(" вже існує"));
    try {
        QPDF joined;
        joined.emptyPDF();
        // The page tree is written once at the end: adding pages one by one
        // walks every part's whole tree each time, most of the join's time.
        QPDFObjectHandle tree = joined.getRoot().getKey("/Pages");
        QPDFObjectHandle kids = QPDFObjectHandle::newArray();
        // The parts stay open until the write: their pages are copied lazily.
        std::vector<std::unique_ptr<QPDF>> sources;
        for (const QString& part : parts) {
            auto source = std::make_unique<QPDF>();
            source->setSuppressWarnings(true);
            source->processFile(QFile::encodeName(part).constData());
            for (QPDFPageObjectHelper& helper : QPDFPageDocumentHelper(*source).getAllPages()) {
                QPDFObjectHandle page = helper.getObjectHandle();
                keepInherited(page);
                QPDFObjectHandle copy = joined.copyForeignObject(page);
                copy.replaceKey("/Parent", tree);
                kids.appendItem(copy);
            }
            sources.push_back(std::move(source));
        }
        tree.replaceKey("/Kids", kids);
        tree.replaceKey("/Count", QPDFObjectHandle::newInteger(kids.getArrayNItems()));
        joined.updateAllPagesCache();
        QPDFWriter writer(joined, QFile::encodeName(outputPath).constData());
        writer.setStaticID(false);
        writer.write();
    } catch (const std::exception& e) {
        QFile::remove(outputPath);
        throw LumarelError(failure + QStringLiteral(": ") + QString::fromLocal8Bit(e.what()));
    }
}

QString PrintFile::Write(const QStringList& parts, const QString& folder, const QDateTime& when)
{
    const ScratchFolder scratch;
    const QString joined = scratch.filePath(QStringLiteral("print.pdf"));
    Join(parts, joined);
    return PlaceNamedFile(joined, folder, FileName(when));
}
