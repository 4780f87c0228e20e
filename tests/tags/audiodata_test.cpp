// The format of a file told from its content, and the audio digest a save compares: it sees a changed audio byte and
// broken structure, and ignores what a tag writer changes.
#include "tags/audiodata.h"
#include "tags/audioformat.h"

#include "tags/encodedfiles.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <unistd.h>

namespace E = EncodedFiles;
using E::Kind;

namespace {

QByteArray oggHead(const QByteArray& packet)
{
    QByteArray page = "OggS" + QByteArray(22, '\0');
    page += char(1); // one segment
    page += char(packet.size());
    return page + packet;
}

void patchByte(const QString& path, qint64 at)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(at < 0 ? f.size() + at : at);
    char c = 0;
    f.getChar(&c);
    f.seek(at < 0 ? f.size() + at : at);
    f.putChar(char(c ^ 0x20));
}

} // namespace

TEST(AudioData, TheFormatComesFromTheContent)
{
    const QByteArray id3 = QByteArray("ID3\x03\x00\x00\x00\x00\x00\x0A", 10) + QByteArray(10, '\0');
    const struct {
        const char* name;
        QByteArray bytes;
        std::optional<AudioFormat> format;
    } cases[] = {
        { "flac", "fLaC" + QByteArray(60, '\0'), AudioFormat::Flac },
        { "flac_after_id3", id3 + "fLaC", AudioFormat::Flac },
        { "mp3_after_id3", id3 + QByteArray("\xFF\xFB\x90\x00", 4), AudioFormat::Mp3 },
        { "mp3", QByteArray("\xFF\xFB\x90\x00", 4) + QByteArray(60, '\0'), AudioFormat::Mp3 },
        { "vorbis", oggHead("\x01vorbis" + QByteArray(23, '\0')), AudioFormat::OggVorbis },
        { "opus", oggHead("OpusHead" + QByteArray(11, '\0')), AudioFormat::Opus },
        { "other_ogg", oggHead("\x80theora" + QByteArray(20, '\0')), std::nullopt },
        { "mp4",
            QByteArray("\0\0\0\x20"
                       "ftypM4A ",
                12)
                + QByteArray(20, '\0'),
            AudioFormat::Mp4 },
        { "wave", "RIFF\x24\0\0\0WAVEfmt " + QByteArray(40, '\0'), std::nullopt },
        { "id3_before_text", id3 + "text", std::nullopt },
        { "empty", QByteArray(), std::nullopt },
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(audioFormatOf(E::writeText(dir, c.name, c.bytes)), c.format);
    }
    EXPECT_EQ(audioFormatOf(dir.filePath("missing")), std::nullopt);
}

TEST(AudioData, TheDigestSeesTheAudioAndNotTheTag)
{
    // mutagen rewrites the tag with a long value: the tag grows, pages and boxes move.
    const char* grow = R"(
import sys, mutagen
f = mutagen.File(sys.argv[1])
key = "\xa9cmt" if sys.argv[1].endswith(".m4a") else "comment"
f[key] = ["x" * 70000]
f.save()
)";
    const struct {
        Kind kind;
        AudioFormat format;
        qint64 audioByte; // a byte of the audio data (negative: from the end)
    } cases[] = {
        { Kind::FlacCue, AudioFormat::Flac, -100 },
        { Kind::Vorbis, AudioFormat::OggVorbis, -100 },
        { Kind::Opus, AudioFormat::Opus, -100 },
        { Kind::AacFaststart, AudioFormat::Mp4, -100 },
        { Kind::AacMoovLast, AudioFormat::Mp4, 2000 },
        { Kind::AacFragmented, AudioFormat::Mp4, -100 },
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(E::kindName(c.kind));
        const QString path = E::make(dir, c.kind);
        AudioDigest before, grown, spoiled;
        ASSERT_TRUE(readAudioDigest(path, c.format, &before).ok());
        EXPECT_GT(before.audioBytes, 1000);
        E::run("/usr/bin/python3", { "-c", grow, path });
        ASSERT_TRUE(readAudioDigest(path, c.format, &grown).ok());
        EXPECT_EQ(grown.audio, before.audio);
        EXPECT_EQ(grown.blocks, before.blocks);
        patchByte(path, c.audioByte);
        const FileError e = readAudioDigest(path, c.format, &spoiled);
        // Ogg pages carry a checksum: a changed byte is damage there.
        EXPECT_TRUE(!e.ok() || spoiled.audio != before.audio);
    }
}

// The FLAC frame checksum (CRC-16, polynomial 0x8005, no reflection).
quint16 flacCrc16(const QByteArray& bytes)
{
    quint16 crc = 0;
    for (char c : bytes) {
        crc ^= quint16(uchar(c)) << 8;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x8005) : quint16(crc << 1);
    }
    return crc;
}

