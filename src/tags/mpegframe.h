#pragma once

#include <QByteArray>

// One MPEG audio frame header (MPEG-1, 2 and 2.5, Layers I to III) decoded
// to numbers.
struct MpegFrame {
    // Reserved is the header's unused code: no decoded frame has it.
    enum Version { Mpeg1, Mpeg2, Mpeg25, Reserved };
    Version version = Mpeg1;
    int layer = 0; // 1, 2, 3
    int bitRate = 0; // kbit/s
    int sampleRate = 0; // Hz
    int padding = 0;
    bool mono = false;
    int frameLength = 0; // bytes, header included
    int samples = 0; // samples per channel in the frame

    // Bytes of Layer III side information after the header (and its CRC).
    int sideInfoBytes() const;
    // The same stream: a following frame keeps version, layer and sample rate.
    bool sameStream(const MpegFrame& other) const
    {
        return version == other.version && layer == other.layer && sampleRate == other.sampleRate;
    }
};

// Bit rate in kbit/s for a bit-rate index (1..14) under version and layer;
// 0 for the free-format index 0 and the invalid 15.
int mpegBitRate(MpegFrame::Version version, int layer, int index);
// Sample rate in Hz for a sample-rate index (0..2) under version; 0 for the
// reserved index 3.
int mpegSampleRate(MpegFrame::Version version, int index);

// Decodes h[0..3]. False when there is no sync, or the version, layer,
// bit rate or sample rate is reserved, free-format or invalid (no frame
// length can be known then).
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
