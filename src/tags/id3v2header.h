#pragma once

#include <QByteArray>
#include <QtGlobal>

// The 10-byte header of an ID3v2 tag ("ID3", version, revision, flags,
// syncsafe body size) and the flag bits of its header and frames.

// Bits of the tag header's flag byte.
namespace Id3v2Flag {
constexpr int Unsynchronisation = 0x80;
constexpr int ExtendedHeader = 0x40; // versions 2.3 and 2.4
constexpr int Compression = 0x40; // version 2.2: the whole tag is compressed
constexpr int Experimental = 0x20;
constexpr int Footer = 0x10; // version 2.4
} // namespace Id3v2Flag

// Bits of a version 2.3 frame's format byte (the second flag byte).
namespace Id3v23FrameFlag {
constexpr int Compression = 0x80; // a 4-byte decompressed size precedes the data
constexpr int Encryption = 0x40; // a method byte precedes the data
constexpr int Grouping = 0x20; // a group byte precedes the data
} // namespace Id3v23FrameFlag

// Bits of a version 2.4 frame's format byte.
namespace Id3v24FrameFlag {
constexpr int Grouping = 0x40; // a group byte precedes the data
constexpr int Compression = 0x08;
constexpr int Encryption = 0x04; // a method byte follows the group byte
constexpr int Unsynchronisation = 0x02;
constexpr int DataLengthIndicator = 0x01; // a syncsafe size follows the method byte
} // namespace Id3v24FrameFlag

constexpr int kId3v2HeaderBytes = 10;
constexpr int kId3v2FooterBytes = 10;
constexpr qint64 kMaxSyncsafe = 0x0FFFFFFF; // the largest number four syncsafe bytes hold

struct Id3v2Header {
    bool present = false; // at least 10 bytes that start with "ID3"
    bool valid = false; // present, version 2..4, revision not FF, every size byte below 0x80
    int version = 0; // the major version byte (present only)
    int revision = 0;
    int flags = 0; // Id3v2Flag bits (present only)
    qint64 bodySize = 0; // bytes after the header: extended header, frames, padding (valid only)
    bool footer = false; // version 2.4 with the footer flag (valid only)
    qint64 completeSize = 0; // header, body and footer (valid only)
};

// Reads the header at the start of bytes (count of them available).
Id3v2Header readId3v2Header(const unsigned char* bytes, qint64 count);
Id3v2Header readId3v2Header(const QByteArray& bytes);

// The 28-bit number of four syncsafe bytes (top bits ignored).
quint32 syncsafe32(const unsigned char* p);
// Four syncsafe bytes for v (below 2^28).
QByteArray syncsafeBytes(quint32 v);
