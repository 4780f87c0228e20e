#include "taglibtag.h"

#include "tags/audiodata.h"
#include "tags/carryover.h"
#include "tags/formatfields.h"
#include "tags/regularfile.h"
#include "tags/safefilewrite.h"
#include "text/texthelpers.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/mp4file.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr quint32 kSnapshotMagic = 0x564D5447; // "VMTG"
constexpr qint32 kSnapshotVersion = 1;

QString qs(const TagLib::String& s)
{
    return QString::fromStdString(s.to8Bit(true));
}

TagLib::String ts(const QString& s)
{
    return TagLib::String(s.toStdString(), TagLib::String::UTF8);
}

QByteArray qb(const TagLib::ByteVector& v)
{
    return QByteArray(v.data(), v.size());
}

TagLib::ByteVector tb(const QByteArray& b)
{
    return TagLib::ByteVector(b.constData(), uint(b.size()));
}

// How TagLib 1.13 reads and writes an MP4 item: fixed by its key.
enum class Mp4Form { Text, Pair, Bool, Int, UInt, LongLong, Byte, Cover, FreeForm, Rate };

Mp4Form mp4Form(const QString& key)
{
    static const QSet<QString> bools = { "cpil", "pgap", "pcst", "hdvd", "shwm" };
    static const QSet<QString> ints = { "tmpo", QStringLiteral("\u00A9mvi"), QStringLiteral("\u00A9mvc") };
    static const QSet<QString> uints = { "tvsn", "tves", "cnID", "sfID", "atID", "geID", "cmID" };
    static const QSet<QString> bytes = { "stik", "rtng", "akID" };
    if (key.startsWith(QLatin1String("----")))
        return Mp4Form::FreeForm;
    if (key == QLatin1String("trkn") || key == QLatin1String("disk"))
        return Mp4Form::Pair;
    if (bools.contains(key))
        return Mp4Form::Bool;
    if (ints.contains(key))
        return Mp4Form::Int;
    if (uints.contains(key))
        return Mp4Form::UInt;
    if (key == QLatin1String("plID"))
        return Mp4Form::LongLong;
    if (bytes.contains(key))
        return Mp4Form::Byte;
    if (key == QLatin1String("covr"))
        return Mp4Form::Cover;
    if (key == QLatin1String("rate"))
        return Mp4Form::Rate;
    return Mp4Form::Text;
}

Mp4Value fromItem(const QString& key, const TagLib::MP4::Item& item)
{
    Mp4Value v;
    switch (mp4Form(key)) {
    case Mp4Form::Text:
    case Mp4Form::Rate:
        for (const TagLib::String& s : item.toStringList())
            v.texts << qs(s);
        if (!v.texts.isEmpty() || mp4Form(key) == Mp4Form::Text)
            break;
        v.number = item.toInt(); // a numeric rate
        break;
    case Mp4Form::FreeForm:
        for (const TagLib::String& s : item.toStringList())
            v.texts << qs(s);
        for (const TagLib::ByteVector& b : item.toByteVectorList())
            v.blobs << qb(b);
        v.dataType = int(item.atomDataType());
        break;
    case Mp4Form::Pair:
        v.number = item.toIntPair().first;
        v.second = item.toIntPair().second;
        break;
    case Mp4Form::Bool:
        v.number = item.toBool();
        break;
    case Mp4Form::Int:
        v.number = item.toInt();
        break;
    case Mp4Form::UInt:
        v.number = item.toUInt();
        break;
    case Mp4Form::LongLong:
        v.number = item.toLongLong();
        break;
    case Mp4Form::Byte:
        v.number = item.toByte();
        break;
    case Mp4Form::Cover:
        for (const TagLib::MP4::CoverArt& c : item.toCoverArtList()) {
            v.blobs << qb(c.data());
            v.blobTypes << int(c.format());
        }
        break;
    }
    return v;
}

