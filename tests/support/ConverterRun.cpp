#include "tests/support/ConverterRun.h"

ConverterRun::ConverterRun(const QString& home, const QString& work)
    : m_workPath(work.isEmpty() ? m_ownWork.path() : work),
      m_env(QProcessEnvironment::systemEnvironment())
{
    const QString h = home.isEmpty() ? m_ownHome.path() : home;
    m_env.insert(QStringLiteral("HOME"), h);
    m_env.insert(QStringLiteral("XDG_CACHE_HOME"), h);
}

void ConverterRun::start(const QStringList& args)
{
    m_out.clear();
    m_process.setWorkingDirectory(m_workPath);
    m_process.setProcessEnvironment(m_env);
    m_process.start(QStringLiteral(LUMAREL_CONVERT), args);
    m_process.waitForStarted();
}

QString ConverterRun::outputSoFar(int waitMs)
{
    if (waitMs > 0 && running())
        m_process.waitForReadyRead(waitMs);
    m_out += m_process.readAllStandardOutput();
    return QString::fromUtf8(m_out);
}

ConverterRun::Result ConverterRun::finish(int timeoutMs)
{
    Result r;
    m_process.waitForFinished(timeoutMs);
    if (!running() && m_process.exitStatus() == QProcess::NormalExit)
        r.exitCode = m_process.exitCode();
    r.out = outputSoFar(0);
    r.err = QString::fromUtf8(m_process.readAllStandardError());
    r.lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : std::as_const(r.lines))
        r.rows << line.split(u'\t');
    return r;
}
