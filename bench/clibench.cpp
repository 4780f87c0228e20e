// The command line's engines without the process around them: info over a
// folder, and a mass rename as velmora-cli runs it (printing each row,
// keeping none), with its speed and the peak memory of the whole process.
#include "peakmemory.h"

#include "cli/clirun.h"
#include "platform/audiofiles.h"
#include "platform/nosettingsbackend.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

struct Outcome {
    int status = 0;
    qint64 ns = 0;
};

// Runs the command with its output thrown away.
Outcome runQuietly(const CliCommand& command, const QString& dataFolder)
{
    QFile null(QStringLiteral("/dev/null"));
    null.open(QIODevice::WriteOnly);
    QTextStream out(&null);
    QTextStream err(stderr);
    NoSettingsBackend settings;
    CliContext context;
    context.out = &out;
    context.err = &err;
    context.dataFolder = dataFolder;
    context.settings = &settings;
    QElapsedTimer timer;
    timer.start();
    const int status = runCliCommand(command, context);
    return { status, timer.nsecsElapsed() };
}

void printOutcome(qint64 files, const Outcome& outcome)
{
    const double seconds = double(outcome.ns) / 1e9;
    std::printf("files: %lld\nseconds: %.3f\nfiles_per_second: %.0f\npeak_resident_mb: %.1f\nstatus: %d\n",
        static_cast<long long>(files), seconds, seconds > 0 ? double(files) / seconds : 0.0,
        double(peakResidentKb()) / 1024, outcome.status);
}

} // namespace

int cliInfoBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: velmora-bench cli-info DIR\n");
        return 2;
    }
    const QDir dir(args.at(0));
    CliCommand command;
    command.name = CliCommand::Name::Info;
    for (const QString& name : listAudioFiles(dir.path(), ListedFormats::All))
        command.files << dir.filePath(name);
    QTemporaryDir data;
    const Outcome outcome = runQuietly(command, data.path() + QLatin1Char('/'));
    printOutcome(command.files.size(), outcome);
    return outcome.status;
}

int cliMassRenameBench(const QStringList& args)
{
    if (args.size() < 2 || args.size() > 4) {
        std::fprintf(stderr, "usage: velmora-bench cli-mass-rename DIR FORMAT [--subdirs] [--preview]\n");
        return 2;
    }
    CliCommand command;
    command.name = CliCommand::Name::MassRename;
    command.files << args.at(0);
    command.format = args.at(1);
    command.subdirs = args.contains(QStringLiteral("--subdirs"));
    command.preview = args.contains(QStringLiteral("--preview"));
    QTemporaryDir data;
    const qint64 files = QDir(args.at(0)).entryList(QDir::Files).size();
    const Outcome outcome = runQuietly(command, data.path() + QLatin1Char('/'));
    printOutcome(files, outcome);
    return outcome.status;
}
