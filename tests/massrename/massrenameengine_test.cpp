#include "massrenamefixture.h"

#include "massrename/filesearch.h"
#include "tags/id3v1tag.h"

#include <QFile>

#include <unistd.h>

namespace {

QString crlf(const QStringList& lines) { return lines.join(QStringLiteral("\r\n")); }

} // namespace

// ---- The walk ----------------------------------------------------------------

TEST_F(MassRenameTest, WalkTakesAFoldersFilesThenEachSubfolderCompletely)
{
    makeMp3(QStringLiteral("x.mp3"));
    makeMp3(QStringLiteral("C/z.mp3"));
    makeMp3(QStringLiteral("B/y.mp3"));
    makeMp3(QStringLiteral("B/D/w.mp3"));
    makeMp3(QStringLiteral("b.MP3"));
    makeFile(QStringLiteral("notes.txt"), "text");

    FileSearch search;
    search.StartSearch(root, QStringLiteral("*.mp3"));
    EXPECT_EQ(search.Found(), (QStringList{root + "b.MP3", root + "x.mp3", root + "B/y.mp3", root + "B/D/w.mp3",
                                           root + "C/z.mp3"}));
    EXPECT_FALSE(search.LimitExceeded());

    search.SearchSingleFolder(root, QStringLiteral("*.mp3"));
    EXPECT_EQ(search.Found(), (QStringList{root + "b.MP3", root + "x.mp3"}));
}

TEST_F(MassRenameTest, WalkDoesNotFollowLinkedFolders)
{
    makeMp3(QStringLiteral("A/x.mp3"));
    ASSERT_TRUE(QFile::link(root + "A", root + "A/loop"));
    FileSearch search;
    search.StartSearch(root, QStringLiteral("*.mp3"));
    EXPECT_EQ(search.Found(), QStringList{root + "A/x.mp3"});
}

TEST_F(MassRenameTest, WalkLeavesHiddenFilesAndFoldersOut)
{
    makeMp3(QStringLiteral("a.mp3"));
    makeMp3(QStringLiteral("._a.mp3"));
    makeMp3(QStringLiteral(".Trash-1000/files/b.mp3"));
    FileSearch search;
    search.StartSearch(root, QStringLiteral("*.mp3"));
    EXPECT_EQ(search.Found(), QStringList{root + "a.mp3"});
}

TEST_F(MassRenameTest, WalkStopsAtTheLimitAndSaysSo)
{
    makeMp3(QStringLiteral("a.mp3"));
    makeMp3(QStringLiteral("S/b.mp3"));
    makeMp3(QStringLiteral("S/c.mp3"));
    FileSearch search(2);
    search.StartSearch(root, QStringLiteral("*.mp3"));
    EXPECT_EQ(search.Found(), (QStringList{root + "a.mp3", root + "S/b.mp3"}));
    EXPECT_TRUE(search.LimitExceeded());

    FileSearch exact(3);
    exact.StartSearch(root, QStringLiteral("*.mp3"));
    EXPECT_EQ(exact.Found().size(), 3);
    EXPECT_FALSE(exact.LimitExceeded());
}

TEST_F(MassRenameTest, RunOverTheLimitProcessesTheFirstFilesAndReportsTheRest)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    makeMp3(QStringLiteral("b_2.mp3"));
    makeMp3(QStringLiteral("c_3.mp3"));
    engine->SetFileLimit(2);
    choices.logOperation = true;
    engine->Run(choices);

    EXPECT_EQ(namesIn(), (QStringList{"a 1.mp3", "b 2.mp3", "c_3.mp3"}));
    EXPECT_EQ(view.counters.total, 2);
    EXPECT_TRUE(engine->LimitExceeded());
    EXPECT_EQ(view.statuses.last(),
              "Mass Renaming Processed 2 Files (More Than 2 Found, The Rest Were Left) - View Log For Details");
    EXPECT_TRUE(logLines().contains(
        ">> Note: More Than 2 Files Found; Only The First 2 Are Processed, The Rest Were Left Untouched"));
}

