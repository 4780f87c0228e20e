#include "massrenameengine.h"

#include "filesearch.h"
#include "runsummary.h"

#include "nameedit/stringhelpers.h"
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

#include <cstdlib>

namespace {

const QString kProduct = QStringLiteral("Velmora");
const QString kCrLf = QStringLiteral("\r\n");
const QString kNoValidName = QStringLiteral(" (Could Not Make A Valid Filename From Internal Tags)");
const QString kIncomplete = QStringLiteral(" (Internal Tags Incomplete)");

} // namespace

MassRenameEngine::MassRenameEngine(PlatformServices& services, Preferences& prefs, MassRenameView& view)
    : m_services(services)
    , m_prefs(prefs)
    , m_view(view)
    , m_v2(std::make_unique<ID3V2Tag>(services.prompter))
    , m_v1(std::make_unique<ID3V1Tag>(services.prompter))
    , m_logFolder(MassRenameLog::DefaultFolder())
    , m_fileLimit(FileSearch::kDefaultLimit)
{
}

MassRenameEngine::~MassRenameEngine() = default;

MassRenameEngine::GoResult MassRenameEngine::Go(const MassRenameChoices& choices)
{
    if (!DirExists(choices.startDir)) {
        m_services.prompter->message(QStringLiteral("Error!"), QStringLiteral("The Starting Directory Cannot Be Found!"),
                                     MsgIcon::Critical);
        return GoResult::StartDirMissing;
    }
    m_view.ClearResults();
    const QString question = RunConfirmationText(choices, m_prefs.options);
    if (!m_services.prompter->askYesNo(kProduct + QStringLiteral(" - Mass Renaming..."), question))
        return GoResult::Declined;
    Run(choices);
    return GoResult::Ran;
}

void MassRenameEngine::PrepareRun(const MassRenameChoices& choices)
{
    m_choices = choices;
    const bool filterCase =
        choices.useFilters && IsOn(m_prefs.store.GetOption(QStringLiteral("FilterCase"), QStringLiteral("0")));
    m_rules = MakeRenameCleanupRules(choices.useOptions, choices.useFilters, m_prefs.options, m_prefs.filters,
                                     filterCase);
    m_separator = RunSeparator(m_rules);
    m_limitExceeded = false;
    m_currentDir.clear();
}

void MassRenameEngine::OpenLog()
{
    const QDateTime started = m_services.clock->now();
    m_logFileName = m_logFolder + MassRenameLog::FileNameFor(started);
    FileError err;
    if (!m_log.Open(m_logFileName, &err)) {
        m_services.prompter->message(kProduct,
                                     QStringLiteral("Could Not Open Log File!") + kCrLf + kCrLf + err.description
                                         + QStringLiteral(" (") + QString::number(err.number) + QLatin1Char(')'),
                                     MsgIcon::Critical);
        return;
    }
    m_log.WriteOpening(RunSettingsText(m_choices, m_prefs.options), started);
}

void MassRenameEngine::Run(const MassRenameChoices& choices)
{
    PrepareRun(choices);
    m_view.ShowRunStatus(true);
    m_view.SetRunControls(false);
    SetStatus(QStringLiteral("Mass Renaming In Progress"));
    m_counters = {};
    ShowCounters();

    if (m_choices.logOperation)
        OpenLog();

    m_format = ParseBuiltFormat(m_choices.builtFormat);
    m_view.SetCurrentDir(QString());
    SetStatus(QStringLiteral("Searching For Files To Process...."));
    m_view.RefreshNow();

    FileSearch search(m_fileLimit);
    const QString pattern = QStringLiteral("*.mp3");
    if (m_choices.includeSubs)
        search.StartSearch(m_choices.startDir, pattern);
    else
        search.SearchSingleFolder(m_choices.startDir, pattern);
    m_limitExceeded = search.LimitExceeded();
    const QStringList found = search.TakeFound();
    if (m_limitExceeded)
        m_log.WriteLimitNote(m_fileLimit);

    SetStatus(QStringLiteral("Processing Files..."));
    m_continue = true;
    for (const QString& path : found) {
        ++m_counters.total;
        ShowCounters();
        if (!m_continue) {
            m_view.RefreshNow();
            m_services.prompter->message(kProduct, QStringLiteral("Mass Renaming Cancelled."), MsgIcon::Information);
            break;
        }
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        ProcessFile(path.left(slash + 1), path.mid(slash + 1));
        ShowCounters();
        m_view.Progress();
    }

    if (m_choices.logOperation)
        m_log.WriteClosing(m_counters, m_services.clock->now());

    QString status = QStringLiteral("Mass Renaming Processed ") + QString::number(m_counters.total) + QStringLiteral(" Files");
    if (m_limitExceeded)
        status += QStringLiteral(" (More Than ") + QString::number(m_fileLimit)
            + QStringLiteral(" Found, The Rest Were Left)");
    SetStatus(status + QStringLiteral(" - View Log For Details"));
    m_view.SetRunControls(true);
    m_view.ShowRunStatus(false);
    m_view.RefreshNow();
}

