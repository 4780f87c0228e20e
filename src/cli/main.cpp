// velmora-cli: the engines without a window, for scripts and headless machines.
#include "cli/clicommand.h"
#include "cli/clirun.h"
#include "platform/heapreuse.h"
#include "platform/inisettingsbackend.h"
#include "platform/nosettingsbackend.h"
#include "tagedit/tagjournal.h"

#include <QCoreApplication>
#include <QTextStream>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

std::atomic<bool> g_stop { false };

void requestStop(int)
{
    g_stop = true;
}

} // namespace

int main(int argc, char* argv[])
{
    reuseFreedMemory();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const CliCommand command = cliCommandFor(app.arguments().mid(1));
    if (!command.error.isEmpty()) {
        err << "velmora-cli: " << command.error << "\n\n" << cliUsageText();
        return CliExit::Usage;
    }
    if (command.name == CliCommand::Name::Help) {
        out << cliUsageText();
        return CliExit::Done;
    }
    if (command.name == CliCommand::Name::Version) {
        out << "velmora-cli " VELMORA_VERSION "\n";
        return CliExit::Done;
    }
    // Ctrl+C ends the run after the file in hand, so the journal stays true.
    struct sigaction action { };
    action.sa_handler = requestStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    CliContext context;
    context.out = &out;
    context.err = &err;
    context.dataFolder = TagJournal::defaultFolder();
    IniSettingsBackend userSettings;
    NoSettingsBackend noSettings;
    context.settings = command.noSettings ? static_cast<SettingsBackend*>(&noSettings) : &userSettings;
    context.stop = &g_stop;
    context.progress = ::isatty(STDERR_FILENO) == 1;
    return runCliCommand(command, context);
}
