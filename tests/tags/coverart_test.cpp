// Pictures through AudioTag in every format: what is set is what mutagen
// reads back (bytes, type, MIME type, FLAC sizes), every other item and the
// audio stay as they were, an MP3 picture left alone keeps its frame bytes,
// a refused picture leaves the file untouched, and undo brings the old
// pictures back.
#include "tags/audiotag.h"

#include "support/filestate.h"
#include "support/tagfiles.h"
#include "tags/encodedfiles.h"
#include "tags/imageheader.h"
#include "tags/tagsnapshot.h"

#include <QCryptographicHash>
#include <QJsonArray>

#include <gtest/gtest.h>

// Readable failures for mutagen's answers.
void PrintTo(const QJsonArray& a, std::ostream* os)
{
    *os << QJsonDocument(a).toJson(QJsonDocument::Compact).toStdString();
}

void PrintTo(const QJsonValue& v, std::ostream* os)
{
    PrintTo(QJsonArray { v }, os);
}

namespace E = EncodedFiles;
namespace B = Id3Builder;
using E::Kind;

namespace {

// Every picture mutagen finds, and every other item: MP3 APIC/PIC frames as
// [id, encoding, MIME, type, description, digest]; FLAC and Ogg pictures as
// [type, MIME, description, width, height, depth, digest]; MP4 covers as
// [format, digest].
constexpr const char* kPicturesScript = R"(
import base64, hashlib, json, sys
import mutagen
from mutagen.flac import FLAC, Picture
from mutagen.id3 import ID3
from mutagen.mp4 import MP4

def digest(d):
    return hashlib.sha1(bytes(d)).hexdigest()

def flac(p):
    return [p.type, p.mime, p.desc, p.width, p.height, p.depth, digest(p.data)]

path = sys.argv[1]
out = {}
if path.endswith(".mp3"):
    t = ID3(path, translate=False)
    out["version"] = t.version[1]
    pics = [f for f in t.values() if f.FrameID in ("APIC", "PIC")]
    out["pictures"] = [[f.FrameID, int(f.encoding), f.mime, int(f.type), f.desc, digest(f.data)] for f in pics]
    out["other"] = sorted(repr(f) for f in t.values() if f.FrameID not in ("APIC", "PIC"))
else:
    f = mutagen.File(path)
    if isinstance(f, FLAC):
        out["pictures"] = [flac(p) for p in f.pictures]
    elif isinstance(f, MP4):
        out["pictures"] = [[int(c.imageformat), digest(c)] for c in f.tags.get("covr", [])]
    else:
        blocks = f.tags.get("METADATA_BLOCK_PICTURE", [])
        out["pictures"] = [flac(Picture(base64.b64decode(b))) for b in blocks]
print(json.dumps(out, ensure_ascii=False))
)";

QJsonObject pictures(const QString& path)
{
    return QJsonDocument::fromJson(E::run("/usr/bin/python3", { "-c", kPicturesScript, path })).object();
}

// The items of a FLAC, Ogg or MP4 file other than its pictures, as mutagen reads them.
QJsonObject otherItems(const QString& path)
{
    QJsonObject o = E::dump(path);
    for (const char* key : { "pictures", "comment:METADATA_BLOCK_PICTURE", "item:covr" })
        o.remove(key);
    return o;
}

