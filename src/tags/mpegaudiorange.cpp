#include "mpegaudiorange.h"

#include "tags/id3v2header.h"
#include "tags/tagscan.h"

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
    unsigned char h[kId3v2HeaderBytes];
    // Some programs put a new tag in front of the old one.
    for (int n = 0; n < 16 && file.copy(end, kId3v2HeaderBytes, h); ++n) {
        const Id3v2Header header = readId3v2Header(h, kId3v2HeaderBytes);
        if (!header.valid)
            break;
        end += header.completeSize;
    }
    return end;
}

qint64 trailingTagsStart(const FileBytes& file, qint64 floor)
{
    // The usual trailers fit in the last bytes: one read for all of them.
    const qint64 tailStart = qMax(floor, file.size() - 512);
    const QByteArray tail = file.exact(tailStart, file.size() - tailStart);
    const ByteReader read
        = [&file](qint64 offset, int count, unsigned char* out) { return file.copy(offset, count, out); };
    return scanTrailers(file.size(), tail, read, floor).start;
}
