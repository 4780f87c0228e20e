// A save changes the bytes of the one frame it edits and nothing else: every
// other frame stays byte for byte, the audio after the tag is untouched and
// an independent reader (TagLib) finds the new value beside the old ones.
// The files cover ID3v2.2, 2.3 and 2.4 (group bytes, data length
// indicators, unsynchronised frames, sizes beyond 127, a footer), several
// comments and lyrics told apart by description and language, and Layer III
// audio of every MPEG version with and without CRC. Frames are compared as
// the test built them, walked by the test's own reader of the standards.
#include "tags/id3v2tag.h"

#include "framebytes.h"
#include "mpegstream.h"
#include "support/tagfiles.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/unsynchronizedlyricsframe.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace Id3Builder;
using namespace FrameBytes;
namespace F = TagTestFiles;
using MpegStream::Kind;

// Readable frames in failure messages: printable bytes as they are, the
// others as \xHH.
inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << '"';
    for (char c : bytes.left(160)) {
        if (c >= 0x20 && c < 0x7F)
            *os << c;
        else
            *os << "\\x" << QByteArray(1, c).toHex().constData();
    }
    *os << (bytes.size() > 160 ? "...\"" : "\"");
}

namespace {

constexpr int kAudioFrames = 10;

// ---- TagLib's reading -----------------------------------------------------

QString fromTagLib(const TagLib::String& s)
{
    return QString::fromStdString(s.to8Bit(true));
}

// A 2.4 frame with a group byte (TagLib 1.13 takes the group byte for
// the frame's data and misreads the frame, and with a data length
// indicator the frames after it).
bool grouped(int version, const QByteArray& frame)
{
    return version == 4 && frame.size() >= 10 && (frame[9] & 0x40);
}

// One line per frame as TagLib reads it: "ID|language|description|text"
// for comments and lyrics, "ID|description|text" for user texts, "ID|text"
// for the other text frames and "ID" for the rest; sorted. Grouped frames,
// which TagLib cannot read, are left out: TagLib reads a copy of the file
// without them.
QStringList tagLibView(const QString& path)
{
    const QByteArray bytes = F::read(path);
    const RawTag raw = rawTag(bytes);
    QString readable = path;
    if (std::any_of(
            raw.frames.begin(), raw.frames.end(), [&](const QByteArray& f) { return grouped(raw.version, f); })) {
        QList<QByteArray> frames;
        for (const QByteArray& f : raw.frames)
            if (!grouped(raw.version, f))
                frames << f;
        readable = path + QStringLiteral(".ungrouped.mp3");
        EXPECT_TRUE(Mp3Builder::writeFile(readable, tag(raw.version, frames) + bytes.mid(raw.size)));
    }
    TagLib::MPEG::File f(QFile::encodeName(readable).constData(), false);
    if (!f.hasID3v2Tag())
        return { QStringLiteral("<no tag>") };
    QStringList out;
    for (const TagLib::ID3v2::Frame* frame : f.ID3v2Tag()->frameList()) {
        const TagLib::ByteVector id = frame->frameID();
        QString line = QString::fromLatin1(QByteArray(id.data(), int(id.size())));
        if (const auto* c = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame)) {
            const TagLib::ByteVector lang = c->language();
            line += '|' + QString::fromLatin1(QByteArray(lang.data(), int(lang.size()))) + '|'
                + fromTagLib(c->description()) + '|' + fromTagLib(c->text());
        } else if (const auto* l = dynamic_cast<const TagLib::ID3v2::UnsynchronizedLyricsFrame*>(frame)) {
            const TagLib::ByteVector lang = l->language();
            line += '|' + QString::fromLatin1(QByteArray(lang.data(), int(lang.size()))) + '|'
                + fromTagLib(l->description()) + '|' + fromTagLib(l->text());
        } else if (const auto* u = dynamic_cast<const TagLib::ID3v2::UserTextIdentificationFrame*>(frame)) {
            TagLib::StringList fields = u->fieldList();
            if (!fields.isEmpty())
                fields.erase(fields.begin());
            line += '|' + fromTagLib(u->description()) + '|' + fromTagLib(fields.toString("/"));
        } else if (const auto* t = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frame)) {
            line += '|' + fromTagLib(t->fieldList().toString("/"));
        }
        out << line;
    }
    std::sort(out.begin(), out.end());
    return out;
}

