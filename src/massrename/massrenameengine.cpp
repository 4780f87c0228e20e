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
#include "tags/fieldcatalogue.h"
#include "tags/filetimes.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"
#include "tags/writeaccess.h"
#include "text/texthelpers.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <cstdlib>

namespace {

const QString kProduct = QStringLiteral("Velmora");
const QString kCrLf = QStringLiteral("\r\n");
const QString kNoValidName = QStringLiteral(" (Could Not Make A Valid Filename From Internal Tags)");
const QString kNoValidCleanName = QStringLiteral(" (Could Not Make A Valid Filename)");
const QString kIncomplete = QStringLiteral(" (Internal Tags Incomplete)");
const QString kHidden = QStringLiteral(" (Hidden File)");
const QString kCannotOpen = QStringLiteral("The File Cannot Be Opened For Reading");
const QString kNoJournal = QStringLiteral("The Undo Journal Cannot Be Written");
constexpr qint64 kTrailerBytes = 128;

// Control characters (line feed, tab, ...) would split log lines and make
// names no list shows properly: they become spaces.
QString withoutControls(QString text)
{
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return text;
}

// A name beginning with a dot is hidden from every list: the dots (and the
// spaces after them) go.
QString withoutLeadingDots(const QString& text)
{
    if (!text.startsWith(QLatin1Char('.')))
        return text;
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char('.') || text.at(i) == QLatin1Char(' ')))
        ++i;
    return text.mid(i);
}

// Which names a preview's renames would meet, folder by folder: what the
// folder holds now, changed by each rename planned before.
class PlannedNames {
public:
    NameCollision take(const QString& dir, const QString& name, const QString& newName)
    {
        QSet<QString>& present = names(dir);
        if (present.contains(newName))
            return m_added[dir].contains(newName) ? NameCollision::InsideRun : NameCollision::ExistingFile;
        present.remove(name);
        present.insert(newName);
        m_added[dir].insert(newName);
        return NameCollision::None;
    }

private:
    QSet<QString>& names(const QString& dir)
    {
        auto it = m_present.find(dir);
        if (it == m_present.end()) {
            const QStringList names
                = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            it = m_present.insert(dir, QSet<QString>(names.begin(), names.end()));
        }
        return *it;
    }

    QHash<QString, QSet<QString>> m_present;
    QHash<QString, QSet<QString>> m_added;
};

} // namespace

MassRenameEngine::MassRenameEngine(PlatformServices& services, Preferences& prefs, MassRenameView& view)
    : m_services(services)
    , m_prefs(prefs)
    , m_view(view)
    , m_errors(services.prompter)
    , m_v1(std::make_unique<ID3V1Tag>())
    , m_logFolder(MassRenameLog::defaultFolder())
    , m_fileLimit(FileSearch::kDefaultLimit)
{
    resetTag();
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
    m_rules
        = makeRenameCleanupRules(choices.useOptions, choices.useFilters, m_prefs.options, m_prefs.filters, filterCase);
    m_separator = runSeparator(m_rules);
    m_limitExceeded = false;
    m_currentDir.clear();
}

