#include "generate/office/OpenDocument.h"

#include "generate/office/DocumentMarks.h"
#include "generate/office/OfficeStrings.h"
#include "generate/office/PartTexts.h"
#include "generate/tags/TagTable.h"
#include "records/LumarelError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XRedlinesSupplier.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

// The template's copy in a folder of its own, which goes with the document;
// one a killed run left behind goes with the next run's.
std::unique_ptr<ScratchFolder> privateCopy(const QString& templatePath, QString& copy)
{
    auto copyDir = std::make_unique<ScratchFolder>();
    const QString suffix = QFileInfo(templatePath).suffix();
    copy = copyDir->filePath(suffix.isEmpty() ? QStringLiteral("template")
                                              : QStringLiteral("template.") + suffix);
    if (!QFile::copy(templatePath, copy))
        throw LumarelError(QStringLiteral("Не вдалося прочитати шаблон ") + templatePath);
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    return copyDir;
}

// Has the office accept every tracked change, as its own command does.
void acceptAllChanges(const Reference<css::frame::XModel>& model,
                      const Reference<css::uno::XComponentContext>& office)
{
    if (!model.is())
        return;
    Reference<css::frame::XController> controller = model->getCurrentController();
    Reference<css::frame::XDispatchProvider> frame(
        controller.is() ? controller->getFrame() : nullptr, UNO_QUERY);
    if (frame.is())
        css::frame::DispatchHelper::create(office)->executeDispatch(
            frame, OUString(".uno:AcceptAllTrackedChanges"), OUString(), 0, {});
}

} // namespace

QString TemplateKey(const QString& templatePath)
{
    const QFileInfo source(templatePath);
    return source.absoluteFilePath() + u'|' + QString::number(source.size()) + u'|' +
           QString::number(source.lastModified().toMSecsSinceEpoch());
}

OpenDocument LoadTemplate(const Reference<css::frame::XDesktop2>& desktop,
                          const QString& templatePath, bool hidden, const OfficeAlive& alive)
{
    QString copy;
    std::unique_ptr<ScratchFolder> copyDir = privateCopy(templatePath, copy);
    const QString what = QStringLiteral("Не вдалося відкрити шаблон ") + templatePath;
    bool isText = false;
    Reference<css::lang::XComponent> loaded = OfficeStep(what, alive, [&] {
        const css::beans::PropertyValue args[] = {
            Property("Hidden", css::uno::Any(hidden)),
            Property("ReadOnly", css::uno::Any(false)),
            Property("MacroExecutionMode",
                     css::uno::Any(css::document::MacroExecMode::NEVER_EXECUTE)),
            Property("UpdateDocMode", css::uno::Any(css::document::UpdateDocMode::NO_UPDATE)),
        };
        Reference<css::lang::XComponent> doc = desktop->loadComponentFromURL(
            toOU(FileUrl(copy)), OUString("_blank"), 0,
            css::uno::Sequence<css::beans::PropertyValue>(args, std::size(args)));
        isText = Reference<css::text::XTextDocument>(doc, UNO_QUERY).is();
        return doc;
    });
    if (!loaded.is())
        throw LumarelError(what);
    if (!isText) {
        CloseOfficeDocument(loaded);
        throw LumarelError(what + QStringLiteral(": це не текстовий документ"));
    }
    OpenDocument doc;
    doc.document = std::move(loaded);
    doc.copyDir = std::move(copyDir);
    doc.templatePath = templatePath;
    return doc;
}

void PrepareForFilling(OpenDocument& doc, const Reference<css::uno::XComponentContext>& office,
                       bool watchChanges, TrackedChanges& changes, QList<DocumentMark>& marks)
{
    // No view to update while the tags are replaced, and no replacement
    // recorded as a change, whatever the template was saved with.
    Reference<css::frame::XModel> model(doc.document, UNO_QUERY);
    if (model.is())
        model->lockControllers();
    Reference<css::beans::XPropertySet> settings(doc.document, UNO_QUERY_THROW);
    // The template check wants the changes as saved; the export pays nothing.
    changes = TrackedChanges();
    if (watchChanges)
        settings->getPropertyValue(OUString("RecordChanges")) >>= changes.recording;
    settings->setPropertyValue(OUString("RecordChanges"), css::uno::Any(false));
    // Changes the template was saved with are accepted in the copy, so that
    // a tag a tracked change splits reads as one and the saved document
    // carries none. Where the office cannot, the search finds nothing: the
    // template is then unusable rather than half filled.
    Reference<css::document::XRedlinesSupplier> redlines(doc.document, UNO_QUERY_THROW);
    if (redlines->getRedlines()->hasElements()) {
        if (watchChanges)
            NoteTrackedChanges(doc.document, changes);
        acceptAllChanges(model, office);
        doc.unacceptedChanges = redlines->getRedlines()->hasElements();
    }
    marks.clear();
    const bool hasFields = HasTextFields(doc.document);
    // A field as saved may show a text older than what it stands for.
    if (hasFields)
        RefreshFields(doc.document);
    if (watchChanges)
        marks = ReadMarks(doc.document);
    if (hasFields)
        UnlinkTagFields(doc.document, TagTable::Tags());
    doc.refreshAfterFilling = hasFields && HasFieldsOfText(doc.document);
}

void CloseOfficeDocument(const Reference<css::lang::XComponent>& document) noexcept
{
    if (!document.is())
        return;
    try {
        Reference<css::util::XCloseable> closeable(document, UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        else
            document->dispose();
    } catch (const css::util::CloseVetoException&) {
        // closes itself later, when whoever vetoed lets go
    } catch (...) {
        // a dead office: quit ends the process
    }
}