TEST_F(MassRenameTest, RunWithSubfoldersShowsOutcomesInWalkOrder)
{
    makeMp3(QStringLiteral("x_1.mp3"));
    makeMp3(QStringLiteral("B/y_2.mp3"));
    makeMp3(QStringLiteral("C/z_3.mp3"));
    choices.includeSubs = true;
    engine->Run(choices);
    ASSERT_EQ(view.rows.size(), 3);
    EXPECT_EQ(view.rows[0].dir, root);
    EXPECT_EQ(view.rows[0].newName, "x 1.mp3");
    EXPECT_EQ(view.rows[1].dir, root + "B/");
    EXPECT_EQ(view.rows[2].dir, root + "C/");
    EXPECT_EQ(view.counters.renamed, 3);
}

TEST_F(MassRenameTest, RunWithoutSubfoldersLeavesThemAlone)
{
    makeMp3(QStringLiteral("x_1.mp3"));
    makeMp3(QStringLiteral("B/y_2.mp3"));
    engine->Run(choices);
    EXPECT_EQ(view.counters.total, 1);
    EXPECT_TRUE(exists(QStringLiteral("B/y_2.mp3")));
}

// ---- Names from tags -----------------------------------------------------------

TEST_F(MassRenameTest, ArtistTitleWithTitleCasing)
{
    backend.values["Settings"]["New File Case"] = "TC";
    prefs.LoadOptions();
    const TestTags tags{.artist = "abba", .title = "waterloo"};
    makeMp3(QStringLiteral("song.mp3"), &tags);
    choices.builtFormat = "Artist - Title";
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"Abba - Waterloo.mp3"});
    ASSERT_EQ(view.rows.size(), 1);
    EXPECT_EQ(view.rows[0].colour, ResultColour::Renamed);
    EXPECT_EQ(view.counters.renamed, 1);
}

TEST_F(MassRenameTest, MissingTagSkipsWithAllPartsAndIsLeftOutWithout)
{
    const TestTags tags{.artist = "Abba"};
    makeMp3(QStringLiteral("song.mp3"), &tags);
    choices.builtFormat = "Artist - Title";
    choices.allParts = true;
    choices.logOperation = true;
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"song.mp3"});
    ASSERT_EQ(view.rows.size(), 1);
    EXPECT_EQ(view.rows[0].newName, "song.mp3");
    EXPECT_EQ(view.rows[0].colour, ResultColour::Failed);
    EXPECT_EQ(view.counters.skipped, 1);
    EXPECT_TRUE(logLines().contains(">> Skipped: " + root + "song.mp3 (Internal Tags Incomplete)"));

    choices.allParts = false;
    choices.logOperation = false;
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"Abba.mp3"});
}

TEST_F(MassRenameTest, NoUsableTagSkipsAsNoValidName)
{
    makeMp3(QStringLiteral("song.mp3"));
    choices.builtFormat = "Artist - Title";
    choices.allParts = true;
    choices.logOperation = true;
    engine->Run(choices);
    ASSERT_EQ(view.rows.size(), 1);
    EXPECT_EQ(view.rows[0].oldName, "song.mp3");
    EXPECT_EQ(view.rows[0].newName, "song.mp3");
    EXPECT_EQ(view.rows[0].colour, ResultColour::Failed);
    EXPECT_EQ(view.counters.skipped, 1);
    EXPECT_EQ(view.statuses.at(view.statuses.size() - 2), "Skipping " + root + "song.mp3");
    EXPECT_TRUE(logLines().contains(">> Skipped: " + root
                                    + "song.mp3 (Could Not Make A Valid Filename From Internal Tags)"));
}

TEST_F(MassRenameTest, UnknownFieldsAddNothingAndAreNeverMissing)
{
    const TestTags tags{.title = "Song"};
    makeMp3(QStringLiteral("a.mp3"), &tags);
    choices.builtFormat = "Bogus - Song";
    choices.allParts = true;
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"Song.mp3"});
}

