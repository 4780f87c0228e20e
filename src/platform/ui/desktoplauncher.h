#pragma once

#include "platform/launcher.h"

// Opens files with the desktop's default application through xdg-open and
// waits a moment for its answer, so that a file nothing can open is
// reported rather than taken as opened. A file whose default application is
// Velmora itself is not handed on.
class DesktopLauncher final : public Launcher {
public:
    // waitMs: how long open() waits for the opener. One still running then
    // has started a program and counts as a launch (xdg-open on a plain
    // desktop runs as long as the program it started).
    explicit DesktopLauncher(int waitMs = 5000);

    int open(const QString& path) override;

private:
    // True when the desktop would hand path back to Velmora.
    bool opensInVelmora(const QString& path) const;

    int m_waitMs;
};
