#include "tags/id3v2tag.h"

#include "platform/fakes/scriptedprompter.h"
#include "tagtestfiles.h"

#include <QDir>
#include <QFileInfo>

#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

// The stored frame of that identifier, as TagLib reads it back.
QString storedText(const QString& path, const char* id)
{
    TagLib::MPEG::File f(QFile::encodeName(path).constData(), false);
    if (!f.hasID3v2Tag())
        return QStringLiteral("<no tag>");
    const auto& list = f.ID3v2Tag()->frameList(id);
    return list.isEmpty() ? QStringLiteral("<none>") : QString::fromStdString(list.front()->toString().to8Bit(true));
}

int storedVersion(const QString& path)
{
    const QByteArray bytes = F::read(path);
    return bytes.startsWith("ID3") ? bytes.at(3) : 0;
}

// The encoding byte of the first frame with that identifier (v2.3/2.4, no
// unsynchronisation).
int encodingByte(const QString& path, const QByteArray& id)
{
    const QByteArray bytes = F::read(path);
    const qsizetype at = bytes.indexOf(id);
    return at < 0 ? -1 : bytes.at(at + 10);
}

class Id3v2Write : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray audio = F::audio();

    QString plain(const QString& name = "plain.mp3") { return F::write(dir, name, audio); }
};

void assignEveryProperty(ID3V2Tag& t, const QString& suffix)
{
    t.SetArtist("Artist" + suffix);
    t.SetAlbum("Album" + suffix);
    t.SetTitle("Title" + suffix);
    t.SetTrack(3);
    t.SetTotalTracks(12);
    t.SetYear(2004);
    t.SetGenre("Trip-Hop");
    t.SetComments("Comment" + suffix);
    // Keys and URLs are ISO-8859-1 by the standard.
    const QString latin1 = QString::fromLatin1(suffix.toLatin1());
    t.SetUniqueKey("KEY" + latin1);
    t.SetUserText("User text" + suffix);
    t.SetUserURL("http://user.example/" + latin1);
    t.SetArtistURL("http://artist.example/" + latin1);
    t.SetComposer("Composer" + suffix);
    t.SetOrigArtist("Orig" + suffix);
    t.SetEncodedBy("Encoder" + suffix);
    t.SetMood("Mood" + suffix);
    t.SetPreference("Pref" + suffix);
    t.SetSituation("Situation" + suffix);
    t.SetTempo("Tempo" + suffix);
    t.SetLyricsUnsynced("Lyrics\nline 2" + suffix);
}

void expectEveryProperty(const ID3V2Tag& t, const QString& suffix)
{
    EXPECT_EQ(t.Artist(), "Artist" + suffix);
    EXPECT_EQ(t.Album(), "Album" + suffix);
    EXPECT_EQ(t.Title(), "Title" + suffix);
    EXPECT_EQ(t.Song(), "Title" + suffix);
    EXPECT_EQ(t.Track(), 3);
    EXPECT_EQ(t.TotalTracks(), 12);
    EXPECT_EQ(t.Year(), 2004);
    EXPECT_EQ(t.Genre(), "Trip-Hop");
    EXPECT_EQ(t.Comments(), "Comment" + suffix);
    const QString latin1 = QString::fromLatin1(suffix.toLatin1());
    EXPECT_EQ(t.UniqueKey(), "KEY" + latin1);
    EXPECT_EQ(t.UserText(), "User text" + suffix);
    EXPECT_EQ(t.UserURL(), "http://user.example/" + latin1);
    EXPECT_EQ(t.ArtistURL(), "http://artist.example/" + latin1);
    EXPECT_EQ(t.Composer(), "Composer" + suffix);
    EXPECT_EQ(t.OrigArtist(), "Orig" + suffix);
    EXPECT_EQ(t.EncodedBy(), "Encoder" + suffix);
    EXPECT_EQ(t.Mood(), "Mood" + suffix);
    EXPECT_EQ(t.Preference(), "Pref" + suffix);
    EXPECT_EQ(t.Situation(), "Situation" + suffix);
    EXPECT_EQ(t.Tempo(), "Tempo" + suffix);
    EXPECT_EQ(t.LyricsUnsynced(), "Lyrics\nline 2" + suffix);
}

