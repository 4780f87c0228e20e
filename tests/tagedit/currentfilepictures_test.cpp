// The main window's file saves the picture list the cover pane hands over:
// added, replaced and removed pictures are what mutagen reads back, every
// other item and the decoded audio stay the same, an unchanged list and a
// refused one write nothing, and the save can be undone.
#include "tagedit/coveredits.h"
#include "tagedit/currentfile.h"
#include "tagedit/tagjournal.h"

#include "platform/fakes/scriptedprompter.h"
#include "platform/localfilesystem.h"
#include "settings/options.h"
#include "support/filestate.h"
#include "support/qttesthelpers.h"
#include "tags/encodedfiles.h"

#include <QCryptographicHash>
#include <QJsonArray>

#include <gtest/gtest.h>

namespace E = EncodedFiles;

// Readable failures for mutagen's answers.
void PrintTo(const QJsonArray& a, std::ostream* os)
{
    *os << QJsonDocument(a).toJson(QJsonDocument::Compact).toStdString();
}

namespace {

// [type, MIME, description, SHA-1] of every picture, and every other item
// (TagLib writes comments grouped by key).
constexpr const char* kPicturesScript = R"(
import hashlib, json, sys
from mutagen.flac import FLAC
from mutagen.id3 import ID3
path = sys.argv[1]
if path.endswith(".mp3"):
    t = ID3(path, translate=False, load_v1=False)
    pics = [(int(f.type), f.mime, f.desc, f.data) for f in t.values() if f.FrameID == "APIC"]
    other = sorted(repr(f) for f in t.values() if f.FrameID != "APIC")
else:
    f = FLAC(path)
    pics = [(p.type, p.mime, p.desc, p.data) for p in f.pictures]
    other = sorted(f.tags, key=lambda item: item[0])  # grouped by key, values in order
print(json.dumps({"pictures": [[t, m, d, hashlib.sha1(b).hexdigest()] for t, m, d, b in pics], "other": other}))
)";

QJsonObject mutagenView(const QString& path)
{
    return QJsonDocument::fromJson(E::run("/usr/bin/python3", { "-c", kPicturesScript, path })).object();
}

QJsonArray described(int type, const char* mime, const QString& description, const QByteArray& data)
{
    return { type, mime, description,
        QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex()) };
}

QByteArray image(const QTemporaryDir& dir, const QString& name, const QString& colourAndSize)
{
    const QString path = dir.filePath(name);
    E::run("ffmpeg", { "-v", "error", "-y", "-f", "lavfi", "-i", "color=" + colourAndSize, "-frames:v", "1", path });
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(CurrentFilePictures, SaveWritesThePendingListKeepingEverythingElseAndCanBeUndone)
{
    for (const bool mp3 : { true, false }) {
        SCOPED_TRACE(mp3 ? "mp3" : "flac");
        QTemporaryDir dir;
        // Both start with the red front cover the FLAC file is made with.
        QString path = E::make(dir, E::Kind::Flac);
        if (mp3) {
            path = dir.filePath("song.mp3");
            E::run("ffmpeg",
                { "-v", "error", "-y", "-i", dir.filePath("source.wav"), "-i", dir.filePath("cover.png"), "-map", "0:a",
                    "-map", "1:v", "-c:a", "libmp3lame", "-c:v", "copy", "-id3v2_version", "3", "-metadata",
                    "title=Song", "-metadata:s:v", "comment=Cover (front)", path });
        }
        const QByteArray red = image(dir, "cover.png", "red:size=16x8");
        const QByteArray front = image(dir, "front.png", "blue:size=20x10");
        const QByteArray back = image(dir, "back.jpg", "green:size=32x24");
        LocalFileSystem files;
        ScriptedPrompter prompter;
        Options options;
        CurrentFile file(files, &prompter, options);
        const QString journal = dir.filePath("undo/TagSave-Undo.journal");
        file.setJournal(journal);
        ASSERT_TRUE(file.load(path).ok());
        ASSERT_EQ(file.pictures().size(), 1);
        EXPECT_EQ(file.pictures()[0].data, red);
        const QJsonObject original = mutagenView(path);
        const QByteArray audio = E::audioMd5(path);

        // A back cover added, the front cover replaced in its place.
        const QList<CoverPicture> both = withCover(
            withCover(file.pictures(), coverPicture(back, 4, QStringLiteral("B\u00e4ck"))), coverPicture(front));
        file.setPendingPictures(both);
        EXPECT_TRUE(file.picturesChanged());
        EXPECT_EQ(file.shownPictures(), both);
        const CurrentFile::Result added = file.save(file.texts());
        ASSERT_TRUE(added.ok()) << qPrintable(added.error.description);
        const QJsonArray twoPictures { described(3, "image/png", "", front),
            described(4, "image/jpeg", QStringLiteral("B\u00e4ck"), back) };
        QJsonObject got = mutagenView(path);
        EXPECT_EQ(got["pictures"].toArray(), twoPictures);
        EXPECT_EQ(got["other"].toArray(), original["other"].toArray());
        EXPECT_EQ(E::audioMd5(path), audio);
        ASSERT_EQ(file.pictures().size(), 2); // read back; nothing pending
        EXPECT_FALSE(file.picturesChanged());

        // The front cover removed, then the removal undone.
        file.setPendingPictures(file.pictures().mid(1));
        ASSERT_TRUE(file.save(file.texts()).ok());
        EXPECT_EQ(mutagenView(path)["pictures"].toArray(), QJsonArray { twoPictures[1] });
        EXPECT_EQ(E::audioMd5(path), audio);
        EXPECT_EQ(undoTagJournal(journal).restored, QStringList { path });
        got = mutagenView(path);
        EXPECT_EQ(got["pictures"].toArray(), twoPictures);
        EXPECT_EQ(got["other"].toArray(), original["other"].toArray());

        // The front cover replaced by another of the same list's length.
        ASSERT_TRUE(file.reloadUnchanged().ok());
        file.setPendingPictures(withCover(file.pictures(), coverPicture(red)));
        ASSERT_TRUE(file.save(file.texts()).ok());
        EXPECT_EQ(mutagenView(path)["pictures"].toArray(),
            QJsonArray({ described(3, "image/png", "", red), twoPictures[1] }));

        // The same list again is no change; a refused one writes nothing,
        // says why, and stays pending until the file is read again.
        ASSERT_EQ(file.pictures().size(), 2);
        file.setPendingPictures(file.pictures());
        EXPECT_FALSE(file.picturesChanged());
        const FileState before = FileState::of(path);
        if (!mp3) {
            ASSERT_TRUE(file.save(file.texts()).ok());
            EXPECT_EQ(FileState::of(path), before);
        }
        file.setPendingPictures(QList<CoverPicture>(file.pictures()) << coverPicture("no image at all"));
        const CurrentFile::Result refused = file.save(file.texts());
        EXPECT_FALSE(refused.ok());
        EXPECT_EQ(refused.error.number, ErrorNo::WrongType);
        EXPECT_TRUE(refused.error.description.contains(QStringLiteral("no JPEG, PNG, GIF or BMP image")))
            << qPrintable(refused.error.description);
        EXPECT_EQ(FileState::of(path), before);
        EXPECT_TRUE(file.picturesChanged());
        ASSERT_TRUE(file.reloadUnchanged().ok());
        EXPECT_FALSE(file.picturesChanged());
        EXPECT_EQ(file.shownPictures(), file.pictures());
    }
}