TEST_F(MassRenameTest, TrackIsTwoDigitOnlyWithOptionsAndFormattedTracks)
{
    const TestTags tags{.title = "Song", .track = 7};
    makeMp3(QStringLiteral("a.mp3"), &tags);
    choices.builtFormat = "Track - Title";
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"7 - Song.mp3"});

    choices.useOptions = true; // separator "-" and UseFormattedTrack on by default
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"07-Song.mp3"});
}

TEST_F(MassRenameTest, TrackZeroIsLeftOutWhenFormattedAndZeroOtherwise)
{
    const TestTags tags{.title = "Song"};
    makeMp3(QStringLiteral("a.mp3"), &tags);
    choices.builtFormat = "Track - Title";
    choices.useOptions = true;
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"Song.mp3"});

    choices.useOptions = false;
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"0 - Song.mp3"});
}

TEST_F(MassRenameTest, YearZeroGivesZeroAndCopyrightGivesItsFlag)
{
    const TestTags tags{.title = "Song"};
    makeMp3(QStringLiteral("a.mp3"), &tags, false);
    makeMp3(QStringLiteral("b.mp3"), &tags, true);
    choices.builtFormat = "Title - Year - Copyright";
    engine->Run(choices);
    EXPECT_EQ(namesIn(), (QStringList{"Song - 0 - False.mp3", "Song - 0 - True.mp3"}));
}

TEST_F(MassRenameTest, SlashInATagBecomesASeparatorNotAFolder)
{
    const TestTags tags{.artist = "AC/DC", .title = "Thunderstruck"};
    makeMp3(QStringLiteral("a.mp3"), &tags);
    choices.builtFormat = "Artist - Title";
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"AC - DC - Thunderstruck.mp3"});
    EXPECT_EQ(QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{});
}

TEST_F(MassRenameTest, TagRunRewritesTheId3v1TrailerFromTheId3v2Tag)
{
    const TestTags tags{.artist = "Abba", .title = "Waterloo", .album = "Gold", .genre = "Pop", .comments = "hit",
                        .track = 3, .year = 1974};
    makeMp3(QStringLiteral("a.mp3"), &tags);
    choices.builtFormat = "Artist";
    engine->Run(choices);
    ID3V1Tag v1;
    ASSERT_TRUE(v1.ReadFromFile(root + "Abba.mp3"));
    EXPECT_EQ(v1.Artist(), "Abba");
    EXPECT_EQ(v1.Title(), "Waterloo");
    EXPECT_EQ(v1.Album(), "Gold");
    EXPECT_EQ(v1.Year(), "1974");
    EXPECT_EQ(v1.Comment(), "hit");
    EXPECT_EQ(v1.Track(), 3);
    EXPECT_EQ(v1.Genre(), 13);
}

TEST_F(MassRenameTest, CleanupRunDoesNotTouchTags)
{
    const QString path = makeMp3(QStringLiteral("my song.mp3"));
    const QByteArray before = Mp3Builder::readFile(path);
    engine->Run(choices);
    EXPECT_EQ(Mp3Builder::readFile(path), before);
}

// ---- Cleanup of existing names --------------------------------------------------

TEST_F(MassRenameTest, NoneCleansUpTheExistingName)
{
    makeMp3(QStringLiteral("my_song--live.MP3"));
    choices.logOperation = true;
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"my song - live.mp3"});
    ASSERT_EQ(view.rows.size(), 1);
    EXPECT_EQ(view.rows[0].dir, root);
    EXPECT_EQ(view.rows[0].oldName, "my_song--live.MP3");
    EXPECT_EQ(view.rows[0].newName, "my song - live.mp3");
    EXPECT_TRUE(logLines().contains(root + "my_song--live.MP3 Renamed As " + root + "my song - live.mp3"));
}

