#include "fieldcatalogue.h"

namespace {

// clang-format off
const FieldInfo kFields[kFieldCount] = {
    {FieldId::Artist,      "Artist",       "ID3Artist",      FrameNo::TPE1, "", FieldKind::Text,         true},
    {FieldId::Album,       "Album",        "ID3Album",       FrameNo::TALB, "", FieldKind::Text,         true},
    {FieldId::Title,       "Title",        "ID3Title",       FrameNo::TIT2, "", FieldKind::Text,         true},
    {FieldId::Track,       "Track",        "ID3Track",       FrameNo::TRCK, "", FieldKind::TrackNumber,  false},
    {FieldId::TotalTracks, "Total Tracks", "ID3TotalTracks", FrameNo::TRCK, "", FieldKind::TrackTotal,   false},
    {FieldId::Year,        "Year",         "ID3Year",        FrameNo::TYER, "", FieldKind::Year,         false},
    {FieldId::Genre,       "Genre",        "ID3Genre",       FrameNo::TCON, "", FieldKind::Genre,        true},
    {FieldId::Comments,    "Comments",     "ID3Comments",    FrameNo::COMM, "", FieldKind::Text,         true},
    {FieldId::UniqueKey,   "Unique Key",   "ID3UniqueKey",   FrameNo::UFID, "", FieldKind::UniqueKey,    true},
    {FieldId::UserText,    "User Text",    "ID3UserText",    FrameNo::TXXX, "", FieldKind::Text,         true},
    {FieldId::UserURL,     "User URL",     "ID3UserURL",     FrameNo::WXXX, "", FieldKind::Text,         true},
    {FieldId::ArtistURL,   "Artist URL",   "ID3ArtistURL",   FrameNo::WOAR, "", FieldKind::Text,         true},
    {FieldId::Composer,    "Composer",     "ID3Composer",    FrameNo::TCOM, "", FieldKind::Text,         false},
    {FieldId::OrigArtist,  "Orig Artist",  "ID3OrigArtist",  FrameNo::TOPE, "", FieldKind::Text,         false},
    {FieldId::EncodedBy,   "Encoded By",   "ID3EncodedBy",   FrameNo::TENC, "", FieldKind::Text,         false},
    {FieldId::CopyRight,   "Copyright",    "ID3Copyright",   0,             "", FieldKind::CopyrightBit, false},
    {FieldId::Mood,        "Mood",         "ID3Mood",        FrameNo::COMM, "MusicMatch_Mood",       FieldKind::Text, false},
    {FieldId::Preference,  "Preference",   "ID3Preference",  FrameNo::COMM, "MusicMatch_Preference", FieldKind::Text, false},
    {FieldId::Situation,   "Situation",    "ID3Situation",   FrameNo::COMM, "MusicMatch_Situation",  FieldKind::Text, false},
    {FieldId::Tempo,       "Tempo",        "ID3Tempo",       FrameNo::COMM, "MusicMatch_Tempo",      FieldKind::Text, false},
};
// clang-format on

} // namespace

const FieldInfo& fieldInfo(FieldId id)
{
    return kFields[int(id)];
}

const FieldInfo& fieldInfo(int index)
{
    return kFields[index];
}

bool fieldByName(const QString& name, FieldId* out)
{
    if (name == QLatin1String("Song")) {
        *out = FieldId::Title;
        return true;
    }
    for (const FieldInfo& f : kFields) {
        if (name == QLatin1String(f.name)) {
            *out = f.id;
            return true;
        }
    }
    return false;
}

QStringList fieldNames()
{
    QStringList names;
    for (const FieldInfo& f : kFields)
        names << QLatin1String(f.name);
    return names;
}
