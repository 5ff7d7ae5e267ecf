#pragma once

#include <QStringList>

// lumarel-convert check FILE.xml [NUMBER ...]
int RunCheckCommand(const QStringList& args);
