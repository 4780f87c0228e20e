#pragma once

#include "tags/tagtypes.h"

#include <QString>

class ID3V2Tag;
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

// Shows fileInfoReport in an information box titled "Velmora - File Information".
void showFileInfoReport(Prompter& prompter, const QString& currentFile, const ID3V2Tag& tag);
