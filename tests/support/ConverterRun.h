#pragma once

#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// lumarel-convert as a user runs it: in a work folder of its own, with HOME
// and XDG_CACHE_HOME (where the office keeps its profile) in a folder of
// their own. A test that looks for offices started under that folder, or runs
// two converters in one work folder, passes the folder it shares.
class ConverterRun {
public:
    struct Result {
        int exitCode = -1; // -1: it crashed, or still ran at the time-out
        QString out;
        QStringList lines;       // of out, empty ones left out
        QList<QStringList> rows; // the lines split by tab
        QString err;
    };

    explicit ConverterRun(const QString& home = QString(), const QString& work = QString());

    QString work() const { return m_workPath; }
    QString file(const QString& name) const { return m_workPath + u'/' + name; }
    void set(const QString& name, const QString& value) { m_env.insert(name, value); }
    void unset(const QString& name) { m_env.remove(name); }

    Result run(const QStringList& args, int timeoutMs = 300000)
    {
        start(args);
        return finish(timeoutMs);
    }

    // For a test that acts while the converter works.
    void start(const QStringList& args);
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    qint64 processId() const { return m_process.processId(); }
    // All of stdout so far, after waiting up to waitMs for more.
    QString outputSoFar(int waitMs = 20);
    Result finish(int timeoutMs = 300000);

private:
    QTemporaryDir m_ownWork;
    QTemporaryDir m_ownHome;
    QString m_workPath;
    QProcessEnvironment m_env;
    QProcess m_process;
    QByteArray m_out;
};
