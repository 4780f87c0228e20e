#include "massrenamefixture.h"

#include "massrename/massrenameundo.h"
#include "massrename/renamejournal.h"
#include "massrename/runjournals.h"
#include "support/id3builder.h"
#include "tags/filetimes.h"

#include <csignal>
#include <sys/resource.h>

namespace {

// Thrown from a run point: the run ends there as if the program had been
// killed (the journal gets no closing record, nothing after it happens).
struct SimulatedCrash { };

class MassRenameCrashTest : public MassRenameTest {
protected:
    // Files for every kind of change a run makes: renames of files with
    // both tags and with ID3v2 only (the trailer rewritten or added), a
    // read-only file, a file skipped for want of tags and one already named
    // as its tags say (both get a trailer and keep their name).
    void makeTree()
    {
        QDir(root).removeRecursively();
        QDir().mkpath(root);
        const TestTags abba { .artist = "Abba", .title = "Waterloo" }, queen { .artist = "Queen", .title = "Mustapha" },
            same { .artist = "Same", .title = "Name" }, locked { .artist = "Locked", .title = "Away" };
        const QString both = makeMp3(QStringLiteral("A/both.mp3"), &abba);
        ASSERT_TRUE(Mp3Builder::writeFile(
            both, Mp3Builder::readFile(both) + Id3Builder::id3v1("Old", "Old", "", "", "", 1, 0)));
        makeMp3(QStringLiteral("A/v2only.mp3"), &queen);
        makeMp3(QStringLiteral("A/untagged.mp3"));
        makeMp3(QStringLiteral("B/Same - Name.mp3"), &same);
        const QString readOnly = makeMp3(QStringLiteral("B/locked.mp3"), &locked);
        ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        // Times the run cannot produce by chance.
        std::time_t t = 1000000000;
        for (const QString& path : treeState(root).keys())
            ASSERT_TRUE(writeFileTime(root + path, FileTime { { t += 3600, 123456789 } }));
    }

    // A run that throws at its n-th run point; true when it was cut short.
    bool runCrashingAt(int crashAt, QString* journalPath)
    {
        engine = std::make_unique<MassRenameEngine>(services, prefs, view);
        engine->setLogFolder(logFolder);
        int point = 0;
        engine->setRunPointHook([&](MassRenameEngine::RunPoint) {
            if (point++ == crashAt)
                throw SimulatedCrash {};
        });
        bool crashed = false;
        try {
            engine->run(choices);
        } catch (const SimulatedCrash&) {
            crashed = true;
        }
        *journalPath = engine->journalPath();
        engine.reset(); // the program is gone: its journal is let go unfinished
        return crashed;
    }
};

} // namespace

TEST_F(MassRenameCrashTest, AfterACrashAtAnyPointTheUndoGivesBackEveryNameByteTimeAndMode)
{
    choices.includeSubs = true;
    choices.builtFormat = "Artist - Title";
    choices.logOperation = true;
    for (const bool keepTimes : { false, true }) {
        prefs.options.keepFileTimes = keepTimes;
        int crashAt = 0;
        for (bool crashed = true; crashed; ++crashAt) {
            makeTree();
            const auto original = treeState(root);
            QDir(logFolder).removeRecursively();
            QString journalPath;
            crashed = runCrashingAt(crashAt, &journalPath);
            const std::string where
                = (keepTimes ? "keeping times, " : "") + std::to_string(crashAt) + (crashed ? "" : " (no crash)");

            RenameJournalContents contents;
            ASSERT_TRUE(readRenameJournal(journalPath, &contents, nullptr)) << where;
            EXPECT_EQ(contents.interrupted(), crashed) << where;
            if (!crashed) {
                EXPECT_NE(treeState(root), original) << where;
            }
            MassRenameUndo undo(services, view);
            undo.setLogFolder(logFolder);
            undo.run(contents.records, journalPath);
            EXPECT_EQ(treeState(root), original) << where;
            const UndoTally& t = undo.tally();
            EXPECT_EQ(t.leftAlone + t.errors, 0) << where;
            EXPECT_EQ(t.renamedBack + t.restored + t.neverMade, t.records) << where;
            // Only the change a crash fell just before can be a record without its change.
            EXPECT_LE(t.neverMade, crashed ? 1 : 0) << where;
        }
        // Every file has a trailer record and a point after it; renames add two.
        EXPECT_GT(crashAt, 10);
    }
}

