#pragma once

#include "platform/fileerror.h"
#include "tags/audiotag.h"
#include "tags/fieldcatalogue.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"

#include <QList>
#include <QString>

#include <array>

class FileSystem;
struct Options;

// What the MultiTagger writes: the twenty box texts (the copyright box as
// "True"/"False") and which fields are included, in panel order.
struct MultiTagValues {
    std::array<bool, kFieldCount> included {};
    std::array<QString, kFieldCount> texts {};

    bool isIncluded(FieldId id) const { return included[int(id)]; }
    const QString& text(FieldId id) const { return texts[int(id)]; }
};

// The number a Track, Total Tracks or Year box stands for: the leading
// decimal digits of its text (blanks before them skipped), 0 when it does
// not start with one; "7x" is 7, "x7" 0. Signs are not numbers here. A
// number too large for an int gives INT_MAX, which no field takes.
int boxNumber(const QString& text);

// The largest number each numeric field takes: Track and Total Tracks
// 32767 (the tag's 16-bit numbers), Year 9999 (four digits in both
// standards); 0 for every other field.
int largestNumber(FieldId id);

// The first included Track, Total Tracks or Year whose box number is out of
// range, as error 6 (overflow) "Year 99999 Is Larger Than 9999"; ok when
// every one fits. Such values are refused, never cut to fit.
FileError numberRangeError(const MultiTagValues& values);

// Assigns the included fields of tag from the texts: text fields unchanged,
// Track, Total Tracks and Year by boxNumber, Copyright only in the object
// (never written). Fields not included keep what the tag holds.
void applyIncludedV2(ID3V2Tag& tag, const MultiTagValues& values);

// Assigns the included ID3v1 fields of tag (Artist, Album, Title, Track,
// Year, Genre by getGenreIndex, Comments); the others keep their values. A
// track number that one byte cannot hold is written as 0 (no track).
void applyIncludedV1(ID3V1Tag& tag, const MultiTagValues& values);

// The included fields whose box would clear them in every file: a text box
// empty after trimming blanks, a Track, Total Tracks or Year box without a
// leading number. Copyright is never written, so never cleared. Panel order.
QList<FieldId> fieldsToClear(const MultiTagValues& values);

// "Set Tags Will Clear These Fields In " files " Of The " chosen
// " Selected Files:" CRLF CRLF the field names joined by ", " CRLF CRLF
// "Clear Them?"
QString clearFieldsQuestion(const QList<FieldId>& fields, int files, int chosen);

// "Error Saving Tags In File: " CRLF CRLF path CRLF CRLF
// "Error: " description " (" number ")".
QString multiTagErrorText(const QString& path, const FileError& error);

// Writes the included fields into one file after another, keeping what is
// not included. Owns the two tag objects the MultiTagger reuses for every
// file.
class MultiTagWriter {
public:
    // files (not owned) checks each file before it is touched.
    explicit MultiTagWriter(FileSystem& files);

    struct Result {
        // ok when both tags were written; else the tag layer's own reason
        // or the system's.
        FileError error;
        // The tags were written, but Keep File Times could not put the
        // modification time back: a warning, not a failed write.
        FileError timeNotKept;
        bool ok() const { return error.ok(); }
    };

    // Writes values into the file at path: the ID3v2 tag gets the included
    // fields, the ID3v1 trailer the included ones it can hold, the rest of
    // both kept as the file held them before. A missing, read-only or
    // non-regular file, and values out of range (numberRangeError), are
    // refused untouched; so is a value the ID3v2 tag would not hold as
    // given. When the ID3v2 write fails, the file's trailer is not
    // changed; the error gives the tag layer's reason. A file without
    // trailer gets one only when an ID3v1 field is included.
    Result tagFile(const QString& path, const MultiTagValues& values);

    // Loads the file and gives its box texts; all empty and Copyright
    // "False" when it cannot be read. The file is left as it was.
    std::array<QString, kFieldCount> readFile(const QString& path, const Options& options);

    // True when the file holds a value (a text other than blanks, a number
    // other than 0) in one of fields, in its ID3v2 tag or, for a field that
    // tag lacks, its ID3v1 trailer. The file is left as it was.
    bool holdsAny(const QString& path, const QList<FieldId>& fields);
    // Whether writing leaves each file's modification time as it was (off
    // until set).
    void setKeepFileTimes(bool keep) { m_keepFileTimes = keep; }
    // Whether a read-only file is made writable (owner write permission
    // added) before its tags are written, rather than refused; off until
    // set: only a user who was asked may allow it.
    void setClearWriteProtection(bool clear) { m_clearWriteProtection = clear; }
    // True for an existing regular file its owner may not write.
    bool isReadOnly(const QString& path) const;

private:
    // Loads the file's tags, leaving the file as it was. False when the
    // file cannot be read.
    bool load(const QString& file);
    Result tagOneFile(const QString& file, const MultiTagValues& values);
    Result tagMp3(ID3V2Tag& v2, const QString& file, const MultiTagValues& values);

    FileSystem& m_files;
    bool m_keepFileTimes = false;
    bool m_clearWriteProtection = false;
    AudioTag m_tag;
    ID3V1Tag m_v1;
};
