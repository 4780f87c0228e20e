// velmora-bench: speed measurements of the engine, one subcommand each.
// A subcommand is a global function `int Name(const QStringList& args)`
// (the arguments after the subcommand; returns the exit code) defined in one
// of the bench/*.cpp files and listed once in kCommands below.
#include "platform/heapreuse.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

struct BenchCommand {
    const char* name;
    const char* usage; // the arguments, for the help text
    int (*run)(const QStringList& args);
};

// Declares the function where it is listed (at global scope, hence outside
// any unnamed namespace), so that adding a subcommand takes one line here.
#define VELMORA_BENCH(name, usage, function)                                                                           \
    BenchCommand                                                                                                       \
    {                                                                                                                  \
        name, usage, [](const QStringList& args) {                                                                     \
            int function(const QStringList&);                                                                          \
            return function(args);                                                                                     \
        }                                                                                                              \
    }

const BenchCommand kCommands[] = {
    VELMORA_BENCH("read-tags", "DIR", readTagsBench),
    VELMORA_BENCH("save-tags", "DIR", saveTagsBench),
    VELMORA_BENCH("make-corpus", "DIR N", makeCorpusBench),
    VELMORA_BENCH("make-damaged", "DIR N", makeDamagedBench),
    VELMORA_BENCH("verify-saves", "DIR", verifySavesBench),
    VELMORA_BENCH("file-info", "FILE", fileInfoBench),
    VELMORA_BENCH("big-tag", "MB DIR", bigTagBench),
    VELMORA_BENCH("mass-rename", "DIR --format \"Artist - Title\" [--subdirs] [--log] [--preview] | undo LOG|JOURNAL",
        massRenameBench),
    VELMORA_BENCH("cli-info", "DIR", cliInfoBench),
    VELMORA_BENCH("table", "DIR", tableBench),
    VELMORA_BENCH("covers", "DIR --set IMAGE | --shrink N", coversBench),
    VELMORA_BENCH("cli-mass-rename", "DIR FORMAT [--subdirs] [--preview]", cliMassRenameBench),
};

namespace {

int usage()
{
    std::fprintf(stderr, "usage: velmora-bench COMMAND ARGS\n");
    for (const BenchCommand& c : kCommands)
        std::fprintf(stderr, "  %s %s\n", c.name, c.usage);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    reuseFreedMemory();
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString name = args.takeFirst();
    for (const BenchCommand& c : kCommands)
        if (name == QLatin1String(c.name))
            return c.run(args);
    return usage();
}
