#include "audiodata.h"

#include "tags/regularfile.h"
#include "tags/tagscan.h"

#include <QCryptographicHash>
#include <QHash>
#include <QList>
#include <QtEndian>

#include <array>
#include <cerrno>
#include <limits>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kChunk = 256 * 1024;

FileError damaged(const QString& why)
{
    return { ErrorNo::Internal, QStringLiteral("The file is damaged: %1.").arg(why) };
}

// Reads a file forward in chunks, with random access for headers.
class Reader {
public:
    explicit Reader(int fd, qint64 size)
        : m_fd(fd)
        , m_size(size)
    {
    }
    qint64 size() const { return m_size; }
    // Exactly count bytes at pos; false at the end of the file or on an error.
    bool read(qint64 pos, char* out, qint64 count) const
    {
        if (pos < 0 || count < 0 || pos + count > m_size || count > std::numeric_limits<int>::max())
            return false;
        return readFully(m_fd, pos, int(count), reinterpret_cast<unsigned char*>(out));
    }
    QByteArray bytes(qint64 pos, qint64 count) const
    {
        QByteArray b(count, Qt::Uninitialized);
        return read(pos, b.data(), count) ? b : QByteArray();
    }
    // Feeds [pos, pos + count) to hash.
    bool hashRange(qint64 pos, qint64 count, QCryptographicHash& hash) const
    {
        QByteArray buf(int(qMin<qint64>(kChunk, qMax<qint64>(count, 1))), Qt::Uninitialized);
        for (qint64 done = 0; done < count;) {
            const qint64 n = qMin<qint64>(buf.size(), count - done);
            if (!read(pos + done, buf.data(), n))
                return false;
            hash.addData(QByteArrayView(buf.constData(), n));
            done += n;
        }
        return true;
    }

    // The whole file, read-only and read ahead, unmapped with the reader;
    // null when it cannot be mapped.
    const uchar* map() const
    {
        if (!m_map && m_size > 0) {
            void* m = ::mmap(nullptr, size_t(m_size), PROT_READ, MAP_PRIVATE, m_fd, 0);
            if (m == MAP_FAILED)
                return nullptr;
            ::madvise(m, size_t(m_size), MADV_SEQUENTIAL);
            m_map = static_cast<const uchar*>(m);
        }
        return m_map;
    }
    ~Reader()
    {
        if (m_map)
            ::munmap(const_cast<uchar*>(m_map), size_t(m_size));
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

private:
    int m_fd;
    qint64 m_size;
    mutable const uchar* m_map = nullptr;
};

void addNumber(QCryptographicHash& hash, qint64 v)
{
    char b[8];
    qToBigEndian<qint64>(v, b);
    hash.addData(QByteArrayView(b, 8));
}

qint64 id3v2Size(const Reader& r)
{
    const QByteArray h = r.bytes(0, 10);
    if (h.size() != 10 || !h.startsWith("ID3"))
        return 0;
    const auto b = reinterpret_cast<const unsigned char*>(h.constData());
    const qint64 body = (qint64(b[6] & 0x7F) << 21) | ((b[7] & 0x7F) << 14) | ((b[8] & 0x7F) << 7) | (b[9] & 0x7F);
    return 10 + body + ((b[5] & 0x10) ? 10 : 0);
}

// --- FLAC ---------------------------------------------------------------

// The length of the frame header at p (through its CRC-8) when it is one:
// its fields are in range and its CRC-8 holds; 0 otherwise.
int flacHeaderLength(const uchar* p, qint64 avail)
{
    if (avail < 6 || p[0] != 0xFF || (p[1] & 0xFE) != 0xF8)
        return 0;
    const int blockCode = p[2] >> 4, rateCode = p[2] & 0x0F, channels = p[3] >> 4, bits = (p[3] >> 1) & 0x07;
    if (blockCode == 0 || rateCode == 15 || channels > 10 || bits == 3 || (p[3] & 1))
        return 0;
    // The frame or sample number, coded as UTF-8 is (up to 7 bytes).
    int n = 4;
    int extra = 0;
    if (p[n] >= 0xFE)
        extra = p[n] == 0xFE ? 6 : -1;
    else if (p[n] >= 0xFC)
        extra = 5;
    else if (p[n] >= 0xF8)
        extra = 4;
    else if (p[n] >= 0xF0)
        extra = 3;
    else if (p[n] >= 0xE0)
        extra = 2;
    else if (p[n] >= 0xC0)
        extra = 1;
    else if (p[n] >= 0x80)
        extra = -1;
    if (extra < 0)
        return 0;
    n += 1 + extra;
    n += blockCode == 6 ? 1 : blockCode == 7 ? 2 : 0;
    n += rateCode == 12 ? 1 : (rateCode == 13 || rateCode == 14) ? 2 : 0;
    if (n >= avail)
        return 0;
    uchar crc = 0;
    for (int i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int b = 0; b < 8; ++b)
            crc = uchar((crc & 0x80) ? (crc << 1) ^ 0x07 : crc << 1);
    }
    return crc == p[n] ? n + 1 : 0;
}