TEST_F(Id3v2Write, EveryPropertyRoundTripsThroughANewV23Tag)
{
    const QString path = plain();
    ID3V2Tag t;
    t.SetFileName(path);
    assignEveryProperty(t, "");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(storedVersion(path), 3);
    EXPECT_TRUE(F::audioIntact(path, audio));
    ID3V2Tag back;
    back.SetFileName(path);
    expectEveryProperty(back, "");
    EXPECT_EQ(storedText(path, "TRCK"), "3/12");
    EXPECT_EQ(storedText(path, "TCON"), "Trip-Hop");
}

TEST_F(Id3v2Write, EveryPropertyRoundTripsAgainAfterChangingAnExistingTag)
{
    const QString path = plain();
    ID3V2Tag t;
    t.SetFileName(path);
    assignEveryProperty(t, "");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    t.Reset();
    assignEveryProperty(t, QString::fromUtf8(" – zwei ✓"));
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    ID3V2Tag back;
    back.SetFileName(path);
    expectEveryProperty(back, QString::fromUtf8(" – zwei ✓"));
    EXPECT_EQ(back.FrameCount(), 19); // one TRCK for Track and Total Tracks
    EXPECT_TRUE(F::audioIntact(path, audio));
}

TEST_F(Id3v2Write, FieldTextRoundTripsEveryNamedField)
{
    const QString path = plain();
    ID3V2Tag t;
    t.SetFileName(path);
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldId id = fieldInfo(i).id;
        if (id == FieldId::Track || id == FieldId::TotalTracks || id == FieldId::Year)
            t.SetFieldText(id, QString::number(10 + i));
        else if (id != FieldId::CopyRight)
            t.SetFieldText(id, QString("value %1").arg(i));
    }
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    ID3V2Tag back;
    back.SetFileName(path);
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldId id = fieldInfo(i).id;
        if (id == FieldId::Track || id == FieldId::TotalTracks || id == FieldId::Year) {
            EXPECT_EQ(back.FieldText(id), QString::number(10 + i)) << fieldInfo(i).name;
        } else if (id != FieldId::CopyRight) {
            EXPECT_EQ(back.FieldText(id), QString("value %1").arg(i)) << fieldInfo(i).name;
        }
    }
}

TEST_F(Id3v2Write, WritesLatin1WhenTheTextFitsAndUtf16Otherwise)
{
    const QString path = plain();
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTitle(QString::fromUtf8("Schön"));
    t.SetArtist(QString::fromUtf8("日本"));
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(encodingByte(path, "TIT2"), 0);
    EXPECT_EQ(encodingByte(path, "TPE1"), 1);
    ID3V2Tag back;
    back.SetFileName(path);
    EXPECT_EQ(back.Title(), QString::fromUtf8("Schön"));
    EXPECT_EQ(back.Artist(), QString::fromUtf8("日本"));
}

TEST_F(Id3v2Write, AV24TagStaysV24AndAV22TagBecomesV23)
{
    const QString v24
        = F::write(dir, "v24.mp3", tag(4, { frame(4, "TIT2", textBody("Four", Enc::Utf8)) }, 100) + audio);
    const QString v22 = F::write(dir, "v22.mp3", tag(2, { frame(2, "TT2", textBody("Two")) }, 100) + audio);
    for (const QString& path : { v24, v22 }) {
        ID3V2Tag t;
        t.SetFileName(path);
        t.SetArtist("Changed");
        ASSERT_TRUE(t.Update()) << path.toStdString();
        EXPECT_TRUE(F::audioIntact(path, audio));
    }
    EXPECT_EQ(storedVersion(v24), 4);
    EXPECT_EQ(storedVersion(v22), 3);
    EXPECT_EQ(storedText(v24, "TIT2"), "Four");
    EXPECT_EQ(storedText(v22, "TIT2"), "Two");
}

