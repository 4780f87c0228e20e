#pragma once

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
// header. A fresh object (and every read, before it starts) holds empty
// texts, zeros and false.
struct MpegAudioFacts {
    qint64 FileSize = 0; // whole file in bytes, tags included
    QString MPEGVersion; // "1.0", "2.0", "2.5"; "-1" reserved
    QString Layer; // "1", "2", "3"; "0" reserved
    bool Protection = false; // a CRC follows the header
    QString BitRate; // kbit/s as text ("128"), the average of a VBR stream; "NA" free/invalid
    QString SampleRate; // Hz as text ("44100"); "0" reserved
    double Frequency = 0; // SampleRate as a number
    int Padding = 0; // 1 or 0
    int PrivateBit = 0; // 1 or 0
    QString ChannelMode; // "Stereo", "Joint Stereo", "Dual Channel", "Mono"
    QString ModeExtension; // "00" .. "11"
    bool CopyRight = false; // the header's copyright bit
    bool Original = false;
    QString Emphasis; // "None", "50/15 ms", "Reserved", "CCIT J.17"
    int FrameLength = 0; // bytes per frame
    qint64 TotalFrames = 0; // audio frames; 0 when no frame was confirmed
    double Duration = 0; // seconds of audio (tags not counted)
    qint64 AudioBytes = 0; // from the first frame to the trailing tags
    bool ValidHeader = false; // the last decoded header was usable
    qint64 HeaderPosition = -2; // 1-based file position of the confirmed frame, -2 none
    bool variableBitRate = false; // the bit rate varies from frame to frame
};

// Decodes one 4-byte frame header into facts (all but FileSize, TotalFrames,
// Duration and AudioBytes). True when the header is usable.
bool DecodeFrameHeader(const unsigned char header[4], MpegAudioFacts& facts);

// Bit rate in kbit/s for the header's third byte under the decoded version
// and layer; "NA" for the free-format and the invalid index.
QString BitRateFor(unsigned char byte3, const QString& mpegVersion, const QString& layer);

// Reads `count` bytes at a 0-based file offset; false when they are not all there.
using ByteReader = std::function<bool(qint64 offset, int count, unsigned char* out)>;

// Searches for the first MPEG audio frame (any version, Layers I to III)
// that is followed, one frame length later, by a header of the same
// version, layer and sample rate: from the end of the ID3v2 tag (its own
// size) on, else from the start of the file. head holds the file's first
// bytes; read fetches the others. Returns the 1-based position (its header
// decoded into facts) or -2.
qint64 FindFirstFrame(const QByteArray& head, qint64 fileSize, const ByteReader& read, MpegAudioFacts& facts);

// Resets facts, sets FileSize, finds the first frame and works out play
// time, average bit rate and frame count: from the Xing/Info or VBRI header
// when there is one, else from the audio bytes alone (tags at either end
// not counted). Returns "" or "-2" when no frame was confirmed.
QString ReadHeader(MpegAudioFacts& facts, const QByteArray& head, qint64 fileSize, const ByteReader& read);

// The same for a file on disc (its first kHeaderScanBytes read in one go).
// A file that cannot be opened reads as no frame found.
QString ReadHeader(MpegAudioFacts& facts, const QString& path);
