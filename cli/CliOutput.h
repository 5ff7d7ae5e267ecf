#pragma once

#include <QString>

// UTF-8 output of the command-line converter.
namespace CliOutput {
void out(const QString& line); // stdout, with a line break
void err(const QString& line); // stderr, with a line break
} // namespace CliOutput

// Exit codes shared by the verbs.
enum CliExit { ExitOk = 0, ExitError = 1, ExitRefused = 2, ExitSomeRowsFailed = 3, ExitUsage = 64 };