TEST_F(Id3v2Write, FramesTheObjectDoesNotModelSurviveASave)
{
    const QByteArray picture(3000, '\x5A');
    const QByteArray v2 = tag(3,
        { frame(3, "APIC", pictureBody("image/png", 3, "cover", picture)),
            frame(3, "TXXX", userTextBody("replaygain", "-6 dB")),
            frame(3, "COMM", commentBody("deu", "Notiz", "bleibt")), frame(3, "PRIV", QByteArray("owner\0data", 10)),
            frame(3, "TPE2", textBody("Band")), frame(3, "TIT2", textBody("Old")) },
        200);
    const QString path = F::write(dir, "rich.mp3", v2 + audio);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTitle("New title that is much longer than the old one");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    const QByteArray after = F::read(path);
    EXPECT_TRUE(after.contains(frame(3, "APIC", pictureBody("image/png", 3, "cover", picture))));
    EXPECT_TRUE(after.contains(frame(3, "PRIV", QByteArray("owner\0data", 10))));
    EXPECT_TRUE(after.contains(frame(3, "TPE2", textBody("Band"))));
    EXPECT_TRUE(after.contains(frame(3, "TXXX", userTextBody("replaygain", "-6 dB"))));
    EXPECT_TRUE(after.contains(frame(3, "COMM", commentBody("deu", "Notiz", "bleibt"))));
    ID3V2Tag back;
    back.SetFileName(path);
    EXPECT_EQ(back.Title(), "New title that is much longer than the old one");
    EXPECT_EQ(back.GetFrameValue(FrameNo::TXXX, "replaygain").toString(), "-6 dB");
}

TEST_F(Id3v2Write, AnEmptyUserTextDescriptionSurvivesSavesOfOtherFields)
{
    const QString path = F::write(dir, "txxx.mp3",
        tag(3, { frame(3, "TXXX", userTextBody("", "plain user text")), frame(3, "TIT2", textBody("a")) }) + audio);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTitle("b");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_TRUE(F::read(path).contains(frame(3, "TXXX", userTextBody("", "plain user text"))));
    ID3V2Tag back;
    back.SetFileName(path);
    EXPECT_EQ(back.UserText(), "plain user text");
}

TEST_F(Id3v2Write, AYearEqualToTheStoredOneKeepsTheFullDate)
{
    const QString path = F::write(dir, "tdrc.mp3",
        tag(4, { frame(4, "TDRC", textBody("1997-09-22", Enc::Utf8)), frame(4, "TIT2", textBody("x", Enc::Utf8)) })
            + audio);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetYear(1997);
    t.SetTitle("y");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(storedText(path, "TDRC"), "1997-09-22");
    t.Reset();
    t.SetYear(2001);
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(storedText(path, "TDRC"), "2001");
}

TEST_F(Id3v2Write, AV23YearWithDateIsKeptAndANewYearIsWrittenAsThePlainNumber)
{
    const QString path = F::write(dir, "tyer.mp3",
        tag(3,
            { frame(3, "TYER", textBody("1997")), frame(3, "TDAT", textBody("2209")), frame(3, "TIT2", textBody("x")) })
            + audio);
    ID3V2Tag t;
    t.SetFileName(path);
    EXPECT_EQ(t.Year(), 1997);
    t.SetYear(1997);
    t.SetTitle("y");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_TRUE(F::read(path).contains(frame(3, "TYER", textBody("1997"))));
    EXPECT_TRUE(F::read(path).contains(frame(3, "TDAT", textBody("2209"))));
    t.Reset();
    t.SetYear(812);
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_TRUE(F::read(path).contains(frame(3, "TYER", textBody("812"))));
    ID3V2Tag back;
    back.SetFileName(path);
    EXPECT_EQ(back.Year(), 812);
}

TEST_F(Id3v2Write, AssigningYearZeroCreatesAFrameHoldingZero)
{
    const QString path = plain();
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetYear(0);
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_TRUE(F::read(path).contains(frame(3, "TYER", textBody("0"))));
}

