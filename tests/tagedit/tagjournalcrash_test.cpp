// Undoing tag writes after the program was killed at any point of a run, and
// undoing every kind of tag write down to the last byte, the modification
// time and the mode. A kill is real: the run goes on in a child process that
// is sent SIGKILL at the chosen point (killedIn).
#include "tagedit/tagjournal.h"

#include "multitagfiles.h"

#include "platform/fakes/scriptedprompter.h"
#include "platform/localfilesystem.h"
#include "settings/options.h"
#include "support/filestate.h"
#include "support/qttesthelpers.h"
#include "tagedit/currentfile.h"
#include "tagedit/multitagrun.h"
#include "tags/filetimes.h"
#include "tags/safefilewrite.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sys/stat.h>

using namespace MultiTagFiles;

namespace {

// A moment long past, with nanoseconds that no write of today produces.
constexpr timespec kOldTime { 981'173'045, 123'456'789 };

QStringList leftovers(const QString& folder)
{
    return QDir(folder).entryList({ ".velmora-*" }, QDir::Files | QDir::Hidden);
}

// A tagged file with a trailer, its time set back.
QString oldFile(const QTemporaryDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(write(path, sample(name), true));
    EXPECT_TRUE(writeFileTime(path, FileTime { kOldTime }));
    return path;
}

// Values whose tag outgrows the room of the old one, so the write goes
// through a copy of the file.
MultiTagValues bigValues()
{
    return including({ { FieldId::Title, QString(900, QLatin1Char('t')) } });
}

} // namespace

