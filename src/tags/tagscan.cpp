#include "tagscan.h"

#include "tags/tagtypes.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr qint64 kTrailerBytes = 128;
constexpr int kLyrics3MaxBytes = 5100 + 11 + 9; // text + LYRICSBEGIN + LYRICSEND
constexpr char kMusicMatchFooter[] = "Brava Software Inc.             "; // 32 bytes

// Reads [offset, offset + count) from tail when it is there, else through read.
bool fetch(
    qint64 fileSize, const QByteArray& tail, const ByteReader& read, qint64 offset, int count, unsigned char* out)
{
    if (offset < 0 || offset + count > fileSize)
        return false;
    const qint64 tailStart = fileSize - tail.size();
    if (offset >= tailStart) {
        std::memcpy(out, tail.constData() + (offset - tailStart), size_t(count));
        return true;
    }
    return read && read(offset, count, out);
}

// Signatures are at most 32 bytes long.
bool matches(qint64 fileSize, const QByteArray& tail, const ByteReader& read, qint64 offset, const char* text)
{
    const int n = int(std::strlen(text));
    unsigned char buf[32];
    return n <= 32 && fetch(fileSize, tail, read, offset, n, buf) && std::memcmp(buf, text, size_t(n)) == 0;
}

quint32 le32(const unsigned char* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// A MusicMatch tag whose 48-byte footer ends at end: sizes it from its data
// offsets and the version section's sync text.
ByteRange musicMatchEndingAt(qint64 fileSize, const QByteArray& tail, const ByteReader& read, qint64 end)
{
    ByteRange none;
    const qint64 footer = end - 48;
    unsigned char version[4];
    unsigned char offsets[20];
    if (!fetch(fileSize, tail, read, footer + 32, 4, version) || !fetch(fileSize, tail, read, footer - 20, 20, offsets))
        return none;
    const double v = QByteArray(reinterpret_cast<const char*>(version), 4).toDouble();
    const qint64 imageExt = le32(offsets);
    const qint64 versionOffset = le32(offsets + 12);
    if (versionOffset < imageExt)
        return none;
    const qint64 imageBytes = versionOffset - imageExt;
    qint64 metadata = 0;
    if (v > 3.0) {
        for (qint64 candidate : { 7936, 8004, 8132 }) {
            if (matches(fileSize, tail, read, footer - 20 - candidate - 256, "18273645")) {
                metadata = candidate;
                break;
            }
        }
    } else {
        metadata = 7868;
    }
    if (metadata == 0)
        return none;
    qint64 start = end - (48 + 20 + metadata + 256 + imageBytes);
    if (start < 0)
        return none;
    if (matches(fileSize, tail, read, start - 256, "18273645"))
        start -= 256; // the optional header
    return { start, end };
}

} // namespace

Id3v2Header parseId3v2Header(const QByteArray& head)
{
    Id3v2Header h;
    if (head.size() < 10 || !head.startsWith("ID3"))
        return h;
    h.present = true;
    const auto* b = reinterpret_cast<const unsigned char*>(head.constData());
    h.majorVersion = b[3];
    h.flags = b[5];
    if (b[3] < 2 || b[3] > 4 || b[4] == 0xFF)
        return h;
    for (int i = 6; i < 10; ++i)
        if (b[i] & 0x80)
            return h;
    const qint64 size = qint64(b[6]) << 21 | qint64(b[7]) << 14 | qint64(b[8]) << 7 | qint64(b[9]);
    const bool footer = h.majorVersion == 4 && (h.flags & 0x10);
    h.completeSize = 10 + size + (footer ? 10 : 0);
    h.valid = true;
    return h;
}

TrailerScan scanTrailers(qint64 fileSize, const QByteArray& tail, const ByteReader& read)
{
    TrailerScan s;
    qint64 end = fileSize;
    if (fileSize >= kTrailerBytes && matches(fileSize, tail, read, fileSize - kTrailerBytes, "TAG")) {
        s.flags |= TagType::ID3v1;
        s.id3v1 = { fileSize - kTrailerBytes, fileSize };
        end = fileSize - kTrailerBytes;
    }

    qint64 beforeLyrics = end;
    if (matches(fileSize, tail, read, end - 9, "LYRICS200")) {
        s.flags |= TagType::Lyrics3v2;
        unsigned char digits[6];
        if (fetch(fileSize, tail, read, end - 15, 6, digits)) {
            bool ok = true;
            qint64 size = 0;
            for (unsigned char d : digits) {
                ok = ok && d >= '0' && d <= '9';
                size = size * 10 + (d - '0');
            }
            const qint64 start = end - 15 - size;
            if (ok && start >= 0 && matches(fileSize, tail, read, start, "LYRICSBEGIN")) {
                s.lyrics3 = { start, end };
                beforeLyrics = start;
            }
        }
    } else if (matches(fileSize, tail, read, end - 9, "LYRICSEND")) {
        s.flags |= TagType::Lyrics3;
        const qint64 from = qMax<qint64>(0, end - kLyrics3MaxBytes);
        QByteArray block(int(end - from), '\0');
        if (fetch(fileSize, tail, read, from, int(block.size()), reinterpret_cast<unsigned char*>(block.data()))) {
            const qsizetype at = block.lastIndexOf("LYRICSBEGIN");
            if (at >= 0) {
                s.lyrics3 = { from + at, end };
                beforeLyrics = from + at;
            }
        }
    }

    for (qint64 mmEnd : { end, beforeLyrics }) {
        if (mmEnd >= 48 && matches(fileSize, tail, read, mmEnd - 48, kMusicMatchFooter)) {
            s.flags |= TagType::MusicMatch;
            s.musicMatch = musicMatchEndingAt(fileSize, tail, read, mmEnd);
            break;
        }
    }
    return s;
}

bool readFully(int fd, qint64 offset, int count, unsigned char* out)
{
    int done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, out + done, size_t(count - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += int(n);
    }
    return true;
}
