#pragma once

#include "tags/fieldcatalogue.h"
#include "tags/frameitem.h"
#include "tags/mpegheader.h"
#include "tags/tagtypes.h"

#include <QList>
#include <QString>
#include <QVariant>

class ID3V1Tag;
class OpenedTagFile;
class Prompter;

// The program's view of the ID3v2 tag at the start of an MP3 file, with the
// MPEG audio facts of the file (the inherited public members, filled at each
// load). Holds no open file between calls: every load, save and strip opens
// the file, works and closes it.
//
// Text: tag text in any ID3v2 encoding is read as its text; a new or changed
// value is written as ISO-8859-1 when it fits, otherwise as UTF-16. A file
// keeps its tag version (2.4 stays 2.4; 2.2, 2.3 or no tag becomes 2.3), and
// frames the object does not model survive every save.
//
// Safety: no save or strip loses audio or a frame. Every frame the items
// did not change is written back byte for byte, whether or not its content
// can be read (unknown, empty, encrypted, compressed frames). A tag whose
// frames cannot all be walked, or whose declared size runs into the audio
// or past the end of the file, is never written (the call returns false,
// LastError says why, the file is untouched). A write that
// changes the tag's size goes through a verified, flushed copy in the same
// folder that replaces the original (keeping its permissions); read-only
// files (no owner write permission) and folders are refused.
class ID3V2Tag : public MpegAudioFacts {
public:
    // prompter (not owned, may be null) shows "Field doesn't exist".
    explicit ID3V2Tag(Prompter* prompter = nullptr);
    ~ID3V2Tag();
    ID3V2Tag(const ID3V2Tag&) = delete;
    ID3V2Tag& operator=(const ID3V2Tag&) = delete;

    // Value of the first item with this frame number and description; an
    // invalid QVariant when none.
    QVariant GetFrameValue(int frameNo, const QString& descriptor) const;
    // Creates, changes or deletes an item: a non-empty value creates a new
    // item or changes the found one; "" deletes the found one. An integer
    // value is never "".
    void SetFrameValue(int frameNo, const QVariant& value, const QString& descriptor);
    // Nothing to release: no library tag outlives a call.
    void Unlink() { }
    // Loads the file again.
    void Reset() { LoadFrames(); }
    // Double quotes become apostrophes in Comments, Title, Artist, Album,
    // UniqueKey, Genre, UserText, LyricsUnsynced, ArtistURL and UserURL.
    void StripQuotes();
    // Saves the items (SaveFrames). flags is not used: only the ID3v2 tag is
    // written. False when the write was refused or failed.
    bool Update(int flags = TagType::All);
    // True when the file carries every kind in flags (one open of the file).
    bool HasTagType(int flags) const;
    // Removes each kind set in flags, in the order ID3v1, ID3v2, Lyrics3,
    // Lyrics3 v2, MusicMatch. True when every kind asked for is gone (or was
    // never there); false when a removal was refused or failed.
    bool StripTags(int flags);
    void ClearValues();
    // Writes changed, new and deleted items into the file's ID3v2 tag,
    // keeping its version (2.2, 2.3, 2.4; a new tag is 2.3) and its footer;
    // unsynchronisation of a whole 2.3 tag and extended headers are not
    // written again. Writes nothing (and returns true) when nothing changed.
    bool SaveFrames();
    // Why the last save was refused or failed ("" after a success).
    QString LastError() const { return m_lastError; }
    // Reads the file: loads the tag's frames (or the trailer's values when
    // the file has only a trailer), reads the audio facts, then StripQuotes.
    // A value of the ID3v1 trailer that the ID3v2 tag lacks is taken as a
    // new value (so a save writes it); otherwise a trailer beside an ID3v2
    // tag is removed from the file.
    void LoadFrames();
    // The ID3v2 tag's size in bytes, header included, at the last load (0 none).
    qint64 FramesSize() const { return m_framesSize; }
    // Frames in the tag at the last load.
    int FrameCount() const { return m_frameCount; }
    // 2, 3 or 4 for the loaded ID3v2 tag; 0 when the file had none.
    int TagVersion() const { return m_tagVersion; }

    QString FileName() const { return m_fileName; }
    // Clears the values; when the file can be opened for reading takes the
    // name and loads it (unless the name is blank), otherwise keeps the old
    // name and stays empty.
    void SetFileName(const QString& fileName);

    // The items, in the tag's frame order, then those made since the load.
    const QList<FrameItem>& Frames() const { return m_frames; }

