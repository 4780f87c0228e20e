#include "tags/mpegheader.h"

#include "tagtestfiles.h"

#include <gtest/gtest.h>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

// Frames of size bytes each, starting with the given 4-byte header.
QByteArray frames(const QByteArray& header4, int size, int count)
{
    QByteArray frame = header4 + QByteArray(size - 4, '\x11');
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += frame;
    return out;
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

TEST(MpegHeader, ThePaddingBitAddsOneByte)
{
    const unsigned char h[4] = { 0xFF, 0xFB, 0x92, 0x64 };
    MpegAudioFacts f;
    ASSERT_TRUE(DecodeFrameHeader(h, f));
    EXPECT_EQ(f.FrameLength, 418);
    EXPECT_EQ(f.Padding, 1);
}

TEST(MpegHeader, FourMillionBytesAt128kPlay249Seconds)
{
    QTemporaryDir dir;
    QByteArray bytes = F::audio(20);
    bytes += QByteArray(4000000 - bytes.size(), '\x22');
    const QString path = F::write(dir, "big.mp3", bytes);
    MpegAudioFacts f;
    ASSERT_EQ(ReadHeader(f, path), "");
    EXPECT_EQ(f.FileSize, 4000000);
    EXPECT_DOUBLE_EQ(f.Duration, 249.0);
    EXPECT_EQ(f.TotalFrames, 9592);
}

TEST(MpegHeader, ALargeTagHidesTheAudio)
{
    QTemporaryDir dir;
    const QByteArray v2 = tag(3, { frame(3, "APIC", pictureBody("image/jpeg", 3, "", QByteArray(60000, '\x33'))) });
    const QString path = F::write(dir, "big-tag.mp3", v2 + F::audio(10));
    MpegAudioFacts f;
    EXPECT_EQ(ReadHeader(f, path), "-2");
    EXPECT_EQ(f.TotalFrames, 0);
    EXPECT_EQ(f.HeaderPosition, -2);
}

TEST(MpegHeader, AudioAfterASmallTagIsFoundAtItsPosition)
{
    QTemporaryDir dir;
    const QByteArray v2 = tag(3, { frame(3, "TIT2", textBody("x")) }, 100);
    const QString path = F::write(dir, "t.mp3", v2 + F::audio(10));
    MpegAudioFacts f;
    EXPECT_EQ(ReadHeader(f, path), "");
    EXPECT_EQ(f.HeaderPosition, v2.size() + 1);
}

TEST(MpegHeader, Layer2AndMpeg2AreNotFound)
{
    QTemporaryDir dir;
    // Layer II, MPEG-1, 128 kbit/s, 44.1 kHz: 417-byte frames.
    const QString layer2 = F::write(dir, "l2.mp3", frames(QByteArray("\xFF\xFD\x90\x64", 4), 417, 10));
    // MPEG-2 Layer III, 64 kbit/s, 22.05 kHz.
    const QString mpeg2 = F::write(dir, "m2.mp3", frames(QByteArray("\xFF\xF3\x80\x64", 4), 417, 10));
    MpegAudioFacts f;
    EXPECT_EQ(ReadHeader(f, layer2), "-2");
    EXPECT_EQ(f.TotalFrames, 0);
    EXPECT_EQ(ReadHeader(f, mpeg2), "-2");
    EXPECT_EQ(f.TotalFrames, 0);
}

TEST(MpegHeader, ACandidateWithoutASecondSyncIsPassedOver)
{
    QTemporaryDir dir;
    const QByteArray decoy = QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(500, '\x01');
    const QString path = F::write(dir, "decoy.mp3", decoy + F::audio(5));
    MpegAudioFacts f;
    EXPECT_EQ(ReadHeader(f, path), "");
    EXPECT_EQ(f.HeaderPosition, decoy.size() + 1);
}

TEST(MpegHeader, DecodesTheOtherFieldsOfAHeader)
{
    // CRC, 320 kbit/s, 32 kHz, private bit, mono, copyright, not original, CCIT J.17.
    const unsigned char h[4] = { 0xFF, 0xFA, 0xE9, 0xCB };
    MpegAudioFacts f;
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

TEST(MpegHeader, AnEmptyOrMissingFileHasNoFrame)
{
    QTemporaryDir dir;
    MpegAudioFacts f;
    EXPECT_EQ(ReadHeader(f, F::write(dir, "empty.mp3", QByteArray())), "-2");
    EXPECT_EQ(f.FileSize, 0);
    EXPECT_EQ(ReadHeader(f, dir.filePath("missing.mp3")), "-2");
}

} // namespace
