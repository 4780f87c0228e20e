// The rename of the main window's file without the window: the existing-target
// prompt, the trash and the retry, over real files with scripted answers.
#include "app/renamesequence.h"
#include "platform/fakes/faultyfilesystem.h"
#include "platform/fakes/recordingtrash.h"
#include "platform/fakes/scriptedexistingtargetprompt.h"
#include "platform/fakes/scriptedprompter.h"
#include "support/mp3builder.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct Fixture {
    Fixture()
    {
        trash.folder = dir.path() + QStringLiteral("/trash");
        QDir().mkpath(folder());
    }
    QString folder() const { return dir.path() + QStringLiteral("/music/"); }
    QStringList listed() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }
    RenameSequence sequence()
    {
        return RenameSequence(files, trash, prompter, existingTarget, [this](const QString& t) { statuses << t; });
    }

    QTemporaryDir dir;
    FaultyFileSystem files;
    RecordingTrash trash;
    ScriptedPrompter prompter;
    ScriptedExistingTargetPrompt existingTarget;
    QStringList statuses;
};

const QString kErrors = QStringLiteral("Renaming Of '%1' Encountered Errors");

mode_t modeOf(const QString& path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

} // namespace

TEST(RenameSequence, RefusesWithoutALoadedFileOrANewName)
{
    const struct {
        const char* loaded;
        const char* newName;
        const char* refusal; // "" when the rename may start
    } cases[] = {
        { "", "b.mp3", "Please Select A File!" }, // nothing loaded, e.g. a zero-length file
        { "  ", "b.mp3", "Please Select A File!" },
        { "a.mp3", " ", "Please Specify A New Filename!" },
        { "a.mp3", " .mp3 ", "Please Specify A New Filename!" },
        { "a.mp3", "b.mp3", "" },
        // Every audio extension alone is no name, in any letter case.
        { "a.flac", " .flac ", "Please Specify A New Filename!" },
        { "a.flac", ".Opus", "Please Specify A New Filename!" },
        { "a.m4a", "  .M4A", "Please Specify A New Filename!" },
        { "a.flac", "b.flac", "" },
    };
    for (const auto& c : cases) {
        Fixture f;
        const bool may = f.sequence().mayStart(QString::fromUtf8(c.loaded), QString::fromUtf8(c.newName));
        const QString refusal = QString::fromUtf8(c.refusal);
        EXPECT_EQ(may, refusal.isEmpty()) << c.newName;
        EXPECT_EQ(f.prompter.messageTexts(), refusal.isEmpty() ? QStringList() : QStringList { refusal });
        if (!refusal.isEmpty()) {
            EXPECT_EQ(f.prompter.calls[0].icon, MsgIcon::Information);
        }
    }
}

TEST(RenameSequence, PromptsTrashesAndRetriesOnlyAsAnsweredLeavingModesAlone)
{
    const struct {
        const char* name;
        const char* newName;
        bool targetExists;
        ExistingTargetAnswer answer;
        FileError renameFailure;
        bool trashFails;
        bool renamed;
        const char* message; // the critical box holds this ("" for no box)
        QStringList after; // the folder's files, with their contents
    } cases[] = {
        { "plain", "b.mp3", false, {}, {}, false, true, "", { "b.mp3=A" } },
        { "overwrite", "b.mp3", true, ExistingTargetAnswer::Overwrite, {}, false, true, "", { "b.mp3=A" } },
        { "skip", "b.mp3", true, ExistingTargetAnswer::Skip, {}, false, false, "", { "a.mp3=A", "b.mp3=B" } },
        { "trash fails", "b.mp3", true, ExistingTargetAnswer::Overwrite, {}, true, false,
            "Error: Permission denied (75)", { "a.mp3=A", "b.mp3=B" } },
        { "rename fails", "b.mp3", false, {}, { 75, QStringLiteral("Permission denied") }, false, false,
            "Error: Permission denied (75)", { "a.mp3=A" } },
        { "illegal name", "../b.mp3", false, {}, {}, false, false, "Possible Cause: Illegal Filename", { "a.mp3=A" } },
        { "same name", "a.mp3", false, {}, {}, false, true, "", { "a.mp3=A" } },
        { "case change", "A.mp3", false, {}, {}, false, true, "", { "A.mp3=A" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        ASSERT_TRUE(Mp3Builder::writeFile(f.folder() + QStringLiteral("a.mp3"), "A"));
        if (c.targetExists) {
            ASSERT_TRUE(Mp3Builder::writeFile(f.folder() + QStringLiteral("b.mp3"), "B"));
        }
        // Read-only files: renaming and trashing need no permission on them.
        for (const QString& name : f.listed())
            ASSERT_EQ(::chmod(QFile::encodeName(f.folder() + name).constData(), 0444), 0);
        f.existingTarget.answers << c.answer;
        f.files.renameFailure = c.renameFailure;
        f.trash.failNext = c.trashFails;
        const QString newName = QString::fromUtf8(c.newName);

        const QString target = f.sequence().run(f.folder() + QStringLiteral("a.mp3"), newName);

        EXPECT_EQ(target, c.renamed ? f.folder() + newName : QString());
        QStringList after;
        for (const QString& name : f.listed())
            after << name + QLatin1Char('=') + QString::fromLatin1(Mp3Builder::readFile(f.folder() + name));
        EXPECT_EQ(after, c.after);
        for (const QString& name : f.listed())
            EXPECT_EQ(modeOf(f.folder() + name), mode_t(0444)) << name.toStdString();
        // Only a taken name is prompted for, with a beep, and only Overwrite trashes.
        EXPECT_EQ(f.existingTarget.asked,
            c.targetExists ? QStringList { f.folder() + QStringLiteral("|b.mp3|a.mp3") } : QStringList());
        EXPECT_EQ(f.prompter.count(ScriptedPrompter::Kind::Beep), c.targetExists ? 1 : 0);
        const bool trashed = c.answer == ExistingTargetAnswer::Overwrite && !c.trashFails;
        EXPECT_EQ(f.trash.trashed, trashed ? QStringList { f.folder() + QStringLiteral("b.mp3") } : QStringList());
        const QStringList messages = f.prompter.messageTexts();
        ASSERT_EQ(messages.size(), *c.message ? 1 : 0);
        if (*c.message) {
            EXPECT_TRUE(messages[0].startsWith(kErrors.arg(newName)));
            EXPECT_TRUE(messages[0].contains(QLatin1String(c.message))) << messages[0].toStdString();
            EXPECT_EQ(f.prompter.calls.last().icon, MsgIcon::Critical);
        }
        QStringList statuses;
        if (c.answer == ExistingTargetAnswer::Overwrite)
            statuses << QStringLiteral("Moving File ") + f.folder() + QStringLiteral("b.mp3 To Trash...");
        if (!c.renamed)
            statuses << kErrors.arg(newName);
        EXPECT_EQ(f.statuses, statuses);
    }
}
