#include "tagedit/currentfile.h"
#include "tagedit/tagjournal.h"

#include "multitagfiles.h"

#include "platform/fakes/faultyfilesystem.h"
#include "platform/fakes/scriptedprompter.h"
#include "platform/localfilesystem.h"
#include "settings/options.h"
#include "support/childprocess.h"
#include "support/filestate.h"
#include "support/tagfiles.h"
#include "tags/writeaccess.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace MultiTagFiles;

namespace {

struct Fixture {
    QTemporaryDir dir;
    FaultyFileSystem files;
    ScriptedPrompter prompter;
    Options options;
    CurrentFile file { files, &prompter, options };

    QString tagged(const QString& name, bool trailer = false)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(write(path, sample(name), trailer)) << name.toStdString();
        return path;
    }
    // The boxes as last read, with the changes applied.
    TagTexts boxes(const QList<std::pair<FieldId, QString>>& changes) const
    {
        TagTexts texts = file.texts();
        for (const auto& [id, text] : changes)
            texts[int(id)] = text;
        return texts;
    }
};

QString text(const TagTexts& texts, FieldId id)
{
    return texts[int(id)];
}

} // namespace

TEST(CurrentFile, LoadReadsTheFileAndWritesItsTrailerButNothingIntoAZeroLengthFile)
{
    Fixture f;
    const QString song = f.tagged("song", true);
    const QString zero = TagTestFiles::write(f.dir, "zero", {});

    ASSERT_TRUE(f.file.load(song).ok());
    EXPECT_TRUE(f.file.isLoaded());
    EXPECT_EQ(f.file.name(), QStringLiteral("song"));
    EXPECT_EQ(text(f.file.texts(), FieldId::Artist), QStringLiteral("Artist song"));
    EXPECT_EQ(text(f.file.texts(), FieldId::Track), QStringLiteral("03")); // two digits by default
    EXPECT_EQ(readV1(song).artist(), QStringLiteral("Artist song"));

    // Nothing of the file before survives a zero-length one.
    const CurrentFile::Result r = f.file.load(zero);
    EXPECT_TRUE(r.ok());
    EXPECT_FALSE(f.file.isLoaded());
    EXPECT_EQ(f.file.path(), zero);
    EXPECT_EQ(f.file.length(), 0);
    EXPECT_EQ(text(f.file.texts(), FieldId::Artist), QString());
    EXPECT_EQ(f.file.tag().fieldText(FieldId::Artist), QString());
    EXPECT_EQ(f.file.tag().fileName(), QString());
    EXPECT_FALSE(f.file.save(f.boxes({ { FieldId::Artist, "Leaked" } })).ok());
    EXPECT_FALSE(f.file.stripTags().ok());
    EXPECT_EQ(QFileInfo(zero).size(), 0);

    QFile::remove(song);
    const CurrentFile::Result missing = f.file.load(song);
    EXPECT_FALSE(f.file.isLoaded());
    EXPECT_EQ(missing.error.number, 53);
    EXPECT_EQ(missing.step, CurrentFile::Step::Read);
}

TEST(CurrentFile, ReloadAndSaveGoByTheFileOnDiskNotByWhatWasReadBefore)
{
    Fixture f;
    const QString song = f.tagged("song");
    ASSERT_TRUE(f.file.load(song).ok());

    // Another window (the MultiTagger) writes the file.
    const auto writeElsewhere = [&](void (ID3V2Tag::*set)(const QString&), const QString& value) {
        ID3V2Tag other;
        other.setFileName(song);
        (other.*set)(value);
        return other.update();
    };
    ASSERT_TRUE(writeElsewhere(&ID3V2Tag::setArtist, QStringLiteral("Written Elsewhere")));
    // A save of boxes that still show the old artist keeps the new one:
    // only the field the user changed is written.
    const CurrentFile::Result saved = f.file.save(f.boxes({ { FieldId::Album, "New Album" } }));
    ASSERT_TRUE(saved.ok()) << saved.error.description.toStdString();
    EXPECT_TRUE(saved.reread);
    EXPECT_EQ(readV2(song).artist, QStringLiteral("Written Elsewhere"));
    EXPECT_EQ(readV2(song).album, QStringLiteral("New Album"));
    EXPECT_EQ(text(f.file.texts(), FieldId::Artist), QStringLiteral("Written Elsewhere"));
    EXPECT_EQ(readV1(song).artist(), QStringLiteral("Written Elsewhere"));
    EXPECT_EQ(readV1(song).album(), QStringLiteral("New Album"));

    ASSERT_TRUE(writeElsewhere(&ID3V2Tag::setComposer, QStringLiteral("Later")));
    ASSERT_TRUE(f.file.reload().ok());
    EXPECT_EQ(text(f.file.texts(), FieldId::Composer), QStringLiteral("Later"));
    EXPECT_EQ(audioOf(song), Mp3Builder::audioFrames(kFrames));
}