// A changed byte in the last frame, its checksum made right again, is still
// a change of the audio: the digest reaches the very end.
TEST(AudioData, TheFlacDigestSeesTheLastFrame)
{
    QTemporaryDir dir;
    const QString path = E::make(dir, Kind::Flac);
    AudioDigest before, after;
    ASSERT_TRUE(readAudioDigest(path, AudioFormat::Flac, &before).ok());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    // The last frame: the sync code whose frame's checksum is the file's last two bytes.
    const quint16 stored = quint16(uchar(bytes[bytes.size() - 2]) << 8 | uchar(bytes[bytes.size() - 1]));
    qsizetype start = bytes.size() - 4;
    while (start > 0
        && !(uchar(bytes[start]) == 0xFF && (uchar(bytes[start + 1]) & 0xFE) == 0xF8
            && flacCrc16(bytes.mid(start, bytes.size() - 2 - start)) == stored))
        --start;
    ASSERT_GT(start, 0);
    ASSERT_GT(bytes.size() - start, 16);
    bytes[bytes.size() - 6] = char(bytes[bytes.size() - 6] ^ 0x01);
    const quint16 crc = flacCrc16(bytes.mid(start, bytes.size() - 2 - start));
    bytes[bytes.size() - 2] = char(crc >> 8);
    bytes[bytes.size() - 1] = char(crc & 0xFF);
    file.seek(0);
    file.write(bytes);
    file.close();
    ASSERT_TRUE(readAudioDigest(path, AudioFormat::Flac, &after).ok());
    EXPECT_NE(after.audio, before.audio);
}

// The Ogg page checksum (polynomial 0x04C11DB7, no reflection), for pages a test changes.
quint32 oggChecksum(QByteArray page)
{
    page.replace(22, 4, QByteArray(4, '\0'));
    quint32 crc = 0;
    for (char c : page) {
        crc ^= quint32(uchar(c)) << 24;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

TEST(AudioData, AnOggGranuleChangeIsSeen)
{
    QTemporaryDir dir;
    for (Kind kind : { Kind::Vorbis, Kind::Opus }) {
        SCOPED_TRACE(E::kindName(kind));
        const QString path = E::make(dir, kind);
        const AudioFormat format = kind == Kind::Opus ? AudioFormat::Opus : AudioFormat::OggVorbis;
        AudioDigest before, after;
        ASSERT_TRUE(readAudioDigest(path, format, &before).ok());
        // The last page ends a second earlier, with a valid checksum.
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        const qint64 at = bytes.lastIndexOf("OggS");
        QByteArray page = bytes.mid(at);
        qToLittleEndian<qint64>(qFromLittleEndian<qint64>(page.constData() + 6) - 48000, page.data() + 6);
        qToLittleEndian<quint32>(oggChecksum(page), page.data() + 22);
        f.seek(at);
        f.write(page);
        f.close();
        ASSERT_TRUE(readAudioDigest(path, format, &after).ok());
        EXPECT_NE(after.audio, before.audio);
    }
}

TEST(AudioData, DamageIsNamed)
{
    const struct {
        const char* name;
        Kind kind;
        AudioFormat format;
        qint64 cutBytes; // taken off the end; -1 the audio, -2 one audio byte changed
        const char* cause;
    } cases[] = {
        { "ogg_cut_mid_page", Kind::Vorbis, AudioFormat::OggVorbis, 100, "cut off" },
        { "opus_cut_mid_page", Kind::Opus, AudioFormat::Opus, 100, "cut off" },
        { "mp4_box_past_the_end", Kind::AacFaststart, AudioFormat::Mp4, 100, "past the end" },
        { "mp4_no_movie", Kind::AacMoovLast, AudioFormat::Mp4, -1, "no movie box" },
        { "flac_no_frames", Kind::Flac, AudioFormat::Flac, -1, "no FLAC frame" },
        { "flac_cut_mid_frame", Kind::Flac, AudioFormat::Flac, 100, "cut off or fails its checksum" },
        { "flac_changed_byte", Kind::Flac, AudioFormat::Flac, -2, "cut off or fails its checksum" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = E::make(dir, c.kind);
        AudioDigest d;
        ASSERT_TRUE(readAudioDigest(path, c.format, &d).ok());
        if (c.cutBytes > 0) {
            ASSERT_EQ(::truncate(qPrintable(path), QFileInfo(path).size() - c.cutBytes), 0);
        } else if (c.cutBytes == -2) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            const qint64 at = f.size() * 3 / 4;
            ASSERT_TRUE(f.seek(at));
            const char b = f.read(1).at(0);
            ASSERT_TRUE(f.seek(at));
            f.write(QByteArray(1, char(b ^ 0x10)));
        } else {
            // Everything after the stream's header part goes: the FLAC frames, the MP4 movie box at the end.
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            const QByteArray bytes = f.readAll();
            const qint64 keep
                = c.format == AudioFormat::Flac ? bytes.indexOf("\xFF\xF8") : bytes.lastIndexOf("moov") - 4;
            ASSERT_GT(keep, 0);
            ASSERT_TRUE(f.resize(keep));
        }
        const FileError e = readAudioDigest(path, c.format, &d);
        EXPECT_FALSE(e.ok());
        EXPECT_TRUE(e.description.contains(c.cause)) << qPrintable(e.description);
    }
    // An ID3v1 trailer after the FLAC frames is no damage.
    QTemporaryDir dir;
    const QString path = E::make(dir, Kind::Flac);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("TAG" + QByteArray(125, 'x'));
    f.close();
    AudioDigest d;
    EXPECT_TRUE(readAudioDigest(path, AudioFormat::Flac, &d).ok());
}
