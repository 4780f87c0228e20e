#include "storedtag.h"

#include "tags/id3v2header.h"

#include <zlib.h>

namespace {

quint32 be32(const unsigned char* p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

QByteArray be32Bytes(quint32 v)
{
    QByteArray out(4, '\0');
    out[0] = char(v >> 24);
    out[1] = char(v >> 16);
    out[2] = char(v >> 8);
    out[3] = char(v);
    return out;
}

bool isIdChar(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// What follows a frame that ends at pos looks like the end of the frames.
bool plausibleNext(QByteArrayView body, qint64 pos, int idLength)
{
    if (pos == body.size())
        return true;
    if (pos > body.size())
        return false;
    const auto* b = reinterpret_cast<const unsigned char*>(body.data());
    if (b[pos] == 0)
        return true;
    if (pos + idLength > body.size())
        return false;
    for (int i = 0; i < idLength; ++i)
        if (!isIdChar(b[pos + i]))
            return false;
    return true;
}

// The frames from pos on walk cleanly with 2.4 sizes read as syncsafe or
// as plain numbers: each frame has an ID of letters and digits and fits,
// and the walk ends exactly at the end of the body or where nothing but
// padding (zero bytes) follows.
bool framesWalk(QByteArrayView body, qint64 pos, FrameSizes sizes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(body.data());
    constexpr int kHeaderBytes = 10;
    while (pos < body.size() && b[pos] != 0) {
        if (pos + kHeaderBytes > body.size())
            return false;
        const unsigned char* p = b + pos;
        for (int i = 0; i < 4; ++i)
            if (!isIdChar(p[i]))
                return false;
        if (sizes == FrameSizes::Syncsafe && ((p[4] | p[5] | p[6] | p[7]) & 0x80))
            return false;
        const qint64 size = sizes == FrameSizes::Syncsafe ? qint64(syncsafe32(p + 4)) : qint64(be32(p + 4));
        if (size > body.size() - pos - kHeaderBytes)
            return false;
        pos += kHeaderBytes + size;
    }
    for (; pos < body.size(); ++pos)
        if (b[pos] != 0)
            return false;
    return true;
}

// Inflates zlib data into at most kMaxInflatedBytes; empty when the data
// does not inflate completely or would inflate past that. The size the
// frame declares only sizes the first buffer: a hostile frame may declare
// anything.
QByteArray inflated(QByteArrayView data, quint32 declared)
{
    if (data.isEmpty())
        return QByteArray();
    constexpr qint64 kFirstBuffer = 64 * 1024;
    const qint64 hint = declared > 0 ? qint64(declared) : data.size() * 4;
    QByteArray out(int(qBound<qint64>(1024, hint, kFirstBuffer)), Qt::Uninitialized);
    z_stream zs {};
    if (inflateInit(&zs) != Z_OK)
        return QByteArray();
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = uInt(data.size());
    int result = Z_OK;
    while (result == Z_OK) {
        if (qint64(zs.total_out) == out.size()) {
            // One byte more than the limit tells data that would go past it.
            if (out.size() > kMaxInflatedBytes)
                break;
            out.resize(int(qMin<qint64>(qint64(out.size()) * 2, kMaxInflatedBytes + 1)));
        }
        zs.next_out = reinterpret_cast<Bytef*>(out.data() + zs.total_out);
        zs.avail_out = uInt(out.size() - qint64(zs.total_out));
        result = inflate(&zs, Z_NO_FLUSH);
    }
    const qint64 produced = qint64(zs.total_out);
    inflateEnd(&zs);
    if (result != Z_STREAM_END || produced > kMaxInflatedBytes)
        return QByteArray();
    out.truncate(int(produced));
    return out;
}

void readContent(StoredFrame& f, int version, bool tagUnsynchronised, int headerBytes, QList<QByteArray>& decoded)
{
    QByteArrayView data = f.bytes.sliced(headerBytes);
    if (version == 2) {
        f.content = data;
        return;
    }
    const unsigned char format = f.flags & 0xFF;
    qint64 skip = 0;
    quint32 declared = 0;
    bool compressed = false;
    bool encrypted = false;
    bool unsynchronised = tagUnsynchronised && version == 4;
    const auto* d = reinterpret_cast<const unsigned char*>(data.data());
    if (version == 3) {
        compressed = format & Id3v23FrameFlag::Compression;
        encrypted = format & Id3v23FrameFlag::Encryption;
        if (compressed) {
            if (data.size() >= 4)
                declared = be32(d);
            skip += 4;
        }
        skip += (encrypted ? 1 : 0) + ((format & Id3v23FrameFlag::Grouping) ? 1 : 0);
    } else {
        compressed = format & Id3v24FrameFlag::Compression;
        encrypted = format & Id3v24FrameFlag::Encryption;
        unsynchronised = unsynchronised || (format & Id3v24FrameFlag::Unsynchronisation);
        skip += ((format & Id3v24FrameFlag::Grouping) ? 1 : 0) + (encrypted ? 1 : 0);
        if (format & Id3v24FrameFlag::DataLengthIndicator) {
            if (data.size() >= skip + 4)
                declared = syncsafe32(d + skip);
            skip += 4;
        }
    }
    if (encrypted || skip > data.size()) {
        f.readable = false;
        return;
    }
    data = data.sliced(skip);
    QByteArray plain;
    if (unsynchronised)
        plain = resynchronised(data.toByteArray());
    if (compressed) {
        plain = inflated(unsynchronised ? QByteArrayView(plain) : data, declared);
        if (plain.isEmpty()) {
            f.readable = false;
            return;
        }
    }
    if (unsynchronised || compressed) {
        decoded.append(plain);
        f.content = decoded.last();
    } else {
        f.content = data;
    }
}

} // namespace

QByteArray resynchronised(const QByteArray& bytes)
{
    if (!bytes.contains('\xFF'))
        return bytes;
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (uchar(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0')
            ++i;
    }
    return out;
}

QByteArray unsynchronised(const QByteArray& bytes)
{
    if (!bytes.contains('\xFF'))
        return bytes;
    QByteArray out;
    out.reserve(bytes.size() + 16);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (uchar(bytes[i]) != 0xFF)
            continue;
        if (i + 1 == bytes.size() || bytes[i + 1] == '\0' || uchar(bytes[i + 1]) >= 0xE0)
            out += '\0';
    }
    return out;
}

namespace {

bool walkStoredTag(const QByteArray& bytes, StoredTag* out, bool keepFrames)
{
    *out = StoredTag();
    out->source = bytes;
    const Id3v2Header header = readId3v2Header(bytes);
    if (!header.valid)
        return false;
    out->version = header.version;
    out->flags = header.flags;
    out->size = header.completeSize;
    const qint64 bodySize = header.bodySize;
    if (bytes.size() < kId3v2HeaderBytes + bodySize)
        out->damage = QStringLiteral("The tag runs past the end of the file.");
    if (out->version == 2 && (out->flags & Id3v2Flag::Compression)) {
        out->damage = QStringLiteral("The tag is compressed.");
        return true;
    }

    const bool tagUnsynchronised = out->flags & Id3v2Flag::Unsynchronisation;
    const bool wholeTagUnsynchronised = tagUnsynchronised && out->version < 4;
    // The body is looked at in place; only a tag unsynchronised as a whole
    // needs a copy.
    QByteArrayView body(out->source.constData() + kId3v2HeaderBytes,
        qMin<qint64>(bodySize, qMax<qint64>(0, bytes.size() - kId3v2HeaderBytes)));
    if (wholeTagUnsynchronised) {
        out->resynced = resynchronised(body.toByteArray());
        body = out->resynced;
    }
    const auto* b = reinterpret_cast<const unsigned char*>(body.data());

    qint64 pos = 0;
    if (out->version >= 3 && (out->flags & Id3v2Flag::ExtendedHeader)) {
        if (body.size() < 4) {
            out->damage = QStringLiteral("The extended header is cut off.");
            return true;
        }
        pos = out->version == 3 ? 4 + qint64(be32(b)) : qint64(syncsafe32(b));
        if (pos < 4 || pos > body.size()) {
            out->damage = QStringLiteral("The extended header has a wrong size.");
            return true;
        }
    }

    const int idLength = out->version == 2 ? 3 : 4;
    const int headerBytes = out->version == 2 ? 6 : 10;
    // Some writers put plain sizes into 2.4 frames. A tag whose frames walk
    // cleanly only with plain sizes is read with plain sizes throughout; a
    // tag that walks cleanly neither way is read frame by frame, each size
    // read the way after which a frame or the end follows.
    bool sizesPerFrame = false;
    if (out->version == 4 && !framesWalk(body, pos, FrameSizes::Syncsafe)) {
        if (framesWalk(body, pos, FrameSizes::Plain))
            out->frameSizes = FrameSizes::Plain;
        else
            sizesPerFrame = true;
    }
    while (pos < body.size() && b[pos] != 0) {
        if (pos + headerBytes > body.size())
            break; // a few bytes of junk: no frame
        const unsigned char* p = b + pos;
        StoredFrame f;
        f.id = body.sliced(pos, idLength).toByteArray();
        qint64 size = 0;
        if (out->version == 2) {
            size = qint64(p[3]) << 16 | qint64(p[4]) << 8 | p[5];
        } else if (out->version == 3) {
            size = be32(p + 4);
        } else if (out->frameSizes == FrameSizes::Plain) {
            size = be32(p + 4);
        } else {
            const qint64 plain = be32(p + 4);
            size = syncsafe32(p + 4);
            if (sizesPerFrame
                && (((p[4] | p[5] | p[6] | p[7]) & 0x80)
                    || (size != plain && !plausibleNext(body, pos + headerBytes + size, idLength)
                        && plausibleNext(body, pos + headerBytes + plain, idLength))))
                size = plain;
        }
        if (out->version >= 3)
            f.flags = quint16(p[8] << 8 | p[9]);
        if (size > body.size() - pos - headerBytes) {
            out->damage = QStringLiteral("Frame %1 runs past the end of the tag.")
                              .arg(QString::fromLatin1(f.id.toPercentEncoding()));
            break;
        }
        if (keepFrames) {
            f.bytes = body.sliced(pos, headerBytes + size);
            readContent(f, out->version, tagUnsynchronised, headerBytes, out->decoded);
            out->frames.append(f);
        }
        pos += headerBytes + size;
    }
    out->framesEnd = wholeTagUnsynchronised ? 0 : kId3v2HeaderBytes + pos;
    return true;
}

} // namespace

bool readStoredTag(const QByteArray& bytes, StoredTag* out)
{
    return walkStoredTag(bytes, out, true);
}

bool readStoredTagLayout(const QByteArray& bytes, StoredTag* out)
{
    return walkStoredTag(bytes, out, false);
}

QByteArray renderFrame(int version, const QByteArray& id, quint16 statusFlags, const QByteArray& data,
    bool unsynchronise, FrameSizes sizes)
{
    if (version == 2) {
        QByteArray out = id.left(3);
        const quint32 n = quint32(data.size());
        out += char(n >> 16);
        out += char(n >> 8);
        out += char(n);
        return out + data;
    }
    QByteArray body = data;
    unsigned char format = 0;
    if (version == 4 && unsynchronise && body.contains('\xFF')) {
        body = unsynchronised(body);
        format |= Id3v24FrameFlag::Unsynchronisation;
    }
    QByteArray out = id.left(4);
    out += version == 4 && sizes == FrameSizes::Syncsafe ? syncsafeBytes(quint32(body.size()))
                                                         : be32Bytes(quint32(body.size()));
    out += char(statusFlags >> 8);
    out += char(format);
    return out + body;
}

QByteArray renderTag(
    int version, int headerFlags, const QByteArray& frames, qint64 roomSize, bool footer, qint64 newPadding)
{
    return renderTag(version, headerFlags, QList<QByteArrayView> { frames }, roomSize, footer, newPadding);
}

QByteArray renderTag(
    int version, int headerFlags, const QList<QByteArrayView>& frames, qint64 roomSize, bool footer, qint64 newPadding)
{
    TagPieces tag;
    return renderTagPieces(version, headerFlags, frames, roomSize, footer, &tag, newPadding) ? tag.joined()
                                                                                             : QByteArray();
}

bool renderTagPieces(int version, int headerFlags, const QList<QByteArrayView>& frames, qint64 roomSize, bool footer,
    TagPieces* out, qint64 newPadding)
{
    *out = TagPieces();
    footer = footer && version == 4;
    const int kept = version == 4 ? Id3v2Flag::Unsynchronisation | Id3v2Flag::Experimental
        : version == 3            ? Id3v2Flag::Experimental
                                  : 0;
    int flags = headerFlags & kept;
    if (footer)
        flags |= Id3v2Flag::Footer;
    qint64 framesSize = 0;
    for (QByteArrayView f : frames)
        framesSize += f.size();
    qint64 padding = 0;
    if (!footer)
        padding = kId3v2HeaderBytes + framesSize <= roomSize ? roomSize - kId3v2HeaderBytes - framesSize : newPadding;
    const qint64 bodySize = framesSize + padding;
    if (bodySize > kMaxSyncsafe)
        return false;
    out->header = QByteArray("ID3", 3);
    out->header += char(version);
    out->header += '\0';
    out->header += char(flags);
    out->header += syncsafeBytes(quint32(bodySize));
    out->pieces << out->header;
    for (QByteArrayView f : frames)
        if (!f.isEmpty())
            out->pieces << f;
    // Padding as views of one block of zeros, however much there is.
    static const QByteArray zeros(64 * 1024, '\0');
    for (qint64 left = padding; left > 0; left -= zeros.size())
        out->pieces << QByteArrayView(zeros).first(qMin<qint64>(left, zeros.size()));
    if (footer) {
        out->footer = out->header;
        out->footer.replace(0, 3, "3DI");
        out->pieces << out->footer;
    }
    return true;
}

qint64 TagPieces::size() const
{
    qint64 n = 0;
    for (QByteArrayView p : pieces)
        n += p.size();
    return n;
}

QByteArray TagPieces::joined() const
{
    QByteArray out;
    out.reserve(size());
    for (QByteArrayView p : pieces)
        out += p;
    return out;
}

bool TagPieces::spell(QByteArrayView bytes) const
{
    if (size() != bytes.size())
        return false;
    qint64 at = 0;
    for (QByteArrayView p : pieces) {
        // A frame kept in place is a view of these very bytes.
        if (p.data() != bytes.data() + at && p != bytes.sliced(at, p.size()))
            return false;
        at += p.size();
    }
    return true;
}
