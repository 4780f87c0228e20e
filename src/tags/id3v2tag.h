#pragma once

#include "platform/fileerror.h"
#include "tags/fieldcatalogue.h"
#include "tags/frameitem.h"
#include "tags/mpegheader.h"
#include "tags/tagtypes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class ID3V1Tag;
class OpenedTagFile;

// The program's view of the ID3v2 tag at the start of an MP3 file, with the
// MPEG audio facts of the file (audio(), filled at each load). Holds no open file between calls: every load, save and
// strip opens the file, works and closes it.
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
// lastWriteError says why, the file is untouched). A write that
// changes the tag's size goes through a verified, flushed copy in the same
// folder that replaces the original (keeping what the user set on it, as
// far as allowed: notKept says what not); read-only files (no owner write
// permission) and folders are refused, never made writable.
//
// A load changes nothing but the trailer it may take away (loadFrames), and
// that only from a file that may be changed unasked (writeaccess.h) and
// holds MPEG audio.
class ID3V2Tag {
public:
    ID3V2Tag();
    ~ID3V2Tag();
    ID3V2Tag(const ID3V2Tag&) = delete;
    ID3V2Tag& operator=(const ID3V2Tag&) = delete;

    // Value of the first item with this frame ID ("TIT2"; see FrameItem) and
    // description; an invalid QVariant when none.
    QVariant getFrameValue(const QByteArray& frameId, const QString& descriptor) const;
    // Creates, changes or deletes an item: a non-empty value creates a new
    // item or changes the found one; "" deletes the found one. An integer
    // value is never "".
    void setFrameValue(const QByteArray& frameId, const QVariant& value, const QString& descriptor);
    // Loads the file again.
    void reset() { loadFrames(); }
    // Double quotes become apostrophes in Comments, Title, Artist, Album,
    // UniqueKey, Genre, UserText, LyricsUnsynced, ArtistURL and UserURL.
    void stripQuotes();
    // Saves the items (saveFrames): only the ID3v2 tag is written. False
    // when the write was refused or failed (lastWriteError says why).
    bool update();
    // True when the file carries every kind in kinds (one open of the file);
    // false for no kind.
    bool hasTagType(TagKinds kinds) const;
    // The kinds the file carries (one open of the file); none when it
    // cannot be opened.
    TagKinds tagKinds() const;
    // Removes each kind set in kinds, in the order of kTagKinds. True when
    // every kind asked for is gone (or was never there); false when a
    // removal was refused or failed.
    bool stripTags(TagKinds kinds);
    void clearValues();
    // Writes changed, new and deleted items into the file's ID3v2 tag,
    // keeping its version (2.2, 2.3, 2.4; a new tag is 2.3) and its footer;
    // unsynchronisation of a whole 2.3 tag and extended headers are not
    // written again. Writes nothing (and returns true) when nothing changed.
    // An item whose value its frame kind cannot hold (a text given to a
    // picture frame) refuses the whole save, naming the frame: the file is
    // left untouched.
    bool saveFrames();
    // Why the last save or strip was refused or failed: the system's reason
    // ("No space left on device", number 61) or the tag layer's own
    // (Internal, 51); ok() after a success. Set whenever a save or strip
    // returns false.
    FileError lastWriteError() const { return m_lastWriteError; }
    // Its description ("" after a success).
    QString lastError() const { return m_lastWriteError.description; }
    // What the last save or strip wrote through a copy could not keep of the
    // file (its owner, an extended attribute, ...), one line each; empty
    // when it kept everything.
    QStringList notKept() const { return m_notKept; }
    // Reads the file: loads the tag's frames (or the trailer's values when
    // the file has only a trailer), reads the audio facts, then stripQuotes.
    // A value of the ID3v1 trailer that the ID3v2 tag lacks is taken as a
    // new value (so a save writes it); otherwise a trailer beside an ID3v2
    // tag is removed from the file, unless keepTrailerOnLoad is set, the
    // file may not be changed unasked or it holds no MPEG audio.
    void loadFrames();
    // Loads leave the file exactly as it is (for callers that decide
    // themselves whether to write it).
    void setKeepTrailerOnLoad(bool keep) { m_keepTrailerOnLoad = keep; }
    // An MPEG audio stream was found at the last load: a frame confirmed by
    // the one after it.
    bool holdsAudio() const { return m_audio.headerPosition > 0; }
    // The MPEG audio facts read at the last load.
    const MpegAudioFacts& audio() const { return m_audio; }
    // The ID3v2 tag's size in bytes, header included, at the last load (0 none).
    qint64 framesSize() const { return m_framesSize; }
    // Frames in the tag at the last load.
    int frameCount() const { return m_frameCount; }
    // 2, 3 or 4 for the loaded ID3v2 tag; 0 when the file had none.
    int tagVersion() const { return m_tagVersion; }

    QString fileName() const { return m_fileName; }
    // Clears the values; when the file can be opened for reading takes the
    // name and loads it, otherwise keeps the old name and stays empty.
    // Returns why the file was not loaded (the system's reason; NotFound for
    // a blank name, which is taken but not loaded); ok() when it was.
    FileError setFileName(const QString& fileName);

    // The pictures of the APIC (2.2: PIC) frames that read as pictures, in
    // the tag's frame order, then those added since the load.
    QList<CoverPicture> pictures() const;
    // Replaces the pictures. A frame whose picture stays (same type, MIME
    // type, description and bytes, in the same order) keeps its stored
    // bytes; from the first that does not, the rest are written anew after
    // the tag's other frames, so that the list keeps its order. A frame
    // that does not read as a picture stays as it is. An error, with nothing
    // changed, when the pictures alone would pass the 256 MB of a tag.
    FileError setPictures(const QList<CoverPicture>& pictures);

