// Many selected files' common values, gathered file by file and read off
// the window's thread: a newer read or a stop silences the older one.
#include "tagedit/manyfilesreader.h"

#include "support/mp3builder.h"
#include "tagedit/tableedits.h"
#include "tags/id3v2tag.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TagTexts texts(const QString& title, const QString& album)
{
    TagTexts t;
    t[size_t(FieldId::Title)] = title;
    t[size_t(FieldId::Album)] = album;
    return t;
}

TEST(CommonTags, FieldsAndCoversAreCommonOnlyWhenEveryFileAgrees)
{
    const CoverPicture red = coverPicture("red picture");
    const CoverPicture blue = coverPicture("blue picture");
    const std::optional<CoverPicture> none;
    struct Case {
        const char* what;
        QList<std::optional<CoverPicture>> covers;
        std::optional<CoverPicture> shown;
        bool differ;
    } cases[] = {
        { "no file has one", { none, none, none }, none, false },
        { "all the same", { red, red, red }, red, false },
        { "one without", { red, red, none }, none, true },
        { "the first without", { none, red, red }, none, true },
        { "one other", { red, blue, red }, none, true },
    };
    for (const Case& c : cases) {
        CommonTags common;
        common.add(texts("One", "Same"), c.covers[0]);
        common.add(texts("Two", "Same"), c.covers[1]);
        common.add(texts("One", "Same"), c.covers[2]);
        EXPECT_EQ(common.count(), 3) << c.what;
        EXPECT_EQ(common.coversDiffer(), c.differ) << c.what;
        EXPECT_EQ(common.cover().has_value(), c.shown.has_value()) << c.what;
        if (common.cover() && c.shown) {
            EXPECT_TRUE(samePicture(*common.cover(), *c.shown)) << c.what;
        }
        const TagTexts shown = common.texts();
        EXPECT_EQ(shown[size_t(FieldId::Title)], kDifferentValues) << c.what;
        EXPECT_EQ(shown[size_t(FieldId::Album)], "Same") << c.what;
        EXPECT_EQ(shown[size_t(FieldId::Artist)], "") << c.what;
    }
    CommonTags one;
    one.add(texts("Only", ""), red);
    EXPECT_EQ(one.texts()[size_t(FieldId::Title)], "Only");
    EXPECT_FALSE(one.coversDiffer());
}

QString titled(const QTemporaryDir& dir, const QString& name, const QString& title, const QString& album)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(Mp3Builder::writePlainMp3(path, 20));
    ID3V2Tag tag;
    tag.setFileName(path);
    tag.setTitle(title);
    tag.setAlbum(album);
    EXPECT_TRUE(tag.update());
    return path;
}

TEST(ManyFilesReader, OnlyTheNewestReadIsReportedAndAStopReportsNothing)
{
    QTemporaryDir dir;
    const QStringList first { titled(dir, "a.mp3", "A", "Album"), titled(dir, "b.mp3", "B", "Album") };
    const QStringList second { titled(dir, "c.mp3", "C", "Other"), titled(dir, "d.mp3", "C", "Else"),
        dir.filePath("gone.mp3") };
    const QByteArray before = Mp3Builder::readFile(second[0]);

    ManyFilesReader reader;
    QList<CommonTags> reported;
    QEventLoop loop;
    QObject::connect(&reader, &ManyFilesReader::finished, &loop, [&](const CommonTags& common) {
        reported << common;
        loop.quit();
    });
    // The first read ends, and its report waits for the event loop.
    reader.start(first, Options {});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    reader.start(second, Options {});
    EXPECT_TRUE(reader.reading());
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    // The first read's report, already waiting, is never delivered.
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_EQ(reported.size(), 1);
    EXPECT_FALSE(reader.reading());
    EXPECT_EQ(reported[0].count(), 3);
    // The missing file counts as one without tags.
    EXPECT_EQ(reported[0].texts()[size_t(FieldId::Title)], kDifferentValues);
    EXPECT_EQ(reported[0].texts()[size_t(FieldId::Album)], kDifferentValues);
    EXPECT_EQ(Mp3Builder::readFile(second[0]), before); // reading writes nothing

    reported.clear();
    reader.start(first, Options {});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    reader.stop();
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_FALSE(reader.reading());
}

} // namespace
