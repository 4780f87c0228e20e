// Loading, saving and stripping: the part of ID3V2Tag that touches files.
#include "id3v2tag.h"

#include "tags/framenumbers.h"
#include "tags/id3v1tag.h"
#include "tags/safefilewrite.h"
#include "tags/taglibstring.h"
#include "tags/tagscan.h"

#include <QFile>

#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tiostream.h>
#include <taglib/uniquefileidentifierframe.h>
#include <taglib/unknownframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/urllinkframe.h>

#include <cstring>
#include <limits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TagLib;

namespace {

constexpr int kYear = FrameNo::TYER;

// A read-only view of an open file for TagLib that answers from the bytes
// already read at both ends, so that a load costs one open and one or two
// reads.
class CachedFileStream final : public IOStream {
public:
    CachedFileStream(int fd, qint64 size, const QByteArray& head, const QByteArray& tail)
        : m_fd(fd), m_size(size), m_head(head), m_tail(tail)
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
    void writeBlock(const ByteVector&) override {}
    void insert(const ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p) override
    {
        qint64 base = p == Beginning ? 0 : p == Current ? m_pos : m_size;
        m_pos = qMax<qint64>(0, base + offset);
    }
    long tell() const override { return long(m_pos); }
    long length() override { return long(m_size); }
    void truncate(long) override {}

private:
    int m_fd;
    qint64 m_size;
    const QByteArray& m_head;
    const QByteArray& m_tail;
    qint64 m_pos = 0;
};

QString joinedFields(const StringList& fields, int from)
{
    if (int(fields.size()) == from + 1)
        return toQString(fields[from]);
    QStringList parts;
    for (int i = from; i < int(fields.size()); ++i)
        parts << toQString(fields[i]);
    return parts.join(QLatin1Char(' '));
}

// TagLib turns a genre reference "(17)" into the field "17"; the classic
// "(n)" text is put back together so that the genre rules apply to it.
QString genreText(const StringList& fields)
{
    QString out;
    for (const String& f : fields) {
        const QString s = toQString(f);
        bool digits = !s.isEmpty();
        for (QChar c : s)
            digits = digits && c.unicode() >= '0' && c.unicode() <= '9';
        if (digits)
            out += QLatin1Char('(') + s + QLatin1Char(')');
        else
            out += (out.isEmpty() || out.endsWith(QLatin1Char(')')) ? QString() : QStringLiteral(" ")) + s;
    }
    return out;
}

int frameNumberOf(const ID3v2::Frame* frame)
{
    const ByteVector id = frame->frameID();
    if (id.size() != 4)
        return 0;
    if (id == "TDRC")
        return kYear;
    return FrameNumberFor(id.data());
}

QString descriptionOf(const ID3v2::Frame* frame)
{
    if (auto* f = dynamic_cast<const ID3v2::UserTextIdentificationFrame*>(frame))
        return toQString(f->description());
    if (auto* f = dynamic_cast<const ID3v2::CommentsFrame*>(frame))
        return toQString(f->description());
    if (auto* f = dynamic_cast<const ID3v2::UnsynchronizedLyricsFrame*>(frame))
        return toQString(f->description());
    if (auto* f = dynamic_cast<const ID3v2::UserUrlLinkFrame*>(frame))
        return toQString(f->description());
    if (auto* f = dynamic_cast<const ID3v2::AttachedPictureFrame*>(frame))
        return toQString(f->description());
    return QString();
}

// A play counter: the big-endian number of its body.
QVariant playCount(const ID3v2::Frame* frame)
{
    auto* unknown = dynamic_cast<const ID3v2::UnknownFrame*>(frame);
    if (!unknown)
        return QVariant();
    const ByteVector data = unknown->data();
    qint64 n = 0;
    for (uint i = 0; i < data.size() && i < 8; ++i)
        n = n << 8 | uchar(data[i]);
    return qMin<qint64>(n, std::numeric_limits<int>::max());
}

clsID3Frame itemFor(const ID3v2::Frame* frame, int index)
{
    clsID3Frame item;
    item.lIndex = index;
    item.eType = frameNumberOf(frame);
    if (auto* f = dynamic_cast<const ID3v2::TextIdentificationFrame*>(frame)) {
        if (auto* u = dynamic_cast<const ID3v2::UserTextIdentificationFrame*>(frame)) {
            item.sDescription = toQString(u->description());
            item.vValue = joinedFields(u->fieldList(), 1);
        } else {
            item.vValue = frame->frameID() == "TCON" ? genreText(f->fieldList()) : joinedFields(f->fieldList(), 0);
        }
    } else if (auto* f = dynamic_cast<const ID3v2::CommentsFrame*>(frame)) {
        item.sDescription = toQString(f->description());
        item.vValue = toQString(f->text());
        item.vLanguage = QString::fromLatin1(f->language().data(), int(f->language().size()));
    } else if (auto* f = dynamic_cast<const ID3v2::UrlLinkFrame*>(frame)) {
        if (auto* u = dynamic_cast<const ID3v2::UserUrlLinkFrame*>(frame))
            item.sDescription = toQString(u->description());
        item.vValue = toQString(f->url());
    } else if (auto* f = dynamic_cast<const ID3v2::UnsynchronizedLyricsFrame*>(frame)) {
        item.sDescription = toQString(f->description());
        item.vValue = toQString(f->text());
        item.vLanguage = QString::fromLatin1(f->language().data(), int(f->language().size()));
    } else if (auto* f = dynamic_cast<const ID3v2::UniqueFileIdentifierFrame*>(frame)) {
        const ByteVector id = f->identifier();
        item.vValue = QString::fromLatin1(id.data(), int(id.size()));
    } else if (frame->frameID() == "PCNT") {
        item.vValue = playCount(frame);
    } else {
        item.sDescription = descriptionOf(frame);
        item.vValue = QString();
    }
    return item;
}

String::Type encodingFor(const QString& a, const QString& b = QString())
{
    return fitsLatin1(a) && fitsLatin1(b) ? String::Latin1 : String::UTF16;
}

ByteVector latin1Bytes(const QString& s)
{
    const QByteArray b = s.toLatin1();
    return ByteVector(b.constData(), uint(b.size()));
}

ByteVector languageOf(const QString& language)
{
    return language.size() == 3 ? latin1Bytes(language) : ByteVector("eng");
}

QString valueText(const QVariant& v)
{
    return v.toString();
}

// Frames the writer can make from a value.
bool creatable(const QByteArray& id)
{
    return id.startsWith('T') || id.startsWith('W') || id == "COMM" || id == "USLT" || id == "UFID";
}


// TagLib 1.13 drops the empty description of a TXXX frame (its text then
// reads as the description, and a save would store it so) and rewrites
// genre references such as "(17)Rock". Both are put back from the stored
// bytes, so that reading is exact and unchanged frames are saved unchanged.
void repairFrames(ID3v2::Tag* tag, const QByteArray& tagBytes)
{
    QList<RawFrame> raw;
    if (!ScanRawFrames(tagBytes, &raw))
        return;
    for (const char* id : {"TXXX", "TCON"}) {
        const bool user = std::strcmp(id, "TXXX") == 0;
        QList<const RawFrame*> stored;
        for (const RawFrame& r : raw)
            if (r.id == id)
                stored << &r;
        const ID3v2::FrameList& frames = tag->frameList(id);
        if (qsizetype(frames.size()) != stored.size())
            continue;
        int k = 0;
        for (ID3v2::Frame* frame : frames) {
            const RawFrame* r = stored.at(k++);
            QString description;
            QString text;
            auto* f = dynamic_cast<ID3v2::TextIdentificationFrame*>(frame);
            if (!f || !r->usable || !DecodeTextBody(r->body, user, &description, &text))
                continue;
            if (user && description.isEmpty()) {
                StringList fields;
                fields.append(String());
                fields.append(toTagString(text));
                f->TextIdentificationFrame::setText(fields);
            } else if (!user && text.contains(QLatin1Char('('))) {
                f->setText(toTagString(text));
            }
        }
    }
}

// TagLib 1.13 reads the ID3v2.3 frames that version 2.4 abolished (volume
// and equaliser adjustment, size, recording dates) but leaves them out when
// it writes a 2.3 tag. The stored frames it left out, to be put back.
QByteArray framesTagLibDrops(const QByteArray& original, const QByteArray& rendered)
{
    QList<RawFrame> before;
    QList<RawFrame> after;
    if (!ScanRawFrames(original, &before) || !ScanRawFrames(rendered, &after))
        return QByteArray();
    QByteArray out;
    for (const RawFrame& f : before) {
        if (f.id != "RVAD" && f.id != "EQUA" && f.id != "TSIZ" && f.id != "TRDA")
            continue;
        bool present = false;
        for (const RawFrame& g : after)
            present = present || g.id == f.id;
        if (!present)
            out += f.stored;
    }
    return out;
}

} // namespace

