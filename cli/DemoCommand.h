#pragma once

#include <QStringList>

// lumarel-convert demo FILE.xml NUMBER
int RunDemoCommand(const QStringList& args);
