// Loading, saving and stripping: the part of ID3V2Tag that touches files.
#include "id3v2tag.h"

#include "tags/framecodec.h"
#include "tags/id3v1tag.h"
#include "tags/openedtagfile.h"
#include "tags/safefilewrite.h"
#include "tags/storedtag.h"
#include "tags/tagscan.h"
#include "tags/writeaccess.h"
#include "text/texthelpers.h"

#include <QHash>

#include <cerrno>
#include <sys/stat.h>

namespace {

// Why OpenedTagFile::open failed (errno is cleared before it): a file that
// opens but is not a regular one leaves errno at 0.
FileError openFailure(const QString& path)
{
    return fileErrorFromErrno(path.isEmpty() ? ENOENT : errno ? errno : EISDIR);
}

// A frame's name in a message: the item's frame ID.
QString frameNameForItem(const QByteArray& frameId)
{
    return frameId.isEmpty() ? QStringLiteral("without an ID") : QString::fromLatin1(frameId);
}

} // namespace

FileError ID3V2Tag::setFileName(const QString& fileName)
{
    clearValues();
    OpenedTagFile file;
    errno = 0;
    if (!file.open(fileName))
        return openFailure(fileName);
    m_fileName = fileName;
    if (QString(fileName).remove(QLatin1Char(' ')).isEmpty())
        return fileErrorFromErrno(ENOENT);
    loadFrom(file);
    if (file.tagTooLarge())
        return { ErrorNo::Internal, OpenedTagFile::tagTooLargeText() };
    return {};
}

void ID3V2Tag::loadFrames()
{
    clearValues();
    m_frameCount = 0;
    m_framesSize = 0;
    m_tagVersion = 0;
    OpenedTagFile file;
    if (m_fileName.isEmpty() || !file.open(m_fileName)) {
        m_audio = MpegAudioFacts();
        return;
    }
    loadFrom(file);
}

void ID3V2Tag::loadFrom(OpenedTagFile& file)
{
    clearValues();
    m_frameCount = 0;
    m_framesSize = 0;
    m_tagVersion = 0;
    m_loadedTagHash = 0;

    ID3V1Tag v1;
    const bool hasTrailer = file.trailers.id3v1.found() && v1.readFromBytes(file.tail.right(128));
    bool trailerHeld = false; // the ID3v2 tag holds everything the trailer holds
    if (file.v2.valid && !file.tagTooLarge()) {
        const QByteArray bytes = file.tagBytes();
        StoredTag stored;
        if (readStoredTag(bytes, &stored)) {
            m_tagVersion = stored.version;
            m_frames.reserve(stored.frames.size());
            int index = 0;
            for (const StoredFrame& frame : stored.frames)
                m_frames.append(itemForStoredFrame(frame, stored.version, ++index));
            m_frameCount = index;
        }
        m_framesSize = file.v2.completeSize;
        m_loadedTagHash = qHash(bytes, 1);
        trailerHeld = hasTrailer && !takeTrailerValues(v1);
    } else if (hasTrailer) {
        // Every value is a new item: the save writes them all as a new tag.
        takeTrailerValues(v1);
        m_frameCount = int(m_frames.size());
    }

    ::readHeader(m_audio, file.head, file.size, file.reader());
    // The trailer goes once the ID3v2 tag holds everything it holds; a value
    // only the trailer has stays in the file until it is saved. Nobody asked
    // for this write: a file that may not be changed so, or that is no MPEG
    // audio, keeps its trailer.
    if (trailerHeld && !m_keepTrailerOnLoad && holdsAudio() && mayChangeUnasked(m_fileName)
        && replaceFileRange(m_fileName, file.trailers.id3v1.start, file.trailers.id3v1.end, QByteArray())) {
        file.chop(128);
        ::readHeader(m_audio, file.head, file.size, file.reader());
    }
    stripQuotes();
}

