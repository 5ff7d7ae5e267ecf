#include "generate/office/OfficeProfile.h"

#include "records/LumarelError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>

#include <mutex>
#include <unistd.h>

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

constexpr int ProfilePoolSize = 64;

bool writable(const QString& path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

QString notWritableText(const QString& path)
{
    return (QFileInfo(path).isDir() ? QStringLiteral("Папка %1 недоступна для запису")
                                    : QStringLiteral("Файл %1 недоступний для запису"))
        .arg(path);
}

// The first folder or file of the profile the office could not write; it
// would only die at its start, without a word of why.
QString unwritableIn(const QString& dir)
{
    if (!writable(dir))
        return dir;
    QDirIterator entries(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        if (!entries.fileInfo().isSymLink() && !writable(path))
            return path;
    }
    return QString();
}

} // namespace

void OfficeProfile::take()
{
    // Two threads of ours must not race for the same lock file.
    static std::mutex taking;
    const std::lock_guard lock(taking);
    QString root = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (root.isEmpty())
        root = QDir::tempPath();
    root += QStringLiteral("/lumarel");
    if (!QDir().mkpath(root))
        throw LumarelError(QStringLiteral("Не вдалося створити папку ") + root);
    // Else every profile would look taken.
    if (!writable(root))
        throw LumarelError(notWritableText(root));
    for (int k = 0; k < ProfilePoolSize; ++k) {
        const QString dir = root + QStringLiteral("/office-profile-%1").arg(k);
        auto lock = std::make_unique<QLockFile>(dir + QStringLiteral(".lock"));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            if (!QDir().mkpath(dir))
                throw LumarelError(QStringLiteral("Не вдалося створити папку ") + dir);
            if (const QString blocked = unwritableIn(dir); !blocked.isEmpty())
                throw LumarelError(QStringLiteral("Профіль LibreOffice не можна змінити: ") +
                                   notWritableText(blocked));
            m_lock = std::move(lock);
            m_dir = dir;
            return;
        }
    }
    throw LumarelError(QStringLiteral("Усі профілі LibreOffice зайняті (") + root +
                       QStringLiteral(")"));
}

void OfficeProfile::release() noexcept
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

void OfficeProfile::wipe()
{
    QDir(m_dir).removeRecursively();
    QDir().mkpath(m_dir);
}

namespace {

// A node of the running office's configuration, to change and commit.
Reference<css::container::XNameAccess>
settingsNode(const Reference<css::uno::XComponentContext>& office, const char* path)
{
    const Reference<css::lang::XMultiServiceFactory> provider =
        css::configuration::theDefaultProvider::get(office);
    css::beans::NamedValue node;
    node.Name = OUString("nodepath");
    node.Value <<= OUString::createFromAscii(path);
    const css::uno::Any arguments[] = {css::uno::Any(node)};
    return Reference<css::container::XNameAccess>(
        provider->createInstanceWithArguments(
            OUString("com.sun.star.configuration.ConfigurationUpdateAccess"),
            css::uno::Sequence<css::uno::Any>(arguments, std::size(arguments))),
        UNO_QUERY_THROW);
}

void replaceAndCommit(const Reference<css::container::XNameAccess>& node, const char* name,
                      const css::uno::Any& value)
{
    Reference<css::container::XNameReplace>(node, UNO_QUERY_THROW)
        ->replaceByName(OUString::createFromAscii(name), value);
    Reference<css::util::XChangesBatch>(node, UNO_QUERY_THROW)->commitChanges();
}

} // namespace

// An office whose profile does not record that this version has run it
// takes its first start after an upgrade to be every start, and runs its
// drawing self-tests (seconds on a small machine) before it answers. It only
// records that when it shows a document window, which ours never does: the
// profile is told here, for the next start.
void MarkProfileCurrent(const Reference<css::uno::XComponentContext>& office) noexcept
{
    try {
        const Reference<css::container::XNameAccess> product =
            settingsNode(office, "/org.openoffice.Setup/Product");
        OUString version, last;
        product->getByName(OUString("ooSetupVersion")) >>= version;
        product->getByName(OUString("ooSetupLastVersion")) >>= last;
        if (!version.isEmpty() && version != last)
            replaceAndCommit(product, "ooSetupLastVersion", css::uno::Any(version));
    } catch (...) {
        // the next start tries again
    }
}

// With dictionaries installed, the office checks the spelling of every
// document it holds while it idles, on the cores the batch needs, for red
// lines nobody sees: our documents are never edited in its windows.
void TurnOffSpellingAsYouType(const Reference<css::uno::XComponentContext>& office) noexcept
{
    try {
        const Reference<css::container::XNameAccess> spelling =
            settingsNode(office, "/org.openoffice.Office.Linguistic/SpellChecking");
        bool on = false;
        spelling->getByName(OUString("IsSpellAuto")) >>= on;
        if (on)
            replaceAndCommit(spelling, "IsSpellAuto", css::uno::Any(false));
    } catch (...) {
        // only slower
    }
}