TEST(CurrentFile, AClearedFieldStaysClearedInBothTagsAndInTheTexts)
{
    Fixture f;
    const QString song = f.tagged("song", true);
    ASSERT_TRUE(f.file.load(song).ok());
    for (int save = 0; save < 2; ++save) {
        const CurrentFile::Result r = f.file.save(f.boxes({ { FieldId::Title, "" }, { FieldId::Year, "" } }));
        ASSERT_TRUE(r.ok()) << save;
        EXPECT_EQ(text(f.file.texts(), FieldId::Title), QString()) << save;
        EXPECT_EQ(readV2(song).title, QString()) << save;
        EXPECT_EQ(readV1(song).title(), QString()) << save;
        // An empty year box writes no year into the trailer.
        EXPECT_EQ(readV1(song).year(), QString()) << save;
        EXPECT_EQ(readV2(song).artist, QStringLiteral("Artist song")) << save;
    }
}

TEST(CurrentFile, EveryFailedWriteIsReportedAndLeavesTheFileAsItWas)
{
    struct Case {
        const char* name;
        std::function<void(Fixture&, const QString&)> spoil; // after the load
        int number; // 0: the save succeeds
    };
    const Case cases[] = {
        { "deleted behind the program's back", [](Fixture&, const QString& p) { QFile::remove(p); }, 53 },
        { "read-only, and the permission cannot be changed",
            [](Fixture& f, const QString& p) {
                ::chmod(QFile::encodeName(p).constData(), 0444);
                f.prompter.answers.enqueue(Answer::Yes); // make it writable
                f.files.resetFailure = { 75, QStringLiteral("Operation not permitted") };
            },
            75 },
        { "replaced by a folder",
            [](Fixture&, const QString& p) {
                QFile::remove(p);
                QDir().mkdir(p);
            },
            75 },
    };
    for (const Case& c : cases) {
        Fixture f;
        const QString path = f.tagged("song", true);
        ASSERT_TRUE(f.file.load(path).ok()) << c.name;
        c.spoil(f, path);
        const FileState before = FileState::of(path);
        const CurrentFile::Result r = f.file.save(f.boxes({ { FieldId::Artist, "Typed" } }));
        EXPECT_EQ(r.error.number, c.number) << c.name;
        EXPECT_FALSE(r.ok()) << c.name;
        EXPECT_EQ(r.step, CurrentFile::Step::Write) << c.name;
        EXPECT_EQ(FileState::of(path), before) << c.name;
        EXPECT_TRUE(f.prompter.answers.isEmpty()) << c.name;
        EXPECT_FALSE(currentFileErrorText(r, path).isEmpty());
    }
}

