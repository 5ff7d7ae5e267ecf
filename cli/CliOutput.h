#pragma once

#include "records/RecordStore.h"

#include <QString>
#include <QStringList>
#include <optional>

// UTF-8 output of the command-line converter.
namespace CliOutput {
void out(const QString& line); // stdout, with a line break
void err(const QString& line); // stderr, with a line break
// A text made safe for one column of a row: a backslash, a tab, a line break
// and every other control character are written as escapes ("\\", "\t",
// "\n", "\r", "\u001b"), so a row stays one line of tab-separated columns
// whatever a name holds.
QString cell(const QString& text);
// The cells, each made safe, joined by tabs, as one line on stdout.
void row(const QStringList& cells);
} // namespace CliOutput

// Exit codes shared by the verbs.
enum CliExit { ExitOk = 0, ExitError = 1, ExitRefused = 2, ExitSomeRowsFailed = 3, ExitUsage = 64 };

// Imports the file as the open command does. On a refusal or an error prints
// its text and gives the exit code; nothing when the file was read.
std::optional<int> ImportForCli(const QString& path, RecordStore& store,
                                QStringList* listLines = nullptr);

// The record numbers given after FILE.xml; nothing, after a message naming the
// verb, when one of them is not a number.
std::optional<QList<qint32>> RecordNumbersForCli(const QString& verb, const QStringList& numbers);

// The records to work on, in file order and each once: all of them when no
// number is given. A number no record has is said on stderr and sets
// *allFound to false.
QList<int> RecordsForCli(const QString& verb, const RecordStore& store, const QList<qint32>& wanted,
                         bool* allFound);
