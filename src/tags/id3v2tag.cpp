#include "id3v2tag.h"

#include "platform/prompter.h"
#include "settings/settingsstore.h"
#include "tags/id3v1tag.h"

namespace {

int leadingNumber(const QVariant& v)
{
    if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
        return v.toInt();
    return LeadingNumber(v.toString());
}

bool isEmptyText(const QVariant& v)
{
    return !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.typeId() == b.typeId())
        return a == b;
    return a.toString() == b.toString();
}

QString withApostrophes(QString s)
{
    return s.replace(QLatin1Char('"'), QLatin1Char('\''));
}

} // namespace

ID3V2Tag::ID3V2Tag(Prompter* prompter)
    : m_prompter(prompter)
{
}

ID3V2Tag::~ID3V2Tag() = default;

const clsID3Frame* ID3V2Tag::findItem(int frameNo, const QString& descriptor) const
{
    for (const clsID3Frame& item : m_frames)
        if (item.eType == frameNo && item.sDescription == descriptor)
            return &item;
    return nullptr;
}

clsID3Frame* ID3V2Tag::findItem(int frameNo, const QString& descriptor)
{
    for (clsID3Frame& item : m_frames)
        if (item.eType == frameNo && item.sDescription == descriptor)
            return &item;
    return nullptr;
}

QVariant ID3V2Tag::GetFrameValue(int eFrameID, const QString& descriptor) const
{
    const clsID3Frame* item = findItem(eFrameID, descriptor);
    return item ? item->vValue : QVariant();
}

void ID3V2Tag::SetFrameValue(int eFrameID, const QVariant& vValue, const QString& descriptor)
{
    clsID3Frame* item = findItem(eFrameID, descriptor);
    if (!isEmptyText(vValue)) {
        if (!item) {
            clsID3Frame created;
            created.eType = eFrameID;
            created.vValue = vValue;
            created.sDescription = descriptor;
            created.lIndex = int(m_frames.size()) + 1;
            created.bChanged = true;
            created.bNew = true;
            m_frames.append(created);
            return;
        }
        if (!sameValue(item->vValue, vValue) || item->bDeleted)
            item->bChanged = true;
        // A value assigned after a deletion (an empty frame goes at load)
        // brings the frame back instead of being lost with it.
        item->bDeleted = false;
        item->vValue = vValue;
    } else if (item) {
        item->Delete();
    }
}

void ID3V2Tag::StripQuotes()
{
    // Items already marked for deletion stay deleted: reassigning their
    // old value would bring them back.
    auto pass = [this](int frameNo, QString (ID3V2Tag::*get)() const, void (ID3V2Tag::*set)(const QString&)) {
        const clsID3Frame* item = findItem(frameNo, QString());
        if (!item || item->bDeleted)
            return;
        const QString value = (this->*get)();
        // Assigning a non-empty value that is stored exactly so changes
        // nothing (every setter keeps an equal value as it is): skip it.
        if (!value.isEmpty() && !value.contains(QLatin1Char('"')) && item->vValue.typeId() == QMetaType::QString
            && item->vValue.toString() == value)
            return;
        (this->*set)(withApostrophes(value));
    };
    pass(FrameNo::COMM, &ID3V2Tag::Comments, &ID3V2Tag::SetComments);
    pass(FrameNo::TIT2, &ID3V2Tag::Title, &ID3V2Tag::SetTitle);
    pass(FrameNo::TPE1, &ID3V2Tag::Artist, &ID3V2Tag::SetArtist);
    pass(FrameNo::TALB, &ID3V2Tag::Album, &ID3V2Tag::SetAlbum);
    pass(FrameNo::UFID, &ID3V2Tag::UniqueKey, &ID3V2Tag::SetUniqueKey);
    pass(FrameNo::TCON, &ID3V2Tag::Genre, &ID3V2Tag::SetGenre);
    pass(FrameNo::TXXX, &ID3V2Tag::UserText, &ID3V2Tag::SetUserText);
    pass(FrameNo::USLT, &ID3V2Tag::LyricsUnsynced, &ID3V2Tag::SetLyricsUnsynced);
    pass(FrameNo::WOAR, &ID3V2Tag::ArtistURL, &ID3V2Tag::SetArtistURL);
    pass(FrameNo::WXXX, &ID3V2Tag::UserURL, &ID3V2Tag::SetUserURL);
}

