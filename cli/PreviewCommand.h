#pragma once

#include <QStringList>

// lumarel-convert preview FILE.xml NUMBER --png OUT.png [--page K]
int RunPreviewCommand(const QStringList& args);