TEST_F(MassRenameTest, SameNameIsSkippedWithItsReason)
{
    makeMp3(QStringLiteral("Abba - Waterloo.mp3"));
    choices.logOperation = true;
    engine->Run(choices);
    ASSERT_EQ(view.rows.size(), 1);
    EXPECT_EQ(view.rows[0].newName, "Abba - Waterloo.mp3");
    EXPECT_EQ(view.rows[0].colour, ResultColour::Failed);
    EXPECT_EQ(view.counters.skipped, 1);
    EXPECT_EQ(view.counters.renamed, 0);
    EXPECT_TRUE(logLines().contains(">> Skipped: " + root
                                    + "Abba - Waterloo.mp3 (Old Filename and New Formatted Filename Would Be The Same)"));
}

TEST_F(MassRenameTest, LetterCaseChangeIsRenamed)
{
    backend.values["Settings"]["New File Case"] = "TC";
    prefs.LoadOptions();
    makeMp3(QStringLiteral("abba - waterloo.mp3"));
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"Abba - Waterloo.mp3"});
    EXPECT_EQ(view.counters.renamed, 1);
}

TEST_F(MassRenameTest, OptionsAndFiltersTakePartOnlyWhenChecked)
{
    backend.values["Settings"]["Remove Parens"] = "1";
    backend.values["Settings"]["SplitSpaces"] = "1";
    backend.values["Filters"]["Filter00"] = "a@e";
    prefs.LoadOptions();
    prefs.LoadFilters();
    makeMp3(QStringLiteral("band-song (live).mp3"));
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"band - song (live).mp3"});

    choices.useOptions = true;
    choices.useFilters = true;
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"bend - song live.mp3"});
}

// ---- Errors ----------------------------------------------------------------------

TEST_F(MassRenameTest, ZeroLengthFileIsAnErrorAndUntouched)
{
    makeFile(QStringLiteral("empty_one.mp3"), QByteArray());
    choices.builtFormat = "Artist";
    choices.logOperation = true;
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"empty_one.mp3"});
    EXPECT_EQ(QFileInfo(root + "empty_one.mp3").size(), 0);
    ASSERT_EQ(view.rows.size(), 1);
    EXPECT_EQ(view.rows[0].newName, "");
    EXPECT_EQ(view.rows[0].colour, ResultColour::Failed);
    EXPECT_EQ(view.counters.errors, 1);
    EXPECT_TRUE(view.statuses.contains("Error: Zero-Length File Encountered"));
    EXPECT_TRUE(logLines().contains("Error: " + root + "empty_one.mp3 (Zero Length File)"));
}

TEST_F(MassRenameTest, ExistingTargetIsLeftUntouchedAndCountedAsError)
{
    const QString source = makeMp3(QStringLiteral("a_b.mp3"));
    const QString target = makeFile(QStringLiteral("a b.mp3"), "precious");
    const QByteArray sourceBytes = Mp3Builder::readFile(source);
    choices.logOperation = true;
    engine->Run(choices);
    EXPECT_EQ(Mp3Builder::readFile(target), "precious");
    EXPECT_EQ(Mp3Builder::readFile(source), sourceBytes);
    EXPECT_EQ(view.counters.errors, 1);
    EXPECT_EQ(view.counters.renamed, 0);
    const auto row = std::find_if(view.rows.cbegin(), view.rows.cend(),
                                  [](const RecordingView::Row& r) { return r.oldName == "a_b.mp3"; });
    ASSERT_NE(row, view.rows.cend());
    EXPECT_EQ(row->newName, "a b.mp3");
    EXPECT_EQ(row->colour, ResultColour::Failed);
    EXPECT_TRUE(view.statuses.contains("Error On " + root + "a_b.mp3 - View Log File"));
    EXPECT_TRUE(logLines().contains(">> Error: Could Not Rename " + root + "a_b.mp3 (File exists)"));
}

TEST_F(MassRenameTest, FailedRenameIsAnErrorAndTheRunGoesOn)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    makeMp3(QStringLiteral("b_2.mp3"));
    files.renameFailure = {75, QStringLiteral("Permission denied")};
    choices.logOperation = true;
    engine->Run(choices);
    EXPECT_EQ(namesIn(), (QStringList{"a_1.mp3", "b 2.mp3"}));
    EXPECT_EQ(view.counters.errors, 1);
    EXPECT_EQ(view.counters.renamed, 1);
    EXPECT_TRUE(logLines().contains(">> Error: Could Not Rename " + root + "a_1.mp3 (Permission denied)"));
}

