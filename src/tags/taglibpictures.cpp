// The pictures of FLAC, Ogg and MP4 files as CoverPicture: the part of
// TagLibTag that turns them into TagLib's forms and checks the formats' limits.
#include "taglibtag.h"

#include <algorithm>

namespace {

// TagLib's MP4 cover formats.
constexpr int kMp4Gif = 12;
constexpr int kMp4Jpeg = 13;
constexpr int kMp4Png = 14;
constexpr int kMp4Bmp = 27;

// A FLAC metadata block's length has 24 bits.
constexpr qint64 kMaxFlacBlock = 0xFFFFFF;
// Vorbis comment lengths and MP4 atom sizes have 32 bits.
constexpr qint64 kMax32 = 0xFFFFFFFFLL;

int mp4CoverFormat(const QString& mime)
{
    if (mime == QLatin1String("image/png"))
        return kMp4Png;
    if (mime == QLatin1String("image/gif"))
        return kMp4Gif;
    if (mime == QLatin1String("image/bmp"))
        return kMp4Bmp;
    return kMp4Jpeg;
}

QString mp4CoverMime(int format, const QByteArray& data)
{
    switch (format) {
    case kMp4Gif:
        return QStringLiteral("image/gif");
    case kMp4Jpeg:
        return QStringLiteral("image/jpeg");
    case kMp4Png:
        return QStringLiteral("image/png");
    case kMp4Bmp:
        return QStringLiteral("image/bmp");
    default:
        return withImageFacts(coverPicture(data)).mimeType;
    }
}

CoverPicture fromTagPicture(const TagPicture& t)
{
    CoverPicture c;
    c.type = t.type;
    c.mimeType = t.mimeType;
    c.description = t.description;
    c.data = t.data;
    c.width = t.width;
    c.height = t.height;
    c.depth = t.colorDepth;
    return c;
}

// Bytes of a FLAC picture as stored: the block body, and base64 of it in a comment.
qint64 pictureBlockSize(const TagPicture& p)
{
    return 32 + p.mimeType.toUtf8().size() + p.description.toUtf8().size() + p.data.size();
}

qint64 inCommentSize(const TagPicture& p)
{
    return qint64(sizeof("METADATA_BLOCK_PICTURE=")) + 4 + (pictureBlockSize(p) + 2) / 3 * 4;
}

FileError tooLarge(const QString& what)
{
    return { ErrorNo::Overflow, what + QStringLiteral(" The file was left as it was.") };
}

} // namespace

QList<CoverPicture> TagLibTag::coverPictures() const
{
    QList<CoverPicture> out;
    if (!m_format)
        return out;
    if (*m_format != AudioFormat::Mp4) {
        for (const TagPicture& t : m_pictures)
            out << fromTagPicture(t);
        return out;
    }
    const Mp4Value covers = m_mp4.value(QStringLiteral("covr"));
    for (int i = 0; i < covers.blobs.size(); ++i) {
        CoverPicture c = coverPicture(covers.blobs[i]);
        c.mimeType = mp4CoverMime(covers.blobTypes.value(i), covers.blobs[i]);
        out << c;
    }
    return out;
}

FileError TagLibTag::setCoverPictures(const QList<CoverPicture>& pictures)
{
    if (!m_format)
        return { ErrorNo::NotFound, QStringLiteral("No FLAC, Ogg or MP4 file was read.") };
    if (*m_format == AudioFormat::Mp4) {
        const QString key = QStringLiteral("covr");
        const Mp4Value held = m_mp4.value(key);
        Mp4Value covers;
        qint64 size = 0;
        for (const CoverPicture& c : pictures) {
            // A cover kept in its place keeps its stored format, even an unknown one.
            const qsizetype at = covers.blobs.size();
            const bool kept = at < held.blobs.size() && held.blobs[at] == c.data;
            covers.blobs << c.data;
            covers.blobTypes << (kept ? held.blobTypes.value(at) : mp4CoverFormat(withImageFacts(c).mimeType));
            size += 16 + c.data.size();
        }
        if (size > kMax32 / 2)
            return tooLarge(QStringLiteral("The covers would pass what an MP4 item can hold."));
        if (covers.blobs == held.blobs && covers.blobTypes == held.blobTypes)
            return {};
        setMp4(key, covers.blobs.isEmpty() ? std::nullopt : std::optional<Mp4Value>(covers));
        return {};
    }

    const bool flac = *m_format == AudioFormat::Flac;
    QList<TagPicture> next;
    QList<bool> used(m_pictures.size(), false);
    for (const CoverPicture& c : pictures) {
        int held = -1;
        for (int i = 0; i < m_pictures.size() && held < 0; ++i) {
            const CoverPicture old = fromTagPicture(m_pictures[i]);
            const bool sizes = (c.width == old.width && c.height == old.height && c.depth == old.depth)
                || (c.width == 0 && c.height == 0 && c.depth == 0);
            if (!used[i] && samePicture(c, old) && sizes)
                held = i;
        }
        if (held >= 0) {
            used[held] = true;
            next << m_pictures[held];
            continue;
        }
        const CoverPicture filled = withImageFacts(c);
        TagPicture t;
        t.type = filled.type;
        t.mimeType = filled.mimeType;
        t.description = filled.description;
        t.data = filled.data;
        t.width = filled.width;
        t.height = filled.height;
        t.colorDepth = filled.depth;
        t.inComment = !flac;
        next << t;
    }
    // A FLAC file's comment pictures read back before its picture blocks.
    std::stable_partition(next.begin(), next.end(), [](const TagPicture& p) { return p.inComment; });

    qint64 commentSize = 1024; // the vendor string and lengths, with room to spare
    for (auto it = m_comments.cbegin(); it != m_comments.cend(); ++it)
        for (const QString& v : it.value())
            commentSize += 4 + it.key().size() + 1 + v.toUtf8().size();
    for (const TagPicture& p : next) {
        if (p.inComment)
            commentSize += inCommentSize(p);
        else if (pictureBlockSize(p) > kMaxFlacBlock)
            return tooLarge(QStringLiteral("The picture would pass the 16 MB a FLAC metadata block can hold."));
    }
    if (commentSize > (flac ? kMaxFlacBlock : kMax32))
        return tooLarge(flac ? QStringLiteral("The comment block would pass the 16 MB a FLAC metadata block can hold.")
                             : QStringLiteral("The comment would pass the 4 GB an Ogg comment can hold."));
    if (next != m_pictures) {
        m_pictures = next;
        m_picturesChanged = true;
    }
    return {};
}
