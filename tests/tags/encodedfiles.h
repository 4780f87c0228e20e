#pragma once

// FLAC, Ogg Vorbis, Opus and MP4 files made by the common encoders with rich
// tags, and what independent readers (mutagen, ffmpeg) see in them. A
// missing tool fails the test that needs it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace EncodedFiles {

enum class Kind { Flac, FlacCue, Vorbis, Opus, AacFaststart, AacMoovLast, AacFragmented, Alac };

inline const char* kindName(Kind k)
{
    static const char* names[]
        = { "flac", "flac_cue", "vorbis", "opus", "aac_faststart", "aac_moov_last", "aac_fragmented", "alac" };
    return names[int(k)];
}

inline bool isMp4(Kind k)
{
    return k >= Kind::AacFaststart;
}

// Runs a program; its standard output. A failure is reported with its errors.
inline QByteArray run(const QString& program, const QStringList& args, bool* ok = nullptr)
{
    QProcess p;
    p.start(program, args);
    const bool done = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok)
        *ok = done;
    else
        EXPECT_TRUE(done) << qPrintable(program) << " " << qPrintable(args.join(' ')) << ": "
                          << p.readAllStandardError().constData() << qPrintable(p.errorString());
    return p.readAllStandardOutput();
}

// Prints every tag item of a FLAC, Ogg Vorbis, Opus or MP4 file as JSON, read
// by mutagen. Comment keys are upper-cased and grouped (values keep their
// order); binary data show as SHA-1 digests.
constexpr const char* kDumpScript = R"(
import hashlib
import json
import sys

import mutagen
from mutagen.flac import FLAC
from mutagen.mp4 import MP4, MP4Cover, MP4FreeForm


def digest(data):
    return hashlib.sha1(bytes(data)).hexdigest()


def picture(p):
    return [p.type, p.mime, p.desc, p.width, p.height, p.depth, p.colors, digest(p.data)]


def comments(tags):
    out = {}
    for key, value in tags or []:
        out.setdefault("comment:" + key.upper(), []).append(value)
    return out


def mp4value(v):
    if isinstance(v, MP4Cover):
        return ["cover", int(v.imageformat), digest(v)]
    if isinstance(v, MP4FreeForm):
        if v.dataformat == 1:
            return ["text", bytes(v).decode("utf-8")]
        return ["data", int(v.dataformat), digest(v)]
    if isinstance(v, tuple):
        return list(v)
    if isinstance(v, bytes):
        return ["bytes", digest(v)]
    return v


def dump(path):
    f = mutagen.File(path)
    out = {}
    if isinstance(f, FLAC):
        out.update(comments(f.tags))
        out["pictures"] = [picture(p) for p in f.pictures]
        # Blocks of the stream: 0 stream info, 2 application, 3 seek table, 5 cue sheet.
        out["blocks"] = [[b.code, digest(b.write())] for b in f.metadata_blocks if b.code in (0, 2, 3, 5)]
    elif isinstance(f, MP4):
        for key, values in (f.tags or {}).items():
            if not isinstance(values, list):
                values = [values]
            out["item:" + key] = [mp4value(v) for v in values]
    else:
        out.update(comments(f.tags))
    return out


print(json.dumps(dump(sys.argv[1]), sort_keys=True, ensure_ascii=False))
)";

// Every tag item mutagen sees: "comment:KEY" -> values, "item:KEY" -> values,
// "pictures" (type, MIME, description, size, depth, colours, data digest),
// "blocks" (stream info, application, seek table, cue sheet).
inline QJsonObject dump(const QString& path)
{
    const QByteArray out = run(QStringLiteral("/usr/bin/python3"), { "-c", kDumpScript, path });
    return QJsonDocument::fromJson(out).object();
}

// The MD5 of the decoded audio.
inline QByteArray audioMd5(const QString& path)
{
    return run(QStringLiteral("ffmpeg"), { "-v", "error", "-i", path, "-map", "0:a", "-f", "md5", "-" }).trimmed();
}

inline QString writeText(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    return f.fileName();
}

// Adds an APPLICATION block ("VLMR" and some bytes) after the stream info.
inline void addApplicationBlock(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    ASSERT_TRUE(bytes.startsWith("fLaC"));
    const QByteArray body = "VLMR" + QByteArray("application data", 16);
    QByteArray block(1, char(2));
    block += char(0);
    block += char(0);
    block += char(body.size());
    bytes.insert(4 + 4 + 34, block + body);
    f.resize(0);
    f.seek(0);
    f.write(bytes);
}