bool ID3V2Tag::Update(int)
{
    return SaveFrames();
}

void ID3V2Tag::ClearValues()
{
    m_frames.clear();
    m_fromTrailer = false;
}

void ID3V2Tag::reportMissingField() const
{
    if (m_prompter)
        m_prompter->message(
            QStringLiteral("Velmora"), QStringLiteral("Field doesn't exist"), MsgIcon::None, MsgButtons::Ok);
}

QString ID3V2Tag::textValue(int frameNo, const char* selector) const
{
    return GetFrameValue(frameNo, QLatin1String(selector)).toString();
}

void ID3V2Tag::setTextValue(int frameNo, const QString& v, const char* selector)
{
    SetFrameValue(frameNo, v, QLatin1String(selector));
}

QString ID3V2Tag::Title() const
{
    return textValue(FrameNo::TIT2, "");
}
void ID3V2Tag::SetTitle(const QString& v)
{
    setTextValue(FrameNo::TIT2, v, "");
}
QString ID3V2Tag::Artist() const
{
    return textValue(FrameNo::TPE1, "");
}
void ID3V2Tag::SetArtist(const QString& v)
{
    setTextValue(FrameNo::TPE1, v, "");
}
QString ID3V2Tag::Album() const
{
    return textValue(FrameNo::TALB, "");
}
void ID3V2Tag::SetAlbum(const QString& v)
{
    setTextValue(FrameNo::TALB, v, "");
}
QString ID3V2Tag::Comments() const
{
    return textValue(FrameNo::COMM, "");
}
void ID3V2Tag::SetComments(const QString& v)
{
    setTextValue(FrameNo::COMM, v, "");
}
QString ID3V2Tag::UserText() const
{
    return textValue(FrameNo::TXXX, "");
}
void ID3V2Tag::SetUserText(const QString& v)
{
    setTextValue(FrameNo::TXXX, v, "");
}
QString ID3V2Tag::UserURL() const
{
    return textValue(FrameNo::WXXX, "");
}
void ID3V2Tag::SetUserURL(const QString& v)
{
    setTextValue(FrameNo::WXXX, v, "");
}
QString ID3V2Tag::ArtistURL() const
{
    return textValue(FrameNo::WOAR, "");
}
void ID3V2Tag::SetArtistURL(const QString& v)
{
    setTextValue(FrameNo::WOAR, v, "");
}
QString ID3V2Tag::Composer() const
{
    return textValue(FrameNo::TCOM, "");
}
void ID3V2Tag::SetComposer(const QString& v)
{
    setTextValue(FrameNo::TCOM, v, "");
}
QString ID3V2Tag::OrigArtist() const
{
    return textValue(FrameNo::TOPE, "");
}
void ID3V2Tag::SetOrigArtist(const QString& v)
{
    setTextValue(FrameNo::TOPE, v, "");
}
QString ID3V2Tag::EncodedBy() const
{
    return textValue(FrameNo::TENC, "");
}
void ID3V2Tag::SetEncodedBy(const QString& v)
{
    setTextValue(FrameNo::TENC, v, "");
}
QString ID3V2Tag::LyricsUnsynced() const
{
    return textValue(FrameNo::USLT, "");
}
void ID3V2Tag::SetLyricsUnsynced(const QString& v)
{
    setTextValue(FrameNo::USLT, v, "");
}
QString ID3V2Tag::Mood() const
{
    return textValue(FrameNo::COMM, "MusicMatch_Mood");
}
void ID3V2Tag::SetMood(const QString& v)
{
    setTextValue(FrameNo::COMM, v, "MusicMatch_Mood");
}
QString ID3V2Tag::Preference() const
{
    return textValue(FrameNo::COMM, "MusicMatch_Preference");
}
void ID3V2Tag::SetPreference(const QString& v)
{
    setTextValue(FrameNo::COMM, v, "MusicMatch_Preference");
}
QString ID3V2Tag::Situation() const
{
    return textValue(FrameNo::COMM, "MusicMatch_Situation");
}
void ID3V2Tag::SetSituation(const QString& v)
{
    setTextValue(FrameNo::COMM, v, "MusicMatch_Situation");
}
QString ID3V2Tag::Tempo() const
{
    return textValue(FrameNo::COMM, "MusicMatch_Tempo");
}
void ID3V2Tag::SetTempo(const QString& v)
{
    setTextValue(FrameNo::COMM, v, "MusicMatch_Tempo");
}

