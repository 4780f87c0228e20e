#include "support/id3builder.h"
#include "support/mp3builder.h"

#include "platform/fakes/scriptedprompter.h"
#include "tagedit/fileinforeport.h"
#include "tags/audiotag.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"
#include "tags/tagtypes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// An ID3v2.3 tag holding one TIT2 frame, header included, no padding.
QByteArray id3v23WithTitle(const QByteArray& title)
{
    return Id3Builder::tag(3, { Id3Builder::frame(3, "TIT2", Id3Builder::textBody(QString::fromLatin1(title))) });
}

// Audio frames followed by zeros up to exactly `total` bytes after `prefix`.
QByteArray fileOf(const QByteArray& prefix, qint64 total, const QByteArray& suffix = {})
{
    const qint64 audioBytes = total - prefix.size() - suffix.size();
    const int frames = int(audioBytes / Mp3Builder::kFrameBytes);
    QByteArray audio = Mp3Builder::audioFrames(frames);
    audio += QByteArray(int(audioBytes - audio.size()), '\0');
    return prefix + audio + suffix;
}

// Writes a file into a temporary folder and loads its tag, as the main window does.
class FileInfoReportTest : public ::testing::Test {
protected:
    // The report of the loaded file, as lines.
    QStringList load(const QString& name, const QByteArray& bytes)
    {
        path = dir.filePath(name);
        EXPECT_TRUE(Mp3Builder::writeFile(path, bytes));
        tag.setFileName(path);
        return fileInfoReport(path, tag).split(QStringLiteral("\r\n"));
    }

    QTemporaryDir dir;
    QString path;
    ID3V2Tag tag;
};

} // namespace

TEST(FormatPlayTime, WritesHoursMinutesAndRoundedSecondsUpToSixtyInTheSecondsField)
{
    const std::pair<float, const char*> cases[] = { { 249.0f, "00:04:09" }, { 3725.0f, "01:02:05" },
        { 0.0f, "00:00:00" }, { 61.4f, "00:01:01" }, { 0.5f, "00:00:01" }, { 59.6f, "00:00:60" }, { 60.0f, "00:00:60" },
        { 60.4f, "00:01:00" }, { -0.956f, "00:00:00" } };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(formatPlayTime(seconds), QString::fromLatin1(text)) << seconds;
}

TEST_F(FileInfoReportTest, ExactTextForA128KbitFileOfFourMillionBytes)
{
    const QString report = load("Artist - Title.mp3", fileOf(id3v23WithTitle("Title"), 4000000)).join("\r\n");
    const QString expected = QStringLiteral("File Path: %1\r\n"
                                            "File Name: Artist - Title.mp3\r\n"
                                            "File Size: 3.81MB (4,000,000 bytes)\r\n"
                                            "\r\n"
                                            "Contains ID3V1.1 Tags: No\r\n"
                                            "Contains ID3V2 Tags: Yes\r\n"
                                            "Contains Lyric Tags: No\r\n"
                                            "Contains Music Match Tags: No\r\n"
                                            "\r\n"
                                            "MPEG Layer: 3\r\n"
                                            "Bit Rate: 128\r\n"
                                            "Frequency: 44100\r\n"
                                            "Sample Rate: 44100\r\n"
                                            "Channel Mode: Joint Stereo\r\n"
                                            "Play Time: 00:04:10\r\n" // 3,999,974 audio bytes at 16,000 bytes a second
                                            "\r\n"
                                            "Frame Count: 1\r\n"
                                            "Frame Length: 417\r\n"
                                            "Frames Size: 26\r\n" // 10-byte header + TIT2 frame of 10 + 6 bytes
                                            "Total Frames: 9592\r\n"
                                            "\r\n"
                                            "Protection: False")
                                 .arg(dir.path());
    EXPECT_EQ(report.toStdString(), expected.toStdString());
}

TEST_F(FileInfoReportTest, TrailerTagsOfAFileWithoutID3v2)
{
    // Lyrics3 (version 1) sits right before the ID3v1 trailer.
    const QByteArray trailer = Id3Builder::id3v1("Song", "Artist", "Album", "1999", "", 3, 12);
    const QStringList lines = load("old.mp3", fileOf({}, 50000, Id3Builder::lyrics3v1("Some words") + trailer));
    ASSERT_EQ(lines.size(), 22);
    EXPECT_EQ(lines[2], QStringLiteral("File Size: 48.8KB (50,000 bytes)"));
    EXPECT_EQ(lines.mid(4, 4).join('|'),
        "Contains ID3V1.1 Tags: Yes|Contains ID3V2 Tags: No|Contains Lyric Tags: Yes|Contains Music Match Tags: No");
    // The trailing tags are no audio: (50000 - 30 - 128) / 16000 = 3.1 seconds.
    EXPECT_EQ(lines[14], QStringLiteral("Play Time: 00:00:03"));
}

