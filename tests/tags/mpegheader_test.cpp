#include "tags/mpegheader.h"

#include "support/tagfiles.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <tuple>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

// count frames of size bytes each, starting with the given 4-byte header.
QByteArray frames(const char* header4, int size, int count)
{
    return (QByteArray(header4, 4) + QByteArray(size - 4, '\x11')).repeated(count);
}

// A first frame carrying an encoder summary at byte `at`: "Xing" (frames,
// bytes, no seek table) with a LAME tag holding delay and padding, or
// "VBRI" (bytes, frames).
QByteArray summaryFrame(const char* header4, int size, int at, const QByteArray& kind, quint32 count, quint32 bytes,
    int delay = 0, int padding = 0)
{
    QByteArray f = QByteArray(header4, 4) + QByteArray(size - 4, '\0');
    QByteArray summary;
    if (kind == "VBRI") {
        summary = "VBRI" + QByteArray("\x00\x01\x00\x00\x00\x00", 6) + bigEndian32(bytes) + bigEndian32(count);
    } else {
        summary = kind + bigEndian32(3) + bigEndian32(count) + bigEndian32(bytes) + "LAME3.100" + QByteArray(12, '\0');
        summary += char(delay >> 4);
        summary += char(((delay & 0x0F) << 4) | (padding >> 8));
        summary += char(padding & 0xFF);
    }
    f.replace(at, summary.size(), summary);
    return f;
}

// An APE tag holding `items`, with header and footer.
QByteArray apeTag(const QByteArray& items)
{
    auto le32 = [](quint32 v) { return bigEndian32(qbswap(v)); };
    const QByteArray common = "APETAGEX" + le32(2000) + le32(quint32(items.size() + 32)) + le32(1);
    return common + le32(0xA0000000) + QByteArray(8, '\0') + items + common + le32(0x80000000) + QByteArray(8, '\0');
}

TEST(MpegHeader, DecodesVersionsLayersBitRatesAndFrameLengths)
{
    using Mode = MpegFrame::ChannelMode;
    const struct {
        const char* header;
        MpegFrame::Version version;
        int layer;
        bool crc;
        int bitRate;
        int sampleRate;
        int padding;
        Mode mode;
        int length;
        int samples;
    } cases[] = {
        { "\xFF\xFB\x90\x64", MpegFrame::Mpeg1, 3, false, 128, 44100, 0, Mode::JointStereo, 417, 1152 },
        { "\xFF\xFB\x92\x64", MpegFrame::Mpeg1, 3, false, 128, 44100, 1, Mode::JointStereo, 418, 1152 },
        { "\xFF\xFA\x90\x64", MpegFrame::Mpeg1, 3, true, 128, 44100, 0, Mode::JointStereo, 417, 1152 },
        { "\xFF\xFD\x90\x04", MpegFrame::Mpeg1, 2, false, 160, 44100, 0, Mode::Stereo, 522, 1152 },
        { "\xFF\xFC\x94\x04", MpegFrame::Mpeg1, 2, true, 160, 48000, 0, Mode::Stereo, 480, 1152 },
        { "\xFF\xFF\x90\x84", MpegFrame::Mpeg1, 1, false, 288, 44100, 0, Mode::DualChannel, 312, 384 },
        { "\xFF\xFF\x92\x84", MpegFrame::Mpeg1, 1, false, 288, 44100, 1, Mode::DualChannel, 316, 384 }, // 4-byte slot
        { "\xFF\xF3\x80\x64", MpegFrame::Mpeg2, 3, false, 64, 22050, 0, Mode::JointStereo, 208, 576 },
        { "\xFF\xF2\x82\x64", MpegFrame::Mpeg2, 3, true, 64, 22050, 1, Mode::JointStereo, 209, 576 },
        { "\xFF\xF3\xE4\xC4", MpegFrame::Mpeg2, 3, false, 160, 24000, 0, Mode::Mono, 480, 576 },
        { "\xFF\xF5\x88\x00", MpegFrame::Mpeg2, 2, false, 64, 16000, 0, Mode::Stereo, 576, 1152 },
        { "\xFF\xF7\x80\x00", MpegFrame::Mpeg2, 1, false, 128, 22050, 0, Mode::Stereo, 276, 384 },
        { "\xFF\xE3\x40\xC4", MpegFrame::Mpeg25, 3, false, 32, 11025, 0, Mode::Mono, 208, 576 },
        { "\xFF\xE2\x48\xC4", MpegFrame::Mpeg25, 3, true, 32, 8000, 0, Mode::Mono, 288, 576 },
        { "\xFF\xE5\x44\x40", MpegFrame::Mpeg25, 2, false, 32, 12000, 0, Mode::JointStereo, 384, 1152 },
    };
    for (const auto& c : cases) {
        MpegFrame f;
        ASSERT_TRUE(decodeMpegFrame(reinterpret_cast<const unsigned char*>(c.header), &f)) << c.length;
        EXPECT_EQ(std::tuple(f.version, f.layer, f.crc, f.bitRate, f.sampleRate, f.padding),
            std::tuple(c.version, c.layer, c.crc, c.bitRate, c.sampleRate, c.padding))
            << c.version << " layer " << c.layer << " length " << c.length;
        EXPECT_EQ(std::tuple(f.channelMode, f.frameLength, f.samples), std::tuple(c.mode, c.length, c.samples))
            << c.version << " layer " << c.layer << " length " << c.length;
    }
    // CRC, 320 kbit/s, 32 kHz, private bit, joint stereo with mode extension 3,
    // copyright, not original, CCIT J.17.
    const unsigned char h[4] = { 0xFF, 0xFA, 0xE9, 0x7B };
    MpegFrame f;
    ASSERT_TRUE(decodeMpegFrame(h, &f));
    EXPECT_EQ(
        std::tuple(f.crc, f.privateBit, f.modeExtension, f.copyright, f.original), std::tuple(true, 1, 3, true, false));
    EXPECT_EQ(f.emphasis, MpegFrame::Emphasis::CcittJ17);
    EXPECT_EQ(f.frameLength, 1440);
}

