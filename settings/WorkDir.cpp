#include "settings/WorkDir.h"

#include <QDir>

WorkDir::WorkDir(QString path) : m_path(std::move(path)) {}

WorkDir WorkDir::Capture()
{
    return WorkDir(QDir::currentPath());
}

QString WorkDir::filePath(const QString& name) const
{
    // The root folder already ends with the separator.
    if (m_path.endsWith(u'/'))
        return m_path + name;
    return m_path + u'/' + name;
}
