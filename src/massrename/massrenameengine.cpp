#include "massrenameengine.h"

#include "filesearch.h"
#include "runjournals.h"
#include "runsummary.h"

#include "platform/clock.h"
#include "platform/filesystem.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "settings/lastpath.h"
#include "settings/preferences.h"
#include "tags/audiotag.h"
#include "tags/writeaccess.h"
#include "text/texthelpers.h"

namespace {

const QString kProduct = QStringLiteral("Velmora");
const QString kCrLf = QStringLiteral("\r\n");

// "The Undo Journal Cannot Be Written:", the journal and why.
QString journalErrorText(const QString& journalPath, const FileError& err)
{
    return QStringLiteral("The Undo Journal Cannot Be Written:") + kCrLf + kCrLf + journalPath + kCrLf + kCrLf
        + QStringLiteral("Error: ") + err.description + QStringLiteral(" (") + QString::number(err.number)
        + QLatin1Char(')');
}

} // namespace

MassRenameEngine::MassRenameEngine(PlatformServices& services, Preferences& prefs, MassRenameView& view)
    : m_services(services)
    , m_prefs(prefs)
    , m_view(view)
    , m_errors(services.prompter)
    , m_tag(std::make_unique<AudioTag>())
    , m_outcomes(view, m_log)
    , m_writer(*services.files, m_journal)
    , m_logFolder(MassRenameLog::defaultFolder())
    , m_fileLimit(FileSearch::kDefaultLimit)
{
    // The load writes nothing: a preview must not, and the run decides
    // itself whether the trailer may be written.
    m_tag->setKeepTrailerOnLoad(true);
    m_writer.setJournalFailedHandler([this](const FileError& error) { journalFailed(error); });
}

MassRenameEngine::~MassRenameEngine() = default;

MassRenameEngine::GoResult MassRenameEngine::go(const MassRenameChoices& choices)
{
    if (!dirExists(choices.startDir)) {
        m_services.prompter->message(
            QStringLiteral("Error!"), QStringLiteral("The Starting Directory Cannot Be Found!"), MsgIcon::Critical);
        return GoResult::StartDirMissing;
    }
    m_view.clearResults();
    const QString question = runConfirmationText(choices, m_prefs.options);
    if (!m_services.prompter->askYesNo(kProduct + QStringLiteral(" - Mass Renaming..."), question))
        return GoResult::Declined;
    run(choices);
    return GoResult::Ran;
}

void MassRenameEngine::closeLog()
{
    m_log.close();
}

void MassRenameEngine::prepareRun(const MassRenameChoices& choices)
{
    m_choices = choices;
    const bool filterCase
        = choices.useFilters && isOn(m_prefs.store.getOption(QStringLiteral("FilterCase"), QStringLiteral("0")));
    m_planner = NamePlanner(parseBuiltFormat(choices.builtFormat),
        makeRenameCleanupRules(choices.useOptions, choices.useFilters, m_prefs.options, m_prefs.filters, filterCase),
        choices.allParts, m_prefs.options);
    m_limitExceeded = false;
    m_currentDir.clear();
}

void MassRenameEngine::startRun()
{
    m_stopRequested = false;
    m_stopped = false;
    m_writer.start();
    m_errors.reset();
    m_view.showRunStatus(true);
    m_view.setRunControls(false);
    setStatus(QStringLiteral("Mass Renaming In Progress"));
    m_outcomes.counters() = {};
    showCounters();
}

bool MassRenameEngine::openRunFiles()
{
    const QDateTime started = m_services.clock->now();
    const bool logged = m_choices.logOperation;
    QString logPath;
    FileError err;
    m_journalPath.clear();
    if (createRunJournal(m_journal, m_logFolder, started, logged, &logPath, &err)) {
        m_journalPath = m_journal.path();
    } else {
        const QString path = m_logFolder + MassRenameLog::fileNameFor(started).chopped(4) + QStringLiteral(".undo");
        if (!m_services.prompter->askYesNo(kProduct,
                journalErrorText(path, err) + kCrLf + kCrLf
                    + QStringLiteral("Rename The Files Without A Way To Undo Them?")))
            return false;
        logPath = m_logFolder + MassRenameLog::fileNameFor(started);
    }
    if (logged)
        openLog(logPath, started);
    return true;
}

