// Tags written by another program (mutagen, driven through python3) go
// through Velmora field by field: a save as loaded changes no byte, and an
// edit changes only the frames of its field, as mutagen reads them.
#include "tags/id3v2tag.h"

#include "support/tagfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace F = TagTestFiles;

namespace {

// make PATH VERSION PADDING: a tag with frames of many kinds and encodings.
// dump PATH: every frame as mutagen reads it, keyed by its hash key, and an
// MD5 of the bytes after the tag.
const char kMutagen[] = R"PY(
import sys, json, hashlib
import mutagen.id3 as m
cmd, path = sys.argv[1], sys.argv[2]
if cmd == "make":
    version, padding = int(sys.argv[3]), int(sys.argv[4])
    e = 3 if version == 4 else 1
    t = m.ID3()
    t.add(m.TIT2(encoding=e, text=["Titel \u043a\u043b\u044e\u0447"]))
    t.add(m.TPE1(encoding=e, text=["Artist One", "Artist Two"]))
    t.add(m.TALB(encoding=0, text=["Album"]))
    t.add(m.TRCK(encoding=0, text=["03/12"]))
    t.add(m.TPOS(encoding=0, text=["1/2"]))
    t.add(m.TCON(encoding=0, text=["(17)"]))
    t.add(m.TDRC(encoding=0, text=["1987-05-06T12:34"]))
    t.add(m.COMM(encoding=e, lang="eng", desc="", text=["Comment \u00e9"]))
    t.add(m.COMM(encoding=0, lang="deu", desc="", text=["Kommentar"]))
    t.add(m.COMM(encoding=0, lang="eng", desc="MusicMatch_Mood", text=["Calm"]))
    t.add(m.COMM(encoding=0, lang="eng", desc="iTunNORM", text=[" 000003E8"]))
    t.add(m.TXXX(encoding=e, desc="MusicBrainz Album Id", text=["0b7f-\u00e9"]))
    t.add(m.TXXX(encoding=0, desc="", text=["user text"]))
    t.add(m.UFID(owner="http://musicbrainz.org", data=b"\x12\"\x00 binary id"))
    t.add(m.WOAR(url="http://artist.example/"))
    t.add(m.WXXX(encoding=0, desc="", url="http://user.example/"))
    t.add(m.TCOM(encoding=e, text=["Composer \u043a"]))
    t.add(m.TOPE(encoding=0, text=["Original"]))
    t.add(m.TENC(encoding=0, text=["Encoder"]))
    t.add(m.TBPM(encoding=0, text=["120"]))
    t.add(m.TSOP(encoding=0, text=["One, Artist"]))
    t.add(m.USLT(encoding=e, lang="eng", desc="", text="Lyrics \u043a\u043b\u044e\u0447"))
    t.add(m.APIC(encoding=0, mime="image/png", type=3, desc="front", data=b"\x89PNG\r\n\x1a\n" + bytes(range(256))))
    t.add(m.POPM(email="someone@example", rating=196, count=7))
    t.add(m.PRIV(owner="WM/Provider", data=b"\x00\x01\x02"))
    if version == 4:
        t.add(m.RVA2(desc="track", channel=1, gain=-3.5, peak=0.9))
    t.save(path, v2_version=version, padding=lambda info: padding)
else:
    t = m.ID3(path, translate=False)
    data = open(path, "rb").read()
    frames = {k: repr(v) for k, v in t.items()}
    texts = {}
    for k, v in t.items():
        if hasattr(v, "url"):
            texts[k] = v.url
        elif k.startswith("UFID"):
            texts[k] = v.data.decode("latin-1")
        elif k.startswith("TCON"):
            texts[k] = "|".join(v.genres)
        elif hasattr(v, "text"):
            texts[k] = "|".join(str(x) for x in v.text) if isinstance(v.text, list) else str(v.text)
    audio = hashlib.md5(data[t.size:]).hexdigest()
    print(json.dumps({"frames": frames, "texts": texts, "audio": audio}))
)PY";

QByteArray runMutagen(const QStringList& args)
{
    QProcess p;
    p.start(
        QStringLiteral("/usr/bin/python3"), QStringList { QStringLiteral("-c"), QString::fromUtf8(kMutagen) } + args);
    p.waitForFinished(60000);
    const QByteArray out = p.readAllStandardOutput();
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return out;
}

struct Dump {
    QJsonObject frames;
    QJsonObject texts;
    QString audio;
};

Dump dump(const QString& path)
{
    const QJsonObject o = QJsonDocument::fromJson(runMutagen({ QStringLiteral("dump"), path })).object();
    return { o.value(QStringLiteral("frames")).toObject(), o.value(QStringLiteral("texts")).toObject(),
        o.value(QStringLiteral("audio")).toString() };
}

