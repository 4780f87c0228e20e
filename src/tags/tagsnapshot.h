#pragma once

#include "platform/fileerror.h"

#include <QByteArray>
#include <QString>

// The tag bytes at the two ends of an MP3 file, as stored: the whole ID3v2
// tag at the start and the trailing tags at the end (MusicMatch, Lyrics3
// and the ID3v1 trailer, as one run of bytes), each empty when the file has
// none, with the file's size, modification time and permission bits. What
// lies between them (the audio) is never read whole and never written by a
// restore.
struct TagSnapshot {
    qint64 size = 0; // bytes of the whole file
    qint64 mtimeNs = 0; // modification time, nanoseconds since the epoch
    quint32 mode = 0; // permission bits (07777)
    QByteArray v2; // header, frames, padding and footer; empty: no tag
    QByteArray trailer; // the trailing tags, ending with "TAG" + 125 bytes when there is an ID3v1 trailer

    // Bytes between the two tags.
    qint64 middleSize() const { return size - v2.size() - trailer.size(); }
    // SHA-1 over both tags (and which of them are there).
    QByteArray tagHash() const;
    bool sameTags(const TagSnapshot& other) const { return v2 == other.v2 && trailer == other.trailer; }
};

// Reads the snapshot of path (one open). False for a missing, unreadable
// or non-regular file, with *err saying why.
bool readTagSnapshot(const QString& path, TagSnapshot* out, FileError* err = nullptr);

// Gives path back everything of wanted that a tag write changes, the file
// now being as current says (read just before): the trailing tags first,
// then the ID3v2 tag, each through replaceFileRange so the bytes between are
// kept as they are; then the permission bits and the modification time.
// Refused (false, *err set, nothing written) when the bytes between the tags
// do not have the length they had in wanted. Checked by reading the file
// again.
bool restoreTagSnapshot(
    const QString& path, const TagSnapshot& current, const TagSnapshot& wanted, FileError* err = nullptr);