// Everything a load or a save needs from the file, read with one open.
class OpenedTagFile {
public:
    OpenedTagFile() = default;
    OpenedTagFile(const OpenedTagFile&) = delete;
    OpenedTagFile& operator=(const OpenedTagFile&) = delete;
    ~OpenedTagFile()
    {
        if (fd >= 0)
            ::close(fd);
        tail.clear();
        spareHead().swap(head); // kept for the next file: no large allocation per load
    }

    bool open(const QString& path)
    {
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        mode = st.st_mode;
        size = st.st_size;
        head.swap(spareHead());
        head.resize(int(qMin<qint64>(size, kHeaderScanBytes)));
        if (!ReadFully(fd, 0, int(head.size()), reinterpret_cast<unsigned char*>(head.data())))
            return false;
        const int tailBytes = int(qMin<qint64>(size, kTailScanBytes));
        if (size <= head.size()) {
            tail = head; // the whole file; shared, not copied
        } else {
            tail.resize(tailBytes);
            if (!ReadFully(fd, size - tailBytes, tailBytes, reinterpret_cast<unsigned char*>(tail.data())))
                return false;
        }
        v2 = ParseId3v2Header(head);
        trailers = ScanTrailers(size, tail, reader());
        return true;
    }

    ByteReader reader() const
    {
        const int f = fd;
        return [f](qint64 offset, int count, unsigned char* out) { return ReadFully(f, offset, count, out); };
    }

