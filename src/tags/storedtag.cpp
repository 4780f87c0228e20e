#include "storedtag.h"

namespace {

quint32 be32(const unsigned char* p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

quint32 syncsafe32(const unsigned char* p)
{
    return quint32(p[0] & 0x7F) << 21 | quint32(p[1] & 0x7F) << 14 | quint32(p[2] & 0x7F) << 7 | quint32(p[3] & 0x7F);
}

QByteArray syncsafeBytes(quint32 v)
{
    QByteArray out(4, '\0');
    out[0] = char((v >> 21) & 0x7F);
    out[1] = char((v >> 14) & 0x7F);
    out[2] = char((v >> 7) & 0x7F);
    out[3] = char(v & 0x7F);
    return out;
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
bool plausibleNext(const QByteArray& body, qint64 pos, int idLength)
{
    if (pos == body.size())
        return true;
    if (pos > body.size())
        return false;
    const auto* b = reinterpret_cast<const unsigned char*>(body.constData());
    if (b[pos] == 0)
        return true;
    if (pos + idLength > body.size())
        return false;
    for (int i = 0; i < idLength; ++i)
        if (!isIdChar(b[pos + i]))
            return false;
    return true;
}

// Inflates zlib data of (about) expected bytes; empty on failure.
QByteArray inflated(const QByteArray& data, quint32 expected)
{
    if (data.isEmpty())
        return QByteArray();
    const quint32 hint = expected > 0 && expected < (64u << 20) ? expected : quint32(data.size()) * 4;
    return qUncompress(be32Bytes(hint) + data);
}

void readContent(StoredFrame& f, int version, bool tagUnsynchronised, int headerBytes)
{
    QByteArray data = f.bytes.mid(headerBytes);
    if (version == 2) {
        f.content = data;
        return;
    }
    const unsigned char format = f.flags & 0xFF;
    qint64 skip = 0;
    quint32 expected = 0;
    bool compressed = false;
    bool encrypted = false;
    bool unsynchronised = tagUnsynchronised && version == 4;
    if (version == 3) {
        compressed = format & 0x80;
        encrypted = format & 0x40;
        if (compressed) {
            if (data.size() >= 4)
                expected = be32(reinterpret_cast<const unsigned char*>(data.constData()));
            skip += 4;
        }
        skip += (encrypted ? 1 : 0) + ((format & 0x20) ? 1 : 0);
    } else {
        compressed = format & 0x08;
        encrypted = format & 0x04;
        unsynchronised = unsynchronised || (format & 0x02);
        skip += ((format & 0x40) ? 1 : 0) + (encrypted ? 1 : 0);
        if (format & 0x01) {
            if (data.size() >= skip + 4)
                expected = syncsafe32(reinterpret_cast<const unsigned char*>(data.constData() + skip));
            skip += 4;
        }
    }
    if (encrypted || skip > data.size()) {
        f.readable = false;
        return;
    }
    data = data.mid(skip);
    if (unsynchronised)
        data = resynchronised(data);
    if (compressed) {
        data = inflated(data, expected);
        if (data.isEmpty()) {
            f.readable = false;
            return;
        }
    }
    f.content = data;
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

bool readStoredTag(const QByteArray& bytes, StoredTag* out)
{
    *out = StoredTag();
    const auto* h = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (bytes.size() < 10 || !bytes.startsWith("ID3") || h[3] < 2 || h[3] > 4 || h[4] == 0xFF
        || ((h[6] | h[7] | h[8] | h[9]) & 0x80))
        return false;
    out->version = h[3];
    out->flags = h[5];
    const qint64 bodySize = syncsafe32(h + 6);
    const bool footer = out->version == 4 && (out->flags & 0x10);
    out->size = 10 + bodySize + (footer ? 10 : 0);
    if (bytes.size() < 10 + bodySize)
        out->damage = QStringLiteral("The tag runs past the end of the file.");
    if (out->version == 2 && (out->flags & 0x40)) {
        out->damage = QStringLiteral("The tag is compressed.");
        return true;
    }

    const bool tagUnsynchronised = out->flags & 0x80;
    QByteArray body = bytes.mid(10, bodySize);
    const bool wholeTagUnsynchronised = tagUnsynchronised && out->version < 4;
    if (wholeTagUnsynchronised)
        body = resynchronised(body);
    const auto* b = reinterpret_cast<const unsigned char*>(body.constData());

    qint64 pos = 0;
    if (out->version >= 3 && (out->flags & 0x40)) {
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
    while (pos < body.size() && b[pos] != 0) {
        if (pos + headerBytes > body.size())
            break; // a few bytes of junk: no frame
        const unsigned char* p = b + pos;
        StoredFrame f;
        f.id = body.mid(pos, idLength);
        qint64 size = 0;
        if (out->version == 2) {
            size = qint64(p[3]) << 16 | qint64(p[4]) << 8 | p[5];
        } else if (out->version == 3) {
            size = be32(p + 4);
        } else {
            // Some writers put plain sizes into 2.4 frames.
            const qint64 plain = be32(p + 4);
            size = syncsafe32(p + 4);
            if (((p[4] | p[5] | p[6] | p[7]) & 0x80)
                || (size != plain && !plausibleNext(body, pos + headerBytes + size, idLength)
                    && plausibleNext(body, pos + headerBytes + plain, idLength)))
                size = plain;
        }
        if (out->version >= 3)
            f.flags = quint16(p[8] << 8 | p[9]);
        if (size > body.size() - pos - headerBytes) {
            out->damage = QStringLiteral("Frame %1 runs past the end of the tag.")
                              .arg(QString::fromLatin1(f.id.toPercentEncoding()));
            break;
        }
        f.bytes = body.mid(pos, headerBytes + size);
        readContent(f, out->version, tagUnsynchronised, headerBytes);
        out->frames.append(f);
        pos += headerBytes + size;
    }
    out->framesEnd = wholeTagUnsynchronised ? 0 : 10 + pos;
    return true;
}

QByteArray renderFrame(
    int version, const QByteArray& id, quint16 statusFlags, const QByteArray& data, bool unsynchronise)
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
        format |= 0x02;
    }
    QByteArray out = id.left(4);
    out += version == 4 ? syncsafeBytes(quint32(body.size())) : be32Bytes(quint32(body.size()));
    out += char(statusFlags >> 8);
    out += char(format);
    return out + body;
}

QByteArray renderTag(
    int version, int headerFlags, const QByteArray& frames, qint64 roomSize, bool footer, qint64 newPadding)
{
    footer = footer && version == 4;
    int flags = headerFlags & (version == 4 ? 0xA0 : version == 3 ? 0x20 : 0x00);
    if (footer)
        flags |= 0x10;
    qint64 padding = 0;
    if (!footer)
        padding = 10 + frames.size() <= roomSize ? roomSize - 10 - frames.size() : newPadding;
    const qint64 bodySize = frames.size() + padding;
    if (bodySize > 0x0FFFFFFF)
        return QByteArray();
    QByteArray header("ID3", 3);
    header += char(version);
    header += '\0';
    header += char(flags);
    header += syncsafeBytes(quint32(bodySize));
    QByteArray out = header + frames + QByteArray(padding, '\0');
    if (footer) {
        header[0] = '3';
        header[1] = 'D';
        header[2] = 'I';
        out += header;
    }
    return out;
}
