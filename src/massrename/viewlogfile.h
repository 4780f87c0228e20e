#pragma once

#include "platform/launcherror.h"

#include <QString>

class Launcher;
class Prompter;

// Opens the log in the desktop's text application; a failed launch is
// reported in a message titled "Velmora". Returns the launch code (0 when
// the launch succeeded).
int viewLogFile(Launcher& launcher, Prompter& prompter, const QString& path);
