// Damaged and hostile tags: loading never crashes or hangs, and a save or a
// strip either succeeds with the audio byte-identical or is refused with
// the file unchanged.
#include "tags/id3v2tag.h"

#include "framebytes.h"
#include "support/tagfiles.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <functional>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

const QByteArray audio = F::audio(12);
const QByteArray title = frame(3, "TIT2", textBody("Title"));
const QByteArray artist = frame(3, "TPE1", textBody("Artist"));
const QByteArray v1Trailer = id3v1("t", "a", "b", "2000", "c", 1, 2);

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

enum class Outcome { Either, Refused, Saved };

struct Damaged {
    const char* name;
    QByteArray bytes; // the whole file
    Outcome outcome = Outcome::Either;
};

QByteArray randomFrames()
{
    QByteArray body;
    for (int i = 0; i < 8; ++i)
        body += FrameBytes::sizedFrame("TXXX", quint32(i * 3), randomBytes(i * 3, quint32(100 + i)));
    return header(3, quint32(body.size())) + body;
}

const std::vector<Damaged>& corpus()
{
    QByteArray absurdMusicMatch = musicMatch(false);
    absurdMusicMatch.replace(absurdMusicMatch.size() - 48 - 20, 20, randomBytes(20, 5));
    const QByteArray jpegWithSyncBytes
        = QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\xFF\xFB\x90\x64", 16) + QByteArray(600, '\x44');
    static const std::vector<Damaged> all = {
        { "truncated_header_5_bytes", QByteArray("ID3\x03\x00", 5) },
        { "truncated_header_9_bytes", QByteArray("ID3\x03\x00\x00\x00\x00\x10", 9) },
        { "header_only_claiming_frames", header(3, 500) },
        { "header_claiming_frames_then_audio", header(3, 60) + audio },
        { "tag_size_zero_before_frames", header(3, 0) + title + artist + audio },
        { "tag_size_7F7F7F7F", v3({ title, artist }).replace(6, 4, "\x7F\x7F\x7F\x7F") + audio, Outcome::Refused },
        { "tag_size_past_end_by_one",
            header(3, quint32(title.size() + artist.size() + audio.size() + 1)) + title + artist + audio },
        { "tag_size_with_high_bits_set", v3({ title }).replace(6, 4, "\x80\x80\x80\x80") + audio },
        { "tag_size_past_end_with_trailer", header(3, quint32(audio.size() + 60)) + title + audio + v1Trailer },
        { "frame_size_ffffffff", v3({ FrameBytes::sizedFrame("TIT2", 0xFFFFFFFF, "\0Title"), artist }) + audio },
        { "frame_size_past_tag", v3({ artist, FrameBytes::sizedFrame("TIT2", 5000, "\0Title") }) + audio },
        { "frame_size_not_syncsafe_v24",
            tag(4,
                { "TIT2" + QByteArray("\x00\x00\x00\xFF\x00\x00", 6) + textBody("Title", Enc::Utf8),
                    frame(4, "TPE1", textBody("Artist", Enc::Utf8)) })
                + audio },
        { "compressed_frame_absurd_size",
            v3({ FrameBytes::sizedFrame("TIT2", 12, QByteArray("\x7F\xFF\xFF\xFFxxxxxxxx", 12), 0x0080), artist })
                + audio },
        { "compressed_frame_bad_zlib",
            v3({ FrameBytes::sizedFrame("TIT2", 12, QByteArray("\x00\x00\x00\x20notzlib!", 12), 0x0080), artist })
                + audio },
        { "data_length_indicator_absurd_v24",
            tag(4,
                { frame(4, "TIT2", QByteArray("\x7F\x7F\x7F\x7F", 4) + textBody("Title", Enc::Utf8), 0x0001),
                    frame(4, "TPE1", textBody("Artist", Enc::Utf8)) })
                + audio },
        { "utf16_odd_length_text", v3({ frame(3, "TIT2", QByteArray("\x01\xFF\xFET\x00i", 6)), artist }) + audio },
        { "text_frame_without_text", v3({ frame(3, "TIT2", QByteArray(1, '\0')), artist }) + audio },
        { "random_bytes_in_tag", header(3, 400) + randomBytes(400, 7) + audio },
        { "random_bytes_after_valid_frames", header(3, 300) + title + artist + randomBytes(300 - 37, 11) + audio },
        { "random_frames_with_valid_ids", randomFrames() + audio },
        { "extended_header_claiming_too_much",
            v3({ QByteArray("\x7F\xFF\xFF\xFF\x00\x00\x00\x00\x00\x00", 10), title }, 0, 0x40) + audio },
        { "extended_header_v24_huge",
            tag(4, { QByteArray("\x7F\x7F\x7F\x7F\x01\x00", 6), frame(4, "TIT2", textBody("T", Enc::Utf8)) }, 0, 0x40)
                + audio },
        { "unsynchronised_tag_with_broken_pairs",
            header(3, 40, 0x80) + QByteArray("TIT2\x00\x00\x00\x10\x00\x00\x00\xFF\xFF\xFF\x00\xFF", 16)
                + QByteArray(24, '\xFF') + audio },
        { "version_5_header", v3({ title }).replace(3, 1, "\x05") + audio },
        { "version_2_2_compressed_flag", tag(2, { frame(2, "TT2", textBody("T")) }, 10, 0x40) + audio },
        { "v22_frame_size_past_end", tag(2, { QByteArray("TT2\xFF\xFF\xFF\x00T", 8) }) + audio },
        { "comment_without_language", v3({ frame(3, "COMM", QByteArray(1, '\0')), artist }) + audio },
        { "user_text_without_terminator",
            v3({ frame(3, "TXXX", QByteArray("\x00onlydescription", 16)), artist }) + audio },
        { "picture_truncated", v3({ frame(3, "APIC", QByteArray("\x00image/jp", 9)), artist }) + audio },
        { "picture_with_sync_like_bytes",
            v3({ frame(3, "APIC", pictureBody("image/jpeg", 3, "", jpegWithSyncBytes)), title }) + audio,
            Outcome::Saved },
        { "unique_id_empty", v3({ frame(3, "UFID", QByteArray()), artist }) + audio },
        { "footer_flag_without_footer_v24", tag(4, { frame(4, "TIT2", textBody("T", Enc::Utf8)) }, 0, 0x10) + audio },
        { "two_tags_in_a_row", v3({ title }) + v3({ artist }) + audio },
        { "lyrics3v2_with_bad_size_digits",
            v3({ title }) + audio + QByteArray("LYRICSBEGINxx12x4b6LYRICS200") + v1Trailer },
        { "lyrics3v2_size_larger_than_file", audio + QByteArray("LYRICSBEGIN999999LYRICS200") + v1Trailer },
        { "lyrics3_begin_missing", audio + QByteArray("some lyrics LYRICSEND") + v1Trailer },
        { "musicmatch_footer_with_absurd_offsets", audio + absurdMusicMatch + v1Trailer },
        { "trailer_of_random_bytes", v3({ title }) + audio + "TAG" + randomBytes(125, 3) },
        { "tag_after_leading_junk", QByteArray("JUNKJUNK") + v3({ title, artist }) + audio },
        { "unsynchronised_frame_flag_v24",
            tag(4, { frame(4, "TIT2", QByteArray("\x03T\xFF\x00itle", 8), 0x0002) }) + audio },
        { "utf8_text_in_a_v23_tag",
            v3({ frame(3, "TIT2", textBody(QString::fromUtf8("Grüße"), Enc::Utf8)), artist }) + audio },
        { "padding_then_garbage",
            header(3, 200) + title + QByteArray(50, '\0') + randomBytes(200 - int(title.size()) - 50, 21) + audio },
        { "empty_file", QByteArray() },
        { "only_a_trailer", v1Trailer },
    };
    return all;
}

