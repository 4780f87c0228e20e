#pragma once

#include <QString>

// Whether a write nobody asked for (the ID3v1 trailer written when a file
// is selected, or when a mass rename builds its name from its tags; the
// trailer a load takes away) may touch path: a regular file with a name
// that is not hidden, owned by this user, that its owner may write and that
// the system lets this process write. Such writes never change
// permissions: a file that fails here is left exactly as it is (bytes,
// mode, time). A file of another user is left too: its time could not be
// put back.
bool mayChangeUnasked(const QString& path);

// The question a command the user asked for (saving or removing tags) puts,
// once, before it makes a read-only file writable: "The File Is
// Read-Only:" CRLF CRLF path CRLF CRLF "Make It Writable And " + command
// + "?", command being for example "Save The Tags".
QString writeProtectedQuestion(const QString& path, const QString& command);
