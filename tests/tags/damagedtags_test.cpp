// Damaged and hostile tags: loading never crashes or hangs, and a save or a
// strip either succeeds with the audio byte-identical or is refused with
// the file unchanged.
#include "tags/id3v2tag.h"

#include "tagtestfiles.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <functional>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

const QByteArray& audio()
{
    static const QByteArray a = F::audio(12);
    return a;
}

QByteArray randomBytes(int count, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray out(count, '\0');
    for (char& c : out)
        c = char(rng.bounded(256));
    return out;
}

QByteArray v3(const QList<QByteArray>& frames, int padding = 0, quint8 flags = 0)
{
    return tag(3, frames, padding, flags);
}

QByteArray title()
{
    return frame(3, "TIT2", textBody("Title"));
}
QByteArray artist()
{
    return frame(3, "TPE1", textBody("Artist"));
}

QByteArray withSize(QByteArray t, const QByteArray& size4)
{
    t.replace(6, 4, size4);
    return t;
}

// A v2.3 frame with a forged size field.
QByteArray forgedFrame(const QByteArray& id, quint32 size, const QByteArray& body, quint16 flags = 0)
{
    QByteArray f = id + bigEndian32(size);
    f += char(flags >> 8);
    f += char(flags & 0xFF);
    return f + body;
}

struct Fixture {
    const char* name;
    std::function<QByteArray()> bytes; // the whole file, audio() included
};

const QByteArray v1Trailer = id3v1("t", "a", "b", "2000", "c", 1, 2);