TEST(CurrentFile, SaveAndRemoveTagsAskOnceBeforeMakingAReadOnlyFileWritableAndUndoPutsTheModeBack)
{
    const struct {
        const char* name;
        bool strip;
        Answer answer;
    } cases[] = {
        { "save, kept read-only", false, Answer::No },
        { "save, made writable", false, Answer::Yes },
        { "remove tags, kept read-only", true, Answer::No },
        { "remove tags, made writable", true, Answer::Yes },
    };
    for (const auto& c : cases) {
        Fixture f;
        const QString song = f.tagged("song", true);
        const QString journal = f.dir.filePath("undo/TagSave-Undo.journal");
        f.file.setJournal(journal);
        ASSERT_TRUE(f.file.load(song).ok()) << c.name;
        ASSERT_EQ(::chmod(QFile::encodeName(song).constData(), 0444), 0);
        const FileState before = FileState::of(song);
        f.prompter.answers.enqueue(c.answer);

        const CurrentFile::Result r
            = c.strip ? f.file.stripTags() : f.file.save(f.boxes({ { FieldId::Artist, "Typed" } }));
        // One question, naming the file and what the command will do.
        ASSERT_EQ(f.prompter.messageTexts(),
            QStringList({ writeProtectedQuestion(song, c.strip ? "Remove The Tags" : "Save The Tags") }))
            << c.name;
        EXPECT_EQ(f.prompter.calls[0].buttons, MsgButtons::YesNo) << c.name;
        if (c.answer == Answer::No) {
            EXPECT_TRUE(r.cancelled && r.keptReadOnly) << c.name;
            EXPECT_FALSE(r.ok()) << c.name;
            EXPECT_EQ(FileState::of(song), before) << c.name;
            EXPECT_FALSE(QFileInfo::exists(journal)) << c.name << ": no undo replaced";
            continue;
        }
        ASSERT_TRUE(r.ok()) << c.name << ' ' << r.error.description.toStdString();
        EXPECT_EQ(TagTestFiles::mode(song), mode_t(0644)) << c.name;
        if (c.strip)
            EXPECT_EQ(TagTestFiles::read(song), Mp3Builder::audioFrames(kFrames)) << c.name;
        else
            EXPECT_EQ(readV1(song).artist(), QStringLiteral("Typed")) << c.name;

        const TagUndoReport undo = undoTagJournal(journal);
        EXPECT_EQ(undo.restored, QStringList({ song })) << c.name;
        const FileState undone = FileState::of(song);
        EXPECT_EQ(undone.bytes, before.bytes) << c.name;
        EXPECT_EQ(undone.mode, mode_t(0444)) << c.name;
    }
}

TEST(CurrentFile, SelectingOrReadingAFileWritesNothingIntoOneThatMayNotBeChangedUnasked)
{
    const QByteArray tagged = Id3Builder::tag(3, { Id3Builder::frame(3, "TPE1", Id3Builder::textBody("Shown")) }, 16);
    QByteArray garbage(5000, Qt::Uninitialized);
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919 + 13) % 251);
    const QByteArray audio = Mp3Builder::audioFrames(kFrames);
    const struct {
        const char* name;
        QString file;
        QByteArray bytes;
        mode_t mode;
        bool written;
    } cases[] = {
        { "writable audio", "song.mp3", tagged + audio, 0644, true },
        { "read-only audio", "song.mp3", tagged + audio, 0444, false },
        { "read-only audio with a trailer", "song.mp3",
            tagged + audio + Id3Builder::id3v1("", "Shown", "", "", "", 1, 255), 0444, false },
        { "no MPEG audio", "garbage.mp3", tagged + garbage, 0644, false },
        { "a hidden name", ".song.mp3", tagged + audio, 0644, false },
    };
    for (const auto& c : cases) {
        Fixture f;
        const QString path = TagTestFiles::write(f.dir, c.file, c.bytes);
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.mode), 0);
        const FileState before = FileState::of(path);
        for (const bool again : { false, true }) {
            const CurrentFile::Result r = again ? f.file.reload() : f.file.load(path);
            EXPECT_TRUE(r.ok()) << c.name << ' ' << r.error.description.toStdString();
            EXPECT_TRUE(f.file.isLoaded()) << c.name;
            EXPECT_EQ(text(f.file.texts(), FieldId::Artist), QStringLiteral("Shown")) << c.name;
            if (c.written) {
                EXPECT_EQ(readV1(path).artist(), QStringLiteral("Shown")) << c.name;
                EXPECT_EQ(f.file.length(), qint64(c.bytes.size() + 128)) << c.name << ": the length as it is now";
            } else {
                EXPECT_EQ(FileState::of(path), before) << c.name << (again ? " (read again)" : " (selected)");
                EXPECT_EQ(f.file.length(), qint64(c.bytes.size())) << c.name;
            }
        }
        EXPECT_TRUE(f.prompter.calls.isEmpty()) << c.name;
    }
}

