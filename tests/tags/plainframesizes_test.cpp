// Version 2.4 tags whose frame headers give plain (not syncsafe) sizes, as
// some writers make them: read whole with plain sizes when only those walk
// cleanly, as TagLib reads them, and saved so that the walk stays clean.
#include "tags/id3v2tag.h"
#include "tags/storedtag.h"

#include "framebytes.h"
#include "support/tagfiles.h"

#include <gtest/gtest.h>

using namespace Id3Builder;
using namespace FrameBytes;
namespace F = TagTestFiles;

namespace {

// A user text frame of 276 bytes (0x114: read as syncsafe, 148) whose byte
// 148 is the zero after its description: the syncsafe reading lands on
// what looks like padding.
QByteArray userTextLandingOnZero()
{
    return plainFrame("TXXX", QByteArray(1, '\0') + QByteArray(147, 'd') + QByteArray(1, '\0') + QByteArray(127, 'v'));
}

struct Shape {
    const char* name;
    QByteArray tagBytes;
    QString artist;
    QString title;
    FrameSizes sizes;
};

// Texts in lower case: TagLib decides frame by frame, and four capitals
// where the syncsafe reading lands would pass with it for the next frame.
std::vector<Shape> shapes()
{
    const QString longArtist(300, QLatin1Char('a')); // 301 bytes: 0x12D, syncsafe 173
    const QString longTitle(199, QLatin1Char('t')); // 200 bytes: 0xC8, not syncsafe at all
    const QByteArray artist = plainFrame("TPE1", textBody(longArtist));
    const QByteArray title = plainFrame("TIT2", textBody(longTitle));
    const QByteArray comment = plainFrame("COMM", commentBody("eng", "", QString(250, QLatin1Char('c'))));
    return {
        { "plain_sizes_with_padding", tag(4, { artist, title, comment }, 200), longArtist, longTitle,
            FrameSizes::Plain },
        { "plain_sizes_without_padding", tag(4, { artist, comment, title }), longArtist, longTitle, FrameSizes::Plain },
        { "syncsafe_reading_lands_on_a_zero_byte",
            tag(4, { userTextLandingOnZero(), plainFrame("TPE1", textBody("Artist")), title }, 50), "Artist", longTitle,
            FrameSizes::Plain },
        { "plain_size_of_the_last_frame_only", tag(4, { plainFrame("TPE1", textBody("Artist")), title }, 10), "Artist",
            longTitle, FrameSizes::Plain },
        { "syncsafe_sizes",
            tag(4, { frame(4, "TPE1", textBody(longArtist)), frame(4, "TIT2", textBody(longTitle)) }, 30), longArtist,
            longTitle, FrameSizes::Syncsafe },
    };
}

TEST(PlainFrameSizes, ATagThatWalksOnlyWithPlainSizesIsReadWithThemAsTagLibReadsIt)
{
    QTemporaryDir dir;
    const QByteArray audio = F::audio();
    for (const Shape& s : shapes()) {
        SCOPED_TRACE(s.name);
        StoredTag stored;
        ASSERT_TRUE(readStoredTag(s.tagBytes, &stored));
        EXPECT_TRUE(stored.damage.isEmpty()) << stored.damage.toStdString();
        EXPECT_EQ(stored.frameSizes, s.sizes);
        const QString path = F::write(dir, QString::fromLatin1(s.name) + ".mp3", s.tagBytes + audio);
        ID3V2Tag t;
        t.setFileName(path);
        EXPECT_EQ(t.artist(), s.artist);
        EXPECT_EQ(t.title(), s.title);
        EXPECT_EQ(storedText(path, "TPE1"), s.artist);
        EXPECT_EQ(storedText(path, "TIT2"), s.title);
    }
}

// A save keeps every unchanged frame's bytes; a changed frame takes the
// sizes the tag uses, and the tag reads back everywhere.
TEST(PlainFrameSizes, ASaveKeepsTheUnchangedFramesAndTheTagReadsBack)
{
    QTemporaryDir dir;
    const QByteArray audio = F::audio();
    const QString newArtist(400, QLatin1Char('n')); // 401 bytes: 0x191, syncsafe 145
    for (const Shape& s : shapes()) {
        SCOPED_TRACE(s.name);
        // Through the tag object: a short title, the same either way.
        const QString path = F::write(dir, QString::fromLatin1(s.name) + ".mp3", s.tagBytes + audio);
        {
            ID3V2Tag t;
            t.setFileName(path);
            t.setTitle(QStringLiteral("New"));
            ASSERT_TRUE(t.update()) << t.lastError().toStdString();
        }
        StoredTag before;
        ASSERT_TRUE(readStoredTag(s.tagBytes, &before));
        const QByteArray written = F::read(path);
        for (const StoredFrame& f : before.frames) {
            if (f.id != "TIT2") {
                EXPECT_TRUE(written.contains(f.bytes)) << "changed " << f.id.toStdString();
            }
        }
        EXPECT_TRUE(F::audioIntact(path, audio));
        EXPECT_EQ(storedText(path, "TIT2"), "New");
        EXPECT_EQ(storedText(path, "TPE1"), s.artist);
        {
            ID3V2Tag back;
            back.setFileName(path);
            EXPECT_EQ(back.title(), "New");
            EXPECT_EQ(back.artist(), s.artist);
        }

        // A frame longer than 127 bytes, rendered for the tag's sizes.
        QByteArray frames;
        for (const StoredFrame& f : before.frames)
            frames
                += f.id == "TPE1" ? renderFrame(4, "TPE1", 0, textBody(newArtist), false, before.frameSizes) : f.bytes;
        const QByteArray rendered = renderTag(4, before.flags, frames, before.size, false);
        const QString renderedPath = F::write(dir, QString::fromLatin1(s.name) + "-long.mp3", rendered + audio);
        StoredTag after;
        ASSERT_TRUE(readStoredTag(rendered, &after));
        EXPECT_EQ(after.frameSizes, s.sizes);
        EXPECT_EQ(after.frames.size(), before.frames.size());
        EXPECT_EQ(storedText(renderedPath, "TPE1"), newArtist);
        EXPECT_EQ(storedText(renderedPath, "TIT2"), s.title);
        ID3V2Tag back;
        back.setFileName(renderedPath);
        EXPECT_EQ(back.artist(), newArtist);
        EXPECT_EQ(back.title(), s.title);
    }
}

} // namespace
