#pragma once

#include <QStringList>

// lumarel-convert lint TEMPLATE.doc
int RunLintCommand(const QStringList& args);
