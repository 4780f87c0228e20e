#include "mpegframe.h"

int MpegFrame::sideInfoBytes() const
{
    if (version == Mpeg1)
        return mono() ? 17 : 32;
    return mono() ? 9 : 17;
}

int mpegBitRate(MpegFrame::Version version, int layer, int index)
{
    static const int v1[3][15] = {
        { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448 },
        { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384 },
        { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 },
    };
    static const int v2l1[15] = { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256 };
    static const int v2l23[15] = { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 };
    if (index <= 0 || index >= 15 || layer < 1 || layer > 3 || version == MpegFrame::Reserved)
        return 0;
    if (version == MpegFrame::Mpeg1)
        return v1[layer - 1][index];
    return layer == 1 ? v2l1[index] : v2l23[index];
}

int mpegSampleRate(MpegFrame::Version version, int index)
{
    static const int rates[3][3] = { { 44100, 48000, 32000 }, { 22050, 24000, 16000 }, { 11025, 12000, 8000 } };
    if (index < 0 || index >= 3 || version == MpegFrame::Reserved)
        return 0;
    return rates[version][index];
}

bool decodeMpegFrame(const unsigned char h[4], MpegFrame* out)
{
    if (!isMpegSync(h))
        return false;
    MpegFrame f;
    switch (h[1] & 0x18) { // version bits
    case 0x18:
        f.version = MpegFrame::Mpeg1;
        break;
    case 0x10:
        f.version = MpegFrame::Mpeg2;
        break;
    case 0x00:
        f.version = MpegFrame::Mpeg25;
        break;
    default:
        f.version = MpegFrame::Reserved;
        break;
    }
    const int layerBits = (h[1] >> 1) & 3; // 3 -> I, 2 -> II, 1 -> III, 0 reserved
    f.layer = layerBits == 0 ? 0 : 4 - layerBits;
    f.crc = (h[1] & 0x01) == 0;
    f.bitRate = mpegBitRate(f.version, f.layer, h[2] >> 4);
    f.sampleRate = mpegSampleRate(f.version, (h[2] >> 2) & 3);
    f.padding = (h[2] >> 1) & 1;
    f.privateBit = h[2] & 1;
    f.channelMode = MpegFrame::ChannelMode(h[3] >> 6);
    f.modeExtension = (h[3] >> 4) & 3;
    f.copyright = (h[3] & 0x08) != 0;
    f.original = (h[3] & 0x04) != 0;
    f.emphasis = MpegFrame::Emphasis(h[3] & 0x03);
    const bool usable = f.version != MpegFrame::Reserved && f.layer != 0 && f.bitRate != 0 && f.sampleRate != 0;
    if (usable) {
        const bool lowRates = f.version != MpegFrame::Mpeg1;
        if (f.layer == 1) {
            f.samples = 384;
            f.frameLength = (12 * f.bitRate * 1000 / f.sampleRate + f.padding) * 4;
        } else if (f.layer == 3 && lowRates) {
            f.samples = 576; // half the samples, so half the bytes per frame
            f.frameLength = 72 * f.bitRate * 1000 / f.sampleRate + f.padding;
        } else {
            f.samples = 1152;
            f.frameLength = 144 * f.bitRate * 1000 / f.sampleRate + f.padding;
        }
    }
    *out = f;
    return usable;
}

MpegFrameWalk walkMpegFrames(const unsigned char* bytes, qint64 size, const MpegFrame& like, bool resync)
{
    MpegFrameWalk walk;
    qint64 pos = 0;
    MpegFrame f;
    if (resync) {
        for (;; ++pos) {
            if (pos + 4 > size) {
                walk.broken = true;
                return walk;
            }
            MpegFrame next;
            if (bytes[pos] == 0xFF && decodeMpegFrame(bytes + pos, &f) && f.sameStream(like)
                && pos + f.frameLength + 4 <= size && decodeMpegFrame(bytes + pos + f.frameLength, &next)
                && next.sameStream(like))
                break;
        }
    }
    while (pos + 4 <= size) {
        if (!decodeMpegFrame(bytes + pos, &f) || !f.sameStream(like)) {
            walk.broken = true;
            break;
        }
        if (pos + f.frameLength > size)
            break;
        walk.bytes += f.frameLength;
        walk.samples += f.samples;
        ++walk.frames;
        walk.mixedBitRates = walk.mixedBitRates || f.bitRate != like.bitRate;
        pos += f.frameLength;
    }
    walk.end = pos;
    return walk;
}
