#pragma once

#include <QString>

class Prompter;

// Asks the user for a folder through the prompter's folder picker, titled
// "Select Target Directory" and opened on initialFolder (passed as given).
// Returns the chosen folder's path, or "" when the user cancels.
QString browseForFolder(Prompter& prompter, const QString& initialFolder);
