#pragma once

#include "cli/clirun.h"

// The renaming commands of velmora-cli and their undo.

// rename: each file's name cleaned, or built from its tags through the mask,
// as the name editor does, and renamed in its folder; a taken name is never
// replaced. Journaled as a mass rename run, so undo gives the names back.
int renameFiles(const CliCommand& command, const CliContext& context);

// mass-rename: the mass rename engine on a folder; --preview prints the
// plan and changes nothing. Each outcome is printed as it happens.
int massRename(const CliCommand& command, const CliContext& context);

// Undoes a rename run from its journal (a "*.undo" file).
int undoRenames(const QString& journal, const CliContext& context);

// playlist: the folder's audio files into NAME.m3u in the folder.
int writeFolderPlaylist(const CliCommand& command, const CliContext& context);
