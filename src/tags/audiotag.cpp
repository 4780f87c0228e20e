#include "audiotag.h"

#include "tags/id3v2tag.h"
#include "tags/tagtypes.h"
#include "text/texthelpers.h"

// An MP3 tag until a file is read: every call has an object to go to.
AudioTag::AudioTag()
    : m_id3v2(std::make_unique<ID3V2Tag>())
{
}
AudioTag::~AudioTag() = default;

FileError AudioTag::setFileName(const QString& path)
{
    m_id3v2.reset();
    m_taglib.reset();
    m_pictureRefusal = FileError();
    m_fileName = path;
    m_format = AudioFormat::Mp3;
    // A file named .mp3 goes to the MP3 code at once (one open, as fast as
    // ever); only when it holds no MPEG audio do its first bytes decide.
    if (path.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive)) {
        const FileError error = loadMp3(path);
        if (!error.ok() || m_id3v2->holdsAudio())
            return error;
    }
    // A file that cannot be read is handed to the MP3 code, which says why.
    m_format = audioFormatOf(path).value_or(AudioFormat::Mp3);
    if (m_format == AudioFormat::Mp3)
        return m_id3v2 ? FileError() : loadMp3(path);
    m_id3v2.reset();
    m_taglib = std::make_unique<TagLibTag>();
    const FileError error = m_taglib->setFileName(path);
    if (!error.ok())
        m_taglib = std::make_unique<TagLibTag>();
    return error;
}

FileError AudioTag::loadMp3(const QString& path)
{
    m_id3v2 = std::make_unique<ID3V2Tag>();
    m_id3v2->setKeepTrailerOnLoad(m_keepTrailerOnLoad);
    const FileError error = m_id3v2->setFileName(path);
    if (!error.ok())
        m_id3v2 = std::make_unique<ID3V2Tag>();
    return error;
}

bool AudioTag::holdsField(FieldId id) const
{
    if (m_taglib)
        // The copyright bit is the MPEG header's; a COPYRIGHT comment is an
        // item like any other.
        return id != FieldId::CopyRight && m_taglib->holdsField(id);
    return true;
}

QString AudioTag::fieldText(FieldId id) const
{
    if (m_id3v2)
        return m_id3v2->fieldText(id);
    if (m_taglib && holdsField(id))
        return m_taglib->fieldText(id);
    return QString();
}

bool AudioTag::setFieldText(FieldId id, const QString& text)
{
    if (m_id3v2) {
        m_id3v2->setFieldText(id, text);
        return true;
    }
    return m_taglib && holdsField(id) && m_taglib->setFieldText(id, text);
}

int AudioTag::track() const
{
    return m_id3v2 ? m_id3v2->track() : leadingNumber(fieldText(FieldId::Track));
}

int AudioTag::totalTracks() const
{
    return m_id3v2 ? m_id3v2->totalTracks() : leadingNumber(fieldText(FieldId::TotalTracks));
}

int AudioTag::year() const
{
    return m_id3v2 ? m_id3v2->year() : leadingNumber(fieldText(FieldId::Year));
}

bool AudioTag::copyright() const
{
    return m_id3v2 && m_id3v2->audio().copyright;
}

TagLibAudioFacts AudioTag::audioFacts() const
{
    if (m_taglib)
        return m_taglib->audio();
    TagLibAudioFacts facts;
    if (!m_id3v2 || !m_id3v2->holdsAudio())
        return facts;
    const MpegAudioFacts& mpeg = m_id3v2->audio();
    facts.codec = mpeg.layer == 3 ? QStringLiteral("MP3") : QStringLiteral("MPEG Layer %1").arg(mpeg.layer);
    facts.sampleRate = mpeg.sampleRate;
    facts.channels = mpeg.channelMode == MpegAudioFacts::ChannelMode::Mono ? 1 : 2;
    facts.lengthMs = qint64(mpeg.duration * 1000 + 0.5);
    facts.bitRate = mpeg.bitRate;
    return facts;
}

bool AudioTag::takesTrailer() const
{
    return m_id3v2 && m_id3v2->holdsAudio();
}

QList<CoverPicture> AudioTag::pictures() const
{
    if (m_id3v2)
        return m_id3v2->pictures();
    return m_taglib ? m_taglib->coverPictures() : QList<CoverPicture>();
}

std::optional<CoverPicture> AudioTag::frontCover() const
{
    const QList<CoverPicture> all = pictures();
    const int at = frontCoverIndex(all);
    return at < 0 ? std::nullopt : std::optional<CoverPicture>(all[at]);
}

bool AudioTag::setPictures(const QList<CoverPicture>& pictures)
{
    m_pictureRefusal = FileError();
    QList<CoverPicture> wanted;
    for (const CoverPicture& p : pictures) {
        m_pictureRefusal = pictureRefusal(p);
        if (!m_pictureRefusal.ok())
            return false;
        wanted << p;
        if (wanted.last().mimeType.isEmpty())
            wanted.last().mimeType = withImageFacts(p).mimeType;
    }
    if (m_id3v2) {
        m_pictureRefusal = m_id3v2->setPictures(wanted);
        return m_pictureRefusal.ok();
    }
    if (!m_taglib) {
        m_pictureRefusal = { ErrorNo::NotFound, QStringLiteral("No file was read.") };
        return false;
    }
    m_pictureRefusal = m_taglib->setCoverPictures(wanted);
    return m_pictureRefusal.ok();
}

bool AudioTag::update()
{
    m_pictureRefusal = FileError();
    if (m_id3v2)
        return m_id3v2->update();
    return m_taglib && m_taglib->update();
}

bool AudioTag::stripTags()
{
    m_pictureRefusal = FileError();
    if (m_id3v2)
        return m_id3v2->stripTags(kAllTagKinds);
    return m_taglib && m_taglib->stripTags();
}

FileError AudioTag::lastWriteError() const
{
    if (!m_pictureRefusal.ok())
        return m_pictureRefusal;
    if (m_id3v2)
        return m_id3v2->lastWriteError();
    return m_taglib ? m_taglib->lastWriteError() : FileError();
}

QStringList AudioTag::notKept() const
{
    if (m_id3v2)
        return m_id3v2->notKept();
    return m_taglib ? m_taglib->notKept() : QStringList();
}

FileError AudioTag::notHeldError(FieldId id, AudioFormat format)
{
    return { ErrorNo::Internal,
        QStringLiteral("The Field %1 Has No Place In %2 Files.")
            .arg(QString::fromLatin1(fieldInfo(id).name), audioFormatName(format)) };
}
