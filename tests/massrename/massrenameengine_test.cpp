#include "massrenamefixture.h"

#include "massrename/filesearch.h"
#include "massrename/runsummary.h"
#include "platform/audiofiles.h"
#include "support/id3builder.h"
#include "tags/encodedfiles.h"
#include "tags/filetimes.h"

#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace {
const QStringList kMp3 { QStringLiteral("*.mp3") };
} // namespace

// ---- The walk ----------------------------------------------------------------

TEST_F(MassRenameTest, WalkTakesAFoldersFilesThenEachSubfolderCompletelyLeavingHiddenFoldersAndLinksOut)
{
    makeMp3(QStringLiteral("x.mp3"));
    makeMp3(QStringLiteral("C/z.mp3"));
    makeMp3(QStringLiteral("B/y.mp3"));
    makeMp3(QStringLiteral("B/D/w.mp3"));
    makeMp3(QStringLiteral("b.MP3"));
    makeMp3(QStringLiteral("._a.mp3"));
    makeMp3(QStringLiteral(".Trash-1000/files/b.mp3"));
    makeFile(QStringLiteral("notes.txt"), "text");
    makeFile(QStringLiteral("C/v.FLAC"), "fLaC");
    ASSERT_TRUE(QFile::link(root + "B", root + "B/loop"));

    FileSearch search;
    search.startSearch(root, audioFileNamePatterns());
    EXPECT_EQ(search.found().size(), 7);
    EXPECT_EQ(search.found().paths().last(), root + "C/z.mp3");
    EXPECT_EQ(search.found().paths().at(5), root + "C/v.FLAC");
    search.startSearch(root, kMp3);
    // Hidden files are found (a run says it left them); hidden folders not.
    EXPECT_EQ(search.found().paths(),
        (QStringList { root + "._a.mp3", root + "b.MP3", root + "x.mp3", root + "B/y.mp3", root + "B/D/w.mp3",
            root + "C/z.mp3" }));
    EXPECT_FALSE(search.limitExceeded());
    search.searchSingleFolder(root, kMp3);
    EXPECT_EQ(search.found().paths(), (QStringList { root + "._a.mp3", root + "b.MP3", root + "x.mp3" }));
    FileSearch limited(2);
    limited.startSearch(root, kMp3);
    EXPECT_EQ(limited.found().paths(), (QStringList { root + "._a.mp3", root + "b.MP3" }));
    EXPECT_TRUE(limited.limitExceeded());
    FileSearch exact(6);
    exact.startSearch(root, kMp3);
    EXPECT_EQ(exact.found().size(), 6);
    EXPECT_FALSE(exact.limitExceeded());
}

