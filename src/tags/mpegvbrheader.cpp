#include "mpegvbrheader.h"

namespace {

qint64 bigEndian32(const QByteArray& b, qsizetype at)
{
    if (at < 0 || at + 4 > b.size())
        return -1;
    const auto* u = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return qint64(u[0]) << 24 | qint64(u[1]) << 16 | qint64(u[2]) << 8 | qint64(u[3]);
}

bool readXing(const QByteArray& b, qsizetype at, MpegVbrHeader* out)
{
    const QByteArray id = b.mid(at, 4);
    if (id != "Xing" && id != "Info")
        return false;
    const qint64 flags = bigEndian32(b, at + 4);
    if (flags < 0)
        return false;
    MpegVbrHeader h;
    h.kind = id == "Xing" ? MpegVbrHeader::Xing : MpegVbrHeader::Info;
    qsizetype pos = at + 8;
    if (flags & 1) {
        h.frames = bigEndian32(b, pos);
        pos += 4;
    }
    if (flags & 2) {
        h.bytes = bigEndian32(b, pos);
        pos += 4;
    }
    if (flags & 4)
        pos += 100; // seek table
    if (flags & 8)
        pos += 4; // quality
    // The LAME tag (also written by other encoders in the same layout)
    // holds the encoder's delay and padding in 12 bits each.
    const QByteArray encoder = b.mid(pos, 4);
    if (pos + 24 <= b.size() && (encoder == "LAME" || encoder == "Lavc" || encoder == "Lavf" || encoder == "L3.9")) {
        const auto* u = reinterpret_cast<const unsigned char*>(b.constData() + pos + 21);
        h.encoderDelay = (u[0] << 4) | (u[1] >> 4);
        h.encoderPadding = ((u[1] & 0x0F) << 8) | u[2];
    }
    *out = h;
    return true;
}

} // namespace

MpegVbrHeader readMpegVbrHeader(const QByteArray& frameBytes, const MpegFrame& frame, bool crc)
{
    MpegVbrHeader h;
    if (frame.layer == 3) {
        // After the side information; some encoders count the CRC in front of it.
        const qsizetype at = 4 + frame.sideInfoBytes();
        if (readXing(frameBytes, at, &h) || (crc && readXing(frameBytes, at + 2, &h)))
            return h;
    }
    if (frameBytes.mid(4 + 32, 4) == "VBRI") {
        h.kind = MpegVbrHeader::Vbri;
        h.bytes = bigEndian32(frameBytes, 36 + 10);
        h.frames = bigEndian32(frameBytes, 36 + 14);
    }
    return h;
}
