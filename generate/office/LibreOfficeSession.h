#pragma once

#include "generate/office/DocumentSession.h"

#include <QString>
#include <memory>

// The office engine: a LibreOffice process of our own, with a private profile
// and a uniquely named pipe, driven through the UNO bridge. It never attaches
// to an office the user has open and never leaves its process behind: quit()
// and the destructor end the whole process group.
class LibreOfficeSession : public DocumentSession {
public:
    explicit LibreOfficeSession(QString programDir = DefaultProgramDir());
    ~LibreOfficeSession() override;
    LibreOfficeSession(const LibreOfficeSession&) = delete;
    LibreOfficeSession& operator=(const LibreOfficeSession&) = delete;

    void start(bool keepHidden) override;
    void open(const QString& templatePath) override;
    QList<QPair<DocumentPart, QString>> ReadPartTexts() override;
    void watchChanges(bool on) override;
    TrackedChanges trackedChanges() const override;
    QList<DocumentMark> marks() const override;
    QStringList FindTags(const QStringList& tags) override;
    int ReplaceTags(const QList<QPair<QString, QString>>& values) override;
    void saveAs(const QString& path) override;
    void saveAsPdf(const QString& path) override;
    // A document filled in one step is not closed: its filling is undone
    // and the next open() of the same template file, unchanged on disk,
    // takes it up again (a fresh load every 50th time).
    void closeDocument() noexcept override;
    void quit() noexcept override;
    void abort() noexcept override;

    // How long one call may wait on the office before it is ended as hung
    // (OfficeCallBoundMs unless set).
    void setCallBound(int ms);

    // Whether the loops over the places a search found run inside the office
    // (the default) or call by call from here; set before start().
    void setOfficeLoops(bool inOffice);
    // Whether they do now: false before start(), when turned off, or when
    // the office cannot run them.
    bool officeLoopsRunning() const;

    // How many ranges the held templates' views select, all together.
    int heldSelections() const;
    // The office process (soffice.bin, leader of its own process group), 0
    // when none is running.
    qint64 processId() const;
    // How many times the office loaded a template file, as opposed to taking
    // up a held one.
    int templateLoads() const;

    // The folder holding soffice and the UNO type libraries.
    static QString DefaultProgramDir();
    // Whether the office program and its UNO runtime are there.
    static bool IsInstalled(const QString& programDir = DefaultProgramDir());

private:
    void requireDocument() const;
    void openTemplate(const QString& templatePath);
    QStringList findTags(const QStringList& tags);
    int replaceTags(const QList<QPair<QString, QString>>& values);

    struct Impl;
    std::unique_ptr<Impl> d;
};
