#include "massrename/autoformat.h"
#include "massrename/massrenamechoices.h"
#include "massrename/massrenamelog.h"
#include "massrename/nameplanner.h"
#include "massrename/renamecleanup.h"
#include "massrename/runsummary.h"
#include "massrename/viewlogfile.h"
#include "platform/fakes/memorysettingsbackend.h"
#include "platform/fakes/recordinglauncher.h"
#include "platform/fakes/scriptedprompter.h"
#include "settings/options.h"
#include "settings/settingsstore.h"
#include "support/mp3builder.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

RenameCleanupRules plainRules(const QString& newFileCase = QStringLiteral("NC"))
{
    RenameCleanupRules r;
    r.newFileCase = nameCaseFromCode(newFileCase);
    return r;
}

} // namespace

// ---- Cleanup chain ---------------------------------------------------------------

TEST(MassRenameCleanup, TurnsDashRunsUnderscoresAndSpacesIntoOneSeparatorOrSpaceAndAppliesCasing)
{
    const struct {
        const char* in;
        const char* fileCase;
        const char* out;
    } cases[] = {
        { "my_song--live", "NC", "my song - live" },
        { "a-------b", "NC", "a - b" },
        { "a---b", "NC", "a - b" },
        { "Jean-Luc", "NC", "Jean - Luc" },
        { "a~b", "NC", "a - b" },
        { "My%20Song", "NC", "My Song" },
        { "A     B", "NC", "A B" },
        { "A          B", "NC", "A B" },
        { "a__b", "NC", "a b" },
        // Leading and trailing separators stay; a slash from a tag is a separator, a backslash is kept.
        { "-Intro", "NC", " - Intro" },
        { "Outro-", "NC", "Outro - " },
        { "AC/DC", "NC", "AC - DC" },
        { "a\\b", "NC", "a\\b" },
        // Casing is always applied.
        { "the band--song", "TC", "The Band - Song" },
        { "the band--song", "UC", "THE BAND - SONG" },
        { "The Band--Song", "LC", "the band - song" },
        { "The bAnd--Song", "XX", "The bAnd - Song" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(massRenameCleanup(c.in, plainRules(c.fileCase)), c.out) << c.in << ' ' << c.fileCase;
}

TEST(MassRenameCleanup, OptionsGiveTheSeparatorAndParenthesesOnlyWhenUsed)
{
    RenameCleanupRules r = plainRules();
    r.removeParens = true;
    r.separatorString = "-";
    EXPECT_EQ(massRenameCleanup("Song - (Live)", r), "Song - (Live)");
    EXPECT_EQ(runSeparator(r), " - ");
    r.useOptions = true;
    EXPECT_EQ(massRenameCleanup("Song - (Live)", r), "Song-Live");
    EXPECT_EQ(runSeparator(r), "-");
    r.separatorString = " - ";
    EXPECT_EQ(massRenameCleanup("Song--Live", r), "Song - Live");
}

TEST(MassRenameCleanup, FiltersRunOnlyWhenUsedAndInOrder)
{
    RenameCleanupRules r = plainRules();
    r.filters = { FilterRecord { FilterKind::Replace, "a", "e" }, FilterRecord { FilterKind::Delete, "n", "" },
        FilterRecord { FilterKind::None, "B", "Q" } };
    EXPECT_EQ(massRenameCleanup("Banana", r), "Banana");
    r.useFilters = true;
    EXPECT_EQ(massRenameCleanup("Banana", r), "Beee");
    EXPECT_EQ(massRenameCleanup("BANANA", r), "BEEE");
    r.filterCase = true;
    EXPECT_EQ(massRenameCleanup("BANANA", r), "BANANA");
}

TEST(MassRenameCleanup, RulesTakeFiltersOnlyWhenUsed)
{
    Options o;
    o.separatorString = " - ";
    o.newFileCase = NameCase::Upper;
    const FilterList filters { FilterRecord { FilterKind::Delete, "x", "" } };
    const RenameCleanupRules off = makeRenameCleanupRules(false, false, o, filters, true);
    EXPECT_TRUE(off.filters.isEmpty());
    EXPECT_EQ(off.newFileCase, NameCase::Upper);
    const RenameCleanupRules on = makeRenameCleanupRules(true, true, o, filters, true);
    EXPECT_EQ(on.filters, filters);
    EXPECT_TRUE(on.filterCase);
    EXPECT_EQ(runSeparator(on), " - ");
}

// ---- Autoformat -------------------------------------------------------------------

TEST(AutoFormat, BlankTextMeansNoneAndTextSplitsAtDashes)
{
    EXPECT_EQ(parseBuiltFormat("   ").formatString, "None");
    EXPECT_TRUE(parseBuiltFormat("").parts.isEmpty());
    const AutoFormat f = parseBuiltFormat("Artist -Title-  Track ");
    EXPECT_EQ(f.formatString, "Artist -Title-  Track ");
    EXPECT_EQ(f.parts, (QStringList { "Artist", "Title", "Track" }));
    // A clicked entry starts an empty string without a separator; None empties it.
    EXPECT_EQ(appendFormatEntry("  ", "Artist", " - "), "  Artist");
    EXPECT_EQ(appendFormatEntry("Artist", "None", " - "), "");
}

// ---- Name planner -----------------------------------------------------------------

TEST(NamePlanner, BuildsNamesFromTagPartsLeavesBlanksOutUnlessAllMustExistAndFormatsTracksOnlyWithOptions)
{
    using O = PlannedFile::Outcome;
    const struct {
        const char* format;
        QString artist, title;
        int track;
        bool useOptions, allParts;
        const char* name; // the present name
        O outcome;
        const char* expected; // the new name, or the skip's reason
    } cases[] = {
        { "Artist - Title", "Abba", "Waterloo", 0, false, false, "a.mp3", O::Rename, "Abba - Waterloo.mp3" },
        { "Artist - Title", "Abba", "", 0, false, false, "a.mp3", O::Rename, "Abba.mp3" },
        { "Artist - Title", "Abba", "", 0, false, true, "a.mp3", O::Skip, " (Internal Tags Incomplete)" },
        // A name of no field is never missing.
        { "Bogus - Title", "", "Song", 0, false, true, "a.mp3", O::Rename, "Song.mp3" },
        { "Artist - Title", " ", "", 0, false, false, "a.mp3", O::Skip,
            " (Could Not Make A Valid Filename From Internal Tags)" },
        { "Artist", "Abba", "", 0, false, false, "Abba.mp3", O::SameName, "Abba.mp3" },
        // Tracks: plain decimal without options (0 too), two digits with them (0 adds nothing).
        { "Track - Title", "", "Song", 7, false, false, "a.mp3", O::Rename, "7 - Song.mp3" },
        { "Track - Title", "", "Song", -7, false, false, "a.mp3", O::Rename, "7 - Song.mp3" },
        { "Track - Title", "", "Song", 0, false, false, "a.mp3", O::Rename, "0 - Song.mp3" },
        { "Track - Title", "", "Song", 7, true, false, "a.mp3", O::Rename, "07-Song.mp3" },
        { "Track - Title", "", "Song", 0, true, false, "a.mp3", O::Rename, "Song.mp3" },
        { "Track - Title", "", "Song", 0, true, true, "a.mp3", O::Skip, " (Internal Tags Incomplete)" },
        // Control characters become spaces, leading dots go, a slash is a separator.
        { "Artist - Title", ". .\tHidden", "A\nB", 0, false, false, "a.mp3", O::Rename, "Hidden - A B.mp3" },
        { "Artist", "...", "", 0, false, false, "a.mp3", O::Skip,
            " (Could Not Make A Valid Filename From Internal Tags)" },
        { "Artist - Title", "AC/DC", "Go", 0, false, false, "a.mp3", O::Rename, "AC - DC - Go.mp3" },
        // "None" cleans the present name instead.
        { "", "Abba", "", 0, false, false, "a_1.mp3", O::Rename, "a 1.mp3" },
        { "", "Abba", "", 0, false, false, "_.mp3", O::Skip, " (Could Not Make A Valid Filename)" },
        // Every file keeps its own extension, in lower case as MP3 files always did.
        { "Artist", "Abba", "", 0, false, false, "a.MP3", O::Rename, "Abba.mp3" },
        { "Artist", "Abba", "", 0, false, false, "a.b.FLAC", O::Rename, "Abba.flac" },
        { "Artist", "Abba", "", 0, false, false, "Abba.Opus", O::Rename, "Abba.opus" },
        { "", "", "", 0, false, false, "my_song.M4A", O::Rename, "my song.m4a" },
        { "", "", "", 0, false, false, "song.ogg", O::SameName, "song.ogg" },
    };
    Options options; // two-digit tracks
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " / " + c.name + " -> " + c.expected);
        RenameCleanupRules rules = plainRules();
        rules.useOptions = c.useOptions;
        const NamePlanner planner(parseBuiltFormat(c.format), rules, c.allParts, options);
        NameTags tags;
        tags.texts[int(FieldId::Artist)] = c.artist;
        tags.texts[int(FieldId::Title)] = c.title;
        tags.track = c.track;
        PlannedFile f;
        f.dir = "/music/";
        f.name = c.name;
        planner.plan(&f, tags);
        EXPECT_EQ(f.outcome, c.outcome);
        EXPECT_EQ(c.outcome == O::Skip ? f.reason : f.newName, c.expected);
    }

    // Hidden files are left before anything is read.
    PlannedFile hidden;
    hidden.name = ".a.mp3";
    EXPECT_TRUE(NamePlanner::leaveHidden(&hidden));
    EXPECT_EQ(hidden.outcome, PlannedFile::Outcome::Skip);
    EXPECT_EQ(hidden.reason, " (Hidden File)");
    PlannedFile shown;
    shown.name = "a.mp3";
    shown.outcome = PlannedFile::Outcome::Rename;
    EXPECT_FALSE(NamePlanner::leaveHidden(&shown));
    EXPECT_EQ(shown.outcome, PlannedFile::Outcome::Rename);
}

