#include "fieldcatalogue.h"

namespace {

// clang-format off
const FieldInfo kFields[kFieldCount] = {
    {FieldId::Artist,      "Artist",       "ID3Artist",      FrameNo::TPE1, "TPE1", "", ValueKind::Text,   30, true},
    {FieldId::Album,       "Album",        "ID3Album",       FrameNo::TALB, "TALB", "", ValueKind::Text,   30, true},
    {FieldId::Title,       "Title",        "ID3Title",       FrameNo::TIT2, "TIT2", "", ValueKind::Text,   30, true},
    {FieldId::Track,       "Track",        "ID3Track",       FrameNo::TRCK, "TRCK", "", ValueKind::Text,    1, false},
    {FieldId::TotalTracks, "Total Tracks", "ID3TotalTracks", FrameNo::TRCK, "TRCK", "", ValueKind::Text,    0, false},
    {FieldId::Year,        "Year",         "ID3Year",        FrameNo::TYER, "TYER", "", ValueKind::Text,    4, false},
    {FieldId::Genre,       "Genre",        "ID3Genre",       FrameNo::TCON, "TCON", "", ValueKind::Text,    1, true},
    {FieldId::Comments,    "Comments",     "ID3Comments",    FrameNo::COMM, "COMM", "", ValueKind::Text,   30, true},
    {FieldId::UniqueKey,   "Unique Key",   "ID3UniqueKey",   FrameNo::UFID, "UFID", "", ValueKind::Binary,  0, true},
    {FieldId::UserText,    "User Text",    "ID3UserText",    FrameNo::TXXX, "TXXX", "", ValueKind::Text,    0, true},
    {FieldId::UserURL,     "User URL",     "ID3UserURL",     FrameNo::WXXX, "WXXX", "", ValueKind::Url,     0, true},
    {FieldId::ArtistURL,   "Artist URL",   "ID3ArtistURL",   FrameNo::WOAR, "WOAR", "", ValueKind::Url,     0, true},
    {FieldId::Composer,    "Composer",     "ID3Composer",    FrameNo::TCOM, "TCOM", "", ValueKind::Text,    0, false},
    {FieldId::OrigArtist,  "Orig Artist",  "ID3OrigArtist",  FrameNo::TOPE, "TOPE", "", ValueKind::Text,    0, false},
    {FieldId::EncodedBy,   "Encoded By",   "ID3EncodedBy",   FrameNo::TENC, "TENC", "", ValueKind::Text,    0, false},
    {FieldId::CopyRight,   "Copyright",    "ID3Copyright",   0,             "",     "", ValueKind::None,    0, false},
    {FieldId::Mood,        "Mood",         "ID3Mood",        FrameNo::COMM, "COMM", "MusicMatch_Mood",       ValueKind::Text, 0, false},
    {FieldId::Preference,  "Preference",   "ID3Preference",  FrameNo::COMM, "COMM", "MusicMatch_Preference", ValueKind::Text, 0, false},
    {FieldId::Situation,   "Situation",    "ID3Situation",   FrameNo::COMM, "COMM", "MusicMatch_Situation",  ValueKind::Text, 0, false},
    {FieldId::Tempo,       "Tempo",        "ID3Tempo",       FrameNo::COMM, "COMM", "MusicMatch_Tempo",      ValueKind::Text, 0, false},
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
