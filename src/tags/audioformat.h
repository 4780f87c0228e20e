#pragma once

// The names of the formats (audioFileNamePatterns, isAudioFileName) live
// below the tags, where folder listings use them too.
#include "platform/audiofiles.h"

#include <QString>
#include <QStringList>

#include <optional>

// The audio file formats Velmora tags.
enum class AudioFormat { Mp3, Flac, OggVorbis, Opus, Mp4 };

// The format of the file at path, told from its first bytes: "fLaC" (also
// after an ID3v2 tag), "OggS" with a first packet "\x01vorbis" or "OpusHead",
// an MP4 "ftyp" box, or MPEG audio (a frame header at the start or after an
// ID3v2 tag). Nothing for anything else, and for a file that cannot be read.
std::optional<AudioFormat> audioFormatOf(const QString& path);

// The same, from the file's first bytes (64 are enough, more do no harm).
std::optional<AudioFormat> audioFormatOfHead(const QByteArray& head);

// "MP3", "FLAC", "Ogg Vorbis", "Opus", "MP4".
QString audioFormatName(AudioFormat format);
