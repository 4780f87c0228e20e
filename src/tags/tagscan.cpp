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

Id3v2Header ParseId3v2Header(const QByteArray& head)
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

TrailerScan ScanTrailers(qint64 fileSize, const QByteArray& tail, const ByteReader& read)
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

bool ReadFully(int fd, qint64 offset, int count, unsigned char* out)
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

namespace {

quint32 be32(const unsigned char* p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

QByteArray v23Name(const QByteArray& v22)
{
    if (v22 == "TCO")
        return "TCON";
    if (v22 == "TXX")
        return "TXXX";
    return v22;
}

// Splits off one string in encoding enc; *rest gets what follows its terminator.
QString takeString(const QByteArray& bytes, int enc, QByteArray* rest)
{
    const bool wide = enc == 1 || enc == 2;
    qsizetype end = -1;
    if (wide) {
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            if (bytes[i] == '\0' && bytes[i + 1] == '\0') {
                end = i;
                break;
            }
    } else {
        end = bytes.indexOf('\0');
    }
    const QByteArray s = end < 0 ? bytes : bytes.left(end);
    if (rest)
        *rest = end < 0 ? QByteArray() : bytes.mid(end + (wide ? 2 : 1));
    switch (enc) {
    case 0:
        return QString::fromLatin1(s);
    case 3:
        return QString::fromUtf8(s);
    default: {
        bool littleEndian = false;
        qsizetype from = 0;
        if (enc == 1 && s.size() >= 2) {
            if (uchar(s[0]) == 0xFF && uchar(s[1]) == 0xFE) {
                littleEndian = true;
                from = 2;
            } else if (uchar(s[0]) == 0xFE && uchar(s[1]) == 0xFF) {
                from = 2;
            }
        }
        QString out;
        for (qsizetype i = from; i + 1 < s.size(); i += 2) {
            const ushort hi = uchar(s[littleEndian ? i + 1 : i]);
            const ushort lo = uchar(s[littleEndian ? i : i + 1]);
            out += QChar(ushort(hi << 8 | lo));
        }
        return out;
    }
    }
}

} // namespace

bool ScanRawFrames(const QByteArray& tag, QList<RawFrame>* out)
{
    out->clear();
    const Id3v2Header h = ParseId3v2Header(tag);
    if (!h.valid || (h.flags & 0x80) || (h.flags & 0x40))
        return false;
    const qint64 end = qMin<qint64>(tag.size(), h.completeSize - ((h.majorVersion == 4 && (h.flags & 0x10)) ? 10 : 0));
    const auto* b = reinterpret_cast<const unsigned char*>(tag.constData());
    const int headerBytes = h.majorVersion == 2 ? 6 : 10;
    qint64 pos = 10;
    while (pos + headerBytes <= end && b[pos] != 0) {
        RawFrame f;
        qint64 size;
        if (h.majorVersion == 2) {
            f.id = v23Name(tag.mid(pos, 3));
            size = qint64(b[pos + 3]) << 16 | qint64(b[pos + 4]) << 8 | b[pos + 5];
        } else {
            f.id = QByteArray::fromRawData(tag.constData() + pos, 4);
            size = h.majorVersion == 4 ? (qint64(b[pos + 4] & 0x7F) << 21 | qint64(b[pos + 5] & 0x7F) << 14
                       | qint64(b[pos + 6] & 0x7F) << 7 | (b[pos + 7] & 0x7F))
                                       : qint64(be32(b + pos + 4));
            const unsigned char format = b[pos + 9];
            f.usable = h.majorVersion == 4 ? (format & 0x0F) == 0 : (format & 0xE0) == 0;
        }
        if (size < 0 || pos + headerBytes + size > end)
            break;
        f.body = QByteArray::fromRawData(tag.constData() + pos + headerBytes, qsizetype(size));
        f.stored = QByteArray::fromRawData(tag.constData() + pos, qsizetype(headerBytes + size));
        out->append(f);
        pos += headerBytes + size;
    }
    return true;
}

QByteArray InsertFrames(const QByteArray& tag, const QByteArray& frames)
{
    QList<RawFrame> raw;
    const Id3v2Header h = ParseId3v2Header(tag);
    if (frames.isEmpty() || !ScanRawFrames(tag, &raw))
        return tag;
    qint64 end = 10;
    for (const RawFrame& f : raw)
        end += f.stored.size();
    const qint64 bodyEnd = h.completeSize - ((h.majorVersion == 4 && (h.flags & 0x10)) ? 10 : 0);
    const qint64 padding = bodyEnd - end;
    const qint64 keptPadding = qMax<qint64>(0, padding - frames.size());
    QByteArray out = tag.left(int(end)) + frames + QByteArray(int(keptPadding), '\0') + tag.mid(int(bodyEnd));
    const qint64 size = out.size() - 10 - (tag.size() - bodyEnd);
    out[6] = char((size >> 21) & 0x7F);
    out[7] = char((size >> 14) & 0x7F);
    out[8] = char((size >> 7) & 0x7F);
    out[9] = char(size & 0x7F);
    return out;
}

bool DecodeTextBody(const QByteArray& body, bool hasDescription, QString* description, QString* text)
{
    if (body.isEmpty() || uchar(body[0]) > 3)
        return false;
    const int enc = body[0];
    QByteArray rest = body.mid(1);
    if (hasDescription) {
        const QString d = takeString(rest, enc, &rest);
        if (description)
            *description = d;
    }
    const QString t = takeString(rest, enc, nullptr);
    if (text)
        *text = t;
    return true;
}
