// velmora-cli run as a process, as scripts run it.
#include "support/mp3builder.h"
#include "tags/encodedfiles.h"
#include "tags/id3v2tag.h"

#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace EncodedFiles;

namespace {

struct CliRun {
    int status = -1;
    QString out, err;
};

struct Cli {
    QTemporaryDir data; // the journal's home: never the user's

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return env;
    }
    void start(QProcess& process, const QStringList& args) const
    {
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral(VELMORA_CLI), args);
    }
    CliRun run(const QStringList& args) const
    {
        QProcess process;
        start(process, args);
        CliRun r;
        if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit)
            r.status = process.exitCode();
        r.out = QString::fromUtf8(process.readAllStandardOutput());
        r.err = QString::fromUtf8(process.readAllStandardError());
        return r;
    }
    QString journal() const { return data.filePath(QStringLiteral("Velmora/CommandLine-Undo.journal")); }
};

QString mp3(const QTemporaryDir& dir, const QString& name, const QString& title)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(Mp3Builder::writePlainMp3(path));
    ID3V2Tag tag;
    tag.setFileName(path);
    tag.setTitle(title);
    tag.setArtist(QStringLiteral("Band"));
    EXPECT_TRUE(tag.update());
    return path;
}

// Read as a script's next look would: the file is left as it is.
std::unique_ptr<ID3V2Tag> tagOf(const QString& path)
{
    auto tag = std::make_unique<ID3V2Tag>();
    tag->setKeepTrailerOnLoad(true);
    tag->setFileName(path);
    return tag;
}

QByteArray bytesOf(const QString& path)
{
    return Mp3Builder::readFile(path);
}

} // namespace

TEST(Cli, RefusesBadUsageWithStatusTwoAndTheUsage)
{
    Cli cli;
    const QStringList bad[]
        = { {}, { "frobnicate" }, { "info" }, { "tag", "x.mp3" }, { "tag", "x.mp3", "--set", "Nonsense=1" },
              { "tag", "x.mp3", "--set", "Title" }, { "info", "--bogus", "x" }, { "undo", "a", "b" } };
    for (const QStringList& args : bad) {
        const CliRun r = cli.run(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("Usage: velmora-cli")) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    const CliRun help = cli.run({ "--help" });
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: velmora-cli"));
}

// info reads every format, as text or JSON; a missing file is named on
// stderr and the others are still shown.
TEST(Cli, InfoShowsTagsAndAudioFactsAndNamesFailures)
{
    Cli cli;
    QTemporaryDir dir;
    const QString song = mp3(dir, "song.mp3", "Song \u00e9");
    const QString flac = make(dir, Kind::Flac);
    const QString missing = dir.filePath("missing.mp3");
    const QByteArray before = bytesOf(song);

    const CliRun json = cli.run({ "info", "--json", song, missing, flac });
    EXPECT_EQ(json.status, 1);
    EXPECT_TRUE(json.err.contains(missing)) << json.err.toStdString();
    const QStringList lines = json.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QJsonObject first = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(first["format"].toString(), "MP3");
    EXPECT_EQ(first["fields"].toObject()["Title"].toString(), QStringLiteral("Song \u00e9"));
    EXPECT_EQ(first["audio"].toObject()["codec"].toString(), "MP3");
    const QJsonObject second = QJsonDocument::fromJson(lines[1].toUtf8()).object();
    EXPECT_EQ(second["format"].toString(), "FLAC");
    EXPECT_EQ(second["fields"].toObject()["Artist"].toString(), "First Artist; Second Artist");
    EXPECT_EQ(second["audio"].toObject()["sampleRate"].toInt(), 44100);
    EXPECT_EQ(second["audio"].toObject()["bitsPerSample"].toInt(), 16);

    const CliRun text = cli.run({ "info", flac });
    EXPECT_EQ(text.status, 0);
    EXPECT_TRUE(text.out.contains("  Track: 03\n")) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains("  Length: 00:00:02\n")) << text.out.toStdString();
    EXPECT_EQ(bytesOf(song), before); // looking writes nothing, not even a trailer
}