TEST_F(MassRenameTest, FileThatVanishedBeforeItsTurnIsAnErrorOfThatFile)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    makeMp3(QStringLiteral("b_2.mp3"));
    view.onStatus = [this](const QString& text) {
        if (text == "Processing Files...")
            QFile::remove(root + "a_1.mp3");
    };
    choices.logOperation = true;
    engine->Run(choices);
    EXPECT_EQ(namesIn(), QStringList{"b 2.mp3"});
    EXPECT_EQ(view.counters.total, 2);
    EXPECT_EQ(view.counters.errors, 1);
    EXPECT_EQ(view.counters.renamed, 1);
    ASSERT_EQ(view.rows.size(), 2);
    EXPECT_EQ(view.rows[0].newName, "");
    EXPECT_EQ(view.rows[0].colour, ResultColour::Failed);
    EXPECT_TRUE(logLines().contains(">> Error: Could Not Read " + root + "a_1.mp3 (No such file or directory)"));
}

TEST_F(MassRenameTest, FileWhoseTagCannotBeOpenedIsAnErrorOfThatFile)
{
    // A folder now stands where the walk saw a file: it has a length, but
    // it cannot be read as a file.
    makeMp3(QStringLiteral("a.mp3"));
    const TestTags tags{.artist = "Abba"};
    makeMp3(QStringLiteral("b.mp3"), &tags);
    view.onStatus = [this](const QString& text) {
        if (text == "Processing Files...") {
            QFile::remove(root + "a.mp3");
            QDir().mkpath(root + "a.mp3/inner");
        }
    };
    choices.builtFormat = "Artist";
    choices.logOperation = true;
    engine->Run(choices);
    EXPECT_EQ(view.counters.errors, 1);
    EXPECT_EQ(view.counters.renamed, 1);
    ASSERT_EQ(view.rows.size(), 2);
    EXPECT_EQ(view.rows[0].oldName, "a.mp3");
    EXPECT_EQ(view.rows[0].colour, ResultColour::Failed);
    EXPECT_TRUE(QFileInfo(root + "a.mp3").isDir());
    EXPECT_TRUE(logLines().contains(">> Error: Could Not Read " + root
                                    + "a.mp3 (The File Cannot Be Opened For Reading)"));
}

TEST_F(MassRenameTest, UnreadableFileInATagRunIsAnError)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser can read every file";
    makeMp3(QStringLiteral("a.mp3"));
    QFile::setPermissions(root + "a.mp3", QFileDevice::WriteOwner);
    choices.builtFormat = "Artist";
    engine->Run(choices);
    EXPECT_EQ(view.counters.errors, 1);
    EXPECT_TRUE(exists(QStringLiteral("a.mp3")));
}

// ---- Confirmation ----------------------------------------------------------------

TEST_F(MassRenameTest, ConfirmationAsksWithBothFullNames)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    choices.confirmEach = true;
    prompter.answers.enqueue(Answer::Yes);
    engine->Run(choices);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].title, "Velmora");
    EXPECT_EQ(prompter.calls[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Question);
    EXPECT_EQ(prompter.calls[0].text, "Rename...\r\n\r\n" + root + "a_1.mp3\r\n\r\n As\r\n\r\n" + root + "a 1.mp3");
    EXPECT_EQ(namesIn(), QStringList{"a 1.mp3"});
}

TEST_F(MassRenameTest, NoInTheConfirmationSkipsTheFile)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    makeMp3(QStringLiteral("b_2.mp3"));
    choices.confirmEach = true;
    choices.logOperation = true;
    prompter.answers << Answer::No << Answer::Yes;
    engine->Run(choices);
    EXPECT_EQ(namesIn(), (QStringList{"a_1.mp3", "b 2.mp3"}));
    EXPECT_EQ(view.counters.skipped, 1);
    EXPECT_EQ(view.rows[0].newName, "a 1.mp3");
    EXPECT_EQ(view.rows[0].colour, ResultColour::Failed);
    const QStringList lines = logLines();
    EXPECT_TRUE(lines.contains("No Replied To Renaming Of: " + root + "a_1.mp3"));
    EXPECT_FALSE(lines.contains("Mass Renaming Cancelled!"));
}