const std::array<quint16, 256>& flacCrc16Table()
{
    static const std::array<quint16, 256> table = [] {
        std::array<quint16, 256> t {};
        for (int i = 0; i < 256; ++i) {
            quint16 c = quint16(i << 8);
            for (int b = 0; b < 8; ++b)
                c = quint16((c & 0x8000) ? (c << 1) ^ 0x8005 : c << 1);
            t[size_t(i)] = c;
        }
        return t;
    }();
    return table;
}

// Whether p[0, n) is whole FLAC frames, each ending in its CRC-16: a frame
// ends where a valid header starts (or the data end) and the checksum of
// the bytes before holds. A stream cut short or with a changed byte fails.
bool flacFramesSound(const uchar* p, qint64 n)
{
    const auto& table = flacCrc16Table();
    qint64 start = 0;
    while (start < n) {
        const int header = flacHeaderLength(p + start, n - start);
        if (header == 0)
            return false;
        quint16 crc = 0;
        qint64 summed = start; // bytes [start, summed) are in crc
        qint64 next = start + header + 2;
        bool ended = false;
        while (!ended) {
            // The next place a header could start, or the end of the data.
            while (next < n && !(p[next] == 0xFF && next + 1 < n && (p[next + 1] & 0xFE) == 0xF8))
                ++next;
            if (next < n && flacHeaderLength(p + next, n - next) == 0) {
                ++next;
                continue;
            }
            for (; summed < next - 2; ++summed)
                crc = quint16((crc << 8) ^ table[((crc >> 8) ^ p[summed]) & 0xFF]);
            ended = crc == quint16((p[next - 2] << 8) | p[next - 1]);
            if (!ended && next >= n)
                return false;
            if (!ended)
                ++next;
        }
        start = next;
    }
    return true;
}

FileError flacDigest(const Reader& r, AudioDigest* out)
{
    qint64 pos = id3v2Size(r);
    if (pos > 0) {
        out->front = r.bytes(0, pos);
        if (out->front.isEmpty())
            return damaged(QStringLiteral("the ID3v2 tag before the FLAC stream runs past the end of the file"));
    }
    if (r.bytes(pos, 4) != "fLaC")
        return damaged(QStringLiteral("no FLAC stream marker"));
    pos += 4;
    QCryptographicHash blocks(QCryptographicHash::Sha256);
    for (bool last = false; !last;) {
        const QByteArray h = r.bytes(pos, 4);
        if (h.size() != 4)
            return damaged(QStringLiteral("a metadata block header is cut off"));
        const auto b = reinterpret_cast<const unsigned char*>(h.constData());
        last = b[0] & 0x80;
        const int type = b[0] & 0x7F;
        const qint64 length = (qint64(b[1]) << 16) | (b[2] << 8) | b[3];
        if (type == 127 || pos + 4 + length > r.size())
            return damaged(QStringLiteral("a metadata block runs past the end of the file"));
        // The comment, pictures and padding are the tag's; the rest belongs to the stream.
        if (type != 1 && type != 4 && type != 6) {
            addNumber(blocks, type);
            addNumber(blocks, length);
            if (!r.hashRange(pos + 4, length, blocks))
                return damaged(QStringLiteral("a metadata block cannot be read"));
        }
        pos += 4 + length;
    }
    const QByteArray sync = r.bytes(pos, 2);
    if (sync.size() != 2 || uchar(sync[0]) != 0xFF || (uchar(sync[1]) & 0xFE) != 0xF8)
        return damaged(QStringLiteral("no FLAC frame follows the metadata"));
    QCryptographicHash audio(QCryptographicHash::Sha256);
    if (!r.hashRange(pos, r.size() - pos, audio))
        return fileErrorFromErrno(errno ? errno : EIO);
    // An ID3v1 trailer some programs add after the frames is not audio.
    qint64 end = r.size();
    if (end - pos > 128 && r.bytes(end - 128, 3) == "TAG")
        end -= 128;
    const uchar* mapped = r.map();
    if (!mapped)
        return fileErrorFromErrno(errno ? errno : EIO);
    if (!flacFramesSound(mapped + pos, end - pos))
        return damaged(QStringLiteral("a FLAC frame is cut off or fails its checksum"));
    out->audio = audio.result();
    out->blocks = blocks.result();
    out->audioBytes = r.size() - pos;
    return {};
}