TEST_F(Id3v2Write, TrackAndTotalShareOneFrame)
{
    const QString path = plain();
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTrack(4);
    EXPECT_EQ(t.GetFrameValue(FrameNo::TRCK, "").toString(), "4/0");
    t.SetTotalTracks(9);
    EXPECT_EQ(t.GetFrameValue(FrameNo::TRCK, "").toString(), "4/9");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(storedText(path, "TRCK"), "4/9");
}

TEST_F(Id3v2Write, AGenreReferenceIsSavedBackAsItsName)
{
    const QString path = F::write(dir, "g.mp3", tag(3, { frame(3, "TCON", textBody("(17)")) }) + audio);
    ID3V2Tag t;
    t.SetFileName(path);
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(storedText(path, "TCON"), "Rock");
}

TEST_F(Id3v2Write, AnEmptyTitleFrameGoesAtTheNextSaveButAnEmptyComposerStays)
{
    const QString path = F::write(dir, "e.mp3",
        tag(3, { frame(3, "TIT2", textBody("")), frame(3, "TCOM", textBody("")), frame(3, "TPE1", textBody("a")) })
            + audio);
    ID3V2Tag t;
    t.SetFileName(path);
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(storedText(path, "TIT2"), "<none>");
    EXPECT_EQ(storedText(path, "TCOM"), "");
    EXPECT_EQ(storedText(path, "TPE1"), "a");
}

TEST_F(Id3v2Write, SetFrameValueCoversItsFiveCases)
{
    const QString path
        = F::write(dir, "s.mp3", tag(3, { frame(3, "TPE1", textBody("a")), frame(3, "TALB", textBody("b")) }) + audio);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetFrameValue(FrameNo::TCOM, "", ""); // "" and no item: nothing
    EXPECT_EQ(t.Frames().size(), 2);
    t.SetFrameValue(FrameNo::TCOM, "new", ""); // new item
    ASSERT_EQ(t.Frames().size(), 3);
    EXPECT_TRUE(t.Frames().at(2).bNew);
    EXPECT_TRUE(t.Frames().at(2).bChanged);
    EXPECT_EQ(t.Frames().at(2).lIndex, 3);
    t.SetFrameValue(FrameNo::TPE1, "a", ""); // same value: no change
    EXPECT_FALSE(t.Frames().at(0).bChanged);
    t.SetFrameValue(FrameNo::TPE1, "changed", ""); // changed
    EXPECT_TRUE(t.Frames().at(0).bChanged);
    t.SetFrameValue(FrameNo::TALB, "", ""); // deleted, still readable
    EXPECT_TRUE(t.Frames().at(1).bDeleted);
    EXPECT_EQ(t.Album(), "b");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(storedText(path, "TPE1"), "changed");
    EXPECT_EQ(storedText(path, "TALB"), "<none>");
    EXPECT_EQ(storedText(path, "TCOM"), "new");
}

TEST_F(Id3v2Write, ANewMoodCommentCarriesItsDescriptionAndEnglish)
{
    const QString path = plain();
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetMood("Calm");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_TRUE(F::read(path).contains(frame(3, "COMM", commentBody("eng", "MusicMatch_Mood", "Calm"))));
}

TEST_F(Id3v2Write, AUniqueKeyIsStoredWithBlanksBetweenItsCharacters)
{
    const QString path = plain();
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetUniqueKey("abc");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_TRUE(F::read(path).contains(frame(3, "UFID", ufidBody("", "a b c "))));
    ID3V2Tag back;
    back.SetFileName(path);
    EXPECT_EQ(back.UniqueKey(), "abc");
}

TEST_F(Id3v2Write, ABinaryUniqueKeyFromAnotherProgramSurvivesSaves)
{
    const QByteArray binary("\x01\x00\x02\x03\x00\x04\x05\x06\x00\x07", 10);
    const QString path = F::write(dir, "u.mp3",
        tag(3, { frame(3, "UFID", ufidBody("http://owner", binary)), frame(3, "TIT2", textBody("x")) }) + audio);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetUniqueKey(t.UniqueKey());
    t.SetTitle("y");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_TRUE(F::read(path).contains(frame(3, "UFID", ufidBody("http://owner", binary))));
}

