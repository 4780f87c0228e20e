#include "mpegheader.h"

#include "tags/mpegaudiorange.h"
#include "tags/mpegframe.h"
#include "tags/mpegvbrheader.h"
#include "tags/tagscan.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

MpegFrame::Version versionFor(const QString& text)
{
    if (text == QLatin1String("2.0"))
        return MpegFrame::Mpeg2;
    if (text == QLatin1String("2.5"))
        return MpegFrame::Mpeg25;
    return MpegFrame::Mpeg1;
}

} // namespace

QString BitRateFor(unsigned char byte3, const QString& mpegVersion, const QString& layer)
{
    const int kbps = MpegBitRate(versionFor(mpegVersion), layer.toInt(), byte3 >> 4);
    return kbps > 0 ? QString::number(kbps) : QStringLiteral("NA");
}

bool DecodeFrameHeader(const unsigned char h[4], MpegAudioFacts& f)
{
    f.ValidHeader = true;
    switch (h[1] & 0x18) {
    case 0x18:
        f.MPEGVersion = QStringLiteral("1.0");
        break;
    case 0x10:
        f.MPEGVersion = QStringLiteral("2.0");
        break;
    case 0x00:
        f.MPEGVersion = QStringLiteral("2.5");
        break;
    default:
        f.MPEGVersion = QStringLiteral("-1");
        f.ValidHeader = false;
        break;
    }
    switch (h[1] & 0x06) {
    case 0x06:
        f.Layer = QStringLiteral("1");
        break;
    case 0x04:
        f.Layer = QStringLiteral("2");
        break;
    case 0x02:
        f.Layer = QStringLiteral("3");
        break;
    default:
        f.Layer = QStringLiteral("0");
        f.ValidHeader = false;
        return false;
    }
    f.Protection = (h[1] & 0x01) == 0;
    f.BitRate = BitRateFor(h[2], f.MPEGVersion, f.Layer);

    static const char* const rates[3][3]
        = { { "44100", "48000", "32000" }, { "22050", "24000", "16000" }, { "11025", "12000", "8000" } };
    const int rateIndex = (h[2] & 0x0C) >> 2;
    if (rateIndex == 3) {
        f.SampleRate = QStringLiteral("0");
        f.ValidHeader = false;
        return false;
    }
    const int row = f.MPEGVersion == QLatin1String("2.0") ? 1 : f.MPEGVersion == QLatin1String("2.5") ? 2 : 0;
    static const double frequencies[3][3]
        = { { 44100, 48000, 32000 }, { 22050, 24000, 16000 }, { 11025, 12000, 8000 } };
    f.SampleRate = QLatin1String(rates[row][rateIndex]);
    f.Padding = (h[2] >> 1) & 1;
    f.PrivateBit = h[2] & 1;
    switch (h[3] & 0xC0) {
    case 0xC0:
        f.ChannelMode = QStringLiteral("Mono");
        break;
    case 0x80:
        f.ChannelMode = QStringLiteral("Dual Channel");
        break;
    case 0x40:
        f.ChannelMode = QStringLiteral("Joint Stereo");
        break;
    default:
        f.ChannelMode = QStringLiteral("Stereo");
        break;
    }
    const int ext = (h[3] & 0x30) >> 4;
    static const char* const extensions[] = { "00", "01", "10", "11" };
    f.ModeExtension = QLatin1String(extensions[ext]);
    f.CopyRight = (h[3] & 0x08) != 0;
    f.Original = (h[3] & 0x04) != 0;
    static const char* const emphasis[] = { "None", "50/15 ms", "Reserved", "CCIT J.17" };
    f.Emphasis = QLatin1String(emphasis[h[3] & 0x03]);
    f.Frequency = frequencies[row][rateIndex]; // SampleRate as a number
    if (f.BitRate == QLatin1String("NA")) { // BitRateFor gives digits or "NA"
        f.ValidHeader = false;
        return false;
    }
    MpegFrame frame;
    if (!DecodeMpegFrame(h, &frame)) {
        f.ValidHeader = false;
        return false;
    }
    f.FrameLength = frame.frameLength;
    return f.ValidHeader;
}

