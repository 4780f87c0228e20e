#include "mpegheader.h"

#include "tags/tagscan.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int bitRateKbps(unsigned char byte3, const QString& version, const QString& layer)
{
    static const int v1l1[] = { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448 };
    static const int v1l2[] = { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384 };
    static const int v1l3[] = { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 };
    static const int v2l1[] = { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256 };
    static const int v2l23[] = { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 };
    const int index = byte3 >> 4;
    if (index == 0 || index == 15)
        return 0;
    if (version == QLatin1String("1.0")) {
        if (layer == QLatin1String("1"))
            return v1l1[index];
        if (layer == QLatin1String("2"))
            return v1l2[index];
        return v1l3[index];
    }
    return layer == QLatin1String("1") ? v2l1[index] : v2l23[index];
}


} // namespace

QString BitRateFor(unsigned char byte3, const QString& mpegVersion, const QString& layer)
{
    const int kbps = bitRateKbps(byte3, mpegVersion, layer);
    return kbps > 0 ? QString::number(kbps) : QStringLiteral("NA");
}

bool DecodeFrameHeader(const unsigned char h[4], MpegAudioFacts& f)
{
    f.ValidHeader = true;
    switch (h[1] & 0x18) {
    case 0x18:
        f.MPEGVersion = QStringLiteral("1.0");
        break;
    case 0x10:
        f.MPEGVersion = QStringLiteral("2.0");
        break;
    case 0x00:
        f.MPEGVersion = QStringLiteral("2.5");
        break;
    default:
        f.MPEGVersion = QStringLiteral("-1");
        f.ValidHeader = false;
        break;
    }
    switch (h[1] & 0x06) {
    case 0x06:
        f.Layer = QStringLiteral("1");
        break;
    case 0x04:
        f.Layer = QStringLiteral("2");
        break;
    case 0x02:
        f.Layer = QStringLiteral("3");
        break;
    default:
        f.Layer = QStringLiteral("0");
        f.ValidHeader = false;
        return false;
    }
    f.Protection = (h[1] & 0x01) == 0;
    f.BitRate = BitRateFor(h[2], f.MPEGVersion, f.Layer);

    static const char* const rates[3][3]
        = { { "44100", "48000", "32000" }, { "22050", "24000", "16000" }, { "11025", "12000", "8000" } };
    const int rateIndex = (h[2] & 0x0C) >> 2;
    if (rateIndex == 3) {
        f.SampleRate = QStringLiteral("0");
        f.ValidHeader = false;
        return false;
    }
    const int row = f.MPEGVersion == QLatin1String("2.0") ? 1 : f.MPEGVersion == QLatin1String("2.5") ? 2 : 0;
    static const double frequencies[3][3] = { { 44100, 48000, 32000 }, { 22050, 24000, 16000 }, { 11025, 12000, 8000 } };
    f.SampleRate = QLatin1String(rates[row][rateIndex]);
    f.Padding = (h[2] >> 1) & 1;
    f.PrivateBit = h[2] & 1;
    switch (h[3] & 0xC0) {
    case 0xC0:
        f.ChannelMode = QStringLiteral("Mono");
        break;
    case 0x80:
        f.ChannelMode = QStringLiteral("Dual Channel");
        break;
    case 0x40:
        f.ChannelMode = QStringLiteral("Joint Stereo");
        break;
    default:
        f.ChannelMode = QStringLiteral("Stereo");
        break;
    }
    const int ext = (h[3] & 0x30) >> 4;
    static const char* const extensions[] = { "00", "01", "10", "11" };
    f.ModeExtension = QLatin1String(extensions[ext]);
    f.CopyRight = (h[3] & 0x08) != 0;
    f.Original = (h[3] & 0x04) != 0;
    static const char* const emphasis[] = { "None", "50/15 ms", "Reserved", "CCIT J.17" };
    f.Emphasis = QLatin1String(emphasis[h[3] & 0x03]);
    f.Frequency = frequencies[row][rateIndex]; // SampleRate as a number
    f.Duration = 0;
    if (f.BitRate == QLatin1String("NA")) { // BitRateFor gives digits or "NA"
        f.ValidHeader = false;
        return false;
    }
    const int kbps = f.BitRate.toInt();
    f.Duration = double(f.FileSize) / (kbps * 125.0) - 1;
    if (f.Layer == QLatin1String("1"))
        f.FrameLength = int((12.0 * kbps * 1000 / f.Frequency + f.Padding) * 4);
    else
        f.FrameLength = int(144.0 * kbps * 1000 / f.Frequency + f.Padding);
    return f.ValidHeader;
}

qint64 FindFirstFrame(const QByteArray& head, const ByteReader& read, MpegAudioFacts& facts)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(head.constData());
    const qint64 size = qMin<qint64>(head.size(), kHeaderScanBytes);
    // Candidates are FF FA / FF FB pairs inside the scanned bytes; memchr
    // finds the next FF (tag text rarely holds one).
    for (qint64 p = 0; p + 1 < size;) {
        const void* ff = std::memchr(bytes + p, 0xFF, size_t(size - 1 - p));
        if (!ff)
            break;
        p = static_cast<const unsigned char*>(ff) - bytes; // 0-based position of the 0xFF
        const unsigned char b = bytes[p + 1];
        if (b == 0xFA || b == 0xFB) {
            unsigned char header[4] = { 0xFF, b, 0, 0 };
            bool haveHeader = true;
            if (p + 4 <= size)
                std::copy(bytes + p, bytes + p + 4, header);
            else
                haveHeader = read && read(p, 4, header);
            if (haveHeader && DecodeFrameHeader(header, facts)) {
                unsigned char next[4];
                const qint64 q = p + facts.FrameLength;
                bool haveNext;
                if (q + 4 <= head.size()) {
                    std::copy(bytes + q, bytes + q + 4, next);
                    haveNext = true;
                } else {
                    haveNext = read && read(q, 4, next);
                }
                if (haveNext && next[0] == 0xFF && (next[1] & 0xE0) == 0xE0)
                    return p + 1;
            }
        }
        ++p;
    }
    return -2;
}

QString ReadHeader(MpegAudioFacts& facts, const QByteArray& head, qint64 fileSize, const ByteReader& read)
{
    facts = MpegAudioFacts();
    facts.FileSize = fileSize;
    facts.HeaderPosition = FindFirstFrame(head, read, facts);
    if (facts.HeaderPosition < 0)
        return QStringLiteral("-2");
    facts.TotalFrames = facts.FrameLength > 0 ? facts.FileSize / facts.FrameLength : 0;
    return QString();
}

QString ReadHeader(MpegAudioFacts& facts, const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st { };
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        if (fd >= 0)
            ::close(fd);
        facts = MpegAudioFacts();
        return QStringLiteral("-2");
    }
    QByteArray head(int(qMin<qint64>(st.st_size, kHeaderScanBytes)), Qt::Uninitialized);
    if (!ReadFully(fd, 0, int(head.size()), reinterpret_cast<unsigned char*>(head.data())))
        head.clear();
    const QString result = ReadHeader(facts, head, st.st_size,
        [fd](qint64 offset, int count, unsigned char* out) { return ReadFully(fd, offset, count, out); });
    ::close(fd);
    return result;
}
