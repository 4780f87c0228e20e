#pragma once

#include "platform/fileerror.h"
#include "tags/fieldcatalogue.h"

#include <QString>
#include <QStringList>

#include <array>

// The 128-byte ID3v1 trailer at the end of an MP3 file. Each window that
// writes trailers keeps its own object: assign the fields, then writeToFile.
// Text is ISO-8859-1 on disc; characters outside it are written as '?'.
class ID3V1Tag {
public:
    bool tagged() const { return m_tagged; }
    QString title() const { return m_title; }
    QString artist() const { return m_artist; }
    QString album() const { return m_album; }
    QString year() const { return m_year; } // the 4-character field as read, or the last TheYear
    QString comment() const { return m_comment; }
    int genre() const { return m_genre; } // 0..255; 255 is no genre
    int track() const { return m_track; } // -1: ID3v1.0 layout, no track number

    void setTitle(const QString& v) { m_title = v; }
    void setArtist(const QString& v) { m_artist = v; }
    void setAlbum(const QString& v) { m_album = v; }
    void setComment(const QString& v) { m_comment = v; }
    // Stores the decimal text of the year; 0 (no year) leaves the field blank.
    void setTheYear(int year) { m_year = year > 0 ? QString::number(year) : QString(); }
    // -1 selects the ID3v1.0 layout; a value outside 0..255 makes the next
    // write fail with an overflow.
    void setTrack(int track) { m_track = track; }
    // False (an overflow, the genre unchanged) outside 0..255.
    bool setGenre(int genre);
    // The empty record: not tagged, texts "", track 0, genre 255 (none).
    void clear();

    // Replaces the record by the file's trailer, or by the empty record when
    // the file has none or cannot be opened. "" returns false and changes
    // nothing. Never shows a message. Returns tagged().
    bool readFromFile(const QString& fileName);
    // The same from the 128 bytes of a trailer already read ("TAG" first);
    // anything else gives the empty record.
    bool readFromBytes(const QByteArray& trailer);

    // Writes the record as the file's trailer: replaces the trailer of a
    // file longer than 128 bytes that ends in one, else appends. Never
    // changes permissions: a read-only file (no owner write permission) is
    // refused. False for "", a missing, hidden (".name") or non-regular file,
    // and for any failure after that (read-only, full disk, a Track outside
    // 0..255); lastWriteError says why. Never shows a message.
    bool writeToFile(const QString& fileName);
    // Why the last writeToFile failed (the system's reason and number, or
    // Overflow for a Track outside a byte); ok() after a success.
    FileError lastWriteError() const { return m_lastWriteError; }

private:
    bool m_tagged = false;
    QString m_title, m_artist, m_album, m_year, m_comment;
    int m_genre = 255;
    int m_track = 0;
    FileError m_lastWriteError;
};

// Assigns the trailer's fields from field texts in panel order, as far as
// the trailer can hold them: Artist, Album, Title and Comments as they are,
// the track's leading number (0 when one byte cannot hold it), the year's
// (blank for none), the genre by name (255 when unknown). With include,
// only the fields it marks are assigned.
void setTrailerFields(ID3V1Tag& tag, const std::array<QString, kFieldCount>& texts,
    const std::array<bool, kFieldCount>* include = nullptr);

// The genre list: numbers 0..GenreCount, each with its name ("Blues" is 0,
// "Bebob" 84, "Folklore" 114).
constexpr int GenreCount = 114;

// The 115 names in number order.
const QStringList& genreNames();
// "" outside 0..GenreCount.
QString genreName(int number);
// "Unknown" followed by the 115 names, joined with "|": the list the genre
// box and the ID3v2 "(n)" reading use (entry n + 1 is genre n).
QString genreListText();
// The lowest number whose name equals name without regard to case (a whole
// text comparison); 255 when none does.
int getGenreIndex(const QString& name);