TEST_F(FileInfoReportTest, AudioBehindALargeTagIsFound)
{
    const QByteArray tagBytes = id3v23WithTitle(QByteArray(60000 - 21, 'x'));
    ASSERT_EQ(tagBytes.size(), 60000);
    const QStringList lines = load("big tag.mp3", tagBytes + Mp3Builder::audioFrames(20));
    ASSERT_EQ(lines.size(), 22);
    EXPECT_EQ(
        QStringList({ lines[10], lines[16], lines[19] }).join('|'), "Bit Rate: 128|Frame Count: 1|Total Frames: 20");
}

TEST_F(FileInfoReportTest, SizeIsThatOfTheFileAfterTheTrailerIsWritten)
{
    const QByteArray trailer = Id3Builder::id3v1("Title", "", "", "", "", -1, 255); // nothing the tag lacks
    // The load takes the trailer away ...
    const QStringList before = load("both.mp3", id3v23WithTitle("Title") + Mp3Builder::audioFrames(100) + trailer);
    ID3V1Tag v1;
    v1.setTitle(QStringLiteral("Title"));
    ASSERT_TRUE(v1.writeToFile(path)); // ... and the main window writes it again
    const QStringList lines = fileInfoReport(path, tag).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[2], QStringLiteral("File Size: 40.9KB (41,854 bytes)")); // tag, audio and trailer
    EXPECT_EQ(lines[4], QStringLiteral("Contains ID3V1.1 Tags: Yes"));
    EXPECT_EQ(before[2], QStringLiteral("File Size: 40.7KB (41,726 bytes)"));
}

TEST(FileInfoReportText, AsksOnlyLyrics3VersionOneAndMusicMatchFlagsAndNamesEachChannelMode)
{
    MpegAudioFacts facts { .fileSize = 700, .layer = 2, .protection = true, .sampleRate = 32000 };
    const auto report
        = [&facts](TagKinds kinds) { return fileInfoReportText("/a.mp3", facts, 0, 0, kinds).split("\r\n"); };
    const QStringList v2Only = report(TagKind::Lyrics3v2);
    EXPECT_EQ(v2Only.mid(0, 3).join('|'), "File Path: |File Name: a.mp3|File Size: 700 bytes");
    EXPECT_EQ(v2Only[6], "Contains Lyric Tags: No");
    EXPECT_EQ(v2Only[21], "Protection: True");
    // No frame was confirmed: the header's lines are blank.
    EXPECT_EQ(v2Only.mid(9, 5).join('|'), "MPEG Layer: |Bit Rate: |Frequency: 0|Sample Rate: |Channel Mode: ");
    EXPECT_EQ(report(TagKind::MusicMatch).mid(4, 4).join('|'),
        "Contains ID3V1.1 Tags: No|Contains ID3V2 Tags: No|Contains Lyric Tags: No|Contains Music Match Tags: Yes");
    facts.validHeader = true;
    using Mode = MpegAudioFacts::ChannelMode;
    const std::pair<Mode, QString> modes[] = { { Mode::Stereo, "Stereo" }, { Mode::JointStereo, "Joint Stereo" },
        { Mode::DualChannel, "Dual Channel" }, { Mode::Mono, "Mono" } };
    for (const auto& [mode, text] : modes) {
        facts.channelMode = mode;
        EXPECT_EQ(report({}).mid(9, 5).join('|'),
            "MPEG Layer: 2|Bit Rate: 0|Frequency: 32000|Sample Rate: 32000|Channel Mode: " + text);
    }
}

TEST_F(FileInfoReportTest, ShowsAnInformationBoxWithTheReport)
{
    load("a.mp3", Mp3Builder::audioFrames(10));
    ScriptedPrompter prompter;
    AudioTag audio;
    ASSERT_TRUE(audio.setFileName(path).ok());
    showFileInfoReport(prompter, path, audio);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].title, QStringLiteral("Velmora - File Information"));
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Information);
    EXPECT_EQ(prompter.calls[0].text, fileInfoReport(path, tag));
}
