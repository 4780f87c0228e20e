#include "tagedit/tagjournal.h"

#include "multitagfiles.h"

#include "platform/fakes/scriptedprompter.h"
#include "platform/localfilesystem.h"
#include "tagedit/multitagrun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace MultiTagFiles;

namespace {

QByteArray bytes(const QString& path)
{
    return Mp3Builder::readFile(path);
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