// ---- Stored choices ------------------------------------------------------------------

TEST(MassRenameChoices, AbsentKeysReadUncheckedAndStoredFlagsRoundTrip)
{
    // The six boxes as ones and zeros.
    const auto flags = [](const MassRenameChoices& c) {
        QString out;
        for (bool on : { c.includeSubs, c.confirmEach, c.useFilters, c.useOptions, c.logOperation, c.allParts })
            out += on ? '1' : '0';
        return out;
    };
    MemorySettingsBackend backend;
    SettingsStore store(backend);
    MassRenameChoices c = loadMassRenameChoices(store);
    EXPECT_EQ(flags(c), "000000");
    EXPECT_EQ(c.builtFormat, "");
    EXPECT_EQ(c.startDir, QDir::homePath() + "/");

    QTemporaryDir tmp;
    c.startDir = "  " + tmp.path() + "/  ";
    c.confirmEach = c.useOptions = c.allParts = true;
    c.builtFormat = " Artist - Title ";
    saveMassRenameChoices(store, c);
    EXPECT_EQ(backend.values["Settings"]["MLastDir"], tmp.path() + "/");
    EXPECT_EQ(backend.values["Settings"]["MConfirmEach"], "1");
    EXPECT_EQ(backend.values["Settings"]["MIncludeSubs"], "0");
    EXPECT_EQ(backend.values["Settings"]["MBuiltFormat"], "Artist - Title");
    const MassRenameChoices back = loadMassRenameChoices(store);
    EXPECT_EQ(flags(back), "010101");
    EXPECT_EQ(back.startDir, tmp.path() + "/");
    EXPECT_EQ(back.builtFormat, "Artist - Title");

    // A flag is on only when its number is one.
    backend.values["Settings"]["MAllParts"] = "1abc";
    backend.values["Settings"]["MUseOptions"] = "2";
    EXPECT_EQ(flags(loadMassRenameChoices(store)), "010001");
}