    // The file lost its last n bytes (the ID3v1 trailer).
    void chop(int n)
    {
        size -= n;
        if (head.size() > size)
            head.truncate(int(size));
        tail.chop(n);
        trailers = ScanTrailers(size, tail, reader());
    }

    int tagTypes() const { return (v2.present ? TagType::ID3v2 : 0) | trailers.flags; }

    // Bytes the trailing tags take (ID3v1, Lyrics3, MusicMatch).
    qint64 trailerStart() const
    {
        qint64 start = size;
        for (const ByteRange& r : {trailers.id3v1, trailers.lyrics3, trailers.musicMatch})
            if (r.found())
                start = qMin(start, r.start);
        if (trailers.id3v1.found())
            start = qMin(start, trailers.id3v1.start);
        return start;
    }

    // The whole ID3v2 tag as stored (what of it the file holds).
    QByteArray tagBytes() const
    {
        if (!v2.valid)
            return QByteArray();
        const qint64 n = qMin(v2.completeSize, size);
        if (n <= head.size())
            return head.left(int(n));
        QByteArray bytes(int(n), Qt::Uninitialized);
        return ReadFully(fd, 0, int(n), reinterpret_cast<unsigned char*>(bytes.data())) ? bytes : QByteArray();
    }

    // Applies repairFrames when the tag has frames that need it.
    void repair(ID3v2::Tag* tag) const
    {
        const ID3v2::FrameListMap& map = tag->frameListMap();
        if (map.contains("TXXX") || map.contains("TCON"))
            repairFrames(tag, tagBytes());
    }

    // True when the space the tag declares runs on into what looks like
    // audio: after its last frame come bytes other than padding that hold
    // an MPEG sync. Rewriting or removing such a tag would cut the audio.
    bool tagOverlapsAudio() const
    {
        QList<RawFrame> raw;
        const QByteArray bytes = tagBytes();
        if (!ScanRawFrames(bytes, &raw))
            return false;
        qint64 end = 10;
        const int frameHeader = v2.majorVersion == 2 ? 6 : 10;
        for (const RawFrame& f : raw)
            end += frameHeader + f.body.size();
        for (qint64 i = end; i + 1 < bytes.size(); ++i)
            if (uchar(bytes[i]) == 0xFF && (uchar(bytes[i + 1]) & 0xE0) == 0xE0)
                return true;
        return false;
    }

    // True when the ID3v2 tag's body holds nothing but zero bytes (an empty,
    // padded tag rather than unreadable frames).
    bool tagBodyIsBlank() const
    {
        if (!v2.valid)
            return false;
        const qint64 end = qMin(v2.completeSize, size);
        QByteArray body(int(qMax<qint64>(0, end - 10)), '\0');
        if (end <= head.size())
            body = head.mid(10, int(end - 10));
        else if (!ReadFully(fd, 10, int(body.size()), reinterpret_cast<unsigned char*>(body.data())))
            return false;
        return body.count('\0') == body.size();
    }