TagLib::MP4::Item toItem(const QString& key, const Mp4Value& v)
{
    TagLib::StringList texts;
    for (const QString& t : v.texts)
        texts.append(ts(t));
    switch (mp4Form(key)) {
    case Mp4Form::Text:
        return TagLib::MP4::Item(texts);
    case Mp4Form::Rate:
        return v.texts.isEmpty() ? TagLib::MP4::Item(int(v.number)) : TagLib::MP4::Item(texts);
    case Mp4Form::FreeForm: {
        TagLib::MP4::Item item;
        if (!v.texts.isEmpty() || v.dataType == TagLib::MP4::TypeUTF8) {
            item = TagLib::MP4::Item(texts);
        } else {
            TagLib::ByteVectorList blobs;
            for (const QByteArray& b : v.blobs)
                blobs.append(tb(b));
            item = TagLib::MP4::Item(blobs);
        }
        item.setAtomDataType(TagLib::MP4::AtomDataType(v.dataType < 0 ? TagLib::MP4::TypeUTF8 : v.dataType));
        return item;
    }
    case Mp4Form::Pair:
        return TagLib::MP4::Item(int(v.number), v.second);
    case Mp4Form::Bool:
        return TagLib::MP4::Item(v.number != 0);
    case Mp4Form::Int:
        return TagLib::MP4::Item(int(v.number));
    case Mp4Form::UInt:
        return TagLib::MP4::Item(uint(v.number));
    case Mp4Form::LongLong:
        return TagLib::MP4::Item((long long)(v.number));
    case Mp4Form::Byte:
        return TagLib::MP4::Item(uchar(v.number));
    case Mp4Form::Cover: {
        TagLib::MP4::CoverArtList covers;
        for (int i = 0; i < v.blobs.size(); ++i)
            covers.append(TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::Format(v.blobTypes.value(i)), tb(v.blobs[i])));
        return TagLib::MP4::Item(covers);
    }
    }
    return TagLib::MP4::Item();
}

// What an MP4 item shows as text: its texts, or its numbers.
QStringList mp4Texts(const QString& key, const Mp4Value& v)
{
    switch (mp4Form(key)) {
    case Mp4Form::Text:
    case Mp4Form::FreeForm:
    case Mp4Form::Rate:
        if (!v.texts.isEmpty() || mp4Form(key) != Mp4Form::Rate)
            return v.texts;
        return { QString::number(v.number) };
    case Mp4Form::Pair:
        return { QStringLiteral("%1/%2").arg(v.number).arg(v.second) };
    case Mp4Form::Cover:
        return {};
    default:
        return { QString::number(v.number) };
    }
}

TagPicture fromPicture(const TagLib::FLAC::Picture& p, bool inComment)
{
    TagPicture t;
    t.type = int(p.type());
    t.mimeType = qs(p.mimeType());
    t.description = qs(p.description());
    t.width = p.width();
    t.height = p.height();
    t.colorDepth = p.colorDepth();
    t.colorCount = p.numColors();
    t.data = qb(p.data());
    t.inComment = inComment;
    return t;
}

// TagLib leaves width, height and depth as they are given: all of them are
// carried over, never worked out again.
TagLib::FLAC::Picture* toPicture(const TagPicture& t)
{
    auto p = new TagLib::FLAC::Picture;
    p->setType(TagLib::FLAC::Picture::Type(t.type));
    p->setMimeType(ts(t.mimeType));
    p->setDescription(ts(t.description));
    p->setWidth(t.width);
    p->setHeight(t.height);
    p->setColorDepth(t.colorDepth);
    p->setNumColors(t.colorCount);
    p->setData(tb(t.data));
    return p;
}

// Everything a file's tag holds, as Velmora keeps it.
struct TagState {
    TagLibTag::Comments comments;
    QList<TagPicture> pictures;
    TagLibTag::Mp4Items mp4;
    bool operator==(const TagState&) const = default;
};

void readComment(const TagLib::Ogg::XiphComment* xiph, TagState* state)
{
    if (!xiph)
        return;
    // fieldListMap() gives a copy: keep it alive while walking it.
    const TagLib::Ogg::FieldListMap fields = xiph->fieldListMap();
    for (const auto& [key, values] : fields) {
        QStringList list;
        for (const TagLib::String& v : values)
            list << qs(v);
        state->comments.insert(qs(key), list);
    }
    auto pictures = const_cast<TagLib::Ogg::XiphComment*>(xiph)->pictureList();
    for (const TagLib::FLAC::Picture* p : pictures)
        state->pictures << fromPicture(*p, true);
}

FileError damagedError(AudioFormat format)
{
    return { ErrorNo::WrongType,
        QStringLiteral("The file cannot be read as %1: it is damaged or holds another format.")
            .arg(audioFormatName(format)) };
}

