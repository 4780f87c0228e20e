#include "formatfields.h"

namespace {

using K = FormatFieldKind;

QString itunes(const char* name)
{
    return QStringLiteral("----:com.apple.iTunes:") + QLatin1String(name);
}

// UniqueKey (a UFID owner with binary data), UserText and UserURL (ID3 frames
// told apart by a description) have no common counterpart: free-form items
// (TagLibTag::setItemValues) hold such values instead.
const QList<FormatField>& table()
{
    static const QList<FormatField> fields = {
        { FieldId::Artist, K::Text, { "ARTIST" }, { QStringLiteral("\u00A9ART") } },
        { FieldId::Album, K::Text, { "ALBUM" }, { QStringLiteral("\u00A9alb") } },
        { FieldId::Title, K::Text, { "TITLE" }, { QStringLiteral("\u00A9nam") } },
        { FieldId::Track, K::TrackNumber, { "TRACKNUMBER" }, { QStringLiteral("trkn") } },
        { FieldId::TotalTracks, K::TrackTotal, { "TRACKTOTAL", "TOTALTRACKS", "TRACKNUMBER" },
            { QStringLiteral("trkn") } },
        { FieldId::Year, K::Year, { "DATE" }, { QStringLiteral("\u00A9day") } },
        { FieldId::Genre, K::Text, { "GENRE" }, { QStringLiteral("\u00A9gen") } },
        { FieldId::Comments, K::Text, { "COMMENT", "DESCRIPTION" }, { QStringLiteral("\u00A9cmt") } },
        { FieldId::UniqueKey, K::NotHeld, {}, {} },
        { FieldId::UserText, K::NotHeld, {}, {} },
        { FieldId::UserURL, K::NotHeld, {}, {} },
        { FieldId::ArtistURL, K::Text, { "WEBSITE" }, { itunes("WEBSITE") } },
        { FieldId::Composer, K::Text, { "COMPOSER" }, { QStringLiteral("\u00A9wrt") } },
        { FieldId::OrigArtist, K::Text, { "ORIGINALARTIST" }, { itunes("ORIGINALARTIST") } },
        { FieldId::EncodedBy, K::Text, { "ENCODEDBY", "ENCODER" }, { QStringLiteral("\u00A9too") } },
        { FieldId::CopyRight, K::Text, { "COPYRIGHT" }, { QStringLiteral("cprt") } },
        { FieldId::Mood, K::Text, { "MOOD" }, { itunes("MOOD") } },
        { FieldId::Preference, K::Text, { "PREFERENCE" }, { itunes("PREFERENCE") } },
        { FieldId::Situation, K::Text, { "SITUATION" }, { itunes("SITUATION") } },
        { FieldId::Tempo, K::Number, { "BPM" }, { QStringLiteral("tmpo") } },
    };
    return fields;
}

} // namespace

const FormatField& formatField(FieldId id)
{
    return table().at(int(id));
}

bool isFieldComment(const QString& name)
{
    for (const FormatField& f : table())
        if (f.vorbisNames.contains(name))
            return true;
    return false;
}

bool isFieldMp4Key(const QString& key)
{
    for (const FormatField& f : table())
        if (f.mp4Keys.contains(key))
            return true;
    return false;
}
