#include "tags/mpegheader.h"

#include "support/tagfiles.h"

#include <gtest/gtest.h>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

// count frames of size bytes each, starting with the given 4-byte header.
QByteArray frames(const char* header4, int size, int count)
{
    return (QByteArray(header4, 4) + QByteArray(size - 4, '\x11')).repeated(count);
}

TEST(MpegHeader, DecodesTheCommonLayer3Header)
{
    QTemporaryDir dir;
    const QString path = F::write(dir, "a.mp3", F::audio(10));
    MpegAudioFacts f;
    EXPECT_EQ(ReadHeader(f, path), "");
    EXPECT_EQ(f.HeaderPosition, 1);
    EXPECT_EQ(f.MPEGVersion, "1.0");
    EXPECT_EQ(f.Layer, "3");
    EXPECT_EQ(f.BitRate, "128");
    EXPECT_EQ(f.SampleRate, "44100");
    EXPECT_EQ(f.Frequency, 44100.0);
    EXPECT_EQ(f.FrameLength, 417);
    EXPECT_FALSE(f.Protection);
    EXPECT_EQ(f.ChannelMode, "Joint Stereo");
    EXPECT_EQ(f.ModeExtension, "10");
    EXPECT_FALSE(f.CopyRight);
    EXPECT_TRUE(f.Original);
    EXPECT_EQ(f.Emphasis, "None");
    EXPECT_EQ(f.Padding, 0);
    EXPECT_TRUE(f.ValidHeader);
    EXPECT_EQ(f.FileSize, 4170);
    EXPECT_EQ(f.TotalFrames, 10);
}

TEST(MpegHeader, DecodesPaddingAndTheOtherHeaderFields)
{
    const unsigned char padded[4] = { 0xFF, 0xFB, 0x92, 0x64 };
    MpegAudioFacts f;
    ASSERT_TRUE(DecodeFrameHeader(padded, f));
    EXPECT_EQ(f.FrameLength, 418);
    EXPECT_EQ(f.Padding, 1);
    // CRC, 320 kbit/s, 32 kHz, private bit, mono, copyright, not original, CCIT J.17.
    const unsigned char h[4] = { 0xFF, 0xFA, 0xE9, 0xCB };
    f.FileSize = 40000;
    ASSERT_TRUE(DecodeFrameHeader(h, f));
    EXPECT_TRUE(f.Protection);
    EXPECT_EQ(f.BitRate, "320");
    EXPECT_EQ(f.SampleRate, "32000");
    EXPECT_EQ(f.PrivateBit, 1);
    EXPECT_EQ(f.ChannelMode, "Mono");
    EXPECT_TRUE(f.CopyRight);
    EXPECT_FALSE(f.Original);
    EXPECT_EQ(f.Emphasis, "CCIT J.17");
    EXPECT_EQ(f.FrameLength, 1440);
    EXPECT_DOUBLE_EQ(f.Duration, 0.0);
}

TEST(MpegHeader, FourMillionBytesAt128kPlay249Seconds)
{
    QTemporaryDir dir;
    QByteArray bytes = F::audio(20);
    bytes += QByteArray(4000000 - bytes.size(), '\x22');
    MpegAudioFacts f;
    ASSERT_EQ(ReadHeader(f, F::write(dir, "big.mp3", bytes)), "");
    EXPECT_EQ(f.FileSize, 4000000);
    EXPECT_DOUBLE_EQ(f.Duration, 249.0);
    EXPECT_EQ(f.TotalFrames, 9592);
}

TEST(MpegHeader, FindsTheFirstFrameWithASecondSyncOrReportsNone)
{
    const QByteArray small = tag(3, { frame(3, "TIT2", textBody("x")) }, 100);
    const QByteArray decoy = QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(500, '\x01');
    const struct {
        const char* name;
        QByteArray bytes;
        int position; // -2: no frame found
    } cases[] = {
        { "small-tag", small + F::audio(10), int(small.size()) + 1 },
        { "decoy", decoy + F::audio(5), int(decoy.size()) + 1 },
        { "large-tag",
            tag(3, { frame(3, "APIC", pictureBody("image/jpeg", 3, "", QByteArray(60000, '3'))) }) + F::audio(10), -2 },
        // Layer II, MPEG-1, 128 kbit/s, 44.1 kHz, and MPEG-2 Layer III, 64 kbit/s, 22.05 kHz.
        { "layer2", frames("\xFF\xFD\x90\x64", 417, 10), -2 },
        { "mpeg2", frames("\xFF\xF3\x80\x64", 417, 10), -2 },
        { "empty", QByteArray(), -2 },
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        MpegAudioFacts f;
        EXPECT_EQ(ReadHeader(f, F::write(dir, c.name, c.bytes)), c.position < 0 ? "-2" : "") << c.name;
        EXPECT_EQ(f.HeaderPosition, c.position) << c.name;
        EXPECT_EQ(f.TotalFrames == 0, c.position < 0) << c.name;
    }
    MpegAudioFacts f;
    EXPECT_EQ(ReadHeader(f, dir.filePath("missing.mp3")), "-2");
}

TEST(MpegHeader, ReservedAndFreeFormatCodesAreInvalid)
{
    MpegAudioFacts f;
    const unsigned char reservedLayer[4] = { 0xFF, 0xF9, 0x90, 0x64 };
    EXPECT_FALSE(DecodeFrameHeader(reservedLayer, f));
    EXPECT_EQ(f.Layer, "0");
    const unsigned char reservedRate[4] = { 0xFF, 0xFB, 0x9C, 0x64 };
    EXPECT_FALSE(DecodeFrameHeader(reservedRate, f));
    EXPECT_EQ(f.SampleRate, "0");
    const unsigned char freeFormat[4] = { 0xFF, 0xFB, 0x00, 0x64 };
    EXPECT_FALSE(DecodeFrameHeader(freeFormat, f));
    EXPECT_EQ(f.BitRate, "NA");
    const unsigned char badIndex[4] = { 0xFF, 0xFB, 0xF0, 0x64 };
    EXPECT_FALSE(DecodeFrameHeader(badIndex, f));
    const unsigned char reservedVersion[4] = { 0xFF, 0xEB, 0x90, 0x64 };
    EXPECT_FALSE(DecodeFrameHeader(reservedVersion, f));
    EXPECT_EQ(f.MPEGVersion, "-1");
}

} // namespace
