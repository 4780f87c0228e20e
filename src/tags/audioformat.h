#pragma once

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

// "*.mp3", "*.flac", ... : the names of every format, for folder listings.
QStringList audioFileNamePatterns();

// Whether a file name ends in one of those extensions (any case).
bool isAudioFileName(const QString& fileName);

// "MP3", "FLAC", "Ogg Vorbis", "Opus", "MP4".
QString audioFormatName(AudioFormat format);
