#pragma once

#include <QString>

class SettingsStore;

// The options every part of the program reads, loaded from section
// "Settings". Defaults are those of a fresh installation.
struct Options {
    int ID3AutoSave = 1;               // 0 or 1
    QString SyncOption = QStringLiteral("2"); // "0" name to tags, "1" tags to name, "2" none
    bool RemoveParens = false;
    bool RemUnderScores = false;
    QString NewFileCase = QStringLiteral("TC"); // "TC", "UC", "LC", "NC" (kept as read)
    bool SplitSpaces = false;
    QString SeparatorString = QStringLiteral("-"); // " - " when SplitSpaces is on
    bool UseFormattedTrack = true;
    bool KeepFileTimes = false; // tag writes keep each file's modification time

    int syncOptionNumber() const;
};

Options LoadOptions(const SettingsStore& store);

// "" for 0; else at least two digits when UseFormattedTrack is on.
QString FormatTrack(int number, const Options& options);
// "" for 0; else at least four digits.
QString FormatYear(int number);