TEST_F(MassRenameTest, WalkSortsAFoldersNamesExactlyAsQDirDoes)
{
    // Names equal but for case, letters that fold to ASCII ones, several
    // scripts, a name that is not UTF-8, and enough names for the sort to
    // leave its small-range pass; ties must come out as QDir leaves them.
    const QByteArray notUtf8("\xff"
                             "1.mp3");
    QList<QByteArray> names { "a.mp3", "A.mp3", "B2.mp3", "b.mp3", "_x.mp3", "10.mp3", "9.mp3", "z.MP3", "Z.mp3",
        "\xc3\xa9.mp3", "E.mp3",
        "\xc5\xbf"
        "b.mp3",
        "sc.mp3", "\xc3\x84.mp3", "\xc3\xa4.mp3", "\xc3\x9f.mp3", "ss.mp3", "\xe2\x84\xaa.mp3", "k.mp3",
        "\xef\xbc\xa1.mp3", "\xf0\x9f\x98\x80.mp3", "\xee\x80\x80.mp3",
        "\xce\xa9"
        "mega.mp3",
        "\xcf\x89"
        "a.mp3",
        "\xc4\xb0.mp3", "i.mp3", notUtf8, "a b.mp3", "a.b.mp3", "a.mp3.mp3", "notes.txt" };
    for (int i = 0; i < 80; ++i) {
        QByteArray name = QByteArray::number(i * 37 % 23) + (i % 3 ? "Track" : "track") + QByteArray::number(i % 7);
        names << (i % 2 ? name.toUpper() : name) + (i % 5 ? ".mp3" : ".Mp3");
    }
    for (const QByteArray& name : names) {
        const int fd = ::open((QFile::encodeName(root) + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0)
            ::close(fd);
    }
    QStringList expected;
    for (const QString& name : QDir(root).entryList(kMp3, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase))
        expected << root + name;
    ASSERT_GT(expected.size(), 100);

    FileSearch search;
    search.searchSingleFolder(root, kMp3);
    EXPECT_EQ(search.found().paths(), expected);
    EXPECT_EQ(search.found().size(), expected.size());
    FileSearch limited(40);
    limited.searchSingleFolder(root, kMp3);
    EXPECT_EQ(limited.found().paths(), expected.first(40));
    EXPECT_TRUE(limited.limitExceeded());
    // QTemporaryDir cannot remove a name that is not UTF-8.
    EXPECT_EQ(::unlink((QFile::encodeName(root) + notUtf8).constData()), 0);
}

TEST_F(MassRenameTest, RunShowsOutcomesInWalkOrderTakesSubfoldersOnlyWhenAskedAndStopsAtTheFileLimit)
{
    makeMp3(QStringLiteral("x_1.mp3"));
    makeMp3(QStringLiteral("B/y_2.mp3"));
    makeMp3(QStringLiteral("C/z_3.mp3"));
    engine->run(choices);
    EXPECT_EQ(view.counters.total, 1);
    EXPECT_TRUE(exists(QStringLiteral("B/y_2.mp3")));

    // Over the limit the first files are processed and the rest reported.
    choices.includeSubs = true;
    choices.logOperation = true;
    engine->setFileLimit(2);
    engine->run(choices);
    EXPECT_TRUE(exists(QStringLiteral("C/z_3.mp3")));
    EXPECT_EQ(counts(), "found 2 total 2 skipped 1 errors 0 renamed 1");
    EXPECT_TRUE(engine->limitExceeded());
    EXPECT_EQ(view.statuses.last(),
        "Mass Renaming Processed 2 Files (More Than 2 Found, The Rest Were Left) - View Log For Details");
    EXPECT_TRUE(logLines().contains(
        ">> Note: More Than 2 Files Found; Only The First 2 Are Processed, The Rest Were Left Untouched"));

    engine->setFileLimit(10);
    view.rows.clear();
    engine->run(choices);
    EXPECT_EQ(
        rowTexts(), (QStringList { "x 1.mp3 > x 1.mp3 (red)", "B/y 2.mp3 > y 2.mp3 (red)", "C/z_3.mp3 > z 3.mp3" }));
}

// ---- Names from tags -----------------------------------------------------------

TEST_F(MassRenameTest, NamesAreBuiltFromTheTagsFieldsAndEachSkipShowsTheOldNameInRedAndLogsItsReason)
{
    const struct {
        const char* format;
        TestTags tags;
        const char* expected;
        const char* skipReason = nullptr;
        const char* fileCase = "NC";
        bool copyright = false, useOptions = false, allParts = false;
    } cases[] = {
        // The naming rules themselves are the planner's (NamePlanner test);
        // here the tag values, choices and casing reach it from the file.
        { "Artist - Title", { .artist = "abba", .title = "waterloo" }, "Abba - Waterloo.mp3", nullptr, "TC" },
        { "Artist - Title", { .artist = "Abba" }, "a.mp3", "Internal Tags Incomplete", "NC", false, false, true },
        { "Artist - Title", {}, "a.mp3", "Could Not Make A Valid Filename From Internal Tags" },
        { "", {}, "a.mp3", "Old Filename and New Formatted Filename Would Be The Same" },
        { "Track - Title", { .title = "Song", .track = 7 }, "07-Song.mp3", nullptr, "NC", false, true },
        { "Track - Title", { .title = "Song", .track = 7 }, "7 - Song.mp3" },
        { "Title - Year - Copyright", { .title = "Song" }, "Song - 0 - False.mp3" },
        { "Title - Year - Copyright", { .title = "Song" }, "Song - 0 - True.mp3", nullptr, "NC", true },
    };
    choices.logOperation = true;
    int i = 0;
    for (const auto& c : cases) {
        const QString dir = QStringLiteral("case%1/").arg(i++);
        SCOPED_TRACE(c.expected);
        makeMp3(dir + "a.mp3", &c.tags, c.copyright);
        settings.values["Settings"]["New File Case"] = c.fileCase;
        prefs.loadOptions();
        choices.startDir = root + dir;
        choices.builtFormat = c.format;
        choices.useOptions = c.useOptions;
        choices.allParts = c.allParts;
        view.rows.clear();
        engine->run(choices);
        EXPECT_EQ(QDir(root + dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { c.expected });
        EXPECT_EQ(rowTexts(), QStringList { dir + "a.mp3 > " + c.expected + (c.skipReason ? " (red)" : "") });
        if (!c.skipReason)
            continue;
        EXPECT_EQ(counts(), "found 1 total 1 skipped 1 errors 0 renamed 0");
        EXPECT_EQ(view.statuses.at(view.statuses.size() - 2), "Skipping " + root + dir + "a.mp3");
        EXPECT_TRUE(logLines().contains(">> Skipped: " + root + dir + "a.mp3 (" + c.skipReason + ")"));
    }
}

// With the option on, a renamed file whose trailer was rewritten keeps its
// modification time to the nanosecond.
TEST_F(MassRenameTest, TagRunRewritesTheTrailerKeepingTheFileTimeOnlyWithItsOptionAndACleanupRunLeavesTagsAlone)
{
    const TestTags tags { .artist = "Abba",
        .title = "Waterloo",
        .album = "Gold",
        .genre = "Pop",
        .comments = "hit",
        .track = 3,
        .year = 1974 };
    const timespec old { 981'173'045, 123'456'789 };
    choices.builtFormat = "Artist";
    for (const bool keep : { true, false }) {
        const QString dir = keep ? QStringLiteral("kept/") : QStringLiteral("plain/");
        ASSERT_TRUE(writeFileTime(makeMp3(dir + "a.mp3", &tags), FileTime { old }));
        settings.values["Settings"]["Keep File Times"] = keep ? "1" : "0";
        prefs.loadOptions();
        choices.startDir = root + dir;
        engine->run(choices);
        EXPECT_EQ(Mp3Builder::readFile(root + dir + "Abba.mp3").right(128),
            Id3Builder::id3v1("Waterloo", "Abba", "Gold", "1974", "hit", 3, 13));
        FileTime now;
        ASSERT_TRUE(readFileTime(root + dir + "Abba.mp3", &now));
        EXPECT_EQ(now.modified.tv_sec == old.tv_sec && now.modified.tv_nsec == old.tv_nsec, keep) << keep;
    }
    const QString clean = makeMp3(QStringLiteral("Clean/my song.mp3"));
    const QByteArray cleanBefore = Mp3Builder::readFile(clean);
    choices.startDir = root + "Clean/";
    choices.builtFormat = "";
    engine->run(choices);
    EXPECT_EQ(Mp3Builder::readFile(clean), cleanBefore);
}

// FLAC, Ogg Vorbis, Opus and MP4 files are named from their own tags and keep
// their extension; nothing is written into them. "MP3 Files Only" leaves them
// out of the run.
TEST_F(MassRenameTest, EveryFormatIsNamedFromItsTagsKeepsItsExtensionAndOnlyMp3FilesGetATrailer)
{
    namespace E = EncodedFiles;
    const QString wav = tmp.filePath("source.wav");
    E::run("ffmpeg", { "-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-ac", "2", wav });
    const struct {
        const char* name;
        const char* artist;
        const char* title;
        const char* expected;
    } cases[] = {
        { "a.FLAC", "Flac Band", "One", "Flac Band - One.flac" },
        { "b.ogg", "Ogg Band", "Two", "Ogg Band - Two.ogg" },
        { "c.opus", "Opus Band", "Three", "Opus Band - Three.opus" },
        { "d.m4a", "Mp4 Band", "Four", "Mp4 Band - Four.m4a" },
    };
    QMap<QString, QByteArray> bytes, md5;
    for (const auto& c : cases) {
        const QString path = root + c.name, artist = c.artist, title = c.title;
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix == "flac")
            E::run("flac", { "-s", "-f", "--tag=ARTIST=" + artist, "--tag=TITLE=" + title, "-o", path, wav });
        else if (suffix == "ogg")
            E::run("oggenc", { "-Q", "-c", "ARTIST=" + artist, "-c", "TITLE=" + title, "-o", path, wav });
        else if (suffix == "opus")
            E::run("opusenc", { "--quiet", "--artist", artist, "--title", title, wav, path });
        else
            E::run("ffmpeg",
                { "-v", "error", "-y", "-i", wav, "-metadata", "artist=" + artist, "-metadata", "title=" + title,
                    "-c:a", "aac", path });
        bytes[c.expected] = Mp3Builder::readFile(path);
        md5[c.expected] = E::audioMd5(path);
    }
    const TestTags mp3Tags { .artist = "Mp3 Band", .title = "Five" };
    makeMp3(QStringLiteral("e.MP3"), &mp3Tags);
    choices.builtFormat = "Artist - Title";

    settings.values["Settings"]["MP3 Files Only"] = "1";
    prefs.loadOptions();
    engine->run(choices);
    EXPECT_EQ(counts(), "found 1 total 1 skipped 0 errors 0 renamed 1");
    EXPECT_EQ(namesIn(), (QStringList { "Mp3 Band - Five.mp3", "a.FLAC", "b.ogg", "c.opus", "d.m4a" }));
    for (const auto& c : cases)
        EXPECT_EQ(Mp3Builder::readFile(root + c.name), bytes[c.expected]) << c.name;

    settings.values["Settings"]["MP3 Files Only"] = "0";
    prefs.loadOptions();
    engine->run(choices);
    EXPECT_EQ(counts(), "found 5 total 5 skipped 1 errors 0 renamed 4");
    EXPECT_EQ(namesIn(),
        (QStringList { "Flac Band - One.flac", "Mp3 Band - Five.mp3", "Mp4 Band - Four.m4a", "Ogg Band - Two.ogg",
            "Opus Band - Three.opus" }));
    EXPECT_TRUE(Mp3Builder::readFile(root + "Mp3 Band - Five.mp3").right(128).startsWith("TAG"));
    for (const auto& c : cases) {
        EXPECT_EQ(Mp3Builder::readFile(root + c.expected), bytes[c.expected]) << c.expected;
        EXPECT_EQ(E::audioMd5(root + c.expected), md5[c.expected]) << c.expected;
    }
}

// ---- Cleanup of existing names --------------------------------------------------

TEST_F(MassRenameTest, NoneCleansTheExistingNameWithOptionsAndFiltersOnlyWhenCheckedAndACaseChangeIsARename)
{
    settings.values["Settings"]["Remove Parens"] = "1";
    settings.values["Settings"]["SplitSpaces"] = "1";
    settings.values["Filters"]["Filter00"] = "a@e";
    prefs.loadOptions();
    prefs.loadFilters();
    makeMp3(QStringLiteral("band_song--(live).MP3"));
    engine->run(choices);
    EXPECT_EQ(namesIn(), QStringList { "band song - (live).mp3" });

    choices.useOptions = true;
    choices.useFilters = true;
    engine->run(choices);
    EXPECT_EQ(namesIn(), QStringList { "bend song - live.mp3" });

    settings.values["Settings"]["New File Case"] = "TC";
    prefs.loadOptions();
    view.rows.clear();
    engine->run(choices);
    EXPECT_EQ(rowTexts(), QStringList { "bend song - live.mp3 > Bend Song - Live.mp3" });
    EXPECT_EQ(namesIn(), QStringList { "Bend Song - Live.mp3" });
}

// ---- Errors ----------------------------------------------------------------------

TEST_F(MassRenameTest, AFileThatCannotBeRenamedOrReadIsAnErrorOfThatFileAndTheRunGoesOn)
{
    const struct {
        std::function<void(FaultyFileSystem&, const QString& dir)> fault; // done when processing starts
        const char* row;
        const char* logLine;
    } cases[] = {
        { [](FaultyFileSystem& files, const QString&) {
             files.renameFailure = { 75, "Permission denied" };
         },
            "a_1.mp3 > a 1.mp3 (red)", ">> Error: Could Not Rename %1a_1.mp3 (Permission denied)" },
        { [](FaultyFileSystem&, const QString& dir) { QFile::remove(dir + "a_1.mp3"); }, "a_1.mp3 >  (red)",
            ">> Error: Could Not Read %1a_1.mp3 (No such file or directory)" },
        // A folder now stands where the walk saw a file: it has a length, but
        // it cannot be read as a file.
        { [](FaultyFileSystem&, const QString& dir) {
             QFile::remove(dir + "a_1.mp3");
             QDir().mkpath(dir + "a_1.mp3/inner");
         },
            "a_1.mp3 >  (red)", ">> Error: Could Not Read %1a_1.mp3 (Is a directory)" },
    };
    const TestTags a { .artist = "a_1" }, b { .artist = "b_2" };
    choices.builtFormat = "Artist";
    choices.logOperation = true;
    int i = 0;
    for (const auto& c : cases) {
        const QString dir = QStringLiteral("case%1/").arg(i++);
        makeMp3(dir + "a_1.mp3", &a);
        makeMp3(dir + "b.mp3", &b);
        choices.startDir = root + dir;
        view.rows.clear();
        view.onStatus = [&](const QString& text) {
            if (text == "Processing Files...")
                c.fault(files, root + dir);
        };
        engine->run(choices);
        files.renameFailure = {};
        EXPECT_EQ(counts(), "found 2 total 2 skipped 0 errors 1 renamed 1") << c.logLine;
        EXPECT_EQ(rowTexts(), (QStringList { dir + c.row, dir + "b.mp3 > b 2.mp3" }));
        EXPECT_TRUE(exists(dir + "b 2.mp3"));
        EXPECT_TRUE(logLines().contains(QString::fromLatin1(c.logLine).arg(root + dir))) << c.logLine;
    }
}

// ---- Confirmation ----------------------------------------------------------------

TEST_F(MassRenameTest, ConfirmationAsksWithBothFullNamesNoSkipsTheFileAndCancelAlsoEndsTheRun)
{
    for (const char* name : { "a_1.mp3", "b_2.mp3", "c_3.mp3", "d_4.mp3" })
        makeMp3(name);
    choices.confirmEach = true;
    choices.logOperation = true;
    prompter.answers << Answer::No << Answer::Yes << Answer::Cancel;
    engine->run(choices);

    EXPECT_EQ(namesIn(), (QStringList { "a_1.mp3", "b 2.mp3", "c_3.mp3", "d_4.mp3" }));
    EXPECT_EQ(counts(), "found 4 total 4 skipped 2 errors 0 renamed 1"); // the fourth is counted, not done
    EXPECT_EQ(rowTexts(), (QStringList { "a_1.mp3 > a 1.mp3 (red)", "b_2.mp3 > b 2.mp3", "c_3.mp3 > c 3.mp3 (red)" }));
    ASSERT_EQ(prompter.calls.size(), 4);
    EXPECT_EQ(prompter.calls[0].title, "Velmora");
    EXPECT_EQ(prompter.calls[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Question);
    EXPECT_EQ(prompter.calls[0].text, "Rename...\r\n\r\n" + root + "a_1.mp3\r\n\r\n As\r\n\r\n" + root + "a 1.mp3");
    EXPECT_EQ(prompter.calls[3].text, "Mass Renaming Cancelled.");
    EXPECT_EQ(prompter.calls[3].icon, MsgIcon::Information);

    const QStringList lines = logLines();
    EXPECT_TRUE(lines.contains("No Replied To Renaming Of: " + root + "a_1.mp3"));
    EXPECT_EQ(lines.count("Mass Renaming Cancelled!"), 1);
    const qsizetype cancelled = lines.indexOf("Mass Renaming Cancelled!");
    EXPECT_EQ(lines.value(cancelled + 1), "No Replied To Renaming Of: " + root + "c_3.mp3");
    EXPECT_TRUE(lines.contains("Operation Complete - 4 Total Files (2 Skipped, 0 Errors, 1 Renamed)"));
}

// ---- Run frame -----------------------------------------------------------------------

TEST_F(MassRenameTest, RunShowsItsStatusesAndControlsInOrderAndARunWithNoFilesEndsAtOnce)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    engine->run(choices);
    EXPECT_EQ(view.statuses,
        (QStringList { "Mass Renaming In Progress", "Searching For Files To Process....", "Processing Files...",
            "Renaming " + root + "a_1.mp3", "Mass Renaming Processed 1 Files - View Log For Details" }));
    EXPECT_EQ(view.runControls, (QList<bool> { false, true }));
    EXPECT_EQ(view.runStatus, (QList<bool> { true, false }));
    EXPECT_GE(view.progressCalls, 1);
    EXPECT_EQ(view.currentDir, root);
    EXPECT_TRUE(QDir(logFolder).entryList({ "*.log" }).isEmpty()); // no log asked for
    EXPECT_EQ(engine->logFileName(), "");

    QDir().mkpath(root + "empty");
    choices.startDir = root + "empty/";
    choices.logOperation = true;
    engine->run(choices);
    EXPECT_EQ(counts(), "found 0 total 0 skipped 0 errors 0 renamed 0");
    EXPECT_EQ(view.rows.size(), 1); // the first run's
    EXPECT_EQ(view.statuses.last(), "Mass Renaming Processed 0 Files - View Log For Details");
    EXPECT_TRUE(logLines().contains("Operation Complete - 0 Total Files (0 Skipped, 0 Errors, 0 Renamed)"));
}

TEST_F(MassRenameTest, ASmallRunsWholeLogRowsAndErrorsLeaveTakenNamesAndEmptyFilesUntouched)
{
    const QString taken = makeMp3(QStringLiteral("Abba One.mp3"));
    const QString source = makeMp3(QStringLiteral("abba_one.mp3")); // would become the name already taken
    makeMp3(QStringLiteral("c_d.mp3"));
    makeFile(QStringLiteral("empty.mp3"), QByteArray());
    const QByteArray takenBytes = Mp3Builder::readFile(taken), sourceBytes = Mp3Builder::readFile(source);
    settings.values["Settings"]["New File Case"] = "TC";
    prefs.loadOptions();
    choices.logOperation = true;
    choices.useOptions = true;
    engine->run(choices);

    EXPECT_EQ(namesIn(), (QStringList { "Abba One.mp3", "C D.mp3", "abba_one.mp3", "empty.mp3" }));
    EXPECT_EQ(Mp3Builder::readFile(taken), takenBytes);
    EXPECT_EQ(Mp3Builder::readFile(source), sourceBytes);
    EXPECT_EQ(QFileInfo(root + "empty.mp3").size(), 0);
    EXPECT_EQ(rowTexts(),
        (QStringList { "Abba One.mp3 > Abba One.mp3 (red)", "abba_one.mp3 > Abba One.mp3 (red)", "c_d.mp3 > C D.mp3",
            "empty.mp3 >  (red)" }));
    EXPECT_TRUE(view.statuses.contains("Error On " + root + "abba_one.mp3 - View Log File"));
    EXPECT_TRUE(view.statuses.contains("Error: Zero-Length File Encountered"));

    EXPECT_EQ(QDir(logFolder).entryList(QDir::Files),
        (QStringList { "MassRename-07Mar26-140509.log", "MassRename-07Mar26-140509.log.undo", "MassRename-Last" }));
    EXPECT_EQ(engine->logFileName(), logFolder + "MassRename-07Mar26-140509.log");
    const QString expected = "Velmora - Mass Renaming Log\r\n\r\n" + runSettingsText(choices, prefs.options)
        + QStringList {
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
        }.join("\r\n");
    EXPECT_EQ(logText(), expected);
}

TEST_F(MassRenameTest, ALogThatCannotBeCreatedIsReportedWithItsCauseAndTheRunGoesOnWhenTheUserSaysSo)
{
    // The journal lives beside the log: the user is asked about it first.
    makeFile(QStringLiteral("../logs"), "a file where the folder should be");
    makeMp3(QStringLiteral("a_1.mp3"));
    choices.logOperation = true;
    prompter.answers << Answer::Yes;
    engine->run(choices);
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_TRUE(prompter.calls[0].text.startsWith("The Undo Journal Cannot Be Written:\r\n\r\n"));
    EXPECT_TRUE(prompter.calls[0].text.contains("Error: Not a directory (53)"));
    EXPECT_TRUE(prompter.calls[1].text.startsWith("Could Not Open Log File!\r\n\r\n"));
    EXPECT_TRUE(prompter.calls[1].text.endsWith(")"));
    EXPECT_EQ(prompter.calls[1].icon, MsgIcon::Critical);
    EXPECT_EQ(namesIn(), QStringList { "a 1.mp3" });
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";

    // A folder the log folder may not be made in: the real cause is named.
    const QString locked = tmp.path() + "/locked";
    QDir().mkpath(locked);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    engine->setLogFolder(locked + "/logs/");
    makeMp3(QStringLiteral("b_2.mp3"));
    prompter.answers << Answer::Yes;
    engine->run(choices);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(prompter.calls.size(), 4);
    EXPECT_TRUE(prompter.calls[2].text.contains("Error: Permission denied (75)"));
    EXPECT_EQ(prompter.calls[3].text, "Could Not Open Log File!\r\n\r\nPermission denied (75)");
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b 2.mp3" }));
}

// ---- Go ------------------------------------------------------------------------------

TEST_F(MassRenameTest, GoSaysWhenTheStartFolderIsMissingAndElseAsksWithTheRunsSettingsAndStopsOnNo)
{
    choices.startDir = root + "nowhere/";
    EXPECT_EQ(engine->go(choices), MassRenameEngine::GoResult::StartDirMissing);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].title, "Error!");
    EXPECT_EQ(prompter.calls[0].text, "The Starting Directory Cannot Be Found!");
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(view.statuses.isEmpty());

    makeMp3(QStringLiteral("a_1.mp3"));
    choices.startDir = root;
    choices.builtFormat = "Artist - Title";
    choices.includeSubs = true;
    EXPECT_EQ(engine->go(choices), MassRenameEngine::GoResult::Declined);
    EXPECT_EQ(view.clears, 1);
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].title, "Velmora - Mass Renaming...");
    EXPECT_EQ(prompter.calls[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompter.calls[1].text, runConfirmationText(choices, prefs.options));
    EXPECT_TRUE(prompter.calls[1].text.contains("\r\nInclude SubDirectories: Yes\r\n"));
    EXPECT_TRUE(prompter.calls[1].text.contains("\r\nID3 Tag Autoformatting: Artist - Title\r\n"));
    EXPECT_TRUE(exists(QStringLiteral("a_1.mp3")));

    prompter.answers << Answer::Yes;
    EXPECT_EQ(engine->go(choices), MassRenameEngine::GoResult::Ran);
}

