// Hostile and unusual files: bounded work on compressed frames, no waiting
// on named pipes, audio of every MPEG version kept out of tag rewrites, and
// the bytes a frame's flags put before its data.
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"
#include "tags/mpegheader.h"
#include "tags/openedtagfile.h"
#include "tags/safefilewrite.h"
#include "tags/storedtag.h"
#include "tags/tagsnapshot.h"
#include "tags/tagtypes.h"
#include "tags/writeaccess.h"

#include "framebytes.h"
#include "support/childprocess.h"
#include "support/tagfiles.h"

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <gtest/gtest.h>

#include <zlib.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

// A zlib stream of count bytes, each unit repeated, made piece by piece so
// that the inflated bytes never exist in memory.
QByteArray deflated(qint64 count, const QByteArray& unit = QByteArray(1, '\0'))
{
    const QByteArray piece = unit.repeated(qMax<qsizetype>(1, 65536 / unit.size()));
    z_stream zs {};
    if (deflateInit(&zs, Z_BEST_COMPRESSION) != Z_OK)
        return QByteArray();
    QByteArray out;
    char buf[65536];
    for (qint64 left = count;;) {
        const qint64 n = qMin<qint64>(left, piece.size());
        zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.constData()));
        zs.avail_in = uInt(n);
        left -= n;
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        int result = Z_OK;
        do {
            zs.next_out = reinterpret_cast<Bytef*>(buf);
            zs.avail_out = sizeof buf;
            result = deflate(&zs, flush);
            out.append(buf, qsizetype(sizeof buf - zs.avail_out));
        } while (zs.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
        if (left == 0)
            break;
    }
    deflateEnd(&zs);
    return out;
}

// A compressed frame: version 3 (declared size first) or 4 (data length
// indicator), holding zlib data.
QByteArray compressedFrame(int version, const QByteArray& id, quint32 declared, const QByteArray& zlibData)
{
    if (version == 3)
        return frame(3, id, bigEndian32(declared) + zlibData, 0x0080);
    return frame(4, id, syncsafe(declared) + zlibData, 0x0009);
}

TEST(HostileFiles, CompressedFramesInflateWithinTheLimitWhateverTheyDeclare)
{
    const QByteArray body = textBody("Title");
    const QByteArray zlibBody = qCompress(body).mid(4);
    const QByteArray atLimit = deflated(kMaxInflatedBytes, "ab");
    const QByteArray pastLimit = deflated(kMaxInflatedBytes + 1);
    const struct {
        const char* name;
        int version;
        quint32 declared;
        QByteArray zlibData;
        bool readable;
        qint64 contentSize;
    } cases[] = {
        { "v2.3 as declared", 3, quint32(body.size()), zlibBody, true, body.size() },
        { "v2.3 declaring 1 GB", 3, 1u << 30, zlibBody, true, body.size() },
        { "v2.3 declaring nothing", 3, 0, zlibBody, true, body.size() },
        { "v2.4 with data length", 4, quint32(body.size()), zlibBody, true, body.size() },
        { "v2.4 declaring too little", 4, 1, zlibBody, true, body.size() },
        { "at the limit", 3, 1u << 30, atLimit, true, kMaxInflatedBytes },
        { "one byte past the limit", 3, quint32(kMaxInflatedBytes), pastLimit, false, 0 },
        { "v2.4 one byte past the limit", 4, 1, pastLimit, false, 0 },
        { "cut off", 3, quint32(body.size()), zlibBody.left(zlibBody.size() - 3), false, 0 },
        { "not zlib", 3, 32, QByteArray("notzlib!"), false, 0 },
    };
    for (const auto& c : cases) {
        const QByteArray compressed = compressedFrame(c.version, "TIT2", c.declared, c.zlibData);
        const QByteArray plain = frame(c.version, "TPE1", textBody("Artist"));
        StoredTag t;
        ASSERT_TRUE(readStoredTag(tag(c.version, { compressed, plain }), &t)) << c.name;
        ASSERT_EQ(t.frames.size(), 2) << c.name;
        EXPECT_TRUE(t.damage.isEmpty()) << c.name;
        const StoredFrame& f = t.frames[0];
        EXPECT_EQ(f.readable, c.readable) << c.name;
        EXPECT_EQ(f.content.size(), c.contentSize) << c.name;
        if (c.contentSize == body.size()) {
            EXPECT_EQ(f.content, body) << c.name;
        }
        // Readable or not, the frame is kept as it was stored.
        EXPECT_EQ(f.bytes, compressed) << c.name;
        EXPECT_EQ(t.frames[1].content, textBody("Artist")) << c.name;
    }
}