// tag and strip write only what was asked, every format; undo gives every
// file back byte for byte; a read-only file is refused and named.
TEST(Cli, TagStripAndUndoRoundTrip)
{
    Cli cli;
    QTemporaryDir dir;
    const QString song = mp3(dir, "song.mp3", "Old");
    const QString ogg = make(dir, Kind::Vorbis);
    const QString locked = mp3(dir, "locked.mp3", "Locked");
    QFile::setPermissions(locked, QFile::ReadOwner);
    const QByteArray songBefore = bytesOf(song);
    const QJsonObject oggBefore = dump(ogg);
    const QByteArray oggAudio = audioMd5(ogg);

    const CliRun tagged = cli.run(
        { "tag", song, ogg, locked, "--set", "title=New \u00fc", "--set", "Total Tracks=9", "--clear", "genre" });
    EXPECT_EQ(tagged.status, 1);
    EXPECT_TRUE(tagged.err.contains(locked)) << tagged.err.toStdString();
    EXPECT_FALSE(tagged.err.contains(song));
    EXPECT_EQ(tagged.out, "tagged 2 of 3 files\n");
    EXPECT_EQ(tagOf(song)->title(), QStringLiteral("New \u00fc"));
    EXPECT_EQ(tagOf(song)->totalTracks(), 9);
    EXPECT_EQ(tagOf(song)->artist(), "Band");
    const QJsonObject oggAfter = dump(ogg);
    EXPECT_EQ(oggAfter["comment:TITLE"].toArray(), QJsonArray({ QStringLiteral("New \u00fc") }));
    EXPECT_EQ(oggAfter["comment:TRACKTOTAL"].toArray(), QJsonArray({ "9" }));
    EXPECT_FALSE(oggAfter.contains("comment:GENRE"));
    EXPECT_EQ(oggAfter["comment:VELMORA_UNKNOWN"], oggBefore["comment:VELMORA_UNKNOWN"]);
    EXPECT_EQ(audioMd5(ogg), oggAudio);

    const CliRun undone = cli.run({ "undo" });
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    EXPECT_EQ(bytesOf(song), songBefore);
    EXPECT_EQ(dump(ogg), oggBefore);

    const CliRun stripped = cli.run({ "strip", song, ogg });
    EXPECT_EQ(stripped.status, 0) << stripped.err.toStdString();
    EXPECT_EQ(bytesOf(song), Mp3Builder::audioFrames(8));
    EXPECT_FALSE(dump(ogg).contains("comment:TITLE"));
    EXPECT_EQ(cli.run({ "undo", cli.journal() }).status, 0);
    EXPECT_EQ(bytesOf(song), songBefore);
    EXPECT_EQ(dump(ogg), oggBefore);
    EXPECT_EQ(audioMd5(ogg), oggAudio);
}

// Ctrl+C ends a run after the file in hand: the files written are exactly
// the ones the journal holds, and its undo gives them all back.
TEST(Cli, InterruptStopsWithATrueJournal)
{
    Cli cli;
    QTemporaryDir dir;
    QStringList files;
    for (int i = 0; i < 3000; ++i)
        files << mp3(dir, QStringLiteral("f%1.mp3").arg(i, 4, 10, QLatin1Char('0')), "Old");
    QProcess process;
    cli.start(process, QStringList { "tag", "--set", "Title=Interrupted" } + files);
    ASSERT_TRUE(process.waitForStarted());
    while (!QFileInfo(cli.journal()).exists() || QFileInfo(cli.journal()).size() < 20000)
        QThread::msleep(2);
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 130);
    EXPECT_TRUE(process.readAllStandardError().contains("stopped after"));

    int changed = 0;
    for (const QString& path : files)
        changed += tagOf(path)->title() == "Interrupted";
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, files.size());
    const CliRun undone = cli.run({ "undo" });
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    EXPECT_EQ(undone.out, QStringLiteral("restored %1 files\n").arg(changed));
    for (const QString& path : files)
        EXPECT_EQ(tagOf(path)->title(), "Old") << path.toStdString();
}

