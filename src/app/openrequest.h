#pragma once

#include <QString>
#include <QStringList>

// What a start with arguments (`velmora [FOLDER | FILE...]`) or a drop on
// the window asks Velmora to open: a folder, and the audio file to select in it.
struct OpenRequest {
    QString folder; // absolute, ending in "/"; "" when nothing can be opened
    QString file; // name of the file to select in folder, "" for none
    QStringList refused; // arguments naming neither a folder nor an audio file

    bool isEmpty() const { return folder.isEmpty(); }
};

// Reads the arguments in order: each is a path (relative ones against
// workingDir) or a file: URL; a lone "--" is skipped. The first that names
// a folder or an audio file (isAudioFileName: "*.mp3", "*.flac", ... in any
// letter case) decides: a folder opens with nothing selected, a file opens
// its folder with it selected.
// The arguments before it that name neither are refused; those after it
// are not looked at.
OpenRequest openRequestFor(const QStringList& arguments, const QString& workingDir);

// The folder to show for path, which another program may have removed or
// renamed: path itself while it is a folder, else its nearest parent that
// is one, else the user's home folder; absolute, ending in "/".
QString nearestExistingFolder(const QString& path);
