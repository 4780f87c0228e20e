#pragma once

#include <QJsonObject>
#include <QString>

class AudioTag;

// A file's tags and audio facts as `velmora-cli info` prints them: the path,
// then one indented "Name: value" line for the format, each field that has
// a value, and each audio fact the format gives.
QString cliInfoText(const QString& path, const AudioTag& tag);

// The same as one JSON object: path, format, fields (name to text, set
// fields only) and audio (codec, sampleRate, channels, bitsPerSample,
// lengthMs, bitRate).
QJsonObject cliInfoJson(const QString& path, const AudioTag& tag);