// Tags and extra items an MP4 file gets from mutagen (ffmpeg writes few):
// free-form items, an unknown text atom, a cover, numbers.
constexpr const char* kMp4Extras = R"(
import sys
from mutagen.mp4 import MP4, MP4Cover, MP4FreeForm
f = MP4(sys.argv[1])
f["\xa9ART"] = ["First Artist", "Second Artist"]
f["\xa9alb"] = ["Album \u00e9\u4e2d"]
f["trkn"] = [(3, 12)]
f["disk"] = [(1, 2)]
f["tmpo"] = [128]
f["cpil"] = True
f["\xa9day"] = ["2020-05-01"]
f["----:com.apple.iTunes:replaygain_track_gain"] = [MP4FreeForm(b"-6.50 dB")]
f["----:com.apple.iTunes:MusicBrainz Track Id"] = [MP4FreeForm(b"9a4f6c1e-1111-4b7e-9c55-5d2b7f1d3e01")]
f["----:org.velmora:UNKNOWN"] = [MP4FreeForm(b"one"), MP4FreeForm(b"two")]
f["----:org.velmora:BINARY"] = [MP4FreeForm(b"\x00\x01\x02", dataformat=0)]
f["\xa9xyz"] = ["unknown text atom"]
f["covr"] = [MP4Cover(open(sys.argv[2], "rb").read(), imageformat=MP4Cover.FORMAT_PNG)]
f.save()
)";

// The comments every FLAC and Ogg file gets.
inline QStringList vorbisComments()
{
    return { "TITLE=Title \u00e9\u4e2d\u2603", "ARTIST=First Artist", "ARTIST=Second Artist", "ALBUM=The Album",
        "TRACKNUMBER=03", "TRACKTOTAL=12", "DATE=2020-05-01", "GENRE=Rock", "REPLAYGAIN_TRACK_GAIN=-6.50 dB",
        "REPLAYGAIN_TRACK_PEAK=0.988", "MUSICBRAINZ_TRACKID=9a4f6c1e-1111-4b7e-9c55-5d2b7f1d3e01",
        "VELMORA_UNKNOWN=kept as it is", "COMMENT=line one\nline two" };
}

// Makes a two-second file of this kind in dir, with rich tags and a cover.
inline QString make(const QTemporaryDir& dir, Kind kind, const QString& name = QString())
{
    const QString wav = dir.filePath("source.wav");
    const QString cover = dir.filePath("cover.png");
    if (!QFile::exists(wav)) {
        run("ffmpeg",
            { "-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=2", "-ac", "2", "-ar", "44100",
                "-fflags", "+bitexact", "-flags:a", "+bitexact", wav });
        run("ffmpeg", { "-v", "error", "-y", "-f", "lavfi", "-i", "color=red:size=16x8", "-frames:v", "1", cover });
    }
    static const char* suffixes[] = { "flac", "flac", "ogg", "opus", "m4a", "m4a", "m4a", "m4a" };
    const QString path
        = dir.filePath((name.isEmpty() ? QString::fromLatin1(kindName(kind)) : name) + "." + suffixes[int(kind)]);
    QStringList tagArgs;
    switch (kind) {
    case Kind::Flac:
    case Kind::FlacCue:
        for (const QString& c : vorbisComments())
            tagArgs << "--tag=" + c;
        run("flac",
            QStringList {
                "-s", "-f", "-S", "1s", "--picture=3|image/png|Front \u00e9|16x8x24|" + cover, "-o", path, wav }
                + tagArgs);
        if (kind == Kind::FlacCue) {
            const QString cue = writeText(dir, "tracks.cue",
                "FILE \"source.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n");
            run("metaflac", { "--import-cuesheet-from=" + cue, path });
            addApplicationBlock(path);
        }
        break;
    case Kind::Vorbis:
        for (const QString& c : vorbisComments())
            tagArgs << "-c" << c;
        run("oggenc", QStringList { "-Q", "-o", path } + tagArgs + QStringList { wav });
        break;
    case Kind::Opus:
        for (const QString& c : vorbisComments())
            tagArgs << "--comment" << c;
        run("opusenc", QStringList { "--quiet", "--picture", cover } + tagArgs + QStringList { wav, path });
        break;
    default: {
        QStringList args { "-v", "error", "-y", "-i", wav, "-metadata", "title=Title \u00e9\u4e2d\u2603", "-metadata",
            "comment=A comment" };
        args << "-c:a" << (kind == Kind::Alac ? "alac" : "aac");
        if (kind == Kind::AacFaststart)
            args << "-movflags"
                 << "+faststart";
        if (kind == Kind::AacFragmented)
            args << "-movflags"
                 << "frag_keyframe+empty_moov";
        run("ffmpeg", args << path);
        run("/usr/bin/python3", { "-c", kMp4Extras, path, cover });
        break;
    }
    }
    return path;
}

} // namespace EncodedFiles
