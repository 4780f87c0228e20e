#include "openedtagfile.h"

#include "tags/regularfile.h"
#include "tags/storedtag.h"
#include "tags/tagtypes.h"

#include <QFile>
#include <QList>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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
    struct stat st { };
    fd = openRegularFile(path, &st);
    if (fd < 0)
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
    v2 = readId3v2Header(head);
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
    return trailers.start;
}

QString OpenedTagFile::tagTooLargeText()
{
    return QStringLiteral("The ID3v2 tag is larger than %1 MB; Velmora leaves it as it is.")
        .arg(kMaxTagBytes / (1024 * 1024));
}

QByteArray OpenedTagFile::tagBytes() const
{
    if (m_tagRead || !v2.valid || tagTooLarge())
        return m_tag;
    m_tagRead = true;
    const qint64 n = qMin(v2.completeSize, size);
    if (n <= head.size()) {
        m_tag = head.left(int(n));
    } else {
        m_tag = QByteArray(int(n), Qt::Uninitialized);
        if (!readFully(fd, 0, int(n), reinterpret_cast<unsigned char*>(m_tag.data())))
            m_tag.clear();
    }
    return m_tag;
}

bool OpenedTagFile::tagOverlapsAudio() const
{
    const QByteArray tag = tagBytes();
    StoredTag stored;
    if (!readStoredTagLayout(tag, &stored))
        return false;
    // Unsynchronised data holds no sync, so in a tag unsynchronised as a
    // whole (where frame ends cannot be mapped to file offsets) every sync
    // in its room is audio. A sync that starts inside the tag's room counts
    // even when it ends just past it (a size that is off by a byte).
    const qint64 end = stored.framesEnd > 0 ? stored.framesEnd : 10;
    unsigned char next = 0;
    const bool nextRead = v2.completeSize < size && readFully(fd, v2.completeSize, 1, &next);
    const qint64 looked = tag.size() + (nextRead ? 1 : 0);
    const auto* b = reinterpret_cast<const unsigned char*>(tag.constData());
    for (qint64 i = end; i + 1 < looked; ++i) {
        // The byte after the tag is read apart, so that the tag is never copied.
        const unsigned char pair[2] = { b[i], i + 1 < tag.size() ? b[i + 1] : next };
        if (isMpegSync(pair))
            return true;
    }
    return audioChainCrossesTagEnd(tag);
}

qint64& chainSteps()
{
    static thread_local qint64 steps = 0;
    return steps;
}

qint64 overlapCheckSteps()
{
    return chainSteps();
}

bool OpenedTagFile::audioChainCrossesTagEnd(const QByteArray& tag) const
{
    // Frames whose declared sizes swallow the start of the audio: a chain
    // of MPEG audio frames of one stream (any version and layer, with or
    // without CRC) that begins inside the tag and runs on, frame after
    // frame, past its end. Picture data does not do that.
    auto frameAt = [&](qint64 pos, MpegFrame* f) {
        ++chainSteps();
        unsigned char b[4];
        if (pos + 4 <= tag.size())
            std::memcpy(b, tag.constData() + pos, 4);
        else if (!readFully(fd, pos, 4, b))
            return false;
        return decodeMpegFrame(b, f);
    };
    const qint64 tagEnd = qMin<qint64>(v2.completeSize, tag.size());
    // A frame of a stream that a chain of the same stream went through
    // without reaching the end: every chain of that stream reaching it ends
    // the same way (frames of one stream have equal version, layer and
    // sample rate), so each position is walked at most once.
    std::vector<bool> deadEnd(size_t(qMax<qint64>(0, tagEnd)), false);
    std::vector<qint64> walked;
    const auto* bytes = reinterpret_cast<const unsigned char*>(tag.constData());
    for (qint64 i = kId3v2HeaderBytes; i + 4 <= tag.size() && i < tagEnd; ++i) {
        MpegFrame first;
        if (deadEnd[size_t(i)] || !isMpegSync(bytes + i) || !decodeMpegFrame(bytes + i, &first))
            continue;
        walked.assign(1, i);
        qint64 p = i + first.frameLength;
        bool chain = true;
        MpegFrame next;
        while (chain && p < v2.completeSize) {
            if (p < tagEnd && deadEnd[size_t(p)]) {
                chain = false;
                break;
            }
            chain = frameAt(p, &next) && next.sameStream(first);
            if (chain && p < tagEnd)
                walked.push_back(p);
            p += next.frameLength;
        }
        if (chain && frameAt(p, &next) && next.sameStream(first))
            return true;
        for (const qint64 w : walked)
            deadEnd[size_t(w)] = true;
    }
    return false;
}
