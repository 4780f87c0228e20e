#pragma once

#include "tags/id3v2header.h"
#include "tags/mpegheader.h"
#include "tags/tagscan.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// Everything a load, save or strip needs from an MP3 file, read with one
// open: the first kHeaderScanBytes, the last kTailScanBytes (the same bytes
// when the file is small), the ID3v2 header and the trailing tags. The file
// stays open (read-only) while the object lives.
class OpenedTagFile {
public:
    OpenedTagFile() = default;
    OpenedTagFile(const OpenedTagFile&) = delete;
    OpenedTagFile& operator=(const OpenedTagFile&) = delete;
    ~OpenedTagFile();

    // False when the file cannot be opened, is not a regular file (errno
    // EISDIR; a named pipe is not waited on) or cannot be read; errno says why.
    bool open(const QString& path);
    // Reads through the open file.
    ByteReader reader() const;
    // The file lost its last n bytes (the ID3v1 trailer was removed).
    void chop(int n);
    // TagType bits the file carries (ID3v2: a well-formed header at the start).
    int tagTypes() const;
    // Where the trailing tags (every kind scanTrailers sizes) begin; the
    // file size when there are none.
    qint64 trailerStart() const;
    // The largest ID3v2 tag read into memory. A load, save or strip keeps a
    // few copies of the tag, so this bounds their memory; a larger tag
    // (only crafted files come near the standard's 256 MB) is left as it is.
    static constexpr qint64 kMaxTagBytes = 32 * 1024 * 1024;
    // The ID3v2 tag is larger than kMaxTagBytes: it is never read or written.
    bool tagTooLarge() const { return v2.valid && v2.completeSize > kMaxTagBytes; }
    // Why such a tag is left alone, for the user.
    static QString tagTooLargeText();
    // The whole ID3v2 tag as stored (as far as the file holds it): read
    // once, then shared; empty when tagTooLarge.
    QByteArray tagBytes() const;
    // True when the room the tag declares runs on into what looks like
    // audio: after its last frame come bytes other than padding holding an
    // MPEG sync. Rewriting or removing such a tag would cut the audio.
    bool tagOverlapsAudio() const;

    int fd = -1;
    mode_t mode = 0;
    qint64 size = 0;
    QByteArray head;
    QByteArray tail;
    Id3v2Header v2;
    TrailerScan trailers;

private:
    // Part of tagOverlapsAudio: frames whose sizes run into the audio.
    bool audioChainCrossesTagEnd(const QByteArray& tag) const;

    mutable QByteArray m_tag;
    mutable bool m_tagRead = false;
};

// The MPEG frame headers OpenedTagFile::tagOverlapsAudio has looked at in
// this thread so far: it stays in proportion to the tag's size.
qint64 overlapCheckSteps();
