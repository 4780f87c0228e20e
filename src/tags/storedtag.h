#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// An ID3v2 tag as stored, frame by frame, so that a save can write back
// every frame it does not change exactly as it was, whether or not its
// content can be read.

// How a 2.4 tag's frame headers give the frames' sizes: syncsafe, as the
// standard has it, or as plain 32-bit numbers, as some writers do.
enum class FrameSizes { Syncsafe, Plain };

// One frame of a stored tag.
struct StoredFrame {
    QByteArray id; // as stored: four characters (three in version 2.2)
    quint16 flags = 0; // status byte << 8 | format byte (0 in version 2.2)
    // The whole frame, header included, as it is written back: in version
    // 2.2 and 2.3 the tag's own unsynchronisation is undone; version 2.4
    // frames are kept exactly as in the file. A view into its StoredTag's
    // bytes, which a large tag is not copied for.
    QByteArrayView bytes;
    // The frame's data ready to decode: unsynchronisation undone, group,
    // encryption and data length bytes skipped, decompressed. Empty when
    // the frame cannot be read (readable false). A view into the StoredTag.
    QByteArrayView content;
    bool readable = true; // false: encrypted, or compressed data that does not inflate within kMaxInflatedBytes
};

struct StoredTag {
    int version = 0; // 2, 3 or 4
    int flags = 0; // the header's flag byte
    qint64 size = 0; // bytes the tag takes in the file: header, body, footer
    qint64 framesEnd = 0; // file offset where the frames end (0: unknown)
    // Plain: a 2.4 tag whose frames walk cleanly only with plain sizes; its
    // new frames take plain sizes too, so that the walk stays clean.
    FrameSizes frameSizes = FrameSizes::Syncsafe;
    QList<StoredFrame> frames;
    // Not empty when the frames could not all be walked (what went wrong):
    // a save would lose what follows, so none is made.
    QString damage;
    // What the frames' views look into: the bytes read (shared, not
    // copied), the body of a tag unsynchronised as a whole, and the contents
    // that had to be decoded. Copies of a StoredTag share them.
    QByteArray source;
    QByteArray resynced;
    QList<QByteArray> decoded;
};

// The most a compressed frame may inflate to; a frame that would inflate
// further is kept as stored bytes and counts as not readable.
constexpr qint64 kMaxInflatedBytes = 16 * 1024 * 1024;

// Reads the tag at the start of bytes (the whole tag, or as much of it as
// the file holds). False when bytes do not start with a usable ID3v2
// header; true otherwise, with damage set when the walk stopped early.
bool readStoredTag(const QByteArray& bytes, StoredTag* out);
// The same walk, keeping no frames (frames stays empty): where they end and
// whether they are damaged, without a second copy of a large tag.
bool readStoredTagLayout(const QByteArray& bytes, StoredTag* out);

// Undoes unsynchronisation (FF 00 becomes FF).
QByteArray resynchronised(const QByteArray& bytes);
// Applies it (an FF followed by 00 or a byte from E0 gets a 00 inserted;
// a final FF too).
QByteArray unsynchronised(const QByteArray& bytes);

// One frame: its header for the tag version, then the data. In version 2.4
// with unsynchronise set the data is unsynchronised and flagged so, and the
// size is given as `sizes` says (the tag's StoredTag::frameSizes).
QByteArray renderFrame(int version, const QByteArray& id, quint16 statusFlags, const QByteArray& data,
    bool unsynchronise = false, FrameSizes sizes = FrameSizes::Syncsafe);

// A whole tag of the version holding frames (rendered already). Padding
// fills it up to roomSize bytes when they fit (then the tag takes exactly
// roomSize bytes), otherwise newPadding bytes of padding follow. A footer
// tag (2.4 only) has no padding. headerFlags keeps the bits that still
// hold (unsynchronisation of 2.4, experimental); the others are cleared.
QByteArray renderTag(
    int version, int headerFlags, const QByteArray& frames, qint64 roomSize, bool footer, qint64 newPadding = 1024);
// The same with the frames in parts, put together in the one buffer the tag
// is made in.
QByteArray renderTag(int version, int headerFlags, const QList<QByteArrayView>& frames, qint64 roomSize, bool footer,
    qint64 newPadding = 1024);
// A whole tag as the pieces it is written from: its header, the frames
// (views, not copies), padding and footer. A large tag is written from its
// pieces, never put together in memory a second time. The pieces view the
// header and footer held here, and what the frames viewed.
struct TagPieces {
    QList<QByteArrayView> pieces;
    QByteArray header;
    QByteArray footer;

    qint64 size() const;
    QByteArray joined() const;
    // Whether the pieces spell exactly these bytes.
    bool spell(QByteArrayView bytes) const;
};

// The pieces of the tag renderTag makes; false when it would be too large.
bool renderTagPieces(int version, int headerFlags, const QList<QByteArrayView>& frames, qint64 roomSize, bool footer,
    TagPieces* out, qint64 newPadding = 1024);