    // The items, in the tag's frame order, then those made since the load.
    const QList<FrameItem>& frames() const { return m_frames; }

    // Properties, one per field of the catalogue (fieldcatalogue.h says
    // where each value sits). Reading a missing frame gives "" (0 for
    // numbers); assigning "" (or 0) removes the value.
    QString title() const { return fieldText(FieldId::Title); }
    void setTitle(const QString& v) { setFieldText(FieldId::Title, v); }
    QString song() const { return title(); }
    void setSong(const QString& v) { setTitle(v); }
    QString artist() const { return fieldText(FieldId::Artist); }
    void setArtist(const QString& v) { setFieldText(FieldId::Artist, v); }
    QString album() const { return fieldText(FieldId::Album); }
    void setAlbum(const QString& v) { setFieldText(FieldId::Album, v); }
    // TRCK: the number before "/" and after it; writing stores "track/total",
    // "track" when there is no total, "0/total" for a total alone, and no
    // frame when both are 0.
    int track() const;
    void setTrack(int v);
    int totalTracks() const;
    void setTotalTracks(int v);
    // The leading number of the year (TYER, or the recording date of 2.4).
    // Assigning the year already stored leaves the stored date as it is; a
    // new year leaves one date frame (a second TYER/TDRC, TDAT and TIME go).
    int year() const;
    void setYear(int v);
    QString genre() const { return fieldText(FieldId::Genre); }
    void setGenre(const QString& v) { setFieldText(FieldId::Genre, v); }
    QString comments() const { return fieldText(FieldId::Comments); }
    void setComments(const QString& v) { setFieldText(FieldId::Comments, v); }
    QString uniqueKey() const { return fieldText(FieldId::UniqueKey); }
    void setUniqueKey(const QString& v) { setFieldText(FieldId::UniqueKey, v); }
    // Velmora's own UFID frame when the file has one, else another owner's,
    // which is shown but never written: a new key goes into Velmora's frame.
    QString userText() const { return fieldText(FieldId::UserText); }
    void setUserText(const QString& v) { setFieldText(FieldId::UserText, v); }
    QString userURL() const { return fieldText(FieldId::UserURL); }
    void setUserURL(const QString& v) { setFieldText(FieldId::UserURL, v); }
    QString artistURL() const { return fieldText(FieldId::ArtistURL); }
    void setArtistURL(const QString& v) { setFieldText(FieldId::ArtistURL, v); }
    QString composer() const { return fieldText(FieldId::Composer); }
    void setComposer(const QString& v) { setFieldText(FieldId::Composer, v); }
    QString origArtist() const { return fieldText(FieldId::OrigArtist); }
    void setOrigArtist(const QString& v) { setFieldText(FieldId::OrigArtist, v); }
    QString encodedBy() const { return fieldText(FieldId::EncodedBy); }
    void setEncodedBy(const QString& v) { setFieldText(FieldId::EncodedBy, v); }
    // USLT (no field of its own).
    QString lyricsUnsynced() const { return textValue("USLT", ""); }
    void setLyricsUnsynced(const QString& v) { setTextValue("USLT", v, ""); }
    QString mood() const { return fieldText(FieldId::Mood); }
    void setMood(const QString& v) { setFieldText(FieldId::Mood, v); }
    QString preference() const { return fieldText(FieldId::Preference); }
    void setPreference(const QString& v) { setFieldText(FieldId::Preference, v); }
    QString situation() const { return fieldText(FieldId::Situation); }
    void setSituation(const QString& v) { setFieldText(FieldId::Situation, v); }
    QString tempo() const { return fieldText(FieldId::Tempo); }
    void setTempo(const QString& v) { setFieldText(FieldId::Tempo, v); }
    // The audio header's copyright bit; assigning changes only the object.
    void setCopyRight(bool v) { m_audio.copyright = v; }

    // A field as text: numbers in plain decimal (0 gives "0"), CopyRight as
    // "True" or "False".
    QString fieldText(FieldId id) const;
    // Assigns a field from text: numbers take the text's leading number,
    // CopyRight is set when the text is "True" (any case).
    void setFieldText(FieldId id, const QString& text);

private:
    void loadFrom(OpenedTagFile& file);
    bool takeTrailerValues(const ID3V1Tag& v1);
    bool refuse(const FileError& why);
    bool stripOne(TagKind kind);
    FrameItem* findItem(const QByteArray& frameId, const QString& descriptor);
    const FrameItem* findItem(const QByteArray& frameId, const QString& descriptor) const;
    QString textValue(const QByteArray& frameId, const char* selector) const;
    void setTextValue(const QByteArray& frameId, const QString& v, const char* selector);
    void setTrackPair(int track, int total);
    QString genreText() const;
    FrameItem& appendItem(const QByteArray& frameId, const QString& descriptor);
    const FrameItem* shownUniqueKeyItem() const;
    FrameItem* ownUniqueKeyItem();
    static bool isOwnUniqueKey(const FrameItem& item);
    QString uniqueKeyText() const;
    void setUniqueKeyText(const QString& v);

    QString m_fileName;
    MpegAudioFacts m_audio;
    QList<FrameItem> m_frames;
    int m_frameCount = 0;
    qint64 m_framesSize = 0;
    int m_tagVersion = 0;
    size_t m_loadedTagHash = 0; // of the tag's bytes at the load
    FileError m_lastWriteError;
    QStringList m_notKept;
    bool m_keepTrailerOnLoad = false;
};
