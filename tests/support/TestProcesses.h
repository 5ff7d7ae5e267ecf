#pragma once

#include <QList>
#include <QString>

namespace TestProcesses {
// Running processes whose command line contains text — an office of ours is
// found by the private cache folder its profile lies in.
QList<qint64> mentioning(const QString& text);
} // namespace TestProcesses
