#include "tagedit/multitagrun.h"

#include "multitagfiles.h"

#include "platform/fakes/scriptedprompter.h"
#include "platform/localfilesystem.h"
#include "tagedit/tagjournal.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace MultiTagFiles;

namespace {

struct Batch {
    QTemporaryDir dir;
    LocalFileSystem files;
    ScriptedPrompter prompter;
    MultiTagWriter writer { files };
    QString journal = dir.filePath("undo/MultiTagger-Undo.journal");
    QStringList paths;
    QList<QByteArray> before;

    explicit Batch(int count)
    {
        for (int i = 0; i < count; ++i) {
            const QString path = dir.filePath(QStringLiteral("f%1.mp3").arg(i));
            EXPECT_TRUE(write(path, sample(QString::number(i)), i % 2 == 0));
            paths << path;
            before << Mp3Builder::readFile(path);
        }
    }
    MultiTagRunReport run(const MultiTagValues& values, const MultiTagRunHooks& hooks = {})
    {
        MultiTagRun r(writer, prompter, journal);
        return r.run(paths, values, hooks);
    }
    bool unchanged(int i) const { return Mp3Builder::readFile(paths[i]) == before[i]; }
};

int modeOf(const QString& path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

TEST(MultiTagRun, StopEndsTheRunAfterTheCurrentFileWithExactCounters)
{
    for (const int k : { 0, 2, 5 }) {
        Batch r(5);
        QStringList statuses;
        QList<int> progress;
        MultiTagRunHooks hooks;
        hooks.status = [&](const QString& s) { statuses << s; };
        hooks.progress = [&](int done, int total) {
            EXPECT_EQ(total, 5);
            progress << done;
        };
        hooks.stopRequested = [&] { return int(progress.size()) == k; };

        const MultiTagRunReport report = r.run(including({ { FieldId::Album, "New" } }), hooks);

        EXPECT_EQ(report.done, k);
        EXPECT_EQ(report.written, k);
        EXPECT_EQ(report.failed, 0);
        EXPECT_EQ(report.stopped, k < 5);
        EXPECT_EQ(multiTagRunStatus(report),
            k < 5 ? QStringLiteral("ID3 Tag Updates Stopped After %1 Of 5 Files: %1 Written").arg(k)
                  : QStringLiteral("ID3 Tag Updates Complete: 5 Of 5 Files Written"));
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(readV2(r.paths[i]).album, i < k ? "New" : sample(QString::number(i)).album) << k << i;
            EXPECT_EQ(r.unchanged(i), i >= k) << k << i;
        }
        EXPECT_EQ(statuses.count(QStringLiteral("ID3 Tags Saved In f0.mp3")), k > 0 ? 1 : 0);
        EXPECT_EQ(tagJournalChangedFiles(r.journal), r.paths.mid(0, k));
        EXPECT_TRUE(r.prompter.calls.isEmpty());
    }
}

TEST(MultiTagRun, AsksBeforeClearingFieldsTheFilesHoldAndNoWritesNothing)
{
    Batch r(3);
    Values plain = sample("x");
    plain.title.clear();
    plain.year = 0;
    ASSERT_TRUE(write(r.paths[1], plain, false)); // holds neither field
    r.before[1] = Mp3Builder::readFile(r.paths[1]);
    const MultiTagValues clearing = including(
        { { FieldId::Title, "" }, { FieldId::Year, "x" }, { FieldId::Album, "A" }, { FieldId::CopyRight, "" } });
    EXPECT_EQ(fieldsToClear(clearing), QList<FieldId>({ FieldId::Title, FieldId::Year }));
    EXPECT_EQ(fieldsToClear(including({ { FieldId::Track, "x" }, { FieldId::TotalTracks, "0" } })),
        QList<FieldId>({ FieldId::Track, FieldId::TotalTracks }));
    EXPECT_EQ(fieldsToClear(including({ { FieldId::Mood, "  " }, { FieldId::Year, "7" }, { FieldId::Tempo, "x" } })),
        QList<FieldId>({ FieldId::Mood }));

    MultiTagRunReport report = r.run(clearing);

    ASSERT_EQ(r.prompter.calls.size(), 1);
    EXPECT_EQ(r.prompter.calls[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(r.prompter.calls[0].text,
        "Set Tags Will Clear These Fields In 2 Of The 3 Selected Files:\r\n\r\nTitle, Year\r\n\r\nClear Them?");
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.done, 0);
    EXPECT_EQ(multiTagRunStatus(report), "ID3 Tag Updates Cancelled");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(r.unchanged(i)) << i;

    r.prompter.answers.enqueue(Answer::Yes);
    report = r.run(clearing);
    EXPECT_EQ(report.written, 3);
    EXPECT_EQ(readV2(r.paths[0]).title, "");
    EXPECT_EQ(readV2(r.paths[0]).year, 0);
    EXPECT_EQ(readV2(r.paths[2]).album, "A");

    // Nothing to clear in any file: no question.
    r.prompter.calls.clear();
    r.prompter.answers.enqueue(Answer::Yes);
    r.run(including({ { FieldId::Composer, "" }, { FieldId::Year, "" } }));
    EXPECT_EQ(readV2(r.paths[2]).composer, "");
    r.run(including({ { FieldId::Composer, "" }, { FieldId::Year, "" } }));
    EXPECT_EQ(r.prompter.calls.size(), 1) << "asked while the files still held composers, not after";
}

TEST(MultiTagRun, RepeatedErrorsOfOneKindCanBeSkippedAndEveryFailedFileIsListed)
{
    Batch r(6);
    for (int i = 0; i < 4; ++i)
        QFile::setPermissions(r.paths[i], QFile::ReadOwner);
    QFile::remove(r.paths[4]);
    r.prompter.answers.enqueue(Answer::No); // the read-only files stay as they are
    r.prompter.answers.enqueue(Answer::Ok); // first error: the plain box
    r.prompter.answers.enqueue(Answer::Yes); // second: skip further ones
    r.prompter.answers.enqueue(Answer::Ok); // a missing file is another kind

    const MultiTagRunReport report = r.run(including({ { FieldId::Album, "New" } }));

    ASSERT_EQ(r.prompter.calls.size(), 4);
    EXPECT_TRUE(r.prompter.calls[0].text.startsWith("4 Of The 6 Selected Files Are Read-Only:"));
    EXPECT_EQ(r.prompter.calls[1].buttons, MsgButtons::Ok);
    EXPECT_EQ(r.prompter.calls[1].text,
        "Error Saving Tags In File: \r\n\r\n" + r.paths[0] + "\r\n\r\nError: Permission denied (75)");
    EXPECT_EQ(r.prompter.calls[2].buttons, MsgButtons::YesNo);
    EXPECT_EQ(r.prompter.calls[2].text,
        multiTagErrorText(r.paths[1], fileErrorFromErrno(EACCES))
            + "\r\n\r\nSkip Further Errors Of This Kind In This Run?");
    EXPECT_TRUE(r.prompter.calls[3].text.endsWith("(53)"));
    EXPECT_EQ(report.done, 6);
    EXPECT_EQ(report.failed, 5);
    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(readV2(r.paths[5]).album, "New");
    const QString denied = " - Error: " + fileErrorFromErrno(EACCES).description + " (75)";
    const QString missing = " - Error: " + fileErrorFromErrno(ENOENT).description + " (53)";
    // The files whose error was shown are listed as well as the skipped ones.
    EXPECT_EQ(report.failures,
        QStringList({ r.paths[0] + denied, r.paths[1] + denied, r.paths[2] + denied, r.paths[3] + denied,
            r.paths[4] + missing }));
    EXPECT_EQ(multiTagRunProblemsText(report),
        "Tags Were Not Saved In These Files:\r\n\r\n" + report.failures.join("\r\n") + "\r\n");
    EXPECT_EQ(multiTagRunStatus(report), "ID3 Tag Updates Complete With Errors: 1 Of 6 Files Written, 5 Failed");
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(r.unchanged(i)) << i;
}

TEST(MultiTagRun, AJournalThatCannotBeWrittenIsAskedAbout)
{
    Batch r(1);
    Mp3Builder::writeFile(r.dir.filePath("undo"), "a file where the folder should be");

    MultiTagRunReport report = r.run(including({ { FieldId::Album, "New" } }));
    ASSERT_EQ(r.prompter.calls.size(), 1);
    EXPECT_TRUE(r.prompter.calls[0].text.startsWith("The Undo Journal Cannot Be Written:\r\n\r\n" + r.journal));
    EXPECT_TRUE(r.prompter.calls[0].text.endsWith("\r\n\r\nSave The Tags Without A Way To Undo Them?"));
    EXPECT_TRUE(report.cancelled);
    EXPECT_TRUE(r.unchanged(0));

    r.prompter.answers.enqueue(Answer::Yes);
    report = r.run(including({ { FieldId::Album, "New" } }));
    EXPECT_EQ(report.written, 1);
    EXPECT_FALSE(report.journalled);
}

TEST(MultiTagRun, AFileWhoseTagsTheJournalCannotTakeIsNotWritten)
{
    Batch r(3);
    // From the second file on the journal cannot grow (a size limit fails a
    // write as a full disk does); the files' own tags are rewritten in place,
    // within the limit, so only the journal is refused.
    rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    int file = 0;
    MultiTagRunHooks hooks;
    hooks.stopRequested = [&] {
        if (file++ == 1) {
            rlimit limit = old;
            limit.rlim_cur = rlim_t(QFileInfo(r.journal).size());
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        return false;
    };
    const MultiTagRunReport report = r.run(including({ { FieldId::Album, "New" } }), hooks);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(report.failed, 2);
    EXPECT_FALSE(r.unchanged(0));
    EXPECT_TRUE(r.unchanged(1)) << "written without a journal record";
    EXPECT_TRUE(r.unchanged(2)) << "written without a journal record";
}

TEST(MultiTagRun, ARunWhereEveryFileFailsSaysSoAndNamesThemAll)
{
    Batch r(4);
    for (const QString& path : r.paths)
        QFile::remove(path);
    r.prompter.answers.enqueue(Answer::Ok);
    r.prompter.answers.enqueue(Answer::Yes); // skip the rest

    const MultiTagRunReport report = r.run(including({ { FieldId::Album, "New" } }));

    EXPECT_EQ(report.written, 0);
    EXPECT_EQ(report.failed, 4);
    EXPECT_EQ(multiTagRunStatus(report), "ID3 Tag Updates Failed: 0 Of 4 Files Written, 4 Failed");
    const QString text = multiTagRunProblemsText(report);
    for (const QString& path : r.paths)
        EXPECT_TRUE(text.contains(path + " - Error: ")) << path.toStdString();
}

TEST(MultiTagRun, NumbersOutOfRangeAreRefusedOnceBeforeAnyFile)
{
    Batch r(3);
    const MultiTagRunReport report = r.run(including({ { FieldId::Album, "New" }, { FieldId::Year, "99999" } }));

    ASSERT_EQ(r.prompter.calls.size(), 1);
    EXPECT_EQ(r.prompter.calls[0].title, "Velmora - MultiTagger");
    EXPECT_EQ(r.prompter.calls[0].icon, MsgIcon::Critical);
    EXPECT_EQ(r.prompter.calls[0].text,
        "Error Saving Tags In The Selected Files: \r\n\r\nError: Year 99999 Is Larger Than 9999 (6)\r\n\r\n"
        "No File Was Changed.");
    EXPECT_EQ(report.done, 0);
    EXPECT_EQ(multiTagRunStatus(report), "ID3 Tag Updates Refused: Year 99999 Is Larger Than 9999");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(r.unchanged(i)) << i;
    EXPECT_FALSE(QFile::exists(r.journal)) << "no journal for a run that never started";
}

TEST(MultiTagRun, AFileWhoseTimeCouldNotBeKeptCountsAsWrittenWithAWarning)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make a file that belongs to another user";
    Batch r(2);
    // Root's files, writable by everyone: user nobody may write them but
    // not set their times.
    ASSERT_TRUE(QFile::setPermissions(r.dir.path(), QFile::Permissions(0x7777)));
    for (const QString& path : r.paths)
        ASSERT_TRUE(QFile::setPermissions(path, QFile::Permissions(0x6666)));

    const auto out = inChild(becomeNobody, [&] {
        LocalFileSystem files;
        ScriptedPrompter prompter;
        MultiTagWriter writer(files);
        writer.setKeepFileTimes(true);
        MultiTagRun run(writer, prompter, QString());
        const MultiTagRunReport report = run.run(r.paths, including({ { FieldId::Album, "Album z" } }), {});
        return (multiTagRunStatus(report) + '\n' + multiTagRunProblemsText(report) + '\n'
            + QString::number(prompter.calls.size()))
            .toUtf8();
    });

    ASSERT_TRUE(out.has_value());
    const QString notKept = " - Error: The file's modification time could not be kept: "
        + QString::fromLocal8Bit(std::strerror(EPERM)) + " (75)\r\n";
    EXPECT_EQ(QString::fromUtf8(*out),
        "ID3 Tag Updates Complete: 2 Of 2 Files Written\n"
        "Tags Were Saved, But The Modification Time Could Not Be Kept In These Files:\r\n\r\n"
            + r.paths[0] + notKept + r.paths[1] + notKept + "\n0");
    EXPECT_EQ(readV2(r.paths[1]).album, "Album z");
}

TEST(MultiTagRun, TheClosingListsNameTwentyFilesEachAndCountTheRest)
{
    MultiTagRunReport report;
    EXPECT_EQ(multiTagRunProblemsText(report), "");
    for (int i = 0; i < 21; ++i)
        report.failures << QString::number(i);
    EXPECT_TRUE(multiTagRunProblemsText(report).endsWith("\r\n19\r\n... And 1 More\r\n"));
    report.failures.removeLast();
    EXPECT_TRUE(multiTagRunProblemsText(report).endsWith("\r\n18\r\n19\r\n"));
    report.timesNotKept << "t";
    EXPECT_TRUE(multiTagRunProblemsText(report).endsWith("\r\n19\r\n\r\nTags Were Saved, But The Modification "
                                                         "Time Could Not Be Kept In These Files:\r\n\r\nt\r\n"));
}

TEST(MultiTagRun, ReadOnlyFilesAreNamedOnceAndWrittenOnlyWhenTheUserSaysSoAndTheUndoGivesTheModeBack)
{
    for (const bool clear : { false, true }) {
        SCOPED_TRACE(clear ? "Yes" : "No");
        Batch r(3);
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        ASSERT_TRUE(QFile::setPermissions(r.paths[0], readOnly));
        ASSERT_TRUE(QFile::setPermissions(r.paths[2], readOnly));
        r.prompter.answers.enqueue(clear ? Answer::Yes : Answer::No);
        r.prompter.answers.enqueue(Answer::Ok); // No: the refusal of the first
        r.prompter.answers.enqueue(Answer::No); // and of the second, not skipping
        const MultiTagRunReport report = r.run(including({ { FieldId::Album, "New" } }));

        ASSERT_FALSE(r.prompter.calls.isEmpty());
        EXPECT_EQ(r.prompter.calls[0].text,
            "2 Of The 3 Selected Files Are Read-Only:\r\n\r\n" + r.paths[0] + "\r\n" + r.paths[2]
                + "\r\n\r\nMake Them Writable And Set Their Tags? No Leaves Them As They Are.");
        EXPECT_EQ(r.prompter.calls.size(), clear ? 1 : 3);
        EXPECT_EQ(report.written, clear ? 3 : 1);
        EXPECT_EQ(r.unchanged(0), !clear);
        EXPECT_EQ(modeOf(r.paths[0]), clear ? 0644 : 0444);
        // The permission ends with the run: the writer alone refuses again.
        const QString other = r.dir.filePath("other.mp3");
        ASSERT_TRUE(write(other, sample("o"), false));
        ASSERT_TRUE(QFile::setPermissions(other, readOnly));
        EXPECT_EQ(r.writer.tagFile(other, including({ { FieldId::Album, "Else" } })).error.number, 75);

        const TagUndoReport undone = undoTagJournal(r.journal);
        EXPECT_EQ(undone.restored.size(), clear ? 3 : 1);
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(r.unchanged(i)) << i;
            EXPECT_EQ(modeOf(r.paths[i]), i == 1 ? 0644 : 0444) << i;
        }
    }
}
