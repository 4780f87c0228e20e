#include "tags/id3v2tag.h"

#include "framebytes.h"
#include "support/tagfiles.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace Id3Builder;
using FrameBytes::storedText;
namespace F = TagTestFiles;

namespace {

using Change = std::function<void(ID3V2Tag&)>;

class Id3v2Write : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray audio = F::audio();

    // Writes v2 + audio + after as `name`, loads it, changes it and saves;
    // the save must succeed and leave the audio and `after` byte-identical.
    QString saved(const QString& name, const QByteArray& v2, const Change& change, const QByteArray& after = {})
    {
        const QString path = F::write(dir, name, v2 + audio + after);
        ID3V2Tag t;
        t.setFileName(path);
        change(t);
        EXPECT_TRUE(t.update()) << name.toStdString();
        EXPECT_TRUE(F::audioIntact(path, audio, after)) << name.toStdString();
        return path;
    }

    // The save (and unless told otherwise the strip) is refused and the file stays as it was.
    void expectRefused(const QString& path, const Change& change, bool stripRefused = true)
    {
        const QByteArray bytes = F::read(path);
        ID3V2Tag t;
        t.setFileName(path);
        change(t);
        EXPECT_FALSE(t.update()) << path.toStdString();
        EXPECT_EQ(F::read(path), bytes) << path.toStdString();
        if (stripRefused) {
            EXPECT_FALSE(t.stripTags(TagKind::ID3v2)) << path.toStdString();
            EXPECT_EQ(F::read(path), bytes) << path.toStdString();
        }
    }

    int filesInFolder() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(); }
};

// A comment too long for any tag's room: the save must grow the tag.
const Change longComment = [](ID3V2Tag& t) { t.setComments(QString(3000, QLatin1Char('c'))); };

// The text properties, each with a value to give it; keys and URLs are
// ISO-8859-1 by the standard.
const struct TextProperty {
    void (ID3V2Tag::*set)(const QString&);
    QString (ID3V2Tag::*get)() const;
    const char* value;
    bool latin1 = false;
} kTextProperties[] = {
    { &ID3V2Tag::setArtist, &ID3V2Tag::artist, "Artist" },
    { &ID3V2Tag::setAlbum, &ID3V2Tag::album, "Album" },
    { &ID3V2Tag::setTitle, &ID3V2Tag::title, "Title" },
    { &ID3V2Tag::setComments, &ID3V2Tag::comments, "Comment" },
    { &ID3V2Tag::setUniqueKey, &ID3V2Tag::uniqueKey, "KEY", true },
    { &ID3V2Tag::setUserText, &ID3V2Tag::userText, "User text" },
    { &ID3V2Tag::setUserURL, &ID3V2Tag::userURL, "http://user.example/", true },
    { &ID3V2Tag::setArtistURL, &ID3V2Tag::artistURL, "http://artist.example/", true },
    { &ID3V2Tag::setComposer, &ID3V2Tag::composer, "Composer" },
    { &ID3V2Tag::setOrigArtist, &ID3V2Tag::origArtist, "Orig" },
    { &ID3V2Tag::setEncodedBy, &ID3V2Tag::encodedBy, "Encoder" },
    { &ID3V2Tag::setMood, &ID3V2Tag::mood, "Mood" },
    { &ID3V2Tag::setPreference, &ID3V2Tag::preference, "Pref" },
    { &ID3V2Tag::setSituation, &ID3V2Tag::situation, "Situation" },
    { &ID3V2Tag::setTempo, &ID3V2Tag::tempo, "Tempo" },
    { &ID3V2Tag::setLyricsUnsynced, &ID3V2Tag::lyricsUnsynced, "Lyrics\nline 2" },
};

QString valueOf(const TextProperty& p, const QString& suffix)
{
    return QString::fromUtf8(p.value) + (p.latin1 ? QString::fromLatin1(suffix.toLatin1()) : suffix);
}

