#pragma once

#include "platform/audiofiles.h"

#include <QString>

class SettingsStore;

// The casing a new name gets; stored as "TC", "UC", "LC" and "NC".
enum class NameCase { Title, Upper, Lower, Unchanged };
// From its stored code; any other text leaves the case. *known (when given)
// tells whether code was one of the four.
NameCase nameCaseFromCode(const QString& code, bool* known = nullptr);
QString nameCaseCode(NameCase nameCase);

// Which way the new name and the tag fields follow each other; stored as
// "0", "1" and "2".
enum class SyncMode { NameToTags, TagsToName, None };

// The options every part of the program reads, loaded from section
// "Settings". Defaults are those of a fresh installation.
struct Options {
    int id3AutoSave = 1; // 0 or 1
    SyncMode syncOption = SyncMode::None;
    // The stored number is none of the three: nothing is synchronised, and
    // the options window shows no choice and keeps the stored number.
    bool syncOptionUnknown = false;
    bool removeParens = false;
    bool removeUnderscores = false;
    NameCase newFileCase = NameCase::Title;
    // The stored casing is none of the four codes: it leaves the case, and
    // the options window shows no choice and keeps the stored text.
    bool newFileCaseUnknown = false;
    bool splitSpaces = false;
    QString separatorString = QStringLiteral("-"); // " - " when SplitSpaces is on
    bool useFormattedTrack = true;
    bool keepFileTimes = false; // tag writes keep each file's modification time
    bool mp3FilesOnly = false; // file lists and the mass rename take MP3 files alone
};

// The formats file lists and the mass rename take.
inline ListedFormats listedFormats(const Options& options)
{
    return options.mp3FilesOnly ? ListedFormats::Mp3Only : ListedFormats::All;
}

Options loadOptions(const SettingsStore& store);

// "" for 0; else at least two digits when UseFormattedTrack is on.
QString formatTrack(int number, const Options& options);
// "" for 0; else at least four digits.
QString formatYear(int number);