TEST(CurrentFile, SelectingAnotherUsersFileWritesNothingIntoItEvenWhenItIsOpenToAll)
{
    Fixture f;
    ASSERT_EQ(::chmod(QFile::encodeName(f.dir.path()).constData(), 0777), 0);
    const QString path = f.tagged("theirs.mp3", true);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0); // root's
    const FileState before = FileState::of(path);
    const auto shown = runInChild([&] {
        LocalFileSystem files;
        CurrentFile file(files, nullptr, f.options);
        const CurrentFile::Result r = file.load(path);
        return (r.ok() ? "ok " : "failed ") + file.texts()[int(FieldId::Artist)].toUtf8();
    });
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(*shown, "ok Artist theirs.mp3");
    EXPECT_EQ(FileState::of(path), before);
}

TEST(CurrentFile, AWriteThatFailsGivesTheSystemsReason)
{
    const QByteArray audio = Mp3Builder::audioFrames(kFrames);
    const QByteArray trailer = Id3Builder::id3v1("T", "A", "B", "1999", "C", 2, 17);
    const struct {
        const char* name;
        QByteArray bytes;
        qint64 sizeLimit; // bytes a file may have; 0: no limit
        FileError error;
    } cases[] = {
        // A tag whose declared size runs past the end of the file.
        { "size past the end", Id3Builder::header(3, 100000) + audio, 0,
            { 51,
                QStringLiteral("Frame %FF%FB%90d runs past the end of the tag. Saving would lose what follows it.") } },
        // A tag none of whose frames can be read.
        { "unreadable frames", Id3Builder::tag(3, { QByteArray("\x01\x02\x03\x04junkjunkjunk") }) + audio + trailer, 0,
            { 51,
                QStringLiteral(
                    "Frame %01%02%03%04 runs past the end of the tag. Saving would lose what follows it.") } },
        // The copy of a growing tag meets a full disk (a size limit fails
        // the write as a full disk does).
        { "full disk", Id3Builder::tag(3, { Id3Builder::frame(3, "TPE1", Id3Builder::textBody("A")) }) + audio, 1,
            fileErrorFromErrno(EFBIG) },
    };
    for (const auto& c : cases) {
        Fixture f;
        const QString path = TagTestFiles::write(f.dir, "song.mp3", c.bytes);
        ASSERT_TRUE(f.file.load(path).ok()) << c.name;
        const FileState before = FileState::of(path);
        const TagTexts boxes = f.boxes({ { FieldId::Artist, QString(2000, QLatin1Char('a')) } });
        const qint64 limit = c.sizeLimit ? before.bytes.size() + c.sizeLimit : 0;
        const auto text = runInChild(
            [&] {
                if (limit > 0) {
                    ::signal(SIGXFSZ, SIG_IGN);
                    const rlimit small { rlim_t(limit), rlim_t(limit) };
                    ::setrlimit(RLIMIT_FSIZE, &small);
                }
                const CurrentFile::Result r = f.file.save(boxes);
                return (r.ok() ? QStringLiteral("saved") : currentFileErrorText(r, path)).toUtf8();
            },
            false);
        ASSERT_TRUE(text.has_value()) << c.name;
        EXPECT_EQ(QString::fromUtf8(*text),
            QStringLiteral("Error Saving Tags In File: \r\n\r\n") + path + QStringLiteral("\r\n\r\nError: ")
                + c.error.description + QStringLiteral(" (") + QString::number(c.error.number) + QLatin1Char(')'))
            << c.name;
        EXPECT_EQ(FileState::of(path), before) << c.name;
    }
}

TEST(CurrentFile, AHiddenFileIsReadWithoutAWriteButASaveThatCannotWriteItsTrailerFails)
{
    Fixture f; // hidden files never get a trailer, and no message says so
    const QString path = f.tagged(".song");
    const FileState before = FileState::of(path);
    ASSERT_TRUE(f.file.load(path).ok());
    EXPECT_EQ(FileState::of(path), before);
    const CurrentFile::Result r = f.file.save(f.boxes({ { FieldId::Artist, "Typed" } }));
    EXPECT_EQ(r.error.number, 53);
    EXPECT_EQ(r.step, CurrentFile::Step::Trailer);
    EXPECT_EQ(currentFileErrorText(r, path), fileErrorMessage(path, r.error));
    EXPECT_TRUE(f.prompter.calls.isEmpty());
}