TEST_F(MassRenameCrashTest, AnInterruptedRunIsNamedOnceWithItsChangesAndItsLogSaysSo)
{
    choices.includeSubs = true;
    choices.builtFormat = "Artist - Title";
    choices.logOperation = true;
    makeTree();
    QString finishedJournal, crashedJournal;
    EXPECT_FALSE(runCrashingAt(-1, &finishedJournal));
    EXPECT_TRUE(interruptedRuns(logFolder).isEmpty());
    makeTree();
    ASSERT_TRUE(runCrashingAt(6, &crashedJournal));
    EXPECT_NE(crashedJournal, finishedJournal);
    EXPECT_EQ(lastRunJournal(logFolder), crashedJournal);

    const QList<InterruptedRun> runs = interruptedRuns(logFolder);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].journalPath, crashedJournal);
    EXPECT_EQ(runs[0].logPath + ".undo", crashedJournal);
    // Points 0 to 6: both.mp3's trailer and rename (a record and a change
    // each), untagged.mp3's trailer (two points), v2only.mp3's trailer record.
    EXPECT_EQ(runs[0].changes, 4);
    ASSERT_TRUE(noteInterruptedRun(runs[0]));
    EXPECT_TRUE(interruptedRuns(logFolder).isEmpty());
    EXPECT_TRUE(QString::fromUtf8(Mp3Builder::readFile(runs[0].logPath))
                    .endsWith("\r\n>> Run Interrupted: The Program Ended Before This Run Did; Its Undo Journal Holds 4 "
                              "Changes\r\n"));
    RenameJournalContents contents;
    ASSERT_TRUE(readRenameJournal(crashedJournal, &contents, nullptr));
    EXPECT_TRUE(contents.interrupted());
    EXPECT_TRUE(contents.noted);
    // A crash while its undo was being marked leaves half a line after the
    // mark: the run stays noted, and is not named again.
    QFile torn(crashedJournal);
    ASSERT_TRUE(torn.open(QIODevice::Append));
    torn.write("und");
    torn.close();
    EXPECT_TRUE(interruptedRuns(logFolder).isEmpty());
}

TEST_F(MassRenameTest, EveryRunKeepsItsOwnJournalAndTwoRunsInOneSecondNeverShareFiles)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    makeMp3(QStringLiteral("b_2.mp3"));
    const QString name = "MassRename-07Mar26-140509";
    // The fixed clock starts every run in the same second.
    const struct {
        bool logged;
        const char* journal;
        const char* log;
    } runs[] = {
        { false, ".undo", "" },
        { true, "-2.log.undo", "-2.log" },
        { true, "-3.log.undo", "-3.log" },
        { false, "-4.undo", "" },
    };
    QStringList journals;
    for (const auto& r : runs) {
        choices.logOperation = r.logged;
        engine->run(choices);
        EXPECT_EQ(engine->journalPath(), logFolder + name + r.journal);
        EXPECT_EQ(r.logged ? engine->logFileName() : QString(), r.logged ? logFolder + name + r.log : QString());
        EXPECT_EQ(lastRunJournal(logFolder), engine->journalPath());
        EXPECT_TRUE(journal().closed);
        journals << engine->journalPath();
        // Name them back by hand, so the next run has work to do.
        for (const RenameRecord& rec : journal().records)
            if (rec.kind == RenameRecord::Kind::Rename)
                QFile::rename(rec.dir + rec.newName, rec.dir + rec.oldName);
    }
    for (const QString& path : journals)
        EXPECT_TRUE(hasUndoableChanges(path)) << qPrintable(path);
    ASSERT_TRUE(markRenameJournal(journals.first(), JournalMark::Undone));
    EXPECT_FALSE(hasUndoableChanges(journals.first()));
}

