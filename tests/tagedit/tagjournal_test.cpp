#include "tagedit/tagjournal.h"

#include "multitagfiles.h"

#include "platform/fakes/scriptedprompter.h"
#include "platform/localfilesystem.h"
#include "support/filestate.h"
#include "tagedit/multitagrun.h"
#include "tags/audiotag.h"
#include "tags/encodedfiles.h"
#include "tags/filetimes.h"
#include "tags/safefilewrite.h"
#include "tags/taglibtag.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace MultiTagFiles;

namespace {

QByteArray bytes(const QString& path)
{
    return Mp3Builder::readFile(path);
}

// A moment long past, with nanoseconds no write of today produces.
constexpr timespec kOldTime { 981'173'045, 123'456'789 };

// What an undo must give back of a FLAC, Ogg or MP4 file: every item as
// mutagen reads it, the decoded audio, the mode and the time.
struct Items {
    QJsonObject items;
    QByteArray audio;
    FileState state;
    static Items of(const QString& path)
    {
        FileState state = FileState::of(path);
        state.bytes.clear();
        return { EncodedFiles::dump(path), EncodedFiles::audioMd5(path), state };
    }
    bool operator==(const Items&) const = default;
};

void PrintTo(const Items& i, std::ostream* os)
{
    *os << QJsonDocument(i.items).toJson(QJsonDocument::Compact).constData() << " audio " << i.audio.constData();
    PrintTo(i.state, os);
}

// Records file in journal around a change made through AudioTag.
void recordChange(TagJournal& journal, const QString& file, const std::function<bool(AudioTag&)>& change)
{
    ASSERT_TRUE(journal.recordBefore(file));
    AudioTag tag;
    ASSERT_TRUE(tag.setFileName(file).ok());
    ASSERT_TRUE(change(tag)) << qPrintable(tag.lastWriteError().description);
    EXPECT_TRUE(journal.recordAfter(file));
}

// A field set, another cleared and, beyond MP3, an item of its own set and
// an unknown one changed.
bool editTags(AudioTag& tag)
{
    if (!tag.setFieldText(FieldId::Title, "Run title") || !tag.setFieldText(FieldId::Album, ""))
        return false;
    if (TagLibTag* items = tag.taglib()) {
        const bool mp4 = tag.format() == AudioFormat::Mp4;
        if (!items->setItemValues(mp4 ? "----:org.velmora:OWN" : "VELMORA_OWN", { "one", "two" })
            || !items->setItemValues(mp4 ? "----:org.velmora:UNKNOWN" : "VELMORA_UNKNOWN", { "changed" }))
            return false;
    }
    return tag.update();
}

} // namespace