TEST(CurrentFile, StripRemovesEveryTagAndReadsTheFileAgain)
{
    Fixture f;
    const QString path = f.tagged("song", true);
    ASSERT_TRUE(f.file.load(path).ok());
    const CurrentFile::Result r = f.file.stripTags();
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.reread);
    EXPECT_EQ(r.step, CurrentFile::Step::Strip);
    EXPECT_EQ(TagTestFiles::read(path), Mp3Builder::audioFrames(kFrames));
    EXPECT_EQ(text(f.file.texts(), FieldId::Artist), QString());
    EXPECT_EQ(text(f.file.texts(), FieldId::CopyRight), QStringLiteral("False"));

    ::chmod(QFile::encodeName(path).constData(), 0444);
    f.prompter.answers.enqueue(Answer::Yes);
    f.files.resetFailure = { 75, QStringLiteral("Operation not permitted") };
    const CurrentFile::Result refused = f.file.stripTags();
    EXPECT_EQ(refused.error.number, 75);
    EXPECT_EQ(refused.step, CurrentFile::Step::Strip);
    EXPECT_TRUE(currentFileErrorText(refused, path).startsWith(QStringLiteral("Error Removing Tags From File: ")));
}

TEST(CurrentFile, ARenamedFileKeepsWhatWasReadAndIsSavedUnderItsNewName)
{
    Fixture f;
    const QString old = f.tagged("old");
    ASSERT_TRUE(f.file.load(old).ok());
    const QString renamed = f.dir.filePath("new");
    ASSERT_TRUE(QFile::rename(old, renamed));
    f.file.renamed(renamed);
    EXPECT_EQ(f.file.name(), QStringLiteral("new"));
    ASSERT_TRUE(f.file.save(f.boxes({ { FieldId::Mood, "Bright" } })).ok());
    EXPECT_EQ(readV2(renamed).mood, QStringLiteral("Bright"));
    EXPECT_EQ(readV2(renamed).artist, QStringLiteral("Artist old"));
    EXPECT_FALSE(QFileInfo::exists(old));
}

TEST(CurrentFile, SaveKeepsTheTagsItReplacesSoThatTheSaveCanBeUndone)
{
    Fixture f;
    const QString song = f.tagged("song", true);
    const QString journal = f.dir.filePath("undo/TagSave-Undo.journal");
    f.file.setJournal(journal);
    ASSERT_TRUE(f.file.load(song).ok());
    const QByteArray loaded = Mp3Builder::readFile(song);

    ASSERT_TRUE(f.file.save(f.boxes({ { FieldId::Title, QString(900, QLatin1Char('t')) } })).ok());
    ASSERT_NE(Mp3Builder::readFile(song), loaded);
    ASSERT_TRUE(f.file.reload().ok()); // rewrites the same trailer

    const TagUndoReport undo = undoTagJournal(journal);
    EXPECT_EQ(undo.restored, QStringList({ song }));
    EXPECT_EQ(Mp3Builder::readFile(song), loaded);

    // A journal that cannot be written is asked about; No saves nothing.
    Mp3Builder::writeFile(f.dir.filePath("blocked"), "x");
    f.file.setJournal(f.dir.filePath("blocked/j.journal"));
    ASSERT_TRUE(f.file.reload().ok());
    const QByteArray before = Mp3Builder::readFile(song);
    const CurrentFile::Result refused = f.file.save(f.boxes({ { FieldId::Title, QStringLiteral("Other") } }));
    EXPECT_TRUE(refused.cancelled);
    EXPECT_FALSE(refused.ok());
    ASSERT_EQ(f.prompter.calls.size(), 1);
    EXPECT_TRUE(f.prompter.calls[0].text.startsWith(QStringLiteral("The Undo Journal Cannot Be Written:")));
    EXPECT_EQ(Mp3Builder::readFile(song), before);
}