TEST_F(Id3v2Write, AFieldWithoutAValueFieldReportsFieldDoesntExist)
{
    const QString path
        = F::write(dir, "p.mp3", tag(3, { frame(3, "APIC", pictureBody("image/png", 3, "cover", "PNG")) }) + audio);
    ScriptedPrompter prompter;
    ID3V2Tag t(&prompter);
    t.SetFileName(path);
    t.SetFrameValue(2, "text", "cover");
    EXPECT_TRUE(t.Update());
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls.at(0).text, "Field doesn't exist");
    EXPECT_EQ(prompter.calls.at(0).title, "Velmora");
    EXPECT_EQ(prompter.calls.at(0).icon, MsgIcon::None);
    EXPECT_TRUE(F::read(path).contains(frame(3, "APIC", pictureBody("image/png", 3, "cover", "PNG"))));
}

TEST_F(Id3v2Write, AnUpdateWithoutChangesWritesNothing)
{
    const QByteArray v2 = tag(3, { frame(3, "TIT2", textBody("x")), frame(3, "TPE1", textBody("y")) }, 10);
    const QString path = F::write(dir, "n.mp3", v2 + audio);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTitle("x");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(F::read(path), v2 + audio);
}

TEST_F(Id3v2Write, AFileWithOnlyATrailerGetsItsValuesAsANewTag)
{
    const QByteArray v1 = id3v1("V1 Title", "V1 Artist", "", "1990", "", 2, 13);
    const QString path = F::write(dir, "v1.mp3", audio + v1);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetAlbum("New Album");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio, v1));
    ID3V2Tag back;
    back.SetFileName(path); // both tags now: the trailer goes
    EXPECT_EQ(back.Title(), "V1 Title");
    EXPECT_EQ(back.Artist(), "V1 Artist");
    EXPECT_EQ(back.Album(), "New Album");
    EXPECT_EQ(back.Year(), 1990);
    EXPECT_EQ(back.Genre(), "Pop");
    EXPECT_TRUE(F::audioIntact(path, audio));
}

TEST_F(Id3v2Write, AWriteThatFitsIsDoneInPlace)
{
    const QString path = F::write(dir, "fit.mp3", tag(3, { frame(3, "TIT2", textBody("short")) }, 500) + audio);
    const ino_t before = F::inode(path);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTitle("a somewhat longer title");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(F::inode(path), before);
    EXPECT_EQ(F::read(path).size(), tag(3, {}, 500).size() + frame(3, "TIT2", textBody("short")).size() + audio.size());
    EXPECT_TRUE(F::audioIntact(path, audio));
}

TEST_F(Id3v2Write, AGrowingWriteReplacesTheFileAndKeepsPermissionsAndTrailingTags)
{
    const QByteArray trailing = lyrics3v2("IND0000210");
    const QString path = F::write(dir, "grow.mp3", tag(3, { frame(3, "TIT2", textBody("short")) }) + audio + trailing);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetComments(QString(3000, QLatin1Char('c')));
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio, trailing));
    EXPECT_EQ(F::mode(path), mode_t(0640));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no copy left behind
    ID3V2Tag back;
    back.SetFileName(path);
    EXPECT_EQ(back.Comments().size(), 3000);
}

TEST_F(Id3v2Write, AReadOnlyFileIsRefusedAndUntouched)
{
    const QByteArray v2 = tag(3, { frame(3, "TIT2", textBody("x")) }, 100);
    const QString path = F::write(dir, "ro.mp3", v2 + audio);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTitle("changed");
    EXPECT_FALSE(t.Update());
    EXPECT_FALSE(t.StripTags(TagType::ID3v2));
    EXPECT_EQ(F::read(path), v2 + audio);
}

TEST_F(Id3v2Write, AGrowingWriteInAReadOnlyFolderIsRefused)
{
    QDir(dir.path()).mkdir("locked");
    const QByteArray v2 = tag(3, { frame(3, "TIT2", textBody("x")) });
    const QString path = F::write(dir, "locked/f.mp3", v2 + audio);
    const QByteArray folder = QFile::encodeName(dir.filePath("locked"));
    ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetComments(QString(2000, QLatin1Char('c')));
    EXPECT_FALSE(t.Update());
    EXPECT_EQ(F::read(path), v2 + audio);
    ::chmod(folder.constData(), 0755);
}

