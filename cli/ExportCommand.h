#pragma once

#include <QStringList>

// lumarel-convert export FILE.xml [NUMBER ...]
int RunExportCommand(const QStringList& args);