// --- Ogg ----------------------------------------------------------------

std::array<quint32, 256> makeOggCrcTable()
{
    std::array<quint32, 256> t {};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i << 24;
        for (int k = 0; k < 8; ++k)
            c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
        t[i] = c;
    }
    return t;
}

quint32 oggCrc(const QByteArray& page)
{
    static const std::array<quint32, 256> table = makeOggCrcTable();
    quint32 crc = 0;
    for (int i = 0; i < page.size(); ++i) {
        // The checksum field itself counts as zeros.
        const uchar b = (i >= 22 && i < 26) ? 0 : uchar(page[i]);
        crc = (crc << 8) ^ table[((crc >> 24) ^ b) & 0xFF];
    }
    return crc;
}

struct OggStream {
    QCryptographicHash* hash = nullptr;
    qint64 packets = 0; // packets completed
    qint64 pending = 0; // bytes of the packet under way
    bool ended = false;
};

FileError oggDigest(const Reader& r, int headerPackets, AudioDigest* out)
{
    QHash<quint32, OggStream> streams;
    QList<quint32> order;
    std::vector<std::unique_ptr<QCryptographicHash>> hashes;
    qint64 audioBytes = 0;
    qint64 pos = 0;
    while (pos < r.size()) {
        const QByteArray head = r.bytes(pos, 27);
        if (head.size() != 27)
            return damaged(QStringLiteral("an Ogg page header is cut off"));
        if (!head.startsWith("OggS") || head[4] != 0)
            return damaged(QStringLiteral("no Ogg page where one should start"));
        const int segments = uchar(head[26]);
        const QByteArray lacing = r.bytes(pos + 27, segments);
        if (lacing.size() != segments)
            return damaged(QStringLiteral("an Ogg page header is cut off"));
        qint64 body = 0;
        for (char l : lacing)
            body += uchar(l);
        // The page is small (64 KiB at most): read it whole to check its sum.
        const QByteArray page = r.bytes(pos, 27 + segments + body);
        if (page.isEmpty())
            return damaged(QStringLiteral("an Ogg page is cut off"));
        if (oggCrc(page) != qFromLittleEndian<quint32>(page.constData() + 22))
            return damaged(QStringLiteral("an Ogg page fails its checksum"));
        const quint32 serial = qFromLittleEndian<quint32>(page.constData() + 14);
        const qint64 granule = qFromLittleEndian<qint64>(page.constData() + 6);
        const bool first = order.isEmpty() || order.first() == serial;
        if (!streams.contains(serial)) {
            hashes.push_back(std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256));
            streams[serial].hash = hashes.back().get();
            order << serial;
        }
        OggStream& s = streams[serial];
        if (s.ended)
            return damaged(QStringLiteral("an Ogg stream goes on after its last page"));
        qint64 at = 27 + segments;
        bool completed = false;
        for (char l : lacing) {
            const int n = uchar(l);
            // The first stream's comment packet is the tag.
            const bool isTag = first && s.packets == 1;
            if (!isTag) {
                s.hash->addData(QByteArrayView(page.constData() + at, n));
                if (s.packets >= headerPackets || !first)
                    audioBytes += n;
            }
            s.pending += n;
            at += n;
            if (n < 255) {
                if (!isTag)
                    addNumber(*s.hash, s.pending);
                s.pending = 0;
                ++s.packets;
                completed = true;
            }
        }
        // Granules after the headers: the header pages are laid out anew on a save.
        if (completed && (s.packets > headerPackets || !first)) {
            addNumber(*s.hash, granule);
        }
        s.ended = head[5] & 0x04;
        pos += page.size();
    }
    if (order.isEmpty())
        return damaged(QStringLiteral("no Ogg page"));
    QCryptographicHash all(QCryptographicHash::Sha256);
    for (quint32 serial : order) {
        const OggStream& s = streams[serial];
        if (!s.ended || s.pending != 0)
            return damaged(QStringLiteral("an Ogg stream ends without its last page"));
        addNumber(all, serial);
        all.addData(s.hash->result());
    }
    if (streams[order.first()].packets <= headerPackets)
        return damaged(QStringLiteral("the Ogg stream holds no audio"));
    out->audio = all.result();
    out->audioBytes = audioBytes;
    return {};
}