    static QByteArray& spareHead()
    {
        static thread_local QByteArray spare;
        return spare;
    }

    int fd = -1;
    mode_t mode = 0;
    qint64 size = 0;
    QByteArray head;
    QByteArray tail;
    Id3v2Header v2;
    TrailerScan trailers;
};

// Writes the items of an ID3V2Tag into TagLib's tag of the file.
class ID3V2TagWriter {
public:
    ID3V2TagWriter(const ID3V2Tag& owner, ID3v2::Tag* tag, bool v4)
        : m_owner(owner), m_tag(tag), m_v4(v4)
    {
    }

    void apply(const QList<clsID3Frame>& items, bool itemsFromTrailer)
    {
        // Plain pointers: a copy of TagLib's list would own (and at its end
        // delete) the frames once the tag's own list changes.
        const ID3v2::FrameList& frames = m_tag->frameList();
        std::vector<ID3v2::Frame*> byIndex(frames.begin(), frames.end());
        std::vector<bool> used(byIndex.size(), false);
        for (const clsID3Frame& item : items) {
            if (item.bNew || itemsFromTrailer) {
                if (!item.bDeleted)
                    create(item);
                continue;
            }
            if (!item.bDeleted && !item.bChanged)
                continue;
            // The item's own frame is at its place in the list; should the
            // file have changed since the load, the first frame of the same
            // kind and description stands in.
            auto free = [&](int i) {
                return i >= 0 && i < int(byIndex.size()) && !used[size_t(i)]
                    && frameNumberOf(byIndex[size_t(i)]) == item.eType;
            };
            int at = item.lIndex - 1;
            if (!free(at)) {
                at = -1;
                for (int i = 0; i < int(byIndex.size()) && at < 0; ++i)
                    if (free(i) && descriptionOf(byIndex[size_t(i)]) == item.sDescription)
                        at = i;
            }
            if (at < 0) {
                if (!item.bDeleted)
                    create(item);
                continue;
            }
            used[size_t(at)] = true;
            ID3v2::Frame* frame = byIndex[size_t(at)];
            if (item.bDeleted)
                m_tag->removeFrame(frame, true);
            else
                write(frame, item);
        }
    }

private:
    void write(ID3v2::Frame* frame, const clsID3Frame& item)
    {
        const QString text = valueText(item.vValue);
        if (dynamic_cast<ID3v2::UnknownFrame*>(frame) && creatable(FrameIdFor(item.eType))) {
            // A frame TagLib could not parse: a fresh one takes the value.
            m_tag->removeFrame(frame, true);
            create(item);
            return;
        }
        if (frame->frameID() == "TDRC" && !m_v4) {
            // A new year is stored as the plain number; the old date goes.
            m_tag->removeFrame(frame, true);
            create(item);
            return;
        }
        if (auto* f = dynamic_cast<ID3v2::UserTextIdentificationFrame*>(frame)) {
            f->setTextEncoding(encodingFor(text, item.sDescription));
            StringList fields;
            fields.append(toTagString(item.sDescription));
            fields.append(toTagString(text));
            f->TextIdentificationFrame::setText(fields);
        } else if (auto* f = dynamic_cast<ID3v2::TextIdentificationFrame*>(frame)) {
            f->setTextEncoding(encodingFor(text));
            f->setText(toTagString(text));
        } else if (auto* f = dynamic_cast<ID3v2::CommentsFrame*>(frame)) {
            f->setTextEncoding(encodingFor(text, toQString(f->description())));
            f->setText(toTagString(text));
        } else if (auto* f = dynamic_cast<ID3v2::UnsynchronizedLyricsFrame*>(frame)) {
            f->setTextEncoding(encodingFor(text, toQString(f->description())));
            f->setText(toTagString(text));
        } else if (auto* f = dynamic_cast<ID3v2::UniqueFileIdentifierFrame*>(frame)) {
            f->setIdentifier(latin1Bytes(text));
        } else if (auto* f = dynamic_cast<ID3v2::UserUrlLinkFrame*>(frame)) {
            f->setTextEncoding(encodingFor(toQString(f->description())));
            f->setUrl(toTagString(text));
        } else if (auto* f = dynamic_cast<ID3v2::UrlLinkFrame*>(frame)) {
            f->setUrl(toTagString(text));
        } else {
            m_owner.reportMissingField();
        }
    }

