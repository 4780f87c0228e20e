#pragma once

#include "cli/clicommand.h"
#include "platform/fileerror.h"

#include <QString>
#include <QTextStream>

#include <atomic>

class SettingsBackend;

// Where a command-line run reports and what it may look at while it runs.
struct CliContext {
    QTextStream* out = nullptr; // results
    QTextStream* err = nullptr; // failures, one line each naming the file; the progress line
    QString dataFolder; // where journals and logs go (ends in "/"): the window's own
    SettingsBackend* settings = nullptr; // the options and filters of rename and mass-rename
    const std::atomic<bool>* stop = nullptr; // set (by Ctrl+C): end after the current file
    bool progress = false; // draw a progress line on err (a terminal)
};

// Exit statuses: everything done, some files failed, bad usage, stopped.
namespace CliExit {
constexpr int Done = 0;
constexpr int SomeFailed = 1;
constexpr int Usage = 2;
constexpr int Stopped = 130;
} // namespace CliExit

// Runs one command; returns its exit status.
int runCliCommand(const CliCommand& command, const CliContext& context);

// "path: description (number)", the line that names a failed file.
QString cliErrorLine(const QString& path, const FileError& error);

// Whether a stop was asked for (Ctrl+C).
bool cliStopRequested(const CliContext& context);

// The journal of the command line's last tag or strip run in folder (which
// ends in "/").
QString cliJournalPath(const QString& folder);