void MassRenameEngine::openLog(const QString& path, const QDateTime& started)
{
    m_logFileName = path;
    FileError err;
    if (!m_log.open(m_logFileName, &err)) {
        m_services.prompter->message(kProduct,
            QStringLiteral("Could Not Open Log File!") + kCrLf + kCrLf + err.description + QStringLiteral(" (")
                + QString::number(err.number) + QLatin1Char(')'),
            MsgIcon::Critical);
        return;
    }
    m_log.writeOpening(runSettingsText(m_choices, m_prefs.options), started);
}

void MassRenameEngine::journalFailed(const FileError& err)
{
    m_stopRequested = true;
    m_log.writeJournalFailed(m_journal.path(), err.description);
    m_view.refreshNow();
    m_services.prompter->message(kProduct,
        journalErrorText(m_journal.path(), err) + kCrLf + kCrLf
            + QStringLiteral("Mass Renaming Stops Here; What It Changed So Far Can Be Undone."),
        MsgIcon::Critical);
}

bool MassRenameEngine::stopNow()
{
    if (m_stopRequested)
        m_stopped = true;
    return m_stopped;
}

FoundFiles MassRenameEngine::walk()
{
    m_view.setCurrentDir(QString());
    setStatus(QStringLiteral("Searching For Files To Process...."));
    m_view.refreshNow();

    FileSearch search(m_fileLimit);
    search.setStopCheck([this] {
        m_view.progress();
        return m_stopRequested;
    });
    const QStringList patterns = audioFileNamePatterns(listedFormats(m_prefs.options));
    if (m_choices.includeSubs)
        search.startSearch(m_choices.startDir, patterns);
    else
        search.searchSingleFolder(m_choices.startDir, patterns);
    m_stopped = search.stopped();
    m_limitExceeded = search.limitExceeded();
    if (m_limitExceeded)
        m_log.writeLimitNote(m_fileLimit);
    for (const FileSearch::UnreadableFolder& folder : search.unreadable())
        m_outcomes.folderUnreadable(folder.folder, folder.error);
    FoundFiles found = search.takeFound();
    m_outcomes.counters().found = found.size();
    showCounters();
    setStatus(QStringLiteral("Processing Files..."));
    return found;
}

void MassRenameEngine::cancelBeforeStart()
{
    setStatus(QStringLiteral("Mass Renaming Cancelled"));
    m_view.setRunControls(true);
    m_view.showRunStatus(false);
    m_view.refreshNow();
}

void MassRenameEngine::finishRun(bool logged)
{
    const MassRenameCounters& counters = m_outcomes.counters();
    if (m_stopped)
        m_log.writeStopped(counters.total, counters.found);
    if (logged)
        m_log.writeClosing(counters, m_services.clock->now());
    FileError err;
    // A journal that already failed has been reported once.
    if (m_journal.isOpen() && !m_journal.finish(&err) && !m_writer.journalFailed())
        m_services.prompter->message(kProduct, journalErrorText(m_journalPath, err), MsgIcon::Critical);

    QString status;
    if (m_stopped) {
        status = QStringLiteral("Mass Renaming Stopped After ") + QString::number(counters.total)
            + QStringLiteral(" Of ") + QString::number(counters.found) + QStringLiteral(" Files");
    } else {
        status
            = QStringLiteral("Mass Renaming Processed ") + QString::number(counters.total) + QStringLiteral(" Files");
        if (m_limitExceeded)
            status += QStringLiteral(" (More Than ") + QString::number(m_fileLimit)
                + QStringLiteral(" Found, The Rest Were Left)");
    }
    setStatus(status + QStringLiteral(" - View Log For Details"));
    m_view.setRunControls(true);
    m_view.showRunStatus(false);
    m_view.refreshNow();
}

void MassRenameEngine::run(const MassRenameChoices& choices)
{
    prepareRun(choices);
    m_havePlan = false;
    m_plan.clear();
    startRun();
    if (!openRunFiles()) {
        cancelBeforeStart();
        return;
    }
    const FoundFiles found = walk();

    m_continue = true;
    for (const FoundFile& file : found) {
        if (!startNextFile())
            break;
        processFile(file.dir, file.name);
        showCounters();
        m_view.progress();
    }
    finishRun(m_choices.logOperation);
}