void assignEveryProperty(ID3V2Tag& t, const QString& suffix)
{
    for (const TextProperty& p : kTextProperties)
        (t.*p.set)(valueOf(p, suffix));
    t.setTrack(3);
    t.setTotalTracks(12);
    t.setYear(2004);
    t.setGenre("Trip-Hop");
}

// trackYear: "track/total/year".
void expectEveryProperty(const QString& path, const QString& suffix, const QString& trackYear = "3/12/2004")
{
    ID3V2Tag t;
    t.setFileName(path);
    for (const TextProperty& p : kTextProperties)
        EXPECT_EQ((t.*p.get)(), valueOf(p, suffix)) << p.value;
    EXPECT_EQ(t.song(), t.title());
    EXPECT_EQ(QString("%1/%2/%3").arg(t.track()).arg(t.totalTracks()).arg(t.year()), trackYear);
    EXPECT_EQ(t.genre(), "Trip-Hop");
    EXPECT_EQ(t.frameCount(), 19); // one TRCK for Track and Total Tracks
}

TEST_F(Id3v2Write, EveryPropertyRoundTripsThroughANewV23TagAndAfterChangingIt)
{
    const QString path = saved("new.mp3", {}, [](ID3V2Tag& t) { assignEveryProperty(t, ""); });
    EXPECT_TRUE(F::read(path).startsWith("ID3\x03"));
    expectEveryProperty(path, "");
    EXPECT_EQ(storedText(path, "TRCK"), "3/12");
    EXPECT_EQ(storedText(path, "TCON"), "Trip-Hop");
    ID3V2Tag t;
    t.setFileName(path);
    assignEveryProperty(t, QString::fromUtf8(" – zwei ✓"));
    // Numbers given as field texts take the text's leading number.
    t.setFieldText(FieldId::Track, "7 of 9");
    t.setFieldText(FieldId::TotalTracks, "9");
    t.setFieldText(FieldId::Year, "1999-05-01");
    ASSERT_TRUE(t.update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    expectEveryProperty(path, QString::fromUtf8(" – zwei ✓"), "7/9/1999");
}

TEST_F(Id3v2Write, WritesLatin1WhenTheTextFitsAndUtf16Otherwise)
{
    const QString path = saved("enc.mp3", {}, [](ID3V2Tag& t) {
        t.setTitle(QString::fromUtf8("Schön"));
        t.setArtist(QString::fromUtf8("日本"));
    });
    const QByteArray bytes = F::read(path);
    EXPECT_EQ(bytes.at(bytes.indexOf("TIT2") + 10), 0);
    EXPECT_EQ(bytes.at(bytes.indexOf("TPE1") + 10), 1);
    EXPECT_EQ(storedText(path, "TIT2"), QString::fromUtf8("Schön"));
    EXPECT_EQ(storedText(path, "TPE1"), QString::fromUtf8("日本"));
}

TEST_F(Id3v2Write, FramesTheObjectDoesNotModelSurviveInPlaceAndGrowingSaves)
{
    const QList<QByteArray> kept = { frame(3, "APIC", pictureBody("image/png", 3, "cover", QByteArray(3000, 'Z'))),
        frame(3, "TXXX", userTextBody("replaygain", "-6 dB")), frame(3, "TXXX", userTextBody("", "plain user text")),
        frame(3, "COMM", commentBody("deu", "Notiz", "bleibt")), frame(3, "PRIV", QByteArray("owner\0data", 10)),
        frame(3, "TPE2", textBody("Band")),
        frame(3, "UFID", ufidBody("http://owner", QByteArray("\x01\x00\x02\x03\x00\x04\x05\x06\x00\x07", 10))),
        // Frames that version 2.4 abolished.
        frame(3, "RVAD", QByteArray("\x03\x10\x00\x10\x00\x10", 6)),
        frame(3, "EQUA", QByteArray("\x10\x00\x01\x00\x02", 5)), frame(3, "TSIZ", textBody("123")),
        frame(3, "TRDA", textBody("June 2nd")) };
    for (int padding : { 0, 4000 }) {
        const QString path
            = saved("rich.mp3", tag(3, kept + QList { frame(3, "TIT2", textBody("Old")) }, padding), [](ID3V2Tag& t) {
                  t.setUniqueKey(t.uniqueKey());
                  t.setTitle("New title that is much longer than the old one");
              });
        const QByteArray after = F::read(path);
        for (const QByteArray& f : kept)
            EXPECT_TRUE(after.contains(f)) << f.left(4).constData() << " padding " << padding;
        ID3V2Tag back;
        back.setFileName(path);
        EXPECT_EQ(back.title(), "New title that is much longer than the old one");
        EXPECT_EQ(back.getFrameValue("TXXX", "replaygain").toString(), "-6 dB");
        EXPECT_EQ(back.userText(), "plain user text");
        EXPECT_EQ(back.frameCount(), kept.size() + 1);
    }
}

TEST_F(Id3v2Write, TheYearKeepsAStoredDateWhenUnchangedAndIsOtherwiseThePlainNumber)
{
    const QByteArray tdrc = tag(4, { frame(4, "TDRC", textBody("1997-09-22", Enc::Utf8)) });
    const QByteArray tyer = frame(3, "TYER", textBody("1997")), tdat = frame(3, "TDAT", textBody("2209"));
    // The title changes too where the year alone would leave nothing to save.
    const auto withYear = [&](const QByteArray& v2, int year, bool title) {
        return saved("year.mp3", v2, [=](ID3V2Tag& t) {
            t.setYear(year);
            if (title)
                t.setTitle("y");
        });
    };
    EXPECT_EQ(storedText(withYear(tdrc, 1997, true), "TDRC"), "1997-09-22");
    EXPECT_EQ(storedText(withYear(tdrc, 2001, false), "TDRC"), "2001");
    const QByteArray kept = F::read(withYear(tag(3, { tyer, tdat }), 1997, true));
    EXPECT_TRUE(kept.contains(tyer) && kept.contains(tdat));
    EXPECT_TRUE(F::read(withYear(tag(3, { tyer, tdat }), 812, false)).contains(frame(3, "TYER", textBody("812"))));
    // No year is no frame, and 0 removes a year.
    EXPECT_FALSE(F::read(withYear({}, 0, true)).contains("TYER"));
    EXPECT_FALSE(F::read(withYear(tag(3, { tyer, tdat }), 0, false)).contains("TYER"));
}

TEST_F(Id3v2Write, FieldsAreStoredInTheirStandardForms)
{
    const QString path = saved("forms.mp3", tag(3, { frame(3, "TCON", textBody("(17)")) }), [](ID3V2Tag& t) {
        t.setTrack(4);
        EXPECT_EQ(t.getFrameValue("TRCK", "").toString(), "4");
        t.setTotalTracks(9);
        t.setMood("Calm");
        t.setUniqueKey("abc");
    });
    EXPECT_EQ(storedText(path, "TRCK"), "4/9");
    // A total is never dropped for want of a track number.
    const struct {
        int track, total;
        const char* stored; // "" for no frame
    } pairs[] = { { 4, 0, "4" }, { 0, 12, "0/12" }, { 0, 0, "" } };
    for (const auto& p : pairs) {
        ID3V2Tag t;
        t.setTrack(p.track);
        t.setTotalTracks(p.total);
        EXPECT_EQ(t.getFrameValue("TRCK", "").toString(), p.stored) << p.track << '/' << p.total;
        EXPECT_EQ(t.totalTracks(), p.total);
        t.setTrack(0); // clearing the track keeps the total
        EXPECT_EQ(t.totalTracks(), p.total);
    }
    // A genre reference nobody changed stays as stored.
    EXPECT_TRUE(F::read(path).contains(frame(3, "TCON", textBody("(17)"))));
    EXPECT_TRUE(F::read(path).contains(frame(3, "COMM", commentBody("eng", "MusicMatch_Mood", "Calm"))));
    EXPECT_TRUE(F::read(path).contains(frame(3, "UFID", ufidBody("Velmora", "a b c "))));
    ID3V2Tag back;
    back.setFileName(path);
    EXPECT_EQ(back.uniqueKey(), "abc");
}

TEST_F(Id3v2Write, ClearingEveryFieldLeavesNoTagAtAll)
{
    const QString path = saved(
        "cleared.mp3", tag(3, { frame(3, "TIT2", textBody("t")), frame(3, "TPE1", textBody("a")) }), [](ID3V2Tag& t) {
            t.setTitle("");
            t.setArtist("");
        });
    EXPECT_EQ(F::read(path), audio);
}

TEST_F(Id3v2Write, SetFrameValueCoversItsFiveCases)
{
    const QString path
        = saved("s.mp3", tag(3, { frame(3, "TPE1", textBody("a")), frame(3, "TALB", textBody("b")) }), [](ID3V2Tag& t) {
              t.setFrameValue("TCOM", "", ""); // "" and no item: nothing
              EXPECT_EQ(t.frames().size(), 2);
              t.setFrameValue("TCOM", "new", ""); // new item
              ASSERT_EQ(t.frames().size(), 3);
              EXPECT_TRUE(t.frames().at(2).added);
              EXPECT_TRUE(t.frames().at(2).changed);
              EXPECT_EQ(t.frames().at(2).position, 3);
              t.setFrameValue("TPE1", "a", ""); // same value: no change
              EXPECT_FALSE(t.frames().at(0).changed);
              t.setFrameValue("TPE1", "changed", ""); // changed
              EXPECT_TRUE(t.frames().at(0).changed);
              t.setFrameValue("TALB", "", ""); // deleted, still readable
              EXPECT_TRUE(t.frames().at(1).deleted);
              EXPECT_EQ(t.album(), "b");
          });
    EXPECT_EQ(storedText(path, "TPE1"), "changed");
    EXPECT_EQ(storedText(path, "TALB"), "<none>");
    EXPECT_EQ(storedText(path, "TCOM"), "new");
}

TEST_F(Id3v2Write, AValueAssignedToAnEmptyFrameThatTheLoadDeletedIsSaved)
{
    const QString path = saved("empty-comm.mp3",
        tag(3, { frame(3, "COMM", commentBody("eng", "", "")), frame(3, "TPE1", textBody("a")) }), [](ID3V2Tag& t) {
            ASSERT_FALSE(t.frames().at(0).deleted); // an empty frame nobody touched stays
            t.setComments("typed later");
            EXPECT_FALSE(t.frames().at(0).deleted);
        });
    ID3V2Tag back;
    back.setFileName(path);
    EXPECT_EQ(back.comments(), "typed later");
}

TEST_F(Id3v2Write, AValueItsFrameCannotHoldRefusesTheSaveNamingTheFrame)
{
    const QByteArray apic = frame(3, "APIC", pictureBody("image/png", 3, "cover", "PNG"));
    const QByteArray before = tag(3, { apic, frame(3, "TPE1", textBody("a")) }) + audio;
    const struct {
        const char* name;
        const char* frameId;
        const char* description;
        QString reason;
    } cases[] = {
        { "changed picture", "APIC", "cover", "Frame APIC cannot hold the value given to it in this tag version." },
        { "new play counter", "PCNT", "", "Frame PCNT cannot hold the value given to it in this tag version." },
        { "no frame at all", "", "", "Frame without an ID cannot hold the value given to it in this tag version." },
    };
    for (const auto& c : cases) {
        const QString path = F::write(dir, QString::fromLatin1(c.name) + ".mp3", before);
        ID3V2Tag t;
        ASSERT_TRUE(t.setFileName(path).ok()) << c.name;
        t.setArtist("changed too");
        t.setFrameValue(c.frameId, "text", QString::fromLatin1(c.description));
        EXPECT_FALSE(t.update()) << c.name;
        EXPECT_EQ(t.lastWriteError().number, ErrorNo::Internal) << c.name;
        EXPECT_EQ(t.lastWriteError().description, c.reason) << c.name;
        EXPECT_EQ(F::read(path), before) << c.name; // nothing written, the artist neither
    }
}

TEST_F(Id3v2Write, ANewFrameTakesTheIdOfTheTagVersionOrRefusesTheSave)
{
    const struct {
        int version;
        const char* itemId;
        const char* writtenId; // "" : the save is refused naming itemId
        const char* readBackId; // the frame as TagLib reads it (in its 2.4 form)
    } cases[] = {
        { 2, "TIT2", "TT2", "TIT2" },
        { 2, "TPA", "TPA", "TPOS" }, // a 2.2 frame without a 2.3 ID
        { 2, "TSOP", "", "" }, // no 2.2 name
        { 3, "TYER", "TYER", "TDRC" },
        { 4, "TYER", "TDRC", "TDRC" },
        { 4, "TSOP", "TSOP", "TSOP" },
        { 3, "TPA", "", "" }, // a 2.2 name has no 2.3 form
        { 3, "tit2", "", "" }, // IDs are capital letters and digits
        { 3, "TIT", "", "" },
    };
    for (const auto& c : cases) {
        const QString name = QStringLiteral("v%1-%2.mp3").arg(c.version).arg(QLatin1String(c.itemId));
        const QByteArray before = tag(c.version, { frame(c.version, c.version == 2 ? "TT1" : "TIT1", textBody("g")) });
        const QString path = F::write(dir, name, before + audio);
        ID3V2Tag t;
        ASSERT_TRUE(t.setFileName(path).ok()) << c.version << c.itemId;
        t.setFrameValue(c.itemId, "Value", "");
        if (!*c.writtenId) {
            EXPECT_FALSE(t.update()) << c.version << c.itemId;
            EXPECT_EQ(t.lastWriteError().description,
                QStringLiteral("Frame %1 cannot hold the value given to it in this tag version.")
                    .arg(QLatin1String(c.itemId)));
            EXPECT_EQ(F::read(path), before + audio) << c.version << c.itemId;
            continue;
        }
        ASSERT_TRUE(t.update()) << c.version << c.itemId;
        EXPECT_TRUE(F::read(path).contains(frame(c.version, c.writtenId, textBody("Value")))) << c.version << c.itemId;
        EXPECT_EQ(storedText(path, c.readBackId), "Value") << c.version << c.itemId;
        ID3V2Tag back;
        back.setFileName(path);
        EXPECT_EQ(back.getFrameValue(c.itemId, "").toString(), "Value") << c.version << c.itemId;
    }
}

TEST_F(Id3v2Write, AFileWithOnlyATrailerGetsItsValuesAsANewTag)
{
    const QByteArray v1 = id3v1("V1 Title", "V1 Artist", "", "1990", "", 2, 13);
    const QString path = saved(
        "v1.mp3", {}, [](ID3V2Tag& t) { t.setAlbum("New Album"); }, v1);
    ID3V2Tag back;
    back.setFileName(path); // both tags now: the trailer goes
    EXPECT_EQ(QStringList({ back.title(), back.artist(), back.album(), back.genre(), QString::number(back.year()) }),
        QStringList({ "V1 Title", "V1 Artist", "New Album", "Pop", "1990" }));
    EXPECT_TRUE(F::audioIntact(path, audio));
}

TEST_F(Id3v2Write, AWriteThatFitsIsDoneInPlaceAndAnEmptyPaddedTagCanBeFilled)
{
    const QByteArray v2 = tag(3, { frame(3, "TIT2", textBody("short")) }, 500);
    const QString path = F::write(dir, "fit.mp3", v2 + audio);
    const ino_t before = F::inode(path);
    ID3V2Tag t;
    t.setFileName(path);
    t.setTitle("a somewhat longer title");
    ASSERT_TRUE(t.update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(F::inode(path), before);
    EXPECT_EQ(F::read(path).size(), v2.size() + audio.size());
    const QString blank = saved("blank.mp3", tag(3, {}, 300), [](ID3V2Tag& t) { t.setTitle("filled"); });
    EXPECT_EQ(storedText(blank, "TIT2"), "filled");
    // Frames that fill the old room exactly get no new padding.
    const QString exact
        = saved("exact.mp3", tag(3, { frame(3, "TIT2", textBody("short")) }), [](ID3V2Tag& t) { t.setTitle("SHORT"); });
    EXPECT_EQ(F::read(exact), tag(3, { frame(3, "TIT2", textBody("SHORT")) }) + audio);
}

TEST_F(Id3v2Write, AChangedFrameKeepsItsStatusFlagsAndAnUnsynchronisedTagGetsNoFalseSync)
{
    const QString flagged = saved(
        "flags.mp3", tag(3, { frame(3, "TIT2", textBody("old"), 0x4000) }), [](ID3V2Tag& t) { t.setTitle("new"); });
    EXPECT_TRUE(F::read(flagged).contains(frame(3, "TIT2", textBody("new"), 0x4000)));
    const QString sync = QString::fromLatin1("\xFF\xE0\xFF");
    const QString path = saved(
        "unsync.mp3", tag(4, { frame(4, "TPE1", textBody("a")) }, 0, 0x80), [&](ID3V2Tag& t) { t.setTitle(sync); });
    const QByteArray bytes = F::read(path);
    for (qsizetype i = 0; i + 1 < bytes.indexOf(audio); ++i)
        EXPECT_FALSE(uchar(bytes[i]) == 0xFF && uchar(bytes[i + 1]) >= 0xE0) << "false sync at " << i;
    ID3V2Tag back;
    back.setFileName(path);
    EXPECT_EQ(back.title(), sync);
}

TEST_F(Id3v2Write, AGrowingWriteReplacesTheFileAndKeepsPermissionsAndTrailingTags)
{
    const QByteArray trailing = lyrics3v2("IND0000210");
    const QString path = F::write(dir, "grow.mp3", tag(3, { frame(3, "TIT2", textBody("short")) }) + audio + trailing);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ID3V2Tag t;
    t.setFileName(path);
    longComment(t);
    ASSERT_TRUE(t.update());
    EXPECT_TRUE(F::audioIntact(path, audio, trailing));
    EXPECT_EQ(F::mode(path), mode_t(0640));
    EXPECT_EQ(filesInFolder(), 1); // no copy left behind
    EXPECT_EQ(storedText(path, "COMM"), QString(3000, 'c'));
}

TEST_F(Id3v2Write, AGrowingSaveThroughASymbolicLinkUpdatesItsTargetAndKeepsTheLink)
{
    const QString target = F::write(dir, "target.mp3", tag(3, { frame(3, "TIT2", textBody("x")) }) + audio);
    const QString link = dir.filePath("link.mp3");
    ASSERT_TRUE(QFile::link(target, link));
    ID3V2Tag t;
    t.setFileName(link);
    longComment(t);
    ASSERT_TRUE(t.update());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(F::audioIntact(target, audio));
    EXPECT_EQ(storedText(target, "COMM"), QString(3000, 'c'));
}

TEST_F(Id3v2Write, UnsafeSavesAreRefusedAndLeaveTheFileUntouched)
{
    const Change title = [](ID3V2Tag& t) { t.setTitle("changed"); };
    const QByteArray v2 = tag(3, { frame(3, "TIT2", textBody("x")), frame(3, "TPE1", textBody("y")) }, 100);
    // A read-only file.
    const QString ro = F::write(dir, "ro.mp3", v2 + audio);
    ASSERT_EQ(::chmod(QFile::encodeName(ro).constData(), 0444), 0);
    expectRefused(ro, title);
    // A tag whose size runs into the trailing tags of a file without audio.
    const QByteArray x = frame(3, "TIT2", textBody("x"));
    expectRefused(
        F::write(dir, "into-trailer.mp3",
            header(3, quint32(x.size() + 40)) + x + QByteArray(20, '\0') + id3v1("t", "a", "b", "2000", "c", 1, 2)),
        title);
    // A tag with no readable frame (its size is sound: stripping it is safe).
    const QByteArray garbage = QByteArray("\x01\x02garbage that is no frame at all", 33) + QByteArray(20, '\xEE');
    expectRefused(F::write(dir, "garbage.mp3", header(3, quint32(garbage.size())) + garbage + audio), title, false);
}

TEST_F(Id3v2Write, AGrowingWriteInAReadOnlyFolderOrThatRunsOutOfRoomIsRefused)
{
    const QByteArray v2 = tag(3, { frame(3, "TIT2", textBody("x")) });
    QDir(dir.path()).mkdir("locked");
    const QString locked = F::write(dir, "locked/f.mp3", v2 + audio);
    const QByteArray folder = QFile::encodeName(dir.filePath("locked"));
    ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
    expectRefused(locked, longComment, false);
    ::chmod(folder.constData(), 0755);
    const QString full = F::write(dir, "full.mp3", v2 + Mp3Builder::audioFrames(200));
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit old { };
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 20000; // less than the file: the copy cannot be completed
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    expectRefused(full, longComment, false);
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(filesInFolder(), 1); // no copy left behind
}

TEST_F(Id3v2Write, StripTagsRemovesTheTagsAskedForOrEverything)
{
    const QByteArray v1 = id3v1("t", "a", "b", "2000", "c", 1, 2);
    const QByteArray badL2("LYRICSBEGININD0000210000023LYRICS200");
    const struct {
        const char* name;
        QByteArray bytes;
        TagKinds kind;
        QByteArray left;
        bool done = true;
    } cases[] = {
        { "l1.mp3", audio + lyrics3v1("la la la") + v1, TagKind::Lyrics3, audio + v1 },
        { "l2.mp3", audio + lyrics3v2("IND0000210LYR00005words") + v1, TagKind::Lyrics3v2, audio + v1 },
        { "mm.mp3", audio + musicMatch() + v1, TagKind::MusicMatch, audio + v1 },
        { "both.mp3", tag(3, { frame(3, "TIT2", textBody("x")) }, 50) + audio + v1, TagKind::ID3v1 | TagKind::ID3v2,
            audio },
        { "all.mp3",
            tag(3, { frame(3, "TIT2", textBody("x")) }) + audio + musicMatch(false) + lyrics3v2("IND0000210") + v1,
            kAllTagKinds, audio },
        { "l1_longest.mp3", audio + lyrics3v1(QByteArray(5100, 'w')) + v1, TagKind::Lyrics3, audio + v1 },
        // A Lyrics3v2 size that does not lead to its start is no block to cut by.
        { "l2_bad_size.mp3", audio + badL2 + v1, TagKind::Lyrics3v2, audio + badL2 + v1, false },
        // A tag that runs into the audio stays; the failure is reported though the block went.
        { "tag_into_audio.mp3", header(3, 60) + audio + musicMatch() + v1, TagKind::ID3v2 | TagKind::MusicMatch,
            header(3, 60) + audio + v1, false },
    };
    for (const auto& c : cases) {
        ID3V2Tag t;
        t.setFileName(F::write(dir, c.name, c.bytes));
        EXPECT_EQ(t.stripTags(c.kind), c.done) << c.name;
        EXPECT_EQ(F::read(dir.filePath(c.name)), c.left) << c.name;
        for (TagKind kind : kTagKinds)
            EXPECT_FALSE(c.done && c.kind.testFlag(kind) && t.hasTagType(kind)) << c.name << " kind " << int(kind);
    }
}

} // namespace