void readFacts(const TagLib::AudioProperties* p, TagLibAudioFacts* facts)
{
    facts->sampleRate = p->sampleRate();
    facts->channels = p->channels();
    facts->lengthMs = p->lengthInMilliseconds();
    facts->bitRate = p->bitrate();
}

// An Ogg file's comment (and with facts, its audio facts): Vorbis and Opus
// differ only in their file class and codec name.
template <typename OggFile>
FileError readOggState(
    const QByteArray& name, AudioFormat format, const QString& codec, TagState* state, TagLibAudioFacts* facts)
{
    const bool withFacts = facts != nullptr;
    OggFile f(name.constData(), withFacts, TagLib::AudioProperties::Fast);
    if (!f.isValid() || (withFacts && !f.audioProperties()))
        return damagedError(format);
    readComment(f.tag(), state);
    if (withFacts) {
        readFacts(f.audioProperties(), facts);
        facts->codec = codec;
    }
    return {};
}

// Reads the tag (and with facts, the audio facts) of path through TagLib.
FileError readState(const QString& path, AudioFormat format, TagState* state, TagLibAudioFacts* facts)
{
    const QByteArray name = QFile::encodeName(path);
    const bool withFacts = facts != nullptr;
    const auto style = TagLib::AudioProperties::Fast;
    *state = TagState();
    switch (format) {
    case AudioFormat::Flac: {
        TagLib::FLAC::File f(name.constData(), withFacts, style);
        if (!f.isValid() || (withFacts && !f.audioProperties()))
            return damagedError(format);
        readComment(f.hasXiphComment() ? f.xiphComment() : nullptr, state);
        for (const TagLib::FLAC::Picture* p : f.pictureList())
            state->pictures << fromPicture(*p, false);
        if (withFacts) {
            readFacts(f.audioProperties(), facts);
            facts->codec = QStringLiteral("FLAC");
            facts->bitsPerSample = f.audioProperties()->bitsPerSample();
        }
        return {};
    }
    case AudioFormat::OggVorbis:
        return readOggState<TagLib::Ogg::Vorbis::File>(name, format, QStringLiteral("Vorbis"), state, facts);
    case AudioFormat::Opus:
        return readOggState<TagLib::Ogg::Opus::File>(name, format, QStringLiteral("Opus"), state, facts);
    case AudioFormat::Mp4: {
        TagLib::MP4::File f(name.constData(), withFacts, style);
        if (!f.isValid() || (withFacts && !f.audioProperties()))
            return damagedError(format);
        const TagLib::MP4::ItemMap items = f.tag()->itemMap();
        for (const auto& [key, item] : items)
            state->mp4.insert(qs(key), fromItem(qs(key), item));
        if (withFacts) {
            const TagLib::MP4::Properties* p = f.audioProperties();
            readFacts(p, facts);
            facts->codec = p->codec() == TagLib::MP4::Properties::ALAC ? QStringLiteral("ALAC")
                : p->codec() == TagLib::MP4::Properties::AAC           ? QStringLiteral("AAC")
                                                                       : QStringLiteral("MP4");
            facts->bitsPerSample = p->codec() == TagLib::MP4::Properties::ALAC ? p->bitsPerSample() : 0;
        }
        return {};
    }
    case AudioFormat::Mp3:
        break;
    }
    return { ErrorNo::WrongType, QStringLiteral("The file is no FLAC, Ogg Vorbis, Opus or MP4 file.") };
}

// Puts the wanted comments into xiph: the changed names only, or all.
void writeComment(
    TagLib::Ogg::XiphComment* xiph, const TagState& state, const QStringList& changed, bool all, bool pictures)
{
    if (all)
        xiph->removeAllFields();
    const QStringList names = all ? state.comments.keys() : changed;
    for (const QString& name : names) {
        xiph->removeFields(ts(name));
        for (const QString& v : state.comments.value(name))
            xiph->addField(ts(name), ts(v), false);
    }
    if (!pictures)
        return;
    xiph->removeAllPictures();
    for (const TagPicture& p : state.pictures)
        if (p.inComment)
            xiph->addPicture(toPicture(p));
}

