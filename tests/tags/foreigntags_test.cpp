// Tags written by other programs survive every edit: a value set over a
// frame that cannot be read replaces that frame, never stands beside it.
// Saved files are read back with TagLib and walked frame by frame here.
#include "tags/id3v2tag.h"

#include "framebytes.h"
#include "support/tagfiles.h"

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/uniquefileidentifierframe.h>
#include <taglib/urllinkframe.h>

#include <gtest/gtest.h>

#include <functional>

using namespace Id3Builder;
using namespace FrameBytes;
namespace F = TagTestFiles;

namespace {

// The frames of the file's tag, in order, as (ID, body).
QList<std::pair<QByteArray, QByteArray>> storedFrames(const QString& path)
{
    QList<std::pair<QByteArray, QByteArray>> frames;
    for (const QByteArray& f : rawTag(F::read(path)).frames)
        frames.append({ f.left(4), f.mid(10) });
    return frames;
}

QList<QByteArray> storedIds(const QString& path)
{
    QList<QByteArray> ids;
    for (const auto& f : storedFrames(path))
        ids << f.first;
    return ids;
}

QByteArray storedBody(const QString& path, const QByteArray& id)
{
    for (const auto& f : storedFrames(path))
        if (f.first == id)
            return f.second;
    return QByteArray();
}

TEST(ForeignTags, AValueSetOverAnUnreadableFrameReplacesIt)
{
    const QByteArray album = frame(3, "TALB", textBody("Album"));
    // Compressed (2.3 flag 0x0080): a four-byte inflated size, then data that does not inflate.
    const QByteArray notZlib = bigEndian32(20) + QByteArray("\x01\x02\x03\x04\x05\x06", 6);
    struct Case {
        const char* name;
        int version;
        QByteArray unreadable;
        const char* id;
        FieldId field;
    };
    const Case cases[] = {
        { "title_encoding_7", 3, frame(3, "TIT2", QByteArray("\x07Old", 4)), "TIT2", FieldId::Title },
        { "title_not_inflating", 3, plainFrame("TIT2", notZlib, 0x0080), "TIT2", FieldId::Title },
        { "title_encrypted", 3, plainFrame("TIT2", QByteArray("\x80secret!!", 9), 0x0040), "TIT2", FieldId::Title },
        { "artist_encoding_5", 3, frame(3, "TPE1", QByteArray("\x05Old", 4)), "TPE1", FieldId::Artist },
        { "artist_encoding_4_in_2_4", 4, frame(4, "TPE1", QByteArray("\x04Old", 4)), "TPE1", FieldId::Artist },
        { "comment_three_bytes", 3,
            frame(3, "COMM",
                QByteArray("\x00"
                           "en",
                    3)),
            "COMM", FieldId::Comments },
        { "comment_encoding_9", 3,
            frame(3, "COMM",
                QByteArray("\x09"
                           "engx\0Old",
                    9)),
            "COMM", FieldId::Comments },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QByteArray otherAlbum = c.version == 4 ? frame(4, "TALB", textBody("Album")) : album;
        const QString path = F::write(
            dir, QString::fromLatin1(c.name) + ".mp3", tag(c.version, { otherAlbum, c.unreadable }, 16) + F::audio());
        ID3V2Tag t;
        t.setFileName(path);
        t.setFieldText(c.field, QStringLiteral("New"));
        ASSERT_TRUE(t.update());
        // One frame of the kind, in the old frame's place, holding the new value.
        EXPECT_EQ(storedIds(path), (QList<QByteArray> { "TALB", c.id }));
        EXPECT_EQ(tagLibTexts(path, c.id), QStringList { QStringLiteral("New") });
        EXPECT_EQ(tagLibTexts(path, "TALB"), QStringList { QStringLiteral("Album") });
        ID3V2Tag again;
        again.setFileName(path);
        EXPECT_EQ(again.fieldText(c.field), QStringLiteral("New"));
    }
}

TEST(ForeignTags, AnUnreadableFrameNoFieldSetStaysAsItWas)
{
    // Setting another field, or a described comment (Mood), leaves the
    // unreadable frame's bytes alone: its description is unknown.
    const QByteArray badTitle = frame(3, "TIT2", QByteArray("\x07Old", 4));
    const QByteArray badComment = frame(3, "COMM",
        QByteArray("\x00"
                   "en",
            3));
    QTemporaryDir dir;
    const QString path = F::write(dir, "keep.mp3", tag(3, { badTitle, badComment }) + F::audio());
    ID3V2Tag t;
    t.setFileName(path);
    t.setArtist(QStringLiteral("Someone"));
    t.setMood(QStringLiteral("Calm"));
    ASSERT_TRUE(t.update());
    const QByteArray bytes = F::read(path);
    EXPECT_TRUE(bytes.contains(badTitle));
    EXPECT_TRUE(bytes.contains(badComment));
    EXPECT_EQ(storedIds(path), (QList<QByteArray> { "TIT2", "COMM", "TPE1", "COMM" }));
}

TEST(ForeignTags, YearEditsKeepOneDate)
{
    struct Case {
        const char* name;
        int version;
        QList<QByteArray> dateFrames; // after a TALB frame
        int year;
        QList<QByteArray> idsAfter;
        QStringList readerDate; // TDRC as TagLib reads it (it reads a 2.3 TYER as TDRC)
    };
    const auto text = [](int version, const char* id, const char* value) {
        return frame(version, id, textBody(QString::fromLatin1(value)));
    };
    const Case cases[] = {
        { "v24_tdrc_then_tyer", 4, { text(4, "TDRC", "1987-05-06"), text(4, "TYER", "1987") }, 2001, { "TALB", "TDRC" },
            { "2001" } },
        { "v24_tyer_then_tdrc", 4, { text(4, "TYER", "1987"), text(4, "TDRC", "1987-05-06") }, 2001, { "TALB", "TDRC" },
            { "2001" } },
        { "v24_same_year_kept", 4, { text(4, "TDRC", "1987-05-06") }, 1987, { "TALB", "TDRC" }, { "1987-05-06" } },
        { "v24_year_removed", 4, { text(4, "TDRC", "1987-05-06"), text(4, "TYER", "1987") }, 0, { "TALB" }, {} },
        { "v23_tyer_tdat_time", 3, { text(3, "TYER", "1987"), text(3, "TDAT", "0605"), text(3, "TIME", "1234") }, 2001,
            { "TALB", "TYER" }, { "2001" } },
        { "v23_same_year_keeps_date", 3, { text(3, "TYER", "1987"), text(3, "TDAT", "0605"), text(3, "TIME", "1234") },
            1987, { "TALB", "TYER", "TDAT", "TIME" }, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QByteArray tagBytes
            = tag(c.version, QList<QByteArray> { text(c.version, "TALB", "Album") } + c.dateFrames);
        const QString path = F::write(dir, QString::fromLatin1(c.name) + ".mp3", tagBytes + F::audio());
        ID3V2Tag t;
        t.setFileName(path);
        t.setYear(c.year);
        ASSERT_TRUE(t.update());
        EXPECT_EQ(storedIds(path), c.idsAfter);
        if (c.idsAfter.size() == c.dateFrames.size() + 1) {
            EXPECT_TRUE(F::read(path).startsWith(tagBytes)); // unchanged
        } else {
            EXPECT_EQ(tagLibTexts(path, "TDRC"), c.readerDate);
        }
        if (c.version == 4 && !c.readerDate.isEmpty()) {
            EXPECT_EQ(tagLibTexts(path, "TDRC"), c.readerDate);
        }
    }
}

// The UFID frames TagLib reads, as (owner, identifier), in order.
QList<std::pair<QByteArray, QByteArray>> readerKeys(const QString& path)
{
    TagLib::MPEG::File f(QFile::encodeName(path).constData(), false);
    QList<std::pair<QByteArray, QByteArray>> out;
    if (!f.hasID3v2Tag())
        return out;
    for (const auto* frame : f.ID3v2Tag()->frameList("UFID")) {
        const auto* ufid = dynamic_cast<const TagLib::ID3v2::UniqueFileIdentifierFrame*>(frame);
        if (ufid) {
            const TagLib::ByteVector id = ufid->identifier();
            out.append({ QByteArray::fromStdString(ufid->owner().to8Bit(true)), QByteArray(id.data(), id.size()) });
        }
    }
    return out;
}

QByteArray spaced(const QByteArray& bytes)
{
    QByteArray out;
    for (char c : bytes)
        out += QByteArray(1, c) + ' ';
    return out;
}

TEST(ForeignTags, UniqueKeyGoesIntoVelmorasOwnFrameLosslessly)
{
    using Key = std::pair<QByteArray, QByteArray>;
    // A database's binary recording id, with a '"' and a zero byte in it.
    const Key database { "http://db.example", QByteArray("\x12\"\x00\x7F\xE9\x01", 6) };
    const Key ours { "Velmora", spaced("old") };
    const Key ownerless { "", spaced("old") };
    const auto ufid = [](const Key& k) { return frame(3, "UFID", ufidBody(k.first, k.second)); };
    struct Case {
        const char* name;
        QList<Key> before;
        QString key;
        QList<Key> after;
    };
    const QString cyrillic = QStringLiteral("KEY-\u043A\u043B\u044E\u0447-42");
    const QString latin1LooksUtf8 = QString::fromLatin1("\xC3\xA9"); // "Ã©"
    const Case cases[] = {
        { "ascii", {}, QStringLiteral("abc"), { { "Velmora", spaced("abc") } } },
        { "latin1", {}, QStringLiteral("caf\u00E9"), { { "Velmora", spaced("caf\xE9") } } },
        { "cyrillic_as_utf8", {}, cyrillic, { { "Velmora", spaced(cyrillic.toUtf8()) } } },
        { "latin1_spelling_utf8", {}, latin1LooksUtf8, { { "Velmora", spaced(latin1LooksUtf8.toUtf8()) } } },
        { "beside_another_owner", { database }, QStringLiteral("abc"), { database, { "Velmora", spaced("abc") } } },
        { "cleared_leaves_another_owner", { database }, QString(), { database } },
        { "own_frame_changed_in_place", { database, ours }, QStringLiteral("new"),
            { database, { "Velmora", spaced("new") } } },
        { "ownerless_frame_is_ours", { ownerless, database }, QStringLiteral("new"),
            { { "Velmora", spaced("new") }, database } },
        { "own_frame_cleared", { ours, database }, QString(), { database } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        QList<QByteArray> frames { frame(3, "TALB", textBody("Album")) };
        for (const Key& k : c.before)
            frames << ufid(k);
        const QString path = F::write(dir, QString::fromLatin1(c.name) + ".mp3", tag(3, frames) + F::audio());
        ID3V2Tag t;
        t.setFileName(path);
        t.setUniqueKey(c.key);
        ASSERT_TRUE(t.update());
        EXPECT_EQ(readerKeys(path), c.after);
        ID3V2Tag again;
        again.setFileName(path);
        // Another owner's id shows when Velmora has none of its own.
        const QString shown
            = c.key.isEmpty() && !c.after.isEmpty() ? QString::fromLatin1(c.after.first().second) : c.key;
        EXPECT_EQ(again.uniqueKey(), shown);
    }
}

TEST(ForeignTags, ChangedTextTakesTheTagsBestEncoding)
{
    const QString cyrillic = QStringLiteral("\u041A\u043B\u044E\u0447");
    const QString url = QStringLiteral("http://example.com/\u043A?q=caf\u00E9");
    struct Case {
        const char* name;
        int version;
        FieldId field;
        QString value;
        const char* id;
        QByteArray body; // the frame's body as written
        QString readerText; // the value as TagLib reads it
    };
    const Case cases[] = {
        { "v24_cyrillic_utf8", 4, FieldId::Title, cyrillic, "TIT2", '\x03' + cyrillic.toUtf8(), cyrillic },
        { "v23_cyrillic_utf16", 3, FieldId::Title, cyrillic, "TIT2", textBody(cyrillic, Enc::Utf16), cyrillic },
        { "v24_latin1_fits", 4, FieldId::Title, QStringLiteral("Caf\u00E9"), "TIT2",
            QByteArray("\x00"
                       "Caf\xE9",
                5),
            QStringLiteral("Caf\u00E9") },
        // Without a description, UTF-16: its byte-order mark keeps readers from taking the value for it.
        { "v24_user_text_utf16", 4, FieldId::UserText, cyrillic, "TXXX", userTextBody("", cyrillic, Enc::Utf16),
            cyrillic },
        { "v23_user_text_utf16", 3, FieldId::UserText, QStringLiteral("Plain"), "TXXX",
            userTextBody("", QStringLiteral("Plain"), Enc::Utf16), QStringLiteral("Plain") },
        { "v23_url_percent_encoded", 3, FieldId::ArtistURL, url, "WOAR", "http://example.com/%D0%BA?q=caf%C3%A9",
            QStringLiteral("http://example.com/%D0%BA?q=caf%C3%A9") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = F::write(dir, QString::fromLatin1(c.name) + ".mp3",
            tag(c.version, { frame(c.version, "TALB", textBody("Album")) }) + F::audio());
        ID3V2Tag t;
        t.setFileName(path);
        t.setFieldText(c.field, c.value);
        ASSERT_TRUE(t.update());
        EXPECT_EQ(storedBody(path, c.id), c.body);
        const QStringList texts = tagLibTexts(path, c.id);
        ASSERT_FALSE(texts.isEmpty());
        EXPECT_TRUE(texts.last().endsWith(c.readerText)) << texts.last().toStdString();
    }
}

} // namespace
