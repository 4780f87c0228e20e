#include "clirename.h"

#include "massrename/massrenameengine.h"
#include "massrename/massrenameundo.h"
#include "massrename/runjournals.h"
#include "massrename/runwriter.h"
#include "nameedit/cleanup.h"
#include "nameedit/formatmask.h"
#include "nameedit/nameparts.h"
#include "platform/audiofiles.h"
#include "platform/clock.h"
#include "platform/consoleprompter.h"
#include "platform/localfilesystem.h"
#include "platform/platformservices.h"
#include "platform/systemtrash.h"
#include "playlist/playlistfile.h"
#include "settings/preferences.h"
#include "tagedit/tagtexts.h"
#include "tags/audiotag.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <functional>

namespace {

// The platform services of a run without a window.
struct CliServices {
    explicit CliServices(const CliContext& context)
        : prompter(*context.err)
    {
        services.settings = context.settings;
        services.files = &files;
        services.trash = &trash;
        services.prompter = &prompter;
        services.clock = &clock;
    }
    LocalFileSystem files;
    SystemTrash trash;
    ConsolePrompter prompter;
    SystemClock clock;
    PlatformServices services;
};

// Prints each outcome as it comes: nothing is kept, so a run of any size
// takes the same memory here.
class PrintingView final : public MassRenameView {
public:
    explicit PrintingView(const CliContext& context)
        : m_context(context)
    {
    }
    // How a stop asked for (Ctrl+C) reaches the run.
    void setStopper(std::function<void()> stopper) { m_stopper = std::move(stopper); }

    void clearResults() override { }
    void addResultRow(const QString& dir, const QString& oldName, const QString& newName, ResultColour colour) override
    {
        if (colour == ResultColour::Renamed)
            *m_context.out << dir << oldName << " -> " << newName << '\n';
        else
            *m_context.err << dir << oldName << ": not renamed" << (newName.isEmpty() ? "" : " to ") << newName << '\n';
    }
    void addPreviewRow(
        const QString& dir, const QString& oldName, const QString& newName, NameCollision collision) override
    {
        *m_context.out << dir << oldName << " -> " << newName;
        if (collision == NameCollision::ExistingFile)
            *m_context.out << "  [taken by an existing file]";
        else if (collision == NameCollision::InsideRun)
            *m_context.out << "  [taken by an earlier file of the run]";
        *m_context.out << '\n';
    }
    void setStatusText(const QString&) override { }
    void setCurrentDir(const QString&) override { }
    void setCounters(const MassRenameCounters& counters) override { m_counters = counters; }
    void setRunControls(bool) override { }
    void showRunStatus(bool) override { }
    void progress() override
    {
        if (m_stopper && cliStopRequested(m_context))
            m_stopper();
        if (m_context.progress && m_counters.total % 100 == 0) {
            *m_context.err << '\r' << m_counters.total << '/' << m_counters.found << "\x1b[K";
            m_context.err->flush();
        }
    }
    void refreshNow() override
    {
        m_context.out->flush();
        m_context.err->flush();
    }

private:
    const CliContext& m_context;
    std::function<void()> m_stopper;
    MassRenameCounters m_counters;
};

Preferences loadPreferences(const CliContext& context)
{
    Preferences prefs(*context.settings);
    prefs.loadOptions();
    prefs.loadFilters();
    return prefs;
}

// The name the name editor gives the file: its own name cleaned and
// re-cased, or the mask filled from its tags; "" when it has none.
QString newNameFor(const QString& path, const QString& mask, const Preferences& prefs, FileError* err)
{
    const QString name = QFileInfo(path).fileName();
    const QString extension = nameExtension(name);
    const QString separator = prefs.options.separatorString;
    if (mask.isEmpty())
        return nameParts(name, cleanupRulesFrom(prefs), prefs.options.newFileCase).join(separator) + extension;
    AudioTag tag;
    tag.setKeepTrailerOnLoad(true);
    *err = tag.setFileName(path);
    if (!err->ok())
        return {};
    const TagTexts texts = tagTextsOf(tag, prefs.options);
    // A "/" in a tag value must not reach the name as a folder.
    const auto field = [&](FieldId id) { return cleanupFileName(texts[int(id)], cleanupRulesFrom(prefs)); };
    return nameFromFields(mask, field, separator, extension);
}

FileError badName(const QString& newName)
{
    return { ErrorNo::BadName, QStringLiteral("'%1' cannot be a file name").arg(newName) };
}

} // namespace

