#pragma once

#include <QString>

// The reason for a failed launch code: "File not found" for 2, "No
// association for file extension" for 31 (nothing can open the file), and
// so on; "Unknown error" for a code without a text of its own.
QString launchErrorText(int code);

// What a failed launch tells the user: the reason, then the file that could
// not be opened, on a line of its own.
QString launchFailureText(int code, const QString& path);

// How the desktop's opener (xdg-open) stood when the launcher stopped
// waiting for it.
enum class OpenerEnd { NotStarted, StillRunning, Exited, Crashed };

// The launch code for that: 0 when the opener exited with 0, or is still
// running (it runs the program it started); Launcher::FileNotFound for its
// exit 2; Launcher::NoAssociation when there is no opener, or it found no
// program for the file (exit 3) or the program it tried failed (exit 4);
// Launcher::OpenerFailed for anything else (a crash, exit 1).
int launchCodeForOpener(OpenerEnd end, int exitCode);

// The default application a handler query printed ("a.desktop;b.desktop;"
// or one id a line): the first desktop id, "" when none.
QString firstDesktopId(const QString& queryOutput);

// True when desktopId is Velmora's own desktop entry: "velmora.desktop",
// also from a vendor folder ("vendor-velmora.desktop") or with a reversed
// domain name ("org.velmora.velmora.desktop"), in any case.
bool isVelmoraDesktopId(const QString& desktopId);
