#pragma once

#include <QString>

class Launcher;
class Prompter;

// The message for a failed launch code ("File not found" for 2, "No
// association for file extension" for 31, "Unknown error" for codes
// without a text of their own).
QString LaunchErrorText(int code);

// Opens the log in the desktop's text application; a failed launch is
// reported in a message titled "Velmora". Returns the launch code (0 when
// the launch succeeded).
int ViewLogFile(Launcher& launcher, Prompter& prompter, const QString& path);
