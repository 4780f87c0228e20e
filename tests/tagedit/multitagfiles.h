#pragma once

// Tagged MP3 files for the MultiTagger tests, written with the tag layer
// over audio made by Mp3Builder, and the means to check them afterwards.

#include "support/childprocess.h"
#include "support/id3builder.h"
#include "support/mp3builder.h"
#include "tagedit/multitagwriter.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

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
    *os << '{'
        << QStringList({ v.artist, v.album, v.title, v.genre, v.comments, v.composer, v.mood }).join('|').toStdString()
        << '|' << v.track << '/' << v.total << '|' << v.year << '}';
}

inline Values sample(const QString& s)
{
    return { "Artist " + s, "Album " + s, "Title " + s, "Jazz", "Comment " + s, "Composer " + s, "Calm", 3, 12, 1999 };
}

// The ID3v1.1 trailer holding v, made byte by byte.
inline QByteArray trailerFor(const Values& v)
{
    return Id3Builder::id3v1(
        v.title, v.artist, v.album, QString::number(v.year), v.comments, v.track, getGenreIndex(v.genre));
}

// An MP3 file with an ID3v2 tag holding v and, when withTrailer, an ID3v1
// trailer with the same values.
inline bool write(const QString& path, const Values& v, bool withTrailer, bool copyright = false)
{
    if (!Mp3Builder::writePlainMp3(path, kFrames, copyright))
        return false;
    ID3V2Tag tag;
    tag.setFileName(path);
    tag.setArtist(v.artist);
    tag.setAlbum(v.album);
    tag.setTitle(v.title);
    tag.setGenre(v.genre);
    tag.setComments(v.comments);
    tag.setComposer(v.composer);
    tag.setMood(v.mood);
    tag.setTrack(v.track);
    tag.setTotalTracks(v.total);
    tag.setYear(v.year);
    return tag.update() && (!withTrailer || Mp3Builder::writeFile(path, Mp3Builder::readFile(path) + trailerFor(v)));
}

// The ID3v2 values of a file, read back through the tag layer. Reading
// removes nothing here: the trailer is read first from the bytes.
inline Values readV2(const QString& path)
{
    ID3V2Tag tag;
    const QByteArray before = Mp3Builder::readFile(path);
    tag.setFileName(path);
    Mp3Builder::writeFile(path, before); // undo the load's trailer removal
    Values v;
    v.artist = tag.artist();
    v.album = tag.album();
    v.title = tag.title();
    v.genre = tag.genre();
    v.comments = tag.comments();
    v.composer = tag.composer();
    v.mood = tag.mood();
    v.track = tag.track();
    v.total = tag.totalTracks();
    v.year = tag.year();
    return v;
}

inline ID3V1Tag readV1(const QString& path)
{
    ID3V1Tag t;
    t.readFromFile(path);
    return t;
}

// MultiTagger values with the given fields included and typed in.
inline MultiTagValues including(const QList<std::pair<FieldId, QString>>& texts)
{
    MultiTagValues v;
    for (const auto& [id, text] : texts) {
        v.included[int(id)] = true;
        v.texts[int(id)] = text;
    }
    return v;
}

// The bytes between the ID3v2 tag and the ID3v1 trailer.
inline QByteArray audioOf(const QString& path)
{
    QByteArray bytes = Mp3Builder::readFile(path);
    if (bytes.size() >= 128 && bytes.mid(bytes.size() - 128, 3) == "TAG")
        bytes.chop(128);
    if (bytes.startsWith("ID3") && bytes.size() >= 10) {
        const int size
            = ((bytes[6] & 0x7F) << 21) | ((bytes[7] & 0x7F) << 14) | ((bytes[8] & 0x7F) << 7) | (bytes[9] & 0x7F);
        const int footer = (bytes[5] & 0x10) ? 10 : 0;
        bytes = bytes.mid(10 + size + footer);
    }
    return bytes;
}

} // namespace MultiTagFiles
