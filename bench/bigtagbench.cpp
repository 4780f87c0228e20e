// big-tag MB DIR: the memory a load and a save of a file whose tag holds a
// frame of MB megabytes take, as peaks of the resident size over the start.
#include "peakmemory.h"

#include "tags/id3v2header.h"
#include "tags/id3v2tag.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

QByteArray be32(quint32 n)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char(n >> (24 - 8 * i));
    return out;
}

// Writes a 2.3 tag with a title and one private frame of the size, a little
// padding, and MPEG frames after it; in pieces, so that the bench's own
// peak stays below what it measures.
bool writeBigTagFile(const QString& path, qint64 frameBytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray title = QByteArray("\0Old", 4);
    const QByteArray privOwner("Bench\0", 6);
    const qint64 privSize = privOwner.size() + frameBytes;
    const qint64 framesSize = 10 + title.size() + 10 + privSize;
    const int padding = 1024;
    bool ok = f.write("ID3\x03\x00\x00", 6) == 6 && f.write(syncsafeBytes(quint32(framesSize + padding))) == 4
        && f.write("TIT2" + be32(quint32(title.size())) + QByteArray(2, '\0') + title) > 0
        && f.write("PRIV" + be32(quint32(privSize)) + QByteArray(2, '\0') + privOwner) > 0;
    const QByteArray chunk(1 << 20, '\x5A');
    for (qint64 left = frameBytes; ok && left > 0; left -= chunk.size())
        ok = f.write(chunk.constData(), qMin<qint64>(left, chunk.size())) > 0;
    ok = ok && f.write(QByteArray(padding, '\0')) == padding;
    const QByteArray mpegFrame = QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(413, '\0');
    for (int i = 0; ok && i < 100; ++i)
        ok = f.write(mpegFrame) == mpegFrame.size();
    return ok;
}

} // namespace

int bigTagBench(const QStringList& args)
{
    bool ok = false;
    const qint64 megabytes = args.value(0).toLongLong(&ok);
    if (!ok || megabytes <= 0 || args.size() < 2)
        return 2;
    const QString path = QDir(args[1]).filePath(QStringLiteral("big-tag.mp3"));
    if (!writeBigTagFile(path, megabytes << 20)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    const qint64 start = peakResidentKb();
    ID3V2Tag tag;
    if (!tag.setFileName(path).ok()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    const qint64 loaded = peakResidentKb();
    // A title longer than the padding: the save goes through a copy.
    tag.setTitle(QString(4096, QLatin1Char('x')));
    if (!tag.update()) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(tag.lastWriteError().description));
        return 1;
    }
    const qint64 saved = peakResidentKb();
    const double tagMb = double(megabytes);
    std::printf("tag of %lld MB: load peak +%.1f MB (%.1fx the tag), save peak +%.1f MB (%.1fx the tag)\n",
        static_cast<long long>(megabytes), (loaded - start) / 1024.0, (loaded - start) / 1024.0 / tagMb,
        (saved - start) / 1024.0, (saved - start) / 1024.0 / tagMb);
    QFile::remove(path);
    return 0;
}
