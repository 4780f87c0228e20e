// A save keeps every frame it did not change, byte for byte, whatever the
// tag's layout or damage, or it is refused with the file unchanged; the
// audio is never touched. Expected frames are the ones the test built, so
// the check does not go through the tag layer's own reading.
#include "tags/id3v2tag.h"

#include "framebytes.h"
#include "support/tagfiles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Id3Builder;
using namespace FrameBytes;
namespace F = TagTestFiles;

namespace {

const QByteArray audio = F::audio(12);

const QByteArray picture = frame(3, "APIC", pictureBody("image/jpeg", 3, "cover", QByteArray(300, '\x42')));
const QByteArray lyrics = frame(3, "USLT", commentBody("eng", "", "la la la"));
const QByteArray comment = frame(3, "COMM", commentBody("deu", "", "Kommentar"));
const QByteArray privateData = frame(3, "PRIV", QByteArray("owner\0\x01\x02\x03", 9));

QByteArray withFooter(const QByteArray& tag24)
{
    return tag24 + "3DI" + tag24.mid(3, 7);
}

// Text that holds a false sync once encoded as UTF-16 ("ÿ" is FF 00, "á" E1 00).
const QByteArray syncText = frame(3, "TXXX", userTextBody("note", QString::fromUtf8("ÿáÿ"), Enc::Utf16));

struct Case {
    const char* name;
    QByteArray tagBytes; // what precedes the audio
    QList<QByteArray> kept = {}; // frames the saved file must hold as they are; none: the save must be refused
    const char* value = nullptr; // what the load must read in field (nullptr: not checked)
    FieldId field = FieldId::Artist;
};

std::vector<Case> frameDamage()
{
    const QByteArray zeroSize = sizedFrame("TPE2", 0, {});
    const QByteArray lowerCase = frame(3, "tpe2", textBody("lower"));
    const QByteArray badEncoding = frame(3, "TPE2", QByteArray("\x07text", 5));
    const QByteArray encrypted = sizedFrame("TPE1", 9, QByteArray("\x80secret!!", 9), 0x0040);
    const QByteArray encryptedTitle = sizedFrame("TIT2", 9, QByteArray("\x80secret!!", 9), 0x0040);
    const QByteArray grouped = sizedFrame("TPE1", 8, QByteArray("\x05\x00Group", 7) + '\0', 0x0020);
    const QByteArray noBom = frame(3, "TPE1", QByteArray("\x01N\0o\0B\0o\0m\0", 11));
    const QByteArray unknown = frame(3, "XYZW", QByteArray("\x00\x01\x02", 3));
    const QByteArray zipped = qCompress(textBody("Zipped"));
    const QByteArray compressed = sizedFrame("TCOM", quint32(zipped.size()), zipped, 0x0080);
    return {
        { "zero_size_frame_then_more", tag(3, { zeroSize, picture, lyrics, comment }, 20),
            { zeroSize, picture, lyrics, comment } },
        { "frame_id_in_lower_case", tag(3, { lowerCase, picture, lyrics }), { lowerCase, picture, lyrics } },
        { "bad_encoding_byte", tag(3, { badEncoding, picture, comment }), { badEncoding, picture, comment } },
        // An encrypted frame reads as empty; a typed title is a new frame beside the encrypted one.
        { "encrypted_frame", tag(3, { encrypted, picture }, 50), { encrypted, picture }, "" },
        // The title set by every case replaces the encrypted one (foreigntags_test).
        { "encrypted_title", tag(3, { encryptedTitle, picture }), { picture } },
        { "grouped_frame", tag(3, { grouped, picture }), { grouped, picture }, "Group" },
        { "compressed_frame", tag(3, { compressed, lyrics }), { compressed, lyrics }, "Zipped", FieldId::Composer },
        { "utf16_without_byte_order_mark", tag(3, { noBom, picture }), { noBom, picture }, "NoBom" },
        { "unknown_and_private_frames", tag(3, { unknown, privateData, picture }), { unknown, privateData, picture } },
    };
}

std::vector<Case> tagLayout()
{
    const QList<QByteArray> frames = { syncText, picture, lyrics, frame(3, "TPE1", textBody("Artist")) };
    const QByteArray body = frames.join();
    const QByteArray ext23 = bigEndian32(6) + QByteArray(2, '\0') + bigEndian32(0);
    const QByteArray ext24 = syncsafe(6) + QByteArray("\x01\x00", 2);
    const QByteArray f24a = frame(4, "TPE1", textBody("Artist"));
    const QByteArray f24b = frame(4, "USLT", commentBody("eng", "", "words"));
    const QByteArray f24sync
        = frame(4, "TXXX", unsynchronised(userTextBody("n", QString::fromUtf8("ÿá"), Enc::Utf16)), 0x0002);
    const QByteArray plainSize24
        = QByteArray("TPE2") + bigEndian32(200) + QByteArray(2, '\0') + textBody(QString(199, 'p'));
    const QByteArray userText = frame(3, "TXXX", userTextBody("", QString::fromUtf8("ÿ value"), Enc::Utf16));
    return {
        { "unsynchronised_v23", header(3, quint32(unsynchronised(body).size()), 0x80) + unsynchronised(body), frames },
        { "unsynchronised_v23_user_text",
            header(3, quint32(unsynchronised(userText).size()), 0x80) + unsynchronised(userText), { userText },
            "ÿ value", FieldId::UserText },
        { "extended_header_v23", tag(3, { ext23, body }, 0, 0x40), frames, "Artist" },
        { "extended_header_v24", tag(4, { ext24, f24a, f24b }, 30, 0x40), { f24a, f24b }, "Artist" },
        { "footer_v24", withFooter(tag(4, { f24b, f24a }, 0, 0x10)), { f24b, f24a }, "Artist" },
        { "footer_v24_without_last_frame_room", withFooter(tag(4, { f24a }, 0, 0x10)), { f24a }, "Artist" },
        { "unsynchronised_frame_v24", tag(4, { f24sync, f24a }, 0, 0x80), { f24sync, f24a } },
        { "plain_frame_sizes_in_v24", tag(4, { plainSize24, f24a }), { plainSize24, f24a }, "Artist" },
        { "unsynchronised_v23_with_extended_header",
            header(3, quint32(unsynchronised(ext23 + body).size()), 0xC0) + unsynchronised(ext23 + body), frames,
            "Artist" },
    };
}

std::vector<Case> audioGuard()
{
    const QByteArray body = picture + lyrics;
    const QByteArray ext23 = bigEndian32(6) + QByteArray(2, '\0') + bigEndian32(0);
    const QByteArray unsyncBody = unsynchronised(body);
    return {
        { "unsynchronised_size_one_byte_too_large", header(3, quint32(unsyncBody.size() + 1), 0x80) + unsyncBody },
        { "unsynchronised_size_runs_into_audio", header(3, quint32(unsyncBody.size() + 300), 0x80) + unsyncBody },
        { "extended_header_size_one_byte_too_large",
            header(3, quint32(ext23.size() + body.size() + 1), 0x40) + ext23 + body },
        { "extended_header_size_runs_into_audio",
            header(3, quint32(ext23.size() + body.size() + 500), 0x40) + ext23 + body },
        { "frame_runs_past_the_tag", tag(3, { picture, sizedFrame("TPE2", 4000, textBody("x")) }) },
        { "frame_runs_past_the_tag_by_a_few_bytes", tag(3, { picture, sizedFrame("TPE2", 9, textBody("x")) }) },
        { "extended_header_v24_smaller_than_its_size_field",
            tag(4, { syncsafe(0) + QByteArray("\x01\x00", 2), frame(4, "TPE1", textBody("a")) }, 0, 0x40) },
    };
}

void checkCase(const Case& c)
{
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const QString path = F::write(dir, QString::fromLatin1(c.name) + ".mp3", c.tagBytes + audio);
    ID3V2Tag t;
    t.setFileName(path);
    if (c.value) {
        EXPECT_EQ(t.fieldText(c.field), QString::fromUtf8(c.value));
    }
    if (!c.kept.isEmpty()) {
        EXPECT_GT(t.frameCount(), 0);
    }
    const QByteArray before = F::read(path);
    t.setTitle(QStringLiteral("New Title"));
    const bool saved = t.update();
    const QByteArray after = F::read(path);
    if (c.kept.isEmpty()) {
        EXPECT_FALSE(saved);
        EXPECT_FALSE(t.lastError().isEmpty());
        EXPECT_EQ(after, before);
        return;
    }
    ASSERT_TRUE(saved) << t.lastError().toStdString();
    // Exactly one tag (footer included) and then the audio.
    ASSERT_TRUE(after.startsWith("ID3"));
    EXPECT_EQ(after.mid(rawTag(after).size), audio);
    for (const QByteArray& f : c.kept)
        EXPECT_TRUE(after.contains(f)) << "lost frame " << f.left(4).toStdString();
    ID3V2Tag back;
    back.setFileName(path);
    EXPECT_EQ(back.title(), "New Title");
    if (c.value) {
        EXPECT_EQ(back.fieldText(c.field), QString::fromUtf8(c.value));
    }
    EXPECT_GE(back.frameCount(), c.kept.size() + 1);
}

// Frame damage keeps every other frame; unsynchronisation, extended headers
// and footers are read and written back whole; the audio guard refuses tags
// that run into the audio.
TEST(FrameKeeping, EveryLayoutAndDamageKeepsTheOtherFramesOrIsRefused)
{
    for (const auto& cases : { frameDamage(), tagLayout(), audioGuard() })
        for (const Case& c : cases)
            checkCase(c);
}

TEST(FrameKeeping, AFrameWhoseValueWasNotChangedKeepsItsStoredBytes)
{
    const QByteArray binaryKey("\x01\"\xFF\x00\"x", 6);
    const struct {
        const char* name;
        int version;
        QByteArray stored; // the frame that must survive byte for byte
        const char* tagLibId;
    } forms[] = {
        { "genre_number_in_brackets", 3, frame(3, "TCON", textBody("(13)")), "TCON" },
        { "genre_number_in_brackets_v22", 2, frame(2, "TCO", textBody("(13)")), "TCON" },
        { "genre_bare_number_v24", 4, frame(4, "TCON", textBody("17")), "TCON" },
        { "genre_number_and_text", 3, frame(3, "TCON", textBody("(17)Rock")), "TCON" },
        { "track_with_leading_zero", 3, frame(3, "TRCK", textBody("03/12")), "TRCK" },
        { "track_not_a_number", 3, frame(3, "TRCK", textBody("A1")), "TRCK" },
        { "total_alone", 3, frame(3, "TRCK", textBody("/12")), "TRCK" },
        { "full_date_v24", 4, frame(4, "TDRC", textBody("1997-09-22")), "TDRC" },
        { "empty_composer", 3, frame(3, "TCOM", textBody("")), "TCOM" },
        { "empty_comment", 3, frame(3, "COMM", commentBody("eng", "", "")), "COMM" },
        { "utf16_album", 3, frame(3, "TALB", textBody("Album", Enc::Utf16)), "TALB" },
        { "binary_unique_key", 3, frame(3, "UFID", ufidBody("http://db.example", binaryKey)), "UFID" },
        { "binary_unique_key_v24", 4, frame(4, "UFID", ufidBody("owner", binaryKey)), "UFID" },
    };
    // The other field edited alone, and edited after every field was given
    // back the text it shows (as a window that writes every box does).
    const struct {
        const char* name;
        std::function<void(ID3V2Tag&)> edit;
    } edits[] = {
        { "artist only", [](ID3V2Tag& t) { t.setArtist(QStringLiteral("Edited")); } },
        { "every field as shown",
            [](ID3V2Tag& t) {
                for (int i = 0; i < kFieldCount; ++i)
                    t.setFieldText(FieldId(i), t.fieldText(FieldId(i)));
                t.setTrack(t.track());
                t.setTotalTracks(t.totalTracks());
                t.setYear(t.year());
                t.setArtist(QStringLiteral("Edited"));
            } },
    };
    for (const auto& form : forms) {
        for (const auto& e : edits) {
            SCOPED_TRACE(std::string(form.name) + ", " + e.name);
            QTemporaryDir dir;
            const QByteArray artist = frame(form.version, form.version == 2 ? "TP1" : "TPE1", textBody("Old"));
            const QString path = F::write(dir, "f.mp3", tag(form.version, { form.stored, artist }, 10) + audio);
            const QStringList before = tagLibTexts(path, form.tagLibId);
            ID3V2Tag t;
            ASSERT_TRUE(t.setFileName(path).ok());
            e.edit(t);
            ASSERT_TRUE(t.update()) << t.lastError().toStdString();
            const QByteArray after = F::read(path);
            EXPECT_TRUE(after.contains(form.stored));
            EXPECT_TRUE(after.endsWith(audio));
            EXPECT_EQ(tagLibTexts(path, form.tagLibId), before);
            EXPECT_EQ(tagLibTexts(path, "TPE1"), QStringList { "Edited" });
        }
    }
}

} // namespace
