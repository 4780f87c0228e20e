#include "massrenamefixture.h"

#include "massrename/massrenameundo.h"
#include "massrename/renamejournal.h"
#include "support/id3builder.h"
#include "tags/filetimes.h"

#include <QDateTime>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <string_view>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Every file of a folder (not its subfolders), as an undo must give it back.
QMap<QString, FileState> snapshot(const QString& root)
{
    QMap<QString, FileState> out = treeState(root);
    out.removeIf([](const auto& entry) { return entry.key().contains(QLatin1Char('/')); });
    return out;
}

} // namespace

// ---- Stop ------------------------------------------------------------------------------

TEST_F(MassRenameTest, StopEndsTheRunAfterTheCurrentFileWithExactCountersRowsAndLog)
{
    for (const char* name : { "a_1.mp3", "b_2.mp3", "c_3.mp3", "d_4.mp3" })
        makeMp3(name);
    choices.logOperation = true;
    view.onStatus = [&](const QString& text) {
        if (text == "Renaming " + root + "b_2.mp3")
            engine->requestStop();
    };
    engine->run(choices);

    EXPECT_TRUE(engine->stopped());
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b 2.mp3", "c_3.mp3", "d_4.mp3" }));
    EXPECT_EQ(counts(), "found 4 total 2 skipped 0 errors 0 renamed 2");
    EXPECT_EQ(view.rows.size(), 2);
    EXPECT_EQ(view.statuses.last(), "Mass Renaming Stopped After 2 Of 4 Files - View Log For Details");
    EXPECT_EQ(view.runControls.last(), true);
    const QStringList lines = logLines();
    EXPECT_EQ(lines.filter(" Renamed As ").size(), 2);
    EXPECT_TRUE(lines.contains("Mass Renaming Stopped By The User After 2 Of 4 Files"));
    EXPECT_TRUE(lines.contains("Operation Complete - 2 Total Files (0 Skipped, 0 Errors, 2 Renamed)"));
    EXPECT_EQ(journalRenames(), 2);
    EXPECT_TRUE(journal().closed);

    // A stop during the walk processes nothing; the next run starts afresh.
    view.onStatus = nullptr;
    view.onProgress = [&] { engine->requestStop(); };
    engine->run(choices);
    EXPECT_TRUE(engine->stopped());
    EXPECT_EQ(counts(), "found 0 total 0 skipped 0 errors 0 renamed 0");
    EXPECT_TRUE(exists(QStringLiteral("c_3.mp3")));
    view.onProgress = nullptr;
    engine->run(choices);
    EXPECT_FALSE(engine->stopped());
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b 2.mp3", "c 3.mp3", "d 4.mp3" }));
}

// ---- Repeated errors --------------------------------------------------------------------