const std::vector<Fixture>& fixtures()
{
    static const std::vector<Fixture> all = {
        { "truncated_header_5_bytes", [] { return QByteArray("ID3\x03\x00", 5); } },
        { "truncated_header_9_bytes", [] { return QByteArray("ID3\x03\x00\x00\x00\x00\x10", 9); } },
        { "header_only_claiming_frames", [] { return header(3, 500); } },
        { "header_claiming_frames_then_audio", [] { return header(3, 60) + audio(); } },
        { "tag_size_zero_before_frames", [] { return header(3, 0) + title() + artist() + audio(); } },
        { "tag_size_7F7F7F7F",
            [] {
                return withSize(v3({ title(), artist() }), "\x7F\x7F\x7F\x7F") + audio();
            } },
        { "tag_size_past_end_by_one",
            [] {
                const QByteArray body = title() + artist();
                return header(3, quint32(body.size() + audio().size() + 1)) + body + audio();
            } },
        { "tag_size_overlaps_audio",
            [] {
                const QByteArray body = title() + artist();
                return header(3, quint32(body.size() + 1000)) + body + audio();
            } },
        { "tag_size_with_high_bits_set", [] { return withSize(v3({ title() }), "\x80\x80\x80\x80") + audio(); } },
        { "tag_size_past_end_with_trailer",
            [] { return header(3, quint32(audio().size() + 60)) + title() + audio() + v1Trailer; } },
        { "frame_size_zero",
            [] {
                return v3({ forgedFrame("TIT2", 0, ""), artist() }, 20) + audio();
            } },
        { "frame_size_ffffffff",
            [] {
                return v3({ forgedFrame("TIT2", 0xFFFFFFFF, "\0Title"), artist() }) + audio();
            } },
        { "frame_size_past_tag",
            [] {
                return v3({ artist(), forgedFrame("TIT2", 5000, "\0Title") }) + audio();
            } },
        { "frame_size_not_syncsafe_v24",
            [] {
                QByteArray f
                    = "TIT2" + QByteArray("\x00\x00\x00\xFF", 4) + QByteArray(2, '\0') + textBody("Title", Enc::Utf8);
                return tag(4, { f, frame(4, "TPE1", textBody("Artist", Enc::Utf8)) }) + audio();
            } },
        { "compressed_frame_absurd_size",
            [] {
                return v3({ forgedFrame("TIT2", 12, QByteArray("\x7F\xFF\xFF\xFF", 4) + "xxxxxxxx", 0x0080), artist() })
                    + audio();
            } },
        { "compressed_frame_bad_zlib",
            [] {
                return v3({ forgedFrame("TIT2", 12, QByteArray("\x00\x00\x00\x20", 4) + "notzlib!", 0x0080), artist() })
                    + audio();
            } },
        { "data_length_indicator_absurd_v24",
            [] {
                const QByteArray body = QByteArray("\x7F\x7F\x7F\x7F", 4) + textBody("Title", Enc::Utf8);
                return tag(4, { frame(4, "TIT2", body, 0x0001), frame(4, "TPE1", textBody("Artist", Enc::Utf8)) })
                    + audio();
            } },
        { "encrypted_frame",
            [] {
                return v3({ forgedFrame("TIT2", 8, "\x01secret", 0x0040), artist() }) + audio();
            } },
        { "bad_text_encoding",
            [] {
                return v3({ frame(3, "TIT2", QByteArray("\x07Title", 6)), artist() }) + audio();
            } },
        { "utf16_odd_length_text",
            [] {
                return v3({ frame(3, "TIT2", QByteArray("\x01\xFF\xFET\x00i", 6)), artist() }) + audio();
            } },
        { "utf16_without_bom",
            [] {
                return v3({ frame(3, "TIT2", QByteArray("\x01T\x00i\x00", 5)), artist() }) + audio();
            } },
        { "text_frame_without_text",
            [] {
                return v3({ frame(3, "TIT2", QByteArray(1, '\0')), artist() }) + audio();
            } },
        { "random_bytes_in_tag", [] { return header(3, 400) + randomBytes(400, 7) + audio(); } },
        { "random_bytes_after_valid_frames",
            [] { return header(3, 300) + title() + artist() + randomBytes(300 - 37, 11) + audio(); } },
        { "random_frames_with_valid_ids",
            [] {
                QByteArray body;
                for (int i = 0; i < 8; ++i)
                    body += forgedFrame("TXXX", quint32(i * 3), randomBytes(i * 3, quint32(100 + i)));
                return header(3, quint32(body.size())) + body + audio();
            } },
        { "extended_header_claiming_too_much",
            [] {
                return v3({ QByteArray("\x7F\xFF\xFF\xFF\x00\x00\x00\x00\x00\x00", 10), title() }, 0, 0x40) + audio();
            } },
        { "extended_header_v24_huge",
            [] {
                return tag(4, { QByteArray("\x7F\x7F\x7F\x7F\x01\x00", 6), frame(4, "TIT2", textBody("T", Enc::Utf8)) },
                           0, 0x40)
                    + audio();
            } },
        { "unsynchronised_tag_with_broken_pairs",
            [] {
                return header(3, 40, 0x80) + QByteArray("TIT2\x00\x00\x00\x10\x00\x00\x00\xFF\xFF\xFF\x00\xFF", 16)
                    + QByteArray(24, '\xFF') + audio();
            } },
        { "version_5_header",
            [] {
                QByteArray t = v3({ title() });
                t[3] = 5;
                return t + audio();
            } },
        { "version_2_2_compressed_flag",
            [] { return tag(2, { frame(2, "TT2", textBody("T")) }, 10, 0x40) + audio(); } },
        { "v22_frame_size_past_end", [] { return tag(2, { QByteArray("TT2\xFF\xFF\xFF\x00T", 8) }) + audio(); } },
        { "frame_id_in_lower_case",
            [] {
                return v3({ frame(3, "tit2", textBody("x")), artist() }) + audio();
            } },
        { "comment_without_language",
            [] {
                return v3({ frame(3, "COMM", QByteArray("\x00", 1)), artist() }) + audio();
            } },
        { "user_text_without_terminator",
            [] {
                return v3({ frame(3, "TXXX", QByteArray("\x00onlydescription", 16)), artist() }) + audio();
            } },
        { "picture_truncated",
            [] {
                return v3({ frame(3, "APIC", QByteArray("\x00image/jp", 9)), artist() }) + audio();
            } },
        { "unique_id_empty",
            [] {
                return v3({ frame(3, "UFID", QByteArray()), artist() }) + audio();
            } },
        { "footer_flag_without_footer_v24",
            [] { return tag(4, { frame(4, "TIT2", textBody("T", Enc::Utf8)) }, 0, 0x10) + audio(); } },
        { "two_tags_in_a_row", [] { return v3({ title() }) + v3({ artist() }) + audio(); } },
        { "lyrics3v2_with_bad_size_digits",
            [] { return v3({ title() }) + audio() + QByteArray("LYRICSBEGINxx12x4b6LYRICS200") + v1Trailer; } },
        { "lyrics3v2_size_larger_than_file",
            [] { return audio() + QByteArray("LYRICSBEGIN999999LYRICS200") + v1Trailer; } },
        { "lyrics3_begin_missing", [] { return audio() + QByteArray("some lyrics LYRICSEND") + v1Trailer; } },
        { "musicmatch_footer_with_absurd_offsets",
            [] {
                QByteArray mm = musicMatch(false);
                mm.replace(mm.size() - 48 - 20, 20, randomBytes(20, 5));
                return audio() + mm + v1Trailer;
            } },
        { "trailer_of_random_bytes", [] { return v3({ title() }) + audio() + "TAG" + randomBytes(125, 3); } },
        { "tag_after_leading_junk",
            [] {
                return QByteArray("JUNKJUNK") + v3({ title(), artist() }) + audio();
            } },
        { "unsynchronised_frame_flag_v24",
            [] { return tag(4, { frame(4, "TIT2", QByteArray("\x03T\xFF\x00itle", 8), 0x0002) }) + audio(); } },
        { "utf8_text_in_a_v23_tag",
            [] {
                return v3({ frame(3, "TIT2", textBody(QString::fromUtf8("Grüße"), Enc::Utf8)), artist() }) + audio();
            } },
        { "padding_then_garbage",
            [] {
                return header(3, 200) + title() + QByteArray(50, '\0') + randomBytes(200 - int(title().size()) - 50, 21)
                    + audio();
            } },
        { "last_frame_size_swallows_audio",
            [] {
                const QByteArray head = audio().left(900);
                const QByteArray f = forgedFrame("TIT2", quint32(1 + head.size()), QByteArray(1, '\0'));
                return header(3, quint32(title().size() + f.size() + head.size())) + title() + f + audio();
            } },
        { "tag_size_overlaps_audio_by_one_byte",
            [] { return header(3, quint32(title().size() + 51)) + title() + QByteArray(50, '\0') + audio(); } },
        { "empty_file", [] { return QByteArray(); } },
        { "only_a_trailer", [] { return v1Trailer; } },
    };
    return all;
}

