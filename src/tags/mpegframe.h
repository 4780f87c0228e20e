#pragma once

#include <QByteArray>

// One MPEG audio frame header (MPEG-1, 2 and 2.5, Layers I to III): the
// four bytes decoded to numbers. This is the only decoder of those bytes.
struct MpegFrame {
    // Reserved is the header's unused version code: no usable frame has it.
    enum Version { Mpeg1, Mpeg2, Mpeg25, Reserved };
    // In the order of the header's two bits.
    enum class ChannelMode { Stereo, JointStereo, DualChannel, Mono };
    enum class Emphasis { None, Ms50_15, Reserved, CcittJ17 };

    Version version = Mpeg1;
    int layer = 0; // 1, 2, 3; 0 for the reserved code
    bool crc = false; // a 16-bit CRC follows the header (protection bit clear)
    int bitRate = 0; // kbit/s; 0 for free format, the invalid index or an unknown version
    int sampleRate = 0; // Hz; 0 for the reserved index or an unknown version
    int padding = 0; // 1 or 0
    int privateBit = 0; // 1 or 0
    ChannelMode channelMode = ChannelMode::Stereo;
    int modeExtension = 0; // the header's two bits, 0 .. 3
    bool copyright = false;
    bool original = false;
    Emphasis emphasis = Emphasis::None;
    int frameLength = 0; // bytes, header included; 0 when it cannot be known
    int samples = 0; // samples per channel in the frame

    bool mono() const { return channelMode == ChannelMode::Mono; }
    // Bytes of Layer III side information after the header (and its CRC).
    int sideInfoBytes() const;
    // The same stream: a following frame keeps version, layer and sample rate.
    bool sameStream(const MpegFrame& other) const
    {
        return version == other.version && layer == other.layer && sampleRate == other.sampleRate;
    }
};

// Bit rate in kbit/s for a bit-rate index (1..14) under version and layer;
// 0 for the free-format index 0, the invalid 15 and a reserved version or layer.
int mpegBitRate(MpegFrame::Version version, int layer, int index);
// Sample rate in Hz for a sample-rate index (0..2) under version; 0 for the
// reserved index 3 and the reserved version.
int mpegSampleRate(MpegFrame::Version version, int index);

// True when h[0] and h[1] hold the 11 set bits of a frame sync.
inline bool isMpegSync(const unsigned char* h)
{
    return h[0] == 0xFF && (h[1] & 0xE0) == 0xE0;
}

// Decodes h[0..3] into *out, every field that has a meaning (a reserved
// code reads as 0 or Reserved). True when the header is a usable frame:
// sync, version, layer, bit rate and sample rate are all known, so its
// length is; false otherwise (free format included). Nothing is written
// without a sync.
bool decodeMpegFrame(const unsigned char h[4], MpegFrame* out);

// How bytes[0..size) walk as a chain of frames of the stream of `like`,
// starting at the first frame confirmed by the next one (resync) or at 0.
struct MpegFrameWalk {
    qint64 bytes = 0; // of the whole frames walked
    qint64 samples = 0;
    int frames = 0;
    bool mixedBitRates = false; // some frame's bit rate differs from like's
    qint64 end = 0; // where the walk stopped
    bool broken = false; // at bytes that are no frame of the stream (else at the end of the bytes)
};
MpegFrameWalk walkMpegFrames(const unsigned char* bytes, qint64 size, const MpegFrame& like, bool resync);