// Whether the frame key belongs to the edited field: an exact key, or a
// prefix ending in ":" (a URL frame's key holds its URL).
bool owned(const QString& key, const QStringList& keys)
{
    for (const QString& k : keys)
        if (key == k || (k.endsWith(QLatin1Char(':')) && key.startsWith(k)))
            return true;
    return false;
}

TEST(OtherTaggers, EditsChangeOnlyTheirOwnFramesAsAnotherReaderSees)
{
    const QString text = QStringLiteral("Edited \u043A\u043B\u044E\u0447");
    const QString url = QStringLiteral("http://edited.example/\u043A");
    const QString urlRead = QStringLiteral("http://edited.example/%D0%BA");
    struct Edit {
        FieldId field;
        QString value;
        QStringList keys; // the frames this field may change
        QString key; // where mutagen finds the new value
        QString read; // the value as mutagen reads it
    };
    const QList<Edit> edits {
        { FieldId::Title, text, { "TIT2" }, "TIT2", text },
        { FieldId::Artist, text, { "TPE1" }, "TPE1", text },
        { FieldId::Album, text, { "TALB" }, "TALB", text },
        { FieldId::Track, "7", { "TRCK" }, "TRCK", "7/12" },
        { FieldId::TotalTracks, "20", { "TRCK" }, "TRCK", "3/20" },
        { FieldId::Year, "2001", { "TDRC", "TYER", "TDAT", "TIME" }, "TDRC", "2001" },
        { FieldId::Genre, "Jazz", { "TCON" }, "TCON", "Jazz" },
        { FieldId::Comments, text, {}, {}, text },
        { FieldId::UniqueKey, "key-\u043A", { "UFID:Velmora" }, "UFID:Velmora",
            QString::fromLatin1("k e y - \xD0 \xBA ") },
        { FieldId::UserText, text, { "TXXX:" }, "TXXX:", text },
        { FieldId::UserURL, url, { "WXXX:" }, "WXXX:", urlRead },
        { FieldId::ArtistURL, url, { "WOAR:" }, "WOAR:" + urlRead, urlRead },
        { FieldId::Composer, text, { "TCOM" }, "TCOM", text },
        { FieldId::OrigArtist, text, { "TOPE" }, "TOPE", text },
        { FieldId::EncodedBy, text, { "TENC" }, "TENC", text },
        { FieldId::Mood, text, { "COMM:MusicMatch_Mood:eng" }, "COMM:MusicMatch_Mood:eng", text },
        { FieldId::Tempo, "Fast", { "COMM:MusicMatch_Tempo:eng" }, "COMM:MusicMatch_Tempo:eng", "Fast" },
    };
    for (int version : { 3, 4 }) {
        for (int padding : { 0, 4096 }) {
            SCOPED_TRACE(QStringLiteral("version %1, padding %2").arg(version).arg(padding).toStdString());
            QTemporaryDir dir;
            const QString source = F::write(dir, QStringLiteral("source.mp3"), F::audio());
            runMutagen({ QStringLiteral("make"), source, QString::number(version), QString::number(padding) });
            const QByteArray made = F::read(source);
            const Dump before = dump(source);
            ASSERT_FALSE(before.frames.isEmpty());

            ID3V2Tag asLoaded;
            asLoaded.setFileName(source);
            for (int i = 0; i < kFieldCount; ++i)
                asLoaded.setFieldText(FieldId(i), asLoaded.fieldText(FieldId(i)));
            ASSERT_TRUE(asLoaded.update());
            EXPECT_EQ(F::read(source), made) << "a save as loaded changed the file";

            for (const Edit& e : edits) {
                SCOPED_TRACE(fieldInfo(e.field).name);
                const QString path = dir.filePath(QStringLiteral("edited.mp3"));
                QFile::remove(path);
                ASSERT_TRUE(QFile::copy(source, path));
                ID3V2Tag t;
                t.setFileName(path);
                QString key = e.key;
                QStringList keys = e.keys;
                if (e.field == FieldId::Year && version == 3)
                    key = QStringLiteral("TYER"); // mutagen shows TDRC only for a year with a date
                if (e.field == FieldId::Comments) {
                    // Of several comments without a description, the one shown is the one edited.
                    for (const QString& k : before.texts.keys())
                        if (k.startsWith(QLatin1String("COMM::")) && before.texts.value(k).toString() == t.comments())
                            key = k;
                    ASSERT_FALSE(key.isEmpty());
                    keys = QStringList { key };
                }
                t.setFieldText(e.field, e.value);
                ASSERT_TRUE(t.update()) << t.lastWriteError().description.toStdString();
                const Dump after = dump(path);
                EXPECT_EQ(after.audio, before.audio);
                EXPECT_EQ(after.texts.value(key).toString(), e.read);
                QStringList all = before.frames.keys() + after.frames.keys();
                all.removeDuplicates();
                for (const QString& k : all) {
                    if (!owned(k, keys)) {
                        EXPECT_EQ(after.frames.value(k), before.frames.value(k)) << k.toStdString();
                    }
                }
            }
        }
    }
}

} // namespace