class DamagedTag : public ::testing::TestWithParam<size_t> {
protected:
    QTemporaryDir dir;
    const Fixture& fixture() const { return fixtures().at(GetParam()); }
    QString fresh() { return F::write(dir, QString::fromLatin1(fixture().name) + ".mp3", fixture().bytes()); }
};

// What follows the audio in the original file (the trailing tags).
QByteArray afterAudio(const QByteArray& bytes)
{
    const qsizetype at = bytes.indexOf(audio());
    return at < 0 ? QByteArray() : bytes.mid(at + audio().size());
}

void expectSavedOrUntouched(bool saved, const QString& path, const QByteArray& before, const char* what)
{
    const QByteArray after = F::read(path);
    if (!saved) {
        EXPECT_EQ(after, before) << what << ": refused but changed";
    } else if (before.contains(audio())) {
        EXPECT_TRUE(F::audioIntact(path, audio(), afterAudio(before))) << what << ": audio changed";
    }
}

TEST_P(DamagedTag, LoadsWithoutCrashing)
{
    const QString path = fresh();
    ID3V2Tag t;
    t.SetFileName(path);
    EXPECT_EQ(t.FileName(), path);
    // Every property reads without trouble.
    for (int i = 0; i < kFieldCount; ++i)
        (void)t.FieldText(fieldInfo(i).id);
    for (int kind : { TagType::ID3v1, TagType::ID3v2, TagType::Lyrics3, TagType::Lyrics3v2, TagType::MusicMatch })
        (void)t.HasTagType(kind);
    EXPECT_GE(t.FrameCount(), 0);
}

TEST_P(DamagedTag, ASmallSaveSucceedsWithTheAudioIntactOrLeavesTheFileAlone)
{
    const QString path = fresh();
    ID3V2Tag t;
    t.SetFileName(path);
    const QByteArray loaded = F::read(path); // loading may have removed a trailer
    t.SetTitle("New");
    expectSavedOrUntouched(t.Update(), path, loaded, fixture().name);
}