namespace {

// A stream without a summary header is measured on its frames: walked
// whole when it is small or its bit rate varies (there is no other true
// measure), else checked on samples spread over it.
constexpr qint64 kWholeWalkBytes = 64 * 1024;
constexpr int kProbeBytes = 4096;
constexpr int kWalkChunkBytes = 256 * 1024;
constexpr qint64 kMaxWalkBytes = 32 * 1024 * 1024; // beyond, the rate measured so far stands

// 0-based position of the first frame in [from, to) that the next header
// confirms, or -1.
qint64 findFrame(const FileBytes& file, qint64 from, qint64 to, MpegFrame* found)
{
    // The frame is usually right there: read little first, more later.
    qint64 chunkBytes = 8 * 1024;
    for (qint64 chunkStart = from; chunkStart < to; chunkBytes = qMin<qint64>(chunkBytes * 2, 64 * 1024)) {
        const QByteArray chunk = file.span(chunkStart, qMin(to - chunkStart, chunkBytes));
        if (chunk.isEmpty())
            break;
        const auto* b = reinterpret_cast<const unsigned char*>(chunk.constData());
        const qint64 n = chunk.size();
        for (qint64 i = 0; i < n; ++i) {
            const void* ff = std::memchr(b + i, 0xFF, size_t(n - i));
            if (!ff)
                break;
            i = static_cast<const unsigned char*>(ff) - b;
            unsigned char header[4];
            const unsigned char* h = i + 4 <= n ? b + i : (file.copy(chunkStart + i, 4, header) ? header : nullptr);
            MpegFrame f;
            if (!h || !DecodeMpegFrame(h, &f))
                continue;
            unsigned char nextBytes[4];
            const qint64 q = i + f.frameLength;
            const unsigned char* next
                = q + 4 <= n ? b + q : (file.copy(chunkStart + q, 4, nextBytes) ? nextBytes : nullptr);
            MpegFrame g;
            if (next && DecodeMpegFrame(next, &g) && g.sameStream(f)) {
                *found = f;
                return chunkStart + i;
            }
        }
        chunkStart += n;
    }
    return -1;
}

qint64 firstFrame(const FileBytes& file, MpegFrame* found)
{
    // Start after the tag: a picture may hold bytes that look like frames.
    const qint64 tagEnd = Id3v2TagsEnd(file);
    if (tagEnd > 0 && tagEnd < file.size()) {
        const qint64 at = findFrame(file, tagEnd, qMin(file.size(), tagEnd + kFrameSearchBytes), found);
        if (at >= 0)
            return at;
    }
    // A tag whose size is wrong.
    return findFrame(file, 0, qMin<qint64>(file.size(), kFrameSearchBytes), found);
}

void addWalk(MpegFrameWalk& total, const MpegFrameWalk& w)
{
    total.bytes += w.bytes;
    total.samples += w.samples;
    total.frames += w.frames;
    total.mixedBitRates = total.mixedBitRates || w.mixedBitRates;
}

MpegFrameWalk walkFrames(const FileBytes& file, qint64 at, qint64 count, const MpegFrame& first, bool resync)
{
    const QByteArray bytes = file.exact(at, count);
    return WalkMpegFrames(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size(), first, resync);
}

// Every frame of the audio [start, end), read in large pieces; damaged
// stretches are skipped to the next confirmed frame.
MpegFrameWalk walkAll(const FileBytes& file, qint64 start, qint64 end, const MpegFrame& first)
{
    MpegFrameWalk total;
    bool resync = false;
    for (qint64 pos = start; end - pos >= 4;) {
        const qint64 count = qMin<qint64>(end - pos, kWalkChunkBytes);
        const MpegFrameWalk w = walkFrames(file, pos, count, first, resync);
        addWalk(total, w);
        resync = w.broken;
        if (w.end > 0)
            pos += w.end;
        else if (resync && count > 4)
            pos += count - 4; // no frame in the whole piece
        else
            break;
    }
    return total;
}

// Frames of the audio [start, end): all of them when few or when the bit
// rate varies, else samples spread over the stream.
MpegFrameWalk sampleStream(const FileBytes& file, qint64 start, qint64 end, const MpegFrame& first)
{
    const qint64 audio = end - start;
    if (audio <= kWholeWalkBytes)
        return walkFrames(file, start, audio, first, false);
    MpegFrameWalk probes;
    const qint64 room = audio - kProbeBytes;
    for (int i = 0; i < 16 && !probes.mixedBitRates; ++i)
        addWalk(probes, walkFrames(file, start + room * i / 15, kProbeBytes, first, i > 0));
    return probes.mixedBitRates ? walkAll(file, start, qMin(end, start + kMaxWalkBytes), first) : probes;
}

// Facts from a Xing/Info or VBRI header; false when it gives no frame
// count or one that does not fit the file.
bool applyVbrHeader(MpegAudioFacts& facts, const MpegFrame& first, const MpegVbrHeader& vbr)
{
    if (vbr.kind == MpegVbrHeader::None || vbr.frames <= 0)
        return false;
    const double rate = first.sampleRate;
    double samples = double(vbr.frames) * first.samples;
    const double seconds = samples / rate;
    const double fileKbps = facts.AudioBytes * 8 / seconds / 1000;
    if (fileKbps < 1 || fileKbps > 1000)
        return false;
    // The Xing/Info frame carries no audio; its bytes are counted, not its frame.
    const qint64 headerFrame = vbr.kind == MpegVbrHeader::Vbri ? 0 : first.frameLength;
    const qint64 streamBytes = (vbr.bytes > headerFrame ? vbr.bytes : facts.AudioBytes) - headerFrame;
    const int trim = vbr.encoderDelay + vbr.encoderPadding;
    if (trim > 0 && trim < samples)
        samples -= trim;
    facts.TotalFrames = vbr.frames;
    facts.Duration = samples / rate;
    if (vbr.kind != MpegVbrHeader::Info) { // Info marks a constant bit rate
        facts.variableBitRate = true;
        facts.BitRate = QString::number(qRound(double(qMax<qint64>(streamBytes, 0)) * 8 / seconds / 1000));
    }
    return true;
}

} // namespace

