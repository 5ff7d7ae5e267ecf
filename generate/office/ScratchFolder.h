#pragma once

#include <QString>
#include <QTemporaryDir>

// A private folder of this run: where the office stores finished documents
// before they are moved into Results or Examples, so that nothing half
// written is ever seen there, and where a template's private copy lies. Its
// name holds the run's process id. It is removed with the object; what a
// killed run left behind is removed by the next run that makes one.
class ScratchFolder {
public:
    // Throws LumarelError when the folder cannot be made.
    ScratchFolder();
    // parent: where to make it (the system's temporary folder by default).
    explicit ScratchFolder(const QString& parent);
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // Where finished documents wait to be placed: a folder in memory when
    // there is one with room and no temporary folder was chosen (TMPDIR),
    // since the office writes and syncs several files for every store;
    // otherwise the system's temporary folder.
    static QString StoreParent();

    // Removes the scratch folders under parent whose run has ended; those of
    // running processes are left alone.
    static void RemoveLeftovers(const QString& parent);

private:
    static void RemoveLeftoversOnce(const QString& parent);

    QTemporaryDir m_dir;
};