// rename: the name editor's cleanup or a mask over the tags, the file's own
// extension kept, a taken name refused; undo gives the names back.
TEST(Cli, RenameCleansOrFillsAMaskAndUndoGivesTheNamesBack)
{
    Cli cli;
    QTemporaryDir dir;
    mp3(dir, "the band--the song.mp3", "Song");
    const QString flac = make(dir, Kind::Flac, "some file");
    mp3(dir, "Band-Taken.mp3", "Taken");
    const QString taken = mp3(dir, "taken.mp3", "Taken");
    const auto names = [&] { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); };
    const QStringList before = names();

    const CliRun cleaned = cli.run({ "rename", "--no-settings", dir.filePath("the band--the song.mp3") });
    EXPECT_EQ(cleaned.status, 0) << cleaned.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("The Band-The Song.mp3")));

    const QByteArray takenBytes = bytesOf(taken);
    const CliRun masked = cli.run({ "rename", "--no-settings", "--mask", "Artist - Title", flac, taken });
    EXPECT_EQ(masked.status, 1);
    EXPECT_TRUE(masked.err.contains(taken)) << masked.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("First Artist; Second Artist-Title \u00e9\u4e2d\u2603.flac")))
        << names().join('|').toStdString();
    EXPECT_EQ(bytesOf(taken), takenBytes);
    EXPECT_EQ(bytesOf(dir.filePath("Band-Taken.mp3")).size(), takenBytes.size());

    EXPECT_EQ(cli.run({ "undo" }).status, 0);
    EXPECT_TRUE(QFile::exists(flac));
    EXPECT_EQ(cli.run({ "undo" }).status, 1); // the run before is not the last one
    EXPECT_NE(names(), before);
}

// mass-rename: --preview prints and changes nothing; the run renames,
// keeps its log, and its undo puts the tree back byte for byte.
TEST(Cli, MassRenamePreviewsRunsAndUndoes)
{
    Cli cli;
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("sub");
    mp3(dir, "a.mp3", "One");
    mp3(dir, "sub/b.mp3", "Two");
    mp3(dir, "c.mp3", "One"); // the same name as a.mp3 would get
    const auto tree = [&] {
        QStringList out;
        for (const QString& name : QStringList { "a.mp3", "sub/b.mp3", "c.mp3" })
            out << name + ":" + QString::fromLatin1(bytesOf(dir.filePath(name)).toBase64());
        return out;
    };
    const QStringList before = tree();

    const CliRun preview = cli.run(
        { "mass-rename", dir.path(), "--format", "Artist - Title", "--subdirs", "--preview", "--no-settings" });
    EXPECT_EQ(preview.status, 0) << preview.err.toStdString();
    EXPECT_TRUE(preview.out.contains("/sub/b.mp3 -> Band-Two.mp3")) << preview.out.toStdString();
    EXPECT_TRUE(preview.out.contains("[taken by an earlier file of the run]")) << preview.out.toStdString();
    EXPECT_EQ(tree(), before);

    const CliRun run
        = cli.run({ "mass-rename", dir.path(), "--format", "Artist - Title", "--subdirs", "--log", "--no-settings" });
    EXPECT_EQ(run.status, 1) << run.out.toStdString(); // the second "Band-One.mp3" is refused
    EXPECT_TRUE(QFile::exists(dir.filePath("sub/Band-Two.mp3")));
    EXPECT_TRUE(run.out.contains("renamed 2 of 3 files")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("log: ")) << run.out.toStdString();

    const CliRun undone = cli.run({ "undo" });
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    EXPECT_EQ(tree(), before);
}

TEST(Cli, PlaylistListsTheFolder)
{
    Cli cli;
    QTemporaryDir dir;
    mp3(dir, "b.mp3", "B");
    mp3(dir, "#a.mp3", "A");
    const CliRun r = cli.run({ "playlist", dir.path(), "--output", "mix" });
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(bytesOf(dir.filePath("mix.m3u")), "#EXTM3U\r\n./#a.mp3\r\nb.mp3\r\n");
}

// Ctrl+C in a mass rename: the run ends after the file in hand, and its
// undo gives back every name it changed.
TEST(Cli, InterruptedMassRenameUndoesToTheSameTree)
{
    Cli cli;
    QTemporaryDir dir;
    for (int i = 0; i < 3000; ++i)
        mp3(dir, QStringLiteral("f%1.mp3").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("Title %1").arg(i));
    const auto names = [&] { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); };
    const QStringList before = names();
    QProcess process;
    cli.start(process, { "mass-rename", dir.path(), "--format", "Artist - Title", "--no-settings" });
    ASSERT_TRUE(process.waitForStarted());
    const auto renamed = [&] { return names().filter(QStringLiteral("Band")).size(); };
    while (renamed() < 50 && process.state() == QProcess::Running)
        QThread::msleep(5);
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 130);
    const qsizetype done = renamed();
    EXPECT_GT(done, 0);
    EXPECT_LT(done, 3000);
    const CliRun undone = cli.run({ "undo" });
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    EXPECT_TRUE(undone.out.endsWith(QStringLiteral("\nrenamed back %1 files\n").arg(done)))
        << undone.out.right(200).toStdString();
    EXPECT_EQ(names(), before);
}