TEST_P(DamagedTag, AGrowingSaveSucceedsWithTheAudioIntactOrLeavesTheFileAlone)
{
    const QString path = fresh();
    ID3V2Tag t;
    t.SetFileName(path);
    const QByteArray loaded = F::read(path);
    t.SetComments(QString(4000, QLatin1Char('g')));
    t.SetArtist(QString::fromUtf8("Künstler ✓"));
    const bool saved = t.Update();
    expectSavedOrUntouched(saved, path, loaded, fixture().name);
    if (saved) {
        ID3V2Tag back;
        back.SetFileName(path);
        EXPECT_EQ(back.Comments().size(), 4000) << fixture().name;
    }
}

TEST_P(DamagedTag, StrippingTheTagKeepsTheAudioOrLeavesTheFileAlone)
{
    const QString path = fresh();
    const QByteArray before = F::read(path);
    ID3V2Tag t;
    t.SetFileName(path);
    const QByteArray loaded = F::read(path);
    expectSavedOrUntouched(t.StripTags(TagType::ID3v2), path, loaded, fixture().name);
    if (before.contains(audio())) {
        EXPECT_TRUE(F::read(path).contains(audio()));
    }
}

TEST_P(DamagedTag, StrippingEverythingNeverTouchesTheAudio)
{
    const QString path = fresh();
    const QByteArray before = F::read(path);
    ID3V2Tag t;
    t.SetFileName(path);
    t.StripTags(TagType::All);
    if (before.contains(audio())) {
        EXPECT_TRUE(F::read(path).contains(audio())) << fixture().name;
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, DamagedTag, ::testing::Range<size_t>(0, fixtures().size()),
    [](const ::testing::TestParamInfo<size_t>& info) { return std::string(fixtures().at(info.param).name); });

TEST(DamagedTagCorpus, HoldsAtLeastThirtyFaults)
{
    EXPECT_GE(fixtures().size(), 30u);
}

TEST(DamagedTagCorpus, RefusesToRewriteATagWhoseSizeTakesTheFirstByteOfTheAudio)
{
    QTemporaryDir dir;
    const QByteArray bytes = header(3, quint32(title().size() + 51)) + title() + QByteArray(50, '\0') + audio();
    const QString path = F::write(dir, "overlap1.mp3", bytes);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTitle("x");
    EXPECT_FALSE(t.Update());
    EXPECT_FALSE(t.StripTags(TagType::ID3v2));
    EXPECT_EQ(F::read(path), bytes);
}

TEST(DamagedTagCorpus, RefusesToRewriteAFrameWhoseSizeSwallowsTheStartOfTheAudio)
{
    QTemporaryDir dir;
    const QByteArray f = forgedFrame("TIT2", 901, QByteArray(1, '\0'));
    const QByteArray bytes = header(3, quint32(title().size() + f.size() + 900)) + title() + f + audio();
    const QString path = F::write(dir, "swallow.mp3", bytes);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetArtist("x");
    EXPECT_FALSE(t.Update());
    EXPECT_FALSE(t.StripTags(TagType::ID3v2));
    EXPECT_EQ(F::read(path), bytes);
}

TEST(DamagedTagCorpus, APictureWithSyncLikeBytesDoesNotBlockASave)
{
    QTemporaryDir dir;
    QByteArray jpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\xFF\xFB\x90\x64", 16);
    jpeg += QByteArray(600, '\x44');
    const QString path = F::write(
        dir, "jpeg.mp3", v3({ frame(3, "APIC", pictureBody("image/jpeg", 3, "", jpeg)), title() }) + audio());
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetArtist("x");
    EXPECT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio()));
    EXPECT_TRUE(F::read(path).contains(jpeg));
}

TEST(DamagedTagCorpus, RefusesToRewriteATagWhoseSizeRunsIntoTheAudio)
{
    QTemporaryDir dir;
    const QByteArray body = title() + artist();
    const QByteArray bytes = header(3, quint32(body.size() + 1000)) + body + audio();
    const QString path = F::write(dir, "overlap.mp3", bytes);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTitle("x");
    EXPECT_FALSE(t.Update());
    EXPECT_FALSE(t.StripTags(TagType::ID3v2));
    EXPECT_EQ(F::read(path), bytes);
}

} // namespace
