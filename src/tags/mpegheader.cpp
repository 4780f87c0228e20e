#include "mpegheader.h"

#include "tags/mpegaudiorange.h"
#include "tags/mpegframe.h"
#include "tags/mpegvbrheader.h"
#include "tags/regularfile.h"
#include "tags/tagscan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The facts one usable frame header gives.
void takeFrameFacts(MpegAudioFacts& facts, const MpegFrame& f)
{
    facts.mpegVersion = f.version;
    facts.layer = f.layer;
    facts.protection = f.crc;
    facts.bitRate = f.bitRate;
    facts.sampleRate = f.sampleRate;
    facts.padding = f.padding;
    facts.privateBit = f.privateBit;
    facts.channelMode = f.channelMode;
    facts.modeExtension = f.modeExtension;
    facts.copyright = f.copyright;
    facts.original = f.original;
    facts.emphasis = f.emphasis;
    facts.frameLength = f.frameLength;
    facts.validHeader = true;
}

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
            if (!h || !decodeMpegFrame(h, &f))
                continue;
            unsigned char nextBytes[4];
            const qint64 q = i + f.frameLength;
            const unsigned char* next
                = q + 4 <= n ? b + q : (file.copy(chunkStart + q, 4, nextBytes) ? nextBytes : nullptr);
            MpegFrame g;
            if (next && decodeMpegFrame(next, &g) && g.sameStream(f)) {
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
    const qint64 tagEnd = id3v2TagsEnd(file);
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
    return walkMpegFrames(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size(), first, resync);
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
    const double fileKbps = facts.audioBytes * 8 / seconds / 1000;
    if (fileKbps < 1 || fileKbps > 1000)
        return false;
    // The Xing/Info frame carries no audio; its bytes are counted, not its frame.
    const qint64 headerFrame = vbr.kind == MpegVbrHeader::Vbri ? 0 : first.frameLength;
    const qint64 streamBytes = (vbr.bytes > headerFrame ? vbr.bytes : facts.audioBytes) - headerFrame;
    const int trim = vbr.encoderDelay + vbr.encoderPadding;
    if (trim > 0 && trim < samples)
        samples -= trim;
    facts.totalFrames = vbr.frames;
    facts.duration = samples / rate;
    if (vbr.kind != MpegVbrHeader::Info) { // Info marks a constant bit rate
        facts.variableBitRate = true;
        facts.bitRate = qRound(double(qMax<qint64>(streamBytes, 0)) * 8 / seconds / 1000);
    }
    return true;
}

} // namespace

bool readHeader(MpegAudioFacts& facts, const QByteArray& head, qint64 fileSize, const ByteReader& read)
{
    facts = MpegAudioFacts();
    facts.fileSize = fileSize;
    const FileBytes file(head, fileSize, read);
    MpegFrame first;
    const qint64 at = firstFrame(file, &first);
    if (at < 0)
        return false;
    takeFrameFacts(facts, first);
    facts.headerPosition = at + 1;
    const qint64 audioEnd = trailingTagsStart(file, at);
    facts.audioBytes = audioEnd - at;
    const QByteArray frameBytes
        = file.exact(at, std::min<qint64>({ first.frameLength, kMpegVbrHeaderBytes, facts.audioBytes }));
    if (applyVbrHeader(facts, first, readMpegVbrHeader(frameBytes, first, first.crc)))
        return true;
    // No summary: the audio bytes over the byte rate, measured on the
    // frames where it varies.
    const MpegFrameWalk walk = sampleStream(file, at, audioEnd, first);
    if (walk.mixedBitRates && walk.samples > 0) {
        const double bytesPerSecond = double(walk.bytes) / (double(walk.samples) / first.sampleRate);
        facts.variableBitRate = true;
        facts.bitRate = qRound(bytesPerSecond * 8 / 1000);
        facts.duration = double(facts.audioBytes) / bytesPerSecond;
        facts.totalFrames = qRound64(facts.duration * first.sampleRate / first.samples);
    } else {
        facts.duration = double(facts.audioBytes) / (first.bitRate * 125.0);
        facts.totalFrames = facts.frameLength > 0 ? facts.audioBytes / facts.frameLength : 0;
    }
    return true;
}

bool readHeader(MpegAudioFacts& facts, const QString& path)
{
    struct stat st { };
    const int fd = openRegularFile(path, &st);
    if (fd < 0) {
        facts = MpegAudioFacts();
        return false;
    }
    QByteArray head(int(qMin<qint64>(st.st_size, kHeaderScanBytes)), Qt::Uninitialized);
    if (!readFully(fd, 0, int(head.size()), reinterpret_cast<unsigned char*>(head.data())))
        head.clear();
    const bool found = readHeader(facts, head, st.st_size,
        [fd](qint64 offset, int count, unsigned char* out) { return readFully(fd, offset, count, out); });
    ::close(fd);
    return found;
}