// --- MP4 ----------------------------------------------------------------

struct Box {
    qint64 start = 0; // the box's first byte
    qint64 body = 0; // its payload's first byte
    qint64 end = 0; // one past its last byte
    QByteArray type;
};

// The box at pos, which must end by limit; false when it does not fit.
bool readBox(const Reader& r, qint64 pos, qint64 limit, Box* box)
{
    const QByteArray h = r.bytes(pos, 8);
    if (h.size() != 8)
        return false;
    qint64 size = qFromBigEndian<quint32>(h.constData());
    box->type = h.mid(4, 4);
    box->start = pos;
    box->body = pos + 8;
    if (size == 1) {
        const QByteArray large = r.bytes(pos + 8, 8);
        if (large.size() != 8)
            return false;
        size = qFromBigEndian<qint64>(large.constData());
        box->body = pos + 16;
    } else if (size == 0) {
        size = limit - pos; // up to the end
    }
    box->end = pos + size;
    return size >= box->body - pos && box->end <= limit;
}

QList<Box> children(const Reader& r, qint64 from, qint64 to, bool* ok)
{
    QList<Box> list;
    for (qint64 pos = from; pos + 8 <= to;) {
        Box b;
        if (!readBox(r, pos, to, &b)) {
            *ok = false;
            return list;
        }
        list << b;
        pos = b.end;
    }
    return list;
}

const Box* findBox(const QList<Box>& boxes, const char* type)
{
    for (const Box& b : boxes)
        if (b.type == type)
            return &b;
    return nullptr;
}

// The item keys of moov/udta/meta/ilst, named as TagLib names them.
QStringList ilstNames(const Reader& r, const Box& moov, bool* ok)
{
    QStringList names;
    const Box* udta = findBox(children(r, moov.body, moov.end, ok), "udta");
    if (!udta)
        return names;
    const Box* meta = findBox(children(r, udta->body, udta->end, ok), "meta");
    if (!meta)
        return names;
    // meta is a full box: version and flags first.
    const Box* ilst = findBox(children(r, meta->body + 4, meta->end, ok), "ilst");
    if (!ilst)
        return names;
    for (const Box& item : children(r, ilst->body, ilst->end, ok)) {
        if (item.type != "----") {
            names << QString::fromLatin1(item.type);
            continue;
        }
        QString mean, name;
        for (const Box& part : children(r, item.body, item.end, ok)) {
            // mean and name are full boxes holding text.
            if (part.type == "mean")
                mean = QString::fromUtf8(r.bytes(part.body + 4, part.end - part.body - 4));
            else if (part.type == "name")
                name = QString::fromUtf8(r.bytes(part.body + 4, part.end - part.body - 4));
        }
        names << QStringLiteral("----:") + mean + QLatin1Char(':') + name;
    }
    return names;
}

// Where an offset into the file points: the top-level box it falls in (its
// type and its number among boxes of that type) and its place in that box,
// which a tag that grows before the box must not change.
void addDataOffset(QCryptographicHash& hash, const QList<Box>& top, qint64 offset)
{
    QHash<QByteArray, int> seen;
    for (const Box& b : top) {
        const int number = seen[b.type]++;
        if (offset >= b.start && offset < b.end) {
            hash.addData(b.type);
            addNumber(hash, number);
            addNumber(hash, offset - b.start);
            return;
        }
    }
    addNumber(hash, -1); // outside the file: already wrong, and it must stay so
    addNumber(hash, offset);
}

