#pragma once

#include <QString>
#include <QStringList>

// The twenty named tag fields, in tag-panel order (index 0 to 19), with the
// ID3v2 frame that holds each and its ID3v1 counterpart. "Song" is a second
// name of Title and has no index of its own.
enum class FieldId {
    Artist,
    Album,
    Title,
    Track,
    TotalTracks,
    Year,
    Genre,
    Comments,
    UniqueKey,
    UserText,
    UserURL,
    ArtistURL,
    Composer,
    OrigArtist,
    EncodedBy,
    CopyRight,
    Mood,
    Preference,
    Situation,
    Tempo,
};

constexpr int kFieldCount = 20;

// How a field's value sits in its frame.
enum class FieldKind {
    Text, // the frame's text (or URL), as it is
    TrackNumber, // the number before "/" in TRCK
    TrackTotal, // the number after "/" in TRCK
    Year, // the leading number of TYER (TDRC in 2.4)
    Genre, // TCON; "(n)" reads as the name of genre n
    UniqueKey, // UFID data, a blank after every character
    CopyrightBit, // the audio header's copyright bit; no frame
};

struct FieldInfo {
    FieldId id;
    const char* name; // "Artist", "Total Tracks", ...
    const char* boxName; // tag panel box object name: "ID3Artist", ...
    const char* frameId; // the frame's ID3v2.3 ID ("TPE1", ...); "" when the field has no frame (Copyright)
    const char* selector; // the frame description that tells it apart
    FieldKind kind;
    bool quotesToApostrophes; // '"' becomes '\'' on load and save
};

// All twenty fields in index order.
const FieldInfo& fieldInfo(FieldId id);
const FieldInfo& fieldInfo(int index);

// The field a name addresses ("Song" addresses Title); false when none.
// Names are compared exactly (case-sensitive).
bool fieldByName(const QString& name, FieldId* out);

// The twenty names in index order ("Song" not included).
QStringList fieldNames();
