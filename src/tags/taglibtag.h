#pragma once

#include "platform/fileerror.h"
#include "tags/audioformat.h"
#include "tags/coverpicture.h"
#include "tags/fieldcatalogue.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The audio facts of a FLAC, Ogg or MP4 file.
struct TagLibAudioFacts {
    QString codec; // "FLAC", "Vorbis", "Opus", "AAC", "ALAC"
    int sampleRate = 0; // Hz
    int channels = 0;
    int bitsPerSample = 0; // 0 where the format does not say (Vorbis, Opus, AAC)
    qint64 lengthMs = 0;
    int bitRate = 0; // kbit/s
};

// A picture as FLAC and Ogg files hold it, carried through every save.
struct TagPicture {
    int type = 0;
    QString mimeType;
    QString description;
    int width = 0, height = 0, colorDepth = 0, colorCount = 0;
    QByteArray data;
    bool inComment = false; // a FLAC file's picture in its comment block, not a block of its own
    bool operator==(const TagPicture&) const = default;
};

// One MP4 item in every form TagLib 1.13 reads one: the form is fixed by the
// item's key, as TagLib decides it.
struct Mp4Value {
    QStringList texts; // text items, text free-form items
    QList<QByteArray> blobs; // binary free-form items, cover art
    QList<int> blobTypes; // cover art format per blob
    qint64 number = 0; // int, uint, byte, bool, long long items; the first of a pair
    int second = 0; // the second of a pair (trkn, disk)
    int dataType = -1; // a binary free-form item's data type
    bool operator==(const Mp4Value&) const = default;
};

// The tag of a FLAC (Vorbis comment and pictures), Ogg Vorbis or Opus
// (Vorbis comment, pictures in it) or MP4/M4A (ilst items) file, read and
// written through TagLib, with the same promises as the MP3 tag:
// - the fields of the catalogue sit where formatfields.h says;
// - a field set to the value it has is not written again (compared on the
//   stored form: a TRACKNUMBER "03" stays "03");
// - every item Velmora does not change is written back as it was;
// - a save writes a hidden copy in the same folder, reads it back and checks
//   every value, every other item and the audio data (audiodata.h) before
//   the copy replaces the file, which keeps its owner, mode, extended
//   attributes and time; otherwise the file stays untouched and
//   lastWriteError says why.
// Holds no open file between calls. The modification time is the caller's
// to keep (FileTimeKeeper), as for MP3 files.
//
// What TagLib 1.13 does on every save, and what Velmora makes of it:
// - comment names are written upper case and sorted by name (the values of
//   one name keep their order); the standards make names case-blind;
// - an MP4 numeric genre (gnre) is read as a named genre and written as
//   (c)gen;
// - an ID3v2 tag before a FLAC stream is written again as version 2.4: such
//   saves are refused;
// - an MP4 item whose data type TagLib does not expect is not read, and a
//   save would drop it: such saves are refused, naming the item;
// - fragmented MP4 files get no length (0).
class TagLibTag {
public:
    TagLibTag();
    ~TagLibTag();
    TagLibTag(const TagLibTag&) = delete;
    TagLibTag& operator=(const TagLibTag&) = delete;

    // Reads the file's tag and audio facts. An error when it cannot be read,
    // is not FLAC, Ogg Vorbis, Opus or MP4, or TagLib finds it damaged; the
    // object is empty then but keeps the name.
    FileError setFileName(const QString& fileName);
    QString fileName() const { return m_fileName; }
    // The format read by the last setFileName; nothing when it failed.
    std::optional<AudioFormat> format() const { return m_format; }
    const TagLibAudioFacts& audio() const { return m_audio; }

    // Whether the format has a place for the field (formatfields.h).
    bool holdsField(FieldId id) const;
    // A field as text: several values joined by "; ", numbers as stored
    // ("03"), "" when missing.
    QString fieldText(FieldId id) const;
    // Sets a field; "" removes it. False, with nothing changed, for a field
    // the format does not hold, a number field given no number, or no file.
    bool setFieldText(FieldId id, const QString& text);

    // Free-form items: Vorbis comment names (upper case) or MP4 item keys
    // ("----:com.apple.iTunes:KEY" for free-form ones), with their values
    // (MP4 numbers as text, "3/12" for a pair; pictures and cover art are
    // not listed).
    QStringList itemKeys() const;
    QStringList itemValues(const QString& key) const;
    // Sets a key's values (none removes it). MP4 keys take text items only:
    // false for a number, pair, cover or binary item, and for an invalid
    // comment name.
    bool setItemValues(const QString& key, const QStringList& values);

    // The pictures of a FLAC or Ogg file (MP4 covers are items).
    const QList<TagPicture>& pictures() const { return m_pictures; }
    // The pictures in one form for every format (taglibpictures.cpp): FLAC
    // and Ogg pictures in their order, MP4 covers as front covers without a
    // description.
    QList<CoverPicture> coverPictures() const;
    // Replaces the pictures; the next update writes them. A picture the file
    // holds keeps all it has (a FLAC picture its colour count and its place
    // in the comment block or a block of its own); a new one takes its
    // width, height and depth from its image header and goes into a block of
    // its own in FLAC, into the comment in Ogg, and loses its type and
    // description in MP4. An error, with nothing changed, when the pictures
    // would pass what the format can hold.
    FileError setCoverPictures(const QList<CoverPicture>& pictures);

    // Writes what changed (nothing changed: nothing written, true).
    bool update();
    // Removes every tag item and picture, keeping the audio.
    bool stripTags();
    // Why the last update, stripTags or restore failed; ok() after a success.
    FileError lastWriteError() const { return m_lastWriteError; }
    // What the copy could not keep of the file (its group, an extended
    // attribute), one line each.
    QStringList notKept() const { return m_notKept; }

    // Every item exactly (all values in order, pictures, MP4 items of every
    // type) as bytes for an undo journal, and back: restore writes the file
    // so that it holds those items and nothing else.
    QByteArray snapshot() const;
    bool restore(const QByteArray& snapshot);

    // For tests: called on the written copy (its path) before it is checked.
    void setCopyHook(const std::function<void(const QString&)>& hook) { m_copyHook = hook; }

    // The stored state, for comparisons (keys sorted, values in order).
    using Comments = QMap<QString, QStringList>;
    using Mp4Items = QMap<QString, Mp4Value>;

private:
    void clear();
    bool commit(bool all);
    bool refuse(const FileError& why);
    QStringList fieldValues(FieldId id, QString* where = nullptr) const;
    void setComment(const QString& name, const QStringList& values);
    void setMp4(const QString& key, const std::optional<Mp4Value>& value);

    QString m_fileName;
    std::optional<AudioFormat> m_format;
    TagLibAudioFacts m_audio;
    Comments m_comments;
    QList<TagPicture> m_pictures;
    Mp4Items m_mp4;
    QStringList m_changed; // keys changed since the load
    bool m_picturesChanged = false;
    FileError m_lastWriteError;
    QStringList m_notKept;
    std::function<void(const QString&)> m_copyHook;
};
