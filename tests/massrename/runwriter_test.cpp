#include "massrename/runwriter.h"
#include "platform/localfilesystem.h"
#include "support/id3builder.h"
#include "support/mp3builder.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Each change is in the journal before it is made: at the Journaled point
// the file is as it was and the journal already holds the record; at
// Changed the change is made.
TEST(RunWriter, RecordsEachChangeBeforeMakingItAndSaysWhyARenameFailed)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + "/";
    const QString path = dir + "a.mp3";
    ASSERT_TRUE(Mp3Builder::writePlainMp3(path));
    const QByteArray original = Mp3Builder::readFile(path);
    LocalFileSystem files;
    RenameJournal journal;
    ASSERT_TRUE(journal.create(dir + "run.undo", QString(), nullptr));
    RunWriter writer(files, journal);
    writer.start();

    QStringList seen; // point, then the file's state and the journal's records
    writer.setRunPointHook([&](RunPoint point) {
        RenameJournalContents contents;
        readRenameJournal(journal.path(), &contents, nullptr);
        seen << QStringLiteral("%1 a:%2 b:%3 records:%4 size:%5")
                    .arg(point == RunPoint::Journaled ? "journaled" : "changed")
                    .arg(QFile::exists(path))
                    .arg(QFile::exists(dir + "b.mp3"))
                    .arg(contents.records.size())
                    .arg(QFileInfo(QFile::exists(path) ? path : dir + "b.mp3").size());
    });

    TrailerChange change;
    ASSERT_TRUE(writer.noteTrailerBefore(dir, "a.mp3", &change).ok());
    std::array<QString, kFieldCount> texts;
    texts[int(FieldId::Artist)] = "Abba";
    const TrailerWrite written = writer.writeTrailer(path, texts, false);
    EXPECT_TRUE(written.write.ok());
    EXPECT_TRUE(written.time.ok());
    writer.trailerDone(&change);
    EXPECT_TRUE(change.pending);
    EXPECT_EQ(Mp3Builder::readFile(path), original + Id3Builder::id3v1("", "Abba", "", "", "", 0, 255));
    EXPECT_TRUE(writer.rename(dir, "a.mp3", "b.mp3", &change).ok());
    EXPECT_FALSE(change.pending); // the rename's record tells how the trailer left the file

    const QString before = QString::number(original.size());
    const QString after = QString::number(original.size() + 128);
    EXPECT_EQ(seen,
        (QStringList { "journaled a:1 b:0 records:1 size:" + before, "changed a:1 b:0 records:1 size:" + after,
            "journaled a:1 b:0 records:2 size:" + after, "changed a:0 b:1 records:2 size:" + after }));

    RenameJournalContents contents;
    ASSERT_TRUE(readRenameJournal(journal.path(), &contents, nullptr));
    ASSERT_EQ(contents.records.size(), 2);
    EXPECT_EQ(contents.records[0].kind, RenameRecord::Kind::Trailer);
    EXPECT_EQ(contents.records[0].tailKeep, original.size()); // no trailer before: nothing to put back
    EXPECT_EQ(contents.records[1].kind, RenameRecord::Kind::Rename);
    EXPECT_EQ(contents.records[1].newName, "b.mp3");

    // A file that is gone is no change: the error says why, nothing is recorded.
    seen.clear();
    TrailerChange none;
    const FileError gone = writer.rename(dir, "a.mp3", "c.mp3", &none);
    EXPECT_EQ(gone.number, ErrorNo::NotFound);
    EXPECT_TRUE(seen.isEmpty());
    EXPECT_FALSE(writer.journalFailed());
}