    // Properties, one per field of the catalogue (fieldcatalogue.h says
    // where each value sits). Reading a missing frame gives "" (0 for
    // numbers); assigning "" (or 0) removes the value.
    QString Title() const { return FieldText(FieldId::Title); }
    void SetTitle(const QString& v) { SetFieldText(FieldId::Title, v); }
    QString Song() const { return Title(); }
    void SetSong(const QString& v) { SetTitle(v); }
    QString Artist() const { return FieldText(FieldId::Artist); }
    void SetArtist(const QString& v) { SetFieldText(FieldId::Artist, v); }
    QString Album() const { return FieldText(FieldId::Album); }
    void SetAlbum(const QString& v) { SetFieldText(FieldId::Album, v); }
    // TRCK: the number before "/" and after it; writing stores "track/total",
    // "track" when there is no total, and no frame without a track.
    int Track() const;
    void SetTrack(int v);
    int TotalTracks() const;
    void SetTotalTracks(int v);
    // The leading number of the year (TYER, or the recording date of 2.4).
    // Assigning the year already stored leaves the stored date as it is.
    int Year() const;
    void SetYear(int v);
    QString Genre() const { return FieldText(FieldId::Genre); }
    void SetGenre(const QString& v) { SetFieldText(FieldId::Genre, v); }
    QString Comments() const { return FieldText(FieldId::Comments); }
    void SetComments(const QString& v) { SetFieldText(FieldId::Comments, v); }
    QString UniqueKey() const { return FieldText(FieldId::UniqueKey); }
    void SetUniqueKey(const QString& v) { SetFieldText(FieldId::UniqueKey, v); }
    // The owner identifier of the UFID frame ("" when none). A key written
    // without an owner is given "Velmora" as its owner.
    QByteArray UniqueKeyOwner() const;
    void SetUniqueKeyOwner(const QByteArray& owner);
    QString UserText() const { return FieldText(FieldId::UserText); }
    void SetUserText(const QString& v) { SetFieldText(FieldId::UserText, v); }
    QString UserURL() const { return FieldText(FieldId::UserURL); }
    void SetUserURL(const QString& v) { SetFieldText(FieldId::UserURL, v); }
    QString ArtistURL() const { return FieldText(FieldId::ArtistURL); }
    void SetArtistURL(const QString& v) { SetFieldText(FieldId::ArtistURL, v); }
    QString Composer() const { return FieldText(FieldId::Composer); }
    void SetComposer(const QString& v) { SetFieldText(FieldId::Composer, v); }
    QString OrigArtist() const { return FieldText(FieldId::OrigArtist); }
    void SetOrigArtist(const QString& v) { SetFieldText(FieldId::OrigArtist, v); }
    QString EncodedBy() const { return FieldText(FieldId::EncodedBy); }
    void SetEncodedBy(const QString& v) { SetFieldText(FieldId::EncodedBy, v); }
    // USLT (no field of its own).
    QString LyricsUnsynced() const { return textValue(FrameNo::USLT, ""); }
    void SetLyricsUnsynced(const QString& v) { setTextValue(FrameNo::USLT, v, ""); }
    QString Mood() const { return FieldText(FieldId::Mood); }
    void SetMood(const QString& v) { SetFieldText(FieldId::Mood, v); }
    QString Preference() const { return FieldText(FieldId::Preference); }
    void SetPreference(const QString& v) { SetFieldText(FieldId::Preference, v); }
    QString Situation() const { return FieldText(FieldId::Situation); }
    void SetSituation(const QString& v) { SetFieldText(FieldId::Situation, v); }
    QString Tempo() const { return FieldText(FieldId::Tempo); }
    void SetTempo(const QString& v) { SetFieldText(FieldId::Tempo, v); }
    // The audio header's copyright bit; assigning changes only the object.
    void SetCopyRight(bool v) { copyright = v; }

    // A field as text: numbers in plain decimal (0 gives "0"), CopyRight as
    // "True" or "False".
    QString FieldText(FieldId id) const;
    // Assigns a field from text: numbers take the text's leading number,
    // CopyRight is set when the text is "True" (any case).
    void SetFieldText(FieldId id, const QString& text);

    // Reads the audio facts from the file (one read of its first bytes).
    // Returns "" or "-2" when no frame was found.
    QString ReadHeader();

private:
    void loadFrom(OpenedTagFile& file);
    bool takeTrailerValues(const ID3V1Tag& v1);
    bool refuse(const QString& why);
    bool stripOne(int kind);
    FrameItem* findItem(int frameNo, const QString& descriptor);
    const FrameItem* findItem(int frameNo, const QString& descriptor) const;
    QString textValue(int frameNo, const char* selector) const;
    void setTextValue(int frameNo, const QString& v, const char* selector);
    void setTrackPair(int track, int total);
    QString genreText() const;
    QString uniqueKeyText() const;
    void setUniqueKeyText(const QString& v);
    void reportMissingField() const;

    Prompter* m_prompter;
    QString m_fileName;
    QList<FrameItem> m_frames;
    int m_frameCount = 0;
    qint64 m_framesSize = 0;
    int m_tagVersion = 0;
    bool m_fromTrailer = false; // the items came from an ID3v1 trailer
    size_t m_loadedTagHash = 0; // of the tag's bytes at the load
    QString m_lastError;
};
