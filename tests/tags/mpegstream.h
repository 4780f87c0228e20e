#pragma once

#include <QByteArray>

// MPEG Layer III audio made from scratch for the tag tests, in each of the
// three versions, with or without the 16-bit CRC after every header. Each
// frame's body is a byte pattern of its own (never 0xFF, so no false sync),
// so that audio that is cut, moved or overwritten is noticed.
namespace MpegStream {

enum class Version { Mpeg1, Mpeg2, Mpeg25 };

struct Kind {
    const char* name;
    Version version;
    bool crc;
};

// Every kind the tests cover.
inline constexpr Kind kKinds[] = {
    { "mpeg1", Version::Mpeg1, false },
    { "mpeg1_crc", Version::Mpeg1, true },
    { "mpeg2", Version::Mpeg2, false },
    { "mpeg2_crc", Version::Mpeg2, true },
    { "mpeg25", Version::Mpeg25, false },
    { "mpeg25_crc", Version::Mpeg25, true },
};

// MPEG-1: 128 kbit/s at 44.1 kHz, 144 * 128000 / 44100 bytes a frame.
// MPEG-2: 64 kbit/s at 24 kHz, 72 * 64000 / 24000. MPEG-2.5: 32 kbit/s at
// 8 kHz, 72 * 32000 / 8000. No padding bit.
inline int frameBytes(Version v)
{
    return v == Version::Mpeg1 ? 417 : v == Version::Mpeg2 ? 192 : 288;
}

// The four header bytes: sync, version bits (11, 10, 00), Layer III (01),
// protection bit (0 when a CRC follows); bit-rate and sample-rate indexes;
// joint stereo, original.
inline QByteArray header(Version v, bool crc)
{
    const int versionBits = v == Version::Mpeg1 ? 3 : v == Version::Mpeg2 ? 2 : 0;
    QByteArray h(4, '\0');
    h[0] = char(0xFF);
    h[1] = char(0xE0 | versionBits << 3 | 0x02 | (crc ? 0 : 1));
    h[2] = char(v == Version::Mpeg1 ? 0x90 : v == Version::Mpeg2 ? 0x84 : 0x48);
    h[3] = char(0x64);
    return h;
}

inline QByteArray frames(Version v, bool crc, int count)
{
    const int length = frameBytes(v);
    QByteArray out;
    out.reserve(count * length);
    for (int n = 0; n < count; ++n) {
        QByteArray frame = header(v, crc);
        for (int i = 4; i < length; ++i)
            frame += char((i * 7 + 3 + n * 13) & 0x7F);
        out += frame;
    }
    return out;
}

inline QByteArray frames(const Kind& kind, int count)
{
    return frames(kind.version, kind.crc, count);
}

} // namespace MpegStream
