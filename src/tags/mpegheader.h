#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// How many bytes from the start of a file the frame search looks at.
constexpr int kHeaderScanBytes = 50000;

// Facts about a file's MPEG audio stream, taken from its first confirmed
// frame header. A fresh object (and every read, before it starts) holds
// empty texts, zeros and false.
struct MpegAudioFacts {
    qint64 FileSize = 0; // whole file in bytes, tags included
    QString MPEGVersion; // "1.0", "2.0", "2.5"; "-1" reserved
    QString Layer; // "1", "2", "3"; "0" reserved
    bool Protection = false; // a CRC follows the header
    QString BitRate; // kbit/s as text ("128"); "NA" free/invalid
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
    qint64 TotalFrames = 0; // FileSize / FrameLength, 0 when no frame was confirmed
    double Duration = 0; // seconds: FileSize / byte rate - 1 (tags counted too)
    bool ValidHeader = false; // the last decoded header was usable
    qint64 HeaderPosition = -2; // 1-based file position of the confirmed frame, -2 none
    // Kept for completeness; nothing reads them.
    QString Version;
    bool bVBR = false;
    QString PlayTime;
};

// Decodes one 4-byte frame header into facts (FileSize must be set, it is
// used for Duration). True when the header is usable.
bool DecodeFrameHeader(const unsigned char header[4], MpegAudioFacts& facts);

// Bit rate in kbit/s for the header's third byte under the decoded version
// and layer; "NA" for the free-format and the invalid index.
QString BitRateFor(unsigned char byte3, const QString& mpegVersion, const QString& layer);

// Reads `count` bytes at a 0-based file offset; false when they are not all there.
using ByteReader = std::function<bool(qint64 offset, int count, unsigned char* out)>;

// Searches head (the file's first bytes, at most kHeaderScanBytes) for the
// first MPEG-1 Layer III frame header (FF FA / FF FB) that is followed by a
// second sync one frame length later. Returns the 1-based position or -2.
// Only candidates that decode as valid cost a read through `read` (when the
// next header lies beyond head).
qint64 FindFirstFrame(const QByteArray& head, const ByteReader& read, MpegAudioFacts& facts);

// Resets facts, sets FileSize and searches for the first frame; sets
// TotalFrames. Returns "" or "-2" when no frame was confirmed.
QString ReadHeader(MpegAudioFacts& facts, const QByteArray& head, qint64 fileSize, const ByteReader& read);

// The same for a file on disc (one read of its first kHeaderScanBytes).
// A file that cannot be opened reads as no frame found.
QString ReadHeader(MpegAudioFacts& facts, const QString& path);
