#pragma once

#include "platform/fileerror.h"
#include "tags/audioformat.h"

#include <QByteArray>
#include <QString>

// What a tag write changes in a file, as stored, with the file's size,
// modification time and permission bits:
// - an MP3 file (and any file audioFormatOf does not name FLAC, Ogg Vorbis,
//   Opus or MP4): the tag bytes at its two ends, the whole ID3v2 tag at the
//   start and the trailing tags at the end (MusicMatch, Lyrics3 and the ID3v1
//   trailer, as one run of bytes), each empty when the file has none. What
//   lies between them (the audio) is never read whole and never written by a
//   restore;
// - a FLAC, Ogg Vorbis, Opus or MP4 file: every tag item as TagLibTag holds
//   it (TagLibTag::snapshot()). A save through TagLib moves the audio and
//   changes the size; TagLibTag proves the audio unchanged on every write.
struct TagSnapshot {
    qint64 size = 0; // bytes of the whole file
    qint64 mtimeNs = 0; // modification time, nanoseconds since the epoch
    quint32 mode = 0; // permission bits (07777)
    AudioFormat format = AudioFormat::Mp3; // Mp3: the file's tag bytes are v2 and trailer
    QByteArray v2; // header, frames, padding and footer; empty: no tag
    QByteArray trailer; // the trailing tags, ending with "TAG" + 125 bytes when there is an ID3v1 trailer
    QByteArray items; // TagLibTag::snapshot(); empty for Mp3

    bool throughTagLib() const { return format != AudioFormat::Mp3; }
    // Bytes between the two tags (of an MP3 file).
    qint64 middleSize() const { return size - v2.size() - trailer.size(); }
    // SHA-1 over the tags (and which of them are there); for an MP3 file the
    // same as journals of MP3 files alone always held.
    QByteArray tagHash() const;
    bool sameTags(const TagSnapshot& other) const
    {
        return format == other.format && v2 == other.v2 && trailer == other.trailer && items == other.items;
    }
    // Whether this file may be other with other tags: the same format and,
    // for MP3, as many bytes between the tags.
    bool sameAudioShape(const TagSnapshot& other) const
    {
        return format == other.format && (throughTagLib() || middleSize() == other.middleSize());
    }
};

// Reads the snapshot of path. False for a missing, unreadable or
// non-regular file, and for a FLAC, Ogg or MP4 file TagLib cannot read, with
// *err saying why.
bool readTagSnapshot(const QString& path, TagSnapshot* out, FileError* err = nullptr);

// Gives path back everything of wanted that a tag write changes, the file
// now being as current says (read just before); then the permission bits and
// the modification time. An MP3 file gets the trailing tags first, then the
// ID3v2 tag, each through replaceFileRange so the bytes between are kept as
// they are; a FLAC, Ogg or MP4 file gets its items through
// TagLibTag::restore (a verified copy with the same audio). Refused (false,
// *err set, nothing written) when the file is not of wanted's format or the
// bytes between an MP3 file's tags do not have the length they had in
// wanted. Checked by reading the file again.
bool restoreTagSnapshot(
    const QString& path, const TagSnapshot& current, const TagSnapshot& wanted, FileError* err = nullptr);
