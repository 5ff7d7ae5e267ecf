#include "generate/PrintFile.h"

#include "generate/OutputPlacement.h"
#include "generate/ScratchFolder.h"
#include "records/LumarelError.h"

#include <QFile>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>
#include <vector>

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
        QPDFPageDocumentHelper pages(joined);
        // The parts stay open until the write: their pages are copied lazily.
        std::vector<std::unique_ptr<QPDF>> sources;
        for (const QString& part : parts) {
            auto source = std::make_unique<QPDF>();
            source->setSuppressWarnings(true);
            source->processFile(QFile::encodeName(part).constData());
            for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*source).getAllPages())
                pages.addPage(page, false);
            sources.push_back(std::move(source));
        }
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