TEST_F(MassRenameTest, CancelLogsBothLinesAndStopsAtTheNextFile)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    makeMp3(QStringLiteral("b_2.mp3"));
    makeMp3(QStringLiteral("c_3.mp3"));
    choices.confirmEach = true;
    choices.logOperation = true;
    prompter.answers << Answer::Cancel;
    engine->Run(choices);

    EXPECT_EQ(namesIn(), (QStringList{"a_1.mp3", "b_2.mp3", "c_3.mp3"}));
    EXPECT_EQ(view.counters.total, 2);
    EXPECT_EQ(view.counters.skipped, 1);
    EXPECT_EQ(view.rows.size(), 1);
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].text, "Mass Renaming Cancelled.");
    EXPECT_EQ(prompter.calls[1].icon, MsgIcon::Information);
    EXPECT_EQ(prompter.calls[1].title, "Velmora");

    const QStringList lines = logLines();
    const qsizetype cancelled = lines.indexOf("Mass Renaming Cancelled!");
    ASSERT_GE(cancelled, 0);
    EXPECT_EQ(lines.at(cancelled + 1), "No Replied To Renaming Of: " + root + "a_1.mp3");
    EXPECT_TRUE(lines.contains("Operation Complete - 2 Total Files (1 Skipped, 0 Errors, 0 Renamed)"));
}

// ---- Run frame -----------------------------------------------------------------------

TEST_F(MassRenameTest, RunWithNoFilesEndsAtOnceWithZeroCounters)
{
    choices.logOperation = true;
    engine->Run(choices);
    EXPECT_EQ(view.counters.total, 0);
    EXPECT_EQ(view.counters.skipped, 0);
    EXPECT_EQ(view.rows.size(), 0);
    EXPECT_EQ(view.statuses.last(), "Mass Renaming Processed 0 Files - View Log For Details");
    EXPECT_TRUE(logLines().contains("Operation Complete - 0 Total Files (0 Skipped, 0 Errors, 0 Renamed)"));
}

TEST_F(MassRenameTest, RunShowsItsStatusesAndControlsInOrder)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    engine->Run(choices);
    EXPECT_EQ(view.statuses, (QStringList{"Mass Renaming In Progress", "Searching For Files To Process....",
                                          "Processing Files...", "Renaming " + root + "a_1.mp3",
                                          "Mass Renaming Processed 1 Files - View Log For Details"}));
    EXPECT_EQ(view.runControls, (QList<bool>{false, true}));
    EXPECT_EQ(view.runStatus, (QList<bool>{true, false}));
    EXPECT_GE(view.progressCalls, 1);
    EXPECT_EQ(view.currentDir, root);
}

