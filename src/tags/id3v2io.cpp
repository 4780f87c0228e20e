// Loading, saving and stripping: the part of ID3V2Tag that touches files.
#include "id3v2tag.h"

#include "tags/id3v1tag.h"
#include "tags/id3v2tagwriter.h"
#include "tags/openedtagfile.h"
#include "tags/safefilewrite.h"
#include "tags/taglibframes.h"
#include "tags/tagscan.h"

#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tfile.h>
#include <taglib/tiostream.h>

#include <sys/stat.h>

using namespace TagLib;

namespace {

// A read-only view of an open file for TagLib that answers from the bytes
// already read at both ends, so that a load costs one open and one or two
// reads.
class CachedFileStream final : public IOStream {
public:
    CachedFileStream(int fd, qint64 size, const QByteArray& head, const QByteArray& tail)
        : m_fd(fd)
        , m_size(size)
        , m_head(head)
        , m_tail(tail)
    {
    }
    FileName name() const override { return ""; }
    ByteVector readBlock(unsigned long length) override
    {
        if (m_pos >= m_size || length == 0)
            return ByteVector();
        const qint64 n = qMin<qint64>(qint64(length), m_size - m_pos);
        const qint64 tailStart = m_size - m_tail.size();
        ByteVector out;
        if (m_pos + n <= m_head.size()) {
            out.setData(m_head.constData() + m_pos, uint(n));
        } else if (m_pos >= tailStart) {
            out.setData(m_tail.constData() + (m_pos - tailStart), uint(n));
        } else {
            out.resize(uint(n));
            if (!ReadFully(m_fd, m_pos, int(n), reinterpret_cast<unsigned char*>(out.data())))
                out.clear();
        }
        m_pos += n;
        return out;
    }
    void writeBlock(const ByteVector&) override { }
    void insert(const ByteVector&, unsigned long, unsigned long) override { }
    void removeBlock(unsigned long, unsigned long) override { }
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p) override
    {
        qint64 base = p == Beginning ? 0 : p == Current ? m_pos : m_size;
        m_pos = qMax<qint64>(0, base + offset);
    }
    long tell() const override { return long(m_pos); }
    long length() override { return long(m_size); }
    void truncate(long) override { }

private:
    int m_fd;
    qint64 m_size;
    const QByteArray& m_head;
    const QByteArray& m_tail;
    qint64 m_pos = 0;
};

// The file as far as a load needs it: the ID3v2 tag at its start, read by
// TagLib's own tag reader, without MPEG::File's search for the other tags.
class TagOnlyFile final : public TagLib::File {
public:
    explicit TagOnlyFile(IOStream* stream)
        : TagLib::File(stream)
    {
    }
    TagLib::Tag* tag() const override { return nullptr; }
    AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }
};

} // namespace

void ID3V2Tag::SetFileName(const QString& fileName)
{
    ClearValues();
    OpenedTagFile file;
    if (!file.open(fileName))
        return;
    m_fileName = fileName;
    if (QString(fileName).remove(QLatin1Char(' ')).isEmpty())
        return;
    loadFrom(file);
}

void ID3V2Tag::LoadFrames()
{
    ClearValues();
    m_frameCount = 0;
    m_framesSize = 0;
    m_tagVersion = 0;
    OpenedTagFile file;
    if (m_fileName.isEmpty() || !file.open(m_fileName)) {
        static_cast<MpegAudioFacts&>(*this) = MpegAudioFacts();
        return;
    }
    loadFrom(file);
}

void ID3V2Tag::loadFrom(OpenedTagFile& file)
{
    ClearValues();
    m_frameCount = 0;
    m_framesSize = 0;
    m_tagVersion = 0;

    // A file with both tags loses its trailer as soon as it is loaded.
    if (file.v2.valid && file.trailers.id3v1.found()
        && ReplaceFileRange(m_fileName, file.trailers.id3v1.start, file.trailers.id3v1.end, QByteArray()))
        file.chop(128);

    if (file.v2.valid) {
        m_framesSize = file.v2.valid ? file.v2.completeSize : 0;
        // The tag starts the file (v2.valid), where MPEG::File would find it.
        CachedFileStream stream(file.fd, file.size, file.head, file.tail);
        TagOnlyFile tagFile(&stream);
        ID3v2::Tag tagAtStart(&tagFile, 0, ID3v2::FrameFactory::instance());
        ID3v2::Tag* tag = &tagAtStart;
        m_tagVersion = int(tag->header()->majorVersion());
        RepairFrames(tag, file);
        const ID3v2::FrameList& frames = tag->frameList();
        m_frames.reserve(qsizetype(frames.size()));
        int index = 0;
        for (const ID3v2::Frame* frame : frames)
            m_frames.append(ItemFor(frame, ++index));
        m_frameCount = index;
    } else if (file.trailers.id3v1.found()) {
        // The trailer's values, as the frames they would be.
        ID3V1Tag v1;
        v1.ReadFromBytes(file.tail.right(128));
        auto add = [this](int frameNo, const QString& value) {
            if (value.isEmpty())
                return;
            clsID3Frame item;
            item.eType = frameNo;
            item.vValue = value;
            item.lIndex = int(m_frames.size()) + 1;
            m_frames.append(item);
        };
        add(FrameNo::TIT2, v1.Title());
        add(FrameNo::TPE1, v1.Artist());
        add(FrameNo::TALB, v1.Album());
        add(FrameNo::TYER, v1.Year());
        add(FrameNo::COMM, v1.Comment());
        if (v1.Track() > 0)
            add(FrameNo::TRCK, QString::number(v1.Track()));
        if (v1.Genre() != 255)
            add(FrameNo::TCON, QLatin1Char('(') + QString::number(v1.Genre()) + QLatin1Char(')'));
        m_fromTrailer = true;
        m_frameCount = int(m_frames.size());
    }

    ::ReadHeader(static_cast<MpegAudioFacts&>(*this), file.head, file.size, file.reader());
    StripQuotes();
}

