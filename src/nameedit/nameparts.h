#pragma once

#include <QString>
#include <QStringList>

struct CleanupRules;
enum class NameCase;

// Pure pieces of the name model, shared by the session and the mass rename.

// The extension every new name of the file fileName ends in: its own audio
// extension in lower case (".flac" for "x.Flac", ".mp3" for "x.MP3"), else
// ".mp3", as before any file is loaded.
QString nameExtension(const QString& fileName);

// A file name cleaned, re-cased by newFileCase and cut at every "-" into trimmed
// pieces, empty pieces included. The extension (after the last ".") is
// dropped; a name without "." gives {""}.
QStringList nameParts(const QString& fileName, const CleanupRules& rules, NameCase newFileCase);

// Index of the part of the name (before its last ".") under the cursor; a
// cursor right before a dash belongs to the left part, right after it to the
// right part. -1 when the cursor lies beyond the last part, and when there is
// nothing but blanks before the extension: such a name has no part.
int partAtCursor(const QString& text, int cursor);

// The name with part removed (first case-insensitive occurrence, even inside
// a word) or, when absent, appended after a separator; dashes left doubled or
// dangling are tidied. Returns "" for a blank result, else the result +
// extension. removed tells which of the two happened.
QString toggledName(
    const QString& text, const QString& part, const QString& separator, const QString& extension, bool* removed);
