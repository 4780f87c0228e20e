#pragma once

#include <QString>
#include <QStringList>

// Which audio files a listing or a mass rename takes: every format Velmora
// tags, or MP3 files alone (the option "MP3 Files Only").
enum class ListedFormats { All, Mp3Only };

// "*.mp3", "*.flac", ... : the names of every format Velmora tags (or of MP3
// files alone), for folder listings and searches. The one list of audio
// file extensions.
QStringList audioFileNamePatterns(ListedFormats formats = ListedFormats::All);

// Whether a file name ends in one of those extensions (any case).
bool isAudioFileName(const QString& fileName);

// The names (no folder) of the folder's audio files of those formats, the
// extension and the order compared without regard to case. Hidden files are
// left out.
QStringList listAudioFiles(const QString& folder, ListedFormats formats = ListedFormats::All);
