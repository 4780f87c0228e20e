// Save checks on whole folders: a generator of ordinary and damaged tags,
// and a run that saves each file and verifies it against its state before,
// with a frame walk of its own (not the tag layer's).
#include "platform/audiofiles.h"
#include "tags/id3v2tag.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QStringList>

#include <cstdio>

namespace {

QByteArray be32(quint32 v)
{
    const char b[4] = { char(v >> 24), char(v >> 16), char(v >> 8), char(v) };
    return QByteArray(b, 4);
}

QByteArray syncsafe(quint32 v)
{
    const char b[4] = { char((v >> 21) & 0x7F), char((v >> 14) & 0x7F), char((v >> 7) & 0x7F), char(v & 0x7F) };
    return QByteArray(b, 4);
}

quint32 readBe32(const QByteArray& b, qsizetype at)
{
    return quint32(uchar(b[at])) << 24 | quint32(uchar(b[at + 1])) << 16 | quint32(uchar(b[at + 2])) << 8
        | uchar(b[at + 3]);
}

quint32 readSyncsafe(const QByteArray& b, qsizetype at)
{
    return quint32(b[at] & 0x7F) << 21 | quint32(b[at + 1] & 0x7F) << 14 | quint32(b[at + 2] & 0x7F) << 7
        | quint32(b[at + 3] & 0x7F);
}

QByteArray unsync(const QByteArray& in)
{
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        out += in[i];
        if (uchar(in[i]) == 0xFF && (i + 1 == in.size() || in[i + 1] == 0 || uchar(in[i + 1]) >= 0xE0))
            out += '\0';
    }
    return out;
}

QByteArray resync(const QByteArray& in)
{
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        out += in[i];
        if (uchar(in[i]) == 0xFF && i + 1 < in.size() && in[i + 1] == 0)
            ++i;
    }
    return out;
}

QByteArray frame(int version, const QByteArray& id, const QByteArray& body, quint16 flags = 0)
{
    return id + (version == 4 ? syncsafe(quint32(body.size())) : be32(quint32(body.size()))) + char(flags >> 8)
        + char(flags & 0xFF) + body;
}

QByteArray audioFrames(int count)
{
    QByteArray f(417, '\0');
    f[0] = char(0xFF);
    f[1] = char(0xFB);
    f[2] = char(0x90);
    f[3] = char(0x64);
    for (int i = 4; i < f.size(); ++i)
        f[i] = char((i * 13 + 5) & 0x7F);
    return f.repeated(count);
}

// One damaged or ordinary file, chosen by the generator's next numbers.
QByteArray makeFile(QRandomGenerator& rng)
{
    const int version = rng.bounded(10) < 6 ? 3 : 4;
    const QByteArray sync("\xFF\xFB\x90\x64\xFF\xE0", 6);
    const QList<QByteArray> pool = {
        frame(version, "TIT2", QByteArray("\0Title", 6)),
        frame(version, "TPE1", QByteArray("\x01\xFF\xFEG\0r\0\xFC\0", 9)),
        frame(version, "TALB", QByteArray("\0Album", 6)),
        frame(version, "COMM", QByteArray("\0eng\0A comment", 14)),
        frame(version, "APIC", QByteArray("\0image/jpeg\0\x03\0", 14) + sync.repeated(200)),
        frame(version, "USLT", QByteArray("\0eng\0words words", 16)),
        frame(version, "TXXX", QByteArray("\0\0user value", 12)),
        frame(version, "PRIV", QByteArray("owner\0\xFF\xFF\x00\x01", 10)),
        frame(version, "UFID", QByteArray("http://id\0key", 13)),
        frame(version, "TRCK",
            QByteArray("\0"
                       "3/12",
                5)),
        frame(version, "GEOB", QByteArray("\0bin\0f\0d\0", 9) + sync.repeated(20)),
    };
    const QList<QByteArray> damaged = {
        frame(version, "TPE2", QByteArray()), // zero size
        frame(version, "tcom", QByteArray("\0lower", 6)), // lower-case identifier
        frame(version, "TCOM",
            QByteArray("\x09"
                       "bad",
                4)), // bad encoding
        frame(version, "TENC",
            QByteArray("\x80"
                       "cipher",
                7),
            version == 4 ? 0x0004 : 0x0040), // encrypted
        frame(version, "TOPE", QByteArray("\x07\0grouped", 9), version == 4 ? 0x0040 : 0x0020), // grouped
        frame(version, "TPE3", QByteArray("\x01N\0o\0B\0O\0M\0", 11)), // UTF-16 without a mark
        frame(version, "TIT3", QByteArray(1, '\0')), // no text
        frame(version, "ZZZZ", sync.repeated(3)), // unknown, sync-like bytes
    };
    QList<QByteArray> frames;
    const int count = 2 + int(rng.bounded(9));
    for (int i = 0; i < count; ++i)
        frames << pool.at(int(rng.bounded(pool.size())));
    const int damages = int(rng.bounded(4));
    for (int i = 0; i < damages; ++i)
        frames.insert(int(rng.bounded(frames.size() + 1)), damaged.at(int(rng.bounded(damaged.size()))));
    QByteArray body;
    for (const QByteArray& f : frames)
        body += f;

    quint8 flags = 0;
    const int layout = int(rng.bounded(8));
    if (layout == 1) { // extended header
        flags |= 0x40;
        body.prepend(version == 3 ? be32(6) + QByteArray(6, '\0') : syncsafe(6) + QByteArray("\x01\0", 2));
    }
    if (layout == 2 && version == 3) { // unsynchronised tag
        flags |= 0x80;
        body = unsync(body);
    }
    const bool footer = layout == 3 && version == 4;
    if (footer)
        flags |= 0x10;
    if (!footer)
        body += QByteArray(int(rng.bounded(300)), '\0');
    if (layout == 4 && !footer && body.size() > 40) // junk in the padding
        body.replace(body.size() - 20, 10, "JUNKJUNKJU");
    qint64 declared = body.size();
    const int sizeFault = int(rng.bounded(10));
    if (sizeFault == 0)
        declared += 1; // one byte into the audio
    else if (sizeFault == 1)
        declared += 1 + rng.bounded(2000);
    else if (sizeFault == 2)
        declared = qMax<qint64>(0, declared - 1 - rng.bounded(40)); // frames run past the tag
    QByteArray tag = QByteArray("ID3") + char(version) + '\0' + char(flags) + syncsafe(quint32(declared)) + body;
    if (footer)
        tag += QByteArray("3DI") + char(version) + '\0' + char(flags) + syncsafe(quint32(declared));
    QByteArray file = tag + audioFrames(20 + int(rng.bounded(40)));
    if (rng.bounded(4) == 0)
        file += QByteArray("TAG") + QByteArray(122, 'v') + '\0' + char(5) + char(17);
    return file;
}

