#include "id3builder.h"

#include <QtEndian>

namespace Id3Builder {

QByteArray syncsafe(quint32 v)
{
    QByteArray out(4, '\0');
    out[0] = char((v >> 21) & 0x7F);
    out[1] = char((v >> 14) & 0x7F);
    out[2] = char((v >> 7) & 0x7F);
    out[3] = char(v & 0x7F);
    return out;
}

QByteArray bigEndian32(quint32 v)
{
    QByteArray out(4, '\0');
    qToBigEndian(v, out.data());
    return out;
}

QByteArray encode(const QString& text, Enc enc)
{
    switch (enc) {
    case Enc::Latin1:
        return text.toLatin1();
    case Enc::Utf8:
        return text.toUtf8();
    case Enc::Utf16: {
        QByteArray out("\xFF\xFE", 2);
        for (QChar c : text) {
            out += char(c.unicode() & 0xFF);
            out += char(c.unicode() >> 8);
        }
        return out;
    }
    case Enc::Utf16BE: {
        QByteArray out;
        for (QChar c : text) {
            out += char(c.unicode() >> 8);
            out += char(c.unicode() & 0xFF);
        }
        return out;
    }
    }
    return {};
}

QByteArray terminator(Enc enc)
{
    return (enc == Enc::Utf16 || enc == Enc::Utf16BE) ? QByteArray(2, '\0') : QByteArray(1, '\0');
}

QByteArray textBody(const QString& text, Enc enc)
{
    return char(enc) + encode(text, enc);
}

QByteArray userTextBody(const QString& description, const QString& text, Enc enc)
{
    return char(enc) + encode(description, enc) + terminator(enc) + encode(text, enc);
}

QByteArray commentBody(const QString& language, const QString& description, const QString& text, Enc enc)
{
    return char(enc) + language.toLatin1().left(3) + encode(description, enc) + terminator(enc) + encode(text, enc);
}

QByteArray urlBody(const QString& url)
{
    return url.toLatin1();
}

QByteArray userUrlBody(const QString& description, const QString& url, Enc enc)
{
    return char(enc) + encode(description, enc) + terminator(enc) + url.toLatin1();
}

QByteArray ufidBody(const QByteArray& owner, const QByteArray& identifier)
{
    return owner + '\0' + identifier;
}

QByteArray pictureBody(const QByteArray& mime, char pictureType, const QString& description, const QByteArray& data)
{
    return QByteArray(1, '\0') + mime + '\0' + pictureType + description.toLatin1() + '\0' + data;
}

QByteArray frame(int version, const QByteArray& id, const QByteArray& body, quint16 flags)
{
    const quint32 size = quint32(body.size());
    if (version == 2) {
        QByteArray out = id.left(3);
        out += char((size >> 16) & 0xFF);
        out += char((size >> 8) & 0xFF);
        out += char(size & 0xFF);
        return out + body;
    }
    QByteArray out = id.left(4);
    out += version == 4 ? syncsafe(size) : bigEndian32(size);
    out += char(flags >> 8);
    out += char(flags & 0xFF);
    return out + body;
}

QByteArray header(int version, quint32 declaredSize, quint8 flags)
{
    QByteArray out("ID3");
    out += char(version);
    out += '\0';
    out += char(flags);
    out += syncsafe(declaredSize);
    return out;
}

QByteArray tag(int version, const QList<QByteArray>& frames, int padding, quint8 flags)
{
    QByteArray body;
    for (const QByteArray& f : frames)
        body += f;
    body += QByteArray(padding, '\0');
    return header(version, quint32(body.size()), flags) + body;
}

namespace {
    void put(QByteArray& t, int offset, const QString& text, int width)
    {
        const QByteArray b = text.toLatin1().left(width);
        for (int i = 0; i < b.size(); ++i)
            t[offset + i] = b[i];
    }
} // namespace

QByteArray id3v1(const QString& title, const QString& artist, const QString& album, const QString& year,
    const QString& comment, int track, int genre)
{
    QByteArray t(128, '\0');
    t[0] = 'T';
    t[1] = 'A';
    t[2] = 'G';
    put(t, 3, title, 30);
    put(t, 33, artist, 30);
    put(t, 63, album, 30);
    put(t, 93, year, 4);
    if (track < 0) {
        put(t, 97, comment, 30);
    } else {
        put(t, 97, comment, 28);
        t[125] = '\0';
        t[126] = char(track);
    }
    t[127] = char(genre);
    return t;
}

QByteArray lyrics3v1(const QByteArray& text)
{
    return "LYRICSBEGIN" + text + "LYRICSEND";
}

QByteArray lyrics3v2(const QByteArray& fields)
{
    const QByteArray body = "LYRICSBEGIN" + fields;
    return body + QByteArray::number(body.size()).rightJustified(6, '0') + "LYRICS200";
}

QByteArray musicMatch(bool withHeader)
{
    QByteArray out;
    QByteArray sync = QByteArray("18273645").leftJustified(256, '\0');
    if (withHeader)
        out += sync;
    // Picture extension (4), picture size 0 (4), unused (4).
    out += QByteArray("    ") + QByteArray(4, '\0') + QByteArray(4, '\0');
    out += sync; // version section
    QByteArray metadata(7868, '\0');
    metadata.replace(0, 10, "Song Title");
    out += metadata;
    // Data offsets: picture extension, picture, unused, version, metadata
    // (relative positions are all that matter: version - extension = 12).
    QByteArray offsets;
    const quint32 base = 1000;
    for (quint32 v : { base, base + 4, base + 8, base + 12, base + 12 + 256 }) {
        offsets += char(v & 0xFF);
        offsets += char((v >> 8) & 0xFF);
        offsets += char((v >> 16) & 0xFF);
        offsets += char((v >> 24) & 0xFF);
    }
    out += offsets;
    QByteArray footer = QByteArray("Brava Software Inc.").leftJustified(32, ' ');
    footer += "3.00";
    footer += QByteArray(12, ' ');
    out += footer;
    return out;
}

QByteArray unsynchronised(const QByteArray& bytes)
{
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (uchar(bytes[i]) == 0xFF && (i + 1 == bytes.size() || bytes[i + 1] == '\0' || uchar(bytes[i + 1]) >= 0xE0))
            out += '\0';
    }
    return out;
}

} // namespace Id3Builder
