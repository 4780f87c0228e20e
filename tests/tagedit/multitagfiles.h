#pragma once

// Tagged MP3 files for the MultiTagger tests, written with the tag layer
// over audio made by Mp3Builder, and the means to check them afterwards.

#include "support/mp3builder.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

namespace MultiTagFiles {

constexpr int kFrames = 8;

struct Values {
    QString artist, album, title, genre, comments, composer, mood;
    int track = 0, total = 0, year = 0;

    bool operator==(const Values&) const = default;
};

inline void PrintTo(const Values& v, std::ostream* os)
{
    *os << '{' << QStringList({ v.artist, v.album, v.title, v.genre, v.comments, v.composer, v.mood })
                      .join('|')
                      .toStdString()
        << '|' << v.track << '/' << v.total << '|' << v.year << '}';
}

inline Values sample(const QString& tagSuffix)
{
    Values v;
    v.artist = "Artist " + tagSuffix;
    v.album = "Album " + tagSuffix;
    v.title = "Title " + tagSuffix;
    v.genre = "Jazz";
    v.comments = "Comment " + tagSuffix;
    v.composer = "Composer " + tagSuffix;
    v.mood = "Calm";
    v.track = 3;
    v.total = 12;
    v.year = 1999;
    return v;
}

// An MP3 file with an ID3v2 tag holding v and, when withTrailer, an ID3v1
// trailer with the same values.
inline bool write(const QString& path, const Values& v, bool withTrailer, bool copyright = false)
{
    if (!Mp3Builder::writePlainMp3(path, kFrames, copyright))
        return false;
    ID3V2Tag tag;
    tag.SetFileName(path);
    tag.SetArtist(v.artist);
    tag.SetAlbum(v.album);
    tag.SetTitle(v.title);
    tag.SetGenre(v.genre);
    tag.SetComments(v.comments);
    tag.SetComposer(v.composer);
    tag.SetMood(v.mood);
    tag.SetTrack(v.track);
    tag.SetTotalTracks(v.total);
    tag.SetYear(v.year);
    if (!tag.Update())
        return false;
    if (!withTrailer)
        return true;
    ID3V1Tag trailer;
    trailer.SetArtist(v.artist);
    trailer.SetAlbum(v.album);
    trailer.SetTitle(v.title);
    trailer.SetComment(v.comments);
    trailer.SetTrack(v.track);
    trailer.SetTheYear(v.year);
    trailer.SetGenre(GetGenreIndex(v.genre));
    return trailer.WriteToFile(path);
}

// The ID3v2 values of a file, read back through the tag layer. Reading
// removes nothing here: the trailer is read first from the bytes.
inline Values readV2(const QString& path)
{
    ID3V2Tag tag;
    const QByteArray before = Mp3Builder::readFile(path);
    tag.SetFileName(path);
    Mp3Builder::writeFile(path, before); // undo the load's trailer removal
    Values v;
    v.artist = tag.Artist();
    v.album = tag.Album();
    v.title = tag.Title();
    v.genre = tag.Genre();
    v.comments = tag.Comments();
    v.composer = tag.Composer();
    v.mood = tag.Mood();
    v.track = tag.Track();
    v.total = tag.TotalTracks();
    v.year = tag.Year();
    return v;
}

inline ID3V1Tag readV1(const QString& path)
{
    ID3V1Tag t;
    t.ReadFromFile(path);
    return t;
}

// The bytes between the ID3v2 tag and the ID3v1 trailer.
inline QByteArray audioOf(const QString& path)
{
    QByteArray bytes = Mp3Builder::readFile(path);
    if (bytes.size() >= 128 && bytes.mid(bytes.size() - 128, 3) == "TAG")
        bytes.chop(128);
    if (bytes.startsWith("ID3") && bytes.size() >= 10) {
        const int size = ((bytes[6] & 0x7F) << 21) | ((bytes[7] & 0x7F) << 14) | ((bytes[8] & 0x7F) << 7)
            | (bytes[9] & 0x7F);
        const int footer = (bytes[5] & 0x10) ? 10 : 0;
        bytes = bytes.mid(10 + size + footer);
    }
    return bytes;
}

// The ID3v1 trailer that write() gives a file holding v.
inline QByteArray trailerFor(const Values& v)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("expected.mp3");
    return write(path, v, true) ? Mp3Builder::readFile(path).right(128) : QByteArray();
}

} // namespace MultiTagFiles