struct Walk {
    bool ok = false;
    qint64 size = 0; // bytes the tag takes in the file
    QList<QByteArray> frames; // identifier + data, as stored (whole-tag unsynchronisation undone)
};

// The frames of the tag at the start of bytes, walked here and not by the tag layer.
Walk walk(const QByteArray& bytes)
{
    Walk w;
    if (bytes.size() < 10 || !bytes.startsWith("ID3") || bytes[3] < 3 || bytes[3] > 4)
        return w;
    const int version = bytes[3];
    const int flags = uchar(bytes[5]);
    const qint64 size = readSyncsafe(bytes, 6);
    w.size = 10 + size + (version == 4 && (flags & 0x10) ? 10 : 0);
    QByteArray body = bytes.mid(10, size);
    if (version == 3 && (flags & 0x80))
        body = resync(body);
    qint64 pos = 0;
    if (flags & 0x40)
        pos = body.size() >= 4 ? (version == 3 ? 4 + readBe32(body, 0) : readSyncsafe(body, 0)) : body.size();
    while (pos + 10 <= body.size() && body[pos] != 0) {
        const qint64 n = version == 4 ? readSyncsafe(body, pos + 4) : readBe32(body, pos + 4);
        if (pos + 10 + n > body.size())
            return w; // not walkable: a save must be refused
        w.frames << body.mid(pos, 4) + body.mid(pos + 10, n);
        pos += 10 + n;
    }
    w.ok = true;
    return w;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

int makeDamagedBench(const QStringList& args)
{
    if (args.size() < 2)
        return 2;
    QDir().mkpath(args.at(0));
    QRandomGenerator rng(20261207);
    const int n = args.at(1).toInt();
    for (int i = 0; i < n; ++i) {
        QFile f(QDir(args.at(0)).filePath(QStringLiteral("damaged-%1.mp3").arg(i, 5, 10, QLatin1Char('0'))));
        if (!f.open(QIODevice::WriteOnly) || f.write(makeFile(rng)) < 0)
            return 1;
    }
    std::printf("files: %d\n", n);
    return 0;
}

int verifySavesBench(const QStringList& args)
{
    if (args.isEmpty())
        return 2;
    QDir d(args.at(0));
    const QStringList names = listAudioFiles(d.path(), ListedFormats::Mp3Only);
    int saved = 0, refused = 0, audioChanged = 0, refusedButChanged = 0;
    QMap<QString, int> reasons;
    qint64 framesBefore = 0, framesKept = 0, framesLost = 0;
    for (const QString& name : names) {
        const QString path = d.filePath(name);
        ID3V2Tag t;
        t.setFileName(path);
        const QByteArray before = readAll(path); // after the load (which may drop a redundant trailer)
        const Walk wb = walk(before);
        t.setTitle(QStringLiteral("Checked"));
        const bool ok = t.update();
        const QByteArray after = readAll(path);
        if (!ok) {
            ++refused;
            ++reasons[t.lastError()];
            if (after != before) {
                ++refusedButChanged;
                std::printf("refused but changed: %s\n", qPrintable(name));
            }
            continue;
        }
        ++saved;
        const Walk wa = walk(after);
        const qint64 audioStart = wb.ok || before.startsWith("ID3") ? wb.size : 0;
        if (before.mid(audioStart) != after.mid(wa.size)) {
            ++audioChanged;
            std::printf("audio changed: %s\n", qPrintable(name));
        }
        QList<QByteArray> remaining = wa.frames;
        bool titleSeen = false; // the first title is the one changed
        for (const QByteArray& f : wb.frames) {
            if (f.startsWith("TIT2") && !titleSeen) {
                titleSeen = true;
                continue;
            }
            ++framesBefore;
            if (remaining.removeOne(f)) {
                ++framesKept;
            } else {
                ++framesLost;
                std::printf("frame lost: %s %s\n", qPrintable(name), f.left(4).toPercentEncoding().constData());
            }
        }
    }
    std::printf("files: %lld\nsaved: %d\nrefused: %d\nrefused_but_changed: %d\naudio_changed: %d\n",
        static_cast<long long>(names.size()), saved, refused, refusedButChanged, audioChanged);
    for (auto it = reasons.cbegin(); it != reasons.cend(); ++it)
        std::printf("refused %d: %s\n", it.value(), qPrintable(it.key()));
    std::printf("frames_checked: %lld\nframes_kept: %lld\nframes_lost: %lld\n", framesBefore, framesKept, framesLost);
    return audioChanged + refusedButChanged + framesLost == 0 ? 0 : 1;
}
