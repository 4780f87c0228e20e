// FLAC, Ogg Vorbis, Opus and MP4 tags through TagLibTag, on files the common
// encoders make: the values written are those mutagen reads back, every
// other item stays as it was, the decoded audio is identical, and a save
// that would lose anything leaves the file untouched.
#include "tags/taglibtag.h"

#include "support/filestate.h"
#include "tags/encodedfiles.h"
#include "tags/safefilewrite.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace E = EncodedFiles;
using E::Kind;

namespace {

const Kind kAllKinds[] = { Kind::Flac, Kind::FlacCue, Kind::Vorbis, Kind::Opus, Kind::AacFaststart, Kind::AacMoovLast,
    Kind::AacFragmented, Kind::Alac };

QJsonArray texts(const QStringList& values)
{
    return QJsonArray::fromStringList(values);
}

QStringList hiddenCopies(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList({ ".velmora-*" }, QDir::Files | QDir::Hidden);
}

void flipMiddleByte(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 at = f.size() / 2;
    f.seek(at);
    char c = 0;
    f.getChar(&c);
    f.seek(at);
    f.putChar(char(~c));
}

// A FLAC file with just these comments.
QString flacWith(const QTemporaryDir& dir, const QStringList& comments)
{
    const QString path = E::make(dir, Kind::Flac, "plain");
    QStringList args { "--remove-all-tags" };
    for (const QString& c : comments)
        args << "--set-tag=" + c;
    E::run("metaflac", args << path);
    return path;
}

} // namespace

TEST(OtherFormats, EveryKindReadsItsFieldsAndAudioFacts)
{
    const struct {
        Kind kind;
        const char* codec;
        int bits;
        const char* track;
        int lengthMs; // TagLib 1.13 reads no length from the fragments of a fragmented file
    } cases[] = {
        { Kind::Flac, "FLAC", 16, "03", 2000 },
        { Kind::FlacCue, "FLAC", 16, "03", 2000 },
        { Kind::Vorbis, "Vorbis", 0, "03", 2000 },
        { Kind::Opus, "Opus", 0, "03", 2000 },
        { Kind::AacFaststart, "AAC", 0, "3", 2000 },
        { Kind::AacMoovLast, "AAC", 0, "3", 2000 },
        { Kind::AacFragmented, "AAC", 0, "3", 0 },
        { Kind::Alac, "ALAC", 16, "3", 2000 },
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(E::kindName(c.kind));
        TagLibTag tag;
        ASSERT_TRUE(tag.setFileName(E::make(dir, c.kind)).ok());
        EXPECT_EQ(tag.fieldText(FieldId::Title), QString("Title \u00e9\u4e2d\u2603"));
        EXPECT_EQ(tag.fieldText(FieldId::Artist), QString("First Artist; Second Artist"));
        EXPECT_EQ(tag.fieldText(FieldId::Track), QString(c.track));
        EXPECT_EQ(tag.fieldText(FieldId::TotalTracks), QString("12"));
        EXPECT_EQ(tag.fieldText(FieldId::Year), QString("2020"));
        EXPECT_EQ(tag.audio().codec, QString(c.codec));
        EXPECT_EQ(tag.audio().sampleRate, c.kind == Kind::Opus ? 48000 : 44100);
        EXPECT_EQ(tag.audio().channels, 2);
        EXPECT_EQ(tag.audio().bitsPerSample, c.bits);
        EXPECT_NEAR(double(tag.audio().lengthMs), double(c.lengthMs), 60.0);
        EXPECT_GT(tag.audio().bitRate, 0);
    }
}

