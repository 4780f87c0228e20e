#pragma once

#include "tags/tagtypes.h"

#include <QString>

class AudioTag;
class ID3V2Tag;
struct TagLibAudioFacts;
class Prompter;
struct MpegAudioFacts;

// "hh:mm:ss" with two digits each, the seconds rounded to the nearest whole
// number. Up to 60 seconds the value is all seconds, so 59.6 gives
// "00:00:60". A negative value shows as 0.
QString formatPlayTime(float seconds);

// The report about one file: where it is, its size, the kinds of tag it
// carries, the facts of its MPEG audio stream and
// of its ID3v2 tag. Lines end in CR LF, the last has no line end.
QString fileInfoReportText(
    const QString& path, const MpegAudioFacts& facts, int frameCount, qint64 framesSize, TagKinds kinds);

// The report for the file the tag object holds (loaded from currentFile,
// which names it in the report): asks the file for its kinds of tag and for
// its size as it is now.
QString fileInfoReport(const QString& currentFile, const ID3V2Tag& tag);

// The report about a FLAC, Ogg or MP4 file: where it is, its size, its
// format, the facts of its audio stream (a number the format does not give
// is blank) and how many tag values it holds.
QString otherFormatReportText(
    const QString& path, qint64 fileSize, const QString& formatName, const TagLibAudioFacts& facts, int itemCount);

// The report for a file of any format: fileInfoReport for an MP3 file.
QString fileInfoReport(const QString& currentFile, const AudioTag& tag);

// Shows fileInfoReport in an information box titled "Velmora - File Information".
void showFileInfoReport(Prompter& prompter, const QString& currentFile, const AudioTag& tag);
