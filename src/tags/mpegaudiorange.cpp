#include "mpegaudiorange.h"

#include <cstring>

QByteArray FileBytes::span(qint64 offset, qint64 maxCount) const
{
    if (offset < 0 || offset >= m_size || maxCount <= 0)
        return QByteArray();
    const qint64 end = qMin(m_size, offset + maxCount);
    if (offset < m_head.size())
        return QByteArray::fromRawData(m_head.constData() + offset, int(qMin<qint64>(end, m_head.size()) - offset));
    QByteArray bytes(int(end - offset), Qt::Uninitialized);
    if (!m_read || !m_read(offset, int(bytes.size()), reinterpret_cast<unsigned char*>(bytes.data())))
        return QByteArray();
    return bytes;
}

QByteArray FileBytes::exact(qint64 offset, qint64 count) const
{
    if (offset < 0 || count <= 0 || offset + count > m_size)
        return QByteArray();
    if (offset + count <= m_head.size())
        return QByteArray::fromRawData(m_head.constData() + offset, int(count));
    QByteArray bytes(int(count), Qt::Uninitialized);
    return copy(offset, int(count), reinterpret_cast<unsigned char*>(bytes.data())) ? bytes : QByteArray();
}

bool FileBytes::copy(qint64 offset, int count, unsigned char* out) const
{
    if (offset < 0 || count < 0 || offset + count > m_size)
        return false;
    if (offset + count <= m_head.size()) {
        std::memcpy(out, m_head.constData() + offset, size_t(count));
        return true;
    }
    return m_read && m_read(offset, count, out);
}

qint64 id3v2TagsEnd(const FileBytes& file)
{
    qint64 end = 0;
    unsigned char h[10];
    // Some programs put a new tag in front of the old one.
    for (int n = 0; n < 16 && file.copy(end, 10, h); ++n) {
        const bool wellFormed = std::memcmp(h, "ID3", 3) == 0 && h[3] >= 2 && h[3] <= 4 && h[4] != 0xFF
            && ((h[6] | h[7] | h[8] | h[9]) & 0x80) == 0;
        if (!wellFormed)
            break;
        const qint64 body = (qint64(h[6]) << 21) | (h[7] << 14) | (h[8] << 7) | h[9];
        const bool footer = h[3] == 4 && (h[5] & 0x10);
        end += 10 + body + (footer ? 10 : 0);
    }
    return end;
}

namespace {

quint32 littleEndian32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

} // namespace

qint64 trailingTagsStart(const FileBytes& file, qint64 floor)
{
    // The usual trailers fit in the last bytes: one read for all of them.
    const qint64 tailStart = qMax(floor, file.size() - 512);
    const QByteArray tail = file.exact(tailStart, file.size() - tailStart);
    auto bytesAt = [&](qint64 pos, int count) {
        if (pos < floor || count < 0 || pos + count > file.size())
            return QByteArray();
        if (pos >= tailStart && pos + count <= tailStart + tail.size())
            return QByteArray::fromRawData(tail.constData() + (pos - tailStart), count); // no copy
        return file.exact(pos, count);
    };
    qint64 end = file.size();
    bool id3v1 = false;
    for (int guard = 0; guard < 8; ++guard) {
        if (!id3v1 && bytesAt(end - 128, 3) == "TAG") {
            id3v1 = true;
            end -= 128;
            continue;
        }
        const QByteArray ape = bytesAt(end - 32, 32);
        if (ape.startsWith("APETAGEX")) {
            const qint64 size = littleEndian32(ape.constData() + 12);
            const bool header = littleEndian32(ape.constData() + 20) & 0x80000000u;
            const qint64 total = size + (header ? 32 : 0);
            if (size >= 32 && end - total >= floor) {
                end -= total;
                continue;
            }
        }
        const QByteArray lyrics = bytesAt(end - 15, 15);
        if (lyrics.endsWith("LYRICS200")) { // six digits of size before the marker
            bool ok = false;
            const qint64 size = lyrics.left(6).toLongLong(&ok);
            if (ok && size > 0 && bytesAt(end - 15 - size, 11) == "LYRICSBEGIN") {
                end -= 15 + size;
                continue;
            }
        }
        if (lyrics.endsWith("LYRICSEND")) { // version 1: at most 5100 bytes from its start
            const qint64 from = qMax(floor, end - 11 - 5100 - 9);
            const qsizetype at = bytesAt(from, int(end - from)).lastIndexOf("LYRICSBEGIN");
            if (at >= 0) {
                end = from + at;
                continue;
            }
        }
        break;
    }
    return end;
}