TEST(TagJournal, UndoPutsBackTheExactBytesOfEveryFileLeftAsTheRunLeftIt)
{
    QTemporaryDir dir;
    LocalFileSystem files;
    ScriptedPrompter prompter;
    MultiTagWriter writer(files);
    const QString journal = dir.filePath("data/MultiTagger-Undo.journal");
    // Both tags; ID3v2 only; the trailer only; no tag at all; a file the
    // run refuses; and two files changed after the run.
    QStringList paths;
    for (const char* name : { "both", "v2", "v1", "none", "readonly", "later", "resized", "touched" })
        paths << dir.filePath(QString::fromLatin1(name) + ".mp3");
    ASSERT_TRUE(write(paths[0], sample("0"), true));
    ASSERT_TRUE(write(paths[1], sample("1"), false));
    ASSERT_TRUE(Mp3Builder::writeFile(paths[2], Mp3Builder::audioFrames(kFrames) + trailerFor(sample("2"))));
    ASSERT_TRUE(Mp3Builder::writePlainMp3(paths[3], kFrames));
    for (int i = 4; i < paths.size(); ++i)
        ASSERT_TRUE(write(paths[i], sample(QString::number(i)), true));
    QFile::setPermissions(paths[4], QFile::ReadOwner);
    QList<QByteArray> original;
    for (const QString& p : paths)
        original << bytes(p);

    const QString z(600, QLatin1Char('z')); // the tag outgrows its room
    MultiTagRun run(writer, prompter, journal);
    const MultiTagRunReport report
        = run.run(paths, including({ { FieldId::Album, z }, { FieldId::Title, z }, { FieldId::Composer, z } }), {});
    ASSERT_EQ(report.written, 7);
    for (int i : { 0, 1, 2, 3, 5, 6, 7 })
        ASSERT_NE(bytes(paths[i]), original[i]) << i;
    EXPECT_EQ(tagJournalChangedFiles(journal),
        QStringList({ paths[0], paths[1], paths[2], paths[3], paths[5], paths[6], paths[7] }));

    // Later changes: a tag edit of the same size, a longer tag, and a
    // rewrite of identical bytes (as the main window's reload does).
    ASSERT_TRUE(writer.tagFile(paths[5], including({ { FieldId::Mood, "Else" } })).ok());
    ASSERT_TRUE(writer.tagFile(paths[6], including({ { FieldId::Mood, QString(3000, QLatin1Char('m')) } })).ok());
    const QByteArray laterBytes = bytes(paths[5]);
    const QByteArray resizedBytes = bytes(paths[6]);
    ASSERT_TRUE(Mp3Builder::writeFile(paths[7], bytes(paths[7])));

    QStringList handled;
    const TagUndoReport undo = undoTagJournal(journal, [&](const QString& p) { handled << p; });

    EXPECT_EQ(undo.restored, QStringList({ paths[0], paths[1], paths[2], paths[3], paths[7] }));
    EXPECT_EQ(undo.changedSince, QStringList({ paths[5], paths[6] }));
    EXPECT_TRUE(undo.failed.isEmpty());
    EXPECT_EQ(handled.size(), 7);
    for (int i : { 0, 1, 2, 3, 4, 7 })
        EXPECT_EQ(bytes(paths[i]), original[i]) << i;
    EXPECT_EQ(bytes(paths[5]), laterBytes);
    EXPECT_EQ(bytes(paths[6]), resizedBytes);
    EXPECT_FALSE(QFile::exists(journal)) << "an undo is done once";
    EXPECT_EQ(tagUndoProblemsText(undo),
        "These Files Were Changed Since And Were Left Alone:\r\n\r\n" + paths[5] + "\r\n" + paths[6] + "\r\n");
}

TEST(TagJournal, AFileThatCannotBeRestoredStaysInTheJournal)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mp3");
    const QString journal = dir.filePath("j.journal");
    ASSERT_TRUE(write(path, sample("a"), true));
    const QByteArray original = bytes(path);
    TagJournal j(journal);
    ASSERT_TRUE(j.begin());
    ASSERT_TRUE(j.recordBefore(path));
    ID3V2Tag tag;
    tag.setFileName(path);
    tag.setTitle(QString(2000, QLatin1Char('t')));
    ASSERT_TRUE(tag.update());
    EXPECT_TRUE(j.recordAfter(path));
    j.end();
    const QByteArray changed = bytes(path);

    QFile::setPermissions(path, QFile::ReadOwner);
    TagUndoReport undo = undoTagJournal(journal);
    ASSERT_EQ(undo.failed.size(), 1);
    EXPECT_EQ(undo.failed[0].error.number, 75);
    EXPECT_EQ(bytes(path), changed);
    EXPECT_EQ(tagJournalChangedFiles(journal), QStringList({ path }));
    EXPECT_TRUE(
        tagUndoProblemsText(undo).startsWith("These Files Could Not Be Restored:\r\n\r\n" + path + " - Error: "));

    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    undo = undoTagJournal(journal);
    EXPECT_EQ(undo.restored, QStringList({ path }));
    EXPECT_EQ(bytes(path), original);
}