QString digest(const QByteArray& data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

class CoverArt : public ::testing::Test {
protected:
    // An image made by ffmpeg; name's suffix gives its kind.
    QByteArray image(const QString& name, const QString& size, const QString& pixels = QString())
    {
        const QString path = dir.filePath(name);
        QStringList args { "-v", "error", "-y", "-f", "lavfi", "-i", "color=red:size=" + size, "-frames:v", "1" };
        if (!pixels.isEmpty())
            args << "-pix_fmt" << pixels;
        E::run("ffmpeg", args << path);
        return TagTestFiles::read(path);
    }

    QTemporaryDir dir;
};

TEST_F(CoverArt, ImageHeadersGiveKindSizeAndDepth)
{
    const struct {
        const char* name;
        const char* pixels;
        const char* mime;
        int width, height, depth;
    } cases[] = {
        { "rgb.png", "", "image/png", 16, 8, 24 },
        { "rgba.png", "rgba", "image/png", 6, 4, 32 },
        { "grey.png", "gray", "image/png", 4, 2, 8 },
        { "palette.png", "pal8", "image/png", 8, 6, 24 },
        { "deep.png", "rgb48be", "image/png", 2, 2, 48 },
        { "colour.jpg", "", "image/jpeg", 32, 24, 24 },
        { "plain.gif", "", "image/gif", 12, 10, 24 },
        { "plain.bmp", "bgr24", "image/bmp", 6, 4, 24 },
    };
    for (const auto& c : cases) {
        const QByteArray bytes
            = image(c.name, QStringLiteral("%1x%2").arg(c.width).arg(c.height), QString::fromLatin1(c.pixels));
        const ImageHeader h = readImageHeader(bytes);
        EXPECT_EQ(h.mimeType, c.mime) << c.name;
        EXPECT_EQ(h.width, c.width) << c.name;
        EXPECT_EQ(h.height, c.height) << c.name;
        EXPECT_EQ(h.depth, c.depth) << c.name;
        // Cut short: the kind still shows (a BMP file header is 14 bytes), the sizes do not.
        const ImageHeader cut = readImageHeader(bytes.left(14));
        EXPECT_EQ(cut.mimeType, c.mime) << c.name;
        EXPECT_EQ(cut.width, QByteArray(c.mime) == "image/gif" ? c.width : 0) << c.name;
        EXPECT_EQ(readImageHeader(bytes.left(9)).width, 0) << c.name;
    }
    EXPECT_EQ(readImageHeader("ID3\x03\0\0\0\0\0\0").mimeType, "");
    EXPECT_EQ(readImageHeader(QByteArray(40, '\0')).mimeType, "");
}

TEST_F(CoverArt, TagLibFormatsTakeAddedReplacedAndRemovedPictures)
{
    const QByteArray jpeg = image("back.jpg", "32x24");
    const QByteArray gif = image("inner.gif", "12x10");
    for (const Kind kind : { Kind::Flac, Kind::Vorbis, Kind::Opus, Kind::AacFaststart }) {
        SCOPED_TRACE(E::kindName(kind));
        const bool mp4 = E::isMp4(kind);
        const QString path = E::make(dir, kind);
        const QByteArray cover = TagTestFiles::read(dir.filePath("cover.png"));
        const QJsonObject items = otherItems(path);
        const QByteArray audio = E::audioMd5(path);
        TagSnapshot original;
        ASSERT_TRUE(readTagSnapshot(path, &original));

        AudioTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        QList<CoverPicture> list = tag.pictures();
        const qsizetype held = list.size(); // oggenc adds no picture
        if (held == 0)
            list << coverPicture(cover);
        ASSERT_EQ(list.size(), 1);
        EXPECT_EQ(list[0].data, cover); // extraction: the bytes as stored
        EXPECT_EQ(list[0].mimeType, "image/png");
        EXPECT_EQ(list[0].type, kFrontCoverType);
        EXPECT_EQ(list[0].width, 16);

        // Added: a back cover and an inside picture after the front cover.
        list << coverPicture(jpeg, 4, QStringLiteral("Back \u00e9\u4e2d")) << coverPicture(gif, 8);
        ASSERT_TRUE(tag.setPictures(list));
        ASSERT_TRUE(tag.update()) << qPrintable(tag.lastWriteError().description);
        QJsonArray got = pictures(path)["pictures"].toArray();
        ASSERT_EQ(got.size(), 3);
        if (mp4) {
            EXPECT_EQ(got[0].toArray(), QJsonArray({ 14, digest(cover) }));
            EXPECT_EQ(got[1].toArray(), QJsonArray({ 13, digest(jpeg) }));
            // mutagen reads every cover but a PNG one as JPEG: the GIF's format from its data atom.
            EXPECT_EQ(got[2].toArray().last(), digest(gif));
            const QByteArray bytes = TagTestFiles::read(path);
            EXPECT_EQ(bytes.mid(bytes.indexOf(gif) - 8, 8), QByteArray("\0\0\0\x0C\0\0\0\0", 8));
        } else {
            EXPECT_EQ(got[0].toArray()[6], digest(cover));
            EXPECT_EQ(got[1].toArray(), QJsonArray({ 4, "image/jpeg", "Back \u00e9\u4e2d", 32, 24, 24, digest(jpeg) }));
            EXPECT_EQ(got[2].toArray(), QJsonArray({ 8, "image/gif", "", 12, 10, 24, digest(gif) }));
        }
        EXPECT_EQ(otherItems(path), items);
        EXPECT_EQ(E::audioMd5(path), audio);
        TagSnapshot added;
        ASSERT_TRUE(readTagSnapshot(path, &added));

        // Read back: the same bytes; MP4 covers are front covers without a description.
        AudioTag back;
        ASSERT_TRUE(back.setFileName(path).ok());
        const QList<CoverPicture> read = back.pictures();
        ASSERT_EQ(read.size(), 3);
        EXPECT_EQ(read[1].data, jpeg);
        EXPECT_EQ(read[1].type, mp4 ? kFrontCoverType : 4);
        EXPECT_EQ(read[1].description, mp4 ? "" : "Back \u00e9\u4e2d");
        EXPECT_EQ(read[2].mimeType, "image/gif");
        // An unchanged list writes nothing.
        const FileState kept = FileState::of(path);
        ASSERT_TRUE(back.setPictures(read));
        ASSERT_TRUE(back.update());
        EXPECT_EQ(FileState::of(path), kept);

        // Replaced by the JPEG alone, then removed.
        ASSERT_TRUE(back.setPictures({ coverPicture(jpeg) }));
        ASSERT_TRUE(back.update()) << qPrintable(back.lastWriteError().description);
        got = pictures(path)["pictures"].toArray();
        ASSERT_EQ(got.size(), 1);
        EXPECT_EQ(got[0].toArray().last(), digest(jpeg));
        ASSERT_TRUE(back.setPictures({}));
        ASSERT_TRUE(back.update()) << qPrintable(back.lastWriteError().description);
        EXPECT_EQ(pictures(path)["pictures"].toArray(), QJsonArray());
        EXPECT_TRUE(back.frontCover() == std::nullopt);
        EXPECT_EQ(otherItems(path), items);
        EXPECT_EQ(E::audioMd5(path), audio);

        // Undo: the three pictures, then the one the file came with.
        TagSnapshot now;
        ASSERT_TRUE(readTagSnapshot(path, &now));
        ASSERT_TRUE(restoreTagSnapshot(path, now, added));
        ASSERT_TRUE(readTagSnapshot(path, &now));
        ASSERT_TRUE(restoreTagSnapshot(path, now, original));
        AudioTag undone;
        ASSERT_TRUE(undone.setFileName(path).ok());
        ASSERT_EQ(undone.pictures().size(), held);
        if (held) {
            EXPECT_EQ(undone.pictures()[0].data, cover);
        }
        EXPECT_EQ(otherItems(path), items);
    }
}

TEST_F(CoverArt, Mp3PicturesAreApicFramesAndUnchangedOnesKeepTheirBytes)
{
    const QByteArray png = image("front.png", "16x8");
    const QByteArray jpeg = image("back.jpg", "32x24");
    const QByteArray audio = TagTestFiles::audio();
    const struct {
        int version;
        const char* id;
        int wideEncoding; // a description beyond Latin-1
    } cases[] = { { 2, "PIC", 1 }, { 3, "APIC", 1 }, { 4, "APIC", 3 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        const auto body = [&](const QByteArray& mime, char type, const QString& text, B::Enc enc,
                              const QByteArray& data) {
            const QByteArray format = c.version == 2 ? mime.right(3).toUpper().replace("PEG", "JPG") : mime + '\0';
            return B::frame(
                c.version, c.id, char(enc) + format + type + B::encode(text, enc) + B::terminator(enc) + data);
        };
        // Stored as Velmora would not write it (UTF-16 for Latin-1 text, before
        // the title): a frame written anew would show.
        const QByteArray oldFrame = body("image/png", 3, "front", B::Enc::Utf16, png);
        const QByteArray title = B::frame(c.version, c.version == 2 ? "TT2" : "TIT2", B::textBody("Title"));
        const QByteArray before = B::tag(c.version, { oldFrame, title }, 64) + audio;
        const QString path = TagTestFiles::write(dir, QStringLiteral("v%1.mp3").arg(c.version), before);
        const QJsonObject original = pictures(path);
        TagSnapshot snapshot;
        ASSERT_TRUE(readTagSnapshot(path, &snapshot));

        AudioTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        QList<CoverPicture> list = tag.pictures();
        ASSERT_EQ(list.size(), 1);
        EXPECT_EQ(list[0].data, png);
        EXPECT_EQ(list[0].mimeType, "image/png");
        EXPECT_EQ(list[0].description, "front");
        EXPECT_EQ(list[0].width, 16);

        // The same list again writes nothing.
        ASSERT_TRUE(tag.setPictures(list));
        ASSERT_TRUE(tag.update());
        EXPECT_EQ(TagTestFiles::read(path), before);

        // Two added, in Latin-1 and beyond: the old frame keeps its bytes.
        list << coverPicture(jpeg, 4, QStringLiteral("R\u00fcckseite")) << coverPicture(png, 8, "\u4e2d");
        ASSERT_TRUE(tag.setPictures(list));
        ASSERT_TRUE(tag.update()) << qPrintable(tag.lastWriteError().description);
        const QByteArray after = TagTestFiles::read(path);
        EXPECT_TRUE(after.contains(oldFrame));
        EXPECT_TRUE(TagTestFiles::audioIntact(path, audio));
        const QJsonObject got = pictures(path);
        EXPECT_EQ(got["version"].toInt(), c.version);
        EXPECT_EQ(got["other"], original["other"]);
        const QJsonArray frames = got["pictures"].toArray();
        ASSERT_EQ(frames.size(), 3);
        EXPECT_EQ(frames[0], original["pictures"].toArray()[0]);
        // mutagen names 2.2 frames APIC too: the frames' own bytes show the rest.
        EXPECT_EQ(frames[1].toArray(),
            QJsonArray({ "APIC", 0, c.version == 2 ? "JPG" : "image/jpeg", 4, "R\u00fcckseite", digest(jpeg) }));
        EXPECT_EQ(frames[2].toArray(),
            QJsonArray({ "APIC", c.wideEncoding, c.version == 2 ? "PNG" : "image/png", 8, "\u4e2d", digest(png) }));
        EXPECT_TRUE(after.contains(body("image/jpeg", 4, QStringLiteral("R\u00fcckseite"), B::Enc::Latin1, jpeg)));
        EXPECT_TRUE(after.contains(body("image/png", 8, "\u4e2d", B::Enc(c.wideEncoding), png)));

        // The first removed: the others read as they were set.
        AudioTag back;
        ASSERT_TRUE(back.setFileName(path).ok());
        ASSERT_EQ(back.pictures().size(), 3);
        EXPECT_EQ(back.pictures()[1].data, jpeg);
        EXPECT_EQ(back.frontCover()->description, "front");
        ASSERT_TRUE(back.setPictures(back.pictures().mid(1)));
        ASSERT_TRUE(back.update()) << qPrintable(back.lastWriteError().description);
        EXPECT_FALSE(TagTestFiles::read(path).contains(oldFrame));
        const QJsonArray left = pictures(path)["pictures"].toArray();
        ASSERT_EQ(left.size(), 2);
        EXPECT_EQ(left[0], frames[1]);
        EXPECT_EQ(left[1], frames[2]);
        EXPECT_EQ(back.frontCover()->description, QStringLiteral("R\u00fcckseite")); // no front cover: the first

        // Undo gives back the whole tag as it was.
        TagSnapshot now;
        ASSERT_TRUE(readTagSnapshot(path, &now));
        ASSERT_TRUE(restoreTagSnapshot(path, now, snapshot));
        EXPECT_EQ(TagTestFiles::read(path), before);
    }
}

TEST_F(CoverArt, RefusedPicturesLeaveTheFileAsItWas)
{
    const QByteArray png = image("front.png", "16x8");
    // PNG readers stop at IEND: padding makes a valid image of any size.
    auto pngOf = [&](qint64 size) { return png + QByteArray(size - png.size(), '\0'); };
    const QString mp3 = TagTestFiles::write(
        dir, "plain.mp3", B::tag(3, { B::frame(3, "TIT2", B::textBody("Title")) }, 32) + TagTestFiles::audio());
    const struct {
        const char* name;
        QString path;
        QByteArray data;
        int error;
        const char* reason;
        int copies = 1;
    } cases[] = {
        { "text", mp3, "not a picture", ErrorNo::WrongType, "no JPEG, PNG, GIF or BMP image" },
        { "mp3 over 16 MB", mp3, pngOf(kMaxPictureBytes + 1), ErrorNo::Overflow, "larger than 16 MB" },
        { "mp3 over 256 MB", mp3, pngOf(kMaxPictureBytes), ErrorNo::Overflow, "256 MB an ID3v2 tag", 17 },
        { "flac text", E::make(dir, Kind::Flac, "a"), QByteArray("\xFF\xD8\x00", 3), ErrorNo::WrongType, "no JPEG" },
        { "flac block", E::make(dir, Kind::Flac, "b"), pngOf(kMaxPictureBytes - 8), ErrorNo::Overflow,
            "16 MB a FLAC metadata block" },
        { "ogg over 16 MB", E::make(dir, Kind::Vorbis), pngOf(kMaxPictureBytes + 1), ErrorNo::Overflow, "16 MB" },
        { "mp4 text", E::make(dir, Kind::AacFaststart), "GIF88a", ErrorNo::WrongType, "no JPEG" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FileState before = FileState::of(c.path);
        AudioTag tag;
        ASSERT_TRUE(tag.setFileName(c.path).ok());
        const QList<CoverPicture> held = tag.pictures();
        EXPECT_FALSE(tag.setPictures(QList<CoverPicture>(c.copies, coverPicture(c.data)) << coverPicture(png)));
        EXPECT_EQ(tag.lastWriteError().number, c.error);
        EXPECT_TRUE(tag.lastWriteError().description.contains(QLatin1String(c.reason)))
            << qPrintable(tag.lastWriteError().description);
        EXPECT_EQ(tag.pictures(), held);
        EXPECT_TRUE(tag.update());
        EXPECT_TRUE(tag.lastWriteError().ok());
        EXPECT_EQ(FileState::of(c.path), before);
    }
}

} // namespace