TEST_F(Id3v2Write, AWriteThatRunsOutOfRoomIsReportedAndLeavesTheFileAsItWas)
{
    const QByteArray v2 = tag(3, { frame(3, "TIT2", textBody("x")) });
    const QString path = F::write(dir, "full.mp3", v2 + Mp3Builder::audioFrames(200));
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetComments(QString(5000, QLatin1Char('c')));
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit old { };
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 20000; // less than the file: the copy cannot be completed
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = t.Update();
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    EXPECT_EQ(F::read(path), v2 + Mp3Builder::audioFrames(200));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(Id3v2Write, ATagSizePastTheEndIsNeverWritten)
{
    QByteArray bytes = tag(3, { frame(3, "TIT2", textBody("x")), frame(3, "TPE1", textBody("y")) }) + audio;
    bytes.replace(6, 4, QByteArray("\x7F\x7F\x7F\x7F", 4));
    const QString path = F::write(dir, "huge.mp3", bytes);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTitle("changed");
    EXPECT_FALSE(t.Update());
    EXPECT_FALSE(t.StripTags(TagType::ID3v2));
    EXPECT_EQ(F::read(path), bytes);
}

TEST_F(Id3v2Write, ATagWithNoReadableFrameIsNeverWritten)
{
    QByteArray body = QByteArray("\x01\x02garbage that is no frame at all", 33) + QByteArray(20, '\xEE');
    const QByteArray bytes = header(3, quint32(body.size())) + body + audio;
    const QString path = F::write(dir, "garbage.mp3", bytes);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTitle("new");
    EXPECT_FALSE(t.Update());
    EXPECT_EQ(F::read(path), bytes);
}

TEST_F(Id3v2Write, AnEmptyPaddedTagCanBeFilled)
{
    const QString path = F::write(dir, "blank.mp3", tag(3, {}, 300) + audio);
    ID3V2Tag t;
    t.SetFileName(path);
    t.SetTitle("filled");
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    EXPECT_EQ(storedText(path, "TIT2"), "filled");
    EXPECT_TRUE(F::audioIntact(path, audio));
}

TEST_F(Id3v2Write, StripTagsThreeRemovesTheTrailerThenTheTag)
{
    const QString path = F::write(dir, "s.mp3",
        tag(3, { frame(3, "TIT2", textBody("x")) }, 50) + audio + id3v1("t", "a", "b", "2000", "c", 1, 2));
    ID3V2Tag t;
    t.SetFileName(path); // loading already removes the trailer of a file with both: put it back
    F::write(dir, "s.mp3",
        tag(3, { frame(3, "TIT2", textBody("x")) }, 50) + audio + id3v1("t", "a", "b", "2000", "c", 1, 2));
    EXPECT_TRUE(t.StripTags(3));
    EXPECT_EQ(F::read(path), audio);
    EXPECT_FALSE(t.HasTagType(TagType::ID3v1));
    EXPECT_FALSE(t.HasTagType(TagType::ID3v2));
}

TEST_F(Id3v2Write, StripTagsRemovesLyricsAndMusicMatchBlocks)
{
    const QByteArray v1 = id3v1("t", "a", "b", "2000", "c", 1, 2);
    const QString lyrics1 = F::write(dir, "l1.mp3", audio + lyrics3v1("la la la") + v1);
    const QString lyrics2 = F::write(dir, "l2.mp3", audio + lyrics3v2("IND0000210LYR00005words") + v1);
    const QString mm = F::write(dir, "mm.mp3", audio + musicMatch() + v1);
    ID3V2Tag t;
    t.SetFileName(lyrics1);
    EXPECT_TRUE(t.StripTags(TagType::Lyrics3));
    EXPECT_EQ(F::read(lyrics1), audio + v1);
    t.SetFileName(lyrics2);
    EXPECT_TRUE(t.StripTags(TagType::Lyrics3v2));
    EXPECT_EQ(F::read(lyrics2), audio + v1);
    t.SetFileName(mm);
    EXPECT_TRUE(t.StripTags(TagType::MusicMatch));
    EXPECT_EQ(F::read(mm), audio + v1);
}

TEST_F(Id3v2Write, StripTagsAllLeavesOnlyTheAudio)
{
    const QString path = F::write(dir, "all.mp3",
        tag(3, { frame(3, "TIT2", textBody("x")) }) + audio + musicMatch(false) + lyrics3v2("IND0000210")
            + id3v1("t", "a", "b", "2000", "c", 1, 2));
    ID3V2Tag t;
    t.SetFileName(path);
    EXPECT_TRUE(t.StripTags(TagType::All));
    EXPECT_EQ(F::read(path), audio);
}

} // namespace