// before without its first line equal to oldLine (when given), with newLine
// (when given), in TagLib's order of lines.
QStringList changedView(QStringList before, const QString& oldLine, const QString& newLine)
{
    if (!oldLine.isEmpty()) {
        EXPECT_TRUE(before.contains(oldLine)) << "TagLib did not read " << oldLine.toStdString();
        before.removeOne(oldLine);
    }
    if (!newLine.isEmpty())
        before << newLine;
    std::sort(before.begin(), before.end());
    return before;
}

QString commLine(const char* id, const char* lang, const QString& desc, const QString& text)
{
    return QStringLiteral("%1|%2|%3|%4").arg(QLatin1String(id), QLatin1String(lang), desc, text);
}

// ---- The tags -------------------------------------------------------------

// The identifier of a frame in the version (2.2 names its frames with three characters).
QByteArray idFor(int version, const QByteArray& id4)
{
    static const char* const v22[][2] = {
        { "TIT2", "TT2" },
        { "TPE1", "TP1" },
        { "TPE2", "TP2" },
        { "TALB", "TAL" },
        { "TCOM", "TCM" },
        { "COMM", "COM" },
        { "TXXX", "TXX" },
        { "USLT", "ULT" },
        { "APIC", "PIC" },
    };
    if (version != 2)
        return id4;
    for (const auto& pair : v22)
        if (id4 == pair[0])
            return pair[1];
    return QByteArray();
}

// 2.4 frame format flags and what they put before the body.
constexpr quint16 kGrouped = 0x0040;
constexpr quint16 kUnsynchronised = 0x0002;
constexpr quint16 kDataLength = 0x0001;

QByteArray frame24(const QByteArray& id, const QByteArray& body, quint16 format)
{
    QByteArray data = format & kUnsynchronised ? unsynchronised(body) : body;
    if (format & kDataLength)
        data = syncsafe(quint32(body.size())) + data;
    if (format & kGrouped)
        data = char(0x07) + data;
    return frame(4, id, data, format);
}

const QString kTitle = QStringLiteral("Night Drive");
const QString kArtist = QStringLiteral("The Velvet Hours");
const QString kLongComment = QStringLiteral("Recorded live at the harbour, ").repeated(10); // 300 characters
const QString kMood = QStringLiteral("Calm");
const QString kGermanComment = QStringLiteral("Aufgenommen im Hafen");
const QString kNote = QStringLiteral("remarque");
const QString kUserText = QString::fromUtf8("ÿ plain user text"); // UTF-16: FF bytes to unsynchronise
const QString kCatalog = QStringLiteral("CAT-0042");
const QString kLyrics = QStringLiteral("la la la");
const QString kGermanLyrics = QStringLiteral("la la la auf Deutsch");

// Where each frame of the fixture sits.
enum FrameAt {
    TitleAt,
    ArtistAt,
    CommentAt,
    MoodAt,
    GermanCommentAt,
    NoteAt,
    UserTextAt,
    CatalogAt,
    LyricsAt,
    GermanLyricsAt,
    PictureAt,
};

// The fixture's frames in the version. In 2.4 the title has a group byte,
// the artist a data length indicator, the user text is unsynchronised
// alone, the catalog number has both a group byte and a data length, and
// the comment's 305 bytes need two sync-safe size bytes.
QList<QByteArray> fixtureFrames(int version)
{
    auto plain = [version](const QByteArray& id4, const QByteArray& body) {
        return version == 4 ? frame24(id4, body, 0) : frame(version, idFor(version, id4), body);
    };
    auto flagged = [&](const QByteArray& id4, const QByteArray& body, quint16 format) {
        return version == 4 ? frame24(id4, body, format) : plain(id4, body);
    };
    const QByteArray picture = version == 2
        ? QByteArray(1, '\0') + "JPG" + char(3) + "cover" + '\0' + QByteArray(200, '\x42')
        : pictureBody("image/jpeg", 3, "cover", QByteArray(200, '\x42'));
    QList<QByteArray> frames = {
        flagged("TIT2", textBody(kTitle), kGrouped),
        flagged("TPE1", textBody(kArtist), kDataLength),
        plain("COMM", commentBody("eng", "", kLongComment)),
        plain("COMM", commentBody("eng", "MusicMatch_Mood", kMood)),
        plain("COMM", commentBody("deu", "", kGermanComment)),
        plain("COMM", commentBody("fra", "note", kNote)),
        flagged("TXXX", userTextBody("", kUserText, Enc::Utf16), kUnsynchronised),
        flagged("TXXX", userTextBody("CATALOG", kCatalog), kGrouped | kDataLength),
        plain("USLT", commentBody("eng", "", kLyrics)),
        plain("USLT", commentBody("deu", "", kGermanLyrics)),
        plain("APIC", picture),
    };
    if (version != 2)
        frames << frame(version, "PRIV", QByteArray("owner\0\x01\x02\x03", 9));
    return frames;
}

