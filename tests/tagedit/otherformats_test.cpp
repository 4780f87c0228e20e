#include "tagedit/currentfile.h"
#include "tagedit/fileinforeport.h"
#include "tagedit/multitagwriter.h"

#include "platform/localfilesystem.h"
#include "settings/options.h"
#include "tags/audiotag.h"
#include "tags/encodedfiles.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace EncodedFiles;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What mutagen sees, without the given keys.
QJsonObject without(QJsonObject items, const QStringList& keys)
{
    for (const QString& key : keys)
        items.remove(key);
    return items;
}

QJsonArray texts(const QStringList& values)
{
    return QJsonArray::fromStringList(values);
}

struct Format {
    Kind kind;
    QString title, track, year; // the keys mutagen shows them under
};

const Format kFormats[] = {
    { Kind::Flac, "comment:TITLE", "comment:TRACKNUMBER", "comment:DATE" },
    { Kind::Vorbis, "comment:TITLE", "comment:TRACKNUMBER", "comment:DATE" },
    { Kind::Opus, "comment:TITLE", "comment:TRACKNUMBER", "comment:DATE" },
    { Kind::AacFaststart, QStringLiteral("item:\u00A9nam"), "item:trkn", QStringLiteral("item:\u00A9day") },
};

} // namespace

// The main window's file: the boxes show the tags, a save writes only what
// changed, a field the format cannot hold is refused untouched, Remove Tags
// empties the tag; no ID3v1 trailer is ever written and the audio is the same.
TEST(CurrentFileOtherFormats, ReadsSavesRefusesAndStripsKeepingEverythingElse)
{
    for (const Format& format : kFormats) {
        SCOPED_TRACE(kindName(format.kind));
        QTemporaryDir dir;
        LocalFileSystem files;
        Options options;
        CurrentFile file(files, nullptr, options);
        const QString path = make(dir, format.kind);
        const QJsonObject before = dump(path);
        const QByteArray audio = audioMd5(path);

        ASSERT_TRUE(file.load(path).ok());
        EXPECT_EQ(bytesOf(path).right(128).left(3) == "TAG", false);
        TagTexts boxes = file.texts();
        EXPECT_EQ(boxes[int(FieldId::Title)], QStringLiteral("Title \u00e9\u4e2d\u2603"));
        EXPECT_EQ(boxes[int(FieldId::Track)], QStringLiteral("03"));
        EXPECT_EQ(boxes[int(FieldId::Year)], QStringLiteral("2020"));

        boxes[int(FieldId::Title)] = QStringLiteral("New \u00fc Title");
        boxes[int(FieldId::Track)] = QStringLiteral("7");
        const CurrentFile::Result saved = file.save(boxes);
        ASSERT_TRUE(saved.ok()) << saved.error.description.toStdString();
        EXPECT_EQ(file.texts()[int(FieldId::Title)], QStringLiteral("New \u00fc Title"));
        const QJsonObject after = dump(path);
        EXPECT_EQ(after.value(format.title).toArray(), texts({ QStringLiteral("New \u00fc Title") }));
        if (isMp4(format.kind))
            EXPECT_EQ(after.value(format.track).toArray().at(0), QJsonArray({ 7, 12 }));
        else
            EXPECT_EQ(after.value(format.track).toArray(), texts({ "7" }));
        EXPECT_EQ(without(after, { format.title, format.track }), without(before, { format.title, format.track }));
        EXPECT_EQ(audioMd5(path), audio);
        EXPECT_FALSE(bytesOf(path).right(128).startsWith("TAG"));

        const QByteArray saved1 = bytesOf(path);
        boxes = file.texts();
        boxes[int(FieldId::UserURL)] = QStringLiteral("https://example.org/");
        const CurrentFile::Result refused = file.save(boxes);
        EXPECT_FALSE(refused.ok());
        EXPECT_TRUE(refused.error.description.contains("User URL")) << refused.error.description.toStdString();
        EXPECT_EQ(bytesOf(path), saved1);

        ASSERT_TRUE(file.stripTags().ok());
        const QJsonObject stripped = dump(path);
        for (auto it = stripped.begin(); it != stripped.end(); ++it)
            EXPECT_FALSE(it.key().startsWith("comment:") || it.key().startsWith("item:")) << it.key().toStdString();
        EXPECT_EQ(file.texts()[int(FieldId::Title)], QString());
        EXPECT_EQ(audioMd5(path), audio);
    }
}