// The process's peak resident memory in KiB, after resetting it to the
// current use when reset is set; -1 when the system does not tell.
qint64 peakMemory(bool reset)
{
    if (reset) {
        const int fd = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
        const bool done = fd >= 0 && ::write(fd, "5", 1) == 1;
        if (fd >= 0)
            ::close(fd);
        if (!done)
            return -1;
    }
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

TEST(HostileFiles, AFrameInflatingFarPastTheLimitIsReadInBoundedMemory)
{
    // 128 MiB of zeros in about 128 KB, declaring 1 GB: a reader that trusts
    // the declaration or inflates without a bound takes 128 MiB at least.
    const QByteArray bomb = compressedFrame(3, "TIT2", 1u << 30, deflated(qint64(128) << 20));
    const QByteArray bytes = tag(3, { bomb, frame(3, "TPE1", textBody("Artist")) });
    const auto result = runInChild(
        [&bytes]() {
            const qint64 before = peakMemory(true);
            StoredTag t;
            const bool read = readStoredTag(bytes, &t);
            const qint64 grown = peakMemory(false) - before;
            const bool unreadable = read && t.frames.size() == 2 && !t.frames[0].readable;
            // The measure itself: 64 MiB touched show as 64 MiB.
            const qint64 base = peakMemory(true);
            QByteArray touched(64 << 20, '\1');
            const qint64 seen = peakMemory(false) - base + (touched.at(12345) == '\1' ? 0 : 1);
            return QByteArray::number(before >= 0 ? 1 : 0) + ' ' + QByteArray::number(unreadable ? 1 : 0) + ' '
                + QByteArray::number(grown) + ' ' + QByteArray::number(seen);
        },
        false);
    ASSERT_TRUE(result.has_value());
    const QList<QByteArray> parts = result->split(' ');
    ASSERT_EQ(parts.size(), 4);
    ASSERT_EQ(parts[0], "1") << "the system does not report peak memory";
    EXPECT_GE(parts[3].toLongLong(), 60 * 1024) << "the measure misses memory in use";
    EXPECT_EQ(parts[1], "1") << "the frame is reported unreadable";
    EXPECT_LT(parts[2].toLongLong(), 48 * 1024) << "peak memory grew by " << parts[2].toStdString() << " KiB";
}

TEST(HostileFiles, ATagDeclaringHundredsOfMegabytesIsLeftAloneInBoundedMemory)
{
    // A header declaring the largest size the standard allows (256 MB) in
    // a 300 MB file, the room a hole: reading the tag whole would take
    // 256 MB and a save several times that.
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.mp3");
    QByteArray start = tag(4, { frame(4, "TIT2", textBody("Title")) });
    start[6] = start[7] = start[8] = start[9] = char(0x7F);
    const qint64 fileSize = qint64(300) << 20;
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_EQ(out.write(start), start.size());
        ASSERT_TRUE(out.resize(fileSize));
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.read(1 << 16);
    f.close();
    const auto result = runInChild(
        [&path]() {
            const qint64 base = peakMemory(true);
            ID3V2Tag t;
            const FileError loaded = t.setFileName(path);
            t.setTitle(QStringLiteral("New"));
            const bool saved = t.update();
            const bool stripped = t.stripTags(TagKind::ID3v2);
            const qint64 grown = peakMemory(false) - base;
            const bool refused = !loaded.ok() && loaded.description.contains(QLatin1String("larger than")) && !saved
                && !stripped && t.lastError() == loaded.description;
            return QByteArray::number(base >= 0 ? 1 : 0) + ' ' + QByteArray::number(refused ? 1 : 0) + ' '
                + QByteArray::number(grown);
        },
        false);
    ASSERT_TRUE(result.has_value());
    const QList<QByteArray> parts = result->split(' ');
    ASSERT_EQ(parts.size(), 3);
    ASSERT_EQ(parts[0], "1") << "the system does not report peak memory";
    EXPECT_EQ(parts[1], "1") << "the load, the save and the strip each say why they leave the tag alone";
    EXPECT_LT(parts[2].toLongLong(), 100 * 1024) << "peak memory grew by " << parts[2].toStdString() << " KiB";
    EXPECT_EQ(QFileInfo(path).size(), fileSize);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(1 << 16), before);
}

