// Shrinking covers and telling pictures Qt cannot read, checked with ffmpeg:
// a shrunk cover is a baseline JPEG whose larger side is the limit, flat on
// white where it was transparent; small pictures are left alone.
#include "coverimage/coverimage.h"

#include "tags/encodedfiles.h"
#include "tags/imageheader.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace E = EncodedFiles;

namespace {

class CoverImage : public ::testing::Test {
protected:
    // An image made by ffmpeg from a lavfi source; the name's suffix gives its kind.
    QByteArray image(const QString& name, const QString& source)
    {
        E::run("ffmpeg", { "-v", "error", "-y", "-f", "lavfi", "-i", source, "-frames:v", "1", dir.filePath(name) });
        return bytes(name);
    }
    QByteArray bytes(const QString& name)
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString saved(const QByteArray& data)
    {
        const QString path = dir.filePath(QStringLiteral("out%1.jpg").arg(++m_saved));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return path;
    }

    QTemporaryDir dir;

private:
    int m_saved = 0;
};

TEST_F(CoverImage, LargePicturesShrinkToBaselineJpegsOfTheLimitAndSmallOnesStay)
{
    const struct {
        const char* name;
        const char* source;
        int limit;
        int width, height; // 0: left alone
        bool transparent = false;
    } cases[] = {
        { "wide.png", "testsrc=size=1000x400", 500, 500, 200 },
        { "tall.jpg", "testsrc=size=300x900", 500, 167, 500 },
        { "square.bmp", "testsrc=size=640x640", 300, 300, 300 },
        { "clear.png", "color=c=black@0.0:s=800x600,format=rgba", 400, 400, 300, true },
        { "line.gif", "testsrc=size=2000x2", 500, 500, 1 },
        { "small.jpg", "testsrc=size=400x300", 500, 0, 0 },
        { "exact.png", "testsrc=size=500x120", 500, 0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CoverPicture picture = coverPicture(image(c.name, c.source), 4, QStringLiteral("Back \u00e9"));
        const std::optional<CoverPicture> shrunk = shrunkCover(picture, c.limit, 85);
        if (c.width == 0) {
            EXPECT_FALSE(shrunk.has_value());
            continue;
        }
        ASSERT_TRUE(shrunk.has_value());
        EXPECT_EQ(shrunk->type, 4);
        EXPECT_EQ(shrunk->description, QStringLiteral("Back \u00e9"));
        EXPECT_EQ(shrunk->mimeType, "image/jpeg");
        EXPECT_EQ(shrunk->width, c.width);
        EXPECT_EQ(shrunk->height, c.height);
        EXPECT_EQ(readImageHeader(shrunk->data).jpegFrame, 0xC0);
        const QString path = saved(shrunk->data);
        const QByteArray probe = E::run("ffprobe",
            { "-v", "error", "-show_entries", "stream=codec_name,profile,width,height", "-of", "csv=p=0", path });
        EXPECT_EQ(probe.trimmed(), QStringLiteral("mjpeg,Baseline,%1,%2").arg(c.width).arg(c.height).toUtf8());
        if (c.transparent) {
            const QByteArray rgb
                = E::run("ffmpeg", { "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-" });
            ASSERT_EQ(rgb.size(), c.width * c.height * 3);
            EXPECT_GE(uchar(rgb[rgb.size() / 2]), 250) << "see-through parts are white";
        }
    }
    // The frame marker read tells a progressive JPEG (as ffprobe does) from a baseline one.
    QImage grey(64, 48, QImage::Format_RGB32);
    grey.fill(Qt::gray);
    QImageWriter progressive(dir.filePath("progressive.jpg"), "jpeg");
    progressive.setProgressiveScanWrite(true);
    ASSERT_TRUE(progressive.write(grey));
    EXPECT_EQ(readImageHeader(bytes("progressive.jpg")).jpegFrame, 0xC2);
    EXPECT_EQ(
        E::run("ffprobe",
            { "-v", "error", "-show_entries", "stream=profile", "-of", "csv=p=0", dir.filePath("progressive.jpg") })
            .trimmed(),
        "Progressive");

    // Quality is the encoder's: lower gives fewer bytes.
    const CoverPicture big = coverPicture(image("big.png", "testsrc=size=900x900"));
    EXPECT_LT(shrunkCover(big, 600, 30)->data.size(), shrunkCover(big, 600, 95)->data.size());
}

TEST_F(CoverImage, ImageRefusalSaysWhyQtCannotReadThePicture)
{
    const QByteArray png = image("ok.png", "testsrc=size=64x48");
    const struct {
        const char* name;
        QByteArray data;
        int error;
        const char* reason;
    } cases[] = {
        { "png", png, ErrorNo::None, "" },
        { "jpeg", image("ok.jpg", "testsrc=size=64x48"), ErrorNo::None, "" },
        { "text", "not a picture", ErrorNo::WrongType, "cannot be read as an image: Unsupported image format" },
        { "png cut short", png.left(png.size() / 3), ErrorNo::WrongType, "cannot be read as an image" },
        { "over 16 MB", png + QByteArray(kMaxPictureBytes, '\0'), ErrorNo::Overflow, "larger than 16 MB" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FileError error = imageRefusal(c.data);
        EXPECT_EQ(error.number, c.error);
        EXPECT_TRUE(error.description.contains(QLatin1String(c.reason))) << qPrintable(error.description);
    }
}

} // namespace
