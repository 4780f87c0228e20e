#pragma once

#include "tags/mpegheader.h"

#include <QByteArray>

// The bytes of a file as the MPEG header reader sees them: its first bytes
// already in memory (head), anything else read on demand.
class FileBytes {
public:
    FileBytes(const QByteArray& head, qint64 size, const ByteReader& read)
        : m_head(head)
        , m_size(size)
        , m_read(read)
    {
    }
    qint64 size() const { return m_size; }
    // Up to maxCount bytes from offset: those the head holds (without a copy,
    // valid while the head is), else read now. Empty at the end of the file
    // or when the read fails.
    QByteArray span(qint64 offset, qint64 maxCount) const;
    // Exactly count bytes at offset (a view into the head when it holds
    // them); empty when they are not all there.
    QByteArray exact(qint64 offset, qint64 count) const;
    // Exactly count bytes at offset; false when they are not all there.
    bool copy(qint64 offset, int count, unsigned char* out) const;

private:
    const QByteArray& m_head;
    qint64 m_size;
    const ByteReader& m_read;
};

// Where the ID3v2 tags at the start of the file end (several may follow one
// another), by their own sizes, footer included; 0 without a tag.
qint64 id3v2TagsEnd(const FileBytes& file);

// Where the tags at the end of the file begin (every kind scanTrailers
// knows, in any order); the file size without them. Never below floor.
qint64 trailingTagsStart(const FileBytes& file, qint64 floor);