// Runs what in another thread and waits at most a few seconds; on a hang
// it opens the pipe for writing once, so that what ends and the test
// fails instead of waiting for ever.
bool endsInTime(const QString& fifo, const std::function<void()>& what)
{
    auto done = std::async(std::launch::async, what);
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
        return true;
    for (int i = 0; i < 100 && done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready; ++i) {
        const int w = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (w >= 0)
            ::close(w);
    }
    return false;
}

TEST(HostileFiles, ANamedPipeIsRefusedAtOnceByEveryOneThatOpensFiles)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("x.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const int notRegular = fileErrorFromErrno(EISDIR).number;
    const struct {
        const char* name;
        std::function<bool()> refused;
    } cases[] = {
        { "opened tag file",
            [&] {
                OpenedTagFile file;
                errno = 0;
                return !file.open(fifo) && errno == EISDIR;
            } },
        { "audio facts",
            [&] {
                MpegAudioFacts facts;
                return !readHeader(facts, fifo) && facts.headerPosition == -2;
            } },
        { "snapshot",
            [&] {
                TagSnapshot s;
                FileError err;
                return !readTagSnapshot(fifo, &s, &err) && err.number == notRegular;
            } },
        { "range write",
            [&] {
                FileError err;
                return !replaceFileRange(fifo, 0, 0, "x", &err) && err.number == notRegular;
            } },
        { "tag load",
            [&] {
                ID3V2Tag t;
                return !t.setFileName(fifo).ok() && t.title().isEmpty() && !t.hasTagType(TagKind::ID3v2);
            } },
        { "trailer read", [&] { return !ID3V1Tag().readFromFile(fifo); } },
        { "trailer write",
            [&] {
                ID3V1Tag v1;
                v1.setTitle(QStringLiteral("x"));
                return !v1.writeToFile(fifo) && v1.lastWriteError().number == notRegular;
            } },
        { "tag save",
            [&] {
                ID3V2Tag t;
                t.setFileName(fifo);
                t.setTitle(QStringLiteral("x"));
                return !t.update();
            } },
        { "unasked write", [&] { return !mayChangeUnasked(fifo); } },
        { "leftover copies", [&] { return removeLeftoverCopies({ fifo }).isEmpty(); } },
    };
    for (const auto& c : cases) {
        bool refused = false;
        EXPECT_TRUE(endsInTime(fifo, [&] { refused = c.refused(); })) << c.name << " waited on the pipe";
        EXPECT_TRUE(refused) << c.name;
    }
}

// count frames of one MPEG stream, the header repeated and a body without
// 0xFF bytes (no false sync inside a frame).
QByteArray mpegFrames(const char* header4, int length, int count)
{
    QByteArray frame(header4, 4);
    for (int i = 4; i < length; ++i)
        frame += char((i * 7 + 3) & 0x7F);
    return frame.repeated(count);
}

