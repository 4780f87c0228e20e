// velmora-bench mass-rename DIR --format "Artist - Title" [--subdirs] [--log] [--preview]
// velmora-bench mass-rename undo LOG
//
// Runs the mass rename engine over DIR exactly as the window's Go would with
// those choices, without the confirmation and with the options and filters
// at their stored defaults, then prints the counters and the speed. With
// --preview it only previews (no file changes) and prints each name that is
// taken. "undo LOG" takes back the changes of the run of LOG (a log, or a
// run's journal), as the window's undo does, and prints what it found and
// its speed. A run prints the journal it kept.

#include "massrename/massrenameengine.h"
#include "massrename/massrenameundo.h"
#include "massrename/massrenameview.h"
#include "massrename/renamejournal.h"
#include "platform/clock.h"
#include "platform/fakes/memorysettingsbackend.h"
#include "platform/fakes/scriptedprompter.h"
#include "platform/localfilesystem.h"
#include "platform/platformservices.h"
#include "settings/preferences.h"

#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>
#include <ctime>

namespace {

// Takes the outcomes and forgets them, as a window that is not painted would.
class SilentView final : public MassRenameView {
public:
    void clearResults() override { }
    void addResultRow(const QString&, const QString&, const QString&, ResultColour) override { ++rows; }
    void addPreviewRow(const QString&, const QString&, const QString&, NameCollision collision) override
    {
        ++rows;
        collisions += collision != NameCollision::None;
    }
    void setStatusText(const QString& text) override { status = text; }
    void setCurrentDir(const QString&) override { }
    void setCounters(const MassRenameCounters&) override { }
    void setRunControls(bool) override { }
    void showRunStatus(bool) override { }
    void progress() override { }
    void refreshNow() override { }

    qint64 rows = 0;
    qint64 collisions = 0;
    QString status;
};

// CPU time of this process in seconds (user and system): on a busy machine
// it shows what the wall-clock rate would be without the other load.
double cpuSeconds()
{
    struct timespec ts { };
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

int usage()
{
    std::fprintf(stderr,
        "usage: velmora-bench mass-rename DIR --format \"Artist - Title\" [--subdirs] [--log] "
        "[--preview]\n       velmora-bench mass-rename undo LOG|JOURNAL\n");
    return 2;
}

void printSpeed(const MassRenameCounters& c, double cpu, qint64 ns)
{
    const double seconds = double(ns) / 1e9;
    std::printf("total: %lld\nskipped: %lld\nerrors: %lld\nrenamed: %lld\n", qlonglong(c.total), qlonglong(c.skipped),
        qlonglong(c.errors), qlonglong(c.renamed));
    std::printf("cpu_seconds: %.3f\n", cpu);
    std::printf("seconds: %.3f\n", seconds);
    std::printf("files_per_second: %lld\n", seconds > 0 ? qlonglong(double(c.total) / seconds) : 0LL);
}

} // namespace

int massRenameUndoBench(const QStringList& args)
{
    if (args.size() != 1)
        return usage();
    QList<RenameRecord> records;
    FileError err;
    if (!readRenameRecords(args.first(), &records, &err)) {
        std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(args.first()), qPrintable(err.description));
        return 1;
    }
    LocalFileSystem files;
    SystemClock clock;
    ScriptedPrompter prompter;
    PlatformServices services;
    services.files = &files;
    services.prompter = &prompter;
    services.clock = &clock;
    SilentView view;
    MassRenameUndo undo(services, view);

    QElapsedTimer timer;
    const double cpuStart = cpuSeconds();
    timer.start();
    undo.run(records, args.first());
    const qint64 ns = timer.nsecsElapsed();
    const double cpu = cpuSeconds() - cpuStart;
    const UndoTally& t = undo.tally();
    std::printf("records: %lld\nrenamed_back: %lld\nrestored: %lld\nnever_made: %lld\nleft_alone: %lld\n"
                "undo_errors: %lld\n",
        qlonglong(t.records), qlonglong(t.renamedBack), qlonglong(t.restored), qlonglong(t.neverMade),
        qlonglong(t.leftAlone), qlonglong(t.errors));
    for (const QString& message : prompter.messageTexts())
        std::printf("message: %s\n", qPrintable(QString(message).replace(QLatin1String("\r\n"), QLatin1String(" "))));
    for (const QString& left : undo.leftAlone())
        std::printf("left_alone: %s\n", qPrintable(left));
    std::printf("log: %s\n", qPrintable(undo.logFileName()));
    std::printf("status: %s\n", qPrintable(view.status));
    printSpeed(undo.counters(), cpu, ns);
    return 0;
}

int massRenameBench(const QStringList& args)
{
    if (!args.isEmpty() && args.first() == QLatin1String("undo"))
        return massRenameUndoBench(args.mid(1));
    bool preview = false;
    MassRenameChoices choices;
    bool haveFormat = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--format") && i + 1 < args.size()) {
            choices.builtFormat = args.at(++i);
            haveFormat = true;
        } else if (a == QLatin1String("--subdirs")) {
            choices.includeSubs = true;
        } else if (a == QLatin1String("--log")) {
            choices.logOperation = true;
        } else if (a == QLatin1String("--preview")) {
            preview = true;
        } else if (!a.startsWith(QLatin1String("--")) && choices.startDir.isEmpty()) {
            choices.startDir = a.endsWith(QLatin1Char('/')) ? a : a + QLatin1Char('/');
        } else {
            return usage();
        }
    }
    if (choices.startDir.isEmpty() || !haveFormat)
        return usage();

    MemorySettingsBackend backend;
    Preferences prefs(backend);
    prefs.loadOptions();
    prefs.loadFilters();
    LocalFileSystem files;
    SystemClock clock;
    ScriptedPrompter prompter;
    PlatformServices services;
    services.settings = &backend;
    services.files = &files;
    services.prompter = &prompter;
    services.clock = &clock;
    SilentView view;
    MassRenameEngine engine(services, prefs, view);

    QElapsedTimer timer;
    const double cpuStart = cpuSeconds();
    timer.start();
    if (preview)
        engine.preview(choices);
    else
        engine.run(choices);
    const qint64 ns = timer.nsecsElapsed();
    const double cpu = cpuSeconds() - cpuStart;

    if (preview) {
        std::printf("preview: no file changed\n");
        for (const PlannedFile& f : engine.plan())
            if (f.collision != NameCollision::None)
                std::printf("taken: %s%s -> %s (%s)\n", qPrintable(f.dir), qPrintable(f.name), qPrintable(f.newName),
                    f.collision == NameCollision::ExistingFile ? "existing file" : "earlier file of the run");
        std::printf("collisions: %lld\n", qlonglong(view.collisions));
    }
    for (const QString& message : prompter.messageTexts())
        std::printf("message: %s\n", qPrintable(QString(message).replace(QLatin1String("\r\n"), QLatin1String(" "))));
    if (choices.logOperation)
        std::printf("log: %s\n", qPrintable(engine.logFileName()));
    if (!preview)
        std::printf("journal: %s\n", qPrintable(engine.journalPath()));
    std::printf("status: %s\n", qPrintable(view.status));
    printSpeed(engine.counters(), cpu, ns);
    return 0;
}