// ---- What a run may never do ------------------------------------------------------------

TEST_F(MassRenameTest, RunsNeverReplaceLinksHideFilesOrPutControlsInNamesAndSayWhatHappened)
{
    const TestTags xy { .artist = "X", .title = "Y" }, special { .artist = ".38 Special", .title = "Caught Up" },
        dots { .artist = "..", .title = "Song" }, controls { .artist = "A\nB", .title = "C\tD\r" };
    const struct {
        const char* what;
        std::function<void(const QString& dir)> make;
        const char* format;
        QStringList names; // the folder's entries afterwards
        QStringList logLines; // %1 is the folder
        const char* counts;
    } cases[] = {
        { "symbolic link to a file of the folder",
            [&](const QString& d) {
                makeMp3(d + "song.mp3", &xy);
                QFile::link("song.mp3", root + d + "a-link.mp3");
            },
            "Artist - Title", { "X - Y.mp3", "song.mp3" },
            { "%1a-link.mp3 Renamed As %1X - Y.mp3", ">> Error: Could Not Rename %1song.mp3 (File exists)" },
            "found 2 total 2 skipped 0 errors 1 renamed 1" },
        { "two hard links of one file",
            [&](const QString& d) {
                ::link(QFile::encodeName(makeMp3(d + "a.mp3", &xy)).constData(),
                    QFile::encodeName(root + d + "b.mp3").constData());
            },
            "Artist - Title", { "X - Y.mp3", "b.mp3" },
            { "%1a.mp3 Renamed As %1X - Y.mp3", ">> Error: Could Not Rename %1b.mp3 (File exists)" },
            "found 2 total 2 skipped 0 errors 1 renamed 1" },
        { "tag values beginning with dots",
            [&](const QString& d) {
                makeMp3(d + "a.mp3", &special);
                makeMp3(d + "b.mp3", &dots);
            },
            "Artist - Title", { "38 Special - Caught Up.mp3", "Song.mp3" },
            { "%1a.mp3 Renamed As %138 Special - Caught Up.mp3", "%1b.mp3 Renamed As %1Song.mp3" },
            "found 2 total 2 skipped 0 errors 0 renamed 2" },
        { "control characters in tag values", [&](const QString& d) { makeMp3(d + "a.mp3", &controls); },
            "Artist - Title", { "A B - C D.mp3" }, { "%1a.mp3 Renamed As %1A B - C D.mp3" },
            "found 1 total 1 skipped 0 errors 0 renamed 1" },
        { "hidden files are counted and logged as skipped, hidden folders not",
            [&](const QString& d) {
                makeMp3(d + ".hidden_one.mp3");
                makeMp3(d + ".cache/c_1.mp3");
            },
            "", { ".hidden_one.mp3" }, { ">> Skipped: %1.hidden_one.mp3 (Hidden File)" },
            "found 1 total 1 skipped 1 errors 0 renamed 0" },
        { "a filter putting a dot first (the last case: the filter stays)",
            [&](const QString& d) {
                settings.values["Filters"]["Filter00"] = "q@.";
                prefs.loadFilters();
                makeMp3(d + "qsong.mp3");
            },
            "", { "song.mp3" }, { "%1qsong.mp3 Renamed As %1song.mp3" },
            "found 1 total 1 skipped 0 errors 0 renamed 1" },
    };
    choices.includeSubs = true;
    choices.logOperation = true;
    choices.useFilters = true;
    int i = 0;
    for (const auto& c : cases) {
        const QString dir = QStringLiteral("case%1/").arg(i++);
        c.make(dir);
        choices.startDir = root + dir;
        choices.builtFormat = c.format;
        QDir(logFolder).removeRecursively();
        engine->run(choices);
        EXPECT_EQ(QDir(root + dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name), c.names) << c.what;
        const QStringList lines = logLines();
        for (const QString& line : c.logLines)
            EXPECT_TRUE(lines.contains(QString(line).replace("%1", root + dir)))
                << c.what << ": " << line.toStdString();
        EXPECT_EQ(lines.filter(" Renamed As ").size(), view.counters.renamed) << c.what;
        EXPECT_EQ(counts(), c.counts) << c.what;
    }
}

TEST_F(MassRenameTest, AFolderWhosePathIsTooLongIsLoggedAsAnError)
{
    // Made step by step from inside, as no single path may be that long.
    const std::string part(200, 'd');
    int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int depth = 0; depth < 22; ++depth) {
        ASSERT_EQ(::mkdirat(fd, part.c_str(), 0755), 0);
        const int next = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    ::close(fd);
    choices.includeSubs = true;
    choices.logOperation = true;
    engine->run(choices);
    EXPECT_EQ(view.counters.errors, 1);
    const QStringList errors = logLines().filter(">> Error: Could Not Read Folder ");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().endsWith("/ (File name too long)")) << errors.first().toStdString();

    std::filesystem::remove_all(QFile::encodeName(root).toStdString() + part); // too deep for QDir
}