const QList<PlannedFile>& MassRenameEngine::preview(const MassRenameChoices& choices)
{
    prepareRun(choices);
    m_view.clearResults();
    startRun();
    m_plan.clear();
    const FoundFiles found = walk();
    setStatus(QStringLiteral("Previewing Files..."));

    MassRenameCounters& counters = m_outcomes.counters();
    PlannedNames names;
    qint64 collisions = 0;
    for (const FoundFile& file : found) {
        if (stopNow())
            break;
        ++counters.total;
        const QString& dir = file.dir;
        const QString& name = file.name;
        enterDir(dir);
        PlannedFile f = decide(dir, name, true).plan;
        switch (f.outcome) {
        case PlannedFile::Outcome::Rename:
            f.collision = names.take(dir, name, f.newName);
            if (f.collision == NameCollision::None) {
                ++counters.renamed;
            } else {
                ++counters.errors;
                ++collisions;
            }
            m_view.addPreviewRow(dir, name, f.newName, f.collision);
            break;
        case PlannedFile::Outcome::SameName:
            ++counters.skipped;
            m_view.addResultRow(dir, name, f.newName, ResultColour::Failed);
            break;
        case PlannedFile::Outcome::Skip:
            ++counters.skipped;
            m_view.addResultRow(dir, name, name, ResultColour::Failed);
            break;
        case PlannedFile::Outcome::ZeroLength:
        case PlannedFile::Outcome::Unreadable:
            ++counters.errors;
            m_view.addResultRow(dir, name, QString(), ResultColour::Failed);
            break;
        }
        m_plan << f;
        showCounters();
        m_view.progress();
    }
    m_havePlan = !m_stopped;
    m_planChoices = choices;
    if (!m_havePlan)
        m_plan.clear();

    QString status = m_stopped ? QStringLiteral("Preview Stopped After ") + QString::number(counters.total)
            + QStringLiteral(" Of ") + QString::number(counters.found) + QStringLiteral(" Files")
                               : QStringLiteral("Preview: ") + QString::number(counters.renamed)
            + QStringLiteral(" Of ") + QString::number(counters.total) + QStringLiteral(" Files Would Be Renamed");
    if (collisions > 0)
        status += QStringLiteral(", ") + QString::number(collisions) + QStringLiteral(" New Names Are Taken");
    setStatus(status);
    m_view.setRunControls(true);
    m_view.showRunStatus(false);
    m_view.refreshNow();
    return m_plan;
}

void MassRenameEngine::renamePreviewed()
{
    if (!m_havePlan)
        return;
    const QList<PlannedFile> plan = std::exchange(m_plan, {});
    m_havePlan = false;
    prepareRun(m_planChoices);
    m_view.clearResults();
    startRun();
    if (!openRunFiles()) {
        cancelBeforeStart();
        return;
    }
    m_outcomes.counters().found = plan.size();
    showCounters();
    setStatus(QStringLiteral("Processing Files..."));

    m_continue = true;
    for (const PlannedFile& planned : plan) {
        if (!startNextFile())
            break;
        enterDir(planned.dir);
        FileInRun file { planned, {} };
        // The trailer is rewritten as in a run, but the name stays the
        // previewed one.
        if (file.plan.outcome == PlannedFile::Outcome::Rename && m_planner.fromTags())
            loadTags(&file, true);
        carry(file);
        showCounters();
        m_view.progress();
    }
    finishRun(m_choices.logOperation);
}

void MassRenameEngine::enterDir(const QString& dir)
{
    if (dir == m_currentDir)
        return;
    m_currentDir = dir;
    m_view.setCurrentDir(dir);
}

void MassRenameEngine::processFile(const QString& dir, const QString& name)
{
    // Names are used as they are: a name may begin or end with a space.
    if (trimSpaces(name).isEmpty())
        return;
    enterDir(dir);
    FileInRun file = decide(dir, name, false);
    carry(file);
}

MassRenameEngine::FileInRun MassRenameEngine::decide(const QString& dir, const QString& name, bool preview)
{
    FileInRun file;
    PlannedFile& f = file.plan;
    f.dir = dir;
    f.name = name;
    if (NamePlanner::leaveHidden(&f))
        return file;
    FileError err;
    const qint64 length = m_services.files->length(dir + name, &err);
    if (length < 0) {
        f.outcome = PlannedFile::Outcome::Unreadable;
        f.reason = err.description;
        return file;
    }
    if (length == 0) {
        f.outcome = PlannedFile::Outcome::ZeroLength;
        return file;
    }
    NameTags tags;
    if (m_planner.fromTags()) {
        if (!loadTags(&file, !preview))
            return file;
        tags = nameTags();
    }
    m_planner.plan(&f, tags);
    return file;
}

bool MassRenameEngine::startNextFile()
{
    if (stopNow())
        return false;
    ++m_outcomes.counters().total;
    showCounters();
    if (m_continue)
        return true;
    m_view.refreshNow();
    m_services.prompter->message(kProduct, QStringLiteral("Mass Renaming Cancelled."), MsgIcon::Information);
    return false;
}

