#include "fieldcatalogue.h"

namespace {

// clang-format off
const FieldInfo kFields[kFieldCount] = {
    {FieldId::Artist,      "Artist",       "ID3Artist",      "TPE1", "", FieldKind::Text,         true},
    {FieldId::Album,       "Album",        "ID3Album",       "TALB", "", FieldKind::Text,         true},
    {FieldId::Title,       "Title",        "ID3Title",       "TIT2", "", FieldKind::Text,         true},
    {FieldId::Track,       "Track",        "ID3Track",       "TRCK", "", FieldKind::TrackNumber,  false},
    {FieldId::TotalTracks, "Total Tracks", "ID3TotalTracks", "TRCK", "", FieldKind::TrackTotal,   false},
    {FieldId::Year,        "Year",         "ID3Year",        "TYER", "", FieldKind::Year,         false},
    {FieldId::Genre,       "Genre",        "ID3Genre",       "TCON", "", FieldKind::Genre,        true},
    {FieldId::Comments,    "Comments",     "ID3Comments",    "COMM", "", FieldKind::Text,         true},
    {FieldId::UniqueKey,   "Unique Key",   "ID3UniqueKey",   "UFID", "", FieldKind::UniqueKey,    true},
    {FieldId::UserText,    "User Text",    "ID3UserText",    "TXXX", "", FieldKind::Text,         true},
    {FieldId::UserURL,     "User URL",     "ID3UserURL",     "WXXX", "", FieldKind::Text,         true},
    {FieldId::ArtistURL,   "Artist URL",   "ID3ArtistURL",   "WOAR", "", FieldKind::Text,         true},
    {FieldId::Composer,    "Composer",     "ID3Composer",    "TCOM", "", FieldKind::Text,         false},
    {FieldId::OrigArtist,  "Orig Artist",  "ID3OrigArtist",  "TOPE", "", FieldKind::Text,         false},
    {FieldId::EncodedBy,   "Encoded By",   "ID3EncodedBy",   "TENC", "", FieldKind::Text,         false},
    {FieldId::CopyRight,   "Copyright",    "ID3Copyright",   "",     "", FieldKind::CopyrightBit, false},
    {FieldId::Mood,        "Mood",         "ID3Mood",        "COMM", "MusicMatch_Mood",       FieldKind::Text, false},
    {FieldId::Preference,  "Preference",   "ID3Preference",  "COMM", "MusicMatch_Preference", FieldKind::Text, false},
    {FieldId::Situation,   "Situation",    "ID3Situation",   "COMM", "MusicMatch_Situation",  FieldKind::Text, false},
    {FieldId::Tempo,       "Tempo",        "ID3Tempo",       "COMM", "MusicMatch_Tempo",      FieldKind::Text, false},
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