TEST(OtherFormats, AnEditWritesItsValuesAndKeepsEverythingElse)
{
    QTemporaryDir dir;
    for (Kind kind : kAllKinds) {
        SCOPED_TRACE(E::kindName(kind));
        const QString path = E::make(dir, kind);
        const QJsonObject before = E::dump(path);
        const QByteArray audio = E::audioMd5(path);
        TagLibTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        EXPECT_TRUE(tag.setFieldText(FieldId::Title, "New \u00fc\u2603 title"));
        EXPECT_TRUE(tag.setFieldText(FieldId::Artist, "One Artist"));
        EXPECT_TRUE(tag.setFieldText(FieldId::Track, "7"));
        EXPECT_TRUE(tag.setFieldText(FieldId::Year, "2021"));
        EXPECT_TRUE(tag.setFieldText(FieldId::Mood, "Calm"));
        ASSERT_TRUE(tag.update()) << qPrintable(tag.lastWriteError().description);

        QJsonObject expected = before;
        if (E::isMp4(kind)) {
            expected["item:\u00a9nam"] = texts({ "New \u00fc\u2603 title" });
            expected["item:\u00a9ART"] = texts({ "One Artist" });
            expected["item:trkn"] = QJsonArray { QJsonArray { 7, 12 } };
            expected["item:\u00a9day"] = texts({ "2021" });
            expected["item:----:com.apple.iTunes:MOOD"] = QJsonArray { QJsonArray { "text", "Calm" } };
        } else {
            expected["comment:TITLE"] = texts({ "New \u00fc\u2603 title" });
            expected["comment:ARTIST"] = texts({ "One Artist" });
            expected["comment:TRACKNUMBER"] = texts({ "7" });
            expected["comment:DATE"] = texts({ "2021" });
            expected["comment:MOOD"] = texts({ "Calm" });
        }
        EXPECT_EQ(E::dump(path), expected);
        EXPECT_EQ(E::audioMd5(path), audio);
        EXPECT_TRUE(hiddenCopies(dir).isEmpty());

        TagLibTag again;
        ASSERT_TRUE(again.setFileName(path).ok());
        EXPECT_EQ(again.fieldText(FieldId::Title), QString("New \u00fc\u2603 title"));
        EXPECT_EQ(again.fieldText(FieldId::Track), QString("7"));
    }
}

TEST(OtherFormats, AFieldSetToItsStoredValueIsNotWrittenAgain)
{
    QTemporaryDir dir;
    for (Kind kind : { Kind::Flac, Kind::Opus, Kind::AacFaststart }) {
        SCOPED_TRACE(E::kindName(kind));
        const QString path = E::make(dir, kind);
        const FileState untouched = FileState::of(path);
        const QJsonObject before = E::dump(path);
        TagLibTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        // "3" is the stored "03", "2020" the year of "2020-05-01".
        for (const auto& [field, text] : { std::pair { FieldId::Track, "3" }, { FieldId::Year, "2020" },
                 { FieldId::TotalTracks, "12" }, { FieldId::Artist, "First Artist; Second Artist" } })
            EXPECT_TRUE(tag.setFieldText(field, text));
        ASSERT_TRUE(tag.update());
        EXPECT_EQ(FileState::of(path), untouched);

        // Beside a real change they stay as stored too.
        ASSERT_TRUE(tag.setFieldText(FieldId::Track, "3"));
        ASSERT_TRUE(tag.setFieldText(FieldId::Album, "Other Album"));
        ASSERT_TRUE(tag.update()) << qPrintable(tag.lastWriteError().description);
        QJsonObject after = E::dump(path);
        const QString album = E::isMp4(kind) ? "item:\u00a9alb" : "comment:ALBUM";
        EXPECT_EQ(after.take(album), texts({ "Other Album" }));
        QJsonObject expected = before;
        expected.remove(album);
        EXPECT_EQ(after, expected);
    }
}

