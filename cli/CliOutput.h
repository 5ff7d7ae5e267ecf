#pragma once

#include "records/RecordStore.h"

#include <QString>
#include <QStringList>
#include <optional>

// UTF-8 output of the command-line converter.
namespace CliOutput {
void out(const QString& line); // stdout, with a line break
void err(const QString& line); // stderr, with a line break
} // namespace CliOutput

// Exit codes shared by the verbs.
enum CliExit { ExitOk = 0, ExitError = 1, ExitRefused = 2, ExitSomeRowsFailed = 3, ExitUsage = 64 };

// Imports the file as the open command does. On a refusal or an error prints
// its text and gives the exit code; nothing when the file was read.
std::optional<int> ImportForCli(const QString& path, RecordStore& store,
                                QStringList* listLines = nullptr);