void MassRenameEngine::ProcessFile(const QString& dir, const QString& name)
{
    // Names are used as they are: a name may begin or end with a space.
    if (TrimSpaces(name).isEmpty())
        return;
    if (dir != m_currentDir) {
        m_currentDir = dir;
        m_view.SetCurrentDir(dir);
    }
    const QString path = dir + name;
    FileError err;
    const qint64 length = m_services.files->length(path, &err);
    if (length < 0) {
        Fail(dir, name, QString(), err.description, false);
        return;
    }
    if (length == 0) {
        SetStatus(QStringLiteral("Error: Zero-Length File Encountered"));
        m_log.WriteZeroLength(dir, name);
        ++m_counters.errors;
        m_view.AddResultRow(dir, name, QString(), ResultColour::Failed);
        return;
    }

    QString base;
    if (TrimSpaces(m_format.formatString) != QLatin1String("None")) {
        if (!BuildFromTags(dir, name, &base))
            return;
    } else {
        base = BeforeLast(name, QLatin1Char('.'));
    }

    const QString newName = MassRenameCleanup(base, m_rules) + QStringLiteral(".mp3");
    if (newName == name) {
        m_view.AddResultRow(dir, name, newName, ResultColour::Failed);
        m_log.WriteSameName(dir, name);
        ++m_counters.skipped;
        SetStatus(QStringLiteral("Skipping ") + dir + name);
        return;
    }
    if (m_choices.confirmEach) {
        m_view.RefreshNow();
        const Answer answer = m_services.prompter->askYesNoCancel(
            kProduct, QStringLiteral("Rename...") + kCrLf + kCrLf + dir + name + kCrLf + kCrLf + QStringLiteral(" As")
                          + kCrLf + kCrLf + dir + newName);
        if (answer == Answer::Cancel) {
            m_log.WriteCancelled();
            m_continue = false;
        }
        if (answer != Answer::Yes) {
            ++m_counters.skipped;
            SetStatus(QStringLiteral("Skipping ") + dir + name);
            m_view.AddResultRow(dir, name, newName, ResultColour::Failed);
            m_log.WriteDeclined(dir, name);
            return;
        }
    }
    Rename(dir, name, newName);
}

bool MassRenameEngine::BuildFromTags(const QString& dir, const QString& name, QString* base)
{
    m_fileParts.clear();
    m_currentFile = AddBackslash(dir) + name;
    // The tag object keeps its old name when a file cannot be opened; start
    // from a fresh one when that name is this file's, so failure shows.
    if (m_v2->FileName() == m_currentFile)
        m_v2 = std::make_unique<ID3V2Tag>(m_services.prompter);
    const FileTimeKeeper keepTime(m_currentFile, m_prefs.options.KeepFileTimes); // over the tag writes below
    m_v2->SetFileName(m_currentFile);
    if (m_v2->FileName() != m_currentFile) {
        Fail(dir, name, QString(), QStringLiteral("The File Cannot Be Opened For Reading"), false);
        return false;
    }
    MirrorV1FromV2();

    bool missing = false;
    for (const QString& part : std::as_const(m_format.parts)) {
        FieldId id;
        if (!fieldByName(part, &id))
            continue; // unknown names add nothing and are never missing
        bool ok = true;
        switch (id) {
        case FieldId::Track: ok = AddNamePart(std::abs(m_v2->Track())); break;
        case FieldId::TotalTracks: ok = AddNamePart(std::abs(m_v2->TotalTracks())); break;
        default: ok = AddNamePart(m_v2->FieldText(id)); break;
        }
        if (!ok)
            missing = true;
    }
    if (m_fileParts.isEmpty()) {
        Skip(dir, name, kNoValidName);
        return false;
    }
    if (missing) {
        Skip(dir, name, kIncomplete);
        return false;
    }
    *base = m_fileParts.join(m_separator);
    return true;
}

bool MassRenameEngine::AddNamePart(const QString& text)
{
    const QString t = TrimSpaces(text);
    const bool ok = !m_choices.allParts || !t.isEmpty();
    if (ok && !t.isEmpty())
        m_fileParts << t;
    return ok;
}

bool MassRenameEngine::AddNamePart(int number)
{
    if (m_choices.useOptions && m_prefs.options.UseFormattedTrack)
        return AddNamePart(FormatTrack(number, m_prefs.options));
    return AddNamePart(QString::number(number));
}

void MassRenameEngine::MirrorV1FromV2()
{
    if (TrimSpaces(m_currentFile).isEmpty())
        return;
    m_v1->Clear();
    m_v1->SetArtist(m_v2->Artist());
    m_v1->SetAlbum(m_v2->Album());
    m_v1->SetTitle(m_v2->Title());
    m_v1->SetTrack(m_v2->Track());
    m_v1->SetTheYear(m_v2->Year());
    m_v1->SetGenre(GetGenreIndex(m_v2->Genre()));
    m_v1->SetComment(m_v2->Comments());
    // A failed write has been reported by the tag layer; the run goes on.
    m_v1->WriteToFile(m_currentFile);
}

void MassRenameEngine::Skip(const QString& dir, const QString& name, const QString& reason)
{
    ++m_counters.skipped;
    m_view.AddResultRow(dir, name, name, ResultColour::Failed);
    SetStatus(QStringLiteral("Skipping ") + dir + name);
    m_log.WriteSkipped(dir, name, reason);
}

void MassRenameEngine::Fail(const QString& dir, const QString& name, const QString& newName,
                            const QString& description, bool renameFailed)
{
    m_view.AddResultRow(dir, name, newName, ResultColour::Failed);
    if (renameFailed)
        m_log.WriteRenameFailed(dir, name, description);
    else
        m_log.WriteUnreadable(dir, name, description);
    ++m_counters.errors;
    SetStatus(QStringLiteral("Error On ") + dir + name + QStringLiteral(" - View Log File"));
}

void MassRenameEngine::Rename(const QString& dir, const QString& name, const QString& newName)
{
    SetStatus(QStringLiteral("Renaming ") + dir + name);
    FileError err;
    FileSystem& files = *m_services.files;
    if (!files.resetAttributes(dir + name, &err) || !files.rename(dir + name, dir + newName, &err)) {
        Fail(dir, name, newName, err.description, true);
        return;
    }
    ++m_counters.renamed;
    m_log.WriteRenamed(dir, name, newName);
    m_view.AddResultRow(dir, name, newName, ResultColour::Renamed);
}