TEST(HostileFiles, ATagWhoseSizeRunsIntoAudioOfAnyMpegVersionIsNeverRewritten)
{
    const struct {
        const char* name;
        QByteArray audio;
    } streams[] = {
        { "mpeg1", mpegFrames("\xFF\xFB\x90\x64", 417, 12) },
        { "mpeg1-crc", mpegFrames("\xFF\xFA\x90\x64", 417, 12) },
        { "mpeg1-layer2-crc", mpegFrames("\xFF\xFC\x94\x04", 480, 12) },
        { "mpeg2", mpegFrames("\xFF\xF3\x80\x64", 208, 24) },
        { "mpeg2-crc", mpegFrames("\xFF\xF2\x80\x64", 208, 24) },
        { "mpeg25", mpegFrames("\xFF\xE3\x40\xC4", 208, 24) },
        { "mpeg25-crc", mpegFrames("\xFF\xE2\x48\xC4", 288, 20) },
    };
    const QByteArray title = frame(3, "TIT2", textBody("Title"));
    const QByteArray swallow = FrameBytes::sizedFrame("TIT2", 901, QByteArray(1, '\0'));
    QTemporaryDir dir;
    for (const auto& s : streams) {
        const struct {
            const char* name;
            QByteArray bytes;
        } shapes[] = {
            // The declared room ends one byte into the audio: only its sync shows it.
            { "room-one-byte-in", header(3, quint32(title.size() + 51)) + title + QByteArray(50, '\0') + s.audio },
            { "room-far-in", header(3, quint32(title.size() + 1000)) + title + s.audio },
            // The last frame's size takes in the start of the audio: only the chain of frames shows it.
            { "frame-swallows", header(3, quint32(title.size() + swallow.size() + 900)) + title + swallow + s.audio },
        };
        for (const auto& shape : shapes) {
            const QString what = QString::fromLatin1(s.name) + QLatin1Char('-') + QLatin1String(shape.name);
            const QString path = F::write(dir, what + QStringLiteral(".mp3"), shape.bytes);
            {
                ID3V2Tag t;
                t.setFileName(path);
                t.setTitle(QStringLiteral("A longer title than before"));
                EXPECT_FALSE(t.update()) << what.toStdString();
            }
            EXPECT_EQ(F::read(path), shape.bytes) << what.toStdString() << ": save";
            {
                ID3V2Tag t;
                t.setFileName(path);
                EXPECT_FALSE(t.stripTags(TagKind::ID3v2)) << what.toStdString();
            }
            EXPECT_EQ(F::read(path), shape.bytes) << what.toStdString() << ": strip";
        }
        // A tag that ends where the audio starts is rewritten and removed.
        const QString path = F::write(
            dir, QString::fromLatin1(s.name) + QStringLiteral("-sound.mp3"), tag(3, { title }, 40) + s.audio);
        {
            ID3V2Tag t;
            t.setFileName(path);
            t.setTitle(QStringLiteral("A longer title than the room there is"));
            EXPECT_TRUE(t.update()) << s.name;
        }
        EXPECT_TRUE(F::audioIntact(path, s.audio)) << s.name;
        {
            ID3V2Tag t;
            t.setFileName(path);
            EXPECT_TRUE(t.stripTags(TagKind::ID3v2)) << s.name;
        }
        EXPECT_EQ(F::read(path), s.audio) << s.name;
    }
}

