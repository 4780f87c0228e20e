#include "uniquekey.h"

#include <QStringDecoder>

namespace {

bool isAscii(const QByteArray& bytes)
{
    for (char c : bytes)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

// The text the bytes spell in UTF-8, when they are UTF-8 beyond ASCII.
bool readsAsUtf8(const QByteArray& bytes, QString* text)
{
    if (isAscii(bytes))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder(bytes);
    if (decoder.hasError())
        return false;
    if (text)
        *text = decoded;
    return true;
}

} // namespace

QString storedUniqueKey(const QString& key)
{
    // Latin-1 bytes that happen to spell UTF-8 would read back as other
    // characters: those keys go as UTF-8 too.
    QByteArray bytes;
    bool latin1 = true;
    for (QChar c : key)
        latin1 = latin1 && c.unicode() <= 0xFF;
    if (latin1)
        bytes = key.toLatin1();
    if (!latin1 || readsAsUtf8(bytes, nullptr))
        bytes = key.toUtf8();
    QByteArray spaced;
    spaced.reserve(bytes.size() * 2);
    for (char c : bytes) {
        spaced += c;
        spaced += ' ';
    }
    return QString::fromLatin1(spaced);
}

QString uniqueKeyOf(const QString& stored)
{
    QByteArray bytes = stored.toLatin1();
    while (bytes.endsWith(' '))
        bytes.chop(1);
    if (bytes.size() >= 2 && bytes.at(1) == ' ') {
        QByteArray packed;
        packed.reserve(bytes.size() / 2 + 1);
        for (qsizetype i = 0; i < bytes.size(); i += 2)
            packed += bytes.at(i);
        bytes = packed;
    }
    QString text;
    return readsAsUtf8(bytes, &text) ? text : QString::fromLatin1(bytes);
}