// TagLib's lines of the fixture's frames the edits below touch.
const QString kTitleLine = QStringLiteral("TIT2|") + kTitle;
const QString kCommentLine = commLine("COMM", "eng", "", kLongComment);
const QString kMoodLine = commLine("COMM", "eng", "MusicMatch_Mood", kMood);
const QString kLyricsLine = commLine("USLT", "eng", "", kLyrics);

struct Layout {
    const char* name;
    int version;
    bool footer;
};

const Layout kLayouts[] = {
    { "v22", 2, false },
    { "v23", 3, false },
    { "v24", 4, false },
    { "v24_footer", 4, true },
};

QByteArray tagOf(const Layout& layout, const QList<QByteArray>& frames)
{
    if (!layout.footer)
        return tag(layout.version, frames, 64);
    const QByteArray t = tag(4, frames, 0, 0x10);
    return t + "3DI" + t.mid(3, 7);
}

// ---- Edits ----------------------------------------------------------------

enum class Effect { Replaces, Removes, Adds };

struct Edit {
    const char* name;
    std::function<void(ID3V2Tag&)> apply;
    Effect effect;
    int frameAt; // the fixture's frame replaced or removed
    QByteArray id4; // the frame written
    QString oldLine; // TagLib's line of the frame before ("" none)
    QString newLine; // and after
};

const QString kNewComment = QStringLiteral("Edited after the concert, ").repeated(12).left(300);

std::vector<Edit> edits()
{
    const QString composer = QString::fromUtf8("Antonín Dvořák");
    const QString userText = QString::fromUtf8("new user text ✓");
    const QString note = QString::fromUtf8("remarque modifiée");
    return {
        { "title", [](ID3V2Tag& t) { t.setTitle("Morning Drive"); }, Effect::Replaces, TitleAt, "TIT2", kTitleLine,
            "TIT2|Morning Drive" },
        { "artist_cleared", [](ID3V2Tag& t) { t.setArtist(""); }, Effect::Removes, ArtistAt, "TPE1", "TPE1|" + kArtist,
            "" },
        // 300 characters: a 2.4 frame size that needs two sync-safe bytes.
        { "comments", [](ID3V2Tag& t) { t.setComments(kNewComment); }, Effect::Replaces, CommentAt, "COMM",
            kCommentLine, commLine("COMM", "eng", "", kNewComment) },
        { "mood", [](ID3V2Tag& t) { t.setMood("Stormy"); }, Effect::Replaces, MoodAt, "COMM", kMoodLine,
            commLine("COMM", "eng", "MusicMatch_Mood", "Stormy") },
        { "french_note", [note](ID3V2Tag& t) { t.setFrameValue("COMM", note, "note"); }, Effect::Replaces, NoteAt,
            "COMM", commLine("COMM", "fra", "note", kNote), commLine("COMM", "fra", "note", note) },
        { "user_text", [userText](ID3V2Tag& t) { t.setUserText(userText); }, Effect::Replaces, UserTextAt, "TXXX",
            "TXXX||" + kUserText, "TXXX||" + userText },
        { "catalog", [](ID3V2Tag& t) { t.setFrameValue("TXXX", "CAT-0043", "CATALOG"); }, Effect::Replaces, CatalogAt,
            "TXXX", "TXXX|CATALOG|" + kCatalog, "TXXX|CATALOG|CAT-0043" },
        { "lyrics", [](ID3V2Tag& t) { t.setLyricsUnsynced("new words"); }, Effect::Replaces, LyricsAt, "USLT",
            kLyricsLine, commLine("USLT", "eng", "", "new words") },
        { "album_added", [](ID3V2Tag& t) { t.setAlbum("First Album"); }, Effect::Adds, -1, "TALB", "",
            "TALB|First Album" },
        { "composer_added", [composer](ID3V2Tag& t) { t.setComposer(composer); }, Effect::Adds, -1, "TCOM", "",
            "TCOM|" + composer },
    };
}

// ---- Checks ---------------------------------------------------------------

