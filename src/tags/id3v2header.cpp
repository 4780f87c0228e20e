#include "id3v2header.h"

#include <cstring>

Id3v2Header readId3v2Header(const unsigned char* b, qint64 count)
{
    Id3v2Header h;
    if (count < kId3v2HeaderBytes || std::memcmp(b, "ID3", 3) != 0)
        return h;
    h.present = true;
    h.version = b[3];
    h.revision = b[4];
    h.flags = b[5];
    if (h.version < 2 || h.version > 4 || h.revision == 0xFF || ((b[6] | b[7] | b[8] | b[9]) & 0x80))
        return h;
    h.valid = true;
    h.bodySize = syncsafe32(b + 6);
    h.footer = h.version == 4 && (h.flags & Id3v2Flag::Footer);
    h.completeSize = kId3v2HeaderBytes + h.bodySize + (h.footer ? kId3v2FooterBytes : 0);
    return h;
}

Id3v2Header readId3v2Header(const QByteArray& bytes)
{
    return readId3v2Header(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
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
