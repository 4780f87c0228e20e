#pragma once

#include "platform/fileerror.h"
#include "tagedit/tagtexts.h"
#include "tags/fieldcatalogue.h"

#include <QString>

#include <array>
#include <memory>

class FileSystem;
class ID3V1Tag;
class ID3V2Tag;
class Prompter;
struct Options;

// The file the main window works on, whether its tags are loaded, and the
// tag texts last read from it. Every read goes to the file on disk, every
// write is checked, and a failure comes back as a value for the window to
// show. A file that is written is first made writable (owner write
// permission added), once per command, so that the ID3v2 save and the
// trailer write of one command never meet the file in two different states.
class CurrentFile {
public:
    enum class Step { None, Read, Write, Strip };
    struct Result {
        Step step = Step::None;
        FileError error;
        bool reportedByTags = false; // the tag layer has shown its own message
        bool reread = false; // texts() were read from the file again
        bool cancelled = false; // the user chose not to write: nothing was written
        bool ok() const { return error.ok() && !reportedByTags && !cancelled; }
    };

    // files and prompter (may be null; it shows the tag layer's messages)
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
    // The length at the last load; -1 when it could not be had.
    qint64 length() const { return m_length; }
    // The texts last read (all empty, Copyright "False", when not loaded).
    const TagTexts& texts() const { return m_texts; }
    // The tag object of the last read (empty when not loaded).
    const ID3V2Tag& tag() const { return *m_v2; }

    // Selects path and reads its tags, then writes its ID3v1 trailer from
    // them. A zero-length file is selected but not loaded, and nothing is
    // written into it.
    Result load(const QString& path);
    // Reads the selected file again from disk (and writes its trailer).
    Result reload();
    // Reads it again and leaves it as it was: the trailer the load takes
    // away goes back byte for byte, with the file's time and mode (after an
    // undo has put them back).
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
    // from what it holds. When the ID3v2 write fails, a trailer the reload
    // took away is put back and nothing else is written.
    Result save(const TagTexts& boxes);
    // Removes every kind of tag, then reads the file again (writing no
    // trailer). Journaled like Save.
    Result stripTags();

private:
    Result loadFile(const QString& path);
    Result reloadFile();
    Result saveBoxes(const TagTexts& boxes);
    Result writeBoxes(const TagTexts& boxes);
    Result strip();
    Result stripFile();
    template <typename Write> Result journaled(Step step, const QString& question, Write write);
    template <typename Command> Result keepingTime(const QString& path, Command command);
    Result read(bool writeTrailer);
    Result writeTrailer();
    bool makeWritable(FileError* error);
    void resetTag();

    class WatchingPrompter;
    FileSystem& m_files;
    std::unique_ptr<WatchingPrompter> m_prompter;
    const Options& m_options;
    std::unique_ptr<ID3V2Tag> m_v2;
    std::unique_ptr<ID3V1Tag> m_v1;
    QString m_path;
    QString m_journalPath;
    bool m_loaded = false;
    qint64 m_length = -1;
    TagTexts m_texts;
};

// The message for a failed result: "Error Reading Tags From File: ",
// "Error Saving Tags In File: " or "Error Removing Tags From File: ", then
// CRLF CRLF path CRLF CRLF "Error: " description " (" number ")".
QString currentFileErrorText(const CurrentFile::Result& result, const QString& path);