TEST_F(MassRenameTest, AJournalThatCannotBeWrittenStopsTheRunBeforeTheChangeItCouldNotRecord)
{
    // At the start: the user chooses whether to rename without a way back.
    makeFile(QStringLiteral("../logs"), "a file where the folder should be");
    makeMp3(QStringLiteral("a_1.mp3"));
    engine->run(choices);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_TRUE(prompter.calls[0].text.startsWith("The Undo Journal Cannot Be Written:\r\n\r\n" + logFolder));
    EXPECT_TRUE(prompter.calls[0].text.endsWith("Rename The Files Without A Way To Undo Them?"));
    EXPECT_EQ(namesIn(), QStringList { "a_1.mp3" });
    EXPECT_EQ(view.statuses.last(), "Mass Renaming Cancelled");
    prompter.answers << Answer::Yes;
    engine->run(choices);
    EXPECT_EQ(namesIn(), QStringList { "a 1.mp3" });
    EXPECT_EQ(engine->journalPath(), QString());
    QFile::remove(logFolder.chopped(1));

    // During the run (the disk fills up): the file whose record could not be
    // written is not touched, and the run stops there.
    for (const char* name : { "c_3.mp3", "d_4.mp3", "e_5.mp3", "f_6.mp3" })
        makeMp3(name);
    rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    int journaled = 0;
    engine->setRunPointHook([&](MassRenameEngine::RunPoint point) {
        // After two renames no file may grow past the journal's size now.
        if (point == MassRenameEngine::RunPoint::Changed && ++journaled == 2) {
            rlimit limit = old;
            limit.rlim_cur = rlim_t(QFileInfo(engine->journalPath()).size());
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
    });
    engine->run(choices);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "c 3.mp3", "d 4.mp3", "e_5.mp3", "f_6.mp3" }));
    EXPECT_EQ(counts(), "found 5 total 4 skipped 1 errors 1 renamed 2");
    ASSERT_FALSE(prompter.calls.isEmpty());
    EXPECT_TRUE(prompter.calls.last().text.startsWith("The Undo Journal Cannot Be Written:\r\n\r\n"));
    EXPECT_TRUE(prompter.calls.last().text.contains("Error: File too large (61)\r\n\r\nMass Renaming Stops Here"));
    EXPECT_EQ(journalRenames(), 2);
}

TEST_F(MassRenameTest, AJournalRecordCutShortByACrashIsNoRecordAtAll)
{
    for (const char* name : { "a_1.mp3", "b_2.mp3", "c_3.mp3" })
        makeMp3(name);
    engine->run(choices);
    const QByteArray whole = Mp3Builder::readFile(engine->journalPath());
    const QList<RenameRecord> records = journal().records;
    ASSERT_EQ(records.size(), 3);
    // Cut anywhere inside the last record, up to its line feed: that record
    // is gone and the others are read as they were.
    const qsizetype lineFeed = whole.lastIndexOf("\nend\n");
    const qsizetype lastStart = whole.lastIndexOf('\n', lineFeed - 1) + 1;
    for (qsizetype cut = lastStart; cut <= lineFeed + 1; ++cut) {
        ASSERT_TRUE(Mp3Builder::writeFile(engine->journalPath(), whole.left(cut)));
        RenameJournalContents contents;
        ASSERT_TRUE(readRenameJournal(engine->journalPath(), &contents, nullptr));
        ASSERT_EQ(contents.records.size(), cut > lineFeed ? 3 : 2) << cut;
        EXPECT_TRUE(contents.interrupted());
        for (qsizetype i = 0; i < contents.records.size(); ++i) {
            const RenameRecord& r = contents.records.at(i);
            EXPECT_EQ(r.newName, records.at(i).newName) << cut;
            EXPECT_EQ(r.modeBefore, records.at(i).modeBefore) << cut;
            EXPECT_TRUE(r.after.sameState(records.at(i).after)) << cut;
        }
    }
}
