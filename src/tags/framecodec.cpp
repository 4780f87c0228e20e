#include "framecodec.h"

#include <QStringList>

#include <limits>

namespace {

// Version 2.2 names of the frames the program reads or writes, with their
// 2.3 IDs.
constexpr const char* kV22Names[][2] = {
    { "TT2", "TIT2" },
    { "TP1", "TPE1" },
    { "TAL", "TALB" },
    { "TRK", "TRCK" },
    { "TYE", "TYER" },
    { "TCO", "TCON" },
    { "COM", "COMM" },
    { "UFI", "UFID" },
    { "TXX", "TXXX" },
    { "WXX", "WXXX" },
    { "WAR", "WOAR" },
    { "TCM", "TCOM" },
    { "TOA", "TOPE" },
    { "TEN", "TENC" },
    { "ULT", "USLT" },
    { "PIC", "APIC" },
    { "CNT", "PCNT" },
};

// A name of the table in one version as the other: from = 0 takes a 2.2
// name to its 2.3 ID, from = 1 the other way; "" when the table lacks it.
QByteArray otherVersionName(const QByteArray& id, int from)
{
    for (const auto& pair : kV22Names)
        if (id == pair[from])
            return pair[1 - from];
    return QByteArray();
}

// Frame IDs are written with capital letters and digits only.
bool isWritableId(const QByteArray& id, int size)
{
    if (id.size() != size)
        return false;
    for (char c : id)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

bool fitsLatin1(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

int terminatorWidth(int enc)
{
    return enc == 1 || enc == 2 ? 2 : 1;
}

// What QByteArray::mid gives, without a copy: pos and n are clamped to the
// view; n < 0 takes the rest.
QByteArrayView part(QByteArrayView v, qsizetype pos, qsizetype n = -1)
{
    pos = qBound<qsizetype>(0, pos, v.size());
    const qsizetype rest = v.size() - pos;
    return v.sliced(pos, n < 0 || n > rest ? rest : n);
}

// Where the string starting at from ends (its terminator), or bytes.size().
qsizetype stringEnd(QByteArrayView bytes, qsizetype from, int enc)
{
    if (terminatorWidth(enc) == 1) {
        const qsizetype at = bytes.indexOf('\0', from);
        return at < 0 ? bytes.size() : at;
    }
    for (qsizetype i = from; i + 1 < bytes.size(); i += 2)
        if (bytes[i] == '\0' && bytes[i + 1] == '\0')
            return i;
    return bytes.size();
}

// guessWithoutMark: text without a byte-order mark may be little-endian
// (as some writers store it); otherwise it is big-endian.
QString decodeUtf16(QByteArrayView s, bool guessWithoutMark)
{
    qsizetype from = 0;
    bool little = false;
    if (s.size() >= 2 && uchar(s[0]) == 0xFF && uchar(s[1]) == 0xFE) {
        little = true;
        from = 2;
    } else if (s.size() >= 2 && uchar(s[0]) == 0xFE && uchar(s[1]) == 0xFF) {
        little = false;
        from = 2;
    } else if (guessWithoutMark) {
        // No mark: the side where the zero bytes of Latin text fall.
        int evenZeros = 0;
        int oddZeros = 0;
        for (qsizetype i = 0; i < s.size(); ++i)
            if (s[i] == '\0')
                ++((i % 2) ? oddZeros : evenZeros);
        little = oddZeros > evenZeros;
    }
    QString out;
    out.reserve((s.size() - from) / 2);
    for (qsizetype i = from; i + 1 < s.size(); i += 2) {
        const ushort a = uchar(s[i]);
        const ushort b = uchar(s[i + 1]);
        out += QChar(little ? ushort(b << 8 | a) : ushort(a << 8 | b));
    }
    return out;
}

QString decodeString(QByteArrayView s, int enc)
{
    switch (enc) {
    case 0:
        return QString::fromLatin1(s);
    case 1:
        return decodeUtf16(s, true);
    case 2:
        return decodeUtf16(s, false);
    default:
        return QString::fromUtf8(s);
    }
}

// The strings of a text body after its encoding byte, from offset on; a
// final terminator does not start an empty string.
QStringList decodeStrings(QByteArrayView bytes, qsizetype from, int enc)
{
    QStringList out;
    while (from < bytes.size()) {
        const qsizetype end = stringEnd(bytes, from, enc);
        out << decodeString(part(bytes, from, end - from), enc);
        from = end + terminatorWidth(enc);
    }
    return out;
}

// A genre reference stored as a bare number (2.4) reads as "(n)".
QString genreText(const QStringList& fields)
{
    QString out;
    for (const QString& s : fields) {
        bool digits = !s.isEmpty();
        for (QChar c : s)
            digits = digits && c.unicode() >= '0' && c.unicode() <= '9';
        if (digits)
            out += QLatin1Char('(') + s + QLatin1Char(')');
        else
            out += (out.isEmpty() || out.endsWith(QLatin1Char(')')) ? QString() : QStringLiteral(" ")) + s;
    }
    return out;
}

// A 2.2 picture's three-letter image format as a MIME type, and back.
QString mimeOfFormat(QByteArrayView format)
{
    const QByteArray f = format.toByteArray().toUpper();
    return f == "JPG" ? QStringLiteral("image/jpeg") : QStringLiteral("image/") + QString::fromLatin1(f.toLower());
}

QByteArray formatOfMime(const QString& mime)
{
    const QString kind = mime.section(QLatin1Char('/'), 1).toUpper();
    if (kind == QLatin1String("JPEG"))
        return "JPG";
    return kind.toLatin1().left(3).leftJustified(3, ' ');
}

bool decode(const QByteArray& id4, QByteArrayView c, int version, FrameItem& item)
{
    const auto encodingOk = [&c] { return !c.isEmpty() && uchar(c[0]) <= 3; };
    if (id4 == "TXXX") {
        if (!encodingOk())
            return false;
        QStringList s = decodeStrings(c, 1, c[0]);
        item.description = s.isEmpty() ? QString() : s.takeFirst();
        item.value = s.join(QLatin1Char(' '));
        return true;
    }
    if (id4.startsWith('T')) {
        if (!encodingOk())
            return false;
        const QStringList s = decodeStrings(c, 1, c[0]);
        item.value = id4 == "TCON" ? genreText(s) : s.join(QLatin1Char(' '));
        return true;
    }
    if (id4 == "COMM" || id4 == "USLT") {
        if (!encodingOk() || c.size() < 4)
            return false;
        const int enc = c[0];
        item.language = QString::fromLatin1(part(c, 1, 3));
        const qsizetype end = stringEnd(c, 4, enc);
        item.description = decodeString(part(c, 4, end - 4), enc);
        const qsizetype from = qMin(c.size(), end + terminatorWidth(enc));
        item.value = decodeString(part(c, from, stringEnd(c, from, enc) - from), enc);
        return true;
    }
    if (id4 == "WXXX") {
        if (!encodingOk())
            return false;
        const int enc = c[0];
        const qsizetype end = stringEnd(c, 1, enc);
        item.description = decodeString(part(c, 1, end - 1), enc);
        const qsizetype from = qMin(c.size(), end + terminatorWidth(enc));
        item.value = QString::fromLatin1(part(c, from, stringEnd(c, from, 0) - from));
        return true;
    }
    if (id4.startsWith('W')) {
        item.value = QString::fromLatin1(part(c, 0, stringEnd(c, 0, 0)));
        return true;
    }
    if (id4 == "UFID") {
        const qsizetype end = stringEnd(c, 0, 0);
        item.owner = part(c, 0, end).toByteArray();
        item.value = QString::fromLatin1(part(c, qMin(end + 1, c.size())));
        return true;
    }
    if (id4 == "PCNT") {
        qint64 n = 0;
        for (qsizetype i = 0; i < c.size() && i < 8; ++i)
            n = n << 8 | uchar(c[i]);
        item.value = int(qMin<qint64>(n, std::numeric_limits<int>::max()));
        return true;
    }
    if (id4 == "APIC" && encodingOk()) {
        // Description after the MIME type (2.2: a three-letter format) and the picture type.
        const int enc = c[0];
        const qsizetype typeAt = version == 2 ? 4 : stringEnd(c, 1, 0) + 1;
        if (typeAt < c.size()) {
            const qsizetype end = stringEnd(c, typeAt + 1, enc);
            item.description = decodeString(part(c, typeAt + 1, end - typeAt - 1), enc);
            if (end < c.size()) {
                CoverPicture p;
                p.type = uchar(c[typeAt]);
                p.mimeType = version == 2 ? mimeOfFormat(part(c, 1, 3)) : QString::fromLatin1(part(c, 1, typeAt - 2));
                p.description = item.description;
                p.data = part(c, end + terminatorWidth(enc)).toByteArray();
                item.picture = withImageFacts(p);
            }
        }
    }
    item.value = QString();
    return true;
}

QByteArray latin1(const QString& s)
{
    return s.toLatin1();
}

// Text in encoding enc (0: Latin-1, 1: UTF-16 with a little-endian mark,
// 3: UTF-8), no terminator.
QByteArray encodeString(const QString& s, int enc)
{
    if (enc == 0)
        return latin1(s);
    if (enc == 3)
        return s.toUtf8();
    QByteArray out("\xFF\xFE", 2);
    for (QChar c : s) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

// A URL frame holds Latin-1 only, and readers drop bytes outside ASCII:
// other characters go percent-encoded as UTF-8, as in a web address.
QByteArray urlBytes(const QString& url)
{
    QByteArray out;
    for (char c : url.toUtf8()) {
        if (uchar(c) < 0x80)
            out += c;
        else
            out += '%' + QByteArray::number(uchar(c), 16).toUpper().rightJustified(2, '0');
    }
    return out;
}

QByteArray terminator(int enc)
{
    return QByteArray(terminatorWidth(enc), '\0');
}

QByteArray itemFrameId(const QByteArray& storedId, int version)
{
    if (version == 2) {
        const QByteArray id = otherVersionName(storedId, 0);
        return id.isEmpty() ? storedId : id;
    }
    return storedId == "TDRC" ? QByteArrayLiteral("TYER") : storedId;
}

} // namespace

FrameItem itemForStoredFrame(const StoredFrame& frame, int version, int index)
{
    FrameItem item;
    item.position = index;
    const QByteArray id = itemFrameId(frame.id, version);
    if (!frame.readable || !decode(id, frame.content, version, item)) {
        item = FrameItem();
        item.position = index;
        item.unreadableId = id;
        return item;
    }
    item.frameId = id;
    return item;
}

QByteArray frameIdForItem(const QByteArray& frameId, int version)
{
    if (version == 2) {
        const QByteArray name = otherVersionName(frameId, 1);
        const QByteArray& id = name.isEmpty() ? frameId : name;
        return isWritableId(id, 3) ? id : QByteArray();
    }
    if (!isWritableId(frameId, 4))
        return QByteArray();
    return frameId == "TYER" && version == 4 ? QByteArrayLiteral("TDRC") : frameId;
}

QByteArray frameDataForItem(const FrameItem& item, int version)
{
    const QByteArray& id = item.frameId;
    const QString text = item.value.toString();
    const QString& desc = item.description;
    // Latin-1 where it holds the text; else UTF-8, which 2.4 allows and
    // which is half the size of UTF-16 for most scripts.
    const auto encodingFor = [version](std::initializer_list<QString> texts) {
        for (const QString& t : texts)
            if (!fitsLatin1(t))
                return version >= 4 ? 3 : 1;
        return 0;
    };
    // A TXXX without a description goes as UTF-16: its byte-order mark keeps
    // the empty description a field of its own, which some readers would
    // otherwise skip, taking the value for the description.
    const int enc = id == "TXXX" && desc.isEmpty() ? 1 : encodingFor({ text, desc });
    const char encByte = char(enc);
    if (id == "TXXX")
        return encByte + encodeString(desc, enc) + terminator(enc) + encodeString(text, enc);
    if (id.startsWith('T'))
        return encByte + encodeString(text, enc);
    if (id == "COMM" || id == "USLT") {
        const QByteArray language
            = item.language.size() == 3 && fitsLatin1(item.language) ? latin1(item.language) : QByteArray("eng");
        return encByte + language + encodeString(desc, enc) + terminator(enc) + encodeString(text, enc);
    }
    if (id == "WXXX") {
        const int descEnc = encodingFor({ desc });
        return char(descEnc) + encodeString(desc, descEnc) + terminator(descEnc) + urlBytes(text);
    }
    if (id.startsWith('W'))
        return urlBytes(text);
    if (id == "APIC") {
        // Only a picture is a picture frame's value: a text given to it is refused.
        if (!item.picture || !text.isEmpty())
            return QByteArray();
        const CoverPicture& p = *item.picture;
        const int picEnc = encodingFor({ p.description });
        const QByteArray format = version == 2 ? formatOfMime(p.mimeType) : latin1(p.mimeType) + '\0';
        return char(picEnc) + format + char(p.type) + encodeString(p.description, picEnc) + terminator(picEnc) + p.data;
    }
    if (id == "UFID") {
        // The standard wants an owner; a key typed here is Velmora's own.
        const QByteArray owner = item.owner.isEmpty() ? QByteArrayLiteral("Velmora") : item.owner;
        return owner + '\0' + latin1(text);
    }
    return QByteArray();
}
