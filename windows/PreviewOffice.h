#pragma once

#include "generate/DocumentPreview.h"
#include "records/RecordStore.h"
#include "settings/WorkDir.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

// What the preview window shows for one graduate.
struct PreviewShown {
    int recordIndex = 0;
    PreviewPage page;
    QByteArray pdf;       // the pages; empty when the page's place holds a text
    QString error;        // an unexpected failure, said in the page's place
    QStringList findings; // the check before printing, as the findings window says it
};

// The preview's office on a thread of its own, so the window stays drawn and
// answers the user while a page is made. The office lives and dies on that
// thread; ended with the object, which also removes the scratch files.
class PreviewOffice : public QObject {
    Q_OBJECT
public:
    // makeSession is called on the worker thread.
    PreviewOffice(const RecordStore& store, WorkDir workDir, SessionFactory makeSession = {},
                  QObject* parent = nullptr);
    // Waits for the page in hand.
    ~PreviewOffice() override;

    // Asks for the page of the record; shown() follows. Asked again before
    // the office took it up, only the latest is made.
    void show(int recordIndex);
    // The single export of the record in the preview's office. Waits for it,
    // the windows drawn meanwhile and the user's input held back; errors are
    // passed on.
    SavedDocument save(int recordIndex, bool alsoPdf);

Q_SIGNALS:
    void shown(const PreviewShown& page);

private:
    struct SaveJob {
        int recordIndex = 0;
        bool alsoPdf = false;
    };
    void work();
    PreviewShown makePage(DocumentPreview& preview, int recordIndex);

    const RecordStore& m_store;
    WorkDir m_workDir;
    SessionFactory m_makeSession;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<int> m_wanted;
    std::optional<SaveJob> m_save;
    std::optional<SavedDocument> m_saved;
    std::exception_ptr m_saveError;
    bool m_stopping = false;
    std::thread m_thread;
};
