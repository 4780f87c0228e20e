#include "tagedit/currentfile.h"
#include "tagedit/tagjournal.h"

#include "multitagfiles.h"

#include "platform/fakes/faultyfilesystem.h"
#include "platform/fakes/scriptedprompter.h"
#include "settings/options.h"
#include "support/tagfiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
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
    EXPECT_EQ(f.file.tag().artist(), QString());
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
        { "read-only, made writable once for both writes",
            [](Fixture&, const QString& p) { ::chmod(QFile::encodeName(p).constData(), 0444); }, 0 },
        { "read-only and the permission cannot be changed",
            [](Fixture& f, const QString& p) {
                ::chmod(QFile::encodeName(p).constData(), 0444);
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
        const QByteArray before = TagTestFiles::read(path);
        const mode_t mode = TagTestFiles::mode(path);
        const CurrentFile::Result r = f.file.save(f.boxes({ { FieldId::Artist, "Typed" } }));
        EXPECT_EQ(r.error.number, c.number) << c.name;
        EXPECT_EQ(r.ok(), c.number == 0) << c.name;
        if (c.number != 0) {
            EXPECT_EQ(r.step, CurrentFile::Step::Write) << c.name;
            EXPECT_EQ(TagTestFiles::read(path), before) << c.name;
            EXPECT_EQ(TagTestFiles::mode(path), mode) << c.name;
            EXPECT_TRUE(f.prompter.calls.isEmpty()) << c.name;
            EXPECT_FALSE(currentFileErrorText(r, path).isEmpty());
            continue;
        }
        EXPECT_EQ(readV2(path).artist, QStringLiteral("Typed")) << c.name;
        EXPECT_EQ(readV1(path).artist(), QStringLiteral("Typed")) << c.name;
        EXPECT_TRUE(TagTestFiles::mode(path) & S_IWUSR) << c.name;
    }
}

TEST(CurrentFile, ATrailerTheTagLayerRefusesSilentlyIsReportedAsAnError)
{
    Fixture f; // hidden files never get a trailer, and no message says so
    const CurrentFile::Result r = f.file.load(f.tagged(".song"));
    EXPECT_EQ(r.error.number, 51);
    EXPECT_FALSE(r.reportedByTags);
    EXPECT_TRUE(f.prompter.calls.isEmpty());
}

TEST(CurrentFile, ATagTheTagLayerRefusesToWriteKeepsTheFileUnchanged)
{
    const QByteArray audio = Mp3Builder::audioFrames(kFrames);
    const QByteArray trailer = Id3Builder::id3v1("T", "A", "B", "1999", "C", 2, 17);
    const std::pair<const char*, QByteArray> cases[] = {
        // A tag whose declared size runs past the end of the file.
        { "size past the end", Id3Builder::header(3, 100000) + audio },
        // A tag none of whose frames can be read, and a trailer that the
        // load before the save takes away: it is put back.
        { "unreadable frames", Id3Builder::tag(3, { QByteArray("\x01\x02\x03\x04junkjunkjunk") }) + audio + trailer },
    };
    for (const auto& [name, bytes] : cases) {
        Fixture f;
        const QString path = TagTestFiles::write(f.dir, "damaged", bytes);
        ASSERT_TRUE(f.file.load(path).ok()) << name;
        const QByteArray before = TagTestFiles::read(path);
        ASSERT_EQ(before.mid(before.size() - 128, 3), QByteArray("TAG")) << name; // loading wrote one
        const CurrentFile::Result r = f.file.save(f.boxes({ { FieldId::Artist, "Typed" } }));
        EXPECT_FALSE(r.ok()) << name;
        EXPECT_EQ(r.error.number, 51) << name;
        EXPECT_EQ(currentFileErrorText(r, path),
            QStringLiteral("Error Saving Tags In File: \r\n\r\n") + path
                + QStringLiteral("\r\n\r\nError: The ID3v2 tag could not be written (51)"))
            << name;
        EXPECT_EQ(TagTestFiles::read(path), before) << name;
    }
}

TEST(CurrentFile, StripRemovesEveryTagAndReadsTheFileAgain)
{
    Fixture f;
    const QString path = f.tagged("song", true);
    ASSERT_TRUE(f.file.load(path).ok());
    const CurrentFile::Result r = f.file.stripTags();
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.reread);
    EXPECT_EQ(TagTestFiles::read(path), Mp3Builder::audioFrames(kFrames));
    EXPECT_EQ(text(f.file.texts(), FieldId::Artist), QString());
    EXPECT_EQ(text(f.file.texts(), FieldId::CopyRight), QStringLiteral("False"));

    ::chmod(QFile::encodeName(path).constData(), 0444);
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
