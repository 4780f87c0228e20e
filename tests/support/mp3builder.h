#pragma once

#include <QByteArray>
#include <QString>

// Test MP3 material made from scratch: MPEG-1 Layer III frames at 128 kbit/s,
// 44.1 kHz, joint stereo (header FF FB 90 64), 417 bytes each, with a body
// of a repeating byte pattern so that moved or cut audio is noticed.
namespace Mp3Builder {

constexpr int kFrameBytes = 417;

// count frames; copyright sets the header's copyright bit on every frame.
QByteArray audioFrames(int count, bool copyright = false);

// Writes bytes to path (creating or replacing it); false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// A plain MP3 file of frameCount frames, with no tags.
bool writePlainMp3(const QString& path, int frameCount = 8, bool copyright = false);

} // namespace Mp3Builder