TEST(MpegHeader, PlayTimeBitRateAndFramesComeFromTheAudioAlone)
{
    const QByteArray small = tag(3, { frame(3, "TIT2", textBody("x")) }, 100);
    // A 200 KB cover made of real-looking frames (320 kbit/s, 48 kHz, mono).
    const QByteArray cover
        = tag(3, { frame(3, "APIC", pictureBody("image/jpeg", 3, "", frames("\xFF\xFB\xE4\xC4", 960, 210))) });
    const QByteArray decoy = QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(500, '\x01');
    const QByteArray trailers = lyrics3v2("IND00003000") + id3v1("T", "A", "B", "2001", "", 1, 1);
    const QByteArray frames160 = frames("\xFF\xFB\xA0\x64", 522, 100);
    const QByteArray mono160 = frames("\xFF\xFB\xA0\xC4", 522, 100);
    const QByteArray tag24 = tag(4, { frame(4, "TIT2", textBody("x", Enc::Utf8)) }, 0, 0x10);
    const QByteArray footerThenCover = tag24 + "3DI" + tag24.mid(3, 7) + cover;
    QByteArray fourMillion = F::audio(20);
    fourMillion += QByteArray(4000000 - fourMillion.size(), '\x22');
    const struct {
        const char* name;
        QByteArray bytes;
        qint64 position; // 1-based; -2: no frame
        int bitRate;
        double seconds;
        qint64 totalFrames;
        bool vbr;
    } cases[] = {
        { "cbr", F::audio(100), 1, 128, 41700 / 16000.0, 100, false },
        { "cbr-small-tag", small + F::audio(100), small.size() + 1, 128, 41700 / 16000.0, 100, false },
        { "cbr-200k-cover", cover + F::audio(100), cover.size() + 1, 128, 41700 / 16000.0, 100, false },
        { "cbr-trailers", F::audio(100) + trailers, 1, 128, 41700 / 16000.0, 100, false },
        { "cbr-ape", F::audio(100) + apeTag(QByteArray(20, '\x33')), 1, 128, 41700 / 16000.0, 100, false },
        { "cbr-musicmatch", F::audio(100) + musicMatch() + id3v1("T", "A", "B", "2001", "", 1, 1), 1, 128,
            41700 / 16000.0, 100, false },
        { "cbr-lyrics3-ape-trailer",
            F::audio(100) + lyrics3v1("la la") + apeTag("x") + id3v1("T", "A", "B", "", "", 1, 1), 1, 128,
            41700 / 16000.0, 100, false },
        { "footer-then-cover", footerThenCover + F::audio(100), footerThenCover.size() + 1, 128, 41700 / 16000.0, 100,
            false },
        { "four-million", fourMillion, 1, 128, 250.0, 9592, false },
        // A tag size past the end of the file: the search starts at the beginning.
        { "bad-size", header(3, 10000000) + QByteArray(40, '\0') + F::audio(10), 51, 128, 4170 / 16000.0, 10, false },
        { "decoy", decoy + F::audio(5), decoy.size() + 1, 128, 2085 / 16000.0, 5, false },
        { "layer2", frames("\xFF\xFD\x90\x04", 522, 10), 1, 160, 5220 / 20000.0, 10, false },
        { "mpeg2-22050", frames("\xFF\xF3\x80\x64", 208, 100), 1, 64, 20800 / 8000.0, 100, false },
        { "mpeg25-11025-mono", frames("\xFF\xE3\x40\xC4", 208, 100), 1, 32, 20800 / 4000.0, 100, false },
        { "mpeg1-crc", frames("\xFF\xFA\x90\x64", 417, 100), 1, 128, 41700 / 16000.0, 100, false },
        { "mpeg2-crc-after-tag", small + frames("\xFF\xF2\x80\x64", 208, 100), small.size() + 1, 64, 20800 / 8000.0,
            100, false },
        // Xing: 100 frames of 160 kbit/s after a 128 kbit/s summary frame;
        // LAME's delay and padding are not played.
        { "xing", summaryFrame("\xFF\xFB\x90\x64", 417, 36, "Xing", 100, 417 + 52200, 576, 1000) + frames160, 1, 160,
            (115200 - 1576) / 44100.0, 100, true },
        { "xing-mono", summaryFrame("\xFF\xFB\x90\xC4", 417, 21, "Xing", 100, 417 + 52200) + mono160, 1, 160,
            115200 / 44100.0, 100, true },
        { "info-cbr", summaryFrame("\xFF\xFB\xA0\x64", 522, 36, "Info", 100, 522 + 52200) + frames160, 1, 160,
            115200 / 44100.0, 100, false },
        { "vbri", summaryFrame("\xFF\xFB\x90\x64", 417, 36, "VBRI", 200, 2 * 52200) + frames160 + frames160, 1, 160,
            230400 / 44100.0, 200, true },
        // No summary: every frame is counted (20 of 128 and 80 of 160 kbit/s).
        { "vbr-without-summary", F::audio(20) + frames("\xFF\xFB\xA0\x64", 522, 80), 1, 153, 115200 / 44100.0, 100,
            true },
        { "layer3-nowhere", frames("\xFF\xF9\x90\x64", 417, 10), -2, 0, 0, 0, false },
        { "empty", QByteArray(), -2, 0, 0, 0, false },
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        MpegAudioFacts f;
        EXPECT_EQ(readHeader(f, F::write(dir, c.name, c.bytes)), c.position > 0) << c.name;
        EXPECT_EQ(std::tuple(f.fileSize, f.headerPosition, f.bitRate, f.totalFrames, f.variableBitRate),
            std::tuple(qint64(c.bytes.size()), c.position, c.bitRate, c.totalFrames, c.vbr))
            << c.name;
        EXPECT_NEAR(f.duration, c.seconds, 0.001) << c.name;
    }
    MpegAudioFacts f;
    EXPECT_FALSE(readHeader(f, dir.filePath("missing.mp3")));
}

