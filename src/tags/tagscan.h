#pragma once

#include "tags/mpegheader.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Byte-level facts about the tags at the two ends of an MP3 file, found by
// their signatures. Used to answer hasTagType, to strip the kinds the tag
// library does not know, and to check a tag before it is rewritten.

// The ID3v2 header at the start of a file.
struct Id3v2Header {
    bool present = false; // the file starts with "ID3" (as the tag library sees it)
    bool valid = false; // version 2..4 and a well-formed size
    int majorVersion = 0;
    int flags = 0;
    qint64 completeSize = 0; // header + body + footer, in bytes (valid only)
};
Id3v2Header parseId3v2Header(const QByteArray& head);

// A byte range [start, end) of the file; empty when start < 0.
struct ByteRange {
    qint64 start = -1;
    qint64 end = -1;
    bool found() const { return start >= 0; }
};

// The tags at the end of the file, in file order: MusicMatch, Lyrics3
// (v1 or v2), ID3v1. A kind can be detected (its flag) but not sized (its
// range not found) when its inner structure is damaged; it is then never
// removed.
struct TrailerScan {
    int flags = 0; // TagType bits found (ID3v1, Lyrics3, Lyrics3v2, MusicMatch)
    ByteRange id3v1;
    ByteRange lyrics3; // version 1 or 2, whichever flag is set
    ByteRange musicMatch;
};

// Bytes the trailer scan wants at the end of the file in one read.
constexpr int kTailScanBytes = 4096;

// tail holds the last bytes of the file (at most kTailScanBytes); read
// fetches anything further back.
TrailerScan scanTrailers(qint64 fileSize, const QByteArray& tail, const ByteReader& read);

// pread until count bytes are in or the file ends; false on a short read.
bool readFully(int fd, qint64 offset, int count, unsigned char* out);
