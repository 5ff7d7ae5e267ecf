#pragma once

#include <QString>

// The working directory captured once at start-up; every work folder and
// settings file hangs off it. Passed to whoever needs it.
class WorkDir {
public:
    WorkDir() = default;
    explicit WorkDir(QString path);
    // The process's current directory now.
    static WorkDir Capture();

    const QString& path() const { return m_path; }
    // The path plus "/" plus name (name without a leading separator).
    QString filePath(const QString& name) const;

    QString templatesFolder() const { return filePath(QStringLiteral("Templates")); }
    QString resultsFolder() const { return filePath(QStringLiteral("Results")); }
    QString examplesFolder() const { return filePath(QStringLiteral("Examples")); }
    QString addInfoFolder() const { return filePath(QStringLiteral("AddInfo")); }

private:
    QString m_path;
};