TEST(TagJournalCrash, AKillAtAnyPointOfARunIsUndoneToTheLastByteAndTheTime)
{
    // The order of a MultiTagger run: the before-record, the write, the
    // after-record, file by file, and the closing record at the end.
    enum class Kill { BeforeRecord, BeforeWrite, DuringWrite, BeforeAfterRecord, BeforeEnd, AfterEnd };
    const QString one = "The Last Run Was Interrupted: Its Journal Holds 1 Change.";
    const QString two = "The Last Run Was Interrupted: Its Journal Holds 2 Changes.";
    const QStringList ab { "a.mp3", "b.mp3" };
    const struct {
        const char* name;
        Kill at;
        bool cleanFirst; // the copies are removed (as at the next start) before the undo
        QString interrupted; // what the undo question opens with
        QStringList changed; // what tagJournalChangedFiles lists
        QStringList restored;
        QStringList notDone;
        bool bTouched; // b.mp3 was written before the kill
    } cases[] = {
        { "before_the_second_record", Kill::BeforeRecord, false, one, { "a.mp3" }, { "a.mp3" }, {}, false },
        { "between_record_and_write", Kill::BeforeWrite, false, two, ab, { "a.mp3" }, { "b.mp3" }, false },
        { "during_the_write", Kill::DuringWrite, false, two, ab, { "a.mp3" }, { "b.mp3" }, false },
        { "during_the_write_copies_removed_first", Kill::DuringWrite, true, two, ab, { "a.mp3" }, { "b.mp3" }, false },
        { "before_the_after_record", Kill::BeforeAfterRecord, false, two, ab, ab, {}, true },
        { "before_the_closing_record", Kill::BeforeEnd, false, two, ab, ab, {}, true },
        { "after_the_closing_record", Kill::AfterEnd, false, "", ab, ab, {}, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString a = oldFile(dir, "a.mp3");
        const QString b = oldFile(dir, "b.mp3");
        const FileState originalA = FileState::of(a);
        const FileState originalB = FileState::of(b);
        const QString journal = dir.filePath("undo/MultiTagger-Undo.journal");
        const auto paths = [&](const QStringList& names) {
            QStringList out;
            for (const QString& n : names)
                out << dir.filePath(n);
            return out;
        };

        ASSERT_TRUE(killedIn([&] {
            LocalFileSystem files;
            MultiTagWriter writer(files);
            TagJournal j(journal);
            if (!j.begin())
                return;
            for (const QString& file : { a, b }) {
                const bool last = file == b;
                if (last && c.at == Kill::BeforeRecord)
                    killHere();
                if (!j.recordBefore(file))
                    return;
                if (last && c.at == Kill::BeforeWrite)
                    killHere();
                if (last && c.at == Kill::DuringWrite) {
                    TagSnapshot s;
                    readTagSnapshot(file, &s);
                    // Killed once the copy is complete, before it replaces the file.
                    replaceFileRange(file, 0, s.v2.size(), QByteArray(5000, 'x'), nullptr, [](int) { killHere(); });
                    return;
                }
                if (!writer.tagFile(file, bigValues()).ok())
                    return;
                if (last && c.at == Kill::BeforeAfterRecord)
                    killHere();
                j.recordAfter(file);
            }
            if (c.at == Kill::AfterEnd)
                j.end();
            killHere();
        }));

        EXPECT_NE(FileState::of(a), originalA);
        EXPECT_EQ(FileState::of(b) != originalB, c.bTouched);
        EXPECT_EQ(leftovers(dir.path()).size(), c.at == Kill::DuringWrite ? 1 : 0);
        const TagJournalSummary summary = summarizeTagJournal(journal);
        EXPECT_TRUE(summary.exists);
        EXPECT_EQ(summary.interrupted, c.at != Kill::AfterEnd);
        EXPECT_EQ(summary.changes, c.at == Kill::BeforeRecord ? 1 : 2);
        EXPECT_EQ(tagJournalInterruptedText(summary, "The Last Run"), c.interrupted);
        EXPECT_EQ(tagJournalChangedFiles(journal), paths(c.changed));
        const int copies = c.at == Kill::DuringWrite ? 1 : 0;
        if (c.cleanFirst) {
            EXPECT_EQ(removeTagJournalLeftovers(journal).size(), copies);
            EXPECT_TRUE(leftovers(dir.path()).isEmpty());
        }

        const TagUndoReport undo = undoTagJournal(journal);
        EXPECT_TRUE(undo.journalError.ok());
        EXPECT_EQ(undo.restored, paths(c.restored));
        EXPECT_EQ(undo.notDone, paths(c.notDone));
        EXPECT_TRUE(undo.changedSince.isEmpty());
        EXPECT_TRUE(undo.failed.isEmpty());
        EXPECT_EQ(undo.removedCopies.size(), c.cleanFirst ? 0 : copies);
        EXPECT_EQ(FileState::of(a), originalA);
        EXPECT_EQ(FileState::of(b), originalB);
        EXPECT_TRUE(leftovers(dir.path()).isEmpty());
        EXPECT_FALSE(QFile::exists(journal)) << "an undo is done once";
    }
}

TEST(TagJournalCrash, AFileOfAnInterruptedRunChangedSinceOrCutIsLeftAlone)
{
    // Killed between the write and the after-record; then the file is
    // changed again: its audio grows, or it loses its tags and audio.
    const struct {
        const char* name;
        std::function<bool(const QString&)> change;
    } cases[] = {
        { "more_audio",
            [](const QString& p) {
                const QByteArray bytes = Mp3Builder::readFile(p);
                return Mp3Builder::writeFile(
                    p, bytes.left(bytes.size() - 128) + Mp3Builder::audioFrames(1) + bytes.right(128));
            } },
        { "cut_short", [](const QString& p) { return Mp3Builder::writeFile(p, Mp3Builder::audioFrames(2)); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString a = oldFile(dir, "a.mp3");
        const QString journal = dir.filePath("j.journal");
        ASSERT_TRUE(killedIn([&] {
            LocalFileSystem files;
            MultiTagWriter writer(files);
            TagJournal j(journal);
            if (j.begin() && j.recordBefore(a) && writer.tagFile(a, bigValues()).ok())
                killHere();
        }));
        ASSERT_TRUE(c.change(a));
        const FileState changed = FileState::of(a);
        const TagUndoReport undo = undoTagJournal(journal);
        EXPECT_EQ(undo.changedSince, QStringList({ a }));
        EXPECT_TRUE(undo.restored.isEmpty());
        EXPECT_TRUE(undo.notDone.isEmpty());
        EXPECT_EQ(FileState::of(a), changed);
    }
}

TEST(TagJournalCrash, UndoPutsBackEveryByteTheTimeAndTheModeWhateverKeepFileTimes)
{
    enum class Write { MultiTagger, Save, RemoveTags };
    const struct {
        const char* name;
        Write write;
        bool keep; // Keep File Times
        bool readOnly; // made read-only after it was selected; the write makes it writable
        bool allTrailers; // MusicMatch and Lyrics3 before the ID3v1 trailer
    } cases[] = {
        { "multitagger", Write::MultiTagger, false, false, false },
        { "multitagger_keeping_times", Write::MultiTagger, true, false, false },
        { "save", Write::Save, false, false, false },
        { "save_keeping_times", Write::Save, true, false, false },
        { "save_read_only", Write::Save, false, true, false },
        { "remove_tags", Write::RemoveTags, false, false, false },
        { "remove_tags_keeping_times", Write::RemoveTags, true, false, false },
        { "remove_tags_read_only", Write::RemoveTags, true, true, false },
        { "remove_tags_of_every_kind", Write::RemoveTags, false, false, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        LocalFileSystem files;
        ScriptedPrompter prompter;
        Options options;
        const QString path = dir.filePath("a.mp3");
        ASSERT_TRUE(write(path, sample("a"), !c.allTrailers));
        if (c.allTrailers) {
            ASSERT_TRUE(Mp3Builder::writeFile(path,
                Mp3Builder::readFile(path) + Id3Builder::musicMatch() + Id3Builder::lyrics3v2("LYR00005words")
                    + trailerFor(sample("a"))));
        }
        const QString journal = dir.filePath(
            c.write == Write::MultiTagger ? "undo/MultiTagger-Undo.journal" : "undo/TagSave-Undo.journal");
        CurrentFile current(files, &prompter, options);
        current.setJournal(journal);
        if (c.write != Write::MultiTagger) {
            ASSERT_TRUE(current.load(path).ok()); // writes the trailer: before the original is taken
        }
        if (c.readOnly) {
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
            prompter.answers.enqueue(Answer::Yes); // "Make It Writable And ...?"
        }
        ASSERT_TRUE(writeFileTime(path, FileTime { kOldTime }));
        const FileState original = FileState::of(path);

        options.keepFileTimes = c.keep;
        bool written = false;
        switch (c.write) {
        case Write::MultiTagger: {
            MultiTagWriter writer(files);
            writer.setKeepFileTimes(c.keep);
            MultiTagRun run(writer, prompter, journal);
            written = run.run({ path }, bigValues(), {}).written == 1;
            break;
        }
        case Write::Save: {
            TagTexts boxes = current.texts();
            boxes[int(FieldId::Title)] = QString(900, QLatin1Char('t'));
            written = current.save(boxes).ok();
            break;
        }
        case Write::RemoveTags:
            written = current.stripTags().ok();
            break;
        }
        ASSERT_TRUE(written);
        const FileState after = FileState::of(path);
        ASSERT_NE(after.bytes, original.bytes);
        EXPECT_EQ(after.mtimeNs == original.mtimeNs, c.keep);
        EXPECT_EQ(after.mode != original.mode, c.readOnly);
        if (c.write == Write::RemoveTags) {
            EXPECT_EQ(after.bytes, Mp3Builder::audioFrames(kFrames)) << "every tag is gone";
        }

        const TagUndoReport undo = undoTagJournal(journal);
        EXPECT_EQ(undo.restored, QStringList({ path }));
        EXPECT_EQ(FileState::of(path), original);
        EXPECT_EQ(prompter.calls.size(), c.readOnly ? 1 : 0); // asked once before it was made writable
    }
}

TEST(TagJournalCrash, ASummarySaysWhetherTheRunWasInterruptedAndHowManyChangesItHolds)
{
    struct Setup {
        QTemporaryDir dir;
        QString song;
        QString journal;
        std::unique_ptr<TagJournal> running;
        // A journal whose run was killed after the record of the song.
        bool killedAfterRecord()
        {
            return killedIn([this] {
                TagJournal j(journal);
                if (j.begin() && j.recordBefore(song))
                    killHere();
            });
        }
    };
    const struct {
        const char* name;
        std::function<bool(Setup&)> make;
        TagJournalSummary summary;
        QString interruptedText;
        bool undoable; // undo reads the journal
    } cases[] = {
        { "none", [](Setup&) { return true; }, {}, "", false },
        { "complete",
            [](Setup& s) {
                TagJournal j(s.journal);
                return j.begin() && j.recordBefore(s.song) && !j.recordAfter(s.song);
            },
            { true, false, false, false, 1 }, "", true },
        { "killed", [](Setup& s) { return s.killedAfterRecord(); }, { true, true, false, false, 1 },
            "The Last Run Was Interrupted: Its Journal Holds 1 Change.", true },
        { "killed_and_noted", [](Setup& s) { return s.killedAfterRecord() && markTagJournalNoted(s.journal); },
            { true, true, true, false, 1 }, "The Last Run Was Interrupted: Its Journal Holds 1 Change.", true },
        { "killed_in_a_record_and_noted",
            [](Setup& s) {
                // A second record half written when the run was killed.
                if (!s.killedAfterRecord())
                    return false;
                {
                    QFile f(s.journal);
                    if (!f.open(QIODevice::Append) || f.write(QByteArray("\x01\x00\x00", 3)) != 3)
                        return false;
                }
                return markTagJournalNoted(s.journal);
            },
            { true, true, true, false, 1 }, "The Last Run Was Interrupted: Its Journal Holds 1 Change.", true },
        { "written_by_a_running_run",
            [](Setup& s) {
                s.running = std::make_unique<TagJournal>(s.journal);
                return s.running->begin() && s.running->recordBefore(s.song) && !TagJournal(s.journal).begin();
            },
            { true, false, false, true, 0 }, "", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Setup s;
        s.song = oldFile(s.dir, "song.mp3");
        s.journal = s.dir.filePath("undo/MultiTagger-Undo.journal");
        const FileState original = FileState::of(s.song);
        ASSERT_TRUE(c.make(s));
        const TagJournalSummary summary = summarizeTagJournal(s.journal);
        EXPECT_EQ(summary.exists, c.summary.exists);
        EXPECT_EQ(summary.interrupted, c.summary.interrupted);
        EXPECT_EQ(summary.noted, c.summary.noted);
        EXPECT_EQ(summary.inUse, c.summary.inUse);
        EXPECT_EQ(summary.changes, c.summary.changes);
        EXPECT_EQ(tagJournalInterruptedText(summary, "The Last Run"), c.interruptedText);
        // Nothing was written: whatever the journal, the song stays as it is.
        const TagUndoReport undo = undoTagJournal(s.journal);
        EXPECT_EQ(undo.journalError.ok(), c.undoable);
        EXPECT_TRUE(undo.restored.isEmpty());
        EXPECT_EQ(undo.notDone.size(), c.summary.interrupted ? 1 : 0);
        EXPECT_EQ(FileState::of(s.song), original);
        EXPECT_EQ(QFile::exists(s.journal), c.summary.inUse) << "only a running run's journal stays";
    }
}

TEST(TagJournalCrash, JournalsOfEarlierLayoutsAreUndone)
{
    // "VLJ1": before-record and after-record without mode, no closing record;
    // "VLJ2" as a run over MP3 files alone writes it.
    for (const bool first : { true, false }) {
        SCOPED_TRACE(first ? "VLJ1" : "VLJ2");
        QTemporaryDir dir;
        const QString path = oldFile(dir, "a.mp3");
        const FileState original = FileState::of(path);
        TagSnapshot before;
        ASSERT_TRUE(readTagSnapshot(path, &before));
        LocalFileSystem files;
        MultiTagWriter writer(files);
        ASSERT_TRUE(writer.tagFile(path, bigValues()).ok());
        TagSnapshot after;
        ASSERT_TRUE(readTagSnapshot(path, &after));
        // The tag hash as journals have always stored it: SHA-1 over both
        // lengths and both tags.
        QCryptographicHash hash(QCryptographicHash::Sha1);
        const qint64 lengths[2] = { after.v2.size(), after.trailer.size() };
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(lengths), sizeof lengths));
        hash.addData(after.v2);
        hash.addData(after.trailer);
        const QString journal = dir.filePath("old.journal");
        QFile f(journal);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QDataStream out(&f);
        out.setVersion(QDataStream::Qt_6_0);
        if (first)
            out << quint32(0x564c4a31) << quint8(1) << path << before.size << before.mtimeNs << before.v2
                << before.trailer << quint8(2) << path << after.size << after.mtimeNs << hash.result();
        else
            out << quint32(0x564c4a32) << quint8(1) << path << before.size << before.mtimeNs << before.mode << before.v2
                << before.trailer << quint8(2) << path << after.size << after.mtimeNs << after.mode << hash.result()
                << true << quint8(3);
        f.close();

        const TagJournalSummary summary = summarizeTagJournal(journal);
        EXPECT_FALSE(summary.interrupted);
        EXPECT_EQ(summary.changes, 1);
        EXPECT_EQ(undoTagJournal(journal).restored, QStringList({ path }));
        EXPECT_EQ(FileState::of(path), original);
    }
}