qint64 FindFirstFrame(const QByteArray& head, qint64 fileSize, const ByteReader& read, MpegAudioFacts& facts)
{
    const FileBytes file(head, fileSize, read);
    MpegFrame frame;
    const qint64 at = firstFrame(file, &frame);
    unsigned char h[4];
    if (at < 0 || !file.copy(at, 4, h) || !DecodeFrameHeader(h, facts))
        return -2;
    return at + 1;
}

QString ReadHeader(MpegAudioFacts& facts, const QByteArray& head, qint64 fileSize, const ByteReader& read)
{
    facts = MpegAudioFacts();
    facts.FileSize = fileSize;
    const FileBytes file(head, fileSize, read);
    MpegFrame first;
    const qint64 at = firstFrame(file, &first);
    unsigned char h[4];
    if (at < 0 || !file.copy(at, 4, h) || !DecodeFrameHeader(h, facts)) {
        facts = MpegAudioFacts();
        facts.FileSize = fileSize;
        return QStringLiteral("-2");
    }
    facts.HeaderPosition = at + 1;
    const qint64 audioEnd = TrailingTagsStart(file, at);
    facts.AudioBytes = audioEnd - at;
    const QByteArray frameBytes
        = file.exact(at, std::min<qint64>({ first.frameLength, kMpegVbrHeaderBytes, facts.AudioBytes }));
    if (applyVbrHeader(facts, first, ReadMpegVbrHeader(frameBytes, first, facts.Protection)))
        return QString();
    // No summary: the audio bytes over the byte rate, measured on the
    // frames where it varies.
    const MpegFrameWalk walk = sampleStream(file, at, audioEnd, first);
    if (walk.mixedBitRates && walk.samples > 0) {
        const double bytesPerSecond = double(walk.bytes) / (double(walk.samples) / first.sampleRate);
        facts.variableBitRate = true;
        facts.BitRate = QString::number(qRound(bytesPerSecond * 8 / 1000));
        facts.Duration = double(facts.AudioBytes) / bytesPerSecond;
        facts.TotalFrames = qRound64(facts.Duration * first.sampleRate / first.samples);
    } else {
        facts.Duration = double(facts.AudioBytes) / (first.bitRate * 125.0);
        facts.TotalFrames = facts.FrameLength > 0 ? facts.AudioBytes / facts.FrameLength : 0;
    }
    return QString();
}

QString ReadHeader(MpegAudioFacts& facts, const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st { };
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        if (fd >= 0)
            ::close(fd);
        facts = MpegAudioFacts();
        return QStringLiteral("-2");
    }
    QByteArray head(int(qMin<qint64>(st.st_size, kHeaderScanBytes)), Qt::Uninitialized);
    if (!ReadFully(fd, 0, int(head.size()), reinterpret_cast<unsigned char*>(head.data())))
        head.clear();
    const QString result = ReadHeader(facts, head, st.st_size,
        [fd](qint64 offset, int count, unsigned char* out) { return ReadFully(fd, offset, count, out); });
    ::close(fd);
    return result;
}
