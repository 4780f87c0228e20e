#include "openedtagfile.h"

#include "tags/storedtag.h"
#include "tags/tagtypes.h"

#include <QFile>
#include <QList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The head buffer of the last file, kept so that a load makes no large
// allocation.
QByteArray& spareHead()
{
    static thread_local QByteArray spare;
    return spare;
}

} // namespace

OpenedTagFile::~OpenedTagFile()
{
    if (fd >= 0)
        ::close(fd);
    tail.clear();
    spareHead().swap(head);
}

bool OpenedTagFile::open(const QString& path)
{
    fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    mode = st.st_mode;
    size = st.st_size;
    head.swap(spareHead());
    head.resize(int(qMin<qint64>(size, kHeaderScanBytes)));
    if (!readFully(fd, 0, int(head.size()), reinterpret_cast<unsigned char*>(head.data())))
        return false;
    const int tailBytes = int(qMin<qint64>(size, kTailScanBytes));
    if (size <= head.size()) {
        tail = head; // the whole file; shared, not copied
    } else {
        tail.resize(tailBytes);
        if (!readFully(fd, size - tailBytes, tailBytes, reinterpret_cast<unsigned char*>(tail.data())))
            return false;
    }
    v2 = parseId3v2Header(head);
    trailers = scanTrailers(size, tail, reader());
    return true;
}

ByteReader OpenedTagFile::reader() const
{
    const int f = fd;
    return [f](qint64 offset, int count, unsigned char* out) { return readFully(f, offset, count, out); };
}

void OpenedTagFile::chop(int n)
{
    size -= n;
    // A small file is one buffer shared by head and tail: let go of the
    // tail first, so that cutting the head does not copy the whole file.
    const bool oneBuffer = tail.constData() == head.constData();
    if (oneBuffer)
        tail.clear();
    if (head.size() > size)
        head.truncate(int(size));
    if (oneBuffer)
        tail = head;
    else
        tail.chop(n);
    trailers = scanTrailers(size, tail, reader());
}

int OpenedTagFile::tagTypes() const
{
    return (v2.valid ? TagType::ID3v2 : 0) | trailers.flags;
}

qint64 OpenedTagFile::trailerStart() const
{
    qint64 start = size;
    for (const ByteRange& r : { trailers.id3v1, trailers.lyrics3, trailers.musicMatch })
        if (r.found())
            start = qMin(start, r.start);
    return start;
}

QByteArray OpenedTagFile::tagBytes() const
{
    if (!v2.valid)
        return QByteArray();
    const qint64 n = qMin(v2.completeSize, size);
    if (n <= head.size())
        return head.left(int(n));
    QByteArray bytes(int(n), Qt::Uninitialized);
    return readFully(fd, 0, int(n), reinterpret_cast<unsigned char*>(bytes.data())) ? bytes : QByteArray();
}

bool OpenedTagFile::tagOverlapsAudio() const
{
    const QByteArray tag = tagBytes();
    StoredTag stored;
    if (!readStoredTag(tag, &stored))
        return false;
    // Unsynchronised data holds no sync, so in a tag unsynchronised as a
    // whole (where frame ends cannot be mapped to file offsets) every sync
    // in its room is audio. A sync that starts inside the tag's room counts
    // even when it ends just past it (a size that is off by a byte).
    const qint64 end = stored.framesEnd > 0 ? stored.framesEnd : 10;
    QByteArray bytes = tag;
    unsigned char next = 0;
    if (v2.completeSize < size && readFully(fd, v2.completeSize, 1, &next))
        bytes += char(next);
    for (qint64 i = end; i + 1 < bytes.size(); ++i)
        if (uchar(bytes[i]) == 0xFF && (uchar(bytes[i + 1]) & 0xE0) == 0xE0)
            return true;
    return audioChainCrossesTagEnd(tag);
}

bool OpenedTagFile::audioChainCrossesTagEnd(const QByteArray& tag) const
{
    // Frames whose declared sizes swallow the start of the audio: a chain
    // of MPEG-1 Layer III frames that begins inside the tag and runs on,
    // frame after frame, past its end. Picture data does not do that.
    auto syncAt = [&](qint64 pos) {
        unsigned char b[2];
        if (pos + 2 <= tag.size()) {
            b[0] = uchar(tag[pos]);
            b[1] = uchar(tag[pos + 1]);
        } else if (!readFully(fd, pos, 2, b)) {
            return false;
        }
        return b[0] == 0xFF && (b[1] & 0xE0) == 0xE0;
    };
    const qint64 tagEnd = v2.completeSize;
    for (qint64 i = 10; i + 4 <= tag.size() && i < tagEnd; ++i) {
        const auto* h = reinterpret_cast<const unsigned char*>(tag.constData() + i);
        if (h[0] != 0xFF || (h[1] != 0xFA && h[1] != 0xFB))
            continue;
        MpegAudioFacts facts;
        if (!decodeFrameHeader(h, facts) || facts.frameLength <= 4)
            continue;
        qint64 p = i + facts.frameLength;
        bool chain = true;
        while (chain && p < tagEnd) {
            chain = syncAt(p);
            p += facts.frameLength;
        }
        if (chain && syncAt(p))
            return true;
    }
    return false;
}

bool OpenedTagFile::tagBodyIsBlank() const
{
    if (!v2.valid)
        return false;
    const qint64 end = qMin(v2.completeSize, size);
    QByteArray body(int(qMax<qint64>(0, end - 10)), '\0');
    if (end <= head.size())
        body = head.mid(10, int(end - 10));
    else if (!readFully(fd, 10, int(body.size()), reinterpret_cast<unsigned char*>(body.data())))
        return false;
    return body.count('\0') == body.size();
}