bool ID3V2Tag::takeTrailerValues(const ID3V1Tag& v1)
{
    bool taken = false;
    auto take = [&](const QString& current, const QString& value, void (ID3V2Tag::*set)(const QString&)) {
        if (!current.isEmpty() || value.isEmpty())
            return;
        (this->*set)(value);
        taken = true;
    };
    take(title(), v1.title(), &ID3V2Tag::setTitle);
    take(artist(), v1.artist(), &ID3V2Tag::setArtist);
    take(album(), v1.album(), &ID3V2Tag::setAlbum);
    take(comments(), v1.comment(), &ID3V2Tag::setComments);
    if (v1.genre() != 255)
        take(genre(), QLatin1Char('(') + QString::number(v1.genre()) + QLatin1Char(')'), &ID3V2Tag::setGenre);
    if (year() == 0 && leadingNumber(v1.year()) > 0) {
        // The trailer's text as it stands ("1997"), not a number made of it.
        setFrameValue("TYER", v1.year().trimmed(), QString());
        taken = true;
    }
    if (track() == 0 && v1.track() > 0) {
        setTrack(v1.track());
        taken = true;
    }
    return taken;
}

TagKinds ID3V2Tag::tagKinds() const
{
    OpenedTagFile file;
    if (m_fileName.isEmpty() || !file.open(m_fileName))
        return {};
    return TagKinds::fromInt(file.tagTypes()) & kAllTagKinds;
}

bool ID3V2Tag::hasTagType(TagKinds kinds) const
{
    return kinds != TagKinds() && (tagKinds() & kinds) == kinds;
}

bool ID3V2Tag::stripTags(TagKinds kinds)
{
    m_lastWriteError = {};
    m_notKept.clear();
    bool ok = true;
    for (TagKind kind : kTagKinds)
        if (kinds.testFlag(kind))
            ok = stripOne(kind) && ok;
    return ok;
}

bool ID3V2Tag::stripOne(TagKind kind)
{
    OpenedTagFile file;
    errno = 0;
    if (m_fileName.isEmpty() || !file.open(m_fileName))
        return refuse(openFailure(m_fileName));
    // A broken "ID3" start is no tag to report, but it is not nothing to strip.
    const bool there = kind == TagKind::ID3v2 ? file.v2.present : TagKinds::fromInt(file.tagTypes()).testFlag(kind);
    if (!there)
        return true;
    // Whether such a tag runs into the audio cannot be told without reading it.
    if (kind == TagKind::ID3v2 && file.tagTooLarge())
        return refuse({ ErrorNo::Internal, OpenedTagFile::tagTooLargeText() });
    ByteRange range;
    switch (kind) {
    case TagKind::ID3v1:
        range = file.trailers.id3v1;
        break;
    case TagKind::ID3v2:
        // Never cut by a size that runs into the trailing tags or past the end.
        if (file.v2.valid && file.v2.completeSize <= file.trailerStart() && !file.tagOverlapsAudio())
            range = { 0, file.v2.completeSize };
        break;
    case TagKind::Lyrics3:
    case TagKind::Lyrics3v2:
        range = file.trailers.lyrics3;
        break;
    case TagKind::MusicMatch:
        range = file.trailers.musicMatch;
        break;
    }
    if (!range.found())
        return refuse({ ErrorNo::Internal,
            kind == TagKind::ID3v2 && !file.v2.valid ? QStringLiteral("The ID3v2 header is damaged.")
                                                     : QStringLiteral("The tag's size runs into the audio.") });
    FileError err;
    return replaceFileRange(m_fileName, range.start, range.end, QByteArray(), &err, &m_notKept) || refuse(err);
}

bool ID3V2Tag::refuse(const FileError& why)
{
    m_lastWriteError = why;
    return false;
}

