#pragma once

#include "platform/fileerror.h"
#include "tags/audioformat.h"
#include "tags/coverpicture.h"
#include "tags/fieldcatalogue.h"
#include "tags/taglibtag.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class ID3V2Tag;

// The tags of an audio file of any format Velmora tags, behind one
// interface: MP3 through Velmora's own ID3v2 code, FLAC, Ogg Vorbis, Opus
// and MP4 through TagLib (taglibtag.h), with the same promises. The format
// is told from the file's first bytes, not its name; a file of no known
// format is taken as MP3, as it always was.
class AudioTag {
public:
    AudioTag();
    ~AudioTag();
    AudioTag(const AudioTag&) = delete;
    AudioTag& operator=(const AudioTag&) = delete;

    // Reads the file's tags and audio facts; an error says why it could not
    // be read. The object is empty after a failure.
    FileError setFileName(const QString& path);
    QString fileName() const { return m_fileName; }
    AudioFormat format() const { return m_format; }
    bool isMp3() const { return m_format == AudioFormat::Mp3; }

    // The format's own object: the ID3v2 tag of an MP3 file, the TagLib tag
    // of the others; null for the other kind.
    ID3V2Tag* id3v2() { return m_id3v2.get(); }
    const ID3V2Tag* id3v2() const { return m_id3v2.get(); }
    TagLibTag* taglib() { return m_taglib.get(); }
    const TagLibTag* taglib() const { return m_taglib.get(); }

    // MP3 loads leave the file exactly as it is (see ID3V2Tag); other
    // formats never write on a load.
    void setKeepTrailerOnLoad(bool keep) { m_keepTrailerOnLoad = keep; }

    // Whether the file's format has a place for the field.
    bool holdsField(FieldId id) const;
    // A field as text ("" when missing): as the tag stores it.
    QString fieldText(FieldId id) const;
    // Sets a field ("" removes it). False, with nothing changed, for a field
    // the format has no place for.
    bool setFieldText(FieldId id, const QString& text);
    int track() const;
    int totalTracks() const;
    int year() const;
    // The MPEG audio header's copyright bit; false for other formats.
    bool copyright() const;
    // The audio facts in one form for every format (an MP3 file's codec is
    // "MP3", or "MPEG Layer 2"; all 0 when no audio was found).
    TagLibAudioFacts audioFacts() const;
    // An MP3 file whose MPEG audio was found: the only kind of file that
    // takes an ID3v1 trailer.
    bool takesTrailer() const;

    // The pictures of the tag, in the tag's order: APIC frames, FLAC and Ogg
    // pictures, MP4 covers (front covers without a description). Each one's
    // data are the image's bytes exactly as stored.
    QList<CoverPicture> pictures() const;
    // The front cover (frontCoverIndex); nothing when there is no picture.
    std::optional<CoverPicture> frontCover() const;
    // Replaces the pictures; the next update writes them, with every other
    // item as it was. A picture without a MIME type takes its image's. False,
    // with nothing changed, when one is no JPEG, PNG, GIF or BMP image, is
    // larger than 16 MB, or the pictures would pass what the format can
    // hold: lastWriteError says why until the next update.
    bool setPictures(const QList<CoverPicture>& pictures);

    // Writes what changed (nothing changed: nothing written, true).
    bool update();
    // Removes every tag (MP3: every kind, the trailers too).
    bool stripTags();
    FileError lastWriteError() const;
    QStringList notKept() const;

    // "The Field Unique Key Has No Place In FLAC Files."
    static FileError notHeldError(FieldId id, AudioFormat format);

private:
    FileError loadMp3(const QString& path);

    QString m_fileName;
    AudioFormat m_format = AudioFormat::Mp3;
    std::unique_ptr<ID3V2Tag> m_id3v2;
    std::unique_ptr<TagLibTag> m_taglib;
    bool m_keepTrailerOnLoad = false;
    FileError m_pictureRefusal; // why the last setPictures was refused
};