// The chunk offsets of stco and co64 boxes under box (tracks, media,
// sample tables), each as addDataOffset gives it.
bool hashChunkOffsets(const Reader& r, const Box& box, const QList<Box>& top, QCryptographicHash& hash, int depth)
{
    bool ok = true;
    for (const Box& b : children(r, box.body, box.end, &ok)) {
        if (b.type == "trak" || b.type == "mdia" || b.type == "minf" || b.type == "stbl") {
            if (depth < 4 && !hashChunkOffsets(r, b, top, hash, depth + 1))
                return false;
            continue;
        }
        if (b.type != "stco" && b.type != "co64")
            continue;
        const int width = b.type == "stco" ? 4 : 8;
        const QByteArray head = r.bytes(b.body, 8); // version, flags, entry count
        if (head.size() != 8)
            return false;
        const qint64 count = qFromBigEndian<quint32>(head.constData() + 4);
        if (b.body + 8 + count * width > b.end)
            return false;
        constexpr qint64 kEntries = 16384;
        for (qint64 done = 0; done < count;) {
            const qint64 n = qMin(kEntries, count - done);
            const QByteArray entries = r.bytes(b.body + 8 + done * width, n * width);
            if (entries.size() != n * width)
                return false;
            for (qint64 i = 0; i < n; ++i) {
                const char* e = entries.constData() + i * width;
                addDataOffset(hash, top, width == 4 ? qint64(qFromBigEndian<quint32>(e)) : qFromBigEndian<qint64>(e));
            }
            done += n;
        }
    }
    return ok;
}

// The base data offsets of the track fragments of a moof box.
bool hashFragmentOffsets(const Reader& r, const Box& moof, const QList<Box>& top, QCryptographicHash& hash)
{
    bool ok = true;
    for (const Box& traf : children(r, moof.body, moof.end, &ok)) {
        if (traf.type != "traf")
            continue;
        for (const Box& tfhd : children(r, traf.body, traf.end, &ok)) {
            if (tfhd.type != "tfhd")
                continue;
            const QByteArray h = r.bytes(tfhd.body, 16); // version, flags, track ID, base data offset
            if (h.size() >= 4 && (uchar(h[3]) & 0x01)) {
                if (h.size() != 16)
                    return false;
                addDataOffset(hash, top, qFromBigEndian<qint64>(h.constData() + 8));
            }
        }
    }
    return ok;
}

FileError mp4Digest(const Reader& r, AudioDigest* out)
{
    bool ok = true;
    const QList<Box> top = children(r, 0, r.size(), &ok);
    if (!ok)
        return damaged(QStringLiteral("an MP4 box runs past the end of the file"));
    const Box* moov = findBox(top, "moov");
    if (!moov)
        return damaged(QStringLiteral("the MP4 file has no movie box"));
    QCryptographicHash audio(QCryptographicHash::Sha256);
    qint64 bytes = 0;
    for (const Box& b : top) {
        if (b.type != "mdat")
            continue;
        addNumber(audio, b.end - b.body);
        if (!r.hashRange(b.body, b.end - b.body, audio))
            return fileErrorFromErrno(errno ? errno : EIO);
        bytes += b.end - b.body;
    }
    if (bytes == 0)
        return damaged(QStringLiteral("the MP4 file holds no media data"));
    // The tables that say where the samples are must still point at them.
    bool offsetsRead = hashChunkOffsets(r, *moov, top, audio, 0);
    for (const Box& b : top)
        if (b.type == "moof")
            offsetsRead = offsetsRead && hashFragmentOffsets(r, b, top, audio);
    if (!offsetsRead)
        return damaged(QStringLiteral("an MP4 sample table runs past its box"));
    out->itemNames = ilstNames(r, *moov, &ok);
    if (!ok)
        return damaged(QStringLiteral("an MP4 item box runs past its parent"));
    out->audio = audio.result();
    out->audioBytes = bytes;
    return {};
}

} // namespace

FileError readAudioDigest(const QString& path, AudioFormat format, AudioDigest* out)
{
    struct stat st { };
    const int fd = openRegularFile(path, &st);
    if (fd < 0)
        return fileErrorFromErrno(errno);
    const Reader r(fd, st.st_size);
    *out = AudioDigest();
    FileError e;
    switch (format) {
    case AudioFormat::Flac:
        e = flacDigest(r, out);
        break;
    case AudioFormat::OggVorbis:
        e = oggDigest(r, 3, out);
        break;
    case AudioFormat::Opus:
        e = oggDigest(r, 2, out);
        break;
    case AudioFormat::Mp4:
        e = mp4Digest(r, out);
        break;
    case AudioFormat::Mp3:
        e = { ErrorNo::WrongType, QStringLiteral("MP3 audio is checked by the MP3 tag code.") };
        break;
    }
    ::close(fd);
    return e;
}