TEST_F(MassRenameTest, WholeLogOfASmallRun)
{
    makeMp3(QStringLiteral("Abba One.mp3"));
    makeMp3(QStringLiteral("abba_one.mp3")); // would become the name already taken
    makeMp3(QStringLiteral("c_d.mp3"));
    makeFile(QStringLiteral("empty.mp3"), QByteArray());
    backend.values["Settings"]["New File Case"] = "TC";
    prefs.LoadOptions();
    choices.logOperation = true;
    choices.useOptions = true;
    engine->Run(choices);

    const QStringList logs = QDir(logFolder).entryList(QDir::Files);
    EXPECT_EQ(logs, QStringList{"MassRename-07Mar26-140509.log"});
    EXPECT_EQ(engine->LogFileName(), logFolder + "MassRename-07Mar26-140509.log");
    const QString expected = crlf({
        "Velmora - Mass Renaming Log",
        "",
        "Starting Directory: " + root,
        "",
        "Include SubDirectories: No",
        "Confirm Each Rename: No",
        "Use Defined Filters: No",
        "Use Defined Options: Yes",
        "Create A Log of Operations: Yes",
        "",
        "ID3 Tag Autoformatting: None",
        "All Selected ID3 Tags Must Exist Before Renaming: No",
        "",
        "Remove Parenthesis From Filenames: No (From Options)",
        "Remove UnderScores From Filenames: No (From Options)",
        "Pad Separator ('-') With Spaces: No (From Options)",
        "Use 2-Digit Tracks: Yes (From Options)",
        "Automatic Filename Casing Type: Title Casing (From Options)",
        "",
        "Started: 3/7/26 2:05:09 PM",
        "",
        ">> Skipped: " + root + "Abba One.mp3 (Old Filename and New Formatted Filename Would Be The Same)",
        ">> Error: Could Not Rename " + root + "abba_one.mp3 (File exists)",
        root + "c_d.mp3 Renamed As " + root + "C D.mp3",
        "Error: " + root + "empty.mp3 (Zero Length File)",
        "",
        "Operation Complete - 4 Total Files (1 Skipped, 2 Errors, 1 Renamed)",
        "",
        "Completed: 3/7/26 2:05:09 PM",
        "",
    });
    EXPECT_EQ(logText(), expected);
}

TEST_F(MassRenameTest, LogThatCannotBeCreatedIsReportedAndTheRunGoesOn)
{
    makeFile(QStringLiteral("../logs"), "a file where the folder should be");
    makeMp3(QStringLiteral("a_1.mp3"));
    choices.logOperation = true;
    engine->Run(choices);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_TRUE(prompter.calls[0].text.startsWith("Could Not Open Log File!\r\n\r\n"));
    EXPECT_TRUE(prompter.calls[0].text.endsWith(")"));
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Critical);
    EXPECT_EQ(namesIn(), QStringList{"a 1.mp3"});
}

TEST_F(MassRenameTest, RunWithoutLogWritesNoFileAndKeepsTheLastLogName)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    engine->Run(choices);
    EXPECT_FALSE(QDir(logFolder).exists() && !QDir(logFolder).isEmpty());
    EXPECT_EQ(engine->LogFileName(), "");
}

// ---- Go ------------------------------------------------------------------------------

TEST_F(MassRenameTest, GoWithAMissingStartFolderSaysSoAndRunsNothing)
{
    choices.startDir = root + "nowhere/";
    EXPECT_EQ(engine->Go(choices), MassRenameEngine::GoResult::StartDirMissing);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].title, "Error!");
    EXPECT_EQ(prompter.calls[0].text, "The Starting Directory Cannot Be Found!");
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(view.statuses.isEmpty());
}

TEST_F(MassRenameTest, GoAsksWithTheRunsSettingsAndStopsOnNo)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    choices.builtFormat = "Artist - Title";
    choices.includeSubs = true;
    EXPECT_EQ(engine->Go(choices), MassRenameEngine::GoResult::Declined);
    EXPECT_EQ(view.clears, 1);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].title, "Velmora - Mass Renaming...");
    EXPECT_EQ(prompter.calls[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompter.calls[0].text,
              "Reformat All MP3 Files Found Using The Following Options?\r\n\r\n"
              "Starting Directory: "
                  + root
                  + "\r\n\r\n"
                    "Include SubDirectories: Yes\r\n"
                    "Confirm Each Rename: No\r\n"
                    "Use Defined Filters: No\r\n"
                    "Use Defined Options: No\r\n"
                    "Create A Log of Operations: No\r\n\r\n"
                    "ID3 Tag Autoformatting: Artist - Title\r\n"
                    "All Selected ID3 Tags Must Exist Before Renaming: No\r\n\r\n"
                    "Automatic Filename Casing Type: None (From Options)\r\n");
    EXPECT_TRUE(exists(QStringLiteral("a_1.mp3")));

    prompter.answers << Answer::Yes;
    EXPECT_EQ(engine->Go(choices), MassRenameEngine::GoResult::Ran);
}
