#pragma once

#include "platform/fileerror.h"

#include <QString>

#include <functional>

class ExistingTargetPrompt;
class FileSystem;
class Prompter;
class Trash;

// Renames the main window's file within its folder. A new name another file
// holds goes to the existing-target prompt: Overwrite moves that file to the
// trash and renames again, Skip stops. Every failure is shown in a critical
// box and on the status line, and leaves both files where they were.
class RenameSequence {
public:
    using StatusLine = std::function<void(const QString&)>;

    // All must outlive the sequence.
    RenameSequence(
        FileSystem& files, Trash& trash, Prompter& prompter, ExistingTargetPrompt& existingTarget, StatusLine status);

    // Whether a rename may start: a file is loaded (loadedName is not blank)
    // and newName is neither blank nor only an audio extension (".mp3",
    // ".flac", ... in any letter case). A refusal is shown.
    bool mayStart(const QString& loadedName, const QString& newName);

    // Renames the file at source to newName in the same folder. The new
    // path, or "" when the file keeps its name.
    QString run(const QString& source, const QString& newName);

private:
    bool renameOnce(const QString& source, const QString& target, FileError* error);
    void fail(const QString& newName, const FileError* error);

    FileSystem& m_files;
    Trash& m_trash;
    Prompter& m_prompter;
    ExistingTargetPrompt& m_existingTarget;
    StatusLine m_status;
};