TEST_F(MassRenameTest, TagWriteErrorsAreLoggedAndTheirBoxOffersToSkipTheRest)
{
    const TestTags tags { .artist = "Abba" };
    // A name that reads like an error text must not be taken for the cause.
    QStringList paths;
    for (const char* relPath : { "a/a.mp3", "b/Error: Live (1999).mp3", "c/c.mp3" })
        paths << makeMp3(QString::fromUtf8(relPath), &tags);
    choices.includeSubs = true;
    choices.logOperation = true;
    choices.builtFormat = "Artist";
    prompter.answers << Answer::No << Answer::Yes; // show the second, then skip the rest
    // The disk is full while a trailer is written: no file may grow past the
    // size these files have (a size limit fails a write as a full disk does).
    rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    engine->setRunPointHook([&](MassRenameEngine::RunPoint point) {
        rlimit limit = old;
        if (point == MassRenameEngine::RunPoint::Journaled)
            limit.rlim_cur = rlim_t(QFileInfo(paths.first()).size());
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    engine->run(choices);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    const QString tooLarge = fileErrorFromErrno(EFBIG).description;
    ASSERT_EQ(prompter.calls.size(), 2); // the third has the muted number
    for (qsizetype i = 0; i < prompter.calls.size(); ++i) {
        EXPECT_EQ(prompter.calls[i].text,
            "File Error On File \r\n" + paths[i] + "\r\n\r\nError: " + tooLarge
                + " (61)\r\n\r\nSkip All Further Errors Of This Kind During This Run?");
        EXPECT_EQ(prompter.calls[i].buttons, MsgButtons::YesNo);
    }
    const QStringList lines = logLines();
    for (const QString& p : paths)
        EXPECT_TRUE(lines.contains(">> Error: Could Not Write The ID3v1 Tag Of " + p + " (" + tooLarge + ")"))
            << p.toStdString();
    EXPECT_EQ(counts(), "found 3 total 3 skipped 0 errors 0 renamed 3"); // the renames go on
}

TEST_F(MassRenameTest, TheTrailerNobodyAskedForIsNeverWrittenIntoAProtectedFileOrOneWithoutMpegAudio)
{
    const TestTags tags { .artist = "Abba", .title = "Waterloo" };
    const QByteArray noAudio = Id3Builder::tag(3, { Id3Builder::frame(3, "TPE1", Id3Builder::textBody("Noise")) })
        + QByteArray(5000, '\x11');
    const struct {
        const char* name;
        std::function<QString()> make;
        std::function<bool(const QString&)> protect; // false: not possible here
        bool written;
        const char* newName; // "" when the file keeps its name
    } cases[] = {
        { "writable audio", [&] { return makeMp3("w/a.mp3", &tags); }, [](const QString&) { return true; }, true,
            "Abba.mp3" },
        { "read-only audio", [&] { return makeMp3("r/a.mp3", &tags); },
            [](const QString& p) { return ::chmod(QFile::encodeName(p).constData(), 0444) == 0; }, false, "Abba.mp3" },
        { "no MPEG audio", [&] { return makeFile("n/garbage.mp3", noAudio); }, [](const QString&) { return true; },
            false, "Noise.mp3" },
        { "immutable", [&] { return makeMp3("i/a.mp3", &tags); },
            [](const QString& p) { return setImmutable(p, true); }, false, "" },
    };
    choices.builtFormat = "Artist";
    choices.logOperation = true;
    settings.values["Settings"]["Keep File Times"] = "0"; // a write would show in the time
    prefs.loadOptions();
    for (const auto& c : cases) {
        const QString path = c.make();
        const QString dir = QFileInfo(path).absolutePath() + '/';
        ASSERT_TRUE(writeFileTime(path, FileTime { { 981'173'045, 123'456'789 } }));
        if (!c.protect(path)) {
            ADD_FAILURE() << c.name << ": the file cannot be protected so here, not tested";
            continue;
        }
        const QMap<QString, FileState> before = snapshot(dir);
        choices.startDir = dir;
        engine->run(choices);
        setImmutable(path, false);
        const QMap<QString, FileState> after = snapshot(dir);
        const QString name = *c.newName ? QString::fromLatin1(c.newName) : QFileInfo(path).fileName();
        ASSERT_TRUE(after.contains(name)) << c.name;
        const FileState was = before.first();
        if (c.written) {
            EXPECT_EQ(after[name].bytes, was.bytes + Id3Builder::id3v1("Waterloo", "Abba", "", "", "", 0, 255))
                << c.name;
        } else {
            EXPECT_EQ(after[name], was) << c.name << ": bytes, time and mode as they were";
        }
        EXPECT_EQ(after[name].mode, was.mode) << c.name;
        EXPECT_TRUE(prompter.calls.isEmpty()) << c.name;
        // The undo gives back the name and leaves the mode as it is.
        MassRenameUndo undo(services, view);
        undo.setLogFolder(logFolder);
        undo.run(journal().records, QString());
        EXPECT_EQ(snapshot(dir), before) << c.name;
    }
}

// ---- Preview -----------------------------------------------------------------------------

TEST_F(MassRenameTest, PreviewShowsEveryNameFlagsTakenNamesAndTouchesNothingEvenWithBothTagKinds)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    makeMp3(QStringLiteral("b_2.mp3"));
    makeFile(QStringLiteral("b 2.mp3"), "taken");
    makeMp3(QStringLiteral("d_4.mp3"));
    makeMp3(QStringLiteral("d__4.mp3"));
    makeMp3(QStringLiteral("x.mp3"));
    const auto before = snapshot(root);
    const QList<PlannedFile> plan = engine->preview(choices);
    EXPECT_EQ(snapshot(root), before);

    EXPECT_EQ(rowTexts(),
        (QStringList { "a_1.mp3 > a 1.mp3", "b 2.mp3 > b 2.mp3 (red)", "b_2.mp3 > b 2.mp3 (taken)", "d_4.mp3 > d 4.mp3",
            "d__4.mp3 > d 4.mp3 (taken in run)", "x.mp3 > x.mp3 (red)" }));
    EXPECT_EQ(counts(), "found 6 total 6 skipped 2 errors 2 renamed 2");
    EXPECT_EQ(view.statuses.last(), "Preview: 2 Of 6 Files Would Be Renamed, 2 New Names Are Taken");
    ASSERT_TRUE(engine->hasPlan());

    // A file added later is not part of the plan: exactly the preview runs.
    makeMp3(QStringLiteral("e_5.mp3"));
    choices.logOperation = true;
    engine->renamePreviewed();
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b 2.mp3", "b_2.mp3", "d 4.mp3", "d__4.mp3", "e_5.mp3", "x.mp3" }));
    EXPECT_EQ(Mp3Builder::readFile(root + "b 2.mp3"), "taken");
    EXPECT_EQ(counts(), "found 6 total 6 skipped 2 errors 2 renamed 2");
    EXPECT_FALSE(engine->hasPlan());

    // From the tags: a file with both tag kinds is left as it was too.
    const TestTags tags { .artist = "Abba", .title = "Waterloo" };
    const QString both = makeMp3(QStringLiteral("Tags/both.mp3"), &tags);
    ASSERT_TRUE(
        Mp3Builder::writeFile(both, Mp3Builder::readFile(both) + Id3Builder::id3v1("Old", "Old", "", "", "", 1, 0)));
    makeMp3(QStringLiteral("Tags/v2only.mp3"), &tags);
    const auto tagged = snapshot(root + "Tags/");
    choices.startDir = root + "Tags/";
    choices.builtFormat = "Artist - Title";
    engine->preview(choices);
    EXPECT_EQ(snapshot(root + "Tags/"), tagged);
    EXPECT_EQ(rowTexts(),
        (QStringList {
            "Tags/both.mp3 > Abba - Waterloo.mp3", "Tags/v2only.mp3 > Abba - Waterloo.mp3 (taken in run)" }));

    // A name that a rename planned earlier frees is free for a later file.
    const TestTags z { .artist = "z" }, a { .artist = "a" };
    makeMp3(QStringLiteral("Chain/a.mp3"), &z);
    makeMp3(QStringLiteral("Chain/b.mp3"), &a);
    choices.startDir = root + "Chain/";
    choices.builtFormat = "Artist";
    engine->preview(choices);
    EXPECT_EQ(rowTexts(), (QStringList { "Chain/a.mp3 > z.mp3", "Chain/b.mp3 > a.mp3" }));
}

// ---- Undo --------------------------------------------------------------------------------

namespace {

class MassRenameUndoTest : public MassRenameTest {
protected:
    MassRenameUndoTest()
        : undo(services, view)
    {
        undo.setLogFolder(logFolder);
    }

    // The only undo log ("" when there is not exactly one) and its text.
    QString undoLogPath() const
    {
        const QStringList logs = QDir(logFolder).entryList({ QStringLiteral("MassRenameUndo-*.log") }, QDir::Files);
        return logs.size() == 1 ? logFolder + logs.first() : QString();
    }
    QString undoLogText() const { return QString::fromUtf8(Mp3Builder::readFile(undoLogPath())); }

    MassRenameUndo undo;
};

} // namespace

TEST_F(MassRenameUndoTest, UndoRestoresNamesAndBytesLeavesChangedFilesAloneAndReplacesNothing)
{
    const TestTags tags { .artist = "Abba", .title = "Waterloo" }, other { .artist = "Other", .title = "Song" },
        third { .artist = "Third", .title = "Song" }, gone { .artist = "Gone", .title = "Song" };
    int i = 0;
    for (const std::string_view source : { "journal", "log", "log lines", "foreign journal" }) {
        const bool fromLogLines = source == "log lines" || source == "foreign journal";
        const QString dir = QStringLiteral("case%1/").arg(i++);
        makeMp3(dir + "a.mp3", &tags);
        makeMp3(dir + "b.mp3", &other);
        makeMp3(dir + "c.mp3", &third);
        makeMp3(dir + "d.mp3", &gone);
        const auto before = snapshot(root + dir);
        choices.startDir = root + dir;
        choices.builtFormat = "Artist - Title";
        choices.logOperation = true;
        QDir(logFolder).removeRecursively();
        engine->run(choices);
        ASSERT_EQ(journalRenames(), 4) << source;
        const QString runLog = engine->logFileName();
        QList<RenameRecord> records;
        if (source == "log lines")
            QFile::remove(journalPathFor(runLog));
        if (source == "foreign journal") { // a file without the journal's header: the log's lines count
            ASSERT_TRUE(Mp3Builder::writeFile(journalPathFor(runLog), "not a journal\r\n"));
        }
        ASSERT_TRUE(readRenameRecords(source == "journal" ? engine->journalPath() : runLog, &records, nullptr));
        // With the journal, each file's rewritten trailer is a change of its own.
        ASSERT_EQ(records.size(), fromLogLines ? 4 : 8) << source;
        // Changed since: b was written to (clearly later than the log, however
        // coarse the clock); c's old name is taken; d is gone.
        const QString changed = root + dir + "Other - Song.mp3";
        ASSERT_TRUE(Mp3Builder::writeFile(changed, Mp3Builder::readFile(changed) + "x"));
        ASSERT_TRUE(writeFileTime(changed, FileTime { { std::time(nullptr) + 5, 0 } }));
        makeFile(dir + "c.mp3", "newcomer");
        QFile::remove(root + dir + "Gone - Song.mp3");

        undo.run(records, runLog);
        EXPECT_EQ(namesIn(dir), (QStringList { "Other - Song.mp3", "Third - Song.mp3", "a.mp3", "c.mp3" })) << source;
        // The rewritten ID3v1 trailer and the time are put back only with the journal.
        if (!fromLogLines) {
            EXPECT_EQ(snapshot(root + dir).value("a.mp3"), before.value("a.mp3")) << source;
        }
        EXPECT_EQ(Mp3Builder::readFile(root + dir + "c.mp3"), "newcomer");
        EXPECT_EQ(countsText(undo.counters()),
            fromLogLines ? "found 4 total 4 skipped 3 errors 0 renamed 1"
                         : "found 8 total 8 skipped 6 errors 0 renamed 2")
            << source;
        EXPECT_EQ(undo.leftAlone(),
            (QStringList { root + dir + "Gone - Song.mp3 (Not Found)",
                root + dir + "Third - Song.mp3 (Old Filename Taken: " + root + dir + "c.mp3)",
                root + dir + "Other - Song.mp3 (Changed Since The Mass Rename)" }))
            << source;
        const QStringList lines = undoLogText().split("\r\n");
        EXPECT_TRUE(lines.contains(root + dir + "Abba - Waterloo.mp3 Renamed As " + root + dir + "a.mp3"));
        EXPECT_TRUE(
            lines.contains(">> Left Alone: " + root + dir + "Other - Song.mp3 (Changed Since The Mass Rename)"));
        EXPECT_TRUE(lines.contains(fromLogLines
                ? "Undo Complete - 4 Changes (1 Renamed Back, 0 Restored, 0 Never Made, 3 Left Alone, 0 Errors)"
                : "Undo Complete - 8 Changes (1 Renamed Back, 1 Restored, 0 Never Made, 6 Left Alone, 0 Errors)"))
            << source;
        EXPECT_TRUE(lines.contains("Undoing: " + runLog));
    }
}

TEST_F(MassRenameUndoTest, UndoUnwindsAChainNewestFirstAndCanItselfBeUndone)
{
    // a.mp3 becomes z.mp3, then b.mp3 takes the freed name a.mp3.
    const TestTags z { .artist = "z" }, a { .artist = "a" };
    makeMp3(QStringLiteral("a.mp3"), &z);
    makeMp3(QStringLiteral("b.mp3"), &a);
    const auto before = snapshot(root);
    choices.builtFormat = "Artist";
    engine->run(choices);
    EXPECT_EQ(namesIn(), (QStringList { "a.mp3", "z.mp3" }));
    ASSERT_EQ(journalRenames(), 2);
    undo.run(journal().records, QString());
    EXPECT_EQ(snapshot(root), before);
    EXPECT_TRUE(undoLogText().contains("Undoing: The Last Mass Rename\r\n"));

    // The undo's own log can be undone: the names of the run come back.
    QList<RenameRecord> again;
    const QString undoLog = undoLogPath();
    ASSERT_TRUE(readRenameRecords(undoLog, &again, nullptr));
    ASSERT_EQ(again.size(), 2);
    MassRenameUndo redo(services, view);
    redo.setLogFolder(tmp.path() + "/logs2/");
    redo.run(again, undoLog);
    EXPECT_EQ(namesIn(), (QStringList { "a.mp3", "z.mp3" }));
}

TEST_F(MassRenameUndoTest, TheTrailerIsPutBackOnlyWhenTheRestOfTheFileIsAsTheJournalSaysItWas)
{
    makeFile("new.mp3", QByteArray(300, 'a'));
    RenameRecord r;
    r.dir = root;
    r.oldName = "old.mp3";
    r.newName = "new.mp3";
    r.haveStamp = services.files->stamp(root + "new.mp3", &r.after);
    r.tailKeep = 100; // the file was shorter before the run
    r.tail = "TAG" + QByteArray(125, 't');
    undo.run({ r }, QString());
    EXPECT_EQ(Mp3Builder::readFile(root + "old.mp3"), QByteArray(300, 'a'));
}

TEST(RenameJournal, LogLinesSplitWhereBothSidesShareTheFolder)
{
    const struct {
        const char* line;
        const char* split; // folder|old|new, or "" when the line is not taken
    } cases[] = {
        { "/m/a.mp3 Renamed As /m/b.mp3", "/m/|a.mp3|b.mp3" },
        { "/m/x Renamed As y.mp3 Renamed As /m/z.mp3", "/m/|x Renamed As y.mp3|z.mp3" },
        { "/m/a.mp3 Renamed As /m/b Renamed As c.mp3", "/m/|a.mp3|b Renamed As c.mp3" },
        { ">> Skipped: /m/a Renamed As /m/b.mp3 (Internal Tags Incomplete)", "" },
        { "No Replied To Renaming Of: /m/a.mp3", "" },
        { "/m/a.mp3 Renamed As /n/b.mp3", "" },
        { "/m/a.mp3 Renamed As /m/sub/b.mp3", "" },
    };
    for (const auto& c : cases) {
        QString dir, oldName, newName;
        const bool ok = parseRenamedLine(c.line, &dir, &oldName, &newName);
        EXPECT_EQ(ok ? dir + "|" + oldName + "|" + newName : QString(), c.split) << c.line;
    }
}