// Writes the wanted state into the file at path through TagLib.
bool writeState(
    const QString& path, AudioFormat format, const TagState& state, const QStringList& changed, bool all, bool pictures)
{
    const QByteArray name = QFile::encodeName(path);
    pictures = pictures || all;
    switch (format) {
    case AudioFormat::Flac: {
        TagLib::FLAC::File f(name.constData(), false);
        if (!f.isValid())
            return false;
        writeComment(f.xiphComment(true), state, changed, all, pictures);
        if (pictures) {
            f.removePictures();
            for (const TagPicture& p : state.pictures)
                if (!p.inComment)
                    f.addPicture(toPicture(p));
        }
        return f.save();
    }
    case AudioFormat::OggVorbis: {
        TagLib::Ogg::Vorbis::File f(name.constData(), false);
        if (!f.isValid())
            return false;
        writeComment(f.tag(), state, changed, all, pictures);
        return f.save();
    }
    case AudioFormat::Opus: {
        TagLib::Ogg::Opus::File f(name.constData(), false);
        if (!f.isValid())
            return false;
        writeComment(f.tag(), state, changed, all, pictures);
        return f.save();
    }
    case AudioFormat::Mp4: {
        TagLib::MP4::File f(name.constData(), false);
        if (!f.isValid())
            return false;
        TagLib::MP4::Tag* tag = f.tag();
        QStringList keys = changed;
        if (all) {
            const TagLib::MP4::ItemMap items = tag->itemMap();
            for (const auto& [key, item] : items)
                keys << qs(key);
            keys << state.mp4.keys();
        }
        // setItem takes any key: setProperties would refuse unknown free-form ones.
        for (const QString& key : keys) {
            if (state.mp4.contains(key))
                tag->setItem(ts(key), toItem(key, state.mp4.value(key)));
            else
                tag->removeItem(ts(key));
        }
        return f.save();
    }
    case AudioFormat::Mp3:
        break;
    }
    return false;
}

// A whole number at the start of text ("03", "12/14"); nothing when text
// does not start with a digit.
std::optional<int> numberAt(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || !t.at(0).isDigit())
        return std::nullopt;
    return leadingNumber(t);
}

// The year of a date: its leading four digits.
std::optional<int> yearOf(const QString& date)
{
    const QString t = date.trimmed();
    if (t.size() < 4)
        return std::nullopt;
    for (int i = 0; i < 4; ++i)
        if (!t.at(i).isDigit())
            return std::nullopt;
    return t.left(4).toInt();
}

QString trackSuffix(const QString& trackNumber)
{
    const int slash = trackNumber.indexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : trackNumber.mid(slash);
}

