#pragma once

#include "tags/fieldcatalogue.h"

#include <QStringList>

// How a catalogue field sits in a Vorbis comment or an MP4 item.
enum class FormatFieldKind {
    Text, // the values of the named comment or item
    TrackNumber, // the leading number of TRACKNUMBER; the first number of trkn
    TrackTotal, // TRACKTOTAL, TOTALTRACKS or the "/m" of TRACKNUMBER; the second number of trkn
    Year, // the leading four digits of DATE or (c)day
    Number, // a whole number: BPM as text; tmpo as an integer item
    NotHeld, // the format has no place for it
};

struct FormatField {
    FieldId id;
    FormatFieldKind kind;
    // Vorbis comment names: the first is written when none is there; all are read.
    QStringList vorbisNames;
    // MP4 item keys as TagLib names them; the first is written. Empty: not held by MP4.
    QStringList mp4Keys;
};

// The one table of where each catalogue field lives in FLAC, Ogg and MP4 files.
const FormatField& formatField(FieldId id);

// Whether the named comment (upper case) or MP4 key belongs to a field of the table.
bool isFieldComment(const QString& name);
bool isFieldMp4Key(const QString& key);