TEST(TagJournal, UndoGivesFlacOggAndMp4FilesBackEveryItemBesideAnMp3File)
{
    using EncodedFiles::Kind;
    for (const Kind kind : { Kind::Flac, Kind::Vorbis, Kind::Opus, Kind::AacFaststart }) {
        SCOPED_TRACE(EncodedFiles::kindName(kind));
        QTemporaryDir dir;
        const QString mp3 = dir.filePath("a.mp3");
        ASSERT_TRUE(write(mp3, sample("a"), true));
        const QString edited = EncodedFiles::make(dir, kind, "edited");
        const QString stripped = EncodedFiles::make(dir, kind, "stripped");
        const QString later = EncodedFiles::make(dir, kind, "later");
        ASSERT_TRUE(QFile::setPermissions(edited, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        for (const QString& p : { mp3, edited, stripped, later })
            ASSERT_TRUE(writeFileTime(p, FileTime { kOldTime }));
        const QByteArray mp3Bytes = bytes(mp3);
        const Items editedBefore = Items::of(edited);
        const Items strippedBefore = Items::of(stripped);
        ASSERT_FALSE(editedBefore.items.isEmpty());

        const QString journal = dir.filePath("data/TagSave-Undo.journal");
        {
            TagJournal j(journal);
            ASSERT_TRUE(j.begin());
            recordChange(j, mp3, editTags);
            recordChange(j, edited, editTags);
            recordChange(j, stripped, [](AudioTag& tag) { return tag.stripTags(); });
            recordChange(j, later, editTags);
            EXPECT_EQ(j.changedCount(), 4);
        }
        ASSERT_NE(EncodedFiles::dump(edited), editedBefore.items);
        ASSERT_NE(EncodedFiles::dump(stripped), strippedBefore.items);
        // Changed since: a value of the same length, so only the tags tell.
        const qint64 runSize = QFileInfo(later).size();
        AudioTag tag;
        ASSERT_TRUE(tag.setFileName(later).ok());
        ASSERT_TRUE(tag.setFieldText(FieldId::Title, "Any title") && tag.update());
        ASSERT_EQ(QFileInfo(later).size(), runSize);
        const Items laterAfter = Items::of(later);

        const TagUndoReport undo = undoTagJournal(journal);
        EXPECT_EQ(undo.restored, QStringList({ mp3, edited, stripped }));
        EXPECT_EQ(undo.changedSince, QStringList({ later }));
        EXPECT_TRUE(undo.failed.isEmpty()) << qPrintable(tagUndoProblemsText(undo));
        EXPECT_EQ(bytes(mp3), mp3Bytes);
        EXPECT_EQ(Items::of(edited), editedBefore);
        EXPECT_EQ(Items::of(stripped), strippedBefore);
        EXPECT_EQ(Items::of(later), laterAfter);
        EXPECT_FALSE(QFile::exists(journal));
        EXPECT_TRUE(QDir(dir.path()).entryList({ ".velmora-*" }, QDir::Files | QDir::Hidden).isEmpty());
    }
}

TEST(TagJournal, AnInterruptedTagLibSaveIsUndoneAndItsLeftoverCopyRemoved)
{
    QTemporaryDir dir;
    const QString path = EncodedFiles::make(dir, EncodedFiles::Kind::Opus, "song");
    ASSERT_TRUE(writeFileTime(path, FileTime { kOldTime }));
    const Items before = Items::of(path);
    const QString journal = dir.filePath("j.journal");
    const QString killed = dir.filePath("killed.journal");
    QString copyName;
    {
        TagJournal j(journal);
        ASSERT_TRUE(j.begin());
        ASSERT_TRUE(j.recordBefore(path));
        TagLibTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        // The copy as a save killed after its rename would leave it, under
        // the name the save gave it.
        const QString kept = dir.filePath("kept");
        tag.setCopyHook([&](const QString& copy) {
            copyName = copy;
            QFile::copy(copy, kept);
        });
        ASSERT_TRUE(tag.setFieldText(FieldId::Artist, "") && tag.setItemValues("MOOD", { "calm" }) && tag.update());
        ASSERT_TRUE(QFile::rename(kept, copyName));
        // The journal as the kill left it: no after-record, no end.
        ASSERT_TRUE(QFile::copy(journal, killed));
    }
    ASSERT_TRUE(summarizeTagJournal(killed).interrupted);
    EXPECT_EQ(tagJournalChangedFiles(killed), QStringList({ path }));
    EXPECT_EQ(removeTagJournalLeftovers(killed), QStringList({ copyName }));
    EXPECT_FALSE(QFile::exists(copyName));

    // Refused while the file is read-only, the file stays in the journal
    // with all its items for the next undo.
    const auto writable = QFile::permissions(path);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));
    TagUndoReport undo = undoTagJournal(killed);
    ASSERT_EQ(undo.failed.size(), 1);
    EXPECT_EQ(undo.failed[0].error.number, ErrorNo::Access);
    ASSERT_TRUE(QFile::setPermissions(path, writable));
    undo = undoTagJournal(killed);
    EXPECT_EQ(undo.restored, QStringList({ path }));
    EXPECT_EQ(Items::of(path), before);
}

