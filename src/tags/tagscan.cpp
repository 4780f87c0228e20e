#include "tagscan.h"

#include "tags/id3v1trailer.h"
#include "tags/tagtypes.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kLyrics3MaxBytes = 5100 + 11 + 9; // text + LYRICSBEGIN + LYRICSEND
constexpr int kLyrics3v2EndBytes = 6 + 9; // six size digits + LYRICS200
constexpr int kApeFooterBytes = 32; // also the size of its optional header
constexpr quint32 kApeHasHeader = 0x80000000u;
constexpr int kMusicMatchFooterBytes = 48;
constexpr char kMusicMatchFooter[] = "Brava Software Inc.             "; // 32 bytes
constexpr char kMusicMatchSync[] = "18273645";

// The bytes of the file that the scan may look at: [floor, fileSize).
struct ScanBytes {
    qint64 fileSize;
    const QByteArray& tail;
    const ByteReader& read;
    qint64 floor;

    // Reads [offset, offset + count) from tail when it is there, else through read.
    bool fetch(qint64 offset, int count, unsigned char* out) const
    {
        if (offset < floor || count < 0 || offset + count > fileSize)
            return false;
        const qint64 tailStart = fileSize - tail.size();
        if (offset >= tailStart) {
            std::memcpy(out, tail.constData() + (offset - tailStart), size_t(count));
            return true;
        }
        return read && read(offset, count, out);
    }

    QByteArray bytes(qint64 offset, int count) const
    {
        QByteArray out(count, Qt::Uninitialized);
        return fetch(offset, count, reinterpret_cast<unsigned char*>(out.data())) ? out : QByteArray();
    }

    // Signatures are at most 32 bytes long.
    bool matches(qint64 offset, const char* text) const
    {
        const int n = int(std::strlen(text));
        unsigned char buf[32];
        return n <= 32 && fetch(offset, n, buf) && std::memcmp(buf, text, size_t(n)) == 0;
    }
};

quint32 le32(const unsigned char* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// An APE tag whose 32-byte footer ends at end. Its size counts the items
// and the footer, not the header.
ByteRange apeEndingAt(const ScanBytes& file, qint64 end)
{
    unsigned char footer[kApeFooterBytes];
    if (!file.fetch(end - kApeFooterBytes, kApeFooterBytes, footer))
        return {};
    const qint64 size = le32(footer + 12);
    const bool header = le32(footer + 20) & kApeHasHeader;
    const qint64 total = size + (header ? kApeFooterBytes : 0);
    if (size < kApeFooterBytes || end - total < file.floor)
        return {};
    return { end - total, end };
}

// A Lyrics3 v2 block ending at end: six digits give the size from
// LYRICSBEGIN up to them.
ByteRange lyrics3v2EndingAt(const ScanBytes& file, qint64 end)
{
    unsigned char digits[6];
    if (!file.fetch(end - kLyrics3v2EndBytes, 6, digits))
        return {};
    qint64 size = 0;
    for (unsigned char d : digits) {
        if (d < '0' || d > '9')
            return {};
        size = size * 10 + (d - '0');
    }
    const qint64 start = end - kLyrics3v2EndBytes - size;
    if (start >= file.floor && file.matches(start, "LYRICSBEGIN"))
        return { start, end };
    return {};
}

// A Lyrics3 v1 block ending at end: its start is the last LYRICSBEGIN in
// the longest stretch such a block can take.
ByteRange lyrics3v1EndingAt(const ScanBytes& file, qint64 end)
{
    const qint64 from = qMax(file.floor, end - kLyrics3MaxBytes);
    const QByteArray block = file.bytes(from, int(end - from));
    const qsizetype at = block.lastIndexOf("LYRICSBEGIN");
    if (at < 0)
        return {};
    return { from + at, end };
}

// A MusicMatch tag whose 48-byte footer ends at end: sized from its data
// offsets and the version section's sync text.
ByteRange musicMatchEndingAt(const ScanBytes& file, qint64 end)
{
    const qint64 footer = end - kMusicMatchFooterBytes;
    unsigned char version[4];
    unsigned char offsets[20];
    if (!file.fetch(footer + 32, 4, version) || !file.fetch(footer - 20, 20, offsets))
        return {};
    const double v = QByteArray(reinterpret_cast<const char*>(version), 4).toDouble();
    const qint64 imageExt = le32(offsets);
    const qint64 versionOffset = le32(offsets + 12);
    if (versionOffset < imageExt)
        return {};
    const qint64 imageBytes = versionOffset - imageExt;
    qint64 metadata = 0;
    if (v > 3.0) {
        for (qint64 candidate : { 7936, 8004, 8132 }) {
            if (file.matches(footer - 20 - candidate - 256, kMusicMatchSync)) {
                metadata = candidate;
                break;
            }
        }
    } else {
        metadata = 7868;
    }
    // The version section, 256 bytes before the metadata, starts with the sync text.
    if (metadata == 0 || !file.matches(footer - 20 - metadata - 256, kMusicMatchSync))
        return {};
    qint64 start = end - (kMusicMatchFooterBytes + 20 + metadata + 256 + imageBytes);
    if (start < file.floor)
        return {};
    if (file.matches(start - 256, kMusicMatchSync))
        start -= 256; // the optional header
    return { start, end };
}

} // namespace

TrailerScan scanTrailers(qint64 fileSize, const QByteArray& tail, const ByteReader& read, qint64 floor)
{
    const ScanBytes file { fileSize, tail, read, qMax<qint64>(0, floor) };
    TrailerScan s;
    qint64 end = fileSize;
    // Each pass takes one block off the end; a kind seen once is not looked for again.
    for (bool peeled = true; peeled;) {
        peeled = false;
        ByteRange found;
        int flag = 0;
        ByteRange* slot = nullptr;
        if (!s.id3v1.found() && hasId3v1Trailer(end, file.bytes(end - kId3v1TrailerBytes, int(kId3v1TrailerBytes)))) {
            found = { end - kId3v1TrailerBytes, end };
            flag = TagType::ID3v1;
            slot = &s.id3v1;
        } else if (!s.ape.found() && file.matches(end - kApeFooterBytes, "APETAGEX")) {
            found = apeEndingAt(file, end);
            slot = &s.ape;
        } else if (!s.lyrics3.found() && file.matches(end - 9, "LYRICS200")) {
            found = lyrics3v2EndingAt(file, end);
            flag = TagType::Lyrics3v2;
            slot = &s.lyrics3;
        } else if (!s.lyrics3.found() && file.matches(end - 9, "LYRICSEND")) {
            found = lyrics3v1EndingAt(file, end);
            flag = TagType::Lyrics3;
            slot = &s.lyrics3;
        } else if (!s.musicMatch.found() && file.matches(end - kMusicMatchFooterBytes, kMusicMatchFooter)) {
            found = musicMatchEndingAt(file, end);
            flag = TagType::MusicMatch;
            slot = &s.musicMatch;
        }
        if (!slot)
            break;
        s.flags |= flag;
        if (!found.found())
            break; // damaged: what lies before it cannot be told from audio
        *slot = found;
        end = found.start;
        peeled = true;
    }
    s.start = end;
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
