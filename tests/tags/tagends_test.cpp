// The rules that find the tags at the two ends of a file: the ID3v2 header
// at the start, the ID3v1 trailer and the end-of-file scanner.
#include "tags/id3v1trailer.h"
#include "tags/id3v2header.h"
#include "tags/tagscan.h"
#include "tags/tagtypes.h"

#include "support/tagfiles.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <tuple>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

QByteArray bytes(const char* text, int count)
{
    return QByteArray(text, count);
}

TEST(Id3v2Header, ReadsVersionFlagsSizeAndFooter)
{
    const struct {
        const char* name;
        QByteArray head;
        bool present;
        bool valid;
        int version;
        int revision;
        int flags;
        qint64 bodySize;
        bool footer;
        qint64 completeSize;
    } cases[] = {
        { "v2.3", bytes("ID3\x03\x00\x00\x00\x00\x02\x01", 10), true, true, 3, 0, 0, 257, false, 267 },
        { "v2.2", bytes("ID3\x02\x00\x00\x00\x00\x00\x7F", 10), true, true, 2, 0, 0, 127, false, 137 },
        { "v2.4 revision 1", bytes("ID3\x04\x01\x00\x00\x00\x01\x00", 10), true, true, 4, 1, 0, 128, false, 138 },
        { "v2.4 footer", bytes("ID3\x04\x00\x10\x00\x00\x00\x0A", 10), true, true, 4, 0, 0x10, 10, true, 30 },
        // Only version 2.4 has a footer: the bit means nothing in 2.3.
        { "v2.3 footer bit", bytes("ID3\x03\x00\x10\x00\x00\x00\x0A", 10), true, true, 3, 0, 0x10, 10, false, 20 },
        { "v2.3 all flags", bytes("ID3\x03\x00\xE0\x00\x00\x00\x00", 10), true, true, 3, 0, 0xE0, 0, false, 10 },
        { "largest size", bytes("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10), true, true, 3, 0, 0, kMaxSyncsafe, false,
            kMaxSyncsafe + 10 },
        { "more bytes follow", bytes("ID3\x03\x00\x00\x00\x00\x00\x05TIT2", 14), true, true, 3, 0, 0, 5, false, 15 },
        { "version 5", bytes("ID3\x05\x00\x00\x00\x00\x00\x05", 10), true, false, 5, 0, 0, 0, false, 0 },
        { "version 1", bytes("ID3\x01\x00\x00\x00\x00\x00\x05", 10), true, false, 1, 0, 0, 0, false, 0 },
        { "revision FF", bytes("ID3\x03\xFF\x00\x00\x00\x00\x05", 10), true, false, 3, 255, 0, 0, false, 0 },
        { "size top bit 6", bytes("ID3\x03\x00\x00\x80\x00\x00\x05", 10), true, false, 3, 0, 0, 0, false, 0 },
        { "size top bit 9", bytes("ID3\x03\x00\x00\x00\x00\x00\x85", 10), true, false, 3, 0, 0, 0, false, 0 },
        { "nine bytes", bytes("ID3\x03\x00\x00\x00\x00\x00", 9), false, false, 0, 0, 0, 0, false, 0 },
        { "other signature", bytes("ID2\x03\x00\x00\x00\x00\x00\x05", 10), false, false, 0, 0, 0, 0, false, 0 },
        { "footer signature", bytes("3DI\x04\x00\x10\x00\x00\x00\x05", 10), false, false, 0, 0, 0, 0, false, 0 },
        { "empty", QByteArray(), false, false, 0, 0, 0, 0, false, 0 },
    };
    for (const auto& c : cases) {
        const Id3v2Header h = readId3v2Header(c.head);
        EXPECT_EQ(std::tuple(h.present, h.valid, h.version, h.revision, h.flags),
            std::tuple(c.present, c.valid, c.version, c.revision, c.flags))
            << c.name;
        EXPECT_EQ(std::tuple(h.bodySize, h.footer, h.completeSize), std::tuple(c.bodySize, c.footer, c.completeSize))
            << c.name;
    }
}

TEST(Id3v2Header, SyncsafeNumbersUseSevenBitsABytes)
{
    const struct {
        quint32 value;
        QByteArray stored;
    } cases[] = {
        { 0, bytes("\x00\x00\x00\x00", 4) },
        { 127, bytes("\x00\x00\x00\x7F", 4) },
        { 128, bytes("\x00\x00\x01\x00", 4) },
        { 257, bytes("\x00\x00\x02\x01", 4) },
        { 0x0FFFFFFF, bytes("\x7F\x7F\x7F\x7F", 4) },
        { 0x00204081, bytes("\x01\x01\x01\x01", 4) },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(syncsafeBytes(c.value), c.stored) << c.value;
        EXPECT_EQ(syncsafe32(reinterpret_cast<const unsigned char*>(c.stored.constData())), c.value) << c.value;
    }
}

TEST(Id3v1Trailer, IsTheLast128BytesOfALongerFileStartingWithTag)
{
    const QByteArray trailer = id3v1("t", "a", "b", "2000", "c", 1, 2);
    const QByteArray before = QByteArray(72, 'x');
    const struct {
        const char* name;
        qint64 fileSize;
        QByteArray lastBytes;
        bool expected;
    } cases[] = {
        { "audio and trailer", 500, trailer, true },
        { "one byte before it", 129, trailer, true },
        { "more bytes given", 500, before + trailer, true },
        { "nothing but a trailer", 128, trailer, false },
        { "TAG further back", 500, trailer + before, false },
        { "lower case", 500, QByteArray("tag") + trailer.mid(3), false },
        { "TA only", 500, QByteArray("TA!") + trailer.mid(3), false },
        { "fewer than 128 bytes", 500, trailer.left(127), false },
        { "short file", 100, trailer.left(100), false },
        { "empty", 0, QByteArray(), false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(hasId3v1Trailer(c.fileSize, c.lastBytes), c.expected) << c.name;
}

// An APE tag holding `items`, with a 32-byte footer and optionally a header.
QByteArray apeTag(const QByteArray& items, bool withHeader)
{
    auto le32 = [](quint32 v) { return bigEndian32(qbswap(v)); };
    const quint32 hasHeader = withHeader ? 0x80000000u : 0;
    const QByteArray common = "APETAGEX" + le32(2000) + le32(quint32(items.size() + 32)) + le32(1);
    const QByteArray header = common + le32(hasHeader | 0x20000000u) + QByteArray(8, '\0');
    const QByteArray footer = common + le32(hasHeader) + QByteArray(8, '\0');
    return (withHeader ? header : QByteArray()) + items + footer;
}

enum class Kind { Id3v1, Ape, Lyrics3, Lyrics3v2, MusicMatch };

struct Block {
    Kind kind;
    QByteArray bytes;
};

TEST(TrailerScan, FindsEveryKindInAnyOrder)
{
    const QByteArray audio = F::audio(20);
    const Block v1 { Kind::Id3v1, id3v1("t", "a", "b", "2000", "c", 1, 2) };
    const Block apeH { Kind::Ape, apeTag(QByteArray(40, '\x33'), true) };
    const Block ape { Kind::Ape, apeTag(QByteArray(40, '\x33'), false) };
    const Block ly1 { Kind::Lyrics3, lyrics3v1("some words") };
    const Block ly2 { Kind::Lyrics3v2, lyrics3v2("IND00003000") };
    const Block mmH { Kind::MusicMatch, musicMatch(true) };
    const Block mm { Kind::MusicMatch, musicMatch(false) };
    const struct {
        const char* name;
        QList<Block> blocks; // in file order, after the audio
    } cases[] = {
        { "none", {} },
        { "id3v1", { v1 } },
        { "ape with header", { apeH } },
        { "ape without header", { ape } },
        { "lyrics3", { ly1 } },
        { "lyrics3v2", { ly2 } },
        { "musicmatch with header", { mmH } },
        { "musicmatch without header", { mm } },
        { "ape id3v1", { apeH, v1 } },
        { "id3v1 ape", { v1, ape } },
        { "lyrics3v2 id3v1", { ly2, v1 } },
        { "lyrics3 id3v1", { ly1, v1 } },
        { "musicmatch id3v1", { mm, v1 } },
        { "musicmatch lyrics3v2 id3v1", { mmH, ly2, v1 } },
        { "lyrics3v2 musicmatch id3v1", { ly2, mm, v1 } },
        { "ape lyrics3v2 id3v1", { apeH, ly2, v1 } },
        { "lyrics3v2 ape id3v1", { ly2, ape, v1 } },
        { "musicmatch ape lyrics3 id3v1", { mm, apeH, ly1, v1 } },
        { "id3v1 lyrics3v2 ape", { v1, ly2, apeH } },
    };
    for (const auto& c : cases) {
        QByteArray file = audio;
        TrailerScan expected;
        for (const Block& b : c.blocks) {
            const ByteRange r { file.size(), file.size() + b.bytes.size() };
            switch (b.kind) {
            case Kind::Id3v1:
                expected.id3v1 = r;
                expected.flags |= TagType::ID3v1;
                break;
            case Kind::Ape:
                expected.ape = r;
                break;
            case Kind::Lyrics3:
                expected.lyrics3 = r;
                expected.flags |= TagType::Lyrics3;
                break;
            case Kind::Lyrics3v2:
                expected.lyrics3 = r;
                expected.flags |= TagType::Lyrics3v2;
                break;
            case Kind::MusicMatch:
                expected.musicMatch = r;
                expected.flags |= TagType::MusicMatch;
                break;
            }
            file += b.bytes;
        }
        // Once with the whole file at hand, once with only its last bytes
        // and the rest read on demand.
        const QByteArray tail = file.right(kTailScanBytes);
        const ByteReader read = [&](qint64 offset, int count, unsigned char* out) {
            if (offset < 0 || offset + count > file.size())
                return false;
            std::memcpy(out, file.constData() + offset, size_t(count));
            return true;
        };
        for (const QByteArray& given : { file, tail }) {
            const TrailerScan s = scanTrailers(file.size(), given, read);
            const auto ranges = [](const TrailerScan& t) {
                return std::tuple(t.id3v1.start, t.id3v1.end, t.ape.start, t.ape.end, t.lyrics3.start, t.lyrics3.end,
                    t.musicMatch.start, t.musicMatch.end);
            };
            EXPECT_EQ(s.flags, expected.flags) << c.name;
            EXPECT_EQ(ranges(s), ranges(expected)) << c.name << " given " << given.size();
            EXPECT_EQ(s.start, qint64(audio.size())) << c.name << " given " << given.size();
        }
    }
}

TEST(TrailerScan, DamagedBlocksAreDetectedButNeverSizedAndStopThePeeling)
{
    const QByteArray audio = F::audio(20);
    const QByteArray v1 = id3v1("t", "a", "b", "2000", "c", 1, 2);
    QByteArray mmBadOffsets = musicMatch(false);
    // A picture larger than the file.
    mmBadOffsets.replace(
        mmBadOffsets.size() - 48 - 20, 20, QByteArray(12, '\0') + bytes("\0\0\0\x7F", 4) + QByteArray(4, '\0'));
    QByteArray apeSmall = apeTag(QByteArray(40, '\x33'), false);
    apeSmall.replace(apeSmall.size() - 32 + 12, 4, QByteArray("\x10\x00\x00\x00", 4)); // 16: below its own footer
    QByteArray apeHuge = apeTag(QByteArray(40, '\x33'), true);
    apeHuge.replace(apeHuge.size() - 32 + 12, 4, QByteArray("\x00\x00\x00\x70", 4));
    const struct {
        const char* name;
        QByteArray trailing; // after the audio
        int flags;
        qint64 start; // from the end of the audio
        bool id3v1;
    } cases[] = {
        { "lyrics3v2 size not digits", QByteArray("LYRICSBEGINxx12x4b6LYRICS200") + v1,
            TagType::ID3v1 | TagType::Lyrics3v2, 28, true },
        { "lyrics3v2 size past start", QByteArray("LYRICSBEGIN999999LYRICS200") + v1,
            TagType::ID3v1 | TagType::Lyrics3v2, 26, true },
        { "lyrics3v2 size short by one", QByteArray("LYRICSBEGININD00003000000021LYRICS200"), TagType::Lyrics3v2, 37,
            false },
        { "lyrics3 begin missing", QByteArray("some lyrics LYRICSEND") + v1, TagType::ID3v1 | TagType::Lyrics3, 21,
            true },
        { "musicmatch absurd offsets", mmBadOffsets + v1, TagType::ID3v1 | TagType::MusicMatch, mmBadOffsets.size(),
            true },
        { "musicmatch cut short", musicMatch(false).mid(4000), TagType::MusicMatch, musicMatch(false).size() - 4000,
            false },
        { "ape size below its footer", apeSmall + v1, TagType::ID3v1, apeSmall.size(), true },
        { "ape larger than the file", apeHuge, 0, apeHuge.size(), false },
        { "tag without the rest", QByteArray("TAG"), 0, 3, false },
        { "random bytes", QByteArray(300, '\x5A'), 0, 300, false },
    };
    for (const auto& c : cases) {
        const QByteArray file = audio + c.trailing;
        const TrailerScan s = scanTrailers(file.size(), file, {});
        EXPECT_EQ(s.flags, c.flags) << c.name;
        EXPECT_EQ(s.start, audio.size() + c.start) << c.name;
        EXPECT_EQ(s.id3v1.found(), c.id3v1) << c.name;
        EXPECT_FALSE(s.lyrics3.found() || s.musicMatch.found() || s.ape.found()) << c.name;
    }
}

TEST(TrailerScan, NothingStartsBelowTheFloorNorAtAFileOfOnlyATrailer)
{
    const QByteArray v1 = id3v1("t", "a", "b", "2000", "c", 1, 2);
    const QByteArray ape = apeTag(QByteArray(40, '\x33'), true);
    const QByteArray audio = F::audio(3);
    const struct {
        const char* name;
        QByteArray file;
        qint64 floor;
        qint64 start;
        int flags;
    } cases[] = {
        { "only a trailer", v1, 0, 128, 0 },
        { "one byte and a trailer", "x" + v1, 0, 1, TagType::ID3v1 },
        { "ape above the floor", audio + ape + v1, audio.size(), audio.size(), TagType::ID3v1 },
        { "ape below the floor", audio + ape + v1, audio.size() + 1, audio.size() + ape.size(), TagType::ID3v1 },
        { "trailer below the floor", audio + v1, audio.size() + 1, audio.size() + 128, 0 },
        { "lyrics3 reaching below the floor", audio + lyrics3v1("words") + v1, audio.size() + 2,
            audio.size() + lyrics3v1("words").size(), TagType::ID3v1 | TagType::Lyrics3 },
    };
    for (const auto& c : cases) {
        const TrailerScan s = scanTrailers(c.file.size(), c.file, {}, c.floor);
        EXPECT_EQ(std::tuple(s.start, s.flags), std::tuple(c.start, c.flags)) << c.name;
    }
}

} // namespace
