#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace TestProcesses {
// Running processes whose command line contains text — an office of ours is
// found by the private cache folder its profile lies in.
QList<qint64> mentioning(const QString& text);
// This run's scratch folders where the stores go: none may outlive its use.
QStringList ourScratchFolders();
} // namespace TestProcesses