bool ID3V2Tag::saveFrames()
{
    m_lastWriteError = {};
    m_notKept.clear();
    stripQuotes();
    bool pending = false;
    for (const FrameItem& item : m_frames)
        pending = pending || item.added || item.deleted || item.changed;
    if (!pending)
        return true;

    OpenedTagFile file;
    errno = 0;
    if (m_fileName.isEmpty() || !file.open(m_fileName))
        return refuse(openFailure(m_fileName));
    if (!(file.mode & S_IWUSR))
        return refuse(fileErrorFromErrno(EACCES)); // read-only: never made writable here

    StoredTag stored;
    QByteArray oldBytes;
    qint64 oldSize = 0;
    if (file.tagTooLarge())
        return refuse({ ErrorNo::Internal, OpenedTagFile::tagTooLargeText() });
    if (file.v2.present) {
        oldBytes = file.tagBytes();
        if (!file.v2.valid || !readStoredTag(oldBytes, &stored))
            return refuse({ ErrorNo::Internal, QStringLiteral("The ID3v2 header is damaged.") });
        if (!stored.damage.isEmpty())
            return refuse({ ErrorNo::Internal, stored.damage + QStringLiteral(" Saving would lose what follows it.") });
        if (file.v2.completeSize > file.trailerStart() || file.tagOverlapsAudio())
            return refuse({ ErrorNo::Internal, QStringLiteral("The tag's size runs into the audio.") });
        oldSize = file.v2.completeSize;
    }
    const int version = file.v2.present ? stored.version : 3;
    const bool sameTag = file.v2.present && m_loadedTagHash == qHash(oldBytes, 1);
    const bool unsynchronise = version == 4 && (stored.flags & Id3v2Flag::Unsynchronisation);

    // The new tag in parts: views of the frames kept (into oldBytes, which
    // is not copied), and the frames made anew.
    QList<QByteArrayView> kept;
    kept.reserve(stored.frames.size());
    for (const StoredFrame& f : stored.frames)
        kept << f.bytes;
    QList<QByteArray> remade;
    QList<bool> used(stored.frames.size(), false);
    QByteArray added;
    QString unwritable; // the frame of the first item its frame kind cannot hold
    auto render = [&](const FrameItem& item, quint16 status) {
        const QByteArray id = frameIdForItem(item.frameId, version);
        const QByteArray data = frameDataForItem(item, version);
        if (id.isEmpty() || data.isEmpty()) {
            if (unwritable.isEmpty())
                unwritable = frameNameForItem(item.frameId);
            return QByteArray();
        }
        return renderFrame(version, id, status, data, unsynchronise, stored.frameSizes);
    };
    // Where the item's own frame is now: at its place when the tag is the
    // one loaded, else the first unused frame of its kind, description and
    // language (two comments may differ only in their language).
    auto frameOf = [&](const FrameItem& item) {
        const int at = item.position - 1;
        if (sameTag)
            return at >= 0 && at < kept.size() && !used[at] ? at : -1;
        for (int i = 0; i < stored.frames.size(); ++i) {
            if (used[i])
                continue;
            const FrameItem other = itemForStoredFrame(stored.frames[i], version, i + 1);
            // An item that took over an unreadable frame finds it by that frame's kind.
            if (!item.unreadableId.isEmpty()) {
                if (other.frameId.isEmpty() && other.unreadableId == item.unreadableId)
                    return i;
                continue;
            }
            if (other.frameId == item.frameId && other.description == item.description
                && other.language == item.language)
                return i;
        }
        return -1;
    };
    for (const FrameItem& item : m_frames) {
        const bool fromFile = !item.added;
        if (fromFile && !item.deleted && !item.changed)
            continue;
        const int at = fromFile ? frameOf(item) : -1;
        if (at < 0) {
            if (!item.deleted)
                added += render(item, 0);
            continue;
        }
        used[at] = true;
        if (item.deleted) {
            kept[at] = QByteArrayView();
        } else {
            // The status byte (what to do when the tag or file changes) stays;
            // the format byte is made anew for the new data.
            remade << render(item, stored.frames[at].flags & 0xFF00);
            kept[at] = remade.last();
        }
    }
    if (!unwritable.isEmpty())
        return refuse({ ErrorNo::Internal,
            QStringLiteral("Frame ") + unwritable
                + QStringLiteral(" cannot hold the value given to it in this tag version.") });

    kept << added;
    qint64 framesSize = 0;
    for (QByteArrayView f : kept)
        framesSize += f.size();
    FileError err;
    if (framesSize == 0)
        return oldSize == 0 || replaceFileRange(m_fileName, 0, oldSize, QByteArray(), &err, &m_notKept) || refuse(err);
    const bool footer = version == 4 && (stored.flags & Id3v2Flag::Footer);
    TagPieces rendered;
    if (!renderTagPieces(version, stored.flags, kept, oldSize, footer, &rendered))
        return refuse({ ErrorNo::Internal, QStringLiteral("The tag would pass the 256 MB an ID3v2 tag can hold.") });
    if (rendered.spell(oldBytes))
        return true;
    return replaceFileRange(m_fileName, 0, oldSize, rendered.pieces, &err, &m_notKept) || refuse(err);
}
