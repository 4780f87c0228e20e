// Tags written by other programs survive every edit: a value set over a
// frame that cannot be read replaces that frame, never stands beside it.
// Saved files are read back with TagLib and walked frame by frame here.
#include "tags/id3v2tag.h"

#include "support/tagfiles.h"

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <gtest/gtest.h>

#include <functional>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

// The frame IDs of the file's ID3v2.3 or 2.4 tag, in order, read straight
// from its bytes.
QList<QByteArray> storedIds(const QString& path)
{
    const QByteArray bytes = F::read(path);
    QList<QByteArray> ids;
    if (!bytes.startsWith("ID3") || bytes.size() < 10)
        return ids;
    const int version = bytes[3];
    const auto size = [&](qsizetype at) {
        quint32 n = 0;
        for (int i = 0; i < 4; ++i)
            n = version == 4 ? n << 7 | (uchar(bytes[at + i]) & 0x7F) : n << 8 | uchar(bytes[at + i]);
        return qsizetype(n);
    };
    const qsizetype end = 10 + size(6);
    for (qsizetype at = 10; at + 10 <= end && bytes[at] != '\0'; at += 10 + size(at + 4))
        ids << bytes.mid(at, 4);
    return ids;
}

// The texts TagLib reads from the frames of that ID.
QStringList readerTexts(const QString& path, const char* id)
{
    TagLib::MPEG::File f(QFile::encodeName(path).constData(), false);
    QStringList out;
    if (!f.hasID3v2Tag())
        return out;
    for (const auto* frame : f.ID3v2Tag()->frameList(id))
        out << QString::fromStdString(frame->toString().to8Bit(true));
    return out;
}

QByteArray rawFrame3(const QByteArray& id, const QByteArray& body, quint16 flags)
{
    return id + bigEndian32(quint32(body.size())) + char(flags >> 8) + char(flags & 0xFF) + body;
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
        { "title_not_inflating", 3, rawFrame3("TIT2", notZlib, 0x0080), "TIT2", FieldId::Title },
        { "title_encrypted", 3, rawFrame3("TIT2", QByteArray("\x80secret!!", 9), 0x0040), "TIT2", FieldId::Title },
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
        EXPECT_EQ(readerTexts(path, c.id), QStringList { QStringLiteral("New") });
        EXPECT_EQ(readerTexts(path, "TALB"), QStringList { QStringLiteral("Album") });
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
            EXPECT_EQ(readerTexts(path, "TDRC"), c.readerDate);
        }
        if (c.version == 4 && !c.readerDate.isEmpty()) {
            EXPECT_EQ(readerTexts(path, "TDRC"), c.readerDate);
        }
    }
}

} // namespace