// The MultiTagger's writer: included fields land in every format; a field
// a format cannot hold fails that file only, untouched.
TEST(MultiTagWriterOtherFormats, WritesIncludedFieldsAndRefusesUnheldOnes)
{
    QTemporaryDir dir;
    LocalFileSystem files;
    MultiTagWriter writer(files);
    MultiTagValues values;
    values.included[int(FieldId::Album)] = true;
    values.texts[int(FieldId::Album)] = QStringLiteral("Shared Album");
    values.included[int(FieldId::Year)] = true;
    values.texts[int(FieldId::Year)] = QStringLiteral("1999");
    MultiTagValues unheld;
    unheld.included[int(FieldId::UniqueKey)] = true;
    unheld.texts[int(FieldId::UniqueKey)] = QStringLiteral("KEY-1");

    for (const Format& format : kFormats) {
        SCOPED_TRACE(kindName(format.kind));
        const QString path = make(dir, format.kind);
        const QByteArray audio = audioMd5(path);
        const MultiTagWriter::Result r = writer.tagFile(path, values);
        ASSERT_TRUE(r.ok()) << r.error.description.toStdString();
        const QJsonObject after = dump(path);
        const QString album = isMp4(format.kind) ? QStringLiteral("item:\u00A9alb") : QStringLiteral("comment:ALBUM");
        EXPECT_EQ(after.value(album).toArray(), texts({ "Shared Album" }));
        EXPECT_EQ(after.value(format.year).toArray(), texts({ "1999" }));
        EXPECT_EQ(audioMd5(path), audio);

        const QByteArray written = bytesOf(path);
        EXPECT_FALSE(writer.tagFile(path, unheld).ok());
        EXPECT_EQ(bytesOf(path), written);
    }
}

// File Information gives each format's own audio facts.
TEST(FileInfoReportOtherFormats, ShowsTheAudioFactsOfEachFormat)
{
    QTemporaryDir dir;
    const std::pair<Kind, QStringList> cases[] = {
        { Kind::Flac, { "Format: FLAC", "Codec: FLAC", "Sample Rate: 44100", "Channels: 2", "Bits Per Sample: 16" } },
        { Kind::Vorbis, { "Format: Ogg Vorbis", "Codec: Vorbis", "Sample Rate: 44100", "Bits Per Sample: " } },
        { Kind::Opus, { "Format: Opus", "Codec: Opus", "Sample Rate: 48000", "Channels: 2" } },
        { Kind::Alac, { "Format: MP4", "Codec: ALAC", "Sample Rate: 44100", "Bits Per Sample: 16" } },
    };
    for (const auto& [kind, lines] : cases) {
        SCOPED_TRACE(kindName(kind));
        const QString path = make(dir, kind);
        AudioTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        const QStringList report = fileInfoReport(path, tag).split(QStringLiteral("\r\n"));
        for (const QString& line : lines)
            EXPECT_TRUE(report.contains(line)) << line.toStdString() << "\n" << report.join('\n').toStdString();
        EXPECT_TRUE(report.contains(QStringLiteral("Play Time: 00:00:02"))) << report.join('\n').toStdString();
    }
}

// The bytes decide, not the name: a FLAC file named .mp3 is read and saved
// as FLAC, and takes no ID3 tag or trailer.
TEST(CurrentFileOtherFormats, AFlacNamedMp3IsTaggedAsFlac)
{
    QTemporaryDir dir;
    LocalFileSystem files;
    Options options;
    CurrentFile file(files, nullptr, options);
    const QString flac = make(dir, Kind::Flac);
    const QString path = dir.filePath("misnamed.mp3");
    ASSERT_TRUE(QFile::rename(flac, path));
    ASSERT_TRUE(file.load(path).ok());
    EXPECT_EQ(file.tag().format(), AudioFormat::Flac);
    TagTexts boxes = file.texts();
    EXPECT_EQ(boxes[int(FieldId::Album)], QStringLiteral("The Album"));
    boxes[int(FieldId::Album)] = QStringLiteral("Other Album");
    ASSERT_TRUE(file.save(boxes).ok());
    // mutagen goes by the name here; metaflac reads the stream.
    EXPECT_EQ(run("metaflac", { "--show-tag=ALBUM", path }), "ALBUM=Other Album\n");
    EXPECT_TRUE(bytesOf(path).startsWith("fLaC"));
    EXPECT_FALSE(bytesOf(path).right(128).startsWith("TAG"));
}