QString ID3V2Tag::UniqueKey() const
{
    // Stored with a blank after every character; a value read back with a
    // blank in second place is taken apart again.
    QString raw = textValue(FrameNo::UFID, "");
    while (raw.endsWith(QLatin1Char(' ')))
        raw.chop(1);
    if (raw.size() < 2 || raw.at(1) != QLatin1Char(' '))
        return raw;
    QString out;
    for (int i = 0; i < raw.size(); i += 2)
        out += raw.at(i);
    return out;
}

void ID3V2Tag::SetUniqueKey(const QString& v)
{
    // Assigning the key as it reads keeps the stored bytes, so a binary
    // identifier written by another program survives a save.
    const clsID3Frame* item = findItem(FrameNo::UFID, QString());
    if (item && !item->bDeleted && !v.isEmpty() && v == UniqueKey())
        return;
    QString stored;
    for (QChar c : v) {
        stored += c;
        stored += QLatin1Char(' ');
    }
    setTextValue(FrameNo::UFID, stored, "");
}

QByteArray ID3V2Tag::UniqueKeyOwner() const
{
    const clsID3Frame* item = findItem(FrameNo::UFID, QString());
    return item && !item->bDeleted ? item->ufidOwner : QByteArray();
}

void ID3V2Tag::SetUniqueKeyOwner(const QByteArray& owner)
{
    clsID3Frame* item = findItem(FrameNo::UFID, QString());
    if (!item || item->bDeleted || owner.isEmpty() || item->ufidOwner == owner)
        return;
    item->ufidOwner = owner;
    item->bChanged = true;
}

int ID3V2Tag::Track() const
{
    return LeadingNumber(textValue(FrameNo::TRCK, ""));
}

int ID3V2Tag::TotalTracks() const
{
    const QString text = textValue(FrameNo::TRCK, "");
    const int slash = int(text.indexOf(QLatin1Char('/')));
    return slash < 0 ? 0 : LeadingNumber(text.mid(slash + 1));
}

void ID3V2Tag::setTrackPair(int track, int total)
{
    QString text;
    if (track > 0)
        text = total > 0 ? QString::number(track) + QLatin1Char('/') + QString::number(total) : QString::number(track);
    setTextValue(FrameNo::TRCK, text, "");
}

void ID3V2Tag::SetTrack(int v)
{
    setTrackPair(v, TotalTracks());
}
void ID3V2Tag::SetTotalTracks(int v)
{
    setTrackPair(Track(), v);
}

int ID3V2Tag::Year() const
{
    return leadingNumber(GetFrameValue(FrameNo::TYER, QString()));
}

void ID3V2Tag::SetYear(int v)
{
    // The year already stored keeps its full date ("1997-09-22").
    const clsID3Frame* item = findItem(FrameNo::TYER, QString());
    if (item && !item->bDeleted && leadingNumber(item->vValue) == v)
        return;
    if (v <= 0)
        SetFrameValue(FrameNo::TYER, QString(), QString());
    else
        SetFrameValue(FrameNo::TYER, v, QString());
}

