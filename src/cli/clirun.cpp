#include "clirun.h"

#include "cli/cliinfo.h"
#include "cli/clirename.h"
#include "massrename/runjournals.h"
#include "platform/localfilesystem.h"
#include "tagedit/multitagwriter.h"
#include "tagedit/tagjournal.h"
#include "tags/audiotag.h"

#include <QFileInfo>
#include <QJsonDocument>

#include <functional>

namespace {

void progress(const CliContext& context, int done, int total, const QString& path)
{
    if (!context.progress)
        return;
    *context.err << '\r' << done << '/' << total << ' ' << QFileInfo(path).fileName() << "\x1b[K";
    if (done == total)
        *context.err << '\n';
    context.err->flush();
}

int info(const CliCommand& command, const CliContext& context)
{
    int failed = 0;
    AudioTag tag;
    tag.setKeepTrailerOnLoad(true); // looking changes nothing
    for (const QString& path : command.files) {
        if (cliStopRequested(context))
            return CliExit::Stopped;
        const FileError error = QFileInfo(path).isFile() ? tag.setFileName(path) : fileErrorFromErrno(ENOENT);
        if (!error.ok()) {
            *context.err << cliErrorLine(path, error) << '\n';
            ++failed;
            continue;
        }
        if (command.json)
            *context.out << QJsonDocument(cliInfoJson(path, tag)).toJson(QJsonDocument::Compact) << '\n';
        else
            *context.out << cliInfoText(path, tag);
    }
    return failed ? CliExit::SomeFailed : CliExit::Done;
}

// Writes file after file through write, each kept in the journal first: a
// file whose tags cannot be kept is not written. Ends after the current
// file when asked to stop, with the journal closed and true.
int journaled(const CliCommand& command, const CliContext& context, const QString& verb,
    const std::function<FileError(const QString&)>& write)
{
    const QString journalPath = cliJournalPath(context.dataFolder);
    TagJournal journal(journalPath);
    FileError error;
    if (!journal.begin(&error)) {
        *context.err << "velmora-cli: the undo journal cannot be written: " << cliErrorLine(journalPath, error) << '\n';
        return CliExit::SomeFailed;
    }
    const int total = int(command.files.size());
    int done = 0, failed = 0;
    for (const QString& path : command.files) {
        if (cliStopRequested(context)) {
            journal.end();
            *context.err << "velmora-cli: stopped after " << done << " of " << total << " files, " << failed
                         << " failed\n";
            return CliExit::Stopped;
        }
        FileError fileError;
        if (journal.recordBefore(path, &fileError))
            fileError = write(path);
        journal.recordAfter(path);
        ++done;
        if (!fileError.ok()) {
            ++failed;
            *context.err << cliErrorLine(path, fileError) << '\n';
        }
        progress(context, done, total, path);
    }
    journal.end();
    *context.out << verb << ' ' << (done - failed) << " of " << total << " files\n";
    return failed ? CliExit::SomeFailed : CliExit::Done;
}

int tag(const CliCommand& command, const CliContext& context)
{
    MultiTagValues values;
    for (const auto& [id, text] : command.sets) {
        values.included[int(id)] = true;
        values.texts[int(id)] = text;
    }
    for (FieldId id : command.clears) {
        values.included[int(id)] = true;
        values.texts[int(id)] = QString();
    }
    // Out-of-range numbers are wrong for every file: nothing is written.
    const FileError range = numberRangeError(values);
    if (!range.ok()) {
        *context.err << "velmora-cli: " << range.description << '\n';
        return CliExit::Usage;
    }
    LocalFileSystem files;
    MultiTagWriter writer(files);
    return journaled(command, context, QStringLiteral("tagged"),
        [&](const QString& path) { return writer.tagFile(path, values).error; });
}

int strip(const CliCommand& command, const CliContext& context)
{
    AudioTag tag;
    tag.setKeepTrailerOnLoad(true);
    return journaled(command, context, QStringLiteral("stripped"), [&](const QString& path) {
        FileError error = tag.setFileName(path);
        if (error.ok() && !tag.stripTags())
            error = tag.lastWriteError();
        return error;
    });
}

int undoTags(const QString& journal, const CliContext& context)
{
    if (!QFileInfo::exists(journal)) {
        *context.err << "velmora-cli: nothing to undo: " << journal << " does not exist\n";
        return CliExit::SomeFailed;
    }
    const TagUndoReport report = undoTagJournal(journal);
    if (!report.journalError.ok()) {
        *context.err << cliErrorLine(journal, report.journalError) << '\n';
        return CliExit::SomeFailed;
    }
    for (const QString& path : report.changedSince)
        *context.err << path << ": changed since the run, left as it is\n";
    for (const TagUndoReport::Failure& failure : report.failed)
        *context.err << cliErrorLine(failure.path, failure.error) << '\n';
    *context.out << "restored " << report.restored.size() << " files\n";
    return report.changedSince.isEmpty() && report.failed.isEmpty() ? CliExit::Done : CliExit::SomeFailed;
}

// The journal "undo last" means: the newer of the last tag run's and the
// last rename run's (the window's runs among them).
QString lastJournal(const CliContext& context)
{
    const QString tags = cliJournalPath(context.dataFolder);
    const QString renames = lastRunJournal(context.dataFolder);
    const bool haveTags = QFileInfo::exists(tags);
    const bool haveRenames = !renames.isEmpty() && hasUndoableChanges(renames);
    if (haveTags && haveRenames)
        return QFileInfo(tags).lastModified() >= QFileInfo(renames).lastModified() ? tags : renames;
    return haveRenames ? renames : tags;
}

int undo(const CliCommand& command, const CliContext& context)
{
    const QString journal
        = command.files.first() == QLatin1String("last") ? lastJournal(context) : command.files.first();
    return journal.endsWith(QLatin1String(".undo")) ? undoRenames(journal, context) : undoTags(journal, context);
}

} // namespace

QString cliErrorLine(const QString& path, const FileError& error)
{
    return path + QStringLiteral(": ") + error.description + QStringLiteral(" (") + QString::number(error.number)
        + QLatin1Char(')');
}

bool cliStopRequested(const CliContext& context)
{
    return context.stop && context.stop->load();
}

QString cliJournalPath(const QString& folder)
{
    return folder + QStringLiteral("CommandLine-Undo.journal");
}

int runCliCommand(const CliCommand& command, const CliContext& context)
{
    switch (command.name) {
    case CliCommand::Name::Info:
        return info(command, context);
    case CliCommand::Name::Tag:
        return tag(command, context);
    case CliCommand::Name::Strip:
        return strip(command, context);
    case CliCommand::Name::Undo:
        return undo(command, context);
    case CliCommand::Name::Rename:
        return renameFiles(command, context);
    case CliCommand::Name::MassRename:
        return massRename(command, context);
    case CliCommand::Name::Playlist:
        return writeFolderPlaylist(command, context);
    case CliCommand::Name::Help:
    case CliCommand::Name::Version:
        break;
    }
    return CliExit::Done;
}