// ---- Run summary ------------------------------------------------------------------

TEST(RunSummary, SettingsTextNamesEveryChoiceAndTheOptionsOnlyWhenUsed)
{
    MassRenameChoices c;
    c.startDir = " /m/ ";
    c.builtFormat = "  ";
    c.includeSubs = c.useFilters = c.allParts = true;
    Options o;
    o.removeParens = true;
    o.splitSpaces = true;
    o.useFormattedTrack = false;
    const QString head
        = "Starting Directory: /m/\r\n\r\nInclude SubDirectories: Yes\r\nConfirm Each Rename: No\r\n"
          "Use Defined Filters: Yes\r\nUse Defined Options: %1\r\nCreate A Log of Operations: No\r\n\r\n"
          "ID3 Tag Autoformatting: None\r\nAll Selected ID3 Tags Must Exist Before Renaming: Yes\r\n\r\n";
    const QString casing = "Automatic Filename Casing Type: Title Casing (From Options)\r\n"
                           "MP3 Files Only: No (From Options)\r\n";
    EXPECT_EQ(runSettingsText(c, o), head.arg("No") + casing);
    c.useOptions = true;
    EXPECT_EQ(runSettingsText(c, o),
        head.arg("Yes")
            + "Remove Parenthesis From Filenames: Yes (From Options)\r\n"
              "Remove UnderScores From Filenames: No (From Options)\r\n"
              "Pad Separator ('-') With Spaces: Yes (From Options)\r\n"
              "Use 2-Digit Tracks: No (From Options)\r\n"
            + casing);
    EXPECT_EQ(runConfirmationText(c, o),
        "Reformat All Audio Files Found Using The Following Options?\r\n\r\n" + runSettingsText(c, o));
    o.mp3FilesOnly = true;
    EXPECT_TRUE(runSettingsText(c, o).endsWith("MP3 Files Only: Yes (From Options)\r\n"));
    EXPECT_EQ(runConfirmationText(c, o),
        "Reformat All MP3 Files Found Using The Following Options?\r\n\r\n" + runSettingsText(c, o));
}

