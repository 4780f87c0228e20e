#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// ID3 tags made byte by byte, for tests: ID3v2.2, 2.3 and 2.4 tags with
// their frames, ID3v1.0/1.1 trailers, and the Lyrics3 and MusicMatch blocks
// that sit before a trailer. Nothing here goes through the tag layer.
namespace Id3Builder {

// ID3v2 text encodings (the byte before a text).
enum class Enc : char { Latin1 = 0, Utf16 = 1, Utf16BE = 2, Utf8 = 3 };

QByteArray syncsafe(quint32 value);
QByteArray bigEndian32(quint32 value);
// Applies unsynchronisation: a 00 after every FF that is followed by 00 or
// a byte from E0 on, and after a final FF.
QByteArray unsynchronised(const QByteArray& bytes);

// The text in that encoding (UTF-16 with a little-endian BOM), no terminator.
QByteArray encode(const QString& text, Enc enc);
// The terminator that ends a description in that encoding.
QByteArray terminator(Enc enc);

// Frame bodies.
QByteArray textBody(const QString& text, Enc enc = Enc::Latin1);
QByteArray userTextBody(const QString& description, const QString& text, Enc enc = Enc::Latin1);
QByteArray commentBody(const QString& language, const QString& description, const QString& text, Enc enc = Enc::Latin1);
QByteArray urlBody(const QString& url);
QByteArray userUrlBody(const QString& description, const QString& url, Enc enc = Enc::Latin1);
QByteArray ufidBody(const QByteArray& owner, const QByteArray& identifier);
QByteArray pictureBody(const QByteArray& mime, char pictureType, const QString& description, const QByteArray& data);

// One frame: version 2 uses 3-character identifiers and 3-byte sizes,
// version 3 plain 4-byte sizes, version 4 sync-safe sizes.
QByteArray frame(int version, const QByteArray& id, const QByteArray& body, quint16 flags = 0);

// A whole tag: header ("ID3", version, revision 0, flags, sync-safe size of
// frames + padding), the frames and `padding` zero bytes.
QByteArray tag(int version, const QList<QByteArray>& frames, int padding = 0, quint8 flags = 0);
// A header that claims `declaredSize` bytes whatever follows.
QByteArray header(int version, quint32 declaredSize, quint8 flags = 0);

// A 128-byte trailer; track -1 gives the ID3v1.0 layout (30-byte comment).
QByteArray id3v1(const QString& title, const QString& artist, const QString& album, const QString& year,
    const QString& comment, int track, int genre);

// "LYRICSBEGIN" + text + "LYRICSEND".
QByteArray lyrics3v1(const QByteArray& text);
// "LYRICSBEGIN" + fields + six-digit size + "LYRICS200".
QByteArray lyrics3v2(const QByteArray& fields);
// A MusicMatch block (version 3.00, no picture) with optional header.
QByteArray musicMatch(bool withHeader = true);

} // namespace Id3Builder
