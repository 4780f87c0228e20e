#pragma once

// Frames whose size field the test chooses, and frames as TagLib reads
// them: the tag tests' own view of a file, beside the tag layer's.

#include "support/id3builder.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

namespace FrameBytes {

// A frame with a plain 32-bit size field (2.3, or 2.4 stored the 2.3 way)
// that declares size bytes, whatever the body holds.
inline QByteArray sizedFrame(const QByteArray& id, quint32 size, const QByteArray& body, quint16 flags = 0)
{
    return id + Id3Builder::bigEndian32(size) + char(flags >> 8) + char(flags & 0xFF) + body;
}

inline QByteArray plainFrame(const QByteArray& id, const QByteArray& body, quint16 flags = 0)
{
    return sizedFrame(id, quint32(body.size()), body, flags);
}

// A tag as the test reads it from the start of a file.
struct RawTag {
    int version = 0;
    qint64 size = 0; // the whole tag, footer included
    QList<QByteArray> frames; // each whole, header included
    QString problem; // why the bytes are no well-formed tag ("" when they are)
};

inline qint64 syncsafeAt(const QByteArray& b, qsizetype at)
{
    return qint64(b[at] & 0x7F) << 21 | qint64(b[at + 1] & 0x7F) << 14 | qint64(b[at + 2] & 0x7F) << 7
        | qint64(b[at + 3] & 0x7F);
}

inline qint64 bigEndianAt(const QByteArray& b, qsizetype at, int count)
{
    qint64 v = 0;
    for (int i = 0; i < count; ++i)
        v = v << 8 | uchar(b[at + i]);
    return v;
}

// Walks the tag at the start of file: frame sizes of three bytes (2.2), four
// plain bytes (2.3) or four sync-safe bytes (2.4), zero padding after the
// last frame, the footer a copy of the header under "3DI". An extended
// header or an unsynchronised tag shows as a problem; its size is right.
inline RawTag rawTag(const QByteArray& file)
{
    RawTag t;
    if (file.size() < 10 || !file.startsWith("ID3")) {
        t.problem = QStringLiteral("no ID3v2 header");
        return t;
    }
    t.version = file[3];
    const bool footer = t.version == 4 && (file[5] & 0x10);
    const qint64 bodyEnd = 10 + syncsafeAt(file, 6);
    t.size = bodyEnd + (footer ? 10 : 0);
    if (t.size > file.size()) {
        t.problem = QStringLiteral("the tag runs past the end of the file");
        return t;
    }
    if (footer && file.mid(bodyEnd, 10) != "3DI" + file.mid(3, 7))
        t.problem = QStringLiteral("the footer does not repeat the header");
    const int headerBytes = t.version == 2 ? 6 : 10;
    qint64 pos = 10;
    while (pos < bodyEnd && file[pos] != '\0') {
        if (pos + headerBytes > bodyEnd) {
            t.problem = QStringLiteral("a frame header is cut off");
            return t;
        }
        const qint64 size = t.version == 2 ? bigEndianAt(file, pos + 3, 3)
            : t.version == 3               ? bigEndianAt(file, pos + 4, 4)
                                           : syncsafeAt(file, pos + 4);
        if (pos + headerBytes + size > bodyEnd) {
            t.problem = QStringLiteral("frame %1 runs past the tag").arg(QString::fromLatin1(file.mid(pos, 4)));
            return t;
        }
        t.frames << file.mid(pos, headerBytes + size);
        pos += headerBytes + size;
    }
    if (file.mid(pos, bodyEnd - pos).count('\0') != bodyEnd - pos)
        t.problem = QStringLiteral("bytes other than padding after the last frame");
    return t;
}

// The texts TagLib reads from the frames of that ID, in order (2.2 names
// read as their 2.3 ones).
inline QStringList tagLibTexts(const QString& path, const char* id)
{
    TagLib::MPEG::File f(QFile::encodeName(path).constData(), false);
    QStringList out;
    if (f.hasID3v2Tag())
        for (const auto* frame : f.ID3v2Tag()->frameList(id))
            out << QString::fromStdString(frame->toString().to8Bit(true));
    return out;
}

// The first of them, "<none>" when there is none.
inline QString storedText(const QString& path, const char* id)
{
    return tagLibTexts(path, id).value(0, QStringLiteral("<none>"));
}

} // namespace FrameBytes