bool copyAll(int src, int dst)
{
    QByteArray buf(256 * 1024, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(src, buf.data(), size_t(buf.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(dst, buf.constData() + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            done += w;
        }
    }
}

FileError refusal(const QString& why)
{
    return { ErrorNo::Internal, why + QStringLiteral(" The file was left as it was.") };
}

} // namespace

TagLibTag::TagLibTag() = default;
TagLibTag::~TagLibTag() = default;

void TagLibTag::clear()
{
    m_format.reset();
    m_audio = TagLibAudioFacts();
    m_comments.clear();
    m_pictures.clear();
    m_mp4.clear();
    m_changed.clear();
    m_picturesChanged = false;
}

FileError TagLibTag::setFileName(const QString& fileName)
{
    clear();
    m_fileName = fileName;
    if (fileName.isEmpty())
        return { ErrorNo::NotFound, QStringLiteral("No file name was given.") };
    struct stat st { };
    const int fd = openRegularFile(fileName, &st);
    if (fd < 0)
        return fileErrorFromErrno(errno);
    ::close(fd);
    const std::optional<AudioFormat> format = audioFormatOf(fileName);
    if (!format || *format == AudioFormat::Mp3)
        return { ErrorNo::WrongType, QStringLiteral("The file is no FLAC, Ogg Vorbis, Opus or MP4 file.") };
    TagState state;
    TagLibAudioFacts facts;
    const FileError e = readState(fileName, *format, &state, &facts);
    if (!e.ok())
        return e;
    m_format = format;
    m_audio = facts;
    m_comments = state.comments;
    m_pictures = state.pictures;
    m_mp4 = state.mp4;
    return {};
}

bool TagLibTag::holdsField(FieldId id) const
{
    const FormatField& f = formatField(id);
    if (!m_format || f.kind == FormatFieldKind::NotHeld)
        return false;
    return *m_format == AudioFormat::Mp4 ? !f.mp4Keys.isEmpty() : !f.vorbisNames.isEmpty();
}

// The stored values of a text field, and the name they sit under.
QStringList TagLibTag::fieldValues(FieldId id, QString* where) const
{
    const FormatField& f = formatField(id);
    if (!holdsField(id))
        return {};
    if (*m_format == AudioFormat::Mp4) {
        const QString& key = f.mp4Keys.first();
        if (where)
            *where = key;
        return m_mp4.contains(key) ? mp4Texts(key, m_mp4.value(key)) : QStringList();
    }
    for (const QString& name : f.vorbisNames) {
        if (m_comments.contains(name)) {
            if (where)
                *where = name;
            return m_comments.value(name);
        }
    }
    if (where)
        *where = f.vorbisNames.first();
    return {};
}

QString TagLibTag::fieldText(FieldId id) const
{
    if (!holdsField(id))
        return QString();
    const FormatField& f = formatField(id);
    const bool mp4 = *m_format == AudioFormat::Mp4;
    switch (f.kind) {
    case FormatFieldKind::TrackNumber:
        if (mp4)
            return m_mp4.contains("trkn") && m_mp4["trkn"].number ? QString::number(m_mp4["trkn"].number) : QString();
        return trimSpaces(m_comments.value("TRACKNUMBER").value(0).section(QLatin1Char('/'), 0, 0));
    case FormatFieldKind::TrackTotal:
        if (mp4)
            return m_mp4.contains("trkn") && m_mp4["trkn"].second ? QString::number(m_mp4["trkn"].second) : QString();
        for (const char* name : { "TRACKTOTAL", "TOTALTRACKS" })
            if (m_comments.contains(name))
                return m_comments.value(name).value(0);
        return trimSpaces(trackSuffix(m_comments.value("TRACKNUMBER").value(0)).mid(1));
    case FormatFieldKind::Year: {
        const std::optional<int> year = yearOf(fieldValues(id).value(0));
        return year ? fieldValues(id).value(0).trimmed().left(4) : QString();
    }
    default:
        return fieldValues(id).join(QStringLiteral("; "));
    }
}

void TagLibTag::setComment(const QString& name, const QStringList& values)
{
    if (values.isEmpty())
        m_comments.remove(name);
    else
        m_comments.insert(name, values);
    if (!m_changed.contains(name))
        m_changed << name;
}

void TagLibTag::setMp4(const QString& key, const std::optional<Mp4Value>& value)
{
    if (value)
        m_mp4.insert(key, *value);
    else
        m_mp4.remove(key);
    if (!m_changed.contains(key))
        m_changed << key;
}

bool TagLibTag::setFieldText(FieldId id, const QString& textIn)
{
    if (!holdsField(id))
        return false;
    const FormatField& f = formatField(id);
    const QString text = textIn.trimmed();
    const bool mp4 = *m_format == AudioFormat::Mp4;
    const bool numeric = f.kind != FormatFieldKind::Text;
    const std::optional<int> number = f.kind == FormatFieldKind::Year ? yearOf(text) : numberAt(text);
    if (numeric && !text.isEmpty() && !number)
        return false;
    // The stored form decides whether anything changes: "03" is track 3.
    const QString current = fieldText(id);
    if (numeric ? (text.isEmpty() ? current.isEmpty() : numberAt(current) == number) : current == text)
        return true;

    switch (f.kind) {
    case FormatFieldKind::Text: {
        QString where;
        fieldValues(id, &where);
        if (mp4) {
            if (text.isEmpty()) {
                setMp4(where, std::nullopt);
                return true;
            }
            Mp4Value v;
            v.texts = QStringList { text };
            if (mp4Form(where) == Mp4Form::FreeForm)
                v.dataType = TagLib::MP4::TypeUTF8;
            setMp4(where, v);
        } else if (text.isEmpty()) {
            for (const QString& name : f.vorbisNames)
                if (m_comments.contains(name))
                    setComment(name, {});
        } else {
            setComment(where, { text });
        }
        return true;
    }
    case FormatFieldKind::Number:
    case FormatFieldKind::Year:
        if (mp4) {
            const QString& key = f.mp4Keys.first();
            Mp4Value v;
            if (f.kind == FormatFieldKind::Number)
                v.number = *number;
            else
                v.texts = QStringList { QString::number(*number).rightJustified(4, QLatin1Char('0')) };
            setMp4(key, text.isEmpty() ? std::nullopt : std::optional<Mp4Value>(v));
        } else {
            const QString value = f.kind == FormatFieldKind::Year
                ? QString::number(*number).rightJustified(4, QLatin1Char('0'))
                : QString::number(*number);
            setComment(f.vorbisNames.first(), text.isEmpty() ? QStringList() : QStringList { value });
        }
        return true;
    case FormatFieldKind::TrackNumber:
    case FormatFieldKind::TrackTotal: {
        const int n = text.isEmpty() ? 0 : *number;
        const bool isTrack = f.kind == FormatFieldKind::TrackNumber;
        if (mp4) {
            Mp4Value v = m_mp4.value("trkn");
            if (isTrack)
                v.number = n;
            else
                v.second = n;
            setMp4("trkn", v.number || v.second ? std::optional<Mp4Value>(v) : std::nullopt);
            return true;
        }
        const QString stored = m_comments.value("TRACKNUMBER").value(0);
        const QString suffix = trackSuffix(stored);
        if (isTrack) {
            if (n == 0) {
                // The total in "n/m" outlives the track.
                if (!suffix.isEmpty() && !m_comments.contains("TRACKTOTAL") && !m_comments.contains("TOTALTRACKS"))
                    setComment("TRACKTOTAL", { trimSpaces(suffix.mid(1)) });
                setComment("TRACKNUMBER", {});
            } else {
                setComment("TRACKNUMBER", { QString::number(n) + suffix });
            }
            return true;
        }
        if (n == 0) {
            for (const char* name : { "TRACKTOTAL", "TOTALTRACKS" })
                if (m_comments.contains(name))
                    setComment(name, {});
            if (!suffix.isEmpty())
                setComment("TRACKNUMBER", { stored.section(QLatin1Char('/'), 0, 0) });
        } else if (m_comments.contains("TRACKTOTAL")) {
            setComment("TRACKTOTAL", { QString::number(n) });
        } else if (m_comments.contains("TOTALTRACKS")) {
            setComment("TOTALTRACKS", { QString::number(n) });
        } else if (!suffix.isEmpty()) {
            setComment(
                "TRACKNUMBER", { stored.section(QLatin1Char('/'), 0, 0) + QLatin1Char('/') + QString::number(n) });
        } else {
            setComment("TRACKTOTAL", { QString::number(n) });
        }
        return true;
    }
    case FormatFieldKind::NotHeld:
        break;
    }
    return false;
}

QStringList TagLibTag::itemKeys() const
{
    if (!m_format)
        return {};
    if (*m_format != AudioFormat::Mp4)
        return m_comments.keys();
    QStringList keys;
    for (auto it = m_mp4.cbegin(); it != m_mp4.cend(); ++it)
        if (mp4Form(it.key()) != Mp4Form::Cover)
            keys << it.key();
    return keys;
}

QStringList TagLibTag::itemValues(const QString& key) const
{
    if (!m_format)
        return {};
    if (*m_format != AudioFormat::Mp4)
        return m_comments.value(key.toUpper());
    return m_mp4.contains(key) ? mp4Texts(key, m_mp4.value(key)) : QStringList();
}

bool TagLibTag::setItemValues(const QString& key, const QStringList& values)
{
    if (!m_format || key.isEmpty())
        return false;
    if (*m_format != AudioFormat::Mp4) {
        // A comment name is printable ASCII without "=".
        for (QChar c : key)
            if (c.unicode() < 0x20 || c.unicode() > 0x7D || c == QLatin1Char('='))
                return false;
        const QString name = key.toUpper();
        if (m_comments.value(name) != values)
            setComment(name, values);
        return true;
    }
    const Mp4Form form = mp4Form(key);
    const bool freeForm = form == Mp4Form::FreeForm;
    if (freeForm ? key.count(QLatin1Char(':')) != 2 : (form != Mp4Form::Text || key.size() != 4))
        return false;
    if (freeForm && m_mp4.contains(key) && m_mp4[key].texts.isEmpty() && !m_mp4[key].blobs.isEmpty())
        return false; // binary data: not text to edit
    if (m_mp4.value(key).texts == values && (m_mp4.contains(key) || values.isEmpty()))
        return true;
    Mp4Value v;
    v.texts = values;
    if (freeForm)
        v.dataType = TagLib::MP4::TypeUTF8;
    setMp4(key, values.isEmpty() ? std::nullopt : std::optional<Mp4Value>(v));
    return true;
}

bool TagLibTag::refuse(const FileError& why)
{
    m_lastWriteError = why;
    return false;
}

bool TagLibTag::update()
{
    m_lastWriteError = FileError();
    m_notKept.clear();
    if (!m_format)
        return refuse({ ErrorNo::NotFound, QStringLiteral("No FLAC, Ogg or MP4 file was read.") });
    if (m_changed.isEmpty() && !m_picturesChanged)
        return true;
    return commit(false);
}

bool TagLibTag::stripTags()
{
    m_lastWriteError = FileError();
    m_notKept.clear();
    if (!m_format)
        return refuse({ ErrorNo::NotFound, QStringLiteral("No FLAC, Ogg or MP4 file was read.") });
    const Comments comments = m_comments;
    const QList<TagPicture> pictures = m_pictures;
    const Mp4Items items = m_mp4;
    m_comments.clear();
    m_pictures.clear();
    m_mp4.clear();
    if (commit(true))
        return true;
    // The file kept its tag: so does the object.
    m_comments = comments;
    m_pictures = pictures;
    m_mp4 = items;
    return false;
}

// Writes the object's state through a verified copy. all: every item is
// written (strip, restore), not only the changed ones.
bool TagLibTag::commit(bool all)
{
    const AudioFormat format = *m_format;
    struct stat st { };
    const int src = openRegularFile(m_fileName, &st);
    if (src < 0)
        return refuse(fileErrorFromErrno(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } srcCloser { src };
    if (!(st.st_mode & S_IWUSR))
        return refuse(fileErrorFromErrno(EACCES));
    if (st.st_nlink > 1)
        return refuse(
            refusal(QStringLiteral("The file has %1 other names (hard links) that would keep the old tag if it "
                                   "were written through a copy.")
                        .arg(qulonglong(st.st_nlink - 1))));
    AudioDigest before;
    if (const FileError e = readAudioDigest(m_fileName, format, &before); !e.ok())
        return refuse({ e.number, e.description + QStringLiteral(" The tag was not written.") });

    const QString canonical = QFileInfo(m_fileName).canonicalFilePath();
    const QString path = canonical.isEmpty() ? m_fileName : canonical;
    const QFileInfo info(path);
    QByteArray copyName = QFile::encodeName(
        info.absolutePath() + QLatin1Char('/') + copyNamePrefix(info.fileName()) + QStringLiteral("XXXXXX"));
    const int dst = ::mkstemp(copyName.data());
    if (dst < 0)
        return refuse(fileErrorFromErrno(errno));
    const QString copy = QFile::decodeName(copyName);
    auto abandon = [&](const FileError& why) {
        ::close(dst);
        ::unlink(copyName.constData());
        return refuse(why);
    };
    QStringList lost;
    FileError ownerError;
    if (!keepOwner(st, dst, &lost, &ownerError))
        return abandon(ownerError);
    errno = 0;
    if (::lseek(src, 0, SEEK_SET) != 0 || !copyAll(src, dst) || ::fsync(dst) != 0)
        return abandon(fileErrorFromErrno(errno ? errno : EIO));

    const TagState wanted { m_comments, m_pictures, m_mp4 };
    if (!writeState(copy, format, wanted, m_changed, all, m_picturesChanged))
        return abandon(refusal(QStringLiteral("TagLib could not write the tag.")));
    if (::fsync(dst) != 0)
        return abandon(fileErrorFromErrno(errno));
    if (m_copyHook)
        m_copyHook(copy);

    // The copy must read back as wanted, item for item ...
    TagState written;
    if (const FileError e = readState(copy, format, &written, nullptr); !e.ok())
        return abandon(refusal(QStringLiteral("The written file could not be read back: %1").arg(e.description)));
    if (written.comments != wanted.comments)
        return abandon(refusal(QStringLiteral("The written comments do not read back as they were written.")));
    if (written.pictures != wanted.pictures)
        return abandon(refusal(QStringLiteral("The written pictures do not read back as they were written.")));
    if (written.mp4 != wanted.mp4)
        return abandon(refusal(QStringLiteral("The written MP4 items do not read back as they were written.")));
    // ... and its audio and stream blocks must be those of the original.
    AudioDigest after;
    if (const FileError e = readAudioDigest(copy, format, &after); !e.ok())
        return abandon(refusal(QStringLiteral("The written file is damaged: %1").arg(e.description)));
    if (after.audio != before.audio)
        return abandon(refusal(QStringLiteral("The audio data of the written file differ from the original's.")));
    if (after.blocks != before.blocks)
        return abandon(refusal(QStringLiteral("The written file lost or changed a metadata block of the stream "
                                              "(stream info, seek table, cue sheet or application data).")));
    if (after.front != before.front)
        return abandon(refusal(QStringLiteral("TagLib rewrote the ID3v2 tag before the FLAC stream (as version 2.4), "
                                              "which Velmora does not edit in FLAC files.")));
    if (!all) {
        // Items TagLib could not read are lost on a save: none may be missing.
        for (const QString& item : before.itemNames) {
            const bool gone = !after.itemNames.contains(item) && !m_changed.contains(item);
            // TagLib reads a numeric genre as a named one and writes it so.
            const bool genreRenamed
                = item == QLatin1String("gnre") && after.itemNames.contains(QStringLiteral("\u00A9gen"));
            if (gone && !genreRenamed)
                return abandon(refusal(QStringLiteral("The written file lost the MP4 item \"%1\".").arg(item)));
        }
    }

    FileError carryError;
    if (!carryFileProperties(src, st, dst, &lost, &carryError))
        return abandon(carryError);
    if (::close(dst) != 0) {
        const FileError e = fileErrorFromErrno(errno);
        ::unlink(copyName.constData());
        return refuse(e);
    }
    if (::rename(copyName.constData(), QFile::encodeName(path).constData()) != 0) {
        const FileError e = fileErrorFromErrno(errno);
        ::unlink(copyName.constData());
        return refuse(e);
    }
    syncRenamedFolder(info.absolutePath());
    m_notKept = lost;
    m_changed.clear();
    m_picturesChanged = false;
    return true;
}

QByteArray TagLibTag::snapshot() const
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    s << kSnapshotMagic << kSnapshotVersion << qint32(m_format ? int(*m_format) : -1);
    s << m_comments;
    s << qint32(m_pictures.size());
    for (const TagPicture& p : m_pictures)
        s << qint32(p.type) << p.mimeType << p.description << qint32(p.width) << qint32(p.height)
          << qint32(p.colorDepth) << qint32(p.colorCount) << p.data << p.inComment;
    s << qint32(m_mp4.size());
    for (auto it = m_mp4.cbegin(); it != m_mp4.cend(); ++it) {
        const Mp4Value& v = it.value();
        s << it.key() << v.texts << v.blobs << v.blobTypes << v.number << qint32(v.second) << qint32(v.dataType);
    }
    return out;
}

bool TagLibTag::restore(const QByteArray& snapshot)
{
    m_lastWriteError = FileError();
    m_notKept.clear();
    QDataStream s(snapshot);
    s.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    qint32 version = 0, format = -1;
    s >> magic >> version >> format;
    if (magic != kSnapshotMagic || version != kSnapshotVersion)
        return refuse({ ErrorNo::Internal, QStringLiteral("The saved tag is not one Velmora can read.") });
    if (!m_format || format != int(*m_format))
        return refuse({ ErrorNo::WrongType, QStringLiteral("The saved tag belongs to a file of another format.") });
    TagState state;
    s >> state.comments;
    qint32 count = 0;
    s >> count;
    for (qint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        TagPicture p;
        qint32 type, width, height, depth, colors;
        s >> type >> p.mimeType >> p.description >> width >> height >> depth >> colors >> p.data >> p.inComment;
        p.type = type;
        p.width = width;
        p.height = height;
        p.colorDepth = depth;
        p.colorCount = colors;
        state.pictures << p;
    }
    s >> count;
    for (qint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        QString key;
        Mp4Value v;
        qint32 second, dataType;
        s >> key >> v.texts >> v.blobs >> v.blobTypes >> v.number >> second >> dataType;
        v.second = second;
        v.dataType = dataType;
        state.mp4.insert(key, v);
    }
    if (s.status() != QDataStream::Ok || !s.atEnd())
        return refuse({ ErrorNo::Internal, QStringLiteral("The saved tag is damaged.") });
    const TagState old { m_comments, m_pictures, m_mp4 };
    m_comments = state.comments;
    m_pictures = state.pictures;
    m_mp4 = state.mp4;
    m_picturesChanged = true;
    if (commit(true))
        return true;
    m_comments = old.comments;
    m_pictures = old.pictures;
    m_mp4 = old.mp4;
    return false;
}