FileError MassRenameEngine::loadTag(const QString& path)
{
    return m_tag->setFileName(path);
}

bool MassRenameEngine::loadTags(FileInRun* file, bool writeTrailer)
{
    PlannedFile& f = file->plan;
    const QString path = withTrailingSlash(f.dir) + f.name;
    const FileError loaded = loadTag(path);
    if (!loaded.ok()) {
        f.outcome = PlannedFile::Outcome::Unreadable;
        f.reason = loaded.description;
        return false;
    }
    // Nobody asked for the trailer a run writes: only MPEG audio that may be
    // changed so gets one; any other file (FLAC, Ogg, MP4 too) keeps its
    // bytes, mode and time.
    if (!writeTrailer || !m_tag->takesTrailer() || !mayChangeUnasked(path))
        return true;
    const FileError noted = m_writer.noteTrailerBefore(f.dir, f.name, &file->trailer);
    if (!noted.ok()) {
        f.outcome = PlannedFile::Outcome::Unreadable;
        f.reason = noted.description;
        return false;
    }
    std::array<QString, kFieldCount> texts;
    for (FieldId id : { FieldId::Artist, FieldId::Album, FieldId::Title, FieldId::Track, FieldId::Year, FieldId::Genre,
             FieldId::Comments })
        texts[int(id)] = m_tag->fieldText(id);
    reportTrailerWrite(path, m_writer.writeTrailer(path, texts, m_prefs.options.keepFileTimes));
    m_writer.trailerDone(&file->trailer);
    return true;
}

NameTags MassRenameEngine::nameTags() const
{
    NameTags tags;
    for (FieldId id : m_planner.fields()) {
        if (id == FieldId::Track)
            tags.track = m_tag->track();
        else if (id == FieldId::TotalTracks)
            tags.totalTracks = m_tag->totalTracks();
        else
            tags.texts[int(id)] = m_tag->fieldText(id);
    }
    return tags;
}

void MassRenameEngine::reportTrailerWrite(const QString& path, const TrailerWrite& result)
{
    // The run goes on; the failure is logged and shown unless the user
    // chose to skip errors of its kind.
    if (!result.write.ok()) {
        m_log.writeTagWriteFailed(path, result.write.description);
        if (!m_errors.isMuted(result.write.number)) {
            m_view.refreshNow();
            m_errors.show(path, result.write);
        }
    }
    if (!result.time.ok())
        m_log.writeTimeNotKept(path, result.time.description);
}

void MassRenameEngine::carry(FileInRun& file)
{
    carryOutcome(file);
    m_writer.recordTrailerWritten(&file.trailer);
}

void MassRenameEngine::carryOutcome(FileInRun& file)
{
    const PlannedFile& f = file.plan;
    const QString& dir = f.dir;
    const QString& name = f.name;
    switch (f.outcome) {
    case PlannedFile::Outcome::Unreadable:
        m_outcomes.failed(dir, name, QString(), f.reason, false);
        return;
    case PlannedFile::Outcome::ZeroLength:
        m_outcomes.zeroLength(dir, name);
        return;
    case PlannedFile::Outcome::Skip:
        m_outcomes.skipped(dir, name, f.reason);
        return;
    case PlannedFile::Outcome::SameName:
        m_outcomes.sameName(dir, name, f.newName);
        return;
    case PlannedFile::Outcome::Rename:
        break;
    }
    if (m_choices.confirmEach) {
        m_view.refreshNow();
        const Answer answer = m_services.prompter->askYesNoCancel(kProduct,
            QStringLiteral("Rename...") + kCrLf + kCrLf + dir + name + kCrLf + kCrLf + QStringLiteral(" As") + kCrLf
                + kCrLf + dir + f.newName);
        if (answer == Answer::Cancel) {
            m_log.writeCancelled();
            m_continue = false;
        }
        if (answer != Answer::Yes) {
            m_outcomes.declined(dir, name, f.newName);
            return;
        }
    }
    rename(file);
}

void MassRenameEngine::rename(FileInRun& file)
{
    const PlannedFile& f = file.plan;
    setStatus(QStringLiteral("Renaming ") + f.dir + f.name);
    const FileError err = m_writer.rename(f.dir, f.name, f.newName, &file.trailer);
    if (!err.ok()) {
        m_outcomes.failed(f.dir, f.name, f.newName, err.description, true);
        return;
    }
    m_outcomes.renamed(f.dir, f.name, f.newName);
}
