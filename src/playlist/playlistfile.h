#pragma once

#include <QString>
#include <QStringList>

class Prompter;
class QIODevice;

// The names (no folder) of the folder's "*.mp3" files, the extension and
// the order compared without regard to case. Hidden files are left out.
QStringList ListMp3Files(const QString& folder);

// The folder's last component + ".m3u" ("Album.m3u"); ".m3u" for "/".
// A trailing "/" is ignored.
QString ProposePlaylistName(const QString& folder);

// The typed answer made a file name: spaces trimmed, ".m3u" appended unless
// it already ends so (any case). "" when the answer is blank.
QString PlaylistFileName(const QString& answer);

// Writes "#EXTM3U" and each name with spaces trimmed, every line ending in
// CR LF, names in the file system's encoding. Stops at the first failed
// write and returns false; what was written stays.
bool WritePlaylistLines(QIODevice& out, const QStringList& names);

// Creates or replaces target with those lines. False when the file cannot
// be created or a write fails; the file is closed either way and a partly
// written file stays on disc.
bool WritePlaylistFile(const QString& target, const QStringList& names);

enum class PlaylistResult { Saved, NoName, BadName, WriteFailed };

// The create command: asks for the name (proposal as default), refuses a
// blank name or one holding "/" with a critical message, writes the file
// into folder and confirms with its path in capitals. A failed write ends
// without a message.
PlaylistResult CreatePlaylist(Prompter& prompter, const QString& folder, const QStringList& selectedNames);
