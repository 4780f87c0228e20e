#pragma once

#include "tags/mpegheader.h"

#include <QByteArray>

// The tags at the end of an MP3 file, found by their signatures: used to
// answer hasTagType, to strip the kinds the tag library does not know, to
// keep a tag write out of them and to leave them out of the audio. This is
// the only reader of the end of a file.

// A byte range [start, end) of the file; empty when start < 0.
struct ByteRange {
    qint64 start = -1;
    qint64 end = -1;
    bool found() const { return start >= 0; }
};

// The tags at the end of the file, peeled off from the end one after the
// other in whatever order they were appended: ID3v1, APE (with or without
// its header), Lyrics3 v1 or v2, MusicMatch; each kind once. A kind can be
// detected (its flag) but not sized (its range not found) when its inner
// structure is damaged; the peeling stops there, and such a block is never
// removed.
struct TrailerScan {
    int flags = 0; // TagType bits found (ID3v1, Lyrics3, Lyrics3v2, MusicMatch)
    ByteRange id3v1;
    ByteRange ape; // APE has no TagType bit: it is kept out of the audio, not stripped
    ByteRange lyrics3; // version 1 or 2, whichever flag is set
    ByteRange musicMatch;
    qint64 start = 0; // where the sized trailing tags begin; the file size when there are none
};

// Bytes the trailer scan wants at the end of the file in one read.
constexpr int kTailScanBytes = 4096;

// tail holds the last bytes of the file (at most kTailScanBytes); read
// fetches anything further back. No tag is taken to start before floor
// (the first audio frame, when the audio is measured).
TrailerScan scanTrailers(qint64 fileSize, const QByteArray& tail, const ByteReader& read, qint64 floor = 0);

// pread until count bytes are in or the file ends; false on a short read.
bool readFully(int fd, qint64 offset, int count, unsigned char* out);
