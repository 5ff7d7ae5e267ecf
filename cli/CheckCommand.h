#pragma once

#include "checks/DataCheck.h"

#include <QList>
#include <QStringList>

// lumarel-convert check FILE.xml [NUMBER ...]
int RunCheckCommand(const QStringList& args);

// One row per finding on stdout: number, TAB, name, TAB, finding.
void PrintFindings(const QList<DataFinding>& findings);
