#pragma once

#include "tags/mpegframe.h"

#include <QByteArray>
#include <QString>

#include <functional>

// How many bytes from the start of a file are read in one go for the tag
// layer; the frame search reads on where the tag is larger.
constexpr int kHeaderScanBytes = 50000;

// How far after the ID3v2 tag (or from the start of the file) the first
// audio frame is looked for.
constexpr int kFrameSearchBytes = 256 * 1024;

// Facts about a file's MPEG audio stream, taken from its first confirmed
// frame header and, when the encoder wrote one, its Xing/Info, VBRI or LAME
// header. A fresh object (and every read, before it starts) holds zeros,
// the first value of each enum and false; validHeader tells whether the
// header fields were decoded from a usable header.
struct MpegAudioFacts {
    using ChannelMode = MpegFrame::ChannelMode;
    using Emphasis = MpegFrame::Emphasis;

    qint64 fileSize = 0; // whole file in bytes, tags included
    MpegFrame::Version mpegVersion = MpegFrame::Mpeg1;
    int layer = 0; // 1, 2, 3; 0 reserved
    bool protection = false; // a CRC follows the header
    int bitRate = 0; // kbit/s, the average of a VBR stream; 0 free-format or invalid index
    int sampleRate = 0; // Hz; 0 reserved
    int padding = 0; // 1 or 0
    int privateBit = 0; // 1 or 0
    ChannelMode channelMode = ChannelMode::Stereo;
    int modeExtension = 0; // the header's two bits, 0 .. 3
    bool copyright = false; // the header's copyright bit
    bool original = false;
    Emphasis emphasis = Emphasis::None;
    int frameLength = 0; // bytes per frame
    qint64 totalFrames = 0; // audio frames; 0 when no frame was confirmed
    double duration = 0; // seconds of audio (tags not counted)
    qint64 audioBytes = 0; // from the first frame to the trailing tags
    bool validHeader = false; // the last decoded header was usable
    qint64 headerPosition = -2; // 1-based file position of the confirmed frame, -2 none
    bool variableBitRate = false; // the bit rate varies from frame to frame
};

// Reads `count` bytes at a 0-based file offset; false when they are not all there.
using ByteReader = std::function<bool(qint64 offset, int count, unsigned char* out)>;

// Resets facts, sets fileSize and finds the first MPEG audio frame (any
// version, Layers I to III) that is followed, one frame length later, by a
// header of the same version, layer and sample rate: from the end of the
// ID3v2 tag (its own size) on, else from the start of the file. head holds
// the file's first bytes; read fetches the others. Then works out play
// time, average bit rate and frame count: from the Xing/Info or VBRI header
// when there is one, else from the audio bytes alone (tags at either end
// not counted). True when a frame was confirmed; otherwise facts hold
// nothing but fileSize.
bool readHeader(MpegAudioFacts& facts, const QByteArray& head, qint64 fileSize, const ByteReader& read);

// The same for a file on disc (its first kHeaderScanBytes read in one go).
// A file that cannot be opened or is not a regular file reads as no frame
// found.
bool readHeader(MpegAudioFacts& facts, const QString& path);