bool ID3V2Tag::HasTagType(int flags) const
{
    OpenedTagFile file;
    if (m_fileName.isEmpty() || !file.open(m_fileName))
        return false;
    const int wanted = flags & 0x1F;
    return wanted != 0 && (file.tagTypes() & wanted) == wanted;
}

bool ID3V2Tag::StripTags(int flags)
{
    bool ok = true;
    for (int kind : { TagType::ID3v1, TagType::ID3v2, TagType::Lyrics3, TagType::Lyrics3v2, TagType::MusicMatch })
        if (flags & kind)
            ok = stripOne(kind) && ok;
    return ok;
}

bool ID3V2Tag::stripOne(int kind)
{
    OpenedTagFile file;
    if (m_fileName.isEmpty() || !file.open(m_fileName))
        return false;
    // A broken "ID3" start is no tag to report, but it is not nothing to strip.
    const bool there = kind == TagType::ID3v2 ? file.v2.present : (file.tagTypes() & kind) != 0;
    if (!there)
        return true;
    ByteRange range;
    switch (kind) {
    case TagType::ID3v1:
        range = file.trailers.id3v1;
        break;
    case TagType::ID3v2:
        // Never cut by a size that runs into the trailing tags or past the end.
        if (file.v2.valid && file.v2.completeSize <= file.trailerStart() && !file.tagOverlapsAudio())
            range = { 0, file.v2.completeSize };
        break;
    case TagType::Lyrics3:
    case TagType::Lyrics3v2:
        range = file.trailers.lyrics3;
        break;
    case TagType::MusicMatch:
        range = file.trailers.musicMatch;
        break;
    }
    if (!range.found())
        return false;
    return ReplaceFileRange(m_fileName, range.start, range.end, QByteArray());
}

bool ID3V2Tag::SaveFrames()
{
    StripQuotes();
    bool pending = false;
    for (const clsID3Frame& item : m_frames)
        pending = pending || item.bNew || item.bDeleted || item.bChanged || (m_fromTrailer && !item.bDeleted);
    if (!pending)
        return true;

    OpenedTagFile file;
    if (m_fileName.isEmpty() || !file.open(m_fileName))
        return false;
    if (!(file.mode & S_IWUSR))
        return false;
    if (file.v2.present && (!file.v2.valid || file.v2.completeSize > file.trailerStart() || file.tagOverlapsAudio()))
        return false;

    CachedFileStream stream(file.fd, file.size, file.head, file.tail);
    MPEG::File mpeg(&stream, ID3v2::FrameFactory::instance(), false);
    if (mpeg.hasID3v2Tag() != file.v2.present)
        return false; // a tag somewhere else than at the start
    ID3v2::Tag* tag = mpeg.ID3v2Tag(true);
    if (!tag)
        return false;
    if (file.v2.present)
        RepairFrames(tag, file);
    if (file.v2.present && tag->frameList().isEmpty() && !file.tagBodyIsBlank())
        return false;

    const bool v4 = file.v2.present && tag->header()->majorVersion() == 4;
    ID3V2TagWriter(*this, tag, v4).apply(m_frames, m_fromTrailer);

    const qint64 oldSize = file.v2.present ? file.v2.completeSize : 0;
    if (tag->frameList().isEmpty())
        return oldSize == 0 || ReplaceFileRange(m_fileName, 0, oldSize, QByteArray());
    const ByteVector data = tag->render(v4 ? ID3v2::v4 : ID3v2::v3);
    QByteArray rendered(data.data(), int(data.size()));
    if (file.v2.valid && file.v2.majorVersion == 3)
        rendered = InsertFrames(rendered, FramesTagLibDrops(file.tagBytes(), rendered));
    return ReplaceFileRange(m_fileName, 0, oldSize, rendered);
}