TEST(TagJournal, FilesWrittenAtOnceAreUndoneWhateverTheOrderOfTheirRecords)
{
    // Steps: B (before-record), W (write), A (after-record) of file a to d,
    // and L, a change after the run that the undo must leave alone; a run
    // cut short leaves its journal as a kill would.
    const struct {
        const char* steps;
        bool cut;
        QStringList restored, notDone, changedSince;
    } cases[] = {
        { "Ba Bb Wb Ab Wa Aa Bc Bd Wd Wc Ad Ac", false, { "a", "b", "c", "d" }, {}, {} },
        { "Ba Bb Wb Ab Wa Aa La", false, { "b" }, {}, { "a" } },
        { "Ba Bb Wa Wb", true, { "a", "b" }, {}, {} },
        { "Ba Bb Wb Ab", true, { "b" }, { "a" }, {} },
        { "Ba Bb Bc Wc Ac Wa Aa Lc", true, { "a" }, { "b" }, { "c" } },
    };
    const auto pathsOf = [](const QStringList& names, const QHash<QString, QString>& paths) {
        QStringList out;
        for (const QString& name : names)
            out << paths[name];
        return out;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        QTemporaryDir dir;
        QHash<QString, QString> paths;
        QHash<QString, QByteArray> expected;
        for (const char* name : { "a", "b", "c", "d" }) {
            const QString path = dir.filePath(QString::fromLatin1(name) + ".mp3");
            ASSERT_TRUE(write(path, sample(name), true));
            paths.insert(name, path);
            expected.insert(name, bytes(path));
        }
        const QString journal = dir.filePath("j.journal");
        const QString killed = dir.filePath("killed.journal");
        {
            TagJournal j(journal);
            ASSERT_TRUE(j.begin());
            for (const QString& step : QString::fromLatin1(c.steps).split(' ')) {
                const QString& path = paths[step.mid(1)];
                if (step[0] == 'B') {
                    ASSERT_TRUE(j.recordBefore(path));
                } else if (step[0] == 'A') {
                    EXPECT_TRUE(j.recordAfter(path));
                } else {
                    ID3V2Tag tag;
                    tag.setFileName(path);
                    tag.setTitle(QString(2000, QLatin1Char(step[0] == 'W' ? 't' : 'u')));
                    ASSERT_TRUE(tag.update());
                    if (step[0] == 'L')
                        expected[step.mid(1)] = bytes(path);
                }
            }
            ASSERT_TRUE(QFile::copy(journal, killed));
        }
        const QString undone = c.cut ? killed : journal;
        EXPECT_EQ(summarizeTagJournal(undone).interrupted, c.cut);
        const TagUndoReport undo = undoTagJournal(undone);
        EXPECT_EQ(undo.restored, pathsOf(c.restored, paths));
        EXPECT_EQ(undo.notDone, pathsOf(c.notDone, paths));
        EXPECT_EQ(undo.changedSince, pathsOf(c.changedSince, paths));
        for (const char* name : { "a", "b", "c", "d" })
            EXPECT_EQ(bytes(paths[name]), expected[name]) << name;
    }
}