// The saved tag holds the frames of `before` exactly, but for the one the
// edit replaced, removed or added, which has the edit's identifier.
void expectOnlyTheEditedFrameChanged(const QList<QByteArray>& before, const RawTag& after, const Edit& edit)
{
    QList<QByteArray> want = before;
    QList<QByteArray> got = after.frames;
    const QByteArray id = idFor(after.version, edit.id4);
    switch (edit.effect) {
    case Effect::Replaces:
        ASSERT_EQ(got.size(), want.size());
        EXPECT_TRUE(got[edit.frameAt].startsWith(id)) << got[edit.frameAt].left(4).toStdString();
        EXPECT_NE(got[edit.frameAt], want[edit.frameAt]);
        got.removeAt(edit.frameAt);
        want.removeAt(edit.frameAt);
        break;
    case Effect::Removes:
        want.removeAt(edit.frameAt);
        break;
    case Effect::Adds:
        ASSERT_EQ(got.size(), want.size() + 1);
        EXPECT_TRUE(got.last().startsWith(id)) << got.last().left(4).toStdString();
        got.removeLast();
        break;
    }
    EXPECT_EQ(got, want);
}

// Loads the file, applies the edit, saves, and checks the frames, the audio
// and TagLib's reading. frames: those the file holds now.
void checkSave(const QString& path, const QList<QByteArray>& frames, const QByteArray& audio, const Edit& edit,
    const std::function<void(const QString&)>& betweenLoadAndSave = {})
{
    SCOPED_TRACE(edit.name);
    ID3V2Tag t;
    t.setFileName(path);
    ASSERT_EQ(t.fileName(), path);
    edit.apply(t);
    if (betweenLoadAndSave)
        betweenLoadAndSave(path);
    const QStringList before = tagLibView(path);
    const bool oldReadable
        = edit.effect == Effect::Adds || !grouped(rawTag(F::read(path)).version, frames[edit.frameAt]);
    ASSERT_TRUE(t.update()) << t.lastError().toStdString();

    const QByteArray saved = F::read(path);
    const RawTag after = rawTag(saved);
    ASSERT_EQ(after.problem, QString());
    expectOnlyTheEditedFrameChanged(frames, after, edit);
    EXPECT_EQ(saved.mid(after.size), audio) << "the audio after the tag changed";
    EXPECT_EQ(tagLibView(path), changedView(before, oldReadable ? edit.oldLine : QString(), edit.newLine));
}

// What the load must read from the fixture (the values behind group bytes,
// data length indicators and unsynchronisation included).
void expectFixtureValues(const ID3V2Tag& t)
{
    EXPECT_EQ(t.title(), kTitle);
    EXPECT_EQ(t.artist(), kArtist);
    EXPECT_EQ(t.comments(), kLongComment);
    EXPECT_EQ(t.mood(), kMood);
    EXPECT_EQ(t.userText(), kUserText);
    EXPECT_EQ(t.getFrameValue("TXXX", "CATALOG").toString(), kCatalog);
    EXPECT_EQ(t.getFrameValue("COMM", "note").toString(), kNote);
    EXPECT_EQ(t.lyricsUnsynced(), kLyrics);
}

// MpegStream's versions, in its order, as the tag layer names them.
constexpr MpegFrame::Version kMpegVersions[] = { MpegFrame::Mpeg1, MpegFrame::Mpeg2, MpegFrame::Mpeg25 };

class ByteGuard : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& bytes) { return F::write(dir, name, bytes); }
};

// ---- Tests ----------------------------------------------------------------

TEST_F(ByteGuard, TheLoadReadsEveryFrameBehindItsFlagsAndTheAudioOfEveryVersion)
{
    for (const Kind& kind : MpegStream::kKinds) {
        const QByteArray audio = MpegStream::frames(kind, kAudioFrames);
        for (const Layout& layout : kLayouts) {
            SCOPED_TRACE(std::string(kind.name) + " " + layout.name);
            const QString path = write("load.mp3", tagOf(layout, fixtureFrames(layout.version)) + audio);
            const QByteArray bytes = F::read(path);
            ID3V2Tag t;
            t.setFileName(path);
            EXPECT_EQ(t.tagVersion(), layout.version);
            EXPECT_EQ(t.frameCount(), fixtureFrames(layout.version).size());
            expectFixtureValues(t);
            EXPECT_EQ(t.audio().headerPosition, bytes.size() - audio.size() + 1);
            EXPECT_EQ(t.audio().mpegVersion, kMpegVersions[int(kind.version)]);
            EXPECT_EQ(t.audio().protection, kind.crc);
            EXPECT_EQ(t.audio().totalFrames, kAudioFrames);
            EXPECT_EQ(F::read(path), bytes) << "the load changed the file";
        }
    }
}