TEST(MpegHeader, ReservedFreeFormatAndMissingSyncAreNoFrame)
{
    const struct {
        const char* name;
        const char* header;
        MpegFrame::Version version;
        int layer;
        int bitRate;
        int sampleRate;
    } cases[] = {
        { "reserved layer", "\xFF\xF9\x90\x64", MpegFrame::Mpeg1, 0, 0, 44100 },
        { "reserved sample rate", "\xFF\xFB\x9C\x64", MpegFrame::Mpeg1, 3, 128, 0 },
        { "free format", "\xFF\xFB\x00\x64", MpegFrame::Mpeg1, 3, 0, 44100 },
        { "bit-rate index 15", "\xFF\xFB\xF0\x64", MpegFrame::Mpeg1, 3, 0, 44100 },
        { "reserved version", "\xFF\xEB\x90\x64", MpegFrame::Reserved, 3, 0, 0 },
        { "mpeg-2.5 reserved sample rate", "\xFF\xE3\x4C\xC4", MpegFrame::Mpeg25, 3, 32, 0 },
    };
    for (const auto& c : cases) {
        MpegFrame f;
        f.frameLength = 99;
        EXPECT_FALSE(decodeMpegFrame(reinterpret_cast<const unsigned char*>(c.header), &f)) << c.name;
        EXPECT_EQ(std::tuple(f.version, f.layer, f.bitRate, f.sampleRate, f.frameLength),
            std::tuple(c.version, c.layer, c.bitRate, c.sampleRate, 0))
            << c.name;
    }
    // Without the 11 sync bits nothing is decoded.
    for (const char* header : { "\xFF\xDB\x90\x64", "\xFE\xFB\x90\x64", "\x00\x00\x00\x00", "ID3\x03" }) {
        MpegFrame f;
        f.layer = 7;
        EXPECT_FALSE(decodeMpegFrame(reinterpret_cast<const unsigned char*>(header), &f));
        EXPECT_EQ(f.layer, 7);
    }
}

} // namespace
