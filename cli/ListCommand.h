#pragma once

#include <QStringList>

// lumarel-convert list FILE.xml
int RunListCommand(const QStringList& args);
