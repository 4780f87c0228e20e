#include "imageheader.h"

namespace {

quint32 bigEndian(QByteArrayView d, qsizetype at, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | uchar(d[at + i]);
    return v;
}

quint32 littleEndian(QByteArrayView d, qsizetype at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | uchar(d[at + i]);
    return v;
}

void readPng(QByteArrayView d, ImageHeader* h)
{
    // The IHDR chunk comes first: length, "IHDR", width, height, bit depth, colour type.
    if (d.size() < 8 + 8 + 13 || d.sliced(12, 4) != "IHDR")
        return;
    h->width = int(bigEndian(d, 16, 4));
    h->height = int(bigEndian(d, 20, 4));
    const int bits = uchar(d[24]);
    switch (uchar(d[25])) {
    case 0: // grey
        h->depth = bits;
        break;
    case 2: // RGB
        h->depth = bits * 3;
        break;
    case 3: // palette: its entries are 8-bit RGB whatever the index width
        h->depth = 24;
        break;
    case 4: // grey and alpha
        h->depth = bits * 2;
        break;
    case 6: // RGB and alpha
        h->depth = bits * 4;
        break;
    default:
        break;
    }
}

void readJpeg(QByteArrayView d, ImageHeader* h)
{
    qsizetype at = 2;
    while (at + 4 <= d.size()) {
        if (uchar(d[at]) != 0xFF)
            return;
        const uchar marker = uchar(d[at + 1]);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // no length follows
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) // end of image, start of scan: no frame header came
            return;
        const qsizetype length = bigEndian(d, at + 2, 2);
        // SOF0 to SOF15, less DHT (C4), JPG (C8) and DAC (CC).
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8 || at + 2 + 8 > d.size())
                return;
            h->height = int(bigEndian(d, at + 5, 2));
            h->width = int(bigEndian(d, at + 7, 2));
            h->depth = uchar(d[at + 4]) * uchar(d[at + 9]);
            h->jpegFrame = marker;
            return;
        }
        if (length < 2)
            return;
        at += 2 + length;
    }
}

void readGif(QByteArrayView d, ImageHeader* h)
{
    if (d.size() < 10)
        return;
    h->width = int(littleEndian(d, 6, 2));
    h->height = int(littleEndian(d, 8, 2));
    h->depth = 24; // colour table entries are 8-bit RGB
}

void readBmp(QByteArrayView d, ImageHeader* h)
{
    if (d.size() < 14 + 12)
        return;
    const quint32 infoSize = littleEndian(d, 14, 4);
    if (infoSize == 12) { // the old OS/2 header: 16-bit sizes
        h->width = int(littleEndian(d, 18, 2));
        h->height = int(littleEndian(d, 20, 2));
        h->depth = int(littleEndian(d, 24, 2));
        return;
    }
    if (infoSize < 40 || d.size() < 14 + 16)
        return;
    h->width = qAbs(qint32(littleEndian(d, 18, 4)));
    h->height = qAbs(qint32(littleEndian(d, 22, 4))); // negative: rows stored top down
    h->depth = int(littleEndian(d, 28, 2));
}

} // namespace

ImageHeader readImageHeader(QByteArrayView data)
{
    ImageHeader h;
    if (data.startsWith("\x89PNG\r\n\x1A\n")) {
        h.mimeType = QStringLiteral("image/png");
        readPng(data, &h);
    } else if (data.size() >= 3 && uchar(data[0]) == 0xFF && uchar(data[1]) == 0xD8 && uchar(data[2]) == 0xFF) {
        h.mimeType = QStringLiteral("image/jpeg");
        readJpeg(data, &h);
    } else if (data.startsWith("GIF87a") || data.startsWith("GIF89a")) {
        h.mimeType = QStringLiteral("image/gif");
        readGif(data, &h);
    } else if (data.startsWith("BM") && data.size() >= 14) {
        h.mimeType = QStringLiteral("image/bmp");
        readBmp(data, &h);
    }
    return h;
}