// A tag holding an MPEG stream of its own (a recording kept in a private
// frame) is checked for audio it swallows in time proportional to its size,
// with the same verdicts: a chain that runs on into audio of its own kind
// past the tag's end is refused, any other is saved.
TEST(HostileFiles, AnMpegStreamInsideATagIsCheckedInTimeProportionalToIt)
{
    constexpr int kFrames = 8000; // about 3.3 MB
    const QByteArray stream = mpegFrames("\xFF\xFB\x90\x64", 417, kFrames);
    const QByteArray audio = mpegFrames("\xFF\xFB\x90\x64", 417, 12);
    const QByteArray otherAudio = mpegFrames("\xFF\xF3\x80\x64", 208, 24);
    const QByteArray priv = frame(3, "PRIV", QByteArray("recording", 10) + stream);
    const QByteArray title = frame(3, "TIT2", textBody("Title"));
    const struct {
        const char* name;
        QByteArray bytes;
        QByteArray audio;
        bool saved;
    } cases[] = {
        { "stream_then_a_frame", tag(3, { priv, title }, 100) + audio, audio, true },
        { "stream_then_padding", tag(3, { title, priv }, 100) + audio, audio, true },
        { "stream_runs_on_into_its_own_kind", tag(3, { title, priv }) + audio, audio, false },
        { "stream_ends_at_other_audio", tag(3, { title, priv }) + otherAudio, otherAudio, true },
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = F::write(dir, QString::fromLatin1(c.name) + ".mp3", c.bytes);
        const qint64 stepsBefore = overlapCheckSteps();
        {
            ID3V2Tag t;
            t.setFileName(path);
            t.setTitle(QStringLiteral("A new title"));
            EXPECT_EQ(t.update(), c.saved) << t.lastError().toStdString();
        }
        // A walk from every frame of the stream to its end would take some
        // kFrames * kFrames / 2 steps.
        EXPECT_LE(overlapCheckSteps() - stepsBefore, 4 * kFrames);
        if (!c.saved) {
            EXPECT_EQ(F::read(path), c.bytes);
            continue;
        }
        // The tag's stream holds the audio's frames too: the audio must be the end.
        const QByteArray after = F::read(path);
        EXPECT_TRUE(after.endsWith(c.audio));
        TagLib::MPEG::File f(QFile::encodeName(path).constData(), false);
        ASSERT_TRUE(f.hasID3v2Tag());
        EXPECT_EQ(f.ID3v2Tag()->title().to8Bit(true), "A new title");
        EXPECT_EQ(qint64(f.ID3v2Tag()->header()->completeTagSize()) + c.audio.size(), after.size());
        EXPECT_EQ(f.ID3v2Tag()->frameList("PRIV").size(), 1u);
    }
}

TEST(HostileFiles, TheBytesFrameFlagsPutBeforeTheDataAreSkipped)
{
    const QByteArray body = textBody("Title");
    const struct {
        const char* name;
        int version;
        quint16 flags;
        QByteArray data; // as stored after the frame header
        QByteArray content;
    } cases[] = {
        { "v2.4 group and compression", 4, 0x0049, "\x07" + syncsafe(quint32(body.size())) + qCompress(body).mid(4),
            body },
        { "v2.3 group", 3, 0x0020, "\x07" + body, body },
        { "v2.3 compression and group", 3, 0x00A0, bigEndian32(quint32(body.size())) + "\x07" + qCompress(body).mid(4),
            body },
        { "v2.3 status flags only", 3, 0xE000, body, body },
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const QByteArray stored = tag(c.version, { frame(c.version, "TIT2", c.data, c.flags) });
        StoredTag t;
        ASSERT_TRUE(readStoredTag(stored, &t)) << c.name;
        ASSERT_EQ(t.frames.size(), 1) << c.name;
        EXPECT_TRUE(t.frames[0].readable) << c.name;
        EXPECT_EQ(t.frames[0].content, c.content) << c.name;
        // And through a load of the file.
        ID3V2Tag loaded;
        loaded.setFileName(F::write(dir, QString::fromLatin1(c.name) + QStringLiteral(".mp3"), stored + F::audio(4)));
        EXPECT_EQ(loaded.title().toLatin1(), c.content.mid(1)) << c.name;
    }
}

} // namespace