TEST_F(ByteGuard, AnEditChangesOnlyItsFrameInEveryVersionBeforeAudioOfEveryKind)
{
    for (const Kind& kind : MpegStream::kKinds) {
        const QByteArray audio = MpegStream::frames(kind, kAudioFrames);
        for (const Layout& layout : kLayouts) {
            const QList<QByteArray> frames = fixtureFrames(layout.version);
            for (const Edit& edit : edits()) {
                SCOPED_TRACE(std::string(kind.name) + " " + layout.name);
                const QString path = write("edit.mp3", tagOf(layout, frames) + audio);
                checkSave(path, frames, audio, edit);
                ID3V2Tag back;
                back.setFileName(path);
                EXPECT_EQ(back.tagVersion(), layout.version);
            }
        }
    }
}

// ---- Another program changes the tag between the load and the save --------

struct OutsideChange {
    const char* name;
    std::function<QList<QByteArray>(QList<QByteArray>, int version)> rewrite;
    Edit edit; // frameAt: where the edited frame sits in the rewritten tag
};

std::vector<OutsideChange> outsideChanges()
{
    auto moved = [](int from, int to) {
        return [from, to](QList<QByteArray> f, int) {
            f.move(from, to);
            return f;
        };
    };
    const Edit mood = { "mood", [](ID3V2Tag& t) { t.setMood("Stormy"); }, Effect::Replaces, -1, "COMM", kMoodLine,
        commLine("COMM", "eng", "MusicMatch_Mood", "Stormy") };
    const Edit comments = { "comments", [](ID3V2Tag& t) { t.setComments("short now"); }, Effect::Replaces, -1, "COMM",
        kCommentLine, commLine("COMM", "eng", "", "short now") };
    const Edit lyrics = { "lyrics", [](ID3V2Tag& t) { t.setLyricsUnsynced("new words"); }, Effect::Replaces, -1, "USLT",
        kLyricsLine, commLine("USLT", "eng", "", "new words") };
    auto at = [](Edit e, int frameAt) {
        e.frameAt = frameAt;
        return e;
    };
    auto added = [](Edit e) {
        e.effect = Effect::Adds;
        e.oldLine.clear();
        return e;
    };
    return {
        { "a_frame_put_in_front",
            [](QList<QByteArray> f, int version) {
                f.prepend(
                    version == 4 ? frame24("TPE2", textBody("Band"), 0) : frame(version, "TPE2", textBody("Band")));
                return f;
            },
            at(mood, MoodAt + 1) },
        { "mood_moved_before_the_comment", moved(MoodAt, CommentAt), at(comments, CommentAt + 1) },
        { "mood_moved_to_the_end", moved(MoodAt, PictureAt), at(mood, PictureAt) },
        { "mood_removed",
            [](QList<QByteArray> f, int) {
                f.removeAt(MoodAt);
                return f;
            },
            added(mood) },
        { "title_retyped",
            [](QList<QByteArray> f, int version) {
                f[TitleAt] = version == 4 ? frame24("TIT2", textBody("Outside Title"), 0)
                                          : frame(version, "TIT2", textBody("Outside Title"));
                return f;
            },
            at(mood, MoodAt) },
        // Told apart by language only.
        { "german_comment_moved_before_the_english", moved(GermanCommentAt, CommentAt), at(comments, CommentAt + 1) },
        { "german_lyrics_moved_before_the_english", moved(GermanLyricsAt, LyricsAt), at(lyrics, LyricsAt + 1) },
    };
}

TEST_F(ByteGuard, AfterAnotherProgramRewroteTheTagTheEditFindsItsFrameByKindDescriptionAndLanguage)
{
    const QByteArray audio = MpegStream::frames(MpegStream::kKinds[5], kAudioFrames);
    for (const OutsideChange& c : outsideChanges()) {
        for (const Layout& layout : kLayouts) {
            if (layout.version == 2)
                continue; // the rewrites name 2.3 frames
            SCOPED_TRACE(std::string(c.name) + " " + layout.name);
            const QList<QByteArray> outside = c.rewrite(fixtureFrames(layout.version), layout.version);
            const QString path = write("outside.mp3", tagOf(layout, fixtureFrames(layout.version)) + audio);
            checkSave(path, outside, audio, c.edit,
                [&](const QString& p) { ASSERT_TRUE(Mp3Builder::writeFile(p, tagOf(layout, outside) + audio)); });
        }
    }
}

} // namespace