int renameFiles(const CliCommand& command, const CliContext& context)
{
    const Preferences prefs = loadPreferences(context);
    LocalFileSystem files;
    RenameJournal journal;
    QString logPath;
    FileError error;
    if (!createRunJournal(journal, context.dataFolder, QDateTime::currentDateTime(), false, &logPath, &error)) {
        *context.err << "velmora-cli: the undo journal cannot be written: " << error.description << '\n';
        return CliExit::SomeFailed;
    }
    RunWriter writer(files, journal);
    writer.start();
    int failed = 0, renamed = 0;
    bool wasStopped = false;
    for (const QString& path : command.files) {
        if (cliStopRequested(context)) {
            wasStopped = true;
            break;
        }
        const QFileInfo info(path);
        FileError fileError = info.isFile() ? FileError() : fileErrorFromErrno(ENOENT);
        const QString newName = fileError.ok() ? newNameFor(path, command.mask, prefs, &fileError) : QString();
        if (fileError.ok() && newName == info.fileName())
            continue; // already so named
        if (fileError.ok()
            && (trimSpaces(newName).isEmpty() || (isAudioFileName(newName) && newName.startsWith(QLatin1Char('.')))
                || newName.contains(QLatin1Char('/'))))
            fileError = badName(newName);
        const QString dir = info.absolutePath() + QLatin1Char('/');
        if (fileError.ok() && QFileInfo::exists(dir + newName)
            && !files.isSameFile(dir + info.fileName(), dir + newName))
            fileError = { ErrorNo::Exists, QStringLiteral("'%1' is taken by another file").arg(newName) };
        TrailerChange noTrailer; // a rename alone writes no trailer
        if (fileError.ok())
            fileError = writer.rename(dir, info.fileName(), newName, &noTrailer);
        if (!fileError.ok()) {
            ++failed;
            *context.err << cliErrorLine(path, fileError) << '\n';
            continue;
        }
        ++renamed;
        *context.out << path << " -> " << newName << '\n';
    }
    journal.finish();
    if (wasStopped)
        *context.err << "velmora-cli: stopped after " << renamed + failed << " files\n";
    return wasStopped ? CliExit::Stopped : failed ? CliExit::SomeFailed : CliExit::Done;
}

int massRename(const CliCommand& command, const CliContext& context)
{
    const QFileInfo folder(command.files.first());
    if (!folder.isDir()) {
        *context.err << cliErrorLine(command.files.first(), fileErrorFromErrno(ENOTDIR)) << '\n';
        return CliExit::SomeFailed;
    }
    Preferences prefs = loadPreferences(context);
    CliServices platform(context);
    PrintingView view(context);
    MassRenameEngine engine(platform.services, prefs, view);
    view.setStopper([&engine] { engine.requestStop(); });
    engine.setLogFolder(context.dataFolder);
    MassRenameChoices choices;
    choices.startDir = folder.absoluteFilePath() + QLatin1Char('/');
    choices.includeSubs = command.subdirs;
    choices.useOptions = true;
    choices.useFilters = true;
    choices.logOperation = command.log;
    choices.builtFormat = command.format;
    if (command.preview) {
        engine.preview(choices);
        return CliExit::Done;
    }
    engine.run(choices);
    const MassRenameCounters& counters = engine.counters();
    *context.out << "renamed " << counters.renamed << " of " << counters.total << " files, " << counters.skipped
                 << " skipped, " << counters.errors << " errors\n";
    if (!engine.logFileName().isEmpty())
        *context.out << "log: " << engine.logFileName() << '\n';
    if (engine.stopped())
        return CliExit::Stopped;
    return counters.errors ? CliExit::SomeFailed : CliExit::Done;
}

int undoRenames(const QString& journal, const CliContext& context)
{
    QList<RenameRecord> records;
    FileError error;
    if (!readRenameRecords(journal, &records, &error)) {
        *context.err << cliErrorLine(journal, error) << '\n';
        return CliExit::SomeFailed;
    }
    CliServices platform(context);
    PrintingView view(context);
    MassRenameUndo undo(platform.services, view);
    view.setStopper([&undo] { undo.requestStop(); });
    undo.setLogFolder(context.dataFolder);
    undo.run(records, journal);
    // A stopped undo may be taken up again.
    if (undo.stopped())
        return CliExit::Stopped;
    markRenameJournal(journal, JournalMark::Undone);
    for (const QString& line : undo.leftAlone())
        *context.err << line << '\n';
    *context.out << "renamed back " << undo.tally().renamedBack << " files\n";
    return undo.tally().errors || !undo.leftAlone().isEmpty() ? CliExit::SomeFailed : CliExit::Done;
}

int writeFolderPlaylist(const CliCommand& command, const CliContext& context)
{
    const QString folder = command.files.first();
    if (!QFileInfo(folder).isDir()) {
        *context.err << cliErrorLine(folder, fileErrorFromErrno(ENOTDIR)) << '\n';
        return CliExit::SomeFailed;
    }
    const QString name = command.output.isEmpty() ? proposePlaylistName(QFileInfo(folder).absoluteFilePath())
                                                  : playlistFileName(command.output);
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) {
        *context.err << cliErrorLine(command.output, badName(command.output)) << '\n';
        return CliExit::Usage;
    }
    QStringList leftOut;
    const QString target = QDir(folder).absoluteFilePath(name);
    const Preferences prefs = loadPreferences(context);
    const FileError error
        = writePlaylistFile(target, playlistText(listAudioFiles(folder, listedFormats(prefs.options)), &leftOut));
    if (!error.ok()) {
        *context.err << cliErrorLine(target, error) << '\n';
        return CliExit::SomeFailed;
    }
    for (const QString& left : leftOut)
        *context.err << left << ": left out, a playlist line cannot hold its name\n";
    *context.out << target << '\n';
    return leftOut.isEmpty() ? CliExit::Done : CliExit::SomeFailed;
}
