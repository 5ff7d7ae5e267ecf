#include "resources/ExtractResourceFile.h"

#include "records/LumarelError.h"
#include "resources/LumarelResources.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

// Q_INIT_RESOURCE names a global symbol, so it must not sit in a namespace.
static void initResourcesOnce()
{
    Q_INIT_RESOURCE(lumarel);
}

void InitLumarelResources()
{
    static const bool done = (initResourcesOnce(), true);
    (void)done;
}

namespace {

const QString documentsPrefix = QStringLiteral(":/sometype");

QString findDocument(const QString& name)
{
    const QStringList names = QDir(documentsPrefix).entryList(QDir::Files);
    for (const QString& candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return documentsPrefix + QLatin1Char('/') + candidate;
    }
    return {};
}

QString joinPath(const QString& folder, const QString& fileName)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}

} // namespace

void ExtractResourceFile(const QString& folder, const QString& resourceName,
                         const QString& fileName)
{
    // A folder that cannot be made shows up as a write failure below.
    if (!folder.isEmpty())
        QDir().mkpath(folder);

    const QString source = resourceName.isEmpty() ? QString() : findDocument(resourceName);
    if (source.isEmpty())
        throw LumarelError(
            QStringLiteral("У програмі немає вбудованого документа \"%1\"").arg(resourceName));

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw LumarelError(QStringLiteral("Не вдалося прочитати вбудований документ \"%1\": %2")
                               .arg(resourceName, in.errorString()));
    const QByteArray bytes = in.readAll();

    // Written beside the target and renamed over it, so a failure never
    // leaves a half-written copy in place of a good one.
    const QString target = joinPath(folder, fileName);
    QSaveFile out(target);
    // commit() alone misses a buffer only partly written (disk full).
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush() ||
        !out.commit()) {
        const QString reason = out.errorString();
        out.cancelWriting();
        throw LumarelError(WriteFileFailedText.arg(QDir::toNativeSeparators(target), reason));
    }
}