namespace {

TEST(Id3v2WriteRevival, AValueAssignedToAnEmptyFrameThatTheLoadDeletedIsSaved)
{
    QTemporaryDir dir;
    const QByteArray audio = F::audio();
    const QString path = F::write(dir, "empty-comm.mp3",
        tag(3, { frame(3, "COMM", commentBody("eng", "", "")), frame(3, "TPE1", textBody("a")) }) + audio);
    ID3V2Tag t;
    t.SetFileName(path);
    ASSERT_TRUE(t.Frames().at(0).bDeleted); // the quote pass deleted the empty comment
    t.SetComments("typed later");
    EXPECT_FALSE(t.Frames().at(0).bDeleted);
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(F::audioIntact(path, audio));
    ID3V2Tag back;
    back.SetFileName(path);
    EXPECT_EQ(back.Comments(), "typed later");
    EXPECT_TRUE(F::audioIntact(path, audio));
}

} // namespace

namespace {

TEST(Id3v2WriteOldFrames, FramesThatVersion24AbolishedSurviveAV23Save)
{
    QTemporaryDir dir;
    const QByteArray audio = F::audio();
    const QByteArray rvad = frame(3, "RVAD", QByteArray("\x03\x10\x00\x10\x00\x10", 6));
    const QByteArray equa = frame(3, "EQUA", QByteArray("\x10\x00\x01\x00\x02", 5));
    const QByteArray tsiz = frame(3, "TSIZ", textBody("123"));
    const QByteArray trda = frame(3, "TRDA", textBody("June 2nd"));
    for (int padding : { 0, 400 }) {
        const QString path = F::write(
            dir, "old.mp3", tag(3, { rvad, equa, tsiz, trda, frame(3, "TIT2", textBody("x")) }, padding) + audio);
        ID3V2Tag t;
        t.SetFileName(path);
        t.SetTitle("changed");
        ASSERT_TRUE(t.Update());
        EXPECT_TRUE(F::audioIntact(path, audio));
        const QByteArray after = F::read(path);
        for (const QByteArray& f : { rvad, equa, tsiz, trda })
            EXPECT_TRUE(after.contains(f)) << f.left(4).constData() << " padding " << padding;
        ID3V2Tag back;
        back.SetFileName(path);
        EXPECT_EQ(back.Title(), "changed");
        EXPECT_EQ(back.FrameCount(), 5);
    }
}

} // namespace

namespace {

TEST(Id3v2WriteLinks, AGrowingSaveThroughASymbolicLinkUpdatesItsTargetAndKeepsTheLink)
{
    QTemporaryDir dir;
    const QByteArray audio = F::audio();
    const QString target = F::write(dir, "target.mp3", tag(3, { frame(3, "TIT2", textBody("x")) }) + audio);
    const QString link = dir.filePath("link.mp3");
    ASSERT_TRUE(QFile::link(target, link));
    ID3V2Tag t;
    t.SetFileName(link);
    t.SetComments(QString(3000, QLatin1Char('l')));
    ASSERT_TRUE(t.Update());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(F::audioIntact(target, audio));
    ID3V2Tag back;
    back.SetFileName(target);
    EXPECT_EQ(back.Comments().size(), 3000);
}

} // namespace
