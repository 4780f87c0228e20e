#pragma once

#include <QByteArray>
#include <QtGlobal>

// The ID3v1 trailer: the last 128 bytes of a file, starting with "TAG".
constexpr qint64 kId3v1TrailerBytes = 128;

// True when a file of fileSize bytes carries an ID3v1 trailer: it is longer
// than the trailer (a file that is nothing but 128 bytes holds no audio for
// a trailer to describe) and its last 128 bytes start with "TAG". lastBytes
// are the file's last bytes (128 or more; fewer for a short file).
bool hasId3v1Trailer(qint64 fileSize, const QByteArray& lastBytes);