// ---- Log -----------------------------------------------------------------------------

TEST(MassRenameLog, NamesCarryDayMonthYearAndTimeAndDatesHaveSecondsButNoZone)
{
    EXPECT_EQ(
        MassRenameLog::fileNameFor(QDateTime(QDate(2026, 12, 5), QTime(14, 30, 5))), "MassRename-05Dec26-143005.log");
    EXPECT_EQ(
        MassRenameLog::fileNameFor(QDateTime(QDate(2031, 1, 9), QTime(3, 4, 0))), "MassRename-09Jan31-030400.log");
    EXPECT_EQ(MassRenameLog::generalDateTime(QDateTime(QDate(2026, 12, 5), QTime(14, 30, 5))), "12/5/26 2:30:05 PM");
}

TEST(MassRenameLog, WritesNothingWhenNotOpenAndReplacesAnOldFile)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/logs/x.log";
    MassRenameLog log;
    log.writeCancelled(); // not open: nothing happens
    EXPECT_FALSE(QFileInfo::exists(path));
    ASSERT_TRUE(log.open(path, nullptr));
    log.writeCancelled();
    log.close();
    ASSERT_TRUE(log.open(path, nullptr));
    log.writeDeclined("/m/", "a.mp3");
    log.close();
    EXPECT_EQ(Mp3Builder::readFile(path), "No Replied To Renaming Of: /m/a.mp3\r\n");
    FileError err;
    EXPECT_FALSE(log.open(tmp.path(), &err)); // a folder cannot be the log
    EXPECT_EQ(err.number, 75);
    EXPECT_FALSE(err.description.isEmpty());
    EXPECT_FALSE(log.isOpen());
}

// ---- Viewing the log ------------------------------------------------------------------

TEST(ViewLogFile, OpensThePathAndReportsEachFailureCode)
{
    RecordingLauncher launcher;
    ScriptedPrompter prompter;
    EXPECT_EQ(viewLogFile(launcher, prompter, "/logs/a.log"), 0);
    EXPECT_EQ(launcher.opened, QStringList { "/logs/a.log" });
    EXPECT_TRUE(prompter.calls.isEmpty());

    launcher.result = 2;
    viewLogFile(launcher, prompter, "/logs/b.log");
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].title, "Velmora");
    EXPECT_EQ(prompter.calls[0].text, "File not found\r\n\r\n/logs/b.log");
    EXPECT_EQ(prompter.calls[0].buttons, MsgButtons::Ok);

    // Nothing on the desktop can open the log.
    launcher.result = Launcher::NoAssociation;
    EXPECT_EQ(viewLogFile(launcher, prompter, "/logs/c.log"), Launcher::NoAssociation);
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].text, "No association for file extension\r\n\r\n/logs/c.log");

    const QList<QPair<int, QString>> table
        = { { 3, "Path not found" }, { 5, "Access denied" }, { 31, "No association for file extension" },
              { 32, "Unknown error" }, { 30, "Unknown error" }, { 1, "Unknown error" }, { 0, "Unknown error" } };
    for (const auto& [code, text] : table)
        EXPECT_EQ(launchErrorText(code), text) << code;
}