TEST(OtherFormats, CommentNamesFollowTheFieldTable)
{
    const struct {
        const char* name;
        QStringList comments;
        FieldId field;
        const char* read;
        const char* write;
        QStringList after; // the comments after the write, sorted by name
    } cases[] = {
        { "total_after_slash", { "TRACKNUMBER=5/12" }, FieldId::TotalTracks, "12", "14", { "TRACKNUMBER=5/14" } },
        { "track_keeps_slash_total", { "TRACKNUMBER=5/12" }, FieldId::Track, "5", "6", { "TRACKNUMBER=6/12" } },
        { "no_track_keeps_total", { "TRACKNUMBER=5/12" }, FieldId::Track, "5", "", { "TRACKTOTAL=12" } },
        { "totaltracks_read_and_kept", { "TRACKNUMBER=5", "TOTALTRACKS=9" }, FieldId::TotalTracks, "9", "10",
            { "TOTALTRACKS=10", "TRACKNUMBER=5" } },
        { "total_removed_everywhere", { "TRACKNUMBER=5/12", "TRACKTOTAL=12" }, FieldId::TotalTracks, "12", "",
            { "TRACKNUMBER=5" } },
        { "new_year_replaces_date", { "DATE=2020-05-01" }, FieldId::Year, "2020", "2021", { "DATE=2021" } },
        { "description_is_the_comment", { "DESCRIPTION=d" }, FieldId::Comments, "d", "e", { "DESCRIPTION=e" } },
        { "comment_before_description", { "COMMENT=c", "DESCRIPTION=d" }, FieldId::Comments, "c", "", QStringList {} },
        { "encoder_is_encoded_by", { "ENCODER=enc" }, FieldId::EncodedBy, "enc", "other", { "ENCODER=other" } },
        { "tempo_in_bpm", { "BPM=120" }, FieldId::Tempo, "120", "96", { "BPM=96" } },
        { "copyright", {}, FieldId::CopyRight, "", "(c) us", { "COPYRIGHT=(c) us" } },
        { "original_artist", {}, FieldId::OrigArtist, "", "Someone", { "ORIGINALARTIST=Someone" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = flacWith(dir, c.comments);
        TagLibTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        EXPECT_EQ(tag.fieldText(c.field), QString(c.read));
        ASSERT_TRUE(tag.setFieldText(c.field, c.write));
        ASSERT_TRUE(tag.update()) << qPrintable(tag.lastWriteError().description);
        QStringList after;
        const QJsonObject dump = E::dump(path);
        for (auto it = dump.begin(); it != dump.end(); ++it)
            if (it.key().startsWith("comment:"))
                for (const QJsonValue& v : it.value().toArray())
                    after << it.key().mid(8) + "=" + v.toString();
        EXPECT_EQ(after, c.after);
    }
}

TEST(OtherFormats, Mp4ItemsFollowTheFieldTable)
{
    QTemporaryDir dir;
    const QString path = E::make(dir, Kind::AacFaststart);
    const struct {
        FieldId field;
        const char* read;
        const char* write;
        const char* key;
        QJsonArray after;
    } cases[] = {
        { FieldId::Tempo, "128", "96", "item:tmpo", QJsonArray { 96 } },
        { FieldId::TotalTracks, "12", "", "item:trkn", QJsonArray { QJsonArray { 3, 0 } } },
        { FieldId::Comments, "A comment", "Another", "item:\u00a9cmt", texts({ "Another" }) },
        { FieldId::CopyRight, "", "(c) us", "item:cprt", texts({ "(c) us" }) },
        { FieldId::OrigArtist, "", "Someone", "item:----:com.apple.iTunes:ORIGINALARTIST",
            QJsonArray { QJsonArray { "text", "Someone" } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        TagLibTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        EXPECT_EQ(tag.fieldText(c.field), QString(c.read));
        ASSERT_TRUE(tag.setFieldText(c.field, c.write));
        ASSERT_TRUE(tag.update()) << qPrintable(tag.lastWriteError().description);
        EXPECT_EQ(E::dump(path).value(c.key).toArray(), c.after);
    }
}

TEST(OtherFormats, FieldsAFormatDoesNotHoldAreRefused)
{
    QTemporaryDir dir;
    for (Kind kind : { Kind::Flac, Kind::AacFaststart }) {
        const QString path = E::make(dir, kind);
        for (FieldId field : { FieldId::UniqueKey, FieldId::UserText, FieldId::UserURL }) {
            SCOPED_TRACE(QString("%1 %2").arg(E::kindName(kind)).arg(int(field)).toStdString());
            TagLibTag tag;
            ASSERT_TRUE(tag.setFileName(path).ok());
            EXPECT_FALSE(tag.holdsField(field));
            EXPECT_FALSE(tag.setFieldText(field, "x"));
            EXPECT_TRUE(tag.update());
        }
        TagLibTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        EXPECT_FALSE(tag.setFieldText(FieldId::Track, "seven")) << "a number field takes numbers only";
    }
}

TEST(OtherFormats, FreeFormItemsAreReadAndWritten)
{
    QTemporaryDir dir;
    const struct {
        Kind kind;
        const char* known;
        QStringList knownValues;
        const char* added;
        const char* dumpKey;
        QJsonArray dumped;
    } cases[] = {
        { Kind::Vorbis, "VELMORA_UNKNOWN", { "kept as it is" }, "NEW_KEY", "comment:NEW_KEY", texts({ "a", "b" }) },
        { Kind::Alac, "----:org.velmora:UNKNOWN", { "one", "two" }, "----:com.apple.iTunes:NEW_KEY",
            "item:----:com.apple.iTunes:NEW_KEY",
            QJsonArray { QJsonArray { "text", "a" }, QJsonArray { "text", "b" } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(E::kindName(c.kind));
        const QString path = E::make(dir, c.kind);
        TagLibTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        EXPECT_EQ(tag.itemValues(c.known), c.knownValues);
        EXPECT_TRUE(tag.itemKeys().contains(c.known));
        ASSERT_TRUE(tag.setItemValues(c.added, { "a", "b" }));
        ASSERT_TRUE(tag.update()) << qPrintable(tag.lastWriteError().description);
        EXPECT_EQ(E::dump(path).value(c.dumpKey).toArray(), c.dumped);
    }
    TagLibTag mp4;
    ASSERT_TRUE(mp4.setFileName(E::make(dir, Kind::AacFaststart)).ok());
    EXPECT_FALSE(mp4.setItemValues("----:org.velmora:BINARY", { "text" })) << "binary data are not text";
    EXPECT_FALSE(mp4.setItemValues("trkn", { "1" })) << "a number pair is no text";
    TagLibTag flac;
    ASSERT_TRUE(flac.setFileName(E::make(dir, Kind::Flac)).ok());
    EXPECT_FALSE(flac.setItemValues("BAD=NAME", { "x" }));
}

TEST(OtherFormats, ADamagedFileOrASpoiledCopyLeavesTheFileAsItWas)
{
    const auto truncate
        = [](const QString& path) { ASSERT_EQ(::truncate(qPrintable(path), QFileInfo(path).size() - 1000), 0); };
    // The copy's application block turned into padding: TagLib would have lost it.
    const auto dropApplication = [](const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const QByteArray bytes = f.read(1 << 16);
        qint64 pos = 4;
        for (;;) {
            const int type = uchar(bytes[pos]) & 0x7F;
            const qint64 length = (uchar(bytes[pos + 1]) << 16) | (uchar(bytes[pos + 2]) << 8) | uchar(bytes[pos + 3]);
            if (type == 2) {
                f.seek(pos);
                f.putChar(char((uchar(bytes[pos]) & 0x80) | 1));
                return;
            }
            ASSERT_FALSE(uchar(bytes[pos]) & 0x80) << "no application block";
            pos += 4 + length;
        }
    };
    // The copy's first chunk offset moved by a byte: the samples are where they were, the table is wrong.
    const auto moveChunk = [](const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const qint64 at = f.readAll().indexOf("stco");
        ASSERT_GT(at, 0);
        f.seek(at + 15);
        char c = 0;
        f.getChar(&c);
        f.seek(at + 15);
        f.putChar(char(c + 1));
    };
    const struct {
        const char* name;
        Kind kind;
        std::function<void(const QString&)> beforeLoad;
        std::function<void(const QString&)> copyHook;
        const char* cause; // in the refusal's text
    } cases[] = {
        { "truncated_ogg", Kind::Vorbis, truncate, {}, "damaged" },
        { "truncated_opus", Kind::Opus, truncate, {}, "damaged" },
        { "truncated_mp4", Kind::AacFaststart, truncate, {}, "damaged" },
        { "truncated_flac", Kind::Flac, truncate, {}, "damaged" },
        // The copy's frames fail their checksums before the digests are compared.
        { "spoiled_flac_audio", Kind::Flac, {}, flipMiddleByte, "damaged" },
        { "spoiled_ogg_audio", Kind::Vorbis, {}, flipMiddleByte, "damaged" },
        { "spoiled_mp4_audio", Kind::AacFaststart, {}, flipMiddleByte, "audio" },
        { "spoiled_fragmented_mp4_audio", Kind::AacFragmented, {}, flipMiddleByte, "audio" },
        { "lost_flac_block", Kind::FlacCue, {}, dropApplication, "metadata block" },
        { "moved_mp4_chunk", Kind::AacFaststart, {}, moveChunk, "audio" },
        // TagLib 1.13 writes an ID3v2.3 tag before a FLAC stream again as 2.4.
        { "id3v2_before_flac", Kind::Flac,
            [](const QString& path) {
                E::run("/usr/bin/python3",
                    { "-c",
                        "import sys, mutagen.id3 as m; t = m.ID3(); t.add(m.TIT2(encoding=3, text='x')); "
                        "t.save(sys.argv[1], v2_version=3)",
                        path });
            },
            {}, "ID3v2" },
        { "comment_changed_in_copy", Kind::Flac, {},
            [](const QString& copy) {
                E::run("metaflac", { "--remove-tag=ALBUM", copy });
            },
            "comments" },
        { "picture_changed_in_copy", Kind::Flac, {},
            [](const QString& copy) {
                E::run("metaflac", { "--remove", "--block-type=PICTURE", copy });
            },
            "pictures" },
        { "item_changed_in_copy", Kind::Alac, {},
            [](const QString& copy) {
                E::run("/usr/bin/python3",
                    { "-c", "import sys, mutagen; f = mutagen.File(sys.argv[1]); del f['disk']; f.save()", copy });
            },
            "MP4 items" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = E::make(dir, c.kind);
        if (c.beforeLoad)
            c.beforeLoad(path);
        const FileState untouched = FileState::of(path);
        TagLibTag tag;
        const FileError loaded = tag.setFileName(path);
        if (loaded.ok()) {
            tag.setCopyHook(c.copyHook);
            ASSERT_TRUE(tag.setFieldText(FieldId::Title, "Changed"));
            EXPECT_FALSE(tag.update());
            EXPECT_NE(tag.lastWriteError().number, 0);
            EXPECT_TRUE(tag.lastWriteError().description.contains(c.cause, Qt::CaseInsensitive))
                << qPrintable(tag.lastWriteError().description);
        }
        EXPECT_EQ(FileState::of(path), untouched);
        EXPECT_TRUE(hiddenCopies(dir).isEmpty());
    }
}

TEST(OtherFormats, ATagThatGrowsPastItsPaddingKeepsTheAudio)
{
    QTemporaryDir dir;
    for (Kind kind : kAllKinds) {
        SCOPED_TRACE(E::kindName(kind));
        const QString path = E::make(dir, kind);
        const QByteArray audio = E::audioMd5(path);
        TagLibTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        ASSERT_TRUE(tag.setFieldText(FieldId::Comments, QString(100000, 'c')));
        ASSERT_TRUE(tag.update()) << qPrintable(tag.lastWriteError().description);
        EXPECT_EQ(E::audioMd5(path), audio);
        EXPECT_EQ(E::dump(path).value(E::isMp4(kind) ? "item:\u00a9cmt" : "comment:COMMENT").toArray(),
            texts({ QString(100000, 'c') }));
    }
}

TEST(OtherFormats, AnMp4ItemTagLibCannotReadRefusesTheSave)
{
    QTemporaryDir dir;
    const QString path = E::make(dir, Kind::AacMoovLast);
    {
        // The unknown text atom's data marked as binary (type 0): TagLib 1.13 skips it when reading.
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const qint64 at = f.readAll().indexOf("\xA9xyz");
        ASSERT_GT(at, 0);
        f.seek(at + 15);
        f.putChar(0);
    }
    const FileState untouched = FileState::of(path);
    TagLibTag tag;
    ASSERT_TRUE(tag.setFileName(path).ok());
    EXPECT_FALSE(tag.itemKeys().contains("\u00a9xyz"));
    ASSERT_TRUE(tag.setFieldText(FieldId::Title, "Changed"));
    EXPECT_FALSE(tag.update());
    EXPECT_TRUE(tag.lastWriteError().description.contains("\u00a9xyz")) << qPrintable(tag.lastWriteError().description);
    EXPECT_EQ(FileState::of(path), untouched);
}

TEST(OtherFormats, SnapshotAndRestoreGiveBackEveryItem)
{
    QTemporaryDir dir;
    for (Kind kind : kAllKinds) {
        SCOPED_TRACE(E::kindName(kind));
        const QString path = E::make(dir, kind);
        const QJsonObject before = E::dump(path);
        const QByteArray audio = E::audioMd5(path);
        TagLibTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        const QByteArray snapshot = tag.snapshot();
        ASSERT_TRUE(tag.setFieldText(FieldId::Title, "Changed"));
        ASSERT_TRUE(tag.update()) << qPrintable(tag.lastWriteError().description);
        ASSERT_TRUE(tag.stripTags()) << qPrintable(tag.lastWriteError().description);
        const QJsonObject stripped = E::dump(path);
        for (const QString& key : stripped.keys())
            EXPECT_TRUE(key == "blocks" || stripped.value(key).toArray().isEmpty()) << qPrintable(key);

        TagLibTag fresh;
        ASSERT_TRUE(fresh.setFileName(path).ok());
        ASSERT_TRUE(fresh.restore(snapshot)) << qPrintable(fresh.lastWriteError().description);
        EXPECT_EQ(E::dump(path), before);
        EXPECT_EQ(E::audioMd5(path), audio);
        EXPECT_EQ(fresh.snapshot(), snapshot);
    }
}

TEST(OtherFormats, ASaveKeepsTheModeAndRefusesHardLinks)
{
    QTemporaryDir dir;
    const QString path = E::make(dir, Kind::Opus);
    ASSERT_EQ(::chmod(qPrintable(path), 0640), 0);
    TagLibTag tag;
    ASSERT_TRUE(tag.setFileName(path).ok());
    ASSERT_TRUE(tag.setFieldText(FieldId::Album, "Kept mode"));
    ASSERT_TRUE(tag.update()) << qPrintable(tag.lastWriteError().description);
    EXPECT_EQ(FileState::of(path).mode, mode_t(0640));

    ASSERT_EQ(::link(qPrintable(path), qPrintable(dir.filePath("second name.opus"))), 0);
    const FileState untouched = FileState::of(path);
    ASSERT_TRUE(tag.setFieldText(FieldId::Album, "Not written"));
    EXPECT_FALSE(tag.update());
    EXPECT_TRUE(tag.lastWriteError().description.contains("hard link"));
    EXPECT_EQ(FileState::of(path), untouched);
}

TEST(OtherFormats, FilesOfOtherFormatsAreNotTaken)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray bytes;
        int number;
    } cases[] = {
        { "text.flac", "just some text", ErrorNo::WrongType },
        { "mp3.mp3", QByteArray("\xFF\xFB\x90\x00", 4) + QByteArray(400, '\0'), ErrorNo::WrongType },
        { "cut.flac", "fLaC", ErrorNo::WrongType },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile f(dir.filePath(c.name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        TagLibTag tag;
        EXPECT_EQ(tag.setFileName(f.fileName()).number, c.number);
        EXPECT_FALSE(tag.format().has_value());
        EXPECT_FALSE(tag.update());
    }
    TagLibTag tag;
    EXPECT_EQ(tag.setFileName(dir.filePath("missing.flac")).number, ErrorNo::NotFound);
}

TEST(OtherFormats, TheCopyOfASaveIsOneTheLeftoverCleanupKnows)
{
    QTemporaryDir dir;
    const QString path = E::make(dir, Kind::Vorbis);
    TagLibTag tag;
    ASSERT_TRUE(tag.setFileName(path).ok());
    QString copy;
    tag.setCopyHook([&](const QString& written) { copy = written; });
    ASSERT_TRUE(tag.setFieldText(FieldId::Title, "Copied"));
    ASSERT_TRUE(tag.update()) << qPrintable(tag.lastWriteError().description);
    EXPECT_TRUE(QFileInfo(copy).fileName().startsWith(copyNamePrefix("vorbis.ogg"))) << qPrintable(copy);
    EXPECT_EQ(QFileInfo(copy).absolutePath(), QFileInfo(path).absolutePath());
    EXPECT_FALSE(QFile::exists(copy));

    // A save killed before its rename leaves the copy: the cleanup removes it.
    ASSERT_TRUE(QFile::copy(path, copy));
    EXPECT_EQ(removeLeftoverCopies({ path }), QStringList { copy });
    EXPECT_FALSE(QFile::exists(copy));
}