void MassRenameEngine::startRun()
{
    m_stopRequested = false;
    m_stopped = false;
    m_journalFailed = false;
    m_trailerPending = false;
    m_errors.reset();
    m_view.showRunStatus(true);
    m_view.setRunControls(false);
    setStatus(QStringLiteral("Mass Renaming In Progress"));
    m_counters = {};
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
                QStringLiteral("The Undo Journal Cannot Be Written:") + kCrLf + kCrLf + path + kCrLf + kCrLf
                    + QStringLiteral("Error: ") + err.description + QStringLiteral(" (") + QString::number(err.number)
                    + QLatin1Char(')') + kCrLf + kCrLf
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

bool MassRenameEngine::journal(const RenameRecord& record)
{
    if (m_journalFailed)
        return false;
    if (!m_journal.isOpen())
        return true; // the user chose to go on without a journal
    FileError err;
    if (m_journal.append(record, &err)) {
        reachPoint(RunPoint::Journaled);
        return true;
    }
    // Nothing more may change once a change cannot be recorded.
    m_journalFailed = true;
    m_stopRequested = true;
    m_log.writeJournalFailed(m_journal.path(), err.description);
    m_view.refreshNow();
    m_services.prompter->message(kProduct,
        QStringLiteral("The Undo Journal Cannot Be Written:") + kCrLf + kCrLf + m_journal.path() + kCrLf + kCrLf
            + QStringLiteral("Error: ") + err.description + QStringLiteral(" (") + QString::number(err.number)
            + QLatin1Char(')') + kCrLf + kCrLf
            + QStringLiteral("Mass Renaming Stops Here; What It Changed So Far Can Be Undone."),
        MsgIcon::Critical);
    return false;
}

void MassRenameEngine::journalTrailerWritten()
{
    if (!m_trailerPending)
        return;
    m_trailerPending = false;
    FileStamp now;
    FileError err;
    if (!m_journal.isOpen() || !m_services.files->stamp(m_before.dir + m_before.oldName, &now))
        return;
    // Without this record the undo still knows the change from its shape.
    m_journal.appendTrailerWritten(m_before.dir, m_before.oldName, now, &err);
}

void MassRenameEngine::reachPoint(RunPoint point)
{
    if (m_runPointHook)
        m_runPointHook(point);
}

bool MassRenameEngine::stopNow()
{
    if (m_stopRequested)
        m_stopped = true;
    return m_stopped;
}

QStringList MassRenameEngine::walk()
{
    m_format = parseBuiltFormat(m_choices.builtFormat);
    m_view.setCurrentDir(QString());
    setStatus(QStringLiteral("Searching For Files To Process...."));
    m_view.refreshNow();

    FileSearch search(m_fileLimit);
    search.setStopCheck([this] {
        m_view.progress();
        return m_stopRequested;
    });
    const QString pattern = QStringLiteral("*.mp3");
    if (m_choices.includeSubs)
        search.startSearch(m_choices.startDir, pattern);
    else
        search.searchSingleFolder(m_choices.startDir, pattern);
    m_stopped = search.stopped();
    m_limitExceeded = search.limitExceeded();
    if (m_limitExceeded)
        m_log.writeLimitNote(m_fileLimit);
    for (const FileSearch::UnreadableFolder& folder : search.unreadable()) {
        ++m_counters.errors;
        m_log.writeFolderUnreadable(folder.folder, folder.error.description);
        m_view.addResultRow(folder.folder, QString(), QString(), ResultColour::Failed);
    }
    const QStringList found = search.takeFound();
    m_counters.found = found.size();
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
    if (m_stopped)
        m_log.writeStopped(m_counters.total, m_counters.found);
    if (logged)
        m_log.writeClosing(m_counters, m_services.clock->now());
    FileError err;
    // A journal that already failed has been reported once.
    if (m_journal.isOpen() && !m_journal.finish(&err) && !m_journalFailed)
        m_services.prompter->message(kProduct,
            QStringLiteral("The Undo Journal Cannot Be Written:") + kCrLf + kCrLf + m_journalPath + kCrLf + kCrLf
                + QStringLiteral("Error: ") + err.description + QStringLiteral(" (") + QString::number(err.number)
                + QLatin1Char(')'),
            MsgIcon::Critical);

    QString status;
    if (m_stopped) {
        status = QStringLiteral("Mass Renaming Stopped After ") + QString::number(m_counters.total)
            + QStringLiteral(" Of ") + QString::number(m_counters.found) + QStringLiteral(" Files");
    } else {
        status
            = QStringLiteral("Mass Renaming Processed ") + QString::number(m_counters.total) + QStringLiteral(" Files");
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
    const QStringList found = walk();

    m_continue = true;
    for (const QString& path : found) {
        if (!startNextFile())
            break;
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        processFile(path.left(slash + 1), path.mid(slash + 1));
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
    const QStringList found = walk();
    setStatus(QStringLiteral("Previewing Files..."));

    PlannedNames names;
    qint64 collisions = 0;
    for (const QString& path : found) {
        if (stopNow())
            break;
        ++m_counters.total;
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QString dir = path.left(slash + 1);
        const QString name = path.mid(slash + 1);
        if (dir != m_currentDir) {
            m_currentDir = dir;
            m_view.setCurrentDir(dir);
        }
        PlannedFile f = decide(dir, name, true);
        switch (f.outcome) {
        case PlannedFile::Outcome::Rename:
            f.collision = names.take(dir, name, f.newName);
            if (f.collision == NameCollision::None) {
                ++m_counters.renamed;
            } else {
                ++m_counters.errors;
                ++collisions;
            }
            m_view.addPreviewRow(dir, name, f.newName, f.collision);
            break;
        case PlannedFile::Outcome::SameName:
            ++m_counters.skipped;
            m_view.addResultRow(dir, name, f.newName, ResultColour::Failed);
            break;
        case PlannedFile::Outcome::Skip:
            ++m_counters.skipped;
            m_view.addResultRow(dir, name, name, ResultColour::Failed);
            break;
        case PlannedFile::Outcome::ZeroLength:
        case PlannedFile::Outcome::Unreadable:
            ++m_counters.errors;
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

    QString status = m_stopped ? QStringLiteral("Preview Stopped After ") + QString::number(m_counters.total)
            + QStringLiteral(" Of ") + QString::number(m_counters.found) + QStringLiteral(" Files")
                               : QStringLiteral("Preview: ") + QString::number(m_counters.renamed)
            + QStringLiteral(" Of ") + QString::number(m_counters.total) + QStringLiteral(" Files Would Be Renamed");
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
    m_format = parseBuiltFormat(m_choices.builtFormat);
    m_counters.found = plan.size();
    showCounters();
    setStatus(QStringLiteral("Processing Files..."));
    const bool fromTags = trimSpaces(m_format.formatString) != QLatin1String("None");

    m_continue = true;
    for (PlannedFile f : plan) {
        if (!startNextFile())
            break;
        if (f.dir != m_currentDir) {
            m_currentDir = f.dir;
            m_view.setCurrentDir(f.dir);
        }
        m_haveBefore = false;
        // The trailer is rewritten as in a run, but the name stays the
        // previewed one.
        if (f.outcome == PlannedFile::Outcome::Rename && fromTags)
            loadTags(f.dir, f.name, false, &f);
        carry(f);
        showCounters();
        m_view.progress();
    }
    finishRun(m_choices.logOperation);
}

void MassRenameEngine::processFile(const QString& dir, const QString& name)
{
    // Names are used as they are: a name may begin or end with a space.
    if (trimSpaces(name).isEmpty())
        return;
    if (dir != m_currentDir) {
        m_currentDir = dir;
        m_view.setCurrentDir(dir);
    }
    carry(decide(dir, name, false));
}

PlannedFile MassRenameEngine::decide(const QString& dir, const QString& name, bool preview)
{
    PlannedFile f;
    f.dir = dir;
    f.name = name;
    m_haveBefore = false;
    if (name.startsWith(QLatin1Char('.'))) {
        f.outcome = PlannedFile::Outcome::Skip;
        f.reason = kHidden;
        return f;
    }
    FileError err;
    const qint64 length = m_services.files->length(dir + name, &err);
    if (length < 0) {
        f.outcome = PlannedFile::Outcome::Unreadable;
        f.reason = err.description;
        return f;
    }
    if (length == 0) {
        f.outcome = PlannedFile::Outcome::ZeroLength;
        return f;
    }

    QString base;
    const bool fromTags = trimSpaces(m_format.formatString) != QLatin1String("None");
    if (fromTags) {
        if (!loadTags(dir, name, preview, &f) || !buildFromTags(&f))
            return f;
        base = m_fileParts.join(m_separator);
    } else {
        base = beforeLast(name, QLatin1Char('.'));
    }
    // Filters may put back what the tag values were cleared of.
    const QString cleaned = withoutLeadingDots(withoutControls(massRenameCleanup(base, m_rules)));
    if (trimSpaces(cleaned).isEmpty()) {
        f.outcome = PlannedFile::Outcome::Skip;
        f.reason = fromTags ? kNoValidName : kNoValidCleanName;
        return f;
    }
    f.newName = cleaned + QStringLiteral(".mp3");
    f.outcome = f.newName == name ? PlannedFile::Outcome::SameName : PlannedFile::Outcome::Rename;
    return f;
}

bool MassRenameEngine::startNextFile()
{
    if (stopNow())
        return false;
    ++m_counters.total;
    showCounters();
    if (m_continue)
        return true;
    m_view.refreshNow();
    m_services.prompter->message(kProduct, QStringLiteral("Mass Renaming Cancelled."), MsgIcon::Information);
    return false;
}

bool MassRenameEngine::loadTags(const QString& dir, const QString& name, bool preview, PlannedFile* f)
{
    m_fileParts.clear();
    m_currentFile = withTrailingSlash(dir) + name;
    // The tag object keeps its old name when a file cannot be opened; start
    // from a fresh one when that name is this file's, so failure shows.
    if (m_v2->fileName() == m_currentFile)
        resetTag();
    // The load writes nothing (a preview must not, and the run decides
    // below whether the trailer may be written).
    m_v2->setFileName(m_currentFile);
    if (m_v2->fileName() != m_currentFile) {
        f->outcome = PlannedFile::Outcome::Unreadable;
        f->reason = kCannotOpen;
        return false;
    }
    // Nobody asked for the trailer a run writes: only MPEG audio that may be
    // changed so gets one; any other file keeps its bytes, mode and time.
    if (preview || !m_v2->holdsAudio() || !mayChangeUnasked(m_currentFile))
        return true;
    if (!noteTailBefore(dir, name)) {
        f->outcome = PlannedFile::Outcome::Unreadable;
        f->reason = kNoJournal;
        return false;
    }
    FileTimeKeeper keepTime(m_currentFile, m_prefs.options.keepFileTimes);
    mirrorV1FromV2();
    FileError timeError;
    if (!keepTime.restore(&timeError))
        m_log.writeTimeNotKept(m_currentFile, timeError.description);
    if (m_haveBefore) {
        reachPoint(RunPoint::Changed);
        // A rename's record, next, tells the undo the file as it is now;
        // any other outcome records it on its own.
        m_trailerPending = true;
    }
    return true;
}

void MassRenameEngine::resetTag()
{
    m_v2 = std::make_unique<ID3V2Tag>();
    m_v2->setKeepTrailerOnLoad(true);
}

bool MassRenameEngine::noteTailBefore(const QString& dir, const QString& name)
{
    m_haveBefore = false;
    const QString path = dir + name;
    FileSystem& files = *m_services.files;
    FileStamp st;
    QByteArray tail;
    // A file that cannot be looked at is not written either (the load fails).
    if (!files.stamp(path, &st) || !st.regular || !files.readBytes(path, -kTrailerBytes, kTrailerBytes, &tail))
        return true;
    RenameRecord& r = m_before;
    r = {};
    r.kind = RenameRecord::Kind::Trailer;
    r.dir = dir;
    r.oldName = name;
    r.sizeBefore = st.size;
    r.modifiedBefore = st.modifiedNs;
    r.modeBefore = st.mode;
    if (st.size > kTrailerBytes && tail.startsWith("TAG")) {
        r.tailKeep = st.size - kTrailerBytes;
        r.tail = tail;
    } else {
        r.tailKeep = st.size;
    }
    m_haveBefore = journal(r);
    return m_haveBefore;
}

bool MassRenameEngine::buildFromTags(PlannedFile* f)
{
    bool missing = false;
    for (const QString& part : std::as_const(m_format.parts)) {
        FieldId id;
        if (!fieldByName(part, &id))
            continue; // unknown names add nothing and are never missing
        bool ok = true;
        switch (id) {
        case FieldId::Track:
            ok = addNamePart(std::abs(m_v2->track()));
            break;
        case FieldId::TotalTracks:
            ok = addNamePart(std::abs(m_v2->totalTracks()));
            break;
        default:
            ok = addNamePart(m_v2->fieldText(id));
            break;
        }
        if (!ok)
            missing = true;
    }
    if (m_fileParts.isEmpty() || missing) {
        f->outcome = PlannedFile::Outcome::Skip;
        f->reason = m_fileParts.isEmpty() ? kNoValidName : kIncomplete;
        return false;
    }
    return true;
}

bool MassRenameEngine::addNamePart(const QString& text)
{
    const QString t = trimSpaces(withoutLeadingDots(trimSpaces(withoutControls(text))));
    const bool ok = !m_choices.allParts || !t.isEmpty();
    if (ok && !t.isEmpty())
        m_fileParts << t;
    return ok;
}

bool MassRenameEngine::addNamePart(int number)
{
    if (m_choices.useOptions && m_prefs.options.useFormattedTrack)
        return addNamePart(formatTrack(number, m_prefs.options));
    return addNamePart(QString::number(number));
}

void MassRenameEngine::mirrorV1FromV2()
{
    if (trimSpaces(m_currentFile).isEmpty())
        return;
    m_v1->clear();
    std::array<QString, kFieldCount> texts;
    for (FieldId id : { FieldId::Artist, FieldId::Album, FieldId::Title, FieldId::Track, FieldId::Year, FieldId::Genre,
             FieldId::Comments })
        texts[int(id)] = m_v2->fieldText(id);
    setTrailerFields(*m_v1, texts);
    m_errors.take();
    if (m_v1->writeToFile(m_currentFile))
        return;
    // The run goes on; the failure is logged and shown unless the user
    // chose to skip errors of its kind.
    const QString message = fileErrorMessage(m_currentFile, m_v1->lastWriteError());
    if (message.isEmpty())
        return;
    QString description = message;
    int number = 0;
    parseErrorMessage(message, &description, &number);
    m_log.writeTagWriteFailed(m_currentFile, description);
    if (!m_errors.isMuted(number)) {
        m_view.refreshNow();
        m_errors.show(message, number);
    }
}

void MassRenameEngine::carry(const PlannedFile& f)
{
    carryOutcome(f);
    journalTrailerWritten();
}

void MassRenameEngine::carryOutcome(const PlannedFile& f)
{
    const QString& dir = f.dir;
    const QString& name = f.name;
    switch (f.outcome) {
    case PlannedFile::Outcome::Unreadable:
        fail(dir, name, QString(), f.reason, false);
        return;
    case PlannedFile::Outcome::ZeroLength:
        setStatus(QStringLiteral("Error: Zero-Length File Encountered"));
        m_log.writeZeroLength(dir, name);
        ++m_counters.errors;
        m_view.addResultRow(dir, name, QString(), ResultColour::Failed);
        return;
    case PlannedFile::Outcome::Skip:
        skip(dir, name, f.reason);
        return;
    case PlannedFile::Outcome::SameName:
        m_view.addResultRow(dir, name, f.newName, ResultColour::Failed);
        m_log.writeSameName(dir, name);
        ++m_counters.skipped;
        setStatus(QStringLiteral("Skipping ") + dir + name);
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
            ++m_counters.skipped;
            setStatus(QStringLiteral("Skipping ") + dir + name);
            m_view.addResultRow(dir, name, f.newName, ResultColour::Failed);
            m_log.writeDeclined(dir, name);
            return;
        }
    }
    rename(dir, name, f.newName);
}

void MassRenameEngine::skip(const QString& dir, const QString& name, const QString& reason)
{
    ++m_counters.skipped;
    m_view.addResultRow(dir, name, name, ResultColour::Failed);
    setStatus(QStringLiteral("Skipping ") + dir + name);
    m_log.writeSkipped(dir, name, reason);
}

void MassRenameEngine::fail(
    const QString& dir, const QString& name, const QString& newName, const QString& description, bool renameFailed)
{
    m_view.addResultRow(dir, name, newName, ResultColour::Failed);
    if (renameFailed)
        m_log.writeRenameFailed(dir, name, description);
    else
        m_log.writeUnreadable(dir, name, description);
    ++m_counters.errors;
    setStatus(QStringLiteral("Error On ") + dir + name + QStringLiteral(" - View Log File"));
}

void MassRenameEngine::rename(const QString& dir, const QString& name, const QString& newName)
{
    setStatus(QStringLiteral("Renaming ") + dir + name);
    FileError err;
    FileSystem& files = *m_services.files;
    // The rename does not alter this stamp: it is how the undo knows the
    // file as the run left it.
    RenameRecord record;
    record.dir = dir;
    record.oldName = name;
    record.newName = newName;
    if (!files.stamp(dir + name, &record.after, &err)) {
        fail(dir, name, newName, err.description, true);
        return;
    }
    record.haveStamp = true;
    record.modeBefore = record.after.mode;
    m_trailerPending = false; // this record says how the trailer write left the file
    if (!journal(record)) {
        fail(dir, name, newName, kNoJournal, true);
        return;
    }
    // A rename needs no write permission on the file itself: its mode stays.
    const bool renamed = files.rename(dir + name, dir + newName, &err);
    reachPoint(RunPoint::Changed);
    if (!renamed) {
        fail(dir, name, newName, err.description, true);
        return;
    }
    ++m_counters.renamed;
    m_log.writeRenamed(dir, name, newName);
    m_view.addResultRow(dir, name, newName, ResultColour::Renamed);
}