class DamagedTag : public ::testing::TestWithParam<size_t> {
protected:
    QTemporaryDir dir;
    const Damaged& damaged() const { return corpus().at(GetParam()); }

    // Writes the damaged file afresh, loads it and runs action; a refusal
    // must leave the file as the load left it (a load may remove a trailer
    // next to a tag), a success the audio and what followed it unchanged;
    // unless judged, only the audio must survive.
    bool check(const char* what, const std::function<bool(ID3V2Tag&)>& action, bool judged = true)
    {
        const QString path = F::write(dir, QString::fromLatin1(damaged().name) + ".mp3", damaged().bytes);
        ID3V2Tag t;
        t.setFileName(path);
        const QByteArray loaded = F::read(path);
        const bool done = action(t);
        const QByteArray after = F::read(path);
        if (judged && !done) {
            EXPECT_EQ(after, loaded) << what << ": refused but changed";
        } else if (judged && loaded.contains(audio)) {
            EXPECT_TRUE(F::audioIntact(path, audio, loaded.mid(loaded.indexOf(audio) + audio.size())))
                << what << ": audio changed";
        }
        if (damaged().bytes.contains(audio)) {
            EXPECT_TRUE(after.contains(audio)) << what << ": audio lost";
        }
        return done;
    }
};

TEST_P(DamagedTag, LoadsAndSavesOrStripsWithTheAudioIntactOrRefusesWithTheFileUnchanged)
{
    check("load", [](ID3V2Tag& t) {
        for (int i = 0; i < kFieldCount; ++i)
            (void)t.fieldText(fieldInfo(i).id);
        for (TagKind kind : kTagKinds)
            (void)t.hasTagType(kind);
        return false; // nothing may have been written beyond the load
    });
    const bool small = check("small save", [](ID3V2Tag& t) {
        t.setTitle("New");
        return t.update();
    });
    const bool growing = check("growing save", [](ID3V2Tag& t) {
        t.setComments(QString(4000, QLatin1Char('g')));
        t.setArtist(QString::fromUtf8("Künstler ✓"));
        return t.update();
    });
    if (growing) {
        ID3V2Tag back;
        back.setFileName(dir.filePath(QString::fromLatin1(damaged().name) + ".mp3"));
        EXPECT_EQ(back.comments().size(), 4000);
    }
    const bool stripped = check("strip", [](ID3V2Tag& t) { return t.stripTags(TagKind::ID3v2); });
    // Stripping everything may end part way (a block it cannot cut by), but never touches the audio.
    check(
        "strip all", [](ID3V2Tag& t) { return t.stripTags(kAllTagKinds); }, false);
    if (damaged().outcome == Outcome::Refused) {
        EXPECT_FALSE(small);
        EXPECT_FALSE(growing);
        EXPECT_FALSE(stripped);
    } else if (damaged().outcome == Outcome::Saved) {
        EXPECT_TRUE(small);
        EXPECT_TRUE(growing);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, DamagedTag, ::testing::Range<size_t>(0, corpus().size()),
    [](const ::testing::TestParamInfo<size_t>& info) { return std::string(corpus().at(info.param).name); });

} // namespace
