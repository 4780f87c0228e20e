#pragma once

#include "platform/fileerror.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class Prompter;

// The folder's last component + ".m3u" ("Album.m3u"); ".m3u" for "/".
// A trailing "/" is ignored.
QString proposePlaylistName(const QString& folder);

// The typed answer made a file name: spaces trimmed, ".m3u" appended unless
// it already ends so (any case). "" when the answer is blank.
QString playlistFileName(const QString& answer);

// The line that names a file in the playlist. Players take a line that
// begins with "#" for a comment and trim leading blanks, so such a name gets
// "./" before it ("./#1 Crush.mp3"); any other name stands as it is, never
// trimmed. "" for a name holding a line break, which no line can hold.
QString playlistLine(const QString& name);

// "#EXTM3U" and one line per name, every line ending in CR LF, in the file
// system's encoding. Names no line can hold are left out and added to
// *leftOut when it is given.
QByteArray playlistText(const QStringList& names, QStringList* leftOut = nullptr);

// Creates or replaces target with text. A symbolic link at target is
// replaced by a new file; the file it points to is never touched. On failure
// the error says why; whatever was written so far stays.
FileError writePlaylistFile(const QString& target, const QByteArray& text);

enum class PlaylistResult { Saved, NoName, BadName, WriteFailed };

// The create command: asks for the name (proposal as default), refuses a
// blank name or one holding "/" with a critical message, writes the file
// into folder and confirms with its path. A failed write is shown with the
// path and the reason; names left out (line breaks) are listed in one
// message after the file is saved.
PlaylistResult createPlaylist(Prompter& prompter, const QString& folder, const QStringList& selectedNames);
