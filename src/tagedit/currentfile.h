#pragma once

#include "platform/fileerror.h"
#include "platform/prompter.h"
#include "tagedit/tagtexts.h"
#include "tags/coverpicture.h"
#include "tags/fieldcatalogue.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

class FileSystem;
class AudioTag;
class ID3V1Tag;
struct Options;

// The file the main window works on, whether its tags are loaded, and the
// tag texts last read from it. Every read goes to the file on disk, every
// write is checked, and a failure comes back as a value for the window to
// show.
//
// Writes nobody asked for (the trailer written when a file is selected or
// read again) touch only a file that may be changed unasked and holds MPEG
// audio (writeaccess.h); any other file is read and left exactly as it is.
// Save and Remove Tags ask once, before anything is written, whether to
// make a read-only file writable; the undo journal keeps the mode it had.
class CurrentFile {
public:
    // Trailer: the ID3v1 trailer written after a read or a save.
    enum class Step { None, Read, Write, Strip, Trailer };
    struct Result {
        Step step = Step::None;
        FileError error; // the tag layer's own reason, or the system's
        bool reread = false; // texts() were read from the file again
        bool cancelled = false; // the user chose not to write: nothing was written
        bool keptReadOnly = false; // cancelled: the user kept the file read-only
        // Written, but the file's modification time could not be put back.
        FileError timeNotKept;
        // Written, but the copy that replaced the file could not keep these
        // (its owner, an extended attribute, ...), one line each.
        QStringList notKept;
        bool ok() const { return error.ok() && !cancelled; }
        bool keptEverything() const { return timeNotKept.ok() && notKept.isEmpty(); }
    };

    // files and prompter (may be null: every question is then answered No)
    // are not owned; options is read at every load, so it may change.
    CurrentFile(FileSystem& files, Prompter* prompter, const Options& options);
    ~CurrentFile();
    CurrentFile(const CurrentFile&) = delete;
    CurrentFile& operator=(const CurrentFile&) = delete;

    // The full path, "" when no file is selected.
    QString path() const { return m_path; }
    // The name without its folder.
    QString name() const;
    bool isEmpty() const;
    // The tags were read: false for no file, a zero-length, missing or
    // unreadable file.
    bool isLoaded() const { return m_loaded; }
    // The length after the last load (and the trailer it wrote); -1 when it
    // could not be had.
    qint64 length() const { return m_length; }
    // The texts last read (all empty, Copyright "False", when not loaded).
    const TagTexts& texts() const { return m_texts; }
    // The tag object of the last read (empty when not loaded).
    const AudioTag& tag() const { return *m_tag; }

    // The pictures of the last read, in the tag's order (none when not
    // loaded).
    const QList<CoverPicture>& pictures() const { return m_pictures; }
    // The whole picture list the next Save writes in place of pictures()
    // (an empty list removes them all). Every read drops it, a failed Save
    // keeps it.
    void setPendingPictures(const QList<CoverPicture>& pictures) { m_pendingPictures = pictures; }
    void clearPendingPictures() { m_pendingPictures.reset(); }
    // A pending list that differs from pictures() (bytes, type, MIME type or
    // description): only then does Save write pictures.
    bool picturesChanged() const;
    // The pending list when there is one, else pictures(): what the window
    // shows.
    QList<CoverPicture> shownPictures() const { return m_pendingPictures.value_or(m_pictures); }

    // Selects path and reads its tags, then writes its ID3v1 trailer from
    // them when the file may be changed unasked. A zero-length file is
    // selected but not loaded, and nothing is written into it.
    Result load(const QString& path);
    // Reads the selected file again from disk (and writes its trailer, as
    // load does).
    Result reload();
    // Reads it again and writes nothing (after an undo has put the file,
    // its time and mode back).
    Result reloadUnchanged();
    // The selected file now has this path (renamed on disk); what was read
    // from it stays.
    void renamed(const QString& newPath);
    // No file selected.
    void clear();

    // Keeps the file's tags in the undo journal at journalPath before each
    // Save and Remove Tags, so that the last of them can be undone ("" keeps
    // none). When the journal cannot be written, they ask whether to write
    // without it.
    void setJournal(const QString& journalPath) { m_journalPath = journalPath; }
    QString journalPath() const { return m_journalPath; }

    // Writes the boxes into the file: every field whose text differs from
    // what was last read goes into the ID3v2 tag (the others keep what the
    // file holds now), then the file is read again and its trailer written
    // from what it holds. Changed pending pictures are written with them;
    // a picture the tag refuses (pictureRefusal, or more than the format
    // holds) fails the save with its cause. When the ID3v2 write fails
    // nothing is written. A read-only file is made writable only when the
    // user says so.
    Result save(const TagTexts& boxes);
    // Removes every kind of tag, then reads the file again (writing no
    // trailer). Asks and is journaled like Save.
    Result stripTags();

private:
    // Who asked for the trailer a read writes: nobody (a selection), the
    // user (Save), or there is none to write.
    enum class Trailer { None, Unasked, Asked };
    Result loadFile(const QString& path);
    Result saveBoxes(const TagTexts& boxes);
    Result writeBoxes(const TagTexts& boxes);
    Result strip();
    Result stripFile();
    template <typename Write> Result journaled(Step step, const QString& command, const QString& question, Write write);
    template <typename Command> Result keepingTime(const QString& path, Command command);
    Result read(Trailer trailer);
    Result writeTrailer();
    void resetTag();
    bool ask(const QString& question, MsgIcon icon) const;

    FileSystem& m_files;
    Prompter* m_prompter;
    const Options& m_options;
    std::unique_ptr<AudioTag> m_tag;
    std::unique_ptr<ID3V1Tag> m_v1;
    QString m_path;
    QString m_journalPath;
    bool m_loaded = false;
    qint64 m_length = -1;
    TagTexts m_texts;
    QList<CoverPicture> m_pictures;
    std::optional<QList<CoverPicture>> m_pendingPictures;
};

// The message for a failed result: "Error Reading Tags From File: ",
// "Error Saving Tags In File: " or "Error Removing Tags From File: ", then
// CRLF CRLF path CRLF CRLF "Error: " description " (" number ")"; for a
// trailer that could not be written, fileErrorMessage's text.
QString currentFileErrorText(const CurrentFile::Result& result, const QString& path);

// The warning for a result that wrote the file but did not keep everything
// it carried ("" when it kept everything): "ID3 Tags Saved In File: ",
// "ID3 Tags Removed From File: " or "ID3v1 Tag Written Into File: ", CRLF
// CRLF path CRLF CRLF "But Not Everything It Carried Could Be Kept:", then
// one line for each thing lost (its time first).
QString currentFileWarningText(const CurrentFile::Result& result, const QString& path);