QString ID3V2Tag::Genre() const
{
    const QString text = textValue(FrameNo::TCON, "");
    if (!text.startsWith(QLatin1Char('(')) || !text.endsWith(QLatin1Char(')')))
        return text;
    int from = 0;
    int to = int(text.size());
    auto strip = [](QChar c) { return c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char(' '); };
    while (from < to && strip(text.at(from)))
        ++from;
    while (to > from && strip(text.at(to - 1)))
        --to;
    const int n = LeadingNumber(text.mid(from, to - from));
    if (n + 1 < 0 || n + 1 > GenreCount + 1)
        return text;
    return n == -1 ? QStringLiteral("Unknown") : GenreName(n);
}

void ID3V2Tag::SetGenre(const QString& v)
{
    setTextValue(FrameNo::TCON, v, "");
}

QString ID3V2Tag::FieldText(FieldId id) const
{
    switch (id) {
    case FieldId::Artist:
        return Artist();
    case FieldId::Album:
        return Album();
    case FieldId::Title:
        return Title();
    case FieldId::Track:
        return QString::number(Track());
    case FieldId::TotalTracks:
        return QString::number(TotalTracks());
    case FieldId::Year:
        return QString::number(Year());
    case FieldId::Genre:
        return Genre();
    case FieldId::Comments:
        return Comments();
    case FieldId::UniqueKey:
        return UniqueKey();
    case FieldId::UserText:
        return UserText();
    case FieldId::UserURL:
        return UserURL();
    case FieldId::ArtistURL:
        return ArtistURL();
    case FieldId::Composer:
        return Composer();
    case FieldId::OrigArtist:
        return OrigArtist();
    case FieldId::EncodedBy:
        return EncodedBy();
    case FieldId::CopyRight:
        return CopyRight ? QStringLiteral("True") : QStringLiteral("False");
    case FieldId::Mood:
        return Mood();
    case FieldId::Preference:
        return Preference();
    case FieldId::Situation:
        return Situation();
    case FieldId::Tempo:
        return Tempo();
    }
    return QString();
}

void ID3V2Tag::SetFieldText(FieldId id, const QString& text)
{
    switch (id) {
    case FieldId::Artist:
        SetArtist(text);
        break;
    case FieldId::Album:
        SetAlbum(text);
        break;
    case FieldId::Title:
        SetTitle(text);
        break;
    case FieldId::Track:
        SetTrack(LeadingNumber(text));
        break;
    case FieldId::TotalTracks:
        SetTotalTracks(LeadingNumber(text));
        break;
    case FieldId::Year:
        SetYear(LeadingNumber(text));
        break;
    case FieldId::Genre:
        SetGenre(text);
        break;
    case FieldId::Comments:
        SetComments(text);
        break;
    case FieldId::UniqueKey:
        SetUniqueKey(text);
        break;
    case FieldId::UserText:
        SetUserText(text);
        break;
    case FieldId::UserURL:
        SetUserURL(text);
        break;
    case FieldId::ArtistURL:
        SetArtistURL(text);
        break;
    case FieldId::Composer:
        SetComposer(text);
        break;
    case FieldId::OrigArtist:
        SetOrigArtist(text);
        break;
    case FieldId::EncodedBy:
        SetEncodedBy(text);
        break;
    case FieldId::CopyRight:
        SetCopyRight(text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0);
        break;
    case FieldId::Mood:
        SetMood(text);
        break;
    case FieldId::Preference:
        SetPreference(text);
        break;
    case FieldId::Situation:
        SetSituation(text);
        break;
    case FieldId::Tempo:
        SetTempo(text);
        break;
    }
}

QString ID3V2Tag::ReadHeader()
{
    return ::ReadHeader(static_cast<MpegAudioFacts&>(*this), m_fileName);
}