    void create(const clsID3Frame& item)
    {
        const QString text = valueText(item.vValue);
        const QString& desc = item.sDescription;
        QByteArray id = FrameIdFor(item.eType);
        if (item.eType == kYear)
            id = m_v4 ? "TDRC" : "TYER";
        const ByteVector frameId(id.constData(), uint(id.size()));
        const String::Type enc = encodingFor(text, desc);
        ID3v2::Frame* frame = nullptr;
        if (id == "TXXX") {
            auto* f = new ID3v2::UserTextIdentificationFrame(enc);
            f->setDescription(toTagString(desc));
            f->setText(toTagString(text));
            frame = f;
        } else if (id.startsWith('T')) {
            auto* f = new ID3v2::TextIdentificationFrame(frameId, enc);
            f->setText(toTagString(text));
            frame = f;
        } else if (id == "COMM") {
            auto* f = new ID3v2::CommentsFrame(enc);
            f->setLanguage(languageOf(item.vLanguage));
            f->setDescription(toTagString(desc));
            f->setText(toTagString(text));
            frame = f;
        } else if (id == "USLT") {
            auto* f = new ID3v2::UnsynchronizedLyricsFrame(enc);
            f->setLanguage(languageOf(item.vLanguage));
            f->setDescription(toTagString(desc));
            f->setText(toTagString(text));
            frame = f;
        } else if (id == "UFID") {
            frame = new ID3v2::UniqueFileIdentifierFrame(String(), latin1Bytes(text));
        } else if (id == "WXXX") {
            auto* f = new ID3v2::UserUrlLinkFrame(encodingFor(desc));
            f->setDescription(toTagString(desc));
            f->setUrl(toTagString(text));
            frame = f;
        } else if (id.startsWith('W')) {
            auto* f = new ID3v2::UrlLinkFrame(frameId);
            f->setUrl(toTagString(text));
            frame = f;
        }
        if (frame)
            m_tag->addFrame(frame);
        else
            m_owner.reportMissingField();
    }

    const ID3V2Tag& m_owner;
    ID3v2::Tag* m_tag;
    bool m_v4;
};

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
    if (file.v2.present && file.trailers.id3v1.found()
        && ReplaceFileRange(m_fileName, file.trailers.id3v1.start, file.trailers.id3v1.end, QByteArray()))
        file.chop(128);

    if (file.v2.present) {
        m_framesSize = file.v2.valid ? file.v2.completeSize : 0;
        CachedFileStream stream(file.fd, file.size, file.head, file.tail);
        MPEG::File mpeg(&stream, ID3v2::FrameFactory::instance(), false);
        if (ID3v2::Tag* tag = mpeg.ID3v2Tag(false)) {
            m_tagVersion = int(tag->header()->majorVersion());
            file.repair(tag);
            const ID3v2::FrameList& frames = tag->frameList();
            m_frames.reserve(qsizetype(frames.size()));
            int index = 0;
            for (const ID3v2::Frame* frame : frames)
                m_frames.append(itemFor(frame, ++index));
            m_frameCount = index;
        }
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
    for (int kind : {TagType::ID3v1, TagType::ID3v2, TagType::Lyrics3, TagType::Lyrics3v2, TagType::MusicMatch})
        if (flags & kind)
            ok = stripOne(kind) && ok;
    return ok;
}

bool ID3V2Tag::stripOne(int kind)
{
    OpenedTagFile file;
    if (m_fileName.isEmpty() || !file.open(m_fileName))
        return false;
    if (!(file.tagTypes() & kind))
        return true;
    ByteRange range;
    switch (kind) {
    case TagType::ID3v1: range = file.trailers.id3v1; break;
    case TagType::ID3v2:
        // Never cut by a size that runs into the trailing tags or past the end.
        if (file.v2.valid && file.v2.completeSize <= file.trailerStart() && !file.tagOverlapsAudio())
            range = {0, file.v2.completeSize};
        break;
    case TagType::Lyrics3:
    case TagType::Lyrics3v2: range = file.trailers.lyrics3; break;
    case TagType::MusicMatch: range = file.trailers.musicMatch; break;
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
        file.repair(tag);
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
        rendered = InsertFrames(rendered, framesTagLibDrops(file.tagBytes(), rendered));
    return ReplaceFileRange(m_fileName, 0, oldSize, rendered);
}
